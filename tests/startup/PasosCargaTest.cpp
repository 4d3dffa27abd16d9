#include "../apoyo/RutasCompilacion.h"
#include "../catalogue/ApoyoCatalogos.h"
#include "catalogue/Decodificacion.h"
#include "catalogue/Esquemas.h"
#include "catalogue/GeneradorCatalogos.h"
#include "catalogue/ModCargaFicheros.h"
#include "startup/PasosCarga.h"
#include "storage/SolicitudesGuardadas.h"

#include <algorithm>
#include <functional>

namespace {

// Registra lo que la pantalla de carga enseñaría.
struct RegistroCarga : ObservadorCarga {
    void cursorEspera(bool activo) override { cursores.append(activo); }
    void fijarTextoInformativo(const QString& t) override { texto = t; }
    void fijarTitulo(const QString& t) override { titulo = t; }
    void fijarMaximo(int m) override { maximo = m; }
    void fijarValor(int v) override {
        valor = v;
        mayorExceso = std::max(mayorExceso, v - maximo);
    }
    void repintar() override { ++repintados; }

    QList<bool> cursores;
    QString texto, titulo;
    int maximo = 0, valor = 0, repintados = 0;
    int mayorExceso = INT_MIN;
};

class PasosCargaTest : public CatalogosTest {
protected:
    void SetUp() override {
        CatalogosTest::SetUp();
        // La carpeta de ficheros cuelga de la del programa, donde está conf.xml.
        G().RutaFicheros = dir.path() + "/ficheros/";
        ASSERT_TRUE(QDir(dir.path()).mkpath("ficheros"));
        TamanoCatalogos t;
        t.plazas = 60;
        t.cuerpos = 12;
        ASSERT_TRUE(generarCatalogos(ficheros(), t).ok());
        ASSERT_TRUE(QFile::copy(rutaFuentes("/datos/conf.xml"), dir.filePath("conf.xml")));
        escribirBytes(ficheros() + "FicheroTexto.txt", "Primera l\xednea\r\nSegunda\r\n");
    }
    QString ficheros() const { return G().RutaFicheros; }
    void cargarCuerpos() {
        G().rsCuerpos = CrearTablaCuerpos();
        ASSERT_TRUE(CargarCuerpos(G().rsCuerpos).ok());
    }
};

TEST_F(PasosCargaTest, CargaCompletaConLaBarraJustoLlena) {
    cargarCuerpos();
    RegistroCarga obs;
    PasosCarga pasos(obs);
    const auto fallo = pasos.ejecutar();
    ASSERT_FALSE(fallo) << fallo->mensaje();
    const int cuerpos = G().rsCuerpos->numeroRegistros();
    const int grupos = G().rsGrupos->numeroRegistros();
    EXPECT_EQ(obs.maximo, PasosCarga::maximoBarra(cuerpos, grupos));
    EXPECT_EQ(obs.valor, obs.maximo);
    EXPECT_LE(obs.mayorExceso, 0);
    EXPECT_EQ(obs.titulo, "Concurso de Traslados 1.2.0");
    EXPECT_EQ(obs.texto, QStringLiteral("\r\nPrimera línea\r\nSegunda"));
    EXPECT_EQ(obs.cursores, QList<bool>({true, false}));
    EXPECT_EQ(obs.repintados, 4);
    EXPECT_TRUE(guion.mostrados().isEmpty());
    // Todas las tablas quedan creadas, y los índices con dos huecos por cuerpo.
    Globales& g = G();
    for (const PTabla& t : {g.rsAreas,
                            g.rsSituaciones,
                            g.rsZonas,
                            g.rsGrupos,
                            g.rsAreasTarv,
                            g.rsZonasTarv,
                            g.rsLocalidades,
                            g.rsLocalidadesTarv,
                            g.rsCursos,
                            g.rsInstituciones,
                            g.rsConsejeriasVacantes,
                            g.rsConsejeriasResultas,
                            g.rsProvincias,
                            g.rsProvinciasPersonales,
                            g.rsResultasSolicitadas,
                            g.rsVacantesSolicitadas,
                            g.rsPlazasResultas,
                            g.rsPlazasVacantes,
                            g.rsPlazasCuerpo,
                            g.rsPlazasGrupo,
                            g.rsPlazasListaR,
                            g.rsPlazasListaV,
                            g.rsLocalidadesVacantes,
                            g.rsLocalidadesResultas,
                            g.rsDocumentos})
        EXPECT_TRUE(t && t->abierta());
    EXPECT_EQ(g.IndicePlazasCuerpo.size(), 2 * cuerpos);
    EXPECT_EQ(g.IndicePlazasGrupo.size(), grupos);
    EXPECT_GT(g.rsPlazasVacantes->numeroRegistros(), 0);
    EXPECT_EQ(g.rsCursos->numeroRegistros(), 0);
}

// Llama a una función en el primer repintado (paso 220), antes de que se vuelvan a crear las
// plazas, las listas y las tablas de la solicitud.
struct MiraAlPrimerRepintado : RegistroCarga {
    std::function<void()> mirar;
    void repintar() override {
        if (repintados == 0 && mirar) mirar();
        RegistroCarga::repintar();
    }
};

// Una solicitud abierta desde el selector vuelve a pasar por la pantalla de carga: lo que ella
// crea se suelta todo al empezar (paso 120) y se crea de nuevo; lo que no es suyo se queda.
TEST_F(PasosCargaTest, OtraVezSueltaAlEmpezarLoSuyoYDejaLoAjeno) {
    cargarCuerpos();
    RegistroCarga obs;
    ASSERT_FALSE(PasosCarga(obs).ejecutar());
    Globales& g = G();
    const PTabla cuerpos = g.rsCuerpos;
    g.rsSolicitudesGuardadas = CrearTablaSolicitudesGuardadas();
    const PTabla guardadas = g.rsSolicitudesGuardadas;
    // Una tabla ajena que comparte una del índice: la mantiene viva y no se toca.
    g.rsVacantesCuerpo = g.IndicePlazasCuerpo.at(0).Vacantes;
    const PTabla vacantesCuerpo = g.rsVacantesCuerpo;
    ASSERT_TRUE(g.rsVacantesSolicitadas->anadir().ok());
    const std::vector<std::weak_ptr<Tabla>> anteriores = {g.rsPlazasVacantes,
                                                          g.rsPlazasListaR,
                                                          g.rsPlazasCuerpo,
                                                          g.rsDocumentos,
                                                          g.rsCursos,
                                                          g.rsVacantesSolicitadas,
                                                          g.rsResultasSolicitadas,
                                                          g.rsInstituciones,
                                                          g.rsProvincias,
                                                          g.IndicePlazasCuerpo.at(2).Resultas,
                                                          g.IndicePlazasGrupo.at(0).Vacantes};
    const int plazas = g.rsPlazasVacantes->numeroRegistros();
    const int enIndice = g.IndicePlazasCuerpo.at(0).Vacantes->numeroRegistros();

    MiraAlPrimerRepintado otra;
    std::vector<bool> sueltas;
    otra.mirar = [&] {
        for (const auto& t : anteriores) sueltas.push_back(t.expired());
    };
    const auto fallo = PasosCarga(otra).ejecutar();
    ASSERT_FALSE(fallo) << fallo->mensaje();
    EXPECT_EQ(sueltas, std::vector<bool>(anteriores.size(), true));
    EXPECT_EQ(g.rsCuerpos, cuerpos);
    EXPECT_EQ(g.rsSolicitudesGuardadas, guardadas);
    EXPECT_EQ(g.rsVacantesCuerpo, vacantesCuerpo);
    EXPECT_NE(g.IndicePlazasCuerpo.at(0).Vacantes, vacantesCuerpo);
    EXPECT_EQ(g.rsVacantesSolicitadas->numeroRegistros(), 0);
    EXPECT_EQ(g.rsPlazasVacantes->numeroRegistros(), plazas);
    EXPECT_EQ(g.IndicePlazasCuerpo.size(), 2 * cuerpos->numeroRegistros());
    EXPECT_EQ(g.IndicePlazasCuerpo.at(0).Vacantes->numeroRegistros(), enIndice);
    EXPECT_EQ(otra.valor, otra.maximo);
}

TEST_F(PasosCargaTest, DiezCuerposYCincoGruposDan2010YTerminaLleno) {
    EXPECT_EQ(PasosCarga::maximoBarra(10, 5), 2010);
    QStringList cuerpos;
    for (int i = 0; i < 10; ++i)
        cuerpos << columnas(
            {{1, i == 3 ? "X" : "A"}, {2, QString::number(100 + i)}, {7, "Cuerpo"}});
    catalogo("ficheros/F0004.enc", cuerpos);
    catalogo("ficheros/F0005.enc", {"A", "B", "C", "D", "E"});
    cargarCuerpos();
    RegistroCarga obs;
    PasosCarga pasos(obs);
    ASSERT_FALSE(pasos.ejecutar());
    EXPECT_EQ(obs.maximo, 2010);
    EXPECT_EQ(pasos.maximo(), 2010);
    EXPECT_EQ(obs.valor, 2010);
    EXPECT_LE(obs.mayorExceso, 0);
}

TEST_F(PasosCargaTest, CadaFalloDiceSuPaso) {
    struct Caso {
        QString borrar;
        int paso;
        int numero;
    };
    const Caso casos[] = {
        {"ficheros/FicheroTexto.txt", 30, Errores::FicheroNoEncontrado},
        {"conf.xml", 50, Errores::FicheroNoEncontrado},
        {"ficheros/F0016.enc", 260, -1},
        {"ficheros/F0011.enc", 580, -1},
        {"ficheros/F0001.enc", 400, -1},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.borrar.toStdString());
        const QByteArray copia = leerBytes(dir.filePath(c.borrar));
        ASSERT_TRUE(QFile::remove(dir.filePath(c.borrar)));
        cargarCuerpos();
        guion.limpiar();
        RegistroCarga obs;
        const auto fallo = PasosCarga(obs).ejecutar();
        ASSERT_TRUE(fallo);
        EXPECT_EQ(fallo->paso, c.paso);
        if (c.numero >= 0) {
            EXPECT_EQ(fallo->error.numero(), c.numero);
        }
        const QString esperado = QStringLiteral("Error en línea %1.%2 %3")
                                     .arg(c.paso)
                                     .arg(fallo->error.mensaje())
                                     .arg(fallo->error.numero());
        EXPECT_EQ(fallo->mensaje(), esperado);
        // El cursor de espera no se queda puesto.
        EXPECT_EQ(obs.cursores.value(obs.cursores.size() - 1, true), false);
        if (c.borrar.endsWith(".enc")) {
            // Antes ya avisó la decodificación.
            ASSERT_EQ(guion.mostrados().size(), 1);
            EXPECT_TRUE(
                guion.mostrados()[0].texto.startsWith("Se ha producido el siguiente error "));
        } else {
            EXPECT_TRUE(guion.mostrados().isEmpty());
        }
        escribirBytes(dir.filePath(c.borrar), copia);
    }
}

