// Medidas del registro de la oficina: lo que cuesta `estado` con un registro de 10 000
// solicitudes (unas 50 000 páginas) en SQLite. Lo que añade anotar un lote de 100 páginas a su
// lectura se mide con las lecturas, en bench_lector.cpp.
#include "../tests/lectura/ImpresionSimulada.h"
#include "registro/EstadoRegistro.h"
#include "registro/Registro.h"
#include "lectura/SalidaLectura.h"

#include <benchmark/benchmark.h>
#include <QTemporaryDir>

namespace {

constexpr int kSolicitudes = 10000;

// Un registro de 10 000 impresiones de 5 páginas cada una (solicitante, cursos, dos de Vacantes
// y una de Resultas), leídas en lotes de 100 solicitudes, hecho una vez.
struct RegistroGrande {
    QTemporaryDir carpeta;
    QString fichero;
    qsizetype paginas = 0;
    QString error;

    RegistroGrande() {
        fichero = carpeta.filePath("oficina.sqlite");
        auto registro = Registro::abrir(fichero);
        if (!registro) {
            error = registro.mensaje();
            return;
        }
        for (int lote = 0; lote < kSolicitudes / 100; ++lote) {
            QVector<PaginaLeida> leidas;
            for (int i = 0; i < 100; ++i) {
                ImpresionSimulada s;
                s.dni = QStringLiteral("%1Z").arg(10000000 + lote * 100 + i);
                s.cursos = 3;
                s.documentos = 2;
                s.vacantes = 60;
                s.resultas = 30;
                s.fichero = QStringLiteral("lote%1.pdf").arg(lote);
                leidas += s.paginas();
            }
            for (qsizetype i = 0; i < leidas.size(); ++i) leidas[i].origen.pagina = int(i + 1);
            paginas += leidas.size();
            const auto r = registro.valor()->anotar(leidas, QDateTime::currentDateTime());
            if (!r) {
                error = r.mensaje();
                return;
            }
        }
    }
};

void BM_EstadoRegistro10000Solicitudes(benchmark::State& estado) {
    static RegistroGrande grande;
    if (!grande.error.isEmpty()) {
        estado.SkipWithError(grande.error.toStdString().c_str());
        return;
    }
    for (auto _ : estado) {
        auto registro = Registro::abrir(grande.fichero, Registro::Apertura::SoloSiExiste);
        const auto paginas = registro.valor()->paginas();
        const InformeRegistro informe = comprobarRegistro(paginas.valor());
        benchmark::DoNotOptimize(resumenRegistro(informe));
        if (informe.ultimas.size() != kSolicitudes) estado.SkipWithError("faltan solicitudes");
    }
    estado.counters["paginas"] = double(grande.paginas);
}
BENCHMARK(BM_EstadoRegistro10000Solicitudes)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

}  // namespace
