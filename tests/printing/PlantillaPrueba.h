#pragma once

#include <QString>
#include <ostream>

// Los textos se muestran legibles en los fallos de las pruebas.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

// Plantillas mínimas para probar el motor de documentos sin depender de las del programa.
namespace docxprueba {

// Escribe en `ruta` una plantilla cuyo cuerpo es `cuerpo` (WordprocessingML sin w:body).
void escribirPlantilla(const QString& ruta, const QString& cuerpo);

// Piezas de cuerpo habituales.
QString parrafo(const QString& contenido);
QString campoTexto(const QString& nombre, const QString& resultado);
QString casilla(const QString& nombre, bool porDefecto);
QString marcador(const QString& nombre, int id, const QString& texto);
// Tabla de una fila con los textos de cabecera, anchos en twips y una marca de párrafo sin negrita
// aunque el texto de la cabecera vaya en negrita.
QString tabla(const QStringList& cabecera, const QList<int>& anchos, int alto,
              const QString& marcadorPrimeraCelda = {});
// Un mapa de bits de 8 x 4 píxeles.
void escribirImagen(const QString& ruta);

}  // namespace docxprueba
