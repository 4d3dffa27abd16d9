#include "printing/CodigoBarras.h"
#include "printing/PlanPaginas.h"

#include <gtest/gtest.h>

namespace {

QVector<PlazaPlan> plazas(int n, int desde = 1) {
    QVector<PlazaPlan> r;
    for (int i = 0; i < n; ++i) r.append({desde + i, QString::number(10000 + desde + i)});
    return r;
}

// Registros por página de un plan, en orden.
QVector<int> reparto(const PlanLista& plan) {
    QVector<int> r;
    for (const auto& t : plan.tramos) r.append(t.cuantos);
    return r;
}

TEST(PlanPaginas, CursosYDocumentosDeTreintaYCincoEnTreintaYCinco) {
    const struct {
        int registros;
        QVector<int> reparto;
        int paginaSiguiente;
    } casos[] = {
        {0, {}, 2},       {1, {1}, 2},       {35, {35}, 2},
        {36, {35, 1}, 3}, {70, {35, 35}, 3}, {71, {35, 35, 1}, 4},
    };
    for (const auto& c : casos) {
        const PlanLista plan = planFilas(c.registros, 2, kFilasPorPaginaCursos);
        EXPECT_EQ(reparto(plan), c.reparto) << c.registros;
        EXPECT_EQ(plan.paginaSiguiente, c.paginaSiguiente) << c.registros;
        for (int i = 0; i < plan.tramos.size(); ++i) {
            const auto& t = plan.tramos[i];
            EXPECT_EQ(t.pagina, 2 + i);
            EXPECT_EQ(t.tablaNueva, i > 0);  // solo las páginas añadidas llevan tabla nueva
            EXPECT_EQ(t.saltoDespues, i + 1 < plan.tramos.size());
            EXPECT_FALSE(t.conCodigo);
            EXPECT_EQ(t.primero, 35 * i);
        }
    }
}

TEST(PlanPaginas, PlazasEnPaginasDeNConLaColaLarga) {
    const struct {
        int plazas, n;
        QVector<int> reparto;
    } casos[] = {
        {0, 40, {}},
        {1, 40, {1}},
        {31, 40, {31}},
        {32, 40, {31, 1}},  // cola larga ya en la primera página
        {39, 40, {31, 8}},
        {40, 40, {40}},
        {41, 40, {40, 1}},
        {75, 40, {40, 31, 4}},
        {80, 40, {40, 40}},
        {111, 40, {40, 40, 31}},
        {119, 40, {40, 40, 31, 8}},
        {59, 30, {30, 29}},  // con N = 30 el resto nunca pasa de 29
        {89, 30, {30, 30, 29}},
        {3, 1, {1, 1, 1}},
    };
    for (const auto& c : casos) {
        auto plan = planPlazas(plazas(c.plazas), c.n, 5);
        ASSERT_TRUE(plan.ok());
        EXPECT_EQ(reparto(plan.valor()), c.reparto) << c.plazas << " con N=" << c.n;
        const auto& tramos = plan.valor().tramos;
        int total = 0;
        for (int i = 0; i < tramos.size(); ++i) {
            EXPECT_EQ(tramos[i].pagina, 5 + i);
            EXPECT_TRUE(tramos[i].conCodigo);  // cada página de plazas lleva su código
            EXPECT_EQ(tramos[i].entradas.size(), 9 * tramos[i].cuantos);
            EXPECT_EQ(tramos[i].tablaNueva, i > 0);
            total += tramos[i].cuantos;
        }
        EXPECT_EQ(total, c.plazas);
    }
}

TEST(PlanPaginas, LaColaLargaNuncaSeAplicaConTreintaPorPagina) {
    for (int n = 1; n <= 200; ++n) {
        auto plan = planPlazas(plazas(n), 30, 3);
        ASSERT_TRUE(plan.ok());
        for (const auto& t : plan.valor().tramos)
            EXPECT_TRUE(t.cuantos == 30 || &t == &plan.valor().tramos.last()) << n;
    }
}

TEST(PlanPaginas, UnaPaginaLlenaAlFinalRompeLaPaginaYLaFirmaPasaALaSiguiente) {
    auto plan = planPlazas(plazas(40), 40, 4);
    ASSERT_TRUE(plan.ok());
    ASSERT_EQ(plan.valor().tramos.size(), 1);
    EXPECT_TRUE(plan.valor().tramos[0].saltoDespues);
    EXPECT_EQ(plan.valor().paginaSiguiente, 5);
    auto cola = planPlazas(plazas(41), 40, 4);
    EXPECT_FALSE(cola.valor().tramos.last().saltoDespues);
    EXPECT_EQ(cola.valor().paginaSiguiente, 5);
}

TEST(PlanPaginas, EntradasDelCodigoYSuLongitud) {
    auto plan = planPlazas(
        {{1, QStringLiteral("123")}, {2, QStringLiteral("12345")}, {3, QStringLiteral("1234567")}},
        40, 3);
    ASSERT_TRUE(plan.ok());
    // Orden en 4 con ceros, código en 5 con blancos; lo que no cabe no se corta.
    EXPECT_EQ(plan.valor().tramos[0].entradas, QStringLiteral("0001  123000212345"
                                                              "00031234567"));

    auto cuarenta = planPlazas(plazas(40), 40, 7);
    const QString prefijo = prefijoCodigoBarras(
        ClaveSolicitante(QStringLiteral("12345678Z"), QStringLiteral("321"), QStringLiteral("A")),
        QStringLiteral("07/12/2026"), QStringLiteral("08:30:05"));
    const QString texto =
        textoCodigoPagina(prefijo, QStringLiteral("V"), 7, cuarenta.valor().tramos[0].entradas);
    EXPECT_EQ(texto.size(), 398);
    EXPECT_TRUE(texto.startsWith(prefijo + QStringLiteral("V0070001")));
    EXPECT_TRUE(texto.endsWith(QStringLiteral("004010040F")));
}

TEST(PlanPaginas, CeroPlazasPorPaginaEsUnFallo) {
    EXPECT_FALSE(planPlazas(plazas(3), 0, 3).ok());
    EXPECT_FALSE(planificarImpresion(1, 1, plazas(3), {}, 0).ok());
}

TEST(PlanPaginas, LaImpresionCompletaNumeraLasPaginasComoElDocumento) {
    // 36 cursos, 70 documentos, 75 Vacantes y 41 Resultas con N = 40.
    auto plan = planificarImpresion(36, 70, plazas(75), plazas(41), 40);
    ASSERT_TRUE(plan.ok());
    const PlanImpresion& p = plan.valor();
    EXPECT_EQ(reparto(p.cursos), (QVector<int>{35, 1}));
    // Los documentos empiezan en la página donde acaban los cursos.
    EXPECT_EQ(p.documentos.tramos[0].pagina, 3);
    EXPECT_FALSE(p.documentos.tramos[0].tablaNueva);
    EXPECT_EQ(reparto(p.documentos), (QVector<int>{35, 35}));
    EXPECT_EQ(p.documentos.tramos[1].pagina, 4);
    QVector<int> paginasV, paginasR;
    for (const auto& t : p.vacantes.tramos) paginasV.append(t.pagina);
    for (const auto& t : p.resultas.tramos) paginasR.append(t.pagina);
    EXPECT_EQ(paginasV, (QVector<int>{5, 6, 7}));
    EXPECT_EQ(paginasR, (QVector<int>{8, 9}));
    EXPECT_EQ(reparto(p.resultas), (QVector<int>{40, 1}));

    // Resultas vacía: ni filas ni código; la lista de Vacantes no cambia.
    auto sinResultas = planificarImpresion(0, 0, plazas(40), {}, 40);
    ASSERT_TRUE(sinResultas.ok());
    EXPECT_TRUE(sinResultas.valor().resultas.tramos.isEmpty());
    EXPECT_EQ(sinResultas.valor().vacantes.tramos[0].pagina, 3);
    EXPECT_EQ(sinResultas.valor().resultas.paginaSiguiente, 5);
}

}  // namespace
