#include "PlantillasReales.h"
#include "../apoyo/RutasCompilacion.h"

#include "printing/ProcesosExternos.h"

#include <QFileInfo>
#include <QProcess>

QString construirPlantillasReales(const QString& carpeta, const QString& combinacion) {
    const QString herramienta = rutaBinarios("/movilant-plantillas");
    if (!QFileInfo::exists(herramienta)) return {};
    QProcess p;
    p.start(herramienta,
            {QStringLiteral("instalar"), rutaFuentes("/datos/plantillas"), carpeta, combinacion});
    if (!p.waitForFinished(30000) || p.exitCode() != 0) return {};
    return carpeta + QLatin1Char('/') + combinacion;
}

QStringList textoPaginas(const QString& pdf) {
    const auto r = lanzarProceso(QStringLiteral("pdftotext"),
                                 {QStringLiteral("-layout"), pdf, QStringLiteral("-")}, 60000,
                                 QStringLiteral("leer el texto"));
    if (!r || r.valor().codigo != 0) return {};
    // pdftotext separa las páginas con un salto de página.
    QStringList paginas = r.valor().salida.split(QChar('\f'));
    if (!paginas.isEmpty() && paginas.last().trimmed().isEmpty()) paginas.removeLast();
    return paginas;
}
