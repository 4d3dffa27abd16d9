// Grupos de opciones de la pestaña del solicitante y las cascadas de sus combos.
#include "catalogue/ventanas/EnlazarCombo.h"
#include "form/ventanas/PestanaSolicitante.h"
#include "global/Globales.h"
#include "platform/ventanas/OpcionVigilada.h"
#include "ui_PestanaSolicitante.h"

namespace {

void mostrar(std::initializer_list<QWidget*> controles, bool visible) {
    for (QWidget* w : controles) w->setVisible(visible);
}

// Quita el filtro de la tabla y pone el nuevo, como dos pasos.
void refiltrar(const PTabla& tabla, const QString& filtro) {
    if (!tabla) return;
    tabla->filtrar(QString());
    tabla->filtrar(filtro);
}

}  // namespace

void PestanaSolicitante::conectar(QRadioButton* opcion, void (PestanaSolicitante::*manejador)()) {
    std::function<void()> llamada = [this, manejador] { (this->*manejador)(); };
    m_manejadores.insert(opcion, llamada);
    alElegirOpcion(opcion, this, llamada);
}

void PestanaSolicitante::conectarOpciones() {
    conectar(ui->optDiscNo, &PestanaSolicitante::optDiscNo_Click);
    conectar(ui->optDiscSi, &PestanaSolicitante::optDiscSi_Click);
    conectar(ui->optDefinitivo, &PestanaSolicitante::optDefinitivo_Click);
    conectar(ui->optTemporal, &PestanaSolicitante::optTemporal_Click);
    conectar(ui->OptSi, &PestanaSolicitante::OptSiNo_Click);
    conectar(ui->OptNo, &PestanaSolicitante::OptSiNo_Click);
    conectar(ui->optSSOtros, &PestanaSolicitante::optSSOtros_Click);
    conectar(ui->optSSNorsa, &PestanaSolicitante::optSSNorsa_Click);
    conectar(ui->optActivo, &PestanaSolicitante::optActivo_Click);
    conectar(ui->optOtras, &PestanaSolicitante::optOtras_Click);
    conectar(ui->optForzoso, &PestanaSolicitante::optForzoso_Click);
    conectar(ui->optPetConyugeSi, &PestanaSolicitante::optPetConyugeSi_Click);
    conectar(ui->optPetConyugeNo, &PestanaSolicitante::optPetConyugeNo_Click);
    // "Voluntario" y el reingreso no hacen nada más que quedar marcados.
}

void PestanaSolicitante::optDiscNo_Click() {
    mostrar({ui->lblAdap, ui->lblTipoDis, ui->txtAdaptaciones, ui->txtTipoDisc}, false);
    ui->txtTipoDisc->clear();
    ui->txtAdaptaciones->clear();
}

void PestanaSolicitante::optDiscSi_Click() {
    mostrar({ui->lblAdap, ui->lblTipoDis, ui->txtAdaptaciones, ui->txtTipoDisc}, true);
}

void PestanaSolicitante::optDefinitivo_Click() {
    ajustarFechaPosesion();
}

void PestanaSolicitante::optTemporal_Click() {
    ajustarFechaPosesion();
    ui->txtFecPosesion->clear();
}

// La fecha de toma de posesión solo se pide de un destino actual definitivo.
void PestanaSolicitante::ajustarFechaPosesion() {
    const bool visible = ui->OptSi->isChecked() && ui->optDefinitivo->isChecked();
    mostrar({ui->txtFecPosesion, ui->lblPosesion}, visible);
}

void PestanaSolicitante::OptSiNo_Click() {
    const bool conDestino = ui->OptSi->isChecked();
    mostrar({ui->fraServicioSalud, ui->fraRegion, ui->fraDefTemp}, conDestino);
    ajustarFechaPosesion();
    if (conDestino) return;
    for (QLineEdit* caja : {ui->txtFecPosesion, ui->txtPuesto, ui->txtLocalidadPuesto,
                            ui->txtProvinciaPuesto, ui->txtSS})
        caja->clear();
}

void PestanaSolicitante::optSSOtros_Click() {
    ui->txtSS->setVisible(true);
    ui->txtSS->setFocus(Qt::OtherFocusReason);
}

void PestanaSolicitante::optSSNorsa_Click() {
    ui->txtSS->setVisible(false);
    ui->txtSS->clear();
}

void PestanaSolicitante::optActivo_Click() {
    ui->fraReingreso->setEnabled(false);
    elegirOpcion(ui->optReingresoNo);
    mostrar({ui->txtFechaSit, ui->lblFechaSit, ui->txtSitAdm}, false);
    ui->txtFechaSit->clear();
    ui->txtSitAdm->clear();
    ui->cboSituaciones->setValor(QString());
    ui->cboSituaciones->setVisible(false);
}

