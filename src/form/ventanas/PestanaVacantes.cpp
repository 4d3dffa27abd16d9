#include "form/ventanas/PestanaVacantes.h"

#include "catalogue/ventanas/EnlazarCombo.h"
#include "form/ventanas/FiltroTeclas.h"
#include "form/ventanas/PanelPlazas.h"
#include "global/Globales.h"
#include "platform/ventanas/ComboDatos.h"
#include "platform/ventanas/PerdidaFoco.h"
#include "ui_PestanaVacantes.h"

#include <QLabel>
#include <QScopedValueRollback>

namespace {

EleccionCombo eleccion(const ComboDatos* combo) {
    return {combo->valor(), combo->coincide()};
}

void quitarFiltro(const PTabla& t) {
    if (t) t->filtrar(QString());
}

bool sinFiltro(const PTabla& t) {
    return !t || !t->tieneFiltro();
}

}  // namespace

PestanaVacantes::PestanaVacantes(QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::PestanaVacantes>()) {
    ui->setupUi(this);
    FiltroTeclas::instalarNumerico(ui->txtCodVacante);
    prepararListasBusqueda(
        {ui->cboProvinciaVacantes, ui->cboLocalidadVacantes, ui->cboConsejeriaVacantes,
         ui->cboAreasVacantes, ui->cboZonasVacantes, ui->cboPuestoVacante},
        QStringLiteral("Denominación"));
}

PestanaVacantes::~PestanaVacantes() = default;

void PestanaVacantes::preparar(ContextoPanel contexto) {
    contexto.lista = QStringLiteral("V");
    contexto.tabla = &Globales::rsVacantesSolicitadas;
    contexto.otraTabla = &Globales::rsResultasSolicitadas;
    contexto.plazas = &Globales::rsVacantesCuerpo;
    contexto.aplicarFiltro = [this] {
        aplicarFiltro();
        contar();
    };
    contexto.reiniciarBusqueda = [this] { reiniciarBusqueda(); };
    const ControlesPanel c{ui->cboPuestoVacante,       ui->txtOrdenVacante,
                           ui->txtCodVacante,          ui->txtDescVacantes,
                           ui->txtIdSolicitudVacantes, ui->cmdAddVacante,
                           ui->cmdUpdateVacante,       ui->cmdDelVacante,
                           ui->cmdTodasVacantes,       ui->cmdAceptarVacante,
                           ui->cmdCancelarVacante,     ui->grdVacantes,
                           ui->cboProvinciaVacantes,   ui->cboLocalidadVacantes,
                           ui->cboConsejeriaVacantes,  ui->lblPlazas};
    m_panel = new PanelPlazas(c, std::move(contexto), this);
    conectar();
}

void PestanaVacantes::enlazar() {
    const Globales& g = G();
    EnlazarCombo(*ui->cboProvinciaVacantes, g.rsProvincias);
    EnlazarCombo(*ui->cboLocalidadVacantes, g.rsLocalidadesVacantes);
    EnlazarCombo(*ui->cboConsejeriaVacantes, g.rsConsejeriasVacantes);
    EnlazarCombo(*ui->cboAreasVacantes, g.rsAreas);
    EnlazarCombo(*ui->cboZonasVacantes, g.rsZonas);
    m_panel->enlazarRejilla();
    HabilitarBusquedaVacantes();
}

void PestanaVacantes::conectar() {
    connect(ui->cboProvinciaVacantes, &ComboDatos::filaElegidaPorUsuario, this,
            &PestanaVacantes::cboProvinciaVacantes_Click);
    alPerderFoco(ui->cboProvinciaVacantes, this, [this] { cboProvinciaVacantes_LostFocus(); });
    for (ComboDatos* c : {ui->cboConsejeriaVacantes, ui->cboAreasVacantes}) {
        connect(c, &ComboDatos::filaElegidaPorUsuario, this,
                &PestanaVacantes::cboConsejeriaOArea_Click);
        alPerderFoco(c, this, [this] { cboConsejeriaOArea_LostFocus(); });
    }
    connect(ui->cboLocalidadVacantes, &ComboDatos::cambiado, this,
            &PestanaVacantes::cboLocalidadVacantes_Change);
    connect(ui->cboZonasVacantes, &ComboDatos::cambiado, this,
            &PestanaVacantes::cboZonasVacantes_Change);
    connect(ui->cboPuestoVacante, &ComboDatos::filaElegidaPorUsuario, this,
            [this] { ui->cmdAceptarVacante->setFocus(Qt::OtherFocusReason); });
    alPerderFoco(ui->txtCodVacante, this, [this] { txtCodVacante_LostFocus(); });
}

