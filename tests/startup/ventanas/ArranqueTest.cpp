#include "../../apoyo/Ficheros.h"
#include "../../apoyo/MensajesGuion.h"
#include "../../apoyo/RutasCompilacion.h"
#include "../../printing/PlantillasReales.h"
#include "../../users/ventanas/Controles.h"
#include "catalogue/GeneradorCatalogos.h"
#include "form/ventanas/PestanaSolicitante.h"
#include "form/ventanas/frmSolicitudes.h"
#include "global/Globales.h"
#include "platform/ventanas/ComboDatos.h"
#include "startup/PasosArranque.h"
#include "startup/ventanas/Arranque.h"
#include "startup/ventanas/frmProgreso.h"
#include "storage/ventanas/frmSeleccion.h"
#include "ui_PestanaSolicitante.h"
#include "users/ventanas/frmCreaPwd.h"
#include "users/ventanas/frmUsuario.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

namespace {

// Maneja la ventana de acceso en cuanto aparece, desde dentro de su bucle modal.
void alAparecerElAcceso(std::function<void(frmUsuario*, ControlesFrmUsuario&)> accion) {
    QTimer::singleShot(0, qApp, [accion] {
        auto* acceso = qobject_cast<frmUsuario*>(QApplication::activeModalWidget());
        if (!acceso) {
            ADD_FAILURE() << "la ventana de acceso no está a la vista";
            return;
        }
        ControlesFrmUsuario ui(acceso);
        accion(acceso, ui);
    });
}

int ventanasVisibles() {
    int n = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible()) ++n;
    return n;
}

// Pulsa "Continuar" de la pantalla de carga en cuanto termina de cargar.
void continuarAlCargar() {
    auto* sondeo = new QTimer(qApp);
    QObject::connect(sondeo, &QTimer::timeout, sondeo, [sondeo] {
        auto* carga = qobject_cast<frmProgreso*>(QApplication::activeModalWidget());
        if (!carga) return;
        auto* continuar = carga->findChild<QPushButton*>(QStringLiteral("cmdContinuar"));
        if (continuar && continuar->isEnabled()) {
            continuar->click();
            sondeo->deleteLater();
        }
    });
    sondeo->start(20);
}

void entrarComoNuevo(const QString& dni) {
    alAparecerElAcceso([dni](frmUsuario*, ControlesFrmUsuario& ui) {
        ui.txtDNI->setText(dni);
        ui.cmdAceptarDNI->click();
    });
}

template <typename T>
T* ventanaVisible() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* v = qobject_cast<T*>(w); v && v->isVisible()) return v;
    return nullptr;
}

class ArranqueTest : public ::testing::Test {
protected:
    void SetUp() override {
        reiniciarGlobales();
        ASSERT_TRUE(m_dir.isValid());
        // Una instalación pequeña: catálogos, configuración y texto de la pantalla de carga.
        const QString ficheros = m_dir.path() + QStringLiteral("/ficheros/");
        TamanoCatalogos t;
        t.plazas = 40;
        t.cuerpos = 6;
        ASSERT_TRUE(generarCatalogos(ficheros, t).ok());
        ASSERT_TRUE(QDir().mkpath(ficheros + QStringLiteral("temp")));
        ASSERT_TRUE(QFile::copy(rutaFuentes("/datos/conf.xml"),
                                m_dir.filePath(QStringLiteral("conf.xml"))));
        ASSERT_TRUE(QFile::copy(rutaFuentes("/datos/FicheroTexto.txt"),
                                ficheros + QStringLiteral("FicheroTexto.txt")));
    }
    void TearDown() override {
        // Las ventanas que dejó el arranque (las listas desplegables son de sus combos).
        QList<QPointer<QWidget>> ventanas;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (!w->parentWidget()) ventanas << w;
        for (const QPointer<QWidget>& w : ventanas) delete w.data();
        reiniciarGlobales();
    }
    MensajesGuion m_mensajes;
    QTemporaryDir m_dir;
};

