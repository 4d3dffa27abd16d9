#!/usr/bin/env bash
# Monta una instalación completa de ejemplo en la carpeta indicada: el programa junto a
# conf.xml, usuarios.xml, el manual y ficheros/ (catálogos, FicheroTexto.txt, plantillas, temp/).
# No toca usuarios.xml ni ficheros/temp/ si ya existen: son datos del usuario.
# Con --solo-lectura, solo lo que el programa lee (lo que va en /usr/share/movilant del paquete):
# ni el programa, ni usuarios.xml, ni temp/.
set -euo pipefail
raiz="$(cd "$(dirname "$0")/.." && pwd)"
build="${MOVILANT_BUILD:-$raiz/build}"
solo_lectura=0
if [ "${1:-}" = --solo-lectura ]; then solo_lectura=1; shift; fi
destino="${1:-$raiz/instalacion}"
mkdir -p "$destino/ficheros"
if [ $solo_lectura = 0 ]; then
  # Las solicitudes guardadas llevan datos personales: la carpeta es solo del usuario.
  [ -d "$destino/ficheros/temp" ] || mkdir -m 700 "$destino/ficheros/temp"
  cp -f "$build/movilant" "$destino/movilant"
  [ -f "$destino/usuarios.xml" ] || cp "$raiz/datos/usuarios.xml" "$destino/usuarios.xml"
fi
cp -f "$raiz/datos/conf.xml" "$destino/conf.xml"
cp -f "$raiz/datos/FicheroTexto.txt" "$destino/ficheros/FicheroTexto.txt"
"$build/movilant-catalogos" generar "$destino/ficheros" >/dev/null
if [ -x "$build/movilant-plantillas" ]; then
  "$build/movilant-plantillas" instalar "$raiz/datos/plantillas" "$destino/ficheros" >/dev/null
  "$build/movilant-plantillas" manual "$raiz/datos/plantillas" "$destino/Manual de Usuario.doc" >/dev/null
  # "Ayuda" abre el manual en PDF con el visor del escritorio: el LibreOffice de la impresión no
  # tiene ventanas. Se convierte aquí, con un perfil propio que no choca con otro en marcha.
  perfil="$(mktemp -d)"
  if ! soffice -env:UserInstallation="file://$perfil" --headless --convert-to pdf \
      --outdir "$destino" "$destino/Manual de Usuario.doc" >/dev/null 2>&1; then
    echo "Aviso: no se ha podido hacer el manual en PDF; \"Ayuda\" lo dirá." >&2
  fi
  rm -rf "$perfil"
fi
echo "Instalación de ejemplo lista en $destino"
