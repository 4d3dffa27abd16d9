#pragma once

#include "startup/RutasPrograma.h"

#include <QString>

// Cómo acaba el procedimiento de arranque: con alguna ventana abierta (hay que entrar en el bucle
// de eventos), terminado porque el usuario lo dejó (acceso abandonado) o detenido por un fallo
// (catálogos, configuración o carga que no se pueden leer).
enum class Arranque { ConVentanas, Terminado, Fallido };

// Procedimiento de arranque: rutas, cuerpos, acceso y lo que siga. Con una carpeta, la carpeta
// portátil (todo en ella).
Arranque Arrancar(const RutasPrograma& rutas);
Arranque Arrancar(const QString& carpetaAplicacion);

// Código de salida del programa: 0 si terminó porque el usuario lo dejó, 1 tras un fallo.
constexpr int kSalidaFallo = 1;
inline int codigoSalida(Arranque a) {
    return a == Arranque::Fallido ? kSalidaFallo : 0;
}

// Lo que sigue a un acceso correcto: con solicitudes guardadas, el selector; sin ninguna, la
// pantalla de carga y el formulario.
bool ContinuarTrasAcceso();

// Pantalla de carga (modal) y, si carga bien, el formulario con FicheroSolicitud. Si algo falla
// suelta las tablas y devuelve falso: el programa no puede seguir con catálogos a medias.
bool CargarYAbrirSolicitud();