TEST_F(ArranqueTest, AbandonarElAccesoTerminaSinVentanas) {
    alAparecerElAcceso([](frmUsuario*, ControlesFrmUsuario& ui) { ui.cmdSalir->click(); });
    EXPECT_EQ(Arrancar(m_dir.path()), Arranque::Terminado);
    EXPECT_FALSE(G().LoginCorrecto);
    EXPECT_EQ(ventanasVisibles(), 0);
    EXPECT_TRUE(m_mensajes.mostrados().isEmpty());
    EXPECT_EQ(G().RutaFicheros, m_dir.path() + QStringLiteral("/ficheros/"));
    EXPECT_EQ(G().RutaTemporal, m_dir.path() + QStringLiteral("/ficheros/temp/"));
    EXPECT_EQ(G().RutaUsuarios, m_dir.path() + QStringLiteral("/usuarios.xml"));
}

TEST_F(ArranqueTest, CerrarLaVentanaDeAccesoEsAbandonar) {
    alAparecerElAcceso([](frmUsuario* acceso, ControlesFrmUsuario&) { acceso->close(); });
    EXPECT_EQ(Arrancar(m_dir.path()), Arranque::Terminado);
    EXPECT_FALSE(G().LoginCorrecto);
    EXPECT_EQ(ventanasVisibles(), 0);
}

TEST_F(ArranqueTest, SinSolicitudesGuardadasCargaYAbreElFormulario) {
    entrarComoNuevo(QStringLiteral("12345678Z"));
    continuarAlCargar();
    EXPECT_EQ(Arrancar(m_dir.path()), Arranque::ConVentanas);
    EXPECT_TRUE(G().LoginCorrecto);
    EXPECT_EQ(G().DNIUsuario, QStringLiteral("12345678Z"));
    EXPECT_FALSE(G().UsuarioConPassword);
    EXPECT_EQ(ventanaVisible<frmSeleccion>(), nullptr);
    auto* form = ventanaVisible<frmSolicitudes>();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->txtDNI()->text(), QStringLiteral("12345678Z"));
    EXPECT_FALSE(form->txtDNI()->isEnabled());
    EXPECT_TRUE(G().rsPlazasVacantes && G().rsPlazasVacantes->numeroRegistros() > 0);
    EXPECT_TRUE(m_mensajes.mostrados().isEmpty()) << m_mensajes.textos().join('|').toStdString();
}

// Una carga que falla tras el acceso también es un arranque fallido: el programa sale con 1.
TEST_F(ArranqueTest, UnaCargaQueFallaEsUnArranqueFallido) {
    ASSERT_TRUE(QFile::remove(m_dir.path() + QStringLiteral("/ficheros/F0016.enc")));
    entrarComoNuevo(QStringLiteral("12345678Z"));
    continuarAlCargar();
    EXPECT_EQ(Arrancar(m_dir.path()), Arranque::Fallido);
    EXPECT_EQ(ventanaVisible<frmSolicitudes>(), nullptr);
    EXPECT_FALSE(m_mensajes.mostrados().isEmpty());
}

// Otro juego de catálogos (--catalogos o la línea de conf.xml) se carga y se comprueba como el de
// siempre: el que le falta un catálogo da los mismos mensajes, con su carpeta.
TEST_F(ArranqueTest, ElJuegoDeCatalogosElegidoSeCompruebaComoSiempre) {
    const QString otro = m_dir.path() + QStringLiteral("/otro/");
    ASSERT_TRUE(QDir().mkpath(otro));
    for (const QString& f : QDir(m_dir.path() + QStringLiteral("/ficheros")).entryList({"F*.enc"}))
        ASSERT_TRUE(QFile::copy(m_dir.path() + QStringLiteral("/ficheros/") + f, otro + f));
    ASSERT_TRUE(QFile::remove(otro + QStringLiteral("F0016.enc")));
    RutasPrograma rutas = rutasPortatiles(m_dir.path());
    rutas.catalogos = otro;
    entrarComoNuevo(QStringLiteral("12345678Z"));
    continuarAlCargar();
    EXPECT_EQ(Arrancar(rutas), Arranque::Fallido);
    ASSERT_EQ(m_mensajes.mostrados().size(), 2) << qPrintable(m_mensajes.textos().join('|'));
    EXPECT_EQ(m_mensajes.mostrados()[0].texto,
              QStringLiteral("Se ha producido el siguiente error 53-No se ha encontrado el "
                             "archivo ") +
                  otro + QStringLiteral("F0016.enc"));
    EXPECT_TRUE(m_mensajes.mostrados()[1].texto.startsWith(QStringLiteral("Error en línea 260.")))
        << qPrintable(m_mensajes.mostrados()[1].texto);
}

