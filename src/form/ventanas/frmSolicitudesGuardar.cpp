// Formulario de la solicitud: las comprobaciones antes de guardar o imprimir y el guardado del
// documento y del fichero de listas.
#include "form/ventanas/PanelPlazas.h"
#include "form/ventanas/PestanaCursos.h"
#include "form/ventanas/PestanaResultas.h"
#include "form/ventanas/PestanaSolicitante.h"
#include "form/ventanas/PestanaVacantes.h"
#include "form/ventanas/frmProgresoGeneral.h"
#include "form/ventanas/frmSolicitudes.h"
#include "global/Globales.h"
#include "platform/FicheroAparte.h"
#include "platform/ServicioMensajes.h"
#include "platform/ventanas/ComboDatos.h"
#include "printing/CodigoBarras.h"
#include "printing/GeneradorDocumento.h"
#include "storage/BloqueoSolicitud.h"
#include "storage/GuardadoPar.h"
#include "storage/ListasXml.h"
#include "storage/SolicitudesGuardadas.h"
#include "ui_PestanaSolicitante.h"
#include "ui_frmSolicitudes.h"
#include "users/Usuarios.h"
#include "users/ventanas/frmCreaPwd.h"

#include <QAction>
#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QEvent>
#include <QEventLoop>
#include <QFile>
#include <QLineEdit>
#include <QProgressBar>
#include <QRadioButton>
#include <QStatusBar>
#include <QTimer>
#include <atomic>
#include <functional>
#include <memory>
#include <thread>

namespace {

// El código del solicitante no lleva caracteres de control (salvo el tabulador). En el documento
// ya los quita su motor.
QString sinControl(QString texto) {
    texto.removeIf([](QChar c) { return c.unicode() < 0x20 && c != u'\t'; });
    return texto;
}

const QString kMensajeSinContrasena = QStringLiteral(
    "No se ha guardado la solicitud: para guardarla por primera vez hay que poner "
    "una contraseña.");

void mensajeDatosNoValidos(const QString& texto) {
    mostrarMensaje(texto, QStringLiteral("Datos no válidos"), Icono::Exclamacion, Botones::Aceptar);
}

void mensajeValidacion(const QString& texto) {
    mostrarMensaje(texto, QStringLiteral("Validación"), Icono::Exclamacion, Botones::Aceptar);
}

// Lo que se dice cuando el guardado falla antes de tocar la solicitud guardada (el documento y
// las listas se escriben aparte): la causa sola (un disco lleno, una carpeta de solo lectura) no
// dice si lo guardado antes sigue ahí.
const QString kSigueComoEstaba =
    QStringLiteral("No se ha guardado nada: la solicitud sigue como estaba.");

Resultado sinTocarLoGuardado(const Resultado& r) {
    return Resultado::fallo(r.mensaje() + QLatin1Char(' ') + kSigueComoEstaba, r.numero());
}

// Lo que se hace fuera del hilo de la ventana: el documento (y el de impresión), los códigos que
// debe llevar la impresión y el fichero de listas, y solo con todo hecho, los dos ficheros en su
// sitio. Solo lee la petición, con sus listas ya copiadas (instantaneaListas): ningún control ni
// ninguna tabla que enseña la ventana.
Resultado escribirSolicitud(const PeticionDocumento& p, const QString& listasAparte,
                            const QString& documento, const QString& listas,
                            QVector<CodigoEsperado>& codigos) {
    pasoGuardado(PasoGuardado::Empieza);
    auto generado = generarDocumentoImpresion(p);
    if (!generado) return sinTocarLoGuardado(generado.estado());
    // Lo que la comprobación buscará sale del reparto en páginas, no de lo insertado: un código
    // que no se pudo hacer falta y la impresión no sale.
    if (p.imprimir) {
        auto esperados = codigosDelPlan(p);
        if (!esperados) return sinTocarLoGuardado(esperados.estado());
        codigos = esperados.valor();
    }
    pasoGuardado(PasoGuardado::DocumentoHecho);
    const ListasSolicitud& l = p.listas;
    if (Resultado r = GuardarListasXMLEn(listasAparte, l.vacantes, l.resultas, l.cursos,
                                         l.documentos, p.sello);
        !r)
        return sinTocarLoGuardado(r);
    pasoGuardado(PasoGuardado::ListasEscritas);
    // Su mensaje ya dice qué hay en el disco.
    return ponerParEnSuSitio(p.rutaDocumento, documento, listasAparte, listas);
}

// Mientras se guarda, nada de lo que haga el usuario llega al formulario: ni una orden ni un
// cambio en las listas, los cursos, los documentos o las cajas. La ventanita del progreso es modal
// y no se cierra; esto para además lo que llega sin pasar por el sistema de ventanas, y lo dice en
// la barra de estado. Las demás ventanas (una pregunta que se abra encima) siguen atendiendo.
class EntradaEnEspera : public QObject {
public:
    explicit EntradaEnEspera(QMainWindow* formulario) : m_formulario(formulario) {
        qApp->installEventFilter(this);
    }
    ~EntradaEnEspera() override { qApp->removeEventFilter(this); }

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override {
        switch (evento->type()) {
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonDblClick:
            case QEvent::KeyPress:
            case QEvent::Wheel:
            case QEvent::ContextMenu:
            case QEvent::Drop:
            case QEvent::InputMethod:
            case QEvent::TouchBegin:
                if (!delFormulario(objeto)) return false;
                m_formulario->statusBar()->showMessage(
                    QStringLiteral("Se está guardando la solicitud: espere a que termine para "
                                   "seguir."),
                    10000);
                return true;
            case QEvent::MouseButtonRelease:
            case QEvent::KeyRelease:
            case QEvent::DragEnter:
            case QEvent::DragMove:
            case QEvent::TouchUpdate:
            case QEvent::TouchEnd:
                return delFormulario(objeto);
            default:
                return false;
        }
    }

private:
    bool delFormulario(QObject* objeto) const {
        auto* w = qobject_cast<QWidget*>(objeto);
        return w && w->window() == m_formulario;
    }
    QMainWindow* m_formulario;
};

// Hace el trabajo en otro hilo y, mientras, deja correr los eventos de la ventana (que se pinta)
// y lleva la barra de progreso con los pasos que el trabajo va contando.
Resultado trabajarSinBloquear(frmProgresoGeneral& progreso, const std::atomic<int>& pasos,
                              const std::function<Resultado()>& trabajo) {
    std::atomic<bool> terminado{false};
    Resultado r = Resultado::correcto();
    std::thread hilo([&] {
        r = trabajo();
        terminado = true;
    });
    QEventLoop bucle;
    QTimer reloj;
    QObject::connect(&reloj, &QTimer::timeout, &bucle, [&] {
        QProgressBar* barra = progreso.prgBar();
        barra->setValue(qMin(barra->maximum(), pasos.load()));
        if (terminado) bucle.quit();
    });
    reloj.start(20);
    bucle.exec();
    hilo.join();
    return r;
}

}  // namespace

