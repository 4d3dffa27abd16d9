#include "../apoyo/Ficheros.h"
#include "PlantillaPrueba.h"
#include "printing/DocumentoWord.h"
#include "printing/PaqueteDocx.h"

#include <gtest/gtest.h>
#include <pugixml.hpp>
#include <QTemporaryDir>

using namespace docxprueba;

namespace {

class MotorDocumentos : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString plantilla = dir.filePath(QStringLiteral("Plantilla.dot"));

    DocumentoWord abrir(const QString& cuerpo) {
        escribirPlantilla(plantilla, cuerpo);
        auto doc = DocumentoWord::nuevoDesdePlantilla(plantilla);
        EXPECT_TRUE(doc.ok()) << doc.mensaje().toStdString();
        return std::move(doc.valor());
    }
    // Guarda y vuelve a abrir, para comprobar que lo escrito sobrevive al fichero.
    DocumentoWord releer(DocumentoWord& doc) {
        const QString ruta = dir.filePath(QStringLiteral("Solicitud.doc"));
        EXPECT_TRUE(doc.guardarComo(ruta).ok());
        auto otro = DocumentoWord::nuevoDesdePlantilla(ruta);
        EXPECT_TRUE(otro.ok()) << otro.mensaje().toStdString();
        return std::move(otro.valor());
    }
};

TEST_F(MotorDocumentos, ElDocumentoNuevoDejaDeSerPlantillaYLaPlantillaNoCambia) {
    DocumentoWord doc = abrir(parrafo(marcador(QStringLiteral("DNICAB"), 1, QString())));
    const QByteArray antes = leerBytes(plantilla);
    ASSERT_TRUE(doc.escribirEnMarcador(QStringLiteral("DNICAB"), QStringLiteral("12345678Z")).ok());
    const QString ruta = dir.filePath(QStringLiteral("a.doc"));
    ASSERT_TRUE(doc.guardarComo(ruta).ok());
    auto paquete = PaqueteDocx::leer(ruta);
    ASSERT_TRUE(paquete.ok());
    const QByteArray tipos = paquete.valor().parte(QStringLiteral("[Content_Types].xml"));
    EXPECT_TRUE(tipos.contains("wordprocessingml.document.main+xml"));
    EXPECT_FALSE(tipos.contains("template.main+xml"));
    EXPECT_EQ(leerBytes(plantilla), antes);
    // guardar() reescribe el mismo fichero.
    ASSERT_TRUE(doc.escribirEnMarcador(QStringLiteral("DNICAB"), QStringLiteral("X")).ok());
    ASSERT_TRUE(doc.guardar().ok());
    auto otro = DocumentoWord::nuevoDesdePlantilla(ruta);
    ASSERT_TRUE(otro.ok());
    EXPECT_EQ(otro.valor().textoMarcador(QStringLiteral("DNICAB")).valor(), QStringLiteral("X"));
}

TEST_F(MotorDocumentos, FicherosQueNoSonDocumentosDanUnFalloClaro) {
    EXPECT_FALSE(DocumentoWord::nuevoDesdePlantilla(dir.filePath(QStringLiteral("no.dot"))).ok());
    const QString basura = dir.filePath(QStringLiteral("basura.dot"));
    ASSERT_NO_FATAL_FAILURE(escribirBytes(basura, "esto no es un zip"));
    auto r = DocumentoWord::nuevoDesdePlantilla(basura);
    ASSERT_FALSE(r.ok());
    EXPECT_TRUE(r.mensaje().contains(QStringLiteral("no es un documento válido")));
    DocumentoWord doc = abrir(parrafo(QString()));
    EXPECT_FALSE(doc.guardar().ok());  // todavía sin nombre
    EXPECT_FALSE(doc.guardarComo(dir.filePath(QStringLiteral("no/existe/a.doc"))).ok());
}

