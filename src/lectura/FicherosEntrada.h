#pragma once

#include "platform/Resultado.h"

#include <QString>
#include <QStringList>

// Los ficheros que lee el lector: PDF e imágenes de las que abren los visores de siempre.

struct FicherosEntrada {
    QStringList ficheros;  // los que se leen, cada uno una vez
    QStringList omitidos;  // lo que no se lee de las carpetas, con el porqué
    // Las subcarpetas que no se han podido recorrer, con la causa: pueden tener hojas de
    // cualquier solicitud.
    QStringList carpetasSinLeer;
};

// Cada ruta tal cual y, si es una carpeta, sus PDF e imágenes por orden de nombre (y las de sus
// subcarpetas si se piden; si no, cada subcarpeta va a los omitidos, como lo que no es un PDF ni
// una imagen, y como los ficheros y las carpetas ocultos). El mismo fichero, una sola vez. Falla
// si una ruta no existe, si una carpeta nombrada no se puede leer o si no queda ninguno.
ResultadoDe<FicherosEntrada> ficherosDeEntrada(const QStringList& rutas, bool subcarpetas = false);

// Las extensiones que se leen de una carpeta ("pdf", "png", "jpg", "jfif", "gif"...), en
// minúsculas.
const QStringList& extensionesLeidas();

// Verdadero si el JPEG acaba: tras su primer barrido de datos llega su marca de fin. Lo que venga
// detrás (hay cámaras y programas que lo añaden) no cuenta. Un JPEG cortado se lee igual (lo que
// falta sale gris) y solo se nota en esto.
bool jpegCompleto(const QByteArray& bytes);

// Verdadero si el PNG llega entero hasta su último trozo (IEND).
bool pngCompleto(const QByteArray& bytes);
