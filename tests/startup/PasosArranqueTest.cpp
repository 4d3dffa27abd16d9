#include "startup/PasosArranque.h"

#include "../apoyo/OtroPrograma.h"
#include "../catalogue/ApoyoCatalogos.h"
#include "catalogue/Esquemas.h"
#include "platform/FicheroAparte.h"
#include "storage/BloqueoSolicitud.h"
#include "storage/GuardadoPar.h"

#include <sys/stat.h>
#include <QDateTime>
#include <cerrno>
#include <cstdio>

namespace {

class PasosArranqueTest : public ::testing::Test {
protected:
    void SetUp() override {
        reiniciarGlobales();
        QDir(dir.path()).mkpath("ficheros/temp");
    }
    void TearDown() override {
        ponerGanchoRenombrar({});
        reiniciarGlobales();
    }
    QTemporaryDir dir;
    MensajesGuion guion;
};

TEST_F(PasosArranqueTest, FijaLasRutasYCargaLosCuerpos) {
    escribirCatalogo(dir.path() + "/ficheros", "F0004.enc",
                     {"A01234Facultativo", "X09999Sin oferta", "C00042Administrativo"});
    const Resultado r = PrepararArranque(dir.path());
    ASSERT_TRUE(r.ok()) << r.mensaje().toStdString();
    EXPECT_EQ(G().RutaFicheros, dir.path() + "/ficheros/");
    EXPECT_EQ(G().RutaTemporal, dir.path() + "/ficheros/temp/");
    ASSERT_TRUE(G().rsCuerpos);
    EXPECT_EQ(G().rsCuerpos->nombre(), "rsCuerpos");
    EXPECT_EQ(G().rsCuerpos->numeroRegistros(), 3);
    G().rsCuerpos->moverUltimo();
    EXPECT_EQ(G().rsCuerpos->texto("CodCuerpo"), "00042");
    EXPECT_TRUE(guion.mostrados().isEmpty());
}

// Al arrancar, la carpeta de las solicitudes se cierra a los demás y se borra el documento entero
// que dejó una impresión cortada; el de una solicitud abierta en otro programa se deja.
TEST_F(PasosArranqueTest, LaCarpetaDeSolicitudesEsPrivadaYSinRestosDeImpresiones) {
    escribirCatalogo(dir.path() + "/ficheros", "F0004.enc", {"A01234Facultativo"});
    const QString temp = dir.path() + "/ficheros/temp/";
    ASSERT_EQ(::chmod(QFile::encodeName(temp).constData(), 0755), 0);
    for (const char* f :
         {"12345678ZABCDEF0A.docx", "12345678Z_ABCDE0B.docx", "12345678ZABCDEF0A.doc", "otro.docx"})
        escribirBytes(temp + f, "x");
    const auto abierta = BloqueoSolicitud::tomar(temp, "12345678Z_ABCDE0B.doc");
    ASSERT_TRUE(abierta.ok());
    ASSERT_TRUE(PrepararArranque(dir.path()).ok());
    EXPECT_EQ(permisos(temp), 0700);
    QStringList quedan = QDir(temp).entryList(QDir::Files);
    quedan.sort();
    EXPECT_EQ(quedan,
              (QStringList{"12345678ZABCDEF0A.doc", "12345678Z_ABCDE0B.docx", "otro.docx"}));
}

// Una segunda copia del programa arranca mientras la primera guarda una solicitud (parada entre
// poner el documento nuevo y las listas): su limpieza no toca los ficheros aparte de esa solicitud,
// tampoco la copia del documento de antes, que lleva la hora vieja de ese documento. Así, cuando
// las listas fallan, la solicitud vuelve a como estaba. Los restos de una solicitud que nadie tiene
// abierta se borran aunque sean recientes (el PDF sin comprobar de una impresión cortada); el PDF
// que se quedó junto a una solicitud porque no había impresora, no.
TEST_F(PasosArranqueTest, LaLimpiezaDeOtraCopiaNoTocaUnGuardadoEnMarcha) {
    escribirCatalogo(dir.path() + "/ficheros", "F0004.enc", {"A01234Facultativo"});
    const QString temp = dir.path() + "/ficheros/temp/";
    const QString doc = temp + "12345678ZABCDEF0A.doc", xml = temp + "12345678ZABCDEF0A.xml";
    escribirBytes(doc, "documento viejo");
    escribirBytes(xml, "listas viejas");
    {
        QFile f(doc);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.setFileTime(QDateTime::currentDateTime().addSecs(-7200),
                                  QFileDevice::FileModificationTime));
    }
    const QString restoPdf = nombreAparte(temp + "12345678Z_ABCDE0B.pdf");
    const QString restoDoc = nombreAparte(temp + "12345678Z_ABCDE0B.doc");
    const QString comprobado = temp + "12345678Z_ABCDE0B.pdf";
    for (const QString& f : {restoPdf, restoDoc, comprobado}) escribirBytes(f, "%PDF");
    const auto bloqueo = BloqueoSolicitud::tomar(temp, "12345678ZABCDEF0A.doc");
    ASSERT_TRUE(bloqueo.ok());
    const auto docAparte = escribirAparte(doc, "documento nuevo");
    const auto xmlAparte = escribirAparte(xml, "listas nuevas");
    ASSERT_TRUE(docAparte.ok() && xmlAparte.ok());
    bool otraArranco = false;
    ponerGanchoRenombrar([&](const QString& de, const QString& a) {
        if (a == xml) {
            // La primera copia, parada aquí; la segunda arranca entera y termina.
            OtroPrograma otra([&] { return PrepararArranque(dir.path()).ok(); });
            otraArranco = otra.hecho();
            return EIO;
        }
        return ::rename(QFile::encodeName(de).constData(), QFile::encodeName(a).constData()) == 0
                   ? 0
                   : errno;
    });
    const Resultado r = ponerParEnSuSitio(docAparte.valor(), doc, xmlAparte.valor(), xml);
    ponerGanchoRenombrar({});
    EXPECT_TRUE(otraArranco);
    ASSERT_FALSE(r.ok());
    EXPECT_TRUE(r.mensaje().contains("No se ha guardado nada")) << r.mensaje().toStdString();
    EXPECT_EQ(leerBytes(doc), "documento viejo");
    EXPECT_EQ(leerBytes(xml), "listas viejas");
    EXPECT_FALSE(QFile::exists(restoPdf));
    EXPECT_FALSE(QFile::exists(restoDoc));
    EXPECT_TRUE(QFile::exists(comprobado));
}

