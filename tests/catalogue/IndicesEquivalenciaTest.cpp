// Los índices de plazas que hace la pantalla de carga son los mismos que daría el recorrido
// original: filtrar los enlaces de cada cuerpo o grupo y buscar cada plaza en su catálogo, con el
// filtro y la búsqueda de la propia tabla.
#include "../apoyo/RutasCompilacion.h"
#include "catalogue/Esquemas.h"
#include "catalogue/GeneradorCatalogos.h"
#include "global/Globales.h"
#include "startup/PasosArranque.h"
#include "startup/PasosCarga.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

const QStringList kCamposCuerpo = {"NomConvocatoria", "Consejeria",   "Localidad",
                                   "CodConsejeria",   "CodLocalidad", "CodProvincia",
                                   "CodArea",         "CodZona",      "Area"};
const QStringList kCamposGrupo = {"NomConvocatoria", "Localidad",    "Consejeria", "CodConsejeria",
                                  "CodLocalidad",    "CodProvincia", "CodArea",    "CodZona"};

// Para cada enlace de los filtrados, la plaza de ese código en el catálogo (si la hay) copiada
// al destino.
PTabla copiarEnlazadas(Tabla& enlaces, Tabla& origen, const QStringList& campos) {
    PTabla destino = CrearTablaPlazas();
    if (enlaces.numeroRegistros() == 0) return destino;
    origen.filtrar(QString());
    for (enlaces.moverPrimero(); !enlaces.eof(); enlaces.moverSiguiente()) {
        const QString codigo = enlaces.texto("CodPlaza");
        origen.moverPrimero();
        origen.buscar("CodConvocatoria='" + codigo + "'");
        if (origen.eof()) continue;
        EXPECT_TRUE(destino->anadir().ok());
        destino->establecer("CodConvocatoria", codigo);
        for (const QString& c : campos) destino->establecer(c, origen.valor(c));
    }
    return destino;
}

// Las mismas filas y valores, campo a campo; el mensaje dice la primera diferencia.
::testing::AssertionResult iguales(const PTabla& a, const PTabla& b) {
    if (a->numeroRegistros() != b->numeroRegistros())
        return ::testing::AssertionFailure()
               << a->numeroRegistros() << " filas frente a " << b->numeroRegistros();
    for (int f = 0; f < a->numeroRegistros(); ++f)
        for (int c = 0; c < a->campos().size(); ++c)
            if (a->valorEnFila(f, c) != b->valorEnFila(f, c))
                return ::testing::AssertionFailure()
                       << "fila " << f << ", campo " << a->campos()[c].nombre.toStdString();
    return ::testing::AssertionSuccess();
}

TEST(IndicesEquivalencia, LosIndicesSonLosDelRecorridoConFiltroYBusqueda) {
    QTemporaryDir dir;
    const QString ficheros = dir.path() + "/ficheros/";
    TamanoCatalogos t;
    t.plazas = 60;
    t.cuerpos = 12;
    ASSERT_TRUE(generarCatalogos(ficheros, t).ok());
    ASSERT_TRUE(QDir().mkpath(ficheros + "temp"));
    ASSERT_TRUE(QFile::copy(rutaFuentes("/datos/conf.xml"), dir.filePath("conf.xml")));
    ASSERT_TRUE(QFile::copy(rutaFuentes("/datos/FicheroTexto.txt"), ficheros + "FicheroTexto.txt"));
    reiniciarGlobales();
    ASSERT_TRUE(PrepararArranque(dir.path()).ok());
    CargaSinVentana sinVentana;
    PasosCarga pasos(sinVentana);
    const auto fallo = pasos.ejecutar();
    ASSERT_FALSE(fallo) << fallo->mensaje().toStdString();
    Globales& g = G();

    // Por cuerpo: dos huecos por cuerpo ofrecido, el del catálogo y el de las listas.
    int hueco = 0, plazas = 0;
    for (g.rsCuerpos->moverPrimero(); !g.rsCuerpos->eof(); g.rsCuerpos->moverSiguiente()) {
        if (g.rsCuerpos->texto("Grupo") == "X") continue;
        const QString cuerpo = g.rsCuerpos->texto("CodCuerpo");
        g.rsPlazasCuerpo->filtrar("CodCuerpo='" + cuerpo + "'");
        for (bool catalogo : {true, false}) {
            SCOPED_TRACE(cuerpo.toStdString() + (catalogo ? " catálogo" : " listas"));
            ASSERT_LT(hueco, g.IndicePlazasCuerpo.size());
            const PlazasCuerpo& e = g.IndicePlazasCuerpo[hueco++];
            EXPECT_EQ(e.CodCuerpo, cuerpo);
            EXPECT_EQ(e.DesdeCatalogo, catalogo);
            const PTabla r =
                copiarEnlazadas(*g.rsPlazasCuerpo,
                                catalogo ? *g.rsPlazasResultas : *g.rsPlazasListaR, kCamposCuerpo);
            const PTabla v =
                copiarEnlazadas(*g.rsPlazasCuerpo,
                                catalogo ? *g.rsPlazasVacantes : *g.rsPlazasListaV, kCamposCuerpo);
            EXPECT_TRUE(iguales(e.Resultas, r));
            EXPECT_TRUE(iguales(e.Vacantes, v));
            plazas += v->numeroRegistros() + r->numeroRegistros();
        }
    }
    EXPECT_GT(plazas, 0);  // el juego tiene plazas enlazadas: la comparación no es trivial

    // Por grupo: un hueco por grupo, de las listas.
    ASSERT_EQ(g.IndicePlazasGrupo.size(), g.rsGrupos->numeroRegistros());
    for (int f = 0; f < g.rsGrupos->numeroRegistros(); ++f) {
        const PlazasGrupo& e = g.IndicePlazasGrupo[f];
        EXPECT_EQ(e.Grupo, g.rsGrupos->valorEnFila(f, 0).toString());
        g.rsPlazasGrupo->filtrar("CodGrupo='" + e.Grupo + "'");
        EXPECT_TRUE(iguales(e.Resultas,
                            copiarEnlazadas(*g.rsPlazasGrupo, *g.rsPlazasListaR, kCamposGrupo)));
        EXPECT_TRUE(iguales(e.Vacantes,
                            copiarEnlazadas(*g.rsPlazasGrupo, *g.rsPlazasListaV, kCamposGrupo)));
    }
    reiniciarGlobales();
}

}  // namespace
