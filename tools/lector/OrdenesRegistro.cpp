#include "OrdenesRegistro.h"

#include "registro/EstadoRegistro.h"
#include "lectura/SalidaLectura.h"

#include <QFileInfo>

namespace {

ResultadoDe<InformeRegistro> leerRegistro(const OpcionesLector& o) {
    const auto registro = Registro::abrir(o.registro, Registro::Apertura::SoloSiExiste);
    if (!registro) return registro.estado();
    const auto paginas = registro.valor()->paginas();
    if (!paginas) return paginas.estado();
    return comprobarRegistro(paginas.valor());
}

}  // namespace

SalidaOrden ordenEstado(const OpcionesLector& o) {
    const auto informe = leerRegistro(o);
    if (!informe) return {2, {}, informe.mensaje()};
    return {informe.valor().todoCorrecto() ? 0 : 1, resumenRegistro(informe.valor()), {}};
}

SalidaOrden ordenExportar(const OpcionesLector& o) {
    const auto informe = leerRegistro(o);
    if (!informe) return {2, {}, informe.mensaje()};
    InformeLote exportado;
    exportado.solicitudes = informe.valor().paraExportar();
    const auto escritos = escribirResultados(exportado, o.salida);
    if (!escritos) return {2, {}, escritos.mensaje()};
    const qsizetype completas =
        std::count_if(exportado.solicitudes.begin(), exportado.solicitudes.end(),
                      [](const SolicitudLeida& s) { return s.completa(); });
    return {informe.valor().todoCorrecto() ? 0 : 1,
            QStringLiteral("Exportadas a %1: %2 en JSON (%3) y %4.\n")
                .arg(o.salida, cuantas(exportado.solicitudes.size(), "solicitud", "solicitudes"),
                     cuantas(completas, "completa", "completas"), QString::fromLatin1(kNombreCsv)),
            {}};
}

ResultadoDe<QString> anotarLote(Registro& registro, QVector<PaginaLeida> paginas) {
    for (PaginaLeida& p : paginas)
        p.origen.fichero = QFileInfo(p.origen.fichero).absoluteFilePath();
    const auto anotacion = registro.anotar(paginas, QDateTime::currentDateTime());
    if (!anotacion) return anotacion.estado();
    return QStringLiteral("Anotado en el registro %1: %2 nuevos, %3 ya estaban.\n")
        .arg(registro.destino().descripcion,
             cuantas(anotacion.valor().codigosNuevos, "código", "códigos"))
        .arg(anotacion.valor().codigosYaEstaban);
}
