#pragma once

#include "form/FiltroPlazas.h"
#include "platform/Tabla.h"

#include <QWidget>
#include <memory>

class PanelPlazas;
struct ContextoPanel;

namespace Ui {
class PestanaResultas;
}

// Pestaña de las plazas Resultas: su búsqueda filtra sus listas en cada combo (la provincia no se
// bloquea, el área y la zona van por segundos cursores de las de Vacantes) y la lista pedida.
class PestanaResultas : public QWidget {
    Q_OBJECT
public:
    explicit PestanaResultas(QWidget* parent = nullptr);
    ~PestanaResultas() override;

    Ui::PestanaResultas& controles() { return *ui; }
    PanelPlazas& panel() { return *m_panel; }

    void preparar(ContextoPanel contexto);
    // Crea los segundos cursores de áreas y zonas y enlaza los combos y la rejilla.
    void enlazar();
    const PTabla& rsAreasResultas() const { return m_rsAreasResultas; }
    const PTabla& rsZonasResultas() const { return m_rsZonasResultas; }

    PanelBusqueda panelBusqueda() const;
    void aplicarFiltro();
    void reiniciarBusqueda();

private:
    void conectar();
    void filtrarPorProvincia(const QString& provincia);
    void cboProvinciaResultas_Click();
    void cboProvinciaResultas_LostFocus();
    void cboLocalidadResultas_Click();
    void cboLocalidadResultas_LostFocus();
    void cboConsejeriaResultas_Click();
    void cboConsejeriaResultas_LostFocus();
    void cboAreasResultas_Click();
    void cboAreasResultas_LostFocus();
    void cboZonasResultas_Click();
    void cboZonasResultas_LostFocus();
    void txtCodResulta_LostFocus();

    std::unique_ptr<Ui::PestanaResultas> ui;
    PanelPlazas* m_panel = nullptr;
    PTabla m_rsAreasResultas;
    PTabla m_rsZonasResultas;
};
