// El fichero de listas de una solicitud guardada, leído en las cuatro tablas.
#include "../ObjetivoFuzz.h"
#include "catalogue/Esquemas.h"
#include "storage/ListasXml.h"

OBJETIVO_FUZZ(fuzzListas) {
    fuzz::callar();
    if (fuzz::escribir(QStringLiteral("solicitud.xml"), datos, tamano).isEmpty()) return 0;
    LeerListasXML(fuzz::carpeta().path() + QStringLiteral("/"), QStringLiteral("solicitud.xml"),
                  CrearTablaPlazasSolicitadas(), CrearTablaPlazasSolicitadas(), CrearTablaCursos(),
                  CrearTablaDocumentos());
    return 0;
}
