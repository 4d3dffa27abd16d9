#!/usr/bin/env bash
# Configura y compila Movilant en build/ (o en la carpeta de MOVILANT_BUILD).
set -euo pipefail
raiz="$(cd "$(dirname "$0")/.." && pwd)"
build="${MOVILANT_BUILD:-$raiz/build}"
cmake -S "$raiz" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j "$(nproc)"
