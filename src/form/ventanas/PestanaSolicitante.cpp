#include "form/ventanas/PestanaSolicitante.h"

#include "catalogue/ventanas/EnlazarCombo.h"
#include "form/Fechas.h"
#include "form/ventanas/FiltroTeclas.h"
#include "global/Globales.h"
#include "platform/ServicioMensajes.h"
#include "ui_PestanaSolicitante.h"
#include "users/Validacion.h"
#include "users/ventanas/ValidarDNI.h"

#include <QApplication>
#include <QDate>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QPointer>
#include <QScrollArea>
#include <QTabWidget>
#include <QTimer>

namespace {

// Los anchos de las columnas de los cuerpos vienen en twips (15 por píxel a 96 ppp).
constexpr int kTwipsPorPixel = 15;

}  // namespace

PestanaSolicitante::PestanaSolicitante(QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::PestanaSolicitante>()) {
    ui->setupUi(this);
    // Dos grupos de opciones sin pregunta escrita en pantalla: la suya, para el lector de
    // pantalla (el segundo nunca se enseña, pero se imprime).
    ui->fraDefTemp->setAccessibleName(QStringLiteral("Carácter del destino actual"));
    ui->fraForzVol->setAccessibleName(QStringLiteral("Forma de participación"));
    prepararVisibilidadInicial();
    prepararListas();
    prepararTeclado();
    conectarOpciones();
    conectarCascadas();
    vigilarZonaDesplazable();
}

PestanaSolicitante::~PestanaSolicitante() = default;

void PestanaSolicitante::prepararVisibilidadInicial() {
    // Lo que corresponde a las opciones marcadas de partida. El marco de la región empieza oculto
    // aunque "Sí" del destino actual esté marcado: aparece al elegir una de las dos opciones.
    for (QWidget* w : std::initializer_list<QWidget*>{
             ui->fraDNIConyuge, ui->txtTipoDisc, ui->lblTipoDis, ui->txtAdaptaciones, ui->lblAdap,
             ui->txtSS, ui->cboSituaciones, ui->txtSitAdm, ui->txtFechaSit, ui->lblFechaSit,
             ui->fraRegion, ui->fraPreferencia, ui->fraForzVol, ui->txtPuesto,
             ui->txtLocalidadPuesto, ui->txtProvinciaPuesto, ui->SSOleDBCombo1})
        w->setVisible(false);
    // Con "Activo" marcado el reingreso no se pide.
    ui->fraReingreso->setEnabled(false);
}

void PestanaSolicitante::prepararListas() {
    const QString codigo = QStringLiteral("Código");
    ui->cboCuerpo->setColumnasLista({"CodCuerpo", "DescCuerpo", "Grupo"},
                                    {codigo, QStringLiteral("Categoría"), QStringLiteral("Grupo")});
    ui->cboGrupo->setColumnasLista({"Grupo"}, {QStringLiteral("Grupo")});
    for (ComboDatos* c : {ui->cboProvincia, ui->cboProvinciasTarv})
        c->setColumnasLista({"CodProvincia", "Provincia"}, {codigo, QStringLiteral("Provincia")});
    for (ComboDatos* c : {ui->cboAreaTarv, ui->cboPrefArea})
        c->setColumnasLista({"CodArea", "Area"}, {codigo, QStringLiteral("Área")});
    for (ComboDatos* c : {ui->cboZBSTarv, ui->SSOleDBCombo1, ui->cboPrefProvincia})
        c->setColumnasLista({"CodZona", "Zona"}, {codigo, QStringLiteral("Zona Básica de Salud")});
    for (ComboDatos* c : {ui->cboLocalidadesTarv, ui->cboPrefLocalidad})
        c->setColumnasLista({"CodLocalidad", "Localidad"}, {codigo, QStringLiteral("Localidad")});
    ui->cboSituaciones->setColumnasLista({"Situacion"}, {QStringLiteral("Situación")});
    // Anchos de la lista (columnas de la tabla): el código estrecho, el nombre entero.
    for (ComboDatos* c :
         {ui->cboProvincia, ui->cboProvinciasTarv, ui->cboAreaTarv, ui->cboPrefArea, ui->cboZBSTarv,
          ui->SSOleDBCombo1, ui->cboPrefProvincia, ui->cboLocalidadesTarv, ui->cboPrefLocalidad}) {
        c->setAnchoColumna(0, 70);
        c->setAnchoColumna(1, 320);
    }
    ui->cboSituaciones->setAnchoColumna(1, 380);
}

