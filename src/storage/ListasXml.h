#pragma once

#include "platform/Resultado.h"
#include "platform/Tabla.h"

#include <QString>

// Fichero de listas de una solicitud: las plazas Vacantes y Resultas, los cursos y los documentos,
// en XML ISO-8859-1 junto al documento de la solicitud (mismo nombre acabado en ".xml").

inline const QString kFicheroTraza = QStringLiteral("traza.txt");

// Texto del fichero: la declaración y <Plazas> con sus cuatro listas en su orden, cada una con
// sus filas en el orden en que la tabla las enseña. En el nombre y el centro de un curso y en el
// nombre de un documento cada "&" se escribe como un blanco. Lo demás va escapado como pide XML
// (así cualquier texto escrito se lee igual), y los caracteres de control, que XML no admite ni
// como referencia, se quitan.
QString TextoListasXML(const PTabla& vacantes, const PTabla& resultas, const PTabla& cursos,
                       const PTabla& documentos);

// Escribe el fichero de listas de la solicitud `nombreDocumento` (el ".doc") en la carpeta, de
// una vez: un fallo deja el anterior entero. Si el texto no fuera XML válido, lo deja en
// "traza.txt" de la carpeta de datos del programa y falla con "Formato erróneo de XML"; si no se
// puede escribir, falla con un mensaje que nombra el fichero y también deja el texto en
// "traza.txt".
Resultado GuardarListasXML(const QString& nombreDocumento, const QString& carpeta,
                           const PTabla& vacantes, const PTabla& resultas, const PTabla& cursos,
                           const PTabla& documentos);
// Lo mismo en la ruta dada (la de un fichero aparte que luego se pone en su sitio), con el sello
// del guardado (el mismo que el documento) como atributo "sello" de <Plazas>.
Resultado GuardarListasXMLEn(const QString& ruta, const PTabla& vacantes, const PTabla& resultas,
                             const PTabla& cursos, const PTabla& documentos,
                             const QString& sello = QString());

// NoEsDeListas: XML bien formado, pero su raíz no es <Plazas>.
enum class LecturaListas { Leidas, NoExiste, MalFormado, NoEsDeListas };

// Añade a las tablas las filas del fichero de listas, en el orden del fichero. Un fichero que no
// existe, no es XML o no es un fichero de listas no añade nada (y lo dice el resultado); uno que no
// es un fichero normal (un FIFO, un dispositivo) o es desmesurado no se lee y falla diciéndolo. Un
// registro al que le falta el elemento de una columna, con un valor que la columna no admite o con
// un orden o identificador fuera de 32 bits no se añade, y el fallo nombra la lista, el registro y
// la causa; todos los demás registros, de esa lista y de las otras, se añaden igual. En `sello`
// deja el sello del guardado (vacío si el fichero no lo lleva).
ResultadoDe<LecturaListas> LeerListasXML(const QString& carpeta, const QString& nombreFichero,
                                         const PTabla& resultas, const PTabla& vacantes,
                                         const PTabla& cursos, const PTabla& documentos,
                                         QString* sello = nullptr);
