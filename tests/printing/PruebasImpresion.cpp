#include "../apoyo/Ficheros.h"
#include "DatosCodigos.h"
#include "DocxPrueba.h"
#include "printing/CodigoBarras.h"
#include "printing/DocumentoWord.h"
#include "printing/Impresion.h"
#include "printing/LecturaCodigos.h"
#include "printing/ProcesosExternos.h"
#include "printing/SimboloPdf417.h"
#include "startup/Globales.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QTemporaryDir>
#include <memory>

namespace {

// Una conversión real con LibreOffice de un documento con los tres tipos de código.
class ImpresionPdf : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_carpeta = std::make_unique<QTemporaryDir>();
        ASSERT_TRUE(s_carpeta->isValid());
        reiniciarGlobales();
        G().RutaTemporal = s_carpeta->path() + "/";
        const QString p = DatosCodigos::prefijo();
        s_esperados = {
            {1, textoCodigoSolicitante(p, DatosCodigos::cargaSolicitante())},
            {2, textoCodigoPagina(p, "V", 2, DatosCodigos::entradas(1, 40, true))},
            {3, textoCodigoPagina(p, "R", 3, DatosCodigos::entradas(1, 1))},
        };
        const int altos[] = {TamanoCodigo::AltoSolicitante, TamanoCodigo::AltoPagina,
                             TamanoCodigo::AltoPagina};
        QVector<PaginaPrueba> paginas;
        for (int i = 0; i < 3; ++i) {
            int alto = altos[i];
            const auto base = GenerarCodigoBarras(s_esperados[i].texto, 6000, alto);
            ASSERT_TRUE(base.ok()) << base.mensaje().toStdString();
            // Cada bitmap se guarda con su nombre: dos del mismo segundo comparten ruta base.
            const QString bmp = s_carpeta->filePath(QStringLiteral("c%1.bmp").arg(i));
            ASSERT_TRUE(QFile::rename(base.valor() + ".bmp", bmp));
            paginas.append({QStringLiteral("Página %1 de la solicitud de prueba").arg(i + 1),
                            {{bmp, QSize(6000, alto)}}});
        }
        s_documento = s_carpeta->filePath("12345678Z00123A.doc");
        ASSERT_TRUE(escribirDocxPrueba(s_documento, paginas));
        s_pdf = s_carpeta->filePath("convertido.pdf");
        const Resultado r = convertirAPdf(s_documento, s_pdf);
        ASSERT_TRUE(r.ok()) << r.mensaje().toStdString();
    }
    static void TearDownTestSuite() {
        s_carpeta.reset();
        reiniciarGlobales();
    }
    void SetUp() override { ASSERT_TRUE(QFile::exists(s_pdf)); }

    static std::unique_ptr<QTemporaryDir> s_carpeta;
    static QVector<CodigoEsperado> s_esperados;
    static QString s_documento, s_pdf;
};
std::unique_ptr<QTemporaryDir> ImpresionPdf::s_carpeta;
QVector<CodigoEsperado> ImpresionPdf::s_esperados;
QString ImpresionPdf::s_documento, ImpresionPdf::s_pdf;

TEST_F(ImpresionPdf, CadaCodigoSeLeeExactoEnSuPaginaA300Y200Ppp) {
    for (int ppp : {300, 200}) {
        SCOPED_TRACE(ppp);
        const auto leidos = leerCodigosPdf(s_pdf, ppp);
        ASSERT_TRUE(leidos.ok()) << leidos.mensaje().toStdString();
        ASSERT_EQ(leidos.valor().size(), 3);
        const Resultado r = compararCodigos(leidos.valor(), s_esperados);
        EXPECT_TRUE(r.ok()) << r.mensaje().toStdString();
        // Las tildes de la carga llegan como sus parejas, byte a byte.
        EXPECT_TRUE(leidos.valor()[0].bytes.contains("N&u&nez"));
        // Impreso al tamaño de su hueco: el módulo en el papel es el del diseño.
        for (const CodigoLeido& c : leidos.valor()) {
            const auto d = disenarPdf417(c.bytes, 6000, c.pagina == 1 ? 2600 : 1170);
            ASSERT_TRUE(d.ok());
            const double moduloMm = c.anchoPixeles / d.valor().anchoSimbolo * 25.4 / c.ppp;
            EXPECT_NEAR(moduloMm, d.valor().moduloMm, 0.03) << "página " << c.pagina;
            EXPECT_GE(moduloMm, 0.25);
        }
    }
}

