#pragma once

#include <functional>

class QAbstractButton;
class QObject;

// Llama al manejador cada vez que la opción queda elegida: por un clic o una flecha del teclado
// (también sobre la opción que ya estaba elegida, que no cambia de estado) o al marcarla desde el
// código. Un clic que la marca llama una sola vez. El manejador vive mientras viva el contexto.
void alElegirOpcion(QAbstractButton* opcion, QObject* contexto, std::function<void()> manejador);
