#include "printing/PlanPaginas.h"

#include "printing/CodigoBarras.h"

PlanLista planFilas(int registros, int pagina, int porPagina) {
    PlanLista plan;
    for (int i = 0; i < registros; ++i) {
        if (i % porPagina == 0) {
            TramoPagina t;
            t.pagina = pagina;
            t.primero = i;
            t.tablaNueva = i > 0;
            plan.tramos.append(t);
        }
        TramoPagina& t = plan.tramos.last();
        ++t.cuantos;
        if ((i + 1) % porPagina == 0 && i + 1 < registros) {
            t.saltoDespues = true;
            ++pagina;
        }
    }
    plan.paginaSiguiente = pagina;
    return plan;
}

ResultadoDe<PlanLista> planPlazas(const QVector<PlazaPlan>& plazas, int n, int pagina) {
    if (n < 1)
        return Resultado::fallo(
            QStringLiteral("El número de plazas por página debe ser al menos 1 (es %1).").arg(n),
            Errores::ValorFueraDeRango);
    PlanLista plan;
    const qint64 total = plazas.size();
    const qint64 resto = total % n;
    const bool colaLarga = resto > kPlazasUltimaPagina;
    bool abrirTramo = true;
    for (int i = 0; i < plazas.size(); ++i) {
        if (abrirTramo) {
            TramoPagina t;
            t.pagina = pagina;
            t.primero = i;
            t.tablaNueva = i > 0;
            plan.tramos.append(t);
            abrirTramo = false;
        }
        TramoPagina& t = plan.tramos.last();
        ++t.cuantos;
        const qint64 orden = plazas[i].orden;
        t.entradas += entradaPlaza(QString::number(orden), plazas[i].codConvocatoria);
        // La página se cierra por el número de orden, que corre 1, 2, 3... en el orden de la lista.
        const bool finPagina =
            orden % n == 0 || (colaLarga && total - orden == resto - kPlazasUltimaPagina);
        if (finPagina) {
            t.conCodigo = true;
            t.saltoDespues = true;
            ++pagina;
            abrirTramo = true;
        }
    }
    if (!plan.tramos.isEmpty() && !plan.tramos.last().conCodigo)
        plan.tramos.last().conCodigo = true;
    plan.paginaSiguiente = pagina;
    return plan;
}

ResultadoDe<PlanImpresion> planificarImpresion(int cursos, int documentos,
                                               const QVector<PlazaPlan>& vacantes,
                                               const QVector<PlazaPlan>& resultas,
                                               int plazasPorPagina) {
    PlanImpresion plan;
    plan.cursos = planFilas(cursos, 2, kFilasPorPaginaCursos);
    plan.documentos = planFilas(documentos, plan.cursos.paginaSiguiente, kFilasPorPaginaDocumentos);
    auto v = planPlazas(vacantes, plazasPorPagina, plan.documentos.paginaSiguiente + 1);
    if (!v) return v.estado();
    plan.vacantes = v.valor();
    auto r = planPlazas(resultas, plazasPorPagina, plan.vacantes.paginaSiguiente + 1);
    if (!r) return r.estado();
    plan.resultas = r.valor();
    return plan;
}
