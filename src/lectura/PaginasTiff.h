#pragma once

#include <QByteArray>
#include <QIODevice>

// Verdadero si los bytes empiezan como un TIFF (también BigTIFF).
bool esTiff(const QByteArray& principio);

// Las páginas de un TIFF que están enteras en el fichero, de la primera en adelante (su directorio
// y los datos de su imagen caben en él), y si el fichero llega así hasta su última página, la que
// no señala otra detrás. Un TIFF cortado se abre igual: las páginas que siguen al corte no se ven
// y libtiff solo lo cuenta en la salida de errores.
struct PaginasTiff {
    int enteras = 0;
    bool entero = false;
};
PaginasTiff paginasTiff(QIODevice& fichero);
