#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include "RutasCompilacion.h"

// movilant-lector de esta compilación, ejecutado en una carpeta, con lo que dice y su estado.
struct SalidaLector {
    int estado = -1;  // -1: no ha terminado bien (no arranca, se cuelga o muere)
    QString salida, errores;
};

inline SalidaLector ejecutarLector(const QStringList& argumentos, const QString& carpeta) {
    QProcess p;
    p.setWorkingDirectory(carpeta);
    p.start(rutaBinarios("/movilant-lector"), argumentos);
    SalidaLector s;
    if (!p.waitForFinished(300000) || p.exitStatus() != QProcess::NormalExit) {
        p.kill();
        p.waitForFinished(5000);
        return s;
    }
    s.estado = p.exitCode();
    s.salida = QString::fromUtf8(p.readAllStandardOutput());
    s.errores = QString::fromUtf8(p.readAllStandardError());
    return s;
}
