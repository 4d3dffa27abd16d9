// Cuánto se para el bucle de eventos de la ventana de la solicitud al guardar y al imprimir la
// solicitud más grande y al insertar todas las plazas de una búsqueda de 20.000: un reloj de la
// ventana que debería sonar cada 5 ms anota el mayor hueco entre dos toques, desde que se da la
// orden hasta que termina (sin impresora: el PDF se queda).
#include "../../tests/apoyo/RutasCompilacion.h"
#include "../../tests/printing/PlantillasReales.h"
#include "catalogue/GeneradorCatalogos.h"
#include "form/ventanas/PanelPlazas.h"
#include "form/ventanas/PestanaSolicitante.h"
#include "form/ventanas/PestanaVacantes.h"
#include "form/ventanas/frmSolicitudes.h"
#include "global/Globales.h"
#include "platform/ventanas/ComboDatos.h"
#include "printing/ProcesosExternos.h"
#include "startup/PasosArranque.h"
#include "startup/PasosCarga.h"
#include "ui_PestanaSolicitante.h"
#include "ui_PestanaVacantes.h"
#include "users/Usuarios.h"

#include <benchmark/benchmark.h>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <memory>

namespace {

// La instalación de prueba, cargada como la deja la pantalla de carga. Vacío si va bien.
QString prepararInstalacion(const QTemporaryDir& dir) {
    const QString ficheros = dir.path() + QStringLiteral("/ficheros/");
    TamanoCatalogos t;
    t.plazas = 40;
    t.cuerpos = 8;
    if (!generarCatalogos(ficheros, t).ok() || !QDir().mkpath(ficheros + QStringLiteral("temp")) ||
        !QFile::copy(rutaFuentes("/datos/conf.xml"), dir.filePath("conf.xml")) ||
        !QFile::copy(rutaFuentes("/datos/FicheroTexto.txt"),
                     ficheros + QStringLiteral("FicheroTexto.txt")))
        return QStringLiteral("no se pudo hacer la instalación de prueba");
    reiniciarGlobales();
    if (!PrepararArranque(dir.path()).ok()) return QStringLiteral("no arranca");
    CargaSinVentana sinVentana;
    PasosCarga pasos(sinVentana);
    if (const auto fallo = pasos.ejecutar()) return fallo->mensaje();
    AbrirUsuarios(dir.filePath(QStringLiteral("usuarios.xml")));
    G().DNIUsuario = QStringLiteral("12345678Z");
    if (!AltaUsuario(G().DNIUsuario, QStringLiteral("CLAVE")).ok())
        return QStringLiteral("no se pudo dar de alta al usuario");
    return {};
}

// El formulario con los datos de la persona, un cuerpo y `plazas` plazas en cada lista.
std::unique_ptr<frmSolicitudes> formularioGrande(int plazas) {
    auto form = std::make_unique<frmSolicitudes>();
    form->setAttribute(Qt::WA_DeleteOnClose, false);
    if (!form->cargar().ok()) return nullptr;
    form->txtDNI()->setText(G().DNIUsuario);
    form->txtDNI()->setEnabled(false);
    form->show();
    Ui::PestanaSolicitante& d = form->pestanaSolicitante()->controles();
    d.txtApellido1->setText(QStringLiteral("Pérez"));
    d.txtNombre->setText(QStringLiteral("Begoña"));
    d.txtFecNacimiento->setText(QStringLiteral("03/11/1975"));
    // El primer cuerpo de la lista; el grupo lo pone el cuerpo.
    d.cboCuerpo->setFocus();
    d.cboCuerpo->setCurrentIndex(0);
    emit d.cboCuerpo->activated(0);
    QApplication::processEvents();
    for (const PTabla& t : {G().rsVacantesSolicitadas, G().rsResultasSolicitadas})
        for (int i = 0; i < plazas; ++i)
            t->anadirRegistro({qint64(i), qint64(i + 1), QString::number(10000 + i),
                               QStringLiteral("Enfermero/a de Atención Primaria"),
                               QStringLiteral("Hospital Universitario"),
                               QStringLiteral("Cáceres (Cáceres)"), QStringLiteral("03000000"),
                               QStringLiteral("0301"), QStringLiteral("Área de Salud"),
                               QStringLiteral("Zona")});
    QApplication::processEvents();
    return form;
}

// El formulario con un cuerpo cuyo conjunto de Vacantes tiene además `plazas` plazas más, las
// listas vacías y la pestaña de Vacantes a la vista.
std::unique_ptr<frmSolicitudes> formularioConPlazas(int plazas) {
    auto form = formularioGrande(0);
    if (!form || !G().rsVacantesCuerpo) return nullptr;
    const PTabla& conjunto = G().rsVacantesCuerpo;
    {
        Tabla::AgrupadorAvisos avisos(*conjunto);
        for (int i = 0; i < plazas; ++i) {
            conjunto->anadir();
            conjunto->establecer(QStringLiteral("CodConvocatoria"),
                                 QString::number(100000 + i).right(5));
            conjunto->establecer(QStringLiteral("NomConvocatoria"),
                                 QStringLiteral("Enfermero/a de Atención Primaria"));
            conjunto->establecer(QStringLiteral("Consejeria"),
                                 QStringLiteral("Hospital Universitario"));
            conjunto->establecer(QStringLiteral("Localidad"), QStringLiteral("Cáceres (Cáceres)"));
            conjunto->establecer(QStringLiteral("CodArea"), QStringLiteral("03000000"));
            conjunto->establecer(QStringLiteral("CodZona"), QStringLiteral("0301"));
        }
    }
    form->tabPrincipal()->setCurrentIndex(2);
    QApplication::processEvents();
    return form;
}

// Da la orden del menú (o, con 0, "Insertar Todas" en Vacantes) y espera a que acabe (la
// impresión y la inserción avisan al terminar), midiendo el mayor hueco entre dos toques del
// reloj de la ventana. En milisegundos.
double paradaMaxima(frmSolicitudes& form, int orden) {
    QElapsedTimer reloj;
    qint64 anterior = 0, mayor = 0;
    QTimer toque;
    QObject::connect(&toque, &QTimer::timeout, [&] {
        const qint64 ahora = reloj.elapsed();
        mayor = qMax(mayor, ahora - anterior);
        anterior = ahora;
    });
    QEventLoop bucle;
    QObject::connect(&form, &frmSolicitudes::impresionTerminada, &bucle, &QEventLoop::quit);
    PanelPlazas& panel = form.pestanaVacantes()->panel();
    QObject::connect(&panel, &PanelPlazas::insercionTerminada, &bucle, &QEventLoop::quit);
    reloj.start();
    toque.start(5);
    if (orden != 0) form.mnuP(orden)->setEnabled(true);
    // La orden se da desde el bucle, como un clic: lo que tarde en volver también cuenta.
    QTimer::singleShot(0, &form, [&form, orden, &bucle] {
        if (orden == 0) {
            form.pestanaVacantes()->controles().cmdTodasVacantes->click();
            if (!form.pestanaVacantes()->panel().insertando()) bucle.quit();
            return;
        }
        form.mnuP(orden)->trigger();
        if (orden != 1000) bucle.quit();
    });
    bucle.exec();
    const qint64 ahora = reloj.elapsed();
    return double(qMax(mayor, ahora - anterior));
}

void BM_ParadaVentana(benchmark::State& estado) {
    QTemporaryDir dir;
    if (const QString fallo = prepararInstalacion(dir); !fallo.isEmpty()) {
        estado.SkipWithError(fallo.toStdString().c_str());
        return;
    }
    programasExternos().lp = dir.filePath(QStringLiteral("no-hay-lp"));
    const int plazas = int(estado.range(0));
    const int orden = int(estado.range(1));
    auto form = orden == 0 ? formularioConPlazas(2 * plazas) : formularioGrande(plazas);
    if (!form) {
        estado.SkipWithError("el formulario no carga");
        return;
    }
    // La carpeta de las plantillas la dice la configuración que lee el formulario.
    if (construirPlantillasReales(G().RutaFicheros, G().CarpetaPlantillas).isEmpty()) {
        estado.SkipWithError("no hay plantillas (falta movilant-plantillas)");
        return;
    }
    double parada = 0;
    for (auto _ : estado) parada = qMax(parada, paradaMaxima(*form, orden));
    if (orden == 0 && G().rsVacantesSolicitadas->numeroRegistros() < 2 * plazas * 99 / 100)
        estado.SkipWithError("no se insertaron todas las plazas");
    estado.counters["parada_max_ms"] = parada;
    estado.counters["plazas"] = 2.0 * plazas;
    form.reset();
    reiniciarGlobales();
}
// Guardar (2000) e imprimir (1000) una solicitud de 10.000 + 10.000 plazas, e "Insertar Todas"
// (0) de 20.000 plazas en Vacantes.
BENCHMARK(BM_ParadaVentana)
    ->ArgNames({"plazas_por_lista", "orden"})
    ->Args({10000, 2000})
    ->Args({10000, 1000})
    ->Args({10000, 0})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
