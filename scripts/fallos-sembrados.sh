#!/usr/bin/env bash
# Fallos sembrados: mete en una copia aparte del repositorio, de uno en uno, los fallos pequeños de
# fallos-sembrados/*.fallo, recompila lo justo, pasa las pruebas que cada uno nombra y deja el
# código como estaba. Al final lista los fallos que ninguna prueba vio: reglas que se pueden romper
# con las pruebas en verde. Es una herramienta para quien desarrolla, no forma parte de probar.sh.
#
# Uso: scripts/fallos-sembrados.sh [--desde REV] [--suites] [--base | --comprobar] [fallo...]
#   fallo   nombre de un fichero de fallos-sembrados/ (con o sin ".fallo"); sin ninguno, todos.
#   --comprobar  solo mira que cada fallo se pueda aplicar al repositorio tal como está (sin copia
#           ni compilación): tras cambiar un fuente, dice qué fallos hay que poner al día.
#   --desde REV  la copia sale de esa revisión de git (p. ej. main), no del árbol de trabajo: así
#           se ve cuántos fallos cazaban las pruebas de antes de un cambio. Los fallos, de aquí.
#   --suites  pasa la suite entera de cada prueba nombrada ("Suite.Prueba" se vuelve "Suite.*"): con
#           --desde, las pruebas de antes no se llamaban igual que las que cazan el fallo hoy.
#   --base  antes de sembrar, pasa sin fallo cada grupo de pruebas que se nombra: si alguno ya
#           falla así, lo que "cazaría" no diría nada y el guion se detiene.
# Variables: MOVILANT_FALLOS (carpeta de trabajo, por omisión build-fallos/ en el repositorio),
# MOVILANT_FALLOS_TAREAS (tareas de compilación, 1 por omisión: la máquina es compartida),
# MOVILANT_FALLOS_LIMITE (segundos por grupo de pruebas, 900 por omisión).
#
# Formato de un fallo (un fichero por fallo; las líneas con "#" antes de "buscar:" son comentario):
#   fichero: ruta/del/fuente/que/se/cambia
#   pruebas: binario FiltroDeGoogleTest        (pruebas_nucleo o pruebas_gui)
#   buscar:
#   <líneas exactas que deben aparecer una sola vez>
#   cambiar:
#   <líneas que las sustituyen; nada para quitarlas>
# El último salto de línea de cada bloque no cuenta: se puede buscar un trozo de una línea. Puede
# haber varias parejas buscar:/cambiar: seguidas. Se busca el texto, no un número de línea:
# otros cambios en el mismo fichero no estropean el fallo, y un texto que ya no está (o está más de
# una vez) se dice y el fallo no se cuenta.
set -uo pipefail
raiz="$(cd "$(dirname "$0")/.." && pwd)"
trabajo="${MOVILANT_FALLOS:-$raiz/build-fallos}"
copia="$trabajo/copia"
build="$copia/build"
tareas="${MOVILANT_FALLOS_TAREAS:-1}"
limite="${MOVILANT_FALLOS_LIMITE:-900}"
export CMAKE_CXX_COMPILER_LAUNCHER="${CMAKE_CXX_COMPILER_LAUNCHER:-ccache}"
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-/work}" CCACHE_NOHASHDIR=1
export CCACHE_MAXSIZE="${CCACHE_MAXSIZE:-20G}" QT_QPA_PLATFORM=offscreen

base=0
suites=0
comprobar=0
desde=""
pedidos=()
while [ $# -gt 0 ]; do
  a="$1"
  shift
  case "$a" in
    --desde) desde="${1:?--desde necesita una revisión}"; shift ;;
    --base) base=1 ;;
    --suites) suites=1 ;;
    --comprobar) comprobar=1 ;;
    -h | --help) sed -n "2,31p" "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) pedidos+=("${a%.fallo}") ;;
  esac
