#include "storage/SolicitudesGuardadas.h"

#include "ApoyoSolicitudes.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>

namespace {

class SolicitudesGuardadasTest : public SolicitudesPrueba {
protected:
    void SetUp() override {
        SolicitudesPrueba::SetUp();
        if (HasFatalFailure()) return;
        anadirCuerpo(QStringLiteral("ABCDE"), QStringLiteral("Enfermería"), QStringLiteral("B"));
        anadirCuerpo(QStringLiteral("ABCDEF"), QStringLiteral("Seis letras"), QStringLiteral("A"));
        // Los combos del formulario filtran esta tabla: el listado no debe depender de ello.
        G().rsCuerpos->filtrar(QStringLiteral("Grupo <> 'B'"));
    }

    // Filas listadas como "Fichero|DNI|Cuerpo|DescCuerpo|Grupo".
    QStringList filas() const {
        QStringList r;
        auto t = G().rsSolicitudesGuardadas;
        for (t->moverPrimero(); !t->eof(); t->moverSiguiente()) {
            r << QStringList{t->texto(QStringLiteral("Fichero")), t->texto(QStringLiteral("DNI")),
                             t->texto(QStringLiteral("Cuerpo")),
                             t->texto(QStringLiteral("DescCuerpo")),
                             t->texto(QStringLiteral("Grupo"))}
                     .join(QLatin1Char('|'));
        }
        return r;
    }
};

TEST_F(SolicitudesGuardadasTest, NombresDeFichero) {
    struct Caso {
        QString dni, cuerpo, grupo, esperado;
    };
    const Caso casos[] = {
        {"12345678Z", "ABCDEF", "A", "12345678ZABCDEF0A.doc"},
        {"12345678Z", "ABCD", "A", "12345678Z__ABCD0A.doc"},
        {"12345678Z", "ABCDEFGH", "A", "12345678ZABCDEF0A.doc"},  // cuerpo cortado a seis
        {"1234567L", "ABCDE", "B", "01234567L_ABCDE0B.doc"},
        {"12345678Z", "ABCDE", "AB", "12345678Z_ABCDE0A.doc"},  // grupo cortado a uno
    };
    for (const auto& c : casos) {
        EXPECT_EQ(NombreFicheroSolicitud(c.dni, c.cuerpo, c.grupo), c.esperado)
            << c.esperado.toStdString();
    }
    EXPECT_EQ(NombreFicheroListas(QStringLiteral("12345678ZABCDEF0A.doc")),
              QStringLiteral("12345678ZABCDEF0A.xml"));
    EXPECT_TRUE(m_mensajes.mostrados().isEmpty());
}

TEST_F(SolicitudesGuardadasTest, ListaSoloLasDelUsuarioConNombreValido) {
    for (const char* n :
         {"12345678Z_ABCDE0B.doc", "12345678ZABCDEF0A.DOC", "12345678ZABCDEF0A.xml",
          "12345678ZABCDEF0A.doc.bak", "12345678ZABCDE0A.doc", "12345678ZABCDEFG0A.doc",
          "87654321X_ABCDE0B.doc", "12345678Z_ZZZZZ0C.doc"})
        crear(QString::fromLatin1(n));

    EXPECT_EQ(ListarSolicitudes(QStringLiteral("12345678Z")), 3);
    EXPECT_EQ(filas(), (QStringList{
                           "12345678ZABCDEF0A.DOC|12345678Z|ABCDEF|Seis letras|A",
                           "12345678Z_ABCDE0B.doc|12345678Z|_ABCDE|Enfermería|B",
                           "12345678Z_ZZZZZ0C.doc|12345678Z|_ZZZZZ||C",
                       }));
    // El cursor de los combos sigue con su filtro.
    EXPECT_EQ(G().rsCuerpos->filtro(), QStringLiteral("Grupo <> 'B'"));
}

TEST_F(SolicitudesGuardadasTest, CarpetaVaciaOInexistente) {
    EXPECT_EQ(ListarSolicitudes(QStringLiteral("12345678Z")), 0);
    EXPECT_EQ(G().rsSolicitudesGuardadas->numeroRegistros(), 0);
    G().RutaTemporal = m_dir.path() + QStringLiteral("/no-existe/");
    EXPECT_EQ(ListarSolicitudes(QStringLiteral("12345678Z")), 0);
}

TEST_F(SolicitudesGuardadasTest, BorrarSiguePeseAFicherosQueFaltanOBloqueados) {
    const QString doc = QStringLiteral("12345678ZABCDEF0A.doc");
    // Falta el XML: se borra el documento igualmente.
    crear(doc);
    EXPECT_EQ(BorrarFicherosSolicitud(G().RutaTemporal, doc).valor(), 1);
    EXPECT_FALSE(QFile::exists(ruta(doc)));

    // El XML no se puede borrar (es una carpeta con contenido): el documento se borra igual.
    crear(doc);
    ASSERT_TRUE(QDir(m_dir.path()).mkpath(QStringLiteral("12345678ZABCDEF0A.xml/dentro")));
    EXPECT_EQ(BorrarFicherosSolicitud(G().RutaTemporal, doc).valor(), 1);
    EXPECT_FALSE(QFile::exists(ruta(doc)));
    EXPECT_EQ(ListarSolicitudes(QStringLiteral("12345678Z")), 0);
}

// Dos documentos que solo cambian en las mayúsculas de la extensión comparten el fichero de listas:
// sus filas se distinguen por el nombre y borrar uno no deja al otro sin sus listas.
TEST_F(SolicitudesGuardadasTest, DocumentosQueSoloCambianEnMayusculasNoSeConfunden) {
    const QString minusculas = QStringLiteral("12345678ZABCDEF0A.doc");
    const QString mayusculas = QStringLiteral("12345678ZABCDEF0A.DOC");
    const QString listas = QStringLiteral("12345678ZABCDEF0A.xml");
    for (const QString& f : {minusculas, mayusculas, listas}) crear(f);
    ASSERT_EQ(ListarSolicitudes(QStringLiteral("12345678Z")), 2);
    QStringList resumenes;
    auto t = G().rsSolicitudesGuardadas;
    for (t->moverPrimero(); !t->eof(); t->moverSiguiente())
        resumenes << t->texto(QStringLiteral("Resumen"));
    ASSERT_EQ(resumenes.size(), 2);
    EXPECT_NE(resumenes[0], resumenes[1]);
    EXPECT_TRUE(resumenes[0].endsWith(mayusculas) || resumenes[1].endsWith(mayusculas));
    EXPECT_EQ(BorrarFicherosSolicitud(G().RutaTemporal, mayusculas).valor(), 1);
    EXPECT_TRUE(QFile::exists(ruta(listas)));
    EXPECT_EQ(BorrarFicherosSolicitud(G().RutaTemporal, minusculas).valor(), 2);
    EXPECT_FALSE(QFile::exists(ruta(listas)));
}

}  // namespace
