#include "lectura/SalidaLectura.h"

#include "lectura/CargaSolicitante.h"
#include "platform/FicheroAparte.h"

#include <QCryptographicHash>
#include <QDate>
#include <QDateTime>
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

// El momento de la impresión como AAAA-MM-DD HH:MM:SS: "07/12/2026" una hoja de cálculo lo toma
// por el 12 de julio.
QString momento(const SolicitudLeida& s) {
    const QDate d = QDate::fromString(s.fecha, QStringLiteral("dd/MM/yyyy"));
    return (d.isValid() ? d.toString(Qt::ISODate) : s.fecha) + QLatin1Char(' ') + s.hora;
}

QString entreComillas(const QString& v) {
    return QLatin1Char('"') + QString(v).replace(QStringLiteral("\""), QStringLiteral("\"\"")) +
           QLatin1Char('"');
}

// Una celda de texto leído. Lo que una hoja de cálculo tomaría por una fórmula lleva delante un
// apóstrofo: cualquiera puede imprimir un código con "=cmd|..." y mandarlo.
QString campoCsv(QString v) {
    static const QString kFormula = QStringLiteral("=+-@\t\r");
    if (!v.isEmpty() && kFormula.contains(v[0])) v.prepend(u'\'');
    if (!v.contains(u';') && !v.contains(u'"') && !v.contains(u'\n') && !v.contains(u'\r'))
        return v;
    return entreComillas(v);
}

// Una celda que debe quedar como texto aunque sean cifras ("00123" no es 123): la fórmula de un
// texto fijo, ="00123", con sus comillas dobladas; lo que lleve dentro nunca se calcula.
QString textoCsv(const QString& v) {
    return entreComillas(QStringLiteral("=") + entreComillas(v));
}

// Lo que cabe de la parte variable del nombre de un JSON; con los 16 del momento y el resumen
// queda muy por debajo de lo que admite cualquier sistema de ficheros.
constexpr int kLargoNombre = 60;

}  // namespace

QString cuantas(qsizetype n, const char* una, const char* varias) {
    return QStringLiteral("%1 %2").arg(n).arg(QString::fromUtf8(n == 1 ? una : varias));
}

QString nombreJson(const SolicitudLeida& s) {
    static const QRegularExpression kRaro(QStringLiteral("[^A-Za-z0-9-]"));
    const QString fecha = s.fecha.mid(6, 4) + s.fecha.mid(3, 2) + s.fecha.left(2);
    const QString hora = QString(s.hora).remove(u':');
    QString clave =
        QStringLiteral("%1_%2%3").arg(textoConAcentos(s.dni).replace(kRaro, QStringLiteral("_")),
                                      QString(s.cuerpo).replace(kRaro, QStringLiteral("_")),
                                      QString(s.grupo).replace(kRaro, QStringLiteral("_")));
    if (clave.size() > kLargoNombre) {
        // Dos claves largas que empiezan igual no se pisan: el resumen es el de la clave entera.
        const QByteArray resumen =
            QCryptographicHash::hash(s.clave.toUtf8(), QCryptographicHash::Sha1).toHex().left(8);
        clave = clave.left(kLargoNombre) + QLatin1Char('_') + QString::fromLatin1(resumen);
    }
    return QStringLiteral("%1_%2_%3.json").arg(clave, fecha, hora);
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
                                 textoCsv(p.codigo),
                                 textoCsv(s.cuerpo),
                                 campoCsv(s.grupo),
                                 campoCsv(momento(s)),
                                 s.completa() ? QStringLiteral("S") : QStringLiteral("N")}
                         .join(u';') +
                     QStringLiteral("\r\n");
    return t.toUtf8();
}

