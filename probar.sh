#!/usr/bin/env bash
# Instala lo necesario, compila y pasa todas las pruebas de Movilant.
set -euo pipefail
raiz="$(cd "$(dirname "$0")" && pwd)"
cd "$raiz"
bash scripts/instalar-dependencias.sh
bash scripts/compilar.sh
build="${MOVILANT_BUILD:-$raiz/build}"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$build" --output-on-failure -j 2 --timeout 600
# El paquete de Debian, hecho con esa compilación y usado desempaquetado (sin instalarlo).
MOVILANT_BUILD="$build" bash scripts/probar-paquete.sh

# Otra vez, compiladas con AddressSanitizer y UndefinedBehaviorSanitizer en su propia carpeta:
# cualquier aviso detiene la prueba que lo da. Sin LeakSanitizer: Qt y fontconfig guardan memoria
# a propósito hasta el final del proceso.
sanitizado="${MOVILANT_BUILD_SANITIZADO:-$raiz/build-sanitizado}"
MOVILANT_BUILD="$sanitizado" MOVILANT_SANITIZADORES=1 bash scripts/compilar.sh
ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir "$sanitizado" --output-on-failure -j 2 --timeout 900
