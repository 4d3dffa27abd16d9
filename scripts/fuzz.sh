#!/usr/bin/env bash
# Fuzzing con libFuzzer: compila con clang los objetivos de fuzz/objetivos en build-fuzz/ y pasa
# cada uno (o el nombrado) el tiempo pedido, partiendo de su corpus de fuzz/corpus/<objetivo>.
# Lo nuevo que encuentra va a build-fuzz/corpus/<objetivo>; un fallo deja su reproductor en
# build-fuzz/fallos/<objetivo>/ (cópielo a fuzz/corpus/<objetivo>/ con el arreglo, para que las
# pruebas lo pasen siempre).
#
#   scripts/fuzz.sh [SEGUNDOS] [OBJETIVO]      (por omisión 60 segundos, todos los objetivos)
set -euo pipefail
raiz="$(cd "$(dirname "$0")/.." && pwd)"
segundos="${1:-60}"
solo="${2:-}"
build="$raiz/build-fuzz"
if ! command -v clang++ >/dev/null 2>&1; then
  apt-get install -y --no-install-recommends clang >/dev/null
fi
CC=clang CXX=clang++ cmake -S "$raiz" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DMOVILANT_FUZZ=ON >/dev/null
objetivos=()
for f in "$raiz"/fuzz/objetivos/Fuzz*.cpp; do
  n="$(basename "$f" .cpp)"; n="${n#Fuzz}"; n="${n,,}"
  if [ -z "$solo" ] || [ "$solo" = "$n" ]; then objetivos+=("$n"); fi
done
cmake --build "$build" -j "$(nproc)" --target "${objetivos[@]/#/fuzz_}"
estado=0
for n in "${objetivos[@]}"; do
  mkdir -p "$build/corpus/$n" "$build/fallos/$n"
  echo "== $n ($segundos s)"
  if ! ASAN_OPTIONS=detect_leaks=0 QT_QPA_PLATFORM=offscreen "$build/fuzz_$n" \
      -max_total_time="$segundos" -artifact_prefix="$build/fallos/$n/" -print_final_stats=1 \
      "$build/corpus/$n" "$raiz/fuzz/corpus/$n" 2>&1 | grep -E "stat::number_of_executed_units|ERROR|SUMMARY|Test unit written"; then
    :
  fi
  if [ -n "$(ls -A "$build/fallos/$n")" ]; then
    echo "   fallo: $(ls "$build/fallos/$n")"
    estado=1
  fi
done
exit $estado
