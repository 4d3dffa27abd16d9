#include "platform/Codificacion.h"

namespace {

// 0x80..0x9F de Windows-1252. Los huecos (81, 8D, 8F, 90, 9D) se quedan con su propio código.
constexpr char16_t kAltos[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

}  // namespace

namespace Codificacion {

QChar caracterWindows1252(unsigned char byte) {
    if (byte >= 0x80 && byte <= 0x9F) return QChar(kAltos[byte - 0x80]);
    return QChar(char16_t(byte));
}

QString desdeWindows1252(QByteArrayView bytes) {
    // Se pasa cada código leído por el lector. Fuera de 0x80..0x9F es Latin-1, que Qt convierte
    // de bloque en bloque; luego se corrigen los pocos de ese tramo.
    if (bytes.isEmpty()) return QString(0, Qt::Uninitialized);  // vacío y no nulo, sin bytes
    QString s = QString::fromLatin1(bytes);
    char16_t* destino = reinterpret_cast<char16_t*>(s.data());
    for (qsizetype i = 0; i < s.size(); ++i)
        if (const char16_t c = destino[i]; c >= 0x80 && c <= 0x9F) destino[i] = kAltos[c - 0x80];
    return s;
}

bool byteWindows1252(QChar c, unsigned char& byte) {
    const char16_t u = c.unicode();
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
        byte = static_cast<unsigned char>(u);
        return true;
    }
    for (int i = 0; i < 32; ++i) {
        if (kAltos[i] == u) {
            byte = static_cast<unsigned char>(0x80 + i);
            return true;
        }
    }
    return false;
}

QByteArray aWindows1252(const QString& texto) {
    QByteArray b;
    b.reserve(texto.size());
    for (const QChar c : texto) {
        unsigned char byte = '?';
        byteWindows1252(c, byte);
        b.append(char(byte));
    }
    return b;
}

bool cabeEnWindows1252(const QString& texto) {
    unsigned char byte;
    for (const QChar c : texto)
        if (!byteWindows1252(c, byte)) return false;
    return true;
}

}  // namespace Codificacion
