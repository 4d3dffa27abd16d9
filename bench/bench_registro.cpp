// Medidas del registro de la oficina: lo que cuesta `estado` con un registro de 10 000
// solicitudes (unas 50 000 páginas) en SQLite. Lo que añade anotar un lote de 100 páginas a su
// lectura se mide con las lecturas, en bench_lector.cpp.
#include "../tests/apoyo/RutasCompilacion.h"
#include "../tests/lectura/ImpresionSimulada.h"
#include "lectura/SalidaLectura.h"
#include "registro/EstadoRegistro.h"
#include "registro/Registro.h"
#include "users/Validacion.h"

#include <benchmark/benchmark.h>
#include <QFile>
#include <QProcess>
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
        // Con MOVILANT_REGISTRO_MEDIDAS, el registro se deja en ese fichero (para perfilar la
        // orden a mano); si ya existe, se usa tal cual.
        fichero =
            qEnvironmentVariable("MOVILANT_REGISTRO_MEDIDAS", carpeta.filePath("oficina.sqlite"));
        if (QFile::exists(fichero)) {
            paginas = 5 * kSolicitudes;
            return;
        }
        auto registro = Registro::abrir(fichero);
        if (!registro) {
            error = registro.mensaje();
            return;
        }
        for (int lote = 0; lote < kSolicitudes / 100; ++lote) {
            QVector<PaginaLeida> leidas;
            for (int i = 0; i < 100; ++i) {
                ImpresionSimulada s;
                // DNI válidos: un registro de solicitudes completas, como el de una oficina al día.
                const int numero = 10000000 + lote * 100 + i;
                s.dni = QString::number(numero) + kLetrasDNI[numero % kLetrasDNI.size()];
                s.cursos = 3;
                s.documentos = 2;
                s.vacantes = 60;
                s.resultas = 30;
                s.fichero = QStringLiteral("lote%1.pdf").arg(lote);
                leidas += s.paginas();
            }
            for (qsizetype i = 0; i < leidas.size(); ++i) leidas[i].origen.pagina = int(i + 1);
            paginas += leidas.size();
            const auto r = registro.valor()->anotar(leidas, {}, QDateTime::currentDateTime());
            if (!r) {
                error = r.mensaje();
                return;
            }
        }
    }
};

RegistroGrande& registroGrande() {
    static RegistroGrande grande;
    return grande;
}

void BM_EstadoRegistro10000Solicitudes(benchmark::State& estado) {
    const RegistroGrande& grande = registroGrande();
    if (!grande.error.isEmpty()) {
        estado.SkipWithError(grande.error.toStdString().c_str());
        return;
    }
    for (auto _ : estado) {
        auto registro = Registro::abrir(grande.fichero, Registro::Apertura::SoloLectura);
        const auto contenido = registro.valor()->contenido();
        const InformeRegistro informe = comprobarRegistro(contenido.valor());
        benchmark::DoNotOptimize(resumenRegistro(informe));
        if (informe.ultimas.size() != kSolicitudes || !informe.todoCorrecto())
            estado.SkipWithError("faltan solicitudes o alguna no está completa");
    }
    estado.counters["paginas"] = double(grande.paginas);
}
BENCHMARK(BM_EstadoRegistro10000Solicitudes)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

// La orden tal como la da la oficina: desde que arranca `movilant-lector estado` hasta que
// termina, con su resumen escrito. Es lo que el usuario espera.
void BM_OrdenEstado10000Solicitudes(benchmark::State& estado) {
    const RegistroGrande& grande = registroGrande();
    if (!grande.error.isEmpty()) {
        estado.SkipWithError(grande.error.toStdString().c_str());
        return;
    }
    for (auto _ : estado) {
        QProcess p;
        p.start(rutaBinarios("/movilant-lector"),
                {QStringLiteral("estado"), QStringLiteral("--registro"), grande.fichero});
        if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit ||
            p.exitCode() != 0 || !p.readAllStandardOutput().contains("10000 solicitantes")) {
            estado.SkipWithError("la orden «estado» no ha dado el resumen esperado");
            return;
        }
    }
}
BENCHMARK(BM_OrdenEstado10000Solicitudes)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

}  // namespace
