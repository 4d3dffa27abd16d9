// Formulario de la solicitud: elegir cuerpo y grupo, que carga las plazas del cuerpo en las dos
// pestañas de plazas, y lo que es común a las dos búsquedas.
#include "catalogue/ventanas/EnlazarCombo.h"
#include "form/ventanas/FiltroTeclas.h"
#include "form/ventanas/PanelPlazas.h"
#include "form/ventanas/PestanaResultas.h"
#include "form/ventanas/PestanaSolicitante.h"
#include "form/ventanas/PestanaVacantes.h"
#include "form/ventanas/frmSolicitudes.h"
#include "global/Globales.h"
#include "platform/ServicioMensajes.h"
#include "platform/ventanas/PerdidaFoco.h"
#include "storage/SolicitudesGuardadas.h"
#include "ui_PestanaResultas.h"
#include "ui_PestanaSolicitante.h"
#include "ui_PestanaVacantes.h"
#include "ui_frmSolicitudes.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QWindow>

void frmSolicitudes::prepararBusqueda() {
    Ui::PestanaSolicitante& datos = ui->pestanaSolicitante->controles();
    ContextoPanel contexto;
    contexto.habilitarBusqueda = [this](bool h) { HabilitarBusqueda(h); };
    contexto.cboCuerpo = datos.cboCuerpo;
    contexto.cboGrupo = datos.cboGrupo;
    contexto.repintar = [this] { repaint(); };
    ui->pestanaVacantes->preparar(contexto);
    ui->pestanaResultas->preparar(contexto);

    connect(datos.cboCuerpo, &ComboDatos::filaElegidaPorUsuario, this,
            &frmSolicitudes::cboCuerpo_Click);
    connect(datos.cboGrupo, &ComboDatos::filaElegidaPorUsuario, this,
            &frmSolicitudes::cboGrupo_Click);
    alPerderFoco(datos.cboCuerpo, this, [this] { cboCuerpo_LostFocus(); });
    alPerderFoco(datos.cboGrupo, this, [this] { cuerpoOGrupo_LostFocus(); });
    vigilarActivacion();
}

void frmSolicitudes::vigilarActivacion() {
    // De qué ventana del programa viene el foco cuando vuelve al formulario: volver de un cuadro
    // de mensaje, de una lista desplegable o de otra aplicación no es activarse.
    connect(qApp, &QGuiApplication::focusWindowChanged, this, [this](QWindow* ventana) {
        if (!ventana || ventana == windowHandle()) return;
        QWidget* duena = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->windowHandle() == ventana) duena = w;
        m_vuelveDeOtraVentana = duena && !qobject_cast<QMessageBox*>(duena) &&
                                duena->windowType() != Qt::Popup &&
                                duena->windowType() != Qt::ToolTip;
    });
}

void frmSolicitudes::changeEvent(QEvent* evento) {
    QMainWindow::changeEvent(evento);
    if (evento->type() != QEvent::ActivationChange || !isActiveWindow()) return;
    if (!m_primeraActivacion && !m_vuelveDeOtraVentana) return;
    m_primeraActivacion = false;
    m_vuelveDeOtraVentana = false;
    const Ui::PestanaSolicitante& datos = ui->pestanaSolicitante->controles();
    HabilitarBusqueda(!datos.cboCuerpo->valor().isEmpty() && !datos.cboGrupo->valor().isEmpty());
}

void frmSolicitudes::cboCuerpo_Click() {
    Ui::PestanaSolicitante& datos = ui->pestanaSolicitante->controles();
    if (datos.cboCuerpo->coincide()) {
        if (!datos.cboCuerpo->valor().startsWith(QLatin1Char('X'))) {
            datos.cboGrupo->setValor(datos.cboCuerpo->valorColumna(QStringLiteral("Grupo")));
            datos.cboGrupo->setEnabled(false);
            if (ComprobarSolicitudExistente()) return;
            SeleccionaPlazasRS();
            HabilitarBusqueda(true);
            lblCat()->setText(datos.cboCuerpo->valorColumna(QStringLiteral("DescCuerpo")));
        } else {
            // El grupo de estos cuerpos se elige a mano.
            datos.cboGrupo->setValor(QString());
            datos.cboGrupo->setEnabled(true);
        }
    } else {
        olvidarPlazasCuerpo();
        HabilitarBusqueda(false);
    }
    enviarTab(datos.cboCuerpo);
}

void frmSolicitudes::cboCuerpo_LostFocus() {
    Ui::PestanaSolicitante& datos = ui->pestanaSolicitante->controles();
    ComprobarSolicitudExistente();
    const QString grupo = datos.cboCuerpo->valorColumna(QStringLiteral("Grupo"));
    if (datos.cboCuerpo->coincide() && grupo != QLatin1String("X")) {
        datos.cboGrupo->setValor(grupo);
        lblCat()->setText(datos.cboCuerpo->valorColumna(QStringLiteral("DescCuerpo")));
    }
    cuerpoOGrupo_LostFocus();
}

