#include "catalogue/Esquemas.h"
#include "form/FiltroPlazas.h"

#include <gtest/gtest.h>

namespace {

EleccionCombo elegido(const char* valor) {
    return {QString::fromUtf8(valor), true};
}

// Un criterio de cada clase; la localidad, de la provincia 24.
PanelBusqueda todo() {
    return {
        elegido("24"), elegido("101"), elegido("07"), elegido("03"), elegido("0305"), "00042", {},
        "24"};
}

struct CasoFiltro {
    const char* nombre;
    const char* lista;
    PanelBusqueda panel;
    const char* esperado;
};

TEST(FiltroPlazasTest, ClausulasDeAmbasListas) {
    const CasoFiltro casos[] = {
        // Resultas: cada cláusula sola y juntas, con sus blancos.
        {"R sin criterio", "R", {}, "0"},
        {"R provincia", "R", {elegido("24")}, " CodProvincia='24' "},
        {"R localidad de su provincia",
         "R",
         {{}, elegido("101"), {}, {}, {}, {}, {}, "24"},
         " CodLocalidad like '24101%' "},
        {"R institución", "R", {{}, {}, elegido("07")}, " CodConsejeria='07' "},
        {"R código", "R", {{}, {}, {}, {}, {}, "00042"}, " CodConvocatoria='00042' "},
        {"R área sin blanco final", "R", {{}, {}, {}, elegido("03")}, " CodArea='03'"},
        {"R zona", "R", {{}, {}, {}, {}, elegido("0305")}, " CodZona='0305' "},
        {"R provincia y área (ejemplo)",
         "R",
         {elegido("24"), {}, {}, elegido("03")},
         " CodProvincia='24'  AND CodArea='03'"},
        {"R todo", "R", todo(),
         " CodProvincia='24'  AND CodLocalidad like '24101%'  AND CodConsejeria='07'  AND "
         "CodConvocatoria='00042'  AND CodArea='03' AND CodZona='0305' "},
        // En Resultas cuenta el valor, coincida o no el texto.
        {"R valor sin coincidir", "R", {{"24", false}}, " CodProvincia='24' "},
        {"lista en minúscula", "r", {elegido("24")}, " CodProvincia='24' "},
        {"otra lista", "X", {elegido("24")}, "0"},

        // Vacantes
        {"V sin criterio", "V", {}, "0"},
        {"V localidad de su provincia",
         "V",
         {{}, elegido("101"), {}, {}, {}, {}, {}, "24"},
         " CodLocalidad like '24101%' "},
        {"V localidad escrita sin elegir", "V", {{}, {"101", false}}, "0"},
        {"V institución", "V", {{}, {}, elegido("07")}, " CodConsejeria='07' "},
        {"V institución sin coincidir", "V", {{}, {}, {"07", false}}, "0"},
        {"V código", "V", {{}, {}, {}, {}, {}, "00042"}, " CodConvocatoria='00042' "},
        {"V área con seis ceros", "V", {{}, {}, {}, elegido("03")}, " CodArea='03000000'"},
        {"V zona", "V", {{}, {}, {}, {}, elegido("0305")}, " CodZona='0305' "},
        {"V zona sin coincidir", "V", {{}, {}, {}, {}, {"0305", false}}, "0"},
        {"V provincia: sus áreas",
         "V",
         {elegido("24"), {}, {}, {}, {}, {}, {"03", "04", "09"}},
         " (  CodArea='03000000' OR  CodArea='04000000' OR  CodArea='09000000'  ) "},
        {"V provincia de un área",
         "V",
         {elegido("24"), {}, {}, {}, {}, {}, {"03"}},
         " (  CodArea='03000000'  ) "},
        {"V provincia y área: solo el área",
         "V",
         {elegido("24"), {}, {}, elegido("03"), {}, {}, {"03", "04"}},
         " CodArea='03000000'"},
        {"V provincia y localidad: sin áreas",
         "V",
         {elegido("24"), elegido("101"), {}, {}, {}, {}, {"03", "04"}, "24"},
         " CodLocalidad like '24101%' "},
        {"V provincia y código",
         "V",
         {elegido("24"), {}, {}, {}, {}, "00042", {"03"}},
         " CodConvocatoria='00042' "},
        {"V todo", "V", todo(),
         " CodLocalidad like '24101%'  AND CodConsejeria='07'  AND CodConvocatoria='00042'  AND "
         "CodArea='03000000' AND CodZona='0305' "},
        // Comillas: se doblan y el valor se compara tal cual.
        {"R código con comilla",
         "R",
         {{}, {}, {}, {}, {}, "1' OR 'a'='a"},
         " CodConvocatoria='1'' OR ''a''=''a' "},
    };
    for (const CasoFiltro& c : casos) {
        const QString f = FiltroPlazas(QString::fromUtf8(c.lista), c.panel);
        EXPECT_EQ(f.toStdString(), std::string(c.esperado)) << c.nombre;
        // El lenguaje de filtros de las tablas los admite tal como salen.
        EXPECT_TRUE(CrearTablaPlazas()->filtrar(f).ok()) << c.nombre;
    }
}

TEST(FiltroPlazasTest, UnaProvinciaSinAreasNoDejaVerNinguna) {
    PanelBusqueda p;
    p.provincia = elegido("24");
    const QString f = FiltroPlazas("V", p);
    PTabla t = CrearTablaPlazas();
    ASSERT_TRUE(t->anadirRegistro({"00001", "Plaza", "", "", "", "", "24", "03000000"}).ok());
    ASSERT_TRUE(t->anadirRegistro({"00002", "Plaza", "", "", "", "", "24", ""}).ok());
    ASSERT_TRUE(t->filtrar(f).ok()) << f.toStdString();
    EXPECT_EQ(t->numeroRegistros(), 0);
}

TEST(FiltroPlazasTest, UnaLocalidadSoloTraeLasPlazasDeSuProvincia) {
    // La localidad 141 de la provincia 01 frente a las 112 y 113 de la provincia 14, cuyos
    // códigos de plaza contienen "141".
    PTabla t = CrearTablaPlazas();
    for (const char* loc : {"01141", "14112", "14113", "01142"})
        ASSERT_TRUE(t->anadirRegistro({"0000" + QString(loc).right(1), "Plaza", "", "", "", loc,
                                       QString(loc).left(2)})
                        .ok());
    PanelBusqueda p;
    p.localidad = elegido("141");
    p.provinciaLocalidad = "01";
    for (const char* lista : {"V", "R"}) {
        ASSERT_TRUE(t->filtrar(FiltroPlazas(lista, p)).ok()) << lista;
        ASSERT_EQ(t->numeroRegistros(), 1) << lista;
        EXPECT_EQ(t->valor("CodLocalidad").toString(), "01141") << lista;
    }
}

TEST(FiltroPlazasTest, UnCodigoConComillaNoEnsanchaElFiltro) {
    PTabla t = CrearTablaPlazas();
    for (const char* cod : {"00001", "00002", "00003"})
        ASSERT_TRUE(t->anadirRegistro({cod, "Plaza"}).ok());
    for (const char* escrito : {"1' OR CodConvocatoria<>'", "00001'", "'", "' OR ''='"}) {
        PanelBusqueda p;
        p.codigo = escrito;
        for (const char* lista : {"V", "R"}) {
            ASSERT_TRUE(t->filtrar(FiltroPlazas(lista, p)).ok()) << escrito;
            EXPECT_EQ(t->numeroRegistros(), 0) << escrito << " " << lista;
        }
    }
}

TEST(FiltroPlazasTest, ZonasDeLasAreasDeUnaProvincia) {
    PTabla zonas = CrearTablaZonas();
    for (const char* z : {"0301", "0302", "0401", "0501"})
        ASSERT_TRUE(zonas->anadirRegistro({z, "Zona", QString(z).left(2)}).ok());
    struct Caso {
        QStringList areas;
        const char* filtro;
        int visibles;
    } casos[] = {
        {{"03", "04"}, " ( CodArea='03' OR CodArea='04' ) ", 3},
        {{"05"}, " ( CodArea='05' ) ", 1},
        {{}, "CodArea='' AND CodArea<>''", 0},
    };
    for (const Caso& c : casos) {
        EXPECT_EQ(FiltroZonasDeAreas(c.areas), c.filtro);
        ASSERT_TRUE(zonas->filtrar(FiltroZonasDeAreas(c.areas)).ok());
        EXPECT_EQ(zonas->numeroRegistros(), c.visibles) << c.filtro;
        // Con un área elegida se añade su cláusula, como hace la búsqueda.
        ASSERT_TRUE(zonas->filtrar(zonas->filtro() + " AND CodArea='03' ").ok());
    }
}

}  // namespace
