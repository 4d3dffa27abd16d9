#include "startup/ventanas/AbrirSolicitud.h"

#include "form/ventanas/frmSolicitudes.h"
#include "global/Globales.h"
#include "platform/ServicioMensajes.h"
#include "platform/ventanas/Colocacion.h"

#include <QLineEdit>

frmSolicitudes* AbrirSolicitud() {
    auto* form = new frmSolicitudes;
    if (Resultado r = form->cargar(); !r) {
        mostrarMensaje(r.mensaje(), kTituloPrograma, Icono::Critico, Botones::Aceptar);
        delete form;
        return nullptr;
    }
    restaurarGeometria(form, kClaveGeometriaFormulario);
    form->show();
    // El DNI de una solicitud es siempre el del acceso: no se edita.
    form->txtDNI()->setText(G().DNIUsuario);
    form->txtDNI()->setEnabled(false);
    if (!G().FicheroSolicitud.isEmpty())
        form->RecuperarSolicitud(G().FicheroSolicitud, G().RutaTemporal);
    return form;
}
