#include "../apoyo/RutasCompilacion.h"
#include "ApoyoCatalogos.h"
#include "catalogue/GeneradorCatalogos.h"
#include "catalogue/ModCargaFicheros.h"
#include "startup/CargaCatalogos.h"
#include "startup/ComprobacionCatalogos.h"

#include <QProcess>
#include <QSet>

namespace {

QSet<QString> valores(const PTabla& t, const QString& campo) {
    QSet<QString> v;
    const int c = t->indiceCampo(campo);
    for (int f = 0; f < t->numeroRegistros(); ++f) v.insert(t->valorEnFila(f, c).toString());
    return v;
}

// Un juego de ejemplo generado una vez para todas las pruebas de este grupo.
class JuegoEjemploTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        juego = new QTemporaryDir;
        ASSERT_TRUE(generarCatalogos(juego->path(), tamanoPequeno()).ok());
    }
    static void TearDownTestSuite() {
        delete juego;
        juego = nullptr;
    }
    void SetUp() override { reiniciarGlobales(); }
    void TearDown() override { reiniciarGlobales(); }

    // Copia del juego en una carpeta propia, para dañarla.
    QString copia() {
        for (const QString& f : QDir(juego->path()).entryList({"*.enc"}))
            QFile::copy(juego->path() + "/" + f, propia.path() + "/" + f);
        return propia.path();
    }
    static QList<Hallazgo> de(const QList<Hallazgo>& hs, const QString& fichero) {
        QList<Hallazgo> r;
        for (const auto& h : hs)
            if (h.fichero == fichero) r << h;
        return r;
    }

    static QTemporaryDir* juego;
    QTemporaryDir propia;
    MensajesGuion guion;
};

QTemporaryDir* JuegoEjemploTest::juego = nullptr;

TEST_F(JuegoEjemploTest, ElGeneradorEsDeterminista) {
    QTemporaryDir otra;
    ASSERT_TRUE(generarCatalogos(otra.path(), tamanoPequeno()).ok());
    const QStringList ficheros = QDir(juego->path()).entryList({"*.enc"});
    ASSERT_EQ(ficheros.size(), 16);
    for (const QString& f : ficheros)
        EXPECT_EQ(leerBytes(otra.path() + "/" + f), leerBytes(juego->path() + "/" + f)) << f;
}

TEST_F(JuegoEjemploTest, SeCargaEnteroYCasaEntreSi) {
    const Resultado r = cargarTodosLosCatalogos(juego->path());
    ASSERT_TRUE(r.ok()) << r.mensaje().toStdString();
    EXPECT_TRUE(guion.mostrados().isEmpty());
    const Globales& g = G();
    EXPECT_EQ(g.rsPlazasVacantes->numeroRegistros(), 1500);
    EXPECT_EQ(g.rsPlazasResultas->numeroRegistros(), 1500);
    EXPECT_EQ(g.rsCuerpos->numeroRegistros(), 40);
    const QSet<QString> grupos = valores(g.rsCuerpos, "Grupo");
    EXPECT_TRUE(grupos.contains("X"));
    EXPECT_GE(grupos.size(), 4);

    const QSet<QString> areas = valores(g.rsAreas, "CodArea");
    const QSet<QString> zonas = valores(g.rsZonas, "CodZona");
    const QSet<QString> consejerias = valores(g.rsConsejeriasVacantes, "CodConsejeria");
    const QSet<QString> enlazadas = valores(g.rsPlazasCuerpo, "CodPlaza");
    for (const PTabla& t : {g.rsPlazasVacantes, g.rsPlazasResultas}) {
        for (t->moverPrimero(); !t->eof(); t->moverSiguiente()) {
            const QString cod = t->texto("CodConvocatoria");
            SCOPED_TRACE(cod.toStdString());
            // Las Vacantes guardan el área con seis ceros detrás; las Resultas, tal cual.
            const QString codArea = t->texto("CodArea");
            if (t == g.rsPlazasVacantes) {
                ASSERT_EQ(codArea.size(), 8);
                EXPECT_TRUE(codArea.endsWith("000000"));
            } else {
                EXPECT_EQ(codArea.size(), 2);
            }
            EXPECT_TRUE(areas.contains(codArea.left(2)));
            EXPECT_FALSE(t->texto("Area").isEmpty());
            EXPECT_TRUE(zonas.contains(t->texto("CodZona")));
            EXPECT_TRUE(consejerias.contains(t->texto("CodConsejeria")));
            EXPECT_LE(t->texto("Localidad").size(), 50);
            EXPECT_TRUE(enlazadas.contains(cod));
        }
    }
    // Las listas del juego pequeño remiten todas a plazas existentes.
    for (const PTabla& t : {g.rsPlazasListaV, g.rsPlazasListaR}) {
        EXPECT_GT(t->numeroRegistros(), 500);
        for (t->moverPrimero(); !t->eof(); t->moverSiguiente())
            EXPECT_FALSE(t->texto("NomConvocatoria").isEmpty())
                << t->texto("CodConvocatoria").toStdString();
    }
    // Todo cuerpo ofrecido tiene plazas vacantes.
    const QSet<QString> vacantes = valores(g.rsPlazasVacantes, "CodConvocatoria");
    QHash<QString, int> plazasPorCuerpo;
    for (g.rsPlazasCuerpo->moverPrimero(); !g.rsPlazasCuerpo->eof();
         g.rsPlazasCuerpo->moverSiguiente())
        if (vacantes.contains(g.rsPlazasCuerpo->texto("CodPlaza")))
            ++plazasPorCuerpo[g.rsPlazasCuerpo->texto("CodCuerpo")];
    for (g.rsCuerpos->moverPrimero(); !g.rsCuerpos->eof(); g.rsCuerpos->moverSiguiente())
        if (g.rsCuerpos->texto("Grupo") != "X") {
            EXPECT_GT(plazasPorCuerpo.value(g.rsCuerpos->texto("CodCuerpo")), 0);
        }
    // Los nombres de zona vuelven de CP850 con sus tildes y eñes.
    bool conTilde = false;
    for (const QString& z : valores(g.rsZonas, "Zona"))
        conTilde = conTilde || z.contains(QString::fromUtf8("á"));
    EXPECT_TRUE(conTilde);
}

