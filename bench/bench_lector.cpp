// Medidas del lector de la oficina: páginas por segundo leídas de imágenes escaneadas a 200 ppp y
// de un PDF, con uno y con dos hilos (la máquina de referencia tiene dos núcleos).
#include "../tests/printing/DocxPrueba.h"
#include "global/Globales.h"
#include "lectura/ComprobacionLote.h"
#include "lectura/InformeHtml.h"
#include "lectura/LecturaPaginas.h"
#include "printing/CodigoBarras.h"
#include "printing/Impresion.h"
#include "registro/Registro.h"

#include <benchmark/benchmark.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <ctime>

namespace {

const QString kPrefijo = QStringLiteral("12345678Z00123A07/12/202609:41:07");
constexpr int kPaginas = 10;  // solicitante, cursos y ocho de Vacantes de 40 plazas
constexpr int kCopias = 10;   // el lote lleva la impresión diez veces: 100 páginas

QString cargaDeUnos700() {
    QString s;
    while (s.size() < 700)
        s += QStringLiteral("S|Núñez de Arce|Peñalver Ibáñez|María Ángeles|12345678Z|19700412|");
    return s;
}

// Una impresión de 10 páginas en PDF y sus páginas a 200 ppp en PNG, hechas una vez.
struct LoteMedidas {
    QTemporaryDir carpeta;
    QString pdf;
    QStringList imagenes;
    bool listo = false;

