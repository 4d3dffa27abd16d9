#pragma once

#include <QString>
#include <QStringList>

// Construye con movilant-plantillas las plantillas del programa en `carpeta` y devuelve la ruta
// de la carpeta DOT_ pedida (vacía si la herramienta no está compilada o falla).
QString construirPlantillasReales(const QString& carpeta,
                                  const QString& combinacion = QStringLiteral("DOT_11111"));

// Texto de cada página del PDF, según pdftotext con -layout (vacía si no se puede leer).
QStringList textoPaginas(const QString& pdf);
