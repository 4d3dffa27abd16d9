#pragma once

#include <QString>

// Rellena el texto hasta la longitud pedida con copias de `caracter`, por la izquierda
// (izquierda = true) o por la derecha. Nunca corta. Si `caracter` no es exactamente un carácter
// avisa con un mensaje y devuelve el texto vacío.
QString Rellenar(const QString& texto, qint16 longitud, bool izquierda, const QString& caracter);
