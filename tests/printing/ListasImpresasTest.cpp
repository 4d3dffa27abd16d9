#include "PlantillaPrueba.h"
#include "catalogue/Esquemas.h"
#include "global/Globales.h"
#include "printing/CodigoBarras.h"
#include "printing/ListasImpresas.h"
#include "printing/PaqueteDocx.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QTemporaryDir>
#include <cstring>
#include <pugixml.hpp>

using namespace docxprueba;

namespace {

QString cuerpoPlantilla() {
    const auto marca = [](const QString& m) {
        return parrafo(QStringLiteral("<w:r><w:t>%1</w:t></w:r>").arg(m.toHtmlEscaped()));
    };
    return parrafo(QStringLiteral("<w:r><w:t>Solicitante</w:t></w:r>")) +
           tabla({QStringLiteral("Datos")}, {9000}, 300) + parrafo(QString()) +
           tabla({QStringLiteral("Código")}, {9000}, 300) + parrafo(QString()) +
           tabla({QStringLiteral("Curso"), QStringLiteral("N Horas"), QStringLiteral("Año"),
                  QStringLiteral("Centro")},
                 {4000, 1000, 1000, 3000}, 300, MarcadoresListas::Cursos) +
           marca(MarcasTexto::Cursos) +
           tabla({QStringLiteral("NºDocumento"), QStringLiteral("Documento")}, {1500, 7500}, 300,
                 MarcadoresListas::Documentos) +
           marca(MarcasTexto::Documentos) +
           tabla(
               {QStringLiteral("Orden"), QStringLiteral("Código"), QStringLiteral("Denominación"),
                QStringLiteral("Institución"), QStringLiteral("Localidad"), QStringLiteral("Área")},
               {800, 900, 2500, 2000, 1800, 1000}, 700, MarcadoresListas::Vacantes) +
           marca(MarcasTexto::Vacantes) + parrafo(QStringLiteral("<w:r><w:t>Firma</w:t></w:r>")) +
           tabla({QStringLiteral("Orden"), QStringLiteral("Código"), QStringLiteral("Denominación"),
                  QStringLiteral("Consejería"), QStringLiteral("Localidad")},
                 {800, 900, 3000, 2500, 1800}, 700, MarcadoresListas::Resultas) +
           marca(MarcasTexto::Resultas);
}

PTabla plazas(int n) {
    PTabla t = CrearTablaPlazasSolicitadas();
    for (int i = 1; i <= n; ++i) {
        t->anadir();
        t->establecer(QStringLiteral("Orden"), i);
        t->establecer(QStringLiteral("CodConvocatoria"), QString::number(20000 + i));
        t->establecer(QStringLiteral("NomConvocatoria"), QStringLiteral("Enfermería %1").arg(i));
        t->establecer(QStringLiteral("Consejeria"), QStringLiteral("Hospital Comarcal"));
        t->establecer(QStringLiteral("Localidad"), QStringLiteral("Villanueva (Badajoz)"));
        t->establecer(QStringLiteral("Area"), QStringLiteral("Mérida"));
    }
    return t;
}

PTabla cursos(int n) {
    PTabla t = CrearTablaCursos();
    for (int i = 1; i <= n; ++i) {
        t->anadir();
        t->establecer(QStringLiteral("Curso"), QStringLiteral("Curso %1").arg(i));
        t->establecer(QStringLiteral("NHoras"), 20 + i);
        t->establecer(QStringLiteral("Ano"), 2000 + i % 20);
        t->establecer(QStringLiteral("Centro"), QStringLiteral("Escuela de Salud"));
    }
    return t;
}

PTabla documentos(int n) {
    PTabla t = CrearTablaDocumentos();
    for (int i = 1; i <= n; ++i) {
        t->anadir();
        t->establecer(QStringLiteral("IdDocumento"), 100 + i);
        t->establecer(QStringLiteral("Documento"), QStringLiteral("Certificado %1").arg(i));
    }
    return t;
}

class ListasEnElDocumento : public ::testing::TestWithParam<VarianteGenerador> {
protected:
    QTemporaryDir dir;
    QString prefijo = prefijoCodigoBarras(
        ClaveSolicitante(QStringLiteral("12345678Z"), QStringLiteral("7"), QStringLiteral("A")),
        QStringLiteral("07/12/2026"), QStringLiteral("08:30:00"));

