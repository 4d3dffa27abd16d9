#include "registro/Registro.h"

#include "platform/Codificacion.h"
#include "registro/SqlRegistro.h"

#include <sys/stat.h>
#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMap>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <optional>

using namespace RegistroSql;

namespace {

struct FilaCodigo {
    QString huella, codigo, texto, fichero;
    int pagina = 0;
};

}  // namespace

Registro::Registro(QString conexion, DestinoRegistro destino)
    : m_conexion(std::move(conexion)), m_destino(std::move(destino)) {}

Registro::~Registro() {
    {
        QSqlDatabase bd = QSqlDatabase::database(m_conexion, false);
        bd.close();
    }
    QSqlDatabase::removeDatabase(m_conexion);
}

QString huellaFichero(const QString& ruta) {
    // Solo un fichero corriente: una tubería se quedaría esperando a que alguien escribiera.
    struct stat s {};
    if (::stat(QFile::encodeName(ruta).constData(), &s) != 0 || !S_ISREG(s.st_mode)) return {};
    QFile f(ruta);
    if (!f.open(QIODevice::ReadOnly)) return {};
    QCryptographicHash h(QCryptographicHash::Sha256);
    if (!h.addData(&f) || f.error() != QFileDevice::NoError) return {};
    return QString::fromLatin1(h.result().toHex());
}

