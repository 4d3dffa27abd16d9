#include "IndicesLineales.h"

#include "catalogue/Esquemas.h"

namespace {

// Recorrido de fila en fila: así filtraba y buscaba el componente de tablas original.
bool iguales(const QVariant& v, const QString& texto) {
    return v.toString().compare(texto, Qt::CaseInsensitive) == 0;
}

// Filas de los enlaces cuyo campo vale eso, en el orden de la tabla.
QVector<int> filtrar(const Tabla& enlaces, int campo, const QString& valor) {
    QVector<int> filas;
    const int n = enlaces.numeroRegistros();
    for (int f = 0; f < n; ++f)
        if (iguales(enlaces.valorEnFila(f, campo), valor)) filas.append(f);
    return filas;
}

// Búsqueda hacia delante desde el primer registro.
int buscar(const Tabla& origen, int campo, const QString& codigo) {
    const int n = origen.numeroRegistros();
    for (int f = 0; f < n; ++f)
        if (iguales(origen.valorEnFila(f, campo), codigo)) return f;
    return -1;
}

}  // namespace

namespace Lineal {

void CopiarPlazasEnlazadas(const Tabla& enlaces, const QVector<int>& filasEnlace, Tabla& destino,
                           Tabla& origen, bool porGrupo) {
    static const QStringList porCuerpoCampos = {"NomConvocatoria", "Consejeria",   "Localidad",
                                                "CodConsejeria",   "CodLocalidad", "CodProvincia",
                                                "CodArea",         "CodZona",      "Area"};
    static const QStringList porGrupoCampos = {"NomConvocatoria", "Localidad",    "Consejeria",
                                               "CodConsejeria",   "CodLocalidad", "CodProvincia",
                                               "CodArea",         "CodZona"};
    origen.filtrar(QString());
    const int plaza = enlaces.indiceCampo("CodPlaza");
    const int codigo = origen.indiceCampo("CodConvocatoria");
    for (int filaEnlace : filasEnlace) {
        const QString cod = enlaces.valorEnFila(filaEnlace, plaza).toString();
        const int f = buscar(origen, codigo, cod);
        if (f < 0) continue;
        destino.anadir();
        destino.establecer("CodConvocatoria", cod);
        for (const QString& c : porGrupo ? porGrupoCampos : porCuerpoCampos)
            destino.establecer(c, origen.valorEnFila(f, origen.indiceCampo(c)));
    }
}

void IndexarPlazasPorCuerpo(Tabla& rsCuerpos, QVector<PlazasCuerpo>& indice) {
    Globales& g = G();
    const int n = rsCuerpos.numeroRegistros();
    indice.resize(2 * n);
    g.rsPlazasCuerpo->filtrar(QString());
    const int campoCuerpo = g.rsPlazasCuerpo->indiceCampo("CodCuerpo");
    qint16 hueco = 0;
    for (int fila = 0; fila < n; ++fila) {
        if (rsCuerpos.valorEnFila(fila, rsCuerpos.indiceCampo("Grupo")).toString() == "X") continue;
        const QString cod =
            rsCuerpos.valorEnFila(fila, rsCuerpos.indiceCampo("CodCuerpo")).toString();
        for (bool desde : {true, false}) {
            PlazasCuerpo& e = indice[hueco];
            e.CodCuerpo = cod;
            e.DesdeCatalogo = desde;
            e.Resultas = CrearTablaPlazas();
            CopiarPlazasEnlazadas(*g.rsPlazasCuerpo, filtrar(*g.rsPlazasCuerpo, campoCuerpo, cod),
                                  *e.Resultas, desde ? *g.rsPlazasResultas : *g.rsPlazasListaR,
                                  false);
            e.Vacantes = CrearTablaPlazas();
            CopiarPlazasEnlazadas(*g.rsPlazasCuerpo, filtrar(*g.rsPlazasCuerpo, campoCuerpo, cod),
                                  *e.Vacantes, desde ? *g.rsPlazasVacantes : *g.rsPlazasListaV,
                                  false);
            ++hueco;
        }
    }
}

void IndexarPlazasPorGrupo(Tabla& rsGrupos, QVector<PlazasGrupo>& indice) {
    Globales& g = G();
    const int n = rsGrupos.numeroRegistros();
    indice.resize(n);
    g.rsPlazasGrupo->filtrar(QString());
    const int campoGrupo = g.rsPlazasGrupo->indiceCampo("CodGrupo");
    for (int fila = 0; fila < n; ++fila) {
        PlazasGrupo& e = indice[qint16(fila)];
        e.Grupo = rsGrupos.valorEnFila(fila, rsGrupos.indiceCampo("Grupo")).toString();
        const QVector<int> enlaces = filtrar(*g.rsPlazasGrupo, campoGrupo, e.Grupo);
        e.Resultas = CrearTablaPlazas();
        e.Vacantes = CrearTablaPlazas();
        CopiarPlazasEnlazadas(*g.rsPlazasGrupo, enlaces, *e.Resultas, *g.rsPlazasListaR, true);
        CopiarPlazasEnlazadas(*g.rsPlazasGrupo, enlaces, *e.Vacantes, *g.rsPlazasListaV, true);
    }
}

}  // namespace Lineal

bool tablasIguales(const PTabla& a, const PTabla& b) {
    if (!a || !b) return !a && !b;
    if (a->numeroRegistros() != b->numeroRegistros()) return false;
    if (a->campos().size() != b->campos().size()) return false;
    for (int c = 0; c < a->campos().size(); ++c)
        if (a->campos()[c].nombre != b->campos()[c].nombre) return false;
    for (int f = 0; f < a->numeroRegistros(); ++f)
        for (int c = 0; c < a->campos().size(); ++c)
            if (a->valorEnFila(f, c) != b->valorEnFila(f, c)) return false;
    return true;
}

bool indicesIguales(const QVector<PlazasCuerpo>& a, const QVector<PlazasCuerpo>& b) {
    if (a.size() != b.size()) return false;
    for (int i = 0; i < a.size(); ++i) {
        if (a[i].CodCuerpo != b[i].CodCuerpo || a[i].DesdeCatalogo != b[i].DesdeCatalogo ||
            !tablasIguales(a[i].Resultas, b[i].Resultas) ||
            !tablasIguales(a[i].Vacantes, b[i].Vacantes))
            return false;
    }
    return true;
}

bool indicesIguales(const QVector<PlazasGrupo>& a, const QVector<PlazasGrupo>& b) {
    if (a.size() != b.size()) return false;
    for (int i = 0; i < a.size(); ++i) {
        if (a[i].Grupo != b[i].Grupo || !tablasIguales(a[i].Resultas, b[i].Resultas) ||
            !tablasIguales(a[i].Vacantes, b[i].Vacantes))
            return false;
    }
    return true;
}
