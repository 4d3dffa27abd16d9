// Valores guardados una vez y registros compartidos entre tablas: compartir no puede cambiar lo
// que ve cada tabla.
#include "platform/AltaRegistros.h"
#include "platform/InstantaneaTabla.h"
#include "platform/ReservaValores.h"
#include "platform/Tabla.h"

#include <gtest/gtest.h>
#include <QStringList>
#include <optional>
#include <string>

namespace {

QList<Campo> campos() {
    return {{"Cod", TipoCampo::Texto, 5},
            {"Nombre", TipoCampo::Texto, 20},
            {"Horas", TipoCampo::Entero, 0}};
}

PTabla tablaConDos(const QString& nombre) {
    PTabla t = Tabla::crear(nombre, campos());
    EXPECT_TRUE(t->anadirRegistro({QString("00001"), QString("Uno"), 10}).ok());
    EXPECT_TRUE(t->anadirRegistro({QString("00002"), QString("Dos"), QVariant()}).ok());
    return t;
}

TEST(ReservaValores, CadaValorDistintoUnaVezYElNuloAparteDelVacio) {
    ReservaValores r;
    EXPECT_EQ(r.texto("Llanes"), r.texto(QString("Llan") + "es"));
    EXPECT_NE(r.texto("Llanes"), r.texto("llanes"));
    EXPECT_EQ(r.texto(QString()), r.textoNulo());
    const QVariant* vacio = r.texto(QString(QLatin1StringView("")));
    EXPECT_NE(vacio, r.textoNulo());
    EXPECT_FALSE(vacio->toString().isNull());
    EXPECT_TRUE(r.textoNulo()->toString().isNull());
    EXPECT_EQ(r.entero(7), r.guardar(QVariant(qint64(7))));
    EXPECT_EQ(r.guardar(QVariant()), r.nulo());
    EXPECT_NE(r.textoSinBuscar("Llanes"), r.texto("Llanes"));
    EXPECT_EQ(*r.textoSinBuscar("Llanes"), *r.texto("Llanes"));
}

TEST(ReservaValores, ElAmbitoHaceQueLasTablasCompartanYSeDeshaceAlSalir) {
    PTabla fuera1 = tablaConDos("a");
    PTabla fuera2 = tablaConDos("b");
    EXPECT_NE(&fuera1->valorEnFila(0, 1), &fuera2->valorEnFila(0, 1));
    {
        const ReservaValores::Ambito ambito;
        PTabla dentro1 = tablaConDos("c");
        PTabla dentro2 = tablaConDos("d");
        EXPECT_EQ(&dentro1->valorEnFila(0, 1), &dentro2->valorEnFila(0, 1));
        {
            const ReservaValores::Ambito otro;
            PTabla anidada = tablaConDos("e");
            EXPECT_NE(&anidada->valorEnFila(0, 1), &dentro1->valorEnFila(0, 1));
        }
        PTabla tras = tablaConDos("f");
        EXPECT_EQ(&tras->valorEnFila(0, 1), &dentro1->valorEnFila(0, 1));
    }
    PTabla despues = tablaConDos("g");
    EXPECT_NE(&despues->valorEnFila(0, 1), &fuera1->valorEnFila(0, 1));
}

// Un registro dado de alta desde otra tabla (compartiendo reserva o no, por fila o por
// FilaTabla) se ve igual que el de origen; cambiarlo en cualquiera de las dos no toca la otra, y
// las búsquedas por igualdad de cada una siguen el cambio.
TEST(FilasCompartidas, CambiarUnaCopiaNoTocaLaOtra) {
    struct Caso {
        const char* nombre;
        bool mismaReserva;
        bool porFila;
        bool cambiarOrigen;
    };
    const Caso casos[] = {{"misma reserva, por fila, cambia la copia", true, true, false},
                          {"misma reserva, por fila, cambia el origen", true, true, true},
                          {"misma reserva, FilaTabla, cambia la copia", true, false, false},
                          {"otra reserva, por fila, cambia el origen", false, true, true},
                          {"otra reserva, FilaTabla, cambia la copia", false, false, false}};
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nombre);
        std::optional<ReservaValores::Ambito> ambito;
        if (c.mismaReserva) ambito.emplace();
        PTabla origen = tablaConDos("origen");
        PTabla copia = Tabla::crear("copia", campos());
        ambito.reset();
        ASSERT_TRUE(
            (c.porFila ? copia->anadirFilaDe(*origen, 1) : copia->anadirFila(origen->fila(1)))
                .ok());
        ASSERT_EQ(copia->numeroRegistros(), 1);
        EXPECT_EQ(copia->texto("Nombre"), "Dos");
        EXPECT_TRUE(copia->valor("Horas").isNull());

