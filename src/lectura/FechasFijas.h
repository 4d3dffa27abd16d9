#pragma once

#include <QStringView>

// Fechas y horas de ancho fijo de los códigos ("dd/MM/yyyy", "HH:mm:ss" y "yyyyMMdd"), leídas a
// mano: se comprueban decenas de miles por lectura del registro y QDate::fromString con formato
// cuesta microsegundos cada vez. Con el ancho justo aceptan lo mismo que él: solo cifras ASCII en
// cada posición y una fecha que exista en el calendario gregoriano (sin año 0). Un texto de otro
// ancho no vale (QDate admitiría, por ejemplo, un año negativo con su signo).

bool fechaDiaMesAnoValida(QStringView texto);  // "dd/MM/yyyy"
bool horaValida(QStringView texto);            // "HH:mm:ss"
bool fechaAnoMesDiaValida(QStringView texto);  // "yyyyMMdd"
