#include "form/ventanas/frmSolicitudes.h"

#include "../../apoyo/Ficheros.h"
#include "../../apoyo/MensajesGuion.h"
#include "catalogue/Esquemas.h"
#include "form/ventanas/PestanaCursos.h"
#include "printing/ProcesosExternos.h"
#include "startup/Globales.h"
#include "ui_PestanaCursos.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <QAction>
#include <QDir>
#include <QElapsedTimer>
#include <QStandardPaths>
#include <QThread>
#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QTabWidget>
#include <QTemporaryDir>

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
        QString rotulo;
        bool habilitado;
    };
    const Menu menus[] = {
        {1000, "Imprimir", false}, {2000, "Guardar", false}, {2500, "Cargar otra solicitud", false},
        {3000, "Salir", true},     {4000, "Ayuda", true},    {5000, "Cambiar contraseña", true}};
    for (const auto& m : menus) {
        QAction* a = f.mnuP(m.indice);
        ASSERT_NE(a, nullptr) << m.indice;
        EXPECT_EQ(a->text(), m.rotulo);
        EXPECT_EQ(a->isEnabled(), m.habilitado) << m.indice;
    }
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
    // Con el manual pero sin LibreOffice.
    guion.limpiar();
    escribirBytes(dir.filePath("Manual de Usuario.doc"), "manual");
    const QString soffice = programasExternos().soffice;
    programasExternos().soffice = dir.filePath("no-hay-soffice");
    f.mnuP(4000)->trigger();
    programasExternos().soffice = soffice;
    ASSERT_EQ(guion.mostrados().size(), 1);
    EXPECT_TRUE(guion.mostrados()[0].texto.contains("LibreOffice"));
}

// Procesos vivos cuya línea de órdenes lleva esos argumentos seguidos.
QVector<qint64> procesosCon(const QByteArray& argumentos) {
    QVector<qint64> r;
    for (const QString& d : QDir("/proc").entryList(QDir::Dirs)) {
        bool ok = false;
        const qint64 pid = d.toLongLong(&ok);
        if (ok && leerBytes("/proc/" + d + "/cmdline").contains(argumentos)) r.append(pid);
    }
    return r;
}

// Con el manual y LibreOffice, la ayuda lo abre como documento nuevo basado en él ("-n") en un
// LibreOffice aparte que el programa no espera ni cierra.
TEST_F(frmSolicitudesTest, LaAyudaAbreElManualEnLibreOffice) {
    if (QStandardPaths::findExecutable(programasExternos().soffice).isEmpty())
        GTEST_SKIP() << "sin LibreOffice";
    escribirConf(confXml({"S", "S", "S", "S", "S"}));
    MensajesGuion guion;
    frmSolicitudes f;
    ASSERT_TRUE(f.cargar().ok());
    const QString manual = dir.filePath("Manual de Usuario.doc");
    escribirBytes(manual, "manual");
    // Sin pantalla y con un perfil que no es el de nadie.
    QTemporaryDir casa;
    const QByteArray casaAntes = qgetenv("HOME"), pluginAntes = qgetenv("SAL_USE_VCLPLUGIN");
    qputenv("HOME", casa.path().toUtf8());
    qputenv("SAL_USE_VCLPLUGIN", "svp");
    QElapsedTimer reloj;
    reloj.start();
    f.mnuP(4000)->trigger();
    EXPECT_LT(reloj.elapsed(), 2000);  // no espera a LibreOffice
    qputenv("HOME", casaAntes);
    if (pluginAntes.isNull()) qunsetenv("SAL_USE_VCLPLUGIN");
    else qputenv("SAL_USE_VCLPLUGIN", pluginAntes);
    EXPECT_TRUE(guion.mostrados().isEmpty());
    const QByteArray argumentos = QByteArray("-n") + '\0' + manual.toUtf8();
    QVector<qint64> vivos;
    for (int i = 0; i < 50 && vivos.isEmpty(); ++i) {
        vivos = procesosCon(argumentos);
        if (vivos.isEmpty()) QThread::msleep(100);
    }
    EXPECT_FALSE(vivos.isEmpty());
    // La prueba sí lo cierra.
    for (int i = 0; i < 50 && !procesosCon(manual.toUtf8()).isEmpty(); ++i) {
        for (qint64 pid : procesosCon(manual.toUtf8())) ::kill(pid_t(pid), SIGKILL);
        QThread::msleep(100);
    }
}

}  // namespace
