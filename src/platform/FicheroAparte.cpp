#include "platform/FicheroAparte.h"

#include "platform/Causas.h"

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
            return QStringLiteral("la carpeta no existe");
        case ENOTDIR:
            return QStringLiteral("en el lugar de la carpeta hay un fichero");
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

// Crea el fichero en exclusiva y escribe los bytes; 0 o el errno (EEXIST si ya había algo). Un
// fallo a medias no deja nada.
int crearYEscribir(const QString& ruta, const QByteArray& bytes, Sincronizar sincronizar) {
    const QByteArray nombre = QFile::encodeName(ruta);
    const int fd =
        ::open(nombre.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) return errno;
    // La umask solo quita permisos; estos son los que tiene que tener.
    int error = ::fchmod(fd, 0600) == 0 ? 0 : errno;
    qsizetype escrito = 0;
    while (!error && escrito < bytes.size()) {
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
    if (error) ::unlink(nombre.constData());
    return error;
}

Renombrar& gancho() {
    static Renombrar g;
    return g;
}

}  // namespace

Resultado falloEscritura(const QString& ruta, int error) {
    return fallo(ruta, error);
}

void ponerGanchoRenombrar(Renombrar g) {
    gancho() = std::move(g);
}

int renombrar(const QString& de, const QString& a) {
    if (gancho()) return gancho()(de, a);
    return ::rename(QFile::encodeName(de).constData(), QFile::encodeName(a).constData()) == 0
               ? 0
               : errno;
}

Resultado escribirNuevo(const QString& ruta, const QByteArray& bytes, Sincronizar sincronizar) {
    if (const int error = crearYEscribir(ruta, bytes, sincronizar)) return fallo(ruta, error);
    return Resultado::correcto();
}

Resultado sincronizarCarpeta(const QString& carpeta) {
    const int fd =
        ::open(QFile::encodeName(carpeta).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    int error = fd < 0 ? errno : 0;
    if (fd >= 0) {
        if (::fsync(fd) != 0) error = errno;
        ::close(fd);
    }
    if (!error) return Resultado::correcto();
    return Resultado::fallo(QStringLiteral("No se ha podido llevar al disco la carpeta \"%1\": %2.")
                                .arg(QDir::toNativeSeparators(carpeta), causa(error)),
                            Errores::ErrorEntradaSalida);
}

ResultadoDe<QByteArray> leerFicheroNormal(const QString& ruta, qint64 maximo) {
    const auto noSeLee = [&ruta](const QString& por) {
        return Resultado::fallo(QStringLiteral("No se puede leer el fichero \"%1\": %2.")
                                    .arg(QDir::toNativeSeparators(ruta), por),
                                Errores::ErrorEntradaSalida);
    };
    // Sin bloquear: abrir un FIFO sin nadie al otro lado esperaría para siempre.
    const int fd =
        ::open(QFile::encodeName(ruta).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return noSeLee(causaLectura(ruta));
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return noSeLee(S_ISDIR(st.st_mode) ? QStringLiteral("es una carpeta, no un fichero")
                                           : QStringLiteral("no es un fichero normal (es una "
                                                            "tubería o un dispositivo)"));
    }
    if (st.st_size > maximo) {
        ::close(fd);
        const QString limite = maximo >= 1024 * 1024
                                   ? QStringLiteral("%1 MiB").arg(maximo / (1024 * 1024))
                                   : QStringLiteral("%1 KiB").arg(maximo / 1024);
        return noSeLee(QStringLiteral("ocupa más de %1, más de lo que puede ser").arg(limite));
    }
    QByteArray bytes;
    bytes.resize(qsizetype(st.st_size));
    qsizetype leido = 0;
    int error = 0;
    // Lo que crezca mientras se lee no se lee: el tamaño ya se comprobó.
    while (leido < bytes.size()) {
        const ssize_t n = ::read(fd, bytes.data() + leido, size_t(bytes.size() - leido));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            error = n < 0 ? errno : 0;
            break;
        }
        leido += n;
    }
    ::close(fd);
    if (error) return noSeLee(QString::fromLocal8Bit(std::strerror(error)));
    bytes.truncate(leido);
    return bytes;
}

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
    for (int intento = 0; intento < 20; ++intento) {
        const QString aparte = nombreAparte(destino);
        const int error = crearYEscribir(aparte, bytes, sincronizar);
        if (!error) return aparte;
        if (error != EEXIST) return fallo(destino, error);
    }
    return fallo(destino, EEXIST);
}

Resultado ponerEnSuSitio(const QString& aparte, const QString& destino) {
    const int error = renombrar(aparte, destino);
    if (error == 0) return Resultado::correcto();
    ::unlink(QFile::encodeName(aparte).constData());
    return fallo(destino, error);
}

Resultado escribirReemplazando(const QString& destino, const QByteArray& bytes,
                               Sincronizar sincronizar) {
    auto aparte = escribirAparte(destino, bytes, sincronizar);
    if (!aparte) return aparte.estado();
    return ponerEnSuSitio(aparte.valor(), destino);
}

void limpiarApartes(const QString& carpeta, const UsoDeAparte& uso) {
    const QDir dir(carpeta);
    const QDateTime hace = QDateTime::currentDateTime().addSecs(-60);
    for (const QFileInfo& fi : dir.entryInfoList({QStringLiteral(".*") + kSufijo},
                                                 QDir::Files | QDir::Hidden | QDir::System)) {
        const UsoAparte u = uso ? uso(fi.fileName()) : UsoAparte::NoSeSabe;
        if (u == UsoAparte::EnUso) continue;
        // Un enlace se borra a sí mismo, nunca lo apuntado.
        if (u == UsoAparte::Libre || fi.lastModified() < hace || fi.isSymLink())
            ::unlink(QFile::encodeName(fi.absoluteFilePath()).constData());
    }
}
