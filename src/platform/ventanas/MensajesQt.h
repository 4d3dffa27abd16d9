#pragma once

#include "platform/ServicioMensajes.h"

// Cuadros de mensaje de verdad (QMessageBox), con los botones rotulados en castellano sea cual
// sea el idioma de las traducciones de Qt instaladas.
class MensajesQt : public ServicioMensajes {
public:
    Respuesta mostrar(const QString& texto, const QString& titulo, Icono icono,
                      Botones botones, Respuesta porDefecto) override;
};
