#include "form/CursosDocumentos.h"

#include "form/OrdenPlazas.h"

#include <cmath>

QString FaltaEnCurso(const QString& curso, const QString& horas, const QString& ano,
                     const QString& centro) {
    if (curso.isEmpty()) return QStringLiteral("Es obligatorio rellenar el nombre del curso ");
    if (horas.isEmpty()) return QStringLiteral("Es obligatorio rellenar el nº de horas del curso ");
    if (ano.isEmpty())
        return QStringLiteral("Es obligatorio rellenar el año de realización del curso ");
    if (centro.isEmpty())
        return QStringLiteral("Es obligatorio rellenar el centro que impartió el curso ");
    return {};
}

ComprobacionHoras ComprobarHoras(const QString& texto) {
    const std::optional<double> v = valorNumerico(texto);
    if (!v || *v < 1)
        return {std::nullopt, QStringLiteral("El número de horas debe ser mayor de 0")};
    if (*v != std::floor(*v))
        return {std::nullopt, QStringLiteral("El número de horas debe ser un número entero")};
    // La caja admite cinco cifras; más no cabe en un curso.
    if (*v > 99999) return {std::nullopt, QStringLiteral("El número de horas es demasiado grande")};
    return {static_cast<qint64>(*v), QString()};
}

std::optional<qint64> ComprobarAno(const QString& texto, const QDate& hoy) {
    const std::optional<double> v = valorNumerico(texto);
    if (!v || *v != std::floor(*v) || *v < kAnoMinimoCurso || *v > hoy.year()) return std::nullopt;
    return static_cast<qint64>(*v);
}
