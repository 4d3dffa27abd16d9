#pragma once

#include "lectura/ComprobacionLote.h"
#include "lectura/LecturaPaginas.h"
#include "platform/Resultado.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QVector>
#include <utility>

// El informe de una lectura o del registro de la oficina para mirarlo, no para leerlo: quien
// tiene que encontrar en un montón de hojas la que no se ha leído la reconoce por su imagen. Es
// una página HTML sola (su estilo dentro, sin scripts ni nada de la red), en castellano, que se
// abre en cualquier navegador y se imprime en A4; las imágenes van a su lado, en `informe/`.
//
// Arriba, los recuentos; después las solicitudes (las incompletas y con problemas primero) con lo
// que les falta o tienen mal; después cada hoja que tiene que ver una persona, con su imagen, su
// fichero y su página y qué hacer con ella; y lo que deberían llevar las páginas que faltan.
// Todo lo que viene de un código o de un nombre de fichero se escribe escapado: un código
// falsificado no mete marcas ni scripts en la página.

inline constexpr char kNombreInforme[] = "informe.html";
inline constexpr char kCarpetaImagenes[] = "informe";

// Una hoja que tiene que ver una persona.
struct HojaParaVer {
    OrigenPagina origen;
    QString que;            // qué le pasa
    QString hacer;          // "volver a escanear", "sobra"...
    QByteArray imagen;      // la hoja reducida (JPEG); vacía si no la hay
    bool seHaLeido = true;  // falso si no se ha podido abrir: nunca tiene imagen
};

// Las hojas del lote que tiene que ver una persona, en su orden: las de un código ilegible, en
// blanco, que no se pueden leer, ajenas (su código no es de una solicitud) y repetidas; y, si
// `otrasImpresiones`, las de una impresión que no es la última de su solicitante. Las imágenes,
// las de las páginas (PaginaLeida::miniatura).
QVector<HojaParaVer> hojasParaVer(const QVector<PaginaLeida>& paginas, const InformeLote& lote,
                                  bool otrasImpresiones);

struct InformeHtml {
    QByteArray html;
    QVector<std::pair<QString, QByteArray>> imagenes;  // nombre en `informe/` y bytes
};

// El informe de la lectura de un lote: `carpeta` es la de sus resultados.
InformeHtml informeDeLote(const QVector<PaginaLeida>& paginas, const InformeLote& lote,
                          const QString& carpeta, const QDateTime& momento);

// El informe de todo el registro: de cada solicitante su última impresión (`ultimas`, en
// lote.solicitudes) y, plegadas debajo, las anteriores. El registro no guarda imágenes: cada hoja
// dice dónde está.
InformeHtml informeDeRegistro(const QVector<PaginaLeida>& paginas, const InformeLote& lote,
                              const QVector<qsizetype>& ultimas, const QString& registro,
                              const QDateTime& momento);

// Escribe las imágenes en `carpeta`/informe/ y después el informe en `carpeta`/informe.html, cada
// fichero entero o nada (se escribe aparte y se pone en su sitio). Crea las carpetas si faltan.
// Devuelve la ruta del informe.
ResultadoDe<QString> escribirInforme(const InformeHtml& informe, const QString& carpeta);
