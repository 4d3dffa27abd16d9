#include "form/ventanas/frmSolicitudes.h"

#include "../../apoyo/Ficheros.h"
#include "../../apoyo/MensajesGuion.h"
#include "catalogue/Esquemas.h"
#include "form/ventanas/PestanaCursos.h"
#include "form/ventanas/frmProgresoGeneral.h"
#include "global/Globales.h"
#include "platform/ventanas/Colocacion.h"
#include "printing/ProcesosExternos.h"
#include "ui_PestanaCursos.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QScreen>
#include <QSettings>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

namespace {

QString confXml(const QStringList& visibilidad) {
    QString x = QStringLiteral("<Configuracion Nombre=\"Traslados\" numPlazasPorPag=\"30\">");
    for (int i = 0; i < visibilidad.size(); ++i) {
        x += QStringLiteral(
                 "<Tab><NombreTab>N%1</NombreTab><Visibilidad>%2</Visibilidad>"
                 "<TituloTab>Pestaña %1</TituloTab><TituloSobreGrid>Sobre %1"
                 "</TituloSobreGrid></Tab>")
                 .arg(i)
                 .arg(visibilidad[i]);
    }
    return x + QStringLiteral("</Configuracion>");
}

class frmSolicitudesTest : public ::testing::Test {
protected:
    void SetUp() override {
        reiniciarGlobales();
        ASSERT_TRUE(dir.isValid());
        G().RutaFicheros = dir.path() + QStringLiteral("/ficheros/");
    }
    void escribirConf(const QString& xml) {
        escribirBytes(dir.filePath(QStringLiteral("conf.xml")), xml.toUtf8());
    }
    QTemporaryDir dir;
};

TEST_F(frmSolicitudesTest, DisenoDePestanasYMenu) {
    frmSolicitudes f;
    // El título de diseño; la configuración lo cambia al cargar.
    EXPECT_EQ(f.windowTitle(), "Solicitud de Concurso");
    ASSERT_EQ(f.tabPrincipal()->count(), 5);
    const QStringList titulos = {"Datos Personales", "Cursos", "Plazas Vacantes", "Plazas Resultas",
                                 "Cursos Realizados"};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(f.tabPrincipal()->tabText(i), titulos[i]);
        ASSERT_NE(f.lblGrid(i), nullptr);
        EXPECT_EQ(f.lblGrid(i)->objectName(), QStringLiteral("lblGrid%1").arg(i));
    }
    EXPECT_EQ(f.lblGrid(5), nullptr);
    struct Menu {
        int indice;
        QString rotulo;  // con la letra del atajo Alt+letra marcada con "&"
        bool habilitado;
        QString atajos;
    };
    const Menu menus[] = {{1000, "&Imprimir", false, "Ctrl+P"},
                          {2000, "&Guardar", false, "Ctrl+G, Ctrl+S"},
                          {2500, "Cargar &otra solicitud", false, "Ctrl+O"},
                          {3000, "&Salir", true, "Ctrl+Q"},
                          {4000, "A&yuda", true, "F1"},
                          {5000, "Cambiar &contraseña", true, ""}};
    QStringList letras;
    for (const auto& m : menus) {
        QAction* a = f.mnuP(m.indice);
        ASSERT_NE(a, nullptr) << m.indice;
        EXPECT_EQ(a->text(), m.rotulo);
        EXPECT_EQ(a->isEnabled(), m.habilitado) << m.indice;
        QStringList atajos;
        for (const QKeySequence& k : a->shortcuts()) atajos << k.toString();
        EXPECT_EQ(atajos.join(", "), m.atajos) << m.indice;
        letras << m.rotulo.mid(m.rotulo.indexOf('&') + 1, 1).toLower();
    }
    letras.removeDuplicates();
    EXPECT_EQ(letras.size(), 6) << "dos órdenes con la misma letra";
    EXPECT_EQ(f.mnuP(1500), nullptr);
    EXPECT_EQ(f.txtDNI()->property("campo").toString(), "NDNI");
}

TEST_F(frmSolicitudesTest, LaCargaAplicaLaConfiguracion) {
    escribirConf(confXml({"S", "N", "S", "S", "N"}));
    G().UsuarioConPassword = true;
    frmSolicitudes f;
    ASSERT_TRUE(f.cargar().ok());
    EXPECT_EQ(f.windowTitle(), "Traslados 1.2.0");
    EXPECT_EQ(G().CarpetaPlantillas, "DOT_10110");
    EXPECT_EQ(G().PlazasPorPagina, "30");
    const bool visibles[] = {true, false, true, true, false};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(f.tabPrincipal()->tabText(i), QStringLiteral("Pestaña %1").arg(i));
        EXPECT_EQ(f.lblGrid(i)->text(), QStringLiteral("Sobre %1").arg(i));
        EXPECT_EQ(f.tabPrincipal()->isTabVisible(i), visibles[i]) << i;
        // Una pestaña oculta tampoco se alcanza con Ctrl+Tab.
        EXPECT_EQ(f.tabPrincipal()->isTabEnabled(i), visibles[i]) << i;
        EXPECT_EQ(f.tabConfig(i).indice, i);
        EXPECT_EQ(f.tabConfig(i).NombreTab, QStringLiteral("N%1").arg(i));
    }
    EXPECT_TRUE(f.mnuP(5000)->isVisible());
}

