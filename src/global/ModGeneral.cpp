#include "global/ModGeneral.h"

#include "platform/Codificacion.h"
#include "platform/ServicioMensajes.h"

namespace {

// Unicode de los bytes 0x80..0xFF de CP850.
constexpr char16_t kCp850[128] = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7, 0x00EA, 0x00EB, 0x00E8, 0x00EF,
    0x00EE, 0x00EC, 0x00C4, 0x00C5, 0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,
    0x00FF, 0x00D6, 0x00DC, 0x00F8, 0x00A3, 0x00D8, 0x00D7, 0x0192, 0x00E1, 0x00ED, 0x00F3, 0x00FA,
    0x00F1, 0x00D1, 0x00AA, 0x00BA, 0x00BF, 0x00AE, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x00C1, 0x00C2, 0x00C0, 0x00A9, 0x2563, 0x2551, 0x2557,
    0x255D, 0x00A2, 0x00A5, 0x2510, 0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x00E3, 0x00C3,
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x00A4, 0x00F0, 0x00D0, 0x00CA, 0x00CB,
    0x00C8, 0x0131, 0x00CD, 0x00CE, 0x00CF, 0x2518, 0x250C, 0x2588, 0x2584, 0x00A6, 0x00CC, 0x2580,
    0x00D3, 0x00DF, 0x00D4, 0x00D2, 0x00F5, 0x00D5, 0x00B5, 0x00FE, 0x00DE, 0x00DA, 0x00DB, 0x00D9,
    0x00FD, 0x00DD, 0x00AF, 0x00B4, 0x00AD, 0x00B1, 0x2017, 0x00BE, 0x00B6, 0x00A7, 0x00F7, 0x00B8,
    0x00B0, 0x00A8, 0x00B7, 0x00B9, 0x00B3, 0x00B2, 0x25A0, 0x00A0};

// Parecido en ASCII de lo que CP850 tiene y Windows-1252 no: así un nombre de zona con un
// carácter raro sigue siendo legible y conserva su longitud.
QChar parecidoAscii(char16_t u) {
    switch (u) {
        case 0x2500:
            return u'-';
        case 0x2550:
            return u'=';
        case 0x2502:
        case 0x2551:
            return u'|';
        case 0x2591:
        case 0x2592:
        case 0x2593:
        case 0x2588:
        case 0x25A0:
            return u'#';
        case 0x2584:
        case 0x2017:
            return u'_';
        case 0x2580:
            return QChar(0x00AF);
        case 0x0131:
            return u'i';
        default:
            return u'+';  // esquinas, cruces y uniones de los cuadros
    }
}

}  // namespace

QString Rellenar(const QString& texto, qint16 longitud, bool izquierda, const QString& caracter) {
    if (caracter.size() != 1) {
        mostrarMensaje(
            QStringLiteral("Sólo se admiten caracteres, no cadenas en el argumento 'caracter'"),
            QStringLiteral("Error"), Icono::Ninguno, Botones::Aceptar);
        return {};
    }
    const qsizetype faltan = qMax<qsizetype>(0, longitud - texto.size());
    const QString relleno(faltan, caracter.at(0));
    return izquierda ? relleno + texto : texto + relleno;
}

QString OemAAnsi(const QString& texto) {
    QString r = texto;
    for (QChar& c : r) {
        unsigned char byte = 0;
        if (!Codificacion::byteWindows1252(c, byte) || byte < 0x80) continue;
        const char16_t u = kCp850[byte - 0x80];
        unsigned char destino = 0;
        c = Codificacion::byteWindows1252(QChar(u), destino) ? QChar(u) : parecidoAscii(u);
    }
    return r;
}

QString AnsiAOem(const QString& texto) {
    QString r = texto;
    for (QChar& c : r) {
        if (c.unicode() < 0x80) continue;
        int encontrado = -1;
        for (int i = 0; i < 128 && encontrado < 0; ++i)
            if (kCp850[i] == c.unicode()) encontrado = i;
        c = encontrado < 0 ? QChar(u'?') : Codificacion::caracterWindows1252(0x80 + encontrado);
    }
    return r;
}
