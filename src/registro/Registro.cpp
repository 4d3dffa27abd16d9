#include "registro/Registro.h"

#include "platform/Codificacion.h"

#include <QCryptographicHash>
#include <QFileInfo>
#include <QHash>
#include <QMap>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>
#include <QVariant>
#include <algorithm>
#include <array>
#include <atomic>
#include <optional>

namespace {

constexpr int kVersionEsquema = 1;
// Dos puestos que escriben a la vez pueden chocar (bloqueo mutuo, clave repetida al crear las
// tablas, base ocupada): la transacción se repite entera unas cuantas veces antes de rendirse.
constexpr int kIntentos = 12;
constexpr int kEsperaSqliteMs = 10000;

// El mismo SQL para SQLite y PostgreSQL: solo tipos, claves e "ON CONFLICT" que entienden los dos.
const char* const kEsquema[] = {
    "CREATE TABLE IF NOT EXISTS lector_version (version INTEGER PRIMARY KEY)",
    "CREATE TABLE IF NOT EXISTS lector_paginas ("
    " fichero TEXT NOT NULL, pagina INTEGER NOT NULL, estado TEXT NOT NULL,"
    " detalle TEXT NOT NULL, lectura TEXT NOT NULL, PRIMARY KEY (fichero, pagina))",
    // `codigo` son los bytes leídos en base64 (un código puede llevar cualquier byte, también el
    // 0, que un texto de PostgreSQL no admite); `texto`, lo mismo legible para consultas a mano.
    "CREATE TABLE IF NOT EXISTS lector_codigos ("
    " huella TEXT PRIMARY KEY, codigo TEXT NOT NULL, texto TEXT NOT NULL,"
    " fichero TEXT NOT NULL, pagina INTEGER NOT NULL, lectura TEXT NOT NULL)",
    "INSERT INTO lector_version (version) VALUES (1) ON CONFLICT DO NOTHING",
};

const std::pair<EstadoPagina, const char*> kEstados[] = {
    {EstadoPagina::ConCodigos, "con-codigos"},
    {EstadoPagina::SinCodigo, "sin-codigo"},
    {EstadoPagina::EnBlanco, "en-blanco"},
    {EstadoPagina::Ilegible, "ilegible"},
    {EstadoPagina::Fallo, "fallo"},
};

QString nombreEstado(EstadoPagina e) {
    for (const auto& [estado, nombre] : kEstados)
        if (estado == e) return QString::fromLatin1(nombre);
    return {};
}

// El estado de una página, leído como su puesto en kEstados: "CASE estado WHEN 'con-codigos'
// THEN 0 ... END", nulo si no es ninguno. Así cada fila no trae un texto que convertir.
QString estadoComoNumero() {
    QString r = QStringLiteral("CASE estado");
    for (size_t i = 0; i < std::size(kEstados); ++i)
        r += QStringLiteral(" WHEN '%1' THEN %2").arg(QLatin1String(kEstados[i].second)).arg(i);
    return r + QStringLiteral(" END");
}

struct FalloSql {
    QSqlError error;
    QString que;
};

// Choques que se resuelven repitiendo: en PostgreSQL serialización, bloqueo mutuo, clave única
// (dos que crean las tablas a la vez) y tabla ya creada; en SQLite la base ocupada o bloqueada.
bool reintentable(const QSqlError& e, bool postgresql) {
    const QString c = e.nativeErrorCode();
    if (postgresql)
        return c == u"40001" || c == u"40P01" || c == u"23505" || c == u"42P07" || c == u"42710";
    const int n = c.toInt();
    return n % 256 == 5 || n % 256 == 6;
}

std::optional<FalloSql> ejecutar(QSqlQuery& q, const QString& que) {
    if (q.exec()) return std::nullopt;
    return FalloSql{q.lastError(), que};
}

std::optional<FalloSql> ejecutar(QSqlDatabase& bd, const char* sql) {
    QSqlQuery q(bd);
    if (q.exec(QString::fromLatin1(sql))) return std::nullopt;
    return FalloSql{q.lastError(), QString::fromLatin1(sql).section(u'(', 0, 0).trimmed()};
}

QString causa(const QSqlError& e) {
    QString t = e.text().trimmed();
    if (t.isEmpty()) t = QStringLiteral("error %1").arg(e.nativeErrorCode());
    return t;
}

// Hace `trabajo` dentro de una transacción y la confirma; si choca con otro puesto, la deshace,
// espera un poco (más cada vez, con algo de azar para no volver a chocar) y lo intenta de nuevo.
template <typename F>
Resultado enTransaccion(QSqlDatabase& bd, const DestinoRegistro& destino, F trabajo) {
    FalloSql ultimo;
    for (int intento = 0; intento < kIntentos; ++intento) {
        std::optional<FalloSql> fallo;
        if (!bd.transaction())
            fallo = FalloSql{bd.lastError(), QStringLiteral("empezar la transacción")};
        else if (fallo = trabajo(); !fallo && !bd.commit())
            fallo = FalloSql{bd.lastError(), QStringLiteral("confirmar la transacción")};
        if (!fallo) return Resultado::correcto();
        bd.rollback();
        ultimo = *fallo;
        if (!reintentable(fallo->error, destino.esPostgresql())) break;
        QThread::msleep(20u * unsigned(intento + 1) + QRandomGenerator::global()->bounded(30u));
    }
    return Resultado::fallo(QStringLiteral("No se puede escribir en el registro «%1» (%2): %3.")
                                .arg(destino.descripcion, ultimo.que, causa(ultimo.error)),
                            Errores::ErrorEntradaSalida);
}

QString nuevaConexion() {
    static std::atomic<int> siguiente{0};
    return QStringLiteral("registro-lector-%1").arg(siguiente++);
}

// Los bytes de un código guardado: su base64 tal como lo escribe anotar (alfabeto normal, con
// su relleno) se descodifica aquí de una vez, sin pasar antes el texto a Latin-1; cualquier otro
// texto, con Qt, que da lo mismo en esos y decide qué hacer con lo demás. Se llama con cada
// código del registro.
QByteArray bytesDeBase64(const QString& texto) {
    // Valor de cada carácter ASCII del alfabeto; 0xFF, uno que no es de él.
    static constexpr auto kValor = [] {
        std::array<quint8, 128> v{};
        v.fill(0xFF);
        const char* const alfabeto =
            "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
        for (int i = 0; i < 64; ++i) v[static_cast<unsigned char>(alfabeto[i])] = quint8(i);
        return v;
    }();
    auto valor = [](char16_t c) -> quint32 { return kValor[c & 0x7F] | (c < 128 ? 0 : 0xFF); };
    const qsizetype n = texto.size();
    if (n == 0 || n % 4 != 0) return QByteArray::fromBase64(texto.toLatin1());
    const char16_t* t = reinterpret_cast<const char16_t*>(texto.constData());
    const qsizetype relleno = t[n - 1] != u'=' ? 0 : t[n - 2] != u'=' ? 1 : 2;
    QByteArray r(n / 4 * 3 - relleno, Qt::Uninitialized);
    char* destino = r.data();
    // Cuatro caracteres dan tres bytes. Un carácter de fuera del alfabeto deja su marca en
    // `fuera`, que se mira al final; el último grupo, que puede llevar el relleno, va aparte.
    quint32 fuera = 0;
    const char16_t* const ultimo = t + n - 4;
    for (; t < ultimo; t += 4, destino += 3) {
        const quint32 v0 = valor(t[0]), v1 = valor(t[1]), v2 = valor(t[2]), v3 = valor(t[3]);
        fuera |= v0 | v1 | v2 | v3;
        const quint32 grupo = v0 << 18 | v1 << 12 | v2 << 6 | v3;
        destino[0] = char(grupo >> 16);
        destino[1] = char(grupo >> 8);
        destino[2] = char(grupo);
    }
    quint32 v[4] = {valor(t[0]), valor(t[1]), valor(t[2]), valor(t[3])};
    for (qsizetype k = 4 - relleno; k < 4; ++k) v[k] = 0;
    if ((fuera | v[0] | v[1] | v[2] | v[3]) > 63) return QByteArray::fromBase64(texto.toLatin1());
    const quint32 grupo = v[0] << 18 | v[1] << 12 | v[2] << 6 | v[3];
    const char tres[3] = {char(grupo >> 16), char(grupo >> 8), char(grupo)};
    for (qsizetype k = 0; k < 3 - relleno; ++k) *destino++ = tres[k];
    return r;
}

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

ResultadoDe<std::unique_ptr<Registro>> Registro::abrir(const QString& texto, Apertura apertura) {
    const auto destino = interpretarDestinoRegistro(texto);
    if (!destino) return destino.estado();
    const DestinoRegistro& d = destino.valor();
    if (!QSqlDatabase::isDriverAvailable(d.controlador))
        return Resultado::fallo(
            QStringLiteral("Falta el controlador de Qt para %1 (paquete %2).")
                .arg(d.esPostgresql() ? QStringLiteral("PostgreSQL") : QStringLiteral("SQLite"),
                     d.esPostgresql() ? QStringLiteral("libqt6sql6-psql")
                                      : QStringLiteral("libqt6sql6-sqlite")),
            Errores::FicheroNoEncontrado);
    if (!d.esPostgresql() && apertura == Apertura::SoloSiExiste && !QFileInfo::exists(d.base))
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
        bd.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(kEsperaSqliteMs));
    }
    if (!bd.open())
        return Resultado::fallo(QStringLiteral("No se puede abrir el registro «%1»: %2.")
                                    .arg(d.descripcion, causa(bd.lastError())),
                                Errores::ErrorEntradaSalida);

    // Las tablas se crean solo si faltan: quien solo consulta puede no tener permiso de escritura.
    if (!bd.tables().contains(QStringLiteral("lector_version"))) {
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
    while (q.next())
        if (const int v = q.value(0).toInt(); v != kVersionEsquema)
            return Resultado::fallo(
                QStringLiteral("El registro «%1» es de otra versión (%2) de movilant-lector.")
                    .arg(d.descripcion)
                    .arg(v),
                Errores::ArgumentoIncorrecto);
    return r;
}

