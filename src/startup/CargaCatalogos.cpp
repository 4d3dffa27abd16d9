#include "startup/CargaCatalogos.h"

#include "catalogue/Esquemas.h"
#include "catalogue/FormatosCatalogo.h"
#include "catalogue/ModCargaFicheros.h"
#include "global/Globales.h"
#include "startup/PasosCarga.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

Resultado cargarTodosLosCatalogos(const QString& carpetaFicheros) {
    Globales& g = G();
    g.RutaFicheros = carpetaFicheros.endsWith(u'/') ? carpetaFicheros : carpetaFicheros + u'/';
    // Los cuerpos, como al arrancar; su fallo no tiene número de paso y va tal cual.
    g.rsCuerpos = CrearTablaCuerpos();
    if (Resultado r = CargarCuerpos(g.rsCuerpos); !r) return r;
    // El resto, con los mismos pasos que la pantalla de carga.
    CargaSinVentana sinVentana;
    if (const auto fallo = PasosCarga(sinVentana).ejecutarCatalogos())
        return Resultado::fallo(fallo->mensaje(), fallo->error.numero());
    return Resultado::correcto();
}

Resultado cargarCopiaDeLosCatalogos(const QString& carpetaFicheros) {
    QTemporaryDir copia;
    if (!copia.isValid())
        return Resultado::fallo(QStringLiteral("No se puede crear una carpeta temporal."),
                                Errores::ErrorEntradaSalida);
    for (const FormatoCatalogo& f : formatos())
        QFile::copy(QDir(carpetaFicheros).filePath(f.fichero),
                    QDir(copia.path()).filePath(f.fichero));
    return cargarTodosLosCatalogos(copia.path());
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
