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

namespace {

// Mensaje de un manual que no se ha podido mostrar: dice dónde está, para abrirlo a mano.
Resultado manualSinMostrar(const QString& manual, const QString& porQue) {
    return Resultado::fallo(QStringLiteral("No se puede mostrar el manual de usuario: %1. El "
                                           "manual está en \"%2\": puede abrirlo desde allí con "
                                           "un lector de PDF o un procesador de textos.")
                                .arg(porQue, QDir::toNativeSeparators(manual)),
                            Errores::ErrorEntradaSalida);
}

// El abridor del escritorio. Sin un escritorio que conozca, xdg-open espera a que se cierre el
// visor y termina con su resultado; con uno, termina en cuanto lo ha pedido. Si quien lo lanzó
// se va antes, se le deja de escuchar y se termina solo él: el visor, su hijo, sigue abierto.
class Abridor : public QProcess {
public:
    using QProcess::QProcess;
    ~Abridor() override {
        disconnect();
        if (state() != QProcess::NotRunning) {
            kill();
            waitForFinished(1000);
        }
    }
};

}  // namespace

Resultado AbrirManual(const QString& rutaManual, QObject& dueno,
                      std::function<void(const Resultado&)> siFallaDespues) {
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
        return manualSinMostrar(manual, QStringLiteral("este escritorio no tiene ningún programa "
                                                       "para abrir este tipo de documento"));
    auto* abridor = new Abridor(&dueno);
    // El visor hereda la entrada y las salidas del abridor: ninguna tubería que se corte cuando
    // este programa termine (lo que escriban va a la salida de errores del programa, como antes).
    abridor->setProcessChannelMode(QProcess::ForwardedChannels);
    abridor->setStandardInputFile(QProcess::nullDevice());
    const QString programa = programasExternos().xdgOpen;
    QObject::connect(
        abridor, &QProcess::finished, abridor,
        [abridor, manual, programa, siFallaDespues](int codigo, QProcess::ExitStatus estado) {
            abridor->deleteLater();
            if (estado == QProcess::NormalExit && codigo == 0) return;
            if (siFallaDespues)
                siFallaDespues(manualSinMostrar(
                    manual, QStringLiteral("el programa que lo abre en este "
                                           "escritorio ha fallado (\"%1\", código %2)")
                                .arg(programa)
                                .arg(estado == QProcess::NormalExit ? codigo : -1)));
        });
    abridor->start(programa, {manual});
    if (!abridor->waitForStarted(10000)) {
        const QString causa = causaArranque(programa);
        delete abridor;
        return manualSinMostrar(
            manual, QStringLiteral("no se puede ejecutar \"%1\" (%2)").arg(programa, causa));
    }
    return Resultado::correcto();
}
