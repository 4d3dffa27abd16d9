// Un TIFF que lee movilant-lector, recorrido para contar sus páginas enteras: los directorios y
// los datos de cada página señalan a cualquier sitio del fichero.
#include "../ObjetivoFuzz.h"
#include "lectura/PaginasTiff.h"

#include <QBuffer>

OBJETIVO_FUZZ(fuzzTiff) {
    fuzz::callar();
    QByteArray bytes = fuzz::bytes(datos, tamano);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    paginasTiff(buffer);
    return 0;
}
