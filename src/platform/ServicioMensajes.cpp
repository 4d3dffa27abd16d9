#include "platform/ServicioMensajes.h"

#include <cstdio>

namespace {

class MensajesConsola : public ServicioMensajes {
public:
    Respuesta mostrar(const QString& texto, const QString& titulo, Icono, Botones botones) override {
        std::fprintf(stderr, "[%s] %s\n", qPrintable(titulo), qPrintable(texto));
        return botones == Botones::Aceptar ? Respuesta::Aceptar : Respuesta::Si;
    }
};

MensajesConsola g_consola;
ServicioMensajes* g_servicio = nullptr;

}  // namespace

ServicioMensajes& mensajes() { return g_servicio ? *g_servicio : g_consola; }

void instalarServicioMensajes(ServicioMensajes* servicio) { g_servicio = servicio; }

Respuesta mostrarMensaje(const QString& texto, const QString& titulo, Icono icono,
                         Botones botones) {
    return mensajes().mostrar(texto, titulo, icono, botones);
}
