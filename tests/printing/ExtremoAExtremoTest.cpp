#include "../apoyo/CupsPrivado.h"
#include "../apoyo/Ficheros.h"
#include "../apoyo/ProgramaLector.h"
#include "DatosCodigos.h"
#include "PlantillasReales.h"
#include "SolicitudPrueba.h"
#include "global/Globales.h"
#include "platform/Codificacion.h"
#include "printing/CodigoBarras.h"
#include "printing/GeneradorDocumento.h"
#include "printing/Impresion.h"
#include "printing/PlanPaginas.h"
#include "printing/ProcesosExternos.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

namespace {

QVector<PlazaPlan> plazasDe(const PTabla& t) {
    QVector<PlazaPlan> plazas;
    for (t->moverPrimero(); !t->eof(); t->moverSiguiente())
        plazas.append({t->valor("Orden").toLongLong(), t->texto("CodConvocatoria")});
    t->moverPrimero();
    return plazas;
}

const QString kDni = QStringLiteral("12345678Z");
const QString kFecha = QStringLiteral("07/12/2026");
const QString kHora = QStringLiteral("09:41:07");

class ExtremoAExtremo : public ::testing::Test {
protected:
    void SetUp() override {
        reiniciarGlobales();
        rellenarListasPrueba(36, 70, 75, 41);
        G().PlazasPorPagina = QStringLiteral("40");
    }
    void TearDown() override { reiniciarGlobales(); }
};

// Lo que espera el papel (calculado aparte) y lo que planifica el generador deben coincidir
// código a código: misma página, mismas entradas.
TEST_F(ExtremoAExtremo, ElPlanDelGeneradorDaLosCodigosQueSeEsperanEnCadaPagina) {
    const QString prefijo = DatosCodigos::prefijo();
    const QVector<CodigoEsperado> esperados =
        codigosEsperadosImpresion(prefijo, DatosCodigos::cargaSolicitante(), 40);
    // Solicitante en la 1; cursos 2-3, documentos 3-4; Vacantes 5, 6, 7 (40, 31, 4); Resultas 8, 9.
    QVector<int> paginas;
    for (const CodigoEsperado& e : esperados) paginas.append(e.pagina);
    EXPECT_EQ(paginas, QVector<int>({1, 5, 6, 7, 8, 9}));
    EXPECT_EQ(esperados[1].texto.size(), 33 + 1 + 3 + 40 * 9 + 1);
    EXPECT_EQ(esperados[3].texto.size(), 33 + 1 + 3 + 4 * 9 + 1);

    const auto plan = planificarImpresion(36, 70, plazasDe(G().rsVacantesSolicitadas),
                                          plazasDe(G().rsResultasSolicitadas), 40);
    ASSERT_TRUE(plan.ok()) << plan.mensaje().toStdString();
    QVector<CodigoEsperado> delPlan = {esperados[0]};
    for (const auto& [lista, codigo] :
         {std::pair{&plan.valor().vacantes, "V"}, std::pair{&plan.valor().resultas, "R"}})
        for (const TramoPagina& t : lista->tramos)
            if (t.conCodigo)
                delPlan.append(
                    {t.pagina, textoCodigoPagina(prefijo, codigo, t.pagina, t.entradas)});
    ASSERT_EQ(delPlan.size(), esperados.size());
    for (qsizetype i = 0; i < esperados.size(); ++i) {
        EXPECT_EQ(delPlan[i].pagina, esperados[i].pagina) << i;
        EXPECT_EQ(delPlan[i].texto, esperados[i].texto) << i;
    }
}

int imagenesDelPdf(const QString& pdf) {
    const auto r = lanzarProceso("pdfimages", {"-list", pdf}, 60000, "listar las imágenes");
    if (!r || r.valor().codigo != 0) return -1;
    // Dos líneas de cabecera y una por imagen.
    return int(r.valor().salida.split('\n', Qt::SkipEmptyParts).size()) - 2;
}

// La solicitud completa, de la plantilla al papel, en las dos variantes del generador.
class ImpresionCompleta : public ::testing::TestWithParam<VarianteGenerador> {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_carpeta.isValid());
        reiniciarGlobales();
        G().RutaTemporal = m_carpeta.path() + "/temp/";
        QDir().mkpath(G().RutaTemporal);
        G().PlazasPorPagina = QStringLiteral("40");
        rellenarListasPrueba(36, 70, 75, 41);
        m_prefijo = prefijoCodigoBarras(ClaveSolicitante(kDni, "123", "A"), kFecha, kHora);
        m_carga = DatosCodigos::cargaSolicitante();
        m_documento = m_carpeta.filePath("impresion.doc");
        m_pdf = m_carpeta.filePath("solicitud.pdf");
    }
    void TearDown() override { reiniciarGlobales(); }

    ResultadoDe<DocumentoGenerado> generar(bool borrador) {
        const QString dot = construirPlantillasReales(m_carpeta.filePath("ficheros"));
        if (dot.isEmpty())
            return Resultado::fallo("No se han podido construir las plantillas del programa.");
        PeticionDocumento p;
        const bool antigua = GetParam() == VarianteGenerador::W97;
        p.plantilla = QDir(dot).filePath(antigua ? "PlantillaW97.dot" : "PlantillaWXP.dot");
        p.rutaDocumento = G().RutaTemporal + "12345678Z00123A.doc";
        p.rutaImpresion = m_documento;
        p.variante = GetParam();
        p.imprimir = true;
        p.borrador = borrador;
        p.dni = kDni;
        p.fecha = kFecha;
        p.hora = kHora;
        p.prefijo = m_prefijo;
        p.cargaSolicitante = m_carga;
        p.plazasPorPagina = 40;
        p.camposTexto = {
            {"PRIMERAPELLIDO", "Núñez de Arce"}, {"NOMBRE", "María Ángeles"}, {"NDNI", kDni}};
        return generarDocumentoImpresion(p);
    }
    // Para mirar el papel: con MOVILANT_PDF_PRUEBAS=carpeta se deja allí una copia de cada PDF.
    void guardarCopia(const QString& nombre) {
        const QString carpeta = qEnvironmentVariable("MOVILANT_PDF_PRUEBAS");
        if (carpeta.isEmpty()) return;
        const QString destino = QDir(carpeta).filePath(
            nombre + (GetParam() == VarianteGenerador::XP ? "-XP.pdf" : "-W97.pdf"));
        QFile::remove(destino);
        QFile::copy(m_pdf, destino);
    }

    QTemporaryDir m_carpeta;
    QString m_prefijo, m_carga, m_documento, m_pdf;
};

