// Formulario de la solicitud: el texto del código del solicitante y la impresión, que convierte,
// comprueba y entrega el documento fuera del hilo de la ventana.
#include "form/Fechas.h"
#include "form/ventanas/PestanaSolicitante.h"
#include "form/ventanas/frmProgresoGeneral.h"
#include "form/ventanas/frmSolicitudes.h"
#include "global/Configuracion.h"
#include "global/Globales.h"
#include "platform/ServicioMensajes.h"
#include "platform/ventanas/ComboDatos.h"
#include "printing/Impresion.h"
#include "printing/ListasImpresas.h"
#include "storage/ListasXml.h"
#include "ui_PestanaSolicitante.h"
#include "ui_frmSolicitudes.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <memory>
#include <thread>

namespace {

// Una fecha del formulario en el código: "AAAAMMDD", o "00000000" si no hay.
QString fechaCodigo(const QLineEdit* caja) {
    if (caja->text().isEmpty()) return QStringLiteral("00000000");
    const std::optional<QDate> fecha = interpretarFecha(caja->text());
    return fecha ? fecha->toString(QStringLiteral("yyyyMMdd")) : QStringLiteral("00000000");
}

QString siNo(bool si) {
    return si ? QStringLiteral("S") : QStringLiteral("N");
}

}  // namespace

QString frmSolicitudes::DatosParaCodigoBarras() const {
    const Ui::PestanaSolicitante& d = ui->pestanaSolicitante->controles();
    const bool sinDestino = d.OptNo->isChecked();
    QString situacion;
    if (d.cboSituaciones->valorColumna(QStringLiteral("esOtras")) == QLatin1String("1"))
        situacion = d.txtSitAdm->text();
    else
        situacion = d.cboSituaciones->valorColumna(QStringLiteral("Situacion"));
    const QStringList campos = {
        siNo(d.optForzoso->isChecked()),
        d.txtApellido1->text(),
        d.txtApellido2->text(),
        d.txtNombre->text(),
        d.txtDNI->text(),
        fechaCodigo(d.txtFecNacimiento),
        d.txtTelefono->text(),
        siNo(d.optPetConyugeSi->isChecked()),
        d.txtDNIConyuge->text(),
        d.txtConyuApellido1->text(),
        d.txtCOnyuApellido2->text(),
        d.txtConyuNombre->text(),
        siNo(d.optDiscSi->isChecked()),
        d.txtTipoDisc->text(),
        d.txtAdaptaciones->text(),
        d.txtDomicilio->text(),
        d.txtLocalidad->text(),
        d.cboProvincia->valor(),
        d.txtCP->text(),
        d.cboCuerpo->valor(),
        d.cboGrupo->valor(),
        d.txtNRP->text(),
        fechaCodigo(d.txtFechaIngreso),
        d.optActivo->isChecked() ? QStringLiteral("A") : QStringLiteral("O"),
        situacion,
        fechaCodigo(d.txtFechaSit),
        sinDestino ? QString()
                   : (d.optSSNorsa->isChecked() ? QStringLiteral("S") : QStringLiteral("O")),
        d.txtSS->text(),
        sinDestino ? QString()
                   : (d.optDefinitivo->isChecked() ? QStringLiteral("D") : QStringLiteral("P")),
        d.txtPuesto->text(),
        d.txtLocalidadPuesto->text(),
        d.txtProvinciaPuesto->text(),
        siNo(d.optReingesoSi->isChecked()),
        fechaCodigo(d.txtFecPosesion),
        d.txtInstiAct->text(),
        d.txtZBSAct->text(),
        d.txtProvAct->text(),
    };
    QString texto;
    for (const QString& c : campos) texto += c + QLatin1Char('|');
    return texto;
}

void frmSolicitudes::imprimir() {
    // Con una configuración que no deja hacer las páginas no se guarda ni se pregunta nada.
    if (const Resultado r = plazasPorPaginaImprimibles(G().PlazasPorPagina.toInt()); !r) {
        mostrarMensaje(r.mensaje(), QStringLiteral("Impresión"), Icono::Critico, Botones::Aceptar);
        return;
    }
    // Una fecha imposible llegaría al código como "00000000": se para antes de preguntar nada.
    if (!ui->pestanaSolicitante->comprobarFechas()) return;
    if (ValidarDatosImpresion()) {
        G().TextoCodigoBarras = DatosParaCodigoBarras().replace(QChar(0xD0), QChar(0xD1));
        GuardarSolicitud(true, false);
        return;
    }
    if (mostrarMensaje(QStringLiteral("Faltan datos por rellenar. ¿Desea imprimir una copia "
                                      "borrador de la solicitud?"),
                       QStringLiteral("Copia Borrador"), Icono::Pregunta,
                       Botones::SiNo) == Respuesta::Si) {
        G().TextoCodigoBarras = DatosParaCodigoBarras().replace(QChar(0xD0), QChar(0xD1));
        GuardarSolicitud(true, true);
    }
}

