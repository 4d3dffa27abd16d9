#include "../../apoyo/Ficheros.h"
#include "../../apoyo/MensajesGuion.h"
#include "../../apoyo/RutasCompilacion.h"
#include "../../users/ventanas/Controles.h"
#include "catalogue/GeneradorCatalogos.h"
#include "form/ventanas/frmSolicitudes.h"
#include "startup/Globales.h"
#include "startup/ventanas/Arranque.h"
#include "startup/ventanas/frmProgreso.h"
#include "storage/ventanas/frmSeleccion.h"
#include "users/ventanas/frmUsuario.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
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

// Pulsa "Continuar" de la pantalla de carga en cuanto termina de cargar.
void continuarAlCargar() {
    auto* sondeo = new QTimer(qApp);
    QObject::connect(sondeo, &QTimer::timeout, sondeo, [sondeo] {
        auto* carga = qobject_cast<frmProgreso*>(QApplication::activeModalWidget());
        if (!carga) return;
        auto* continuar = carga->findChild<QPushButton*>(QStringLiteral("cmdContinuar"));
        if (continuar && continuar->isEnabled()) {
            continuar->click();
            sondeo->deleteLater();
        }
    });
    sondeo->start(20);
}

void entrarComoNuevo(const QString& dni) {
    alAparecerElAcceso([dni](frmUsuario*, ControlesFrmUsuario& ui) {
        ui.txtDNI->setText(dni);
        ui.cmdAceptarDNI->click();
    });
}

template <typename T>
T* ventanaVisible() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* v = qobject_cast<T*>(w); v && v->isVisible()) return v;
    return nullptr;
}

class ArranqueTest : public ::testing::Test {
protected:
    void SetUp() override {
        reiniciarGlobales();
        ASSERT_TRUE(m_dir.isValid());
        // Una instalación pequeña: catálogos, configuración y texto de la pantalla de carga.
        const QString ficheros = m_dir.path() + QStringLiteral("/ficheros/");
        TamanoCatalogos t;
        t.plazas = 40;
        t.cuerpos = 6;
        ASSERT_TRUE(generarCatalogos(ficheros, t).ok());
        ASSERT_TRUE(QDir().mkpath(ficheros + QStringLiteral("temp")));
        ASSERT_TRUE(QFile::copy(rutaFuentes("/datos/conf.xml"),
                                m_dir.filePath(QStringLiteral("conf.xml"))));
        ASSERT_TRUE(QFile::copy(rutaFuentes("/datos/FicheroTexto.txt"),
                                ficheros + QStringLiteral("FicheroTexto.txt")));
    }
    void TearDown() override {
        // Las ventanas que dejó el arranque (las listas desplegables son de sus combos).
        QList<QPointer<QWidget>> ventanas;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (!w->parentWidget()) ventanas << w;
        for (const QPointer<QWidget>& w : ventanas) delete w.data();
        reiniciarGlobales();
    }
    MensajesGuion m_mensajes;
    QTemporaryDir m_dir;
};

TEST_F(ArranqueTest, AbandonarElAccesoTerminaSinVentanas) {
    alAparecerElAcceso([](frmUsuario*, ControlesFrmUsuario& ui) { ui.cmdSalir->click(); });
    EXPECT_EQ(Arrancar(m_dir.path()), Arranque::Terminado);
    EXPECT_FALSE(G().LoginCorrecto);
    EXPECT_EQ(ventanasVisibles(), 0);
    EXPECT_TRUE(m_mensajes.mostrados().isEmpty());
    EXPECT_EQ(G().RutaFicheros, m_dir.path() + QStringLiteral("/ficheros/"));
    EXPECT_EQ(G().RutaTemporal, m_dir.path() + QStringLiteral("/ficheros/temp/"));
    EXPECT_EQ(G().RutaUsuarios, m_dir.path() + QStringLiteral("/usuarios.xml"));
}

TEST_F(ArranqueTest, CerrarLaVentanaDeAccesoEsAbandonar) {
    alAparecerElAcceso([](frmUsuario* acceso, ControlesFrmUsuario&) { acceso->close(); });
    EXPECT_EQ(Arrancar(m_dir.path()), Arranque::Terminado);
    EXPECT_FALSE(G().LoginCorrecto);
    EXPECT_EQ(ventanasVisibles(), 0);
}

