// Escribir un fichero sin dejarlo a medias ni escribir a través de lo que haya en su lugar.
#include "../apoyo/Ficheros.h"
#include "platform/DocumentoXml.h"
#include "platform/FicheroAparte.h"

#include <sys/stat.h>
#include <unistd.h>
#include <gtest/gtest.h>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <utime.h>

namespace {

QStringList todo(const QString& carpeta) {
    return QDir(carpeta).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                   QDir::NoDotAndDotDot);
}

// Un enlace en el sitio del destino se sustituye por el fichero: lo apuntado no se toca. Vale
// para todo lo que se guarda así (almacén de usuarios, listas, documentos, PDF).
TEST(FicheroAparte, UnEnlaceEnElDestinoSeSustituyeSinTocarLoApuntado) {
    QTemporaryDir dir;
    const QString almacen = dir.filePath("usuarios.xml");
    escribirBytes(almacen, "<Usuarios>todas las contraseñas</Usuarios>");
    const QString destino = dir.filePath("solicitud.xml");
    ASSERT_EQ(::symlink("usuarios.xml", QFile::encodeName(destino)), 0);
    DocumentoXml doc;
    ASSERT_TRUE(doc.cargarTexto("<Plazas/>"));
    ASSERT_TRUE(doc.guardar(destino).ok());
    EXPECT_EQ(leerBytes(almacen), "<Usuarios>todas las contraseñas</Usuarios>");
    EXPECT_FALSE(QFileInfo(destino).isSymLink());
    EXPECT_TRUE(leerBytes(destino).contains("<Plazas"));
    EXPECT_EQ(todo(dir.path()), (QStringList{"solicitud.xml", "usuarios.xml"}));
}

// Un fallo al ponerlo en su sitio (en el destino hay una carpeta) no deja nada aparte y el
// destino se queda como estaba.
TEST(FicheroAparte, UnFalloNoDejaNadaYConservaElDestino) {
    QTemporaryDir dir;
    const QString destino = dir.filePath("a.txt");
    ASSERT_TRUE(QDir().mkpath(destino + "/dentro"));
    const Resultado r = escribirReemplazando(destino, "después");
    ASSERT_FALSE(r.ok());
    EXPECT_TRUE(r.mensaje().contains("en su lugar hay una carpeta")) << r.mensaje().toStdString();
    EXPECT_TRUE(QFileInfo(destino + "/dentro").isDir());
    EXPECT_EQ(todo(dir.path()), QStringList{"a.txt"});
}

// En una carpeta que no existe el mensaje lo dice en castellano.
TEST(FicheroAparte, LaCausaSeDiceEnCastellano) {
    QTemporaryDir dir;
    const Resultado r = escribirReemplazando(dir.filePath("no-existe/a.txt"), "x");
    ASSERT_FALSE(r.ok());
    EXPECT_TRUE(r.mensaje().contains("la carpeta no existe")) << r.mensaje().toStdString();
}

// Los apartes que deja una ejecución interrumpida se borran al arrancar; uno reciente (de otra
// ejecución en marcha) se deja, y un enlace se borra sin tocar lo apuntado.
TEST(FicheroAparte, LosApartesViejosSeLimpian) {
    QTemporaryDir dir;
    const QString viejo = dir.filePath(".x.doc.abcdefghij.aparte");
    const QString reciente = dir.filePath(".x.xml.klmnopqrst.aparte");
    escribirBytes(viejo, "a medias");
    escribirBytes(reciente, "escribiéndose");
    escribirBytes(dir.filePath("x.doc"), "la solicitud");
    ASSERT_EQ(::symlink("x.doc", QFile::encodeName(dir.filePath(".y.doc.0123456789.aparte"))), 0);
    struct utimbuf hace{::time(nullptr) - 3600, ::time(nullptr) - 3600};
    ASSERT_EQ(::utime(QFile::encodeName(viejo), &hace), 0);
    limpiarApartes(dir.path());
    EXPECT_EQ(todo(dir.path()), (QStringList{".x.xml.klmnopqrst.aparte", "x.doc"}));
    EXPECT_EQ(leerBytes(dir.filePath("x.doc")), "la solicitud");
}

}  // namespace