    LoteMedidas() {
        G().RutaTemporal = carpeta.path() + "/";
        QVector<PaginaPrueba> paginas;
        for (int p = 1; p <= kPaginas; ++p) {
            PaginaPrueba pagina{QStringLiteral("Página %1").arg(p), {}};
            if (p != 2) {
                QString entradas;
                for (int i = 1; i <= 40; ++i)
                    entradas += entradaPlaza(QString::number((p - 3) * 40 + i),
                                             QString::number(10000 + p * 97 + i * 7));
                const QString texto = p == 1 ? textoCodigoSolicitante(kPrefijo, cargaDeUnos700())
                                             : textoCodigoPagina(kPrefijo, "V", p, entradas);
                int alto = p == 1 ? TamanoCodigo::AltoSolicitante : TamanoCodigo::AltoPagina;
                const auto base = GenerarCodigoBarras(texto, TamanoCodigo::AnchoPagina, alto);
                if (!base) return;
                const QString bmp = carpeta.filePath(QStringLiteral("c%1.bmp").arg(p));
                QFile::rename(base.valor() + ".bmp", bmp);
                pagina.imagenes.append({bmp, QSize(TamanoCodigo::AnchoPagina, alto)});
            }
            paginas.append(pagina);
        }
        const QString docx = carpeta.filePath("impresion.doc");
        escribirDocxPrueba(docx, paginas);
        pdf = carpeta.filePath("impresion.pdf");
        if (!convertirAPdf(docx, pdf)) return;
        QProcess p;
        p.start("pdftoppm", {"-r", "200", "-gray", "-png", pdf, carpeta.filePath("hoja")});
        if (!p.waitForFinished(120000) || p.exitCode() != 0) return;
        for (const QString& f : QDir(carpeta.path()).entryList({"hoja-*.png"}, QDir::Files))
            imagenes.append(carpeta.filePath(f));
        listo = imagenes.size() == kPaginas;
    }
};

LoteMedidas& lote() {
    static LoteMedidas l;
    return l;
}

void medirLectura(benchmark::State& estado, const QStringList& ficheros) {
    if (!lote().listo) {
        estado.SkipWithError("no se pudo preparar la impresión");
        return;
    }
    QStringList todos;
    for (int i = 0; i < kCopias; ++i) todos += ficheros;
    OpcionesLectura opciones;
    opciones.hilos = int(estado.range(0));
    for (auto _ : estado) {
        const InformeLote informe = comprobarLote(leerLote(todos, opciones));
        if (informe.solicitudes.size() != 1 || informe.solicitudes[0].vacantes.size() != 320)
            estado.SkipWithError("no se leyeron todas las páginas");
    }
    estado.counters["paginas/s"] = benchmark::Counter(
        double(estado.iterations()) * kPaginas * kCopias, benchmark::Counter::kIsRate);
}

void BM_LectorImagenes200ppp(benchmark::State& estado) {
    medirLectura(estado, lote().imagenes);
}
BENCHMARK(BM_LectorImagenes200ppp)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

void BM_LectorPdf(benchmark::State& estado) {
    medirLectura(estado, {lote().pdf});
}
BENCHMARK(BM_LectorPdf)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

// Un lote de 100 páginas (la impresión diez veces) leído con dos hilos, sin registro (0) y
// anotándolo en un registro SQLite nuevo (1), como hace «movilant-lector --registro»: abrirlo
// (y probar que se puede escribir), tomar la huella de cada fichero y anotar.
void BM_Lote100Paginas(benchmark::State& estado) {
    if (!lote().listo) {
        estado.SkipWithError("no se pudo preparar la impresión");
        return;
    }
    QStringList todos;
    for (int i = 0; i < 10; ++i) todos += lote().imagenes;
    OpcionesLectura opciones;
    opciones.hilos = 2;
    QTemporaryDir carpeta;
    int vez = 0;
    for (auto _ : estado) {
        const QVector<PaginaLeida> paginas = leerLote(todos, opciones);
        benchmark::DoNotOptimize(comprobarLote(paginas));
        if (estado.range(0) == 0) continue;
        const auto registro =
            Registro::abrir(carpeta.filePath(QStringLiteral("r%1.sqlite").arg(++vez)));
        // Como la orden: la huella de cada fichero se toma antes de anotar.
        QHash<QString, QString> huellas;
        for (const QString& f : todos)
            if (!huellas.contains(f)) huellas.insert(f, huellaFichero(f));
        if (!registro || !registro.valor()->anotar(paginas, huellas, QDateTime::currentDateTime()))
            estado.SkipWithError("no se pudo anotar en el registro");
    }
}
BENCHMARK(BM_Lote100Paginas)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

// Lo que cuesta el informe de un lote de 500 páginas (la impresión cincuenta veces) leído con dos
// hilos: sin él (0) y con él (1), con las imágenes reducidas que se hacen al leer cada página y el
// informe escrito en una carpeta. Es el peor caso: todas las copias menos la primera son hojas
// repetidas (450 imágenes, y 50 de la hoja de cursos, que en este lote está en blanco). `MB` dice
// lo que ocupan las imágenes y `cpu_s` lo que gasta el proceso en cada lectura.
void BM_Lote500PaginasInforme(benchmark::State& estado) {
    if (!lote().listo) {
        estado.SkipWithError("no se pudo preparar la impresión");
        return;
    }
    // Cada copia con sus propios nombres (enlaces a las mismas hojas): una hoja leída dos veces
    // con el mismo nombre es la misma, y no una repetida.
    static QTemporaryDir copias;
    QStringList todos;
    for (int i = 0; i < 50; ++i)
        for (const QString& hoja : lote().imagenes) {
            todos.append(
                copias.filePath(QStringLiteral("%1-%2").arg(i).arg(QFileInfo(hoja).fileName())));
            if (!QFileInfo::exists(todos.last())) QFile::link(hoja, todos.last());
        }
    OpcionesLectura opciones;
    opciones.hilos = 2;
    opciones.miniaturas = estado.range(0) == 1;
    qint64 bytes = 0, imagenes = 0;
    // En una máquina compartida lo que tarda depende de los demás; lo que gasta de CPU el proceso
    // (todos sus hilos), no tanto.
    const auto cpu = [] {
        timespec t{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
        return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
    };
    const double cpuAntes = cpu();
    for (auto _ : estado) {
        const QVector<PaginaLeida> paginas = leerLote(todos, opciones);
        const InformeLote informe = comprobarLote(paginas);
        if (estado.range(0) == 0) continue;
        QTemporaryDir carpeta;
        const InformeHtml html =
            informeDeLote(paginas, informe, carpeta.path(), QDateTime::currentDateTime());
        if (!escribirInforme(html, carpeta.path())) estado.SkipWithError("no se pudo escribir");
        bytes = 0;
        for (const auto& imagen : html.imagenes) bytes += imagen.second.size();
        imagenes = html.imagenes.size();
    }
    estado.counters["cpu_s"] = (cpu() - cpuAntes) / double(estado.iterations());
    estado.counters["MB"] = double(bytes) / 1e6;
    estado.counters["imagenes"] = double(imagenes);
}
BENCHMARK(BM_Lote500PaginasInforme)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

}  // namespace
