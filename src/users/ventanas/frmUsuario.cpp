#include "users/ventanas/frmUsuario.h"

#include "global/Globales.h"
#include "platform/ServicioMensajes.h"
#include "platform/ventanas/Accesibilidad.h"
#include "ui_frmUsuario.h"
#include "users/Usuarios.h"
#include "users/Validacion.h"
#include "users/ventanas/ValidarDNI.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QTimer>

namespace {

void avisar(const QString& texto) {
    mostrarMensaje(texto, kTituloPrograma, Icono::Exclamacion, Botones::Aceptar);
}

// Las fases cambian qué controles se ven; la ventana no debe cambiar de tamaño por ello.
void conservarHuecoOculto(QWidget* w) {
    QSizePolicy p = w->sizePolicy();
    p.setRetainSizeWhenHidden(true);
    w->setSizePolicy(p);
}

}  // namespace

frmUsuario::frmUsuario(const QString& rutaUsuarios, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::frmUsuario>()) {
    ui->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    for (QWidget* w : {static_cast<QWidget*>(ui->lblPwd), static_cast<QWidget*>(ui->txtPwd),
                       static_cast<QWidget*>(ui->cmdAceptarPwd)}) {
        conservarHuecoOculto(w);
        w->setVisible(false);
    }
    ui->txtDNI->installEventFilter(this);
    connect(ui->cmdAceptarDNI, &QPushButton::clicked, this, &frmUsuario::cmdAceptarDNI_Click);
    connect(ui->cmdAceptarPwd, &QPushButton::clicked, this, &frmUsuario::cmdAceptarPwd_Click);
    connect(ui->cmdSalir, &QPushButton::clicked, this, &QDialog::reject);
    prepararAccesibilidad(this);

    G().LoginCorrecto = false;
    const QString ruta = rutaUsuarios.isEmpty() ? QCoreApplication::applicationDirPath() +
                                                      QStringLiteral("/usuarios.xml")
                                                : rutaUsuarios;
    m_almacenAbierto = AbrirUsuarios(ruta);
}

frmUsuario::~frmUsuario() = default;

void frmUsuario::showEvent(QShowEvent* evento) {
    QDialog::showEvent(evento);
    // Sin almacén no se puede entrar: la ventana se cierra sola en cuanto aparece.
    if (!m_almacenAbierto) QTimer::singleShot(0, this, &QDialog::reject);
}

bool frmUsuario::eventFilter(QObject* objeto, QEvent* evento) {
    if (objeto != ui->txtDNI) return QDialog::eventFilter(objeto, evento);
    switch (evento->type()) {
        case QEvent::FocusIn:
            txtDNI_GotFocus();
            break;
        case QEvent::FocusOut: {
            // Cambiar de aplicación o abrir un menú no es salir de la caja.
            const auto motivo = static_cast<QFocusEvent*>(evento)->reason();
            if (motivo != Qt::ActiveWindowFocusReason && motivo != Qt::PopupFocusReason)
                txtDNI_LostFocus(motivo);
            break;
        }
        case QEvent::KeyPress:
            return txtDNI_KeyPress(static_cast<QKeyEvent*>(evento)->text());
        case QEvent::KeyRelease:
            txtDNI_KeyUp(static_cast<QKeyEvent*>(evento)->text());
            break;
        default:
            break;
    }
    return false;
}

void frmUsuario::txtDNI_GotFocus() {
    // Diferido: un clic de ratón coloca el cursor después de recibir el foco.
    QTimer::singleShot(0, ui->txtDNI, &QLineEdit::selectAll);
}

bool frmUsuario::txtDNI_KeyPress(const QString& texto) {
    // Separadores que la gente escribe por costumbre en un DNI: se descartan.
    return texto == QLatin1String(",") || texto == QLatin1String("-") ||
           texto == QLatin1String(".");
}

void frmUsuario::txtDNI_KeyUp(const QString& texto) {
    // Solo tras escribir un carácter: soltar una flecha o el Tab con el que se volvió a la caja
    // no debe echar al usuario de ella.
    if (texto.isEmpty() || !texto.at(0).isPrint()) return;
    if (ui->txtDNI->text().size() == kLongitudDNI) focusNextChild();
}

void frmUsuario::txtDNI_LostFocus(Qt::FocusReason motivo) {
    // Una caja vacía no tiene nada que comprobar, y quien pulsa "Salir" quiere irse. Un clic en
    // "Aceptar" comprueba él mismo el DNI, y con su mensaje.
    if (ui->txtDNI->text().isEmpty()) return;
    const QWidget* destino = QApplication::focusWidget();
    if (destino == ui->cmdSalir) return;
    if (destino == ui->cmdAceptarDNI && motivo == Qt::MouseFocusReason) return;
    if (!ValidarDNI(ui->txtDNI)) {
        ui->txtDNI->clear();
        ui->txtDNI->setFocus(Qt::OtherFocusReason);
    }
}

void frmUsuario::cmdAceptarDNI_Click() {
    if (ui->txtDNI->text().isEmpty()) return;
    ui->txtDNI->setText(Mayusculas(ui->txtDNI->text()));
    if (!ValidarDNI(ui->txtDNI)) {
        avisar(QStringLiteral("El DNI introducido no es válido"));
        return;
    }
    if (ExisteUsuario(ui->txtDNI->text())) {
        pasarAFaseContrasena();
        return;
    }
    G().DNIUsuario = ui->txtDNI->text();
    G().UsuarioConPassword = false;
    G().LoginCorrecto = true;
    accept();
}

void frmUsuario::pasarAFaseContrasena() {
    ui->lblPwd->setVisible(true);
    ui->txtPwd->setVisible(true);
    ui->cmdAceptarPwd->setVisible(true);
    ui->txtDNI->setEnabled(false);
    ui->cmdAceptarDNI->setDefault(false);
    ui->cmdAceptarPwd->setDefault(true);
    G().UsuarioConPassword = true;
    ui->txtPwd->setFocus(Qt::OtherFocusReason);
}

void frmUsuario::cmdAceptarPwd_Click() {
    if (ui->txtPwd->text().isEmpty() || ui->txtDNI->text().isEmpty()) {
        avisar(QStringLiteral("Es obligatorio rellenar Usuario y Password"));
        return;
    }
    if (ComprobarPassword(Mayusculas(ui->txtDNI->text()), Mayusculas(ui->txtPwd->text()))) {
        G().DNIUsuario = ui->txtDNI->text();
        G().LoginCorrecto = true;
        accept();
        return;
    }
    avisar(QStringLiteral("Usuario no válido"));
}