QStringList PestanaVacantes::areasVisibles() const {
    QStringList areas;
    if (const PTabla& t = G().rsAreas) {
        const int c = t->indiceCampo(QStringLiteral("CodArea"));
        for (int f = 0; f < t->numeroRegistros(); ++f) areas << t->valorEnFila(f, c).toString();
    }
    return areas;
}

PanelBusqueda PestanaVacantes::panelBusqueda() const {
    PanelBusqueda p;
    p.provincia = eleccion(ui->cboProvinciaVacantes);
    p.localidad = eleccion(ui->cboLocalidadVacantes);
    p.provinciaLocalidad = ui->cboLocalidadVacantes->valorColumna(QStringLiteral("CodProvincia"));
    p.consejeria = eleccion(ui->cboConsejeriaVacantes);
    p.area = eleccion(ui->cboAreasVacantes);
    p.zona = eleccion(ui->cboZonasVacantes);
    p.codigo = ui->txtCodVacante->text();
    p.areasVisibles = areasVisibles();
    return p;
}

void PestanaVacantes::aplicarFiltro() {
    const PTabla& plazas = G().rsVacantesCuerpo;
    if (!plazas) return;
    plazas->filtrar(FiltroPlazas(QStringLiteral("V"), panelBusqueda()));
}

void PestanaVacantes::contar() {
    const PTabla& plazas = G().rsVacantesCuerpo;
    ui->lblPlazas->setText(QStringLiteral("Códigos Localizados: ") +
                           QString::number(plazas ? plazas->numeroRegistros() : 0));
}

