#pragma once

#include <QImage>
#include <QtGlobal>

// Daños de un escaneo de oficina.
struct DanoEscaneo {
    double grados = 1.5;   // giro (con él, la hoja se corre al azar menos de un píxel)
    double sigma = 0.8;    // desenfoque gaussiano, en píxeles
    double ruido = 8.0;    // desviación del ruido gaussiano, en niveles de gris (0..255)
    bool umbral = true;    // grises y umbral (blanco y negro), como un escáner de documentos
    int calidadJpeg = 60;  // 0: sin JPEG
};

// La página tal como llegaría de un escáner: girada, desenfocada, con ruido, en grises con umbral
// y pasada por JPEG. La misma semilla da la misma imagen.
QImage simularEscaneo(const QImage& pagina, const DanoEscaneo& dano, quint32 semilla);
