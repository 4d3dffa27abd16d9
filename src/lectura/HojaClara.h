#pragma once

#include <QImage>

// Una hoja impresa o escaneada tan clara que su tinta apenas se separa del papel (el negro como
// gris 230 sobre papel blanco): ni el lector de códigos ni los umbrales de siempre la ven, y
// parecería una hoja en blanco.

// Por debajo de este contraste entre el papel y la tinta, una hoja en la que no se ha leído
// ningún código se lee otra vez estirada.
inline constexpr int kContrasteEstirar = 128;

// La hoja (en gris, 8 bits) con su tinta estirada hasta el negro y su papel hasta el blanco; nula
// si no se distingue tinta del ruido del escáner: una hoja en blanco sigue en blanco. Los bordes
// (5 mm) quedan blancos: la sombra de la tapa del escáner no es tinta. Una hoja con ruido se
// suaviza antes, para que la tinta clara se separe de él.
QImage tintaEstirada(const QImage& gris);
