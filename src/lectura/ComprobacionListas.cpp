#include "lectura/ComprobacionListas.h"

#include <QSet>
#include <algorithm>

namespace {

constexpr int kPlazasUltimaPagina = 31;

QString plazas(qint64 desde, qint64 hasta) {
    return desde == hasta ? QStringLiteral("plaza %1").arg(desde)
                          : QStringLiteral("plazas %1 a %2").arg(desde).arg(hasta);
}

// "falta la página 6 de Vacantes (plazas 41 a 71)" o "faltan las páginas 6 a 8 de ...".
QString faltan(int desde, int hasta, const QString& lista, qint64 primera = 0, qint64 ultima = -1) {
    QString t;
    if (desde == hasta)
        t = QStringLiteral("falta la página %1 de %2").arg(desde).arg(lista);
    else
        t = QStringLiteral("faltan las páginas %1 %2 %3 de %4")
                .arg(desde)
                .arg(hasta == desde + 1 ? QStringLiteral("y") : QStringLiteral("a"))
                .arg(hasta)
                .arg(lista);
    if (primera > 0 && ultima >= primera) t += QStringLiteral(" (%1)").arg(plazas(primera, ultima));
    return t;
}

// "6 (fichero X, página 2)".
QString conOrigen(const PaginaPlazas& p) {
    return QStringLiteral("%1 (%2)").arg(p.numero).arg(describirOrigen(p.origen));
}

}  // namespace

int plazasPorPaginaDeducidas(const QVector<PaginaPlazas>& vacantes,
                             const QVector<PaginaPlazas>& resultas) {
    QSet<int> candidatos;
    for (const QVector<PaginaPlazas>* lista : {&vacantes, &resultas})
        for (qsizetype i = 0; i < lista->size(); ++i) {
            const int c = int(lista->at(i).plazas.size());
            const bool noEsLaUltima = i + 1 < lista->size();
            if (c > kPlazasUltimaPagina || (noEsLaUltima && c > 0 && c != kPlazasUltimaPagina))
                candidatos.insert(c);
        }
    return candidatos.size() == 1 ? *candidatos.begin() : 0;
}

