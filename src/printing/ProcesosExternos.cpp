#include "printing/ProcesosExternos.h"

#include "platform/Causas.h"

#include <signal.h>
#include <unistd.h>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QProcess>

ProgramasExternos& programasExternos() {
    static ProgramasExternos programas;
    return programas;
}

Resultado falloCancelado(const QString& mensaje) {
    return Resultado::fallo(mensaje, Errores::Cancelado);
}

namespace {

// Mata el programa y todo lo que haya arrancado, y espera a que se vaya.
void matarGrupo(QProcess& p) {
    ::kill(-pid_t(p.processId()), SIGKILL);
    p.kill();
    p.waitForFinished(5000);
}

}  // namespace

ResultadoDe<SalidaProceso> lanzarProceso(const QString& programa, const QStringList& argumentos,
                                         int msLimite, const QString& para,
                                         const AvanceTrabajo* avance) {
    QProcess p;
    // En un grupo de procesos propio: LibreOffice es un lanzador y un hijo que hace el trabajo, y
    // al pasarse del tiempo hay que terminar los dos (y lo que hayan arrancado).
    p.setChildProcessModifier([] { ::setpgid(0, 0); });
    p.start(programa, argumentos);
    if (!p.waitForStarted(30000))
        return Resultado::fallo(QStringLiteral("No se puede ejecutar \"%1\" para %2: %3")
                                    .arg(programa, para, causaArranque(programa)),
                                Errores::FicheroNoEncontrado);
    // Se mira a menudo si se ha pedido cancelar; waitForFinished no distingue un proceso que ya
    // terminó de uno que aún no.
    QElapsedTimer reloj;
    reloj.start();
    while (p.state() != QProcess::NotRunning && !p.waitForFinished(avance ? 100 : msLimite)) {
        if (avance && avance->cancelar) {
            matarGrupo(p);
            return falloCancelado(
                QStringLiteral("Se ha cancelado \"%1\" al %2.").arg(programa, para));
        }
        if (reloj.elapsed() < msLimite) continue;
        matarGrupo(p);
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
                          const QString& para, const AvanceTrabajo* avance) {
    const ResultadoDe<SalidaProceso> r =
        lanzarProceso(programa, argumentos, msLimite, para, avance);
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
    const QFileInfo documento(rutaManual);
    const QString pdf =
        documento.dir().filePath(documento.completeBaseName() + QStringLiteral(".pdf"));
    const QString manual = QFileInfo::exists(pdf) ? pdf : rutaManual;
    if (!QFileInfo::exists(manual))
        return Resultado::fallo(
            QStringLiteral("No se encuentra el manual de usuario (\"%1\").").arg(rutaManual),
            Errores::ErrorEntradaSalida);
    // Sin un programa del escritorio para ese tipo, xdg-open no abriría nada y no lo diría; y un
    // procesador de textos sin ventanas (el que convierte la solicitud) no cuenta: no tiene
    // asociado ningún tipo de documento.
    const QString tipo = QMimeDatabase().mimeTypeForFile(manual).name();
    const auto asociado = lanzarProceso(programasExternos().xdgMime,
                                        {QStringLiteral("query"), QStringLiteral("default"), tipo},
                                        10000, QStringLiteral("buscar con qué abrir el manual"));
    if (!asociado || asociado.valor().codigo != 0 || asociado.valor().salida.trimmed().isEmpty())
        return Resultado::fallo(
            QStringLiteral("No se puede mostrar el manual de usuario: este escritorio no tiene "
                           "ningún programa para abrir \"%1\". Puede abrirlo desde su carpeta "
                           "con un lector de PDF o un procesador de textos.")
                .arg(QDir::toNativeSeparators(manual)),
            Errores::ErrorEntradaSalida);
    if (!QProcess::startDetached(programasExternos().xdgOpen, {manual}))
        return Resultado::fallo(
            QStringLiteral("No se ha podido abrir el manual de usuario "
                           "(\"%1\"): no se puede ejecutar \"%2\".")
                .arg(QDir::toNativeSeparators(manual), programasExternos().xdgOpen),
            Errores::ErrorEntradaSalida);
    return Resultado::correcto();
}
