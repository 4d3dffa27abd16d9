#pragma once

#include "lectura/LecturaPaginas.h"
#include "platform/Resultado.h"

#include <QString>
#include <QStringList>

// Leer un lote (y anotarlo en el registro, si se da), o consultar el registro.
enum class OrdenLector { Leer, Estado, Exportar, Informe, Resolver };

struct OpcionesLector {
    OrdenLector orden = OrdenLector::Leer;
    QString registro;      // fichero SQLite o URI postgresql://; vacío: sin registro
    QStringList entradas;  // ficheros y carpetas, tal como se dieron
    QString salida;        // vacía: una carpeta nueva para esta lectura
    OpcionesLectura lectura;
    bool subcarpetas = false;
    bool progreso = true;
    bool ayuda = false;
    // «resolver»: la hoja (fichero y página, en `entradas`), el fichero que la sustituye o que
    // se descarta y, si en esa ruta se han leído varios ficheros, el principio de la huella.
    QString por;
    bool descartada = false;
    QString huella;
    int pagina = -1;
    bool version = false;
};

extern const char* const kAyudaLector;

// Interpreta los argumentos (sin el nombre del programa). El fallo dice qué argumento no vale.
ResultadoDe<OpcionesLector> interpretarOpciones(const QStringList& argumentos);
