#pragma once

#include <QDialog>
#include <memory>

class QLineEdit;

namespace Ui {
class frmCreaPwd;
}

// Ventana que guarda una contraseña nueva para el DNI de strDNI (quien la abre lo asigna antes
// de mostrarla). Las dos casillas txtPwd(0) y txtPwd(1) deben coincidir exactamente.
class frmCreaPwd : public QDialog {
    Q_OBJECT
    Q_PROPERTY(QString strDNI READ strDNI WRITE setStrDNI)

public:
    explicit frmCreaPwd(QWidget* parent = nullptr);
    ~frmCreaPwd() override;

    QString strDNI() const { return m_strDNI; }
    void setStrDNI(const QString& dni) { m_strDNI = dni; }

    // Casilla 0 (contraseña) o 1 (repetición).
    QLineEdit* txtPwd(int indice) const;

private:
    void cmdAceptar_Click();
    void vaciarCasillas();

    std::unique_ptr<Ui::frmCreaPwd> ui;
    QString m_strDNI;
};
