#include "../../apoyo/MensajesGuion.h"
#include "../AlmacenUsuariosPrueba.h"
#include "Controles.h"
#include "Teclado.h"
#include "users/Usuarios.h"
#include "users/Validacion.h"
#include "users/ventanas/frmCreaPwd.h"

#include <gtest/gtest.h>
#include <memory>

namespace {

const QString kDNI = QStringLiteral("12345678Z");

class FrmCreaPwdTest : public AlmacenUsuariosPrueba {
protected:
    // Almacén con tres usuarios; el del medio es kDNI.
    void almacenConTres() {
        QString entradas;
        for (const QString& dni : {QStringLiteral("00000000T"), kDNI, QStringLiteral("01234567L")})
            entradas += entradaUsuario(HashTexto(dni), HashTexto(QStringLiteral("ANTIGUA")));
        guardarAlmacen(almacenCon(entradas));
    }
    void abrir() {
        ASSERT_TRUE(AbrirUsuarios(m_ruta));
        m_ventana = std::make_unique<frmCreaPwd>();
        m_ventana->setProperty("strDNI", kDNI);
        ui = std::make_unique<ControlesFrmCreaPwd>(m_ventana.get());
        ASSERT_TRUE(mostrarActiva(m_ventana.get()));
        ui->txtPwd_0->setFocus();
    }
    void escribirContrasenas(const QString& primera, const QString& segunda) {
        m_ventana->txtPwd(0)->setFocus();
        escribir(primera);
        m_ventana->txtPwd(1)->setFocus();
        escribir(segunda);
        QTest::mouseClick(ui->cmdAceptar, Qt::LeftButton);
    }