TEST_F(MotorDocumentos, ElTextoDeUnMarcadorSustituyeSuContenidoConSuFormato) {
    DocumentoWord doc =
        abrir(parrafo(QStringLiteral("<w:r><w:t xml:space=\"preserve\">DNI: </w:t></w:r>") +
                      marcador(QStringLiteral("DNICAB"), 1, QStringLiteral("xxxx")) +
                      QStringLiteral("<w:r><w:t xml:space=\"preserve\"> fin</w:t></w:r>")) +
              parrafo(marcador(QStringLiteral("BORRADOR"), 2, QString())));
    ASSERT_TRUE(doc.escribirEnMarcador(QStringLiteral("DNICAB"), QStringLiteral("12345678Z")).ok());
    ASSERT_TRUE(doc.escribirEnMarcador(QStringLiteral("BORRADOR"), QString()).ok());
    EXPECT_FALSE(doc.escribirEnMarcador(QStringLiteral("NOEXISTE"), QStringLiteral("a")).ok());
    DocumentoWord otro = releer(doc);
    EXPECT_EQ(otro.textoPlano(), QStringLiteral("DNI: 12345678Z fin\n\n"));
    EXPECT_EQ(otro.textoMarcador(QStringLiteral("dnicab")).valor(), QStringLiteral("12345678Z"));
    EXPECT_EQ(otro.textoMarcador(QStringLiteral("BORRADOR")).valor(), QString());
}

TEST_F(MotorDocumentos, CamposDeTextoYCasillasSeEscribenYSeLeen) {
    DocumentoWord doc =
        abrir(parrafo(campoTexto(QStringLiteral("NOMBRE"), QString(5, QChar(0x2002))) +
                      campoTexto(QStringLiteral("SEACOMPAÑAPETICIONSI"), QStringLiteral("viejo"))) +
              parrafo(casilla(QStringLiteral("FORZOSO"), false) +
                      casilla(QStringLiteral("NORSA"), true)));
    EXPECT_EQ(doc.campoTexto(QStringLiteral("NOMBRE")).valor(), QString());  // hueco sin rellenar
    EXPECT_TRUE(doc.casilla(QStringLiteral("NORSA")).valor());
    ASSERT_TRUE(doc.ponerCampoTexto(QStringLiteral("NOMBRE"), QStringLiteral("José Ñúñez")).ok());
    ASSERT_TRUE(doc.ponerCampoTexto(QStringLiteral("SEACOMPAÑAPETICIONSI"), QString()).ok());
    ASSERT_TRUE(doc.ponerCasilla(QStringLiteral("FORZOSO"), true).ok());
    ASSERT_TRUE(doc.ponerCasilla(QStringLiteral("NORSA"), false).ok());

    // Lo que falta o no es del tipo pedido es un fallo que se puede pasar por alto.
    EXPECT_FALSE(doc.ponerCampoTexto(QStringLiteral("FALTA"), QStringLiteral("x")).ok());
    EXPECT_FALSE(doc.ponerCasilla(QStringLiteral("NOMBRE"), true).ok());
    EXPECT_FALSE(doc.ponerCampoTexto(QStringLiteral("FORZOSO"), QStringLiteral("x")).ok());
    EXPECT_FALSE(doc.campoTexto(QStringLiteral("FALTA")).ok());
    EXPECT_FALSE(doc.casilla(QStringLiteral("FALTA")).ok());

    DocumentoWord otro = releer(doc);
    EXPECT_EQ(otro.campoTexto(QStringLiteral("NOMBRE")).valor(), QStringLiteral("José Ñúñez"));
    EXPECT_EQ(otro.campoTexto(QStringLiteral("SEACOMPAÑAPETICIONSI")).valor(), QString());
    EXPECT_TRUE(otro.casilla(QStringLiteral("FORZOSO")).valor());
    EXPECT_FALSE(otro.casilla(QStringLiteral("NORSA")).valor());
    EXPECT_EQ(otro.nombresCampos().size(), 4);
    // Un blanco solo no se pierde al guardar.
    ASSERT_TRUE(otro.ponerCampoTexto(QStringLiteral("NOMBRE"), QStringLiteral(" ")).ok());
    EXPECT_EQ(releer(otro).campoTexto(QStringLiteral("NOMBRE")).valor(), QStringLiteral(" "));
    // Un carácter de control no llega al documento, que sigue legible.
    ASSERT_TRUE(otro.ponerCampoTexto(QStringLiteral("NOMBRE"), QString("Ana\x01 Ruiz\x1b")).ok());
    EXPECT_EQ(releer(otro).campoTexto(QStringLiteral("NOMBRE")).valor(),
              QStringLiteral("Ana Ruiz"));
}

