// Imprimir desde el formulario en una impresora de verdad: un programador de colas CUPS propio,
// con una cola PDF como impresora predeterminada, recibe la solicitud por el camino del programa
// (lp) y deja el PDF que se lee.
#include "../../apoyo/Ficheros.h"
#include "../../printing/PlantillasReales.h"
#include "FormularioPrueba.h"
#include "form/ventanas/PestanaSolicitante.h"
#include "form/ventanas/PestanaVacantes.h"
#include "platform/ventanas/ComboDatos.h"
#include "printing/LecturaCodigos.h"
#include "startup/Globales.h"
#include "ui_PestanaSolicitante.h"
#include "ui_PestanaVacantes.h"
#include "users/Usuarios.h"

#include <unistd.h>
#include <QAction>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTabWidget>
#include <QThread>

namespace {

// cupsd en primer plano con su configuración, colas y registros en una carpeta temporal.
class CupsPrivado {
public:
    ~CupsPrivado() { parar(); }

    // Vacío si arrancó con la cola "Prueba" predeterminada; si no, por qué no.
    QString arrancar() {
        if (geteuid() != 0) return "hace falta ser root para arrancar cupsd";
        for (const char* p : {"cupsd", "lpadmin"})
            if (QStandardPaths::findExecutable(p, {"/usr/sbin", "/usr/bin"}).isEmpty())
                return QString("falta %1").arg(p);
        if (!QFile::exists("/usr/lib/cups/backend/cups-pdf"))
            return "falta el controlador cups-pdf";
        const QString t = m_dir.path();
        // Los filtros corren como lp: tienen que poder entrar en la carpeta.
        QFile::setPermissions(t, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                     QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther |
                                     QFile::ExeOther);
        for (const char* d :
             {"conf", "conf/ppd", "spool", "spool/tmp", "cache", "state", "log", "salida"})
            QDir().mkpath(t + "/" + d);
        QProcess::execute("chown",
                          {"-R", "lp:lp", t + "/spool", t + "/cache", t + "/state", t + "/log"});
        QProcess::execute("chmod", {"0777", t + "/salida"});
        escribirBytes(t + "/conf/cups-files.conf",
                      QString("ServerRoot %1/conf\nRequestRoot %1/spool\nTempDir %1/spool/tmp\n"
                              "CacheDir %1/cache\nStateDir %1/state\nAccessLog %1/log/access_log\n"
                              "ErrorLog %1/log/error_log\nPageLog %1/log/page_log\n"
                              "ServerBin /usr/lib/cups\nDataDir /usr/share/cups\nUser lp\n"
                              "Group lp\n")
                          .arg(t)
                          .toUtf8());
        escribirBytes(t + "/conf/cupsd.conf",
                      QString("Listen %1/cups.sock\nLogLevel warn\nDefaultAuthType None\n"
                              "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
                              "<Location /admin>\n  Order allow,deny\n  Allow all\n</Location>\n"
                              "<Policy default>\n  <Limit All>\n    Order deny,allow\n"
                              "  </Limit>\n</Policy>\n")
                          .arg(t)
                          .toUtf8());
        // La cola "prueba" de cups-pdf deja los PDF en la carpeta de salida.
        m_confPdf = "/etc/cups/cups-pdf-prueba.conf";
        escribirBytes(m_confPdf,
                      QString("Out %1/salida\nAnonDirName %1/salida\nLabel 0\n").arg(t).toUtf8());
        m_cupsd.start("cupsd",
                      {"-f", "-c", t + "/conf/cupsd.conf", "-s", t + "/conf/cups-files.conf"});
        if (!m_cupsd.waitForStarted(10000)) return "cupsd no arranca";
        const QString socket = t + "/cups.sock";
        for (int i = 0; i < 100 && !QFile::exists(socket); ++i) QThread::msleep(100);
        if (!QFile::exists(socket)) return "cupsd no abre su socket: " + errores();
        qputenv("CUPS_SERVER", socket.toUtf8());
        QProcess lpadmin;
        lpadmin.start("lpadmin", {"-p", "Prueba", "-E", "-v", "cups-pdf:/prueba", "-m",
                                  "lsb/usr/cups-pdf/CUPS-PDF_opt.ppd"});
        lpadmin.waitForFinished(30000);
        if (lpadmin.exitCode() != 0)
            return "lpadmin -p: " + QString::fromLocal8Bit(lpadmin.readAllStandardError());
        lpadmin.start("lpadmin", {"-d", "Prueba"});
        lpadmin.waitForFinished(30000);
        if (lpadmin.exitCode() != 0)
            return "lpadmin -d: " + QString::fromLocal8Bit(lpadmin.readAllStandardError());
        return {};
    }
    // El primer PDF que llega a la carpeta de salida, esperando como mucho `ms`.
    QString esperarPdf(int ms) const {
        for (int i = 0; i < ms / 200; ++i) {
            QDirIterator it(m_dir.path() + "/salida", {"*.pdf"}, QDir::Files,
                            QDirIterator::Subdirectories);
            if (it.hasNext()) {
                const QString pdf = it.next();
                // Entero: su tamaño ya no cambia.
                const qint64 antes = QFileInfo(pdf).size();
                QThread::msleep(300);
                if (antes > 0 && QFileInfo(pdf).size() == antes) return pdf;
            }
            QThread::msleep(200);
        }
        return {};
    }
    QString errores() const {
        return QString::fromUtf8(leerBytes(m_dir.path() + "/log/error_log"));
    }
    void parar() {
        if (m_cupsd.state() != QProcess::NotRunning) {
            m_cupsd.terminate();
            if (!m_cupsd.waitForFinished(10000)) m_cupsd.kill();
        }
        if (!m_confPdf.isEmpty()) QFile::remove(m_confPdf);
        qunsetenv("CUPS_SERVER");
    }

private:
    QTemporaryDir m_dir;
    QProcess m_cupsd;
    QString m_confPdf;
};

using ImprimirConCupsTest = FormularioPrueba;

TEST_F(ImprimirConCupsTest, LaSolicitudLlegaALaColaConSusCodigos) {
    CupsPrivado cups;
    const QString porQue = cups.arrancar();
    if (!porQue.isEmpty()) GTEST_SKIP() << porQue.toStdString();

    const QString ficheros = G().RutaFicheros;
    if (!QFile::exists(ficheros + G().CarpetaPlantillas + "/PlantillaWXP.dot")) {
        ASSERT_FALSE(construirPlantillasReales(ficheros, G().CarpetaPlantillas).isEmpty());
    }
    QTemporaryDir usuarios;
    AbrirUsuarios(usuarios.filePath("usuarios.xml"));
    ASSERT_TRUE(AltaUsuario(G().DNIUsuario, "CLAVE").ok());
    ui().txtApellido1->setText("Ibáñez");
    ui().txtNombre->setText("Íñigo");
    ui().txtFecNacimiento->setText("01/02/1980");
    const PlazasCuerpo* cuerpo = nullptr;
    for (const PlazasCuerpo& e : G().IndicePlazasCuerpo)
        if (e.DesdeCatalogo && e.Vacantes && e.Vacantes->numeroRegistros() > 2) cuerpo = &e;
    ASSERT_NE(cuerpo, nullptr);
    elegirFila(ui().cboCuerpo, cuerpo->CodCuerpo);
    form->tabPrincipal()->setCurrentIndex(2);
    auto& v = form->pestanaVacantes()->controles();
    v.cmdTodasVacantes->click();
    ASSERT_GT(G().rsVacantesSolicitadas->numeroRegistros(), 2);

    QSignalSpy terminada(form.get(), &frmSolicitudes::impresionTerminada);
    form->mnuP(1000)->setEnabled(true);
    form->mnuP(1000)->trigger();
    ASSERT_TRUE(terminada.wait(240000));
    ASSERT_FALSE(mensajes.mostrados().isEmpty());
    EXPECT_TRUE(mensajes.mostrados().last().texto.startsWith("IMPORTANTE"))
        << mensajes.mostrados().last().texto.toStdString() << "\n"
        << cups.errores().toStdString();
    const QString pdf = cups.esperarPdf(60000);
    ASSERT_FALSE(pdf.isEmpty()) << cups.errores().toStdString();
    // Lo que llegó a la cola lleva cada código de la impresión, legible a 200 ppp.
    auto leidos = leerCodigosPdf(pdf, 200);
    ASSERT_TRUE(leidos.ok()) << leidos.mensaje().toStdString();
    ASSERT_GE(leidos.valor().size(), 2);
    QByteArray solicitante, vacantes;
    for (const CodigoLeido& c : leidos.valor()) {
        if (c.bytes.mid(33, 4) == "P001") solicitante = c.bytes;
        // Las páginas de plazas llevan su número de página del documento.
        if (c.bytes.mid(33, 1) == "V") vacantes = c.bytes;
    }
    EXPECT_TRUE(solicitante.contains("|Ib&a&nez||&I&nigo|")) << solicitante.toStdString();
    // La página de Vacantes: cada plaza con su orden y su código, en orden.
    QByteArray entradas;
    const PTabla lista = G().rsVacantesSolicitadas->clonar();
    lista->ordenar("Orden ASC");
    for (int f = 0; f < lista->numeroRegistros(); ++f)
        entradas += QString::number(f + 1).rightJustified(4, '0').toLatin1() +
                    lista->valorEnFila(f, 2).toString().rightJustified(5, ' ').toLatin1();
    EXPECT_EQ(vacantes.mid(37), entradas + "F");
}

}  // namespace
