#include "form/TextoCodigo.h"
#include "platform/Codificacion.h"

#include <gtest/gtest.h>

namespace {

TEST(TextoCodigoTest, LoQueElCodigoNoPuedeLlevarSeCambiaOSeQuita) {
    const struct {
        const char* escrito;
        const char* queda;
        bool cambiado;
    } casos[] = {
        {"Muñoz & Cía, 3º ¿izq? €", "Muñoz & Cía, 3º ¿izq? €", false},
        {"", "", false},
        {"Pérez|García", "PérezGarcía", true},
        {"|||", "", true},
        {"Wałęsa", "Walesa", true},
        {"Łódź", "Lódz", true},
        {"Đorđe Şahin", "Dorde Sahin", true},
        {"Ana 😀", "Ana ", true},
        {"Ωmega", "mega", true},
        // La "e" y el acento por separado son la "é" de la página.
        {"Jose\xcc\x81", "José", false},
    };
    for (const auto& c : casos) {
        const TextoDepurado r = DepurarTextoCodigo(QString::fromUtf8(c.escrito));
        EXPECT_EQ(r.texto, QString::fromUtf8(c.queda)) << c.escrito;
        EXPECT_EQ(r.cambiado, c.cambiado) << c.escrito;
        EXPECT_TRUE(Codificacion::cabeEnWindows1252(r.texto)) << c.escrito;
        EXPECT_FALSE(r.texto.contains('|')) << c.escrito;
    }
}

}  // namespace
