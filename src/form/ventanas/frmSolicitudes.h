#pragma once

#include "global/Configuracion.h"
#include "platform/Resultado.h"
#include "printing/Impresion.h"

#include <QMainWindow>
#include <QTimer>
#include <QVector>
#include <array>
#include <memory>
#include <utility>

class BloqueoSolicitud;
struct CamposSolicitud;
class PestanaCursos;
class PestanaDocumentos;
class PestanaResultas;
class PestanaSolicitante;
class PestanaVacantes;
class QAction;
class QLabel;
class QLineEdit;
class QTabWidget;

namespace Ui {
class frmSolicitudes;
}

// Formulario de la solicitud. Esta unidad lleva su ciclo de vida (carga, configuración, menú);
// el resto va en unidades aparte que amplían esta clase: datos del solicitante, cursos y
// documentos, búsqueda de plazas y plazas solicitadas.
// Clave con la que se recuerdan el tamaño y el sitio del formulario entre una vez y otra.
inline constexpr char kClaveGeometriaFormulario[] = "formulario/geometria";

class frmSolicitudes : public QMainWindow {
    Q_OBJECT
public:
    explicit frmSolicitudes(QWidget* parent = nullptr);
    ~frmSolicitudes() override;

    // Carga del formulario: lee "conf.xml" y lo aplica, y enlaza los combos a sus tablas. Si
    // falla, el formulario no puede abrirse y quien lo creó muestra el mensaje.
    Resultado cargar();

    // Paso de configuración: pestañas, rótulos sobre las rejillas, título, PlazasPorPagina y
    // CarpetaPlantillas.
    Resultado LeerConfiguracion();

    Ui::frmSolicitudes& controles() { return *ui; }
    QTabWidget* tabPrincipal() const;
    QLineEdit* txtDNI() const;
    PestanaSolicitante* pestanaSolicitante() const;
    PestanaVacantes* pestanaVacantes() const;
    PestanaResultas* pestanaResultas() const;
    PestanaCursos* pestanaCursos() const;
    PestanaDocumentos* pestanaDocumentos() const;
    QLabel* lblCat() const;
    // Controles con nombre de campo en su orden fijo: el guardado, la impresión y la lectura de
    // una solicitud guardada los recorren así y de ningún otro modo.
    QList<QWidget*> controlesConCampo() const;
    QLabel* lblGrid(int indice) const;  // 0 a 4
    QAction* mnuP(int indice) const;    // 1000, 2000, 2500, 3000, 4000, 5000; nullptr si no existe
    const TabConfig& tabConfig(int indice) const { return m_tabConfig[size_t(indice)]; }

    // Orden del menú por su índice, como si se eligiera.
    void mnuP_Click(int indice);

    // Búsqueda de plazas (unidad frmSolicitudesBusqueda.cpp)
    // Carga en rsVacantesCuerpo y rsResultasCuerpo las plazas del cuerpo elegido, las tablas
    // mismas de su entrada del índice, y las enlaza a los combos de plazas.
    void SeleccionaPlazasRS();
    // Habilita o no los combos de provincia, localidad e institución de las dos pestañas.
    void HabilitarBusqueda(bool habilitar);
    // Si ya hay guardada una solicitud con este DNI, cuerpo y grupo, lo pregunta: cerrar el
    // programa o borrar cuerpo y grupo. Verdadero si preguntó.
    bool ComprobarSolicitudExistente();
    bool cerrandoPorExistente() const { return m_cerrandoPorExistente; }

    // Guardado (unidad frmSolicitudesGuardar.cpp)
    // DNI, cuerpo y grupo (y el DNI del cónyuge si se condiciona): si falta algo lo dice.
    bool ValidarDatosMinimos();
    // Nombre, primer apellido, fecha de nacimiento y alguna plaza pedida, para imprimir.
    bool ValidarDatosImpresion();
    // Guarda el documento y el fichero de listas de la solicitud (la primera vez, tras poner
    // el solicitante su contraseña). Verdadero si quedaron guardados los dos.
    bool GuardarSolicitud(bool imprimir, bool borrador);

    // Lectura de una solicitud guardada (unidad frmSolicitudesRecuperar.cpp)
    // Llena el formulario con el documento `fichero` de la carpeta y su fichero de listas. Lo que
    // no se puede leer se dice en un mensaje (guardar lo sustituiría); nada se escribe. Al acabar,
    // DNI, cuerpo y grupo quedan fijos y las órdenes del menú habilitadas.
    void RecuperarSolicitud(const QString& fichero, const QString& carpeta);

    // Impresión (unidad frmSolicitudesImprimir.cpp)
    // Texto del código del solicitante con los datos del formulario.
    QString DatosParaCodigoBarras() const;
    // Si hay una impresión en marcha (convirtiéndose, comprobándose o entregándose).
    bool imprimiendo() const { return m_imprimiendo; }

signals:
    // La impresión lanzada terminó (entregada, sin impresora o con un fallo ya avisado).
    void impresionTerminada();

public:
    bool cambiandoSolicitud() const { return m_cambiandoSolicitud; }
    // Mientras está en marcha (una impresión se está entregando) el formulario no se cierra.
    QTimer& Timer1() { return m_temporizador; }

protected:
    void changeEvent(QEvent* evento) override;
    void closeEvent(QCloseEvent* evento) override;

private:
    void mnuP_Triggered(QAction* accion);
    // Habilita imprimir, guardar y cargar otra; mientras hay una impresión en marcha, nada:
    // otra orden escribiría o imprimiría a la vez que ella.
    void habilitarMenuSolicitud();
    void prepararBusqueda();
    void cboCuerpo_Click();
    void cboCuerpo_LostFocus();
    void cboGrupo_Click();
    void cuerpoOGrupo_LostFocus();
    void olvidarPlazasCuerpo();
    // Valores de los controles con campo, en su orden, para el documento.
    void camposDelFormulario(bool varianteXP, QVector<std::pair<QString, QString>>& textos,
                             QVector<std::pair<QString, bool>>& casillas) const;
    // Lo que hace toda orden del menú antes de la suya.
    void pasosComunesDelMenu();
    void rellenarDesdeDocumento(const CamposSolicitud& doc);
    void ponerCuerpoYGrupoDelNombre(const QString& fichero);
    void imprimir();
    void lanzarImpresion(const QString& documento, const QVector<CodigoEsperado>& codigos);
    void terminarImpresion(const ResultadoDe<ResultadoImpresion>& resultado);
    void tabPrincipal_Click(int pestana);
    void cargarOtraSolicitud();
    void abrirManual();
    void cambiarContrasena();
    void vigilarActivacion();

    Ui::frmSolicitudes* ui;
    // La solicitud abierta en esta ventana, para que otro programa no la abra a la vez (se suelta
    // al cerrarla). Toma el de `nombre` si aún no lo tiene; falso, con el mensaje dicho, si la
    // tiene otro programa.
    std::shared_ptr<BloqueoSolicitud> m_bloqueo;
    bool tomarBloqueo(const QString& nombre);
    std::array<TabConfig, kNumPestanas> m_tabConfig;
    bool m_cerrandoPorExistente = false;
    bool m_cambiandoSolicitud = false;
    bool m_imprimiendo = false;
    bool m_guardando = false;  // el documento y las listas se están escribiendo en otro hilo
    QTimer m_temporizador;
    bool m_volviendoAPrimera = false;
    // La activación del formulario (la primera vez y al volver de otra ventana del programa).
    bool m_primeraActivacion = true;
    bool m_vuelveDeOtraVentana = false;
};
