#include "users/ventanas/frmCreaPwd.h"

#include "platform/ServicioMensajes.h"
#include "platform/ventanas/Accesibilidad.h"
#include "ui_frmCreaPwd.h"
#include "users/Usuarios.h"
#include "users/Validacion.h"

namespace {

constexpr int kLongitudMinima = 6;

}  // namespace

frmCreaPwd::frmCreaPwd(QWidget* parent) : QDialog(parent), ui(std::make_unique<Ui::frmCreaPwd>()) {
    ui->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    connect(ui->cmdAceptar, &QPushButton::clicked, this, &frmCreaPwd::cmdAceptar_Click);
    connect(ui->cmdSalir, &QPushButton::clicked, this, &QDialog::reject);
    prepararAccesibilidad(this);
}

frmCreaPwd::~frmCreaPwd() = default;

QLineEdit* frmCreaPwd::txtPwd(int indice) const {
    return indice == 0 ? ui->txtPwd_0 : ui->txtPwd_1;
}

void frmCreaPwd::vaciarCasillas() {
    txtPwd(0)->clear();
    txtPwd(1)->clear();
    txtPwd(0)->setFocus(Qt::OtherFocusReason);
}

void frmCreaPwd::cmdAceptar_Click() {
    const QString primera = txtPwd(0)->text();
    const QString segunda = txtPwd(1)->text();
    if (primera.size() < kLongitudMinima || segunda.size() < kLongitudMinima) {
        mostrarMensaje(QStringLiteral("El password debe tener al menos 6 caracteres"));
        vaciarCasillas();
        return;
    }
    // Se comparan tal cual se escribieron, aunque después se guarden en mayúsculas.
    if (primera != segunda) {
        mostrarMensaje(QStringLiteral("Escriba la misma contraseña en las dos casillas"));
        vaciarCasillas();
        return;
    }
    const Resultado r = ReemplazarUsuario(m_strDNI, Mayusculas(primera));
    if (!r) {
        // Nada se ha guardado: la ventana sigue abierta para reintentar o salir.
        mostrarMensaje(r.mensaje(), kTituloPrograma, Icono::Critico);
        return;
    }
    accept();
}
