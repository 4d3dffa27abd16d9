#pragma once

#include <QWidget>
#include <memory>

class QLabel;
class QProgressBar;

namespace Ui {
class frmProgresoGeneral;
}

// Ventanita de progreso mientras se guarda o se lee una solicitud: lo que se hace (lblAccion) y
// una barra (prgBar). No bloquea; se repinta al avanzar.
class frmProgresoGeneral : public QWidget {
    Q_OBJECT
public:
    explicit frmProgresoGeneral(QWidget* parent = nullptr);
    ~frmProgresoGeneral() override;

    QLabel* lblAccion() const;
    QProgressBar* prgBar() const;
    // Avanza la barra uno (sin pasar del máximo) y la deja a la vista.
    void avanzar();

private:
    std::unique_ptr<Ui::frmProgresoGeneral> ui;
};
