#include "../../apoyo/MensajesGuion.h"
#include "../../apoyo/RutasCompilacion.h"
#include "catalogue/Esquemas.h"
#include "catalogue/GeneradorCatalogos.h"
#include "catalogue/ModCargaFicheros.h"
#include "global/Globales.h"
#include "startup/PasosCarga.h"
#include "startup/ventanas/frmProgreso.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

class frmProgresoTest : public ::testing::Test {
protected:
    void SetUp() override {
        reiniciarGlobales();
        ASSERT_TRUE(dir.isValid());
        G().RutaFicheros = dir.path() + "/ficheros/";
        TamanoCatalogos t;
        t.plazas = 40;
        t.cuerpos = 6;
        ASSERT_TRUE(generarCatalogos(G().RutaFicheros, t).ok());
        ASSERT_TRUE(QFile::copy(rutaFuentes("/datos/conf.xml"), dir.filePath("conf.xml")));
        ASSERT_TRUE(QFile::copy(rutaFuentes("/datos/FicheroTexto.txt"),
                                G().RutaFicheros + "FicheroTexto.txt"));
        G().rsCuerpos = CrearTablaCuerpos();
        ASSERT_TRUE(CargarCuerpos(G().rsCuerpos).ok());
    }
    void TearDown() override { reiniciarGlobales(); }

    // Muestra la ventana sin bloquear y espera a que termine la carga.
    bool cargar(frmProgreso& f) {
        QSignalSpy fin(&f, &frmProgreso::cargaFinalizada);
        f.open();
        if (fin.isEmpty() && !fin.wait(10000)) return false;
        return fin.first().first().toBool();
    }

    QTemporaryDir dir;
    MensajesGuion guion;
};

TEST_F(frmProgresoTest, CargaLlenaLaBarraYContinuarCierra) {
    frmProgreso f;
    auto* prg = f.findChild<QProgressBar*>("prg");
    auto* continuar = f.findChild<QPushButton*>("cmdContinuar");
    auto* titulo = f.findChild<QLabel*>("lblTitulo");
    ASSERT_TRUE(prg && continuar && titulo);
    EXPECT_FALSE(continuar->isEnabled());
    EXPECT_EQ(f.findChild<QLabel*>("Label1")->text(), QStringLiteral("Cargando información ..."));
    EXPECT_EQ(continuar->text(), "Continuar");

    ASSERT_TRUE(cargar(f));
    EXPECT_TRUE(f.cargado());
    EXPECT_TRUE(continuar->isEnabled());
    EXPECT_EQ(prg->maximum(), PasosCarga::maximoBarra(G().rsCuerpos->numeroRegistros(),
                                                      G().rsGrupos->numeroRegistros()));
    EXPECT_EQ(prg->value(), prg->maximum());
    EXPECT_EQ(f.windowTitle(), "Concurso de Traslados 1.2.0");
    EXPECT_TRUE(titulo->text().startsWith("\r\nServicio Regional de Salud"));
    EXPECT_TRUE(guion.mostrados().isEmpty());

    QTest::mouseClick(continuar, Qt::LeftButton);
    EXPECT_FALSE(f.isVisible());
    EXPECT_EQ(f.result(), QDialog::Accepted);
}

TEST_F(frmProgresoTest, NoSeCierraMientrasCarga) {
    frmProgreso f;
    f.open();
    // Antes de empezar y en los puntos de repintado: ni el cierre ni Escape la cierran.
    f.close();
    QTest::keyClick(&f, Qt::Key_Escape);
    EXPECT_TRUE(f.isVisible());
    QSignalSpy fin(&f, &frmProgreso::cargaFinalizada);
    QTimer::singleShot(0, &f, &QWidget::close);
    QTimer::singleShot(0, &f, &QDialog::reject);
    ASSERT_TRUE(fin.wait(10000));
    EXPECT_TRUE(f.isVisible());
    EXPECT_TRUE(f.cargado());
    // Terminada la carga, la ventana sí se cierra.
    f.close();
    EXPECT_FALSE(f.isVisible());
}

TEST_F(frmProgresoTest, UnFalloAvisaConElPasoYLaVentanaSeCierraSola) {
    ASSERT_TRUE(QFile::remove(G().RutaFicheros + "F0016.enc"));
    frmProgreso f;
    EXPECT_FALSE(cargar(f));
    EXPECT_FALSE(f.cargado());
    EXPECT_FALSE(f.isVisible());
    EXPECT_EQ(f.result(), QDialog::Rejected);
    ASSERT_EQ(guion.mostrados().size(), 2);
    EXPECT_TRUE(guion.mostrados()[0].texto.startsWith("Se ha producido el siguiente error "));
    const MensajeMostrado& m = guion.mostrados()[1];
    EXPECT_TRUE(m.texto.startsWith(QStringLiteral("Error en línea 260."))) << m.texto.toStdString();
    EXPECT_EQ(m.titulo, kTituloPrograma);
    EXPECT_EQ(m.icono, Icono::Ninguno);
    EXPECT_EQ(m.botones, Botones::Aceptar);
}

}  // namespace
