#include "../../apoyo/MensajesGuion.h"
#include "users/ventanas/ValidarDNI.h"

#include <gtest/gtest.h>
#include <QLineEdit>

namespace {

QColor colorTexto(const QLineEdit& caja) {
    return caja.palette().color(QPalette::Active, QPalette::Text);
}

struct Caso {
    QString entrada;
    QString resultado;
    bool valido;
};

TEST(ValidarDNITest, CajaRellenadaColoreadaYAvisada) {
    const Caso casos[] = {
        {QStringLiteral("12345678Z"), QStringLiteral("12345678Z"), true},
        {QStringLiteral("12345678z"), QStringLiteral("12345678Z"), true},
        {QStringLiteral("1234567L"), QStringLiteral("01234567L"), true},
        {QStringLiteral("12345678A"), QStringLiteral("12345678A"), false},
        {QString(), QStringLiteral("000000000"), false},
        {QStringLiteral("X1234567L"), QStringLiteral("X1234567L"), false},
        {QStringLiteral("1234567890"), QStringLiteral("1234567890"), false},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.entrada.toStdString());
        MensajesGuion mensajes;
        QLineEdit caja(c.entrada);
        EXPECT_EQ(ValidarDNI(&caja), c.valido);
        EXPECT_EQ(caja.text(), c.resultado);
        EXPECT_EQ(colorTexto(caja), c.valido ? QColor(0, 0, 0) : QColor(254, 0, 0));
        if (c.valido) {
            EXPECT_TRUE(mensajes.mostrados().isEmpty());
        } else {
            ASSERT_EQ(mensajes.mostrados().size(), 1);
            const MensajeMostrado& m = mensajes.mostrados().first();
            EXPECT_EQ(m.texto, QStringLiteral("DNI no válido"));
            EXPECT_EQ(m.titulo, QStringLiteral("Error en DNI"));
            EXPECT_EQ(m.icono, Icono::Exclamacion);
            EXPECT_EQ(m.botones, Botones::Aceptar);
        }
    }
}

TEST(ValidarDNITest, UnDNICorregidoVuelveANegro) {
    MensajesGuion mensajes;
    QLineEdit caja(QStringLiteral("12345678A"));
    EXPECT_FALSE(ValidarDNI(&caja));
    EXPECT_EQ(colorTexto(caja), QColor(254, 0, 0));
    caja.setText(QStringLiteral("12345678Z"));
    EXPECT_TRUE(ValidarDNI(&caja));
    EXPECT_EQ(colorTexto(caja), QColor(0, 0, 0));
}

}  // namespace
