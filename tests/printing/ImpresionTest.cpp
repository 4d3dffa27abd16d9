#include "../apoyo/CupsPrivado.h"
#include "../apoyo/Ficheros.h"
#include "DatosCodigos.h"
#include "DocxPrueba.h"
#include "global/Globales.h"
#include "printing/CodigoBarras.h"
#include "printing/DocumentoWord.h"
#include "printing/Impresion.h"
#include "printing/LecturaCodigos.h"
#include "printing/ProcesosExternos.h"
#include "printing/SimboloPdf417.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <memory>
#include <optional>

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

// Con los códigos bien leídos, la solicitud va a la impresora predeterminada de un CUPS de
// verdad y llega con ellos.
TEST_F(ImpresionPdf, ConSusCodigosLegiblesLaSolicitudVaALaImpresora) {
    CupsPrivado cups;
    const QString porQue = cups.arrancar();
    if (!porQue.isEmpty()) GTEST_SKIP() << porQue.toStdString();
    const auto r = imprimirDocumento(s_documento, s_esperados);
    ASSERT_TRUE(r.ok()) << r.mensaje().toStdString();
    EXPECT_TRUE(r.valor().enviada) << r.valor().detalle.toStdString();
    EXPECT_FALSE(QFile::exists(rutaPdfDe(s_documento)));
    const QString pdf = cups.esperarPdf(60000);
    ASSERT_FALSE(pdf.isEmpty()) << cups.errores().toStdString();
    const auto leidos = leerCodigosPdf(pdf, 200);
    ASSERT_TRUE(leidos.ok()) << leidos.mensaje().toStdString();
    const Resultado comparacion = compararCodigos(leidos.valor(), s_esperados);
    EXPECT_TRUE(comparacion.ok()) << comparacion.mensaje().toStdString();
}

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

// La entrega a la cola con LibreOffice y un CUPS de verdad, arrancado por la prueba: un documento
// de una página sin códigos.
class ColaImpresion : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_carpeta.isValid());
        m_documento = m_carpeta.filePath("12345678Z00123A.doc");
        ASSERT_TRUE(escribirDocxPrueba(m_documento, {{QStringLiteral("Sin códigos"), {}}}));
    }
    void TearDown() override { programasExternos() = ProgramasExternos(); }

    QTemporaryDir m_carpeta;
    QString m_documento;
};

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

    programasExternos().soffice = m_carpeta.filePath("no-hay-soffice");
    r = convertirAPdf(m_documento, pdf);
    ASSERT_FALSE(r.ok());
    EXPECT_TRUE(r.mensaje().contains("No se puede ejecutar")) << r.mensaje().toStdString();
    EXPECT_FALSE(QFile::exists(pdf));
}

TEST_F(ColaImpresion, SinImpresoraElPdfSeQuedaJuntoALaSolicitud) {
    CupsPrivado cups;
    const QString porQue = cups.arrancar(false);
    if (!porQue.isEmpty()) GTEST_SKIP() << porQue.toStdString();
    const QString junto = rutaPdfDe(m_documento);
    EXPECT_EQ(junto, m_carpeta.filePath("12345678Z00123A.pdf"));
    const auto r = imprimirDocumento(m_documento, {});
    ASSERT_TRUE(r.ok()) << r.mensaje().toStdString();
    EXPECT_FALSE(r.valor().enviada);
    EXPECT_EQ(r.valor().rutaPdf, junto);
    EXPECT_TRUE(QFile::exists(junto));
    EXPECT_TRUE(r.valor().detalle.contains("No default destination"))
        << r.valor().detalle.toStdString();
    // El mensaje dice la causa en castellano; las palabras de lp van a la traza, tras lo que ya
    // tuviera.
    EXPECT_EQ(r.valor().causa, "no hay ninguna impresora predeterminada");
    const QString traza = m_carpeta.filePath("traza.txt");
    escribirBytes(traza, "<Plazas>anterior</Plazas>\r\n");
    ASSERT_TRUE(anotarSinImpresora(r.valor(), traza).ok());
    const QString anotado = QString::fromUtf8(leerBytes(traza));
    EXPECT_TRUE(anotado.startsWith("<Plazas>anterior</Plazas>\r\n")) << anotado.toStdString();
    EXPECT_TRUE(anotado.contains(r.valor().detalle)) << anotado.toStdString();
    EXPECT_TRUE(anotado.contains(junto));
    const QString mensaje = mensajeSinImpresora(r.valor(), traza);
    EXPECT_TRUE(mensaje.contains(junto));
    EXPECT_TRUE(mensaje.contains("no hay ninguna impresora predeterminada"));
    EXPECT_TRUE(mensaje.contains(traza));
    EXPECT_FALSE(mensaje.contains("default", Qt::CaseInsensitive)) << mensaje.toStdString();
    EXPECT_FALSE(mensaje.contains("lp:")) << mensaje.toStdString();
}

