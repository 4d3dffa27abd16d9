#pragma once

#include <QWidget>
#include <functional>
#include <memory>

namespace Ui {
class frmSeleccion;
}

// Selector de solicitudes guardadas: abre una, borra una o empieza una nueva. Lista la tabla
// rsSolicitudesGuardadas tal como quedó en el último listado.
class frmSeleccion : public QWidget {
    Q_OBJECT
public:
    // `abrirSolicitud` muestra la pantalla de carga y abre el formulario con FicheroSolicitud
    // (vacío para una solicitud nueva); lo pone quien crea el selector.
    explicit frmSeleccion(std::function<void()> abrirSolicitud, QWidget* parent = nullptr);
    ~frmSeleccion() override;

    // Desde el formulario ("Cargar otra solicitud") no se empieza una nueva: sin ese botón.
    void ocultarNueva();

private:
    void enlazarLista();
    bool hayEleccion();
    void cmdCargar_Click();
    void cmdBorrar_Click();
    void cmdNueva_Click();
    void abrirYDescargar();

    std::unique_ptr<Ui::frmSeleccion> ui;
    std::function<void()> m_abrirSolicitud;
};
