#include "catalogue/Decodificacion.h"

#include "../apoyo/Ficheros.h"
#include "../apoyo/MensajesGuion.h"
#include "platform/Codificacion.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {

TEST(DesplazarCaracteres, CasosDeDesplazamiento) {
    struct Caso {
        QString texto;
        qint16 desplazamiento;
        QString esperado;
    };
    const Caso casos[] = {
        {"Bmnb", -1, "Alma"},
        {"Alma", 1, "Bmnb"},
        {"", -1, ""},
        {"!!!", -1, "   "},
        {"123", 0, "123"},
        // Los caracteres altos se desplazan por su byte de Windows-1252: ñ (F1) - 1 = ð (F0);
        // € (80) - 1 = DEL (7F); ‚ (82) - 1 = 81 (hueco de la tabla).
        {QString::fromUtf8("ñ€‚"), -1, QString::fromUtf8("ð\x7f") + QChar(0x81)},
        {QString::fromUtf8("ÿ"), -255, QString(QChar(0))},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.texto.toStdString());
        const auto r = DesplazarCaracteres(c.texto, c.desplazamiento);
        ASSERT_TRUE(r.ok()) << r.mensaje().toStdString();
        EXPECT_EQ(r.valor(), c.esperado);
    }
}

TEST(DesplazarCaracteres, CodigosFueraDeRangoYLineasLargas) {
    struct Caso {
        QString texto;
        qint16 desplazamiento;
        int numero;
    };
    const Caso casos[] = {
        {QString("ab") + QChar(0) + "c", -1, Errores::ArgumentoIncorrecto},  // código 0 guardado
        {QString::fromUtf8("aÿ"), 1, Errores::ArgumentoIncorrecto},
        {QString::fromUtf8("a\u0100"), -1, Errores::ArgumentoIncorrecto},  // no es Windows-1252
        {QString(kMaxCaracteresLinea + 1, 'b'), -1, Errores::ValorFueraDeRango},
    };
    for (const auto& c : casos) {
        const auto r = DesplazarCaracteres(c.texto, c.desplazamiento);
        EXPECT_FALSE(r.ok());
        EXPECT_EQ(r.numero(), c.numero);
        EXPECT_FALSE(r.mensaje().isEmpty());
    }
    const auto justa = DesplazarCaracteres(QString(kMaxCaracteresLinea, 'b'), -1);
    ASSERT_TRUE(justa.ok());
    EXPECT_EQ(justa.valor(), QString(kMaxCaracteresLinea, 'a'));
}

TEST(PartirLineas, FinesDeLineaYLineasVacias) {
    const auto l = partirLineas("uno\r\n\r\ndos\ntres\rcuatro");
    ASSERT_EQ(l.size(), 5);
    EXPECT_EQ(l[0].bytes, "uno");
    EXPECT_EQ(l[0].fin, FinLinea::CRLF);
    EXPECT_EQ(l[1].bytes, "");
    EXPECT_EQ(l[1].numero, 2);
    EXPECT_EQ(l[2].bytes, "dos");
    EXPECT_EQ(l[2].fin, FinLinea::LF);
    EXPECT_EQ(l[3].bytes, "tres");
    EXPECT_EQ(l[3].fin, FinLinea::CR);
    EXPECT_EQ(l[4].bytes, "cuatro");
    EXPECT_EQ(l[4].numero, 5);
    EXPECT_EQ(l[4].fin, FinLinea::Ninguno);
    EXPECT_TRUE(partirLineas("").isEmpty());
    EXPECT_EQ(partirLineas("\n\n").size(), 2);
}

class DecodificarFicheroTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString carpeta() const { return dir.path() + "/"; }
    MensajesGuion guion;
};

TEST_F(DecodificarFicheroTest, EscribeLasLineasEnClaroSinVaciasConCrLf) {
    // "A1 Ñu" cifrado a mano: cada byte más uno (Ñ = D1 -> D2), con una línea vacía en medio,
    // una de solo espacios (cifrados: '!') y la última sin fin de línea.
    escribirBytes(carpeta() + "F0004.enc", "B2!\xD2v\r\n\r\n!!!\r\nyz");
    EXPECT_EQ(DecodificarFichero(carpeta(), "F0004.enc"), "temp.tmp");
    EXPECT_EQ(leerBytes(carpeta() + "temp.tmp"), "A1 \xD1u\r\n   \r\nxy\r\n");
    EXPECT_TRUE(guion.mostrados().isEmpty());
}

