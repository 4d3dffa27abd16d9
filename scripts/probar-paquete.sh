#!/usr/bin/env bash
# Hace el paquete de Debian y lo comprueba sin instalarlo (probar.sh lo pasa): su contenido y sus
# metadatos, la entrada del menú, AppStream, las páginas de manual y lintian; luego lo
# desempaqueta en una raíz temporal que no se puede escribir y usa el programa desde allí, con
# cuentas de usuario temporales: arranca, una persona nueva entra, guarda y vuelve a abrir su
# solicitud, otra no la ve, y nada se escribe fuera de la carpeta de datos de cada una.
set -euo pipefail
raiz="$(cd "$(dirname "$0")/.." && pwd)"
build="${MOVILANT_BUILD:-$raiz/build}"
trabajo="$(mktemp -d)"
trap 'chmod -R u+w "$trabajo"; rm -rf "$trabajo"' EXIT

fallos=0
falla() {
  echo "FALLO: $*" >&2
  fallos=$((fallos + 1))
}

deb="$(bash "$raiz/scripts/empaquetar.sh" "$trabajo")"
version="$(sed -n 's/^project(Movilant VERSION \([0-9.]*\).*/\1/p' "$raiz/CMakeLists.txt")"
[ "$(basename "$deb")" = "movilant_${version}_amd64.deb" ] || falla "nombre del paquete: $deb"
echo "Paquete: $(basename "$deb"), $(du -k "$deb" | cut -f1) KiB"

# Metadatos: los programas que arranca y las bibliotecas que usa (dpkg-shlibdeps).
campo() { dpkg-deb -f "$deb" "$1"; }
[ "$(campo Package)" = movilant ] || falla "Package: $(campo Package)"
[ "$(campo Version)" = "$version" ] || falla "Version: $(campo Version)"
[ "$(campo Architecture)" = amd64 ] || falla "Architecture: $(campo Architecture)"
depende="$(campo Depends)"
nombres="$(tr ',' '\n' <<<"$depende" | sed 's/^ *//; s/ .*//')"
for d in libreoffice-writer-nogui poppler-utils cups-client fonts-liberation fonts-dejavu-core \
  xdg-utils libqt6widgets6 libqt6gui6 libqt6sql6 libpugixml1v5 libzip4 'libzint2[.0-9]*' \
  libzxing2 libc6 'libstdc\+\+6'; do
  grep -Eqx -- "$d" <<<"$nombres" || falla "Depends no tiene $d: $depende"
done

# Contenido: qué ficheros, con qué permisos y de quién.
dpkg-deb -c "$deb" | awk '{ $3 = $4 = $5 = ""; print }' | sed 's/  */ /g' >"$trabajo/contenido"
esperados=(
  "-rwxr-xr-x root/root ./usr/bin/movilant"
  "-rwxr-xr-x root/root ./usr/bin/movilant-lector"
  "-rwxr-xr-x root/root ./usr/bin/movilant-catalogos"
  "-rw-r--r-- root/root ./usr/share/movilant/conf.xml"
  "-rw-r--r-- root/root ./usr/share/movilant/Manual de Usuario.doc"
  "-rw-r--r-- root/root ./usr/share/movilant/Manual de Usuario.pdf"
  "-rw-r--r-- root/root ./usr/share/movilant/ficheros/FicheroTexto.txt"
  "-rw-r--r-- root/root ./usr/share/movilant/ficheros/DOT_11111/PlantillaWXP.dot"
  "-rw-r--r-- root/root ./usr/share/movilant/ficheros/DOT_11111/PlantillaW97.dot"
  "-rw-r--r-- root/root ./usr/share/applications/movilant.desktop"
  "-rw-r--r-- root/root ./usr/share/metainfo/org.movilant.movilant.metainfo.xml"
  "-rw-r--r-- root/root ./usr/share/icons/hicolor/scalable/apps/movilant.svg"
  "-rw-r--r-- root/root ./usr/share/icons/hicolor/48x48/apps/movilant.png"
  "-rw-r--r-- root/root ./usr/share/icons/hicolor/256x256/apps/movilant.png"
  "-rw-r--r-- root/root ./usr/share/man/man1/movilant.1.gz"
  "-rw-r--r-- root/root ./usr/share/man/man1/movilant-lector.1.gz"
  "-rw-r--r-- root/root ./usr/share/man/man1/movilant-catalogos.1.gz"
  "-rw-r--r-- root/root ./usr/share/doc/movilant/copyright"
  "-rw-r--r-- root/root ./usr/share/doc/movilant/changelog.gz"
)
for i in $(seq -w 1 16); do esperados+=("-rw-r--r-- root/root ./usr/share/movilant/ficheros/F00$i.enc"); done
for e in "${esperados[@]}"; do grep -qxF -- "$e" "$trabajo/contenido" || falla "falta en el paquete: $e"; done
# Nada más que eso y sus carpetas (drwxr-xr-x root/root): ni datos de un usuario, ni temp/.
otros="$(grep -vxF -f <(printf '%s\n' "${esperados[@]}") "$trabajo/contenido" |
  grep -v '^drwxr-xr-x root/root ./' || true)"
