#include "PlantillasReales.h"
#include "catalogue/Esquemas.h"
#include "printing/CodigoBarras.h"
#include "printing/GeneradorDocumento.h"
#include "printing/Impresion.h"
#include "printing/LecturaCodigos.h"
#include "startup/Globales.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace {

// Textos largos a propósito: lo que no cabe en una línea no debe mover los saltos de página.
void prepararListas(int cursos, int documentos, int vacantes, int resultas) {
    G().rsCursos = CrearTablaCursos();
    for (int i = 1; i <= cursos; ++i) {
        auto& t = *G().rsCursos;
        ASSERT_TRUE(t.anadir().ok());
        t.establecer(QStringLiteral("Curso"),
                     QStringLiteral("Curso %1 de actualización en cuidados de enfermería, "
                                    "urgencias y emergencias extrahospitalarias")
                         .arg(i));
        t.establecer(QStringLiteral("NHoras"), 10 + i);
        t.establecer(QStringLiteral("Ano"), 1990 + i % 30);
        t.establecer(QStringLiteral("Centro"),
                     QStringLiteral("Escuela de Ciencias de la Salud y Atención Sociosanitaria"));
    }
    G().rsDocumentos = CrearTablaDocumentos();
    for (int i = 1; i <= documentos; ++i) {
        G().rsDocumentos->anadir();
        // Un texto más largo que su campo no se guardaría y la prueba no vería nada.
        EXPECT_TRUE(
            G().rsDocumentos
                ->establecer(
                    QStringLiteral("Documento"),
                    QStringLiteral("Certificado de servicios prestados número %1 expedido por la "
                                   "Gerencia del Área de Salud")
                        .arg(i))
                .ok());
    }
    const auto plazas = [](int n, const QString& prefijo) {
        PTabla t = CrearTablaPlazasSolicitadas();
        for (int i = 1; i <= n; ++i) {
            t->anadir();
            t->establecer(QStringLiteral("Orden"), i);
            t->establecer(QStringLiteral("CodConvocatoria"), QString::number(30000 + 7 * i));
            t->establecer(QStringLiteral("NomConvocatoria"),
                          prefijo + QStringLiteral(" de Atención Primaria y Urgencias"));
            t->establecer(QStringLiteral("Consejeria"),
                          QStringLiteral("Hospital Universitario Nuestra Señora"));
            t->establecer(QStringLiteral("Localidad"),
                          QStringLiteral("Villanueva de la Serena (Badajoz)"));
            t->establecer(QStringLiteral("Area"), QStringLiteral("Don Benito-Villanueva"));
        }
        return t;
    };
    G().rsVacantesSolicitadas = plazas(vacantes, QStringLiteral("Enfermero/a"));
    G().rsResultasSolicitadas = plazas(resultas, QStringLiteral("Fisioterapeuta"));
}

bool hayLibreOffice() {
    return !QStandardPaths::findExecutable(QStringLiteral("soffice")).isEmpty();
}

int paginasPdf(const QString& pdf) {
    QProcess p;
    p.start(QStringLiteral("pdfinfo"), {pdf});
    p.waitForFinished(30000);
    for (const QString& l : QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\n')))
        if (l.startsWith(QLatin1String("Pages:"))) return l.mid(6).trimmed().toInt();
    return -1;
}

class PaginasImpresas : public ::testing::TestWithParam<VarianteGenerador> {};

// Cada código de plazas dice su página; la página de verdad del PDF debe ser esa. Con muchos
// cursos y documentos a la vez en la página 2 (35 + 35) tampoco debe correrse nada.
TEST_P(PaginasImpresas, ElContadorDePaginasCoincideConElPdf) {
    if (!hayLibreOffice()) GTEST_SKIP() << "sin LibreOffice";
    QTemporaryDir dir;
    const QString plantillas = construirPlantillasReales(dir.path());
    ASSERT_FALSE(plantillas.isEmpty());
    const bool es97 = GetParam() == VarianteGenerador::W97;
    const struct {
        int cursos, documentos, vacantes, resultas, paginas;
    } casos[] = {{36, 70, 75, 41, 9},
                 {35, 35, 40, 0, 5},
                 // 40 + 31 y 31: cada última página lleva sus 31 plazas, su código y la firma.
                 {0, 0, 71, 31, 5}};
    for (const auto& c : casos) {
        reiniciarGlobales();
        G().RutaTemporal = dir.path() + QStringLiteral("/temp/");
        QDir().mkpath(G().RutaTemporal);
        prepararListas(c.cursos, c.documentos, c.vacantes, c.resultas);
        PeticionDocumento p;
        p.plantilla = plantillas + (es97 ? QStringLiteral("/PlantillaW97.dot")
                                         : QStringLiteral("/PlantillaWXP.dot"));
        p.rutaDocumento = G().RutaTemporal + QStringLiteral("solicitud.doc");
        p.rutaImpresion = G().RutaTemporal + QStringLiteral("impresion.doc");
        p.variante = GetParam();
        p.imprimir = true;
        p.dni = QStringLiteral("12345678Z");
        p.fecha = QStringLiteral("07/12/2026");
        p.hora = QStringLiteral("09:15:00");
        p.prefijo = prefijoCodigoBarras(
            ClaveSolicitante(p.dni, QStringLiteral("12"), QStringLiteral("A")), p.fecha, p.hora);
        p.cargaSolicitante = QStringLiteral("N|PÉREZ|NÚÑEZ|MARÍA|12345678Z|19700101|924000000|");
        p.camposTexto = {{QStringLiteral("NOMBRE"), QStringLiteral("MARÍA")},
                         {QStringLiteral("CUERPOOESCALA"), QStringLiteral("Enfermeros")},
                         {QStringLiteral("CUERPOOESCALA1"), QStringLiteral("Enfermeros")}};
        p.casillas = {{QStringLiteral("VOLUNTARIO"), true}};
        auto g = generarDocumentoImpresion(p);
        ASSERT_TRUE(g.ok()) << g.mensaje().toStdString();
        EXPECT_TRUE(g.valor().avisos.isEmpty()) << g.valor().avisos.toStdString();
        const QString pdf = dir.filePath(QStringLiteral("impresion.pdf"));
        const Resultado r = convertirAPdf(p.rutaImpresion, pdf);
        ASSERT_TRUE(r.ok()) << r.mensaje().toStdString();
        EXPECT_EQ(paginasPdf(pdf), c.paginas) << c.cursos << "/" << c.vacantes;
        auto leidos = leerCodigosPdf(pdf, 200);
        ASSERT_TRUE(leidos.ok()) << leidos.mensaje().toStdString();
        const Resultado comparacion = compararCodigos(leidos.valor(), g.valor().codigos);
        EXPECT_TRUE(comparacion.ok()) << comparacion.mensaje().toStdString();
        const QByteArray destino = qgetenv("MOVILANT_PAGINAS_EN");
        if (!destino.isEmpty())
            QFile::copy(pdf, QString::fromLocal8Bit(destino) +
                                 QStringLiteral("/paginas-%1-%2.pdf")
                                     .arg(es97 ? QStringLiteral("97") : QStringLiteral("XP"))
                                     .arg(c.cursos));
    }
}

INSTANTIATE_TEST_SUITE_P(Variantes, PaginasImpresas,
                         ::testing::Values(VarianteGenerador::XP, VarianteGenerador::W97),
                         [](const auto& info) {
                             return info.param == VarianteGenerador::XP ? "XP" : "W97";
                         });

}  // namespace