void PestanaSolicitante::prepararTeclado() {
    for (QLineEdit* caja : {ui->txtTelefono, ui->txtCP}) FiltroTeclas::instalarNumerico(caja);
    FiltroTeclas::instalarSin(ui->txtDNI, QStringLiteral(",-."));
    FiltroTeclas::instalarSin(ui->txtDNIConyuge, QStringLiteral(".,"));
    // Seis combos que solo se eligen de su lista.
    for (ComboDatos* combo : {ui->cboCuerpo, ui->cboGrupo, ui->cboProvincia, ui->cboPrefArea,
                              ui->cboPrefLocalidad, ui->cboPrefProvincia})
        combo->setAdmiteEscritura(false);

    m_seleccionarAlEntrar = {ui->txtApellido1,
                             ui->txtApellido2,
                             ui->txtNombre,
                             ui->txtDNI,
                             ui->txtFecNacimiento,
                             ui->txtTelefono,
                             ui->txtDomicilio,
                             ui->txtLocalidad,
                             ui->txtCP,
                             ui->txtTipoDisc,
                             ui->txtAdaptaciones,
                             ui->txtNRP,
                             ui->txtFechaIngreso,
                             ui->txtFecPosesion,
                             ui->txtFechaSit,
                             ui->txtPuesto,
                             ui->txtLocalidadPuesto,
                             ui->txtDNIConyuge,
                             ui->txtConyuApellido1,
                             ui->txtCOnyuApellido2,
                             ui->txtConyuNombre};
    m_fechas = {ui->txtFecNacimiento, ui->txtFechaIngreso, ui->txtFechaSit, ui->txtFecPosesion};
    for (QLineEdit* caja : m_seleccionarAlEntrar) caja->installEventFilter(this);
}

QList<QWidget*> PestanaSolicitante::controlesConCampo() const {
    return {ui->txtApellido1,
            ui->txtApellido2,
            ui->txtNombre,
            ui->txtDNI,
            ui->txtFecNacimiento,
            ui->txtTelefono,
            ui->txtDomicilio,
            ui->txtLocalidad,
            ui->txtCP,
            ui->txtTipoDisc,
            ui->txtAdaptaciones,
            ui->txtNRP,
            ui->txtFechaIngreso,
            ui->txtSS,
            ui->txtFecPosesion,
            ui->txtSitAdm,
            ui->txtFechaSit,
            ui->txtProvAct,
            ui->txtZBSAct,
            ui->txtInstiAct,
            ui->txtPuesto,
            ui->txtLocalidadPuesto,
            ui->txtProvinciaPuesto,
            ui->txtDNIConyuge,
            ui->txtConyuApellido1,
            ui->txtCOnyuApellido2,
            ui->txtConyuNombre,
            ui->optForzoso,
            ui->optVoluntario,
            ui->optDiscSi,
            ui->optDiscNo,
            ui->optPetConyugeSi,
            ui->optPetConyugeNo,
            ui->optReingesoSi,
            ui->optReingresoNo,
            ui->optActivo,
            ui->optOtras,
            ui->optSSNorsa,
            ui->optSSOtros,
            ui->optDefinitivo,
            ui->optTemporal,
            ui->cboCuerpo,
            ui->cboGrupo,
            ui->cboProvincia,
            ui->cboProvinciasTarv,
            ui->cboAreaTarv,
            ui->cboLocalidadesTarv,
            ui->cboZBSTarv,
            ui->SSOleDBCombo1,
            ui->cboPrefLocalidad,
            ui->cboPrefProvincia,
            ui->cboPrefArea};
}

void PestanaSolicitante::enlazarPrefLocalidad() {
    EnlazarCombo(*ui->cboPrefLocalidad, G().rsLocalidades);
}

void PestanaSolicitante::enlazarCuerpos() {
    if (G().rsCuerpos) {
        G().rsCuerpos->filtrar(QString());
        G().rsCuerpos->filtrar(QStringLiteral("Grupo <> '") + QStringLiteral("X") +
                               QStringLiteral("'"));
    }
    EnlazarCombo(*ui->cboCuerpo, G().rsCuerpos);
    ui->cboCuerpo->setAnchoColumna(0, 900 / kTwipsPorPixel);
    ui->cboCuerpo->setAnchoColumna(1, 5700 / kTwipsPorPixel);
}

void PestanaSolicitante::enlazarCombos() {
    const Globales& g = G();
    EnlazarCombo(*ui->cboGrupo, g.rsGrupos);
    EnlazarCombo(*ui->cboPrefArea, g.rsAreas);
    EnlazarCombo(*ui->cboPrefProvincia, g.rsZonas);
    EnlazarCombo(*ui->cboProvincia, g.rsProvinciasPersonales);
    EnlazarCombo(*ui->cboSituaciones, g.rsSituaciones);
    EnlazarCombo(*ui->cboProvinciasTarv, g.rsProvincias);
    EnlazarCombo(*ui->cboAreaTarv, g.rsAreasTarv);
    EnlazarCombo(*ui->cboZBSTarv, g.rsZonasTarv);
    EnlazarCombo(*ui->SSOleDBCombo1, g.rsZonasTarv);
    EnlazarCombo(*ui->cboLocalidadesTarv, g.rsLocalidadesTarv);
}

