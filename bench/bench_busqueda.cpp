// Búsqueda de plazas y listas pedidas sobre el juego grande: cada paso de búsqueda (filtro,
// aplicarlo, la lista del combo de plazas y la cuenta), "Insertar Todas" frente a la manera paso
// a paso (un filtro nuevo en un segundo cursor por plaza), renumerar y mover un orden, y la
// memoria de una lista de 20.000 plazas pedidas.
#include "JuegoGrande.h"
#include "catalogue/Esquemas.h"
#include "form/FiltroPlazas.h"
#include "form/OrdenPlazas.h"
#include "global/Globales.h"
#include "platform/ModeloTabla.h"

#include <benchmark/benchmark.h>
#include <malloc.h>
#include <memory>

namespace {

// La entrada del índice del cuerpo con más plazas Vacantes.
const PlazasCuerpo* cuerpoMayor() {
    const PlazasCuerpo* mayor = nullptr;
    for (const PlazasCuerpo& e : G().IndicePlazasCuerpo)
        if (e.DesdeCatalogo && e.Vacantes &&
            (!mayor || e.Vacantes->numeroRegistros() > mayor->Vacantes->numeroRegistros()))
            mayor = &e;
    return mayor;
}

// Un valor de un campo en la primera plaza del conjunto (sin filtro).
QString primero(const PTabla& t, const char* campo) {
    const PTabla c = t->clonar();
    return c->valorEnFila(0, c->indiceCampo(QLatin1String(campo))).toString();
}

enum class Paso { Provincia, Area, Zona, Localidad, Institucion, Codigo };

// Lo que el usuario ha elegido al dar ese paso, sacado de una plaza real del cuerpo. La provincia
// va con todas sus áreas, como las deja rsAreas.
PanelBusqueda panelDe(Paso paso, const PTabla& plazas) {
    PanelBusqueda p;
    const QString provincia = primero(plazas, "CodProvincia");
    p.provincia = {provincia, true};
    switch (paso) {
        case Paso::Provincia: {
            const PTabla areas = G().rsAreas->clonar();
            areas->filtrar("CodProvincia='" + provincia + "' ");
            for (int f = 0; f < areas->numeroRegistros(); ++f)
                p.areasVisibles << areas->valorEnFila(f, 0).toString();
            break;
        }
        case Paso::Area:
            p.area = {primero(plazas, "CodArea").left(2), true};
            break;
        case Paso::Zona:
            p.zona = {primero(plazas, "CodZona"), true};
            break;
        case Paso::Localidad:
            p.localidad = {primero(plazas, "CodLocalidad").mid(2, 3), true};
            break;
        case Paso::Institucion:
            p.consejeria = {primero(plazas, "CodConsejeria"), true};
            break;
        case Paso::Codigo:
            p.codigo = primero(plazas, "CodConvocatoria");
            break;
    }
    return p;
}

void BM_PasoDeBusqueda(benchmark::State& estado) {
    if (!cargadoUnaVez() || !cuerpoMayor()) {
        estado.SkipWithError("no se pudo cargar el juego grande");
        return;
    }
    const PTabla& plazas = cuerpoMayor()->Vacantes;
    plazas->ordenar("CodConvocatoria");
    // La lista del combo de plazas sigue a la tabla como en el formulario.
    ModeloTabla lista;
    lista.enlazar(plazas);
    const PanelBusqueda panel = panelDe(Paso(estado.range(0)), plazas);
    int cuenta = 0;
    for (auto _ : estado) {
        plazas->filtrar(QString());  // el paso anterior
        plazas->filtrar(FiltroPlazas("V", panel));
        cuenta = lista.rowCount();
        benchmark::DoNotOptimize(lista.data(lista.index(0, 1)));
    }
    estado.counters["plazasCuerpo"] = plazas->clonar()->numeroRegistros();
    estado.counters["localizadas"] = cuenta;
    plazas->filtrar(QString());
}
BENCHMARK(BM_PasoDeBusqueda)
    ->ArgName("paso")
    ->DenseRange(0, 5)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// "Insertar Todas" tal como lo cuenta el procedimiento: por cada plaza, un filtro nuevo en un
// segundo cursor de la lista, y el nombre del área y de la zona con otro filtro en un segundo
// cursor de esas tablas.
void insertarTodasPasoAPaso(const PTabla& plazas, const PTabla& lista) {
    qint64 orden = lista->numeroRegistros() + 1;
    qint64 id = SiguienteId(lista, "IdSolicitud");
    if (plazas->numeroRegistros() == 0) return;
    const PTabla otra = lista->clonar();
    const PTabla areas = G().rsAreas->clonar();
    const PTabla zonas = G().rsZonas->clonar();
    for (plazas->moverPrimero(); !plazas->eof(); plazas->moverSiguiente()) {
        const QString codigo = plazas->texto("CodConvocatoria");
        otra->filtrar(QString());
        otra->filtrar("CodConvocatoria='" + codigo + "' ");
        if (otra->numeroRegistros() > 0) continue;
        const QString codArea = plazas->texto("CodArea"), codZona = plazas->texto("CodZona");
        QString area, zona;
        if (!codArea.isEmpty()) {
            areas->filtrar(QString());
            areas->filtrar("CodArea='" + codArea.left(2) + "' ");
            if (areas->numeroRegistros() > 0) area = areas->texto("Area");
        }
        if (!codZona.isEmpty()) {
            zonas->filtrar(QString());
            zonas->filtrar("CodZona='" + codZona + "' ");
            if (zonas->numeroRegistros() > 0) zona = zonas->texto("Zona");
        }
        lista->anadirRegistro({id++, orden++, codigo, plazas->texto("NomConvocatoria"),
                               plazas->texto("Consejeria"), plazas->texto("Localidad"), codArea,
                               codZona, area, zona});
    }
}

void insertarTodas(const PTabla& plazas, const PTabla& lista) {
    InsertarTodas(plazas, lista, G().rsAreas, G().rsZonas);
}

bool mismasFilas(const PTabla& a, const PTabla& b) {
    const PTabla x = a->clonar(), y = b->clonar();
    if (x->numeroRegistros() != y->numeroRegistros()) return false;
    for (int f = 0; f < x->numeroRegistros(); ++f)
        for (int c = 0; c < x->campos().size(); ++c)
            if (x->valorEnFila(f, c) != y->valorEnFila(f, c)) return false;
    return true;
}

// Las 20.000 plazas Vacantes del catálogo, como conjunto de búsqueda.
PTabla conjuntoGrande() {
    const PTabla t = G().rsPlazasVacantes->clonar();
    t->ordenar("CodConvocatoria");
    return t;
}

// Las dos maneras dan la misma lista, vacía o ya con todas.
bool mismasListas() {
    static int estado = 0;
    if (estado == 0) {
        const PTabla a = CrearTablaPlazasSolicitadas(), b = CrearTablaPlazasSolicitadas();
        insertarTodas(conjuntoGrande(), a);
        insertarTodasPasoAPaso(conjuntoGrande(), b);
        bool iguales = mismasFilas(a, b);
        insertarTodas(conjuntoGrande(), a);
        insertarTodasPasoAPaso(conjuntoGrande(), b);
        iguales = iguales && mismasFilas(a, b) && a->numeroRegistros() > 10000;
        estado = iguales ? 1 : -1;
    }
    return estado == 1;
}

void medirInsertarTodas(benchmark::State& estado, void (*insertar)(const PTabla&, const PTabla&)) {
    if (!cargadoUnaVez() || !mismasListas()) {
        estado.SkipWithError("carga fallida o listas distintas de la referencia");
        return;
    }
    const bool yaLlena = estado.range(0) == 1;
    const PTabla plazas = conjuntoGrande();
    PTabla llena;
    if (yaLlena) {
        llena = CrearTablaPlazasSolicitadas();
        insertarTodas(plazas, llena);
    }
    for (auto _ : estado) {
        const PTabla lista = yaLlena ? llena : CrearTablaPlazasSolicitadas();
        insertar(plazas, lista);
        benchmark::DoNotOptimize(lista->numeroRegistros());
    }
    estado.counters["plazas"] = plazas->numeroRegistros();
}

void BM_InsertarTodas(benchmark::State& estado) {
    medirInsertarTodas(estado, insertarTodas);
}
BENCHMARK(BM_InsertarTodas)
    ->ArgName("llena")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

void BM_InsertarTodasPasoAPaso(benchmark::State& estado) {
    medirInsertarTodas(estado, insertarTodasPasoAPaso);
}
BENCHMARK(BM_InsertarTodasPasoAPaso)
    ->ArgName("llena")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

// Una lista de 20.000 plazas pedidas: renumerarla y mover la fila del medio al final.
void BM_OrdenListaGrande(benchmark::State& estado) {
    if (!cargadoUnaVez()) {
        estado.SkipWithError("no se pudo cargar el juego grande");
        return;
    }
    const PTabla lista = CrearTablaPlazasSolicitadas();
    insertarTodas(conjuntoGrande(), lista);
    lista->ordenar("Orden ASC");
    const qint64 n = lista->numeroRegistros();
    const bool mover = estado.range(0) == 1;
    for (auto _ : estado) {
        if (mover) {
            MoverOrden(lista, "Orden", n / 2, n);
            lista->moverPrimero();
        }
        RenumerarOrden(lista, "Orden");
    }
    estado.counters["filas"] = double(n);
}
BENCHMARK(BM_OrdenListaGrande)
    ->ArgName("mover")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// Lo que ocupa una lista de 20.000 plazas pedidas: la memoria del montón en uso antes y después
// (el RSS no sirve: reutiliza lo que soltaron las medidas anteriores).
void BM_MemoriaListaGrande(benchmark::State& estado) {
    if (!cargadoUnaVez()) {
        estado.SkipWithError("no se pudo cargar el juego grande");
        return;
    }
    const PTabla plazas = conjuntoGrande();
    double mib = 0;
    qint64 filas = 0;
    for (auto _ : estado) {
        const size_t antes = mallinfo2().uordblks;
        auto lista = CrearTablaPlazasSolicitadas();
        insertarTodas(plazas, lista);
        mib = double(mallinfo2().uordblks - antes) / (1024.0 * 1024.0);
        filas = lista->numeroRegistros();
        benchmark::DoNotOptimize(filas);
    }
    estado.counters["lista_MiB"] = mib;
    estado.counters["filas"] = double(filas);
}
BENCHMARK(BM_MemoriaListaGrande)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
