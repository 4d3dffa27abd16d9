#include "users/CSHA256.h"
#include "users/Validacion.h"

#include <gtest/gtest.h>

namespace {

struct CasoResumen {
    const char* nombre;
    QString texto;
    const char* esperado;  // calculado aparte (sha256sum sobre los bytes)
};

TEST(HashTextoTest, ResumenDeUnBytePorCaracter) {
    const CasoResumen casos[] = {
        {"abc", QStringLiteral("abc"),
         "BA7816BF8F01CFEA414140DE5DAE2223B00361A396177A9CB410FF61F20015AD"},
        {"vacío", QString(), "E3B0C44298FC1C149AFBF4C8996FB92427AE41E4649B934CA495991B7852B855"},
        {"eñe como byte 241", QString(QChar(241)),
         "D4F09E5C5AF99A24C7E304CA7997D26CB00901697DE08A49BE0D46AB5839B614"},
        {"euro (8364) como byte 172", QString(QChar(8364)),
         "EE6BB86B44339392BAE631C8F61DD8F009243C635ADAB33C0B20923A2794BF22"},
        {"código 497 como byte 241", QString(QChar(497)),
         "D4F09E5C5AF99A24C7E304CA7997D26CB00901697DE08A49BE0D46AB5839B614"},
        {"DNI", QStringLiteral("12345678Z"),
         "1C9F96328944627A83B96F2F7D98C97F32664101FF98A1C2EFB65E75A3417300"},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.nombre);
        EXPECT_EQ(HashTexto(c.texto), QLatin1String(c.esperado));
    }
}

TEST(HashTextoTest, ElMetodoDeLaClaseDaMinusculas) {
    EXPECT_EQ(CSHA256().SHA256(QStringLiteral("abc")),
              QLatin1String("ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"));
}

TEST(MayusculasTest, CaracterACaracterSinCambiarLaLongitud) {
    EXPECT_EQ(Mayusculas(QStringLiteral("contraseña")), QStringLiteral("CONTRASEÑA"));
    EXPECT_EQ(Mayusculas(QStringLiteral("12345678z")), QStringLiteral("12345678Z"));
    // La ese aguda alemana no se convierte en "SS": cambiaría el resumen guardado.
    EXPECT_EQ(Mayusculas(QStringLiteral("straße")), QStringLiteral("STRAßE"));
}

struct CasoDNI {
    QString entrada;
    QString resultado;
    bool valido;
};

TEST(ComprobarDNITest, RellenoFormaYLetra) {
    const CasoDNI casos[] = {
        {QStringLiteral("12345678Z"), QStringLiteral("12345678Z"), true},
        {QStringLiteral("12345678z"), QStringLiteral("12345678Z"), true},
        {QStringLiteral("12345678A"), QStringLiteral("12345678A"), false},
        // Sin mayúsculas cuando no es válido: la caja se queda como estaba, solo rellena.
        {QStringLiteral("12345678a"), QStringLiteral("12345678a"), false},
        {QStringLiteral("1234567L"), QStringLiteral("01234567L"), true},
        {QStringLiteral("1234567l"), QStringLiteral("01234567L"), true},
        {QString(), QStringLiteral("000000000"), false},
        {QStringLiteral("X1234567L"), QStringLiteral("X1234567L"), false},
        {QStringLiteral("Y1234567X"), QStringLiteral("Y1234567X"), false},
        {QStringLiteral("123456789Z"), QStringLiteral("123456789Z"), false},
        {QStringLiteral("123456789"), QStringLiteral("123456789"), false},
        {QStringLiteral("00000000T"), QStringLiteral("00000000T"), true},
        {QStringLiteral("1R"), QStringLiteral("00000001R"), true},
        {QStringLiteral("T"), QStringLiteral("00000000T"), true},
        {QStringLiteral("22E"), QStringLiteral("00000022E"), true},
        {QStringLiteral("23T"), QStringLiteral("00000023T"), true},
        {QStringLiteral("99999999R"), QStringLiteral("99999999R"), true},
        {QStringLiteral("+1234567L"), QStringLiteral("+1234567L"), false},
        {QStringLiteral("1234 567L"), QStringLiteral("1234 567L"), false},
        {QStringLiteral("-1234567L"), QStringLiteral("-1234567L"), false},
        {QString::fromUtf8("١٢٣٤٥٦٧٨Z"), QString::fromUtf8("١٢٣٤٥٦٧٨Z"), false},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.entrada.toStdString());
        const ComprobacionDNI r = ComprobarDNI(c.entrada);
        EXPECT_EQ(r.texto, c.resultado);
        EXPECT_EQ(r.valido, c.valido);
    }
}

}  // namespace
