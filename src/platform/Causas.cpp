#include "platform/Causas.h"

#include <QFileInfo>
#include <QStandardPaths>

QString causaLectura(const QString& ruta) {
    const QFileInfo fi(ruta);
    if (!fi.exists()) return QStringLiteral("no existe");
    if (fi.isDir()) return QStringLiteral("es una carpeta, no un fichero");
    if (!fi.isReadable()) return QStringLiteral("no hay permiso para leerlo");
    if (!QFileInfo(fi.absolutePath()).isExecutable())
        return QStringLiteral("no hay permiso para entrar en su carpeta");
    return QStringLiteral("el sistema no deja abrirlo");
}

QString causaArranque(const QString& programa) {
    const QFileInfo fi(programa);
    const bool conRuta = programa.contains(QLatin1Char('/'));
    if ((conRuta && !fi.exists()) ||
        (!conRuta && QStandardPaths::findExecutable(programa).isEmpty()))
        return QStringLiteral("no está instalado");
    if (conRuta && !fi.isExecutable()) return QStringLiteral("no se puede ejecutar");
    return QStringLiteral("el sistema no deja arrancarlo");
}
