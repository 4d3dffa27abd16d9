#pragma once

#include <QDate>
#include <QString>
#include <optional>

// Fechas de la solicitud: se escriben día/mes/año y se guardan como "DD/MM/AAAA".

inline const QDate kFechaMinima = QDate(1900, 1, 1);

// Lee día, mes y año separados por "/", "-" o "." (el mismo separador las dos veces), con uno o
// dos dígitos en el día y el mes y cuatro en el año; se admiten blancos alrededor. Un año de dos
// cifras no se admite: "1/2/25" podría ser de 1925 o de 2025 y una fecha de nacimiento o de toma
// de posesión con el siglo cambiado pasaría sin que nadie lo viera. Nada si no es una fecha real
// (31/04, 29/02 de un año no bisiesto).
std::optional<QDate> interpretarFecha(const QString& texto);

enum class VeredictoFecha {
    Vacia,           // nada escrito (o solo blancos): se admite
    Correcta,        // fecha entre kFechaMinima y hoy
    FueraDeLimites,  // fecha real, pero anterior a kFechaMinima o posterior a hoy
    NoEsFecha,
};

struct ComprobacionFecha {
    VeredictoFecha veredicto = VeredictoFecha::Vacia;
    // Texto que debe quedar en la caja: la fecha en "DD/MM/AAAA" cuando lo es (también fuera de
    // los límites), "" si estaba vacía y el texto tal cual si no es una fecha.
    QString texto;
};

ComprobacionFecha ComprobarFecha(const QString& texto, const QDate& hoy);
