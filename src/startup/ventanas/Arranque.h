#pragma once

#include <QString>

// Procedimiento de arranque: rutas, cuerpos, acceso y lo que siga. Devuelve verdadero cuando
// queda alguna ventana abierta y hay que entrar en el bucle de eventos; falso cuando el
// programa ya ha terminado (acceso abandonado).
bool Arrancar(const QString& carpetaAplicacion);

// Lo que sigue a un acceso correcto (solicitudes guardadas, carga de catálogos, formulario).
bool ContinuarTrasAcceso();
