#pragma once

#include "lectura/InterpretacionCodigo.h"
#include "platform/Resultado.h"
#include "printing/ListasImpresas.h"

#include <QImage>
#include <QString>
#include <QVector>

// Las dos impresiones de prueba del lector, de verdad: el generador del programa con sus
// plantillas y LibreOffice. Son del mismo solicitante (12345678Z, cuerpo 123, grupo A) a dos
// horas distintas:
// - variante XP a las 09:41:07: 3 cursos, 2 documentos, 300 Vacantes y 41 Resultas;
// - variante antigua a las 10:15:00: 36 cursos, 70 documentos, 75 Vacantes y 41 Resultas;
// con 40 plazas por página y unos datos del solicitante con tildes, eñes, "&", "º" y comillas.
// Cada PDF se hace una sola vez por compilación (en la carpeta de compilación, con un cerrojo):
// las pruebas de otros procesos lo reutilizan.
struct ImpresionReal {
    QString pdf;
    QString hora;
    QString carga;  // los datos del solicitante tal como se imprimieron
    QVector<PlazaLeida> vacantes, resultas;
};

ResultadoDe<ImpresionReal> impresionReal(VarianteGenerador variante);

// Las hojas de un PDF a 200 ppp en gris, como las deja un escáner (pasan por la carpeta, que queda
// como estaba); vacío si no se puede.
QVector<QImage> hojasDe(const QString& pdf, const QString& carpeta);