bool PestanaSolicitante::eventFilter(QObject* objeto, QEvent* evento) {
    if (m_zona && objeto == m_zona->viewport()) {
        if (evento->type() == QEvent::Resize) recolocarColumnas();
        return false;
    }
    auto* caja = qobject_cast<QLineEdit*>(objeto);
    if (!caja) return QWidget::eventFilter(objeto, evento);
    switch (evento->type()) {
        case QEvent::FocusIn:
            // Diferido: un clic de ratón coloca el cursor después de recibir el foco.
            QTimer::singleShot(0, caja, &QLineEdit::selectAll);
            break;
        case QEvent::FocusOut: {
            // Cambiar de ventana o abrir un menú o una lista no es salir de la caja.
            const auto motivo = static_cast<QFocusEvent*>(evento)->reason();
            if (motivo == Qt::ActiveWindowFocusReason || motivo == Qt::PopupFocusReason) break;
            if (m_devolviendoFoco) break;
            QPointer<QLineEdit> saliente(caja);
            QTimer::singleShot(0, this, [this, saliente] {
                if (saliente) alSalirDeCaja(saliente);
            });
            break;
        }
        case QEvent::KeyRelease:
            if (caja == ui->txtDNI) txtDNI_KeyUp(static_cast<QKeyEvent*>(evento)->text());
            break;
        default:
            break;
    }
    return false;
}

void PestanaSolicitante::alSalirDeCaja(QLineEdit* caja) {
    // Una caja que una opción acaba de ocultar (y vaciar) o deshabilitar no se comprueba. Cambiar
    // de pestaña no la oculta a ella: se comprueba igual.
    if (!caja->isVisibleTo(this) || !caja->isEnabled()) return;
    if (m_fechas.contains(caja))
        comprobarFecha(caja);
    else if (caja == ui->txtDNI)
        txtDNI_LostFocus();
    else if (caja == ui->txtDNIConyuge)
        txtDNIConyuge_LostFocus();
}

bool PestanaSolicitante::comprobarFechas() {
    for (QLineEdit* caja : std::as_const(m_fechas))
        if (caja->isVisibleTo(this) && caja->isEnabled() && !comprobarFecha(caja)) return false;
    return true;
}

bool PestanaSolicitante::comprobarFecha(QLineEdit* caja) {
    const ComprobacionFecha r = ComprobarFecha(caja->text(), QDate::currentDate());
    if (caja->text() != r.texto) caja->setText(r.texto);
    if (r.veredicto == VeredictoFecha::Vacia || r.veredicto == VeredictoFecha::Correcta)
        return true;
    if (r.veredicto == VeredictoFecha::NoEsFecha && caja == ui->txtFecNacimiento)
        mostrarMensaje(QStringLiteral("Fecha Errónea"), kTituloPrograma, Icono::Ninguno,
                       Botones::Aceptar);
    else
        mostrarMensaje(QStringLiteral("Fecha Errónea"), QStringLiteral("Formato de Fecha erróneo"),
                       Icono::Exclamacion, Botones::Aceptar);
    devolverFoco(caja);
    return false;
}

void PestanaSolicitante::txtDNI_LostFocus() {
    if (ValidarDNI(ui->txtDNI)) return;
    ui->txtDNI->clear();
    devolverFoco(ui->txtDNI);
}

void PestanaSolicitante::txtDNIConyuge_LostFocus() {
    if (ui->txtDNIConyuge->text().isEmpty() || ValidarDNI(ui->txtDNIConyuge)) return;
    devolverFoco(ui->txtDNIConyuge);
}

void PestanaSolicitante::devolverFoco(QLineEdit* caja) {
    m_devolviendoFoco = true;
    // Si se salió de la caja a otra pestaña, se vuelve a esta.
    for (QWidget* w = this; w; w = w->parentWidget()) {
        if (auto* pestanas = qobject_cast<QTabWidget*>(w)) {
            for (int i = 0; i < pestanas->count(); ++i)
                if (pestanas->widget(i)->isAncestorOf(caja)) pestanas->setCurrentIndex(i);
            break;
        }
    }
    caja->setFocus(Qt::OtherFocusReason);
    m_devolviendoFoco = false;
}

void PestanaSolicitante::txtDNI_KeyUp(const QString& texto) {
    // Solo tras escribir un carácter: soltar una flecha o el Tab no echa al usuario de la caja.
    if (texto.isEmpty() || !texto.at(0).isPrint()) return;
    if (ui->txtDNI->text().size() == kLongitudDNI) enviarTab(ui->txtDNI);
}

void PestanaSolicitante::elegirOpcion(QRadioButton* opcion) {
    if (!opcion->isChecked()) {
        opcion->setChecked(true);  // el cambio de estado ejecuta su manejador
        return;
    }
    // Ya marcada no cambia de estado: su manejador se ejecuta igual, como tras un clic.
    if (const auto manejador = m_manejadores.value(opcion)) manejador();
}
