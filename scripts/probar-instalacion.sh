#!/usr/bin/env bash
# Prueba el paquete instalándolo de verdad en esta máquina (la cambia: por eso no va en
# probar.sh). Como root:
#   1. apt-get install ./movilant_<versión>_amd64.deb (el dado, o el del repositorio);
#   2. arranca «movilant» desde el PATH, con la orden de la entrada del menú, como un usuario
#      normal (MOVILANT_USUARIO, por omisión movilant-prueba, que se crea si falta) en una
#      pantalla virtual (Xvfb) hasta que se ve la ventana de acceso, y guarda su captura;
#   3. movilant-lector --version;
#   4. quita el paquete, lo purga y dice qué queda de él y de la carpeta de datos del usuario.
# Dice cuánto se tarda desde apt-get install hasta la ventana de acceso. Lo deja todo en
# build/prueba-instalacion/ (o MOVILANT_SALIDA).
set -euo pipefail
raiz="$(cd "$(dirname "$0")/.." && pwd)"
if [ "$(id -u)" -ne 0 ]; then
  echo "Hace falta ser root: instala y quita el paquete." >&2
  exit 1
fi
deb="${1:-$(ls "$raiz"/movilant_*_amd64.deb 2>/dev/null | tail -n 1)}"
[ -f "$deb" ] || {
  echo "No hay paquete: hágalo con scripts/empaquetar.sh o dígalo como argumento." >&2
  exit 1
}
usuario="${MOVILANT_USUARIO:-movilant-prueba}"
salida="${MOVILANT_SALIDA:-$raiz/build/prueba-instalacion}"
mkdir -p "$salida"
id "$usuario" >/dev/null 2>&1 || useradd --create-home --shell /bin/bash "$usuario"
casa="$(getent passwd "$usuario" | cut -d: -f6)"
# apt lee el paquete como su propio usuario sin privilegios: una copia que pueda leer.
copia="$(mktemp -d)"
chmod 755 "$copia"
cp "$deb" "$copia/" && chmod 644 "$copia/$(basename "$deb")"

pantalla=:97
xvfb=""
programa=""
terminar() {
  [ -n "$programa" ] && kill "$programa" 2>/dev/null || true
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
  rm -rf "$copia"
}
trap terminar EXIT
Xvfb "$pantalla" -screen 0 1280x1024x24 -nolisten tcp >"$salida/xvfb.log" 2>&1 &
xvfb=$!

inicio=$(date +%s.%N)
DEBIAN_FRONTEND=noninteractive apt-get install -y -q "$copia/$(basename "$deb")" >"$salida/apt-install.log" 2>&1 ||
  { cat "$salida/apt-install.log" >&2; exit 1; }
instalado=$(date +%s.%N)
orden="$(sed -n 's/^Exec=//p' /usr/share/applications/movilant.desktop)"
echo "Entrada del menú: Exec=$orden ($(command -v "${orden%% *}"))"
# Como lo arranca el escritorio: el usuario, su HOME y la orden de la entrada, desde el PATH.
runuser -u "$usuario" -- env -i PATH=/usr/local/bin:/usr/bin:/bin HOME="$casa" USER="$usuario" \
  LANG=C.UTF-8 DISPLAY="$pantalla" $orden >"$salida/movilant.log" 2>&1 &
programa=$!
ventana=""
for _ in $(seq 1 600); do
  if xwininfo -display "$pantalla" -root -tree 2>/dev/null | grep -q '"Validación de usuario"'; then
    ventana=$(date +%s.%N)
    break
  fi
  kill -0 "$programa" 2>/dev/null || break
  sleep 0.1
done
if [ -z "$ventana" ]; then
  echo "La ventana de acceso no ha aparecido." >&2
  cat "$salida/movilant.log" >&2
  exit 1
fi
xwd -display "$pantalla" -root -silent | xwdtopnm 2>/dev/null | pnmtopng >"$salida/acceso.png"
awk -v i="$inicio" -v a="$instalado" -v v="$ventana" 'BEGIN {
  printf "apt-get install: %.1f s; de apt-get install a la ventana de acceso: %.1f s\n", a - i, v - i
}' | tee "$salida/tiempos.txt"
echo "Captura de la ventana de acceso: $salida/acceso.png"
runuser -u "$usuario" -- movilant-lector --version
stat -c 'Carpeta de datos del usuario: %n (%a, de %U)' "$casa/.local/share/movilant"
kill "$programa"
wait "$programa" 2>/dev/null || true
programa=""

DEBIAN_FRONTEND=noninteractive apt-get remove -y -q movilant >"$salida/apt-remove.log" 2>&1
echo "Tras quitarlo: $(dpkg-query -W -f='${db:Status-Abbrev}' movilant 2>/dev/null || echo 'no está')"
# Sin ficheros de configuración, quitarlo ya lo deja sin nada en dpkg: apt-get no lo conoce y
# la purga se pide a dpkg, que no hace nada con un paquete ya quitado.
dpkg --purge movilant >"$salida/dpkg-purge.log" 2>&1
echo "Tras purgarlo: $(dpkg-query -W -f='${db:Status-Abbrev}' movilant 2>/dev/null || echo 'no está')"
echo "Lo que queda del paquete:"
ls -d /usr/bin/movilant* /usr/share/movilant /usr/share/applications/movilant.desktop \
  /usr/share/metainfo/org.movilant.movilant.metainfo.xml /usr/share/icons/hicolor/*/apps/movilant.* \
  /usr/share/man/man1/movilant*.1.gz /usr/share/doc/movilant 2>/dev/null || echo "  nada"
echo "Lo que queda del usuario (sus datos no son del paquete):"
find "$casa/.local/share/movilant" -maxdepth 2 | sed 's/^/  /'