    MensajesGuion m_mensajes;
    std::unique_ptr<frmCreaPwd> m_ventana;
    std::unique_ptr<ControlesFrmCreaPwd> ui;
};

TEST_F(FrmCreaPwdTest, Rotulos) {
    almacenConTres();
    abrir();
    EXPECT_EQ(m_ventana->windowTitle(), QStringLiteral("Contraseña"));
    EXPECT_EQ(ui->Label1->text(), QStringLiteral("Contraseña"));
    EXPECT_EQ(ui->Label2->text(), QStringLiteral("Repita la Contraseña"));
    EXPECT_EQ(ui->cmdAceptar->text(), QStringLiteral("Aceptar"));
    EXPECT_EQ(ui->cmdSalir->text(), QStringLiteral("Salir"));
    EXPECT_EQ(m_ventana->strDNI(), kDNI);
    m_ventana->txtPwd(0)->setText(QStringLiteral("abc"));
    m_ventana->txtPwd(1)->setText(QStringLiteral("abcd"));
    EXPECT_EQ(m_ventana->txtPwd(0)->displayText(), QStringLiteral("***"));
    EXPECT_EQ(m_ventana->txtPwd(1)->displayText(), QStringLiteral("****"));
}

TEST_F(FrmCreaPwdTest, ContrasenasRechazadas) {
    struct Caso {
        QString primera, segunda, aviso;
    };
    const QString corta = QStringLiteral("El password debe tener al menos 6 caracteres");
    const QString distintas = QStringLiteral("Escriba la misma contraseña en las dos casillas");
    const Caso casos[] = {
        {"abcdef", "ABCDEF", distintas},  // se guardarían igual, pero no se escribieron igual
        {"abcdef", "abcdeg", distintas}, {"abcde", "abcde", corta},
        {"abcdef", "abcde", corta},      {"", "", corta},
    };
    almacenConTres();
    const QByteArray antes = leerAlmacen();
    abrir();
    for (const Caso& c : casos) {
        SCOPED_TRACE((c.primera + "/" + c.segunda).toStdString());
        m_mensajes.limpiar();
        escribirContrasenas(c.primera, c.segunda);
        ASSERT_EQ(m_mensajes.mostrados().size(), 1);
        const MensajeMostrado& m = m_mensajes.mostrados().first();
        EXPECT_EQ(m.texto, c.aviso);
        EXPECT_EQ(m.titulo, QStringLiteral("Movilant"));
        EXPECT_EQ(m.icono, Icono::Ninguno);
        EXPECT_EQ(m_ventana->txtPwd(0)->text(), QString());
        EXPECT_EQ(m_ventana->txtPwd(1)->text(), QString());
        EXPECT_FALSE(m_ventana->isHidden());
        EXPECT_EQ(leerAlmacen(), antes);
    }
}

TEST_F(FrmCreaPwdTest, CambiarLaContrasenaDejaUnaEntradaAlFinal) {
    almacenConTres();
    abrir();
    escribirContrasenas(QStringLiteral("Cigüeña"), QStringLiteral("Cigüeña"));
    EXPECT_TRUE(m_mensajes.mostrados().isEmpty());
    EXPECT_TRUE(m_ventana->isHidden());
    EXPECT_EQ(m_ventana->result(), QDialog::Accepted);

    DocumentoXml guardado;
    ASSERT_TRUE(guardado.cargarFichero(m_ruta));
    const auto usuarios = guardado.seleccionarNodos(QStringLiteral("//Usuarios/Usuario"));
    ASSERT_EQ(usuarios.size(), 3u);
    int delDNI = 0;
    for (const auto& u : usuarios)
        if (DocumentoXml::textoNodo(u.node().child("DNI")) == HashTexto(kDNI)) ++delDNI;
    EXPECT_EQ(delDNI, 1);
    EXPECT_EQ(guardado.texto(QStringLiteral("//Usuarios/Usuario[2]/DNI")), HashTexto(kDNI));
    EXPECT_EQ(guardado.texto(QStringLiteral("//Usuarios/Usuario[2]/Pwd")),
              HashTexto(QStringLiteral("CIGÜEÑA")));
    EXPECT_TRUE(ComprobarPassword(kDNI, QStringLiteral("CIGÜEÑA")));
}

TEST_F(FrmCreaPwdTest, PrimeraContrasenaSinFicheroLoCrea) {
    abrir();
    escribirContrasenas(QStringLiteral("secreto"), QStringLiteral("secreto"));
    EXPECT_TRUE(m_mensajes.mostrados().isEmpty());
    EXPECT_EQ(m_ventana->result(), QDialog::Accepted);
    ASSERT_TRUE(AbrirUsuarios(m_ruta));
    EXPECT_TRUE(ComprobarPassword(kDNI, QStringLiteral("SECRETO")));
}

TEST_F(FrmCreaPwdTest, AlmacenDanadoAvisaYNoSeToca) {
    const QByteArray danado = "<Usuarios><Usuario><DNI>";
    guardarAlmacen(danado);
    abrir();
    escribirContrasenas(QStringLiteral("secreto"), QStringLiteral("secreto"));
    ASSERT_EQ(m_mensajes.mostrados().size(), 1);
    const MensajeMostrado& m = m_mensajes.mostrados().first();
    EXPECT_TRUE(m.texto.contains(QStringLiteral("dañado")));
    EXPECT_TRUE(m.texto.contains(QStringLiteral("usuarios.xml")));
    EXPECT_EQ(m.icono, Icono::Critico);
    EXPECT_FALSE(m_ventana->isHidden());
    EXPECT_EQ(leerAlmacen(), danado);
}

TEST_F(FrmCreaPwdTest, SalirNoGuardaNada) {
    almacenConTres();
    const QByteArray antes = leerAlmacen();
    abrir();
    m_ventana->txtPwd(0)->setText(QStringLiteral("secreto"));
    m_ventana->txtPwd(1)->setText(QStringLiteral("secreto"));
    QTest::mouseClick(ui->cmdSalir, Qt::LeftButton);
    EXPECT_EQ(m_ventana->result(), QDialog::Rejected);
    EXPECT_EQ(leerAlmacen(), antes);
    EXPECT_TRUE(m_mensajes.mostrados().isEmpty());
}

}  // namespace
