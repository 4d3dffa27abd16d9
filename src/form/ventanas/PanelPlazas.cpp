#include "form/ventanas/PanelPlazas.h"

#include "form/OrdenPlazas.h"
#include "form/ventanas/FiltroTeclas.h"
#include "form/ventanas/PreguntaBorrar.h"
#include "platform/ServicioMensajes.h"
#include "platform/ventanas/ComboDatos.h"
#include "platform/ventanas/PerdidaFoco.h"
#include "platform/ventanas/RejillaDatos.h"

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace {

// Lo que dura como mucho un tramo de "Insertar Todas": la ventana no se para más que eso más lo
// que tarda la rejilla en enseñar las filas nuevas.
constexpr int kPlazoTramoMs = 20;
int s_plazasPorTramo = 0;

}  // namespace

void PanelPlazas::setPlazasPorTramo(int plazas) {
    s_plazasPorTramo = plazas;
}

void prepararListasBusqueda(const CombosBusqueda& c, const QString& rotuloNombre) {
    const QString codigo = QStringLiteral("Código");
    c.puesto->setColumnasLista(
        {"CodConvocatoria", "NomConvocatoria", "Consejeria", "Localidad", "Area", "CodZona"},
        {codigo, rotuloNombre, QStringLiteral("Institución"), QStringLiteral("Localidad/Z.B.S."),
         QStringLiteral("Área"), QStringLiteral("Zona")});
    const int anchosPuesto[] = {60, 300, 260, 200};
    for (int i = 0; i < 4; ++i) c.puesto->setAnchoColumna(i, anchosPuesto[i]);
    c.consejeria->setColumnasLista({"CodConsejeria", "Consejeria"},
                                   {codigo, QStringLiteral("Institución")});
    c.localidad->setColumnasLista(
        {"CodLocalidad", "Localidad", "CodProvincia"},
        {codigo, QStringLiteral("Localidad"), QStringLiteral("Provincia")});
    c.provincia->setColumnasLista({"CodProvincia", "Provincia"},
                                  {codigo, QStringLiteral("Provincia")});
    c.area->setColumnasLista({"CodArea", "Area"}, {codigo, QStringLiteral("Área")});
    c.zona->setColumnasLista({"CodZona", "Zona"}, {codigo, QStringLiteral("Zona Básica de Salud")});
    for (ComboDatos* combo : {c.consejeria, c.localidad, c.provincia, c.area, c.zona}) {
        combo->setAnchoColumna(0, 70);
        combo->setAnchoColumna(1, 320);
    }
}

PanelPlazas::PanelPlazas(const ControlesPanel& controles, ContextoPanel contexto, QObject* parent)
    : QObject(parent), m_c(controles), m_ctx(std::move(contexto)) {
    FiltroTeclas::instalarNumerico(m_c.txtOrden);
    m_c.txtOrden->installEventFilter(this);
    m_c.cmdAceptar->installEventFilter(this);
    alPerderFoco(m_c.txtOrden, this, [this] { txtOrden_LostFocus(); });
    m_c.txtDesc->setVisible(false);
    m_c.txtDesc->setReadOnly(true);
    m_c.txtId->setVisible(false);
    connect(m_c.cmdAdd, &QPushButton::clicked, this, &PanelPlazas::cmdAdd_Click);
    connect(m_c.cmdAceptar, &QPushButton::clicked, this, &PanelPlazas::cmdAceptar_Click);
    connect(m_c.cmdUpdate, &QPushButton::clicked, this, &PanelPlazas::cmdUpdate_Click);
    connect(m_c.cmdDel, &QPushButton::clicked, this, &PanelPlazas::cmdDel_Click);
    connect(m_c.cmdTodas, &QPushButton::clicked, this, &PanelPlazas::cmdTodas_Click);
    connect(m_c.cmdCancelar, &QPushButton::clicked, this, &PanelPlazas::cmdCancelar_Click);
}

PanelPlazas::~PanelPlazas() {
    if (m_insercion) QApplication::restoreOverrideCursor();
}

