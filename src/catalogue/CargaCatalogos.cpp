#include "catalogue/CargaCatalogos.h"

#include "catalogue/Esquemas.h"
#include "catalogue/ModCargaFicheros.h"
#include "startup/Globales.h"

#include <functional>

namespace {

struct Paso {
    int numero;
    std::function<Resultado()> hacer;
};

Resultado todos(std::initializer_list<std::function<Resultado()>> acciones) {
    for (const auto& a : acciones)
        if (Resultado r = a(); !r) return r;
    return Resultado::correcto();
}

}  // namespace

Resultado cargarTodosLosCatalogos(const QString& carpetaFicheros) {
    Globales& g = G();
    g.RutaFicheros = carpetaFicheros.endsWith(u'/') ? carpetaFicheros : carpetaFicheros + u'/';
    const QList<Paso> pasos = {
        {0,
         [&] {
             g.rsCuerpos = CrearTablaCuerpos();
             return CargarCuerpos(g.rsCuerpos);
         }},
        {120,
         [&] {
             g.rsAreas = CrearTablaAreas();
             return Resultado::correcto();
         }},
        {130,
         [&] {
             g.rsSituaciones = CrearTablaSituaciones();
             return CargarSituaciones(g.rsSituaciones);
         }},
        {140,
         [&] {
             g.rsZonas = CrearTablaZonas();
             return Resultado::correcto();
         }},
        {150,
         [&] {
             g.rsGrupos = CrearTablaGrupos();
             if (Resultado r = CargarGrupos(g.rsGrupos); !r) return r;
             g.rsAreasTarv = CrearTablaAreas(QStringLiteral("rsAreasTarv"));
             g.rsZonasTarv = CrearTablaZonas(QStringLiteral("rsZonasTarv"));
             return Resultado::correcto();
         }},
        {160, [&] { return CargarZonas(g.rsZonas); }},
        {170,
         [&] {
             return todos({[&] { return CargarAreas(g.rsAreas); },
                           [&] { return CargarAreasTarv(g.rsAreasTarv); },
                           [&] { return CargarZonas(g.rsZonasTarv); }});
         }},
        {200,
         [&] {
             g.rsLocalidades = CrearTablaLocalidades();
             const Resultado r = CargarLocalidades(g.rsLocalidades);
             if (r) g.rsLocalidadesTarv = g.rsLocalidades->clonar();
             return r;
         }},
        {260,
         [&] {
             g.rsInstituciones = CrearTablaInstituciones();
             return CargarInstituciones(g.rsInstituciones);
         }},
        {290,
         [&] {
             g.rsConsejeriasVacantes =
                 CrearTablaConsejerias(QStringLiteral("rsConsejeriasVacantes"));
             return CargarConsejerias(g.rsConsejeriasVacantes);
         }},
        {300,
         [&] {
             g.rsConsejeriasResultas =
                 CrearTablaConsejerias(QStringLiteral("rsConsejeriasResultas"));
             return CargarConsejerias(g.rsConsejeriasResultas);
         }},
        {340,
         [&] {
             g.rsProvincias = CrearTablaProvincias();
             return CargarProvincias(g.rsProvincias);
         }},
        {400,
         [&] {
             g.rsProvinciasPersonales =
                 CrearTablaProvincias(QStringLiteral("rsProvinciasPersonales"));
             return CargarProvinciasPersonales(g.rsProvinciasPersonales);
         }},
        {460,
         [&] {
             g.rsPlazasResultas = CrearTablaPlazas(QStringLiteral("rsPlazasResultas"));
             return CargarPlazasResultas(g.rsPlazasResultas);
         }},
        {480,
         [&] {
             g.rsPlazasVacantes = CrearTablaPlazas(QStringLiteral("rsPlazasVacantes"));
             return CargarPlazasVacantes(g.rsPlazasVacantes);
         }},
        {500,
         [&] {
             g.rsPlazasCuerpo = CrearTablaPlazasCuerpo();
             return CargarPlazasCuerpo(g.rsPlazasCuerpo);
         }},
        {520,
         [&] {
             g.rsPlazasGrupo = CrearTablaPlazasGrupo();
             return CargarPlazasGrupo(g.rsPlazasGrupo);
         }},
        {560, [&] { return CargarListaPlazas(g.rsPlazasListaR, QStringLiteral("R")); }},
        {580, [&] { return CargarListaPlazas(g.rsPlazasListaV, QStringLiteral("V")); }},
        {640,
         [&] {
             g.rsLocalidadesVacantes =
                 CrearTablaLocalidades(QStringLiteral("rsLocalidadesVacantes"));
             return CargarLocalidades(g.rsLocalidadesVacantes);
         }},
        {660,
         [&] {
             g.rsLocalidadesResultas =
                 CrearTablaLocalidades(QStringLiteral("rsLocalidadesResultas"));
             return CargarLocalidades(g.rsLocalidadesResultas);
         }},
    };
    for (const Paso& p : pasos) {
        const Resultado r = p.hacer();
        if (r) continue;
        // El arranque no tiene número de paso: su fallo va tal cual.
        if (p.numero == 0) return r;
        return Resultado::fallo(QStringLiteral("Error en línea %1.%2 %3")
                                    .arg(p.numero)
                                    .arg(r.mensaje())
                                    .arg(r.numero()),
                                r.numero());
    }
    return Resultado::correcto();
}

QList<QPair<QString, PTabla>> tablasDeLosFicheros() {
    const Globales& g = G();
    return {{"rsCuerpos", g.rsCuerpos},
            {"rsSituaciones", g.rsSituaciones},
            {"rsGrupos", g.rsGrupos},
            {"rsZonas", g.rsZonas},
            {"rsAreas", g.rsAreas},
            {"rsAreasTarv", g.rsAreasTarv},
            {"rsZonasTarv", g.rsZonasTarv},
            {"rsLocalidades", g.rsLocalidades},
            {"rsInstituciones", g.rsInstituciones},
            {"rsConsejeriasVacantes", g.rsConsejeriasVacantes},
            {"rsConsejeriasResultas", g.rsConsejeriasResultas},
            {"rsProvincias", g.rsProvincias},
            {"rsProvinciasPersonales", g.rsProvinciasPersonales},
            {"rsPlazasResultas", g.rsPlazasResultas},
            {"rsPlazasVacantes", g.rsPlazasVacantes},
            {"rsPlazasCuerpo", g.rsPlazasCuerpo},
            {"rsPlazasGrupo", g.rsPlazasGrupo},
            {"rsPlazasListaR", g.rsPlazasListaR},
            {"rsPlazasListaV", g.rsPlazasListaV},
            {"rsLocalidadesVacantes", g.rsLocalidadesVacantes},
            {"rsLocalidadesResultas", g.rsLocalidadesResultas}};
}

QString volcarTablas(const QList<QPair<QString, PTabla>>& tablas) {
    QString s;
    for (const auto& [nombre, tabla] : tablas) {
        s += QStringLiteral("# ") + nombre + u'\n';
        if (!tabla) continue;
        QStringList nombres;
        for (const Campo& c : tabla->campos()) nombres << c.nombre;
        s += nombres.join(u'\t') + u'\n';
        const int campos = int(tabla->campos().size());
        const int n = tabla->numeroRegistros();
        for (int fila = 0; fila < n; ++fila) {
            for (int c = 0; c < campos; ++c) {
                if (c) s += u'\t';
                // Los enteros salen en decimal; un nulo, vacío.
                s += tabla->valorEnFila(fila, c).toString();
            }
            s += u'\n';
        }
    }
    return s;
}
