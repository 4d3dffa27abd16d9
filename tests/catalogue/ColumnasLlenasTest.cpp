// Líneas llenas hasta la última columna de cada campo, sin un solo blanco: cada campo debe
// recoger exactamente sus columnas, y su tabla debe admitir el valor más largo que cabe en ellas.

#include "ApoyoCatalogos.h"
#include "catalogue/Esquemas.h"
#include "catalogue/ModCargaFicheros.h"

#include <algorithm>

namespace {

struct Columnas {
    const char* campo;
    int inicio;
    int ancho;
};

struct Formato {
    const char* fichero;
    PTabla (*crear)(const QString&);
    Resultado (*cargar)(const PTabla&);
    QList<Columnas> columnas;
    QStringList vacios;  // campos de la tabla que el fichero no trae
};

// Un carácter distinto en cada columna (se repite cada 62): un campo corrido una columna o con
// una de más o de menos da otro texto.
QString lineaLlena(int longitud) {
    static const QString kCaracteres =
        QStringLiteral("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    QString l;
    for (int i = 0; i < longitud; ++i) l += kCaracteres.at(i % kCaracteres.size());
    return l;
}

const QList<Columnas> kPlazas = {
    {"CodConvocatoria", 1, 5}, {"NomConvocatoria", 6, 50}, {"Consejeria", 56, 50},
    {"Localidad", 106, 53},    {"CodConsejeria", 159, 2},  {"CodLocalidad", 161, 7},
    {"CodProvincia", 161, 2},  {"CodArea", 168, 8},        {"CodZona", 176, 8}};

const QList<Formato>& formatos() {
    static const QList<Formato> lista = {
        {"F0001.enc",
         CrearTablaProvincias,
         CargarProvinciasPersonales,
         {{"CodProvincia", 1, 2}, {"Provincia", 3, 20}},
         {}},
        {"F0002.enc",
         CrearTablaProvincias,
         CargarProvincias,
         {{"CodProvincia", 1, 2}, {"Provincia", 3, 20}},
         {}},
        {"F0003.enc",
         CrearTablaLocalidades,
         CargarLocalidades,
         {{"CodProvincia", 1, 2}, {"CodLocalidad", 3, 3}, {"Localidad", 6, 60}},
         {}},
        {"F0004.enc",
         CrearTablaCuerpos,
         CargarCuerpos,
         {{"Grupo", 1, 1}, {"CodCuerpo", 2, 5}, {"DescCuerpo", 7, 100}},
         {}},
        {"F0005.enc", CrearTablaGrupos, CargarGrupos, {{"Grupo", 1, 1}}, {}},
        {"F0006.enc",
         CrearTablaConsejerias,
         CargarConsejerias,
         {{"CodConsejeria", 1, 2},
          {"Consejeria", 3, 50},
          {"CodArea", 53, 8},
          {"CodProvincia", 61, 2}},
         {}},
        {"F0007.enc",
         CrearTablaPlazasGrupo,
         CargarPlazasGrupo,
         {{"CodPlaza", 1, 5}, {"CodGrupo", 6, 1}},
         {}},
        {"F0008.enc",
         CrearTablaPlazasCuerpo,
         CargarPlazasCuerpo,
         {{"CodPlaza", 1, 5}, {"CodCuerpo", 7, 6}},
         {}},
        {"F0009.enc", CrearTablaPlazas, CargarPlazasVacantes, kPlazas, {"Area"}},
        {"F0010.enc", CrearTablaPlazas, CargarPlazasResultas, kPlazas, {"Area"}},
        {"F0013.enc",
         CrearTablaZonas,
         CargarZonas,
         {{"CodArea", 1, 2}, {"CodZona", 3, 2}, {"Zona", 5, 50}},
         {"CodProvincia", "CodInstitucion"}},
        {"F0014.enc",
         CrearTablaAreas,
         CargarAreas,
         {{"CodArea", 1, 2}, {"Area", 9, 50}, {"CodProvincia", 59, 2}},
         {}},
        {"F0014.enc",
         CrearTablaAreas,
         CargarAreasTarv,
         {{"CodArea", 1, 2}, {"CodProvincia", 3, 2}, {"Area", 5, 50}},
         {}},
        {"F0015.enc",
         CrearTablaSituaciones,
         CargarSituaciones,
         {{"CodSituacion", 1, 2}, {"esOtras", 3, 1}, {"Situacion", 4, 60}},
         {}},
        {"F0016.enc",
         CrearTablaInstituciones,
         CargarInstituciones,
         {{"CodInstitucion", 1, 2}, {"CodLocalidad", 3, 7}},
         {}},
    };
    return lista;
}

class ColumnasLlenasTest : public CatalogosTest {
protected:
    // Un fallo de las plazas no debe terminar el proceso de pruebas.
    void SetUp() override {
        CatalogosTest::SetUp();
        establecerTerminacionPlazas([] {});
    }
    void TearDown() override {
        establecerTerminacionPlazas({});
        CatalogosTest::TearDown();
    }
};

TEST_F(ColumnasLlenasTest, CadaCampoTomaSusColumnasHastaLaUltima) {
    // Las plazas buscan su área: con rsAreas vacía, Area queda vacía.
    G().rsAreas = CrearTablaAreas();
    for (const Formato& f : formatos()) {
        int fin = 0;
        for (const Columnas& c : f.columnas) fin = std::max(fin, c.inicio + c.ancho - 1);
        const QString linea = lineaLlena(fin);
        SCOPED_TRACE(QStringLiteral("%1, %2 columnas").arg(f.fichero).arg(fin).toStdString());
        catalogo(f.fichero, {linea});
        const PTabla t = f.crear(QStringLiteral("t"));
        const Resultado r = f.cargar(t);
        // Un formato que falla no impide revisar los demás.
        EXPECT_TRUE(r.ok()) << r.mensaje();
        EXPECT_EQ(t->numeroRegistros(), 1);
        if (!r.ok() || t->numeroRegistros() != 1) continue;
        t->moverPrimero();
        for (const Columnas& c : f.columnas)
            EXPECT_EQ(t->texto(c.campo), linea.mid(c.inicio - 1, c.ancho)) << c.campo;
        for (const QString& campo : f.vacios) {
            ASSERT_GE(t->indiceCampo(campo), 0) << campo;
            EXPECT_EQ(t->texto(campo), QString()) << campo;
        }
        // Ningún campo de la tabla queda sin explicar.
        EXPECT_EQ(t->campos().size(), f.columnas.size() + f.vacios.size());
    }
    EXPECT_TRUE(guion.mostrados().isEmpty());
}

}  // namespace
