#pragma once

#include "lectura/ComprobacionLote.h"
#include "platform/Resultado.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// Lo que deja la lectura de un lote: un JSON por solicitud, un CSV con una línea por plaza pedida
// de todo el lote y un resumen para el terminal.

// Nombre del JSON de una solicitud: DNI, cuerpo y grupo, fecha y hora de la impresión
// ("12345678Z_00123A_20261207_094107.json"); lo que no es letra, cifra o "-" pasa a "_". Un nombre
// largo (un DNI de cientos de caracteres) se corta y lleva un resumen corto de lo que se cortó.
QString nombreJson(const SolicitudLeida& s);

// El JSON de una solicitud: clave, momento de la impresión, si está completa y sus problemas,
// los datos del solicitante (las parejas "&" leídas como la letra, fechas AAAA-MM-DD, sí o no
// como verdadero o falso), las dos listas y, por cada página, dónde se leyó y su texto tal cual.
QByteArray jsonSolicitud(const SolicitudLeida& s);

// El CSV de las plazas (UTF-8, separado por ";"): DNI, lista, orden, código, y además cuerpo,
// grupo, momento de la impresión y si la solicitud está completa. Se abre bien en una hoja de
// cálculo: una celda leída que empieza como una fórmula ("=", "+", "-", "@", tabulador o retorno)
// lleva delante un apóstrofo y no se calcula, el cuerpo y el código van como texto (sin perder sus
// ceros a la izquierda) y el momento como AAAA-MM-DD HH:MM:SS, que ninguna confunde.
QByteArray csvPlazas(const QVector<SolicitudLeida>& solicitudes);
inline constexpr char kNombreCsv[] = "plazas.csv";

// Crea la carpeta de los resultados si no existe. Falla, diciendo por qué, si no se puede o si ya
// tiene resultados de otra lectura: los de dos lecturas nunca se mezclan.
Resultado prepararCarpetaSalida(const QString& carpeta);

// Crea una carpeta nueva para los resultados de esta lectura dentro de `dentro`:
// "lectura-AAAAMMDD-HHMMSS" (con "-2", "-3"... si ya existe) y devuelve su ruta.
ResultadoDe<QString> carpetaSalidaNueva(const QString& dentro = QStringLiteral("."));

// La carpeta de esta lectura: la pedida, preparada, o si no se pide ninguna una nueva.
ResultadoDe<QString> carpetaDeSalida(const QString& pedida);

struct ResultadosEscritos {
    QStringList escritos;  // las rutas escritas
    QStringList fallos;    // lo que no se ha podido escribir, con el porqué
};

// Escribe los JSON y el CSV en la carpeta (la crea si hace falta). Cada fichero se escribe aparte
// y solo entero se pone en su sitio: nunca queda uno a medias. Lo que no se puede escribir de una
// solicitud no impide escribir lo de las demás. Falla si la carpeta no vale.
ResultadoDe<ResultadosEscritos> escribirResultados(const InformeLote& informe,
                                                   const QString& carpeta);

// El texto con los caracteres de control a la vista ("\x1B", "\n"): lo que viene de un código o
// de un nombre de fichero nunca manda nada al terminal.
QString paraTerminal(const QString& texto);

// "1 página", "3 páginas".
QString cuantas(qsizetype n, const char* una, const char* varias);

// Resumen del lote para el terminal: una línea por solicitud con sus problemas debajo, los
// problemas del lote, las páginas sin código y los avisos. Lo leído va con paraTerminal.
QString resumenLote(const InformeLote& informe);
