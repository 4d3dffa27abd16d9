#!/usr/bin/env bash
# Vuelve a fotografiar las ventanas del programa para el manual de usuario: deja un PNG por
# ventana en datos/plantillas/capturas/, que el manual ("movilant-plantillas manual") incluye.
# Hay que volver a pasarlo cuando cambian las ventanas. Las ventanas se pintan en una pantalla
# virtual (Xvfb) si está instalada; si no, fuera de pantalla.
set -euo pipefail
raiz="$(cd "$(dirname "$0")/.." && pwd)"
build="${MOVILANT_BUILD:-$raiz/build}"
[ -x "$build/movilant-capturas" ] || bash "$raiz/scripts/compilar.sh"
destino="$raiz/datos/plantillas/capturas"
if command -v xvfb-run >/dev/null 2>&1; then
  xvfb-run -a -s "-screen 0 1280x1024x24" "$build/movilant-capturas" "$destino"
else
  QT_QPA_PLATFORM=offscreen "$build/movilant-capturas" "$destino"
fi
