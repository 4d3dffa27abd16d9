#include "OrdenesRegistro.h"

#include "lectura/SalidaLectura.h"
#include "registro/EstadoRegistro.h"

#include <QFileInfo>
#include <QSysInfo>

namespace {

// «estado» y «exportar» solo consultan: el registro se abre sin escribir en él.
ResultadoDe<std::pair<InformeRegistro, QString>> leerRegistro(const OpcionesLector& o) {
    const auto registro = Registro::abrir(o.registro, Registro::Apertura::SoloLectura);
    if (!registro) return registro.estado();
    const auto contenido = registro.valor()->contenido();
    if (!contenido) return contenido.estado();
    return std::pair{comprobarRegistro(contenido.valor()), registro.valor()->destino().descripcion};
}

}  // namespace

SalidaOrden ordenEstado(const OpcionesLector& o) {
    const auto informe = leerRegistro(o);
    if (!informe) return {2, {}, informe.mensaje()};
    const auto& [leido, registro] = informe.valor();
    return {leido.todoCorrecto() ? 0 : 1,
            resumenRegistro(leido) + hojasSinResolver(leido, registro),
            {}};
}

SalidaOrden ordenExportar(const OpcionesLector& o) {
    const auto informe = leerRegistro(o);
    if (!informe) return {2, {}, informe.mensaje()};
    InformeLote exportado;
    exportado.solicitudes = informe.valor().first.paraExportar();
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
    return {informe.valor().first.todoCorrecto() ? 0 : 1,
            paraTerminal(QStringLiteral("Exportadas a %1: %2 en JSON (%3) y %4.")
                             .arg(salida.valor(),
                                  cuantas(exportado.solicitudes.size(), "solicitud", "solicitudes"),
                                  cuantas(completas, "completa", "completas"),
                                  QString::fromLatin1(kNombreCsv))) +
                QLatin1Char('\n'),
            {}};
}

SalidaOrden ordenResolver(const OpcionesLector& o) {
    // Resolver no crea un registro vacío por una errata en su nombre.
    if (const auto d = interpretarDestinoRegistro(o.registro);
        d && !d.valor().esPostgresql() && !QFileInfo::exists(d.valor().base))
        return {2, {}, QStringLiteral("No existe el registro «%1».").arg(d.valor().descripcion)};
    const auto registro = Registro::abrir(o.registro);
    if (!registro) return {2, {}, registro.mensaje()};
    auto ruta = [](const QString& f) { return QFileInfo(f).absoluteFilePath(); };
    const auto hecho = registro.valor()->resolver(
        ruta(o.entradas[0]), o.pagina, o.huella, o.descartada ? QString() : ruta(o.por),
        QDateTime::currentDateTime(), QSysInfo::machineHostName());
    if (!hecho) return {2, {}, hecho.mensaje()};
    return {0, paraTerminal(hecho.valor()), {}};
}

QHash<QString, QString> huellasDeFicheros(const QStringList& ficheros) {
    QHash<QString, QString> huellas;
    for (const QString& f : ficheros)
        if (const QString h = huellaFichero(f); !h.isEmpty())
            huellas.insert(QFileInfo(f).absoluteFilePath(), h);
    return huellas;
}

ResultadoDe<QString> anotarLote(Registro& registro, QVector<PaginaLeida> paginas,
                                const QHash<QString, QString>& huellas) {
    for (PaginaLeida& p : paginas)
        p.origen.fichero = QFileInfo(p.origen.fichero).absoluteFilePath();
    const auto anotacion = registro.anotar(paginas, huellas, QDateTime::currentDateTime());
    if (!anotacion) return anotacion.estado();
    const qsizetype nuevos = anotacion.valor().codigosNuevos;
    const qsizetype yaEstaban = anotacion.valor().codigosYaEstaban;
    return QStringLiteral("Anotado en el registro %1: %2 %3, %4 %5.\n")
        .arg(registro.destino().descripcion, cuantas(nuevos, "código", "códigos"),
             nuevos == 1 ? QStringLiteral("nuevo") : QStringLiteral("nuevos"),
             QString::number(yaEstaban),
             yaEstaban == 1 ? QStringLiteral("ya estaba") : QStringLiteral("ya estaban"));
}
