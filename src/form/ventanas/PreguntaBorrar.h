#pragma once

#include "platform/ServicioMensajes.h"

// La pregunta antes de borrar la fila seleccionada de una lista (plazas, cursos, documentos). Un
// Intro sin pensar no borra: el botón por defecto es No.
inline bool confirmarBorrarFila() {
    return mostrarMensaje(QStringLiteral("¿Desea borrar la fila seleccionada?"),
                          QStringLiteral("Solicitudes"), Icono::Exclamacion, Botones::SiNo,
                          Respuesta::No) == Respuesta::Si;
}