TEST_F(JuegoEjemploTest, VolcadoDeLasVeintiunaTablas) {
    ASSERT_TRUE(cargarTodosLosCatalogos(juego->path()).ok());
    const QStringList lineas = volcarTablas(tablasDeLosFicheros()).split(u'\n');
    QStringList cabeceras;
    for (const QString& l : lineas)
        if (l.startsWith("# ")) cabeceras << l.mid(2);
    EXPECT_EQ(cabeceras, (QStringList{"rsCuerpos",
                                      "rsSituaciones",
                                      "rsGrupos",
                                      "rsZonas",
                                      "rsAreas",
                                      "rsAreasTarv",
                                      "rsZonasTarv",
                                      "rsLocalidades",
                                      "rsInstituciones",
                                      "rsConsejeriasVacantes",
                                      "rsConsejeriasResultas",
                                      "rsProvincias",
                                      "rsProvinciasPersonales",
                                      "rsPlazasResultas",
                                      "rsPlazasVacantes",
                                      "rsPlazasCuerpo",
                                      "rsPlazasGrupo",
                                      "rsPlazasListaR",
                                      "rsPlazasListaV",
                                      "rsLocalidadesVacantes",
                                      "rsLocalidadesResultas"}));
    ASSERT_GT(lineas.size(), 3);
    EXPECT_EQ(lineas.at(1), "CodCuerpo\tDescCuerpo\tGrupo");
    EXPECT_EQ(lineas.at(2).split(u'\t').size(), 3);
    const qsizetype grupos = lineas.indexOf("# rsGrupos");
    EXPECT_EQ(lineas.mid(grupos + 1, 7),
              (QStringList{"Grupo", "A", "B", "C", "D", "E", "# rsZonas"}));
}

TEST_F(JuegoEjemploTest, ElFalloDeUnPasoLlevaSuNumero) {
    const QString c = copia();
    QFile::remove(c + "/F0016.enc");
    const Resultado r = cargarTodosLosCatalogos(c);
    ASSERT_FALSE(r.ok());
    // Primero el aviso de la decodificación; luego el fallo de apertura con el paso 260.
    ASSERT_EQ(guion.mostrados().size(), 1);
    EXPECT_TRUE(guion.textos().first().startsWith("Se ha producido el siguiente error 53-"));
    EXPECT_TRUE(r.mensaje().startsWith(QString::fromUtf8("Error en línea 260."))) << r.mensaje();
    EXPECT_TRUE(r.mensaje().endsWith(QStringLiteral(" %1").arg(kErrorAccesoRuta))) << r.mensaje();
    // Lo anterior al paso quedó cargado; lo posterior, no.
    EXPECT_GT(G().rsLocalidades->numeroRegistros(), 0);
    EXPECT_FALSE(G().rsPlazasVacantes);
}

TEST_F(JuegoEjemploTest, ComprobarNoEncuentraNadaEnElJuego) {
    // Comprobar carga una copia: la carpeta revisada no se toca.
    QFile::remove(juego->path() + "/temp.tmp");
    const QList<Hallazgo> hs = comprobarCatalogos(juego->path());
    for (const auto& h : hs) ADD_FAILURE() << describir(h).toStdString();
    EXPECT_FALSE(QFile::exists(juego->path() + "/temp.tmp"));
}

