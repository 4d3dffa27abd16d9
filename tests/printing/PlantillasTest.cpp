#include "../apoyo/RutasCompilacion.h"
#include "PlantillasReales.h"
#include "printing/DocumentoWord.h"
#include "printing/ListasImpresas.h"
#include "printing/PaqueteDocx.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

namespace {

// Campos de formulario que rellena el formulario (textos y casillas) y los combos, que además
// tienen su copia con "1".
const char* const kCamposTexto[] = {"PRIMERAPELLIDO",
                                    "SEGUNDOAPELLIDO",
                                    "NOMBRE",
                                    "NDNI",
                                    "FECHANACIMIENTO",
                                    "TELEFONO",
                                    "DOMICILIO",
                                    "LOCALIDAD",
                                    "CPOSTAL",
                                    "TIPODISCAPACIDAD",
                                    "ADAPTACIONESPRECISAS",
                                    "NUMEROREGISTRO",
                                    "FECHAINGRESO",
                                    "SSCUALOTROS",
                                    "FECHAPOSESION",
                                    "CUALOTRAS",
                                    "FECHASIT",
                                    "PROVINCIAACT",
                                    "ZBSACT",
                                    "INSTITUCIONACT",
                                    "INSTITUCION",
                                    "LOCALIDADPUESTO",
                                    "PROVINCIAPUESTO",
                                    "NDNICONYUGE",
                                    "CONYUPRIMERAPELLIDO",
                                    "CONYUSEGUNDOAPELLIDO",
                                    "CONYUNOMBRE"};
const char* const kCasillas[] = {"FORZOSO",
                                 "VOLUNTARIO",
                                 "DISCAPACIDADSI",
                                 "DISCAPACIDADNO",
                                 "SEACOMPAÑAPETICIONSI",
                                 "SEACOMPAÑAPETICIONNO",
                                 "REINGRESOSI",
                                 "REINGRESONO",
                                 "ACTIVO",
                                 "OTRAS",
                                 "NORSA",
                                 "SSOTROS",
                                 "DEFINITIVO",
                                 "TEMPORAL"};
const char* const kCombos[] = {
    "CUERPOOESCALA",  "GRUPO",          "PROVINCIA", "PROVINCIATarv",
    "AREATarv",       "LOCALIDADTarv",  "ZBSTarv",   "LOCALIDADPREFERENCIA",
    "ZBSPREFERENCIA", "AREAPREFERENCIA"};

class PlantillasDelPrograma : public ::testing::TestWithParam<const char*> {
protected:
    QTemporaryDir dir;
};

TEST_P(PlantillasDelPrograma, TienenTodoLoQueElGeneradorBusca) {
    const QString carpeta = construirPlantillasReales(dir.path());
    ASSERT_FALSE(carpeta.isEmpty());
    const QString ruta = carpeta + QLatin1Char('/') + QLatin1String(GetParam());
    auto paquete = PaqueteDocx::leer(ruta);
    ASSERT_TRUE(paquete.ok());
    EXPECT_TRUE(
        paquete.valor().parte(QStringLiteral("[Content_Types].xml")).contains("template.main+xml"));
    auto r = DocumentoWord::nuevoDesdePlantilla(ruta);
    ASSERT_TRUE(r.ok());
    DocumentoWord& doc = r.valor();
    for (const char* m : {"DNICAB", "FECHAIMPR", "BORRADOR"})
        EXPECT_TRUE(doc.textoMarcador(QString::fromUtf8(m)).ok()) << m;
    for (const char* c : kCamposTexto) EXPECT_TRUE(doc.campoTexto(QString::fromUtf8(c)).ok()) << c;
    for (const char* c : kCasillas) {
        auto v = doc.casilla(QString::fromUtf8(c));
        ASSERT_TRUE(v.ok()) << c;
        EXPECT_FALSE(v.valor()) << c;
    }
    for (const char* c : kCombos) {
        EXPECT_TRUE(doc.campoTexto(QString::fromUtf8(c)).ok()) << c;
        EXPECT_TRUE(doc.campoTexto(QString::fromUtf8(c) + QLatin1Char('1')).ok()) << c;
    }
    // Cada campo una sola vez: el formulario escribe en el primero que encuentra.
    const QStringList nombres = doc.nombresCampos();
    EXPECT_EQ(nombres.size(),
              int(std::size(kCamposTexto) + std::size(kCasillas) + 2 * std::size(kCombos)));
    EXPECT_EQ(QSet<QString>(nombres.begin(), nombres.end()).size(), nombres.size());

    // La tabla 2 es la del código del solicitante; la 3, la de cursos.
    EXPECT_EQ(doc.tabla(2).valor().filas(), 1);
    EXPECT_EQ(doc.tabla(3).valor().celda(1, 1).texto(), QStringLiteral("Curso"));
    const struct {
        const QString& marcador;
        int columnas;
        int filas;
    } listas[] = {{MarcadoresListas::Cursos, 4, 1},
                  {MarcadoresListas::Documentos, 2, 1},
                  {MarcadoresListas::Vacantes, 6, 1},
                  {MarcadoresListas::Resultas, 5, 2}};
    for (const auto& l : listas) {
        auto t = doc.tablaConMarcador(l.marcador);
        ASSERT_TRUE(t.ok()) << l.marcador.toStdString();
        EXPECT_EQ(t.valor().columnas(), l.columnas);
        EXPECT_EQ(t.valor().filas(), l.filas);
    }
    const bool es97 = QString::fromUtf8(GetParam()).contains(QLatin1String("97"));
    for (const QString& marca : {MarcasTexto::Cursos, MarcasTexto::Documentos,
                                 MarcasTexto::Vacantes, MarcasTexto::Resultas})
        EXPECT_EQ(doc.textoPlano().contains(marca), es97) << marca.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Variantes, PlantillasDelPrograma,
                         ::testing::Values("PlantillaWXP.dot", "PlantillaW97.dot"),
                         [](const auto& info) {
                             return QString::fromUtf8(info.param).contains(QLatin1String("97"))
                                        ? std::string("W97")
                                        : std::string("WXP");
                         });

TEST(PlantillasDelPrograma, CadaCombinacionDePestanasLlevaSusListas) {
    QTemporaryDir dir;
    const QString carpeta = construirPlantillasReales(dir.path(), QStringLiteral("DOT_10110"));
    ASSERT_FALSE(carpeta.isEmpty());
    auto r = DocumentoWord::nuevoDesdePlantilla(carpeta + QStringLiteral("/PlantillaWXP.dot"));
    ASSERT_TRUE(r.ok());
    EXPECT_FALSE(r.valor().tablaConMarcador(MarcadoresListas::Cursos).ok());
    EXPECT_FALSE(r.valor().tablaConMarcador(MarcadoresListas::Documentos).ok());
    EXPECT_TRUE(r.valor().tablaConMarcador(MarcadoresListas::Vacantes).ok());
    EXPECT_TRUE(r.valor().tablaConMarcador(MarcadoresListas::Resultas).ok());
    EXPECT_TRUE(r.valor().campoTexto(QStringLiteral("ZBSPREFERENCIA1")).ok());
    // Una combinación mal escrita no se construye.
    EXPECT_TRUE(construirPlantillasReales(dir.path(), QStringLiteral("DOT_12")).isEmpty());
}

// El manual lleva cada captura de ventana que nombra su fuente, en su sitio y sin marcas.
TEST(ManualDeUsuario, LlevaLasCapturasDeLasVentanas) {
    QTemporaryDir dir;
    const QString manual = dir.filePath(QStringLiteral("Manual de Usuario.doc"));
    QProcess p;
    p.start(rutaBinarios("/movilant-plantillas"),
            {QStringLiteral("manual"), rutaFuentes("/datos/plantillas"), manual});
    ASSERT_TRUE(p.waitForFinished(60000));
    ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    QFile fuente(rutaFuentes("/datos/plantillas/manual.txt"));
    ASSERT_TRUE(fuente.open(QIODevice::ReadOnly));
    const int capturas =
        int(QString::fromUtf8(fuente.readAll()).count(QStringLiteral("](capturas/")));
    EXPECT_GE(capturas, 7);
    auto paquete = PaqueteDocx::leer(manual);
    ASSERT_TRUE(paquete.ok()) << paquete.mensaje().toStdString();
    int imagenes = 0;
    for (const QString& n : paquete.valor().nombres())
        imagenes +=
            n.startsWith(QStringLiteral("word/media/")) && n.endsWith(QStringLiteral(".png"));
    EXPECT_EQ(imagenes, capturas);
    auto doc = DocumentoWord::nuevoDesdePlantilla(manual);
    ASSERT_TRUE(doc.ok());
    EXPECT_FALSE(doc.valor().textoPlano().contains(QStringLiteral("[[imagen:")));
    EXPECT_TRUE(doc.valor().textoPlano().contains(QStringLiteral("Cargar otra solicitud")));
}

}  // namespace
