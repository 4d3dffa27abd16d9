#include "form/ventanas/PestanaResultas.h"

#include "catalogue/ventanas/EnlazarCombo.h"
#include "form/ventanas/FiltroTeclas.h"
#include "form/ventanas/PanelPlazas.h"
#include "global/Globales.h"
#include "platform/ventanas/ComboDatos.h"
#include "platform/ventanas/PerdidaFoco.h"
#include "ui_PestanaResultas.h"

namespace {

void refiltrar(const PTabla& t, const QString& filtro) {
    if (!t) return;
    t->filtrar(QString());
    t->filtrar(filtro);
}

QString clausulaProvincia(const QString& provincia) {
    return QStringLiteral("CodProvincia='") + valorFiltro(provincia) + "' ";
}

}  // namespace

PestanaResultas::PestanaResultas(QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::PestanaResultas>()) {
    ui->setupUi(this);
    prepararListasBusqueda(
        {ui->cboProvinciaResultas, ui->cboLocalidadResultas, ui->cboConsejeriaResultas,
         ui->cboAreasResultas, ui->cboZonasResultas, ui->cboPuestoResultas},
        QStringLiteral("Convocatoria"));
}

PestanaResultas::~PestanaResultas() = default;

void PestanaResultas::preparar(ContextoPanel contexto) {
    contexto.lista = QStringLiteral("R");
    contexto.tabla = &Globales::rsResultasSolicitadas;
    contexto.otraTabla = &Globales::rsVacantesSolicitadas;
    contexto.plazas = &Globales::rsResultasCuerpo;
    contexto.aplicarFiltro = [this] { aplicarFiltro(); };
    contexto.reiniciarBusqueda = [this] { reiniciarBusqueda(); };
    const ControlesPanel c{ui->cboPuestoResultas,       ui->txtOrdenResultas,
                           ui->txtCodResulta,           ui->txtDescResultas,
                           ui->txtIdSolicitudResultas,  ui->cmdAddResultas,
                           ui->cmdUpdateResultas,       ui->cmdDelResultas,
                           ui->cmdInsertaTodasResultas, ui->cmdAceptarResultas,
                           ui->cmdCancelarResultas,     ui->grdResultas,
                           ui->cboProvinciaResultas,    ui->cboLocalidadResultas,
                           ui->cboConsejeriaResultas,   nullptr};
    m_panel = new PanelPlazas(c, std::move(contexto), this);
    conectar();
}

void PestanaResultas::enlazar() {
    const Globales& g = G();
    // Segundos cursores de las áreas y zonas de Vacantes: las mismas filas, otro filtro.
    m_rsAreasResultas = g.rsAreas ? g.rsAreas->clonar() : nullptr;
    m_rsZonasResultas = g.rsZonas ? g.rsZonas->clonar() : nullptr;
    EnlazarCombo(*ui->cboProvinciaResultas, g.rsProvincias);
    EnlazarCombo(*ui->cboLocalidadResultas, g.rsLocalidadesResultas);
    EnlazarCombo(*ui->cboConsejeriaResultas, g.rsConsejeriasResultas);
    EnlazarCombo(*ui->cboAreasResultas, m_rsAreasResultas);
    EnlazarCombo(*ui->cboZonasResultas, m_rsZonasResultas);
    m_panel->enlazarRejilla();
}