void frmSolicitudes::cuerpoOGrupo_LostFocus() {
    const Ui::PestanaSolicitante& datos = ui->pestanaSolicitante->controles();
    if (txtDNI()->text().isEmpty() || datos.cboGrupo->valor().isEmpty() ||
        datos.cboCuerpo->valor().isEmpty())
        return;
    habilitarMenuSolicitud();
}

void frmSolicitudes::cboGrupo_Click() {
    Ui::PestanaSolicitante& datos = ui->pestanaSolicitante->controles();
    if (ComprobarSolicitudExistente() || datos.cboGrupo->coincide()) return;
    mostrarMensaje(QStringLiteral("El grupo seleccionado no es válido"),
                   QStringLiteral("Grupo Erróneo"), Icono::Exclamacion, Botones::Aceptar);
    olvidarPlazasCuerpo();
    datos.cboGrupo->setFocus(Qt::OtherFocusReason);
    HabilitarBusqueda(false);
}

void frmSolicitudes::olvidarPlazasCuerpo() {
    G().rsVacantesCuerpo.reset();
    G().rsResultasCuerpo.reset();
    EnlazarCombo(*ui->pestanaVacantes->controles().cboPuestoVacante, nullptr);
    EnlazarCombo(*ui->pestanaResultas->controles().cboPuestoResultas, nullptr);
    ui->pestanaVacantes->contar();
}

void frmSolicitudes::SeleccionaPlazasRS() {
    const Ui::PestanaSolicitante& datos = ui->pestanaSolicitante->controles();
    if (!datos.cboGrupo->coincide() || datos.cboGrupo->valor().isEmpty()) return;
    const QString cuerpo = datos.cboCuerpo->valor();
    const PlazasCuerpo* entrada = nullptr;
    for (const PlazasCuerpo& e : G().IndicePlazasCuerpo) {
        if (e.DesdeCatalogo && e.CodCuerpo == cuerpo) {
            entrada = &e;
            break;
        }
    }
    if (!entrada || !entrada->Vacantes || !entrada->Resultas) {
        mostrarMensaje(QStringLiteral("Error en la carga de datos. Debe cerrar el programa y "
                                      "volver a arrancarlo. Guarde la información si desea "
                                      "conservar los cambios."),
                       QStringLiteral("Cuerpo no válido"), Icono::Exclamacion, Botones::Aceptar);
        return;
    }
    // Las tablas mismas de la entrada: un filtro puesto sigue con ellas si se vuelve a elegir.
    G().rsVacantesCuerpo = entrada->Vacantes;
    G().rsVacantesCuerpo->ordenar(QStringLiteral("CodConvocatoria"));
    ui->pestanaVacantes->contar();
    EnlazarCombo(*ui->pestanaVacantes->controles().cboPuestoVacante, G().rsVacantesCuerpo);
    G().rsResultasCuerpo = entrada->Resultas;
    EnlazarCombo(*ui->pestanaResultas->controles().cboPuestoResultas, G().rsResultasCuerpo);
}

void frmSolicitudes::HabilitarBusqueda(bool habilitar) {
    const Ui::PestanaVacantes& v = ui->pestanaVacantes->controles();
    const Ui::PestanaResultas& r = ui->pestanaResultas->controles();
    for (QWidget* w : std::initializer_list<QWidget*>{
             r.cboConsejeriaResultas, v.cboConsejeriaVacantes, r.cboProvinciaResultas,
             v.cboProvinciaVacantes, r.cboLocalidadResultas, v.cboLocalidadVacantes})
        w->setEnabled(habilitar);
    ui->pestanaVacantes->HabilitarBusquedaVacantes();
}

bool frmSolicitudes::ComprobarSolicitudExistente() {
    Ui::PestanaSolicitante& datos = ui->pestanaSolicitante->controles();
    const QString dni = txtDNI()->text();
    const QString cuerpo = datos.cboCuerpo->valor();
    const QString grupo = datos.cboGrupo->valor();
    if (dni.isEmpty() || cuerpo.isEmpty() || grupo.isEmpty()) return false;
    const QString nombre = NombreFicheroSolicitud(dni, cuerpo, grupo);
    if (!QFileInfo::exists(G().RutaTemporal + nombre)) return false;
    const Respuesta r = mostrarMensaje(
        QStringLiteral("Ya existe una solicitud con estos datos, si continúa puede sobreescribir "
                       "los datos anteriormente guardados. ¿Qué desea hacer? Sí para cerrar la "
                       "aplicación. No para teclear otro cuerpo y grupo"),
        QStringLiteral("Solicitud Existente"), Icono::Critico, Botones::SiNo,
        // Sí cierra el programa sin guardar: un Intro por reflejo no debe perder lo escrito.
        Respuesta::No);
    if (r == Respuesta::Si) {
        m_cerrandoPorExistente = true;
        close();
    } else {
        datos.cboGrupo->setValor(QString());
        datos.cboCuerpo->setValor(QString());
    }
    return true;
}
