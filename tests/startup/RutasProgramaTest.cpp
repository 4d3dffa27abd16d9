#include "startup/RutasPrograma.h"

#include "../apoyo/Ficheros.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QTemporaryDir>

namespace {

class RutasProgramaTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        ASSERT_TRUE(QDir().mkpath(ruta("usr/bin")));
        ASSERT_TRUE(QDir().mkpath(ruta("usr/share/movilant/ficheros")));
        ASSERT_TRUE(QDir().mkpath(ruta("portatil")));
        ASSERT_NO_FATAL_FAILURE(escribirBytes(ruta("portatil/conf.xml"), "<Configuracion/>"));
    }
    QString ruta(const QString& relativa) const { return m_dir.path() + u'/' + relativa; }
    EntornoArranque instalado() const {
        EntornoArranque e;
        e.carpetaEjecutable = ruta("usr/bin");
        e.home = ruta("casa");
        e.carpetaActual = ruta("aqui");
        return e;
    }
    QTemporaryDir m_dir;
};

TEST_F(RutasProgramaTest, ConConfiguracionJuntoAlProgramaTodoEnSuCarpeta) {
    EntornoArranque e = instalado();
    e.carpetaEjecutable = ruta("portatil");
    e.xdgDataHome = ruta("xdg");
    const auto r = resolverRutas(e);
    ASSERT_TRUE(r.ok()) << qPrintable(r.mensaje());
    const RutasPrograma& p = r.valor();
    EXPECT_FALSE(p.instalado);
    EXPECT_EQ(p.programa, ruta("portatil"));
    EXPECT_EQ(p.datos, ruta("portatil"));
    EXPECT_EQ(p.catalogos, ruta("portatil/ficheros/"));
    EXPECT_EQ(p.temporal(), ruta("portatil/ficheros/temp/"));
    EXPECT_EQ(p.paso(), ruta("portatil/ficheros/"));
}

// Instalado: lo que se lee, de ../share/movilant; lo que se escribe, en la carpeta de datos del
// usuario según XDG (una ruta relativa en XDG_DATA_HOME no vale).
TEST_F(RutasProgramaTest, InstaladoEscribeEnLaCarpetaDeDatosDelUsuario) {
    struct Caso {
        QString xdg;
        QString datos;
    };
    const Caso casos[] = {{ruta("xdg"), ruta("xdg/movilant")},
                          {QString(), ruta("casa/.local/share/movilant")},
                          {QStringLiteral("relativa"), ruta("casa/.local/share/movilant")}};
    for (const Caso& c : casos) {
        EntornoArranque e = instalado();
        e.xdgDataHome = c.xdg;
        const auto r = resolverRutas(e);
        ASSERT_TRUE(r.ok()) << qPrintable(r.mensaje());
        const RutasPrograma& p = r.valor();
        EXPECT_TRUE(p.instalado);
        EXPECT_EQ(p.programa, ruta("usr/share/movilant"));
        EXPECT_EQ(p.ficheros(), ruta("usr/share/movilant/ficheros/"));
        EXPECT_EQ(p.catalogos, ruta("usr/share/movilant/ficheros/"));
        EXPECT_EQ(p.datos, c.datos) << qPrintable(c.xdg);
        EXPECT_EQ(p.temporal(), c.datos + "/temp/");
        EXPECT_EQ(p.paso(), c.datos + "/");
    }
}

TEST_F(RutasProgramaTest, InstaladoSinDondeLeerNiDondeEscribirNoArranca) {
    EntornoArranque sinCasa = instalado();
    sinCasa.home.clear();
    const auto r = resolverRutas(sinCasa);
    ASSERT_FALSE(r.ok());
    EXPECT_TRUE(r.mensaje().contains("XDG_DATA_HOME")) << qPrintable(r.mensaje());

    EntornoArranque suelto = instalado();
    suelto.carpetaEjecutable = ruta("aqui");
    const auto s = resolverRutas(suelto);
    ASSERT_FALSE(s.ok());
    EXPECT_TRUE(s.mensaje().contains(ruta("share/movilant"))) << qPrintable(s.mensaje());
}