void PanelPlazas::enlazarRejilla() {
    const QString localidad = esVacantes() ? QStringLiteral("Localidad/Z.B.S.")
                                           : QStringLiteral("Localidad o Z.B.S. (Provincia)");
    m_c.grd->enlazar(tabla(),
                     {"Orden", "CodConvocatoria", "NomConvocatoria", "Consejeria", "Localidad",
                      "IdSolicitud", "CodArea", "CodZona", "Area", "Zona"},
                     {QStringLiteral("Orden"), QStringLiteral("Código"),
                      QStringLiteral("Denominación"), QStringLiteral("Institución"), localidad,
                      QStringLiteral("IdSolicitud"), QStringLiteral("CodArea"),
                      QStringLiteral("CodZona"), QStringLiteral("Área"), QStringLiteral("Zona")});
    // Los identificadores y códigos van en la tabla; a la vista, lo que el solicitante lee.
    for (const char* oculto : {"IdSolicitud", "CodArea", "CodZona"})
        m_c.grd->ocultarColumna(QLatin1String(oculto));
    m_c.grd->setAnchoColumna(QStringLiteral("Orden"), 50);
    m_c.grd->setAnchoColumna(QStringLiteral("CodConvocatoria"), 60);
    m_c.grd->setAnchoColumna(QStringLiteral("NomConvocatoria"), 280);
    m_c.grd->setAnchoColumna(QStringLiteral("Consejeria"), 260);
    m_c.grd->setAnchoColumna(QStringLiteral("Localidad"), 200);
    if (tabla()) tabla()->ordenar(QStringLiteral("Orden ASC"));
}

QString PanelPlazas::tituloMensajes() const {
    return esVacantes() ? QStringLiteral("Solicitud Vacantes")
                        : QStringLiteral("Solicitud Resultas");
}

bool PanelPlazas::eventFilter(QObject* objeto, QEvent* evento) {
    if (evento->type() == QEvent::FocusIn) {
        if (objeto == m_c.txtOrden)
            QTimer::singleShot(0, m_c.txtOrden, &QLineEdit::selectAll);
        else if (objeto == m_c.cmdAceptar)
            cmdAceptar_GotFocus();
    }
    return QObject::eventFilter(objeto, evento);
}

void PanelPlazas::cmdAceptar_GotFocus() {
    if (m_c.cboPuesto->coincide()) m_c.txtCod->setText(m_c.cboPuesto->valorColumna(0));
}

void PanelPlazas::txtOrden_LostFocus() {
    if (!ordenAdmisible(m_c.txtOrden->text())) m_c.txtOrden->clear();
}

void PanelPlazas::cmdAdd_Click() {
    if (insertando()) return;
    m_c.txtOrden->setFocus(Qt::OtherFocusReason);
    if (!m_ctx.cboCuerpo->valor().isEmpty() || !m_ctx.cboGrupo->valor().isEmpty()) return;
    m_modo = 1;
    m_ctx.habilitarBusqueda(true);
    BloquearPanel(false);
    m_c.txtDesc->setVisible(false);
    ReiniciarPanel();
}

void PanelPlazas::cmdAceptar_Click() {
    if (insertando()) return;
    if (m_modo == 2)
        aceptarModificacion();
    else
        anadir();
}

bool PanelPlazas::ValidarPlaza() {
    if (!m_c.cboPuesto->tabla() || !m_c.cboPuesto->coincide()) {
        mostrarMensaje(QStringLiteral("El puesto elegido no es válido"), tituloMensajes(),
                       Icono::Exclamacion, Botones::Aceptar);
        return false;
    }
    if (PlazaYaSolicitada(m_c.cboPuesto->valorColumna(0), tabla())) {
        mostrarMensaje(QStringLiteral("Este puesto ya ha sido agregado a la solicitud"),
                       tituloMensajes(), Icono::Exclamacion, Botones::Aceptar);
        ReiniciarPanel();
        return false;
    }
    return true;
}

