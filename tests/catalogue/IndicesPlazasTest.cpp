#include "catalogue/Esquemas.h"
#include "catalogue/IndicesPlazas.h"
#include "global/Globales.h"

#include <gtest/gtest.h>

namespace {

// Plaza de catálogo: el código y un sufijo que distingue de qué tabla viene cada valor.
void anadirPlaza(Tabla& t, const QString& codigo, const QString& origen,
                 const QString& area = QStringLiteral("Área")) {
    ASSERT_TRUE(t.anadir().ok());
    const QStringList campos = {"NomConvocatoria", "Consejeria",   "Localidad", "CodConsejeria",
                                "CodLocalidad",    "CodProvincia", "CodArea",   "CodZona"};
    ASSERT_TRUE(t.establecer("CodConvocatoria", codigo).ok());
    for (const QString& c : campos) {
        const int largo = t.campos()[t.indiceCampo(c)].longitud;
        ASSERT_TRUE(t.establecer(c, (c.left(3) + codigo + origen).left(largo)).ok());
    }
    ASSERT_TRUE(t.establecer("Area", area + origen).ok());
}

void anadirFila(Tabla& t, const QStringList& campos, const QStringList& valores) {
    ASSERT_TRUE(t.anadir().ok());
    for (int i = 0; i < campos.size(); ++i) ASSERT_TRUE(t.establecer(campos[i], valores[i]).ok());
}

QStringList codigos(const PTabla& t) {
    QStringList c;
    for (int f = 0; f < t->numeroRegistros(); ++f)
        c << t->valorEnFila(f, t->indiceCampo("CodConvocatoria")).toString();
    return c;
}

QString valor(const PTabla& t, int fila, const char* campo) {
    return t->valorEnFila(fila, t->indiceCampo(campo)).toString();
}

struct ContadorProgreso : ObservadorProgreso {
    void avanzar(int cantidad) override {
        total += cantidad;
        ++llamadas;
    }
    int total = 0;
    int llamadas = 0;
};

class IndicesPlazasTest : public ::testing::Test {
protected:
    void SetUp() override {
        reiniciarGlobales();
        Globales& g = G();
        g.rsCuerpos = CrearTablaCuerpos();
        g.rsGrupos = CrearTablaGrupos();
        g.rsPlazasCuerpo = CrearTablaPlazasCuerpo();
        g.rsPlazasGrupo = CrearTablaPlazasGrupo();
        g.rsPlazasVacantes = CrearTablaPlazas("rsPlazasVacantes");
        g.rsPlazasResultas = CrearTablaPlazas("rsPlazasResultas");
        g.rsPlazasListaV = CrearTablaPlazasLista("rsPlazasListaV");
        g.rsPlazasListaR = CrearTablaPlazasLista("rsPlazasListaR");
        // Catálogos: V = vacantes, R = resultas, LV / LR = listas.
        for (const char* c : {"00001", "00002", "00003", "00004"}) {
            anadirPlaza(*g.rsPlazasVacantes, c, "V");
            anadirPlaza(*g.rsPlazasResultas, c, "R");
            anadirPlaza(*g.rsPlazasListaV, c, "LV");
            anadirPlaza(*g.rsPlazasListaR, c, "LR");
        }
    }
    void cuerpo(const QString& cod, const QString& grupo) {
        anadirFila(*G().rsCuerpos, {"CodCuerpo", "DescCuerpo", "Grupo"},
                   {cod, "Cuerpo " + cod, grupo});
    }
    void enlaceCuerpo(const QString& plaza, const QString& cod) {
        anadirFila(*G().rsPlazasCuerpo, {"CodPlaza", "CodCuerpo"}, {plaza, cod});
    }
    void enlaceGrupo(const QString& plaza, const QString& grupo) {
        anadirFila(*G().rsPlazasGrupo, {"CodPlaza", "CodGrupo"}, {plaza, grupo});
    }
};

TEST_F(IndicesPlazasTest, HuecosPorCuerpoYOrigenDeCadaPasada) {
    cuerpo("0123", "A");
    cuerpo("0999", "X");  // no se ofrece: sus huecos quedan vacíos al final
    cuerpo("01234", "B");
    enlaceCuerpo("00002", "0123");
    enlaceCuerpo("00001", "01234");
    enlaceCuerpo("00009", "0123");  // plaza que no existe: se salta
    enlaceCuerpo("00004", "0123");
    enlaceCuerpo("00003", "0999");
    ContadorProgreso progreso;
    auto& indice = G().IndicePlazasCuerpo;
    ASSERT_TRUE(IndexarPlazasPorCuerpo(*G().rsCuerpos, indice, &progreso, 30).ok());

    ASSERT_EQ(indice.size(), 6);
    const QString cods[] = {"0123", "0123", "01234", "01234"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(indice[i].CodCuerpo, cods[i]) << i;
        EXPECT_EQ(indice[i].DesdeCatalogo, i % 2 == 0) << i;
    }
    for (int i = 4; i < 6; ++i) {
        EXPECT_TRUE(indice[i].CodCuerpo.isEmpty());
        EXPECT_FALSE(indice[i].Resultas);
        EXPECT_FALSE(indice[i].Vacantes);
    }
    // "0123" no recoge los enlaces de "01234"; el orden es el de los enlaces.
    EXPECT_EQ(codigos(indice[0].Vacantes), QStringList({"00002", "00004"}));
    EXPECT_EQ(codigos(indice[2].Resultas), QStringList({"00001"}));
    // Cada pasada toma sus datos de su tabla, campo a campo, Area incluida.
    EXPECT_EQ(valor(indice[0].Vacantes, 0, "NomConvocatoria"), "Nom00002V");
    EXPECT_EQ(valor(indice[0].Resultas, 1, "Localidad"), "Loc00004R");
    EXPECT_EQ(valor(indice[1].Vacantes, 0, "Consejeria"), "Con00002LV");
    EXPECT_EQ(valor(indice[1].Resultas, 0, "NomConvocatoria"), "Nom00002LR");
    EXPECT_EQ(valor(indice[0].Vacantes, 0, "Area"), "ÁreaV");
    EXPECT_EQ(valor(indice[1].Resultas, 1, "Area"), "ÁreaLR");
    // Cuatro avances por cuerpo ofrecido.
    EXPECT_EQ(progreso.llamadas, 8);
    EXPECT_EQ(progreso.total, 240);
    // La búsqueda del formulario da la entrada del catálogo.
    EXPECT_EQ(buscarPlazasCuerpo(indice, "01234"), 2);
    EXPECT_EQ(buscarPlazasCuerpo(indice, "0999"), -1);
    EXPECT_EQ(buscarPlazasCuerpo(indice, "012"), -1);
    // Los enlaces quedan filtrados por el último cuerpo recorrido.
    EXPECT_EQ(G().rsPlazasCuerpo->filtro(), "CodCuerpo='01234'");
}

TEST_F(IndicesPlazasTest, CuerpoSinEnlacesTieneTablasVacias) {
    cuerpo("0500", "C");
    ASSERT_TRUE(IndexarPlazasPorCuerpo(*G().rsCuerpos, G().IndicePlazasCuerpo, nullptr, 30).ok());
    ASSERT_EQ(G().IndicePlazasCuerpo.size(), 2);
    for (const PlazasCuerpo& e : G().IndicePlazasCuerpo) {
        EXPECT_EQ(e.CodCuerpo, "0500");
        ASSERT_TRUE(e.Resultas && e.Vacantes);
        EXPECT_EQ(e.Resultas->numeroRegistros(), 0);
        EXPECT_EQ(e.Vacantes->numeroRegistros(), 0);
    }
}

TEST_F(IndicesPlazasTest, LaPrimeraPlazaDeCodigoRepetidoGanaYElFiltroDelOrigenSeQuita) {
    anadirPlaza(*G().rsPlazasVacantes, "00001", "V2");
    G().rsPlazasVacantes->ordenar("NomConvocatoria DESC");  // "Nom00001V2" antes que "Nom00001V"
    ASSERT_TRUE(G().rsPlazasVacantes->filtrar("CodConvocatoria = '00002'").ok());
    cuerpo("0001", "A");
    enlaceCuerpo("00001", "0001");
    enlaceCuerpo("00001", "0001");  // enlace repetido: dos filas
    ASSERT_TRUE(IndexarPlazasPorCuerpo(*G().rsCuerpos, G().IndicePlazasCuerpo, nullptr, 30).ok());
    const PTabla& v = G().IndicePlazasCuerpo[0].Vacantes;
    ASSERT_EQ(v->numeroRegistros(), 2);
    EXPECT_EQ(valor(v, 0, "NomConvocatoria"), "Nom00001V2");
    EXPECT_EQ(valor(v, 1, "NomConvocatoria"), "Nom00001V2");
    EXPECT_FALSE(G().rsPlazasVacantes->tieneFiltro());
}

TEST_F(IndicesPlazasTest, PorGrupoSinAreaYUnAvancePorGrupo) {
    for (const char* g : {"A", "B", "C"}) anadirFila(*G().rsGrupos, {"Grupo"}, {g});
    enlaceGrupo("00003", "A");
    enlaceGrupo("00001", "A");
    enlaceGrupo("00007", "A");
    enlaceGrupo("00002", "C");
    ContadorProgreso progreso;
    auto& indice = G().IndicePlazasGrupo;
    ASSERT_TRUE(IndexarPlazasPorGrupo(*G().rsGrupos, indice, &progreso, 30).ok());
    ASSERT_EQ(indice.size(), 3);
    EXPECT_EQ(indice[0].Grupo, "A");
    EXPECT_EQ(indice[2].Grupo, "C");
    EXPECT_EQ(codigos(indice[0].Resultas), QStringList({"00003", "00001"}));
    EXPECT_EQ(codigos(indice[0].Vacantes), QStringList({"00003", "00001"}));
    EXPECT_EQ(indice[1].Vacantes->numeroRegistros(), 0);
    EXPECT_EQ(valor(indice[2].Vacantes, 0, "Localidad"), "Loc00002LV");
    EXPECT_EQ(valor(indice[2].Resultas, 0, "Consejeria"), "Con00002LR");
    for (const PlazasGrupo& e : indice)
        for (const PTabla& t : {e.Resultas, e.Vacantes})
            for (int f = 0; f < t->numeroRegistros(); ++f)
                EXPECT_TRUE(valor(t, f, "Area").isEmpty());
    EXPECT_EQ(progreso.llamadas, 3);
    EXPECT_EQ(progreso.total, 90);
}

TEST_F(IndicesPlazasTest, CopiaDesdeElCursorDeLosEnlaces) {
    for (const char* p : {"00001", "00002", "00003"}) enlaceCuerpo(p, "0001");
    Tabla& enlaces = *G().rsPlazasCuerpo;
    enlaces.moverPrimero();
    enlaces.moverSiguiente();
    const IndiceConvocatorias origen(*G().rsPlazasResultas);
    // Por cuerpo se copia desde el enlace actual; por grupo desde el primero.
    auto porCuerpo = CrearTablaPlazas();
    ASSERT_TRUE(CopiarPlazasEnlazadas(enlaces, *porCuerpo, origen, VarianteEnlace::PorCuerpo).ok());
    EXPECT_EQ(codigos(porCuerpo), QStringList({"00002", "00003"}));
    auto porGrupo = CrearTablaPlazas();
    ASSERT_TRUE(CopiarPlazasEnlazadas(enlaces, *porGrupo, origen, VarianteEnlace::PorGrupo).ok());
    EXPECT_EQ(codigos(porGrupo), QStringList({"00001", "00002", "00003"}));
    EXPECT_EQ(valor(porCuerpo, 0, "Area"), "ÁreaR");
    EXPECT_TRUE(valor(porGrupo, 0, "Area").isEmpty());
}

TEST_F(IndicesPlazasTest, UnValorDemasiadoLargoLlegaAlLlamador) {
    // Un destino cuya localidad es más corta que la del catálogo: la de 53 no cabe.
    Tabla& v = *G().rsPlazasVacantes;
    v.moverPrimero();
    ASSERT_TRUE(v.establecer("Localidad", QString(53, QLatin1Char('L'))).ok());
    QList<Campo> corta = camposTablaPlazas();
    corta[3].longitud = 50;
    auto lista = Tabla::crear(QStringLiteral("corta"), corta);
    enlaceGrupo("00001", "A");
    G().rsPlazasGrupo->moverPrimero();
    const Resultado r = CopiarPlazasEnlazadas(*G().rsPlazasGrupo, *lista, IndiceConvocatorias(v),
                                              VarianteEnlace::PorGrupo);
    EXPECT_FALSE(r.ok());
}

// Los huecos de los índices se cuentan con 16 bits: con más cuerpos ofrecidos (dos huecos cada
// uno) o más grupos de los que caben, el índice no se hace y lo dice, sin romperse.
TEST_F(IndicesPlazasTest, DemasiadasEntradasSonUnFalloConMensaje) {
    Tabla& cuerpos = *G().rsCuerpos;
    for (int i = 0; i < 16384; ++i) {
        ASSERT_TRUE(cuerpos.anadirRegistro({QString::number(100000 + i), "Cuerpo", "A"}).ok());
    }
    auto r = IndexarPlazasPorCuerpo(cuerpos, G().IndicePlazasCuerpo, nullptr, 30);
    ASSERT_FALSE(r.ok());
    EXPECT_TRUE(r.mensaje().contains("Hay 16384 cuerpos ofrecidos")) << r.mensaje().toStdString();
    EXPECT_TRUE(r.mensaje().contains("como mucho 16383"));
    EXPECT_TRUE(G().IndicePlazasCuerpo.isEmpty());

    Tabla& grupos = *G().rsGrupos;
    for (int i = 0; i < 32769; ++i) ASSERT_TRUE(grupos.anadirRegistro({"G"}).ok());
    r = IndexarPlazasPorGrupo(grupos, G().IndicePlazasGrupo, nullptr, 30);
    ASSERT_FALSE(r.ok());
    EXPECT_TRUE(r.mensaje().contains("Hay 32769 grupos")) << r.mensaje().toStdString();
}

// La búsqueda por código da la misma fila que recorrer la tabla desde el principio comparando
// como el filtro: ceros de delante que cuentan, mayúsculas que no, repetidos que dan la primera
// y muchos códigos para que la tabla de búsqueda dé la vuelta y se llene en racimos.
TEST(IndiceConvocatorias, DaLaPrimeraFilaComoElRecorridoDesdeElPrincipio) {
    PTabla t = CrearTablaPlazas("t");
    QStringList codigos = {"7", "07", "007", "0", "00", "A7", "a7", "7a", "", "99999"};
    for (int i = 0; i < 3000; ++i) codigos << QString::number(i * 37 % 2000).rightJustified(5, '0');
    for (int i = 0; i < 200; ++i) codigos << QStringLiteral("Z%1").arg(i % 150);
    for (const QString& c : codigos) {
        ASSERT_TRUE(t->anadir().ok());
        ASSERT_TRUE(t->establecer("CodConvocatoria", c).ok());
    }
    const IndiceConvocatorias indice(*t);
    QStringList preguntas = codigos;
    preguntas << "8"
              << "0007"
              << "z7"
              << "z149"
              << "Z150"
              << "02000"
              << "1234567890123456";
    const int campo = t->indiceCampo("CodConvocatoria");
    for (const QString& p : preguntas) {
        SCOPED_TRACE(p.toStdString());
        int esperada = -1;
        for (int f = 0; f < t->numeroRegistros() && esperada < 0; ++f)
            if (claveIgualdad(t->valorEnFila(f, campo).toString()) == claveIgualdad(p))
                esperada = f;
        EXPECT_EQ(indice.fila(p), esperada);
    }
}

// Los índices de las listas que deja el de por cuerpo sirven al de por grupo: mismas tablas que
// construyéndolos otra vez, y las listas quedan sin filtro como tras construirlos. Unos que son
// de otras tablas no se usan.
TEST_F(IndicesPlazasTest, PorGrupoUsaLosIndicesDeListasDelDePorCuerpo) {
    for (const char* g : {"A", "C"}) anadirFila(*G().rsGrupos, {"Grupo"}, {g});
    cuerpo("0001", "A");
    enlaceCuerpo("00002", "0001");
    enlaceGrupo("00003", "A");
    enlaceGrupo("00001", "C");
    IndicesListas listas;
    ASSERT_TRUE(
        IndexarPlazasPorCuerpo(*G().rsCuerpos, G().IndicePlazasCuerpo, nullptr, 30, &listas).ok());
    ASSERT_TRUE(listas.resultas && listas.vacantes);
    ASSERT_TRUE(G().rsPlazasListaV->filtrar("CodConvocatoria = '00004'").ok());
    QVector<PlazasGrupo> compartidos, nuevos;
    ASSERT_TRUE(IndexarPlazasPorGrupo(*G().rsGrupos, compartidos, nullptr, 30, &listas).ok());
    EXPECT_FALSE(G().rsPlazasListaV->tieneFiltro());
    ASSERT_TRUE(IndexarPlazasPorGrupo(*G().rsGrupos, nuevos, nullptr, 30).ok());
    ASSERT_EQ(compartidos.size(), 2);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(codigos(compartidos[i].Vacantes), codigos(nuevos[i].Vacantes));
        EXPECT_EQ(valor(compartidos[i].Resultas, 0, "Consejeria"),
                  valor(nuevos[i].Resultas, 0, "Consejeria"));
    }
    EXPECT_EQ(valor(compartidos[1].Vacantes, 0, "Localidad"), "Loc00001LV");

    // Índices de otras tablas (las listas se sustituyeron): se vuelven a construir.
    G().rsPlazasListaV = CrearTablaPlazasLista("rsPlazasListaV");
    anadirPlaza(*G().rsPlazasListaV, "00001", "NV");
    QVector<PlazasGrupo> otros;
    ASSERT_TRUE(IndexarPlazasPorGrupo(*G().rsGrupos, otros, nullptr, 30, &listas).ok());
    EXPECT_EQ(valor(otros[1].Vacantes, 0, "Localidad"), "Loc00001NV");
}

}  // namespace
