#pragma once

#include <QImage>
#include <QString>

// El bitmap de un código en su hueco de la página (twips), pasado por un PDF y por pdftoppm a
// `ppp`, con 80 píxeles de papel blanco alrededor, como el recorte de un código de la impresión.
// `fase` (0..1) corre el hueco una fracción de píxel: en el papel cae donde cae. El PDF se escribe
// en `carpeta`. Una imagen nula si no se ha podido.
QImage rasterHueco(const QString& carpeta, const QImage& bmp, int anchoTwips, int altoTwips,
                   int ppp, double fase = 0);

// Un PDF de una página con la hoja entera tal como la deja un escáner que escanea a PDF: la imagen
// a `ppp`, del tamaño de la página. Falso si no se ha podido escribir.
bool escribirPdfEscaneado(const QString& ruta, const QImage& hoja, int ppp);