// Con los códigos bien leídos la solicitud va a la cola; la conversión es la ya hecha, entregada
// por un soffice de guion.
TEST_F(ImpresionPdf, ConSusCodigosLegiblesLaSolicitudVaALaImpresora) {
    QTemporaryDir guiones;
    ASSERT_TRUE(guiones.isValid());
    const auto guion = [&](const QString& nombre, const QString& cuerpo) {
        QFile f(guiones.filePath(nombre));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(("#!/bin/sh\n" + cuerpo + "\n").toUtf8());
        f.setPermissions(f.permissions() | QFileDevice::ExeOwner);
        return f.fileName();
    };
    programasExternos().soffice =
        guion("soffice", QStringLiteral("while [ $# -gt 1 ]; do [ \"$1\" = --outdir ] && "
                                        "out=\"$2\"; shift; done\nb=$(basename \"$1\")\n"
                                        "cp '%1' \"$out/${b%.*}.pdf\"")
                             .arg(s_pdf));
    const QString registro = guiones.filePath("cola.txt");
    programasExternos().lp = guion("lp", QStringLiteral("echo \"$2\" > '%1'").arg(registro));
    const auto r = imprimirDocumento(s_documento, s_esperados);
    programasExternos() = ProgramasExternos();
    ASSERT_TRUE(r.ok()) << r.mensaje().toStdString();
    EXPECT_TRUE(r.valor().enviada);
    EXPECT_TRUE(QFile::exists(registro));
}

// Los códigos puestos por el motor de documentos (que guarda la imagen a su manera) se leen igual.
TEST(ImpresionMotor, LosCodigosQueInsertaElMotorSeLeenExactos) {
    QTemporaryDir carpeta;
    ASSERT_TRUE(carpeta.isValid());
    reiniciarGlobales();
    G().RutaTemporal = carpeta.path() + "/";
    const QString base = carpeta.filePath("base.docx");
    ASSERT_TRUE(escribirDocxPrueba(base, {{"Primera hoja", {}}, {"Segunda hoja", {}}}));
    auto doc = DocumentoWord::nuevoDesdePlantilla(base);
    ASSERT_TRUE(doc.ok()) << doc.mensaje().toStdString();
    const QString p = DatosCodigos::prefijo();
    const QVector<CodigoEsperado> esperados = {
        {1, textoCodigoSolicitante(p, DatosCodigos::cargaSolicitante())},
        {2, textoCodigoPagina(p, "R", 2, DatosCodigos::entradas(1, 40, true))}};
    const char* marcas[] = {"Primera hoja", "Segunda hoja"};
    for (int i = 0; i < 2; ++i) {
        int alto = i == 0 ? TamanoCodigo::AltoSolicitante : TamanoCodigo::AltoPagina;
        const auto bmp = GenerarCodigoBarras(esperados[i].texto, TamanoCodigo::AnchoPagina, alto);
        ASSERT_TRUE(bmp.ok());
        auto punto = doc.valor().delanteDeTexto(marcas[i]);
        ASSERT_TRUE(punto.ok()) << punto.mensaje().toStdString();
        ASSERT_TRUE(
            punto.valor().imagen(bmp.valor() + ".bmp", TamanoCodigo::AnchoPagina, alto).ok());
        QFile::remove(bmp.valor() + ".bmp");
    }
    const QString ruta = carpeta.filePath("12345678Z00123A.doc");
    ASSERT_TRUE(doc.valor().guardarComo(ruta).ok());
    const QString pdf = carpeta.filePath("s.pdf");
    const Resultado conv = convertirAPdf(ruta, pdf);
    ASSERT_TRUE(conv.ok()) << conv.mensaje().toStdString();
    const auto leidos = leerCodigosPdf(pdf, 200);
    ASSERT_TRUE(leidos.ok());
    const Resultado r = compararCodigos(leidos.valor(), esperados);
    EXPECT_TRUE(r.ok()) << r.mensaje().toStdString();
    reiniciarGlobales();
}

