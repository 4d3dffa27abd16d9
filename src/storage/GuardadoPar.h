#pragma once

#include "platform/Resultado.h"

#include <QString>
#include <functional>

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

// Pasos del guardado de una solicitud en su hilo de trabajo: al empezar (antes de hacer nada), con
// el documento hecho y con las listas escritas (aún sin poner en su sitio). Las pruebas ponen un
// gancho que para el hilo en uno de ellos para ver qué pasa mientras; vacío, no se hace nada.
enum class PasoGuardado { Empieza, DocumentoHecho, ListasEscritas };
using GanchoPasoGuardado = std::function<void(PasoGuardado)>;
void ponerGanchoPasoGuardado(GanchoPasoGuardado gancho);
void pasoGuardado(PasoGuardado paso);
