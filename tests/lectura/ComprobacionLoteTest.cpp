#include "../printing/PlantillaPrueba.h"
#include "ImpresionSimulada.h"
#include "lectura/ComprobacionLote.h"
#include "printing/CodigoBarras.h"

#include <gtest/gtest.h>
#include <QRandomGenerator>
#include <algorithm>
#include <functional>

namespace {

QStringList problemasDe(const InformeLote& informe) {
    QStringList todos = informe.problemas;
    for (const SolicitudLeida& s : informe.solicitudes) todos += s.problemas;
    return todos;
}

void quitarPagina(QVector<PaginaLeida>& paginas, int numero) {
    const qsizetype i = indicePagina(paginas, numero);
    ASSERT_GE(i, 0) << numero;
    paginas.remove(i);
}

void barajar(QVector<PaginaLeida>& paginas, quint32 semilla) {
    QRandomGenerator azar(semilla);
    std::shuffle(paginas.begin(), paginas.end(), azar);
}

// Cada caso toca las páginas de una impresión (36 cursos, 70 documentos, 75 Vacantes y 41
// Resultas, 40 por página: solicitante en la 1, Vacantes en la 5, 6 y 7 con 40, 31 y 4 plazas y
// Resultas en la 8 y la 9) y dice qué problemas exactos deben salir.
struct Caso {
    const char* nombre;
    ImpresionSimulada impresion;
    std::function<void(QVector<PaginaLeida>&)> tocar;
    QStringList problemas;
};

ImpresionSimulada con(int vacantes, int resultas) {
    ImpresionSimulada i;
    i.vacantes = vacantes;
    i.resultas = resultas;
    return i;
}

ImpresionSimulada conDni(const QString& dni) {
    ImpresionSimulada i;
    i.dni = dni;
    return i;
}

TEST(ComprobacionLote, CadaFaltaSeDiceConSuPaginaYSusPlazas) {
    const Caso casos[] = {
        {"completa y barajada", {}, [](auto& p) { barajar(p, 7); }, {}},
        {"falta una del medio",
         {},
         [](auto& p) { quitarPagina(p, 6); },
         {"falta la página 6 de Vacantes (plazas 41 a 71)"}},
        {"falta la primera de Vacantes",
         {},
         [](auto& p) { quitarPagina(p, 5); },
         {"falta la página 5 de Vacantes (plazas 1 a 40)"}},
        {"falta la última de Vacantes: la delata Resultas",
         {},
         [](auto& p) { quitarPagina(p, 7); },
         {"falta la página 7 de Vacantes (desde la plaza 72)"}},
        {"falta la primera de Resultas",
         {},
         [](auto& p) { quitarPagina(p, 8); },
         {"falta la página 8 de Resultas (plazas 1 a 40)"}},
        {"faltan dos seguidas",
         con(300, 0),
         [](auto& p) {
             quitarPagina(p, 7);
             quitarPagina(p, 8);
         },
         {"faltan las páginas 7 y 8 de Vacantes (plazas 81 a 160)"}},
        {"falta la del solicitante",
         {},
         [](auto& p) { quitarPagina(p, 1); },
         {"falta la página 1 (datos del solicitante)"}},
        {"última de Vacantes llena: Resultas salta una página más",
         con(80, 10),
         [](auto& p) { barajar(p, 3); },
         {}},
        {"última llena y quitada",
         con(80, 10),
         [](auto& p) { quitarPagina(p, 6); },
         {"falta la página 6 de Vacantes (desde la plaza 41)"}},
        {"página repetida",
         {},
         [](auto& p) {
             PaginaLeida copia = p[indicePagina(p, 6)];
             copia.origen = {"escaneo.png", 1};
             p.append(copia);
         },
         {"página 6 repetida: fichero solicitud.pdf, página 6 y fichero escaneo.png, página 1"}},
        {"página repetida con otro contenido",
         {},
         [](auto& p) {
             PaginaLeida otra = p[indicePagina(p, 9)];
             otra.codigos[0].replace(otra.codigos[0].size() - 6, 5, "99999");
             otra.origen = {"escaneo.png", 1};
             p.append(otra);
         },
         {"la página 9 está dos veces y con distinto contenido: fichero solicitud.pdf, página 9 "
          "y fichero escaneo.png, página 1"}},
        {"una plaza que falta dentro de una página",
         {},
         [](auto& p) { p[indicePagina(p, 6)].codigos[0].remove(37 + 9 * 4, 9); },
         {"en la página 6 de Vacantes (fichero solicitud.pdf, página 6) los órdenes no van "
          "seguidos: tras el 44 viene el 46"}},
        {"una plaza con el orden 0",
         {},
         [](auto& p) { p[indicePagina(p, 5)].codigos[0].replace(37, 4, "0000"); },
         {"la página 5 de Vacantes (fichero solicitud.pdf, página 5) lleva una plaza con el orden "
          "0, que no existe",
          "en la página 5 de Vacantes (fichero solicitud.pdf, página 5) los órdenes no van "
          "seguidos: tras el 0 viene el 2"}},
        {"un DNI con la letra que no es la suya",
         conDni("12345678A"),
         [](auto&) {},
         {"el DNI «12345678A» de los datos del solicitante no es válido: no son ocho cifras y la "
          "letra que les corresponde"}},
        {"plazas que faltan entre páginas seguidas",
         {},
         [](auto& p) {
             QByteArray& c = p[indicePagina(p, 6)].codigos[0];
             c.remove(37, 9 * 5);  // las plazas 41 a 45
         },
         {"faltan las plazas 41 a 45 de Vacantes, aunque las páginas 5 (fichero solicitud.pdf, "
          "página 5) y 6 (fichero solicitud.pdf, página 6) van seguidas"}},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nombre);
        QVector<PaginaLeida> paginas = c.impresion.paginas();
        c.tocar(paginas);
        const InformeLote informe = comprobarLote(paginas);
        ASSERT_EQ(informe.solicitudes.size(), 1);
        EXPECT_EQ(problemasDe(informe), c.problemas);
        EXPECT_EQ(informe.todoCorrecto(), c.problemas.isEmpty());
        const SolicitudLeida& s = informe.solicitudes[0];
        if (c.problemas.isEmpty()) {
            ASSERT_EQ(s.vacantes.size(), c.impresion.vacantes);
            ASSERT_EQ(s.resultas.size(), c.impresion.resultas);
            for (qsizetype i = 0; i < s.vacantes.size(); ++i) {
                EXPECT_EQ(s.vacantes[i].orden, i + 1);
                EXPECT_EQ(s.vacantes[i].codigo, ImpresionSimulada::codigo(true, i + 1));
            }
            EXPECT_EQ(s.campos.size(), 37);
        }
    }
}

