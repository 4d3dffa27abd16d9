#include "../../apoyo/MensajesGuion.h"
#include "../../users/ventanas/Controles.h"
#include "startup/Globales.h"
#include "startup/ventanas/Arranque.h"
#include "users/ventanas/frmUsuario.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

namespace {

// Maneja la ventana de acceso en cuanto aparece, desde dentro de su bucle modal.
void alAparecerElAcceso(std::function<void(frmUsuario*, ControlesFrmUsuario&)> accion) {
    QTimer::singleShot(0, qApp, [accion] {
        auto* acceso = qobject_cast<frmUsuario*>(QApplication::activeModalWidget());
        if (!acceso) {
            ADD_FAILURE() << "la ventana de acceso no está a la vista";
            return;
        }
        ControlesFrmUsuario ui(acceso);
        accion(acceso, ui);
    });
}

int ventanasVisibles() {
    int n = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible()) ++n;
    return n;
}

class ArranqueTest : public ::testing::Test {
protected:
    void SetUp() override { reiniciarGlobales(); }
    void TearDown() override { reiniciarGlobales(); }
    MensajesGuion m_mensajes;
    QTemporaryDir m_dir;
};

TEST_F(ArranqueTest, AbandonarElAccesoTerminaSinVentanas) {
    alAparecerElAcceso([](frmUsuario*, ControlesFrmUsuario& ui) { ui.cmdSalir->click(); });
    EXPECT_FALSE(Arrancar(m_dir.path()));
    EXPECT_FALSE(G().LoginCorrecto);
    EXPECT_EQ(ventanasVisibles(), 0);
    EXPECT_TRUE(m_mensajes.mostrados().isEmpty());
    EXPECT_EQ(G().RutaFicheros, m_dir.path() + QStringLiteral("/ficheros/"));
    EXPECT_EQ(G().RutaTemporal, m_dir.path() + QStringLiteral("/ficheros/temp/"));
    EXPECT_EQ(G().RutaUsuarios, m_dir.path() + QStringLiteral("/usuarios.xml"));
}

TEST_F(ArranqueTest, CerrarLaVentanaDeAccesoEsAbandonar) {
    alAparecerElAcceso([](frmUsuario* acceso, ControlesFrmUsuario&) { acceso->close(); });
    EXPECT_FALSE(Arrancar(m_dir.path()));
    EXPECT_FALSE(G().LoginCorrecto);
    EXPECT_EQ(ventanasVisibles(), 0);
}

TEST_F(ArranqueTest, UnAccesoAceptadoDejaElUsuario) {
    alAparecerElAcceso([](frmUsuario*, ControlesFrmUsuario& ui) {
        ui.txtDNI->setText(QStringLiteral("12345678Z"));
        ui.cmdAceptarDNI->click();
    });
    Arrancar(m_dir.path());
    EXPECT_TRUE(G().LoginCorrecto);
    EXPECT_EQ(G().DNIUsuario, QStringLiteral("12345678Z"));
    EXPECT_FALSE(G().UsuarioConPassword);
}

}  // namespace