// PDF de una página A4 en blanco, con su tabla de referencias bien calculada.
QByteArray pdfEnBlanco() {
    const QByteArray objetos[] = {
        "<< /Type /Catalog /Pages 2 0 R >>", "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] /Resources << >> >>"};
    QByteArray pdf = "%PDF-1.4\n";
    QByteArray tabla = "xref\n0 4\n0000000000 65535 f \n";
    for (int i = 0; i < 3; ++i) {
        tabla += QByteArray::number(pdf.size()).rightJustified(10, '0') + " 00000 n \n";
        pdf += QByteArray::number(i + 1) + " 0 obj\n" + objetos[i] + "\nendobj\n";
    }
    const QByteArray inicio = QByteArray::number(pdf.size());
    return pdf + tabla + "trailer\n<< /Size 4 /Root 1 0 R >>\nstartxref\n" + inicio + "\n%%EOF\n";
}

// La cola de impresión y los fallos de conversión se prueban con programas de guion: un soffice
// que entrega un PDF hecho aquí (una página sin códigos) y un lp que dice lo que se le pida.
class ColaImpresion : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_carpeta.isValid());
        m_documento = m_carpeta.filePath("12345678Z00123A.doc");
        ASSERT_NO_FATAL_FAILURE(escribirBytes(m_documento, "documento"));
        m_pdf = m_carpeta.filePath("hecho.pdf");
        escribirBytes(m_pdf, pdfEnBlanco());
    }
    void TearDown() override { programasExternos() = ProgramasExternos(); }

    // Escribe un guion de shell ejecutable y devuelve su ruta.
    QString guion(const QString& nombre, const QString& cuerpo) {
        const QString ruta = m_carpeta.filePath(nombre);
        QFile f(ruta);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(("#!/bin/sh\n" + cuerpo + "\n").toUtf8());
        f.close();
        f.setPermissions(f.permissions() | QFileDevice::ExeOwner);
        return ruta;
    }
    // soffice que deja en --outdir el PDF hecho, con el nombre del documento.
    QString sofficeDeGuion() {
        return guion(
            "soffice",
            QStringLiteral("while [ $# -gt 1 ]; do [ \"$1\" = --outdir ] && out=\"$2\"; "
                           "shift; done\nb=$(basename \"$1\")\ncp '%1' \"$out/${b%.*}.pdf\"")
                .arg(m_pdf));
    }

    QTemporaryDir m_carpeta;
    QString m_documento, m_pdf;
};

TEST(CompararCodigos, DiceQuePaginaYQueCodigoFallan) {
    const QVector<CodigoLeido> leidos = {{1, bytesCodigo("AÑO 1")}, {3, bytesCodigo("tres")}};
    struct Caso {
        QVector<CodigoEsperado> esperados;
        const char* mensaje;  // nullptr: debe ir bien
    };
    const Caso casos[] = {
        {{{1, "AÑO 1"}, {3, "tres"}}, nullptr},
        {{{3, "tres"}, {1, "AÑO 1"}}, nullptr},
        {{{1, "AÑO 1"}, {3, "tres"}, {4, "cuatro"}}, "página 4 no se puede leer"},
        {{{1, "AÑO 2"}, {3, "tres"}}, "se esperaba \"A&NO 2\" y se ha leído \"A&NO 1\""},
        {{{1, "AÑO 1"}}, "La página 3 tiene un código de barras que no le corresponde"},
        {{{1, "AÑO 1"}, {2, "tres"}}, "página 2 no se puede leer"},
        {{{1, "AÑO 1"}, {1, "AÑO 1"}, {3, "tres"}}, "página 1 no se puede leer"},
    };
    for (const Caso& c : casos) {
        const Resultado r = compararCodigos(leidos, c.esperados);
        if (!c.mensaje) {
            EXPECT_TRUE(r.ok()) << r.mensaje().toStdString();
            continue;
        }
        ASSERT_FALSE(r.ok()) << c.mensaje;
        EXPECT_TRUE(r.mensaje().contains(QString::fromUtf8(c.mensaje)))
            << r.mensaje().toStdString();
    }
}

