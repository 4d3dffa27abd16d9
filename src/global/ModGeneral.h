#pragma once

#include <QString>

// Rellena el texto hasta la longitud pedida con copias de `caracter`, por la izquierda
// (izquierda = true) o por la derecha. Nunca corta. Si `caracter` no es exactamente un carácter
// avisa con un mensaje y devuelve el texto vacío.
QString Rellenar(const QString& texto, qint16 longitud, bool izquierda, const QString& caracter);

// Texto de la página OEM (CP850, la de los ficheros de zonas) a la página ANSI (Windows-1252).
// Entrada y salida son textos cuyos caracteres son los de Windows-1252 (cada carácter, un byte);
// el resultado tiene la misma longitud. Los caracteres de CP850 que no existen en Windows-1252
// (cuadros, sombreados, ı, ‗) se cambian por su parecido en ASCII.
QString OemAAnsi(const QString& texto);

// Lo contrario, para quien prepara ficheros de zonas: Windows-1252 a CP850. Lo que no existe en
// CP850 queda como '?'.
QString AnsiAOem(const QString& texto);
