// Las causas de los fallos de ficheros y programas, en castellano y la de verdad.
#include "../apoyo/Ficheros.h"
#include "platform/Causas.h"
#include "printing/PaqueteDocx.h"
#include "printing/ProcesosExternos.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QTemporaryDir>

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

    EXPECT_EQ(causaArranque(dir.filePath("no-hay-programa")), "no está instalado");
    EXPECT_EQ(causaArranque("programa-que-no-existe-en-ningun-sitio"), "no está instalado");
    EXPECT_EQ(causaArranque(dir.filePath("fichero")), "no se puede ejecutar");
    const auto p = lanzarProceso(dir.filePath("no-hay-programa"), {}, 1000, "probar");
    ASSERT_FALSE(p.ok());
    EXPECT_TRUE(p.mensaje().contains("no está instalado")) << p.mensaje().toStdString();
}

}  // namespace