TEST(ComprobacionLote, DosImpresionesDelMismoSolicitanteSeSenalanEnLasDos) {
    ImpresionSimulada primera, segunda;
    segunda.hora = QStringLiteral("10:15:00");
    segunda.fichero = QStringLiteral("otra.pdf");
    QVector<PaginaLeida> paginas = primera.paginas();
    const QVector<PaginaLeida> deLaSegunda = segunda.paginas();
    paginas.append(deLaSegunda[indicePagina(deLaSegunda, 6)]);
    // Otro solicitante en el mismo lote no se mezcla con nadie.
    ImpresionSimulada otro;
    otro.dni = QStringLiteral("00000023T");
    paginas += otro.paginas();

    const InformeLote informe = comprobarLote(paginas);
    ASSERT_EQ(informe.solicitudes.size(), 3);
    EXPECT_EQ(informe.solicitudes[0].dni, "00000023T");
    EXPECT_TRUE(informe.solicitudes[0].completa());
    EXPECT_EQ(informe.solicitudes[1].hora, "09:41:07");
    EXPECT_EQ(informe.solicitudes[1].problemas,
              QStringList{"hay páginas de otra impresión del mismo solicitante, la del "
                          "07/12/2026 a las 10:15:00: fichero otra.pdf, página 6"});
    const QStringList esperados = {
        "falta la página 1 (datos del solicitante)",
        "faltan las páginas de Vacantes anteriores a la 6 (plazas 1 a 40)",
        "hay páginas de otra impresión del mismo solicitante, la del 07/12/2026 a las 09:41:07: "
        "fichero solicitud.pdf, páginas 1, 5, 6, 7, 8 y 9"};
    EXPECT_EQ(informe.solicitudes[2].problemas, esperados);
    EXPECT_FALSE(informe.todoCorrecto());
}

