#include "form/ventanas/frmProgresoGeneral.h"

#include "platform/ventanas/Accesibilidad.h"
#include "platform/ventanas/Colocacion.h"
#include "ui_frmProgresoGeneral.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QPushButton>

frmProgresoGeneral::frmProgresoGeneral(QWidget* parent)
    // Sin botón de cerrar: se va sola cuando acaba lo que sigue.
    : QWidget(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      ui(std::make_unique<Ui::frmProgresoGeneral>()) {
    ui->setupUi(this);
    // Encima del formulario que guarda o lee, no en una esquina de la pantalla.
    centrarVentana(this);
    prepararAccesibilidad(this);
}

frmProgresoGeneral::~frmProgresoGeneral() = default;

QLabel* frmProgresoGeneral::lblAccion() const {
    return ui->lblAccion;
}

QProgressBar* frmProgresoGeneral::prgBar() const {
    return ui->prgBar;
}

QPushButton* frmProgresoGeneral::cmdCancelar() const {
    return ui->cmdCancelar;
}

void frmProgresoGeneral::closeEvent(QCloseEvent* evento) {
    if (!m_ocupada) {
        QWidget::closeEvent(evento);
        return;
    }
    evento->ignore();
    if (ui->cmdCancelar->isVisible() && ui->cmdCancelar->isEnabled()) ui->cmdCancelar->click();
}

void frmProgresoGeneral::keyPressEvent(QKeyEvent* evento) {
    if (evento->key() == Qt::Key_Escape && evento->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(evento);
}