// Lo que lp dice en inglés al no aceptar un trabajo, con su causa en castellano.
TEST(CausaSinImpresora, LoQueDiceLpEnCastellano) {
    const struct {
        const char* dice;
        const char* causa;
    } casos[] = {
        {"/usr/bin/lp: Error - No default destination.", "no hay ninguna impresora predeterminada"},
        {"lp: No default destination", "no hay ninguna impresora predeterminada"},
        {"lp: Error - The printer or class does not exist.",
         "la impresora predeterminada no existe"},
        {"lp: Error - Destination \"Oficina\" is not accepting jobs.",
         "la impresora predeterminada no admite trabajos ahora"},
        {"lp: Error - Unable to connect to server",
         "no se puede conectar con el servicio de impresión"},
        {"lp: Error - scheduler is not running", "el servicio de impresión no está en marcha"},
        {"lp: Error - Forbidden", "el servicio de impresión no le permite imprimir"},
        {"lp: something else entirely", "el servicio de impresión no ha aceptado el trabajo"},
        {"", "no hay ninguna impresora predeterminada"},
    };
    for (const auto& c : casos)
        EXPECT_EQ(causaSinImpresora(QString::fromUtf8(c.dice)), QString::fromUtf8(c.causa))
            << c.dice;
}

TEST_F(ColaImpresion, ConImpresoraSeMandaElPdfALaCola) {
    CupsPrivado cups;
    const QString porQue = cups.arrancar();
    if (!porQue.isEmpty()) GTEST_SKIP() << porQue.toStdString();
    const auto r = imprimirDocumento(m_documento, {});
    ASSERT_TRUE(r.ok()) << r.mensaje().toStdString();
    EXPECT_TRUE(r.valor().enviada) << r.valor().detalle.toStdString();
    EXPECT_FALSE(QFile::exists(rutaPdfDe(m_documento)));
    const QString pdf = cups.esperarPdf(60000);
    ASSERT_FALSE(pdf.isEmpty()) << cups.errores().toStdString();
    // cups-pdf la vuelve a componer (sin texto que extraer): llega la página del documento.
    const auto info = lanzarProceso("pdfinfo", {pdf}, 30000, "leer el PDF");
    ASSERT_TRUE(info.ok());
    EXPECT_TRUE(info.valor().salida.contains(QRegularExpression("Pages:\\s+1\\n")))
        << info.valor().salida.toStdString();
}

TEST_F(ColaImpresion, UnCodigoQueNoSeLeeBienNoLlegaALaImpresora) {
    CupsPrivado cups;
    const QString porQue = cups.arrancar();
    if (!porQue.isEmpty()) GTEST_SKIP() << porQue.toStdString();
    const auto r = imprimirDocumento(m_documento, {{1, "12345678Z00123A07/12/202609:41:07P001F"}});
    ASSERT_FALSE(r.ok());
    EXPECT_TRUE(r.mensaje().contains("página 1 no se puede leer")) << r.mensaje().toStdString();
    EXPECT_TRUE(r.mensaje().contains("No se imprime")) << r.mensaje().toStdString();
    EXPECT_TRUE(cups.esperarPdf(3000).isEmpty());
    EXPECT_FALSE(QFile::exists(rutaPdfDe(m_documento)));
}

