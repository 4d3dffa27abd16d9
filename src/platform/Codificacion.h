#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// Página de códigos ANSI del sistema (Windows-1252, Europa occidental). Los catálogos, los textos
// de los códigos de barras y los ficheros de texto del programa usan estos bytes.
namespace Codificacion {

// Carácter de un byte Windows-1252 (los cinco huecos de la tabla dan el control del mismo código).
QChar caracterWindows1252(unsigned char byte);
QString desdeWindows1252(QByteArrayView bytes);

// Byte Windows-1252 de un carácter; falso si el carácter no existe en esa página.
bool byteWindows1252(QChar c, unsigned char& byte);
// Texto a bytes Windows-1252; lo que no existe en la página se cambia por '?'.
QByteArray aWindows1252(const QString& texto);
// Verdadero si todos los caracteres del texto existen en Windows-1252.
bool cabeEnWindows1252(const QString& texto);

}  // namespace Codificacion
