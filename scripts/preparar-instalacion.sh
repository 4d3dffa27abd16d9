#!/usr/bin/env bash
# Monta una instalación completa de ejemplo en la carpeta indicada: el programa junto a
# conf.xml, usuarios.xml, el manual y ficheros/ (catálogos, FicheroTexto.txt, plantillas, temp/).
# No toca usuarios.xml ni ficheros/temp/ si ya existen: son datos del usuario.
set -euo pipefail
raiz="$(cd "$(dirname "$0")/.." && pwd)"
build="${MOVILANT_BUILD:-$raiz/build}"
destino="${1:-$raiz/instalacion}"
mkdir -p "$destino/ficheros"
# Las solicitudes guardadas llevan datos personales: la carpeta es solo del usuario.
[ -d "$destino/ficheros/temp" ] || mkdir -m 700 "$destino/ficheros/temp"
cp -f "$build/movilant" "$destino/movilant"
cp -f "$raiz/datos/conf.xml" "$destino/conf.xml"
[ -f "$destino/usuarios.xml" ] || cp "$raiz/datos/usuarios.xml" "$destino/usuarios.xml"
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
