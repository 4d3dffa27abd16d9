#pragma once

#include "platform/Resultado.h"

#include <QString>

// Una solicitud guardada son dos ficheros (el documento y el de listas) que solo valen juntos.

// Sello de un guardado: fecha y hora y un azar, distinto en cada guardado. Los dos ficheros de
// un mismo guardado llevan el mismo.
QString nuevoSelloGuardado();

// Pone en su sitio, como una unidad, los dos ficheros escritos aparte: o quedan los dos nuevos o
// los dos de antes. Primero el documento (con una copia del anterior para volver a él) y luego
// las listas; si las listas no se pueden poner, el documento anterior vuelve a su sitio. Después
// espera a que los cambios de nombre lleguen al disco. Los apartes no quedan en ningún caso. El
// mensaje de un fallo dice qué hay en el disco después.
Resultado ponerParEnSuSitio(const QString& aparteDocumento, const QString& documento,
                            const QString& aparteListas, const QString& listas);
