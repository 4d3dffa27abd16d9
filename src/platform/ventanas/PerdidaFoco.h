#pragma once

#include <functional>

class QObject;
class QWidget;

// Llama al manejador cuando el foco sale del control (o de lo que lleva dentro, como el texto de
// un combo) hacia otro control de la misma ventana. Abrir su lista desplegable, un cuadro de
// mensaje o cambiar de ventana no es salir del control. El manejador vive mientras el contexto.
void alPerderFoco(QWidget* control, QObject* contexto, std::function<void()> manejador);