// Lo que otro haya puesto con el nombre del fichero de paso (o con el que usaba para escribirlo
// aparte) no se sigue ni se abre: un enlace al almacén de usuarios lo deja intacto y un FIFO no
// detiene la carga.
TEST_F(DecodificarFicheroTest, UnEnlaceOUnFifoPlantadosNoSeSiguen) {
    escribirBytes(carpeta() + "usuarios.xml", "<Usuarios>contraseñas</Usuarios>");
    escribirBytes(carpeta() + "F0004.enc", "B2\r\n");
    ASSERT_EQ(::symlink("usuarios.xml", QFile::encodeName(carpeta() + "temp.tmp.parcial")), 0);
    ASSERT_EQ(::symlink("usuarios.xml", QFile::encodeName(carpeta() + "temp.tmp")), 0);
    ASSERT_EQ(::mkfifo(QFile::encodeName(carpeta() + ".temp.tmp.aparte"), 0600), 0);
    EXPECT_EQ(DecodificarFichero(carpeta(), "F0004.enc"), "temp.tmp");
    EXPECT_EQ(leerBytes(carpeta() + "usuarios.xml"), "<Usuarios>contraseñas</Usuarios>");
    EXPECT_FALSE(QFileInfo(carpeta() + "temp.tmp").isSymLink());
    EXPECT_EQ(leerBytes(carpeta() + "temp.tmp"), "A1\r\n");
    EXPECT_TRUE(guion.mostrados().isEmpty());
}

TEST_F(DecodificarFicheroTest, CifrarYDescifrarSonInversos) {
    QByteArray claro;
    for (int b = 1; b < 255; ++b)
        if (b != '\r' && b != '\n' && b != '\t' && b != '\f') claro.append(char(b));
    claro += "\r\nsegunda l\xEDnea\r\n";
    const auto cifrado = cifrarContenido(claro, "F0001.enc");
    ASSERT_TRUE(cifrado.ok());
    EXPECT_NE(cifrado.valor(), claro);
    escribirBytes(carpeta() + "F0001.enc", cifrado.valor());
    ASSERT_EQ(DecodificarFichero(carpeta(), "F0001.enc"), "temp.tmp");
    EXPECT_EQ(leerBytes(carpeta() + "temp.tmp"), claro);
    for (const char* imposible : {"ab\xFF", "a\tb", "a\fb"})
        EXPECT_FALSE(cifrarContenido(imposible, "x").ok()) << imposible;
}

TEST_F(DecodificarFicheroTest, FinesLfSeAceptanComoFinDeLinea) {
    escribirBytes(carpeta() + "F0005.enc", "B\nC\n\nD");
    ASSERT_EQ(DecodificarFichero(carpeta(), "F0005.enc"), "temp.tmp");
    EXPECT_EQ(leerBytes(carpeta() + "temp.tmp"), "A\r\nB\r\nC\r\n");
    const auto numeros = decodificarSinAviso(carpeta(), "F0005.enc");
    ASSERT_TRUE(numeros.ok());
    EXPECT_EQ(numeros.valor(), (QList<int>{1, 2, 4}));
}

TEST_F(DecodificarFicheroTest, FallosMuestranElMensajeYNoTocanTempTmp) {
    struct Caso {
        const char* fichero;
        QByteArray contenido;  // vacío: el fichero no existe
        int numero;
        const char* debeCitar;
    };
    const Caso casos[] = {
        {"F0016.enc", {}, Errores::FicheroNoEncontrado, "F0016.enc"},
        {"F0002.enc", QByteArray("Bcd\r\nbc\0e\r\n", 11), Errores::ArgumentoIncorrecto,
         "F0002.enc, línea 2"},
        {"F0003.enc", "bb\r\n" + QByteArray(kMaxCaracteresLinea + 1, 'b') + "\r\n",
         Errores::ValorFueraDeRango, "F0003.enc, línea 2"},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.fichero);
        guion.limpiar();
        escribirBytes(carpeta() + "temp.tmp", "anterior\r\n");
        if (!c.contenido.isEmpty()) escribirBytes(carpeta() + c.fichero, c.contenido);
        EXPECT_EQ(DecodificarFichero(carpeta(), c.fichero), QString());
        ASSERT_EQ(guion.mostrados().size(), 1);
        const auto& m = guion.mostrados().first();
        const QString inicio =
            QStringLiteral("Se ha producido el siguiente error %1-").arg(c.numero);
        EXPECT_TRUE(m.texto.startsWith(inicio)) << m.texto.toStdString();
        EXPECT_TRUE(m.texto.contains(QString::fromUtf8(c.debeCitar))) << m.texto.toStdString();
        EXPECT_EQ(m.titulo, "Movilant");
        EXPECT_EQ(m.icono, Icono::Critico);
        EXPECT_EQ(m.botones, Botones::Aceptar);
        EXPECT_EQ(leerBytes(carpeta() + "temp.tmp"), "anterior\r\n");
    }
}

TEST_F(DecodificarFicheroTest, LineaDeLongitudMaximaSeDescifra) {
    escribirBytes(carpeta() + "F0003.enc", QByteArray(kMaxCaracteresLinea, 'b') + "\r\n");
    ASSERT_EQ(DecodificarFichero(carpeta(), "F0003.enc"), "temp.tmp");
    EXPECT_EQ(leerBytes(carpeta() + "temp.tmp"), QByteArray(kMaxCaracteresLinea, 'a') + "\r\n");
}

}  // namespace
