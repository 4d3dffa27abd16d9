// El fichero de listas de una solicitud guardada, leído en las cuatro tablas.
#include "../ObjetivoFuzz.h"
#include "catalogue/Esquemas.h"
#include "storage/ListasXml.h"

#include <QFile>

OBJETIVO_FUZZ(fuzzListas) {
    fuzz::callar();
    const QString carpeta = fuzz::carpeta().path() + QStringLiteral("/");
    QFile f(carpeta + QStringLiteral("solicitud.xml"));
    if (!f.open(QIODevice::WriteOnly)) return 0;
    f.write(fuzz::bytes(datos, tamano));
    f.close();
    LeerListasXML(carpeta, QStringLiteral("solicitud.xml"), CrearTablaPlazasSolicitadas(),
                  CrearTablaPlazasSolicitadas(), CrearTablaCursos(), CrearTablaDocumentos());
    return 0;
}
