#!/usr/bin/env bash
# Instala lo necesario, compila, prepara una instalación de ejemplo en instalacion/ y arranca
# Movilant en ella.
set -euo pipefail
raiz="$(cd "$(dirname "$0")" && pwd)"
cd "$raiz"
bash scripts/instalar-dependencias.sh
# Solo lo que hace falta para arrancar: el programa y las herramientas que montan la instalación
# de ejemplo (las pruebas y las medidas las compila probar.sh).
bash scripts/compilar.sh movilant movilant-catalogos movilant-plantillas
bash scripts/preparar-instalacion.sh "$raiz/instalacion"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  cat >&2 <<MSG
No hay pantalla gráfica (ni DISPLAY ni WAYLAND_DISPLAY).
La instalación de ejemplo está lista en: $raiz/instalacion
Para arrancar el programa sin pantalla, en una pantalla virtual:
  xvfb-run -a -s "-screen 0 1280x1024x24" $raiz/instalacion/movilant
MSG
  exit 1
fi
exec "$raiz/instalacion/movilant"
