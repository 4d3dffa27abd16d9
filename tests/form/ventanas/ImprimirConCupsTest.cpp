// Imprimir desde el formulario en una impresora de verdad: un programador de colas CUPS propio,
// con una cola PDF como impresora predeterminada, recibe la solicitud por el camino del programa
// (lp) y deja el PDF que se lee.
#include "../../apoyo/CupsPrivado.h"
#include "../../apoyo/Ficheros.h"
#include "../../printing/PlantillasReales.h"
#include "FormularioPrueba.h"
#include "form/ventanas/PestanaSolicitante.h"
#include "form/ventanas/PestanaVacantes.h"
#include "form/ventanas/frmProgresoGeneral.h"
#include "global/Globales.h"
#include "platform/ventanas/ComboDatos.h"
#include "printing/LecturaCodigos.h"
#include "printing/ProcesosExternos.h"
#include "ui_PestanaSolicitante.h"
#include "ui_PestanaVacantes.h"
#include "users/Usuarios.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

namespace {

using ImprimirConCupsTest = FormularioPrueba;

// La ventanita de progreso que se ve ahora (la de una impresión anterior puede no haberse ido).
frmProgresoGeneral* progresoVisible(const frmSolicitudes& form) {
    for (frmProgresoGeneral* v : form.findChildren<frmProgresoGeneral*>())
        if (v->isVisible()) return v;
    return nullptr;
}

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

    // Lo que va diciendo la ventanita de la impresión, sin repetir.
    QStringList avisos;
    QTimer mirar;
    QObject::connect(&mirar, &QTimer::timeout, [&] {
        if (frmProgresoGeneral* v = progresoVisible(*form))
            if (avisos.isEmpty() || avisos.last() != v->lblAccion()->text())
                avisos << v->lblAccion()->text();
    });
    mirar.start(10);
    QSignalSpy terminada(form.get(), &frmSolicitudes::impresionTerminada);
    form->mnuP(1000)->setEnabled(true);
    form->mnuP(1000)->trigger();
    ASSERT_TRUE(terminada.wait(240000));
    mirar.stop();
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

    // Se guarda, se preparan las páginas y se comprueban, contadas sobre las del PDF; la ventanita
    // se ha ido viendo todo el rato, también mientras se guardaba.
    const auto info = lanzarProceso("pdfinfo", {pdf}, 30000, "leer el PDF");
    ASSERT_TRUE(info.ok());
    const QString paginas =
        QRegularExpression("Pages:\\s+(\\d+)").match(info.valor().salida).captured(1);
    ASSERT_FALSE(avisos.isEmpty());
    EXPECT_EQ(avisos.first().toStdString(), "Guardando Datos ...")
        << avisos.join('|').toStdString();
    const qsizetype preparando =
        avisos.indexOf("Imprimiendo la solicitud: preparando las páginas ...");
    const QRegularExpression comprobadas("^Imprimiendo la solicitud: comprobadas \\d+ de " +
                                         paginas + " páginas ...$");
    EXPECT_GT(preparando, 0) << avisos.join('|').toStdString();
    EXPECT_GT(avisos.indexOf(comprobadas), preparando) << avisos.join('|').toStdString();

    // Otra vez, cancelada desde la ventanita: no llega nada a la cola ni queda ningún PDF.
    ASSERT_TRUE(QFile::remove(pdf));
    mensajes.limpiar();
    form->mnuP(1000)->trigger();
    frmProgresoGeneral* ventana = progresoVisible(*form);
    ASSERT_NE(ventana, nullptr);
    ASSERT_TRUE(ventana->cmdCancelar()->isVisible());
    QTest::mouseClick(ventana->cmdCancelar(), Qt::LeftButton);
    ASSERT_TRUE(terminada.wait(240000));
    ASSERT_FALSE(mensajes.mostrados().isEmpty());
    EXPECT_EQ(mensajes.mostrados().last().texto.toStdString(),
              "Se ha cancelado la impresión: no se ha enviado nada a la impresora.");
    EXPECT_EQ(mensajes.mostrados().last().icono, Icono::Informacion);
    EXPECT_TRUE(cups.esperarPdf(5000).isEmpty());
    EXPECT_TRUE(QDir(G().RutaTemporal).entryList({"*.pdf", "*.docx"}).isEmpty())
        << QDir(G().RutaTemporal).entryList().join('|').toStdString();
    EXPECT_FALSE(form->imprimiendo());
}

}  // namespace