    void SetUp() override {
        reiniciarGlobales();
        G().RutaTemporal = dir.path() + QStringLiteral("/temp/");
        QDir().mkpath(G().RutaTemporal);
        escribirPlantilla(dir.filePath(QStringLiteral("P.dot")), cuerpoPlantilla());
    }
    DocumentoWord nuevo() {
        return std::move(
            DocumentoWord::nuevoDesdePlantilla(dir.filePath(QStringLiteral("P.dot"))).valor());
    }
    OpcionesListas opciones(bool borrador = false) {
        OpcionesListas o;
        o.variante = GetParam();
        o.borrador = borrador;
        o.prefijo = prefijo;
        o.plazasPorPagina = 40;
        return o;
    }
    int imagenes(DocumentoWord& doc) {
        const QString ruta = dir.filePath(QStringLiteral("s.doc"));
        EXPECT_TRUE(doc.guardarComo(ruta).ok());
        int n = 0;
        for (const QString& p : PaqueteDocx::leer(ruta).valor().nombres())
            n += p.startsWith(QLatin1String("word/media/"));
        return n;
    }
};

TEST_P(ListasEnElDocumento, TreintaYSeisCursosYSetentaDocumentos) {
    DocumentoWord doc = nuevo();
    ListasImpresas listas(doc, opciones());
    int avances = 0;
    ListasImpresas conProgreso(doc, [&] {
        auto o = opciones();
        o.avanzar = [&avances] { ++avances; };
        return o;
    }());
    ASSERT_TRUE(conProgreso.escribirCursos(*cursos(36)).ok());
    EXPECT_EQ(avances, 36);
    EXPECT_EQ(conProgreso.pagina(), 3);
    TablaWord t = doc.tabla(3).valor();  // la de cursos es también la tabla 3
    EXPECT_EQ(t.filas(), 36);            // cabecera + 35
    EXPECT_EQ(t.celda(36, 1).texto(), QStringLiteral("Curso 35"));
    EXPECT_EQ(t.altoFila(36), kAltoFilaCursos);
    TablaWord nueva = doc.tabla(4).valor();
    ASSERT_EQ(nueva.filas(), 2);
    EXPECT_EQ(nueva.celda(1, 1).texto(), QStringLiteral("Curso"));
    EXPECT_EQ(nueva.celda(1, 2).texto(), QStringLiteral("N Horas"));
    EXPECT_EQ(nueva.celda(1, 3).texto(), QStringLiteral("Año"));
    EXPECT_EQ(nueva.celda(1, 4).texto(), QStringLiteral("Centro"));
    EXPECT_EQ(nueva.celda(2, 1).texto(), QStringLiteral("Curso 36"));
    EXPECT_EQ(nueva.celda(2, 2).texto(), QStringLiteral("56"));
    EXPECT_EQ(nueva.anchoCelda(1, 1), 4000);  // copiado de la tabla de la plantilla
    EXPECT_EQ(nueva.anchoCelda(2, 4), 3000);

    ASSERT_TRUE(conProgreso.escribirDocumentos(*documentos(70)).ok());
    EXPECT_EQ(conProgreso.pagina(), 5);  // 3 y 4 de documentos; Vacantes en la 5
    TablaWord docs = doc.tablaConMarcador(MarcadoresListas::Documentos).valor();
    EXPECT_EQ(docs.filas(), 36);
    EXPECT_EQ(docs.celda(2, 1).texto(), QStringLiteral("1"));
    EXPECT_EQ(docs.celda(36, 1).texto(), QStringLiteral("35"));
    // La tabla nueva de documentos es la siguiente tabla del documento.
    int indiceDocs = 0;
    for (int i = doc.numeroTablas(); i >= 1; --i)
        if (doc.tabla(i).valor().celda(1, 1).texto() == QStringLiteral("NºDocumento"))
            indiceDocs = i;
    ASSERT_GT(indiceDocs, 0);
    TablaWord docs2 = doc.tabla(indiceDocs + 1).valor();
    EXPECT_EQ(docs2.celda(1, 2).texto(), QStringLiteral("Documento"));
    EXPECT_EQ(docs2.celda(2, 1).texto(), QStringLiteral("36"));
    EXPECT_EQ(docs2.celda(36, 1).texto(), QStringLiteral("70"));
    EXPECT_EQ(docs2.celda(36, 2).texto(), QStringLiteral("Certificado 70"));
    EXPECT_EQ(docs2.filas(), 36);
}

TEST_P(ListasEnElDocumento, PlazasEnPaginasConSuCodigo) {
    DocumentoWord doc = nuevo();
    ListasImpresas listas(doc, opciones());
    ASSERT_TRUE(listas.escribirCursos(*cursos(0)).ok());
    ASSERT_TRUE(listas.escribirDocumentos(*documentos(0)).ok());
    EXPECT_EQ(listas.pagina(), 3);
    // Listas vacías: sus tablas se quedan con la cabecera sola y no se añade ninguna.
    const int tablasAntes = doc.numeroTablas();
    EXPECT_EQ(doc.tablaConMarcador(MarcadoresListas::Cursos).valor().filas(), 1);
    EXPECT_EQ(doc.tablaConMarcador(MarcadoresListas::Documentos).valor().filas(), 1);
    ASSERT_TRUE(listas.escribirVacantes(*plazas(75)).ok());
    EXPECT_EQ(listas.pagina(), 5);
    ASSERT_TRUE(listas.escribirResultas(*plazas(0)).ok());
    EXPECT_TRUE(listas.avisos().isEmpty()) << listas.avisos().toStdString();
    EXPECT_EQ(doc.numeroTablas(), tablasAntes + 2);  // solo las dos páginas nuevas de Vacantes

    const auto& codigos = listas.codigos();
    ASSERT_EQ(codigos.size(), 3);
    const int entradas[] = {40, 31, 4};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(codigos[i].pagina, 3 + i);
        EXPECT_EQ(codigos[i].texto.size(), 33 + 1 + 3 + 9 * entradas[i] + 1);
        EXPECT_TRUE(codigos[i].texto.startsWith(prefijo + QStringLiteral("V00%1").arg(3 + i)));
    }
    EXPECT_TRUE(codigos[1].texto.contains(QStringLiteral("V004004120041")));
    EXPECT_TRUE(codigos[1].texto.endsWith(QStringLiteral("007120071F")));
    // Resultas vacía: ni filas ni código.
    EXPECT_EQ(doc.tablaConMarcador(MarcadoresListas::Resultas).valor().filas(), 1);
    // Tres tablas de Vacantes: la de la plantilla y dos nuevas, de cabecera + 31 y + 4.
    TablaWord v = doc.tablaConMarcador(MarcadoresListas::Vacantes).valor();
    EXPECT_EQ(v.filas(), 41);
    EXPECT_EQ(v.altoFila(41), altoFilaPlazas(40));
    int indice = 0;
    for (int i = 1; i <= doc.numeroTablas(); ++i)
        if (doc.tabla(i).valor().filas() == 41) indice = i;
    TablaWord v2 = doc.tabla(indice + 1).valor();
    TablaWord v3 = doc.tabla(indice + 2).valor();
    EXPECT_EQ(v2.filas(), 32);
    EXPECT_EQ(v3.filas(), 5);
    EXPECT_EQ(v2.celda(1, 2).texto(), QStringLiteral("Código\r\n(5 Dígitos)\r\nConvocatoria"));
    EXPECT_EQ(v2.altoFila(1), 700);  // copiado de la fila 1 de la plantilla
    EXPECT_EQ(v3.celda(5, 1).texto(), QStringLiteral("75"));
    EXPECT_EQ(v3.celda(5, 6).texto(), QStringLiteral("Mérida"));
    EXPECT_EQ(imagenes(doc), 3);
    // Los mapas de bits se borran nada más usarse.
    EXPECT_TRUE(QDir(G().RutaTemporal).entryList(QDir::Files).isEmpty());
}

