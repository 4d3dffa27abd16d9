#pragma once

#include "global/Globales.h"
#include "platform/Tabla.h"

#include <QVector>

// Construcción de los índices de plazas tal como se hacía originalmente: un filtro de enlaces por
// cuerpo y una búsqueda hacia delante, las dos de fila en fila, del catálogo por cada enlace. Solo
// sirve de referencia para medir y para comprobar que la versión con tablas hash da lo mismo.
namespace Lineal {

void CopiarPlazasEnlazadas(const Tabla& enlaces, const QVector<int>& filasEnlace, Tabla& destino,
                           Tabla& origen, bool porGrupo);
void IndexarPlazasPorCuerpo(Tabla& rsCuerpos, QVector<PlazasCuerpo>& indice);
void IndexarPlazasPorGrupo(Tabla& rsGrupos, QVector<PlazasGrupo>& indice);

}  // namespace Lineal

// Verdadero si las dos tablas tienen los mismos campos y los mismos valores, fila a fila.
bool tablasIguales(const PTabla& a, const PTabla& b);
bool indicesIguales(const QVector<PlazasCuerpo>& a, const QVector<PlazasCuerpo>& b);
bool indicesIguales(const QVector<PlazasGrupo>& a, const QVector<PlazasGrupo>& b);
