#pragma once

#include "OrdenesRegistro.h"

// «informe»: el informe para ver en un navegador de todo el registro, en la carpeta de salida.
SalidaOrden ordenInforme(const OpcionesLector& o);
