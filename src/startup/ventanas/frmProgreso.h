#pragma once

#include "startup/PasosCarga.h"

#include <QDialog>

namespace Ui {
class frmProgreso;
}

// Pantalla de carga: crea todas las tablas y carga los catálogos cuando se muestra. No se deja
// cerrar mientras carga; al terminar se habilita "Continuar". Si la carga falla, avisa con el
// número de paso y se cierra sola; cargado() dice entonces falso.
class frmProgreso : public QDialog, private ObservadorCarga {
    Q_OBJECT
public:
    explicit frmProgreso(QWidget* parent = nullptr);
    ~frmProgreso() override;

    bool cargado() const { return m_cargaTerminada; }

    void done(int resultado) override;

signals:
    // La carga terminó (bien o con error): las pruebas esperan a esta señal.
    void cargaFinalizada(bool correcta);

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void cargar();
    void cmdContinuar_Click();

    // ObservadorCarga
    void cursorEspera(bool activo) override;
    void fijarTextoInformativo(const QString& texto) override;
    void fijarTitulo(const QString& titulo) override;
    void fijarMaximo(int maximo) override;
    void fijarValor(int valor) override;
    void repintar() override;

    Ui::frmProgreso* ui;
    bool m_empezada = false;
    bool m_cargaTerminada = false;
    bool m_cerrandoPorError = false;
    bool m_cursorEspera = false;
};
