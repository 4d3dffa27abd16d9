// Medidas de la impresión: hacer los códigos y pasar el documento a PDF, junto a una conversión
// desnuda de LibreOffice del mismo fichero (lo que cuesta de más nuestro perfil propio y el filtro
// sin reducción de imágenes).
#include "../tests/printing/DocxPrueba.h"
#include "global/Globales.h"
#include "printing/CodigoBarras.h"
#include "printing/Impresion.h"
#include "printing/LecturaCodigos.h"

#include <benchmark/benchmark.h>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QUrl>

namespace {

QString cargaDeUnos700() {
    QString s;
    while (s.size() < 700)
        s += QStringLiteral("S|Núñez de Arce|Peñalver Ibáñez|María Ángeles|12345678Z|19700412|");
    return s;
}

QString entradas40() {
    QString s;
    for (int i = 1; i <= 40; ++i)
        s += entradaPlaza(QString::number(i), QString::number(10000 + i * 7));
    return s;
}

const QString kPrefijo = QStringLiteral("12345678Z00123A07/12/202609:41:07");

void BM_CodigoSolicitante(benchmark::State& estado) {
    QTemporaryDir carpeta;
    G().RutaTemporal = carpeta.path() + "/";
    const QString texto = textoCodigoSolicitante(kPrefijo, cargaDeUnos700());
    for (auto _ : estado) {
        int alto = TamanoCodigo::AltoSolicitante;
        const auto r = GenerarCodigoBarras(texto, TamanoCodigo::AnchoSolicitante, alto);
        if (!r) estado.SkipWithError("no se hizo el código");
        QFile::remove(r.valor() + ".bmp");
    }
}
BENCHMARK(BM_CodigoSolicitante)->Unit(benchmark::kMillisecond);

void BM_CodigoPagina40(benchmark::State& estado) {
    QTemporaryDir carpeta;
    G().RutaTemporal = carpeta.path() + "/";
    const QString texto = textoCodigoPagina(kPrefijo, "V", 5, entradas40());
    for (auto _ : estado) {
        int alto = TamanoCodigo::AltoPagina;
        const auto r = GenerarCodigoBarras(texto, TamanoCodigo::AnchoPagina, alto);
        if (!r) estado.SkipWithError("no se hizo el código");
        QFile::remove(r.valor() + ".bmp");
    }
}
BENCHMARK(BM_CodigoPagina40)->Unit(benchmark::kMillisecond);

// Documento de 9 páginas con un código en cada una, como una solicitud impresa.
struct DocumentoMedidas {
    QTemporaryDir carpeta;
    QString ruta;
    DocumentoMedidas() {
        G().RutaTemporal = carpeta.path() + "/";
        QVector<PaginaPrueba> paginas;
        for (int p = 1; p <= 9; ++p) {
            const bool solicitante = p == 1;
            int alto = solicitante ? TamanoCodigo::AltoSolicitante : TamanoCodigo::AltoPagina;
            const QString texto = solicitante ? textoCodigoSolicitante(kPrefijo, cargaDeUnos700())
                                              : textoCodigoPagina(kPrefijo, "V", p, entradas40());
            const auto base = GenerarCodigoBarras(texto, 6000, alto);
            const QString bmp = carpeta.filePath(QStringLiteral("c%1.bmp").arg(p));
            QFile::rename(base.valor() + ".bmp", bmp);
            paginas.append({QStringLiteral("Página %1").arg(p), {{bmp, QSize(6000, alto)}}});
        }
        ruta = carpeta.filePath("12345678Z00123A.doc");
        escribirDocxPrueba(ruta, paginas);
    }
};

void BM_RenderizarPdf(benchmark::State& estado) {
    DocumentoMedidas doc;
    const QString pdf = doc.carpeta.filePath("salida.pdf");
    for (auto _ : estado)
        if (!convertirAPdf(doc.ruta, pdf)) estado.SkipWithError("la conversión falló");
}
BENCHMARK(BM_RenderizarPdf)->Unit(benchmark::kMillisecond)->Iterations(3);

// soffice --convert-to pdf tal cual; con perfil nuevo en cada vuelta (como el nuestro) o con uno
// que ya existe (Arg 1).
void BM_ConversionDesnuda(benchmark::State& estado) {
    DocumentoMedidas doc;
    QTemporaryDir perfilFijo;
    for (auto _ : estado) {
        QTemporaryDir perfilNuevo, salida;
        const QString perfil = estado.range(0) ? perfilFijo.path() : perfilNuevo.path();
        QProcess p;
        p.start("soffice",
                {"-env:UserInstallation=" + QUrl::fromLocalFile(perfil).toString(), "--headless",
                 "--convert-to", "pdf", "--outdir", salida.path(), doc.ruta});
        if (!p.waitForFinished(180000) || !QFile::exists(salida.filePath("12345678Z00123A.pdf")))
            estado.SkipWithError("la conversión falló");
    }
}
BENCHMARK(BM_ConversionDesnuda)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_LeerCodigosPdf(benchmark::State& estado) {
    DocumentoMedidas doc;
    const QString pdf = doc.carpeta.filePath("salida.pdf");
    convertirAPdf(doc.ruta, pdf);
    for (auto _ : estado) {
        const auto r = leerCodigosPdf(pdf, int(estado.range(0)));
        if (!r || r.valor().size() != 9) estado.SkipWithError("no se leyeron los 9 códigos");
    }
}
BENCHMARK(BM_LeerCodigosPdf)->Arg(300)->Arg(200)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace
