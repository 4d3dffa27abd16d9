#pragma once

#include <QColor>

class QLineEdit;

// Colores del texto de una caja de DNI: negro si es válido, rojo 254 si no.
inline const QColor kColorDNIValido(0, 0, 0);
inline const QColor kColorDNINoValido(254, 0, 0);

// Comprueba el DNI de la caja: la rellena con ceros por la izquierda, la pone en mayúsculas si
// es válido, colorea el texto y, si no es válido, avisa con "DNI no válido".
bool ValidarDNI(QLineEdit* caja);
