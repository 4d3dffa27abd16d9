#pragma once

#include <QString>
#include <QStringList>

// Un valor puesto entre comillas en un filtro: una comilla dentro del valor se dobla, de modo que
// se compara tal cual (y no rompe ni ensancha el filtro). Los valores sin comillas no cambian.
QString valorFiltro(const QString& valor);

// Lo que un combo de búsqueda aporta al filtro: su valor (el código elegido) y si su texto es el
// de una fila de su lista.
struct EleccionCombo {
    QString valor;
    bool coincide = false;
};

// Lo elegido en el panel de búsqueda de una pestaña de plazas.
struct PanelBusqueda {
    EleccionCombo provincia = {}, localidad = {}, consejeria = {}, area = {}, zona = {};
    QString codigo = {};  // la caja del código de plaza
    // Solo Vacantes: los CodArea de las filas que rsAreas deja ver en ese momento, en su orden.
    QStringList areasVisibles = {};
    // La provincia de la localidad elegida: el código de una localidad solo es único dentro de
    // su provincia.
    QString provinciaLocalidad = {};
};

// Filtro de las plazas de la lista "V" o "R" (sin distinguir mayúsculas), con sus cláusulas en
// su orden y sus blancos; "0" cuando no hay ningún criterio (ni para otra lista).
QString FiltroPlazas(const QString& lista, const PanelBusqueda& panel);

// Las zonas no guardan su provincia: las de una provincia son las de sus áreas. Filtro de las
// zonas de esas áreas; uno que no deja ver ninguna si no hay áreas.
QString FiltroZonasDeAreas(const QStringList& areas);