void PestanaResultas::conectar() {
    const auto elegir = [this](ComboDatos* combo, void (PestanaResultas::*manejador)()) {
        connect(combo, &ComboDatos::filaElegidaPorUsuario, this, manejador);
    };
    const auto salir = [this](QWidget* control, void (PestanaResultas::*manejador)()) {
        alPerderFoco(control, this, [this, manejador] { (this->*manejador)(); });
    };
    elegir(ui->cboProvinciaResultas, &PestanaResultas::cboProvinciaResultas_Click);
    salir(ui->cboProvinciaResultas, &PestanaResultas::cboProvinciaResultas_LostFocus);
    elegir(ui->cboLocalidadResultas, &PestanaResultas::cboLocalidadResultas_Click);
    salir(ui->cboLocalidadResultas, &PestanaResultas::cboLocalidadResultas_LostFocus);
    elegir(ui->cboConsejeriaResultas, &PestanaResultas::cboConsejeriaResultas_Click);
    salir(ui->cboConsejeriaResultas, &PestanaResultas::cboConsejeriaResultas_LostFocus);
    elegir(ui->cboAreasResultas, &PestanaResultas::cboAreasResultas_Click);
    salir(ui->cboAreasResultas, &PestanaResultas::cboAreasResultas_LostFocus);
    elegir(ui->cboZonasResultas, &PestanaResultas::cboZonasResultas_Click);
    salir(ui->cboZonasResultas, &PestanaResultas::cboZonasResultas_LostFocus);
    connect(ui->cboPuestoResultas, &ComboDatos::filaElegidaPorUsuario, this,
            [this] { ui->cmdAceptarResultas->setFocus(Qt::OtherFocusReason); });
    salir(ui->txtCodResulta, &PestanaResultas::txtCodResulta_LostFocus);
}

PanelBusqueda PestanaResultas::panelBusqueda() const {
    const auto eleccion = [](const ComboDatos* c) {
        return EleccionCombo{c->valor(), c->coincide()};
    };
    PanelBusqueda p;
    p.provincia = eleccion(ui->cboProvinciaResultas);
    p.localidad = eleccion(ui->cboLocalidadResultas);
    p.provinciaLocalidad = ui->cboLocalidadResultas->valorColumna(QStringLiteral("CodProvincia"));
    p.consejeria = eleccion(ui->cboConsejeriaResultas);
    p.area = eleccion(ui->cboAreasResultas);
    p.zona = eleccion(ui->cboZonasResultas);
    p.codigo = ui->txtCodResulta->text();
    return p;
}

void PestanaResultas::aplicarFiltro() {
    if (const PTabla& plazas = G().rsResultasCuerpo)
        plazas->filtrar(FiltroPlazas(QStringLiteral("R"), panelBusqueda()));
}

void PestanaResultas::filtrarPorProvincia(const QString& provincia) {
    refiltrar(G().rsLocalidadesResultas, clausulaProvincia(provincia));
    refiltrar(m_rsAreasResultas, clausulaProvincia(provincia));
    // Las zonas no llevan su provincia (ese campo viene vacío del catálogo): las de la provincia
    // son las de sus áreas.
    QStringList areas;
    if (m_rsAreasResultas) {
        const int c = m_rsAreasResultas->indiceCampo(QStringLiteral("CodArea"));
        for (int f = 0; f < m_rsAreasResultas->numeroRegistros(); ++f)
            areas << m_rsAreasResultas->valorEnFila(f, c).toString();
    }
    refiltrar(m_rsZonasResultas, FiltroZonasDeAreas(areas));
}

void PestanaResultas::cboProvinciaResultas_Click() {
    if (!ui->cboProvinciaResultas->coincide()) return;
    ui->cboLocalidadResultas->setValor(QString());
    filtrarPorProvincia(ui->cboProvinciaResultas->valor());
    ui->cboConsejeriaResultas->setValor(QString());
    if (G().rsConsejeriasResultas) G().rsConsejeriasResultas->filtrar(QString());
    aplicarFiltro();
    ui->txtCodResulta->clear();
    enviarTab(ui->cboProvinciaResultas);
}

void PestanaResultas::cboProvinciaResultas_LostFocus() {
    if (!ui->cboProvinciaResultas->coincide()) {
        ui->cboProvinciaResultas->setValor(QString());
        for (const PTabla& t : {G().rsLocalidadesResultas, m_rsAreasResultas, m_rsZonasResultas,
                                G().rsConsejeriasResultas})
            if (t) t->filtrar(QString());
        for (ComboDatos* c :
             {ui->cboAreasResultas, ui->cboZonasResultas, ui->cboConsejeriaResultas})
            c->setValor(QString());
    } else {
        filtrarPorProvincia(ui->cboProvinciaResultas->valor());
    }
    aplicarFiltro();
}

void PestanaResultas::cboLocalidadResultas_Click() {
    if (ui->cboLocalidadResultas->coincide()) {
        ui->cboZonasResultas->setValor(QString());
        ui->cboZonasResultas->setEnabled(false);
        aplicarFiltro();
        ui->txtCodResulta->clear();
        enviarTab(ui->cboLocalidadResultas);
    } else if (ui->cboLocalidadResultas->valor().isEmpty()) {
        ui->cboZonasResultas->setEnabled(true);
    }
}

