#include "registro/Registro.h"
#include "registro/SqlRegistro.h"

#include <QHash>
#include <QSet>
#include <QVariant>

using namespace RegistroSql;

ResultadoDe<QVector<PaginaLeida>> Registro::paginas() {
    auto c = contenido();
    if (!c) return c.estado();
    return std::move(c.valor().paginas);
}

ResultadoDe<ContenidoRegistro> Registro::contenido() {
    QSqlDatabase bd = QSqlDatabase::database(m_conexion);
    auto fallo = [this](const QSqlQuery& q) {
        return Resultado::fallo(QStringLiteral("No se puede leer el registro «%1»: %2.")
                                    .arg(m_destino.descripcion, causa(q.lastError())),
                                Errores::ErrorEntradaSalida);
    };
    // Las consultas ven el mismo momento del registro aunque otro puesto escriba entre tanto.
    if (!bd.transaction())
        return Resultado::fallo(QStringLiteral("No se puede leer el registro «%1»: %2.")
                                    .arg(m_destino.descripcion, causa(bd.lastError())),
                                Errores::ErrorEntradaSalida);
    struct Deshacer {
        QSqlDatabase& bd;
        ~Deshacer() { bd.rollback(); }
    } deshacer{bd};
    if (m_destino.esPostgresql()) {
        QSqlQuery aislar(bd);
        if (!aislar.exec(QStringLiteral("SET TRANSACTION ISOLATION LEVEL REPEATABLE READ")))
            return fallo(aislar);
    }
    const bool v1 = m_version == 1;
    // Cada valor se lee acotado; una huella demasiado larga o un código demasiado largo para
    // ser de una solicitud llegan nulos.
    const QString hojas =
        v1 ? QStringLiteral(
                 "SELECT 'ruta:' || SUBSTR(fichero, 1, %1), pagina, "
                 "SUBSTR(fichero, 1, %1), %2, SUBSTR(NULLIF(detalle, ''), 1, %3), 0 "
                 "FROM lector_paginas ORDER BY fichero, pagina")
                 .arg(kLargoRuta)
                 .arg(estadoComoNumero())
                 .arg(kLargoDetalle)
           : QStringLiteral(
                 "SELECT SUBSTR(h.fichero_huella, 1, %4), h.pagina, "
                 "SUBSTR(h.fichero, 1, %1), %2, SUBSTR(NULLIF(h.detalle, ''), 1, %3), "
                 "CASE WHEN r.pagina IS NULL THEN 0 ELSE 1 END FROM lector_hojas h "
                 "LEFT JOIN lector_resoluciones r ON r.fichero_huella = "
                 "h.fichero_huella AND r.pagina = h.pagina "
                 "ORDER BY h.fichero, h.fichero_huella, h.pagina")
                 .arg(kLargoRuta)
                 .arg(estadoComoNumero())
                 .arg(kLargoDetalle)
                 .arg(kLargoHuella);
    const QString codigos =
        QStringLiteral("CASE WHEN LENGTH(c.codigo) > %1 THEN NULL ELSE c.codigo END")
            .arg(kLargoCodigo);
    const QString apariciones =
        v1 ? QStringLiteral(
                 "SELECT 'ruta:' || SUBSTR(c.fichero, 1, %1), c.pagina, %2 "
                 "FROM lector_codigos c ORDER BY c.fichero, c.pagina, c.huella")
                 .arg(kLargoRuta)
                 .arg(codigos)
           : QStringLiteral(
                 "SELECT SUBSTR(a.fichero_huella, 1, %1), a.pagina, %2 "
                 "FROM lector_apariciones a JOIN lector_codigos c "
                 "ON c.huella = a.codigo_huella "
                 "ORDER BY a.fichero_huella, a.pagina, a.codigo_huella")
                 .arg(kLargoHuella)
                 .arg(codigos);

    ContenidoRegistro resultado;
    QVector<PaginaLeida>& paginas = resultado.paginas;
    QVector<QString> huellas;  // la del fichero de cada página de `paginas`
    // Cada fichero (por su huella) con un número; cada página, por ese número y el suyo, da su
    // sitio en `paginas`, o -1 si está resuelta.
    QHash<QString, qint64> numeros;
    QHash<qint64, qsizetype> sitio;
    auto llave = [](qint64 numero, int pagina) { return numero << 32 | quint32(pagina); };
    QSqlQuery q(bd);
    q.setForwardOnly(true);
    if (!q.exec(hojas)) return fallo(q);
    QString huella;
    qint64 numero = -1;
    while (q.next()) {
        if (const QString h = q.value(0).toString(); numero < 0 || h != huella) {
            huella = h;
            numero = numeros.value(huella, numeros.size());
            numeros.insert(huella, numero);
        }
        PaginaLeida p;
        p.origen = {q.value(2).toString(), q.value(1).toInt()};
        const QVariant estado = q.value(3);
        if (estado.isNull()) {
            QSqlQuery cual(bd);
            cual.prepare(v1 ? QStringLiteral("SELECT SUBSTR(estado, 1, 100) FROM lector_paginas "
                                             "WHERE fichero = ? AND pagina = ?")
                            : QStringLiteral("SELECT SUBSTR(estado, 1, 100) FROM lector_hojas "
                                             "WHERE fichero = ? AND pagina = ?"));
            cual.addBindValue(p.origen.fichero);
            cual.addBindValue(p.origen.pagina);
            const QString nombre =
                cual.exec() && cual.next() ? cual.value(0).toString() : QString();
            return Resultado::fallo(
                QStringLiteral("El registro «%1» tiene una página en un estado desconocido "
                               "(«%2»): %3.")
                    .arg(m_destino.descripcion, nombre, describirOrigen(p.origen)),
                Errores::ConversionTipo);
        }
        if (q.value(5).toInt() != 0) {
            sitio.insert(llave(numero, p.origen.pagina), -1);
            continue;
        }
        p.estado = kEstados[estado.toInt()].first;
        p.detalle = q.value(4).toString();
        if (p.estado == EstadoPagina::Ilegible || p.estado == EstadoPagina::Fallo)
            resultado.sinResolver.append({p.origen.fichero, p.origen.pagina, huella,
                                          p.estado == EstadoPagina::Ilegible
                                              ? QStringLiteral("código ilegible")
                                              : p.detalle});
        sitio.insert(llave(numero, p.origen.pagina), paginas.size());
        huellas.append(huella);
        paginas.append(std::move(p));
    }

    // Un código leído en una página que ya no está (un fichero que la versión 1 volvió a leer)
    // sigue leído en esa página, que va tras las demás.
    if (!q.exec(apariciones)) return fallo(q);
    while (q.next()) {
        const QString h = q.value(0).toString();
        const int pagina = q.value(1).toInt();
        if (h != huella) {
            huella = h;
            numero = numeros.value(huella, numeros.size());
            numeros.insert(huella, numero);
        }
        qsizetype i = sitio.value(llave(numero, pagina), -2);
        if (i == -1) continue;  // resuelta: ni se sustituye ni se descarta a medias
        if (i == -2) {
            PaginaLeida p;
            p.origen = {huella.startsWith(kSinHuella) ? huella.mid(kSinHuella.size()) : huella,
                        pagina};
            p.estado = EstadoPagina::ConCodigos;
            i = paginas.size();
            sitio.insert(llave(numero, pagina), i);
            huellas.append(huella);
            paginas.append(std::move(p));
        }
        if (q.value(2).isNull())
            return Resultado::fallo(
                QStringLiteral("El registro «%1» tiene un código demasiado largo para ser de una "
                               "solicitud: %2.")
                    .arg(m_destino.descripcion, describirOrigen(paginas[i].origen)),
                Errores::CampoDemasiadoLargo);
        paginas[i].codigos.append(bytesDeBase64(q.value(2).toString()));
    }

    // En una ruta donde se han leído ficheros distintos, cada uno lleva tras su nombre el
    // principio de su huella: sus páginas no se confunden.
    QHash<QString, QSet<QString>> deCadaRuta;
    for (qsizetype i = 0; i < paginas.size(); ++i)
        deCadaRuta[paginas[i].origen.fichero].insert(huellas[i]);
    QSet<QString> varias;
    for (auto it = deCadaRuta.cbegin(); it != deCadaRuta.cend(); ++it)
        if (it.value().size() > 1) varias.insert(it.key());
    if (!varias.isEmpty())
        for (qsizetype i = 0; i < paginas.size(); ++i)
            if (varias.contains(paginas[i].origen.fichero))
                paginas[i].origen.fichero +=
                    QStringLiteral(" (huella %1)").arg(huellaCorta(huellas[i]));
    // La orden que resuelve una hoja solo lleva la huella si en su ruta hay otra hoja con ese
    // número sin resolver.
    QHash<std::pair<QString, int>, int> mismaHoja;
    for (const HojaSinResolver& h : resultado.sinResolver) ++mismaHoja[{h.fichero, h.pagina}];
    for (HojaSinResolver& h : resultado.sinResolver)
        h.huella = mismaHoja.value({h.fichero, h.pagina}) > 1 ? huellaCorta(h.huella) : QString();
    return resultado;
}
