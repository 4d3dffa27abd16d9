#include "../../apoyo/MensajesGuion.h"
#include "../../apoyo/RutasCompilacion.h"
#include "form/ventanas/frmSolicitudes.h"
#include "global/Globales.h"
#include "startup/ventanas/AbrirSolicitud.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>

namespace {

class AbrirSolicitudTest : public ::testing::Test {
protected:
    void SetUp() override {
        reiniciarGlobales();
        ASSERT_TRUE(dir.isValid());
        G().RutaFicheros = dir.path() + QStringLiteral("/ficheros/");
        G().DNIUsuario = QStringLiteral("12345678Z");
    }
    QTemporaryDir dir;
    MensajesGuion guion;
};

TEST_F(AbrirSolicitudTest, MuestraElFormularioConElDniDelAccesoSinPoderEditarlo) {
    ASSERT_TRUE(
        QFile::copy(rutaFuentes("/datos/conf.xml"), dir.filePath(QStringLiteral("conf.xml"))));
    frmSolicitudes* f = AbrirSolicitud();
    ASSERT_NE(f, nullptr);
    EXPECT_TRUE(f->isVisible());
    EXPECT_EQ(f->txtDNI()->text(), "12345678Z");
    EXPECT_FALSE(f->txtDNI()->isEnabled());
    EXPECT_EQ(f->windowTitle(), "Concurso de Traslados 1.2.0");
    EXPECT_TRUE(guion.mostrados().isEmpty());
    delete f;
}

TEST_F(AbrirSolicitudTest, SinConfiguracionAvisaYNoQuedaVentana) {
    const int antes = QApplication::topLevelWidgets().size();
    EXPECT_EQ(AbrirSolicitud(), nullptr);
    ASSERT_EQ(guion.mostrados().size(), 1);
    EXPECT_TRUE(guion.mostrados()[0].texto.contains("\"conf.xml\""));
    EXPECT_EQ(guion.mostrados()[0].icono, Icono::Critico);
    EXPECT_EQ(QApplication::topLevelWidgets().size(), antes);
}

}  // namespace
