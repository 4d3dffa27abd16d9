#include "../apoyo/Ficheros.h"
#include "catalogue/Esquemas.h"
#include "global/Configuracion.h"
#include "global/Globales.h"
#include "storage/ListasXml.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {

const QString kDoc = QStringLiteral("12345678Z_10000_0A.doc");
const QString kXml = QStringLiteral("12345678Z_10000_0A.xml");

struct Listas {
    PTabla vacantes = CrearTablaPlazasSolicitadas("rsVacantesSolicitadas");
    PTabla resultas = CrearTablaPlazasSolicitadas("rsResultasSolicitadas");
    PTabla cursos = CrearTablaCursos();
    PTabla documentos = CrearTablaDocumentos();
};

// Una plaza pedida con todas sus columnas.
void plaza(const PTabla& t, qint64 id, qint64 orden, const QString& cod, const QString& nombre) {
    ASSERT_TRUE(t->anadirRegistro({id, orden, cod, nombre, "Hospital General", "Villa (León)",
                                   "03000000", "0301", "Área Tres", "Zona Uno"})
                    .ok());
}

// Fila de la tabla como texto "campo=valor|...", para comparar.
QString fila(const PTabla& t, int f) {
    QStringList r;
    for (int c = 0; c < t->campos().size(); ++c)
        r << t->campos()[c].nombre + "=" + t->valorEnFila(f, c).toString();
    return r.join('|');
}

class ListasXmlTest : public ::testing::Test {
protected:
    // La carpeta del programa (la de la traza) es la temporal de la prueba.
    void SetUp() override { G().RutaFicheros = dir.path() + "/ficheros/"; }
    void TearDown() override { reiniciarGlobales(); }
    ResultadoDe<LecturaListas> leer(Listas& l) {
        return LeerListasXML(dir.path() + "/", kXml, l.resultas, l.vacantes, l.cursos,
                             l.documentos);
    }
    Resultado guardar(const Listas& l) {
        return GuardarListasXML(kDoc, dir.path() + "/", l.vacantes, l.resultas, l.cursos,
                                l.documentos);
    }
    QTemporaryDir dir;
};

TEST_F(ListasXmlTest, ListasVaciasDanSusCuatroElementos) {
    Listas l;
    EXPECT_EQ(TextoListasXML(l.vacantes, l.resultas, l.cursos, l.documentos),
              "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?><Plazas><Vacantes></Vacantes>"
              "<Resultas></Resultas><Cursos></Cursos><Documentos></Documentos></Plazas>");
    ASSERT_TRUE(guardar(l).ok());
    const QByteArray bytes = leerBytes(dir.filePath(kXml));
    EXPECT_TRUE(bytes.startsWith("<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>"));
    Listas otra;
    const auto r = leer(otra);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.valor(), LecturaListas::Leidas);
    for (const PTabla& t : {otra.vacantes, otra.resultas, otra.cursos, otra.documentos})
        EXPECT_EQ(t->numeroRegistros(), 0);
}

TEST_F(ListasXmlTest, OrdenDeElementosYDeFilas) {
    Listas l;
    plaza(l.vacantes, 0, 1, "00042", "Enfermero");
    ASSERT_TRUE(
        l.cursos->anadirRegistro({"Curso", qint64(20), qint64(2019), "Escuela", qint64(0)}).ok());
    ASSERT_TRUE(l.documentos->anadirRegistro({qint64(1), "Título"}).ok());
    const QString t = TextoListasXML(l.vacantes, l.resultas, l.cursos, l.documentos);
    EXPECT_TRUE(t.contains(
        "<Vacantes><Plaza><CodConvocatoria>00042</CodConvocatoria><NomConvocatoria>Enfermero"
        "</NomConvocatoria><Orden>1</Orden><Localidad>Villa (León)</Localidad><Consejeria>"
        "Hospital General</Consejeria><IdSolicitud>0</IdSolicitud><CodArea>03000000</CodArea>"
        "<CodZona>0301</CodZona><Area>Área Tres</Area><Zona>Zona Uno</Zona></Plaza></Vacantes>"))
        << t.toStdString();
    EXPECT_TRUE(
        t.contains("<Cursos><CursoRealizado><Curso>Curso</Curso><NHoras>20</NHoras>"
                   "<Ano>2019</Ano><Centro>Escuela</Centro><IdCurso>0</IdCurso>"
                   "</CursoRealizado></Cursos>"));
    EXPECT_TRUE(
        t.contains("<Documentos><Doc><Documento>Título</Documento><IdDocumento>1"
                   "</IdDocumento><Horas></Horas><Fecha></Fecha><Centro></Centro></Doc>"
                   "</Documentos></Plazas>"));
}

