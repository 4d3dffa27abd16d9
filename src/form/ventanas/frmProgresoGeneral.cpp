#include "form/ventanas/frmProgresoGeneral.h"

#include "platform/ventanas/Accesibilidad.h"
#include "platform/ventanas/Colocacion.h"
#include "ui_frmProgresoGeneral.h"

frmProgresoGeneral::frmProgresoGeneral(QWidget* parent)
    : QWidget(parent, Qt::Tool), ui(std::make_unique<Ui::frmProgresoGeneral>()) {
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

void frmProgresoGeneral::avanzar() {
    if (ui->prgBar->value() < ui->prgBar->maximum()) ui->prgBar->setValue(ui->prgBar->value() + 1);
    ui->prgBar->repaint();
}
