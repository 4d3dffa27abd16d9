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
