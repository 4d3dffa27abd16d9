#include "PlantillaPrueba.h"
#include "PlantillasReales.h"
#include "catalogue/Esquemas.h"
#include "global/Globales.h"
#include "printing/CodigoBarras.h"
#include "printing/GeneradorDocumento.h"
#include "printing/Impresion.h"
#include "printing/PaqueteDocx.h"
#include "printing/ProcesosExternos.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {

class GeneradorDocumento : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString plantillas;
    PeticionDocumento p;

    void SetUp() override {
        reiniciarGlobales();
        G().RutaTemporal = dir.path() + QStringLiteral("/temp/");
        QDir().mkpath(G().RutaTemporal);
        plantillas = construirPlantillasReales(dir.path());
        ASSERT_FALSE(plantillas.isEmpty());
        G().rsCursos = CrearTablaCursos();
        G().rsCursos->anadir();
        G().rsCursos->establecer(QStringLiteral("Curso"), QStringLiteral("Soporte vital"));
        G().rsDocumentos = CrearTablaDocumentos();
        G().rsDocumentos->anadir();
        G().rsDocumentos->establecer(QStringLiteral("Documento"), QStringLiteral("Título"));
        G().rsVacantesSolicitadas = CrearTablaPlazasSolicitadas();
        G().rsResultasSolicitadas = CrearTablaPlazasSolicitadas();
        for (int i = 1; i <= 3; ++i) {
            G().rsVacantesSolicitadas->anadir();
            G().rsVacantesSolicitadas->establecer(QStringLiteral("Orden"), i);
            G().rsVacantesSolicitadas->establecer(QStringLiteral("CodConvocatoria"),
                                                  QString::number(100 + i));
        }
        p.plantilla = plantillas + QStringLiteral("/PlantillaWXP.dot");
        p.rutaDocumento = G().RutaTemporal + QStringLiteral("12345678Z00012A.doc");
        p.rutaImpresion = G().RutaTemporal + QStringLiteral("impresion.doc");
        p.dni = QStringLiteral("12345678Z");
        p.fecha = QStringLiteral("07/12/2026");
        p.hora = QStringLiteral("09:30:00");
        p.prefijo = prefijoCodigoBarras(QStringLiteral("12345678Z00012A"), p.fecha, p.hora);
        p.cargaSolicitante = QStringLiteral("N|GARCÍA|");
        p.camposTexto = {{QStringLiteral("PRIMERAPELLIDO"), QStringLiteral("GARCÍA")},
                         {QStringLiteral("CAMPOQUENOEXISTE"), QStringLiteral("x")},
                         {QStringLiteral("GRUPO"), QStringLiteral("A")},
                         {QStringLiteral("GRUPO1"), QStringLiteral("A")}};
        p.casillas = {{QStringLiteral("FORZOSO"), true}, {QStringLiteral("VOLUNTARIO"), false}};
    }
    DocumentoWord leer(const QString& ruta) {
        return std::move(DocumentoWord::nuevoDesdePlantilla(ruta).valor());
    }
};

TEST_F(GeneradorDocumento, GuardarDejaMarcadoresCamposYCursosSinListasNiCodigos) {
    int avances = 0;
    p.avanzar = [&avances] { ++avances; };
    auto g = generarDocumentoImpresion(p);
    ASSERT_TRUE(g.ok()) << g.mensaje().toStdString();
    // El campo que falta se pasa por alto y se cuenta como aviso.
    EXPECT_TRUE(g.valor().avisos.contains(QStringLiteral("CAMPOQUENOEXISTE")));
    EXPECT_TRUE(g.valor().codigos.isEmpty());
    EXPECT_EQ(avances, 4 + 2 + 1);
    EXPECT_FALSE(QFileInfo::exists(p.rutaImpresion));
    DocumentoWord doc = leer(p.rutaDocumento);
    EXPECT_EQ(doc.textoMarcador(QStringLiteral("DNICAB")).valor(), p.dni);
    EXPECT_EQ(doc.textoMarcador(QStringLiteral("FECHAIMPR")).valor(),
              QStringLiteral("07/12/2026 09:30:00"));
    EXPECT_EQ(doc.textoMarcador(QStringLiteral("BORRADOR")).valor(), QString());
    EXPECT_EQ(doc.campoTexto(QStringLiteral("PRIMERAPELLIDO")).valor(), QStringLiteral("GARCÍA"));
    EXPECT_EQ(doc.campoTexto(QStringLiteral("GRUPO1")).valor(), QStringLiteral("A"));
    EXPECT_TRUE(doc.casilla(QStringLiteral("FORZOSO")).valor());
    EXPECT_EQ(doc.tabla(3).valor().filas(), 2);  // cabecera + el curso
    EXPECT_EQ(doc.tablaConMarcador(MarcadoresListas::Documentos).valor().filas(), 1);
    EXPECT_EQ(doc.tablaConMarcador(MarcadoresListas::Vacantes).valor().filas(), 1);
}

