#pragma once

#include "platform/Resultado.h"
#include "printing/PaqueteDocx.h"

#include <QString>
#include <pugixml.hpp>

// Estado interno de un DocumentoWord, compartido con las asas de tablas, celdas y puntos de
// inserción (que guardan un puntero a él: no se mueve aunque se mueva el documento).
struct NucleoDocumento {
    PaqueteDocx paquete;
    pugi::xml_document documento;
    pugi::xml_document tipos;       // [Content_Types].xml
    pugi::xml_document relaciones;  // word/_rels/document.xml.rels
    QString ruta;
    int siguienteImagen = 1;
    int siguienteDibujo = 1;

    pugi::xml_node cuerpo() const { return documento.document_element().child("w:body"); }
    // Mete la imagen en el paquete (como PNG sin pérdida si se puede leer) y devuelve el
    // identificador de su relación.
    ResultadoDe<QString> anadirImagen(const QString& ruta);
    // Run con la imagen en línea del tamaño dado.
    pugi::xml_node runImagen(pugi::xml_node padre, const QString& idRelacion, int anchoTwips,
                             int altoTwips);
    // Ancho útil de la página (twips), de la última sección.
    int anchoUtil() const;
};

// Las medidas que vienen de una plantilla (anchos, márgenes, página) se leen acotadas a lo que
// cabe en una página (22 pulgadas, en twips), y las columnas que ocupa una celda a las que puede
// tener una tabla: ninguna cuenta hecha con ellas se desborda, venga lo que venga en el fichero.
constexpr int kMedidaMaxima = 31680;
constexpr int kColumnasMaximas = 63;
inline int medida(const pugi::xml_attribute& a, int porDefecto) {
    const long long v = a.as_llong(porDefecto);
    return int(v < -kMedidaMaxima ? -kMedidaMaxima : v > kMedidaMaxima ? kMedidaMaxima : v);
}

// Nodo pugixml a partir del puntero opaco que guardan las asas.
inline pugi::xml_node nodoDe(void* p) {
    return pugi::xml_node(static_cast<pugi::xml_node_struct*>(p));
}
inline void* opaco(const pugi::xml_node& n) {
    return n.internal_object();
}
