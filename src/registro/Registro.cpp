#include "registro/Registro.h"

#include "platform/Codificacion.h"

#include <sys/stat.h>
#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMap>
#include <QRandomGenerator>
#include <QSet>
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

// La 1 guardaba cada página por su ruta; la 2, por la huella de su fichero, con cada sitio donde
// se leyó un código y las hojas resueltas. Una de la 1 se lee tal cual y se pasa a la 2 al
// escribir en ella.
constexpr int kVersionEsquema = 2;
// Dos puestos que escriben a la vez pueden chocar (bloqueo mutuo, clave repetida al crear las
// tablas, base ocupada): la transacción se repite entera unas cuantas veces antes de rendirse.
constexpr int kIntentos = 12;
constexpr int kEsperaSqliteMs = 10000;
// Lo más largo que se lee de cada valor: un registro tocado a mano con un valor de cientos de MB
// no se lleva la memoria. Un PDF417 no pasa de 2 KB (en base64, menos de 3 000 caracteres); una
// ruta, de 4 096; una causa de fallo se dice entera en mucho menos.
constexpr int kLargoCodigo = 8192;
constexpr int kLargoRuta = 4096;
constexpr int kLargoHuella = kLargoRuta + 8;
constexpr int kLargoDetalle = 1000;
// Lo que se enseña de una huella para elegir entre ficheros de una misma ruta.
constexpr int kHuellaCorta = 12;
// Un fichero cuyos bytes no se conocen (uno de la versión 1 o uno que no se pudo leer) se conoce
// por su ruta, con este prefijo delante.
const QLatin1String kSinHuella("ruta:");

// El mismo SQL para SQLite y PostgreSQL: solo tipos, claves e "ON CONFLICT" que entienden los dos.
#define TABLA_HOJAS                                                                  \
    "CREATE TABLE IF NOT EXISTS lector_hojas ("                                      \
    " fichero_huella TEXT NOT NULL, pagina INTEGER NOT NULL, fichero TEXT NOT NULL," \
    " estado TEXT NOT NULL, detalle TEXT NOT NULL, lectura TEXT NOT NULL,"           \
    " PRIMARY KEY (fichero_huella, pagina))"
#define TABLA_APARICIONES                                                                  \
    "CREATE TABLE IF NOT EXISTS lector_apariciones ("                                      \
    " fichero_huella TEXT NOT NULL, pagina INTEGER NOT NULL, codigo_huella TEXT NOT NULL," \
    " PRIMARY KEY (fichero_huella, pagina, codigo_huella))"
// `por` es la ruta del fichero que sustituye a la hoja y `por_huella` su huella; vacíos, la hoja
// se ha descartado.
#define TABLA_RESOLUCIONES                                                       \
    "CREATE TABLE IF NOT EXISTS lector_resoluciones ("                           \
    " fichero_huella TEXT NOT NULL, pagina INTEGER NOT NULL, por TEXT NOT NULL," \
    " por_huella TEXT NOT NULL, momento TEXT NOT NULL, puesto TEXT NOT NULL,"    \
    " PRIMARY KEY (fichero_huella, pagina))"

const char* const kEsquema[] = {
    "CREATE TABLE IF NOT EXISTS lector_version (version INTEGER PRIMARY KEY)",
    TABLA_HOJAS,
    // `codigo` son los bytes leídos en base64 (un código puede llevar cualquier byte, también el
    // 0, que un texto de PostgreSQL no admite); `texto`, lo mismo legible para consultas a mano;
    // `fichero` y `pagina`, dónde se leyó primero.
    "CREATE TABLE IF NOT EXISTS lector_codigos ("
    " huella TEXT PRIMARY KEY, codigo TEXT NOT NULL, texto TEXT NOT NULL,"
    " fichero TEXT NOT NULL, pagina INTEGER NOT NULL, lectura TEXT NOT NULL)",
    TABLA_APARICIONES,
    TABLA_RESOLUCIONES,
    "INSERT INTO lector_version (version) VALUES (2) ON CONFLICT DO NOTHING",
};

// De la versión 1 a la 2, tras cambiar el número (que hace esperar a otro puesto que haga lo
// mismo). Lo anotado entonces no sabe los bytes de sus ficheros: cada uno se conoce por su ruta.
const char* const kDeLaVersion1[] = {
    TABLA_HOJAS,
    "INSERT INTO lector_hojas (fichero_huella, pagina, fichero, estado, detalle, lectura) "
    "SELECT 'ruta:' || fichero, pagina, fichero, estado, detalle, lectura FROM lector_paginas",
    TABLA_APARICIONES,
    "INSERT INTO lector_apariciones (fichero_huella, pagina, codigo_huella) "
    "SELECT 'ruta:' || fichero, pagina, huella FROM lector_codigos",
    TABLA_RESOLUCIONES,
    "DROP TABLE lector_paginas",
};

// Cada tabla de la que escribe una lectura, con una fila que no se guarda: para probar, antes de
// leer el lote, que se puede escribir en todas.
const char* const kPruebaEscritura[] = {
    "INSERT INTO lector_hojas (fichero_huella, pagina, fichero, estado, detalle, lectura) "
    "VALUES ('', -1, '', '', '', '') ON CONFLICT DO NOTHING",
    "INSERT INTO lector_codigos (huella, codigo, texto, fichero, pagina, lectura) "
    "VALUES ('', '', '', '', -1, '') ON CONFLICT DO NOTHING",
    "INSERT INTO lector_apariciones (fichero_huella, pagina, codigo_huella) "
    "VALUES ('', -1, '') ON CONFLICT DO NOTHING",
    "INSERT INTO lector_resoluciones (fichero_huella, pagina, por, por_huella, momento, puesto) "
    "VALUES ('', -1, '', '', '', '') ON CONFLICT DO NOTHING",
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

// "abcdef012345" de una huella, "ruta:" de un fichero sin ella: lo que se da con --huella.
QString huellaCorta(const QString& huella) {
    return huella.startsWith(kSinHuella) ? QString(kSinHuella) : huella.left(kHuellaCorta);
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
