// El lector de documentos: un paquete cualquiera como plantilla o como solicitud guardada.
#include "../ObjetivoFuzz.h"
#include "printing/DocumentoWord.h"
#include "printing/PaqueteDocx.h"
#include "storage/CamposSolicitud.h"

OBJETIVO_FUZZ(fuzzDocx) {
    fuzz::callar();
    const QByteArray zip = fuzz::bytes(datos, tamano);
    if (!PaqueteDocx::desdeBytes(zip, QStringLiteral("fuzz.doc"))) return 0;
    const QString ruta = fuzz::escribir(QStringLiteral("fuzz.doc"), datos, tamano);
    if (ruta.isEmpty()) return 0;
    LeerCamposSolicitud(ruta, {QStringLiteral("NOMBRE")});
    auto doc = DocumentoWord::nuevoDesdePlantilla(ruta);
    if (!doc) return 0;
    doc.valor().textoPlano();
    for (int i = 1; i <= doc.valor().numeroTablas() && i <= 20; ++i) {
        auto t = doc.valor().tabla(i);
        if (!t) continue;
        t.valor().filas();
        t.valor().anadirFila();
        t.valor().anchoCelda(1, 1);
    }
    doc.valor().guardarComo(fuzz::carpeta().filePath(QStringLiteral("copia.doc")));
    return 0;
}