ListaComprobada comprobarLista(TipoPagina tipo, const QVector<PaginaPlazas>& paginas, int n) {
    ListaComprobada r;
    if (paginas.isEmpty()) return r;
    const QString lista = nombreTipo(tipo);
    for (const PaginaPlazas& p : paginas) {
        if (p.plazas.isEmpty()) {
            r.problemas.append(QStringLiteral("la página %1 de %2 no lleva ninguna plaza (%3)")
                                   .arg(p.numero)
                                   .arg(lista, describirOrigen(p.origen)));
            continue;
        }
        // Los órdenes empiezan en 1: un 0 no lo imprime el programa.
        if (p.plazas.first().orden < 1)
            r.problemas.append(
                QStringLiteral("la página %1 de %2 (%3) lleva una plaza con el orden %4, que no "
                               "existe")
                    .arg(p.numero)
                    .arg(lista, describirOrigen(p.origen))
                    .arg(p.plazas.first().orden));
        for (qsizetype j = 1; j < p.plazas.size(); ++j)
            if (p.plazas[j].orden != p.plazas[j - 1].orden + 1) {
                r.problemas.append(
                    QStringLiteral("en la página %1 de %2 (%3) los órdenes no van seguidos: tras "
                                   "el %4 viene el %5")
                        .arg(p.numero)
                        .arg(lista, describirOrigen(p.origen))
                        .arg(p.plazas[j - 1].orden)
                        .arg(p.plazas[j].orden));
                break;
            }
    }

    // Las páginas con plazas, para mirar lo que hay entre una y la siguiente.
    QVector<const PaginaPlazas*> llenas;
    for (const PaginaPlazas& p : paginas)
        if (!p.plazas.isEmpty()) llenas.append(&p);
    if (llenas.isEmpty()) return r;

    const PaginaPlazas& primera = *llenas.first();
    const qint64 primerOrden = primera.plazas.first().orden;
    if (primerOrden > 1) {
        // Antes de la primera que hay solo puede haber páginas llenas de N.
        if (n > 0 && (primerOrden - 1) % n == 0) {
            const int cuantas = int((primerOrden - 1) / n);
            r.problemas.append(
                faltan(primera.numero - cuantas, primera.numero - 1, lista, 1, primerOrden - 1));
        } else {
            r.problemas.append(QStringLiteral("faltan las páginas de %1 anteriores a la %2 (%3)")
                                   .arg(lista)
                                   .arg(primera.numero)
                                   .arg(plazas(1, primerOrden - 1)));
        }
    }
    for (qsizetype i = 1; i < llenas.size(); ++i) {
        const PaginaPlazas& a = *llenas[i - 1];
        const PaginaPlazas& b = *llenas[i];
        const int huecoPaginas = b.numero - a.numero - 1;
        const qint64 ultimaA = a.plazas.last().orden;
        const qint64 primeraB = b.plazas.first().orden;
        if (primeraB <= ultimaA) {
            r.problemas.append(QStringLiteral("las %1 de %2 están en las páginas %3 y %4")
                                   .arg(plazas(primeraB, qMin(ultimaA, b.plazas.last().orden)),
                                        lista, conOrigen(a), conOrigen(b)));
        }
        if (huecoPaginas > 0)
            r.problemas.append(
                faltan(a.numero + 1, b.numero - 1, lista, ultimaA + 1, primeraB - 1));
        else if (primeraB > ultimaA + 1)
            r.problemas.append(
                QStringLiteral("faltan las %1 de %2, aunque las páginas %3 y %4 van "
                               "seguidas")
                    .arg(plazas(ultimaA + 1, primeraB - 1), lista, conOrigen(a), conOrigen(b)));
    }

    // Cada orden una vez, con la plaza de la primera página que lo lleva: ordenadas de forma
    // estable, las de un mismo orden quedan seguidas y en el orden de las páginas.
    qsizetype total = 0;
    for (const PaginaPlazas* p : llenas) total += p->plazas.size();
    r.plazas.reserve(total);
    for (const PaginaPlazas* p : llenas) r.plazas.append(p->plazas);
    const auto porOrden = [](const PlazaLeida& x, const PlazaLeida& y) {
        return x.orden < y.orden;
    };
    if (!std::is_sorted(r.plazas.cbegin(), r.plazas.cend(), porOrden))
        std::stable_sort(r.plazas.begin(), r.plazas.end(), porOrden);
    r.plazas.erase(
        std::unique(r.plazas.begin(), r.plazas.end(),
                    [](const PlazaLeida& x, const PlazaLeida& y) { return x.orden == y.orden; }),
        r.plazas.end());
    return r;
}

QStringList comprobarEntreListas(const QVector<PaginaPlazas>& vacantes,
                                 const QVector<PaginaPlazas>& resultas, int n) {
    QStringList problemas;
    if (vacantes.isEmpty() || resultas.isEmpty()) return problemas;
    const PaginaPlazas& ultimaV = vacantes.last();
    const PaginaPlazas& primeraR = resultas.first();
    if (primeraR.numero <= ultimaV.numero) {
        problemas.append(QStringLiteral("las páginas de Resultas (desde la %1) no van detrás de "
                                        "las de Vacantes (hasta la %2)")
                             .arg(conOrigen(primeraR), conOrigen(ultimaV)));
        return problemas;
    }
    if (ultimaV.plazas.isEmpty() || primeraR.plazas.isEmpty()) return problemas;
    // Dónde empieza de verdad Resultas, si faltan sus primeras páginas.
    int inicioR = primeraR.numero;
    const qint64 primerOrdenR = primeraR.plazas.first().orden;
    if (primerOrdenR > 1) {
        if (n <= 0 || (primerOrdenR - 1) % n != 0) return problemas;
        inicioR -= int((primerOrdenR - 1) / n);
    }
    // Tras una última página llena el número salta uno más; sin N se da por hecho (lo que pide
    // menos páginas), para no señalar una que quizá no falta.
    const qint64 ultimoOrdenV = ultimaV.plazas.last().orden;
    const int salto = n > 0 ? (ultimoOrdenV % n == 0 ? 1 : 0) : 1;
    const int desde = ultimaV.numero + 1;
    const int hasta = inicioR - 1 - salto;
    if (hasta >= desde)
        problemas.append(QStringLiteral("%1 (desde la plaza %2)")
                             .arg(faltan(desde, hasta, nombreTipo(TipoPagina::Vacantes)))
                             .arg(ultimoOrdenV + 1));
    return problemas;
}
