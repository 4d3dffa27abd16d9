// Tabla en memoria con el tamaño de un catálogo grande de plazas: 20.000 registros de 10 campos.

#include "platform/Tabla.h"

#include <benchmark/benchmark.h>

namespace {

constexpr int kPlazas = 20000;

const QList<Campo>& camposPlazas() {
    static const QList<Campo> campos = {
        {"CodConvocatoria", TipoCampo::Texto, 5}, {"NomConvocatoria", TipoCampo::Texto, 50},
        {"Consejeria", TipoCampo::Texto, 50},     {"Localidad", TipoCampo::Texto, 53},
        {"CodConsejeria", TipoCampo::Texto, 2},   {"CodLocalidad", TipoCampo::Texto, 7},
        {"CodProvincia", TipoCampo::Texto, 2},    {"CodArea", TipoCampo::Texto, 8},
        {"CodZona", TipoCampo::Texto, 8},         {"Area", TipoCampo::Texto, 50},
    };
    return campos;
}

QString codigo(int i) {
    return QString::number(10000 + i * 4 % 89989).rightJustified(5, u'0');
}

void llenar(const PTabla& t, int n) {
    static const QStringList pueblos = {"Ávila", "León",     "Ñora",    "Burgos",     "Zamora",
                                        "Soria", "Palencia", "Segovia", "Valladolid", "Salamanca"};
    for (int i = 0; i < n; ++i) {
        t->anadir();
        t->establecer(0, codigo(i));
        t->establecer(1, QStringLiteral("PLAZA NÚMERO %1").arg(i));
        t->establecer(2, QStringLiteral("CONSEJERÍA %1").arg(i % 40));
        t->establecer(3, pueblos[i % pueblos.size()] + QString::number(i % 700));
        t->establecer(4, QString::number(i % 40).rightJustified(2, u'0'));
        t->establecer(5, QString::number(2400000 + i % 3000));
        t->establecer(6, QString::number(1 + i % 9).rightJustified(2, u'0'));
        t->establecer(7, QString::number(1 + i % 11).rightJustified(2, u'0') + "000000");
        t->establecer(8, QString::number(i % 250).rightJustified(4, u'0'));
        t->establecer(9, QStringLiteral("ÁREA %1").arg(i % 11));
    }
}

PTabla catalogo() {
    static PTabla t = [] {
        PTabla p = Tabla::crear("rsPlazasVacantes", camposPlazas());
        llenar(p, kPlazas);
        return p;
    }();
    return t;
}

void BM_TablaAnadirVeinteMilPlazas(benchmark::State& estado) {
    for (auto _ : estado) {
        PTabla t = Tabla::crear("rsPlazasVacantes", camposPlazas());
        llenar(t, kPlazas);
        benchmark::DoNotOptimize(t->numeroRegistros());
    }
}
BENCHMARK(BM_TablaAnadirVeinteMilPlazas)->Unit(benchmark::kMillisecond);

// Lo que hace la unión de enlaces con plazas por cada enlace: primero y búsqueda del código.
void BM_TablaBuscarCodigoDesdeElPrimero(benchmark::State& estado) {
    PTabla t = catalogo()->clonar();
    int i = 0;
    for (auto _ : estado) {
        t->filtrar("");
        t->moverPrimero();
        t->buscar("CodConvocatoria = '" + codigo(i++ % kPlazas) + "'");
        benchmark::DoNotOptimize(t->eof());
    }
}
BENCHMARK(BM_TablaBuscarCodigoDesdeElPrimero)->Unit(benchmark::kMicrosecond);

void BM_TablaFiltrarIgualdad(benchmark::State& estado) {
    PTabla t = catalogo()->clonar();
    int i = 0;
    for (auto _ : estado) {
        t->filtrar("CodProvincia='" + QString::number(1 + i++ % 9).rightJustified(2, u'0') + "' ");
        benchmark::DoNotOptimize(t->numeroRegistros());
    }
}
BENCHMARK(BM_TablaFiltrarIgualdad)->Unit(benchmark::kMicrosecond);

void BM_TablaFiltrarBusquedaDePlazas(benchmark::State& estado) {
    PTabla t = catalogo()->clonar();
    for (auto _ : estado) {
        t->filtrar(
            " CodLocalidad like '%2401%'  AND CodConsejeria='05'  AND ( CODArea='01000000' "
            "OR  CODArea='02000000' OR  CODArea='03000000'  ) ");
        benchmark::DoNotOptimize(t->numeroRegistros());
    }
}
BENCHMARK(BM_TablaFiltrarBusquedaDePlazas)->Unit(benchmark::kMillisecond);

void BM_TablaOrdenarPorLocalidad(benchmark::State& estado) {
    PTabla t = catalogo()->clonar();
    for (auto _ : estado) {
        t->ordenar(" Localidad ASC ");
        benchmark::DoNotOptimize(t->numeroRegistros());
    }
}
BENCHMARK(BM_TablaOrdenarPorLocalidad)->Unit(benchmark::kMillisecond);

}  // namespace