// Un PDF de once páginas se lee por tandas: cada página una vez, en orden, contadas; y se para en
// cuanto se pide, sin leer ni una página más.
TEST_F(ColaImpresion, LasPaginasSeLeenPorTandasYSePuedenCancelar) {
    QVector<PaginaPrueba> paginas;
    for (int i = 1; i <= 11; ++i) paginas.append({QStringLiteral("Página %1").arg(i), {}});
    const QString documento = m_carpeta.filePath("once.doc");
    ASSERT_TRUE(escribirDocxPrueba(documento, paginas));
    const QString pdf = m_carpeta.filePath("once.pdf");
    ASSERT_TRUE(convertirAPdf(documento, pdf).ok());
    for (const int pararEn : {0, 3}) {
        SCOPED_TRACE(pararEn);
        AvanceTrabajo avance;
        QVector<int> vistas;
        const Resultado r = recorrerPaginasPdf(
            pdf, 20,
            [&](int pagina, const QImage& imagen) {
                EXPECT_FALSE(imagen.isNull());
                vistas.append(pagina);
                if (pagina == pararEn) avance.cancelar = true;
            },
            &avance);
        EXPECT_EQ(avance.total, 11);
        EXPECT_EQ(avance.hechas, vistas.size());
        QVector<int> esperadas;
        for (int i = 1; i <= (pararEn ? pararEn : 11); ++i) esperadas.append(i);
        EXPECT_EQ(vistas, esperadas);
        EXPECT_EQ(r.ok(), pararEn == 0) << r.mensaje().toStdString();
        if (pararEn) {
            EXPECT_EQ(r.numero(), Errores::Cancelado);
        }
    }
}

// Una impresión cancelada antes de llegar a la cola no manda nada ni deja ningún PDF.
TEST_F(ColaImpresion, UnaImpresionCanceladaNoMandaNada) {
    CupsPrivado cups;
    const QString porQue = cups.arrancar();
    if (!porQue.isEmpty()) GTEST_SKIP() << porQue.toStdString();
    AvanceTrabajo avance;
    avance.cancelar = true;
    const auto r = imprimirDocumento(m_documento, {}, &avance);
    ASSERT_FALSE(r.ok());
    EXPECT_EQ(r.numero(), Errores::Cancelado);
    EXPECT_EQ(r.mensaje(), "Se ha cancelado la impresión: no se ha enviado nada a la impresora.");
    EXPECT_EQ(avance.fase, Convirtiendo);
    EXPECT_FALSE(QFile::exists(rutaPdfDe(m_documento)));
    EXPECT_TRUE(cups.esperarPdf(3000).isEmpty());
}

// Una impresión cortada (el programa muere mientras comprueba las páginas) no deja un PDF sin
// comprobar con el nombre del que se queda junto a la solicitud cuando no hay impresora: solo un
// fichero aparte con el nombre de la solicitud, de los que borra la limpieza al arrancar.
TEST_F(ColaImpresion, UnaImpresionCortadaSoloDejaUnPdfAparte) {
    const QString cortar = m_carpeta.filePath("pdftoppm-que-mata");
    escribirBytes(cortar, "#!/bin/sh\nkill -9 $PPID\n");
    QFile::setPermissions(cortar, QFile::permissions(cortar) | QFileDevice::ExeOwner);
    programasExternos().pdftoppm = cortar;
    EXPECT_EXIT(imprimirDocumento(m_documento, {}), ::testing::KilledBySignal(SIGKILL), "");
    EXPECT_FALSE(QFile::exists(rutaPdfDe(m_documento)));
    const QStringList apartes =
        QDir(m_carpeta.path())
            .entryList({".12345678Z00123A.pdf.*.aparte"}, QDir::Files | QDir::Hidden);
    ASSERT_EQ(apartes.size(), 1);
    EXPECT_TRUE(leerBytes(m_carpeta.filePath(apartes[0])).startsWith("%PDF"));
}

