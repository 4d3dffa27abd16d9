#include "platform/DocumentoXml.h"

#include "../apoyo/Ficheros.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QTemporaryDir>

namespace {

TEST(DocumentoXmlPosicionesTest, TraduceSoloLosPredicadosNumericos) {
    const std::pair<QString, QString> casos[] = {
        {"//Usuarios/Usuario[0]/DNI", "//Usuarios/Usuario[1]/DNI"},
        {"//A[3]/B[10]", "//A[4]/B[11]"},
        {"//A[ 2 ]", "//A[3]"},
        {"//Usuarios/Usuario[DNI='BA78']", "//Usuarios/Usuario[DNI='BA78']"},
        {"//A[last()]", "//A[last()]"},
        // Dentro de comillas es texto literal: un título con corchetes no se toca.
        {"//Tab[@Titulo='Lista [2]']", "//Tab[@Titulo='Lista [2]']"},
        {"//Tab[Titulo=\"[0]\"][1]", "//Tab[Titulo=\"[0]\"][2]"},
        {"//Tab[Titulo=\"it's [0]\"][0]", "//Tab[Titulo=\"it's [0]\"][1]"},
    };
    for (const auto& [consulta, xpath] : casos) {
        SCOPED_TRACE(consulta.toStdString());
        EXPECT_EQ(DocumentoXml::aXPath(consulta), xpath);
    }
}

TEST(DocumentoXmlPosicionesTest, UnLiteralConCorchetesEncuentraSuNodo) {
    DocumentoXml d;
    ASSERT_TRUE(d.cargarTexto(QStringLiteral(
        "<R><Tab><T>Lista [0]</T><V>a</V></Tab><Tab><T>Lista [1]</T><V>b</V></Tab></R>")));
    EXPECT_EQ(d.texto(QStringLiteral("//R/Tab[T='Lista [1]']/V")), QStringLiteral("b"));
    EXPECT_EQ(d.texto(QStringLiteral("//R/Tab[0]/V")), QStringLiteral("a"));
}

TEST(DocumentoXmlPosicionesTest, GuardaYLeeLatin1SinPerderCaracteres) {
    QTemporaryDir dir;
    const QString ruta = dir.filePath(QStringLiteral("x.xml"));
    DocumentoXml d;
    ASSERT_TRUE(d.cargarTexto(QStringLiteral("<R><N>Peña €</N></R>")));
    ASSERT_TRUE(d.guardar(ruta).ok());
    QFile f(ruta);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    EXPECT_TRUE(
        bytes.contains("Pe\xF1"
                       "a &#8364;"))
        << bytes.toStdString();

    DocumentoXml leido;
    ASSERT_TRUE(leido.cargarFichero(ruta));
    EXPECT_EQ(leido.texto(QStringLiteral("//R/N")), QStringLiteral("Peña €"));
}

TEST(DocumentoXmlPosicionesTest, LeeLatin1DeclaradoEnMayusculas) {
    QTemporaryDir dir;
    const QString ruta = dir.filePath(QStringLiteral("x.xml"));
    ASSERT_NO_FATAL_FAILURE(
        escribirBytes(ruta,
                      "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\r\n<R><N>Pe\xF1"
                      "a</N></R>"));
    DocumentoXml d;
    ASSERT_TRUE(d.cargarFichero(ruta));
    EXPECT_EQ(d.texto(QStringLiteral("//R/N")), QStringLiteral("Peña"));
}

}  // namespace
