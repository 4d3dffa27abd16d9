#include "startup/ModGeneral.h"

#include "platform/ServicioMensajes.h"

QString Rellenar(const QString& texto, qint16 longitud, bool izquierda, const QString& caracter) {
    if (caracter.size() != 1) {
        mostrarMensaje(
            QStringLiteral("Sólo se admiten caracteres, no cadenas en el argumento 'caracter'"),
            QStringLiteral("Error"), Icono::Ninguno, Botones::Aceptar);
        return {};
    }
    const qsizetype faltan = qMax<qsizetype>(0, longitud - texto.size());
    const QString relleno(faltan, caracter.at(0));
    return izquierda ? relleno + texto : texto + relleno;
}
