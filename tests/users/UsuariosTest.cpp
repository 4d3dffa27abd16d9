#include "AlmacenUsuariosPrueba.h"
#include "users/Usuarios.h"
#include "users/Validacion.h"

#include <gtest/gtest.h>
#include <QDir>

namespace {

// Resúmenes calculados aparte (sha256sum) para comprobar el fichero byte a byte.
const QString kHashDNI =
    QStringLiteral("1C9F96328944627A83B96F2F7D98C97F32664101FF98A1C2EFB65E75A3417300");
const QString kHashSecreto =
    QStringLiteral("9AB4E0644578AE5ECF9F379B385E90FD8F36E37B59EE320C4C53B35E5E35DEB5");
const QString kHashOtra =
    QStringLiteral("A8B132DB61222845777FAD9D0BF2E19863336961D4E4CF3222D4E0C38BCD9F66");
const QString kDNI = QStringLiteral("12345678Z");
const QString kOtroDNI = QStringLiteral("01234567L");
const QString kTercerDNI = QStringLiteral("00000000T");

class UsuariosTest : public AlmacenUsuariosPrueba {
protected:
    // DNI (resúmenes) de cada Usuario del fichero, en orden.
    QStringList dnisDelFichero() const {
        DocumentoXml d;
        EXPECT_TRUE(d.cargarFichero(m_ruta));
        QStringList dnis;
        for (const auto& n : d.seleccionarNodos(QStringLiteral("//Usuarios/Usuario")))
            dnis << DocumentoXml::textoNodo(n.node().child("DNI"));
        return dnis;
    }
};

const QByteArray kAlmacenEntregado =
    "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\n<Usuarios></Usuarios>\n";

TEST_F(UsuariosTest, AltaEnElAlmacenEntregadoEscribeElFormatoExacto) {
    guardarAlmacen(kAlmacenEntregado);
    ASSERT_TRUE(AbrirUsuarios(m_ruta));
    EXPECT_EQ(G().RutaUsuarios, m_ruta);
    EXPECT_FALSE(ExisteUsuario(kDNI));

    ASSERT_TRUE(AltaUsuario(kDNI, QStringLiteral("SECRETO")).ok());
    const QString esperado = QStringLiteral("<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n") +
                             QStringLiteral("<Usuarios>") + entradaUsuario(kHashDNI, kHashSecreto) +
                             QStringLiteral("</Usuarios>");
    EXPECT_EQ(QString::fromLatin1(leerAlmacen()), esperado);
}

TEST_F(UsuariosTest, LeeUnAlmacenYaEscritoConSangriasYSaltosDeLineaWindows) {
    guardarAlmacen(
        ("<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<Usuarios>\r\n  <Usuario>\r\n"
         "    <DNI>" +
         kHashDNI + "</DNI>\r\n    <Pwd>" + kHashSecreto +
         "</Pwd>\r\n  </Usuario>\r\n</Usuarios>\r\n")
            .toLatin1());
    ASSERT_TRUE(AbrirUsuarios(m_ruta));
    EXPECT_TRUE(ExisteUsuario(kDNI));
    EXPECT_FALSE(ExisteUsuario(kOtroDNI));
    EXPECT_EQ(PasswordDeUsuario(kDNI), kHashSecreto);
    EXPECT_EQ(PasswordDeUsuario(kOtroDNI), QString());
    // La contraseña se guardó en mayúsculas: escrita en minúsculas, casa tras pasarla a ellas.
    EXPECT_TRUE(ComprobarPassword(kDNI, Mayusculas(QStringLiteral("secreto"))));
    EXPECT_FALSE(ComprobarPassword(kDNI, QStringLiteral("secreto")));
    EXPECT_FALSE(ComprobarPassword(kDNI, QStringLiteral("OTRACLAVE")));
    EXPECT_FALSE(ComprobarPassword(kOtroDNI, QString()));
}

TEST_F(UsuariosTest, UnResumenEnMinusculasNuncaCasa) {
    guardarAlmacen(("<Usuarios>" + entradaUsuario(kHashDNI.toLower(), kHashSecreto) +
                    entradaUsuario(kHashOtra, kHashSecreto.toLower()) + "</Usuarios>")
                       .toLatin1());
    ASSERT_TRUE(AbrirUsuarios(m_ruta));
    EXPECT_FALSE(ExisteUsuario(kDNI));
    EXPECT_FALSE(ComprobarPassword(kDNI, QStringLiteral("SECRETO")));
}

TEST_F(UsuariosTest, CambiarLaContrasenaDejaUnaSolaEntradaYAlFinal) {
    guardarAlmacen(kAlmacenEntregado);
    ASSERT_TRUE(AbrirUsuarios(m_ruta));
    ASSERT_TRUE(AltaUsuario(kDNI, QStringLiteral("SECRETO")).ok());
    ASSERT_TRUE(AltaUsuario(kOtroDNI, QStringLiteral("SECRETO")).ok());
    ASSERT_TRUE(AltaUsuario(kTercerDNI, QStringLiteral("SECRETO")).ok());

    ASSERT_TRUE(ReemplazarUsuario(kDNI, QStringLiteral("OTRACLAVE")).ok());
    EXPECT_EQ(dnisDelFichero(),
              QStringList({HashTexto(kOtroDNI), HashTexto(kTercerDNI), kHashDNI}));
    EXPECT_TRUE(ComprobarPassword(kDNI, QStringLiteral("OTRACLAVE")));
    EXPECT_FALSE(ComprobarPassword(kDNI, QStringLiteral("SECRETO")));
    // Lo que está en memoria es lo que está en el disco.
    ASSERT_TRUE(AbrirUsuarios(m_ruta));
    EXPECT_EQ(PasswordDeUsuario(kDNI), kHashOtra);
}

TEST_F(UsuariosTest, ConElDNIRepetidoSeUsaYSeQuitaSoloElPrimero) {
    guardarAlmacen(("<Usuarios>" + entradaUsuario(kHashDNI, kHashSecreto) +
                    entradaUsuario(HashTexto(kOtroDNI), kHashSecreto) +
                    entradaUsuario(kHashDNI, kHashOtra) + "</Usuarios>")
                       .toLatin1());
    ASSERT_TRUE(AbrirUsuarios(m_ruta));
    EXPECT_EQ(PasswordDeUsuario(kDNI), kHashSecreto);

    BajaUsuario(kDNI);
    EXPECT_EQ(PasswordDeUsuario(kDNI), kHashOtra);
    EXPECT_EQ(leerAlmacen().count("<Usuario>"), 3) << "la baja no guarda";
    BajaUsuario(QStringLiteral("99999999R"));  // no está: no pasa nada
    EXPECT_TRUE(ExisteUsuario(kOtroDNI));
}

TEST_F(UsuariosTest, SinFicheroTodoDNIEsNuevoYElAltaLoCrea) {
    ASSERT_TRUE(AbrirUsuarios(m_ruta));
    EXPECT_FALSE(ExisteUsuario(kDNI));
    EXPECT_EQ(PasswordDeUsuario(kDNI), QString());

    ASSERT_TRUE(ReemplazarUsuario(kDNI, QStringLiteral("SECRETO")).ok());
    EXPECT_EQ(dnisDelFichero(), QStringList({kHashDNI}));
    EXPECT_TRUE(leerAlmacen().contains("<Usuarios><Usuario>"));
}

TEST_F(UsuariosTest, UnFicheroDanadoDejaEntrarPeroNuncaSeSobrescribe) {
    const QByteArray casos[] = {
        "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\n<Usuarios><Usuario><DNI>A</DNI>", "",
        "<Otra><Usuario/></Otra>",  // bien formado pero no es un almacén de usuarios
    };
    for (const QByteArray& danado : casos) {
        SCOPED_TRACE(danado.toStdString());
        guardarAlmacen(danado);
        ASSERT_TRUE(AbrirUsuarios(m_ruta));
        EXPECT_FALSE(ExisteUsuario(kDNI));

        const Resultado r = ReemplazarUsuario(kDNI, QStringLiteral("SECRETO"));
        ASSERT_FALSE(r.ok());
        EXPECT_TRUE(r.mensaje().contains(QDir::toNativeSeparators(m_ruta)))
            << r.mensaje().toStdString();
        EXPECT_TRUE(r.mensaje().contains(QStringLiteral("dañado")));
        EXPECT_EQ(leerAlmacen(), danado);
        EXPECT_FALSE(ExisteUsuario(kDNI));
        EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files), QStringList({"usuarios.xml"}));
    }
}

