#include "form/FiltroNumerico.h"

#include <gtest/gtest.h>

namespace {

struct CasoTecla {
    const char* nombre;
    QChar tecla;
    const char* texto;  // texto de la caja antes de la tecla
    bool aceptar;
    bool enviarTab;
    QChar sustituto;
};

TEST(FiltroNumericoTest, CadaClaseDeTecla) {
    const CasoTecla casos[] = {
        {"cifra", '7', "12", true, false, QChar()},
        {"cero", '0', "", true, false, QChar()},
        {"nueve", '9', "1,5", true, false, QChar()},
        {"punto se escribe como coma", '.', "12", true, false, ','},
        {"punto con coma ya escrita", '.', "1,2", false, false, QChar()},
        {"primera coma", ',', "12", true, false, QChar()},
        {"segunda coma", ',', "1,2", false, false, QChar()},
        {"guion en cualquier sitio", '-', "1-2", true, false, QChar()},
        {"guion con coma", '-', "1,2", true, false, QChar()},
        {"retroceso", kTeclaRetroceso, "12", true, false, QChar()},
        {"intro pasa de campo y no se escribe", kTeclaIntro, "12", false, true, QChar()},
        {"letra", 'a', "", false, false, QChar()},
        {"mayuscula", 'Z', "1", false, false, QChar()},
        {"blanco", ' ', "1", false, false, QChar()},
        {"signo mas", '+', "", false, false, QChar()},
        {"cifra no latina", QChar(0x0663), "", false, false, QChar()},
        {"letra acentuada", QChar(0x00F1), "", false, false, QChar()},
        {"control de pegar", QChar(0x16), "", false, false, QChar()},
    };
    for (const CasoTecla& c : casos) {
        const DecisionTecla d = FiltroNumerico(c.tecla, QString::fromUtf8(c.texto));
        EXPECT_EQ(d.aceptar, c.aceptar) << c.nombre;
        EXPECT_EQ(d.enviarTab, c.enviarTab) << c.nombre;
        EXPECT_EQ(d.sustituto, c.sustituto) << c.nombre;
    }
}

}  // namespace
