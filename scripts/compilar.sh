#!/usr/bin/env bash
# Configura y compila Movilant en build/ (o en la carpeta de MOVILANT_BUILD). Sin argumentos lo
# compila todo; con nombres de objetivos, solo esos y lo que necesitan (ejecutar.sh compila así
# solo el programa y las herramientas de la instalación de ejemplo). Con
# MOVILANT_SANITIZADORES=1 compila con AddressSanitizer y UndefinedBehaviorSanitizer solo lo que
# usan las pruebas; con MOVILANT_HILOS=1, las dos pruebas con ThreadSanitizer.
set -euo pipefail
raiz="$(cd "$(dirname "$0")/.." && pwd)"
build="${MOVILANT_BUILD:-$raiz/build}"

# Con ventanas (.ui) o cabeceras nuevas o quitadas desde la última compilación, lo que Qt generó
# entonces (uic y moc) puede no verlas y la compilación falla ("ui_X.h" que no existe, vtable que
# falta). En ese caso lo generado se rehace desde cero, antes de configurar.
huella="$(cd "$raiz" && find src tests bench tools \( -name '*.ui' -o -name '*.h' \) | sort | md5sum)"
fichero_huella="$build/.huella-generados"
if [ -f "$build/CMakeCache.txt" ] && [ "$(cat "$fichero_huella" 2>/dev/null)" != "$huella" ]; then
  rm -rf "$build"/*_autogen "$build"/CMakeFiles/*_autogen.dir
fi

opciones=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
objetivos=()
if [ $# -gt 0 ]; then objetivos=(--target "$@"); fi
if [ "${MOVILANT_SANITIZADORES:-0}" = 1 ]; then
  opciones+=(-DMOVILANT_SANITIZADORES=ON)
  objetivos=(--target pruebas_nucleo pruebas_gui movilant-plantillas movilant-catalogos
    movilant-lector)
else
  opciones+=(-DMOVILANT_SANITIZADORES=OFF)
fi
# Con MOVILANT_HILOS=1, ThreadSanitizer (scripts/hilos.sh): las dos pruebas y las plantillas que
# usan.
if [ "${MOVILANT_HILOS:-0}" = 1 ]; then
  opciones+=(-DMOVILANT_HILOS=ON)
  objetivos=(--target pruebas_nucleo pruebas_gui movilant-plantillas)
else
  opciones+=(-DMOVILANT_HILOS=OFF)
fi
# Con ccache, lo que no ha cambiado desde la última compilación (en esta u otra copia del
# repositorio) no se vuelve a compilar: las rutas cuentan desde la raíz, no desde /.
if command -v ccache >/dev/null; then
  opciones+=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$raiz}" CCACHE_NOHASHDIR=1
  export CCACHE_MAXSIZE="${CCACHE_MAXSIZE:-20G}"
fi
cmake -S "$raiz" -B "$build" -G Ninja "${opciones[@]}" >/dev/null
cmake --build "$build" -j "$(nproc)" "${objetivos[@]}"
# uic rehace las cabeceras de un .ui cambiado durante la compilación, cuando ninja ya ha decidido
# qué objetos están al día: una segunda pasada recompila los que las incluyen (y si no hay
# ninguno, no hace nada).
cmake --build "$build" -j "$(nproc)" "${objetivos[@]}"
echo "$huella" > "$fichero_huella"