        PTabla cambiada = c.cambiarOrigen ? origen : copia;
        PTabla quieta = c.cambiarOrigen ? copia : origen;
        cambiada->irAFila(c.cambiarOrigen ? 1 : 0);
        ASSERT_TRUE(cambiada->establecer("Nombre", QString("Cambiado")).ok());
        ASSERT_TRUE(cambiada->establecer("Horas", 3).ok());
        quieta->irAFila(c.cambiarOrigen ? 0 : 1);
        EXPECT_EQ(quieta->texto("Nombre"), "Dos");
        EXPECT_TRUE(quieta->valor("Horas").isNull());

        ASSERT_TRUE(quieta->filtrar("Nombre='Dos'").ok());
        EXPECT_EQ(quieta->numeroRegistros(), 1);
        ASSERT_TRUE(cambiada->filtrar("Nombre='Cambiado'").ok());
        EXPECT_EQ(cambiada->numeroRegistros(), 1);
        EXPECT_EQ(cambiada->valor("Horas").toLongLong(), 3);
    }
}

TEST(FilasCompartidas, LoQueNoCabeNoEntraYNoDejaNada) {
    PTabla origen = Tabla::crear("larga", {{"Cod", TipoCampo::Texto, 10},
                                           {"Nombre", TipoCampo::Texto, 20},
                                           {"Horas", TipoCampo::Entero, 0}});
    ASSERT_TRUE(origen->anadirRegistro({QString("0000000001"), QString("Uno"), 1}).ok());
    PTabla destino = tablaConDos("destino");
    // Otros campos (Cod de 10 frente a 5): cada valor se comprueba.
    const Resultado r = destino->anadirFila(origen->fila(0));
    EXPECT_FALSE(r.ok());
    EXPECT_TRUE(r.mensaje().contains("supera la longitud máxima")) << r.mensaje().toStdString();
    EXPECT_EQ(destino->numeroRegistros(), 2);

    const auto cambiada = destino->filaCambiada(0, {{0, QString("demasiado largo")}});
    EXPECT_FALSE(cambiada.ok());
    const auto bien = destino->filaCambiada(0, {{1, QString("Otro")}, {2, QString(" 42 ")}});
    ASSERT_TRUE(bien.ok()) << bien.mensaje().toStdString();
    ASSERT_TRUE(destino->anadirFila(bien.valor()).ok());
    EXPECT_EQ(destino->texto("Nombre"), "Otro");
    EXPECT_EQ(destino->valor("Horas").toLongLong(), 42);
    destino->moverPrimero();
    EXPECT_EQ(destino->texto("Nombre"), "Uno");
    EXPECT_FALSE(destino->anadirFila(destino->fila(99)).ok());
}

// La carga por bytes: textos de Windows-1252, el nulo del campo al que la línea no llega, el
// vacío del que solo tiene espacios, y los mismos valores cuando un campo deja de buscarse
// porque no se repite (pasada la muestra).
TEST(AltaRegistros, BytesATextoConNuloVacioYCamposQueNoSeRepiten) {
    PTabla t = Tabla::crear("t", campos());
    AltaRegistros alta(*t);
    std::vector<std::string> codigos;
    for (int i = 0; i < 1500; ++i) codigos.push_back(QString::number(i).toStdString());
    const std::string nombres[] = {"Le\xF3n", "\xC1vila", ""};
    for (int i = 0; i < 1500; ++i) {
        alta.ponerBytes(0, codigos[size_t(i)]);
        if (i % 4 != 3) alta.ponerBytes(1, nombres[i % 3]);
        if (i % 4 == 3) alta.ponerBytes(1, std::string_view());
        ASSERT_TRUE(alta.alta().ok());
    }
    ASSERT_EQ(t->numeroRegistros(), 1500);
    for (int i = 0; i < 1500; ++i) {
        SCOPED_TRACE(i);
        t->irAFila(i);
        EXPECT_EQ(t->texto("Cod"), QString::number(i));
        const QVariant nombre = t->valor("Nombre");
        if (i % 4 == 3) {
            EXPECT_TRUE(nombre.toString().isNull());
        } else {
            EXPECT_FALSE(nombre.toString().isNull());
            EXPECT_EQ(nombre.toString(), (QStringList{"León", "Ávila", ""}).at(i % 3));
        }
        EXPECT_TRUE(t->valor("Horas").isNull());
    }
    // Un texto que no cabe no da de alta nada, y el siguiente registro empieza limpio.
    alta.ponerBytes(0, "123456");
    const Resultado r = alta.alta();
    EXPECT_FALSE(r.ok());
    EXPECT_TRUE(r.mensaje().contains("Cod")) << r.mensaje().toStdString();
    EXPECT_EQ(t->numeroRegistros(), 1500);
    ASSERT_TRUE(alta.poner(2, QString("7")).ok());
    EXPECT_FALSE(alta.poner(2, QString("siete")).ok());
    ASSERT_TRUE(alta.alta().ok());
    EXPECT_TRUE(t->valor("Cod").toString().isNull());
    EXPECT_EQ(t->valor("Horas").toLongLong(), 7);
}

