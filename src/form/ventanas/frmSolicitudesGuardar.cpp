// Formulario de la solicitud: las comprobaciones antes de guardar o imprimir y el guardado del
// documento y del fichero de listas.
#include "form/ventanas/PanelPlazas.h"
#include "form/ventanas/PestanaCursos.h"
#include "form/ventanas/PestanaResultas.h"
#include "form/ventanas/PestanaSolicitante.h"
#include "form/ventanas/PestanaVacantes.h"
#include "form/ventanas/frmProgresoGeneral.h"
#include "form/ventanas/frmSolicitudes.h"
#include "platform/FicheroAparte.h"
#include "platform/ServicioMensajes.h"
#include "platform/ventanas/ComboDatos.h"
#include "printing/CodigoBarras.h"
#include "printing/GeneradorDocumento.h"
#include "startup/Globales.h"
#include "storage/BloqueoSolicitud.h"
#include "storage/GuardadoPar.h"
#include "storage/ListasXml.h"
#include "storage/SolicitudesGuardadas.h"
#include "ui_PestanaSolicitante.h"
#include "ui_frmSolicitudes.h"
#include "users/Usuarios.h"
#include "users/ventanas/frmCreaPwd.h"

#include <QAction>
#include <QDateTime>
#include <QDir>
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

// Lo que se hace fuera del hilo de la ventana: el documento (y el de impresión), los códigos que
// debe llevar la impresión y el fichero de listas, y solo con todo hecho, los dos ficheros en su
// sitio. No toca ningún control ni las tablas que enseña la ventana.
Resultado escribirSolicitud(const CopiaListas& copia, const PeticionDocumento& p,
                            const QString& listasAparte, const QString& documento,
                            const QString& listas, QVector<CodigoEsperado>& codigos) {
    if (Resultado r = copiarFilas(copia); !r) return r;
    auto generado = generarDocumentoImpresion(p);
    if (!generado) return generado.estado();
    // Lo que la comprobación buscará sale del reparto en páginas, no de lo insertado: un código
    // que no se pudo hacer falta y la impresión no sale.
    if (p.imprimir) {
        auto esperados = codigosDelPlan(p);
        if (!esperados) return esperados.estado();
        codigos = esperados.valor();
    }
    const ListasSolicitud& l = p.listas;
    if (Resultado r = GuardarListasXMLEn(listasAparte, l.vacantes, l.resultas, l.cursos,
                                         l.documentos, p.sello);
        !r)
        return r;
    return ponerParEnSuSitio(p.rutaDocumento, documento, listasAparte, listas);
}

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
        r = Resultado::fallo(
            QStringLiteral("No se encuentra la plantilla \"%1\".").arg(p.plantilla),
            Errores::ErrorEntradaSalida);
    } else {
        // El documento y las listas se escriben en otro hilo, con las listas copiadas: la ventana
        // se sigue pintando y la barra avanza. Mientras, no se admite nada más.
        const CopiaListas copia = prepararCopiaListas();
        p.listas = copia.copia;
        auto pasos = std::make_shared<std::atomic<int>>(0);
        p.avanzar = [pasos] { ++*pasos; };
        m_guardando = true;
        r = trabajarSinBloquear(progreso, *pasos, [&] {
            return escribirSolicitud(copia, p, listasAparte, documento, listas, codigos);
        });
        m_guardando = false;
    }
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