done
fallos=()
if [ ${#pedidos[@]} -eq 0 ]; then
  for f in "$raiz"/fallos-sembrados/*.fallo; do fallos+=("$f"); done
else
  for n in "${pedidos[@]}"; do
    f="$raiz/fallos-sembrados/$n.fallo"
    [ -f "$f" ] || { echo "No existe el fallo \"$n\" ($f)." >&2; exit 2; }
    fallos+=("$f")
  done
fi

# Aplica (o comprueba, con "comprobar") las parejas de un fallo sobre la copia. Sale con 3 si un
# texto buscado no aparece exactamente una vez, diciendo cuál y cuántas veces.
aplicar() {
  perl -e '
    use strict; use warnings;
    my ($fallo, $copia, $modo) = @ARGV;
    open(my $f, "<:raw", $fallo) or die "No se puede leer $fallo: $!\n";
    my @lineas = <$f>; close $f;
    my ($fichero, @parejas, $estado);
    for my $l (@lineas) {
      if (!defined $estado) {
        if ($l =~ /^fichero:\s*(\S+)\s*$/) { $fichero = $1; }
        elsif ($l =~ /^buscar:\s*$/) { $estado = "buscar"; push @parejas, ["", ""]; }
        next;
      }
      if ($l =~ /^buscar:\s*$/) { $estado = "buscar"; push @parejas, ["", ""]; next; }
      if ($l =~ /^cambiar:\s*$/) { $estado = "cambiar"; next; }
      $parejas[-1][$estado eq "buscar" ? 0 : 1] .= $l;
    }
    die "$fallo: falta \"fichero:\"\n" unless defined $fichero;
    die "$fallo: falta \"buscar:\"\n" unless @parejas;
    my $ruta = "$copia/$fichero";
    open(my $e, "<:raw", $ruta) or die "No se puede leer $ruta: $!\n";
    local $/; my $texto = <$e>; close $e;
    for my $p (@parejas) {
      # Sin el último salto de línea: un texto buscado puede ser un trozo de línea.
      my ($de, $a) = map { (my $t = $_) =~ s/\n\z//; $t } @$p;
      my $veces = () = $texto =~ /\Q$de\E/g;
      if ($de eq "" || $veces != 1) {
        my ($primera) = split /\n/, $de;
        print STDERR "el texto buscado aparece $veces veces en $fichero: \"", ($primera // ""),
          "\"\n";
        exit 3;
      }
      my $i = index($texto, $de);
      substr($texto, $i, length($de)) = $a;
    }
    exit 0 if $modo eq "comprobar";
    open(my $s, ">:raw", $ruta) or die "No se puede escribir $ruta: $!\n";
    print $s $texto; close $s;
  ' "$1" "$copia" "$2"
}

campo() { sed -n "s/^$2:[[:space:]]*//p" "$1" | head -n 1; }

# La copia: los ficheros del repositorio (con lo que aún no esté confirmado), copiando solo los que
# cambian para que la compilación siga siendo incremental.
sincronizar() {
  mkdir -p "$copia"
  local lista="$trabajo/ficheros.txt" origen="$raiz"
  if [ -n "$desde" ]; then
    origen="$trabajo/revision"
    rm -rf "$origen" && mkdir -p "$origen"
    (cd "$raiz" && git archive "$desde") | tar -x -C "$origen" || exit 1
    (cd "$origen" && find . -type f | sed 's|^\./||') | sort > "$lista"
  else
    (cd "$raiz" && git ls-files -co --exclude-standard | grep -v '^build') | sort > "$lista"
  fi
  while IFS= read -r f; do
    [ -f "$origen/$f" ] || continue
    if ! cmp -s "$origen/$f" "$copia/$f"; then
      mkdir -p "$(dirname "$copia/$f")"
      cp "$origen/$f" "$copia/$f"
    fi
  done < "$lista"
  # Lo que ya no está en el repositorio tampoco se compila en la copia.
  (cd "$copia" && find . -path ./build -prune -o -type f -print | sed 's|^\./||' | sort) |
    comm -23 - "$lista" | while IFS= read -r f; do rm -f "$copia/$f"; done
}

# Programas que las pruebas usan además de sí mismas (plantillas, catálogos, lector): sin ellos
# fallarían por otra causa y el fallo parecería cazado.
herramientas=(movilant-plantillas movilant-catalogos movilant-lector)

compilar() {
  # Dos pasadas: uic rehace las cabeceras de un .ui cambiado cuando ninja ya ha decidido qué
  # objetos están al día.
  cmake --build "$build" -j "$tareas" --target "$@" > "$trabajo/compilacion.log" 2>&1 &&
    cmake --build "$build" -j "$tareas" --target "$@" >> "$trabajo/compilacion.log" 2>&1
}

# Pasa un grupo de pruebas; 0 si todas pasan.
pasar() {
  local binario="$1" filtro="$2"
  [ "$suites" = 1 ] && filtro="$(sed -E 's/([A-Za-z0-9_]+)\.[A-Za-z0-9_*]+/\1.*/g' <<< "$filtro")"
  (cd "$copia" && timeout "$limite" "$build/$binario" --gtest_filter="$filtro" \
    > "$trabajo/pruebas.log" 2>&1)
}

if [ "$comprobar" = 1 ]; then
  malos=0
  for f in "${fallos[@]}"; do
    if ! motivo="$(copia="$raiz" aplicar "$f" comprobar 2>&1)"; then
      echo "$(basename "$f" .fallo): NO SE APLICA: $motivo"; malos=$((malos + 1))
    fi
  done
  echo "${#fallos[@]} fallos; $malos no se aplican."
  [ "$malos" -eq 0 ]
  exit
fi

# Una sola ejecución por carpeta de trabajo: dos a la vez se pisarían la copia. Y si se corta a
# medias, el fuente con el fallo vuelve a quedar como estaba.
mkdir -p "$trabajo"
exec 9> "$trabajo/.cerrojo"
flock -n 9 || { echo "Ya hay otra ejecución con la carpeta $trabajo." >&2; exit 1; }
pendiente=""
trap '[ -n "$pendiente" ] && cp "$trabajo/original" "$copia/$pendiente"; exit 130' INT TERM

echo "Copia en $copia"
sincronizar
cmake -S "$copia" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DMOVILANT_SANITIZADORES=OFF > /dev/null || exit 1
echo "Compilando las pruebas de la copia (registro en $trabajo/compilacion.log) ..."
compilar pruebas_nucleo pruebas_gui "${herramientas[@]}" || { echo "La copia sin fallos no compila." >&2; exit 1; }

if [ "$base" = 1 ]; then
  declare -A vistos=()
  for f in "${fallos[@]}"; do
    read -r binario filtro <<< "$(campo "$f" pruebas)"
    [ -n "${vistos[$binario $filtro]:-}" ] && continue
    vistos[$binario $filtro]=1
    printf 'Sin fallo: %s %s ... ' "$binario" "$filtro"
    if pasar "$binario" "$filtro"; then echo "pasan"; else
      echo "FALLAN"; echo "Ya fallan sin ningún fallo sembrado: $trabajo/pruebas.log" >&2; exit 1
    fi
  done
fi

cazados=() vivos=() sinAplicar=() sinCompilar=()
for f in "${fallos[@]}"; do
  nombre="$(basename "$f" .fallo)"
  fichero="$(campo "$f" fichero)"
  read -r binario filtro <<< "$(campo "$f" pruebas)"
  printf '%-44s ' "$nombre"
  if [ -z "$fichero" ] || [ -z "$binario" ] || [ -z "$filtro" ]; then
    echo "sin \"fichero:\" o \"pruebas:\""; sinAplicar+=("$nombre"); continue
  fi
  if ! motivo="$(aplicar "$f" comprobar 2>&1)"; then
    echo "NO SE APLICA: $motivo"; sinAplicar+=("$nombre"); continue
  fi
  original="$trabajo/original"
  cp "$copia/$fichero" "$original"
  pendiente="$fichero"
  aplicar "$f" aplicar
  inicio=$SECONDS
  if ! compilar "$binario" "${herramientas[@]}"; then
    echo "no compila (véase $trabajo/compilacion.log)"; sinCompilar+=("$nombre")
  elif pasar "$binario" "$filtro"; then
    # Un filtro que no elige ninguna prueba no caza nada: se dice, para corregir el nombre.
    grep -q '^\[==========\] Running 0 tests' "$trabajo/pruebas.log" &&
      printf '(el filtro no elige ninguna prueba) '
    echo "SOBREVIVE ($((SECONDS - inicio)) s)"; vivos+=("$nombre")
  else
    echo "cazado ($((SECONDS - inicio)) s)"; cazados+=("$nombre")
  fi
  # Se deja como estaba, con fecha nueva: así ninja recompila el original (ccache lo tiene).
  cp "$original" "$copia/$fichero"
  pendiente=""
  cp "$trabajo/pruebas.log" "$trabajo/$nombre.log" 2>/dev/null
done

echo
echo "Fallos sembrados: ${#fallos[@]}; cazados ${#cazados[@]}; sobreviven ${#vivos[@]};" \
  "no se aplican ${#sinAplicar[@]}; no compilan ${#sinCompilar[@]}."
for n in "${vivos[@]}"; do echo "  sobrevive: $n"; done
for n in "${sinAplicar[@]}"; do echo "  no se aplica: $n"; done
for n in "${sinCompilar[@]}"; do echo "  no compila: $n"; done
# Lo último compilado lleva el último fallo quitado; la próxima vez se recompila lo justo.
[ ${#vivos[@]} -eq 0 ] && [ ${#sinAplicar[@]} -eq 0 ] && [ ${#sinCompilar[@]} -eq 0 ]
