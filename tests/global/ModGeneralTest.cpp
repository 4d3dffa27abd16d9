#include "global/ModGeneral.h"

#include "../apoyo/MensajesGuion.h"
#include "platform/Codificacion.h"

#include <gtest/gtest.h>

namespace {

struct CasoRellenar {
    const char* texto;
    int longitud;
    bool izquierda;
    const char* caracter;
    const char* esperado;
};

TEST(Rellenar, CasosDeRellenoSinCortarNunca) {
    const CasoRellenar casos[] = {
        {"12345678Z", 9, true, "0", "12345678Z"},  // ya tiene la longitud: igual
        {"A", 2, true, "0", "0A"},
        {"A", 2, false, "0", "A0"},
        {"ABC", 2, true, "0", "ABC"},  // más largo: entero, sin cortar
        {"ABC", 2, false, " ", "ABC"},
        {"", 3, false, " ", "   "},
        {"7", 5, true, " ", "    7"},
        {"ñ", 3, false, "Ñ", "ñÑÑ"},
        {"X", 0, true, "0", "X"},
        {"X", -4, false, "0", "X"},  // una longitud negativa no rellena nada
    };
    MensajesGuion guion;
    for (const auto& c : casos) {
        SCOPED_TRACE(c.texto);
        EXPECT_EQ(Rellenar(QString::fromUtf8(c.texto), qint16(c.longitud), c.izquierda,
                           QString::fromUtf8(c.caracter)),
                  QString::fromUtf8(c.esperado));
    }
    EXPECT_TRUE(guion.mostrados().isEmpty());
}

TEST(Rellenar, CaracterQueNoEsUnoSoloAvisaYDevuelveVacio) {
    for (const char* caracter : {"00", "", "ab"}) {
        SCOPED_TRACE(caracter);
        MensajesGuion guion;
        EXPECT_EQ(Rellenar("A", 5, true, QString::fromUtf8(caracter)), QString());
        ASSERT_EQ(guion.mostrados().size(), 1);
        const auto& m = guion.mostrados().first();
        EXPECT_EQ(
            m.texto,
            QString::fromUtf8("Sólo se admiten caracteres, no cadenas en el argumento 'caracter'"));
        EXPECT_EQ(m.titulo, "Error");
        EXPECT_EQ(m.icono, Icono::Ninguno);
        EXPECT_EQ(m.botones, Botones::Aceptar);
    }
}

// Lo que da cada byte 0x80..0xFF de CP850 en Windows-1252. Lo que no existe en Windows-1252
// (cuadros, sombreados, ı, ‗, ■) queda en su parecido ASCII.
const char16_t kEsperado[] =
    u"ÇüéâäàåçêëèïîìÄÅ"             // 80..8F
    u"ÉæÆôöòûùÿÖÜø£Ø×ƒ"             // 90..9F
    u"áíóúñÑªº¿®¬½¼¡«»"             // A0..AF
    u"###|+ÁÂÀ©+|++¢¥+"             // B0..BF
    u"++++-+ãÃ+++++=+¤"             // C0..CF
    u"ðÐÊËÈiÍÎÏ++#_¦Ì¯"             // D0..DF
    u"ÓßÔÒõÕµþÞÚÛÙýÝ¯´"             // E0..EF
    u"\u00AD±_¾¶§÷¸°¨·¹³²#\u00A0";  // F0..FF

TEST(OemAAnsi, CadaByteAltoDeCp850) {
    static_assert(sizeof(kEsperado) / sizeof(char16_t) == 129);
    for (int byte = 0x80; byte <= 0xFF; ++byte) {
        SCOPED_TRACE(byte);
        const QString entrada(Codificacion::caracterWindows1252(uchar(byte)));
        const QString salida = OemAAnsi(entrada);
        ASSERT_EQ(salida.size(), 1);
        EXPECT_EQ(salida.at(0).unicode(), kEsperado[byte - 0x80]);
        EXPECT_TRUE(Codificacion::cabeEnWindows1252(salida));
    }
}

TEST(OemAAnsi, AsciiIntactoYMismaLongitud) {
    QString ascii;
    for (int c = 1; c < 0x80; ++c) ascii += QChar(c);
    EXPECT_EQ(OemAAnsi(ascii), ascii);

    // "Zona Básica Peñarroya" guardado en CP850: á = A0, ñ = A4; en Windows-1252 esos bytes son
    // el espacio duro y "¤".
    const QString guardado = Codificacion::desdeWindows1252(
        "Zona B\xA0sica Pe\xA4"
        "arroya");
    EXPECT_EQ(OemAAnsi(guardado), QString::fromUtf8("Zona Básica Peñarroya"));
    EXPECT_EQ(OemAAnsi(QString()), QString());
}

TEST(OemAAnsi, AnsiAOemEsSuInversaEnLoQueComparten) {
    const QString texto = QString::fromUtf8("Áreas de Castañeda, Cigüeñal y Ñúñez: ¿ÉÍÓÚ? «ü» ªº");
    const QString oem = AnsiAOem(texto);
    EXPECT_EQ(oem.size(), texto.size());
    EXPECT_NE(oem, texto);
    EXPECT_EQ(OemAAnsi(oem), texto);
    // El euro no existe en CP850.
    EXPECT_EQ(AnsiAOem(QString::fromUtf8("5€")), "5?");
}

}  // namespace
