#include "../../apoyo/Ficheros.h"
#include "../../printing/PlantillasReales.h"
#include "FormularioPrueba.h"
#include "form/OrdenPlazas.h"
#include "form/ventanas/PestanaCursos.h"
#include "form/ventanas/PestanaSolicitante.h"
#include "form/ventanas/PestanaVacantes.h"
#include "form/ventanas/frmProgresoGeneral.h"
#include "global/Globales.h"
#include "platform/FicheroAparte.h"
#include "platform/ventanas/ComboDatos.h"
#include "printing/LecturaCodigos.h"
#include "printing/ProcesosExternos.h"
#include "storage/CamposSolicitud.h"
#include "storage/GuardadoPar.h"
#include "storage/SolicitudesGuardadas.h"
#include "ui_PestanaCursos.h"
#include "ui_PestanaSolicitante.h"
#include "ui_PestanaVacantes.h"
#include "users/Usuarios.h"
#include "users/ventanas/frmCreaPwd.h"

#include <sys/stat.h>
#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSemaphore>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <cerrno>
#include <cstdio>
#include <functional>
#include <pugixml.hpp>

namespace {

// Lo que hay en la carpeta de las solicitudes, sin el bloqueo de la que está abierta.
QStringList ficherosDeLaCarpeta() {
    QStringList r = QDir(G().RutaTemporal).entryList(QDir::Files | QDir::Hidden | QDir::System);
    r.removeIf([](const QString& f) { return f.endsWith(".bloqueo"); });
    return r;
}

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
    // Los 37 campos del código del solicitante, cada uno con algo distinto (las letras que se
    // sustituyen, todas, y una "Ð"), y en `esperados` lo que cada uno debe dar, en su orden. Con
    // `destino`, "Sí" al destino actual con "Otros" y una situación de la lista; sin él, "No",
    // que vacía el destino, y una situación escrita a mano.
    void rellenarTodo(bool destino, QStringList& esperados) {
        PestanaSolicitante& p = *form->pestanaSolicitante();
        Ui::PestanaSolicitante& d = ui();
        form->tabPrincipal()->setCurrentIndex(0);
        // Las opciones primero: esconden y vacían cajas que luego se rellenan.
        for (QRadioButton* o : {d.optForzoso, d.optPetConyugeSi, d.optDiscSi, d.optOtras,
                                d.optReingesoSi, d.OptSi, d.optSSOtros, d.optDefinitivo})
            p.elegirOpcion(o);
        const PTabla& s = G().rsSituaciones;
        int fila = 0;
        while (fila < s->numeroRegistros() - 1 &&
               (s->valorEnFila(fila, 2).toString() == "1") != !destino)
            ++fila;
        ASSERT_EQ(s->valorEnFila(fila, 2).toString() == "1", !destino);
        elegirFila(d.cboSituaciones, s->valorEnFila(fila, 0).toString());
        const QString situacion =
            destino ? s->valorEnFila(fila, 1).toString() : "Excedencia ¿otra?";
        d.cboProvincia->setValor(G().rsProvinciasPersonales->valorEnFila(1, 0).toString());
        const std::pair<QLineEdit*, QString> textos[] = {
            {d.txtApellido1, "Pérez"},
            {d.txtApellido2, "Muñoz & Cía"},
            {d.txtNombre, "Begoña"},
            {d.txtFecNacimiento, "03/11/1975"},
            {d.txtTelefono, "924000111"},
            {d.txtDNIConyuge, "87654321X"},
            {d.txtConyuApellido1, "Ibáñez"},
            {d.txtCOnyuApellido2, "Çelik"},
            {d.txtConyuNombre, "Zoë"},
            {d.txtTipoDisc, "äëïöü ÄËÏÖÜ"},
            {d.txtAdaptaciones, "âêîôû ÂÊÎÔÛ"},
            {d.txtDomicilio, "C/ Río Ebro, 3º 2ª \"B\" · ¿izq?"},
            {d.txtLocalidad, "Peñíscola ¡sí!"},
            {d.txtCP, "06800"},
            {d.txtNRP, "NRP0042"},
            {d.txtFechaIngreso, "01/02/2001"},
            {d.txtFechaSit, "15/06/2010"},
            {d.txtSS, "Salud Ðuñoa & Cía"},
            {d.txtPuesto, "Plaça del Çentre"},
            {d.txtLocalidadPuesto, "Ñora"},
            {d.txtProvinciaPuesto, "Toledo"},
            {d.txtFecPosesion, "28/02/2005"},
            {d.txtInstiAct, "áéíóú ÁÉÍÓÚ"},
            {d.txtZBSAct, "àèìòù ÀÈÌÒÙ"},
            {d.txtProvAct, "Cáceres"}};
        for (const auto& [caja, texto] : textos) caja->setText(texto);
        if (!destino) d.txtSitAdm->setText(situacion);
        p.elegirOpcion(destino ? d.OptSi : d.OptNo);
        const auto t = [&](QLineEdit* caja) {
            for (const auto& [c, texto] : textos)
                if (c == caja) return texto;
            return QString();
        };
        const auto siDestino = [destino](const QString& v) { return destino ? v : QString(); };
        esperados = QStringList{"S",
                                t(d.txtApellido1),
                                t(d.txtApellido2),
                                t(d.txtNombre),
                                G().DNIUsuario,
                                "19751103",
                                t(d.txtTelefono),
                                "S",
                                t(d.txtDNIConyuge),
                                t(d.txtConyuApellido1),
                                t(d.txtCOnyuApellido2),
                                t(d.txtConyuNombre),
                                "S",
                                t(d.txtTipoDisc),
                                t(d.txtAdaptaciones),
                                t(d.txtDomicilio),
                                t(d.txtLocalidad),
                                d.cboProvincia->valor(),
                                t(d.txtCP),
                                d.cboCuerpo->valor(),
                                d.cboGrupo->valor(),
                                t(d.txtNRP),
                                "20010201",
                                "O",
                                situacion,
                                "20100615",
                                siDestino("O"),
                                siDestino(t(d.txtSS)),
                                siDestino("D"),
                                siDestino(t(d.txtPuesto)),
                                siDestino(t(d.txtLocalidadPuesto)),
                                siDestino(t(d.txtProvinciaPuesto)),
                                "S",
                                destino ? "20050228" : "00000000",  // vaciada con "No"
                                t(d.txtInstiAct),
                                t(d.txtZBSAct),
                                t(d.txtProvAct)};
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
    // Como con un cuerpo de grupo libre: nada está fijo antes de la primera vez que se guarda.
    for (QWidget* w : std::initializer_list<QWidget*>{form->txtDNI(), ui().cboGrupo})
        w->setEnabled(true);
    form->mnuP(2000)->setEnabled(true);
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
    // Nada a medias se queda en la carpeta, y lo guardado es solo del usuario.
    EXPECT_EQ(ficherosDeLaCarpeta().size(), 2);
    EXPECT_EQ(permisos(doc), 0600);
    EXPECT_EQ(permisos(xml), 0600);
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
    const QString nombreGuardado = nombre();
    EXPECT_FALSE(QFile::exists(G().RutaTemporal + nombreGuardado));
    // "Sí" sin poder guardar (falta el DNI): lo escrito sigue en el formulario.
    mensajes.limpiar();
    mensajes.responder(Respuesta::Si);
    form->txtDNI()->clear();
    form->mnuP(2500)->trigger();
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(mensajes.mostrados().size(), 2);  // la pregunta y la falta del DNI
    form->txtDNI()->setText(G().DNIUsuario);
    // "Sí" guarda y luego, como "No", va al selector, sin "Nueva", con la solicitud recién
    // guardada, y el formulario se va sin preguntar más.
    for (const Respuesta respuesta : {Respuesta::Si, Respuesta::No}) {
        SCOPED_TRACE(respuesta == Respuesta::Si ? "Sí" : "No");
        if (!form) crearFormulario();
        auto* f = form.release();
        QPointer<frmSolicitudes> vivo(f);
        f->setAttribute(Qt::WA_DeleteOnClose, true);
        mensajes.limpiar();
        mensajes.responder(respuesta);
        f->mnuP(2500)->setEnabled(true);
        f->mnuP(2500)->trigger();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(vivo.isNull());
        EXPECT_TRUE(QFile::exists(G().RutaTemporal + nombreGuardado));
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
    // "Cambiar contraseña" abre la misma ventana para este DNI. Se la espera con un temporizador
    // que se repite: la orden deja correr los eventos antes de abrirla.
    QString dniPedido = "ninguno";
    QTimer vigia;
    QObject::connect(&vigia, &QTimer::timeout, &vigia, [&dniPedido] {
        if (auto* ventana = qobject_cast<frmCreaPwd*>(QApplication::activeModalWidget())) {
            dniPedido = ventana->strDNI();
            ventana->reject();
        }
    });
    vigia.start(20);
    form->mnuP(5000)->trigger();
    EXPECT_EQ(dniPedido, G().DNIUsuario);
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
    // Las dos variantes del generador: la moderna, con destino actual, y la de los procesadores
    // de versión 8, sin él.
    for (const char* version : {"16", "8"}) {
        SCOPED_TRACE(version);
        G().VersionWord = version;
        QStringList campos;
        ASSERT_NO_FATAL_FAILURE(rellenarTodo(QString(version) == "16", campos));
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
        // La copia definitiva lleva "Ñ" donde se escribió "Ð".
        QString carga;
        for (const QString& c : campos) carga += QString(c).replace(u'Ð', u'Ñ') + "|";
        EXPECT_EQ(solicitante.mid(clave.size() + 18), sustituido("P001" + carga + "F"));
    }
}

// Cada uno de los 37 campos en su sitio, con las dos respuestas al destino actual.
TEST_F(GuardarSolicitudTest, LaCargaDelSolicitanteCampoACampo) {
    ASSERT_NO_FATAL_FAILURE(rellenar());
    for (bool destino : {true, false}) {
        SCOPED_TRACE(destino ? "con destino actual" : "sin destino actual");
        QStringList esperados;
        ASSERT_NO_FATAL_FAILURE(rellenarTodo(destino, esperados));
        const QStringList campos = form->DatosParaCodigoBarras().split('|');
        ASSERT_EQ(campos.size(), 38);
        EXPECT_EQ(campos.last(), "");  // cada campo acaba en "|", el último también
        for (int i = 0; i < 37; ++i) EXPECT_EQ(campos[i], esperados[i]) << "campo " << i + 1;
    }
}

// Sin los datos de una copia definitiva se pregunta por el borrador: "No" no hace nada y "Sí"
// imprime la copia borrador, que no lleva ningún código.
TEST_F(GuardarSolicitudTest, ImprimirSinDatosPreguntaPorElBorrador) {
    darDeAltaAlUsuario();
    ASSERT_NO_FATAL_FAILURE(rellenar());
    ui().txtFecNacimiento->clear();
    form->mnuP(1000)->setEnabled(true);
    for (Respuesta r : {Respuesta::Aceptar, Respuesta::No}) mensajes.responder(r);
    form->mnuP(1000)->trigger();
    procesar();
    EXPECT_FALSE(form->imprimiendo());
    ASSERT_EQ(mensajes.mostrados().size(), 2);
    EXPECT_EQ(mensajes.mostrados()[0].texto, "El campo Fecha de nacimiento es obligatorio");
    const MensajeMostrado& pregunta = mensajes.mostrados()[1];
    EXPECT_EQ(pregunta.texto,
              "Faltan datos por rellenar. ¿Desea imprimir una copia borrador de la solicitud?");
    EXPECT_EQ(pregunta.titulo, "Copia Borrador");
    EXPECT_EQ(pregunta.icono, Icono::Pregunta);
    EXPECT_EQ(pregunta.botones, Botones::SiNo);
    EXPECT_TRUE(QDir(G().RutaTemporal).entryList(QDir::Files | QDir::Hidden).isEmpty());
    mensajes.limpiar();
    for (Respuesta r : {Respuesta::Aceptar, Respuesta::Si}) mensajes.responder(r);
    QSignalSpy terminada(form.get(), &frmSolicitudes::impresionTerminada);
    form->mnuP(1000)->trigger();
    ASSERT_TRUE(terminada.wait(240000));
    const QString aviso = mensajes.textos().last();
    if (aviso.startsWith("IMPORTANTE")) GTEST_SKIP() << "hay una impresora: se envió";
    const QString pdf = G().RutaTemporal + nombre().left(nombre().size() - 4) + ".pdf";
    ASSERT_TRUE(QFile::exists(pdf)) << aviso.toStdString();
    auto leidos = leerCodigosPdf(pdf, 200);
    ASSERT_TRUE(leidos.ok()) << leidos.mensaje().toStdString();
    EXPECT_TRUE(leidos.valor().isEmpty());
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
    EXPECT_TRUE(mensajes.mostrados()[0].texto.contains(
        "No se ha guardado nada: la solicitud sigue como estaba."));
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
    EXPECT_EQ(ficherosDeLaCarpeta().size(), 2);
    // En lugar de la carpeta, un fichero: el mensaje nombra la solicitud y la causa de verdad,
    // no un fichero oculto de trabajo.
    mensajes.limpiar();
    escribirBytes(temporal + "fichero", "x");
    G().RutaTemporal = temporal + "fichero/";
    EXPECT_FALSE(form->GuardarSolicitud(false, false));
    G().RutaTemporal = temporal;
    ASSERT_EQ(mensajes.mostrados().size(), 1);
    EXPECT_TRUE(mensajes.mostrados()[0].texto.contains(temporal + "fichero/" + nombre()));
    EXPECT_TRUE(mensajes.mostrados()[0].texto.contains("en el lugar de la carpeta hay un fichero"))
        << mensajes.mostrados()[0].texto.toStdString();
    EXPECT_FALSE(mensajes.mostrados()[0].texto.contains(".aparte"));
    QFile::remove(temporal + "fichero");
    // Las listas no se pueden poner en su sitio: vuelve el documento de antes y el mensaje lo
    // dice; el par queda como estaba.
    mensajes.limpiar();
    ponerGanchoRenombrar([&xml](const QString& de, const QString& a) {
        if (a == xml) return EIO;
        return ::rename(QFile::encodeName(de).constData(), QFile::encodeName(a).constData()) ? errno
                                                                                             : 0;
    });
    EXPECT_FALSE(form->GuardarSolicitud(false, false));
    ponerGanchoRenombrar({});
    ASSERT_EQ(mensajes.mostrados().size(), 1);
    const QString texto = mensajes.mostrados()[0].texto;
    EXPECT_TRUE(texto.contains("No se ha podido guardar la solicitud \"" + doc))
        << texto.toStdString();
    EXPECT_TRUE(texto.contains("No se ha guardado nada")) << texto.toStdString();
    EXPECT_FALSE(texto.contains(".aparte")) << texto.toStdString();
    EXPECT_EQ(leerBytes(doc), docAntes);
    EXPECT_EQ(leerBytes(xml), xmlAntes);
    EXPECT_EQ(ficherosDeLaCarpeta().size(), 2);
}

// Las plazas de la lista como las guarda el fichero de listas: orden y código, en su orden.
using PlazasGuardadas = QVector<std::pair<QString, QString>>;
PlazasGuardadas plazasDeLaLista(const PTabla& t) {
    PlazasGuardadas r;
    for (int f = 0; f < t->numeroRegistros(); ++f)
        r.append({t->valorEnFila(f, t->indiceCampo("Orden")).toString(),
                  t->valorEnFila(f, t->indiceCampo("CodConvocatoria")).toString()});
    return r;
}
PlazasGuardadas plazasDelFichero(const QString& xml, QString* sello = nullptr) {
    pugi::xml_document d;
    PlazasGuardadas r;
    if (!d.load_file(QFile::encodeName(xml).constData())) return r;
    if (sello) *sello = QString::fromUtf8(d.document_element().attribute("sello").value());
    for (const auto& p : d.select_nodes("/Plazas/Vacantes/Plaza"))
        r.append({QString::fromUtf8(p.node().child_value("Orden")),
                  QString::fromUtf8(p.node().child_value("CodConvocatoria"))});
    return r;
}

// Con un guardado grande parado a medias (y lo mismo al imprimir, que guarda igual): la ventanita
// del progreso no se cierra (ni su botón de cerrar o Alt+F4, ni Escape) y sigue siendo modal;
// "Borrar" en Vacantes y lo que se escribe en una caja no llegan, ni por el sistema de ventanas ni
// directamente, y la barra de estado lo dice. Lo guardado es lo que había al pedir guardar, el
// documento y las listas del mismo guardado; el borrado se hace después y el guardado siguiente
// lo lleva exacto.
TEST_F(GuardarSolicitudTest, MientrasSeGuardaNadaCambiaLoQueSeGuarda) {
    darDeAltaAlUsuario();
    ASSERT_NO_FATAL_FAILURE(rellenar());
    form->tabPrincipal()->setCurrentIndex(2);
    auto& v = form->pestanaVacantes()->controles();
    v.cmdTodasVacantes->click();
    procesar();
    const PTabla& vacantes = G().rsVacantesSolicitadas;
    const int buscadas = vacantes->numeroRegistros();
    ASSERT_GE(buscadas, 5);
    // Grande: las mismas plazas otra vez hasta 3.000, como en una solicitud abierta con tantas.
    for (int f = buscadas; f < 3000; ++f) {
        ASSERT_TRUE(vacantes->anadirFila(vacantes->fila(f % buscadas)).ok());
        ASSERT_TRUE(vacantes->establecer("IdSolicitud", qint64(f + 1)).ok());
        ASSERT_TRUE(vacantes->establecer("Orden", qint64(f + 1)).ok());
    }
    const QString doc = G().RutaTemporal + nombre();
    const QString xml = G().RutaTemporal + NombreFicheroListas(nombre());
    // La impresión no llega a LibreOffice: un programa en su lugar se queda con el documento, lo
    // avisa por una tubería y espera sin fin (hasta que se cancele la impresión).
    QTemporaryDir aparte;
    const QString impreso = aparte.filePath("impreso.docx");
    const QString listo = aparte.filePath("listo");
    ASSERT_EQ(::mkfifo(QFile::encodeName(listo).constData(), 0600), 0);
    const QString soffice = aparte.filePath("soffice");
    escribirBytes(soffice, "#!/bin/sh\nfor a; do ultimo=\"$a\"; done\ncp \"$ultimo\" " +
                               QFile::encodeName(impreso) + "\necho > " + QFile::encodeName(listo) +
                               "\nexec sleep 600\n");
    QFile::setPermissions(soffice, QFile::permissions(soffice) | QFileDevice::ExeOwner);
    programasExternos().soffice = soffice;

    for (const int orden : {2000, 1000}) {
        SCOPED_TRACE(orden);
        QSemaphore seguir;
        PlazasGuardadas antes;
        QString codigoBorrado;
        bool parado = false;
        ponerGanchoPasoGuardado([&](PasoGuardado paso) {
            if (paso != PasoGuardado::Empieza) return;
            QMetaObject::invokeMethod(
                qApp,
                [&] {
                    parado = true;
                    antes = plazasDeLaLista(vacantes);
                    codigoBorrado = antes[3].second;
                    frmProgresoGeneral* progreso = nullptr;
                    for (QWidget* w : QApplication::topLevelWidgets())
                        if (auto* p = qobject_cast<frmProgresoGeneral*>(w); p && p->isVisible())
                            progreso = p;
                    if (!progreso) {
                        ADD_FAILURE() << "no se ve la ventanita del progreso";
                    } else {
                        // Botón de cerrar o Alt+F4 (lo que el sistema de ventanas manda a la
                        // ventana), cerrarla desde el programa y Escape.
                        QCloseEvent cerrar;
                        QCoreApplication::sendEvent(progreso->windowHandle(), &cerrar);
                        progreso->close();
                        QTest::keyClick(progreso, Qt::Key_Escape);
                        EXPECT_TRUE(progreso->isVisible());
                        EXPECT_EQ(QGuiApplication::modalWindow(), progreso->windowHandle());
                    }
                    // Una fila elegida y "Borrar" (con el "Sí" a la pregunta preparado), con el
                    // ratón por el sistema de ventanas y directamente en el botón; y una letra
                    // más en una caja.
                    v.grdVacantes->selectRow(3);
                    mensajes.responder(Respuesta::Si);
                    QTest::mouseClick(
                        form->windowHandle(), Qt::LeftButton, {},
                        v.cmdDelVacante->mapTo(form.get(), v.cmdDelVacante->rect().center()));
                    QTest::mouseClick(v.cmdDelVacante, Qt::LeftButton);
                    QTest::keyClicks(ui().txtNombre, "X");
                    procesar();
                    EXPECT_TRUE(mensajes.mostrados().isEmpty())
                        << mensajes.textos().join('|').toStdString();
                    EXPECT_EQ(plazasDeLaLista(vacantes), antes);
                    EXPECT_EQ(ui().txtNombre->text(), "Begoña");
                    // Lo que sí puede pasar en el hilo de la ventana (un aviso diferido, un
                    // temporizador) cambia sus listas, no lo que se está guardando.
                    vacantes->irAFila(3);
                    EXPECT_TRUE(vacantes->borrar().ok());
                    RenumerarOrden(vacantes, "Orden");
                    EXPECT_EQ(form->statusBar()->currentMessage(),
                              "Se está guardando la solicitud: espere a que termine para seguir.");
                    seguir.release();
                },
                Qt::QueuedConnection);
            seguir.acquire();
        });
        QSignalSpy terminada(form.get(), &frmSolicitudes::impresionTerminada);
        mensajes.limpiar();
        form->mnuP(orden)->setEnabled(true);
        form->mnuP(orden)->trigger();
        ponerGanchoPasoGuardado({});
        ASSERT_TRUE(parado);
        if (orden == 1000) {
            // Con el documento ya en la conversión, cerrar la ventanita de la impresión no la
            // cierra: pide cancelar, como su botón.
            ASSERT_TRUE(form->imprimiendo()) << mensajes.textos().join('|').toStdString();
            QFile tuberia(listo);
            ASSERT_TRUE(tuberia.open(QIODevice::ReadOnly));
            tuberia.readAll();
            frmProgresoGeneral* progreso = nullptr;
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* p = qobject_cast<frmProgresoGeneral*>(w); p && p->isVisible())
                    progreso = p;
            ASSERT_NE(progreso, nullptr);
            QCloseEvent cerrar;
            QCoreApplication::sendEvent(progreso->windowHandle(), &cerrar);
            EXPECT_TRUE(progreso->isVisible());
            EXPECT_FALSE(progreso->cmdCancelar()->isEnabled());
            ASSERT_TRUE(terminada.wait(60000));
            EXPECT_EQ(mensajes.textos().last(),
                      "Se ha cancelado la impresión: no se ha enviado nada a la impresora.");
        }
        // Lo guardado es lo de antes, y el documento y las listas son del mismo guardado.
        QString selloListas;
        EXPECT_EQ(plazasDelFichero(xml, &selloListas), antes);
        const auto campos = LeerCamposSolicitud(doc, {"NOMBRE"});
        ASSERT_TRUE(campos.ok()) << campos.mensaje().toStdString();
        EXPECT_FALSE(selloListas.isEmpty());
        EXPECT_EQ(campos.valor().sello, selloListas);
        EXPECT_EQ(campos.valor().textos.value("NOMBRE"), "Begoña");
        // Lo impreso, también: la plaza que se quiso borrar está en el documento de la impresión.
        if (orden == 1000) {
            const QString cuerpo =
                QString::fromUtf8(parteDelDocumento(impreso, "word/document.xml"));
            EXPECT_EQ(cuerpo.count(">" + codigoBorrado + "<"),
                      std::count_if(antes.begin(), antes.end(),
                                    [&](const auto& p) { return p.second == codigoBorrado; }));
        }
        // El borrado hecho en la ventana queda para el guardado siguiente, que es exacto; y ahora
        // "Borrar" sí borra.
        ASSERT_EQ(vacantes->numeroRegistros(), antes.size() - 1);
        ASSERT_TRUE(form->GuardarSolicitud(false, false));
        EXPECT_EQ(plazasDelFichero(xml), plazasDeLaLista(vacantes));
        mensajes.limpiar();
        v.grdVacantes->selectRow(3);
        mensajes.responder(Respuesta::Si);
        QTest::mouseClick(v.cmdDelVacante, Qt::LeftButton);
        ASSERT_EQ(mensajes.textos(), QStringList{"¿Desea borrar la fila seleccionada?"});
        ASSERT_EQ(vacantes->numeroRegistros(), antes.size() - 2);
        ASSERT_TRUE(form->GuardarSolicitud(false, false));
        EXPECT_EQ(plazasDelFichero(xml), plazasDeLaLista(vacantes));
    }
    programasExternos() = ProgramasExternos();
}

// Una carpeta de solo lectura y un disco lleno de verdad (un sistema de ficheros pequeño que monta
// la prueba): el mensaje dice la causa y que lo guardado sigue como estaba, y así es.
TEST_F(GuardarSolicitudTest, SoloLecturaYDiscoLlenoDicenQueLoGuardadoSigue) {
    darDeAltaAlUsuario();
    ASSERT_NO_FATAL_FAILURE(rellenar());
    ASSERT_TRUE(form->GuardarSolicitud(false, false));
    QTemporaryDir montaje;
    const QString punto = montaje.path();
    if (QProcess::execute("mount", {"-t", "tmpfs", "-o", "size=1m,mode=0700", "tmpfs", punto}) != 0)
        GTEST_SKIP() << "no se puede montar un sistema de ficheros pequeño (hace falta ser root)";
    const QString temporal = G().RutaTemporal;
    const QString doc = punto + "/" + nombre();
    const QString xml = punto + "/" + NombreFicheroListas(nombre());
    ASSERT_TRUE(QFile::copy(temporal + nombre(), doc));
    ASSERT_TRUE(QFile::copy(temporal + NombreFicheroListas(nombre()), xml));
    const QByteArray docAntes = leerBytes(doc), xmlAntes = leerBytes(xml);
    G().RutaTemporal = punto + "/";
    ui().txtNombre->setText("Otro nombre");
    const struct {
        const char* caso;
        std::function<void()> preparar;
        const char* causa;
    } casos[] = {
        {"solo lectura",
         [&] {
             ASSERT_EQ(QProcess::execute("mount", {"-o", "remount,ro", punto}), 0);
         },
         "no hay permiso para escribir en la carpeta"},
        {"disco lleno",
         [&] {
             ASSERT_EQ(QProcess::execute("mount", {"-o", "remount,rw", punto}), 0);
             QFile relleno(punto + "/relleno");
             ASSERT_TRUE(relleno.open(QIODevice::WriteOnly));
             const QByteArray trozo(4096, 'x');
             while (relleno.write(trozo) == trozo.size() && relleno.flush()) {
             }
         },
         "no queda sitio en el disco"},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.caso);
        ASSERT_NO_FATAL_FAILURE(c.preparar());
        mensajes.limpiar();
        EXPECT_FALSE(form->GuardarSolicitud(false, false));
        ASSERT_EQ(mensajes.mostrados().size(), 1);
        const QString texto = mensajes.mostrados()[0].texto;
        EXPECT_TRUE(texto.contains(c.causa)) << texto.toStdString();
        EXPECT_TRUE(texto.endsWith("No se ha guardado nada: la solicitud sigue como estaba."))
            << texto.toStdString();
        EXPECT_EQ(leerBytes(doc), docAntes);
        EXPECT_EQ(leerBytes(xml), xmlAntes);
    }
    G().RutaTemporal = temporal;
    // El bloqueo de la solicitud sigue abierto allí: se desmonta cuando se suelte.
    QProcess::execute("umount", {"-l", punto});
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
    EXPECT_EQ(ficherosDeLaCarpeta().size(), 2);
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
