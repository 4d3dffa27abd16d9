#pragma once

#include "platform/Tabla.h"

#include <QList>
#include <QString>

// Esquemas de las tablas del programa. Cada Crear... devuelve una tabla nueva, abierta y vacía con
// los campos en su orden; quien la pide la guarda en su global (lo que hubiera allí se sustituye).
// El nombre por omisión es el de la tabla que usa el esquema; las que lo comparten lo indican.

QList<Campo> camposCuerpos();
QList<Campo> camposGrupos();
QList<Campo> camposLocalidades();
QList<Campo> camposProvincias();
QList<Campo> camposConsejerias();
QList<Campo> camposAreas();
QList<Campo> camposZonas();
QList<Campo> camposSituaciones();
QList<Campo> camposInstituciones();
QList<Campo> camposPlazasCuerpo();
QList<Campo> camposPlazasGrupo();
QList<Campo> camposTablaPlazas();
// Las listas de plazas: el esquema de las plazas, con la localidad en 53 caracteres como el
// catálogo del que se completan (y como las listas de la solicitud).
QList<Campo> camposTablaPlazasLista();
QList<Campo> camposTablaPlazasSolicitadas();
QList<Campo> camposCursos();
QList<Campo> camposDocumentos();

PTabla CrearTablaCuerpos(const QString& nombre = QStringLiteral("rsCuerpos"));
PTabla CrearTablaGrupos(const QString& nombre = QStringLiteral("rsGrupos"));
// rsLocalidades, rsLocalidadesVacantes, rsLocalidadesResultas
PTabla CrearTablaLocalidades(const QString& nombre = QStringLiteral("rsLocalidades"));
// rsProvincias, rsProvinciasPersonales
PTabla CrearTablaProvincias(const QString& nombre = QStringLiteral("rsProvincias"));
// rsConsejeriasVacantes, rsConsejeriasResultas
PTabla CrearTablaConsejerias(const QString& nombre = QStringLiteral("rsConsejeriasVacantes"));
// rsAreas, rsAreasTarv
PTabla CrearTablaAreas(const QString& nombre = QStringLiteral("rsAreas"));
// rsZonas, rsZonasTarv
PTabla CrearTablaZonas(const QString& nombre = QStringLiteral("rsZonas"));
PTabla CrearTablaSituaciones(const QString& nombre = QStringLiteral("rsSituaciones"));
PTabla CrearTablaInstituciones(const QString& nombre = QStringLiteral("rsInstituciones"));
PTabla CrearTablaPlazasCuerpo(const QString& nombre = QStringLiteral("rsPlazasCuerpo"));
PTabla CrearTablaPlazasGrupo(const QString& nombre = QStringLiteral("rsPlazasGrupo"));
// rsPlazasVacantes, rsPlazasResultas y las tablas de los índices de plazas
PTabla CrearTablaPlazas(const QString& nombre = QStringLiteral("TablaPlazas"));
// rsPlazasListaV, rsPlazasListaR
PTabla CrearTablaPlazasLista(const QString& nombre = QStringLiteral("rsPlazasListaV"));
// rsVacantesSolicitadas, rsResultasSolicitadas
PTabla CrearTablaPlazasSolicitadas(
    const QString& nombre = QStringLiteral("TablaPlazasSolicitadas"));
PTabla CrearTablaCursos(const QString& nombre = QStringLiteral("rsCursos"));
PTabla CrearTablaDocumentos(const QString& nombre = QStringLiteral("rsDocumentos"));
