#include "users/ventanas/ValidarDNI.h"

#include "platform/ServicioMensajes.h"
#include "users/Validacion.h"

#include <QLineEdit>
#include <QPalette>

namespace {

// El color va en los grupos activo e inactivo: una caja deshabilitada conserva su gris.
void colorearTexto(QLineEdit* caja, const QColor& color) {
    QPalette paleta = caja->palette();
    paleta.setColor(QPalette::Active, QPalette::Text, color);
    paleta.setColor(QPalette::Inactive, QPalette::Text, color);
    caja->setPalette(paleta);
}

}  // namespace

bool ValidarDNI(QLineEdit* caja) {
    const ComprobacionDNI r = ComprobarDNI(caja->text());
    if (caja->text() != r.texto) caja->setText(r.texto);
    colorearTexto(caja, r.valido ? kColorDNIValido : kColorDNINoValido);
    if (!r.valido)
        mostrarMensaje(QStringLiteral("DNI no válido"), QStringLiteral("Error en DNI"),
                       Icono::Exclamacion, Botones::Aceptar);
    return r.valido;
}