ResultadoDe<std::unique_ptr<Registro>> Registro::abrir(const QString& texto, Apertura apertura) {
    const auto destino = interpretarDestinoRegistro(texto);
    if (!destino) return destino.estado();
    const DestinoRegistro& d = destino.valor();
    const bool soloLectura = apertura == Apertura::SoloLectura;
    if (!QSqlDatabase::isDriverAvailable(d.controlador))
        return Resultado::fallo(
            QStringLiteral("Falta el controlador de Qt para %1 (paquete %2).")
                .arg(d.esPostgresql() ? QStringLiteral("PostgreSQL") : QStringLiteral("SQLite"),
                     d.esPostgresql() ? QStringLiteral("libqt6sql6-psql")
                                      : QStringLiteral("libqt6sql6-sqlite")),
            Errores::FicheroNoEncontrado);
    if (!d.esPostgresql() && soloLectura && !QFileInfo::exists(d.base))
        return Resultado::fallo(QStringLiteral("No existe el registro «%1».").arg(d.descripcion),
                                Errores::FicheroNoEncontrado);

    std::unique_ptr<Registro> r(new Registro(nuevaConexion(), d));
    QSqlDatabase bd = QSqlDatabase::addDatabase(d.controlador, r->m_conexion);
    bd.setDatabaseName(d.base);
    if (d.esPostgresql()) {
        bd.setHostName(d.servidor);
        bd.setUserName(d.usuario);
        bd.setPassword(d.clave);
        if (d.puerto > 0) bd.setPort(d.puerto);
        bd.setConnectOptions(d.opciones);
    } else {
        bd.setConnectOptions(
            QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1%2")
                .arg(kEsperaSqliteMs)
                .arg(soloLectura ? QStringLiteral(";QSQLITE_OPEN_READONLY") : QString()));
    }
    auto noSeAbre = [&d](const QSqlError& e) {
        return Resultado::fallo(
            QStringLiteral("No se puede abrir el registro «%1»: %2.").arg(d.descripcion, causa(e)),
            Errores::ErrorEntradaSalida);
    };
    if (!bd.open()) return noSeAbre(bd.lastError());
    if (d.esPostgresql()) {
        // Los avisos del servidor («relation … already exists» cuando dos puestos crean las
        // tablas a la vez) no son para el operador; quien solo consulta no escribe nada.
        QSqlQuery q(bd);
        if (!q.exec(QStringLiteral("SET client_min_messages TO warning")) ||
            (soloLectura && !q.exec(QStringLiteral("SET default_transaction_read_only TO on"))))
            return noSeAbre(q.lastError());
    }
    auto noEsRegistro = [&d] {
        return Resultado::fallo(
            QStringLiteral("«%1» no es un registro de movilant-lector: no tiene sus tablas.")
                .arg(d.descripcion),
            Errores::ArgumentoIncorrecto);
    };

    // Las tablas se crean solo si faltan, y solo en una base vacía: otra base SQLite dada por
    // error no se toca.
    const QStringList tablas = bd.tables();
    if (!tablas.contains(QStringLiteral("lector_version"))) {
        if (soloLectura || (!d.esPostgresql() && !tablas.isEmpty())) return noEsRegistro();
        const Resultado esquema = enTransaccion(bd, d, [&bd]() -> std::optional<FalloSql> {
            for (const char* sql : kEsquema)
                if (auto f = ejecutar(bd, sql)) return f;
            return std::nullopt;
        });
        if (!esquema) return esquema;
    }
    QSqlQuery q(bd);
    if (!q.exec(QStringLiteral("SELECT version FROM lector_version ORDER BY version")))
        return Resultado::fallo(QStringLiteral("No se puede leer el registro «%1»: %2.")
                                    .arg(d.descripcion, causa(q.lastError())),
                                Errores::ErrorEntradaSalida);
    while (q.next()) {
        const int v = q.value(0).toInt();
        if (v != 1 && v != kVersionEsquema)
            return Resultado::fallo(
                QStringLiteral("El registro «%1» es de otra versión (%2) de movilant-lector.")
                    .arg(d.descripcion)
                    .arg(v),
                Errores::ArgumentoIncorrecto);
        r->m_version = v;
    }
    if (r->m_version == 0) return noEsRegistro();
    q.finish();
    if (r->m_version == 1 && !soloLectura) {
        const Resultado paso = enTransaccion(bd, d, [&bd]() -> std::optional<FalloSql> {
            QSqlQuery cambio(bd);
            cambio.prepare(
                QStringLiteral("UPDATE lector_version SET version = 2 WHERE version = 1"));
            if (auto f = ejecutar(cambio, QStringLiteral("pasar el registro a la versión 2")))
                return f;
            if (cambio.numRowsAffected() == 0) return std::nullopt;  // ya lo hizo otro puesto
            for (const char* sql : kDeLaVersion1)
                if (auto f = ejecutar(bd, sql)) return f;
            return std::nullopt;
        });
        if (!paso) return paso;
        r->m_version = kVersionEsquema;
    }
    const QStringList ahora = bd.tables();
    const QStringList necesarias =
        r->m_version == 1
            ? QStringList{QStringLiteral("lector_paginas"), QStringLiteral("lector_codigos")}
            : QStringList{QStringLiteral("lector_hojas"), QStringLiteral("lector_codigos"),
                          QStringLiteral("lector_apariciones"),
                          QStringLiteral("lector_resoluciones")};
    for (const QString& t : necesarias)
        if (!ahora.contains(t)) return noEsRegistro();
    if (soloLectura) return r;

    // Se prueba a escribir en cada tabla antes de leer el lote, y se deshace: un registro en el
    // que no se puede escribir se sabe antes de leer nada.
    std::optional<FalloSql> prueba;
    if (!bd.transaction()) {
        prueba = FalloSql{bd.lastError(), QStringLiteral("empezar la transacción")};
    } else {
        for (const char* sql : kPruebaEscritura)
            if ((prueba = ejecutar(bd, sql))) break;
        bd.rollback();
    }
    if (prueba)
        return Resultado::fallo(QStringLiteral("No se puede escribir en el registro «%1»: %2.")
                                    .arg(d.descripcion, causa(prueba->error)),
                                Errores::ErrorEntradaSalida);
    return r;
}

