#include "storage/ventanas/frmSeleccion.h"

#include "catalogue/ventanas/EnlazarCombo.h"
#include "global/Globales.h"
#include "platform/ServicioMensajes.h"
#include "platform/ventanas/Accesibilidad.h"
#include "platform/ventanas/Colocacion.h"
#include "storage/BloqueoSolicitud.h"
#include "storage/SolicitudesGuardadas.h"
#include "ui_frmSeleccion.h"

#include <QDir>

frmSeleccion::frmSeleccion(std::function<void()> abrirSolicitud, QWidget* parent)
    : QWidget(parent),
      ui(std::make_unique<Ui::frmSeleccion>()),
      m_abrirSolicitud(std::move(abrirSolicitud)) {
    ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    ui->cboSolicitudes->setColumnasLista(
        {QStringLiteral("DNI"), QStringLiteral("Cuerpo"), QStringLiteral("Grupo"),
         QStringLiteral("Fichero"), QStringLiteral("DescCuerpo")},
        {QStringLiteral("DNI"), QStringLiteral("Categoría"), QStringLiteral("Grupo"),
         QStringLiteral("Fichero"), QStringLiteral("Descripción")});
    connect(ui->cmdCargar, &QPushButton::clicked, this, &frmSeleccion::cmdCargar_Click);
    connect(ui->cmdBorrar, &QPushButton::clicked, this, &frmSeleccion::cmdBorrar_Click);
    connect(ui->cmdNueva, &QPushButton::clicked, this, &frmSeleccion::cmdNueva_Click);
    // Para encontrar los ficheros (el PDF de una impresión, una copia): cada usuario tiene los
    // suyos en su propia carpeta de datos.
    ui->lblCarpeta->setText(QStringLiteral("Las solicitudes guardadas y sus PDF están en la "
                                           "carpeta %1")
                                .arg(QDir::toNativeSeparators(G().RutaTemporal)));
    enlazarLista();
    centrarVentana(this);
    // Elegida una solicitud, Intro la carga.
    ponerBotonPorDefecto(this, ui->cmdCargar);
    prepararAccesibilidad(this);
}

frmSeleccion::~frmSeleccion() = default;

void frmSeleccion::enlazarLista() {
    const PTabla& tabla = G().rsSolicitudesGuardadas;
    if (!tabla || tabla->numeroRegistros() == 0) return;
    EnlazarCombo(*ui->cboSolicitudes, tabla);
    // Cerrada, la lista enseña de la elegida lo que la distingue de las otras del mismo DNI: la
    // categoría, el grupo y la descripción (el DNI es el mismo en todas).
    ui->cboSolicitudes->setColumnaTexto(QStringLiteral("Resumen"));
}

bool frmSeleccion::hayEleccion() {
    if (!ui->cboSolicitudes->valor().isEmpty()) return true;
    mostrarMensaje(QStringLiteral("Seleccione una Solicitud"), QStringLiteral("Solicitudes"),
                   Icono::Exclamacion);
    return false;
}

void frmSeleccion::cmdCargar_Click() {
    if (!hayEleccion()) return;
    G().FicheroSolicitud = ui->cboSolicitudes->valorColumna(QStringLiteral("Fichero"));
    abrirYDescargar();
}

void frmSeleccion::ocultarNueva() {
    ui->cmdNueva->setVisible(false);
}

void frmSeleccion::cmdNueva_Click() {
    G().FicheroSolicitud.clear();
    abrirYDescargar();
}

void frmSeleccion::abrirYDescargar() {
    hide();
    if (m_abrirSolicitud) m_abrirSolicitud();
    close();
}

void frmSeleccion::cmdBorrar_Click() {
    if (!hayEleccion()) return;
    // Un Intro sin pensar no borra la solicitud: el botón por defecto es No.
    if (mostrarMensaje(QStringLiteral("¿Desea borrar esta solicitud?"), QStringLiteral("Borrar"),
                       Icono::Pregunta, Botones::SiNo, Respuesta::No) != Respuesta::Si)
        return;
    const QString nombre = ui->cboSolicitudes->valorColumna(QStringLiteral("Fichero"));
    G().FicheroSolicitud = nombre;
    // Un fichero que falta o no se puede borrar no impide borrar el otro ni volver a listar; si
    // no se borra nada, se dice. Abierta en otro programa no se borra.
    const auto borrados = BorrarFicherosSolicitud(G().RutaTemporal, nombre);
    if (!borrados && borrados.numero() == BloqueoSolicitud::kEnUso)
        mostrarMensaje(borrados.mensaje(), QStringLiteral("Solicitud en uso"), Icono::Critico,
                       Botones::Aceptar);
    else if (!borrados)
        mostrarMensaje(QStringLiteral("No se ha borrado la solicitud.\n") + borrados.mensaje(),
                       QStringLiteral("Borrar"), Icono::Exclamacion, Botones::Aceptar);
    else if (borrados.valor() == 0)
        mostrarMensaje(QStringLiteral("No se ha borrado la solicitud: sus ficheros de la carpeta "
                                      "\"%1\" no se pueden borrar.")
                           .arg(QDir::toNativeSeparators(G().RutaTemporal)),
                       QStringLiteral("Borrar"), Icono::Exclamacion, Botones::Aceptar);
    if (ListarSolicitudes(nombre.left(9)) > 0) {
        enlazarLista();
    } else {
        ui->cboSolicitudes->desenlazar();
        ui->cmdCargar->setEnabled(false);
        ui->cmdBorrar->setEnabled(false);
        ui->cboSolicitudes->setEnabled(false);
    }
    ui->cboSolicitudes->setValor(QString());
    G().FicheroSolicitud.clear();
}
