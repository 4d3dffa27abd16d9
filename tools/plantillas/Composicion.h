#pragma once

#include "platform/Resultado.h"

#include <QByteArray>
#include <QString>

// Variante de plantilla: la 97 lleva las marcas de texto detrás de las tablas de listas.
enum class VariantePlantilla { XP, W97 };

// Convierte la fuente legible de la solicitud (datos/plantillas/solicitud.xml) en el
// word/document.xml de una plantilla, para una combinación de pestañas visibles ("11111").
ResultadoDe<QByteArray> componerSolicitud(const QString& rutaFuente, VariantePlantilla variante,
                                          const QString& pestanas);

// Convierte el manual en texto (líneas "# título", "## apartado", "### subapartado", "- viñeta", "![pie](ruta.png)"
// y párrafos separados por líneas en blanco) en el word/document.xml del manual. Cada imagen
// queda como un párrafo con su marca (marcaImagen) seguido de su pie: ponerImagenes la cambia
// por la imagen.
ResultadoDe<QByteArray> componerManual(const QString& rutaFuente);
QString marcaImagen(const QString& ruta);
// Cambia en el documento escrito cada marca de imagen por la imagen (ruta relativa a `fuentes`),
// a lo ancho del texto como mucho.
Resultado ponerImagenes(const QString& documento, const QString& fuentes);

// Escribe un paquete DOCX con el documento dado y los estilos comunes. `plantilla` marca la
// parte principal como plantilla (.dot) o como documento.
Resultado escribirPaquete(const QString& destino, const QByteArray& documento,
                          const QByteArray& estilos, bool plantilla);
