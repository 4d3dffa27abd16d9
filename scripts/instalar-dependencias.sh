#!/usr/bin/env bash
# Instala los paquetes de Debian 12 que necesita Movilant (compilación, pruebas y ejecución).
set -euo pipefail
PAQUETES=(
  build-essential cmake ninja-build pkg-config ccache
  qt6-base-dev qt6-base-dev-tools qt6-base-private-dev qt6-translations-l10n
  qt6-image-formats-plugins libgl-dev
  libpugixml-dev libzip-dev zipcmp zipmerge ziptool libzint-dev libzxing-dev libtiff-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  libreoffice-writer-nogui fonts-liberation fonts-dejavu-core
  poppler-utils cups-client cups-daemon cups-filters printer-driver-cups-pdf
  libqt6sql6-sqlite libqt6sql6-psql postgresql
  xvfb xauth x11-utils unzip
  # "Ayuda" entrega el manual en PDF al visor del escritorio; en una máquina sin escritorio
  # completo, estos son el enlace con él y un visor pequeño.
  xdg-utils xpdf
  # Un navegador de verdad, sin ventana, abre el informe de la lectura en las pruebas.
  chromium
  # El paquete de Debian (scripts/empaquetar.sh y su comprobación): los ficheros de control y las
  # dependencias de bibliotecas, los iconos PNG, y la revisión de Debian, de la entrada del menú
  # y de los metadatos de AppStream. La captura de la prueba que lo instala (netpbm).
  dpkg-dev librsvg2-bin lintian desktop-file-utils appstream man-db netpbm
)
faltan=()
for p in "${PAQUETES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || faltan+=("$p")
done
if [ ${#faltan[@]} -gt 0 ]; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "Faltan paquetes (${faltan[*]}) y hace falta ser root para instalarlos." >&2
    exit 1
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  apt-get install -y -q --no-install-recommends "${faltan[@]}"
fi
