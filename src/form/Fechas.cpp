#include "form/Fechas.h"

#include <QRegularExpression>

std::optional<QDate> interpretarFecha(const QString& texto) {
    static const QRegularExpression patron(
        QStringLiteral("^\\s*([0-9]{1,2})([/.-])([0-9]{1,2})\\2([0-9]{4})\\s*$"));
    const QRegularExpressionMatch m = patron.match(texto);
    if (!m.hasMatch()) return std::nullopt;
    const QDate fecha(m.captured(4).toInt(), m.captured(3).toInt(), m.captured(1).toInt());
    if (!fecha.isValid()) return std::nullopt;
    return fecha;
}

ComprobacionFecha ComprobarFecha(const QString& texto, const QDate& hoy) {
    if (texto.trimmed().isEmpty()) return {VeredictoFecha::Vacia, QString()};
    const std::optional<QDate> fecha = interpretarFecha(texto);
    if (!fecha) return {VeredictoFecha::NoEsFecha, texto};
    const QString reescrita = fecha->toString(QStringLiteral("dd/MM/yyyy"));
    const bool dentro = *fecha >= kFechaMinima && *fecha <= hoy;
    return {dentro ? VeredictoFecha::Correcta : VeredictoFecha::FueraDeLimites, reescrita};
}
