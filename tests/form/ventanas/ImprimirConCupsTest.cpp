// Imprimir desde el formulario en una impresora de verdad: un programador de colas CUPS propio,
// con una cola PDF como impresora predeterminada, recibe la solicitud por el camino del programa
// (lp) y deja el PDF que se lee.
#include "../../apoyo/CupsPrivado.h"
#include "../../apoyo/Ficheros.h"
#include "../../printing/PlantillasReales.h"
#include "FormularioPrueba.h"
#include "form/ventanas/PestanaSolicitante.h"
#include "form/ventanas/PestanaVacantes.h"
#include "platform/ventanas/ComboDatos.h"
#include "printing/LecturaCodigos.h"
#include "startup/Globales.h"
#include "ui_PestanaSolicitante.h"
#include "ui_PestanaVacantes.h"
#include "users/Usuarios.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>

namespace {

using ImprimirConCupsTest = FormularioPrueba;

TEST_F(ImprimirConCupsTest, LaSolicitudLlegaALaColaConSusCodigos) {
    CupsPrivado cups;
    const QString porQue = cups.arrancar();
    if (!porQue.isEmpty()) GTEST_SKIP() << porQue.toStdString();

    const QString ficheros = G().RutaFicheros;
    if (!QFile::exists(ficheros + G().CarpetaPlantillas + "/PlantillaWXP.dot")) {
        ASSERT_FALSE(construirPlantillasReales(ficheros, G().CarpetaPlantillas).isEmpty());
    }
    QTemporaryDir usuarios;
    AbrirUsuarios(usuarios.filePath("usuarios.xml"));
    ASSERT_TRUE(AltaUsuario(G().DNIUsuario, "CLAVE").ok());
    ui().txtApellido1->setText("Ibáñez");
    ui().txtNombre->setText("Íñigo");
    ui().txtFecNacimiento->setText("01/02/1980");
    const PlazasCuerpo* cuerpo = cuerpoConMasPlazas();
    ASSERT_NE(cuerpo, nullptr);
    elegirFila(ui().cboCuerpo, cuerpo->CodCuerpo);
    form->tabPrincipal()->setCurrentIndex(2);
    auto& v = form->pestanaVacantes()->controles();
    v.cmdTodasVacantes->click();
    ASSERT_GT(G().rsVacantesSolicitadas->numeroRegistros(), 2);

    QSignalSpy terminada(form.get(), &frmSolicitudes::impresionTerminada);
    form->mnuP(1000)->setEnabled(true);
    form->mnuP(1000)->trigger();
    ASSERT_TRUE(terminada.wait(240000));
    ASSERT_FALSE(mensajes.mostrados().isEmpty());
    EXPECT_TRUE(mensajes.mostrados().last().texto.startsWith("IMPORTANTE"))
        << mensajes.mostrados().last().texto.toStdString() << "\n"
        << cups.errores().toStdString();
    const QString pdf = cups.esperarPdf(60000);
    ASSERT_FALSE(pdf.isEmpty()) << cups.errores().toStdString();
    // Lo que llegó a la cola lleva cada código de la impresión, legible a 200 ppp.
    auto leidos = leerCodigosPdf(pdf, 200);
    ASSERT_TRUE(leidos.ok()) << leidos.mensaje().toStdString();
    ASSERT_GE(leidos.valor().size(), 2);
    QByteArray solicitante, vacantes;
    for (const CodigoLeido& c : leidos.valor()) {
        if (c.bytes.mid(33, 4) == "P001") solicitante = c.bytes;
        // Las páginas de plazas llevan su número de página del documento.
        if (c.bytes.mid(33, 1) == "V") vacantes = c.bytes;
    }
    EXPECT_TRUE(solicitante.contains("|Ib&a&nez||&I&nigo|")) << solicitante.toStdString();
    // La página de Vacantes: cada plaza con su orden y su código, en orden.
    QByteArray entradas;
    const PTabla lista = G().rsVacantesSolicitadas->clonar();
    lista->ordenar("Orden ASC");
    for (int f = 0; f < lista->numeroRegistros(); ++f)
        entradas += QString::number(f + 1).rightJustified(4, '0').toLatin1() +
                    lista->valorEnFila(f, 2).toString().rightJustified(5, ' ').toLatin1();
    EXPECT_EQ(vacantes.mid(37), entradas + "F");
}

}  // namespace
