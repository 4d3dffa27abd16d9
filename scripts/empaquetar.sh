#!/usr/bin/env bash
# Hace el paquete de Debian movilant_<versión>_amd64.deb desde una compilación normal (build/, o
# la de MOVILANT_BUILD) y lo deja en la carpeta indicada (por omisión, la del repositorio).
# Instalarlo: sudo apt-get install ./movilant_<versión>_amd64.deb
set -euo pipefail
raiz="$(cd "$(dirname "$0")/.." && pwd)"
build="${MOVILANT_BUILD:-$raiz/build}"
destino="$(mkdir -p "${1:-$raiz}" && cd "${1:-$raiz}" && pwd)"
bash "$raiz/scripts/compilar.sh" >/dev/null
export MOVILANT_BUILD="$build"

# Lo que el paquete instala y no sale de la compilación (cmake/Paquete.cmake lo recoge de aquí).
paquete="$build/paquete"
rm -rf "$paquete"
mkdir -p "$paquete/iconos/48" "$paquete/iconos/256" "$paquete/man" "$paquete/doc"
# /usr/share/movilant: conf.xml, el manual y ficheros/ (catálogos de ejemplo, plantillas y el
# texto de la pantalla de carga), como en la carpeta portátil pero sin nada del usuario.
bash "$raiz/scripts/preparar-instalacion.sh" --solo-lectura "$paquete/movilant" >/dev/null
[ -f "$paquete/movilant/Manual de Usuario.pdf" ] || {
  echo "Falta el manual en PDF: el paquete no se hace sin él." >&2
  exit 1
}
for lado in 48 256; do
  rsvg-convert -w "$lado" -h "$lado" "$raiz/datos/paquete/movilant.svg" \
    -o "$paquete/iconos/$lado/movilant.png"
done
# Comprimidos sin nombre ni fecha dentro: el mismo contenido da el mismo fichero.
for pagina in "$raiz"/datos/paquete/man/*.1; do
  gzip -9n <"$pagina" >"$paquete/man/$(basename "$pagina").gz"
done
gzip -9n <"$raiz/datos/paquete/changelog" >"$paquete/doc/changelog.gz"

(cd "$build" && cpack -G DEB --config CPackConfig.cmake >"$paquete/cpack.log" 2>&1) || {
  cat "$paquete/cpack.log" >&2
  exit 1
}
deb="$(ls "$paquete"/movilant_*_amd64.deb)"
mv -f "$deb" "$destino/"
echo "$destino/$(basename "$deb")"
