#pragma once

#include "platform/Resultado.h"

#include <QString>
#include <pugixml.hpp>

// Documento XML con consultas cuyas posiciones entre corchetes cuentan desde 0 ("Tab[0]" es el
// primer Tab), como las escribe el resto del programa. La traducción a XPath (que cuenta desde
// 1) se hace aquí y solo aquí.
inline constexpr qint64 kMaxFicheroXml = 64 * 1024 * 1024;

class DocumentoXml {
public:
    // Carga un fichero. Falso si no existe o no está bien formado; el documento queda vacío.
    // Solo lee ficheros normales de hasta kMaxFicheroXml bytes.
    bool cargarFichero(const QString& ruta);
    // Analiza los bytes de un fichero (con su declaración de codificación).
    bool cargarBytes(const QByteArray& datos);
    // Analiza un texto. Falso si no está bien formado; el documento queda vacío.
    bool cargarTexto(const QString& texto);
    // Guarda en ISO-8859-1 de forma atómica (escribir y renombrar): un fallo deja el fichero
    // anterior entero. Los caracteres que no caben en Latin-1 van como referencias numéricas en
    // los textos y en los valores de los atributos; en un nombre, un comentario o un CDATA no
    // pueden ir, y entonces el guardado falla con un mensaje. Lleva una sola declaración.
    Resultado guardar(const QString& ruta) const;

    pugi::xml_node seleccionarNodo(const QString& consulta) const;
    pugi::xpath_node_set seleccionarNodos(const QString& consulta) const;
    // Texto del nodo (o atributo, con "@Nombre") de la consulta; vacío si no existe.
    QString texto(const QString& consulta) const;
    // Verdadero si la consulta encuentra un elemento o un atributo.
    bool existe(const QString& consulta) const;
    bool vacio() const { return !m_doc.document_element(); }

    pugi::xml_document& doc() { return m_doc; }
    const pugi::xml_document& doc() const { return m_doc; }

    // "//Usuarios/Usuario[3]/DNI" -> "//Usuarios/Usuario[4]/DNI"
    static QString aXPath(const QString& consulta);
    static QString textoNodo(const pugi::xml_node& nodo);

private:
    pugi::xml_document m_doc;
};
