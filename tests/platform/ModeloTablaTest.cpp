#include "platform/ModeloTabla.h"

#include <gtest/gtest.h>

namespace {

PTabla tablaAreas() {
    PTabla t = Tabla::crear("rsAreas", {{"CodArea", TipoCampo::Texto, 8},
                                        {"Area", TipoCampo::Texto, 50},
                                        {"CodProvincia", TipoCampo::Texto, 2},
                                        {"Orden", TipoCampo::Entero, 0}});
    const QList<QStringList> filas = {
        {"01", "Ávila Norte", "05", "3"}, {"02", "León", "24", ""}, {"03", "Astorga", "24", "1"}};
    for (const QStringList& f : filas) {
        EXPECT_TRUE(t->anadir().ok());
        for (int i = 0; i < f.size(); ++i) EXPECT_TRUE(t->establecer(i, f[i]).ok());
    }
    return t;
}

QStringList columna(const ModeloTabla& m, int c) {
    QStringList s;
    for (int f = 0; f < m.rowCount(); ++f) s << m.data(m.index(f, c)).toString();
    return s;
}

TEST(ModeloTabla, MuestraLasColumnasElegidasConSusCabeceras) {
    PTabla t = tablaAreas();
    ModeloTabla m;
    ASSERT_TRUE(m.enlazar(t, {"area", "CodArea", "Orden"}, {"Área", ""}).ok());
    EXPECT_EQ(m.columnCount(), 3);
    EXPECT_EQ(m.rowCount(), 3);
    EXPECT_EQ(m.headerData(0, Qt::Horizontal).toString(), "Área");
    EXPECT_EQ(m.headerData(1, Qt::Horizontal).toString(), "CodArea");
    EXPECT_EQ(m.headerData(2, Qt::Horizontal).toString(), "Orden");
    EXPECT_EQ(columna(m, 0), QStringList({"Ávila Norte", "León", "Astorga"}));
    EXPECT_EQ(columna(m, 2), QStringList({"3", "", "1"}));
    EXPECT_TRUE(m.data(m.index(1, 2), ModeloTabla::RolValor).isNull());
    EXPECT_EQ(m.data(m.index(0, 2), ModeloTabla::RolValor).toLongLong(), 3);
    EXPECT_EQ(m.columnaDeCampo("codarea"), 1);
    EXPECT_EQ(m.columnaDeCampo("CodProvincia"), -1);
    EXPECT_EQ(m.nombreCampo(0), "Area");
    EXPECT_EQ(m.textoCampo(2, "CodProvincia"), "24");  // un campo que no es columna

    // Un nombre que no es campo falla y deja el modelo como estaba.
    const Resultado r = m.enlazar(t, {"CodArea", "Nada"});
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(r.numero(), Errores::CampoNoEncontrado);
    EXPECT_EQ(m.columnCount(), 3);

    ASSERT_TRUE(m.enlazar(t).ok());
    EXPECT_EQ(m.columnCount(), 4);
    m.desenlazar();
    EXPECT_EQ(m.rowCount(), 0);
    EXPECT_EQ(m.columnCount(), 0);
}

TEST(ModeloTabla, SigueElFiltroYElOrdenYLasAltasDeOtrosCursores) {
    PTabla t = tablaAreas();
    ModeloTabla m;
    ASSERT_TRUE(m.enlazar(t, {"CodArea", "Area"}).ok());
    int reinicios = 0;
    QObject::connect(&m, &QAbstractItemModel::modelReset, [&] { ++reinicios; });

    ASSERT_TRUE(t->filtrar("CodProvincia='24' ").ok());
    EXPECT_EQ(reinicios, 1);
    EXPECT_EQ(columna(m, 0), QStringList({"02", "03"}));
    ASSERT_TRUE(t->ordenar("Area ASC").ok());
    EXPECT_EQ(columna(m, 1), QStringList({"Astorga", "León"}));

    PTabla clon = t->clonar();
    ASSERT_TRUE(clon->anadir().ok());
    ASSERT_TRUE(clon->establecer("CodArea", "04").ok());
    ASSERT_TRUE(clon->establecer("Area", "Bierzo").ok());
    ASSERT_TRUE(clon->establecer("CodProvincia", "24").ok());
    ASSERT_TRUE(clon->actualizar().ok());
    EXPECT_EQ(columna(m, 1), QStringList({"Astorga", "Bierzo", "León"}));

    clon->moverPrimero();
    ASSERT_TRUE(clon->borrar().ok());  // "01", que este cursor no veía
    EXPECT_EQ(m.rowCount(), 3);
    const int antes = reinicios;
    {
        Tabla::AgrupadorAvisos agrupa(*t);
        for (int i = 0; i < 50; ++i) {
            ASSERT_TRUE(clon->anadir().ok());
            ASSERT_TRUE(clon->establecer("CodProvincia", "09").ok());
        }
    }
    EXPECT_EQ(reinicios, antes + 1);
    EXPECT_EQ(m.rowCount(), 3);

    ASSERT_TRUE(t->filtrar("0").ok());
    EXPECT_EQ(m.rowCount(), 53);
}

TEST(ModeloTabla, LocalizaFilasYMueveElCursorDeLaTabla) {
    PTabla t = tablaAreas();
    ModeloTabla m;
    ASSERT_TRUE(m.enlazar(t, {"CodArea", "Area"}).ok());
    EXPECT_EQ(m.filaDeValor("Area", "astorga"), 2);
    EXPECT_EQ(m.filaDeValor("Orden", 1), 2);
    EXPECT_EQ(m.filaDeValor("Orden", QVariant()), 1);
    EXPECT_EQ(m.filaDeValor("CodArea", "09"), -1);
    EXPECT_EQ(m.filaDeValor("Nada", "01"), -1);
    m.irAFila(1);
    EXPECT_EQ(t->texto("Area"), "León");
    EXPECT_EQ(t->filaActual(), 1);

    // El modelo mantiene viva la tabla aunque quien la creó la suelte.
    std::weak_ptr<Tabla> debil = t;
    t.reset();
    EXPECT_FALSE(debil.expired());
    EXPECT_EQ(m.rowCount(), 3);
    ASSERT_TRUE(m.enlazar(tablaAreas()).ok());
    EXPECT_TRUE(debil.expired());
}

}  // namespace
