#include "../../apoyo/Ficheros.h"
#include "../../printing/PlantillasReales.h"
#include "FormularioPrueba.h"
#include "form/ventanas/PestanaCursos.h"
#include "form/ventanas/PestanaSolicitante.h"
#include "form/ventanas/PestanaVacantes.h"
#include "platform/ventanas/ComboDatos.h"
#include "printing/LecturaCodigos.h"
#include "startup/Globales.h"
#include "storage/SolicitudesGuardadas.h"
#include "ui_PestanaCursos.h"
#include "ui_PestanaSolicitante.h"
#include "ui_PestanaVacantes.h"
#include "users/Usuarios.h"
#include "users/ventanas/frmCreaPwd.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <pugixml.hpp>

namespace {

class GuardarSolicitudTest : public FormularioPrueba {
protected:
    void SetUp() override {
        FormularioPrueba::SetUp();
        const QString ficheros = G().RutaFicheros;
        if (!QFile::exists(ficheros + G().CarpetaPlantillas + "/PlantillaWXP.dot")) {
            ASSERT_FALSE(construirPlantillasReales(ficheros, G().CarpetaPlantillas).isEmpty());
        }
        for (const QString& f : QDir(G().RutaTemporal).entryList(QDir::Files | QDir::Hidden))
            QFile::remove(G().RutaTemporal + f);
        ASSERT_TRUE(usuarios.isValid());
        AbrirUsuarios(usuarios.filePath("usuarios.xml"));
    }
    void darDeAltaAlUsuario() { ASSERT_TRUE(AltaUsuario(G().DNIUsuario, "CLAVE").ok()); }
    // Cuerpo con plazas, una plaza pedida, un curso y los datos de la persona.
    void rellenar() {
        ui().txtApellido1->setText("Pérez");
        ui().txtNombre->setText("Begoña");
        ui().txtFecNacimiento->setText("03/11/1975");
        const PlazasCuerpo* cuerpo = cuerpoConMasPlazas();
        ASSERT_NE(cuerpo, nullptr);
        elegirFila(ui().cboCuerpo, cuerpo->CodCuerpo);
        codigo = cuerpo->Vacantes->clonar()->valorEnFila(0, 0).toString();
        form->tabPrincipal()->setCurrentIndex(2);
        auto& v = form->pestanaVacantes()->controles();
        elegirFila(v.cboPuestoVacante, codigo);
        v.cmdAceptarVacante->click();
        form->tabPrincipal()->setCurrentIndex(1);
        auto& c = form->pestanaCursos()->controles();
        c.txtCurso->setText("Curso & Taller <práctico>");
        c.txtHoras->setText("20");
        c.txtAno->setText("2019");
        c.txtCentro->setText("Escuela");
        c.cmdAceptar->click();
        procesar();
        ASSERT_EQ(G().rsCursos->numeroRegistros(), 1);
    }
    QString nombre() const {
        return NombreFicheroSolicitud(G().DNIUsuario, ui_().cboCuerpo->valor(),
                                      ui_().cboGrupo->valor());
    }
    Ui::PestanaSolicitante& ui_() const { return form->pestanaSolicitante()->controles(); }
    QTemporaryDir usuarios;
    QString codigo;
};

// Lee una parte del documento con unzip: otro lector que el del programa.
QByteArray parteDelDocumento(const QString& documento, const QString& parte) {
    QProcess unzip;
    unzip.start("unzip", {"-p", documento, parte});
    if (!unzip.waitForFinished(20000)) return {};
    return unzip.readAllStandardOutput();
}

TEST_F(GuardarSolicitudTest, DatosMinimosEnSuOrden) {
    const QString titulo = "Datos no válidos";
    form->txtDNI()->clear();
    EXPECT_FALSE(form->ValidarDatosMinimos());
    ui().txtDNIConyuge->clear();
    form->txtDNI()->setText(G().DNIUsuario);
    EXPECT_FALSE(form->ValidarDatosMinimos());
    ui().cboCuerpo->setValor(G().IndicePlazasCuerpo.first().CodCuerpo);
    ui().cboGrupo->setValor(QString());
    EXPECT_FALSE(form->ValidarDatosMinimos());
    ui().cboGrupo->setValor(ui().cboCuerpo->valorColumna(QStringLiteral("Grupo")));
    form->pestanaSolicitante()->elegirOpcion(ui().optPetConyugeSi);
    EXPECT_FALSE(form->ValidarDatosMinimos());
    ui().txtDNIConyuge->setText("12345678Z");
    EXPECT_TRUE(form->ValidarDatosMinimos());
    EXPECT_EQ(mensajes.textos(),
              (QStringList{
                  "Es necesario rellenar el DNI para grabar los datos o imprimir el informe",
                  "Es necesario seleccionar un cuerpo o escala para grabar los datos o imprimir "
                  "el informe",
                  "Es necesario seleccionar un grupo para grabar los datos o imprimir el informe",
                  "El DNI de su cónyuge no es válido"}));
    for (const MensajeMostrado& m : mensajes.mostrados()) {
        EXPECT_EQ(m.titulo, titulo);
        EXPECT_EQ(m.icono, Icono::Exclamacion);
    }
    // Con datos que faltan, "Guardar" no escribe nada.
    mensajes.limpiar();
    ui().txtDNIConyuge->clear();
    form->mnuP(2000)->setEnabled(true);
    form->mnuP(2000)->trigger();
    EXPECT_EQ(mensajes.textos(), QStringList{"El DNI de su cónyuge no es válido"});
    EXPECT_TRUE(QDir(G().RutaTemporal).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

TEST_F(GuardarSolicitudTest, DatosParaImprimirEnSuOrden) {
    EXPECT_FALSE(form->ValidarDatosImpresion());
    ui().txtNombre->setText("Ana");
    EXPECT_FALSE(form->ValidarDatosImpresion());
    ui().txtApellido1->setText("Ruiz");
    EXPECT_FALSE(form->ValidarDatosImpresion());
    ui().txtFecNacimiento->setText("01/01/1980");
    EXPECT_FALSE(form->ValidarDatosImpresion());
    ASSERT_TRUE(G().rsResultasSolicitadas->anadirRegistro({qint64(0), qint64(1), "00001"}).ok());
    EXPECT_TRUE(form->ValidarDatosImpresion());
    EXPECT_EQ(mensajes.textos(), (QStringList{"El campo Nombre es obligatorio",
                                              "El campo Primer Apellido es obligatorio",
                                              "El campo Fecha de nacimiento es obligatorio",
                                              "No hay ninguna plaza seleccionada"}));
    for (const MensajeMostrado& m : mensajes.mostrados()) EXPECT_EQ(m.titulo, "Validación");
}

TEST_F(GuardarSolicitudTest, GuardarEscribeLosDosFicheros) {
    darDeAltaAlUsuario();
    ASSERT_NO_FATAL_FAILURE(rellenar());
    // Una fecha imposible escrita sin salir de la caja: ni se guarda ni se imprime, y el foco
    // vuelve a ella con el mensaje de salir de la caja.
    for (const int orden : {2000, 1000}) {
        ui().txtFecNacimiento->setText("99/99/9999");
        form->txtDNI()->setFocus();
        mensajes.limpiar();
        form->mnuP(orden)->setEnabled(true);
        form->mnuP(orden)->trigger();
        procesar();
        EXPECT_EQ(mensajes.textos(), QStringList{"Fecha Errónea"}) << orden;
        EXPECT_EQ(QApplication::focusWidget(), ui().txtFecNacimiento) << orden;
        EXPECT_TRUE(QDir(G().RutaTemporal).entryList(QDir::Files).isEmpty()) << orden;
        EXPECT_FALSE(form->imprimiendo());
    }
    ui().txtFecNacimiento->setText("03/11/1975");
    mensajes.limpiar();
    form->mnuP(2000)->trigger();
    procesar();
    EXPECT_TRUE(mensajes.mostrados().isEmpty()) << mensajes.textos().join('|').toStdString();
    // Guardar lo confirma a la vista.
    EXPECT_TRUE(form->statusBar()->currentMessage().startsWith("Solicitud guardada a las "))
        << form->statusBar()->currentMessage().toStdString();
    const QString doc = G().RutaTemporal + nombre();
    const QString xml = G().RutaTemporal + NombreFicheroListas(nombre());
    ASSERT_TRUE(QFile::exists(doc));
    ASSERT_TRUE(QFile::exists(xml));
    // Nada a medias se queda en la carpeta.
    EXPECT_EQ(QDir(G().RutaTemporal).entryList(QDir::Files | QDir::Hidden).size(), 2);
    // El documento lleva los datos escritos.
    const QString cuerpo = QString::fromUtf8(parteDelDocumento(doc, "word/document.xml"));
    EXPECT_TRUE(cuerpo.contains("Pérez"));
    EXPECT_TRUE(cuerpo.contains("Begoña"));
    EXPECT_TRUE(cuerpo.contains(ui().cboCuerpo->texto().toHtmlEscaped()));
    // El fichero de listas, leído con pugixml.
    pugi::xml_document listas;
    ASSERT_TRUE(listas.load_file(QFile::encodeName(xml).constData()));
    EXPECT_EQ(QString::fromUtf8(
                  listas.select_node("//Vacantes/Plaza/CodConvocatoria").node().child_value()),
              codigo);
    EXPECT_EQ(
        QString::fromUtf8(listas.select_node("//Cursos/CursoRealizado/Curso").node().child_value()),
        "Curso   Taller <práctico>");
    // DNI, cuerpo y grupo ya no cambian.
    EXPECT_FALSE(form->txtDNI()->isEnabled());
    EXPECT_FALSE(ui().cboCuerpo->isEnabled());
    EXPECT_FALSE(ui().cboGrupo->isEnabled());
}

TEST_F(GuardarSolicitudTest, CerrarConSiGuarda) {
    darDeAltaAlUsuario();
    ASSERT_NO_FATAL_FAILURE(rellenar());
    const QString doc = G().RutaTemporal + nombre();
    auto* f = form.release();
    QPointer<frmSolicitudes> vivo(f);
    f->setAttribute(Qt::WA_DeleteOnClose, true);
    mensajes.responder(Respuesta::Si);
    f->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(vivo.isNull());
    EXPECT_TRUE(QFile::exists(doc));
    EXPECT_FALSE(G().rsVacantesSolicitadas);  // tablas sueltas
}

TEST_F(GuardarSolicitudTest, CargarOtraSolicitud) {
    darDeAltaAlUsuario();
    ASSERT_NO_FATAL_FAILURE(rellenar());
    // "Cancelar": nada.
    mensajes.responder(Respuesta::Cancelar);
    form->mnuP(2500)->setEnabled(true);
    form->mnuP(2500)->trigger();
    ASSERT_EQ(mensajes.mostrados().size(), 1);
    EXPECT_EQ(mensajes.mostrados()[0].texto, "¿Guardar la solicitud actual?");
    EXPECT_EQ(mensajes.mostrados()[0].titulo, "GUARDAR");
    EXPECT_EQ(mensajes.mostrados()[0].icono, Icono::Ninguno);
    EXPECT_EQ(mensajes.mostrados()[0].botones, Botones::SiNoCancelar);
    EXPECT_FALSE(QFile::exists(G().RutaTemporal + nombre()));
    // "Sí": guarda y el formulario sigue abierto.
    mensajes.responder(Respuesta::Si);
    form->mnuP(2500)->trigger();
    EXPECT_TRUE(QFile::exists(G().RutaTemporal + nombre()));
    EXPECT_TRUE(form->isVisible());
    // "No": el selector, sin "Nueva", con la solicitud recién guardada, y el formulario se va
    // sin preguntar más.
    auto* f = form.release();
    QPointer<frmSolicitudes> vivo(f);
    f->setAttribute(Qt::WA_DeleteOnClose, true);
    mensajes.limpiar();
    mensajes.responder(Respuesta::No);
    f->mnuP(2500)->trigger();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(vivo.isNull());
    EXPECT_EQ(mensajes.mostrados().size(), 1);
    QWidget* selector = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->inherits("frmSeleccion") && w->isVisible()) selector = w;
    ASSERT_NE(selector, nullptr);
    auto* nueva = selector->findChild<QPushButton*>("cmdNueva");
    ASSERT_NE(nueva, nullptr);
    EXPECT_FALSE(nueva->isVisible());
    EXPECT_EQ(G().rsSolicitudesGuardadas->numeroRegistros(), 1);
    delete selector;
}

TEST_F(GuardarSolicitudTest, LaPrimeraVezPideLaContrasena) {
    ASSERT_FALSE(ExisteUsuario(G().DNIUsuario));
    ASSERT_NO_FATAL_FAILURE(rellenar());
    EXPECT_FALSE(form->mnuP(5000)->isVisible());
    // Cerrar la ventana de la contraseña no guarda, y se dice: no parece un guardado.
    QTimer::singleShot(0, qApp, [] {
        if (auto* ventana = qobject_cast<frmCreaPwd*>(QApplication::activeModalWidget()))
            ventana->reject();
    });
    EXPECT_FALSE(form->GuardarSolicitud(false, false));
    EXPECT_EQ(mensajes.textos(),
              QStringList{"No se ha guardado la solicitud: para guardarla por primera vez hay "
                          "que poner una contraseña."});
    EXPECT_FALSE(QFile::exists(G().RutaTemporal + nombre()));
    EXPECT_TRUE(form->statusBar()->currentMessage().isEmpty());
    bool pedida = false;
    QTimer::singleShot(0, qApp, [&pedida] {
        auto* ventana = qobject_cast<frmCreaPwd*>(QApplication::activeModalWidget());
        if (!ventana) return;
        pedida = ventana->strDNI() == G().DNIUsuario;
        ventana->txtPwd(0)->setText("SECRETO");
        ventana->txtPwd(1)->setText("SECRETO");
        ventana->findChild<QPushButton*>("cmdAceptar")->click();
    });
    EXPECT_TRUE(form->GuardarSolicitud(false, false));
    EXPECT_TRUE(pedida);
    EXPECT_TRUE(ExisteUsuario(G().DNIUsuario));
    EXPECT_TRUE(G().UsuarioConPassword);
    EXPECT_TRUE(form->mnuP(5000)->isVisible());
    EXPECT_TRUE(QFile::exists(G().RutaTemporal + nombre()));
}

// El texto del código del solicitante, hecho aquí con las reglas de la oficina de destino a
// partir de lo escrito en la prueba (no con el programa).
QByteArray sustituido(QString t) {
    t.replace('&', ' ');
    const QString conAcento[] = {"äëïöüÄËÏÖÜ", "âêîôûÂÊÎÔÛ", "áéíóúÁÉÍÓÚ", "àèìòùÀÈÌÒÙ"};
    const QString llanas = "aeiouAEIOU";
    for (const QString& grupo : conAcento)
        for (int i = 0; i < 10; ++i) t.replace(grupo[i], QString("&") + llanas[i]);
    t.replace("ñ", "&n").replace("Ñ", "&N");
    t.replace("º", ".").replace("ª", ".").replace("\"", "'").replace("·", ".");
    for (const char* s : {"¿", "?", "!", "¡"}) t.replace(QString::fromUtf8(s), " ");
    t.replace("ç", "c").replace("Ç", "C");
    return t.toLatin1();
}

TEST_F(GuardarSolicitudTest, ImprimirDejaElPdfConElCodigoDelSolicitante) {
    darDeAltaAlUsuario();
    ASSERT_NO_FATAL_FAILURE(rellenar());
    ui().txtApellido2->setText("Muñoz & Cía");
    ui().txtDomicilio->setText("C/ Río Ebro, 3º ¿izq?");
    // Las dos variantes del generador: la moderna y la de los procesadores de versión 8.
    for (const char* version : {"16", "8"}) {
        SCOPED_TRACE(version);
        G().VersionWord = version;
        mensajes.limpiar();
        QSignalSpy terminada(form.get(), &frmSolicitudes::impresionTerminada);
        form->mnuP(1000)->setEnabled(true);
        form->mnuP(1000)->trigger();
        // Mientras se imprime: ni otra orden ni cerrar, tampoco tras cambiar de pestaña.
        EXPECT_TRUE(form->imprimiendo());
        form->tabPrincipal()->setCurrentIndex(1);
        form->tabPrincipal()->setCurrentIndex(0);
        for (const int orden : {1000, 2000, 2500}) {
            EXPECT_FALSE(form->mnuP(orden)->isEnabled()) << orden;
            form->mnuP_Click(orden);
        }
        EXPECT_TRUE(mensajes.mostrados().isEmpty()) << mensajes.textos().join('|').toStdString();
        EXPECT_FALSE(form->close());
        ASSERT_TRUE(terminada.wait(240000));
        EXPECT_FALSE(form->imprimiendo());
        EXPECT_TRUE(form->mnuP(2000)->isEnabled());
        ASSERT_FALSE(mensajes.mostrados().isEmpty());
        const MensajeMostrado& aviso = mensajes.mostrados().last();
        EXPECT_EQ(aviso.titulo, "Impresión") << aviso.texto.toStdString();
        // Sin impresora, el PDF se queda junto a la solicitud; el documento de impresión no.
        const QString base = G().RutaTemporal + nombre().left(nombre().size() - 4);
        const QString pdf = base + ".pdf";
        if (aviso.texto.startsWith("IMPORTANTE")) GTEST_SKIP() << "hay una impresora: se envió";
        ASSERT_TRUE(QFile::exists(pdf)) << aviso.texto.toStdString();
        EXPECT_TRUE(aviso.texto.contains(QDir::toNativeSeparators(pdf)));
        EXPECT_FALSE(QFile::exists(base + ".docx"));
        // El código del solicitante, leído del PDF a 200 ppp.
        auto leidos = leerCodigosPdf(pdf, 200);
        ASSERT_TRUE(leidos.ok()) << leidos.mensaje().toStdString();
        QByteArray solicitante;
        for (const CodigoLeido& c : leidos.valor())
            if (c.pagina == 1) solicitante = c.bytes;
        ASSERT_FALSE(solicitante.isEmpty());
        const QString dni = G().DNIUsuario, cuerpo = ui().cboCuerpo->valor(),
                      grupo = ui().cboGrupo->valor();
        const QString clave =
            dni.leftJustified(9, ' ') + cuerpo.rightJustified(5, '0') + grupo.leftJustified(1, ' ');
        ASSERT_TRUE(solicitante.startsWith(clave.toLatin1()));
        // Fecha y hora de la impresión, de ahora mismo.
        const QDateTime impreso = QDateTime::fromString(
            QString::fromLatin1(solicitante.mid(clave.size(), 18)), "dd/MM/yyyyHH:mm:ss");
        ASSERT_TRUE(impreso.isValid());
        EXPECT_LT(std::abs(impreso.secsTo(QDateTime::currentDateTime())), 600);
        const QStringList campos = {"N",
                                    "Pérez",
                                    "Muñoz & Cía",
                                    "Begoña",
                                    dni,
                                    "19751103",
                                    "",
                                    "N",
                                    "",
                                    "",
                                    "",
                                    "",
                                    "N",
                                    "",
                                    "",
                                    "C/ Río Ebro, 3º ¿izq?",
                                    "",
                                    "",
                                    "",
                                    cuerpo,
                                    grupo,
                                    "",
                                    "00000000",
                                    "A",
                                    "",
                                    "00000000",
                                    "S",
                                    "",
                                    "D",
                                    "",
                                    "",
                                    "",
                                    "N",
                                    "00000000",
                                    "",
                                    "",
                                    ""};
        QString carga;
        for (const QString& c : campos) carga += c + "|";
        EXPECT_EQ(solicitante.mid(clave.size() + 18), sustituido("P001" + carga + "F"));
    }
}

TEST_F(GuardarSolicitudTest, UnFalloSeDiceYDejaEnteroLoGuardadoAntes) {
    darDeAltaAlUsuario();
    ASSERT_NO_FATAL_FAILURE(rellenar());
    ASSERT_TRUE(form->GuardarSolicitud(false, false));
    const QString doc = G().RutaTemporal + nombre();
    const QString xml = G().RutaTemporal + NombreFicheroListas(nombre());
    const QByteArray docAntes = leerBytes(doc), xmlAntes = leerBytes(xml);
    // Sin la carpeta de plantillas.
    const QString carpetaAntes = G().CarpetaPlantillas;
    G().CarpetaPlantillas = "DOT_00000";
    ui().txtNombre->setText("Otro nombre");
    EXPECT_FALSE(form->GuardarSolicitud(false, false));
    G().CarpetaPlantillas = carpetaAntes;
    ASSERT_EQ(mensajes.mostrados().size(), 1);
    EXPECT_TRUE(mensajes.mostrados()[0].texto.contains("PlantillaWXP.dot"));
    EXPECT_TRUE(mensajes.mostrados()[0].texto.contains(doc));
    EXPECT_EQ(mensajes.mostrados()[0].icono, Icono::Critico);
    EXPECT_EQ(leerBytes(doc), docAntes);
    EXPECT_EQ(leerBytes(xml), xmlAntes);
    // Sin la carpeta de solicitudes: tampoco se da por guardado.
    mensajes.limpiar();
    const QString temporal = G().RutaTemporal;
    G().RutaTemporal = temporal + "no-existe/";
    EXPECT_FALSE(form->GuardarSolicitud(false, false));
    G().RutaTemporal = temporal;
    ASSERT_EQ(mensajes.mostrados().size(), 1);
    EXPECT_TRUE(mensajes.mostrados()[0].texto.contains("no-existe"));
    EXPECT_EQ(QDir(G().RutaTemporal).entryList(QDir::Files | QDir::Hidden).size(), 2);
}

// Un enlace plantado con el nombre de la solicitud (hacia el almacén de usuarios) se sustituye al
// guardar: el almacén queda intacto y en la carpeta no queda nada aparte.
TEST_F(GuardarSolicitudTest, GuardarNoEscribeATravesDeUnEnlace) {
    darDeAltaAlUsuario();
    ASSERT_NO_FATAL_FAILURE(rellenar());
    const QString almacen = usuarios.filePath("usuarios.xml");
    const QByteArray antes = leerBytes(almacen);
    ASSERT_FALSE(antes.isEmpty());
    const QString doc = G().RutaTemporal + nombre();
    const QString xml = G().RutaTemporal + NombreFicheroListas(nombre());
    ASSERT_TRUE(QFile::link(almacen, doc));
    ASSERT_TRUE(QFile::link(almacen, xml));
    ASSERT_TRUE(form->GuardarSolicitud(false, false)) << mensajes.textos().join('|').toStdString();
    EXPECT_EQ(leerBytes(almacen), antes);
    EXPECT_FALSE(QFileInfo(doc).isSymLink());
    EXPECT_FALSE(QFileInfo(xml).isSymLink());
    EXPECT_EQ(QDir(G().RutaTemporal).entryList(QDir::Files | QDir::Hidden | QDir::System).size(),
              2);
}

// Una configuración que pide más plazas por página de las que caben: "Imprimir" lo dice y no
// guarda, no pregunta ni imprime nada; guardar sigue funcionando.
TEST_F(GuardarSolicitudTest, ImprimirConDemasiadasPlazasPorPaginaNoHaceNada) {
    darDeAltaAlUsuario();
    ASSERT_NO_FATAL_FAILURE(rellenar());
    const QString antes = G().PlazasPorPagina;
    G().PlazasPorPagina = "60";
    QSignalSpy terminada(form.get(), &frmSolicitudes::impresionTerminada);
    form->mnuP(1000)->setEnabled(true);
    form->mnuP(1000)->trigger();
    procesar();
    EXPECT_FALSE(form->imprimiendo());
    EXPECT_EQ(terminada.count(), 0);
    ASSERT_EQ(mensajes.mostrados().size(), 1);
    EXPECT_EQ(mensajes.mostrados()[0].titulo, "Impresión");
    EXPECT_EQ(mensajes.mostrados()[0].icono, Icono::Critico);
    EXPECT_TRUE(mensajes.mostrados()[0].texto.contains("pide 60 plazas por página"));
    EXPECT_TRUE(mensajes.mostrados()[0].texto.contains("entre 1 y 46"));
    EXPECT_TRUE(QDir(G().RutaTemporal).entryList(QDir::Files | QDir::Hidden).isEmpty());
    mensajes.limpiar();
    EXPECT_TRUE(form->GuardarSolicitud(false, false));
    EXPECT_TRUE(mensajes.mostrados().isEmpty());
    G().PlazasPorPagina = antes;
}

}  // namespace
