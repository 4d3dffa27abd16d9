#pragma once

#include "platform/Resultado.h"

#include <QString>

// Tamaños de los códigos en el documento (twips): ancho y alto pedidos; el alto real del hueco
// sale de multiplicarlo por 1,3 (lo hace GenerarCodigoBarras).
namespace TamanoCodigo {
constexpr int AnchoSolicitante = 6000;
constexpr int AltoSolicitante = 2000;
constexpr int AnchoPagina = 6000;
constexpr int AltoPagina = 900;
}  // namespace TamanoCodigo

// Cambia los caracteres que la oficina de destino no recibe bien por sus sustitutos: "&" queda en
// blanco y las vocales acentuadas y la eñe pasan a "&" + letra, de modo que tras la sustitución
// un "&" solo aparece como primer carácter de esas parejas.
QString sustituirCaracteresCodigo(const QString& texto);

// Bytes Windows-1252 que lleva el código de ese texto. Lo que no existe en Windows-1252 llega
// como "?" (así lo entregan los campos del formulario), y la sustitución lo deja en blanco.
QByteArray bytesCodigo(const QString& texto);

// Clave del solicitante: DNI en 9 (blancos a la derecha), cuerpo en 5 (ceros a la izquierda) y
// grupo en 1 (blanco a la derecha). No se corta lo que sobra.
QString ClaveSolicitante(const QString& dni, const QString& valorCuerpo, const QString& valorGrupo);

// Prefijo común de los códigos de una impresión: clave + "dd/MM/yyyy" + "HH:mm:ss".
QString prefijoCodigoBarras(const QString& clave, const QString& fecha, const QString& hora);

// Entrada de una plaza en el código de su página: orden en 4 con ceros, código en 5 con blancos.
QString entradaPlaza(const QString& orden, const QString& codConvocatoria);

// Texto del código de la página del solicitante.
QString textoCodigoSolicitante(const QString& prefijo, const QString& carga);

// Texto del código de una página de plazas ("V" o "R"), con el número de página en 3 con ceros.
QString textoCodigoPagina(const QString& prefijo, const QString& codigoLista, int pagina,
                          const QString& entradas);

// Ruta base (sin ".bmp") del bitmap de un código hecho en este momento.
QString rutaBaseCodigoBarras();

// Escribe el bitmap PDF417 del texto (ya sustituido aquí) para un hueco de `ancho` twips por
// `alto` × 1,3 twips; `alto` sale multiplicado y redondeado. Devuelve la ruta base: el fichero es
// esa ruta + ".bmp". El bitmap tiene la proporción del hueco y debe insertarse a ese tamaño exacto.
ResultadoDe<QString> GenerarCodigoBarras(const QString& texto, int ancho, int& alto);