TEST_F(ArranqueTest, ConSolicitudesGuardadasMuestraElSelectorSinCargar) {
    ASSERT_NO_FATAL_FAILURE(
        escribirBytes(m_dir.path() + QStringLiteral("/ficheros/temp/12345678Z_ABCDE0B.doc"), {}));
    entrarComoNuevo(QStringLiteral("12345678Z"));
    EXPECT_EQ(Arrancar(m_dir.path()), Arranque::ConVentanas);
    EXPECT_NE(ventanaVisible<frmSeleccion>(), nullptr);
    EXPECT_EQ(ventanaVisible<frmSolicitudes>(), nullptr);
    // La pantalla de carga no se ha mostrado: los catálogos que carga no existen aún.
    EXPECT_FALSE(G().rsPlazasVacantes);
    EXPECT_EQ(G().rsSolicitudesGuardadas->numeroRegistros(), 1);
}

TEST_F(ArranqueTest, SinCatalogoDeCuerposSeDetieneAntesDelAcceso) {
    ASSERT_TRUE(QFile::remove(m_dir.path() + QStringLiteral("/ficheros/F0004.enc")));
    EXPECT_EQ(Arrancar(m_dir.path()), Arranque::Fallido);
    EXPECT_EQ(codigoSalida(Arranque::Fallido), 1);
    EXPECT_EQ(codigoSalida(Arranque::Terminado), 0);
    EXPECT_FALSE(G().LoginCorrecto);
    EXPECT_EQ(ventanasVisibles(), 0);
    ASSERT_GE(m_mensajes.mostrados().size(), 2);
    EXPECT_TRUE(m_mensajes.mostrados().first().texto.startsWith(
        QStringLiteral("Se ha producido el siguiente error ")));
    EXPECT_EQ(m_mensajes.mostrados().last().icono, Icono::Critico);
}

// Si lo que falla es la carpeta de datos (aquí, temp.tmp no se puede escribir porque en su lugar
// hay una carpeta), el mensaje lo dice y no culpa al catálogo de cuerpos.
TEST_F(ArranqueTest, UnaCarpetaDeDatosQueNoSePuedeEscribirSeDiceAsi) {
    ASSERT_TRUE(QDir().mkpath(m_dir.path() + QStringLiteral("/ficheros/temp.tmp/ocupado")));
    EXPECT_EQ(Arrancar(m_dir.path()), Arranque::Fallido);
    ASSERT_FALSE(m_mensajes.mostrados().isEmpty());
    const QString ultimo = m_mensajes.mostrados().last().texto;
    EXPECT_TRUE(ultimo.startsWith(QStringLiteral("El programa no puede continuar: ")))
        << qPrintable(ultimo);
    EXPECT_TRUE(ultimo.contains(QStringLiteral("temp.tmp"))) << qPrintable(ultimo);
    EXPECT_TRUE(ultimo.contains(QStringLiteral("en su lugar hay una carpeta")))
        << qPrintable(ultimo);
}

// Instalado: el programa en <raíz>/usr/bin sin conf.xml al lado, lo que solo lee en
// <raíz>/usr/share/movilant y lo que escribe en la carpeta de datos de cada usuario. Con
// MOVILANT_RAIZ_PAQUETE la raíz es la del paquete de Debian desempaquetado
// (scripts/probar-paquete.sh); sin ella, un árbol igual hecho aquí.
class ArranqueInstaladoTest : public ArranqueTest {
protected:
    void SetUp() override {
        reiniciarGlobales();
        m_raiz = qEnvironmentVariable("MOVILANT_RAIZ_PAQUETE");
        if (m_raiz.isEmpty()) {
            ASSERT_TRUE(m_dir.isValid());
            m_raiz = m_dir.path();
            const QString share = m_raiz + QStringLiteral("/usr/share/movilant");
            ASSERT_TRUE(QDir().mkpath(m_raiz + QStringLiteral("/usr/bin")));
            TamanoCatalogos t;
            t.plazas = 40;
            t.cuerpos = 6;
            ASSERT_TRUE(generarCatalogos(share + QStringLiteral("/ficheros/"), t).ok());
            ASSERT_TRUE(QFile::copy(rutaFuentes("/datos/conf.xml"), share + "/conf.xml"));
            ASSERT_TRUE(QFile::copy(rutaFuentes("/datos/FicheroTexto.txt"),
                                    share + QStringLiteral("/ficheros/FicheroTexto.txt")));
            ASSERT_FALSE(construirPlantillasReales(share + QStringLiteral("/ficheros/")).isEmpty());
        }
        ASSERT_TRUE(m_casas.isValid());
    }

