#include "../../apoyo/MensajesGuion.h"
#include "../AlmacenUsuariosPrueba.h"
#include "Controles.h"
#include "Teclado.h"
#include "users/Validacion.h"
#include "users/ventanas/frmUsuario.h"

#include <gtest/gtest.h>
#include <memory>

namespace {

const QString kRegistrado = QStringLiteral("12345678Z");

class FrmUsuarioTest : public AlmacenUsuariosPrueba {
protected:
    void SetUp() override {
        AlmacenUsuariosPrueba::SetUp();
        if (HasFatalFailure()) return;
        guardarAlmacen(almacenCon(
            entradaUsuario(HashTexto(kRegistrado), HashTexto(QStringLiteral("SECRETO")))));
    }
    void abrir() {
        m_ventana = std::make_unique<frmUsuario>(m_ruta);
        ui = std::make_unique<ControlesFrmUsuario>(m_ventana.get());
        ASSERT_TRUE(mostrarActiva(m_ventana.get()));
        ASSERT_EQ(QApplication::focusWidget(), ui->txtDNI);
    }
    bool aceptada() const {
        return m_ventana->isHidden() && m_ventana->result() == QDialog::Accepted;
    }
    // Primera fase con el DNI registrado, hasta que pide la contraseña.
    void pasarASegundaFase() {
        escribir(kRegistrado);
        QTest::mouseClick(ui->cmdAceptarDNI, Qt::LeftButton);
    }

