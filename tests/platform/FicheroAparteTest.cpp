// Escribir un fichero sin dejarlo a medias ni escribir a través de lo que haya en su lugar.
#include "../apoyo/Ficheros.h"
#include "platform/DocumentoXml.h"
#include "platform/FicheroAparte.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utime.h>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <functional>

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

// Crear un fichero nuevo es en exclusiva: con cualquier cosa ya en su nombre (un fichero normal,
// un enlace a otro, un enlace roto) falla sin tocarla y sin seguir el enlace.
TEST(FicheroAparte, CrearEnExclusivaNoPisaNadaDeLoQueYaHay) {
    QTemporaryDir dir;
    const QString otro = dir.filePath("usuarios.xml");
    escribirBytes(otro, "<Usuarios>todas las contraseñas</Usuarios>");
    struct Caso {
        const char* nombre;
        std::function<void(const QString&)> preparar;
    };
    const Caso casos[] = {
        {"fichero normal", [](const QString& r) { escribirBytes(r, "lo que ya estaba"); }},
        {"enlace a otro fichero",
         [](const QString& r) { ASSERT_EQ(::symlink("usuarios.xml", QFile::encodeName(r)), 0); }},
        {"enlace roto",
         [](const QString& r) { ASSERT_EQ(::symlink("no-existe", QFile::encodeName(r)), 0); }},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nombre);
        const QString ruta = dir.filePath(QStringLiteral("nuevo-%1.pdf").arg(c.nombre));
        c.preparar(ruta);
        const QByteArray antes = QFileInfo(ruta).isSymLink() ? QByteArray() : leerBytes(ruta);
        const Resultado r = escribirNuevo(ruta, "lo nuevo");
        EXPECT_FALSE(r.ok());
        EXPECT_TRUE(r.mensaje().contains(QDir::toNativeSeparators(ruta)))
            << r.mensaje().toStdString();
        if (!antes.isEmpty()) {
            EXPECT_EQ(leerBytes(ruta), antes);
        }
        EXPECT_FALSE(QFileInfo::exists(dir.filePath("no-existe")));
    }
    EXPECT_EQ(leerBytes(otro), "<Usuarios>todas las contraseñas</Usuarios>");
    // Donde no hay nada, se crea.
    const QString libre = dir.filePath("libre.pdf");
    ASSERT_TRUE(escribirNuevo(libre, "lo nuevo").ok());
    EXPECT_EQ(leerBytes(libre), "lo nuevo");
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

// La causa se dice en castellano, y la de verdad: una carpeta que falta no es un fichero que
// ocupa el lugar de la carpeta.
TEST(FicheroAparte, LaCausaSeDiceEnCastellano) {
    QTemporaryDir dir;
    escribirBytes(dir.filePath("fichero"), "x");
    const struct {
        const char* ruta;
        const char* causa;
    } casos[] = {{"no-existe/a.txt", "la carpeta no existe"},
                 {"fichero/a.txt", "en el lugar de la carpeta hay un fichero"}};
    for (const auto& c : casos) {
        const Resultado r = escribirReemplazando(dir.filePath(c.ruta), "x");
        ASSERT_FALSE(r.ok());
        EXPECT_TRUE(r.mensaje().contains(c.causa)) << r.mensaje().toStdString();
    }
}

// Lo escrito es solo del usuario sea cual sea la umask: lleva datos personales.
TEST(FicheroAparte, LoEscritoEsSoloDelUsuario) {
    QTemporaryDir dir;
    for (const mode_t mascara : {0000, 0022, 0277}) {
        const mode_t antes = ::umask(mascara);
        const Resultado r = escribirReemplazando(dir.filePath("a.txt"), "x");
        ::umask(antes);
        ASSERT_TRUE(r.ok()) << r.mensaje().toStdString();
        EXPECT_EQ(permisos(dir.filePath("a.txt")), 0600) << mascara;
    }
}

// Solo se leen ficheros normales y acotados: un FIFO no deja esperando y un dispositivo no se lee
// sin fin; cada caso dice por qué.
TEST(FicheroAparte, SoloSeLeenFicherosNormalesAcotados) {
    QTemporaryDir dir;
    escribirBytes(dir.filePath("normal"), "contenido");
    escribirBytes(dir.filePath("grande"), QByteArray(2048, 'x'));
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir.filePath("fifo")).constData(), 0600), 0);
    const struct {
        QString ruta;
        const char* causa;
    } casos[] = {{dir.filePath("normal"), ""},
                 {dir.filePath("fifo"), "no es un fichero normal"},
                 {"/dev/zero", "no es un fichero normal"},
                 {dir.path(), "es una carpeta"},
                 {dir.filePath("grande"), "ocupa más de 1 KiB"},
                 {dir.filePath("no-existe"), "no existe"}};
    for (const auto& c : casos) {
        const auto r = leerFicheroNormal(c.ruta, 1024);
        EXPECT_EQ(r.ok(), *c.causa == 0) << c.ruta.toStdString();
        if (r)
            EXPECT_EQ(r.valor(), "contenido");
        else
            EXPECT_TRUE(r.mensaje().contains(c.causa)) << r.mensaje().toStdString();
    }
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
    struct utimbuf hace {
        ::time(nullptr) - 3600, ::time(nullptr) - 3600
    };
    ASSERT_EQ(::utime(QFile::encodeName(viejo), &hace), 0);
    limpiarApartes(dir.path());
    EXPECT_EQ(todo(dir.path()), (QStringList{".x.xml.klmnopqrst.aparte", "x.doc"}));
    EXPECT_EQ(leerBytes(dir.filePath("x.doc")), "la solicitud");
}

}  // namespace
