#include "catalogue/ModCargaFicheros.h"

#include "ApoyoCatalogos.h"
#include "catalogue/Esquemas.h"

namespace {

QStringList columna(const PTabla& t, const QString& campo) {
    QStringList v;
    for (int f = 0; f < t->numeroRegistros(); ++f)
        v << t->valorEnFila(f, t->indiceCampo(campo)).toString();
    return v;
}

using CargaTest = CatalogosTest;

TEST_F(CargaTest, LineasEnClaroVaciasYDeSoloEspacios) {
    catalogo("F0004.enc", {"A01234Facultativo de Área", "", "       ", "B9", "C5678 "});
    const PTabla t = CrearTablaCuerpos();
    ASSERT_TRUE(CargarCuerpos(t).ok());
    // La vacía no da registro; la de espacios, uno vacío; la corta deja vacío lo que no alcanza.
    ASSERT_EQ(t->numeroRegistros(), 4);
    EXPECT_EQ(columna(t, "Grupo"), (QStringList{"A", "", "B", "C"}));
    EXPECT_EQ(columna(t, "CodCuerpo"), (QStringList{"01234", "", "9", "5678"}));
    EXPECT_EQ(columna(t, "DescCuerpo"),
              (QStringList{QString::fromUtf8("Facultativo de Área"), "", "", ""}));
    // temp.tmp se queda con el texto en claro del último catálogo.
    EXPECT_EQ(leerBytes(carpeta() + "temp.tmp"),
              "A01234Facultativo de \xC1rea\r\n       \r\nB9\r\nC5678 \r\n");
    EXPECT_TRUE(guion.mostrados().isEmpty());
}

TEST_F(CargaTest, ColumnasDeCadaFormato) {
    struct Caso {
        const char* fichero;
        PTabla (*crear)(const QString&);
        Resultado (*cargar)(const PTabla&);
        QString linea;
        QStringList esperado;  // valores en el orden de los campos de la tabla
    };
    const Caso casos[] = {
        {"F0001.enc",
         CrearTablaProvincias,
         CargarProvinciasPersonales,
         columnas({{1, "28"}, {3, QString::fromUtf8("Madrigal de Peñas")}, {23, "X"}}),
         {"28", QString::fromUtf8("Madrigal de Peñas")}},
        {"F0002.enc", CrearTablaProvincias, CargarProvincias, "05Ribera", {"05", "Ribera"}},
        {"F0005.enc", CrearTablaGrupos, CargarGrupos, "AB", {"A"}},
        {"F0006.enc",
         CrearTablaConsejerias,
         CargarConsejerias,
         columnas({{1, "07"}, {3, "Hospital Norte"}, {53, "03"}, {61, "28"}}),
         {"07", "Hospital Norte", "03", "28"}},
        {"F0007.enc", CrearTablaPlazasGrupo, CargarPlazasGrupo, "00042C", {"00042", "C"}},
        // La columna 6 no se lee.
        {"F0008.enc",
         CrearTablaPlazasCuerpo,
         CargarPlazasCuerpo,
         "00042Z01234 ",
         {"00042", "01234"}},
        {"F0015.enc",
         CrearTablaSituaciones,
         CargarSituaciones,
         "08SOtras situaciones",
         {"08", "Otras situaciones", "S"}},
        {"F0016.enc", CrearTablaInstituciones, CargarInstituciones, "07123", {"07", "123"}},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.fichero);
        catalogo(c.fichero, {c.linea});
        const PTabla t = c.crear("t");
        const Resultado r = c.cargar(t);
        ASSERT_TRUE(r.ok()) << r.mensaje().toStdString();
        ASSERT_EQ(t->numeroRegistros(), 1);
        t->moverPrimero();
        QStringList valores;
        for (int i = 0; i < t->campos().size(); ++i) valores << t->valor(i).toString();
        EXPECT_EQ(valores, c.esperado);
    }
}

TEST_F(CargaTest, LasDosLecturasDelFicheroDeAreas) {
    // 1-2 área, 3-4 provincia, 9-58 nombre, 59-60 otra provincia.
    catalogo("F0014.enc",
             {columnas({{1, "03"}, {3, "24"}, {9, QString::fromUtf8("Área Sur")}, {59, "28"}})});
    const PTabla a = CrearTablaAreas();
    const PTabla b = CrearTablaAreas("rsAreasTarv");
    ASSERT_TRUE(CargarAreas(a).ok());
    ASSERT_TRUE(CargarAreasTarv(b).ok());
    a->moverPrimero();
    b->moverPrimero();
    EXPECT_EQ(a->texto("CodArea"), "03");
    EXPECT_EQ(a->texto("Area"), QString::fromUtf8("Área Sur"));
    EXPECT_EQ(a->texto("CodProvincia"), "28");
    EXPECT_EQ(b->texto("CodArea"), "03");
    EXPECT_EQ(b->texto("CodProvincia"), "24");
    // Columnas 5-54: los cuatro blancos y el nombre, sin los blancos.
    EXPECT_EQ(b->texto("Area"), QString::fromUtf8("Área Sur"));
}

TEST_F(CargaTest, LocalidadesOrdenadasYZonasDesdeOem) {
    catalogo("F0003.enc", {"28001Zarzal", "28002Abrego", "24003Llanes"});
    const PTabla loc = CrearTablaLocalidades();
    ASSERT_TRUE(CargarLocalidades(loc).ok());
    EXPECT_EQ(loc->orden().trimmed().simplified(), "Localidad ASC");
    EXPECT_EQ(columna(loc, "CodLocalidad"), (QStringList{"002", "003", "001"}));
    EXPECT_EQ(columna(loc, "CodProvincia"), (QStringList{"28", "24", "28"}));

    // "Peñas Áridas" en CP850: ñ = A4, Á = B5; en Windows-1252 son ¤ y µ.
    catalogo("F0013.enc", {QString::fromUtf8("0301Pe¤as µridas   ")});
    const PTabla z = CrearTablaZonas();
    ASSERT_TRUE(CargarZonas(z).ok());
    z->moverPrimero();
    EXPECT_EQ(z->texto("Zona"), QString::fromUtf8("Peñas Áridas"));
    EXPECT_EQ(z->texto("CodArea"), "03");
    EXPECT_EQ(z->texto("CodZona"), "01");
    EXPECT_EQ(z->texto("CodProvincia"), "");
    EXPECT_EQ(z->texto("CodInstitucion"), "");
}

}  // namespace
