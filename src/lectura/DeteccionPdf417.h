#pragma once

#include <QImage>

// Verdadero si en la imagen (gris de 8 bits) se ve la columna de arranque o la de parada de un
// PDF417: el mismo dibujo de barras (8-1-1-1-1-1-1-3 módulos el de arranque, 7-1-1-3-1-1-1-2-1 el
// de parada, o al revés en una hoja girada del todo) en muchas líneas seguidas y en el mismo
// sitio. Sirve para distinguir un código que no se deja leer de una página que no lo lleva: el
// lector de códigos no dice nada de los que no puede leer.
bool hayPdf417(const QImage& gris);
