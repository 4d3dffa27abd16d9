#include "registro/SqlRegistro.h"

#include <array>
#include <atomic>

namespace RegistroSql {

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

const char* const kEsquema[6] = {
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
const char* const kDeLaVersion1[6] = {
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
const char* const kPruebaEscritura[4] = {
    "INSERT INTO lector_hojas (fichero_huella, pagina, fichero, estado, detalle, lectura) "
    "VALUES ('', -1, '', '', '', '') ON CONFLICT DO NOTHING",
    "INSERT INTO lector_codigos (huella, codigo, texto, fichero, pagina, lectura) "
    "VALUES ('', '', '', '', -1, '') ON CONFLICT DO NOTHING",
    "INSERT INTO lector_apariciones (fichero_huella, pagina, codigo_huella) "
    "VALUES ('', -1, '') ON CONFLICT DO NOTHING",
    "INSERT INTO lector_resoluciones (fichero_huella, pagina, por, por_huella, momento, puesto) "
    "VALUES ('', -1, '', '', '', '') ON CONFLICT DO NOTHING",
};

const std::pair<EstadoPagina, const char*> kEstados[5] = {
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

}  // namespace RegistroSql
