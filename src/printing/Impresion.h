#pragma once

#include "platform/Resultado.h"
#include "printing/LecturaCodigos.h"
#include "printing/ProcesosExternos.h"

#include <QString>
#include <QVector>
#include <functional>

// Convierte el documento (DOCX, sea cual sea su extensión) a PDF con LibreOffice sin interfaz,
// con un perfil propio para esta conversión y sin rebajar la resolución de las imágenes. El PDF se
// escribe de una vez en `rutaPdf` (o no se escribe).
Resultado convertirAPdf(const QString& rutaDocumento, const QString& rutaPdf,
                        const AvanceTrabajo* avance = nullptr);

// PDF que acompaña a un documento: mismo nombre con ".pdf".
QString rutaPdfDe(const QString& rutaDocumento);

struct ResultadoImpresion {
    bool enviada = false;  // en la cola de la impresora por defecto
    QString rutaPdf;       // si no se envió, el PDF que se queda junto al documento
    QString causa;         // si no se envió, por qué, en castellano
    QString detalle;       // lo que dijo la cola al no aceptarlo, tal cual (para la traza)
    // `lp` arrancó y no terminó por sí mismo (colgado y parado, o matado desde fuera): puede que
    // la cola ya tenga la solicitud aunque no lo haya dicho.
    bool quizaEnCola = false;
};

// Fases de una impresión, en AvanceTrabajo::fase.
enum FaseImpresion { Convirtiendo = 0, Comprobando = 1, Enviando = 2 };

// Convierte el documento, comprueba que cada código esperado se lee exactamente en su página de un
// ráster limpio del PDF a 200 ppp (no es un escaneo del papel) y lo manda a la impresora por
// defecto. Sin impresora el PDF se queda junto
// al documento y se devuelve su ruta. Si un código no se lee no se imprime nada y el fallo lo
// explica. Con `avance`, dice la fase y las páginas comprobadas, y se puede cancelar hasta que se
// entrega a la cola (Errores::Cancelado): entonces no se manda nada y no queda ningún PDF.
ResultadoDe<ResultadoImpresion> imprimirDocumento(const QString& rutaDocumento,
                                                  const QVector<CodigoEsperado>& esperados,
                                                  AvanceTrabajo* avance = nullptr);

// Lo que se hace justo antes de la última oportunidad de cancelar, con todas las páginas ya
// comprobadas y nada mandado aún a la cola. Las pruebas lo usan para cancelar en ese momento;
// vacío, nada.
void ponerGanchoAntesDeEnviar(std::function<void()> gancho);

// La causa, en castellano, de que la cola de impresión no aceptara un trabajo, por lo que dijo
// `lp` (que habla en inglés: "lp: Error - No default destination.").
QString causaSinImpresora(const QString& dicho);

// Añade a la traza (`rutaTraza`, "traza.txt") lo que dijo la cola al no aceptar la solicitud, con
// la fecha y la hora: quien tenga que arreglar la impresora lo lee allí, con las palabras de la
// herramienta. La traza queda entera o como estaba.
Resultado anotarSinImpresora(const ResultadoImpresion& r, const QString& rutaTraza);

// Texto para el usuario cuando no hubo impresora: la causa en castellano, dónde ha quedado el
// PDF y, si se anotó (`rutaTraza` no vacía), dónde está lo que dijo la cola.
QString mensajeSinImpresora(const ResultadoImpresion& r, const QString& rutaTraza = {});
