#include "form/ventanas/PestanaDocumentos.h"

#include "form/OrdenPlazas.h"
#include "form/ventanas/PreguntaBorrar.h"
#include "global/Globales.h"
#include "platform/ServicioMensajes.h"
#include "platform/ventanas/Accesibilidad.h"
#include "platform/ventanas/RejillaDatos.h"
#include "ui_PestanaDocumentos.h"

PestanaDocumentos::PestanaDocumentos(QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::PestanaDocumentos>()) {
    ui->setupUi(this);
    // Intro en una caja del documento lo acepta, como el botón por defecto de un diálogo.
    ponerBotonPorDefecto(ui->fraDocumento, ui->cmdAceptarDoc);
    for (QWidget* w : std::initializer_list<QWidget*>{
             ui->txtNumHoras, ui->lblNumHoras, ui->txtFechaFin, ui->lblFechaFin,
             ui->txtCentroFormacion, ui->lblCentroFormacion, ui->txtIdDoc})
        w->setVisible(false);
    connect(ui->cmdAddDoc, &QPushButton::clicked, this, &PestanaDocumentos::cmdAddDoc_Click);
    connect(ui->cmdModDoc, &QPushButton::clicked, this, &PestanaDocumentos::cmdModDoc_Click);
    connect(ui->cmdAceptarDoc, &QPushButton::clicked, this,
            &PestanaDocumentos::cmdAceptarDoc_Click);
    connect(ui->cmdDelDoc, &QPushButton::clicked, this, &PestanaDocumentos::cmdDelDoc_Click);
    connect(ui->cmdCancelarDoc, &QPushButton::clicked, this,
            &PestanaDocumentos::cmdCancelarDoc_Click);
}

PestanaDocumentos::~PestanaDocumentos() = default;

void PestanaDocumentos::enlazar() {
    // Las horas, la fecha y el centro siempre van vacíos: la rejilla enseña número y nombre.
    ui->grdDocumentos->enlazar(
        G().rsDocumentos, {"IdDocumento", "Documento", "Horas", "Fecha", "Centro"},
        {QStringLiteral("Nº Documento"), QStringLiteral("Documento"), QStringLiteral("Horas"),
         QStringLiteral("Fecha"), QStringLiteral("Centro")});
    for (const char* oculto : {"Horas", "Fecha", "Centro"})
        ui->grdDocumentos->ocultarColumna(QLatin1String(oculto));
    ui->grdDocumentos->setAnchoColumna(QStringLiteral("IdDocumento"), 110);
}

void PestanaDocumentos::LimpiarDocumento() {
    for (QLineEdit* caja :
         {ui->txtDoc, ui->txtIdDoc, ui->txtNumHoras, ui->txtFechaFin, ui->txtCentroFormacion})
        caja->clear();
    // El foco, a la primera caja si se ve: desde otra pestaña (una orden del menú) no se deja
    // en una caja oculta.
    if (ui->txtDoc->isVisible()) ui->txtDoc->setFocus(Qt::OtherFocusReason);
    m_modo = 1;
    ui->grdDocumentos->limpiarSeleccion();
}

void PestanaDocumentos::cmdAddDoc_Click() {
    m_modo = 1;
    ui->txtDoc->setFocus(Qt::OtherFocusReason);
}

void PestanaDocumentos::cmdModDoc_Click() {
    const int f = ui->grdDocumentos->filaSeleccionadaUnica();
    const PTabla& t = G().rsDocumentos;
    if (f < 0 || !t) return;
    m_modo = 2;
    const auto celda = [&](const char* campo) {
        return t->valorEnFila(f, t->indiceCampo(QLatin1String(campo))).toString();
    };
    ui->txtIdDoc->setText(celda("IdDocumento"));
    ui->txtDoc->setText(celda("Documento"));
    ui->txtNumHoras->setText(celda("Horas"));
    ui->txtFechaFin->setText(celda("Fecha"));
    ui->txtCentroFormacion->setText(celda("Centro"));
}

void PestanaDocumentos::cmdAceptarDoc_Click() {
    if (ui->txtDoc->text().isEmpty()) {
        mostrarMensaje(QStringLiteral("Es obligatorio rellenar el nombre del documento"));
        ui->txtDoc->setFocus(Qt::OtherFocusReason);
        return;
    }
    const PTabla& t = G().rsDocumentos;
    if (!t) return;
    const QList<QPair<const char*, QString>> campos = {{"Documento", ui->txtDoc->text()},
                                                       {"Horas", ui->txtNumHoras->text()},
                                                       {"Fecha", ui->txtFechaFin->text()},
                                                       {"Centro", ui->txtCentroFormacion->text()}};
    Resultado r = Resultado::correcto();
    if (m_modo == 2) {
        // La fila por su identificador, aunque la selección se haya movido.
        if (const PTabla fila =
                cursorEnId(t, QStringLiteral("IdDocumento"), ui->txtIdDoc->text().toLongLong()))
            for (const auto& [campo, valor] : campos)
                if (r) r = fila->establecer(QLatin1String(campo), valor);
    } else {
        std::vector<QVariant> valores(size_t(t->campos().size()));
        for (const auto& [campo, valor] : campos)
            valores[size_t(t->indiceCampo(QLatin1String(campo)))] = valor;
        // Los documentos se numeran desde 1.
        valores[size_t(t->indiceCampo(QStringLiteral("IdDocumento")))] =
            std::max<qint64>(SiguienteId(t, QStringLiteral("IdDocumento")), 1);
        r = t->anadirRegistro(std::move(valores));
    }
    if (!r) mostrarMensaje(r.mensaje(), kTituloPrograma, Icono::Exclamacion);
    t->actualizar();
    t->moverUltimo();
    LimpiarDocumento();
}

void PestanaDocumentos::cmdDelDoc_Click() {
    const int fila = ui->grdDocumentos->filaSeleccionadaUnica();
    const PTabla& t = G().rsDocumentos;
    if (fila >= 0 && t && confirmarBorrarFila()) {
        t->irAFila(fila);
        t->borrar();
        t->actualizar();
        if (t->numeroRegistros() > 0) t->moverPrimero();
    }
    LimpiarDocumento();
}

void PestanaDocumentos::cmdCancelarDoc_Click() {
    LimpiarDocumento();
    m_modo = 1;
}
