// Las causas de los fallos de ficheros y programas, en castellano y la de verdad.
#include "../apoyo/Ficheros.h"
#include "../apoyo/OtroPrograma.h"
#include "platform/Causas.h"
#include "printing/PaqueteDocx.h"
#include "printing/ProcesosExternos.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <QDir>
#include <QTemporaryDir>
#include <QThread>
#include <cerrno>
#include <thread>

namespace {

TEST(Causas, CadaFalloDiceSuCausa) {
    QTemporaryDir dir;
    escribirBytes(dir.filePath("fichero"), "x");
    ASSERT_TRUE(QDir().mkpath(dir.filePath("carpeta")));
    const struct {
        QString ruta;
        const char* causa;
    } casos[] = {{dir.filePath("no-existe"), "no existe"},
                 {dir.filePath("carpeta"), "es una carpeta, no un fichero"},
                 {dir.filePath("fichero/dentro"), "no existe"}};
    for (const auto& c : casos) {
        SCOPED_TRACE(c.ruta.toStdString());
        EXPECT_EQ(causaLectura(c.ruta), QString::fromUtf8(c.causa));
    }
    // Quien la usa la pone en su mensaje: una carpeta donde se esperaba un documento.
    const auto r = PaqueteDocx::leer(dir.filePath("carpeta"));
    ASSERT_FALSE(r.ok());
    EXPECT_TRUE(r.mensaje().contains("es una carpeta")) << r.mensaje().toStdString();
    // Un FIFO en lugar del documento no deja al programa esperando.
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir.filePath("fifo")).constData(), 0600), 0);
    const auto fifo = PaqueteDocx::leer(dir.filePath("fifo"));
    ASSERT_FALSE(fifo.ok());
    EXPECT_TRUE(fifo.mensaje().contains("no es un fichero normal")) << fifo.mensaje().toStdString();

    EXPECT_EQ(causaArranque(dir.filePath("no-hay-programa")), "no está instalado");
    EXPECT_EQ(causaArranque("programa-que-no-existe-en-ningun-sitio"), "no está instalado");
    EXPECT_EQ(causaArranque(dir.filePath("fichero")), "no se puede ejecutar");
    const auto p = lanzarProceso(dir.filePath("no-hay-programa"), {}, 1000, "probar");
    ASSERT_FALSE(p.ok());
    EXPECT_TRUE(p.mensaje().contains("no está instalado")) << p.mensaje().toStdString();
}

// Espera a que el proceso termine (muerto aunque nadie lo haya recogido aún), como mucho diez
// segundos: vuelve en cuanto termina. Si ya no existe, ha terminado. Si no termina, lo mata para no
// dejarlo en marcha y dice que no terminó.
bool termina(const QString& ficheroPid) {
    const pid_t pid = pid_t(leerBytes(ficheroPid).trimmed().toInt());
    if (pid <= 0) return false;
    const int fd = int(::syscall(SYS_pidfd_open, pid, 0));
    if (fd < 0) return errno == ESRCH;
    pollfd espera{fd, POLLIN, 0};
    const bool terminado = ::poll(&espera, 1, 10000) == 1;
    ::close(fd);
    if (!terminado) ::kill(pid, SIGKILL);
    return terminado;
}

// Nada de lo que arranca un programa externo sigue en marcha después de su trabajo (LibreOffice es
// un lanzador y un hijo, y el hijo no debe quedarse): ni al pasarse del tiempo o cancelarse, ni
// cuando termina bien dejando un hijo suelto, ni cuando lo matan desde fuera.
TEST(Causas, NadaDeLoArrancadoSobreviveASuTrabajo) {
    struct Caso {
        const char* nombre;
        const char* despues;  // lo que hace el programa tras arrancar su hijo
        int msLimite;
        bool cancelar;
        int numero;  // 0: vuelve sin fallo
        const char* mensaje;
    } casos[] = {
        {"se pasa del tiempo", "wait", 1000, false, Errores::ErrorEntradaSalida,
         "no ha terminado en 1 segundos"},
        {"se cancela", "wait", 120000, true, Errores::Cancelado, "Se ha cancelado"},
        {"termina y deja un hijo", "exit 0", 120000, false, 0, ""},
        {"lo matan desde fuera", "kill -9 $$", 120000, false, 0, ""},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nombre);
        QTemporaryDir dir;
        const QString pid = dir.filePath("hijo");
        AvanceTrabajo avance;
        std::thread quien;
        if (c.cancelar)
            quien = std::thread([&avance] {
                QThread::msleep(300);
                avance.cancelar = true;
            });
        const auto r =
            lanzarProceso("/bin/sh", {"-c", "sleep 300 & echo $! > " + pid + "; " + c.despues},
                          c.msLimite, "probar", c.cancelar ? &avance : nullptr);
        if (quien.joinable()) quien.join();
        EXPECT_EQ(r.ok(), c.numero == 0) << r.mensaje().toStdString();
        if (c.numero) {
            EXPECT_EQ(r.numero(), c.numero);
            EXPECT_TRUE(r.mensaje().contains(c.mensaje)) << r.mensaje().toStdString();
        }
        EXPECT_TRUE(termina(pid));
    }
}

// El programa muere (matado, sin poder hacer nada) mientras espera a un programa externo: el
// programa externo muere con él, y también lo que este haya arrancado.
TEST(Causas, LoArrancadoMuereConElPrograma) {
    QTemporaryDir dir;
    const QString hijo = dir.filePath("hijo"), nieto = dir.filePath("nieto");
    // El programa, otro proceso: muere sin llegar a decir que ha terminado.
    OtroPrograma programa([&] {
        lanzarProceso("/bin/sh",
                      {"-c", "echo $$ > " + hijo + "; sleep 300 & echo $! > " + nieto +
                                 "; kill -9 $PPID; wait"},
                      120000, "probar");
        return true;
    });
    EXPECT_FALSE(programa.hecho());
    programa.soltar();
    EXPECT_TRUE(termina(hijo));
    EXPECT_TRUE(termina(nieto));
}

}  // namespace