TEST_P(ImpresionCompleta, CadaCodigoSeLeeExactoEnLaPaginaQueDice) {
    const auto generada = generar(false);
    ASSERT_TRUE(generada.ok()) << generada.mensaje().toStdString();
    EXPECT_TRUE(generada.valor().avisos.isEmpty()) << generada.valor().avisos.toStdString();
    const QVector<CodigoEsperado> esperados = codigosEsperadosImpresion(m_prefijo, m_carga, 40);
    ASSERT_EQ(generada.valor().codigos.size(), esperados.size());
    for (qsizetype i = 0; i < esperados.size(); ++i) {
        EXPECT_EQ(generada.valor().codigos[i].pagina, esperados[i].pagina) << i;
        EXPECT_EQ(generada.valor().codigos[i].texto, esperados[i].texto) << i;
    }

    // La orden de imprimir entera, con un CUPS de verdad sin impresora: comprueba los códigos a
    // 200 ppp y deja el PDF junto al documento.
    CupsPrivado cups;
    const QString porQue = cups.arrancar(false);
    if (!porQue.isEmpty()) GTEST_SKIP() << porQue.toStdString();
    const auto impresion = imprimirDocumento(m_documento, esperados);
    ASSERT_TRUE(impresion.ok()) << impresion.mensaje().toStdString();
    EXPECT_FALSE(impresion.valor().enviada);
    EXPECT_EQ(impresion.valor().rutaPdf, rutaPdfDe(m_documento));
    m_pdf = impresion.valor().rutaPdf;
    guardarCopia("solicitud");
    const QStringList paginas = textoPaginas(m_pdf);
    ASSERT_EQ(paginas.size(), 9);
    EXPECT_TRUE(paginas[0].contains(kDni));
    EXPECT_TRUE(paginas[0].contains(kFecha + " " + kHora));
    EXPECT_FALSE(paginas.join("").contains("BORRADOR"));
    EXPECT_FALSE(paginas.join("").contains("-&"));  // ninguna marca de texto en el papel

    for (int ppp : {300, 200}) {
        SCOPED_TRACE(ppp);
        const auto leidos = leerCodigosPdf(m_pdf, ppp);
        ASSERT_TRUE(leidos.ok()) << leidos.mensaje().toStdString();
        const Resultado r = compararCodigos(leidos.valor(), esperados);
        EXPECT_TRUE(r.ok()) << r.mensaje().toStdString();
        // El número de página que lleva cada código de plazas es el de la hoja en que está.
        for (const CodigoLeido& c : leidos.valor()) {
            const QString t = Codificacion::desdeWindows1252(c.bytes);
            if (t.mid(33, 1) == "V" || t.mid(33, 1) == "R") {
                EXPECT_EQ(t.mid(34, 3).toInt(), c.pagina);
            }
        }
    }

    // Y lo que hace la oficina con ese papel: el lector la da por completa, con cada código tal
    // como se imprimió (todos los datos del solicitante) y cada plaza en su orden.
    const SalidaLector lector =
        ejecutarLector({"--sin-progreso", "--salida", "lectura", m_pdf}, m_carpeta.path());
    EXPECT_EQ(lector.estado, 0) << lector.salida.toStdString() << lector.errores.toStdString();
    EXPECT_TRUE(lector.salida.contains(
        "12345678Z (cuerpo 00123, grupo A), impresa el 07/12/2026 a las 09:41:07: completa, 75 "
        "Vacantes y 41 Resultas."))
        << lector.salida.toStdString();
    const QJsonObject leida =
        QJsonDocument::fromJson(
            leerBytes(m_carpeta.filePath("lectura/12345678Z_00123A_20261207_094107.json")))
            .object();
    EXPECT_TRUE(leida["completa"].toBool()) << leida["problemas"].toArray().size();
    QStringList textos;
    for (const QJsonValue p : leida["paginas"].toArray()) textos.append(p["texto"].toString());
    QStringList impresos;
    for (const CodigoEsperado& e : esperados)
        impresos.append(Codificacion::desdeWindows1252(bytesCodigo(e.texto)));
    EXPECT_EQ(textos, impresos);
    EXPECT_EQ(leida["solicitante"]["cuerpo"].toString(), "123");
    EXPECT_EQ(leida["solicitante"]["primerApellido"].toString(), "Núñez de Arce y Peñalver-Ibáñez");
    for (const auto& [lista, tabla] : {std::pair{"vacantes", G().rsVacantesSolicitadas},
                                       std::pair{"resultas", G().rsResultasSolicitadas}}) {
        QVector<std::pair<qint64, QString>> leidas, impresas;
        for (const QJsonValue p : leida[lista].toArray())
            leidas.append({p["orden"].toInteger(), p["codigo"].toString()});
        for (const PlazaPlan& p : plazasDe(tabla))
            impresas.append({p.orden, p.codConvocatoria.trimmed()});
        EXPECT_EQ(leidas, impresas) << lista;
    }
}

