#include "PlantillasReales.h"

#include <QFileInfo>
#include <QProcess>

QString construirPlantillasReales(const QString& carpeta, const QString& combinacion) {
    const QString herramienta = QStringLiteral(MOVILANT_DIR_BINARIOS "/movilant-plantillas");
    if (!QFileInfo::exists(herramienta)) return {};
    QProcess p;
    p.start(herramienta,
            {QStringLiteral("instalar"), QStringLiteral(MOVILANT_DIR_FUENTES "/datos/plantillas"),
             carpeta, combinacion});
    if (!p.waitForFinished(30000) || p.exitCode() != 0) return {};
    return carpeta + QLatin1Char('/') + combinacion;
}
