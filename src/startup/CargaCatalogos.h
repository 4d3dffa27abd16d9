#pragma once

#include "platform/Resultado.h"
#include "platform/Tabla.h"

#include <QList>
#include <QPair>
#include <QString>

// Carga de todos los catálogos como la hace el programa: rsCuerpos primero (como al arrancar) y
// luego los pasos de la pantalla de carga que leen ficheros, en su orden, con sus números de
// paso. Sirve a la herramienta de catálogos y a las medidas; no construye índices.
// El fallo de un paso llega como "Error en línea " & paso & "." & descripción & " " & número.
Resultado cargarTodosLosCatalogos(const QString& carpetaFicheros);
// Lo mismo sobre una copia de los dieciséis ficheros en una carpeta temporal: la carpeta que se
// inspecciona no cambia (ni siquiera recibe el fichero de paso temp.tmp).
Resultado cargarCopiaDeLosCatalogos(const QString& carpetaFicheros);

// Las 21 tablas que llenan los ficheros, con su nombre global, en el orden en que se llenan.
QList<QPair<QString, PTabla>> tablasDeLosFicheros();

// Volcado de texto de unas tablas: "# " & nombre, los nombres de campo separados por
// tabuladores y una línea por registro, en el orden de la tabla, con sus valores separados por
// tabuladores.
QString volcarTablas(const QList<QPair<QString, PTabla>>& tablas);
