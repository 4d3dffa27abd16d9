#include "lectura/SalidaLectura.h"

#include "lectura/CargaSolicitante.h"
#include "platform/FicheroAparte.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSet>

namespace {

QJsonValue valorCampo(const CampoCarga& campo, const QString& v) {
    switch (campo.formato) {
        case FormatoCampo::Texto:
            return textoConAcentos(v);
        case FormatoCampo::SiNo:
            if (v == u"S" || v == u"N") return v == u"S";
            break;
        case FormatoCampo::Fecha:
            if (v == u"00000000") return QJsonValue::Null;
            if (const QDate d = QDate::fromString(v, QStringLiteral("yyyyMMdd")); d.isValid())
                return d.toString(Qt::ISODate);
            break;
        case FormatoCampo::ActivoOtras:
            if (v == u"A") return QStringLiteral("activo");
            if (v == u"O") return QStringLiteral("otras");
            break;
        case FormatoCampo::ServicioSalud:
            if (v.isEmpty()) return QJsonValue::Null;
            if (v == u"S") return QStringLiteral("NORSA");
            if (v == u"O") return QStringLiteral("otros");
            break;
        case FormatoCampo::Destino:
            if (v.isEmpty()) return QJsonValue::Null;
            if (v == u"D") return QStringLiteral("definitivo");
            if (v == u"P") return QStringLiteral("provisional");
            break;
    }
    return v;  // un valor sin la forma del campo se da tal cual (y figura en los problemas)
}

QJsonArray plazasJson(const QVector<PlazaLeida>& plazas) {
    QJsonArray a;
    for (const PlazaLeida& p : plazas)
        a.append(QJsonObject{{"orden", double(p.orden)}, {"codigo", p.codigo}});
    return a;
}

QString momento(const SolicitudLeida& s) {
    return s.fecha + QLatin1Char(' ') + s.hora;
}

QString campoCsv(const QString& v) {
    if (!v.contains(u';') && !v.contains(u'"') && !v.contains(u'\n') && !v.contains(u'\r'))
        return v;
    return QLatin1Char('"') + QString(v).replace(QStringLiteral("\""), QStringLiteral("\"\"")) +
           QLatin1Char('"');
}

}  // namespace

QString cuantas(qsizetype n, const char* una, const char* varias) {
    return QStringLiteral("%1 %2").arg(n).arg(QString::fromUtf8(n == 1 ? una : varias));
}

QString nombreJson(const SolicitudLeida& s) {
    static const QRegularExpression kRaro(QStringLiteral("[^A-Za-z0-9-]"));
    const QString fecha = s.fecha.mid(6, 4) + s.fecha.mid(3, 2) + s.fecha.left(2);
    const QString hora = QString(s.hora).remove(u':');
    return QStringLiteral("%1_%2%3_%4_%5.json")
        .arg(textoConAcentos(s.dni).replace(kRaro, QStringLiteral("_")),
             QString(s.cuerpo).replace(kRaro, QStringLiteral("_")),
             QString(s.grupo).replace(kRaro, QStringLiteral("_")), fecha, hora);
}

QByteArray jsonSolicitud(const SolicitudLeida& s) {
    QJsonObject o;
    o["dni"] = textoConAcentos(s.dni);
    o["cuerpo"] = s.cuerpo;
    o["grupo"] = s.grupo;
    o["fechaImpresion"] = s.fecha;
    o["horaImpresion"] = s.hora;
    o["completa"] = s.completa();
    o["problemas"] = QJsonArray::fromStringList(s.problemas);
    if (s.campos.isEmpty()) {
        o["solicitante"] = QJsonValue::Null;
    } else {
        QJsonObject datos;
        const QVector<CampoCarga>& campos = camposCarga();
        for (qsizetype i = 0; i < campos.size() && i < s.campos.size(); ++i)
            datos[campos[i].clave] = valorCampo(campos[i], s.campos[i]);
        o["solicitante"] = datos;
    }
    o["vacantes"] = plazasJson(s.vacantes);
    o["resultas"] = plazasJson(s.resultas);
    QJsonArray paginas;
    for (const PaginaSolicitud& p : s.paginas)
        paginas.append(QJsonObject{{"numero", p.codigo.pagina},
                                   {"tipo", nombreTipo(p.codigo.tipo)},
                                   {"fichero", p.origen.fichero},
                                   {"paginaFichero", p.origen.pagina},
                                   {"texto", p.codigo.bruto}});
    o["paginas"] = paginas;
    return QJsonDocument(o).toJson(QJsonDocument::Indented);
}

