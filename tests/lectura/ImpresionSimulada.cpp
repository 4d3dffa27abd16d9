#include "ImpresionSimulada.h"

#include "printing/CodigoBarras.h"
#include "printing/PlanPaginas.h"

#include <QMap>

QString ImpresionSimulada::codigo(bool vacante, qint64 orden) {
    const qint64 base = vacante ? 101 : 577;
    return QString::number(orden % 7 == 0 ? base + orden
                                          : 10000 + (base * 31 + orden * 389) % 89999);
}

QString ImpresionSimulada::carga() const {
    const QStringList campos = {
        QStringLiteral("S"),
        QStringLiteral("Núñez de Arce y Peñalver-Ibáñez"),
        QStringLiteral("Martínez-Echevarría Güell"),
        QStringLiteral("María Ángeles Inmaculada"),
        dni,
        QStringLiteral("19700412"),
        QStringLiteral("924 123 456 / 654 987 321"),
        QStringLiteral("S"),
        QStringLiteral("87654321X"),
        QStringLiteral("Fernández de Córdoba"),
        QStringLiteral("Zúñiga Ortíz"),
        QStringLiteral("José Ramón"),
        QStringLiteral("S"),
        QStringLiteral("Física y orgánica, grado reconocido \"moderado\" (33%) ¿revisión?"),
        QStringLiteral("Adaptación del puesto & mobiliario ergonómico; acceso sin escalones"),
        QStringLiteral("Avda. de la Constitución nº 14, 3ª planta, puerta izquierda · bloque B"),
        QStringLiteral("Villanueva de la Serena"),
        QStringLiteral("06"),
        QStringLiteral("06700"),
        cuerpo,
        grupo,
        QStringLiteral("0601234567"),
        QStringLiteral("20050301"),
        QStringLiteral("A"),
        QStringLiteral("Servicio activo"),
        QStringLiteral("20050301"),
        QStringLiteral("S"),
        QStringLiteral("Servicio Gallego de Salud ¡urgente!"),
        QStringLiteral("D"),
        QStringLiteral("Enfermero/a de Atención Primaria en el Centro de Salud Urbano Nº 2"),
        QStringLiteral("Don Benito"),
        QStringLiteral("Badajoz"),
        QStringLiteral("N"),
        QStringLiteral("20110915"),
        QStringLiteral("Hospital Comarcal \"Siberia-Serena\" de Talarrubias; unidad de Pediatría"),
        QStringLiteral("Zona Básica de Salud de Orellana la Vieja, Açores, Ëlche, Ôbidos"),
        QStringLiteral("Cáceres")};
    return campos.join(u'|') + u'|';
}

QVector<PaginaLeida> ImpresionSimulada::paginas() const {
    auto plazas = [](int n, bool vacante) {
        QVector<PlazaPlan> r;
        for (int i = 1; i <= n; ++i) r.append({i, codigo(vacante, i)});
        return r;
    };
    const auto plan = planificarImpresion(cursos, documentos, plazas(vacantes, true),
                                          plazas(resultas, false), porPagina);
    const QString prefijo = prefijoCodigoBarras(ClaveSolicitante(dni, cuerpo, grupo), fecha, hora);

    QMap<int, QString> textos = {{1, textoCodigoSolicitante(prefijo, carga())}};
    int ultima = 1;
    for (const auto& [lista, letra] :
         {std::pair{&plan.valor().vacantes, "V"}, std::pair{&plan.valor().resultas, "R"}})
        for (const TramoPagina& t : lista->tramos) {
            if (t.conCodigo)
                textos[t.pagina] = textoCodigoPagina(prefijo, letra, t.pagina, t.entradas);
            ultima = qMax(ultima, t.pagina);
        }
    QVector<PaginaLeida> paginas;
    for (int numero = 1; numero <= ultima; ++numero) {
        PaginaLeida p;
        p.origen = {fichero, numero};
        if (textos.contains(numero)) {
            p.estado = EstadoPagina::ConCodigos;
            p.codigos = {bytesCodigo(textos[numero])};
        }
        paginas.append(p);
    }
    return paginas;
}

qsizetype indicePagina(const QVector<PaginaLeida>& paginas, int numero) {
    const QByteArray marca = QStringLiteral("%1").arg(numero, 3, 10, QLatin1Char('0')).toLatin1();
    for (qsizetype i = 0; i < paginas.size(); ++i)
        for (const QByteArray& c : paginas[i].codigos)
            if (c.mid(34, 3) == marca) return i;
    return -1;
}