TEST_F(ArranqueTest, SinSolicitudesGuardadasCargaYAbreElFormulario) {
    entrarComoNuevo(QStringLiteral("12345678Z"));
    continuarAlCargar();
    EXPECT_EQ(Arrancar(m_dir.path()), Arranque::ConVentanas);
    EXPECT_TRUE(G().LoginCorrecto);
    EXPECT_EQ(G().DNIUsuario, QStringLiteral("12345678Z"));
    EXPECT_FALSE(G().UsuarioConPassword);
    EXPECT_EQ(ventanaVisible<frmSeleccion>(), nullptr);
    auto* form = ventanaVisible<frmSolicitudes>();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->txtDNI()->text(), QStringLiteral("12345678Z"));
    EXPECT_FALSE(form->txtDNI()->isEnabled());
    EXPECT_TRUE(G().rsPlazasVacantes && G().rsPlazasVacantes->numeroRegistros() > 0);
    EXPECT_TRUE(m_mensajes.mostrados().isEmpty()) << m_mensajes.textos().join('|').toStdString();
}

// Una carga que falla tras el acceso también es un arranque fallido: el programa sale con 1.
TEST_F(ArranqueTest, UnaCargaQueFallaEsUnArranqueFallido) {
    ASSERT_TRUE(QFile::remove(m_dir.path() + QStringLiteral("/ficheros/F0016.enc")));
    entrarComoNuevo(QStringLiteral("12345678Z"));
    continuarAlCargar();
    EXPECT_EQ(Arrancar(m_dir.path()), Arranque::Fallido);
    EXPECT_EQ(ventanaVisible<frmSolicitudes>(), nullptr);
    EXPECT_FALSE(m_mensajes.mostrados().isEmpty());
}

TEST_F(ArranqueTest, ConSolicitudesGuardadasMuestraElSelectorSinCargar) {
    ASSERT_NO_FATAL_FAILURE(
        escribirBytes(m_dir.path() + QStringLiteral("/ficheros/temp/12345678Z_ABCDE0B.doc"), {}));
    entrarComoNuevo(QStringLiteral("12345678Z"));
    EXPECT_EQ(Arrancar(m_dir.path()), Arranque::ConVentanas);
    EXPECT_NE(ventanaVisible<frmSeleccion>(), nullptr);
    EXPECT_EQ(ventanaVisible<frmSolicitudes>(), nullptr);
    // La pantalla de carga no se ha mostrado: los catálogos que carga no existen aún.
    EXPECT_FALSE(G().rsPlazasVacantes);
    EXPECT_EQ(G().rsSolicitudesGuardadas->numeroRegistros(), 1);
}

TEST_F(ArranqueTest, SinCatalogoDeCuerposSeDetieneAntesDelAcceso) {
    ASSERT_TRUE(QFile::remove(m_dir.path() + QStringLiteral("/ficheros/F0004.enc")));
    EXPECT_EQ(Arrancar(m_dir.path()), Arranque::Fallido);
    EXPECT_EQ(codigoSalida(Arranque::Fallido), 1);
    EXPECT_EQ(codigoSalida(Arranque::Terminado), 0);
    EXPECT_FALSE(G().LoginCorrecto);
    EXPECT_EQ(ventanasVisibles(), 0);
    ASSERT_GE(m_mensajes.mostrados().size(), 2);
    EXPECT_TRUE(m_mensajes.mostrados().first().texto.startsWith(
        QStringLiteral("Se ha producido el siguiente error ")));
    EXPECT_EQ(m_mensajes.mostrados().last().icono, Icono::Critico);
}

// Si lo que falla es la carpeta de datos (aquí, temp.tmp no se puede escribir porque en su lugar
// hay una carpeta), el mensaje lo dice y no culpa al catálogo de cuerpos.
TEST_F(ArranqueTest, UnaCarpetaDeDatosQueNoSePuedeEscribirSeDiceAsi) {
    ASSERT_TRUE(QDir().mkpath(m_dir.path() + QStringLiteral("/ficheros/temp.tmp/ocupado")));
    EXPECT_EQ(Arrancar(m_dir.path()), Arranque::Fallido);
    ASSERT_FALSE(m_mensajes.mostrados().isEmpty());
    const QString ultimo = m_mensajes.mostrados().last().texto;
    EXPECT_TRUE(ultimo.startsWith(QStringLiteral("El programa no puede continuar: ")))
        << qPrintable(ultimo);
    EXPECT_TRUE(ultimo.contains(QStringLiteral("temp.tmp"))) << qPrintable(ultimo);
    EXPECT_TRUE(ultimo.contains(QStringLiteral("en su lugar hay una carpeta")))
        << qPrintable(ultimo);
}

}  // namespace