TEST_P(ImpresionCompleta, ElBorradorDiceBorradorYNoLlevaCodigos) {
    const auto generada = generar(true);
    ASSERT_TRUE(generada.ok()) << generada.mensaje().toStdString();
    EXPECT_TRUE(generada.valor().codigos.isEmpty());
    // Las imágenes se hacen y se borran: no queda ninguna en la carpeta.
    EXPECT_TRUE(QDir(G().RutaTemporal).entryList({"*.bmp"}).isEmpty());

    const Resultado conv = convertirAPdf(m_documento, m_pdf);
    ASSERT_TRUE(conv.ok()) << conv.mensaje().toStdString();
    guardarCopia("borrador");
    const QStringList paginas = textoPaginas(m_pdf);
    // Sin imágenes, las hojas son las mismas que las de la impresión de verdad.
    ASSERT_EQ(paginas.size(), 9);
    EXPECT_TRUE(paginas[0].contains("BORRADOR"));
    EXPECT_EQ(imagenesDelPdf(m_pdf), 0);
    const auto leidos = leerCodigosPdf(m_pdf, 200);
    ASSERT_TRUE(leidos.ok());
    EXPECT_TRUE(leidos.valor().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Variantes, ImpresionCompleta,
                         ::testing::Values(VarianteGenerador::XP, VarianteGenerador::W97),
                         [](const auto& info) {
                             return info.param == VarianteGenerador::XP ? std::string("XP")
                                                                        : std::string("W97");
                         });

}  // namespace
