#pragma once

#include "lectura/LecturaPaginas.h"
#include "platform/Resultado.h"

#include <QString>
#include <QStringList>

// Leer un lote (y anotarlo en el registro, si se da), o consultar el registro.
enum class OrdenLector { Leer, Estado, Exportar };

struct OpcionesLector {
    OrdenLector orden = OrdenLector::Leer;
    QString registro;      // fichero SQLite o URI postgresql://; vacío: sin registro
    QStringList entradas;  // ficheros y carpetas, tal como se dieron
    QString salida;        // vacía: una carpeta nueva para esta lectura
    OpcionesLectura lectura;
    bool subcarpetas = false;
    bool progreso = true;
    bool ayuda = false;
    bool version = false;
};

extern const char* const kAyudaLector;

// Interpreta los argumentos (sin el nombre del programa). El fallo dice qué argumento no vale.
ResultadoDe<OpcionesLector> interpretarOpciones(const QStringList& argumentos);