TEST_F(PasosCargaTest, SinNombreEnLaConfiguracionFallaElPaso60) {
    escribirBytes(dir.filePath("conf.xml"), "<Configuracion numPlazasPorPag=\"3\"/>");
    cargarCuerpos();
    RegistroCarga obs;
    const auto fallo = PasosCarga(obs).ejecutar();
    ASSERT_TRUE(fallo);
    EXPECT_EQ(fallo->paso, 60);
    EXPECT_TRUE(fallo->mensaje().contains("//Configuracion/@Nombre"));
}

TEST_F(PasosCargaTest, LosPasosVanEnSuOrden) {
    RegistroCarga obs;
    PasosCarga pasos(obs);
    const std::vector<int> n = pasos.numerosDePaso();
    ASSERT_FALSE(n.empty());
    EXPECT_EQ(n.front(), 20);
    EXPECT_EQ(n.back(), 710);
    EXPECT_TRUE(std::is_sorted(n.begin(), n.end()));
    EXPECT_TRUE(std::adjacent_find(n.begin(), n.end()) == n.end());
    // De 50 a 710 van de diez en diez; el 40 no existe.
    EXPECT_EQ(n.size(), size_t(2 + (710 - 50) / 10 + 1));
}

TEST_F(PasosCargaTest, LeerFicheroTextoAnteponeFinDeLineaACadaLinea) {
    struct Caso {
        QByteArray bytes;
        QString texto;
    };
    const Caso casos[] = {
        {"uno\r\ndos", "\r\nuno\r\ndos"},
        {"uno\r\ndos\r\n", "\r\nuno\r\ndos"},
        {"uno\n\ntres\n", "\r\nuno\r\n\r\ntres"},
        {"solo\rcr", "\r\nsolo\r\ncr"},
        {"", ""},
        {"Informaci\xf3n \x80", QStringLiteral("\r\nInformación €")},
    };
    for (const auto& c : casos) {
        escribirBytes(ficheros() + "t.txt", c.bytes);
        auto r = LeerFicheroTexto("t.txt");
        ASSERT_TRUE(r.ok());
        EXPECT_EQ(r.valor(), c.texto) << c.bytes.toStdString();
    }
    auto r = LeerFicheroTexto("no-existe.txt");
    ASSERT_FALSE(r.ok());
    EXPECT_EQ(r.numero(), Errores::FicheroNoEncontrado);
    EXPECT_TRUE(r.mensaje().contains("no-existe.txt"));
}

