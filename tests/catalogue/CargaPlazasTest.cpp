#include "ApoyoCatalogos.h"
#include "catalogue/Esquemas.h"
#include "catalogue/ModCargaFicheros.h"

namespace {

QString plaza(const QString& cod, const QString& localidad, const QString& codLocalidad,
              const QString& codArea, const QString& codZona = "01") {
    return columnas({{1, cod},
                     {6, QStringLiteral("Enfermero de Urgencias")},
                     {56, QStringLiteral("Hospital Comarcal de Llanes")},
                     {106, localidad},
                     {159, "07"},
                     {161, codLocalidad},
                     {168, codArea},
                     {176, codZona}});
}

class CargaPlazasTest : public CatalogosTest {
protected:
    void SetUp() override {
        CatalogosTest::SetUp();
        establecerTerminacionPlazas([this] { ++terminaciones; });
        catalogo("F0014.enc", {columnas({{1, "03"}, {3, "24"}, {9, "Norte"}, {59, "24"}}),
                               columnas({{1, "05"}, {3, "28"}, {9, "Sur"}, {59, "28"}})});
        G().rsAreas = CrearTablaAreas();
        ASSERT_TRUE(CargarAreas(G().rsAreas).ok());
    }
    void TearDown() override {
        establecerTerminacionPlazas({});
        CatalogosTest::TearDown();
    }
    PTabla cargarVacantes(const QStringList& lineas) {
        catalogo("F0009.enc", lineas);
        G().rsPlazasVacantes = CrearTablaPlazas("rsPlazasVacantes");
        const Resultado r = CargarPlazasVacantes(G().rsPlazasVacantes);
        EXPECT_TRUE(r.ok()) << r.mensaje().toStdString();
        return G().rsPlazasVacantes;
    }
    int terminaciones = 0;
};

TEST_F(CargaPlazasTest, ProvinciaDelCodigoDeLocalidadYAreaBuscada) {
    const PTabla t = cargarVacantes({
        plaza("00001", "Llanes", "2412300", "03000000"),
        plaza("00002", "Sotillo", "28999", "05000000", "12"),
        plaza("00003", "Sin Área", "2400000", "99000000"),
        plaza("00004", "Corta", "7", "0"),
    });
    ASSERT_EQ(t->numeroRegistros(), 4);
    struct Esperado {
        const char* provincia;
        const char* area;
    };
    const Esperado esperado[] = {{"24", "Norte"}, {"28", "Sur"}, {"24", ""}, {"7", ""}};
    t->moverPrimero();
    for (const auto& e : esperado) {
        SCOPED_TRACE(t->texto("CodConvocatoria").toStdString());
        EXPECT_EQ(t->texto("CodProvincia"), e.provincia);
        EXPECT_EQ(t->texto("Area"), e.area);
        t->moverSiguiente();
    }
    t->moverPrimero();
    EXPECT_EQ(t->texto("CodLocalidad"), "2412300");
    EXPECT_EQ(t->texto("CodArea"), "03000000");
    EXPECT_EQ(t->texto("CodZona"), "01");
    EXPECT_EQ(t->texto("Consejeria"), "Hospital Comarcal de Llanes");
    EXPECT_EQ(t->texto("CodConsejeria"), "07");
    // La búsqueda del área no deja filtro puesto.
    EXPECT_FALSE(G().rsAreas->tieneFiltro());
    EXPECT_EQ(G().rsAreas->numeroRegistros(), 2);
    EXPECT_EQ(terminaciones, 0);
}

TEST_F(CargaPlazasTest, CualquierFalloDePlazasAvisaYTermina) {
    // Sin fichero: primero el mensaje de la decodificación y luego el de las plazas.
    G().rsPlazasResultas = CrearTablaPlazas("rsPlazasResultas");
    EXPECT_FALSE(CargarPlazasResultas(G().rsPlazasResultas).ok());
    ASSERT_EQ(guion.mostrados().size(), 2);
    EXPECT_TRUE(guion.mostrados().at(0).texto.startsWith("Se ha producido el siguiente error 53-"));
    const auto& m = guion.mostrados().at(1);
    EXPECT_EQ(m.texto, "error al cargar plazas");
    EXPECT_EQ(m.titulo, "Movilant");
    EXPECT_EQ(m.icono, Icono::Ninguno);
    EXPECT_EQ(m.botones, Botones::Aceptar);
    EXPECT_EQ(terminaciones, 1);

    // Sin rsAreas cargada tampoco se puede seguir.
    guion.limpiar();
    G().rsAreas.reset();
    catalogo("F0009.enc", {plaza("00001", "Llanes", "2412300", "03000000")});
    EXPECT_FALSE(CargarPlazasVacantes(CrearTablaPlazas()).ok());
    EXPECT_EQ(guion.textos(), QStringList{"error al cargar plazas"});
    EXPECT_EQ(terminaciones, 2);
}

TEST_F(CargaPlazasTest, ListasCompletadasDesdeSuCatalogo) {
    cargarVacantes({plaza("00001", "Llanes", "2412300", "03000000"),
                    plaza("00002", "Sotillo", "2800000", "05000000", "12")});
    catalogo("F0011.enc", {"00002", "00077", "00001xxxx"});
    PTabla lista;
    ASSERT_TRUE(CargarListaPlazas(lista, "v").ok());
    ASSERT_TRUE(lista);
    EXPECT_EQ(lista->campos().at(3).longitud, 53);
    ASSERT_EQ(lista->numeroRegistros(), 3);
    lista->moverPrimero();
    EXPECT_EQ(lista->texto("CodConvocatoria"), "00002");
    EXPECT_EQ(lista->texto("Localidad"), "Sotillo");
    EXPECT_EQ(lista->texto("Area"), "Sur");
    EXPECT_EQ(lista->texto("CodZona"), "12");
    EXPECT_EQ(lista->texto("NomConvocatoria"), "Enfermero de Urgencias");
    lista->moverSiguiente();
    // Un código que no está en el catálogo deja el registro con el código solo.
    EXPECT_EQ(lista->texto("CodConvocatoria"), "00077");
    for (const char* campo : {"NomConvocatoria", "Consejeria", "Localidad", "CodConsejeria",
                              "CodLocalidad", "CodProvincia", "CodArea", "CodZona", "Area"})
        EXPECT_EQ(lista->texto(campo), "") << campo;
    lista->moverSiguiente();
    EXPECT_EQ(lista->texto("CodConvocatoria"), "00001");
    EXPECT_EQ(lista->texto("CodProvincia"), "24");
}

TEST_F(CargaPlazasTest, CodigoDeListaDesconocidoDaTablaVacia) {
    for (const char* codigo : {"X", "", "VR"}) {
        PTabla lista;
        ASSERT_TRUE(CargarListaPlazas(lista, codigo).ok()) << codigo;
        ASSERT_TRUE(lista);
        EXPECT_TRUE(lista->abierta());
        EXPECT_EQ(lista->numeroRegistros(), 0);
    }
    EXPECT_TRUE(guion.mostrados().isEmpty());
}

// Una localidad de 51 a 53 caracteres, que el catálogo admite, cabe también en la lista y entera.
TEST_F(CargaPlazasTest, UnaLocalidadDe53CabeEnLaLista) {
    const QString cincuentaYTres(53, u'y');
    catalogo("F0010.enc", {plaza("00001", QString(50, u'x'), "2400000", "03000000"),
                           plaza("00002", cincuentaYTres, "2400000", "03000000")});
    G().rsPlazasResultas = CrearTablaPlazas("rsPlazasResultas");
    ASSERT_TRUE(CargarPlazasResultas(G().rsPlazasResultas).ok());
    catalogo("F0012.enc", {"00001", "00002"});
    PTabla lista;
    const Resultado r = CargarListaPlazas(lista, "R");
    ASSERT_TRUE(r.ok()) << r.mensaje().toStdString();
    ASSERT_EQ(lista->numeroRegistros(), 2);
    lista->moverUltimo();
    EXPECT_EQ(lista->texto("Localidad"), cincuentaYTres);
    EXPECT_EQ(terminaciones, 0);
}

TEST_F(CargaPlazasTest, FicheroQueFaltaDaElFalloDeApertura) {
    const PTabla t = CrearTablaInstituciones();
    const Resultado r = CargarInstituciones(t);
    ASSERT_FALSE(r.ok());
    EXPECT_EQ(r.numero(), kErrorAccesoRuta);
    EXPECT_TRUE(r.mensaje().contains("F0016.enc"));
    ASSERT_EQ(guion.mostrados().size(), 1);
    EXPECT_EQ(guion.mostrados().first().icono, Icono::Critico);
    EXPECT_EQ(t->numeroRegistros(), 0);

    // Un carácter de código 0 guardado: la línea se nombra en el mensaje.
    guion.limpiar();
    escribirBytes(carpeta() + "F0016.enc", QByteArray("0223\r\n\r\n01") + '\0' + "3\r\n");
    EXPECT_FALSE(CargarInstituciones(t).ok());
    ASSERT_EQ(guion.mostrados().size(), 1);
    EXPECT_TRUE(guion.mostrados().first().texto.startsWith(
        "Se ha producido el siguiente error 5-F0016.enc, línea 3"))
        << guion.mostrados().first().texto.toStdString();
}

}  // namespace