ResultadoDe<AnotacionRegistro> Registro::anotar(const QVector<PaginaLeida>& paginas,
                                                const QDateTime& momento,
                                                const std::function<void(int, int)>& avance) {
    const QString cuando = momento.toString(Qt::ISODateWithMs);
    QMap<QString, FilaCodigo> codigos;  // por huella: en ese orden se bloquean, sin cruzarse
    QStringList ficheros;
    for (const PaginaLeida& p : paginas) {
        if (ficheros.isEmpty() || ficheros.last() != p.origen.fichero)
            ficheros.append(p.origen.fichero);
        for (const QByteArray& bytes : p.codigos) {
            const QString huella = QString::fromLatin1(
                QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
            if (codigos.contains(huella)) continue;
            codigos.insert(huella,
                           {huella, QString::fromLatin1(bytes.toBase64()),
                            Codificacion::desdeWindows1252(bytes).replace(QChar(0), QChar(0xfffd)),
                            p.origen.fichero, p.origen.pagina});
        }
    }
    ficheros.sort();
    ficheros.removeDuplicates();
    const int total = int(ficheros.size() + paginas.size() + codigos.size());

    QSqlDatabase bd = QSqlDatabase::database(m_conexion);
    AnotacionRegistro anotacion;
    const Resultado r = enTransaccion(bd, m_destino, [&]() -> std::optional<FalloSql> {
        anotacion = {};
        int hechas = 0;
        auto avanzar = [&] {
            if (avance) avance(++hechas, total);
        };
        QSqlQuery borrar(bd);
        borrar.prepare(QStringLiteral("DELETE FROM lector_paginas WHERE fichero = ?"));
        for (const QString& f : ficheros) {
            borrar.bindValue(0, f);
            if (auto e = ejecutar(borrar, QStringLiteral("borrar las páginas de un fichero")))
                return e;
            avanzar();
        }
        QSqlQuery pagina(bd);
        pagina.prepare(
            QStringLiteral("INSERT INTO lector_paginas (fichero, pagina, estado, detalle, lectura) "
                           "VALUES (?, ?, ?, ?, ?) ON CONFLICT DO NOTHING"));
        for (const PaginaLeida& p : paginas) {
            pagina.bindValue(0, p.origen.fichero);
            pagina.bindValue(1, p.origen.pagina);
            pagina.bindValue(2, nombreEstado(p.estado));
            pagina.bindValue(3, p.detalle.isNull() ? QStringLiteral("") : p.detalle);
            pagina.bindValue(4, cuando);
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
        return std::nullopt;
    });
    if (!r) return r;
    return anotacion;
}

ResultadoDe<QVector<PaginaLeida>> Registro::paginas() {
    QSqlDatabase bd = QSqlDatabase::database(m_conexion);
    auto fallo = [this](const QSqlQuery& q) {
        return Resultado::fallo(QStringLiteral("No se puede leer el registro «%1»: %2.")
                                    .arg(m_destino.descripcion, causa(q.lastError())),
                                Errores::ErrorEntradaSalida);
    };
    // Las dos consultas ven el mismo momento del registro aunque otro puesto escriba entre tanto.
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

    QVector<PaginaLeida> resultado;
    // Las páginas llegan por fichero y número: las de cada fichero van seguidas en `resultado`,
    // comparten el nombre y se buscan en su tramo (la página n suele estar n - primera puestos
    // detrás de la primera), sin tablas de todas las páginas ni comparar nombres enteros.
    struct Tramo {
        qsizetype inicio = 0, fin = 0;
    };
    QHash<QString, Tramo> tramos;
    bool seguidas = true;  // si la base no las diera así, se buscan en una tabla de todas
    QSqlQuery q(bd);
    q.setForwardOnly(true);
    // Un detalle vacío llega nulo: sin texto que convertir.
    if (!q.exec(QStringLiteral("SELECT fichero, pagina, %1, NULLIF(detalle, '') "
                               "FROM lector_paginas ORDER BY fichero, pagina")
                    .arg(estadoComoNumero())))
        return fallo(q);
    QString fichero;
    Tramo* tramo = nullptr;
    while (q.next()) {
        PaginaLeida p;
        if (const QString f = q.value(0).toString(); !tramo || f != fichero) {
            if (tramos.contains(f)) seguidas = false;
            tramo = &tramos[f];
            tramo->inicio = resultado.size();
            fichero = f;
        }
        p.origen = {fichero, q.value(1).toInt()};
        if (tramo->fin > tramo->inicio && p.origen.pagina <= resultado.last().origen.pagina)
            seguidas = false;
        const QVariant estado = q.value(2);
        if (estado.isNull()) {
            QSqlQuery cual(bd);
            cual.prepare(QStringLiteral(
                "SELECT estado FROM lector_paginas WHERE fichero = ? AND pagina = ?"));
            cual.addBindValue(fichero);
            cual.addBindValue(p.origen.pagina);
            const QString nombre =
                cual.exec() && cual.next() ? cual.value(0).toString() : QString();
            return Resultado::fallo(
                QStringLiteral("El registro «%1» tiene una página en un estado desconocido "
                               "(«%2»): %3.")
                    .arg(m_destino.descripcion, nombre, describirOrigen(p.origen)),
                Errores::ConversionTipo);
        }
        p.estado = kEstados[estado.toInt()].first;
        p.detalle = q.value(3).toString();
        // Sus códigos llegan después: la que se leyó con códigos empieza sin ninguno.
        resultado.append(std::move(p));
        tramo->fin = resultado.size();
    }
    QHash<std::pair<QString, int>, qsizetype> todas;
    if (!seguidas)
        for (qsizetype i = 0; i < resultado.size(); ++i)
            todas.insert({resultado[i].origen.fichero, resultado[i].origen.pagina}, i);
    // Dónde está en `resultado` esa página, o -1.
    auto buscar = [&](const QString& f, int pagina) -> qsizetype {
        if (!seguidas) return todas.value({f, pagina}, -1);
        const auto t = tramos.constFind(f);
        if (t == tramos.cend()) return -1;
        const qint64 salto = qint64(pagina) - resultado[t->inicio].origen.pagina;
        if (salto >= 0 && salto < t->fin - t->inicio &&
            resultado[t->inicio + salto].origen.pagina == pagina)
            return t->inicio + salto;
        const auto it =
            std::lower_bound(resultado.cbegin() + t->inicio, resultado.cbegin() + t->fin, pagina,
                             [](const PaginaLeida& p, int n) { return p.origen.pagina < n; });
        return it != resultado.cbegin() + t->fin && it->origen.pagina == pagina
                   ? it - resultado.cbegin()
                   : -1;
    };

    // Los códigos de cada página van por huella. Casi todas llevan uno solo, y entonces el orden
    // no importa: se leen tal como están en la tabla, de corrido (ordenarlos en la base movería
    // todos sus bytes, y seguir el índice de la huella salta por toda la tabla). Si alguna
    // página lleva varios, se vuelven a leer por huella, ordenados por la base como siempre.
    bool sinSuPagina = false;
    bool variosEnUnaPagina = false;
    for (const bool porHuella : {false, true}) {
        if (porHuella && !variosEnUnaPagina) break;
        if (!q.exec(porHuella
                        ? QStringLiteral(
                              "SELECT codigo, fichero, pagina FROM lector_codigos ORDER BY huella")
                        : QStringLiteral("SELECT codigo, fichero, pagina FROM lector_codigos")))
            return fallo(q);
        if (porHuella)
            for (PaginaLeida& p : resultado) p.codigos.clear();
        while (q.next()) {
            const qsizetype i = buscar(q.value(1).toString(), q.value(2).toInt());
            if (i < 0) {
                sinSuPagina = true;
                continue;
            }
            QVector<QByteArray>& codigos = resultado[i].codigos;
            if (!codigos.isEmpty()) variosEnUnaPagina = true;
            codigos.append(bytesDeBase64(q.value(0).toString()));
        }
    }
    if (!sinSuPagina) return resultado;

    // El fichero se volvió a leer y esa página ya no da el código: el código sigue leído, en la
    // página donde se leyó, que va tras las demás (por fichero y página).
    if (!q.exec(QStringLiteral(
            "SELECT c.codigo, c.fichero, c.pagina FROM lector_codigos c WHERE NOT EXISTS "
            "(SELECT 1 FROM lector_paginas p WHERE p.fichero = c.fichero AND p.pagina = c.pagina) "
            "ORDER BY c.fichero, c.pagina, c.huella")))
        return fallo(q);
    QHash<std::pair<QString, int>, qsizetype> huerfanas;
    while (q.next()) {
        const std::pair<QString, int> donde{q.value(1).toString(), q.value(2).toInt()};
        auto it = huerfanas.constFind(donde);
        if (it == huerfanas.cend()) {
            PaginaLeida p;
            p.origen = {donde.first, donde.second};
            p.estado = EstadoPagina::ConCodigos;
            it = huerfanas.insert(donde, resultado.size());
            resultado.append(std::move(p));
        }
        resultado[*it].codigos.append(bytesDeBase64(q.value(0).toString()));
    }
    return resultado;
}
