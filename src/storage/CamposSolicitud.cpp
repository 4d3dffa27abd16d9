#include "storage/CamposSolicitud.h"

#include "printing/DocumentoWord.h"

ResultadoDe<CamposSolicitud> LeerCamposSolicitud(const QString& ruta,
                                                 const QStringList& esperados) {
    // Un documento nuevo basado en el guardado: el fichero solo se lee.
    auto doc = DocumentoWord::nuevoDesdePlantilla(ruta);
    if (!doc) return doc.estado();
    CamposSolicitud campos;
    campos.sello = doc.valor().sello();
    bool alguno = false;
    for (const QString& nombre : doc.valor().nombresCampos()) {
        if (const auto marcada = doc.valor().casilla(nombre))
            campos.casillas.insert(nombre, marcada.valor());
        else if (const auto texto = doc.valor().campoTexto(nombre))
            campos.textos.insert(nombre, texto.valor());
        alguno = alguno || esperados.contains(nombre);
    }
    if (!alguno)
        return Resultado::fallo(
            QStringLiteral("no es una solicitud guardada por este programa: no tiene sus campos"),
            Errores::ErrorEntradaSalida);
    return campos;
}
