#include "DatosCodigos.h"
#include "SolicitudPrueba.h"
#include "printing/CodigoBarras.h"
#include "printing/PlanPaginas.h"
#include "startup/Globales.h"

#include <gtest/gtest.h>

namespace {

QVector<PlazaPlan> plazasDe(const PTabla& t) {
    QVector<PlazaPlan> plazas;
    for (t->moverPrimero(); !t->eof(); t->moverSiguiente())
        plazas.append({t->valor("Orden").toLongLong(), t->texto("CodConvocatoria")});
    t->moverPrimero();
    return plazas;
}

class ExtremoAExtremo : public ::testing::Test {
protected:
    void SetUp() override {
        reiniciarGlobales();
        rellenarListasPrueba(36, 70, 75, 41);
    }
    void TearDown() override { reiniciarGlobales(); }
};

// Lo que espera el papel (calculado aparte) y lo que planifica el generador deben coincidir
// código a código: misma página, mismas entradas.
TEST_F(ExtremoAExtremo, ElPlanDelGeneradorDaLosCodigosQueSeEsperanEnCadaPagina) {
    const QString prefijo = DatosCodigos::prefijo();
    const QVector<CodigoEsperado> esperados =
        codigosEsperadosImpresion(prefijo, DatosCodigos::cargaSolicitante(), 40);
    // Solicitante en la 1; cursos 2-3, documentos 3-4; Vacantes 5, 6, 7 (40, 31, 4); Resultas 8, 9.
    QVector<int> paginas;
    for (const CodigoEsperado& e : esperados) paginas.append(e.pagina);
    EXPECT_EQ(paginas, QVector<int>({1, 5, 6, 7, 8, 9}));
    EXPECT_EQ(esperados[1].texto.size(), 33 + 1 + 3 + 40 * 9 + 1);
    EXPECT_EQ(esperados[3].texto.size(), 33 + 1 + 3 + 4 * 9 + 1);

    const auto plan = planificarImpresion(36, 70, plazasDe(G().rsVacantesSolicitadas),
                                          plazasDe(G().rsResultasSolicitadas), 40);
    ASSERT_TRUE(plan.ok()) << plan.mensaje().toStdString();
    QVector<CodigoEsperado> delPlan = {esperados[0]};
    for (const auto& [lista, codigo] :
         {std::pair{&plan.valor().vacantes, "V"}, std::pair{&plan.valor().resultas, "R"}})
        for (const TramoPagina& t : lista->tramos)
            if (t.conCodigo)
                delPlan.append(
                    {t.pagina, textoCodigoPagina(prefijo, codigo, t.pagina, t.entradas)});
    ASSERT_EQ(delPlan.size(), esperados.size());
    for (qsizetype i = 0; i < esperados.size(); ++i) {
        EXPECT_EQ(delPlan[i].pagina, esperados[i].pagina) << i;
        EXPECT_EQ(delPlan[i].texto, esperados[i].texto) << i;
    }
}

}  // namespace