    // Las rutas de una persona con su propia cuenta (HOME) y su XDG_DATA_HOME. Con el paquete,
    // la primera es la del proceso: así se ve también lo que escriben las bibliotecas.
    RutasPrograma rutasDe(const QString& persona, bool delProceso = false) {
        EntornoArranque e;
        e.carpetaEjecutable = m_raiz + QStringLiteral("/usr/bin");
        e.home = m_casas.filePath(persona);
        e.xdgDataHome = e.home + QStringLiteral("/datos");
        if (delProceso && qEnvironmentVariableIsSet("MOVILANT_RAIZ_PAQUETE")) {
            e.home = qEnvironmentVariable("HOME");
            e.xdgDataHome = qEnvironmentVariable("XDG_DATA_HOME");
        }
        m_datos << e.xdgDataHome;
        const auto r = resolverRutas(e);
        EXPECT_TRUE(r.ok()) << qPrintable(r.mensaje());
        return r.ok() ? r.valor() : RutasPrograma{};
    }

    // Cada fichero bajo la carpeta, con su tamaño y su hora de cambio.
    static QStringList huella(const QString& carpeta) {
        QStringList h;
        QDirIterator it(carpeta,
                        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            it.next();
            const QFileInfo fi = it.fileInfo();
            h << QStringLiteral("%1 %2 %3")
                     .arg(fi.filePath())
                     .arg(fi.isDir() ? -1 : fi.size())
                     .arg(fi.lastModified().toMSecsSinceEpoch());
        }
        h.sort();
        return h;
    }

    // Una segunda ejecución del programa: sin ventanas ni estado de la anterior.
    static void terminarEjecucion() {
        QList<QPointer<QWidget>> ventanas;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (!w->parentWidget()) ventanas << w;
        for (const QPointer<QWidget>& w : ventanas) delete w.data();
        CerrarTablas();
        reiniciarGlobales();
    }

    QString m_raiz;
    QTemporaryDir m_casas;
    QStringList m_datos;  // el XDG_DATA_HOME de cada persona
};

