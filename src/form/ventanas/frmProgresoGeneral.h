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
// No bloquea; quien la enseña le lleva la barra.
// Mientras el trabajo que sigue está en marcha (ocupada) no se cierra, ni con el botón de cerrar,
// ni con Alt+F4, ni con Escape: quien la enseña modal no dejaría de serlo, y lo que hay detrás
// cambiaría mientras el trabajo lo usa. Si el trabajo se puede parar, cerrarla lo pide como el
// botón Cancelar.
class frmProgresoGeneral : public QWidget {
    Q_OBJECT
public:
    explicit frmProgresoGeneral(QWidget* parent = nullptr);
    ~frmProgresoGeneral() override;

    QLabel* lblAccion() const;
    QProgressBar* prgBar() const;
    QPushButton* cmdCancelar() const;

    void setOcupada(bool ocupada) { m_ocupada = ocupada; }
    bool ocupada() const { return m_ocupada; }

protected:
    void closeEvent(QCloseEvent* evento) override;
    void keyPressEvent(QKeyEvent* evento) override;

private:
    bool m_ocupada = false;
    std::unique_ptr<Ui::frmProgresoGeneral> ui;
};