TEST_F(GeneradorDocumento, ImprimirAnadeElCodigoDelSolicitanteYLasListas) {
    p.imprimir = true;
    auto g = generarDocumentoImpresion(p);
    ASSERT_TRUE(g.ok()) << g.mensaje().toStdString();
    ASSERT_EQ(g.valor().codigos.size(), 2);
    EXPECT_EQ(g.valor().codigos[0].pagina, 1);
    EXPECT_EQ(g.valor().codigos[0].texto, textoCodigoSolicitante(p.prefijo, p.cargaSolicitante));
    EXPECT_EQ(g.valor().codigos[1].pagina, 3);
    DocumentoWord impreso = leer(p.rutaImpresion);
    EXPECT_EQ(impreso.tablaConMarcador(MarcadoresListas::Vacantes).valor().filas(), 4);
    EXPECT_EQ(impreso.tablaConMarcador(MarcadoresListas::Documentos).valor().celda(2, 2).texto(),
              QStringLiteral("Título"));
    // Celda del código: salto, imagen centrada, salto.
    EXPECT_EQ(impreso.tabla(2).valor().celda(1, 1).texto(), QStringLiteral("\r\n\r\n"));
    // Lo guardado no lleva las listas de la impresión.
    EXPECT_EQ(leer(p.rutaDocumento).tablaConMarcador(MarcadoresListas::Vacantes).valor().filas(),
              1);
    EXPECT_TRUE(QDir(G().RutaTemporal).entryList({QStringLiteral("*.bmp")}).isEmpty());
}

TEST_F(GeneradorDocumento, LosCodigosDelPlanSonLosQueSeInsertan) {
    // Con páginas llenas, la cola larga partida y Resultas: lo que se espera sin mirar el
    // documento es exactamente lo insertado.
    p.imprimir = true;
    p.plazasPorPagina = 40;
    for (int i = 4; i <= 75; ++i) {
        G().rsVacantesSolicitadas->anadirRegistro(
            {qint64(i), qint64(i), QString::number(100 + i), QStringLiteral("Plaza")});
    }
    for (int i = 1; i <= 5; ++i)
        G().rsResultasSolicitadas->anadirRegistro(
            {qint64(i), qint64(i), QString::number(500 + i), QStringLiteral("Resulta")});
    auto g = generarDocumentoImpresion(p);
    ASSERT_TRUE(g.ok()) << g.mensaje().toStdString();
    auto plan = codigosDelPlan(p);
    ASSERT_TRUE(plan.ok()) << plan.mensaje().toStdString();
    ASSERT_EQ(plan.valor().size(), g.valor().codigos.size());
    ASSERT_EQ(plan.valor().size(), 1 + 3 + 1);  // solicitante, 40 + 31 + 4 y Resultas
    for (int i = 0; i < plan.valor().size(); ++i) {
        EXPECT_EQ(plan.valor()[i].pagina, g.valor().codigos[i].pagina) << i;
        EXPECT_EQ(plan.valor()[i].texto, g.valor().codigos[i].texto) << i;
    }
    // Un borrador no espera ninguno.
    p.borrador = true;
    EXPECT_TRUE(codigosDelPlan(p).valor().isEmpty());
}

TEST_F(GeneradorDocumento, UnCodigoQueNoSePuedeHacerNoDejaImprimir) {
    // Un texto que no cabe en ningún PDF417: el código del solicitante no se llega a insertar.
    p.imprimir = true;
    p.cargaSolicitante = QString(4000, QLatin1Char('9'));
    auto g = generarDocumentoImpresion(p);
    ASSERT_TRUE(g.ok()) << g.mensaje().toStdString();
    EXPECT_FALSE(g.valor().avisos.isEmpty());
    for (const CodigoEsperado& c : g.valor().codigos) EXPECT_NE(c.pagina, 1);
    // Lo que se espera sale del plan y sí lo incluye: la comprobación lo echa en falta y nada se
    // entrega (ni a la cola ni como PDF que parezca bueno).
    auto esperados = codigosDelPlan(p);
    ASSERT_TRUE(esperados.ok());
    ASSERT_EQ(esperados.valor().first().pagina, 1);
    programasExternos().lp = dir.filePath(QStringLiteral("lp-que-no-debe-llamarse"));
    auto r = imprimirDocumento(p.rutaImpresion, esperados.valor());
    programasExternos().lp = QStringLiteral("lp");
    ASSERT_FALSE(r.ok());
    EXPECT_TRUE(r.mensaje().contains(QStringLiteral("página 1"))) << r.mensaje().toStdString();
    EXPECT_FALSE(QFileInfo::exists(rutaPdfDe(p.rutaImpresion)));
}

