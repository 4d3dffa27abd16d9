#pragma once

#include <QString>

// Textos de prueba de los códigos, parecidos a los de una solicitud real.
namespace DatosCodigos {

// Prefijo de 33 caracteres de una impresión fija.
QString prefijo();

// Carga del solicitante de unos 700 caracteres, con tildes, eñes, "&", "º" y comillas, y con cada
// campo en su forma (fechas, sí o no, el DNI, el cuerpo y el grupo del prefijo): la que el
// programa imprime y el lector da por buena.
QString cargaSolicitante();

// Entradas de las plazas `desde`..`hasta` (órdenes consecutivos) con códigos de 5 cifras; con
// `huecos` algunos códigos tienen menos cifras y se rellenan con blancos.
QString entradas(int desde, int hasta, bool huecos = false);

}  // namespace DatosCodigos
