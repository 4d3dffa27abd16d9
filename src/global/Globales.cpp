#include "global/Globales.h"

#include <memory>

namespace {
std::unique_ptr<Globales> g_estado = std::make_unique<Globales>();
}

Globales& G() {
    return *g_estado;
}

void reiniciarGlobales() {
    g_estado = std::make_unique<Globales>();
}

QString rutaCatalogos() {
    return G().RutaCatalogos.isEmpty() ? G().RutaFicheros : G().RutaCatalogos;
}

QString rutaPaso() {
    return G().RutaPaso.isEmpty() ? G().RutaFicheros : G().RutaPaso;
}
