#pragma once

#include <QString>

// El juego de catálogos grande de las medidas. Con MOVILANT_CATALOGOS_GRANDE se usa una carpeta
// ya generada con "movilant-catalogos generar": así la memoria medida es solo la carga.

// Carpeta del programa con ficheros/ del juego grande, conf.xml y FicheroTexto.txt.
const QString& carpetaPrograma();
// Lo que hay antes de la pantalla de carga: globales nuevas, las rutas y rsCuerpos.
bool prepararArranque();
// Prepara el arranque y hace la pantalla de carga entera una sola vez por proceso.
bool cargadoUnaVez();
// Un campo de /proc/self/status en KiB ("VmRSS:", "VmHWM:"); -1 si no se puede leer.
long kibDeStatus(const char* clave);