// Un `lp` que no termina por sí mismo (se cuelga y se le para, o lo mata otro) puede haber dejado
// ya la solicitud en la cola: el mensaje lo dice, para que no se imprima dos veces el PDF que se
// queda. Uno que sale diciendo que no la acepta, no.
TEST_F(ColaImpresion, UnLpQueNoTerminaPuedeHaberDejadoLaSolicitudEnLaCola) {
    // Una conversión de verdad; las demás copian su PDF.
    const QString convertido = m_carpeta.filePath("convertido.pdf");
    ASSERT_TRUE(convertirAPdf(m_documento, convertido).ok());
    const auto guion = [this](const QString& nombre, const QByteArray& cuerpo) {
        const QString ruta = m_carpeta.filePath(nombre);
        escribirBytes(ruta, "#!/bin/sh\n" + cuerpo + "\n");
        QFile::setPermissions(ruta, QFile::permissions(ruta) | QFileDevice::ExeOwner);
        return ruta;
    };
    programasExternos().soffice =
        guion("soffice",
              "while [ $# -gt 1 ]; do [ \"$1\" = --outdir ] && d=\"$2\"; shift; done\n"
              "b=$(basename \"$1\"); cp " +
                  QFile::encodeName(convertido) + " \"$d/${b%.*}.pdf\"");
    programasExternos().msCola = 300;
    const struct {
        const char* caso;
        QByteArray lp;
        bool quiza;
        const char* porQue;
    } casos[] = {
        {"colgado", "exec sleep 600", true,
         "no ha terminado en 0 segundos al enviar la "
         "solicitud a la impresora): puede que"},
        {"matado", "kill -9 $$", true, "terminó sin llegar a decirlo): puede que"},
        {"no la acepta", "echo 'lp: Error - No default destination.' >&2; exit 1", false,
         "impresora: no hay ninguna impresora predeterminada."},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.caso);
        programasExternos().lp = guion("lp", c.lp);
        const auto r = imprimirDocumento(m_documento, {});
        ASSERT_TRUE(r.ok()) << r.mensaje().toStdString();
        EXPECT_FALSE(r.valor().enviada);
        EXPECT_EQ(r.valor().quizaEnCola, c.quiza);
        EXPECT_TRUE(QFile::exists(r.valor().rutaPdf));
        const QString texto = mensajeSinImpresora(r.valor());
        EXPECT_TRUE(texto.contains(r.valor().rutaPdf)) << texto.toStdString();
        EXPECT_EQ(texto.contains("puede que ya esté en su cola y se imprima. Antes de imprimirla "
                                 "otra vez, mire si sale, para no imprimirla dos veces."),
                  c.quiza)
            << texto.toStdString();
        EXPECT_EQ(texto.contains("ábralo e imprímalo desde allí"), !c.quiza) << texto.toStdString();
        EXPECT_TRUE(texto.contains(c.porQue)) << texto.toStdString();
    }
}

// Cancelar cuando ya se han comprobado todas las páginas y antes de entregarla a la cola: tampoco
// sale nada por la impresora ni queda ningún PDF.
TEST_F(ColaImpresion, CancelarTrasComprobarTodasLasPaginasNoMandaNada) {
    CupsPrivado cups;
    const QString porQue = cups.arrancar();
    if (!porQue.isEmpty()) GTEST_SKIP() << porQue.toStdString();
    AvanceTrabajo avance;
    int comprobadas = -1;
    ponerGanchoAntesDeEnviar([&] {
        comprobadas = avance.hechas;
        avance.cancelar = true;
    });
    const auto r = imprimirDocumento(m_documento, {}, &avance);
    ponerGanchoAntesDeEnviar({});
    ASSERT_FALSE(r.ok());
    EXPECT_EQ(r.numero(), Errores::Cancelado);
    EXPECT_EQ(r.mensaje(), "Se ha cancelado la impresión: no se ha enviado nada a la impresora.");
    EXPECT_EQ(comprobadas, 1);
    EXPECT_EQ(avance.total, 1);
    EXPECT_NE(avance.fase, Enviando);
    EXPECT_FALSE(QFile::exists(rutaPdfDe(m_documento)));
    EXPECT_TRUE(
        QDir(m_carpeta.path()).entryList({"*.aparte"}, QDir::Files | QDir::Hidden).isEmpty());
    EXPECT_TRUE(cups.esperarPdf(5000).isEmpty());
}

