#pragma once

#include <QCollator>
#include <QString>

// Comparación de textos para ordenar y para los operadores de orden de los filtros: orden del
// castellano (tildes junto a su letra, la ñ tras la n) sin distinguir mayúsculas. Dos textos que
// solo difieren en mayúsculas comparan igual; la ordenación estable los deja en orden de alta,
// así que el resultado no depende de nada más que de los datos.
const QCollator& colacionCastellano();
int compararTextos(const QString& a, const QString& b);
