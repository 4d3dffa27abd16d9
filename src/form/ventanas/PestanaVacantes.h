#pragma once

#include "form/FiltroPlazas.h"

#include <QWidget>
#include <functional>
#include <memory>

class PanelPlazas;
struct ContextoPanel;

namespace Ui {
class PestanaVacantes;
}

// Pestaña de las plazas Vacantes: la búsqueda (provincia primero; localidad y zona se excluyen;
// la provincia cuenta por sus áreas), la cuenta de plazas localizadas y la lista pedida.
class PestanaVacantes : public QWidget {
    Q_OBJECT
public:
    explicit PestanaVacantes(QWidget* parent = nullptr);
    ~PestanaVacantes() override;

    Ui::PestanaVacantes& controles() { return *ui; }
    PanelPlazas& panel() { return *m_panel; }

    // El formulario da lo que la pestaña necesita de él (cuerpo, grupo, HabilitarBusqueda...).
    void preparar(ContextoPanel contexto);
    void enlazar();

    // Lo elegido en la búsqueda, como lo lee el filtro.
    PanelBusqueda panelBusqueda() const;
    // FiltroPlazas("V") aplicado a rsVacantesCuerpo; "0" lo quita.
    void aplicarFiltro();
    void contar();
    void RecalcularListasVacantes(const QString& modo);
    void HabilitarBusquedaVacantes();
    // La búsqueda como al principio (tras el "Cancelar" de la lista).
    void reiniciarBusqueda();

private:
    void conectar();
    QStringList areasVisibles() const;
    void cboProvinciaVacantes_Click();
    void cboProvinciaVacantes_LostFocus();
    void cboConsejeriaOArea_Click();
    void cboConsejeriaOArea_LostFocus();
    void cboLocalidadVacantes_Change();
    void cboZonasVacantes_Change();
    void txtCodVacante_LostFocus();

    std::unique_ptr<Ui::PestanaVacantes> ui;
    PanelPlazas* m_panel = nullptr;
    // Un manejador de cambio no vuelve a entrar por los cambios que él mismo provoca.
    bool m_enCambio = false;
};