namespace {

// Lo que dice la ventanita de la impresión según cómo va.
void mostrarAvance(frmProgresoGeneral& ventana, const AvanceTrabajo& avance) {
    QProgressBar* barra = ventana.prgBar();
    if (avance.cancelar) {
        ventana.lblAccion()->setText(QStringLiteral("Cancelando la impresión ..."));
        barra->setRange(0, 0);
        return;
    }
    switch (avance.fase.load()) {
        case Convirtiendo:
            ventana.lblAccion()->setText(
                QStringLiteral("Imprimiendo la solicitud: preparando las páginas ..."));
            barra->setRange(0, 0);
            break;
        case Comprobando: {
            const int total = avance.total, hechas = avance.hechas;
            ventana.lblAccion()->setText(
                total > 0
                    ? QStringLiteral("Imprimiendo la solicitud: comprobadas %1 de %2 "
                                     "páginas ...")
                          .arg(hechas)
                          .arg(total)
                    : QStringLiteral("Imprimiendo la solicitud: comprobando las páginas ..."));
            barra->setRange(0, qMax(0, total));
            barra->setValue(qMin(hechas, total));
            break;
        }
        default:
            // En la cola ya no se puede cancelar: la recibe entera o nada.
            ventana.lblAccion()->setText(
                QStringLiteral("Imprimiendo la solicitud: enviándola a la impresora ..."));
            barra->setRange(0, 0);
            ventana.cmdCancelar()->setEnabled(false);
            break;
    }
}

}  // namespace

void frmSolicitudes::lanzarImpresion(const QString& documento,
                                     const QVector<CodigoEsperado>& codigos) {
    // Mientras se convierte, se comprueba y se entrega, ni otra orden ni cerrar.
    m_imprimiendo = true;
    for (QAction* a : {ui->mnuP1000, ui->mnuP2000, ui->mnuP2500}) a->setEnabled(false);
    auto avance = std::make_shared<AvanceTrabajo>();
    auto* progreso = new frmProgresoGeneral(this);
    progreso->setAttribute(Qt::WA_DeleteOnClose);
    progreso->cmdCancelar()->setVisible(true);
    // Hasta que acabe no se cierra: cerrarla (o Escape) pide cancelar, como su botón.
    progreso->setOcupada(true);
    connect(progreso->cmdCancelar(), &QPushButton::clicked, progreso, [avance, progreso] {
        avance->cancelar = true;
        progreso->cmdCancelar()->setEnabled(false);
        mostrarAvance(*progreso, *avance);
    });
    // La ventanita sigue el avance del hilo de la impresión sin esperarlo.
    auto* reloj = new QTimer(progreso);
    connect(reloj, &QTimer::timeout, progreso,
            [avance, progreso] { mostrarAvance(*progreso, *avance); });
    reloj->start(100);
    mostrarAvance(*progreso, *avance);
    progreso->show();
    QPointer<frmSolicitudes> formulario(this);
    QPointer<frmProgresoGeneral> ventana(progreso);
    std::thread([formulario, ventana, documento, codigos, avance] {
        auto resultado = imprimirDocumento(documento, codigos, avance.get());
        QMetaObject::invokeMethod(
            qApp,
            [formulario, ventana, documento, resultado] {
                if (ventana) {
                    ventana->setOcupada(false);
                    ventana->close();
                }
                QFile::remove(documento);
                if (formulario) formulario->terminarImpresion(resultado);
            },
            Qt::QueuedConnection);
    }).detach();
}

void frmSolicitudes::terminarImpresion(const ResultadoDe<ResultadoImpresion>& resultado) {
    m_imprimiendo = false;
    habilitarMenuSolicitud();
    if (!resultado && resultado.numero() == Errores::Cancelado) {
        mostrarMensaje(resultado.mensaje(), QStringLiteral("Impresión"), Icono::Informacion,
                       Botones::Aceptar);
    } else if (!resultado) {
        mostrarMensaje(QStringLiteral("No se ha impreso la solicitud.\n") + resultado.mensaje(),
                       kTituloPrograma, Icono::Critico, Botones::Aceptar);
    } else if (resultado.valor().enviada) {
        mostrarMensaje(QStringLiteral("IMPORTANTE: Espere unos momentos, se está imprimiendo la "
                                      "solicitud. Cuando estén todas las hojas impresas, pulse el "
                                      "botón Aceptar."),
                       QStringLiteral("Impresión"), Icono::Informacion, Botones::Aceptar);
    } else {
        // Las palabras de la cola (en inglés) van a la traza; el mensaje dice la causa.
        const QString traza = carpetaAplicacion() + QLatin1Char('/') + kFicheroTraza;
        const bool anotada = anotarSinImpresora(resultado.valor(), traza).ok();
        mostrarMensaje(mensajeSinImpresora(resultado.valor(), anotada ? traza : QString()),
                       QStringLiteral("Impresión"), Icono::Informacion, Botones::Aceptar);
    }
    emit impresionTerminada();
}