TEST_F(MotorDocumentos, TablasPorPosicionYPorMarcador) {
    const QList<int> anchos = {1000, 2000};
    DocumentoWord doc =
        abrir(tabla({QStringLiteral("A"), QStringLiteral("B")}, anchos, 300) + parrafo(QString()) +
              tabla({QStringLiteral("C"), QStringLiteral("D")}, anchos, 300,
                    QStringLiteral("TABLACURSOS")) +
              parrafo(QString()));
    EXPECT_EQ(doc.numeroTablas(), 2);
    EXPECT_EQ(doc.tabla(2).valor().celda(1, 1).texto(), QStringLiteral("C"));
    EXPECT_FALSE(doc.tabla(3).ok());
    EXPECT_FALSE(doc.tabla(0).ok());
    EXPECT_EQ(doc.tablaConMarcador(QStringLiteral("TABLACURSOS")).valor().celda(1, 2).texto(),
              QStringLiteral("D"));
    EXPECT_FALSE(doc.tablaConMarcador(QStringLiteral("TABLARESULTAS")).ok());
}

TEST_F(MotorDocumentos, LasFilasNuevasCopianElFormatoDeLaUltimaSinSuTexto) {
    DocumentoWord doc = abrir(tabla({QStringLiteral("Curso"), QStringLiteral("Año")}, {3000, 1000},
                                    400, QStringLiteral("TABLACURSOS")) +
                              parrafo(QString()));
    TablaWord t = doc.tablaConMarcador(QStringLiteral("TABLACURSOS")).valor();
    EXPECT_EQ(t.columnas(), 2);
    const int fila = t.anadirFila();
    EXPECT_EQ(fila, 2);
    EXPECT_EQ(t.filas(), 2);
    EXPECT_EQ(t.celda(2, 1).texto(), QString());
    EXPECT_EQ(t.altoFila(2), 400);
    EXPECT_EQ(t.anchoCelda(2, 1), 3000);
    ASSERT_TRUE(t.rellenarFila(2, {QStringLiteral("Urgencias"), QStringLiteral("2001")}).ok());
    EXPECT_FALSE(
        t.rellenarFila(2, {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}).ok());
    ASSERT_TRUE(t.rellenarFila(2, {QStringLiteral("Urgencias"), QStringLiteral("2001")}).ok());
    ASSERT_TRUE(t.ponerAltoFila(2, 250).ok());
    EXPECT_FALSE(t.ponerAltoFila(5, 250).ok());
    EXPECT_FALSE(t.celda(3, 1).valida());
    EXPECT_FALSE(t.celda(1, 3).valida());

    DocumentoWord otro = releer(doc);
    TablaWord t2 = otro.tabla(1).valor();
    EXPECT_EQ(t2.altoFila(2), 250);
    EXPECT_EQ(t2.celda(2, 1).texto(), QStringLiteral("Urgencias"));
    // El texto nuevo toma la marca de párrafo (sin negrita), no el formato de la cabecera.
    const QString plano = otro.textoPlano();
    EXPECT_TRUE(plano.contains(QStringLiteral("Urgencias")));
}

TEST_F(MotorDocumentos, AnchosCombinacionesYTextosDeVariasLineas) {
    DocumentoWord doc = abrir(parrafo(QStringLiteral("<w:r><w:t>antes</w:t></w:r>")) +
                              parrafo(QStringLiteral("<w:r><w:t>despues</w:t></w:r>")));
    auto p = doc.delanteDeTexto(QStringLiteral("despues"));
    ASSERT_TRUE(p.ok());
    TablaWord t = p.valor().tabla(2, 5);
    ASSERT_TRUE(t.valida());
    EXPECT_EQ(t.filas(), 2);
    EXPECT_EQ(t.columnas(), 5);
    for (int c = 1; c <= 5; ++c) ASSERT_TRUE(t.ponerAnchoColumna(c, 1000 * c).ok());
    EXPECT_FALSE(t.ponerAnchoColumna(6, 10).ok());
    EXPECT_EQ(t.anchoCelda(2, 4), 4000);
    ASSERT_TRUE(t.celda(1, 2).escribir(QStringLiteral("Código\r\n (5 Dígitos)")).ok());
    ASSERT_TRUE(t.celda(1, 3).escribir(QStringLiteral("PUESTO DE TRABAJO")).ok());
    ASSERT_TRUE(t.combinar(1, 3, 4).ok());
    EXPECT_EQ(t.celda(1, 3).texto(), QStringLiteral("PUESTO DE TRABAJO"));
    EXPECT_EQ(t.celda(1, 3).ancho(), 7000);
    EXPECT_EQ(t.celda(1, 4).ancho(), 5000);  // la quinta pasa a ser la cuarta celda
    EXPECT_FALSE(t.celda(1, 5).valida());
    EXPECT_EQ(t.columnas(), 5);
    EXPECT_EQ(t.celda(1, 2).texto(), QStringLiteral("Código\r\n (5 Dígitos)"));
    ASSERT_TRUE(t.alinearColumna(3, Alineacion::Centro).ok());
    t.ponerTamanoLetra(8);
    t.ponerNegrita(false);
    DocumentoWord otro = releer(doc);
    EXPECT_EQ(
        otro.textoPlano(),
        QStringLiteral("antes\n\nCódigo\n (5 Dígitos)\nPUESTO DE TRABAJO\n\n\n\n\n\n\ndespues\n"));
}