namespace {

// Crea la carpeta si no existe; el fallo dice por qué no se puede.
Resultado crearCarpeta(const QString& carpeta) {
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

}  // namespace

Resultado prepararCarpetaSalida(const QString& carpeta) {
    if (const Resultado r = crearCarpeta(carpeta); !r) return r;
    const QStringList resultados = QDir(carpeta).entryList(
        {QStringLiteral("*.json"), QString::fromLatin1(kNombreCsv)}, QDir::Files);
    if (resultados.isEmpty()) return Resultado::correcto();
    return Resultado::fallo(
        QStringLiteral("La carpeta de salida «%1» ya tiene los resultados de otra lectura (%2): "
                       "elija otra, o no dé --salida y se creará una nueva.")
            .arg(carpeta, resultados.first()),
        Errores::ErrorEntradaSalida);
}

ResultadoDe<QString> carpetaSalidaNueva(const QString& dentro) {
    const QDir base(dentro);
    const QString nombre = QStringLiteral("lectura-") +
                           QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    // mkdir no crea una que ya exista: dos lecturas a la vez no comparten carpeta.
    for (int i = 1; i < 1000; ++i) {
        const QString ruta =
            base.filePath(i == 1 ? nombre : QStringLiteral("%1-%2").arg(nombre).arg(i));
        if (base.mkdir(QFileInfo(ruta).fileName())) return ruta;
        if (!QFileInfo::exists(ruta)) {
            const Resultado r = crearCarpeta(ruta);  // dice por qué no
            if (!r) return r;
        }
    }
    return Resultado::fallo(
        QStringLiteral("No se puede crear una carpeta nueva para los resultados en «%1».")
            .arg(dentro),
        Errores::ErrorEntradaSalida);
}

ResultadoDe<QString> carpetaDeSalida(const QString& pedida) {
    if (pedida.isEmpty()) return carpetaSalidaNueva();
    if (const Resultado r = prepararCarpetaSalida(pedida); !r) return r;
    return pedida;
}

ResultadoDe<ResultadosEscritos> escribirResultados(const InformeLote& informe,
                                                   const QString& carpeta) {
    if (const Resultado r = crearCarpeta(carpeta); !r) return r;
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

    ResultadosEscritos r;
    for (const auto& [destino, bytes] : salidas) {
        if (const Resultado e = escribirReemplazando(destino, bytes); !e)
            r.fallos.append(e.mensaje());
        else
            r.escritos.append(destino);
    }
    return r;
}

QString paraTerminal(const QString& texto) {
    QString r;
    r.reserve(texto.size());
    // Lo que se deja tal cual se copia por tramos: el resumen del registro tiene miles de líneas.
    qsizetype desde = 0;
    for (qsizetype i = 0; i < texto.size(); ++i) {
        const QChar c = texto[i];
        const char16_t u = c.unicode();
        if (u >= 0x20 && u < 0x7F) continue;  // ASCII visible, sin formato
        QString escape;
        if (u == u'\n')
            escape = QStringLiteral("\\n");
        else if (u < 0x20 || (u >= 0x7F && u < 0xA0))
            escape =
                QStringLiteral("\\x") + QString::number(u, 16).toUpper().rightJustified(2, u'0');
        else if (c.category() == QChar::Other_Format)  // los que cambian el sentido del texto
            escape =
                QStringLiteral("\\u") + QString::number(u, 16).toUpper().rightJustified(4, u'0');
        else
            continue;
        r += QStringView(texto).sliced(desde, i - desde);
        r += escape;
        desde = i + 1;
    }
    r += QStringView(texto).sliced(desde);
    return r;
}

QString resumenLote(const InformeLote& informe) {
    const qsizetype completas =
        std::count_if(informe.solicitudes.begin(), informe.solicitudes.end(),
                      [](const SolicitudLeida& s) { return s.completa(); });
    QString t = QStringLiteral("%1: %2, %3")
                    .arg(cuantas(informe.paginas, "página leída", "páginas leídas"),
                         cuantas(informe.solicitudes.size(), "solicitud", "solicitudes"),
                         cuantas(completas, "completa", "completas"));
    if (informe.paginasSinCodigo > 0)
        t += QStringLiteral("; %1 sin código (cursos y documentos)")
                 .arg(cuantas(informe.paginasSinCodigo, "página", "páginas"));
    t += QStringLiteral(".\n");
    for (const SolicitudLeida& s : informe.solicitudes) {
        t += paraTerminal(QStringLiteral("%1 (cuerpo %2, grupo %3), impresa el %4 a las %5: %6, %7 "
                                         "Vacantes y %8 Resultas.")
                              .arg(textoConAcentos(s.dni), s.cuerpo, s.grupo, s.fecha, s.hora,
                                   s.completa() ? QStringLiteral("completa")
                                                : QStringLiteral("CON PROBLEMAS"))
                              .arg(s.vacantes.size())
                              .arg(s.resultas.size())) +
             QLatin1Char('\n');
        for (const QString& p : s.problemas) t += QStringLiteral("  - %1\n").arg(paraTerminal(p));
        if (!s.nota.isEmpty()) t += QStringLiteral("  · %1\n").arg(paraTerminal(s.nota));
    }
    if (!informe.problemas.isEmpty()) {
        t += QStringLiteral("Problemas del lote:\n");
        for (const QString& p : informe.problemas)
            t += QStringLiteral("  - %1\n").arg(paraTerminal(p));
    }
    // Cada hoja sin código, para que se pueda ver que no es una de plazas que no se ha leído.
    if (!informe.sinCodigo.isEmpty()) {
        t += QStringLiteral("Sin código (cursos y documentos):\n");
        for (const QString& p : informe.sinCodigo)
            t += QStringLiteral("  - %1\n").arg(paraTerminal(p));
    }
    for (const QString& a : informe.avisos)
        t += QStringLiteral("Aviso: %1.\n").arg(paraTerminal(a));
    return t;
}
