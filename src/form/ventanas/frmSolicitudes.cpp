#include "form/ventanas/frmSolicitudes.h"

#include "form/OrdenPlazas.h"
#include "form/ventanas/FiltroTeclas.h"
#include "form/ventanas/PanelPlazas.h"
#include "form/ventanas/PestanaCursos.h"
#include "form/ventanas/PestanaDocumentos.h"
#include "form/ventanas/PestanaResultas.h"
#include "form/ventanas/PestanaSolicitante.h"
#include "form/ventanas/PestanaVacantes.h"
#include "global/Globales.h"
#include "platform/ServicioMensajes.h"
#include "platform/ventanas/Accesibilidad.h"
#include "platform/ventanas/AvisoEstado.h"
#include "platform/ventanas/Colocacion.h"
#include "platform/ventanas/RejillaDatos.h"
#include "printing/DocumentoWord.h"
#include "printing/ProcesosExternos.h"
#include "startup/PasosArranque.h"
#include "startup/ventanas/Arranque.h"
#include "storage/SolicitudesGuardadas.h"
#include "storage/ventanas/frmSeleccion.h"
#include "ui_PestanaCursos.h"
#include "ui_PestanaDocumentos.h"
#include "ui_PestanaResultas.h"
#include "ui_PestanaSolicitante.h"
#include "ui_PestanaVacantes.h"
#include "ui_frmSolicitudes.h"
#include "users/ventanas/frmCreaPwd.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QMenuBar>
#include <QStatusBar>

namespace {

// Mientras "Insertar Todas" añade plazas a una lista, ninguna orden del menú corre: todas
// renumeran las listas antes de lo suyo, y guardar o imprimir tomarían una lista a medias.
bool insertandoPlazas(const Ui::frmSolicitudes& ui) {
    return ui.pestanaVacantes->panel().insertando() || ui.pestanaResultas->panel().insertando();
}

}  // namespace

frmSolicitudes::frmSolicitudes(QWidget* parent) : QMainWindow(parent), ui(new Ui::frmSolicitudes) {
    // Las pestañas marcan opciones al construirse: sus interfaces accesibles tienen que ser ya las
    // nuestras.
    instalarInterfacesAccesibles();
    ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    // Cada orden por su propia acción: la barra de menú avisa dos veces de una misma acción.
    for (QAction* accion : ui->mnuBarra->actions())
        connect(accion, &QAction::triggered, this, [this, accion] { mnuP_Triggered(accion); });
    // Además de la letra subrayada (Alt+letra), los atajos de siempre en un escritorio; guardar
    // también con Ctrl+G, la inicial en castellano.
    // Fijos, no los del tema del escritorio: sin escritorio (o con uno mínimo) no habría ninguno.
    ui->mnuP1000->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    ui->mnuP2000->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_G), QKeySequence(Qt::CTRL | Qt::Key_S)});
    ui->mnuP2500->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    ui->mnuP3000->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    ui->mnuP4000->setShortcut(QKeySequence(Qt::Key_F1));
    connect(ui->tabPrincipal, &QTabWidget::currentChanged, this,
            &frmSolicitudes::tabPrincipal_Click);
    m_temporizador.setObjectName(QStringLiteral("Timer1"));
    m_temporizador.setInterval(10000);
    connect(&m_temporizador, &QTimer::timeout, this, [this] {
        m_temporizador.stop();
        habilitarMenuSolicitud();
    });
    prepararBusqueda();
    // En una pantalla pequeña o con letra grande, las pestañas se desplazan y las cajas no se
    // aprietan por debajo de lo que cabe en ellas (una fecha, un DNI).
    anchoMinimoPorContenido(this);
    // Antes de enseñar la barra de estado, que se prepara aparte.
    prepararAccesibilidad(this);
    // Lo que el código de barras no puede llevar no entra en ninguna caja; se dice cada vez,
    // porque lo que se ve en pantalla no es lo que se escribió.
    auto* aviso = new AvisoEstado(statusBar());
    for (QLineEdit* caja : findChildren<QLineEdit*>()) {
        if (qobject_cast<QComboBox*>(caja->parentWidget())) continue;
        depurarTextoCodigo(caja, [aviso] {
            aviso->avisar(
                QStringLiteral("Se ha quitado lo que la solicitud impresa no puede llevar: el "
                               "carácter \"|\" y las letras de fuera del alfabeto de Europa "
                               "occidental (cambiadas por su letra sin signo cuando la hay)."),
                30000);
        });
    }
}

frmSolicitudes::~frmSolicitudes() {
    delete ui;
}