TEST_F(frmSolicitudesTest, SinContrasenaSeOcultaCambiarla) {
    escribirConf(confXml({"S", "S", "S", "S", "S"}));
    G().UsuarioConPassword = false;
    frmSolicitudes f;
    ASSERT_TRUE(f.cargar().ok());
    EXPECT_FALSE(f.mnuP(5000)->isVisible());
}

TEST_F(frmSolicitudesTest, SinConfiguracionNoCarga) {
    frmSolicitudes f;
    G().CarpetaPlantillas = "DOT_11111";
    const Resultado r = f.cargar();
    ASSERT_FALSE(r.ok());
    EXPECT_TRUE(r.mensaje().contains("\"conf.xml\""));
    // Nada a medias: la configuración anterior sigue.
    EXPECT_EQ(G().CarpetaPlantillas, "DOT_11111");
}

TEST_F(frmSolicitudesTest, CadaOrdenDelMenuSeEjecutaUnaVez) {
    escribirConf(confXml({"S", "S", "S", "S", "S"}));
    frmSolicitudes f;
    ASSERT_TRUE(f.cargar().ok());
    // "Guardar" sin DNI: un solo aviso por cada vez que se elige.
    f.txtDNI()->clear();
    // Antes de la suya, toda orden renumera las dos listas desde 1 y vacía el marco del curso.
    G().rsVacantesSolicitadas = CrearTablaPlazasSolicitadas("rsVacantesSolicitadas");
    G().rsResultasSolicitadas = CrearTablaPlazasSolicitadas("rsResultasSolicitadas");
    for (const PTabla& t : {G().rsVacantesSolicitadas, G().rsResultasSolicitadas})
        for (qint64 orden : {2, 5, 9})
            ASSERT_TRUE(t->anadirRegistro({qint64(1), orden, QString::number(orden)}).ok());
    f.pestanaCursos()->controles().txtCurso->setText("a medias");
    MensajesGuion guion;
    f.mnuP(2000)->setEnabled(true);
    f.mnuP(2000)->trigger();
    EXPECT_EQ(guion.mostrados().size(), 1);
    for (const PTabla& t : {G().rsVacantesSolicitadas, G().rsResultasSolicitadas}) {
        QStringList ordenes;
        for (int fila = 0; fila < t->numeroRegistros(); ++fila)
            ordenes << t->valorEnFila(fila, 1).toString() + ":" +
                           t->valorEnFila(fila, 2).toString();
        EXPECT_EQ(ordenes, (QStringList{"1:2", "2:5", "3:9"})) << t->nombre().toStdString();
    }
    EXPECT_EQ(f.pestanaCursos()->controles().txtCurso->text(), "");
}

// El menú se usa desde el teclado: la letra subrayada con Alt y los atajos de siempre, desde una
// caja de texto con el foco. Con la orden deshabilitada, Alt+letra no hace nada: tampoco escribe.
TEST_F(frmSolicitudesTest, ElMenuSeUsaConElTeclado) {
    escribirConf(confXml({"S", "S", "S", "S", "S"}));
    frmSolicitudes f;
    ASSERT_TRUE(f.cargar().ok());
    f.show();
    f.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    f.txtDNI()->clear();  // "Guardar" se queda en su primer aviso y no escribe nada
    auto* domicilio = f.findChild<QLineEdit*>(QStringLiteral("txtDomicilio"));
    ASSERT_NE(domicilio, nullptr);
    domicilio->setText(QStringLiteral("Calle Mayor"));
    domicilio->setFocus();
    MensajesGuion guion;
    const std::pair<Qt::Key, Qt::KeyboardModifiers> teclas[] = {{Qt::Key_G, Qt::AltModifier},
                                                                {Qt::Key_G, Qt::ControlModifier},
                                                                {Qt::Key_S, Qt::ControlModifier}};
    for (const bool habilitado : {true, false}) {
        f.mnuP(2000)->setEnabled(habilitado);
        for (const auto& [tecla, mods] : teclas) {
            SCOPED_TRACE(QKeySequence(tecla | mods).toString().toStdString());
            guion.limpiar();
            QTest::keyClick(domicilio, tecla, mods);
            EXPECT_EQ(guion.textos(),
                      habilitado ? QStringList{"Es necesario rellenar el DNI para grabar los datos "
                                               "o imprimir el informe"}
                                 : QStringList{});
            EXPECT_EQ(domicilio->text(), QStringLiteral("Calle Mayor"));
        }
    }
}

