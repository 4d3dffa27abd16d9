#pragma once

#include "platform/Resultado.h"

#include <QString>
#include <QStringList>
#include <QVector>

// Los campos que lleva el código de la página del solicitante, cada uno seguido de "|".

enum class FormatoCampo {
    Texto,          // tal como se escribió
    SiNo,           // "S" o "N"
    Fecha,          // "AAAAMMDD", o "00000000" sin fecha
    ActivoOtras,    // "A" o "O"
    ServicioSalud,  // "S" (NORSA), "O" (otros) o vacío sin destino actual
    Destino,        // "D" (definitivo), "P" (provisional) o vacío sin destino actual
};

struct CampoCarga {
    QString clave;        // nombre del campo en la salida
    QString descripcion;  // para los mensajes
    FormatoCampo formato = FormatoCampo::Texto;
};

// Los 37 campos, en el orden en que van en el código.
const QVector<CampoCarga>& camposCarga();

// Verdadero si el valor tiene la forma del campo.
bool valorValido(FormatoCampo formato, const QString& valor);

// Separa los campos de la carga. Un texto escrito por el solicitante puede llevar "|": entonces
// sobran separadores, y la carga solo se separa si los campos de forma fija (sí o no, fechas,
// letras) dejan un único reparto posible. El fallo dice qué no cuadra.
ResultadoDe<QStringList> separarCarga(const QString& carga);

// Un mensaje por cada campo de forma fija que no tiene su forma.
QStringList problemasCampos(const QStringList& valores);
