#include "CupsPrivado.h"

#include "Ficheros.h"

#include <unistd.h>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QThread>

QString CupsPrivado::arrancar(bool conImpresora) {
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
    // La configuración de cups-pdf de esta cola deja los PDF en la carpeta de salida; lleva el
    // número del proceso para que dos pruebas a la vez no se pisen.
    const QString nombrePdf = QString("prueba%1").arg(getpid());
    m_confPdf = "/etc/cups/cups-pdf-" + nombrePdf + ".conf";
    escribirBytes(m_confPdf,
                  QString("Out %1/salida\nAnonDirName %1/salida\nLabel 0\n").arg(t).toUtf8());
    m_cupsd.start("cupsd",
                  {"-f", "-c", t + "/conf/cupsd.conf", "-s", t + "/conf/cups-files.conf"});
    if (!m_cupsd.waitForStarted(10000)) return "cupsd no arranca";
    const QString socket = t + "/cups.sock";
    for (int i = 0; i < 100 && !QFile::exists(socket); ++i) QThread::msleep(100);
    if (!QFile::exists(socket)) return "cupsd no abre su socket: " + errores();
    qputenv("CUPS_SERVER", socket.toUtf8());
    if (!conImpresora) return {};
    QProcess lpadmin;
    lpadmin.start("lpadmin", {"-p", "Prueba", "-E", "-v", "cups-pdf:/" + nombrePdf, "-m",
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
QString CupsPrivado::esperarPdf(int ms) const {
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
QString CupsPrivado::errores() const {
    return QString::fromUtf8(leerBytes(m_dir.path() + "/log/error_log"));
}
void CupsPrivado::parar() {
    if (m_cupsd.state() != QProcess::NotRunning) {
        m_cupsd.terminate();
        if (!m_cupsd.waitForFinished(10000)) m_cupsd.kill();
    }
    if (!m_confPdf.isEmpty()) QFile::remove(m_confPdf);
    qunsetenv("CUPS_SERVER");
}