QTabWidget* frmSolicitudes::tabPrincipal() const {
    return ui->tabPrincipal;
}

QLineEdit* frmSolicitudes::txtDNI() const {
    return ui->pestanaSolicitante->controles().txtDNI;
}

PestanaSolicitante* frmSolicitudes::pestanaSolicitante() const {
    return ui->pestanaSolicitante;
}

QLabel* frmSolicitudes::lblCat() const {
    return ui->pestanaVacantes->controles().lblCat;
}

PestanaVacantes* frmSolicitudes::pestanaVacantes() const {
    return ui->pestanaVacantes;
}

PestanaResultas* frmSolicitudes::pestanaResultas() const {
    return ui->pestanaResultas;
}

PestanaCursos* frmSolicitudes::pestanaCursos() const {
    return ui->pestanaCursos;
}

PestanaDocumentos* frmSolicitudes::pestanaDocumentos() const {
    return ui->pestanaDocumentos;
}

QList<QWidget*> frmSolicitudes::controlesConCampo() const {
    return ui->pestanaSolicitante->controlesConCampo();
}

QLabel* frmSolicitudes::lblGrid(int indice) const {
    const std::array<QLabel*, kNumPestanas> etiquetas = {
        ui->lblGrid0, ui->pestanaCursos->controles().lblGrid1,
        ui->pestanaVacantes->controles().lblGrid2, ui->pestanaResultas->controles().lblGrid3,
        ui->pestanaDocumentos->controles().lblGrid4};
    return indice >= 0 && indice < kNumPestanas ? etiquetas[size_t(indice)] : nullptr;
}

QAction* frmSolicitudes::mnuP(int indice) const {
    return findChild<QAction*>(QStringLiteral("mnuP%1").arg(indice), Qt::FindDirectChildrenOnly);
}

Resultado frmSolicitudes::cargar() {
    if (Resultado r = LeerConfiguracion(); !r) return r;
    PestanaSolicitante& datos = *ui->pestanaSolicitante;
    datos.enlazarPrefLocalidad();
    // Cambiar la contraseña solo tiene sentido para quien ya la tiene.
    if (!G().UsuarioConPassword) ui->mnuP5000->setVisible(false);
    datos.enlazarCuerpos();
    datos.enlazarCombos();
    ui->pestanaCursos->enlazar();
    ui->pestanaVacantes->enlazar();
    ui->pestanaResultas->enlazar();
    ui->pestanaDocumentos->enlazar();
    G().VersionWord = QString::number(VersionDeWord());
    datos.controles().fraAcopPetConyu->setVisible(true);
    return Resultado::correcto();
}

Resultado frmSolicitudes::LeerConfiguracion() {
    auto leida = leerConfiguracion(rutaConfiguracion());
    if (!leida) return leida.estado();
    const Configuracion& conf = leida.valor();
    G().PlazasPorPagina = conf.PlazasPorPagina;
    for (int i = 0; i < kNumPestanas; ++i) {
        const TabConfig& tab = conf.Tabs[size_t(i)];
        m_tabConfig[size_t(i)] = tab;
        ui->tabPrincipal->setTabText(i, tab.TituloTab);
        lblGrid(i)->setText(tab.TituloSobreGrid);
        // Ocultarla no basta: Ctrl+Tab llegaría igual a una pestaña oculta pero habilitada.
        ui->tabPrincipal->setTabVisible(i, tab.visible());
        ui->tabPrincipal->setTabEnabled(i, tab.visible());
    }
    G().CarpetaPlantillas = conf.CarpetaPlantillas;
    setWindowTitle(tituloConVersion(conf.Nombre));
    return Resultado::correcto();
}

void frmSolicitudes::mnuP_Triggered(QAction* accion) {
    mnuP_Click(accion->property("indice").toInt());
}

void frmSolicitudes::pasosComunesDelMenu() {
    QCoreApplication::processEvents();
    ui->pestanaCursos->setModoCurso(1);
    ui->pestanaVacantes->panel().setModo(1);
    ui->pestanaResultas->panel().setModo(1);
    for (const PTabla& lista : {G().rsResultasSolicitadas, G().rsVacantesSolicitadas})
        if (lista) RenumerarOrden(lista, QStringLiteral("Orden"));
    ui->pestanaCursos->LimpiarCurso();
    ui->pestanaCursos->controles().grdCursos->limpiarSeleccion();
    ui->pestanaResultas->controles().grdResultas->limpiarSeleccion();
    ui->pestanaVacantes->controles().grdVacantes->limpiarSeleccion();
}