ResultadoDe<AnotacionRegistro> Registro::anotar(const QVector<PaginaLeida>& paginas,
                                                const QHash<QString, QString>& huellas,
                                                const QDateTime& momento,
                                                const std::function<void(int, int)>& avance) {
    const QString cuando = momento.toString(Qt::ISODateWithMs);
    auto huellaDe = [&huellas](const QString& fichero) {
        const QString h = huellas.value(fichero);
        return h.isEmpty() ? kSinHuella + fichero : h;
    };
    QMap<QString, FilaCodigo> codigos;  // por huella: en ese orden se bloquean, sin cruzarse
    struct Aparicion {
        QString fichero;
        int pagina;
        QString codigo;
    };
    QVector<Aparicion> apariciones;
    QVector<QString> deCadaPagina;  // la huella del fichero de cada página
    deCadaPagina.reserve(paginas.size());
    for (const PaginaLeida& p : paginas) {
        if (deCadaPagina.isEmpty() ||
            paginas[deCadaPagina.size() - 1].origen.fichero != p.origen.fichero)
            deCadaPagina.append(huellaDe(p.origen.fichero));
        else
            deCadaPagina.append(deCadaPagina.last());
        for (const QByteArray& bytes : p.codigos) {
            const QString huella = QString::fromLatin1(
                QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
            apariciones.append({deCadaPagina.last(), p.origen.pagina, huella});
            if (codigos.contains(huella)) continue;
            codigos.insert(huella,
                           {huella, QString::fromLatin1(bytes.toBase64()),
                            Codificacion::desdeWindows1252(bytes).replace(QChar(0), QChar(0xfffd)),
                            p.origen.fichero, p.origen.pagina});
        }
    }
    const int total = int(paginas.size() + codigos.size() + apariciones.size());

    QSqlDatabase bd = QSqlDatabase::database(m_conexion);
    AnotacionRegistro anotacion;
    const Resultado r = enTransaccion(bd, m_destino, [&]() -> std::optional<FalloSql> {
        anotacion = {};
        int hechas = 0;
        auto avanzar = [&] {
            if (avance) avance(++hechas, total);
        };
        // Lo ya anotado de un fichero con los mismos bytes se queda como está.
        QSqlQuery pagina(bd);
        pagina.prepare(QStringLiteral(
            "INSERT INTO lector_hojas (fichero_huella, pagina, fichero, estado, detalle, lectura) "
            "VALUES (?, ?, ?, ?, ?, ?) ON CONFLICT DO NOTHING"));
        for (qsizetype i = 0; i < paginas.size(); ++i) {
            const PaginaLeida& p = paginas[i];
            pagina.bindValue(0, deCadaPagina[i]);
            pagina.bindValue(1, p.origen.pagina);
            pagina.bindValue(2, p.origen.fichero);
            pagina.bindValue(3, nombreEstado(p.estado));
            pagina.bindValue(4, p.detalle.isNull() ? QStringLiteral("") : p.detalle);
            pagina.bindValue(5, cuando);
            if (auto e = ejecutar(pagina, QStringLiteral("anotar una página"))) return e;
            avanzar();
        }
        QSqlQuery codigo(bd);
        codigo.prepare(QStringLiteral(
            "INSERT INTO lector_codigos (huella, codigo, texto, fichero, pagina, lectura) "
            "VALUES (?, ?, ?, ?, ?, ?) ON CONFLICT (huella) DO NOTHING"));
        for (const FilaCodigo& c : codigos) {
            codigo.bindValue(0, c.huella);
            codigo.bindValue(1, c.codigo);
            codigo.bindValue(2, c.texto);
            codigo.bindValue(3, c.fichero);
            codigo.bindValue(4, c.pagina);
            codigo.bindValue(5, cuando);
            if (auto e = ejecutar(codigo, QStringLiteral("anotar un código"))) return e;
            (codigo.numRowsAffected() > 0 ? anotacion.codigosNuevos : anotacion.codigosYaEstaban)++;
            avanzar();
        }
        QSqlQuery donde(bd);
        donde.prepare(
            QStringLiteral("INSERT INTO lector_apariciones (fichero_huella, pagina, codigo_huella) "
                           "VALUES (?, ?, ?) ON CONFLICT DO NOTHING"));
        for (const Aparicion& a : apariciones) {
            donde.bindValue(0, a.fichero);
            donde.bindValue(1, a.pagina);
            donde.bindValue(2, a.codigo);
            if (auto e = ejecutar(donde, QStringLiteral("anotar dónde se leyó un código")))
                return e;
            avanzar();
        }
        return std::nullopt;
    });
    if (!r) return r;
    return anotacion;
}

ResultadoDe<QString> Registro::resolver(const QString& fichero, int pagina, const QString& huella,
                                        const QString& por, const QDateTime& momento,
                                        const QString& puesto) {
    QSqlDatabase bd = QSqlDatabase::database(m_conexion);
    const QString hoja = describirOrigen({fichero, pagina});
    QString rechazo, hecho;
    const Resultado r = enTransaccion(bd, m_destino, [&]() -> std::optional<FalloSql> {
        rechazo.clear();
        QSqlQuery q(bd);
        q.prepare(QStringLiteral(
            "SELECT h.fichero_huella, CASE WHEN r.pagina IS NULL THEN 0 ELSE 1 END, "
            "CASE WHEN h.estado IN ('ilegible', 'fallo') THEN 1 ELSE 0 END "
            "FROM lector_hojas h LEFT JOIN lector_resoluciones r "
            "ON r.fichero_huella = h.fichero_huella AND r.pagina = h.pagina "
            "WHERE h.fichero = ? AND h.pagina = ? ORDER BY h.lectura, h.fichero_huella"));
        q.addBindValue(fichero);
        q.addBindValue(pagina);
        if (auto e = ejecutar(q, QStringLiteral("buscar la hoja"))) return e;
        // Entre las hojas sin resolver de esa ruta y ese número, las que no se han leído: una
        // hoja leída que se resuelve es una copia que se descarta, y se elige con --huella.
        QStringList candidatas, sinLeer;
        bool yaResuelta = false;
        while (q.next()) {
            const QString h = q.value(0).toString();
            if (!huella.isEmpty() && !h.startsWith(huella)) continue;
            if (q.value(1).toInt() != 0)
                yaResuelta = true;
            else
                (q.value(2).toInt() != 0 ? sinLeer : candidatas).append(h);
        }
        if (!sinLeer.isEmpty()) candidatas = sinLeer;
        if (candidatas.isEmpty()) {
            rechazo =
                yaResuelta
                    ? QStringLiteral("La hoja del %1 ya está resuelta en el registro.").arg(hoja)
                    : QStringLiteral("En el registro no hay ninguna hoja del %1%2.")
                          .arg(hoja, huella.isEmpty()
                                         ? QString()
                                         : QStringLiteral(" con la huella %1").arg(huella));
            return std::nullopt;
        }
        if (candidatas.size() > 1) {
            QStringList cortas;
            for (const QString& c : candidatas) cortas.append(huellaCorta(c));
            rechazo = QStringLiteral(
                          "En el %1 se han leído varios ficheros con esa hoja sin "
                          "resolver: diga cuál con --huella (%2).")
                          .arg(hoja, cortas.join(QStringLiteral(", ")));
            return std::nullopt;
        }
        QString porHuella;
        if (!por.isEmpty()) {
            // El que la sustituye es el último fichero leído en esa ruta que no es el de la
            // hoja (se escanea de nuevo con el mismo nombre).
            q.prepare(
                QStringLiteral("SELECT fichero_huella, MAX(lectura) FROM lector_hojas "
                               "WHERE fichero = ? GROUP BY fichero_huella "
                               "ORDER BY MAX(lectura) DESC, fichero_huella"));
            q.addBindValue(por);
            if (auto e = ejecutar(q, QStringLiteral("buscar el fichero nuevo"))) return e;
            bool esta = false;
            while (porHuella.isEmpty() && q.next()) {
                esta = true;
                if (q.value(0).toString() != candidatas.first()) porHuella = q.value(0).toString();
            }
            if (!esta) {
                rechazo = QStringLiteral(
                              "El fichero %1 no está en el registro: léalo antes con "
                              "--registro.")
                              .arg(por);
                return std::nullopt;
            }
            if (porHuella.isEmpty()) {
                rechazo = QStringLiteral(
                              "La hoja del %1 no se puede sustituir por su propio "
                              "fichero: escanéela de nuevo y lea el escaneo nuevo.")
                              .arg(hoja);
                return std::nullopt;
            }
        }
        QSqlQuery anotar(bd);
        anotar.prepare(QStringLiteral(
            "INSERT INTO lector_resoluciones (fichero_huella, pagina, por, por_huella, momento, "
            "puesto) VALUES (?, ?, ?, ?, ?, ?)"));
        anotar.addBindValue(candidatas.first());
        anotar.addBindValue(pagina);
        anotar.addBindValue(por.isEmpty() ? QStringLiteral("") : por);
        anotar.addBindValue(porHuella.isEmpty() ? QStringLiteral("") : porHuella);
        anotar.addBindValue(momento.toString(Qt::ISODateWithMs));
        anotar.addBindValue(puesto.isEmpty() ? QStringLiteral("") : puesto);
        if (auto e = ejecutar(anotar, QStringLiteral("anotar la hoja resuelta"))) return e;
        hecho = QStringLiteral(
                    "Resuelta en el registro %1 la hoja del %2: %3 (el %4 a las %5, "
                    "en el puesto %6).\n")
                    .arg(m_destino.descripcion, hoja,
                         por.isEmpty() ? QStringLiteral("descartada")
                                       : QStringLiteral("la sustituye %1").arg(por),
                         momento.toString(QStringLiteral("dd/MM/yyyy")),
                         momento.toString(QStringLiteral("HH:mm:ss")), puesto);
        return std::nullopt;
    });
    if (!r) return r;
    if (!rechazo.isEmpty()) return Resultado::fallo(rechazo, Errores::ArgumentoIncorrecto);
    return hecho;
}
