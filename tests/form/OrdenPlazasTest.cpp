#include "catalogue/Esquemas.h"
#include "form/OrdenPlazas.h"

#include <gtest/gtest.h>

namespace {

// Lista de plazas pedidas con esos órdenes, una plaza por fila (códigos 00001, 00002...).
PTabla listaConOrdenes(const std::vector<qint64>& ordenes) {
    PTabla t = CrearTablaPlazasSolicitadas(QStringLiteral("rsVacantesSolicitadas"));
    qint64 id = 0;
    for (qint64 o : ordenes) {
        const QString cod = QStringLiteral("%1").arg(id + 1, 5, 10, QLatin1Char('0'));
        EXPECT_TRUE(t->anadirRegistro({id++, o, cod, QStringLiteral("Plaza ") + cod}).ok());
    }
    t->ordenar(QStringLiteral("Orden ASC"));
    return t;
}

// Código de cada fila en el orden de su campo Orden, y los órdenes tal cual.
QStringList codigosPorOrden(const PTabla& t) {
    const PTabla c = t->clonar();
    c->ordenar(QStringLiteral("Orden ASC"));
    QStringList r;
    for (int f = 0; f < c->numeroRegistros(); ++f)
        r << c->valorEnFila(f, 2).toString().right(1) + QLatin1Char('=') +
                 c->valorEnFila(f, 1).toString();
    return r;
}

TEST(OrdenPlazasTest, SiguienteIdSobreTodasLasFilas) {
    PTabla t = CrearTablaPlazasSolicitadas();
    EXPECT_EQ(SiguienteId(t, "IdSolicitud"), 0);
    t->anadirRegistro({qint64(0), qint64(1), "00001"});
    t->anadirRegistro({qint64(5), qint64(2), "00002"});
    t->anadirRegistro({qint64(2), qint64(3), "00003"});
    EXPECT_EQ(SiguienteId(t, "IdSolicitud"), 6);
    // El filtro de quien llama no cuenta.
    ASSERT_TRUE(t->filtrar("IdSolicitud=0").ok());
    EXPECT_EQ(SiguienteId(t, "IdSolicitud"), 6);
    EXPECT_EQ(SiguienteId(t, "Orden"), 4);
    EXPECT_TRUE(PlazaYaSolicitada("00002", t));
    // El cursor de un identificador, aunque el de quien llama no lo vea.
    const PTabla en5 = cursorEnId(t, "IdSolicitud", 5);
    ASSERT_TRUE(en5);
    EXPECT_EQ(en5->texto("CodConvocatoria"), "00002");
    EXPECT_FALSE(cursorEnId(t, "IdSolicitud", 7));
    EXPECT_FALSE(PlazaYaSolicitada("00004", t));
}

struct CasoNueva {
    const char* nombre;
    std::vector<qint64> antes;
    const char* caja;
    qint64 orden;
    QStringList despues;  // órdenes de las filas de antes (por su código) tras hacer hueco
};

TEST(OrdenPlazasTest, OrdenParaNueva) {
    const CasoNueva casos[] = {
        {"lista vacía, cualquier orden", {}, "5", 1, {}},
        {"lista vacía, caja vacía", {}, "", 1, {}},
        {"en medio", {1, 2, 3}, "2", 2, {"1=1", "2=3", "3=4"}},
        {"más allá del final", {1, 2, 3}, "7", 4, {"1=1", "2=2", "3=3"}},
        {"justo el siguiente", {1, 2, 3}, "4", 4, {"1=1", "2=2", "3=3"}},
        {"caja vacía", {1, 2, 3}, "", 4, {"1=1", "2=2", "3=3"}},
        {"primero", {1, 2, 3}, "1", 1, {"1=2", "2=3", "3=4"}},
        {"cero pasa a uno", {1, 2, 3}, "0", 1, {"1=2", "2=3", "3=4"}},
        {"decimal al par", {1, 2, 3}, "2,5", 2, {"1=1", "2=3", "3=4"}},
        {"decimal hacia arriba", {1, 2, 3}, "1,6", 2, {"1=1", "2=3", "3=4"}},
        {"texto que no es número", {1, 2, 3}, "1-", 4, {"1=1", "2=2", "3=3"}},
    };
    for (const CasoNueva& c : casos) {
        PTabla t = listaConOrdenes(c.antes);
        EXPECT_EQ(OrdenParaNueva(t, QString::fromUtf8(c.caja)), c.orden) << c.nombre;
        EXPECT_EQ(codigosPorOrden(t), c.despues) << c.nombre;
        EXPECT_FALSE(t->tieneFiltro()) << c.nombre;
    }
}

struct CasoMover {
    const char* nombre;
    qint64 anterior, nuevo;
    QStringList despues;  // tras mover, poner el nuevo orden a la fila y renumerar
};

TEST(OrdenPlazasTest, ModificarElOrdenDeUnaFila) {
    const CasoMover casos[] = {
        {"2 a 4", 2, 4, {"1=1", "3=2", "4=3", "2=4", "5=5"}},
        {"4 a 2", 4, 2, {"1=1", "4=2", "2=3", "3=4", "5=5"}},
        {"2 a 5", 2, 5, {"1=1", "3=2", "4=3", "5=4", "2=5"}},
        {"igual", 3, 3, {"1=1", "2=2", "3=3", "4=4", "5=5"}},
        {"primero al final", 1, 5, {"2=1", "3=2", "4=3", "5=4", "1=5"}},
    };
    for (const CasoMover& c : casos) {
        PTabla t = listaConOrdenes({1, 2, 3, 4, 5});
        MoverOrden(t, "Orden", c.anterior, c.nuevo);
        t->moverPrimero();
        // La fila movida conserva su orden hasta que se le pone el nuevo.
        ASSERT_TRUE(t->buscar(QStringLiteral("CodConvocatoria='0000%1' ").arg(c.anterior)).ok());
        EXPECT_EQ(t->valor("Orden").toLongLong(), c.anterior) << c.nombre;
        t->establecer("Orden", c.nuevo);
        RenumerarOrden(t, "Orden");
        EXPECT_EQ(codigosPorOrden(t), c.despues) << c.nombre;
    }
}

TEST(OrdenPlazasTest, BorrarYRenumerar) {
    PTabla t = listaConOrdenes({1, 2, 3, 4});
    t->moverPrimero();
    ASSERT_TRUE(t->buscar("Orden=2").ok());
    ASSERT_TRUE(t->borrar().ok());
    RenumerarOrden(t, "Orden");
    EXPECT_EQ(codigosPorOrden(t), (QStringList{"1=1", "3=2", "4=3"}));
    EXPECT_EQ(t->orden().trimmed(), "Orden ASC");
    // Los huecos y los repetidos también acaban en 1..n, por su orden y su alta.
    PTabla u = listaConOrdenes({5, 9, 5, 2});
    RenumerarOrden(u, "Orden");
    EXPECT_EQ(codigosPorOrden(u), (QStringList{"4=1", "1=2", "3=3", "2=4"}));
}

TEST(OrdenPlazasTest, CajaDeOrden) {
    struct Caso {
        const char* texto;
        bool admisible;
        std::optional<qint64> entero;
    } casos[] = {
        {"", true, std::nullopt},
        {"1", true, 1},
        {"32000", true, 32000},
        {"0", false, 0},
        {"40000", false, 40000},
        {"-3", false, -3},
        {"0,4", true, 0},
        {"2,5", true, 2},
        {"3,5", true, 4},
        {"1.5", true, 2},
        {"-", false, std::nullopt},
        {"1,2,3", false, std::nullopt},
        {"99999999999999999999999", false, std::nullopt},
    };
    for (const Caso& c : casos) {
        EXPECT_EQ(ordenAdmisible(c.texto), c.admisible) << c.texto;
        EXPECT_EQ(valorEntero(c.texto), c.entero) << c.texto;
    }
}

// Conjunto de plazas de un cuerpo: códigos 00001..n con su área y zona.
PTabla plazas(int n) {
    PTabla t = CrearTablaPlazas(QStringLiteral("rsVacantesCuerpo"));
    for (int i = 1; i <= n; ++i) {
        const QString cod = QStringLiteral("%1").arg(i, 5, 10, QLatin1Char('0'));
        t->anadirRegistro({cod, "Plaza " + cod, "Hospital", "Villa", "01", "11100", "11",
                           i % 2 ? "03000000" : "", "0301"});
    }
    t->ordenar("CodConvocatoria");
    return t;
}

TEST(OrdenPlazasTest, InsertarTodasSaltaLasQueYaEstan) {
    PTabla areas = CrearTablaAreas();
    areas->anadirRegistro({"03", "Área Tres", "11"});
    PTabla zonas = CrearTablaZonas();
    zonas->anadirRegistro({"0301", "Zona Uno", "03", "11"});
    PTabla conjunto = plazas(6);
    PTabla lista = listaConOrdenes({1, 2});  // ya tiene 00001 y 00002, ids 0 y 1
    ASSERT_TRUE(conjunto->filtrar("CodConvocatoria<>'00005'").ok());
    int repintados = 0;
    EXPECT_EQ(InsertarTodas(conjunto, lista, areas, zonas, [&] { ++repintados; }), 3);
    EXPECT_EQ(codigosPorOrden(lista), (QStringList{"1=1", "2=2", "3=3", "4=4", "6=5"}));
    const PTabla c = lista->clonar();
    ASSERT_TRUE(c->buscar("CodConvocatoria='00003'").ok());
    EXPECT_EQ(c->valor("IdSolicitud").toLongLong(), 2);
    EXPECT_EQ(c->texto("Area"), "Área Tres");
    EXPECT_EQ(c->texto("Zona"), "Zona Uno");
    EXPECT_EQ(c->texto("Localidad"), "Villa");
    ASSERT_TRUE(c->buscar("CodConvocatoria='00004'").ok());
    EXPECT_EQ(c->texto("Area"), "");  // sin área
    EXPECT_EQ(repintados, 0);
    // Otra vez: todas están ya y no se añade nada.
    EXPECT_EQ(InsertarTodas(conjunto, lista, areas, zonas), 0);
    EXPECT_EQ(lista->numeroRegistros(), 5);
    // Un conjunto que no deja ver ninguna: nada.
    ASSERT_TRUE(conjunto->filtrar("CodConvocatoria='x'").ok());
    EXPECT_EQ(InsertarTodas(conjunto, lista, areas, zonas), 0);
}

// Por tramos: cada uno mira como mucho las plazas pedidas (y al menos una, aunque no haya
// tiempo), lo que el conjunto deja ver después (otra búsqueda) no cambia lo que se inserta, y la
// lista acaba como de una vez.
TEST(OrdenPlazasTest, InsercionPorTramosComoDeUnaVez) {
    PTabla conjunto = plazas(10);
    PTabla deUnaVez = listaConOrdenes({1, 2});
    PTabla porTramos = listaConOrdenes({1, 2});
    EXPECT_EQ(InsertarTodas(conjunto, deUnaVez, nullptr, nullptr), 8);
    InsercionTodas insercion(conjunto, porTramos, nullptr, nullptr);
    EXPECT_EQ(insercion.total(), 10);
    ASSERT_TRUE(conjunto->filtrar("CodConvocatoria='00003'").ok());
    int tramos = 0;
    while (insercion.continuar(3, 1000)) EXPECT_EQ(insercion.miradas(), 3 * ++tramos);
    EXPECT_EQ(tramos, 3);
    EXPECT_EQ(insercion.anadidas(), 8);
    EXPECT_EQ(codigosPorOrden(porTramos), codigosPorOrden(deUnaVez));
    // Sin tiempo, el reloj se mira cada 64 plazas y cada tramo avanza.
    PTabla sinTiempo = CrearTablaPlazasSolicitadas();
    InsercionTodas lenta(plazas(130), sinTiempo, nullptr, nullptr);
    for (const int miradas : {64, 128, 130}) {
        EXPECT_EQ(lenta.continuar(1000, 0), miradas < 130);
        EXPECT_EQ(lenta.miradas(), miradas);
    }
    EXPECT_EQ(sinTiempo->numeroRegistros(), 130);
}

TEST(OrdenPlazasTest, InsertarTodasRepintaCadaTrescientos) {
    PTabla lista = CrearTablaPlazasSolicitadas();
    int repintados = 0;
    EXPECT_EQ(InsertarTodas(plazas(700), lista, nullptr, nullptr, [&] { ++repintados; }), 700);
    EXPECT_EQ(repintados, 2);  // al llegar el orden a 300 y a 600
    EXPECT_EQ(SiguienteId(lista, "IdSolicitud"), 700);
    EXPECT_EQ(SiguienteId(lista, "Orden"), 701);
}

}  // namespace