TEST_F(UsuariosTest, SiNoSePuedeGuardarLaMemoriaQuedaComoElDisco) {
    guardarAlmacen(
        ("<Usuarios>" + entradaUsuario(kHashDNI, kHashSecreto) + "</Usuarios>").toLatin1());
    ASSERT_TRUE(AbrirUsuarios(m_ruta));
    // Guardar encima de una carpeta falla siempre, también para root.
    G().RutaUsuarios = m_dir.path();

    EXPECT_FALSE(ReemplazarUsuario(kDNI, QStringLiteral("OTRACLAVE")).ok());
    EXPECT_TRUE(ComprobarPassword(kDNI, QStringLiteral("SECRETO")));
    EXPECT_FALSE(AltaUsuario(kOtroDNI, QStringLiteral("SECRETO")).ok());
    EXPECT_FALSE(ExisteUsuario(kOtroDNI));
}

TEST_F(UsuariosTest, NoAdmiteMasUsuariosQueElTope) {
    QString xml = QStringLiteral("<Usuarios>");
    for (int i = 0; i < kMaximoUsuarios - 1; ++i)
        xml += entradaUsuario(QString::number(i), kHashSecreto);
    xml += entradaUsuario(kHashDNI, kHashSecreto) + QStringLiteral("</Usuarios>");
    guardarAlmacen(xml.toLatin1());
    ASSERT_TRUE(AbrirUsuarios(m_ruta));

    const Resultado lleno = AltaUsuario(kOtroDNI, QStringLiteral("SECRETO"));
    ASSERT_FALSE(lleno.ok());
    EXPECT_TRUE(lleno.mensaje().contains(QStringLiteral("32767")));
    // Cambiar la contraseña de quien ya está sí cabe.
    ASSERT_TRUE(ReemplazarUsuario(kDNI, QStringLiteral("OTRACLAVE")).ok());
    EXPECT_TRUE(ComprobarPassword(kDNI, QStringLiteral("OTRACLAVE")));
    EXPECT_EQ(dnisDelFichero().size(), kMaximoUsuarios);
}

// Un almacén con más usuarios del tope (escrito por otro) dice cuántos tiene de verdad.
TEST_F(UsuariosTest, ConMasDelTopeDiceCuantosHay) {
    QString xml = QStringLiteral("<Usuarios>");
    for (int i = 0; i < kMaximoUsuarios + 10; ++i)
        xml += entradaUsuario(QString::number(i), kHashSecreto);
    guardarAlmacen((xml + QStringLiteral("</Usuarios>")).toLatin1());
    ASSERT_TRUE(AbrirUsuarios(m_ruta));
    const Resultado lleno = AltaUsuario(kOtroDNI, QStringLiteral("SECRETO"));
    ASSERT_FALSE(lleno.ok());
    EXPECT_TRUE(lleno.mensaje().contains(QStringLiteral("ya tiene 32777 usuarios (admite 32767)")))
        << lleno.mensaje().toStdString();
}

}  // namespace
