#pragma once

#include <QWidget>
#include <memory>

class QLabel;
class QProgressBar;
class QPushButton;

namespace Ui {
class frmProgresoGeneral;
}

// Ventanita de progreso mientras se guarda o se lee una solicitud: lo que se hace (lblAccion) y
// una barra (prgBar), y un botón cmdCancelar, escondido salvo en los trabajos que se pueden parar.
// No bloquea; se repinta al avanzar.
class frmProgresoGeneral : public QWidget {
    Q_OBJECT
public:
    explicit frmProgresoGeneral(QWidget* parent = nullptr);
    ~frmProgresoGeneral() override;

    QLabel* lblAccion() const;
    QProgressBar* prgBar() const;
    QPushButton* cmdCancelar() const;
    // Avanza la barra uno (sin pasar del máximo) y la deja a la vista.
    void avanzar();

private:
    std::unique_ptr<Ui::frmProgresoGeneral> ui;
};