// El código de cada página de plazas va en su párrafo, detrás de una línea en blanco que lo separa
// de la tabla (su zona de silencio no se apoya en el borde), en las dos variantes.
TEST_P(ListasEnElDocumento, CadaCodigoDePaginaTieneUnaLineaEnBlancoTrasLaTabla) {
    DocumentoWord doc = nuevo();
    ListasImpresas listas(doc, opciones());
    ASSERT_TRUE(listas.escribirVacantes(*plazas(45)).ok());
    ASSERT_TRUE(listas.escribirResultas(*plazas(3)).ok());
    const QString ruta = dir.filePath(QStringLiteral("s.doc"));
    ASSERT_TRUE(doc.guardarComo(ruta).ok());
    pugi::xml_document xml;
    const QByteArray cuerpo = PaqueteDocx::leer(ruta).valor().parte("word/document.xml");
    ASSERT_TRUE(xml.load_buffer(cuerpo.constData(), size_t(cuerpo.size())));
    int codigos = 0;
    for (auto p : xml.select_nodes("//w:body/w:p[.//w:drawing]")) {
        ++codigos;
        const auto blanco = p.node().previous_sibling();
        EXPECT_STREQ(blanco.name(), "w:p");
        EXPECT_FALSE(blanco.find_node([](const pugi::xml_node& n) {
            return std::strcmp(n.name(), "w:t") == 0 || std::strcmp(n.name(), "w:drawing") == 0;
        })) << "el párrafo anterior al código "
            << codigos << " no está en blanco";
        EXPECT_STREQ(blanco.previous_sibling().name(), "w:tbl") << codigos;
    }
    EXPECT_EQ(codigos, 3);  // 40 + 5 Vacantes y 3 Resultas
}

