#pragma once

#include <QByteArray>
#include <QImage>
#include <QRect>

// Las imágenes reducidas de las hojas que tiene que ver una persona, para el informe de la
// lectura. Se hacen de la misma imagen en gris que se ha analizado, mientras se lee la página:
// ninguna página se pasa a imagen dos veces.

// Anchura de una imagen reducida: de 500 a 700 puntos, la que da reducir la página un número
// entero de veces (un A4 a 200 ppp, a la tercera parte: 551 puntos). Con ella se reconoce la hoja
// en el montón y se ve dónde está su código; una reducción entera es un promedio de cuadros, sin
// pasar por una imagen intermedia, y cuesta menos que cualquier otra.
inline constexpr int kAnchoMiniatura = 600;
// Lo que ocupa como mucho cada una: con 500 hojas que ver, 20 MB.
inline constexpr qsizetype kBytesMiniatura = 40'000;

// La zona de la hoja que la hace «ilegible», en puntos de esa imagen: la del código que no se lee
// (o la zona a media tinta del tamaño de uno) o, si no se ve ninguna, la tabla de plazas; vacía si
// no se ve nada de eso.
QRect zonaIlegible(const QImage& gris);

// La página reducida, en JPEG, con `zona` (en puntos de la página) recuadrada en rojo si no está
// vacía. Nunca pasa de kBytesMiniatura: si no cabe, baja la calidad y después el tamaño.
QByteArray miniaturaPagina(const QImage& pagina, const QRect& zona = {});