// Instalado, los catálogos no se escriben: la carpeta de datos del usuario (y las de encima, en
// una cuenta nueva) se crea solo suya y en ella se descifran los catálogos y van las solicitudes.
TEST_F(PasosArranqueTest, InstaladoTodoLoQueEscribeVaALaCarpetaDeDatos) {
    const QString catalogos = dir.path() + "/juego/";
    ASSERT_TRUE(QDir().mkpath(catalogos));
    escribirCatalogo(catalogos, "F0004.enc", {"A01234Facultativo"});
    RutasPrograma rutas;
    rutas.instalado = true;
    rutas.programa = dir.path() + "/share/movilant";
    rutas.catalogos = catalogos;
    rutas.datos = dir.path() + "/casa/.local/share/movilant";
    const Resultado r = PrepararArranque(rutas);
    ASSERT_TRUE(r.ok()) << r.mensaje().toStdString();
    EXPECT_EQ(permisos(rutas.datos), 0700);
    EXPECT_EQ(permisos(rutas.datos + "/temp"), 0700);
    EXPECT_EQ(G().RutaTemporal, rutas.datos + "/temp/");
    EXPECT_EQ(G().RutaFicheros, dir.path() + "/share/movilant/ficheros/");
    EXPECT_EQ(rutaCatalogos(), catalogos);
    EXPECT_TRUE(QFile::exists(rutas.datos + "/temp.tmp"));
    EXPECT_EQ(QDir(catalogos).entryList(QDir::Files), QStringList{"F0004.enc"});
    EXPECT_EQ(G().rsCuerpos->numeroRegistros(), 1);

    // Si en su lugar hay un fichero, no arranca y se dice qué carpeta y por qué.
    reiniciarGlobales();
    rutas.datos = dir.path() + "/ocupada";
    escribirBytes(rutas.datos, "x");
    const Resultado f = PrepararArranque(rutas);
    ASSERT_FALSE(f.ok());
    EXPECT_EQ(f.mensaje(), "no se puede crear la carpeta de datos " + rutas.datos +
                               ": en su lugar hay un fichero");
}

TEST_F(PasosArranqueTest, SinFicheroDeCuerposAvisaYFalla) {
    const Resultado r = PrepararArranque(dir.path());
    EXPECT_FALSE(r.ok());
    EXPECT_FALSE(r.mensaje().isEmpty());
    ASSERT_EQ(guion.mostrados().size(), 1);
    EXPECT_TRUE(
        guion.mostrados().first().texto.startsWith("Se ha producido el siguiente error 53-"));
    EXPECT_EQ(guion.mostrados().first().icono, Icono::Critico);
}

TEST_F(PasosArranqueTest, CerrarTablasCierraYSueltaLasDeLaLista) {
    Globales& g = G();
    g.rsCuerpos = CrearTablaCuerpos();
    g.rsPlazasVacantes = CrearTablaPlazas("rsPlazasVacantes");
    g.rsVacantesCuerpo = g.rsPlazasVacantes->clonar();
    g.rsCursos = CrearTablaCursos();
    g.rsSolicitudesGuardadas = CrearTablaCursos("rsSolicitudesGuardadas");
    g.rsAreas = CrearTablaAreas();  // no está en la lista: se queda
    const PTabla cuerpos = g.rsCuerpos;
    const PTabla cursos = g.rsCursos;
    cursos->cerrar();  // una ya cerrada no estorba

    CerrarTablas();

    EXPECT_FALSE(g.rsCuerpos);
    EXPECT_FALSE(g.rsPlazasVacantes);
    EXPECT_FALSE(g.rsVacantesCuerpo);
    EXPECT_FALSE(g.rsCursos);
    EXPECT_FALSE(g.rsSolicitudesGuardadas);
    EXPECT_FALSE(g.rsGrupos);  // vacía desde el principio: sin fallo
    EXPECT_FALSE(cuerpos->abierta());
    ASSERT_TRUE(g.rsAreas);
    EXPECT_TRUE(g.rsAreas->abierta());
}

}  // namespace
