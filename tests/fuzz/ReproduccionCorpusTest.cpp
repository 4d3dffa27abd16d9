// Cada objetivo de fuzzing pasa por todos los ficheros de su corpus (las semillas y los
// reproductores de los fallos que se encontraron): ninguno debe romper el programa. En la
// compilación con sanitizadores, tampoco dar un aviso.
#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <cstddef>
#include <cstdint>
#include "../apoyo/RutasCompilacion.h"

int fuzzFiltro(const uint8_t* datos, size_t tamano);
int fuzzCatalogo(const uint8_t* datos, size_t tamano);
int fuzzXml(const uint8_t* datos, size_t tamano);
int fuzzDocx(const uint8_t* datos, size_t tamano);
int fuzzListas(const uint8_t* datos, size_t tamano);
int fuzzCodigos(const uint8_t* datos, size_t tamano);
int fuzzTiff(const uint8_t* datos, size_t tamano);

namespace {

TEST(ReproduccionCorpus, NingunaEntradaDelCorpusRompeNada) {
    const struct {
        const char* nombre;
        int (*objetivo)(const uint8_t*, size_t);
    } objetivos[] = {{"filtro", fuzzFiltro}, {"catalogo", fuzzCatalogo}, {"xml", fuzzXml},
                     {"docx", fuzzDocx},     {"listas", fuzzListas},     {"codigos", fuzzCodigos},
                     {"tiff", fuzzTiff}};
    for (const auto& o : objetivos) {
        SCOPED_TRACE(o.nombre);
        const QDir corpus(rutaFuentes("/fuzz/corpus/") + o.nombre);
        const QStringList ficheros = corpus.entryList(QDir::Files);
        EXPECT_FALSE(ficheros.isEmpty());
        for (const QString& nombre : ficheros) {
            QFile f(corpus.filePath(nombre));
            ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << nombre.toStdString();
            const QByteArray datos = f.readAll();
            EXPECT_EQ(o.objetivo(reinterpret_cast<const uint8_t*>(datos.constData()),
                                 size_t(datos.size())),
                      0)
                << nombre.toStdString();
        }
    }
}

}  // namespace
