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
    // Como una lectura: cada exportación en su carpeta, nunca mezclada con otra.
    const auto salida = carpetaDeSalida(o.salida);
    if (!salida) return {2, {}, salida.mensaje()};
    const auto escritos = escribirResultados(exportado, salida.valor());
    if (!escritos) return {2, {}, escritos.mensaje()};
    if (!escritos.valor().fallos.isEmpty())
        return {2, {}, escritos.valor().fallos.join(QLatin1Char('\n'))};
    const qsizetype completas =
        std::count_if(exportado.solicitudes.begin(), exportado.solicitudes.end(),
                      [](const SolicitudLeida& s) { return s.completa(); });
    return {informe.valor().todoCorrecto() ? 0 : 1,
            paraTerminal(QStringLiteral("Exportadas a %1: %2 en JSON (%3) y %4.")
                             .arg(salida.valor(),
                                  cuantas(exportado.solicitudes.size(), "solicitud", "solicitudes"),
                                  cuantas(completas, "completa", "completas"),
                                  QString::fromLatin1(kNombreCsv))) +
                QLatin1Char('\n'),
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
