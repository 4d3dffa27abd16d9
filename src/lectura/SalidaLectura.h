#pragma once

#include "lectura/ComprobacionLote.h"
#include "platform/Resultado.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// Lo que deja la lectura de un lote: un JSON por solicitud, un CSV con una línea por plaza pedida
// de todo el lote y un resumen para el terminal.

// Nombre del JSON de una solicitud: DNI, cuerpo y grupo, fecha y hora de la impresión
// ("12345678Z_00123A_20261207_094107.json"); lo que no es letra, cifra o "-" pasa a "_".
QString nombreJson(const SolicitudLeida& s);

// El JSON de una solicitud: clave, momento de la impresión, si está completa y sus problemas,
// los datos del solicitante (las parejas "&" leídas como la letra, fechas AAAA-MM-DD, sí o no
// como verdadero o falso), las dos listas y, por cada página, dónde se leyó y su texto tal cual.
QByteArray jsonSolicitud(const SolicitudLeida& s);

// El CSV de las plazas (UTF-8, separado por ";"): DNI, lista, orden, código, y además cuerpo,
// grupo, momento de la impresión y si la solicitud está completa.
QByteArray csvPlazas(const QVector<SolicitudLeida>& solicitudes);
inline constexpr char kNombreCsv[] = "plazas.csv";

// Crea la carpeta de los resultados si no existe; el fallo dice por qué no se puede.
Resultado prepararCarpetaSalida(const QString& carpeta);

// Escribe los JSON y el CSV en la carpeta (la crea si hace falta). Todo se escribe aparte y solo
// cuando todo está escrito se pone en su sitio: si algo falla no queda ningún fichero nuevo a
// medias. Devuelve las rutas escritas.
ResultadoDe<QStringList> escribirResultados(const InformeLote& informe, const QString& carpeta);

// "1 página", "3 páginas".
QString cuantas(qsizetype n, const char* una, const char* varias);

// Resumen del lote para el terminal: una línea por solicitud con sus problemas debajo, los
// problemas del lote y las páginas en blanco.
QString resumenLote(const InformeLote& informe);
