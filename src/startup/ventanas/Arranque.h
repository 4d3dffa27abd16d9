#pragma once

#include <QString>

// Procedimiento de arranque: rutas, cuerpos, acceso y lo que siga. Devuelve verdadero cuando
// queda alguna ventana abierta y hay que entrar en el bucle de eventos; falso cuando el
// programa ya ha terminado (acceso abandonado, catálogos que no se pueden leer).
bool Arrancar(const QString& carpetaAplicacion);

// Lo que sigue a un acceso correcto: con solicitudes guardadas, el selector; sin ninguna, la
// pantalla de carga y el formulario.
bool ContinuarTrasAcceso();

// Pantalla de carga (modal) y, si carga bien, el formulario con FicheroSolicitud. Si algo falla
// suelta las tablas y devuelve falso: el programa no puede seguir con catálogos a medias.
bool CargarYAbrirSolicitud();
