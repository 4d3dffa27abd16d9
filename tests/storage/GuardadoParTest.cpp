// Los dos ficheros de una solicitud se ponen en su sitio como una unidad, y el bloqueo que impide
// abrir una solicitud en dos programas a la vez.
#include "../apoyo/Ficheros.h"
#include "platform/FicheroAparte.h"
#include "storage/BloqueoSolicitud.h"
#include "storage/GuardadoPar.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>
#include <QDir>
#include <QTemporaryDir>
#include <cerrno>

namespace {

class GuardadoParTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }
    void TearDown() override { ponerGanchoRenombrar({}); }
    QString ruta(const char* nombre) const { return m_dir.filePath(nombre); }
    // El par de antes (si lo hay) y los dos nuevos escritos aparte; devuelve los apartes.
    std::pair<QString, QString> preparar(bool habiaPar) {
        if (habiaPar) {
            escribirBytes(ruta("s.doc"), "documento viejo");
            escribirBytes(ruta("s.xml"), "listas viejas");
        }
        return {escribirAparte(ruta("s.doc"), "documento nuevo").valor(),
                escribirAparte(ruta("s.xml"), "listas nuevas").valor()};
    }
    QStringList todo() const {
        return QDir(m_dir.path())
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    }
    QTemporaryDir m_dir;
};

// Cada cambio de nombre que falla deja en el disco o los dos ficheros nuevos o los dos de antes
// (nunca un documento nuevo con listas viejas), ningún aparte, y el mensaje dice qué quedó. Si
// tampoco se puede volver al documento de antes, no se pierde: queda a la vista con el nombre que
// da el mensaje.
TEST_F(GuardadoParTest, OLosDosNuevosOLosDosDeAntes) {
    const struct {
        const char* caso;
        bool habiaPar;
        QList<int> fallan;  // qué cambios de nombre fallan, contando desde 1
        QByteArray doc, xml;
        const char* mensaje;
    } casos[] = {
        {"todo bien", true, {}, "documento nuevo", "listas nuevas", nullptr},
        {"falla el documento", true, {1}, "documento viejo", "listas viejas", "No se ha guardado"},
        {"fallan las listas", true, {2}, "documento viejo", "listas viejas", "No se ha guardado"},
        {"nueva y fallan las listas", false, {2}, "", "", "No se ha guardado"},
        {"tampoco vuelve", true, {2, 3}, "documento nuevo", "listas viejas", "Tampoco"},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.caso);
        for (const QString& f : todo()) QFile::remove(ruta(f.toUtf8().constData()));
        const auto [doc, xml] = preparar(c.habiaPar);
        int llamada = 0;
        ponerGanchoRenombrar([&](const QString& de, const QString& a) {
            if (c.fallan.contains(++llamada)) return EIO;
            return ::rename(QFile::encodeName(de).constData(), QFile::encodeName(a).constData())
                       ? errno
                       : 0;
        });
        const Resultado r = ponerParEnSuSitio(doc, ruta("s.doc"), xml, ruta("s.xml"));
        ponerGanchoRenombrar({});
        EXPECT_EQ(r.ok(), c.mensaje == nullptr);
        if (c.mensaje) {
            EXPECT_TRUE(r.mensaje().contains(c.mensaje)) << r.mensaje().toStdString();
        }
        EXPECT_EQ(leerBytes(ruta("s.doc")), c.doc);
        EXPECT_EQ(leerBytes(ruta("s.xml")), c.xml);
        QStringList quedan;
        if (QString(c.mensaje).startsWith("Tampoco")) {
            quedan << "s.anterior.doc";
            EXPECT_EQ(leerBytes(ruta("s.anterior.doc")), "documento viejo");
            EXPECT_TRUE(
                r.mensaje().endsWith(QString("El documento anterior se ha guardado como \"%1\".")
                                         .arg(ruta("s.anterior.doc"))))
                << r.mensaje().toStdString();
        }
        if (!c.doc.isEmpty()) quedan << "s.doc";
        if (!c.xml.isEmpty()) quedan << "s.xml";
        EXPECT_EQ(todo(), quedan);
    }
    // Con el nombre del documento había un enlace (no un documento que se pueda copiar): al volver
    // atrás el nombre se queda vacío, y el mensaje lo dice en lugar de dar la solicitud por
    // intacta.
    for (const QString& f : todo()) QFile::remove(ruta(f.toUtf8().constData()));
    escribirBytes(ruta("apuntado"), "lo apuntado");
    ASSERT_TRUE(QFile::link(ruta("apuntado"), ruta("s.doc")));
    escribirBytes(ruta("s.xml"), "listas viejas");
    const auto [doc, xml] = preparar(false);
    ponerGanchoRenombrar([](const QString& de, const QString& a) {
        if (a.endsWith("s.xml")) return EIO;
        return ::rename(QFile::encodeName(de).constData(), QFile::encodeName(a).constData()) ? errno
                                                                                             : 0;
    });
    const Resultado r = ponerParEnSuSitio(doc, ruta("s.doc"), xml, ruta("s.xml"));
    EXPECT_FALSE(r.ok());
    EXPECT_FALSE(r.mensaje().contains("sigue como estaba")) << r.mensaje().toStdString();
    EXPECT_TRUE(r.mensaje().contains("Ya no hay documento \"" + ruta("s.doc") +
                                     "\": con ese nombre había un enlace (lo que apuntaba no se "
                                     "ha tocado), que el guardado sustituyó"))
        << r.mensaje().toStdString();
    EXPECT_TRUE(r.mensaje().contains("Las listas \"" + ruta("s.xml") + "\" son las de antes."));
    EXPECT_EQ(leerBytes(ruta("apuntado")), "lo apuntado");
    EXPECT_EQ(leerBytes(ruta("s.xml")), "listas viejas");
    EXPECT_EQ(todo(), (QStringList{"apuntado", "s.xml"}));
}

