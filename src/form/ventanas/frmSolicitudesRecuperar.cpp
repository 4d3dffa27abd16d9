// Formulario de la solicitud: leer una solicitud guardada. El documento devuelve los datos del
// solicitante por sus campos y el fichero de listas las cuatro listas.
#include "catalogue/ventanas/EnlazarCombo.h"
#include "form/ventanas/PestanaSolicitante.h"
#include "form/ventanas/PestanaVacantes.h"
#include "form/ventanas/frmProgresoGeneral.h"
#include "form/ventanas/frmSolicitudes.h"
#include "global/Globales.h"
#include "platform/ServicioMensajes.h"
#include "platform/ventanas/ComboDatos.h"
#include "storage/BloqueoSolicitud.h"
#include "storage/CamposSolicitud.h"
#include "storage/ListasXml.h"
#include "storage/SolicitudesGuardadas.h"
#include "ui_PestanaSolicitante.h"
#include "ui_frmSolicitudes.h"

#include <QAction>
#include <QButtonGroup>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QRadioButton>

namespace {

const QString kTituloRecuperar = QStringLiteral("Recuperar solicitud");

// Desmarca la opción sin ejecutar su manejador: su grupo puede quedarse sin ninguna marcada.
void desmarcar(QRadioButton* opcion) {
    if (!opcion->isChecked()) return;
    QButtonGroup* grupo = opcion->group();
    if (grupo) grupo->setExclusive(false);
    opcion->setAutoExclusive(false);
    opcion->setChecked(false);
    opcion->setAutoExclusive(true);
    if (grupo) grupo->setExclusive(true);
}

// El texto de un fallo para ir detrás de dos puntos: sin el punto final, que pone la frase.
QString sinPunto(QString texto) {
    while (texto.endsWith(QLatin1Char('.'))) texto.chop(1);
    return texto;
}

QString causaListas(const ResultadoDe<LecturaListas>& leidas) {
    if (!leidas) return sinPunto(leidas.mensaje());
    if (leidas.valor() == LecturaListas::NoExiste) return QStringLiteral("el fichero no existe");
    if (leidas.valor() == LecturaListas::NoEsDeListas)
        return QStringLiteral(
            "es un fichero XML, pero no el de las listas de una solicitud (no "
            "empieza por <Plazas>)");
    return QStringLiteral("no es un fichero XML bien formado");
}

}  // namespace

void frmSolicitudes::RecuperarSolicitud(const QString& fichero, const QString& carpeta) {
    frmProgresoGeneral progreso(this);
    progreso.lblAccion()->setText(QStringLiteral("Recuperando información de la solicitud ..."));
    progreso.prgBar()->setRange(0, 0);
    progreso.show();
    progreso.repaint();

    Ui::PestanaSolicitante& d = ui->pestanaSolicitante->controles();
    QStringList avisos;
    // Abierta en otro programa, o con un bloqueo que no se puede tomar, se puede ver aquí pero no
    // guardar (guardar también lo mira). Donde no se puede escribir, lo dirá el guardado.
    if (m_bloqueo && m_bloqueo->es(carpeta, fichero)) {
        // Ya es de esta ventana.
    } else if (auto bloqueo = BloqueoSolicitud::tomar(carpeta, fichero)) {
        m_bloqueo = bloqueo.valor();
    } else if (bloqueo.numero() != BloqueoSolicitud::kCarpetaSinEscritura) {
        // En uso en otro programa, o un bloqueo que no se puede tomar: guardar no se admitirá.
        avisos << bloqueo.mensaje();
    }
    const QString rutaDocumento = carpeta + fichero;
    QStringList esperados;
    for (QWidget* c : controlesConCampo()) esperados << c->property("campo").toString();
    const auto documento = LeerCamposSolicitud(rutaDocumento, esperados);
    if (documento) {
        rellenarDesdeDocumento(documento.valor());
    } else {
        avisos << QStringLiteral(
                      "No se han podido leer los datos del solicitante de \"%1\": %2.\n"
                      "Si guarda la solicitud, ese fichero se sustituirá por los datos "
                      "que haya entonces en el formulario.")
                      .arg(rutaDocumento, sinPunto(documento.mensaje()));
    }
    // El cuerpo y el grupo del nombre del fichero: con ellos se guardó y con ellos se guardará
    // (aunque el documento no se haya podido leer o dos cuerpos se llamen igual).
    ponerCuerpoYGrupoDelNombre(fichero);

    // Las cuatro listas. Un fichero que falta o no se puede leer se dice: guardar lo sustituiría.
    const QString listas = NombreFicheroListas(fichero);
    Globales& g = G();
    QString sello;
    const auto leidas = LeerListasXML(carpeta, listas, g.rsResultasSolicitadas,
                                      g.rsVacantesSolicitadas, g.rsCursos, g.rsDocumentos, &sello);
    if (!leidas || leidas.valor() != LecturaListas::Leidas) {
        avisos << QStringLiteral(
                      "No se han podido leer las plazas, cursos y documentos de \"%1\": "
                      "%2.\nSi guarda la solicitud, ese fichero se sustituirá por las "
                      "listas que haya entonces en el formulario.")
                      .arg(carpeta + listas, causaListas(leidas));
    } else if (documento && documento.valor().sello.isEmpty() && !sello.isEmpty()) {
        // Las listas son de un guardado con sello y el documento no dice de cuál es: no se sabe si
        // van juntos (el documento se puso ahí a mano o es de antes de los sellos).
        avisos << QStringLiteral(
                      "Las plazas, cursos y documentos de \"%1\" pueden no ser los que se "
                      "guardaron con los datos de \"%2\": las listas dicen de qué guardado son y "
                      "el documento no, así que no se sabe si son del mismo; revíselas.\nSi guarda "
                      "la solicitud, ese fichero se sustituirá por las listas que haya entonces "
                      "en el formulario.")
                      .arg(carpeta + listas, rutaDocumento);
    } else if (documento && !documento.valor().sello.isEmpty() &&
               documento.valor().sello != sello) {
        // Un guardado interrumpido entre los dos ficheros: el documento es de uno y las listas
        // de otro anterior.
        avisos << QStringLiteral(
                      "Las plazas, cursos y documentos de \"%1\" no son los que se "
                      "guardaron con los datos de \"%2\": un guardado se interrumpió "
                      "y las listas son de un guardado anterior; revíselas.\nSi guarda "
                      "la solicitud, ese fichero se sustituirá por las listas que haya "
                      "entonces en el formulario.")
                      .arg(carpeta + listas, rutaDocumento);
    }
    for (const PTabla& t :
         {g.rsCursos, g.rsVacantesSolicitadas, g.rsResultasSolicitadas, g.rsDocumentos}) {
        if (!t) continue;
        t->actualizar();
        if (t->numeroRegistros() > 0) t->moverPrimero();
    }

    // Ajustes del formulario a lo leído, en su orden.
    if (d.optPetConyugeSi->isChecked()) d.fraDNIConyuge->setVisible(true);
    if (d.optDiscSi->isChecked())
        for (QWidget* w : std::initializer_list<QWidget*>{d.lblAdap, d.lblTipoDis,
                                                          d.txtAdaptaciones, d.txtTipoDisc})
            w->setVisible(true);
    d.cboSituaciones->setTexto(d.txtSitAdm->text());
    if (!d.optActivo->isChecked() && !d.cboSituaciones->coincide())
        d.cboSituaciones->setValor(QStringLiteral("08"));
    if (d.optOtras->isChecked() && d.cboSituaciones->texto() == QLatin1String("Otra"))
        d.txtSitAdm->setVisible(true);
    // La fecha de posesión, como al elegir: solo de un destino actual definitivo.
    const bool posesion = d.OptSi->isChecked() && d.optDefinitivo->isChecked();
    d.txtFecPosesion->setVisible(posesion);
    d.lblPosesion->setVisible(posesion);
    SeleccionaPlazasRS();
    // Con cuerpo y grupo, la búsqueda de plazas queda lista para seguir pidiendo.
    HabilitarBusqueda(d.cboCuerpo->coincide() && d.cboGrupo->coincide());
    d.cboCuerpo->setEnabled(false);
    d.cboGrupo->setEnabled(false);
    txtDNI()->setEnabled(false);

    progreso.hide();
    habilitarMenuSolicitud();
    if (!avisos.isEmpty())
        mostrarMensaje(avisos.join(QStringLiteral("\n\n")), kTituloRecuperar, Icono::Exclamacion,
                       Botones::Aceptar);
}

