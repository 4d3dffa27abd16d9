#pragma once

#include "platform/Resultado.h"

#include <QString>

// Generador determinista de los dieciséis catálogos cifrados, con nombres inventados: provincias,
// localidades, áreas, zonas e instituciones que casan entre sí, cuerpos de varios grupos (algunos
// del grupo "X"), plazas ligadas a cuerpos y grupos, y listas de plazas. Sirve para la
// instalación de ejemplo, las pruebas y las medidas.
struct TamanoCatalogos {
    int plazas = 1500;  // plazas de cada catálogo (F0009 y F0010)
    int cuerpos = 40;
    // En las listas, de cada mil códigos cuántos no están en su catálogo (0: ninguno).
    int listasHuerfanasPorMil = 0;
};

TamanoCatalogos tamanoPequeno();
TamanoCatalogos tamanoGrande();  // 20.000 plazas por catálogo y 500 cuerpos
// "pequeno", "grande" o un número de plazas por catálogo (entre 10 y 60.000).
ResultadoDe<TamanoCatalogos> interpretarTamano(const QString& texto);

// Escribe F0001.enc ... F0016.enc en la carpeta (la crea si hace falta). Cada fichero se escribe
// entero o no se toca.
Resultado generarCatalogos(const QString& carpeta, const TamanoCatalogos& tamano);
