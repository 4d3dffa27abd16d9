#include "platform/FicheroAparte.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <cstring>

namespace {

const QString kSufijo = QStringLiteral(".aparte");

QString causa(int error) {
    switch (error) {
        case EACCES:
        case EPERM:
        case EROFS:
            return QStringLiteral("no hay permiso para escribir en la carpeta");
        case ENOSPC:
        case EDQUOT:
            return QStringLiteral("no queda sitio en el disco");
        case ENOENT:
        case ENOTDIR:
            return QStringLiteral("la carpeta no existe");
        case EISDIR:
            return QStringLiteral("en su lugar hay una carpeta");
        case ENAMETOOLONG:
            return QStringLiteral("el nombre es demasiado largo");
        default:
            return QString::fromLocal8Bit(std::strerror(error));
    }
}

Resultado fallo(const QString& ruta, int error) {
    return Resultado::fallo(QStringLiteral("No se puede escribir el fichero \"%1\": %2.")
                                .arg(QDir::toNativeSeparators(ruta), causa(error)),
                            Errores::ErrorEntradaSalida);
}

}  // namespace

QString nombreAparte(const QString& destino) {
    const QFileInfo fi(destino);
    static const char kLetras[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    QString azar;
    for (int i = 0; i < 10; ++i)
        azar += QLatin1Char(kLetras[QRandomGenerator::global()->bounded(int(sizeof kLetras) - 1)]);
    return fi.absolutePath() + QStringLiteral("/.") + fi.fileName() + QLatin1Char('.') + azar +
           kSufijo;
}

ResultadoDe<QString> escribirAparte(const QString& destino, const QByteArray& bytes,
                                    Sincronizar sincronizar) {
    int fd = -1;
    QString aparte;
    for (int intento = 0; intento < 20 && fd < 0; ++intento) {
        aparte = nombreAparte(destino);
        fd = ::open(QFile::encodeName(aparte).constData(),
                    O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
        if (fd < 0 && errno != EEXIST) return fallo(destino, errno);
    }
    if (fd < 0) return fallo(destino, EEXIST);
    qsizetype escrito = 0;
    int error = 0;
    while (escrito < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + escrito, size_t(bytes.size() - escrito));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            error = n < 0 ? errno : ENOSPC;
            break;
        }
        escrito += n;
    }
    if (!error && sincronizar == Sincronizar::Si && ::fsync(fd) != 0) error = errno;
    if (::close(fd) != 0 && !error) error = errno;
    if (error) {
        ::unlink(QFile::encodeName(aparte).constData());
        return fallo(destino, error);
    }
    return aparte;
}

Resultado ponerEnSuSitio(const QString& aparte, const QString& destino) {
    if (::rename(QFile::encodeName(aparte).constData(), QFile::encodeName(destino).constData()) ==
        0)
        return Resultado::correcto();
    const int error = errno;
    ::unlink(QFile::encodeName(aparte).constData());
    return fallo(destino, error);
}

Resultado escribirReemplazando(const QString& destino, const QByteArray& bytes,
                               Sincronizar sincronizar) {
    auto aparte = escribirAparte(destino, bytes, sincronizar);
    if (!aparte) return aparte.estado();
    return ponerEnSuSitio(aparte.valor(), destino);
}

void limpiarApartes(const QString& carpeta) {
    const QDir dir(carpeta);
    const QDateTime hace = QDateTime::currentDateTime().addSecs(-60);
    for (const QFileInfo& fi : dir.entryInfoList({QStringLiteral(".*") + kSufijo},
                                                 QDir::Files | QDir::Hidden | QDir::System)) {
        // Un enlace se borra a sí mismo, nunca lo apuntado.
        if (fi.lastModified() < hace || fi.isSymLink())
            ::unlink(QFile::encodeName(fi.absoluteFilePath()).constData());
    }
}