bool frmSolicitudes::ValidarDatosMinimos() {
    const Ui::PestanaSolicitante& d = ui->pestanaSolicitante->controles();
    if (txtDNI()->text().isEmpty()) {
        mensajeDatosNoValidos(QStringLiteral(
            "Es necesario rellenar el DNI para grabar los datos o imprimir el informe"));
        return false;
    }
    if (!d.cboCuerpo->coincide()) {
        mensajeDatosNoValidos(
            QStringLiteral("Es necesario seleccionar un cuerpo o escala para "
                           "grabar los datos o imprimir el informe"));
        return false;
    }
    if (!d.cboGrupo->coincide()) {
        mensajeDatosNoValidos(QStringLiteral(
            "Es necesario seleccionar un grupo para grabar los datos o imprimir el informe"));
        return false;
    }
    if (d.optPetConyugeSi->isChecked() && d.txtDNIConyuge->text().isEmpty()) {
        mensajeDatosNoValidos(QStringLiteral("El DNI de su cónyuge no es válido"));
        return false;
    }
    return true;
}

bool frmSolicitudes::ValidarDatosImpresion() {
    const Ui::PestanaSolicitante& d = ui->pestanaSolicitante->controles();
    const auto obligatorio = [](const QString& campo) {
        mensajeValidacion(QStringLiteral("El campo ") + campo + QStringLiteral(" es obligatorio"));
        return false;
    };
    if (d.txtNombre->text().isEmpty()) return obligatorio(QStringLiteral("Nombre"));
    if (d.txtApellido1->text().isEmpty()) return obligatorio(QStringLiteral("Primer Apellido"));
    if (d.txtFecNacimiento->text().isEmpty())
        return obligatorio(QStringLiteral("Fecha de nacimiento"));
    const PTabla& v = G().rsVacantesSolicitadas;
    const PTabla& r = G().rsResultasSolicitadas;
    if ((!v || v->numeroRegistros() == 0) && (!r || r->numeroRegistros() == 0)) {
        mensajeValidacion(QStringLiteral("No hay ninguna plaza seleccionada"));
        return false;
    }
    return true;
}