// El programa muere entre los dos cambios de nombre: queda el documento nuevo con las listas de
// antes, enteras (al abrirla, los sellos distintos lo delatan).
TEST_F(GuardadoParTest, MuerteEntreLosDosCambiosDeNombre) {
    const auto [doc, xml] = preparar(true);
    EXPECT_EXIT(
        {
            ponerGanchoRenombrar([](const QString& de, const QString& a) {
                if (a.endsWith("s.xml")) ::raise(SIGKILL);
                return ::rename(QFile::encodeName(de).constData(),
                                QFile::encodeName(a).constData());
            });
            ponerParEnSuSitio(doc, ruta("s.doc"), xml, ruta("s.xml"));
        },
        ::testing::KilledBySignal(SIGKILL), "");
    EXPECT_EQ(leerBytes(ruta("s.doc")), "documento nuevo");
    EXPECT_EQ(leerBytes(ruta("s.xml")), "listas viejas");
}

// Una solicitud abierta en un programa no se abre en otro; al cerrarla (o si el programa que la
// tenía muere) se puede abrir.
TEST_F(GuardadoParTest, UnaSolicitudSoloSeAbreEnUnPrograma) {
    const QString carpeta = m_dir.path() + "/";
    const QString nombre = "12345678ZABCDEF0A.doc";
    {
        auto primero = BloqueoSolicitud::tomar(carpeta, nombre);
        ASSERT_TRUE(primero.ok()) << primero.mensaje().toStdString();
        EXPECT_TRUE(BloqueoSolicitud::enUso(carpeta, nombre));
        // El mismo nombre con la extensión en mayúsculas comparte las listas: también en uso.
        for (const QString& otro : {nombre, QString("12345678ZABCDEF0A.DOC")}) {
            const auto segundo = BloqueoSolicitud::tomar(carpeta, otro);
            ASSERT_FALSE(segundo.ok());
            EXPECT_EQ(segundo.numero(), BloqueoSolicitud::kEnUso);
            EXPECT_TRUE(segundo.mensaje().contains(carpeta + otro));
            EXPECT_TRUE(segundo.mensaje().contains(QString("proceso %1").arg(::getpid())));
        }
        EXPECT_EQ(permisos(ruta(".12345678ZABCDEF0A.xml.bloqueo")), 0600);
    }
    EXPECT_FALSE(BloqueoSolicitud::enUso(carpeta, nombre));
    EXPECT_EQ(todo(), QStringList());
    // Un programa que la tenía abierta muere: su fichero de bloqueo se queda, pero no cuenta.
    EXPECT_EXIT(
        {
            auto b = BloqueoSolicitud::tomar(carpeta, nombre);
            if (b) ::raise(SIGKILL);
            ::_exit(1);
        },
        ::testing::KilledBySignal(SIGKILL), "");
    EXPECT_EQ(todo(), QStringList{".12345678ZABCDEF0A.xml.bloqueo"});
    EXPECT_FALSE(BloqueoSolicitud::enUso(carpeta, nombre));
    EXPECT_TRUE(BloqueoSolicitud::tomar(carpeta, nombre).ok());
}

}  // namespace