TEST_F(ListasXmlTest, TresPlazasVuelvenEnSuOrdenConTodasSusColumnas) {
    Listas l;
    plaza(l.vacantes, 5, 1, "00300", "Tercera");
    plaza(l.vacantes, 2, 2, "00100", "Primera");
    plaza(l.vacantes, 9, 3, "00200", "Segunda");
    plaza(l.resultas, 0, 1, "00777", "Resulta");
    ASSERT_TRUE(guardar(l).ok());
    Listas otra;
    ASSERT_TRUE(leer(otra).ok());
    ASSERT_EQ(otra.vacantes->numeroRegistros(), 3);
    for (int f = 0; f < 3; ++f) EXPECT_EQ(fila(otra.vacantes, f), fila(l.vacantes, f)) << f;
    ASSERT_EQ(otra.resultas->numeroRegistros(), 1);
    EXPECT_EQ(fila(otra.resultas, 0), fila(l.resultas, 0));
}

TEST_F(ListasXmlTest, ElAmpersandDeCursosYDocumentosVaComoBlanco) {
    Listas l;
    ASSERT_TRUE(
        l.cursos->anadirRegistro({"Curso & Taller", qint64(5), qint64(2000), "A&B", qint64(0)})
            .ok());
    ASSERT_TRUE(l.documentos->anadirRegistro({qint64(1), "Uno&Dos", "", "", "C&D"}).ok());
    ASSERT_TRUE(guardar(l).ok());
    Listas otra;
    ASSERT_TRUE(leer(otra).ok());
    EXPECT_EQ(otra.cursos->valorEnFila(0, 0).toString(), "Curso   Taller");
    EXPECT_EQ(otra.cursos->valorEnFila(0, 3).toString(), "A B");
    EXPECT_EQ(otra.documentos->valorEnFila(0, 1).toString(), "Uno Dos");
    // El centro de un documento no pierde su "&": va escapado.
    EXPECT_EQ(otra.documentos->valorEnFila(0, 4).toString(), "C&D");
}

TEST_F(ListasXmlTest, CualquierTextoEscritoVuelveIgual) {
    Listas l;
    const QString raro = QString::fromUtf8("<Uno> & \"dos\" 'tres' € 李 ñ");
    plaza(l.vacantes, 0, 1, "00001", raro.left(50));
    ASSERT_TRUE(l.cursos->anadirRegistro({raro, qint64(5), qint64(2000), raro, qint64(0)}).ok());
    // Un carácter de control pegado en un nombre no estropea el fichero: se quita.
    ASSERT_TRUE(l.documentos->anadirRegistro({qint64(1), QString("Doc\x01umento\x1f")}).ok());
    ASSERT_TRUE(guardar(l).ok());
    // En ISO-8859-1, con referencias para lo que no cabe.
    const QByteArray bytes = leerBytes(dir.filePath(kXml));
    EXPECT_TRUE(bytes.contains("&#8364;")) << bytes.toStdString();
    EXPECT_TRUE(bytes.contains("\xf1"));  // ñ en Latin-1
    Listas otra;
    ASSERT_TRUE(leer(otra).ok());
    EXPECT_EQ(otra.vacantes->valorEnFila(0, 3).toString(), raro.left(50));
    EXPECT_EQ(otra.cursos->valorEnFila(0, 0).toString(), QString(raro).replace('&', ' '));
    EXPECT_EQ(otra.cursos->valorEnFila(0, 3).toString(), QString(raro).replace('&', ' '));
    EXPECT_EQ(otra.documentos->valorEnFila(0, 1).toString(), "Documento");
}

TEST_F(ListasXmlTest, FicherosQueNoSeLeen) {
    Listas l;
    auto r = leer(l);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.valor(), LecturaListas::NoExiste);
    escribirBytes(dir.filePath(kXml), "<Plazas><Vacantes>");
    r = leer(l);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.valor(), LecturaListas::MalFormado);
    // Bien formado, con listas dentro, pero no es un fichero de listas: no se lee nada de él.
    escribirBytes(dir.filePath(kXml),
                  "<Otra><Plazas><Vacantes/></Plazas><Vacantes><Plaza/>"
                  "</Vacantes></Otra>");
    r = leer(l);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.valor(), LecturaListas::NoEsDeListas);
    EXPECT_EQ(l.vacantes->numeroRegistros(), 0);
    // Lo que no es un fichero normal no se lee, sin esperar ni leer sin fin.
    ASSERT_TRUE(QFile::remove(dir.filePath(kXml)));
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir.filePath(kXml)).constData(), 0600), 0);
    r = leer(l);
    ASSERT_FALSE(r.ok());
    EXPECT_TRUE(r.mensaje().contains("no es un fichero normal")) << r.mensaje().toStdString();
    r = LeerListasXML("/dev/", "zero", l.resultas, l.vacantes, l.cursos, l.documentos);
    ASSERT_FALSE(r.ok());
    EXPECT_EQ(l.vacantes->numeroRegistros(), 0);
}