TEST_P(ListasEnElDocumento, ResultasConSuCabeceraDeDosFilas) {
    DocumentoWord doc = nuevo();
    ListasImpresas listas(doc, opciones());
    listas.escribirCursos(*cursos(0));
    listas.escribirDocumentos(*documentos(0));
    listas.escribirVacantes(*plazas(3));
    ASSERT_TRUE(listas.escribirResultas(*plazas(41)).ok());
    ASSERT_EQ(listas.codigos().size(), 3);
    EXPECT_EQ(listas.codigos()[1].pagina, 4);
    EXPECT_EQ(listas.codigos()[2].pagina, 5);
    EXPECT_TRUE(listas.codigos()[2].texto.startsWith(prefijo + QStringLiteral("R005004120041F")));
    const int n = doc.numeroTablas();
    TablaWord r2 = doc.tabla(n).valor();
    ASSERT_EQ(r2.filas(), 3);
    EXPECT_EQ(r2.celda(1, 1).texto(), QStringLiteral("Orden"));
    EXPECT_EQ(r2.celda(1, 2).texto(), QStringLiteral("Código\r\n (5 Dígitos)"));
    EXPECT_EQ(r2.celda(1, 3).texto(), QStringLiteral("PUESTO DE TRABAJO"));
    EXPECT_EQ(r2.celda(2, 3).texto(), QStringLiteral("DENOMINACIÓN"));
    EXPECT_EQ(r2.celda(2, 4).texto(), QStringLiteral("CONSEJERÍA"));
    EXPECT_EQ(r2.celda(2, 5).texto(), QStringLiteral("Localidad y Provincia"));
    EXPECT_EQ(r2.celda(3, 1).texto(), QStringLiteral("41"));
    EXPECT_EQ(r2.anchoCelda(2, 3), 3000);
}

TEST_P(ListasEnElDocumento, ElBorradorHaceLosCodigosPeroNoLosInserta) {
    DocumentoWord doc = nuevo();
    ListasImpresas listas(doc, opciones(true));
    listas.escribirCursos(*cursos(2));
    listas.escribirDocumentos(*documentos(2));
    listas.escribirVacantes(*plazas(45));
    listas.escribirResultas(*plazas(2));
    EXPECT_TRUE(listas.avisos().isEmpty()) << listas.avisos().toStdString();
    EXPECT_TRUE(listas.codigos().isEmpty());
    EXPECT_EQ(imagenes(doc), 0);
    EXPECT_TRUE(QDir(G().RutaTemporal).entryList(QDir::Files).isEmpty());
    // Las páginas son las mismas que en una impresión de verdad.
    EXPECT_EQ(listas.pagina(), 5);
}

TEST_P(ListasEnElDocumento, UnaTablaQueFaltaSePasaPorAltoSinPerderLaCuentaDePaginas) {
    escribirPlantilla(dir.filePath(QStringLiteral("P.dot")), parrafo(QString()));
    DocumentoWord doc = nuevo();
    ListasImpresas listas(doc, opciones());
    EXPECT_FALSE(listas.escribirCursos(*cursos(40)).ok());
    EXPECT_EQ(listas.pagina(), 3);
    EXPECT_FALSE(listas.escribirVacantes(*plazas(3)).ok());
    OpcionesListas sinPlazas = opciones();
    sinPlazas.plazasPorPagina = 0;
    ListasImpresas cero(doc, sinPlazas);
    EXPECT_FALSE(cero.escribirVacantes(*plazas(3)).ok());
}

TEST(MarcasDeTexto, SeQuitanAntesDeImprimir) {
    QTemporaryDir dir;
    escribirPlantilla(dir.filePath(QStringLiteral("P.dot")), cuerpoPlantilla());
    auto doc = DocumentoWord::nuevoDesdePlantilla(dir.filePath(QStringLiteral("P.dot")));
    ASSERT_TRUE(doc.ok());
    EXPECT_TRUE(doc.valor().textoPlano().contains(QStringLiteral("-&V&-")));
    quitarMarcasTexto(doc.valor());
    EXPECT_FALSE(doc.valor().textoPlano().contains(QStringLiteral("&")));
}

INSTANTIATE_TEST_SUITE_P(Variantes, ListasEnElDocumento,
                         ::testing::Values(VarianteGenerador::XP, VarianteGenerador::W97),
                         [](const auto& info) {
                             return info.param == VarianteGenerador::XP ? "XP" : "W97";
                         });

}  // namespace
