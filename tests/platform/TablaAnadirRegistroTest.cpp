#include "platform/Tabla.h"

#include <gtest/gtest.h>

namespace {

PTabla tabla() {
    return Tabla::crear("t", {{"Codigo", TipoCampo::Texto, 5},
                              {"Horas", TipoCampo::Entero, 0},
                              {"Nombre", TipoCampo::Texto, 10}});
}

TEST(TablaAnadirRegistro, AltaDeUnaVezComoAnadirYEstablecer) {
    PTabla t = tabla();
    PTabla clon = t->clonar();
    ASSERT_TRUE(t->filtrar("Horas > 5").ok());
    ASSERT_TRUE(t->anadirRegistro({"A1", "7", "Uno"}).ok());
    // Queda como actual aunque luego no pase el filtro del cursor, como anadir().
    ASSERT_TRUE(t->anadirRegistro({"A2", 3}).ok());
    EXPECT_EQ(t->texto("Codigo"), "A2");
    EXPECT_EQ(t->valor("Nombre"), QVariant(QString()));
    EXPECT_EQ(clon->numeroRegistros(), 2);
    EXPECT_EQ(clon->valorEnFila(0, 1).toLongLong(), 7);
    EXPECT_EQ(clon->valorEnFila(0, 1).metaType().id(), QMetaType::LongLong);
    ASSERT_TRUE(t->filtrar("Horas > 5").ok());
    EXPECT_EQ(t->numeroRegistros(), 1);
    // La búsqueda con índice ve las altas.
    clon->moverPrimero();
    ASSERT_TRUE(clon->buscar("Codigo = 'a2'").ok());
    EXPECT_FALSE(clon->eof());
}

TEST(TablaAnadirRegistro, UnValorQueNoValeNoAnadeNada) {
    PTabla t = tabla();
    EXPECT_EQ(t->anadirRegistro({"123456"}).numero(), Errores::CampoDemasiadoLargo);
    EXPECT_EQ(t->anadirRegistro({"A", "muchas"}).numero(), Errores::ConversionTipo);
    EXPECT_FALSE(t->anadirRegistro({"A", 1, "x", "sobra"}).ok());
    EXPECT_EQ(t->numeroRegistros(), 0);
    t->cerrar();
    EXPECT_FALSE(t->anadirRegistro({"A"}).ok());
}

}  // namespace
