// Pantalla de carga entera (pasos 20 a 710) sobre el juego grande, índices de plazas con tablas
// hash frente a la búsqueda de fila en fila, y memoria tras la carga.
#include "IndicesLineales.h"
#include "JuegoGrande.h"
#include "catalogue/Esquemas.h"
#include "catalogue/GeneradorCatalogos.h"
#include "catalogue/IndicesPlazas.h"
#include "catalogue/ModCargaFicheros.h"
#include "startup/Globales.h"
#include "startup/PasosCarga.h"

#include <benchmark/benchmark.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <memory>

namespace {

// La pantalla de carga entera. La primera vez parte de donde parte el programa: globales recién
// creadas y rsCuerpos cargada; preparar eso no se mide. Otra vez (una solicitud abierta desde el
// selector con los catálogos ya cargados) sustituye las tablas de la carga anterior, y soltarlas
// entra en la medida.
void medirPantallaDeCarga(benchmark::State& estado, bool primeraVez) {
    if (!prepararArranque()) {
        estado.SkipWithError("no se pudo cargar rsCuerpos");
        return;
    }
    if (!primeraVez) {
        // La carga anterior, que cada vuelta medida sustituye, sin medir.
        CargaSinVentana obs;
        if (const auto fallo = PasosCarga(obs).ejecutar()) {
            estado.SkipWithError(qPrintable(fallo->mensaje()));
            return;
        }
    }
    for (auto _ : estado) {
        if (primeraVez) {
            estado.PauseTiming();
            const bool preparado = prepararArranque();
            estado.ResumeTiming();
            if (!preparado) {
                estado.SkipWithError("no se pudo cargar rsCuerpos");
                return;
            }
        }
        CargaSinVentana obs;
        PasosCarga pasos(obs);
        const auto fallo = pasos.ejecutar();
        if (fallo) {
            estado.SkipWithError(qPrintable(fallo->mensaje()));
            return;
        }
        benchmark::DoNotOptimize(G().IndicePlazasCuerpo.data());
    }
    estado.counters["plazas"] = G().rsPlazasVacantes->numeroRegistros();
    estado.counters["cuerpos"] = G().rsCuerpos->numeroRegistros();
    estado.counters["enlacesCuerpo"] = G().rsPlazasCuerpo->numeroRegistros();
    estado.counters["RSS_MiB"] = double(kibDeStatus("VmRSS:")) / 1024.0;
    estado.counters["pico_MiB"] = double(kibDeStatus("VmHWM:")) / 1024.0;
}

void BM_PantallaDeCargaGrande(benchmark::State& estado) {
    medirPantallaDeCarga(estado, true);
}
BENCHMARK(BM_PantallaDeCargaGrande)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

void BM_PantallaDeCargaGrandeOtraVez(benchmark::State& estado) {
    medirPantallaDeCarga(estado, false);
}
BENCHMARK(BM_PantallaDeCargaGrandeOtraVez)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// Las dos maneras de construir los índices: la del programa y la de referencia.
void construirConHash(QVector<PlazasCuerpo>& c, QVector<PlazasGrupo>& g) {
    IndexarPlazasPorCuerpo(*G().rsCuerpos, c, nullptr, 30);
    IndexarPlazasPorGrupo(*G().rsGrupos, g, nullptr, 30);
}

void construirFilaAFila(QVector<PlazasCuerpo>& c, QVector<PlazasGrupo>& g) {
    Lineal::IndexarPlazasPorCuerpo(*G().rsCuerpos, c);
    Lineal::IndexarPlazasPorGrupo(*G().rsGrupos, g);
}

// Las dos versiones tienen que dar exactamente las mismas tablas.
bool mismasTablas() {
    static int estado = 0;
    if (estado == 0) {
        QVector<PlazasCuerpo> hc, lc;
        QVector<PlazasGrupo> hg, lg;
        construirConHash(hc, hg);
        construirFilaAFila(lc, lg);
        estado = indicesIguales(hc, lc) && indicesIguales(hg, lg) ? 1 : -1;
    }
    return estado == 1;
}

// Construye los dos índices en cada vuelta; antes, comprueba que las dos maneras coinciden.
void medirIndices(benchmark::State& estado,
                  void (*construir)(QVector<PlazasCuerpo>&, QVector<PlazasGrupo>&)) {
    if (!cargadoUnaVez() || !mismasTablas()) {
        estado.SkipWithError("carga fallida o índices distintos de la referencia");
        return;
    }
    for (auto _ : estado) {
        QVector<PlazasCuerpo> c;
        QVector<PlazasGrupo> g;
        construir(c, g);
        benchmark::DoNotOptimize(c.data());
    }
}

void BM_IndicesHash(benchmark::State& estado) {
    medirIndices(estado, construirConHash);
}
BENCHMARK(BM_IndicesHash)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

void BM_IndicesLineales(benchmark::State& estado) {
    medirIndices(estado, construirFilaAFila);
}
BENCHMARK(BM_IndicesLineales)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

}  // namespace
