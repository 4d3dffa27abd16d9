// Los textos de filtro, búsqueda y orden que construye el programa, tal como los construye (con
// sus blancos), sobre una tabla pequeña de filas conocidas.

#include "platform/Tabla.h"

#include <gtest/gtest.h>

#include <QStringList>

namespace {

// Una tabla con todos los campos que nombran esos textos.
PTabla tablaDeFilas() {
    const QList<Campo> campos = {
        {"Clave", TipoCampo::Texto, 1},          {"CodProvincia", TipoCampo::Texto, 2},
        {"CodArea", TipoCampo::Texto, 8},        {"CodLocalidad", TipoCampo::Texto, 7},
        {"CodConsejeria", TipoCampo::Texto, 2},  {"CodConvocatoria", TipoCampo::Texto, 5},
        {"CodZona", TipoCampo::Texto, 8},        {"CodCuerpo", TipoCampo::Texto, 6},
        {"CodGrupo", TipoCampo::Texto, 1},       {"Grupo", TipoCampo::Texto, 1},
        {"CodInstitucion", TipoCampo::Texto, 2}, {"Localidad", TipoCampo::Texto, 60},
        {"IdSolicitud", TipoCampo::Entero, 0},   {"Orden", TipoCampo::Entero, 0},
        {"IdCurso", TipoCampo::Entero, 0},
    };
    const QList<QStringList> filas = {
        {"a", "24", "03000000", "2412301", "05", "12345", "0301", "0123", "A", "A", "05", "León",
         "1", "3", "0"},
        {"b", "24", "03", "2400001", "05", "12346", "0302", "01234", "B", "B", "", "Astorga", "2",
         "1", "1"},
        {"c", "24", "01000000", "2400002", "07", "12347", "0101", "0123", "a", "X", "05", "Ávila",
         "3", "5", "2"},
        {"d", "09", "02000000", "0912345", "05", "54321", "0201", "0999", "C", "C", "06", "Burgos",
         "4", "2", "3"},
        {"e", "24", "03", "2400001", "08", "12345", "0301", "0123", "A", "A", "05", "Ñora", "10",
         "4", "4"},
        {"f", "09", "02000000", "0912399", "05", "99999", "0202", "0999", "B", "A", "", "nava", "6",
         "6", "5"},
        {"g", "24", "03", "2400002", "05", "12348", "0301", "0123", "A", "x", "05", "Zamora", "7",
         "", "6"},
    };
    PTabla t = Tabla::crear("Prueba", campos);
    for (const QStringList& fila : filas) {
        EXPECT_TRUE(t->anadir().ok());
        for (int i = 0; i < fila.size(); ++i) EXPECT_TRUE(t->establecer(i, fila[i]).ok());
    }
    return t;
}

QString claves(const PTabla& t) {
    QString s;
    for (t->moverPrimero(); !t->eof(); t->moverSiguiente()) s += t->texto("Clave");
    return s;
}

// Los registros que va encontrando la búsqueda desde el primero, continuando tras cada hallazgo.
QString hallazgos(const PTabla& t, const QString& criterio) {
    QString s;
    t->moverPrimero();
    for (int vueltas = 0; vueltas < 20; ++vueltas) {
        const Resultado r = t->buscar(criterio);
        EXPECT_TRUE(r.ok()) << r.mensaje().toStdString();
        if (t->eof()) break;
        s += t->texto("Clave");
        t->moverSiguiente();
    }
    return s;
}

enum class Uso { Filtro, Busqueda, Orden };

struct Caso {
    Uso uso;
    QString texto;
    QString esperado;  // claves de las filas, en el orden en que se ven o se encuentran
};

// Cláusulas de la búsqueda de plazas, unidas como las une quien construye el filtro: cada una
// empieza por " AND" y al final se quitan los cuatro primeros caracteres.
QString unir(const QStringList& clausulas) {
    QString s;
    for (const QString& c : clausulas) s += c;
    return s.mid(4);
}

// Provincia expandida en sus áreas: " AND ( " + " CODArea='xx000000' OR " por área, menos los
// tres últimos caracteres, más " ) ".
QString areasDeProvincia(const QStringList& areas) {
    QString s = " AND ( ";
    for (const QString& a : areas) s += " CODArea='" + a + "000000' OR ";
    s.chop(3);
    s += " ) ";
    return s;
}

// Localidades de una institución: " ( " delante, cortado antes del último "OR", " ) " detrás.
QString localidadesDeInstitucion(const QStringList& localidades) {
    QString s;
    for (const QString& l : localidades) s += " CodLocalidad='" + l + "' OR ";
    s = " ( " + s.left(s.lastIndexOf("OR")) + " ) ";
    return s;
}

const QList<Caso>& casos() {
    static const QList<Caso> lista = {
        // Carga de catálogos y enlaces
        {Uso::Filtro, "CodArea='" + QString("03000000").left(2) + "' ", "beg"},
        {Uso::Busqueda, "CodConvocatoria='" + QString("12345") + "'", "ae"},
        {Uso::Busqueda, "CodConvocatoria = '" + QString("12345") + "'", "ae"},
        {Uso::Busqueda, "CodConvocatoria = '" + QString("00000") + "'", ""},
        {Uso::Filtro, "CodCuerpo='" + QString("0123") + "'", "aceg"},
        {Uso::Filtro, "CodGrupo='" + QString("A") + "'", "aceg"},
        {Uso::Filtro, "Grupo <> '" + QString("X") + "'", "abdef"},
        {Uso::Busqueda, "CodCuerpo='" + QString("01234") + "'", "b"},
        {Uso::Orden, " Localidad ASC ", "bcdafeg"},
        {Uso::Orden, "CodConvocatoria", "aebcgdf"},
        // Búsqueda de plazas, lista R
        {Uso::Filtro, unir({" AND CodProvincia='24' ", " AND CodArea='03'"}), "beg"},
        {Uso::Filtro, " CodProvincia='24'  AND CodArea='03'", "beg"},
        {Uso::Filtro,
         unir({" AND CodProvincia='24' ", " AND CodLocalidad='2400001' ",
               " AND CodConsejeria='05' ", " AND CodConvocatoria='12346' ", " AND CodArea='03'",
               " AND CodZona='0302' "}),
         "b"},
        {Uso::Filtro, unir({" AND CodLocalidad='2400002' "}), "cg"},
        // Búsqueda de plazas, lista V
        {Uso::Filtro, unir({" AND CodLocalidad like '%" + QString("123") + "%' "}), "adf"},
        {Uso::Filtro,
         unir({" AND CodLocalidad like '%123%' ", " AND CodConsejeria='05' ",
               " AND CodConvocatoria='12345' ", " AND CodArea='03000000'", " AND CodZona='0301' "}),
         "a"},
        {Uso::Filtro, unir({areasDeProvincia({"01", "02"})}), "cdf"},
        {Uso::Filtro, " ( CodArea='01000000' OR  CodArea='02000000'  ) ", "cdf"},
        {Uso::Filtro, unir({" AND CodConsejeria='05' ", areasDeProvincia({"03"})}), "a"},
        // Listas de las demás cascadas
        {Uso::Filtro, "CodProvincia='24' ", "abceg"},
        {Uso::Filtro, " CodProvincia='09' ", "df"},
        {Uso::Filtro, "CodArea='03' ", "beg"},
        {Uso::Filtro, "CodProvincia='24' " + QString(" AND CodArea='03' "), "beg"},
        {Uso::Filtro, "CodProvincia='24' " + QString(" and CodArea='03' "), "beg"},
        {Uso::Filtro, "Codinstitucion=" + QString("05") + " ", "aceg"},
        {Uso::Filtro, "CodProvincia='24' " + QString(" AND Codinstitucion=05 "), "aceg"},
        {Uso::Filtro, "Codinstitucion='" + QString("06") + "' ", "d"},
        {Uso::Filtro, localidadesDeInstitucion({"2400001", "0912345"}), "bde"},
        {Uso::Filtro, localidadesDeInstitucion({"2400002"}), "cg"},
        // Listas de plazas pedidas
        {Uso::Filtro, "CodArea='" + QString("0100") + "' ", ""},
        {Uso::Filtro, "CodZona='0301' ", "aeg"},
        {Uso::Filtro, "CodConvocatoria='" + QString("99999") + "' ", "f"},
        {Uso::Orden, "Orden ASC", "gbdaecf"},
        {Uso::Orden, "Orden ASC ", "gbdaecf"},
        {Uso::Orden, "Orden DESC", "fceadbg"},
        {Uso::Filtro, "Orden" + QString(">=") + QString::number(4), "cef"},
        {Uso::Filtro,
         " ORDEN >= " + QString::number(2 + 1) + " and ORDEN <= " + QString::number(5) + " ",
         "ace"},
        {Uso::Filtro,
         " ORDEN < " + QString::number(4) + " and ORDEN >= " + QString::number(2) + " ", "ad"},
        {Uso::Busqueda, "IdSolicitud='" + QString("3") + "' ", "c"},
        {Uso::Busqueda, "IdSolicitud=" + QString("10"), "e"},
        {Uso::Busqueda, "IdCurso=" + QString::number(0), "a"},
        // Prioridades y cajas
        {Uso::Filtro, "CodProvincia='09' OR CodProvincia='24' AND Clave='b'", "bdf"},
        {Uso::Filtro, "(CodProvincia='09' OR CodProvincia='24') AND Clave='b'", "b"},
        {Uso::Filtro, "CODAREA='03' or codarea = '01000000'", "bceg"},
        {Uso::Filtro, "Localidad like 'ávila'", "c"},
        {Uso::Filtro, "Localidad like 'n%a'", "f"},
        {Uso::Filtro, "Localidad like '%r%a%'", "beg"},
        {Uso::Filtro, "Localidad > 'M'", "efg"},
        {Uso::Filtro, "Localidad < 'Burgos'", "bc"},
        {Uso::Filtro, "Localidad <= 'Burgos'", "bcd"},
        {Uso::Filtro, "Orden > 5", "f"},
        {Uso::Filtro, "Orden <> 3", "bcdef"},
        {Uso::Filtro, "Orden = '3.0'", "a"},
        {Uso::Filtro, "IdSolicitud like '1%'", "ae"},
    };
    return lista;
}

TEST(TablaTextos, CadaTextoDelProgramaSeleccionaSusFilas) {
    for (const Caso& c : casos()) {
        SCOPED_TRACE(c.texto.toStdString());
        PTabla t = tablaDeFilas();
        Resultado r;
        switch (c.uso) {
            case Uso::Filtro:
                r = t->filtrar(c.texto);
                ASSERT_TRUE(r.ok()) << r.mensaje().toStdString();
                EXPECT_EQ(claves(t), c.esperado);
                EXPECT_EQ(t->numeroRegistros(), c.esperado.size());
                EXPECT_EQ(t->filtro(), c.texto);
                break;
            case Uso::Busqueda:
                EXPECT_EQ(hallazgos(t, c.texto), c.esperado);
                // La misma búsqueda en un cursor ordenado al revés recorre otro camino.
                {
                    PTabla otro = t->clonar();
                    ASSERT_TRUE(otro->ordenar("Clave DESC").ok());
                    QString alReves = hallazgos(otro, c.texto);
                    std::reverse(alReves.begin(), alReves.end());
                    EXPECT_EQ(alReves, c.esperado);
                }
                break;
            case Uso::Orden:
                r = t->ordenar(c.texto);
                ASSERT_TRUE(r.ok()) << r.mensaje().toStdString();
                EXPECT_EQ(claves(t), c.esperado);
                break;
        }
    }
}

// El filtro sobre un cursor ordenado conserva el orden, y la búsqueda desde un registro
// intermedio no vuelve atrás.
TEST(TablaTextos, FiltroYBusquedaRespetanElOrdenDelCursor) {
    PTabla t = tablaDeFilas();
    ASSERT_TRUE(t->ordenar("Localidad DESC").ok());
    ASSERT_TRUE(t->filtrar("CodCuerpo='0123'").ok());
    EXPECT_EQ(claves(t), "geac");
    t->moverPrimero();
    t->moverSiguiente();
    t->moverSiguiente();  // en "a"
    ASSERT_TRUE(t->buscar("CodZona='0301'").ok());
    EXPECT_EQ(t->texto("Clave"), "a");
    t->moverSiguiente();
    ASSERT_TRUE(t->buscar("CodZona='0301'").ok());
    EXPECT_TRUE(t->eof());
}

}  // namespace