TEST_F(ArranqueInstaladoTest, GuardaYReabreSoloEnLaCarpetaDelUsuario) {
    const QStringList raizAntes = huella(m_raiz);
    const RutasPrograma ana = rutasDe(QStringLiteral("ana"), true);
    ASSERT_TRUE(ana.instalado);
    const QString datosAna = m_datos.first() + QStringLiteral("/movilant");
    EXPECT_EQ(ana.datos, datosAna);

    // Primera vez: una persona nueva entra, carga y guarda (con su contraseña).
    entrarComoNuevo(QStringLiteral("12345678Z"));
    continuarAlCargar();
    ASSERT_EQ(Arrancar(ana), Arranque::ConVentanas)
        << qPrintable(m_mensajes.textos().join(QLatin1Char('|')));
    EXPECT_EQ(permisos(datosAna), 0700);
    EXPECT_EQ(G().RutaTemporal, datosAna + QStringLiteral("/temp/"));
    auto* form = ventanaVisible<frmSolicitudes>();
    ASSERT_NE(form, nullptr);
    Ui::PestanaSolicitante& d = form->pestanaSolicitante()->controles();
    d.txtApellido1->setText(QStringLiteral("Pérez"));
    d.txtNombre->setText(QStringLiteral("Begoña"));
    d.cboCuerpo->setValor(G().IndicePlazasCuerpo.first().CodCuerpo);
    d.cboGrupo->setValor(d.cboCuerpo->valorColumna(QStringLiteral("Grupo")));
    QTimer::singleShot(0, qApp, [] {
        if (auto* ventana = qobject_cast<frmCreaPwd*>(QApplication::activeModalWidget())) {
            ventana->txtPwd(0)->setText(QStringLiteral("SECRETO"));
            ventana->txtPwd(1)->setText(QStringLiteral("SECRETO"));
            ventana->findChild<QPushButton*>(QStringLiteral("cmdAceptar"))->click();
        }
    });
    ASSERT_TRUE(form->GuardarSolicitud(false, false))
        << qPrintable(m_mensajes.textos().join(QLatin1Char('|')));
    const QStringList guardadas =
        QDir(datosAna + QStringLiteral("/temp")).entryList({QStringLiteral("*.doc")}, QDir::Files);
    ASSERT_EQ(guardadas.size(), 1);
    EXPECT_TRUE(QFile::exists(datosAna + QStringLiteral("/usuarios.xml")));
    terminarEjecucion();

    // Segunda vez: con su contraseña ve el selector, que dice dónde están, y la reabre.
    alAparecerElAcceso([](frmUsuario*, ControlesFrmUsuario& ui) {
        ui.txtDNI->setText(QStringLiteral("12345678Z"));
        ui.cmdAceptarDNI->click();
        ui.txtPwd->setText(QStringLiteral("SECRETO"));
        ui.cmdAceptarPwd->click();
    });
    ASSERT_EQ(Arrancar(ana), Arranque::ConVentanas);
    auto* selector = ventanaVisible<frmSeleccion>();
    ASSERT_NE(selector, nullptr);
    EXPECT_TRUE(selector->findChild<QLabel*>(QStringLiteral("lblCarpeta"))
                    ->text()
                    .contains(datosAna + QStringLiteral("/temp/")));
    auto* combo = selector->findChild<ComboDatos*>(QStringLiteral("cboSolicitudes"));
    ASSERT_EQ(combo->count(), 1);
    combo->setCurrentIndex(0);
    emit combo->activated(0);
    continuarAlCargar();
    selector->findChild<QPushButton*>(QStringLiteral("cmdCargar"))->click();
    form = ventanaVisible<frmSolicitudes>();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->pestanaSolicitante()->controles().txtNombre->text(), QStringLiteral("Begoña"));
    terminarEjecucion();

    // Otra persona del mismo equipo, aunque entre con el mismo DNI, no ve nada de la primera.
    const RutasPrograma luis = rutasDe(QStringLiteral("luis"));
    alAparecerElAcceso([](frmUsuario* acceso, ControlesFrmUsuario& ui) {
        ui.txtDNI->setText(QStringLiteral("12345678Z"));
        ui.cmdAceptarDNI->click();
        // Si le pide contraseña es que ve el almacén de usuarios de la otra persona.
        if (acceso->isVisible()) {
            ADD_FAILURE() << "el DNI ya tiene contraseña para la otra persona";
            ui.cmdSalir->click();
        }
    });
    continuarAlCargar();
    ASSERT_EQ(Arrancar(luis), Arranque::ConVentanas);
    EXPECT_EQ(ventanaVisible<frmSeleccion>(), nullptr);
    EXPECT_NE(ventanaVisible<frmSolicitudes>(), nullptr);
    EXPECT_EQ(G().rsSolicitudesGuardadas->numeroRegistros(), 0);
    EXPECT_FALSE(G().UsuarioConPassword);

    // Nada se ha escrito donde está el programa, ni en la cuenta de cada uno fuera de sus datos.
    EXPECT_EQ(huella(m_raiz), raizAntes);
    // (scripts/probar-paquete.sh mira además que en la cuenta del proceso no haya nada más.)
    for (const QString& datos : m_datos)
        EXPECT_EQ(QDir(datos).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                  QStringList{QStringLiteral("movilant")})
            << qPrintable(datos);
    const QStringList casas =
        QDir(m_casas.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    EXPECT_TRUE(casas == QStringList({QStringLiteral("ana"), QStringLiteral("luis")}) ||
                casas == QStringList({QStringLiteral("luis")}))
        << qPrintable(casas.join(QLatin1Char(' ')));
}

}  // namespace
