# Instalación y paquete de Debian (scripts/empaquetar.sh). Lo instalado es relocalizable: el
# programa busca lo que solo lee en ../share/movilant desde su ejecutable, así que el mismo árbol
# funciona instalado en /usr o desempaquetado en cualquier carpeta.
#
# Los ficheros que se generan (catálogos de ejemplo, plantillas, manual, iconos PNG, páginas de
# manual comprimidas) los prepara scripts/empaquetar.sh en ${MOVILANT_PAQUETE}; sin ellos la
# instalación falla diciendo qué falta.
set(MOVILANT_PAQUETE ${CMAKE_BINARY_DIR}/paquete)
set(PAQUETE_FUENTES ${CMAKE_SOURCE_DIR}/datos/paquete)

install(TARGETS movilant movilant-lector movilant-catalogos RUNTIME DESTINATION bin)
install(DIRECTORY ${MOVILANT_PAQUETE}/movilant/ DESTINATION share/movilant)
install(FILES ${PAQUETE_FUENTES}/movilant.desktop DESTINATION share/applications)
install(FILES ${PAQUETE_FUENTES}/org.movilant.movilant.metainfo.xml DESTINATION share/metainfo)
install(FILES ${PAQUETE_FUENTES}/movilant.svg DESTINATION share/icons/hicolor/scalable/apps)
foreach(lado 48 256)
  install(FILES ${MOVILANT_PAQUETE}/iconos/${lado}/movilant.png
          DESTINATION share/icons/hicolor/${lado}x${lado}/apps)
endforeach()
install(FILES ${MOVILANT_PAQUETE}/man/movilant.1.gz ${MOVILANT_PAQUETE}/man/movilant-lector.1.gz
              ${MOVILANT_PAQUETE}/man/movilant-catalogos.1.gz DESTINATION share/man/man1)
install(FILES ${PAQUETE_FUENTES}/copyright ${MOVILANT_PAQUETE}/doc/changelog.gz
        DESTINATION share/doc/movilant)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME movilant)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "solicitud de participación en un concurso de traslados")
# El resumen va delante solo; CPack sangra cada línea y pone el punto de las líneas en blanco.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Movilant es el programa con el que el personal de un servicio regional de
salud rellena, guarda e imprime su solicitud de participación en un concurso
de traslados. Cada hoja impresa lleva códigos de barras PDF417 con los que la
oficina que la recibe lee la solicitud (movilant-lector).

Cada usuario guarda sus solicitudes en su propia carpeta de datos
($XDG_DATA_HOME/movilant).")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Equipo de Movilant <movilant@example.org>")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Los programas que arranca: el LibreOffice sin ventanas que hace el PDF y las fuentes de las
# plantillas, pdftoppm para comprobar los códigos, lp para la impresora y xdg-open para el manual.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libreoffice-writer-nogui, fonts-liberation, fonts-dejavu-core, poppler-utils, cups-client, xdg-utils")
# Los botones de Qt en castellano, el registro SQLite del lector y las imágenes TIFF que lee.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
    "qt6-translations-l10n, libqt6sql6-sqlite, qt6-image-formats-plugins")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "libqt6sql6-psql")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_OUTPUT_FILE_PREFIX ${MOVILANT_PAQUETE})
include(CPack)