    MensajesGuion m_mensajes;
    std::unique_ptr<frmUsuario> m_ventana;
    std::unique_ptr<ControlesFrmUsuario> ui;
};

TEST_F(FrmUsuarioTest, RotulosYPrimeraFase) {
    abrir();
    EXPECT_EQ(m_ventana->windowTitle(), QStringLiteral("Validación de usuario"));
    EXPECT_EQ(ui->Label1->text(), QStringLiteral("NIF"));
    EXPECT_EQ(ui->lblPwd->text(), QStringLiteral("Contraseña"));
    EXPECT_EQ(ui->cmdSalir->text(), QStringLiteral("Salir"));
    EXPECT_TRUE(ui->txtDNI->isVisible());
    EXPECT_FALSE(ui->lblPwd->isVisible());
    EXPECT_FALSE(ui->txtPwd->isVisible());
    EXPECT_FALSE(ui->cmdAceptarPwd->isVisible());
    EXPECT_EQ(ui->txtPwd->echoMode(), QLineEdit::Password);
}

TEST_F(FrmUsuarioTest, RegistradoConLaContrasenaEnMinusculasEntra) {
    abrir();
    pasarASegundaFase();
    EXPECT_TRUE(ui->txtPwd->isVisible());
    EXPECT_TRUE(ui->lblPwd->isVisible());
    EXPECT_TRUE(ui->cmdAceptarPwd->isVisible());
    EXPECT_FALSE(ui->txtDNI->isEnabled());
    EXPECT_EQ(QApplication::focusWidget(), ui->txtPwd);
    EXPECT_TRUE(G().UsuarioConPassword);
    EXPECT_FALSE(G().LoginCorrecto);

    escribir(QStringLiteral("secreto"));
    EXPECT_EQ(ui->txtPwd->displayText(), QStringLiteral("*******"));
    pulsar(Qt::Key_Return);  // Intro acepta la contraseña en la segunda fase
    EXPECT_TRUE(aceptada());
    EXPECT_TRUE(G().LoginCorrecto);
    EXPECT_TRUE(G().UsuarioConPassword);
    EXPECT_EQ(G().DNIUsuario, kRegistrado);
    EXPECT_TRUE(m_mensajes.mostrados().isEmpty());
}

TEST_F(FrmUsuarioTest, ContrasenaMalaAvisaYSePuedeReintentar) {
    abrir();
    pasarASegundaFase();
    for (int intento = 0; intento < 3; ++intento) {
        escribir(QStringLiteral("mala"));
        QTest::mouseClick(ui->cmdAceptarPwd, Qt::LeftButton);
        EXPECT_FALSE(m_ventana->isHidden());
        EXPECT_FALSE(G().LoginCorrecto);
        EXPECT_EQ(ui->txtPwd->text(), QStringLiteral("mala"));
        ui->txtPwd->clear();
        ui->txtPwd->setFocus();
    }
    ASSERT_EQ(m_mensajes.mostrados().size(), 3);
    for (const MensajeMostrado& m : m_mensajes.mostrados()) {
        EXPECT_EQ(m.texto, QStringLiteral("Usuario no válido"));
        EXPECT_EQ(m.titulo, QStringLiteral("Movilant"));
        EXPECT_EQ(m.icono, Icono::Exclamacion);
    }
    escribir(QStringLiteral("SeCrEtO"));
    QTest::mouseClick(ui->cmdAceptarPwd, Qt::LeftButton);
    EXPECT_TRUE(aceptada());
    EXPECT_TRUE(G().LoginCorrecto);
}

TEST_F(FrmUsuarioTest, ContrasenaVaciaEsObligatoria) {
    abrir();
    pasarASegundaFase();
    QTest::mouseClick(ui->cmdAceptarPwd, Qt::LeftButton);
    EXPECT_EQ(m_mensajes.textos(), QStringList({"Es obligatorio rellenar Usuario y Password"}));
    EXPECT_EQ(m_mensajes.mostrados().first().icono, Icono::Exclamacion);
    EXPECT_FALSE(m_ventana->isHidden());
}

TEST_F(FrmUsuarioTest, DNINoRegistradoEntraSinContrasena) {
    G().UsuarioConPassword = true;
    abrir();
    escribir(QStringLiteral("1234567l"));
    pulsar(Qt::Key_Tab);
    EXPECT_EQ(ui->txtDNI->text(), QStringLiteral("01234567L"));
    EXPECT_EQ(QApplication::focusWidget(), ui->cmdAceptarDNI);
    QTest::mouseClick(ui->cmdAceptarDNI, Qt::LeftButton);
    EXPECT_TRUE(aceptada());
    EXPECT_TRUE(G().LoginCorrecto);
    EXPECT_FALSE(G().UsuarioConPassword);
    EXPECT_EQ(G().DNIUsuario, QStringLiteral("01234567L"));
    EXPECT_TRUE(m_mensajes.mostrados().isEmpty());
}

TEST_F(FrmUsuarioTest, SinFicheroDeUsuariosTodoDNIValidoEsNuevo) {
    QFile::remove(m_ruta);
    abrir();
    escribir(kRegistrado);
    QTest::mouseClick(ui->cmdAceptarDNI, Qt::LeftButton);
    EXPECT_TRUE(aceptada());
    EXPECT_FALSE(G().UsuarioConPassword);
}

TEST_F(FrmUsuarioTest, PuntosComasYGuionesSeDescartan) {
    abrir();
    escribir(QStringLiteral("12.345,67"));
    EXPECT_EQ(ui->txtDNI->text(), QStringLiteral("1234567"));
    EXPECT_EQ(QApplication::focusWidget(), ui->txtDNI);
    escribir(QStringLiteral("8-Z"));
    EXPECT_EQ(ui->txtDNI->text(), kRegistrado);
}

TEST_F(FrmUsuarioTest, ElNovenoCaracterPasaAlSiguienteControl) {
    abrir();
    escribir(QStringLiteral("12345678"));
    EXPECT_EQ(QApplication::focusWidget(), ui->txtDNI);
    escribir(QStringLiteral("z"));
    EXPECT_EQ(QApplication::focusWidget(), ui->cmdAceptarDNI);
    // Al salir se ha validado: mayúsculas y negro.
    EXPECT_EQ(ui->txtDNI->text(), kRegistrado);
    EXPECT_EQ(ui->txtDNI->palette().color(QPalette::Active, QPalette::Text), QColor(0, 0, 0));
    EXPECT_TRUE(m_mensajes.mostrados().isEmpty());
}

TEST_F(FrmUsuarioTest, DNIMaloAlSalirDeLaCajaSeVaciaYVuelveElFoco) {
    abrir();
    escribir(QStringLiteral("12345678A"));
    EXPECT_EQ(m_mensajes.textos(), QStringList({"DNI no válido"}));
    EXPECT_EQ(m_mensajes.mostrados().first().titulo, QStringLiteral("Error en DNI"));
    EXPECT_EQ(ui->txtDNI->text(), QString());
    EXPECT_EQ(QApplication::focusWidget(), ui->txtDNI);
    EXPECT_EQ(ui->txtDNI->palette().color(QPalette::Active, QPalette::Text), QColor(254, 0, 0));
}

TEST_F(FrmUsuarioTest, AceptarUnDNIMaloDaLosDosAvisos) {
    abrir();
    escribir(QStringLiteral("1234"));
    pulsar(Qt::Key_Return);
    EXPECT_EQ(m_mensajes.textos(),
              QStringList({"DNI no válido", "El DNI introducido no es válido"}));
    EXPECT_EQ(m_mensajes.mostrados().last().titulo, QStringLiteral("Movilant"));
    EXPECT_EQ(m_mensajes.mostrados().last().icono, Icono::Exclamacion);
    EXPECT_EQ(ui->txtDNI->text(), QStringLiteral("000001234"));
    EXPECT_FALSE(m_ventana->isHidden());
    EXPECT_FALSE(G().LoginCorrecto);
}

TEST_F(FrmUsuarioTest, AceptarConLaCajaVaciaNoHaceNada) {
    abrir();
    pulsar(Qt::Key_Return);
    EXPECT_TRUE(m_mensajes.mostrados().isEmpty());
    EXPECT_FALSE(m_ventana->isHidden());
}

TEST_F(FrmUsuarioTest, SalirNoDejaEntrarNiAvisa) {
    abrir();
    escribir(QStringLiteral("123"));
    QTest::mouseClick(ui->cmdSalir, Qt::LeftButton);
    EXPECT_TRUE(m_ventana->isHidden());
    EXPECT_EQ(m_ventana->result(), QDialog::Rejected);
    EXPECT_FALSE(G().LoginCorrecto);
    EXPECT_TRUE(m_mensajes.mostrados().isEmpty());
}

TEST_F(FrmUsuarioTest, AlVolverALaCajaSeSeleccionaTodo) {
    abrir();
    escribir(kRegistrado);
    ASSERT_EQ(QApplication::focusWidget(), ui->cmdAceptarDNI);
    QTest::mouseClick(ui->txtDNI, Qt::LeftButton, {}, QPoint(5, 5));
    QApplication::processEvents();
    EXPECT_EQ(QApplication::focusWidget(), ui->txtDNI);
    EXPECT_EQ(ui->txtDNI->selectedText(), kRegistrado);
    // Mover el cursor en una caja ya completa no la abandona.
    pulsar(Qt::Key_Left);
    EXPECT_EQ(QApplication::focusWidget(), ui->txtDNI);
}

}  // namespace
