#pragma once

#include "platform/Resultado.h"
#include "startup/RutasPrograma.h"

#include <QString>

// Pasos del arranque anteriores a la ventana de acceso: fija G().RutaFicheros
// (carpeta & "/ficheros/") y G().RutaTemporal (carpeta & "/ficheros/temp/") y carga rsCuerpos de
// "F0004.enc", el único catálogo que hace falta antes de entrar (describe las solicitudes
// guardadas). Si el fichero de cuerpos no se puede leer, el mensaje de la decodificación ya se
// mostró y el fallo vuelve al llamador, que no puede seguir.
Resultado PrepararArranque(const QString& carpetaAplicacion);
// Lo mismo con las rutas de esta ejecución: instalado, además, crea la carpeta de datos del
// usuario (solo suya, 0700) y su temp/ si faltan, y falla diciendo cuál si no puede.
Resultado PrepararArranque(const RutasPrograma& rutas);

// Cierra y suelta las tablas globales al final: primero las cierra todas, luego las suelta, en
// el mismo orden. Nada de lo que pase con una impide seguir con la siguiente.
void CerrarTablas();