void PestanaSolicitante::optOtras_Click() {
    ui->fraReingreso->setEnabled(true);
    mostrar({ui->cboSituaciones, ui->txtFechaSit, ui->lblFechaSit}, true);
}

void PestanaSolicitante::optForzoso_Click() {
    elegirOpcion(ui->optPetConyugeNo);
    ui->fraDNIConyuge->setVisible(false);
    ui->txtDNIConyuge->clear();
    ui->fraAcopPetConyu->setVisible(false);
}

void PestanaSolicitante::optPetConyugeSi_Click() {
    ui->fraDNIConyuge->setVisible(true);
}

void PestanaSolicitante::optPetConyugeNo_Click() {
    ui->fraDNIConyuge->setVisible(false);
    for (QLineEdit* caja :
         {ui->txtDNIConyuge, ui->txtConyuApellido1, ui->txtCOnyuApellido2, ui->txtConyuNombre})
        caja->clear();
}

void PestanaSolicitante::conectarCascadas() {
    connect(ui->cboPrefArea, &ComboDatos::filaElegidaPorUsuario, this,
            &PestanaSolicitante::cboPrefArea_Click);
    connect(ui->cboProvinciasTarv, &ComboDatos::filaElegidaPorUsuario, this,
            &PestanaSolicitante::cboProvinciasTarv_Click);
    connect(ui->cboAreaTarv, &ComboDatos::filaElegidaPorUsuario, this,
            &PestanaSolicitante::cboAreaTarv_Click);
    connect(ui->cboSituaciones, &ComboDatos::filaElegidaPorUsuario, this,
            &PestanaSolicitante::cboSituaciones_Click);
    // La segunda lista de zonas del destino imprime el mismo campo que cboZBSTarv y va después en
    // el orden de los controles: lleva siempre su mismo texto para no borrar en el papel la zona
    // elegida.
    connect(ui->cboZBSTarv, &QComboBox::editTextChanged, this, [this](const QString& texto) {
        if (ui->SSOleDBCombo1->texto() != texto) ui->SSOleDBCombo1->setTexto(texto);
    });
}

void PestanaSolicitante::cboPrefArea_Click() {
    // rsAreas y rsZonas son las mismas tablas (y cursores) que las de la búsqueda de Vacantes:
    // estos filtros también restringen sus listas hasta que esa búsqueda vuelva a filtrar.
    refiltrar(G().rsLocalidades, QStringLiteral("CodProvincia='") +
                                     ui->cboPrefArea->valorColumna(QStringLiteral("CodProvincia")) +
                                     QStringLiteral("' "));
    EnlazarCombo(*ui->cboPrefLocalidad, G().rsLocalidades);
    if (ui->cboPrefArea->coincide()) ui->cboPrefLocalidad->setValor(QString());
    refiltrar(G().rsZonas, QStringLiteral("CodArea='") +
                               ui->cboPrefArea->valorColumna(QStringLiteral("CodArea")) +
                               QStringLiteral("' "));
    EnlazarCombo(*ui->cboPrefProvincia, G().rsZonas);
    if (ui->cboPrefArea->coincide()) ui->cboPrefProvincia->setValor(QString());
}

void PestanaSolicitante::cboProvinciasTarv_Click() {
    const QString clausula =
        QStringLiteral("CodProvincia='") + ui->cboProvinciasTarv->valor() + QStringLiteral("' ");
    refiltrar(G().rsAreasTarv, clausula);
    EnlazarCombo(*ui->cboAreaTarv, G().rsAreasTarv);
    if (ui->cboAreaTarv->coincide()) ui->cboAreaTarv->setValor(QString());
    refiltrar(G().rsLocalidadesTarv, clausula);
    EnlazarCombo(*ui->cboLocalidadesTarv, G().rsLocalidadesTarv);
    if (ui->cboLocalidadesTarv->coincide()) ui->cboLocalidadesTarv->setValor(QString());
}

void PestanaSolicitante::cboAreaTarv_Click() {
    refiltrar(G().rsZonasTarv,
              QStringLiteral("CodArea='") + ui->cboAreaTarv->valor() + QStringLiteral("' "));
    EnlazarCombo(*ui->cboZBSTarv, G().rsZonasTarv);
    if (ui->cboZBSTarv->coincide()) ui->cboZBSTarv->setValor(QString());
}

void PestanaSolicitante::cboSituaciones_Click() {
    ui->txtSitAdm->clear();
    if (ui->cboSituaciones->valorColumna(QStringLiteral("esOtras")) != QLatin1String("1")) {
        ui->txtSitAdm->setVisible(false);
        ui->txtSitAdm->setText(ui->cboSituaciones->texto());
        return;
    }
    ui->txtSitAdm->setVisible(true);
    ui->txtSitAdm->setFocus(Qt::OtherFocusReason);
}
