#pragma once

#include <QHash>
#include <QList>
#include <QWidget>
#include <functional>
#include <memory>

class QLabel;
class QLineEdit;
class QRadioButton;
class QScrollArea;

namespace Ui {
class PestanaSolicitante;
}

// Primera pestaña del formulario de la solicitud: los datos del solicitante en tres marcos
// (personales, profesionales y del concurso). Lleva sus filtros de teclado, las comprobaciones al
// salir de cada caja, los grupos de opciones con lo que cada uno enseña, oculta y borra, y las
// cascadas del destino actual, de la preferencia y de la situación administrativa.
// Lo que hace elegir cuerpo y grupo es de la búsqueda de plazas, que se conecta a cboCuerpo y
// cboGrupo desde el formulario.
class PestanaSolicitante : public QWidget {
    Q_OBJECT
public:
    explicit PestanaSolicitante(QWidget* parent = nullptr);
    ~PestanaSolicitante() override;

    Ui::PestanaSolicitante& controles() { return *ui; }
    const Ui::PestanaSolicitante& controles() const { return *ui; }

    // Controles con nombre de campo, en el orden fijo en que los recorren el guardado, la
    // impresión y la lectura de una solicitud guardada. Nadie más recorre los controles.
    QList<QWidget*> controlesConCampo() const;

    // Enlaza los combos de la pestaña a sus tablas, en el orden de la carga del formulario:
    // la localidad de preferencia; los cuerpos (sin los del grupo "X") con sus anchos; el resto.
    void enlazarPrefLocalidad();
    void enlazarCuerpos();
    void enlazarCombos();

    // Marca la opción y ejecuta lo que hace elegirla, también si ya estaba marcada.
    void elegirOpcion(QRadioButton* opcion);

    // Cada caja de fecha con la regla y el mensaje de salir de ella, en su orden. Una orden del
    // menú no quita el foco a la caja: sin esto una fecha imposible se guardaría y se imprimiría.
    // Falso en la primera errónea, que se queda con el foco.
    bool comprobarFechas();

    // Verdadero mientras las dos columnas de la pestaña van una debajo de la otra.
    bool apilada() const { return m_apilada; }

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;
    bool event(QEvent* evento) override;

private:
    void prepararVisibilidadInicial();
    void prepararListas();
    void prepararTeclado();
    void conectarOpciones();
    void conectarCascadas();

    // Al salir de una caja (diferido: el foco ya está en el control siguiente).
    void alSalirDeCaja(QLineEdit* caja);
    bool comprobarFecha(QLineEdit* caja);
    void txtDNI_LostFocus();
    void txtDNIConyuge_LostFocus();
    void devolverFoco(QLineEdit* caja);
    void txtDNI_KeyUp(const QString& texto);

    // Grupos de opciones
    void optDiscNo_Click();
    void optDiscSi_Click();
    void optDefinitivo_Click();
    void optTemporal_Click();
    void OptSiNo_Click();
    void optSSOtros_Click();
    void optSSNorsa_Click();
    void optActivo_Click();
    void optOtras_Click();
    void optForzoso_Click();
    void optPetConyugeSi_Click();
    void optPetConyugeNo_Click();
    void ajustarFechaPosesion();

    // Cascadas
    void cboPrefArea_Click();
    void cboProvinciasTarv_Click();
    void cboAreaTarv_Click();
    void cboSituaciones_Click();

    void conectar(QRadioButton* opcion, void (PestanaSolicitante::*manejador)());

    // Disposición según el ancho de la zona desplazable que la contiene (unidad
    // PestanaSolicitanteColumnas.cpp).
    void vigilarZonaDesplazable();
    void recolocarColumnas();
    void colocarColumnas(bool apilar);
    void alCambiarFoco(QWidget* nuevo);

    std::unique_ptr<Ui::PestanaSolicitante> ui;
    QHash<QRadioButton*, std::function<void()>> m_manejadores;
    QList<QLineEdit*> m_seleccionarAlEntrar;
    QList<QLineEdit*> m_fechas;
    // Mientras el foco vuelve a una caja rechazada, la caja que lo pierde no se comprueba.
    bool m_devolviendoFoco = false;
    QScrollArea* m_zona = nullptr;
    bool m_apilada = false;
    QHash<QWidget*, QLabel*> m_rotulos;  // el rótulo de cada control que lo tiene
};
