#include "platform/ServicioMensajes.h"

#include <cstdio>

namespace {

class MensajesConsola : public ServicioMensajes {
public:
    Respuesta mostrar(const QString& texto, const QString& titulo, Icono, Botones botones,
                      Respuesta) override {
        std::fprintf(stderr, "[%s] %s\n", qPrintable(titulo), qPrintable(texto));
        return botones == Botones::Aceptar ? Respuesta::Aceptar : Respuesta::Si;
    }
};

MensajesConsola g_consola;
ServicioMensajes* g_servicio = nullptr;

}  // namespace

ServicioMensajes& mensajes() {
    return g_servicio ? *g_servicio : g_consola;
}

void instalarServicioMensajes(ServicioMensajes* servicio) {
    g_servicio = servicio;
}

Respuesta respuestaPorDefecto(Botones botones, std::optional<Respuesta> pedida) {
    if (botones == Botones::Aceptar) return Respuesta::Aceptar;
    const bool valida = pedida && *pedida != Respuesta::Aceptar &&
                        (*pedida != Respuesta::Cancelar || botones == Botones::SiNoCancelar);
    return valida ? *pedida : Respuesta::Si;
}

Respuesta mostrarMensaje(const QString& texto, const QString& titulo, Icono icono, Botones botones,
                         std::optional<Respuesta> porDefecto) {
    return mensajes().mostrar(texto, titulo, icono, botones,
                              respuestaPorDefecto(botones, porDefecto));
}
