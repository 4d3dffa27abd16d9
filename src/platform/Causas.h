#pragma once

#include <QString>

// Por qué no se puede leer el fichero, en castellano (los textos del sistema vienen en inglés).
QString causaLectura(const QString& ruta);

// Por qué no arranca un programa externo, en castellano.
QString causaArranque(const QString& programa);