void frmSolicitudes::camposDelFormulario(bool varianteXP,
                                         QVector<std::pair<QString, QString>>& textos,
                                         QVector<std::pair<QString, bool>>& casillas) const {
    const Ui::PestanaSolicitante& d = ui->pestanaSolicitante->controles();
    // Sin destino actual, la variante XP no marca sus casillas aunque haya opción elegida.
    const bool sinDestino = varianteXP && d.OptNo->isChecked();
    const QStringList sinMarcar = {"DEFINITIVO", "TEMPORAL", "SSOTROS", "NORSA"};
    for (QWidget* control : controlesConCampo()) {
        const QString campo = control->property("campo").toString();
        if (auto* caja = qobject_cast<QLineEdit*>(control)) {
            textos.append({campo, caja->text()});
        } else if (auto* opcion = qobject_cast<QRadioButton*>(control)) {
            casillas.append(
                {campo, opcion->isChecked() && !(sinDestino && sinMarcar.contains(campo))});
        } else if (auto* combo = qobject_cast<ComboDatos*>(control)) {
            const QString texto = combo->texto();
            textos.append({campo, texto});
            textos.append({campo + QStringLiteral("1"), texto});
        }
    }
}

bool frmSolicitudes::tomarBloqueo(const QString& nombre) {
    if (m_bloqueo && m_bloqueo->es(G().RutaTemporal, nombre)) return true;
    auto bloqueo = BloqueoSolicitud::tomar(G().RutaTemporal, nombre);
    if (bloqueo) {
        m_bloqueo = bloqueo.valor();
        return true;
    }
    // En una carpeta donde no se puede escribir tampoco se podrá guardar: lo dirá el guardado.
    if (bloqueo.numero() == BloqueoSolicitud::kCarpetaSinEscritura) return true;
    if (bloqueo.numero() == BloqueoSolicitud::kEnUso)
        mostrarMensaje(bloqueo.mensaje(), QStringLiteral("Solicitud en uso"), Icono::Critico,
                       Botones::Aceptar);
    else
        mostrarMensaje(QStringLiteral("No se ha guardado la solicitud.\n") + bloqueo.mensaje(),
                       kTituloPrograma, Icono::Critico, Botones::Aceptar);
    return false;
}