void frmSolicitudes::mnuP_Click(int indice) {
    if (m_guardando || insertandoPlazas(*ui)) return;
    const bool escribeOImprime = indice == 1000 || indice == 2000 || indice == 2500;
    if (escribeOImprime && (m_imprimiendo || m_temporizador.isActive())) return;
    pasosComunesDelMenu();
    switch (indice) {
        case 1000:
            imprimir();
            break;
        case 2000:
            GuardarSolicitud(false, false);
            break;
        case 2500:
            cargarOtraSolicitud();
            break;
        case 3000:
            close();
            break;
        case 4000:
            abrirManual();
            break;
        case 5000:
            cambiarContrasena();
            break;
        default:
            break;
    }
}

void frmSolicitudes::tabPrincipal_Click(int pestana) {
    if (m_volviendoAPrimera) return;
    const Ui::PestanaSolicitante& d = ui->pestanaSolicitante->controles();
    if (pestana != 0 && (txtDNI()->text().isEmpty() || d.cboCuerpo->valor().isEmpty() ||
                         d.cboGrupo->valor().isEmpty())) {
        m_volviendoAPrimera = true;
        ui->tabPrincipal->setCurrentIndex(0);
        m_volviendoAPrimera = false;
        mostrarMensaje(QStringLiteral("Compruebe que ha rellenado los datos del formulario"),
                       QStringLiteral("Datos incompletos"), Icono::Exclamacion, Botones::Aceptar);
        return;
    }
    habilitarMenuSolicitud();
}

void frmSolicitudes::habilitarMenuSolicitud() {
    if (m_imprimiendo || m_temporizador.isActive()) return;
    for (QAction* a : {ui->mnuP1000, ui->mnuP2000, ui->mnuP2500}) a->setEnabled(true);
}

void frmSolicitudes::cargarOtraSolicitud() {
    const Respuesta r =
        mostrarMensaje(QStringLiteral("¿Guardar la solicitud actual?"), QStringLiteral("GUARDAR"),
                       Icono::Ninguno, Botones::SiNoCancelar);
    if (r == Respuesta::Cancelar) return;
    // Quien pidió cargar otra va a la lista tras guardar; si no se guardó, lo escrito sigue aquí.
    if (r == Respuesta::Si && !GuardarSolicitud(false, false)) return;
    // El selector con las solicitudes de ahora (las guardadas hace un momento incluidas).
    ListarSolicitudes(G().DNIUsuario);
    auto* selector = new frmSeleccion([] {
        if (!CargarYAbrirSolicitud()) QCoreApplication::exit(kSalidaFallo);
    });
    selector->ocultarNueva();
    selector->show();
    m_cambiandoSolicitud = true;
    close();
}

void frmSolicitudes::abrirManual() {
    // También si el visor no llega a abrirse: el abridor del escritorio termina con error.
    const auto avisar = [](const Resultado& r) {
        mostrarMensaje(r.mensaje(), kTituloPrograma, Icono::Exclamacion, Botones::Aceptar);
    };
    const Resultado r =
        AbrirManual(carpetaAplicacion() + QStringLiteral("/Manual de Usuario.doc"), *this, avisar);
    if (!r) avisar(r);
}

void frmSolicitudes::cambiarContrasena() {
    frmCreaPwd contrasena(this);
    contrasena.setStrDNI(txtDNI()->text());
    contrasena.exec();
}

void frmSolicitudes::closeEvent(QCloseEvent* evento) {
    // Mientras se entrega una impresión el formulario no se cierra.
    if (m_temporizador.isActive() || m_imprimiendo || m_guardando || insertandoPlazas(*ui)) {
        evento->ignore();
        return;
    }
    guardarGeometria(this, kClaveGeometriaFormulario);
    // Al cambiar de solicitud las tablas siguen: el selector y la carga siguiente las usan.
    if (m_cambiandoSolicitud) {
        evento->accept();
        return;
    }
    if (!m_cerrandoPorExistente) {
        const Respuesta r =
            mostrarMensaje(QStringLiteral("La aplicación se cerrará, ¿desea guardar los cambios?"),
                           QStringLiteral("Solicitud"), Icono::Exclamacion, Botones::SiNoCancelar);
        // Un "Sí" que no llega a guardar no cierra: lo escrito sigue en pantalla.
        if (r == Respuesta::Cancelar || (r == Respuesta::Si && !GuardarSolicitud(false, false))) {
            evento->ignore();
            return;
        }
    }
    CerrarTablas();
    evento->accept();
}
