// Los textos de los códigos de barras que lee movilant-lector: cada línea es el código de una
// página de un lote, que se junta en solicitudes, se comprueba y se escribe en JSON y CSV.
#include "../ObjetivoFuzz.h"
#include "lectura/ComprobacionLote.h"
#include "lectura/SalidaLectura.h"

OBJETIVO_FUZZ(fuzzCodigos) {
    fuzz::callar();
    QVector<PaginaLeida> paginas;
    int numero = 0;
    for (const QByteArray& linea : fuzz::bytes(datos, tamano).split('\n')) {
        PaginaLeida p;
        p.origen = {QStringLiteral("lote.pdf"), ++numero};
        p.estado = EstadoPagina::ConCodigos;
        p.codigos = {linea};
        paginas.append(p);
    }
    const InformeLote informe = comprobarLote(paginas);
    for (const SolicitudLeida& s : informe.solicitudes) {
        jsonSolicitud(s);
        nombreJson(s);
    }
    csvPlazas(informe.solicitudes);
    resumenLote(informe);
    return 0;
}
