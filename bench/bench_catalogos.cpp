// Carga de los dieciséis catálogos del juego grande frente a la simple lectura de sus bytes.
#include "catalogue/Decodificacion.h"
#include "catalogue/GeneradorCatalogos.h"
#include "global/Globales.h"
#include "startup/CargaCatalogos.h"

#include <benchmark/benchmark.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <memory>

namespace {

// El juego grande se genera una vez, en una carpeta temporal, la primera vez que se pide.
const QString& carpetaGrande() {
    static std::unique_ptr<QTemporaryDir> dir;
    static QString ruta;
    if (!dir) {
        dir = std::make_unique<QTemporaryDir>();
        const Resultado r = generarCatalogos(dir->path(), tamanoGrande());
        if (!r) std::fprintf(stderr, "%s\n", qPrintable(r.mensaje()));
        ruta = dir->path() + "/";
    }
    return ruta;
}

qint64 bytesDelJuego(const QString& carpeta) {
    qint64 total = 0;
    for (const QFileInfo& f : QDir(carpeta).entryInfoList({"F*.enc"})) total += f.size();
    return total;
}

// Referencia: leer los mismos ficheros (F0003, F0006, F0013 y F0014 se leen varias veces en la
// carga, como aquí).
void BM_SoloLeerBytes(benchmark::State& estado) {
    const QString carpeta = carpetaGrande();
    const char* const lecturas[] = {"F0004", "F0015", "F0005", "F0013", "F0014", "F0014", "F0013",
                                    "F0003", "F0016", "F0006", "F0006", "F0002", "F0001", "F0010",
                                    "F0009", "F0008", "F0007", "F0012", "F0011", "F0003", "F0003"};
    qint64 bytes = 0;
    for (auto _ : estado) {
        for (const char* f : lecturas) {
            QFile fichero(carpeta + f + ".enc");
            fichero.open(QIODevice::ReadOnly);
            const QByteArray b = fichero.readAll();
            benchmark::DoNotOptimize(b.constData());
            bytes += b.size();
        }
    }
    estado.SetBytesProcessed(bytes);
}
BENCHMARK(BM_SoloLeerBytes)->Unit(benchmark::kMillisecond);

// Solo descifrar (y escribir temp.tmp) los mismos ficheros.
void BM_DecodificarFicheros(benchmark::State& estado) {
    const QString carpeta = carpetaGrande();
    for (auto _ : estado)
        for (int i = 1; i <= 16; ++i)
            benchmark::DoNotOptimize(
                decodificarSinAviso(carpeta, QStringLiteral("F%1.enc").arg(i, 4, 10, QChar(u'0'))));
    estado.SetBytesProcessed(estado.iterations() * bytesDelJuego(carpeta));
}
BENCHMARK(BM_DecodificarFicheros)->Unit(benchmark::kMillisecond);

// Descifrar y cargar las 21 tablas como el programa.
void BM_CargarLosDieciseisCatalogos(benchmark::State& estado) {
    const QString carpeta = carpetaGrande();
    for (auto _ : estado) {
        const Resultado r = cargarTodosLosCatalogos(carpeta);
        if (!r) {
            estado.SkipWithError(qPrintable(r.mensaje()));
            break;
        }
        benchmark::DoNotOptimize(G().rsPlazasListaV.get());
    }
    estado.SetBytesProcessed(estado.iterations() * bytesDelJuego(carpeta));
    estado.counters["plazas"] =
        double(G().rsPlazasVacantes ? G().rsPlazasVacantes->numeroRegistros() : 0);
    reiniciarGlobales();
}
BENCHMARK(BM_CargarLosDieciseisCatalogos)->Unit(benchmark::kMillisecond);

}  // namespace