namespace {

// Tras llenar la lista, su catálogo queda en la fila de la última búsqueda: la del último código
// de la lista, después del último registro si no está, sin distinguir mayúsculas.
TEST_F(CargaPlazasTest, ElCatalogoQuedaEnElUltimoCodigoDeLaLista) {
    struct Caso {
        QStringList lista;
        int fila;  // -1: después del último
    };
    const Caso casos[] = {{{"00002", "00001"}, 0},
                          {{"00001", "00003"}, 2},
                          {{"00003", "00077"}, -1},
                          {{"00001", "a0009"}, 3},
                          {{"A0009", "zz"}, -1}};
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.lista.join(",").toStdString());
        const PTabla vacantes = cargarVacantes({plaza("00001", "Llanes", "2412300", "03000000"),
                                                plaza("00002", "Sotillo", "2800000", "05000000"),
                                                plaza("00003", "Llanes", "2412300", "03000000"),
                                                plaza("A0009", "Llanes", "2412300", "03000000")});
        // Antes, en otro sitio: después del último.
        vacantes->moverUltimo();
        vacantes->moverSiguiente();
        catalogo("F0011.enc", c.lista);
        PTabla lista;
        ASSERT_TRUE(CargarListaPlazas(lista, "V").ok());
        if (c.fila < 0)
            EXPECT_TRUE(vacantes->eof());
        else
            EXPECT_EQ(vacantes->filaActual(), c.fila);
    }
}

}  // namespace
