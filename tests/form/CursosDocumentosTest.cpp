#include "form/CursosDocumentos.h"

#include <gtest/gtest.h>

namespace {

TEST(CursosDocumentosTest, LoQueFaltaEnUnCursoEnSuOrden) {
    struct Caso {
        const char *curso, *horas, *ano, *centro, *mensaje;
    } casos[] = {
        {"", "", "", "", "Es obligatorio rellenar el nombre del curso "},
        {"", "10", "2000", "Centro", "Es obligatorio rellenar el nombre del curso "},
        {"Curso", "", "", "", "Es obligatorio rellenar el nº de horas del curso "},
        {"Curso", "10", "", "", "Es obligatorio rellenar el año de realización del curso "},
        {"Curso", "10", "2000", "", "Es obligatorio rellenar el centro que impartió el curso "},
        {"Curso", "10", "2000", "Centro", ""},
    };
    for (const Caso& c : casos)
        EXPECT_EQ(FaltaEnCurso(QString::fromUtf8(c.curso), c.horas, c.ano, c.centro),
                  QString::fromUtf8(c.mensaje))
            << c.curso << "|" << c.horas << "|" << c.ano << "|" << c.centro;
}

TEST(CursosDocumentosTest, HorasEnterasDeAlMenosUna) {
    const QString menor = QStringLiteral("El número de horas debe ser mayor de 0");
    const QString entero = QStringLiteral("El número de horas debe ser un número entero");
    struct Caso {
        const char* texto;
        std::optional<qint64> horas;
        QString mensaje;
    } casos[] = {
        {"1", 1, {}},       {"40", 40, {}},       {"99999", 99999, {}}, {"0", {}, menor},
        {"0,5", {}, menor}, {"-3", {}, menor},    {"-", {}, menor},     {"1,5", {}, entero},
        {"2,0", 2, {}},     {"1,2,3", {}, menor},
    };
    for (const Caso& c : casos) {
        const ComprobacionHoras r = ComprobarHoras(c.texto);
        EXPECT_EQ(r.horas, c.horas) << c.texto;
        EXPECT_EQ(r.mensaje, c.mensaje) << c.texto;
    }
}

TEST(CursosDocumentosTest, AnoEntre1950YElDeHoy) {
    const QDate hoy(2026, 12, 7);
    struct Caso {
        const char* texto;
        std::optional<qint64> ano;
    } casos[] = {{"1950", 1950}, {"2026", 2026}, {"1949", {}},   {"2027", {}}, {"19,5", {}},
                 {"-", {}},      {"0", {}},      {"1990", 1990}, {"2e3", {}},  {"0x7D0", {}}};
    for (const Caso& c : casos) EXPECT_EQ(ComprobarAno(c.texto, hoy), c.ano) << c.texto;
}

}  // namespace