// El manual va al programa que el escritorio asocia a su tipo (el PDF si lo hay); sin ninguno, o
// si el abridor no arranca o termina con error (el visor no puede abrirse), un mensaje que dice
// dónde está el manual.
TEST_F(ColaImpresion, ElManualSeEntregaAlEscritorioOSeDiceQueNoSePuede) {
    const QString abierto = m_carpeta.filePath("abierto.txt");
    const auto guion = [this](const QString& nombre, const QByteArray& cuerpo) {
        const QString ruta = m_carpeta.filePath(nombre);
        escribirBytes(ruta, "#!/bin/sh\n" + cuerpo + "\n");
        QFile::setPermissions(ruta, QFile::permissions(ruta) | QFileDevice::ExeOwner);
        return ruta;
    };
    const QString abre = guion("xdg-open", "printf '%s' \"$1\" > " + abierto.toUtf8());
    // Como xdg-open sin escritorio conocido cuando el visor asociado no arranca.
    const QString falla = guion("xdg-open-falla", "echo 'no se encuentra el visor' >&2; exit 4");
    const QString muere = guion("xdg-open-muere", "kill -KILL $$");
    const QString conVisor =
        guion("con-visor", "[ \"$3\" = application/pdf ] && echo visor.desktop");
    const QString sinVisor = guion("sin-visor", "exit 0");
    const QString doc = m_carpeta.filePath("Manual de Usuario.doc");
    const QString pdf = m_carpeta.filePath("Manual de Usuario.pdf");
    struct Caso {
        const char* nombre;
        QString xdgMime;
        QString xdgOpen;
        bool conPdf;
        QString abre;      // vacío: no se abre nada
        const char* dice;  // parte del mensaje cuando falla
        bool despues;      // el fallo llega cuando termina el abridor, no al pedirlo
    };
    const Caso casos[] = {
        {"el PDF, con visor", conVisor, abre, true, pdf, "", false},
        // Un .doc sin programa asociado (el LibreOffice sin ventanas no se asocia a ninguno).
        {"solo el documento, sin programa", conVisor, abre, false, "", "ningún programa para abrir",
         false},
        {"el PDF, sin visor", sinVisor, abre, true, "", "ningún programa para abrir", false},
        {"sin xdg-utils", m_carpeta.filePath("no-hay-xdg-mime"), abre, true, "", "ningún programa",
         false},
        {"sin xdg-open", conVisor, m_carpeta.filePath("no-hay-xdg-open"), true, "",
         "no se puede ejecutar", false},
        {"el visor no arranca", conVisor, falla, true, "", "ha fallado", true},
        {"el abridor se muere", conVisor, muere, true, "", "ha fallado", true},
    };
    QFile::copy(m_documento, doc);
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nombre);
        QFile::remove(abierto);
        QFile::remove(pdf);
        if (c.conPdf) escribirBytes(pdf, "%PDF-1.4\n");
        programasExternos().xdgMime = c.xdgMime;
        programasExternos().xdgOpen = c.xdgOpen;
        QObject dueno;
        QEventLoop bucle;
        std::optional<Resultado> tarde;
        Resultado r = AbrirManual(doc, dueno, [&](const Resultado& fallo) {
            tarde = fallo;
            bucle.quit();
        });
        EXPECT_EQ(r.ok(), !c.abre.isEmpty() || c.despues) << r.mensaje().toStdString();
        if (c.despues) {
            // Se espera a que termine el abridor (con un tope, por si no termina).
            QTimer::singleShot(10000, &bucle, &QEventLoop::quit);
            bucle.exec();
            ASSERT_TRUE(tarde.has_value());
            r = *tarde;
        }
        if (c.abre.isEmpty()) {
            EXPECT_TRUE(r.mensaje().contains(QString::fromUtf8(c.dice)))
                << r.mensaje().toStdString();
            // Dice dónde está el manual, para abrirlo a mano.
            EXPECT_TRUE(r.mensaje().contains(c.conPdf ? pdf : doc)) << r.mensaje().toStdString();
            EXPECT_FALSE(QFile::exists(abierto));
            continue;
        }
        // El abridor crea el fichero antes de escribir en él: se espera a lo escrito.
        for (int i = 0; i < 500 && leerBytes(abierto).isEmpty(); ++i) QThread::msleep(20);
        EXPECT_EQ(QString::fromUtf8(leerBytes(abierto)), c.abre);
    }
    programasExternos() = ProgramasExternos();
    QFile::remove(doc);
    QFile::remove(pdf);
    QObject dueno;
    EXPECT_FALSE(AbrirManual(doc, dueno, {}).ok());
}

}  // namespace
