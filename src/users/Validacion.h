#pragma once

#include <QString>

// Tabla de letras de control del DNI: la letra es la del resto de dividir el número entre 23.
// Caracteres de un DNI completo: ocho cifras y la letra.
inline constexpr int kLongitudDNI = 9;
inline const QString kLetrasDNI = QStringLiteral("TRWAGMYFPDXBNJZSQVHLCKE");

// Veredicto sobre el texto de una caja de DNI y cómo debe quedar la caja después.
struct ComprobacionDNI {
    QString texto;  // relleno con ceros por la izquierda y, si es válido, en mayúsculas
    bool valido = false;
};

// Rellena con ceros hasta nueve caracteres y comprueba la letra de control. Un texto de más de
// nueve caracteres se deja tal cual (y no es válido).
ComprobacionDNI ComprobarDNI(const QString& texto);

// Mayúsculas carácter a carácter, sin que ningún carácter se convierta en dos ("ß" sigue siendo
// "ß"): los resúmenes de contraseñas ya guardados se hicieron así.
QString Mayusculas(const QString& texto);

// Resumen SHA-256 del texto en 64 dígitos hexadecimales en mayúsculas (ver CSHA256).
QString HashTexto(const QString& texto);