QString plazaXml(const QString& id, const QString& orden, const QString& cod) {
    return "<Plaza><CodConvocatoria>" + cod + "</CodConvocatoria><NomConvocatoria/><Orden>" +
           orden + "</Orden><Localidad/><Consejeria/><IdSolicitud>" + id +
           "</IdSolicitud><CodArea/><CodZona/><Area/><Zona/></Plaza>";
}

// Un registro que no se puede leer (le falta un elemento, un valor no vale, o un orden o un
// identificador que el programa no da y con el que el siguiente se desbordaría) se nombra, y
// todos los demás se leen: los de detrás, los de las otras listas. Guardar después no pierde
// nada que se pudiera leer.
TEST_F(ListasXmlTest, UnRegistroMaloNoSeLlevaLosBuenos) {
    const struct {
        QString malo;
        const char* causa;
    } casos[] = {
        {QString(plazaXml("2", "2", "2")).remove("<IdSolicitud>2</IdSolicitud>"),
         "no tiene el elemento IdSolicitud"},
        {plazaXml("2", "uno", "2"), "no vale"},
        {plazaXml("2", "9223372036854775807", "2"), "9223372036854775807 de Orden no está"},
        {plazaXml("2", "99999999999999999999", "2"), "de Orden no está entre 1 y 2147483647"},
        {plazaXml("2", "0", "2"), "0 de Orden no está"},
        {plazaXml("-1", "2", "2"), "-1 de IdSolicitud no está entre 0 y"},
        {plazaXml("2147483648", "2", "2"), "2147483648 de IdSolicitud no está"},
        {"<Curso/>", "no es un Plaza"},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.causa);
        escribirBytes(dir.filePath(kXml),
                      ("<?xml version=\"1.0\" encoding=\"iso-8859-1\"?><Plazas><Vacantes>" +
                       plazaXml("1", "1", "1") + c.malo + plazaXml("2147483647", "3", "3") +
                       "</Vacantes><Resultas>" + plazaXml("0", "1", "4") +
                       "</Resultas><Cursos><CursoRealizado><Curso>C</Curso><NHoras>1</NHoras>"
                       "<Ano>2020</Ano><Centro/><IdCurso>1</IdCurso></CursoRealizado></Cursos>"
                       "<Documentos><Doc><Documento>D</Documento><IdDocumento>1</IdDocumento>"
                       "<Horas/><Fecha/><Centro/></Doc></Documentos></Plazas>")
                          .toUtf8());
        Listas l;
        const auto r = leer(l);
        ASSERT_FALSE(r.ok());
        EXPECT_TRUE(r.mensaje().contains("en la lista Vacantes, el registro 2"))
            << r.mensaje().toStdString();
        EXPECT_TRUE(r.mensaje().contains(c.causa)) << r.mensaje().toStdString();
        ASSERT_EQ(l.vacantes->numeroRegistros(), 2);
        EXPECT_EQ(l.vacantes->valorEnFila(1, 2).toString(), "3");
        EXPECT_EQ(l.resultas->numeroRegistros(), 1);
        EXPECT_EQ(l.cursos->numeroRegistros(), 1);
        EXPECT_EQ(l.documentos->numeroRegistros(), 1);
        // Lo leído se vuelve a guardar entero.
        ASSERT_TRUE(guardar(l).ok());
        Listas otra;
        ASSERT_TRUE(leer(otra).ok());
        EXPECT_EQ(otra.vacantes->numeroRegistros(), 2);
        EXPECT_EQ(otra.resultas->numeroRegistros(), 1);
    }
}

TEST_F(ListasXmlTest, UnaCarpetaQueNoSePuedeEscribirLoDice) {
    Listas l;
    plaza(l.vacantes, 0, 1, "00001", "Una");
    const Resultado r = GuardarListasXML(kDoc, dir.path() + "/no-existe/", l.vacantes, l.resultas,
                                         l.cursos, l.documentos);
    ASSERT_FALSE(r.ok());
    EXPECT_TRUE(r.mensaje().contains(kXml)) << r.mensaje().toStdString();
    // El texto que no se pudo guardar queda en la traza, en la carpeta del programa.
    EXPECT_TRUE(leerBytes(carpetaAplicacion() + "/traza.txt").contains("<CodConvocatoria>00001"));
    // Tampoco donde ya hay algo que no es un fichero: lo dice y no lo toca.
    ASSERT_TRUE(QDir(dir.path()).mkdir(kXml));
    const Resultado otra = guardar(l);
    ASSERT_FALSE(otra.ok());
    EXPECT_TRUE(otra.mensaje().contains(kXml));
    EXPECT_TRUE(QFileInfo(dir.filePath(kXml)).isDir());
}

}  // namespace
