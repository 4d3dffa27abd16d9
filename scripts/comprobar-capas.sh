#!/usr/bin/env bash
# Comprueba que cada #include de src/ apunta hacia abajo en el orden de las carpetas:
#   platform → global → catalogue → users, printing → storage, lectura → registro → startup →
#   form → app
# Una carpeta puede incluir de la suya y de las de más abajo, nunca de una de su altura ni de una
# de más arriba; y lo que no está en una carpeta "ventanas" nunca incluye de una (el núcleo no
# conoce los widgets). Sale con 1 y dice cada include que sube.
set -euo pipefail
raiz="$(cd "$(dirname "$0")/.." && pwd)"
cd "$raiz"
declare -A altura=([platform]=0 [global]=1 [catalogue]=2 [users]=3 [printing]=3 [storage]=4
  [lectura]=4 [registro]=5 [startup]=6 [form]=7 [app]=8)
fallos=0
while IFS= read -r fichero; do
  carpeta="${fichero#src/}"
  carpeta="${carpeta%%/*}"
  if [ -z "${altura[$carpeta]+x}" ]; then
    echo "$fichero: la carpeta src/$carpeta no tiene sitio en el orden de las capas" >&2
    fallos=1
    continue
  fi
  nucleo=1
  case "$fichero" in */ventanas/* | src/app/*) nucleo=0 ;; esac
  while IFS= read -r incluido; do
    otra="${incluido%%/*}"
    [ -n "${altura[$otra]+x}" ] || continue
    if [ "$otra" != "$carpeta" ] && [ "${altura[$otra]}" -ge "${altura[$carpeta]}" ]; then
      echo "$fichero: incluye \"$incluido\" (src/$otra no está por debajo de src/$carpeta)" >&2
      fallos=1
    fi
    if [ "$nucleo" = 1 ]; then
      case "$incluido" in */ventanas/*)
        echo "$fichero: incluye \"$incluido\", una ventana, desde el núcleo" >&2
        fallos=1 ;;
      esac
    fi
  done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$fichero")
done < <(find src -name '*.h' -o -name '*.cpp' | sort)
if [ "$fallos" = 0 ]; then echo "Capas en orden: todos los include de src/ apuntan hacia abajo."; fi
exit "$fallos"
