#pragma once

#include "lectura/LecturaPaginas.h"
#include "platform/Resultado.h"

#include <QString>
#include <QStringList>

struct OpcionesLector {
    QStringList entradas;  // ficheros y carpetas, tal como se dieron
    QString salida;        // vacía: una carpeta nueva para esta lectura
    OpcionesLectura lectura;
    bool subcarpetas = false;
    bool progreso = true;
    bool ayuda = false;
};

extern const char* const kAyudaLector;

// Interpreta los argumentos (sin el nombre del programa). El fallo dice qué argumento no vale.
ResultadoDe<OpcionesLector> interpretarOpciones(const QStringList& argumentos);
