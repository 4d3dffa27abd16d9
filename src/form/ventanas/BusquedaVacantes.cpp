// Lo que hace cada control de búsqueda de la pestaña de Vacantes y el "Cancelar" de su búsqueda.
#include "form/ventanas/FiltroTeclas.h"
#include "form/ventanas/PestanaVacantes.h"
#include "global/Globales.h"
#include "platform/ventanas/ComboDatos.h"
#include "ui_PestanaVacantes.h"

#include <QScopedValueRollback>

void PestanaVacantes::cboProvinciaVacantes_Click() {
    RecalcularListasVacantes(QString());
    aplicarFiltro();
    ui->txtCodVacante->clear();
    contar();
    enviarTab(ui->cboProvinciaVacantes);
    HabilitarBusquedaVacantes();
}

void PestanaVacantes::cboProvinciaVacantes_LostFocus() {
    RecalcularListasVacantes(QString());
    aplicarFiltro();
    contar();
    if (ui->cboProvinciaVacantes->coincide()) HabilitarBusquedaVacantes();
}

void PestanaVacantes::cboConsejeriaOArea_Click() {
    auto* combo = qobject_cast<ComboDatos*>(sender());
    RecalcularListasVacantes(QString());
    aplicarFiltro();
    ui->txtCodVacante->clear();
    contar();
    if (combo) enviarTab(combo);
}

void PestanaVacantes::cboConsejeriaOArea_LostFocus() {
    RecalcularListasVacantes(QString());
    aplicarFiltro();
    contar();
}

void PestanaVacantes::cboLocalidadVacantes_Change() {
    ComboDatos* localidad = ui->cboLocalidadVacantes;
    if (m_enCambio || !localidad->isEnabled()) return;
    if (!localidad->texto().isEmpty() && !localidad->coincide()) return;
    QScopedValueRollback<bool> enCambio(m_enCambio, true);
    if (ui->cboConsejeriaVacantes->texto().isEmpty() && localidad->texto().isEmpty())
        ui->cboZonasVacantes->setEnabled(true);
    RecalcularListasVacantes(QStringLiteral("LOCALIDAD"));
    aplicarFiltro();
    contar();
    ui->txtCodVacante->clear();
}

void PestanaVacantes::cboZonasVacantes_Change() {
    ComboDatos* zona = ui->cboZonasVacantes;
    if (m_enCambio || !zona->isEnabled()) return;
    if (!zona->texto().isEmpty() && !zona->coincide()) return;
    QScopedValueRollback<bool> enCambio(m_enCambio, true);
    if (zona->texto().isEmpty() && ui->cboConsejeriaVacantes->texto().isEmpty())
        ui->cboLocalidadVacantes->setEnabled(true);
    RecalcularListasVacantes(QStringLiteral("ZONABASICA"));
    aplicarFiltro();
    contar();
    ui->txtCodVacante->clear();
}

void PestanaVacantes::txtCodVacante_LostFocus() {
    aplicarFiltro();
    const PTabla& plazas = G().rsVacantesCuerpo;
    // Sin código escrito no hay plaza que elegir: el foco se queda donde lo puso el usuario.
    if (!plazas || plazas->numeroRegistros() == 0 || ui->txtCodVacante->text().isEmpty()) return;
    ui->cboPuestoVacante->setValor(ui->txtCodVacante->text());
    ui->cmdAceptarVacante->setFocus(Qt::OtherFocusReason);
}

void PestanaVacantes::reiniciarBusqueda() {
    QScopedValueRollback<bool> enCambio(m_enCambio, true);
    const Globales& g = G();
    for (ComboDatos* c :
         {ui->cboConsejeriaVacantes, ui->cboLocalidadVacantes, ui->cboProvinciaVacantes})
        c->setValor(QString());
    ui->txtCodVacante->clear();
    ui->cboAreasVacantes->setValor(QString());
    ui->cboZonasVacantes->setEnabled(true);
    for (const PTabla& t :
         {g.rsAreas, g.rsZonas, g.rsLocalidadesVacantes, g.rsConsejeriasVacantes, g.rsProvincias})
        if (t) t->filtrar(QString());
    ui->cboZonasVacantes->setValor(QString());
    ui->txtCodVacante->setEnabled(true);
    aplicarFiltro();
    contar();
    if (g.rsLocalidadesVacantes) g.rsLocalidadesVacantes->filtrar(QString());
    HabilitarBusquedaVacantes();
}
