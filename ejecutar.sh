#!/usr/bin/env bash
# Instala lo necesario, compila, prepara una instalación de ejemplo en instalacion/ y arranca
# Movilant en ella.
set -euo pipefail
raiz="$(cd "$(dirname "$0")" && pwd)"
cd "$raiz"
bash scripts/instalar-dependencias.sh
bash scripts/compilar.sh
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
