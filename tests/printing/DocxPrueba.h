#pragma once

#include <QSize>
#include <QString>
#include <QVector>

// Documento DOCX mínimo para probar la conversión y la lectura sin el motor de documentos: una
// página por elemento, con un párrafo de texto y sus imágenes en línea al tamaño dado (twips).
struct ImagenPrueba {
    QString ruta;
    QSize twips;
};
struct PaginaPrueba {
    QString texto;
    QVector<ImagenPrueba> imagenes;
};

bool escribirDocxPrueba(const QString& ruta, const QVector<PaginaPrueba>& paginas);