// El juego de catálogos: el de la orden manda sobre el de conf.xml, y este sobre el de siempre.
// Una ruta relativa cuenta desde la carpeta actual (la orden) o desde la de conf.xml.
TEST_F(RutasProgramaTest, ElJuegoDeCatalogosDeLaOrdenODeLaConfiguracion) {
    const QString conf = ruta("usr/share/movilant/conf.xml");
    struct Caso {
        QByteArray lineaConf;  // vacía: conf.xml sin la línea
        QString orden;
        QString catalogos;
    };
    const Caso casos[] = {
        {"", "", ruta("usr/share/movilant/ficheros/")},
        {"<Catalogos>  </Catalogos>", "", ruta("usr/share/movilant/ficheros/")},
        {"<Catalogos>../concurso-2027</Catalogos>", "", ruta("usr/share/concurso-2027/")},
        {"<Catalogos>/srv/juego/</Catalogos>", "", "/srv/juego/"},
        {"<Catalogos>/srv/juego</Catalogos>", "otro", ruta("aqui/otro/")},
        {"", "/tmp/juego", "/tmp/juego/"},
    };
    for (const Caso& c : casos) {
        ASSERT_NO_FATAL_FAILURE(
            escribirBytes(conf, "<Configuracion Nombre=\"x\">" + c.lineaConf + "</Configuracion>"));
        EntornoArranque e = instalado();
        e.catalogos = c.orden;
        const auto r = resolverRutas(e);
        ASSERT_TRUE(r.ok()) << qPrintable(r.mensaje());
        EXPECT_EQ(r.valor().catalogos, c.catalogos)
            << c.lineaConf.constData() << " " << qPrintable(c.orden);
        // Lo demás no cambia con el juego de catálogos.
        EXPECT_EQ(r.valor().ficheros(), ruta("usr/share/movilant/ficheros/"));
    }
    // También en la carpeta portátil.
    ASSERT_NO_FATAL_FAILURE(escribirBytes(
        ruta("portatil/conf.xml"), "<Configuracion><Catalogos>juego</Catalogos></Configuracion>"));
    EntornoArranque p = instalado();
    p.carpetaEjecutable = ruta("portatil");
    EXPECT_EQ(resolverRutas(p).valor().catalogos, ruta("portatil/juego/"));
}

TEST_F(RutasProgramaTest, OpcionesDeLaOrden) {
    struct Caso {
        QStringList argumentos;
        bool vale;
        QString catalogos;
        bool version;
        bool ayuda;
    };
    const Caso casos[] = {
        {{}, true, "", false, false},
        {{"--catalogos", "/a b"}, true, "/a b", false, false},
        {{"--catalogos=juego"}, true, "juego", false, false},
        {{"--version"}, true, "", true, false},
        {{"--ayuda"}, true, "", false, true},
        {{"--help"}, true, "", false, true},
        {{"--catalogos"}, false, "", false, false},
        {{"--catalogos="}, false, "", false, false},
        {{"--catalogo", "x"}, false, "", false, false},
        {{"suelto"}, false, "", false, false},
    };
    for (const Caso& c : casos) {
        const auto r = leerOpcionesOrden(QStringList{"movilant"} + c.argumentos);
        const std::string que = c.argumentos.join(' ').toStdString();
        ASSERT_EQ(r.ok(), c.vale) << que;
        if (!r.ok()) {
            EXPECT_FALSE(r.mensaje().isEmpty()) << que;
            continue;
        }
        EXPECT_EQ(r.valor().catalogos, c.catalogos) << que;
        EXPECT_EQ(r.valor().version, c.version) << que;
        EXPECT_EQ(r.valor().ayuda, c.ayuda) << que;
    }
}

}  // namespace
