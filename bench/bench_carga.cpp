// Pantalla de carga entera (pasos 20 a 710) sobre el juego grande, índices de plazas con tablas
// hash frente a la búsqueda de fila en fila, y memoria tras la carga.
#include "IndicesLineales.h"
#include "JuegoGrande.h"
#include "catalogue/Decodificacion.h"
#include "catalogue/Esquemas.h"
#include "catalogue/GeneradorCatalogos.h"
#include "catalogue/IndicesPlazas.h"
#include "catalogue/ModCargaFicheros.h"
#include "global/Globales.h"
#include "startup/CargaCatalogos.h"
#include "startup/PasosCarga.h"

#include <benchmark/benchmark.h>
#include <malloc.h>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

// El suelo de la carga: lo que cualquier manera de cargar tiene que hacer con los bytes. Leer
// cada fichero, descifrarlo y dejarlo en temp.tmp, tantas veces como lo lee la carga; sin
// partir campos ni llenar tablas.
double sueloMs() {
    const QString carpeta = G().RutaFicheros;
    const QStringList lecturas = PasosCarga::catalogosLeidos();
    std::vector<double> vueltas;
    for (int v = 0; v < 7; ++v) {
        QElapsedTimer reloj;
        reloj.start();
        for (const QString& f : lecturas) {
            const auto claro = decodificarEnMemoria(carpeta, f);
            benchmark::DoNotOptimize(claro.ok());
        }
        vueltas.push_back(double(reloj.nsecsElapsed()) / 1e6);
    }
    std::nth_element(vueltas.begin(), vueltas.begin() + 3, vueltas.end());
    return vueltas[3];
}

// Valores guardados en las tablas de la carga (registros por campos), índices incluidos.
double valoresGuardados() {
    Globales& g = G();
    double total = 0;
    auto sumar = [&](const PTabla& t) {
        if (t) total += double(t->numeroRegistros()) * double(t->campos().size());
    };
    for (const auto& [nombre, tabla] : tablasDeLosFicheros()) sumar(tabla);
    for (const PlazasCuerpo& e : g.IndicePlazasCuerpo) {
        sumar(e.Resultas);
        sumar(e.Vacantes);
    }
    for (const PlazasGrupo& e : g.IndicePlazasGrupo) {
        sumar(e.Resultas);
        sumar(e.Vacantes);
    }
    return total;
}

// Vuelve a poner el pico de memoria (VmHWM) en lo que el proceso ocupa ahora.
void reiniciarPico() {
    if (FILE* f = std::fopen("/proc/self/clear_refs", "w")) {
        std::fputs("5", f);
        std::fclose(f);
    }
}

// La pantalla de carga entera. La primera vez parte de donde parte el programa: globales recién
// creadas y rsCuerpos cargada; preparar eso no se mide. Otra vez (una solicitud abierta desde el
// selector con los catálogos ya cargados) sustituye las tablas de la carga anterior, y soltarlas
// entra en la medida. Además del tiempo de Google Benchmark da, medidos en la misma ejecución:
// la mediana de la carga (carga_ms), el suelo de leer y descifrar (suelo_ms) y cuántas veces el
// suelo tarda la carga (veces_suelo); la memoria del proceso antes y después, su pico durante la
// carga y lo que ocupa cada valor guardado (bytes_por_valor, lo que creció el proceso entre los
// valores de todas las tablas).
void medirPantallaDeCarga(benchmark::State& estado, bool primeraVez) {
    if (!prepararArranque()) {
        estado.SkipWithError("no se pudo cargar rsCuerpos");
        return;
    }
    const double suelo = sueloMs();
    if (!primeraVez) {
        // La carga anterior, que cada vuelta medida sustituye, sin medir.
        CargaSinVentana obs;
        if (const auto fallo = PasosCarga(obs).ejecutar()) {
            estado.SkipWithError(qPrintable(fallo->mensaje()));
            return;
        }
    }
    std::vector<double> cargas;
    long antes = 0;
    for (auto _ : estado) {
        if (primeraVez) {
            estado.PauseTiming();
            const bool preparado = prepararArranque();
            malloc_trim(0);
            antes = kibDeStatus("VmRSS:");
            reiniciarPico();
            estado.ResumeTiming();
            if (!preparado) {
                estado.SkipWithError("no se pudo cargar rsCuerpos");
                return;
            }
        }
        QElapsedTimer reloj;
        reloj.start();
        CargaSinVentana obs;
        PasosCarga pasos(obs);
        const auto fallo = pasos.ejecutar();
        cargas.push_back(double(reloj.nsecsElapsed()) / 1e6);
        if (fallo) {
            estado.SkipWithError(qPrintable(fallo->mensaje()));
            return;
        }
        benchmark::DoNotOptimize(G().IndicePlazasCuerpo.data());
    }
    std::nth_element(cargas.begin(), cargas.begin() + long(cargas.size() / 2), cargas.end());
    const double carga = cargas[cargas.size() / 2];
    const long despues = kibDeStatus("VmRSS:");
    const double valores = valoresGuardados();
    estado.counters["carga_ms"] = carga;
    estado.counters["suelo_ms"] = suelo;
    estado.counters["veces_suelo"] = carga / suelo;
    estado.counters["plazas"] = G().rsPlazasVacantes->numeroRegistros();
    estado.counters["cuerpos"] = G().rsCuerpos->numeroRegistros();
    estado.counters["valores"] = valores;
    estado.counters["RSS_MiB"] = double(despues) / 1024.0;
    estado.counters["pico_MiB"] = double(kibDeStatus("VmHWM:")) / 1024.0;
    if (primeraVez) {
        estado.counters["RSS_antes_MiB"] = double(antes) / 1024.0;
        estado.counters["bytes_por_valor"] = double(despues - antes) * 1024.0 / valores;
    }
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