// Textos que se repiten lo bastante para seguir buscándose: parecidos a propósito (mismo
// principio de ocho bytes, solo la longitud distinta, un byte cero dentro), y más de los que
// caben en la tabla de búsqueda al empezar. Cada repetición tiene que ser el mismo valor.
TEST(AltaRegistros, TextosParecidosNoSeConfundenYLosRepetidosSonElMismoValor) {
    PTabla t = Tabla::crear("t", {{"Nombre", TipoCampo::Texto, 20}});
    AltaRegistros alta(*t);
    std::vector<std::string> textos = {"abcdefgh",
                                       "abcdefgh ",
                                       "abcdefghi",
                                       "abcdefgi",
                                       std::string("ab\0c", 4),
                                       std::string("ab\0d", 4),
                                       std::string("ab", 2),
                                       "",
                                       "\xC1vila",
                                       "\xE1vila"};
    for (int i = 0; i < 290; ++i) textos.push_back("Localidad " + std::to_string(i));
    const int vueltas = 4;
    for (int v = 0; v < vueltas; ++v) {
        for (const std::string& x : textos) {
            alta.ponerBytes(0, x);
            ASSERT_TRUE(alta.alta().ok());
        }
    }
    const int n = int(textos.size());
    ASSERT_EQ(t->numeroRegistros(), n * vueltas);
    for (int i = 0; i < n; ++i) {
        SCOPED_TRACE(i);
        const std::string& x = textos[size_t(i)];
        const QString esperado = QString::fromLatin1(x.data(), qsizetype(x.size()));
        EXPECT_EQ(t->valorEnFila(i, 0).toString(), esperado);
        for (int v = 1; v < vueltas; ++v)
            EXPECT_EQ(&t->valorEnFila(i + v * n, 0), &t->valorEnFila(i, 0));
        if (i > 0) {
            EXPECT_NE(&t->valorEnFila(i, 0), &t->valorEnFila(i - 1, 0));
        }
    }
}

// Una instantánea tiene las filas que ve el cursor, en su orden, sin copiar ningún valor; y lo
// que se cambia, se añade o se borra después en una no llega a la otra.
TEST(ReservaValores, UnaInstantaneaNoVeLoQueCambiaDespues) {
    PTabla t = tablaConDos("t");
    ASSERT_TRUE(t->anadirRegistro({QString("00003"), QString("Tres"), 30}).ok());
    ASSERT_TRUE(t->ordenar("Cod DESC").ok());
    PTabla foto = instantaneaDe(*t);
    ASSERT_EQ(foto->numeroRegistros(), 3);
    EXPECT_EQ(foto->orden(), "");
    for (int f = 0; f < 3; ++f)
        for (int c = 0; c < 3; ++c) EXPECT_EQ(&foto->valorEnFila(f, c), &t->valorEnFila(f, c));
    t->moverPrimero();
    ASSERT_TRUE(t->establecer("Nombre", "Cambiado").ok());
    t->moverUltimo();
    ASSERT_TRUE(t->borrar().ok());
    ASSERT_TRUE(t->anadirRegistro({QString("00004"), QString("Cuatro"), 40}).ok());
    foto->moverPrimero();
    ASSERT_TRUE(foto->establecer("Horas", 99).ok());
    const auto columna = [](const PTabla& x, int c) {
        QStringList r;
        for (int f = 0; f < x->numeroRegistros(); ++f) r << x->valorEnFila(f, c).toString();
        return r;
    };
    EXPECT_EQ(columna(foto, 1), (QStringList{"Tres", "Dos", "Uno"}));
    EXPECT_EQ(columna(foto, 2), (QStringList{"99", "", "10"}));
    EXPECT_EQ(columna(t, 1), (QStringList{"Cambiado", "Dos", "Cuatro"}));
    EXPECT_EQ(columna(t, 2), (QStringList{"30", "", "40"}));
}

}  // namespace
