#include "../apoyo/RutasCompilacion.h"
#include "global/Configuracion.h"

#include "../apoyo/Ficheros.h"
#include "global/Globales.h"

#include <gtest/gtest.h>
#include <QTemporaryDir>

namespace {

struct PestanaXml {
    QString visibilidad;
    QString titulo;
    QString sobreGrid;
};

QString confXml(const QString& atributos, const QList<PestanaXml>& tabs) {
    QString x =
        QStringLiteral("<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\n<Configuracion %1>")
            .arg(atributos);
    int i = 0;
    for (const auto& t : tabs) {
        x += QStringLiteral(
                 "<Tab><NombreTab>T%1</NombreTab><Visibilidad>%2</Visibilidad>"
                 "<TituloTab>%3</TituloTab><TituloSobreGrid>%4</TituloSobreGrid></Tab>")
                 .arg(i++)
                 .arg(t.visibilidad, t.titulo, t.sobreGrid);
    }
    return x + QStringLiteral("</Configuracion>");
}

QList<PestanaXml> cincoPestanas(const QStringList& visibilidades) {
    QList<PestanaXml> tabs;
    for (int i = 0; i < visibilidades.size(); ++i)
        tabs.append({visibilidades[i], QStringLiteral("Título %1").arg(i),
                     QStringLiteral("Rejilla %1").arg(i)});
    return tabs;
}

class ConfiguracionTest : public ::testing::Test {
protected:
    void SetUp() override {
        reiniciarGlobales();
        ASSERT_TRUE(dir.isValid());
        G().RutaFicheros = dir.path() + QStringLiteral("/ficheros/");
    }
    void escribir(const QString& contenido) {
        escribirBytes(dir.filePath(QStringLiteral("conf.xml")), contenido.toLatin1());
    }
    QTemporaryDir dir;
};

TEST_F(ConfiguracionTest, LaCarpetaDelProgramaEsLaQueContieneFicheros) {
    EXPECT_EQ(rutaConfiguracion(), dir.filePath(QStringLiteral("conf.xml")));
}

TEST_F(ConfiguracionTest, VisibilidadDecideLaCarpetaDePlantillasYCadaPestana) {
    struct Caso {
        QStringList visibilidad;
        QString carpeta;
    };
    const Caso casos[] = {
        {{"S", "N", "S", "S", "N"}, "DOT_10110"},
        {{"S", "S", "S", "S", "S"}, "DOT_11111"},
        // Solo "S" exacta muestra la pestaña.
        {{"s", "", "SI", " S", "S"}, "DOT_00001"},
    };
    for (const auto& c : casos) {
        escribir(confXml(QStringLiteral("Nombre=\"Traslados\" numPlazasPorPag=\"40\""),
                         cincoPestanas(c.visibilidad)));
        auto r = leerConfiguracion(rutaConfiguracion());
        ASSERT_TRUE(r.ok()) << qPrintable(r.mensaje());
        EXPECT_EQ(r.valor().CarpetaPlantillas, c.carpeta);
        for (int i = 0; i < kNumPestanas; ++i) {
            const TabConfig& t = r.valor().Tabs[size_t(i)];
            EXPECT_EQ(t.indice, i);
            EXPECT_EQ(t.visible(), c.carpeta[4 + i] == QLatin1Char('1'));
            EXPECT_EQ(t.NombreTab, QStringLiteral("T%1").arg(i));
            EXPECT_EQ(t.TituloSobreGrid, QStringLiteral("Rejilla %1").arg(i));
        }
    }
}

TEST_F(ConfiguracionTest, NombrePlazasYTituloConVersion) {
    escribir(confXml(QStringLiteral("Nombre=\"Traslados\" numPlazasPorPag=\"25\""),
                     cincoPestanas({"S", "S", "S", "S", "S"})));
    auto r = leerConfiguracion(rutaConfiguracion());
    ASSERT_TRUE(r.ok()) << qPrintable(r.mensaje());
    EXPECT_EQ(r.valor().Nombre, "Traslados");
    EXPECT_EQ(r.valor().PlazasPorPagina, "25");
    EXPECT_EQ(tituloConVersion(r.valor().Nombre), "Traslados 1.2.0");
}

TEST_F(ConfiguracionTest, ElFicheroDeEjemploSeLeeEntero) {
    auto r = leerConfiguracion(rutaFuentes("/datos/conf.xml"));
    ASSERT_TRUE(r.ok()) << qPrintable(r.mensaje());
    EXPECT_EQ(r.valor().CarpetaPlantillas, "DOT_11111");
    EXPECT_EQ(r.valor().Tabs[1].TituloSobreGrid,
              QStringLiteral("Cursos de Formación de Funcionarios"));
}

TEST_F(ConfiguracionTest, SinFicheroElMensajeLoNombra) {
    auto r = leerConfiguracion(rutaConfiguracion());
    ASSERT_FALSE(r.ok());
    EXPECT_TRUE(r.mensaje().contains("\"conf.xml\"")) << qPrintable(r.mensaje());
    EXPECT_EQ(r.numero(), Errores::FicheroNoEncontrado);
}

TEST_F(ConfiguracionTest, UnXmlRotoSeRechaza) {
    escribir(QStringLiteral("<Configuracion Nombre=\"x\">"));
    auto r = leerConfiguracion(rutaConfiguracion());
    ASSERT_FALSE(r.ok());
    EXPECT_TRUE(r.mensaje().contains("\"conf.xml\""));
}

TEST_F(ConfiguracionTest, CadaNodoQueFaltaSeNombraEnElMensaje) {
    const QString bueno = confXml(QStringLiteral("Nombre=\"Traslados\" numPlazasPorPag=\"40\""),
                                  cincoPestanas({"S", "N", "S", "S", "N"}));
    struct Caso {
        QString quitar;  // texto que se borra del fichero bueno
        QString poner;   // y lo que se pone en su lugar
        QString nodo;    // nodo que el mensaje debe nombrar
    };
    const Caso casos[] = {
        {" Nombre=\"Traslados\"", "", "//Configuracion/@Nombre"},
        {" numPlazasPorPag=\"40\"", "", "//Configuracion/@numPlazasPorPag"},
        {"<TituloSobreGrid>Rejilla 4</TituloSobreGrid>", "", "//Tab[4]/TituloSobreGrid"},
        {"<Visibilidad>S</Visibilidad><TituloTab>Título 2</TituloTab>",
         "<TituloTab>Título 2</TituloTab>", "//Tab[2]/Visibilidad"},
        {"<NombreTab>T0</NombreTab>", "", "//Tab[0]/NombreTab"},
    };
    for (const auto& c : casos) {
        QString xml = bueno;
        ASSERT_TRUE(xml.contains(c.quitar)) << qPrintable(c.quitar);
        xml.replace(c.quitar, c.poner);
        escribir(xml);
        auto r = leerConfiguracion(rutaConfiguracion());
        ASSERT_FALSE(r.ok()) << qPrintable(c.nodo);
        EXPECT_TRUE(r.mensaje().contains(c.nodo)) << qPrintable(r.mensaje());
        EXPECT_TRUE(r.mensaje().contains("\"conf.xml\""));
        EXPECT_EQ(r.numero(), Errores::NodoNoEncontrado);
    }
    // Con solo cuatro pestañas falta la quinta.
    escribir(confXml(QStringLiteral("Nombre=\"T\" numPlazasPorPag=\"40\""),
                     cincoPestanas({"S", "S", "S", "S"})));
    auto r = leerConfiguracion(rutaConfiguracion());
    ASSERT_FALSE(r.ok());
    EXPECT_TRUE(r.mensaje().contains("//Tab[4]/NombreTab")) << qPrintable(r.mensaje());
}

TEST_F(ConfiguracionTest, PlazasPorPaginaDebeSerUnEnteroDeAlMenosUno) {
    // Cada valor malo con la causa que de verdad tiene: un número enorme es demasiado grande, no
    // "no es un entero".
    const struct {
        const char* valor;
        const char* causa;
    } casos[] = {{"0", "no es un número entero mayor o igual que 1"},
                 {"-3", "no es un número entero mayor o igual que 1"},
                 {"", "no es un número entero mayor o igual que 1"},
                 {"cuarenta", "no es un número entero mayor o igual que 1"},
                 {"4.5", "no es un número entero mayor o igual que 1"},
                 {"12abc", "no es un número entero mayor o igual que 1"},
                 {"99999999999", "es demasiado grande"},
                 {"99999999999999999999999999", "es demasiado grande"}};
    for (const auto& c : casos) {
        escribir(confXml(
            QStringLiteral("Nombre=\"T\" numPlazasPorPag=\"%1\"").arg(QString::fromUtf8(c.valor)),
            cincoPestanas({"S", "S", "S", "S", "S"})));
        auto r = leerConfiguracion(rutaConfiguracion());
        ASSERT_FALSE(r.ok()) << c.valor;
        EXPECT_TRUE(r.mensaje().contains("numPlazasPorPag")) << qPrintable(r.mensaje());
        EXPECT_TRUE(r.mensaje().contains("\"conf.xml\""));
        EXPECT_TRUE(r.mensaje().contains(QString::fromUtf8(c.causa))) << qPrintable(r.mensaje());
    }
    escribir(confXml(QStringLiteral("Nombre=\"T\" numPlazasPorPag=\"1\""),
                     cincoPestanas({"S", "S", "S", "S", "S"})));
    EXPECT_TRUE(leerConfiguracion(rutaConfiguracion()).ok());
}

}  // namespace
