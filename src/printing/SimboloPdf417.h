#pragma once

#include "platform/Resultado.h"

#include <QByteArray>
#include <QString>
#include <QVector>

// Medidas de un símbolo PDF417 elegidas para un hueco del documento. Todo en módulos salvo lo
// que dice otra cosa.
struct DisenoPdf417 {
    int nivel = 0;     // nivel de corrección de errores (0..8)
    int columnas = 0;  // columnas de datos
    int filas = 0;
    int palabrasDatos = 0;  // cota superior de las palabras de datos (con la de longitud)
    int anchoSimbolo = 0;   // sin zona de silencio
    int altoFila = 0;
    int silencioHorizontal = 0;  // a cada lado
    int silencioVertical = 0;    // arriba y abajo
    int pixelesModulo = 0;
    double moduloMm = 0;  // ancho del módulo en el papel, insertado al tamaño del hueco
    int anchoPixeles = 0;
    int altoPixeles = 0;
};

// Límites que hacen legible un PDF417 impreso.
namespace LimitesPdf417 {
constexpr double ModuloMinimoMm = 0.25;
constexpr int SilencioMinimo = 2;
constexpr int AltoFilaMinimo = 3;
}  // namespace LimitesPdf417

// Nivel de corrección mínimo recomendado para ese número de palabras de datos.
int nivelRecomendadoPdf417(int palabrasDatos);

// Todos los diseños legibles de esos bytes en un hueco de anchoTwips × altoTwips: cada nivel desde
// el recomendado, cada número de columnas y cada alto de fila mínimo, con el módulo más grande con
// el que caben y el hueco lleno (filas estiradas y el resto, zona de silencio).
ResultadoDe<QVector<DisenoPdf417>> disenosPdf417(const QByteArray& datos, int anchoTwips,
                                                 int altoTwips);

// El diseño que se imprime para esos bytes en ese hueco: el mejor de disenosPdf417.
ResultadoDe<DisenoPdf417> disenarPdf417(const QByteArray& datos, int anchoTwips, int altoTwips);

// Diseña y escribe el bitmap (.bmp) del símbolo en `rutaBmp`, que se crea en exclusiva (solo del
// usuario): si ya hay algo con ese nombre, un fichero o un enlace, falla sin tocarlo.
Resultado escribirPdf417(const QByteArray& datos, int anchoTwips, int altoTwips,
                         const QString& rutaBmp);

// Escribe el bitmap (.bmp) de ese diseño.
Resultado escribirPdf417(const QByteArray& datos, const DisenoPdf417& diseno,
                         const QString& rutaBmp);
