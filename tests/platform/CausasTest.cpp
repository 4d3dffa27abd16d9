// Las causas de los fallos de ficheros y programas, en castellano y la de verdad.
#include "../apoyo/Ficheros.h"
#include "platform/Causas.h"
#include "printing/PaqueteDocx.h"
#include "printing/ProcesosExternos.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <QDir>
#include <QTemporaryDir>
#include <QThread>
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

// Un programa que no termina a tiempo, o que se cancela, se termina con todo lo que arrancó:
// LibreOffice es un lanzador y un hijo, y el hijo no debe quedarse en marcha.
TEST(Causas, AlPasarseDelTiempoOCancelarNoQuedaNadaEnMarcha) {
    struct Caso {
        int msLimite;
        bool cancelar;
        int numero;
        const char* mensaje;
    } casos[] = {{1000, false, Errores::ErrorEntradaSalida, "no ha terminado en 1 segundos"},
                 {120000, true, Errores::Cancelado, "Se ha cancelado"}};
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.mensaje);
        QTemporaryDir dir;
        const QString pid = dir.filePath("hijo");
        AvanceTrabajo avance;
        std::thread quien;
        if (c.cancelar)
            quien = std::thread([&avance] {
                QThread::msleep(300);
                avance.cancelar = true;
            });
        const auto r = lanzarProceso("/bin/sh", {"-c", "sleep 300 & echo $! > " + pid + "; wait"},
                                     c.msLimite, "probar", c.cancelar ? &avance : nullptr);
        if (quien.joinable()) quien.join();
        ASSERT_FALSE(r.ok());
        EXPECT_EQ(r.numero(), c.numero);
        EXPECT_TRUE(r.mensaje().contains(c.mensaje)) << r.mensaje().toStdString();
        const QByteArray hijo = leerBytes(pid).trimmed();
        ASSERT_FALSE(hijo.isEmpty());
        // Muerto, aunque nadie lo haya recogido aún (entonces es un zombi).
        QByteArray estado;
        for (int i = 0; i < 50; ++i) {
            estado = leerBytes("/proc/" + hijo + "/stat");
            if (estado.isEmpty() || estado.contains(") Z ")) break;
            QThread::msleep(20);
        }
        EXPECT_TRUE(estado.isEmpty() || estado.contains(") Z ")) << estado.toStdString();
    }
}

}  // namespace