// Los catálogos se descifran por delante en otro hilo: tienen que pedirse en el orden previsto,
// temp.tmp queda con el último leído y un catálogo dañado a mitad de carga falla en su paso con
// el mismo mensaje que su descifrado de siempre.
TEST_F(PasosCargaTest, LosCatalogosSeAdelantanEnSuOrdenSinCambiarFallosNiTempTmp) {
    cargarCuerpos();
    RegistroCarga obs;
    PasosCarga entera(obs);
    ASSERT_FALSE(entera.ejecutar());
    EXPECT_EQ(entera.lecturasNoPrevistas(), 0);
    const auto ultimo = decodificarEnMemoria(G().RutaFicheros, "F0003.enc");
    ASSERT_TRUE(ultimo.ok());
    PasosCarga catalogos(obs);
    ASSERT_FALSE(catalogos.ejecutarCatalogos());
    EXPECT_EQ(catalogos.lecturasNoPrevistas(), 0);
    EXPECT_EQ(leerBytes(G().RutaFicheros + "temp.tmp"), ultimo.valor().contenido);

    // Una línea que no se descifra en el catálogo de provincias (paso 340).
    const QString provincias = G().RutaFicheros + "F0002.enc";
    QByteArray danado = leerBytes(provincias);
    danado.insert(danado.indexOf('\n') + 1, QByteArray(kMaxCaracteresLinea + 1, 'Z') + "\r\n");
    escribirBytes(provincias, danado);
    const auto directo = decodificarEnMemoria(G().RutaFicheros, "F0002.enc");
    ASSERT_FALSE(directo.ok());
    cargarCuerpos();
    guion.limpiar();
    PasosCarga conFallo(obs);
    const auto fallo = conFallo.ejecutar();
    ASSERT_TRUE(fallo);
    EXPECT_EQ(fallo->paso, 340);
    EXPECT_TRUE(fallo->error.mensaje().contains(directo.mensaje())) << fallo->mensaje();
    ASSERT_EQ(guion.mostrados().size(), 1);
    EXPECT_EQ(guion.mostrados()[0].texto,
              mensajeErrorDecodificacion(directo.numero(), directo.mensaje()));
    EXPECT_EQ(conFallo.lecturasNoPrevistas(), 0);
}

}  // namespace
