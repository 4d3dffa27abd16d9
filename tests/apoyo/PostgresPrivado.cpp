#include "PostgresPrivado.h"

#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

namespace {

// Con listen_addresses vacío no se abre ningún puerto TCP: el número solo nombra el socket, que
// está en una carpeta propia.
constexpr int kPuerto = 5433;
constexpr char kUsuario[] = "movilant";

}  // namespace

QString PostgresPrivado::programa(const char* nombre) const {
    return m_bin + "/" + nombre;
}

QString PostgresPrivado::ejecutar(const QString& prog, const QStringList& argumentos) {
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start("runuser", QStringList{"-u", "postgres", "--", prog} + argumentos);
    if (!p.waitForFinished(60000)) {
        p.kill();
        p.waitForFinished();
        return prog + " no termina";
    }
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return prog + ": " + QString::fromUtf8(p.readAll()).trimmed();
    return {};
}

QString PostgresPrivado::falta() {
    if (geteuid() != 0) return "hace falta ser root para arrancar PostgreSQL como postgres";
    const QStringList versiones =
        QDir("/usr/lib/postgresql").entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString& v : versiones)
        if (QFile::exists("/usr/lib/postgresql/" + v + "/bin/initdb"))
            m_bin = "/usr/lib/postgresql/" + v + "/bin";
    if (m_bin.isEmpty()) return "falta PostgreSQL (paquete postgresql)";
    if (!QSqlDatabase::isDriverAvailable("QPSQL"))
        return "falta el controlador QPSQL (paquete libqt6sql6-psql)";
    return {};
}

QString PostgresPrivado::arrancar() {
    if (QString f = falta(); !f.isEmpty()) return f;
    if (QProcess::execute("chown", {"postgres:postgres", m_dir.path()}) != 0)
        return "no se puede dar la carpeta temporal a postgres";
    const QString t = m_dir.path();
    if (QString e = ejecutar(programa("initdb"), {"-D", t + "/datos", "-A", "trust", "-U", kUsuario,
                                                  "-E", "UTF8", "--no-locale", "--no-sync"});
        !e.isEmpty())
        return e;
    if (QString e = ejecutar(
            programa("pg_ctl"),
            {"-D", t + "/datos", "-l", t + "/registro.log", "-w", "-o",
             QString("-k %1 -c listen_addresses='' -p %2 -c fsync=off").arg(t).arg(kPuerto),
             "start"});
        !e.isEmpty())
        return e + "\n" + errores();
    m_arrancado = true;
    return {};
}

QString PostgresPrivado::baseNueva() {
    // Crear una base cuesta segundos en una máquina cargada: la de las pruebas se crea una vez y
    // después se vacía tirando su esquema entero.
    const bool primera = m_bases++ == 0;
    bool hecha = false;
    {
        QSqlDatabase bd = QSqlDatabase::addDatabase("QPSQL", "postgres-privado");
        bd.setHostName(m_dir.path());
        bd.setPort(kPuerto);
        bd.setUserName(kUsuario);
        bd.setDatabaseName(primera ? "postgres" : "prueba");
        if (bd.open()) {
            QSqlQuery q(bd);
            hecha = primera
                        ? q.exec("CREATE DATABASE prueba")
                        : q.exec("DROP SCHEMA public CASCADE") && q.exec("CREATE SCHEMA public");
        }
        bd.close();
    }
    QSqlDatabase::removeDatabase("postgres-privado");
    if (!hecha) return {};
    return QString("postgresql://%1@/prueba?host=%2&port=%3")
        .arg(kUsuario, m_dir.path())
        .arg(kPuerto);
}

QString PostgresPrivado::errores() const {
    QFile f(m_dir.filePath("registro.log"));
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

void PostgresPrivado::parar() {
    if (!m_arrancado) return;
    m_arrancado = false;
    ejecutar(programa("pg_ctl"), {"-D", m_dir.path() + "/datos", "-m", "fast", "-w", "stop"});
}