// La primera vez el formulario cabe en la pantalla y sale centrado; al volver, con el tamaño y el
// sitio en que se cerró. La ventanita de progreso sale encima del formulario.
TEST_F(frmSolicitudesTest, VuelveDondeSeCerroYElProgresoSaleEncima) {
    escribirConf(confXml({"S", "S", "S", "S", "S"}));
    MensajesGuion guion;
    QSettings(QStringLiteral("Movilant"), QStringLiteral("movilant"))
        .remove(kClaveGeometriaFormulario);
    const QRect zona = QGuiApplication::primaryScreen()->availableGeometry();
    QPointer<frmSolicitudes> f = new frmSolicitudes;
    ASSERT_TRUE(f->cargar().ok());
    restaurarGeometria(f, kClaveGeometriaFormulario);
    f->show();
    EXPECT_TRUE(zona.contains(f->frameGeometry())) << zona.width() << "x" << zona.height();
    EXPECT_LE((f->frameGeometry().center() - zona.center()).manhattanLength(), 4);
    f->setGeometry(QRect(zona.topLeft() + QPoint(30, 20), QSize(700, 560)));
    const QRect elegida = f->geometry();
    {
        frmProgresoGeneral progreso(f);
        progreso.show();
        EXPECT_LE(
            (progreso.frameGeometry().center() - f->frameGeometry().center()).manhattanLength(), 4);
    }
    guion.responder(Respuesta::No);
    f->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_TRUE(f.isNull());
    frmSolicitudes otra;
    ASSERT_TRUE(otra.cargar().ok());
    restaurarGeometria(&otra, kClaveGeometriaFormulario);
    otra.show();
    EXPECT_EQ(otra.geometry(), elegida);
}

TEST_F(frmSolicitudesTest, AlCerrarPreguntaSiGuardar) {
    escribirConf(confXml({"S", "S", "S", "S", "S"}));
    MensajesGuion guion;
    QPointer<frmSolicitudes> f = new frmSolicitudes;
    ASSERT_TRUE(f->cargar().ok());
    f->show();
    const auto cerrar = [&] {
        f->mnuP(3000)->trigger();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    };
    // "Cancelar": sigue abierto.
    guion.responder(Respuesta::Cancelar);
    cerrar();
    ASSERT_FALSE(f.isNull());
    ASSERT_EQ(guion.mostrados().size(), 1);
    EXPECT_EQ(guion.mostrados()[0].texto, "La aplicación se cerrará, ¿desea guardar los cambios?");
    EXPECT_EQ(guion.mostrados()[0].titulo, "Solicitud");
    EXPECT_EQ(guion.mostrados()[0].icono, Icono::Exclamacion);
    EXPECT_EQ(guion.mostrados()[0].botones, Botones::SiNoCancelar);
    // "Sí" sin datos para guardar: el aviso y sigue abierto con lo escrito.
    guion.limpiar();
    guion.responder(Respuesta::Si);
    cerrar();
    ASSERT_FALSE(f.isNull());
    EXPECT_EQ(guion.textos().last(),
              "Es necesario rellenar el DNI para grabar los datos o imprimir el informe");
    // Con una impresión entregándose no se cierra ni se pregunta.
    guion.limpiar();
    f->Timer1().start();
    cerrar();
    ASSERT_FALSE(f.isNull());
    EXPECT_TRUE(guion.mostrados().isEmpty());
    f->Timer1().stop();
    // "No": se cierra y suelta las tablas.
    G().rsCursos = CrearTablaCursos();
    guion.responder(Respuesta::No);
    cerrar();
    EXPECT_TRUE(f.isNull());
    EXPECT_FALSE(G().rsCursos);
}

TEST_F(frmSolicitudesTest, OtraPestanaSinDniCuerpoYGrupo) {
    escribirConf(confXml({"S", "S", "S", "S", "S"}));
    MensajesGuion guion;
    frmSolicitudes f;
    ASSERT_TRUE(f.cargar().ok());
    f.tabPrincipal()->setCurrentIndex(2);
    EXPECT_EQ(f.tabPrincipal()->currentIndex(), 0);
    ASSERT_EQ(guion.mostrados().size(), 1);
    EXPECT_EQ(guion.mostrados()[0].texto, "Compruebe que ha rellenado los datos del formulario");
    EXPECT_EQ(guion.mostrados()[0].titulo, "Datos incompletos");
    EXPECT_EQ(guion.mostrados()[0].icono, Icono::Exclamacion);
    EXPECT_FALSE(f.mnuP(2000)->isEnabled());
}