TEST_F(GeneradorDocumento, ElBorradorLlevaLaMarcaYNingunaImagen) {
    p.imprimir = true;
    p.borrador = true;
    p.variante = VarianteGenerador::W97;
    p.plantilla = plantillas + QStringLiteral("/PlantillaW97.dot");
    auto g = generarDocumentoImpresion(p);
    ASSERT_TRUE(g.ok());
    EXPECT_TRUE(g.valor().codigos.isEmpty());
    DocumentoWord impreso = leer(p.rutaImpresion);
    EXPECT_EQ(impreso.textoMarcador(QStringLiteral("BORRADOR")).valor(),
              QStringLiteral("BORRADOR"));
    EXPECT_FALSE(impreso.textoPlano().contains(QStringLiteral("-&V&-")));  // marcas quitadas
    // Sin imagen, la celda del código tiene los mismos párrafos que en la impresión de verdad.
    EXPECT_EQ(impreso.tabla(2).valor().celda(1, 1).texto(), QStringLiteral("\r\n\r\n"));
    for (const QString& parte : PaqueteDocx::leer(p.rutaImpresion).valor().nombres())
        EXPECT_FALSE(parte.startsWith(QLatin1String("word/media/"))) << parte.toStdString();
    // El documento guardado conserva las marcas: se quitan solo al imprimir.
    EXPECT_TRUE(leer(p.rutaDocumento).textoPlano().contains(QStringLiteral("-&V&-")));
}

TEST_F(GeneradorDocumento, SinMarcadorLaModernaSeDetieneYLaAntiguaSigue) {
    p.plantilla = dir.filePath(QStringLiteral("sinmarcadores.dot"));
    docxprueba::escribirPlantilla(p.plantilla, docxprueba::parrafo(docxprueba::campoTexto(
                                                   QStringLiteral("PRIMERAPELLIDO"), QString())));
    auto xp = generarDocumentoImpresion(p);
    ASSERT_FALSE(xp.ok());
    EXPECT_TRUE(xp.mensaje().contains(QStringLiteral("DNICAB"))) << xp.mensaje().toStdString();

    p.variante = VarianteGenerador::W97;
    auto antigua = generarDocumentoImpresion(p);
    ASSERT_TRUE(antigua.ok()) << antigua.mensaje().toStdString();
    EXPECT_TRUE(antigua.valor().avisos.contains(QStringLiteral("DNICAB")));
    // Los pasos siguientes se hacen igual: el campo queda escrito en el documento guardado.
    EXPECT_EQ(leer(p.rutaDocumento).campoTexto(QStringLiteral("PRIMERAPELLIDO")).valor(),
              QStringLiteral("GARCÍA"));
}

// Con más plazas por página de las que caben con dos líneas legibles, la impresión no se hace y
// no se escribe nada; guardar (sin listas de plazas) sigue valiendo. Una fila de dos líneas de
// 6 puntos mide 268 twips y el presupuesto de la página es de 12.560: caben 46.
TEST_F(GeneradorDocumento, MasPlazasPorPaginaDeLasQueCabenNoSeImprimen) {
    EXPECT_EQ(maximoPlazasPorPagina(), 46);
    const struct {
        int n;
        bool imprimir, vale;
    } casos[] = {
        {1, true, true}, {46, true, true}, {47, true, false}, {0, true, false}, {500, false, true}};
    for (const auto& c : casos) {
        SCOPED_TRACE(c.n);
        QFile::remove(p.rutaDocumento);
        p.plazasPorPagina = c.n;
        p.imprimir = c.imprimir;
        auto g = generarDocumentoImpresion(p);
        EXPECT_EQ(g.ok(), c.vale) << g.mensaje().toStdString();
        EXPECT_EQ(QFileInfo::exists(p.rutaDocumento), c.vale);
        if (!c.vale) {
            EXPECT_TRUE(g.mensaje().contains(QStringLiteral("pide %1 plazas por página").arg(c.n)))
                << g.mensaje().toStdString();
        }
    }
}

TEST_F(GeneradorDocumento, SinPlantillaNoHayDocumento) {
    p.plantilla = dir.filePath(QStringLiteral("no.dot"));
    auto g = generarDocumentoImpresion(p);
    ASSERT_FALSE(g.ok());
    EXPECT_TRUE(g.mensaje().contains(QStringLiteral("no.dot")));
    EXPECT_FALSE(QFileInfo::exists(p.rutaDocumento));
}

}  // namespace
