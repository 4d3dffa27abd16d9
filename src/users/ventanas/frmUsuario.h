#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class frmUsuario;
}

// Ventana de acceso, en dos fases: primero el DNI; si está registrado, después la contraseña.
// Deja el resultado en G().LoginCorrecto, G().DNIUsuario y G().UsuarioConPassword.
class frmUsuario : public QDialog {
    Q_OBJECT

public:
    // Sin ruta, el almacén es "usuarios.xml" en la carpeta del programa.
    explicit frmUsuario(const QString& rutaUsuarios = {}, QWidget* parent = nullptr);
    ~frmUsuario() override;

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;
    void showEvent(QShowEvent* evento) override;

private:
    void txtDNI_GotFocus();
    bool txtDNI_KeyPress(const QString& texto);
    void txtDNI_KeyUp(const QString& texto);
    void txtDNI_LostFocus(Qt::FocusReason motivo);
    void cmdAceptarDNI_Click();
    void cmdAceptarPwd_Click();
    void pasarAFaseContrasena();

    std::unique_ptr<Ui::frmUsuario> ui;
    bool m_almacenAbierto = false;
};