TEST_F(frmSolicitudesTest, ElManualQueNoSePuedeAbrirLoDice) {
    escribirConf(confXml({"S", "S", "S", "S", "S"}));
    MensajesGuion guion;
    frmSolicitudes f;
    ASSERT_TRUE(f.cargar().ok());
    // Sin el fichero del manual.
    f.mnuP(4000)->trigger();
    ASSERT_EQ(guion.mostrados().size(), 1);
    EXPECT_TRUE(guion.mostrados()[0].texto.contains("Manual de Usuario.doc"));
    // Con el manual pero sin nada en el escritorio con que abrirlo.
    guion.limpiar();
    escribirBytes(dir.filePath("Manual de Usuario.doc"), "manual");
    programasExternos().xdgMime = dir.filePath("no-hay-xdg-mime");
    f.mnuP(4000)->trigger();
    programasExternos() = ProgramasExternos();
    ASSERT_EQ(guion.mostrados().size(), 1);
    EXPECT_TRUE(guion.mostrados()[0].texto.contains("ningún programa para abrir"))
        << guion.mostrados()[0].texto.toStdString();
    // Con un visor asociado que no puede arrancar: el abridor del escritorio termina con error
    // (su queja va a la salida de errores) y el mensaje dice dónde está el manual.
    guion.limpiar();
    const auto guionSh = [this](const QString& nombre, const QByteArray& cuerpo) {
        const QString ruta = dir.filePath(nombre);
        escribirBytes(ruta, "#!/bin/sh\n" + cuerpo + "\n");
        QFile::setPermissions(ruta, QFile::permissions(ruta) | QFileDevice::ExeOwner);
        return ruta;
    };
    programasExternos().xdgMime = guionSh("xdg-mime", "echo visor.desktop");
    programasExternos().xdgOpen =
        guionSh("xdg-open", "echo 'visor: no se puede ejecutar' >&2; exit 4");
    f.mnuP(4000)->trigger();
    programasExternos() = ProgramasExternos();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !guion.mostrados().isEmpty(); }, 10000));
    ASSERT_EQ(guion.mostrados().size(), 1);
    EXPECT_TRUE(guion.mostrados()[0].texto.startsWith("No se puede mostrar el manual de usuario"));
    EXPECT_TRUE(guion.mostrados()[0].texto.contains(dir.filePath("Manual de Usuario.doc")))
        << guion.mostrados()[0].texto.toStdString();
    EXPECT_EQ(guion.mostrados()[0].icono, Icono::Exclamacion);
}

// F1 entrega el manual (su PDF) al programa del escritorio, sin esperarlo: lo que queda abierto
// es el visor, a la vista, y lo cierra quien lo usa.
TEST_F(frmSolicitudesTest, F1EntregaElManualAlEscritorio) {
    escribirConf(confXml({"S", "S", "S", "S", "S"}));
    MensajesGuion guion;
    frmSolicitudes f;
    ASSERT_TRUE(f.cargar().ok());
    f.show();
    f.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    escribirBytes(dir.filePath("Manual de Usuario.doc"), "manual");
    escribirBytes(dir.filePath("Manual de Usuario.pdf"), "%PDF-1.4\n");
    const QString abierto = dir.filePath("abierto.txt");
    const auto guionSh = [this](const QString& nombre, const QByteArray& cuerpo) {
        const QString ruta = dir.filePath(nombre);
        escribirBytes(ruta, "#!/bin/sh\n" + cuerpo + "\n");
        QFile::setPermissions(ruta, QFile::permissions(ruta) | QFileDevice::ExeOwner);
        return ruta;
    };
    programasExternos().xdgMime = guionSh("xdg-mime", "echo visor.desktop");
    programasExternos().xdgOpen = guionSh("xdg-open", "printf '%s' \"$1\" > " + abierto.toUtf8());
    QTest::keyClick(f.txtDNI(), Qt::Key_F1);
    programasExternos() = ProgramasExternos();
    EXPECT_TRUE(guion.mostrados().isEmpty()) << guion.textos().join('|').toStdString();
    // El abridor crea el fichero antes de escribir en él: se espera a lo escrito.
    EXPECT_TRUE(QTest::qWaitFor([&] { return !leerBytes(abierto).isEmpty(); }, 10000));
    EXPECT_EQ(QString::fromUtf8(leerBytes(abierto)), dir.filePath("Manual de Usuario.pdf"));
}

}  // namespace