void PestanaVacantes::RecalcularListasVacantes(const QString& modo) {
    // Los filtros cambian las listas de los combos, que avisan de sus cambios: eso no es el
    // usuario cambiando la localidad o la zona.
    QScopedValueRollback<bool> enCambio(m_enCambio, true);
    const Globales& g = G();
    const bool localidad = modo == QLatin1String("LOCALIDAD");
    const bool zonaBasica = modo == QLatin1String("ZONABASICA");
    if (!localidad) quitarFiltro(g.rsLocalidadesVacantes);
    quitarFiltro(g.rsAreas);
    if (!zonaBasica) quitarFiltro(g.rsZonas);
    quitarFiltro(g.rsConsejeriasVacantes);
    quitarFiltro(g.rsProvincias);
    // Localidad y zona se excluyen.
    if (ui->cboZonasVacantes->isEnabled() && ui->cboLocalidadVacantes->coincide()) {
        quitarFiltro(g.rsZonas);
        ui->cboZonasVacantes->setEnabled(false);
        ui->cboZonasVacantes->setValor(QString());
    }
    if (ui->cboLocalidadVacantes->isEnabled() && ui->cboZonasVacantes->coincide()) {
        quitarFiltro(g.rsLocalidadesVacantes);
        ui->cboLocalidadVacantes->setEnabled(false);
        ui->cboLocalidadVacantes->setValor(QString());
    }
    const bool hayProvincia = ui->cboProvinciaVacantes->coincide();
    const QString provincia = valorFiltro(ui->cboProvinciaVacantes->valor());
    if (!localidad && hayProvincia && g.rsLocalidadesVacantes)
        g.rsLocalidadesVacantes->filtrar(QStringLiteral("CodProvincia='") + provincia + "' ");
    if (hayProvincia && g.rsAreas) {
        g.rsAreas->filtrar(QStringLiteral("CodProvincia='") + provincia + "' ");
        ui->cboAreasVacantes->reenlazar();
    }
    if (ui->cboLocalidadVacantes->coincide() && sinFiltro(g.rsAreas) && g.rsAreas)
        g.rsAreas->filtrar(QStringLiteral(" CodProvincia='") +
                           valorFiltro(ui->cboLocalidadVacantes->valorColumna(2)) + "' ");
    const QString area = valorFiltro(ui->cboAreasVacantes->valor());
    if (!zonaBasica && g.rsZonas) {
        // Las zonas no llevan su provincia (ese campo viene vacío del catálogo): las de la
        // provincia son las de sus áreas, que rsAreas acaba de dejar a la vista.
        if (hayProvincia) g.rsZonas->filtrar(FiltroZonasDeAreas(areasVisibles()));
        if (ui->cboAreasVacantes->coincide()) {
            const QString clausula = QStringLiteral("CodArea='") + area + "' ";
            g.rsZonas->filtrar(sinFiltro(g.rsZonas) ? clausula
                                                    : g.rsZonas->filtro() + " AND " + clausula);
        }
    }
    if (g.rsConsejeriasVacantes) {
        if (hayProvincia)
            g.rsConsejeriasVacantes->filtrar(QStringLiteral("CodProvincia='") + provincia + "' ");
        if (ui->cboAreasVacantes->coincide()) {
            const QString clausula = QStringLiteral("CodArea='") + area + "' ";
            g.rsConsejeriasVacantes->filtrar(sinFiltro(g.rsConsejeriasVacantes)
                                                 ? clausula
                                                 : g.rsConsejeriasVacantes->filtro() + " and " +
                                                       clausula);
        }
    }
    if (!ui->cboConsejeriaVacantes->coincide()) return;
    const QString institucion = ui->cboConsejeriaVacantes->valor();
    // Las zonas no llevan su institución (ese campo viene vacío del catálogo): las de una
    // institución son las de su área. Si con eso no quedara ninguna se dejan como estaban, porque
    // la tabla es la misma que la del combo de preferencia de la primera pestaña.
    const QString areaInstitucion =
        ui->cboConsejeriaVacantes->valorColumna(QStringLiteral("CodArea")).trimmed().left(2);
    if (g.rsZonas && !areaInstitucion.isEmpty()) {
        const QString antes = g.rsZonas->filtro();
        const QString clausula = QStringLiteral("CodArea='") + valorFiltro(areaInstitucion) + "' ";
        g.rsZonas->filtrar(sinFiltro(g.rsZonas) ? clausula : antes + " AND " + clausula);
        if (g.rsZonas->numeroRegistros() == 0) g.rsZonas->filtrar(antes);
    }
    if (!g.rsInstituciones || !g.rsLocalidadesVacantes) return;
    g.rsInstituciones->filtrar(QStringLiteral("Codinstitucion='") + valorFiltro(institucion) +
                               "' ");
    QString localidades;
    const int c = g.rsInstituciones->indiceCampo(QStringLiteral("CodLocalidad"));
    const int n = g.rsInstituciones->numeroRegistros();
    for (int f = 0; f < n; ++f)
        localidades += QStringLiteral(" CodLocalidad='") +
                       valorFiltro(g.rsInstituciones->valorEnFila(f, c).toString()) + "' OR ";
    quitarFiltro(g.rsInstituciones);
    if (n == 0) return;
    localidades = QStringLiteral(" ( ") + localidades.left(localidades.lastIndexOf("OR")) + " ) ";
    g.rsLocalidadesVacantes->filtrar(localidades);
}

void PestanaVacantes::HabilitarBusquedaVacantes() {
    const bool conProvincia = !ui->cboProvinciaVacantes->valor().isEmpty();
    ui->cboConsejeriaVacantes->setEnabled(conProvincia);
    ui->cboLocalidadVacantes->setEnabled(conProvincia);
    ui->cboProvinciaVacantes->setEnabled(!conProvincia);
    ui->cboAreasVacantes->setEnabled(conProvincia);
    ui->cboZonasVacantes->setEnabled(conProvincia);
}