TEST(ComprobacionLote, LoQueNoEsDeNingunaSolicitudVaALosProblemasDelLote) {
    QVector<PaginaLeida> paginas = ImpresionSimulada().paginas();
    PaginaLeida blanca{{"escaneo.png", 2}, EstadoPagina::EnBlanco, {}, {}, {}};
    PaginaLeida ilegible{{"escaneo.png", 3}, EstadoPagina::Ilegible, {}, {}, {}};
    PaginaLeida rota{
        {"rota.png", 0}, EstadoPagina::Fallo, {}, "la imagen está dañada o incompleta", {}};
    PaginaLeida ajena{{"otro.pdf", 1}, EstadoPagina::ConCodigos, {"HOLA"}, {}, {}};
    const QByteArray sinFinal = paginas[indicePagina(paginas, 5)].codigos[0].chopped(1);
    PaginaLeida cortada{{"otro.pdf", 2}, EstadoPagina::ConCodigos, {sinFinal}, {}, {}};
    paginas += {blanca, ilegible, rota, ajena, cortada};

    const InformeLote informe = comprobarLote(paginas);
    ASSERT_EQ(informe.solicitudes.size(), 1);
    // El código ilegible y la imagen rota pueden ser páginas suyas: no está completa.
    EXPECT_EQ(informe.solicitudes[0].problemas,
              QStringList{"puede faltarle alguna página: no se ha podido leer fichero "
                          "escaneo.png, página 3; fichero rota.png"});
    EXPECT_EQ(informe.problemas,
              QStringList({"código ilegible en fichero escaneo.png, página 3",
                           "no se puede leer el fichero rota.png: la imagen está dañada o "
                           "incompleta",
                           "código no válido en fichero otro.pdf, página 1: no es el código de "
                           "una solicitud impresa: no lleva la fecha y la hora de la impresión "
                           "(«HOLA»)",
                           "código no válido en fichero otro.pdf, página 2: el texto está "
                           "cortado: no termina en «F» («" +
                               QString::fromLatin1(sinFinal.left(57)) + "...»)"}));
    EXPECT_EQ(informe.avisos, QStringList{"fichero escaneo.png, página 2 en blanco"});
    // Las páginas de cursos y documentos de la impresión (2, 3 y 4) no llevan código.
    EXPECT_EQ(informe.paginasSinCodigo, 3);
    EXPECT_EQ(informe.sinCodigo, QStringList{"fichero solicitud.pdf, páginas 2, 3 y 4"});
    EXPECT_FALSE(informe.todoCorrecto());
}

TEST(ComprobacionLote, LosDatosDelSolicitanteDebenSerLosDeLaClave) {
    ImpresionSimulada i;
    QVector<PaginaLeida> paginas = i.paginas();
    const QString prefijo =
        prefijoCodigoBarras(ClaveSolicitante(i.dni, i.cuerpo, i.grupo), i.fecha, i.hora);
    QString carga = i.carga();
    carga.replace(QStringLiteral("|12345678Z|"), QStringLiteral("|87654321X|"));
    carga[0] = u'X';  // forzoso o voluntario
    paginas[0].codigos = {bytesCodigo(textoCodigoSolicitante(prefijo, carga))};

    const InformeLote informe = comprobarLote(paginas);
    ASSERT_EQ(informe.solicitudes.size(), 1);
    EXPECT_EQ(informe.solicitudes[0].problemas,
              QStringList({"el campo «forzoso o voluntario» de los datos del solicitante tiene "
                           "un valor imposible: «X»",
                           "el DNI, el cuerpo y el grupo de los datos del solicitante "
                           "(«87654321X», «123», «A») no son los de la clave de sus códigos "
                           "(«12345678Z00123A»)"}));
}

}  // namespace