// Números extremos de una plantilla (el identificador de un dibujo, el ancho de la página y sus
// márgenes, los anchos de las celdas, las columnas que ocupa una) no desbordan ninguna cuenta: lo
// que se escribe sigue siendo una medida de página.
TEST_F(MotorDocumentos, LosNumerosExtremosDeUnaPlantillaNoDesbordan) {
    const QString bmp = dir.filePath(QStringLiteral("codigo.bmp"));
    escribirImagen(bmp);
    DocumentoWord doc = abrir(
        QStringLiteral("<w:sectPr><w:pgSz w:w=\"-2147483648\"/>"
                       "<w:pgMar w:left=\"2147483647\" w:right=\"-2147483648\"/></w:sectPr>") +
        parrafo(QStringLiteral("<w:r><w:drawing><wp:docPr id=\"2147483647\"/></w:drawing></w:r>")) +
        tabla({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")},
              {2147483647, 2147483647, 5}, 300, QStringLiteral("T")));
    TablaWord t = doc.tablaConMarcador(QStringLiteral("T")).valor();
    ASSERT_TRUE(t.combinar(1, 1, 3).ok());
    PuntoInsercion p = doc.despuesDe(t);
    ASSERT_TRUE(p.imagen(bmp, 6000, 1170).ok());
    TablaWord nueva = p.tabla(1, 3);
    ASSERT_TRUE(nueva.ponerAnchoColumna(2, 2147483647).ok());
    const QString ruta = dir.filePath(QStringLiteral("extremos.doc"));
    ASSERT_TRUE(doc.guardarComo(ruta).ok());
    const QByteArray cuerpo = PaqueteDocx::leer(ruta).valor().parte("word/document.xml");
    pugi::xml_document xml;
    ASSERT_TRUE(xml.load_buffer(cuerpo.constData(), size_t(cuerpo.size())));
    // Lo que escribe el programa: los anchos de las celdas y la rejilla de la tabla nueva.
    for (auto x : xml.select_nodes("//w:tcW/@w:w | //w:tbl[last()]/w:tblGrid/w:gridCol/@w:w")) {
        const long long w = x.attribute().as_llong();
        EXPECT_GT(w, 0) << x.attribute().value();
        EXPECT_LE(w, 31680) << x.attribute().value();
    }
    QList<long long> ids;
    for (auto x : xml.select_nodes("//wp:docPr/@id")) ids << x.attribute().as_llong();
    ASSERT_EQ(ids.size(), 2);
    EXPECT_GT(ids[1], 0);
    EXPECT_NE(ids[1], ids[0]);
}

TEST_F(MotorDocumentos, TrasUnaTablaSeColocanSaltosImagenesYTablasEnOrden) {
    const QString bmp = dir.filePath(QStringLiteral("codigo.bmp"));
    escribirImagen(bmp);
    DocumentoWord doc = abrir(tabla({QStringLiteral("Orden")}, {2000}, 300, QStringLiteral("T")) +
                              parrafo(QStringLiteral("<w:r><w:t>firma</w:t></w:r>")));
    TablaWord t = doc.tablaConMarcador(QStringLiteral("T")).valor();
    PuntoInsercion p = doc.despuesDe(t);
    p.saltoLinea();
    ASSERT_TRUE(p.imagen(bmp, 6000, 1170).ok());
    EXPECT_FALSE(p.imagen(dir.filePath(QStringLiteral("no.bmp")), 6000, 1170).ok());
    p.saltoPagina();
    TablaWord nueva = p.tabla(1, 1);
    ASSERT_TRUE(nueva.celda(1, 1).escribir(QStringLiteral("Orden")).ok());
    ASSERT_TRUE(nueva.celda(1, 1).anadirImagen(bmp, 3000, 1000).ok());
    EXPECT_EQ(doc.numeroTablas(), 2);
    EXPECT_EQ(doc.tabla(2).valor().celda(1, 1).texto(), QStringLiteral("Orden\r\n"));

    const QString ruta = dir.filePath(QStringLiteral("img.doc"));
    ASSERT_TRUE(doc.guardarComo(ruta).ok());
    auto paquete = PaqueteDocx::leer(ruta).valor();
    EXPECT_TRUE(paquete.contiene(QStringLiteral("word/media/imagen1.png")));
    EXPECT_TRUE(paquete.contiene(QStringLiteral("word/media/imagen2.png")));
    EXPECT_TRUE(paquete.parte(QStringLiteral("[Content_Types].xml")).contains("Extension=\"png\""));
    const QByteArray rels = paquete.parte(QStringLiteral("word/_rels/document.xml.rels"));
    EXPECT_EQ(rels.count("relationships/image"), 2);
    const QByteArray xml = paquete.parte(QStringLiteral("word/document.xml"));
    // Tabla, párrafo vacío, imagen de 6000 x 1170 twips, salto de página, tabla nueva, firma.
    const qsizetype tabla1 = xml.indexOf("<w:tbl>");
    const qsizetype imagen = xml.indexOf("cx=\"3810000\" cy=\"742950\"");
    const qsizetype salto = xml.indexOf("w:type=\"page\"");
    const qsizetype tabla2 = xml.indexOf("<w:tbl>", tabla1 + 1);
    const qsizetype firma = xml.indexOf("firma");
    EXPECT_LT(tabla1, imagen);
    EXPECT_LT(imagen, salto);
    EXPECT_LT(salto, tabla2);
    EXPECT_LT(tabla2, firma);
    EXPECT_TRUE(xml.contains("xmlns:wp="));
}

TEST_F(MotorDocumentos, MarcasDeTextoPartidasEntreVariosTrozos) {
    DocumentoWord doc =
        abrir(parrafo(QStringLiteral(
                  "<w:r><w:t>Fin de lista-&amp;V</w:t></w:r><w:r><w:t>&amp;- y más</w:t></w:r>")) +
              parrafo(QStringLiteral("<w:r><w:t>-&amp;R&amp;- -&amp;R&amp;-</w:t></w:r>")));
    auto p = doc.delanteDeTexto(QStringLiteral("-&V&-"));
    ASSERT_TRUE(p.ok());
    p.valor().saltoPagina();
    EXPECT_EQ(doc.textoPlano(), QStringLiteral("Fin de lista\n\n-&V&- y más\n-&R&- -&R&-\n"));
    EXPECT_FALSE(doc.delanteDeTexto(QStringLiteral("-&C&-")).ok());
    EXPECT_EQ(doc.reemplazarTodo(QStringLiteral("-&R&-"), QStringLiteral(" ")), 2);
    EXPECT_EQ(doc.reemplazarTodo(QStringLiteral("-&V&-"), QStringLiteral(" ")), 1);
    EXPECT_EQ(doc.reemplazarTodo(QStringLiteral("-&C&-"), QStringLiteral(" ")), 0);
    EXPECT_EQ(releer(doc).textoPlano(), QStringLiteral("Fin de lista\n\n  y más\n   \n"));
}

TEST(VersionDelMotor, LaVarianteAntiguaSeAlcanzaConVersionOchoOMenor) {
    EXPECT_GT(DocumentoWord::version(), 8);
    EXPECT_FALSE(esVersionAntigua(QString::number(VersionDeWord())));
    DocumentoWord::simularVersion(8);
    EXPECT_EQ(DocumentoWord::version(), 8);
    EXPECT_TRUE(esVersionAntigua(QString::number(VersionDeWord())));
    DocumentoWord::simularVersion(0);
    EXPECT_GT(DocumentoWord::version(), 8);
    const struct {
        const char* texto;
        bool antigua;
    } casos[] = {{"8", true}, {"8.0", true}, {"7", true},   {"9", false},  {"16.0", false},
                 {"", true},  {"abc", true}, {"10", false}, {" 9 ", false}};
    for (const auto& c : casos)
        EXPECT_EQ(esVersionAntigua(QString::fromLatin1(c.texto)), c.antigua) << c.texto;
}

}  // namespace