bool frmSolicitudes::GuardarSolicitud(bool imprimir, bool borrador) {
    if (!ValidarDatosMinimos() || !ui->pestanaSolicitante->comprobarFechas()) return false;
    const QString dni = txtDNI()->text();
    if (!ExisteUsuario(dni)) {
        // La primera vez que se guarda, el solicitante se pone una contraseña.
        frmCreaPwd contrasena(this);
        contrasena.setStrDNI(dni);
        contrasena.exec();
        if (!ExisteUsuario(dni)) {
            // Sin decirlo, no guardar se confundiría con haber guardado.
            mostrarMensaje(kMensajeSinContrasena, kTituloPrograma, Icono::Exclamacion,
                           Botones::Aceptar);
            return false;
        }
        ui->mnuP5000->setVisible(true);
        G().UsuarioConPassword = true;
    }
    Ui::PestanaSolicitante& d = ui->pestanaSolicitante->controles();
    const QString nombre = NombreFicheroSolicitud(dni, d.cboCuerpo->valor(), d.cboGrupo->valor());
    // Abierta en otro programa, guardar aquí desharía lo que guarde allí.
    if (!tomarBloqueo(nombre)) return false;
    d.cboCuerpo->setEnabled(false);
    d.cboGrupo->setEnabled(false);
    txtDNI()->setEnabled(false);

    frmProgresoGeneral progreso(this);
    progreso.lblAccion()->setText(QStringLiteral("Guardando Datos ..."));
    progreso.setWindowModality(Qt::ApplicationModal);
    progreso.setOcupada(true);
    const auto contar = [](const PTabla& t) { return t ? t->numeroRegistros() : 0; };
    progreso.prgBar()->setMaximum(contar(G().rsCursos) + contar(G().rsVacantesSolicitadas) +
                                  contar(G().rsResultasSolicitadas) + contar(G().rsDocumentos) +
                                  162);
    progreso.show();
    progreso.repaint();

    const bool xp = G().VersionWord.toInt() > 8;
    PeticionDocumento p;
    p.variante = xp ? VarianteGenerador::XP : VarianteGenerador::W97;
    p.plantilla = G().RutaFicheros + G().CarpetaPlantillas + QLatin1Char('/') +
                  (xp ? QStringLiteral("PlantillaWXP.dot") : QStringLiteral("PlantillaW97.dot"));
    const QString carpeta = G().RutaTemporal;
    const QString documento = carpeta + nombre;
    const QString listas = carpeta + NombreFicheroListas(nombre);
    // Los dos ficheros se escriben aparte, con nombres únicos, y solo con los dos completos
    // sustituyen a los de antes.
    p.rutaDocumento = nombreAparte(documento);
    // El documento que se imprime va aparte; su PDF se queda junto a la solicitud.
    p.rutaImpresion = carpeta + nombre.left(nombre.size() - 4) + QStringLiteral(".docx");
    p.imprimir = imprimir;
    p.borrador = borrador;
    p.dni = dni;
    const QDateTime ahora = QDateTime::currentDateTime();
    p.fecha = ahora.toString(QStringLiteral("dd/MM/yyyy"));
    p.hora = ahora.toString(QStringLiteral("HH:mm:ss"));
    p.plazasPorPagina = G().PlazasPorPagina.toInt() > 0 ? G().PlazasPorPagina.toInt() : 40;
    camposDelFormulario(xp, p.camposTexto, p.casillas);
    p.prefijo = prefijoCodigoBarras(
        ClaveSolicitante(dni, d.cboCuerpo->valor(), d.cboGrupo->valor()), p.fecha, p.hora);
    p.cargaSolicitante = sinControl(G().TextoCodigoBarras);
    // Los dos ficheros llevan el mismo sello: al abrirla se ve si son del mismo guardado.
    p.sello = nuevoSelloGuardado();

    const QString listasAparte = nombreAparte(listas);
    Resultado r = Resultado::correcto();
    QVector<CodigoEsperado> codigos;
    if (!QFile::exists(p.plantilla)) {
        r = Resultado::fallo(QStringLiteral("No se encuentra la plantilla \"%1\". %2")
                                 .arg(p.plantilla, kSigueComoEstaba),
                             Errores::ErrorEntradaSalida);
    } else {
        // El documento y las listas se escriben en otro hilo, con las listas tal como están ahora:
        // la ventana se sigue pintando y la barra avanza. Mientras, no se admite nada más, y lo
        // que cambiara en las listas de la ventana no llegaría a lo guardado.
        p.listas = instantaneaListas();
        auto pasos = std::make_shared<std::atomic<int>>(0);
        p.avanzar = [pasos] { ++*pasos; };
        m_guardando = true;
        EntradaEnEspera espera(this);
        r = trabajarSinBloquear(progreso, *pasos, [&] {
            return escribirSolicitud(p, listasAparte, documento, listas, codigos);
        });
        m_guardando = false;
    }
    progreso.setOcupada(false);
    progreso.hide();
    QFile::remove(p.rutaDocumento);
    QFile::remove(listasAparte);
    if (!r) {
        if (imprimir) QFile::remove(p.rutaImpresion);
        // Los ficheros aparte son cosa interna: el mensaje nombra los de la solicitud.
        const QString causa =
            QString(r.mensaje())
                .replace(QDir::toNativeSeparators(p.rutaDocumento),
                         QDir::toNativeSeparators(documento))
                .replace(QDir::toNativeSeparators(listasAparte), QDir::toNativeSeparators(listas));
        mostrarMensaje(QStringLiteral("No se ha podido guardar la solicitud \"%1\".\n%2")
                           .arg(QDir::toNativeSeparators(documento), causa),
                       kTituloPrograma, Icono::Critico, Botones::Aceptar);
        return false;
    }
    statusBar()->showMessage(QStringLiteral("Solicitud guardada a las ") +
                             QTime::currentTime().toString(QStringLiteral("HH:mm:ss")));
    if (imprimir) lanzarImpresion(p.rutaImpresion, codigos);
    return true;
}
