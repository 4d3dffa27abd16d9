#include "startup/ventanas/frmProgreso.h"

#include "platform/ServicioMensajes.h"
#include "platform/ventanas/Accesibilidad.h"
#include "ui_frmProgreso.h"

#include <QApplication>
#include <QCloseEvent>
#include <QTimer>

frmProgreso::frmProgreso(QWidget* parent) : QDialog(parent), ui(new Ui::frmProgreso) {
    ui->setupUi(this);
    connect(ui->cmdContinuar, &QPushButton::clicked, this, &frmProgreso::cmdContinuar_Click);
    prepararAccesibilidad(this);
}

frmProgreso::~frmProgreso() {
    if (m_cursorEspera) QApplication::restoreOverrideCursor();
    delete ui;
}

void frmProgreso::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (m_empezada) return;
    m_empezada = true;
    // La carga empieza cuando la ventana ya está en pantalla.
    QTimer::singleShot(0, this, &frmProgreso::cargar);
}

void frmProgreso::cargar() {
    PasosCarga pasos(*this);
    const auto fallo = pasos.ejecutar();
    if (fallo) {
        mostrarMensaje(fallo->mensaje(), kTituloPrograma, Icono::Ninguno, Botones::Aceptar);
        m_cerrandoPorError = true;
        emit cargaFinalizada(false);
        close();
        return;
    }
    m_cargaTerminada = true;
    // El rótulo sigue diciendo "Cargando información ...": quien no ve la barra llena oye aquí
    // que la carga ha terminado.
    ui->prg->setAccessibleName(QStringLiteral("Información cargada"));
    ui->cmdContinuar->setEnabled(true);
    ui->cmdContinuar->setFocus();
    emit cargaFinalizada(true);
}

void frmProgreso::cmdContinuar_Click() {
    close();
}

void frmProgreso::closeEvent(QCloseEvent* e) {
    // Mientras carga no se cierra: las tablas quedarían a medias.
    if (!m_cargaTerminada && !m_cerrandoPorError) {
        e->ignore();
        return;
    }
    QDialog::closeEvent(e);
}

void frmProgreso::done(int resultado) {
    // Escape también pide cerrar, y tampoco vale mientras carga.
    if (!m_cargaTerminada && !m_cerrandoPorError) return;
    QDialog::done(m_cargaTerminada ? QDialog::Accepted : resultado);
}

void frmProgreso::cursorEspera(bool activo) {
    if (activo == m_cursorEspera) return;
    m_cursorEspera = activo;
    if (activo)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void frmProgreso::fijarTextoInformativo(const QString& texto) {
    ui->lblTitulo->setText(texto);
}

void frmProgreso::fijarTitulo(const QString& titulo) {
    setWindowTitle(titulo);
}

void frmProgreso::fijarMaximo(int maximo) {
    ui->prg->setMaximum(maximo);
}

void frmProgreso::fijarValor(int valor) {
    ui->prg->setValue(valor);
}

void frmProgreso::repintar() {
    repaint();
    QCoreApplication::processEvents();
}
