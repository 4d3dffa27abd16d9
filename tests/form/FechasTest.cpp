#include "form/Fechas.h"

#include <gtest/gtest.h>

namespace {

const QDate kHoy(2026, 12, 7);

struct CasoFecha {
    const char* escrito;
    VeredictoFecha veredicto;
    const char* queda;  // texto que debe quedar en la caja
};

TEST(FechasTest, VeredictoYTextoQueQueda) {
    const CasoFecha casos[] = {
        {"", VeredictoFecha::Vacia, ""},
        {"   ", VeredictoFecha::Vacia, ""},
        // Límites
        {"01/01/1900", VeredictoFecha::Correcta, "01/01/1900"},
        {"31/12/1899", VeredictoFecha::FueraDeLimites, "31/12/1899"},
        {"07/12/2026", VeredictoFecha::Correcta, "07/12/2026"},
        {"08/12/2026", VeredictoFecha::FueraDeLimites, "08/12/2026"},
        {"1/1/3000", VeredictoFecha::FueraDeLimites, "01/01/3000"},
        {"5/6/0980", VeredictoFecha::FueraDeLimites, "05/06/0980"},
        // Días que existen y que no
        {"29/02/2024", VeredictoFecha::Correcta, "29/02/2024"},
        {"29/02/2023", VeredictoFecha::NoEsFecha, "29/02/2023"},
        {"31/04/2020", VeredictoFecha::NoEsFecha, "31/04/2020"},
        {"00/01/2020", VeredictoFecha::NoEsFecha, "00/01/2020"},
        {"12/13/2020", VeredictoFecha::NoEsFecha, "12/13/2020"},
        // Lo que se escribe en España se deja en DD/MM/AAAA
        {"1/2/1980", VeredictoFecha::Correcta, "01/02/1980"},
        {"01-02-1980", VeredictoFecha::Correcta, "01/02/1980"},
        {"1.2.1980", VeredictoFecha::Correcta, "01/02/1980"},
        {" 3/11/1975 ", VeredictoFecha::Correcta, "03/11/1975"},
        // Año de dos cifras: el siglo no se adivina
        {"1/2/80", VeredictoFecha::NoEsFecha, "1/2/80"},
        {"01/02/198", VeredictoFecha::NoEsFecha, "01/02/198"},
        // Otras formas que no son fechas
        {"1/2-1980", VeredictoFecha::NoEsFecha, "1/2-1980"},
        {"01021980", VeredictoFecha::NoEsFecha, "01021980"},
        {"1980/02/01", VeredictoFecha::NoEsFecha, "1980/02/01"},
        {"ayer", VeredictoFecha::NoEsFecha, "ayer"},
        {"١/٢/١٩٨٠", VeredictoFecha::NoEsFecha, "١/٢/١٩٨٠"},
    };
    for (const CasoFecha& c : casos) {
        const ComprobacionFecha r = ComprobarFecha(QString::fromUtf8(c.escrito), kHoy);
        EXPECT_EQ(r.veredicto, c.veredicto) << c.escrito;
        EXPECT_EQ(r.texto, QString::fromUtf8(c.queda)) << c.escrito;
    }
}

}  // namespace
