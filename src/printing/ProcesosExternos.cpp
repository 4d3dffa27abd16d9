#include "printing/ProcesosExternos.h"

#include "platform/Causas.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QProcess>
#include <cerrno>
#include <mutex>

ProgramasExternos& programasExternos() {
    static ProgramasExternos programas;
    return programas;
}

Resultado falloCancelado(const QString& mensaje) {
    return Resultado::fallo(mensaje, Errores::Cancelado);
}

namespace {

// El grupo de procesos de una ejecución: se mata entero al terminarla, de la manera que sea.
class GrupoProcesos {
public:
    explicit GrupoProcesos(pid_t id) : m_id(id) {}
    ~GrupoProcesos() { matar(); }
    GrupoProcesos(const GrupoProcesos&) = delete;
    GrupoProcesos& operator=(const GrupoProcesos&) = delete;
    // Una sola vez: después, el número del grupo podría ser ya de otro.
    void matar() {
        if (m_id > 0) ::kill(-m_id, SIGKILL);
        m_id = 0;
    }

private:
    pid_t m_id;
};

// Mata el programa y todo lo que haya arrancado, y espera a que se vaya.
void matarGrupo(QProcess& p, GrupoProcesos& grupo) {
    grupo.matar();
    p.kill();
    p.waitForFinished(5000);
}

// Un descriptor que no sea la entrada ni las salidas normales (que el hijo cambia por las suyas).
int fueraDeLasNormales(int fd) {
    if (fd < 0 || fd > 2) return fd;
    const int otro = ::fcntl(fd, F_DUPFD_CLOEXEC, 3);
    ::close(fd);
    return otro;
}

// Extremo de lectura de una tubería cuyo extremo de escritura solo tiene abierto este proceso
// (los dos se cierran al ejecutar otro programa): quien lo lee ve el final cuando el proceso
// termina, de la manera que sea, también matado. -1 si no se ha podido crear. Un proceso hijo
// hecho con fork (las pruebas) tiene la suya: la del padre no le dice nada de sí mismo.
int tuberiaDeVida() {
    static std::mutex cerrojo;
    static pid_t de = 0;
    static int lectura = -1;
    const std::lock_guard<std::mutex> guarda(cerrojo);
    if (de != ::getpid()) {
        int extremos[2];
        lectura = -1;
        if (::pipe2(extremos, O_CLOEXEC) == 0) {
            // El de escritura se queda abierto hasta que el proceso termine.
            const int leer = fueraDeLasNormales(extremos[0]);
            const int escribir = fueraDeLasNormales(extremos[1]);
            if (leer >= 0 && escribir >= 0) {
                lectura = leer;
            } else {
                if (leer >= 0) ::close(leer);
                if (escribir >= 0) ::close(escribir);
            }
        }
        de = ::getpid();
    }
    return lectura;
}

// Un proceso nuevo con una copia de la memoria, 0 en el nuevo. Sin el fork de la biblioteca de C:
// el hijo de QProcess comparte la memoria del programa hasta ejecutar el externo, y ese fork
// pasaría por los cerrojos y manejadores del programa. Desde aquí, solo llamadas directas al
// sistema.
long copiarProceso() {
    return ::syscall(SYS_clone, SIGCHLD, nullptr, nullptr, nullptr, nullptr);
}

// El vigía de un grupo: un proceso del grupo, fuera de la familia del programa externo (que no lo
// ve como hijo suyo), que espera a que este proceso termine y entonces mata al grupo entero, a sí
// mismo con él. Mientras vive, el grupo existe y su número no puede ser de nadie más: matarlo al
// final de cada ejecución nunca alcanza a otro.
[[noreturn]] void vigilar(int vida) {
    ::syscall(SYS_dup3, vida, 0, 0);
    ::syscall(SYS_close_range, 1u, ~0u, 0u);
    char c;
    while (::syscall(SYS_read, 0, &c, 1) < 0 && errno == EINTR) {
    }
    ::syscall(SYS_kill, 0, SIGKILL);
    ::syscall(SYS_exit_group, 0);
    __builtin_unreachable();
}

// Lo que hace el hijo antes de ejecutar el programa externo: un grupo de procesos propio (para
// terminar de una vez con él y con todo lo que arranque), morir si muere este proceso (el hijo
// directo: un pdftoppm no sigue comprobando páginas para nadie) y un vigía que se lleva al resto
// del grupo (los nietos, a los que no llega esa señal).
void prepararHijo(pid_t padre, int vida) {
    ::setpgid(0, 0);
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != padre) ::_exit(127);
    if (vida < 0) return;
    const long intermedio = copiarProceso();
    if (intermedio == 0) {
        if (copiarProceso() == 0) vigilar(vida);
        ::syscall(SYS_exit_group, 0);
    }
    if (intermedio > 0)
        while (::syscall(SYS_wait4, intermedio, nullptr, 0, nullptr) < 0 && errno == EINTR) {
        }
}

}  // namespace

ResultadoDe<SalidaProceso> lanzarProceso(const QString& programa, const QStringList& argumentos,
                                         int msLimite, const QString& para,
                                         const AvanceTrabajo* avance) {
    QProcess p;
    // En un grupo de procesos propio: LibreOffice es un lanzador y un hijo que hace el trabajo, y
    // al acabar (o pasarse del tiempo, o cancelarse) hay que terminar los dos y lo que hayan
    // arrancado. Nada de lo arrancado sobrevive a su trabajo ni a este programa.
    const pid_t padre = ::getpid();
    const int vida = tuberiaDeVida();
    p.setChildProcessModifier([padre, vida] { prepararHijo(padre, vida); });
    p.start(programa, argumentos);
    GrupoProcesos grupo{pid_t(p.processId())};
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
            matarGrupo(p, grupo);
            return falloCancelado(
                QStringLiteral("Se ha cancelado \"%1\" al %2.").arg(programa, para));
        }
        if (reloj.elapsed() < msLimite) continue;
        matarGrupo(p, grupo);
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