void frmSolicitudes::rellenarDesdeDocumento(const CamposSolicitud& doc) {
    Ui::PestanaSolicitante& d = ui->pestanaSolicitante->controles();
    int serviciosMarcados = 0;
    for (QWidget* control : controlesConCampo()) {
        const QString campo = control->property("campo").toString();
        if (auto* opcion = qobject_cast<QRadioButton*>(control)) {
            // Una casilla que el documento no tiene se pasa por alto.
            if (!doc.casillas.contains(campo)) continue;
            if (doc.casillas.value(campo)) {
                ui->pestanaSolicitante->elegirOpcion(opcion);
                if (campo == QLatin1String("NORSA") || campo == QLatin1String("SSOTROS"))
                    ++serviciosMarcados;
            } else {
                desmarcar(opcion);
            }
            continue;
        }
        if (!doc.textos.contains(campo)) continue;
        const QString texto = doc.textos.value(campo);
        if (auto* caja = qobject_cast<QLineEdit*>(control))
            caja->setText(texto);
        else if (auto* combo = qobject_cast<ComboDatos*>(control))
            combo->setTexto(texto);
        if (campo == QLatin1String("CUERPOOESCALA")) lblCat()->setText(texto);
    }
    // Sin servicio de salud marcado no hay destino actual; con él, el destino se enseña.
    ui->pestanaSolicitante->elegirOpcion(serviciosMarcados == 0 ? d.OptNo : d.OptSi);
}

void frmSolicitudes::ponerCuerpoYGrupoDelNombre(const QString& fichero) {
    Ui::PestanaSolicitante& d = ui->pestanaSolicitante->controles();
    // Caracteres 10 a 15: el código del cuerpo relleno por la izquierda con "_"; el 17, el grupo.
    QString cuerpo = fichero.mid(9, 6);
    while (cuerpo.startsWith(QLatin1Char('_'))) cuerpo.remove(0, 1);
    const QString grupo = fichero.mid(16, 1);
    // Elige la fila de ese valor si la hay; si no, el combo se queda como estaba.
    const auto elegir = [](ComboDatos* combo, const QString& valor) {
        if (valor.isEmpty() || combo->valor() == valor) return false;
        const QString texto = combo->texto();
        combo->setValor(valor);
        if (combo->valor() == valor) return true;
        combo->setTexto(texto);
        return false;
    };
    if (elegir(d.cboCuerpo, cuerpo))
        lblCat()->setText(d.cboCuerpo->valorColumna(QStringLiteral("DescCuerpo")));
    elegir(d.cboGrupo, grupo);
}
