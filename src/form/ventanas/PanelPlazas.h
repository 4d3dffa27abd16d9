#pragma once

#include "global/Globales.h"
#include "platform/Tabla.h"

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

class InsercionTodas;

class ComboDatos;
class QLabel;
class QLineEdit;
class QPushButton;
class RejillaDatos;

// Controles del panel de una lista de plazas pedidas (Vacantes o Resultas).
struct ControlesPanel {
    ComboDatos* cboPuesto;
    QLineEdit* txtOrden;
    QLineEdit* txtCod;
    QLineEdit* txtDesc;
    QLineEdit* txtId;
    QPushButton* cmdAdd;
    QPushButton* cmdUpdate;
    QPushButton* cmdDel;
    QPushButton* cmdTodas;
    QPushButton* cmdAceptar;
    QPushButton* cmdCancelar;
    RejillaDatos* grd;
    // Los combos de búsqueda que el panel bloquea mientras se modifica una fila.
    ComboDatos* cboProvincia;
    ComboDatos* cboLocalidad;
    ComboDatos* cboConsejeria;
    QLabel* lblPlazas;  // solo Vacantes
};

// Los combos de la búsqueda de una pestaña de plazas.
struct CombosBusqueda {
    ComboDatos* provincia;
    ComboDatos* localidad;
    ComboDatos* consejeria;
    ComboDatos* area;
    ComboDatos* zona;
    ComboDatos* puesto;
};
// Columnas, rótulos y anchos de sus listas desplegables; `rotuloNombre` es el de la columna del
// nombre de la plaza ("Denominación" en Vacantes, "Convocatoria" en Resultas).
void prepararListasBusqueda(const CombosBusqueda& combos, const QString& rotuloNombre);

// Lo que el panel necesita de su pestaña y del formulario.
struct ContextoPanel {
    QString lista;  // "V" o "R"
    PTabla Globales::*tabla;
    PTabla Globales::*otraTabla;
    PTabla Globales::*plazas;
    std::function<void()> aplicarFiltro;      // filtro de la pestaña (y cuenta en Vacantes)
    std::function<void()> reiniciarBusqueda;  // la búsqueda de la pestaña, como al principio
    std::function<void(bool)> habilitarBusqueda;
    ComboDatos* cboCuerpo;
    ComboDatos* cboGrupo;
    std::function<void()> repintar;
};

// Panel de una lista de plazas pedidas: añadir una plaza con su orden, cambiar el orden de una
// fila, borrarla, insertar todas las que enseña la búsqueda y cancelar. Las dos listas van igual
// salvo lo que `lista` distingue: títulos, nombre del área, la cuenta de plazas y el botón
// "Insertar Todas" de Resultas, que sirve una sola vez.
class PanelPlazas : public QObject {
    Q_OBJECT
public:
    PanelPlazas(const ControlesPanel& controles, ContextoPanel contexto, QObject* parent);
    ~PanelPlazas() override;

    void enlazarRejilla();
    int modo() const { return m_modo; }  // 1 añadir, 2 modificar
    void setModo(int modo) { m_modo = modo; }

    void ReiniciarPanel();
    void BloquearPanel(bool bloquear);
    bool ValidarPlaza();

    // Botones
    void cmdAdd_Click();
    void cmdAceptar_Click();
    void cmdUpdate_Click();
    void cmdDel_Click();
    void cmdTodas_Click();
    void cmdCancelar_Click();

    // "Insertar Todas" va por tramos cortos entre los que la ventana sigue atendiendo; mientras
    // tanto se rechaza toda orden que cambie la lista (de este panel o del menú).
    bool insertando() const { return bool(m_insercion); }
    // Para las pruebas: cada tramo mira como mucho estas plazas (0: sin tope, solo el tiempo).
    static void setPlazasPorTramo(int plazas);

signals:
    void insercionTerminada();

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    bool esVacantes() const { return m_ctx.lista == QLatin1String("V"); }
    QString tituloMensajes() const;
    const PTabla& tabla() const { return G().*m_ctx.tabla; }
    void anadir();
    void aceptarModificacion();
    void finComun();
    void cmdAceptar_GotFocus();
    void txtOrden_LostFocus();
    // La fila seleccionada de la rejilla si hay exactamente una, con el cursor de la tabla en
    // ella; -1 si no.
    int filaUnica() const;
    void seguirInsertando();

    ControlesPanel m_c;
    ContextoPanel m_ctx;
    int m_modo = 1;
    // Orden que tenía la fila que se modifica. Cada lista el suyo: una modificación pendiente en
    // la otra no debe mover esta.
    qint64 m_ordenAnterior = 0;
    std::unique_ptr<InsercionTodas> m_insercion;
};
