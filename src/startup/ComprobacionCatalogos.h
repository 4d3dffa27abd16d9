#pragma once

#include <QList>
#include <QString>

// Revisión de los dieciséis catálogos de una carpeta contra sus formatos, para quien los prepara.
struct Hallazgo {
    QString fichero;
    int linea = 0;  // 0: el fichero entero
    QString descripcion;
    bool impideCarga = false;  // con él, el programa no puede cargar los catálogos
};

// Todos los problemas encontrados, en el orden de los ficheros y de sus líneas. Si la revisión
// línea a línea no encuentra nada que impida la carga, carga además una copia de los ficheros
// como lo hace el programa, para que nada que este rechace se escape. No escribe en la carpeta.
QList<Hallazgo> comprobarCatalogos(const QString& carpeta);

// "F0009.enc, línea 17: ..." (o "F0009.enc: ..." para el fichero entero).
QString describir(const Hallazgo& h);
