#pragma once

#include <QByteArray>
#include <QString>
#include <pugixml.hpp>

// Piezas comunes para manipular WordprocessingML con pugixml. Se asume el prefijo "w:" de
// siempre para el espacio de nombres principal.
namespace xmlword {

QString texto(const pugi::xml_node& nodo);  // valor de texto de un w:t

// El documento entero en UTF-8, sin sangrías (como lo guarda Word).
QByteArray serializar(const pugi::xml_document& doc);

// Atributo w:val (o el que se pida) como texto.
QString val(const pugi::xml_node& nodo, const char* atributo = "w:val");

// Hijo con ese nombre; si no está, lo crea en el lugar que le toca según el orden del esquema
// de su padre (Word rechaza los documentos con las propiedades desordenadas).
pugi::xml_node asegurarHijo(pugi::xml_node padre, const char* nombre);
// Igual que asegurarHijo, y además fija w:val.
pugi::xml_node ponerVal(pugi::xml_node padre, const char* nombre, const QString& valor);
void quitarHijos(pugi::xml_node padre, const char* nombre);

// Propiedades de párrafo y de texto de un párrafo (creándolas si faltan).
pugi::xml_node pPr(pugi::xml_node p);
pugi::xml_node rPr(pugi::xml_node r);

// Crea un w:r con el texto (los "\n" son saltos de línea w:br, los "\t" tabuladores) y una copia
// de las propiedades dadas (puede ser nula), detrás de `anterior` o al final de `padre`.
pugi::xml_node nuevoRun(pugi::xml_node padre, pugi::xml_node anterior, pugi::xml_node propiedades,
                        const QString& texto);

// Texto de un párrafo (w:t, w:tab como tabulador y w:br como "\n").
QString textoParrafo(const pugi::xml_node& p);

// Primer descendiente con ese nombre y ese w:name (sin distinguir mayúsculas).
pugi::xml_node buscarPorNombre(const pugi::xml_node& raiz, const char* elemento,
                               const QString& nombre);

const char* valorAlineacion(int alineacion);

}  // namespace xmlword