void PanelPlazas::anadir() {
    if (ValidarPlaza()) {
        // Con una plaza en la lista, el cuerpo y el grupo ya no cambian.
        m_ctx.cboCuerpo->setEnabled(false);
        m_ctx.cboGrupo->setEnabled(false);
        const PTabla& t = tabla();
        const qint64 id = SiguienteId(t, QStringLiteral("IdSolicitud"));
        const qint64 orden = OrdenParaNueva(t, m_c.txtOrden->text());
        const QString codArea = m_c.cboPuesto->valorColumna(7);
        const QString codZona = m_c.cboPuesto->valorColumna(8);
        // Las Vacantes guardan el área con seis ceros detrás; las Resultas, tal cual.
        const QString area =
            codArea.isEmpty() ? QString()
                              : nombreArea(G().rsAreas, esVacantes() ? codArea.left(2) : codArea);
        const QString zona = codZona.isEmpty() ? QString() : nombreZona(G().rsZonas, codZona);
        const Resultado r =
            t->anadirRegistro({QVariant(id), QVariant(orden), m_c.cboPuesto->valorColumna(0),
                               m_c.cboPuesto->valorColumna(1), m_c.cboPuesto->valorColumna(2),
                               m_c.cboPuesto->valorColumna(3), codArea, codZona, area, zona});
        if (!r) mostrarMensaje(r.mensaje(), tituloMensajes(), Icono::Exclamacion);
        t->ordenar(QStringLiteral("Orden ASC"));
    }
    finComun();
}

void PanelPlazas::finComun() {
    const PTabla& t = tabla();
    if (t && t->numeroRegistros() > 0) {
        t->moverPrimero();
        t->actualizar();
        t->moverUltimo();
    }
    ReiniciarPanel();
}

int PanelPlazas::filaUnica() const {
    const int fila = m_c.grd->filaSeleccionadaUnica();
    if (fila < 0 || !tabla()) return -1;
    tabla()->irAFila(fila);
    return tabla()->eof() || tabla()->bof() ? -1 : fila;
}

void PanelPlazas::cmdUpdate_Click() {
    if (insertando()) return;
    if (filaUnica() < 0) return;
    const PTabla& t = tabla();
    const QString id = t->texto(QStringLiteral("IdSolicitud"));
    const QString orden = t->texto(QStringLiteral("Orden"));
    const QString codigo = t->texto(QStringLiteral("CodConvocatoria"));
    const QString nombre = t->texto(QStringLiteral("NomConvocatoria"));
    cmdCancelar_Click();
    m_modo = 2;
    BloquearPanel(true);
    m_c.txtId->setText(id);
    m_c.txtOrden->setText(orden);
    m_ordenAnterior = valorEntero(orden).value_or(0);
    m_c.txtCod->setText(codigo);
    m_c.txtDesc->setText(nombre);
    m_c.txtDesc->setVisible(true);
    m_c.cboPuesto->setValor(codigo);
    m_c.txtOrden->setFocus(Qt::OtherFocusReason);
    if (m_c.lblPlazas) m_c.lblPlazas->setVisible(false);
}

void PanelPlazas::aceptarModificacion() {
    const PTabla& t = tabla();
    t->moverPrimero();
    const std::optional<double> pedido = valorNumerico(m_c.txtOrden->text());
    if (m_c.txtOrden->text().isEmpty() || !pedido) {
        mostrarMensaje(QStringLiteral("Debe asignar un orden a esta plaza"),
                       QStringLiteral("Error"), Icono::Exclamacion, Botones::Aceptar);
        return;
    }
    if (*pedido > double(t->numeroRegistros()))
        m_c.txtOrden->setText(QString::number(t->numeroRegistros()));
    const qint64 nuevo = valorEntero(m_c.txtOrden->text()).value_or(1);
    MoverOrden(t, QStringLiteral("Orden"), m_ordenAnterior, nuevo);
    // La fila modificada, por su identificador aunque la selección se haya movido.
    if (const PTabla fila =
            cursorEnId(t, QStringLiteral("IdSolicitud"), m_c.txtId->text().toLongLong()))
        fila->establecer(QStringLiteral("Orden"), nuevo);
    RenumerarOrden(t, QStringLiteral("Orden"));
    if (m_c.lblPlazas) m_c.lblPlazas->setVisible(true);
    finComun();
}

