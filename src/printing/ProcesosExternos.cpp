#include "printing/ProcesosExternos.h"

#include "platform/Causas.h"

#include <signal.h>
#include <unistd.h>
#include <QFileInfo>
#include <QProcess>

ProgramasExternos& programasExternos() {
    static ProgramasExternos programas;
    return programas;
}

ResultadoDe<SalidaProceso> lanzarProceso(const QString& programa, const QStringList& argumentos,
                                         int msLimite, const QString& para) {
    QProcess p;
    // En un grupo de procesos propio: LibreOffice es un lanzador y un hijo que hace el trabajo, y
    // al pasarse del tiempo hay que terminar los dos (y lo que hayan arrancado).
    p.setChildProcessModifier([] { ::setpgid(0, 0); });
    p.start(programa, argumentos);
    if (!p.waitForStarted(30000))
        return Resultado::fallo(QStringLiteral("No se puede ejecutar \"%1\" para %2: %3")
                                    .arg(programa, para, causaArranque(programa)),
                                Errores::FicheroNoEncontrado);
    if (!p.waitForFinished(msLimite)) {
        ::kill(-pid_t(p.processId()), SIGKILL);
        p.kill();
        p.waitForFinished(5000);
        return Resultado::fallo(QStringLiteral("\"%1\" no ha terminado en %2 segundos al %3.")
                                    .arg(programa)
                                    .arg(msLimite / 1000)
                                    .arg(para),
                                Errores::ErrorEntradaSalida);
    }
    SalidaProceso s;
    s.codigo = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    s.salida = QString::fromLocal8Bit(p.readAllStandardOutput());
    s.errores = QString::fromLocal8Bit(p.readAllStandardError());
    return s;
}

Resultado ejecutarProceso(const QString& programa, const QStringList& argumentos, int msLimite,
                          const QString& para) {
    const ResultadoDe<SalidaProceso> r = lanzarProceso(programa, argumentos, msLimite, para);
    if (!r) return r.estado();
    if (r.valor().codigo != 0)
        return Resultado::fallo(QStringLiteral("\"%1\" ha fallado al %2 (código %3): %4")
                                    .arg(programa, para)
                                    .arg(r.valor().codigo)
                                    .arg(r.valor().errores.trimmed()),
                                Errores::ErrorEntradaSalida);
    return Resultado::correcto();
}

Resultado AbrirManual(const QString& rutaManual) {
    if (!QFileInfo::exists(rutaManual))
        return Resultado::fallo(
            QStringLiteral("No se encuentra el manual de usuario (\"%1\").").arg(rutaManual),
            Errores::ErrorEntradaSalida);
    if (!QProcess::startDetached(programasExternos().soffice, {QStringLiteral("-n"), rutaManual}))
        return Resultado::fallo(QStringLiteral("No se ha podido abrir el manual de usuario: no se "
                                               "puede arrancar LibreOffice (\"%1\").")
                                    .arg(programasExternos().soffice),
                                Errores::ErrorEntradaSalida);
    return Resultado::correcto();
}
