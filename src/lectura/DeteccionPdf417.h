#pragma once

#include <QImage>
#include <vector>

// Lo que se ve en una hoja en gris (8 bits) cuando el lector de códigos no lee nada: si hay un
// PDF417 que no se deja leer o si la hoja está en blanco. El lector de códigos no dice nada de los
// que no puede leer.

// Lo más claro que cuenta como tinta: tanto más oscuro que el papel. El ruido de un escáner (unos
// 8 niveles) y la sombra de sus bordes no llegan; el negro de una hoja impresa o escaneada muy
// clara (gris 150 sobre papel blanco) sí.
inline constexpr int kContrasteTinta = 56;

// El papel y la tinta de una hoja: el papel es el nivel de la mediana (casi toda la hoja es
// papel) y la tinta el de lo más oscuro que cubre al menos una de cada doscientas muestras. Así
// los umbrales siguen a la hoja: una impresión o un escaneo claros, un papel gris.
struct NivelesHoja {
    int papel = 255;
    int tinta = 0;
    bool hayTinta() const { return papel - tinta >= kContrasteTinta; }
    int umbral() const { return (papel + tinta + 1) / 2; }
};
NivelesHoja nivelesHoja(const QImage& gris);

// Verdadero si menos de una milésima de los puntos es tinta (las motas de un escaneo no llegan).
bool hojaEnBlanco(const QImage& gris, const NivelesHoja& niveles);

// Verdadero si se ve la columna de arranque o la de parada de un PDF417 (con los puntos más
// oscuros que `umbral` por negros): el mismo dibujo de barras (8-1-1-1-1-1-1-3 módulos el de
// arranque, 7-1-1-3-1-1-1-2-1 el de parada, o al revés en una hoja girada del todo) en muchas
// líneas seguidas y en el mismo sitio.
bool hayPdf417(const QImage& gris, int umbral = 128);

// La hoja partida en celdas de 2 mm de ancho por 1 de alto (la anchura de un A4 entre 105 y entre
// 210), y cuáles están a media tinta (entre el 30 y el 90 % cubiertas), como las deja un PDF417
// aunque esté desenfocado.
struct CeldasMediaTinta {
    int anchoCelda = 0, altoCelda = 0;  // en puntos
    int ancho = 0, alto = 0;            // en celdas
    std::vector<char> media;            // por filas, de arriba abajo
};
CeldasMediaTinta celdasMediaTinta(const QImage& gris, const NivelesHoja& niveles);

// Verdadero si hay una zona del tamaño de un código de barras cubierta de tinta a medias, como la
// deja un PDF417 (la mitad de sus módulos son negros) aunque esté tan desenfocado que no se
// distinga ni una barra: el desenfoque no cambia cuánta tinta hay en cada trozo.
bool hayZonaCodigo(const QImage& gris, const NivelesHoja& niveles);

// Verdadero si se ve la tabla de una hoja de plazas: seis rayas verticales finas o más, una al
// lado de otra a la misma altura. Las listas de Vacantes se imprimen con seis columnas y las de
// Resultas con cinco; las de cursos con cuatro y las de documentos con dos. Una hoja de plazas
// lleva siempre su código: si se ve su tabla y no se lee ninguno, el código está arrancado,
// tapado o demasiado claro, y la hoja no es de cursos ni de documentos. Una tabla que llega al pie
// de la hoja no cuenta: sigue en la hoja siguiente, que es la que lleva el código. Un escaneo en
// blanco y negro a 200 ppp puede dejar las rayas de medio punto en puntos sueltos: esa hoja no se
// reconoce y sigue siendo una hoja sin código.
bool hayTablaPlazas(const QImage& gris, const NivelesHoja& niveles);