TEST_F(JuegoEjemploTest, ComprobarNombraFicheroYLineaEnUnaCopiaDanada) {
    const QString c = copia();
    // F0009: un byte 0 en la línea 10 (no se puede descifrar).
    QList<QByteArray> plazas = leerBytes(c + "/F0009.enc").split('\n');
    plazas[9][3] = '\0';
    escribirBytes(c + "/F0009.enc", plazas.join('\n'));
    // F0005 con LF en lugar de CR+LF.
    escribirBytes(c + "/F0005.enc", leerBytes(c + "/F0005.enc").replace("\r\n", "\n"));
    // F0010: la línea 5 repite el código de la 2.
    QList<QByteArray> resultas = leerBytes(c + "/F0010.enc").split('\n');
    resultas[4] = resultas[1];
    escribirBytes(c + "/F0010.enc", resultas.join('\n'));
    // F0011: un código que no está en F0009, en la línea 3.
    QList<QByteArray> lista = leerBytes(c + "/F0011.enc").split('\n');
    lista[2] = "::::8\r";  // "99997" cifrado
    escribirBytes(c + "/F0011.enc", lista.join('\n'));
    QFile::remove(c + "/F0016.enc");

    const QList<Hallazgo> hs = comprobarCatalogos(c);
    auto unico = [&](const QString& fichero) {
        const auto h = de(hs, fichero);
        EXPECT_EQ(h.size(), 1) << fichero.toStdString();
        return h.value(0);
    };
    const Hallazgo cero = unico("F0009.enc");
    EXPECT_EQ(cero.linea, 10);
    EXPECT_TRUE(cero.impideCarga);
    EXPECT_TRUE(describir(cero).startsWith(QString::fromUtf8("F0009.enc, línea 10: ")));
    const Hallazgo lf = unico("F0005.enc");
    EXPECT_EQ(lf.linea, 1);
    EXPECT_FALSE(lf.impideCarga);
    EXPECT_TRUE(lf.descripcion.contains("LF"));
    const Hallazgo repetido = unico("F0010.enc");
    EXPECT_EQ(repetido.linea, 5);
    EXPECT_TRUE(repetido.descripcion.contains(QString::fromUtf8("línea 2")));
    // La línea dañada de F0009 puede dejar sin catálogo algún código más de la lista.
    const auto lista11 = de(hs, "F0011.enc");
    const auto huerfano = std::find_if(lista11.cbegin(), lista11.cend(),
                                       [](const Hallazgo& h) { return h.linea == 3; });
    ASSERT_NE(huerfano, lista11.cend());
    EXPECT_TRUE(huerfano->descripcion.contains("99997"));
    EXPECT_FALSE(huerfano->impideCarga);
    const Hallazgo falta = unico("F0016.enc");
    EXPECT_EQ(falta.linea, 0);
    EXPECT_TRUE(falta.impideCarga);
}

TEST_F(JuegoEjemploTest, LaHerramientaTerminaConElEstadoDebido) {
    const QString programa = rutaBinarios("/movilant-catalogos");
    if (!QFile::exists(programa)) GTEST_SKIP() << "sin movilant-catalogos compilado";
    QProcess p;
    const QStringList antes = QDir(juego->path()).entryList(QDir::Files | QDir::Hidden);
    p.start(programa, {"volcar", juego->path()});
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 0);
    EXPECT_TRUE(
        p.readAllStandardOutput().startsWith("# rsCuerpos\nCodCuerpo\tDescCuerpo\tGrupo\n"));
    // La carpeta que se vuelca no cambia: ni siquiera recibe temp.tmp.
    EXPECT_EQ(QDir(juego->path()).entryList(QDir::Files | QDir::Hidden), antes);

    const QString c = copia();
    QFile::remove(c + "/F0004.enc");
    p.start(programa, {"comprobar", c});
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_NE(p.exitCode(), 0);
    EXPECT_TRUE(p.readAllStandardOutput().contains("F0004.enc: falta el fichero"));
    EXPECT_TRUE(QString::fromUtf8(p.readAllStandardError()).contains("no se pueden cargar"));

    p.start(programa, {"volcar", c});
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_NE(p.exitCode(), 0);
    EXPECT_FALSE(p.readAllStandardError().isEmpty());

    p.start(programa, {"generar", c, "--tamano", "mediano"});
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_NE(p.exitCode(), 0);
    EXPECT_TRUE(QString::fromUtf8(p.readAllStandardError())
                    .contains(QString::fromUtf8("Tamaño no válido")));
}

TEST(TamanoCatalogos, GrandeYNumerico) {
    const auto grande = interpretarTamano("grande");
    ASSERT_TRUE(grande.ok());
    EXPECT_GE(grande.valor().plazas, 20000);
    EXPECT_GE(grande.valor().cuerpos, 400);
    const auto n = interpretarTamano("300");
    ASSERT_TRUE(n.ok());
    EXPECT_EQ(n.valor().plazas, 300);
    for (const char* malo : {"0", "-5", "muchos", "", "9999999"})
        EXPECT_FALSE(interpretarTamano(malo).ok()) << malo;

    QTemporaryDir d;
    ASSERT_TRUE(generarCatalogos(d.path(), grande.valor()).ok());
    auto lineas = [&](const char* f) {
        const auto r = descifrarContenido(leerBytes(d.path() + "/" + f), f);
        return r.ok() ? int(r.valor().size()) : -1;
    };
    EXPECT_EQ(lineas("F0009.enc"), 20000);
    EXPECT_EQ(lineas("F0010.enc"), 20000);
    EXPECT_GE(lineas("F0004.enc"), 400);
}

}  // namespace