[ -z "$otros" ] || falla "en el paquete sobra: $otros"
grep -q '/temp/$\|usuarios.xml\|temp.tmp' "$trabajo/contenido" && falla "el paquete lleva datos de un usuario"

dpkg-deb -x "$deb" "$trabajo/raiz"
r="$trabajo/raiz"
desktop-file-validate "$r/usr/share/applications/movilant.desktop" || falla "desktop-file-validate"
orden="$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$r/usr/share/applications/movilant.desktop")"
[ -x "$r/usr/bin/$orden" ] || falla "la entrada del menú arranca «$orden», que no está en /usr/bin"
icono="$(sed -n 's/^Icon=//p' "$r/usr/share/applications/movilant.desktop")"
[ -f "$r/usr/share/icons/hicolor/scalable/apps/$icono.svg" ] || falla "no está el icono «$icono»"
appstreamcli validate --no-net "$r/usr/share/metainfo/org.movilant.movilant.metainfo.xml" \
  >"$trabajo/appstream" 2>&1 || { cat "$trabajo/appstream" >&2; falla "appstreamcli validate"; }
grep -q '<launchable type="desktop-id">movilant.desktop</launchable>' \
  "$r/usr/share/metainfo/org.movilant.movilant.metainfo.xml" || falla "AppStream sin la entrada del menú"
for lado in 48 256; do
  file "$r/usr/share/icons/hicolor/${lado}x$lado/apps/movilant.png" | grep -q "PNG image data, $lado x $lado" ||
    falla "el icono de $lado px no mide $lado x $lado"
done
for pagina in movilant movilant-lector movilant-catalogos; do
  f="$r/usr/share/man/man1/$pagina.1.gz"
  avisos="$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 "$f" 2>&1 >"$trabajo/man.txt")"
  [ -z "$avisos" ] || falla "página de manual $pagina: $avisos"
  col -bx <"$trabajo/man.txt" | sed 's/[‐−]/-/g' | grep -Eq "^ +${pagina} +- " ||
    falla "la página de manual $pagina no se nombra"
done

# lintian: ningún error, y cada aviso que quede dicho y justificado en el README.
lintian --tag-display-limit 0 "$deb" >"$trabajo/lintian" 2>&1 || true
sed 's/^/  lintian: /' "$trabajo/lintian"
grep -q '^E: ' "$trabajo/lintian" && falla "lintian da errores"
for aviso in $(sed -n 's/^W: movilant[^:]*: \([^ ]*\).*/\1/p' "$trabajo/lintian" | sort -u); do
  grep -q "\`$aviso\`" "$raiz/README.md" || falla "el aviso de lintian $aviso no está justificado en el README"
done

# Desempaquetado y de solo lectura: los programas funcionan desde allí y no lo tocan.
chmod -R a-w "$r"
antes="$(cd "$r" && find . -printf '%p %s %T@ %m\n' | sort)"
[ "$("$r/usr/bin/movilant" --version)" = "movilant $version" ] || falla "movilant --version"
[ "$("$r/usr/bin/movilant-lector" --version)" = "movilant-lector $version" ] || falla "movilant-lector --version"
"$r/usr/bin/movilant-catalogos" comprobar "$r/usr/share/movilant/ficheros" >"$trabajo/comprobar" 2>&1 ||
  { cat "$trabajo/comprobar" >&2; falla "los catálogos de ejemplo no pasan movilant-catalogos comprobar"; }
mkdir "$trabajo/casa"
HOME="$trabajo/casa" XDG_DATA_HOME="$trabajo/casa/datos" MOVILANT_RAIZ_PAQUETE="$r" \
  QT_QPA_PLATFORM=offscreen "$build/pruebas_gui" --gtest_filter='ArranqueInstaladoTest.*' \
  >"$trabajo/gui" 2>&1 || { cat "$trabajo/gui" >&2; falla "el programa desempaquetado"; }
grep -q '\[  PASSED  \] 1 test' "$trabajo/gui" || falla "no se ha pasado la prueba del programa desempaquetado"
[ "$(cd "$r" && find . -printf '%p %s %T@ %m\n' | sort)" = "$antes" ] || falla "se ha escrito en la raíz del paquete"
[ "$(cd "$trabajo/casa" && find . -mindepth 1 -maxdepth 2 | sort | tr "\n" " ")" = "./datos ./datos/movilant " ] ||
  falla "se ha escrito en la cuenta del usuario fuera de su carpeta de datos: $(cd "$trabajo/casa" && find . -maxdepth 3 | tr "\n" " ")"

if [ "$fallos" -gt 0 ]; then
  echo "El paquete tiene $fallos fallo(s)." >&2
  exit 1
fi
echo "Paquete comprobado."
