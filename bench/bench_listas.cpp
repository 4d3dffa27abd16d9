// Medidas del documento de una impresión grande: las listas de plazas escritas página a página
// con sus códigos de barras, sin convertir a PDF.
#include "catalogue/Esquemas.h"
#include "global/Globales.h"
#include "printing/CodigoBarras.h"
#include "printing/DocumentoWord.h"
#include "printing/ListasImpresas.h"
#include "printing/PaqueteDocx.h"

#include <benchmark/benchmark.h>
#include <QDir>
#include <QTemporaryDir>

namespace {

QString tabla(const QString& marcador, int columnas) {
    QString rejilla, celdas;
    for (int i = 0; i < columnas; ++i) {
        rejilla += QStringLiteral("<w:gridCol w:w=\"1500\"/>");
        celdas += QStringLiteral(
                      "<w:tc><w:tcPr><w:tcW w:w=\"1500\" w:type=\"dxa\"/></w:tcPr><w:p>%1"
                      "<w:r><w:t>C%2</w:t></w:r></w:p></w:tc>")
                      .arg(i == 0 ? QStringLiteral("<w:bookmarkStart w:id=\"%1\" w:name=\"%2\"/>"
                                                   "<w:bookmarkEnd w:id=\"%1\"/>")
                                        .arg(marcador.size())
                                        .arg(marcador)
                                  : QString())
                      .arg(i);
    }
    return QStringLiteral(
               "<w:tbl><w:tblPr/><w:tblGrid>%1</w:tblGrid><w:tr>%2</w:tr></w:tbl>"
               "<w:p/>")
        .arg(rejilla, celdas);
}

// Plantilla mínima con las cuatro tablas de listas marcadas.
void escribirPlantilla(const QString& ruta) {
    PaqueteDocx p;
    p.ponerParte(QStringLiteral("[Content_Types].xml"),
                 "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Types xmlns=\"http://schemas."
                 "openxmlformats.org/package/2006/content-types\"><Override PartName=\"/word/"
                 "document.xml\" ContentType=\"application/vnd.openxmlformats-officedocument."
                 "wordprocessingml.template.main+xml\"/></Types>");
    const QString cuerpo =
        tabla(MarcadoresListas::Cursos, 4) + tabla(MarcadoresListas::Documentos, 2) +
        tabla(MarcadoresListas::Vacantes, 6) + tabla(MarcadoresListas::Resultas, 5);
    p.ponerParte(QStringLiteral("word/document.xml"),
                 QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?><w:document xmlns:w=\""
                                "http://schemas.openxmlformats.org/wordprocessingml/2006/main\">"
                                "<w:body>%1<w:sectPr/></w:body></w:document>")
                     .arg(cuerpo)
                     .toUtf8());
    p.escribir(ruta);
}

PTabla plazas(int n) {
    PTabla t = CrearTablaPlazasSolicitadas();
    for (int i = 1; i <= n; ++i) {
        t->anadir();
        t->establecer(QStringLiteral("Orden"), i);
        t->establecer(QStringLiteral("CodConvocatoria"), QString::number(10000 + i));
        t->establecer(QStringLiteral("NomConvocatoria"),
                      QStringLiteral("Enfermero/a de Atención Primaria"));
        t->establecer(QStringLiteral("Consejeria"), QStringLiteral("Hospital Comarcal"));
        t->establecer(QStringLiteral("Localidad"), QStringLiteral("Villanueva (Badajoz)"));
        t->establecer(QStringLiteral("Area"), QStringLiteral("Mérida"));
    }
    return t;
}

void BM_DocumentoMilVacantesYMilResultas(benchmark::State& estado) {
    QTemporaryDir dir;
    reiniciarGlobales();
    G().RutaTemporal = dir.path() + QStringLiteral("/");
    const QString plantilla = dir.filePath(QStringLiteral("P.dot"));
    escribirPlantilla(plantilla);
    PTabla vacantes = plazas(1000), resultas = plazas(1000);
    const bool borrador = estado.range(0) != 0;
    for (auto _ : estado) {
        auto doc = DocumentoWord::nuevoDesdePlantilla(plantilla);
        OpcionesListas o;
        o.borrador = borrador;
        o.prefijo = prefijoCodigoBarras(QStringLiteral("12345678Z00012A"),
                                        QStringLiteral("07/12/2026"), QStringLiteral("09:00:00"));
        o.plazasPorPagina = 40;
        ListasImpresas listas(doc.valor(), o);
        listas.escribirVacantes(*vacantes);
        listas.escribirResultas(*resultas);
        benchmark::DoNotOptimize(doc.valor().guardarComo(dir.filePath(QStringLiteral("s.doc"))));
    }
    estado.SetLabel(borrador ? "borrador (códigos hechos, no insertados)" : "con los 50 códigos");
}
BENCHMARK(BM_DocumentoMilVacantesYMilResultas)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