QByteArray csvPlazas(const QVector<SolicitudLeida>& solicitudes) {
    QString t = QStringLiteral("DNI;Lista;Orden;Codigo;Cuerpo;Grupo;Impresion;Completa\r\n");
    for (const SolicitudLeida& s : solicitudes)
        for (const auto& [lista, plazas] : {std::pair{TipoPagina::Vacantes, &s.vacantes},
                                            std::pair{TipoPagina::Resultas, &s.resultas}})
            for (const PlazaLeida& p : *plazas)
                t += QStringList{campoCsv(textoConAcentos(s.dni)),
                                 nombreTipo(lista),
                                 QString::number(p.orden),
                                 campoCsv(p.codigo),
                                 campoCsv(s.cuerpo),
                                 campoCsv(s.grupo),
                                 momento(s),
                                 s.completa() ? QStringLiteral("S") : QStringLiteral("N")}
                         .join(u';') +
                     QStringLiteral("\r\n");
    return t.toUtf8();
}

Resultado prepararCarpetaSalida(const QString& carpeta) {
    if (QDir().mkpath(carpeta) && QFileInfo(carpeta).isWritable()) return Resultado::correcto();
    // La causa está en lo primero que ya existe del camino.
    QFileInfo existe(QDir::cleanPath(QDir(carpeta).absolutePath()));
    while (!existe.exists() && !existe.isRoot()) existe = QFileInfo(existe.absolutePath());
    const QString causa =
        !existe.isDir()
            ? QStringLiteral("«%1» es un fichero, no una carpeta").arg(existe.filePath())
        : !existe.isWritable()
            ? QStringLiteral("no hay permiso para escribir en «%1»").arg(existe.filePath())
            : QStringLiteral("el sistema no deja crearla");
    return Resultado::fallo(
        QStringLiteral("No se puede crear la carpeta de salida «%1»: %2.").arg(carpeta, causa),
        Errores::ErrorEntradaSalida);
}

ResultadoDe<QStringList> escribirResultados(const InformeLote& informe, const QString& carpeta) {
    if (const Resultado r = prepararCarpetaSalida(carpeta); !r) return r;
    const QDir dir(carpeta);
    QVector<std::pair<QString, QByteArray>> salidas;
    QSet<QString> nombres;
    for (const SolicitudLeida& s : informe.solicitudes) {
        QString nombre = nombreJson(s);
        // Dos claves que se limpian igual no se pisan.
        for (int i = 2; nombres.contains(nombre); ++i)
            nombre =
                nombreJson(s).replace(QStringLiteral(".json"), QStringLiteral("-%1.json").arg(i));
        nombres.insert(nombre);
        salidas.append({dir.filePath(nombre), jsonSolicitud(s)});
    }
    salidas.append({dir.filePath(QString::fromLatin1(kNombreCsv)), csvPlazas(informe.solicitudes)});

    QStringList apartes;
    for (const auto& [destino, bytes] : salidas) {
        const auto aparte = escribirAparte(destino, bytes);
        if (!aparte) {
            for (const QString& a : apartes) QFile::remove(a);
            return aparte.estado();
        }
        apartes.append(aparte.valor());
    }
    QStringList escritos;
    for (qsizetype i = 0; i < salidas.size(); ++i) {
        if (const Resultado r = ponerEnSuSitio(apartes[i], salidas[i].first); !r) {
            for (qsizetype j = i + 1; j < apartes.size(); ++j) QFile::remove(apartes[j]);
            return r;
        }
        escritos.append(salidas[i].first);
    }
    return escritos;
}

QString resumenLote(const InformeLote& informe) {
    const qsizetype completas =
        std::count_if(informe.solicitudes.begin(), informe.solicitudes.end(),
                      [](const SolicitudLeida& s) { return s.completa(); });
    QString t = QStringLiteral("%1 leídas: %2, %3")
                    .arg(cuantas(informe.paginas, "página", "páginas"),
                         cuantas(informe.solicitudes.size(), "solicitud", "solicitudes"),
                         cuantas(completas, "completa", "completas"));
    if (informe.paginasSinCodigo > 0)
        t += QStringLiteral("; %1 sin código (cursos y documentos)")
                 .arg(cuantas(informe.paginasSinCodigo, "página", "páginas"));
    t += QStringLiteral(".\n");
    for (const SolicitudLeida& s : informe.solicitudes) {
        t += QStringLiteral(
                 "%1 (cuerpo %2, grupo %3), impresa el %4 a las %5: %6, %7 Vacantes y "
                 "%8 Resultas.\n")
                 .arg(textoConAcentos(s.dni), s.cuerpo, s.grupo, s.fecha, s.hora,
                      s.completa() ? QStringLiteral("completa") : QStringLiteral("CON PROBLEMAS"))
                 .arg(s.vacantes.size())
                 .arg(s.resultas.size());
        for (const QString& p : s.problemas) t += QStringLiteral("  - %1\n").arg(p);
        if (!s.nota.isEmpty()) t += QStringLiteral("  · %1\n").arg(s.nota);
    }
    if (!informe.problemas.isEmpty()) {
        t += QStringLiteral("Problemas del lote:\n");
        for (const QString& p : informe.problemas) t += QStringLiteral("  - %1\n").arg(p);
    }
    for (const QString& a : informe.avisos) t += QStringLiteral("Aviso: %1.\n").arg(a);
    return t;
}