void PestanaResultas::cboLocalidadResultas_LostFocus() {
    if (ui->cboLocalidadResultas->coincide()) {
        ui->cboZonasResultas->setValor(QString());
        ui->cboZonasResultas->setEnabled(false);
    } else {
        ui->cboLocalidadResultas->setValor(QString());
        ui->cboZonasResultas->setEnabled(true);
    }
    aplicarFiltro();
}

void PestanaResultas::cboConsejeriaResultas_Click() {
    aplicarFiltro();
    ui->txtCodResulta->clear();
    enviarTab(ui->cboConsejeriaResultas);
}

void PestanaResultas::cboConsejeriaResultas_LostFocus() {
    if (!ui->cboConsejeriaResultas->coincide()) ui->cboConsejeriaResultas->setValor(QString());
    aplicarFiltro();
}

void PestanaResultas::cboAreasResultas_Click() {
    ui->cboZonasResultas->setValor(QString());
    const QString clausula =
        QStringLiteral("CodArea='") + valorFiltro(ui->cboAreasResultas->valor()) + "' ";
    refiltrar(m_rsZonasResultas, clausula);
    refiltrar(G().rsConsejeriasResultas, clausula);
    aplicarFiltro();
    ui->txtCodResulta->clear();
    enviarTab(ui->cboAreasResultas);
}

void PestanaResultas::cboAreasResultas_LostFocus() {
    if (ui->cboAreasResultas->coincide()) {
        const QString clausula =
            QStringLiteral(" CodArea='") + valorFiltro(ui->cboAreasResultas->valor()) + "' ";
        if (m_rsZonasResultas) m_rsZonasResultas->filtrar(clausula);
        if (G().rsConsejeriasResultas) G().rsConsejeriasResultas->filtrar(clausula);
    } else {
        ui->cboAreasResultas->setValor(QString());
        if (m_rsZonasResultas) m_rsZonasResultas->filtrar(QString());
        if (G().rsConsejeriasResultas) G().rsConsejeriasResultas->filtrar(QString());
    }
    aplicarFiltro();
}

void PestanaResultas::cboZonasResultas_Click() {
    aplicarFiltro();
    ui->txtCodResulta->clear();
    enviarTab(ui->cboZonasResultas);
}

void PestanaResultas::cboZonasResultas_LostFocus() {
    // Salir de la zona no manda otro Tab: llevaría el foco más allá del control que el usuario
    // acaba de elegir con el ratón o el teclado.
    if (ui->cboZonasResultas->texto().isEmpty()) ui->cboZonasResultas->setValor(QString());
    aplicarFiltro();
    ui->txtCodResulta->clear();
}

void PestanaResultas::txtCodResulta_LostFocus() {
    aplicarFiltro();
    const PTabla& plazas = G().rsResultasCuerpo;
    // Sin código escrito no hay plaza que elegir: el foco se queda donde lo puso el usuario.
    if (!plazas || plazas->numeroRegistros() == 0 || ui->txtCodResulta->text().isEmpty()) return;
    ui->cboPuestoResultas->setValor(ui->txtCodResulta->text());
    ui->cmdAceptarResultas->setFocus(Qt::OtherFocusReason);
}

void PestanaResultas::reiniciarBusqueda() {
    for (ComboDatos* c : {ui->cboConsejeriaResultas, ui->cboLocalidadResultas,
                          ui->cboProvinciaResultas, ui->cboAreasResultas, ui->cboZonasResultas})
        c->setValor(QString());
    ui->txtCodResulta->clear();
    ui->cboZonasResultas->setEnabled(true);
    for (const PTabla& t : {m_rsAreasResultas, m_rsZonasResultas, G().rsLocalidadesResultas,
                            G().rsConsejeriasResultas})
        if (t) t->filtrar(QString());
    ui->txtCodResulta->setEnabled(true);
    aplicarFiltro();
    if (G().rsLocalidadesResultas) G().rsLocalidadesResultas->filtrar(QString());
}
