#include "form/FiltroPlazas.h"

QString valorFiltro(const QString& valor) {
    QString v = valor;
    return v.replace(QLatin1Char('\''), QStringLiteral("''"));
}

namespace {

// Las plazas guardan su localidad como el código de la provincia seguido del de la localidad:
// se compara el comienzo. Buscar el código en cualquier sitio traería localidades de otras
// provincias cuyo código contiene el elegido.
QString clausulaLocalidad(const PanelBusqueda& p) {
    return QStringLiteral(" AND CodLocalidad like '") + valorFiltro(p.provinciaLocalidad) +
           valorFiltro(p.localidad.valor) + "%' ";
}

QString clausulasResultas(const PanelBusqueda& p) {
    QString f;
    if (!p.provincia.valor.isEmpty())
        f += QStringLiteral(" AND CodProvincia='") + valorFiltro(p.provincia.valor) + "' ";
    if (!p.localidad.valor.isEmpty()) f += clausulaLocalidad(p);
    if (!p.consejeria.valor.isEmpty())
        f += QStringLiteral(" AND CodConsejeria='") + valorFiltro(p.consejeria.valor) + "' ";
    if (!p.codigo.isEmpty())
        f += QStringLiteral(" AND CodConvocatoria='") + valorFiltro(p.codigo) + "' ";
    if (!p.area.valor.isEmpty())
        f += QStringLiteral(" AND CodArea='") + valorFiltro(p.area.valor) + "'";
    if (!p.zona.valor.isEmpty())
        f += QStringLiteral(" AND CodZona='") + valorFiltro(p.zona.valor) + "' ";
    return f;
}

QString clausulasVacantes(const PanelBusqueda& p) {
    QString f;
    if (p.localidad.coincide) f += clausulaLocalidad(p);
    if (p.consejeria.coincide)
        f += QStringLiteral(" AND CodConsejeria='") + valorFiltro(p.consejeria.valor) + "' ";
    if (!p.codigo.isEmpty())
        f += QStringLiteral(" AND CodConvocatoria='") + valorFiltro(p.codigo) + "' ";
    // Las Vacantes guardan el área como su código de dos caracteres y seis ceros.
    if (!p.area.valor.isEmpty())
        f += QStringLiteral(" AND CodArea='") + valorFiltro(p.area.valor) + "000000'";
    if (p.zona.coincide) f += QStringLiteral(" AND CodZona='") + valorFiltro(p.zona.valor) + "' ";
    // La provincia no es una cláusula: cuenta por sus áreas, y solo si no hay otro criterio.
    if (f.isEmpty() && !p.provincia.valor.isEmpty() && p.area.valor.isEmpty()) {
        f = QStringLiteral(" AND ( ");
        for (const QString& area : p.areasVisibles)
            f += QStringLiteral(" CodArea='") + valorFiltro(area) + "000000' OR ";
        if (p.areasVisibles.isEmpty()) {
            // Una provincia sin áreas: ninguna plaza, con un filtro que se entiende.
            f += QStringLiteral(" CodArea='' AND CodArea<>'' ) ");
            return f;
        }
        f.chop(3);
        f += QStringLiteral(" ) ");
    }
    return f;
}

}  // namespace

QString FiltroPlazas(const QString& lista, const PanelBusqueda& panel) {
    const QString codigo = lista.toUpper();
    QString f;
    if (codigo == QLatin1String("R"))
        f = clausulasResultas(panel);
    else if (codigo == QLatin1String("V"))
        f = clausulasVacantes(panel);
    if (f.isEmpty()) return QStringLiteral("0");
    return f.mid(4);
}

QString FiltroZonasDeAreas(const QStringList& areas) {
    if (areas.isEmpty()) return QStringLiteral("CodArea='' AND CodArea<>''");
    QStringList clausulas;
    for (const QString& a : areas) clausulas << QStringLiteral("CodArea='") + valorFiltro(a) + "'";
    return QStringLiteral(" ( ") + clausulas.join(QStringLiteral(" OR ")) + QStringLiteral(" ) ");
}