TEST_F(ColaImpresion, UnaConversionFallidaEsUnErrorConMensaje) {
    const QString pdf = m_carpeta.filePath("sale.pdf");
    Resultado r = convertirAPdf(m_carpeta.filePath("no-existe.doc"), pdf);
    ASSERT_FALSE(r.ok());
    EXPECT_TRUE(r.mensaje().contains("No se encuentra el documento"));

    // Un documento que no lo es: LibreOffice no lo carga.
    const QString roto = m_carpeta.filePath("roto.doc");
    ASSERT_NO_FATAL_FAILURE(
        escribirBytes(roto, QByteArray("PK\x03\x04", 4) + QByteArray(64, '\0')));
    // LibreOffice de verdad sale con 0 sin haber escrito nada.
    r = convertirAPdf(roto, pdf);
    ASSERT_FALSE(r.ok());
    EXPECT_TRUE(r.mensaje().contains("No se ha podido convertir el documento"))
        << r.mensaje().toStdString();
    EXPECT_FALSE(QFile::exists(pdf));

    programasExternos().soffice = guion("soffice", "echo 'Error: source file could not be loaded'");
    r = convertirAPdf(m_documento, pdf);
    ASSERT_FALSE(r.ok());
    EXPECT_TRUE(r.mensaje().contains("No se ha podido convertir el documento"))
        << r.mensaje().toStdString();
    EXPECT_TRUE(r.mensaje().contains("could not be loaded"));
    EXPECT_FALSE(QFile::exists(pdf));

    programasExternos().soffice = m_carpeta.filePath("no-hay-soffice");
    r = convertirAPdf(m_documento, pdf);
    ASSERT_FALSE(r.ok());
    EXPECT_TRUE(r.mensaje().contains("No se puede ejecutar")) << r.mensaje().toStdString();
    EXPECT_FALSE(QFile::exists(pdf));
}

TEST_F(ColaImpresion, SinImpresoraElPdfSeQuedaJuntoALaSolicitud) {
    programasExternos().soffice = sofficeDeGuion();
    programasExternos().lp = guion("lp", "echo 'lp: Error - No default destination.' >&2; exit 1");
    const QString junto = rutaPdfDe(m_documento);
    EXPECT_EQ(junto, m_carpeta.filePath("12345678Z00123A.pdf"));
    const auto r = imprimirDocumento(m_documento, {});
    ASSERT_TRUE(r.ok()) << r.mensaje().toStdString();
    EXPECT_FALSE(r.valor().enviada);
    EXPECT_EQ(r.valor().rutaPdf, junto);
    EXPECT_TRUE(QFile::exists(junto));
    EXPECT_TRUE(r.valor().detalle.contains("No default destination"));
    EXPECT_TRUE(mensajeSinImpresora(r.valor()).contains(junto));
    QFile::remove(junto);
}

TEST_F(ColaImpresion, ConImpresoraSeMandaElPdfALaCola) {
    const QString registro = m_carpeta.filePath("cola.txt");
    programasExternos().soffice = sofficeDeGuion();
    programasExternos().lp =
        guion("lp", QStringLiteral("for a in \"$@\"; do echo \"$a\" >> '%1'; done; "
                                   "test -s \"$2\" && echo 'request id is PDF-1 (1 file(s))'")
                        .arg(registro));
    const auto r = imprimirDocumento(m_documento, {});
    ASSERT_TRUE(r.ok()) << r.mensaje().toStdString();
    EXPECT_TRUE(r.valor().enviada) << r.valor().detalle.toStdString();
    QFile f(registro);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(f.readAll()), "--\n" + rutaPdfDe(m_documento) + "\n");
    EXPECT_FALSE(QFile::exists(rutaPdfDe(m_documento)));
}

TEST_F(ColaImpresion, UnCodigoQueNoSeLeeBienNoLlegaALaImpresora) {
    const QString registro = m_carpeta.filePath("cola.txt");
    programasExternos().soffice = sofficeDeGuion();
    programasExternos().lp = guion("lp", QStringLiteral("echo \"$@\" > '%1'").arg(registro));
    const auto r = imprimirDocumento(m_documento, {{1, "12345678Z00123A07/12/202609:41:07P001F"}});
    ASSERT_FALSE(r.ok());
    EXPECT_TRUE(r.mensaje().contains("página 1 no se puede leer")) << r.mensaje().toStdString();
    EXPECT_TRUE(r.mensaje().contains("No se imprime")) << r.mensaje().toStdString();
    EXPECT_FALSE(QFile::exists(registro));
    EXPECT_FALSE(QFile::exists(rutaPdfDe(m_documento)));
}

}  // namespace