void PanelPlazas::cmdDel_Click() {
    if (insertando()) return;
    if (filaUnica() >= 0 && confirmarBorrarFila()) {
        const PTabla& t = tabla();
        // La rejilla no se redibuja mientras se borra y se renumera.
        m_c.grd->setUpdatesEnabled(false);
        t->borrar();
        RenumerarOrden(t, QStringLiteral("Orden"));
        if (t->numeroRegistros() > 0) {
            t->moverPrimero();
            t->actualizar();
            t->moverUltimo();
        }
        m_c.grd->setUpdatesEnabled(true);
        const PTabla& otra = G().*m_ctx.otraTabla;
        if (t->numeroRegistros() == 0 && (!otra || otra->numeroRegistros() == 0))
            m_ctx.cboCuerpo->setEnabled(true);
    }
    ReiniciarPanel();
}

void PanelPlazas::cmdTodas_Click() {
    if (insertando()) return;
    const PTabla& plazas = G().*m_ctx.plazas;
    if (!plazas || !tabla()) return;
    m_insercion = std::make_unique<InsercionTodas>(plazas, tabla(), G().rsAreas, G().rsZonas);
    // Como al añadir una sola: con plazas en la lista, el cuerpo y el grupo ya no cambian (otro
    // cuerpo dejaría en la solicitud plazas que no son suyas). Se fijan ya, mientras se insertan.
    if (m_insercion->total() > 0 || tabla()->numeroRegistros() > 0) {
        m_ctx.cboCuerpo->setEnabled(false);
        m_ctx.cboGrupo->setEnabled(false);
    }
    QApplication::setOverrideCursor(Qt::BusyCursor);
    seguirInsertando();
}

void PanelPlazas::seguirInsertando() {
    if (!m_insercion) return;
    const int tope = s_plazasPorTramo > 0 ? s_plazasPorTramo : m_insercion->total();
    if (m_insercion->continuar(tope, kPlazoTramoMs)) {
        // El resto, tras lo que la ventana tenga pendiente (pintar, teclas, el ratón).
        QTimer::singleShot(0, this, &PanelPlazas::seguirInsertando);
        return;
    }
    m_insercion.reset();
    QApplication::restoreOverrideCursor();
    if (m_ctx.repintar) m_ctx.repintar();
    // En Resultas se inserta una sola vez mientras el formulario siga abierto.
    if (!esVacantes()) m_c.cmdTodas->setEnabled(false);
    emit insercionTerminada();
}

void PanelPlazas::cmdCancelar_Click() {
    if (insertando()) return;
    ReiniciarPanel();
    m_modo = 1;
    m_ctx.reiniciarBusqueda();
}

void PanelPlazas::ReiniciarPanel() {
    m_modo = 1;
    for (QLineEdit* caja : {m_c.txtOrden, m_c.txtDesc, m_c.txtId, m_c.txtCod}) caja->clear();
    if (esVacantes()) {
        m_c.txtDesc->setVisible(false);
        m_c.cboPuesto->setEnabled(true);
        BloquearPanel(false);
    } else {
        m_c.cboPuesto->setEnabled(true);
        BloquearPanel(false);
        m_c.txtDesc->setVisible(false);
    }
    m_c.cboPuesto->setValor(QString());
    m_c.cboPuesto->setFocus(Qt::OtherFocusReason);
    m_ctx.aplicarFiltro();
    if (m_c.lblPlazas) m_c.lblPlazas->setVisible(true);
    m_ctx.habilitarBusqueda(true);
}

void PanelPlazas::BloquearPanel(bool bloquear) {
    for (QWidget* w :
         std::initializer_list<QWidget*>{m_c.cboProvincia, m_c.cboLocalidad, m_c.cboConsejeria,
                                         m_c.cboPuesto, m_c.txtCod, m_c.txtDesc})
        w->setEnabled(!bloquear);
}
