#include "storage/BloqueoSolicitud.h"

#include "storage/SolicitudesGuardadas.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QDir>
#include <QFile>
#include <cerrno>
#include <cstring>

namespace {

QString rutaBloqueo(const QString& carpeta, const QString& nombreDocumento) {
    return QDir(carpeta).filePath(QLatin1Char('.') + NombreFicheroListas(nombreDocumento) +
                                  QStringLiteral(".bloqueo"));
}

// Lo que dejó escrito quien tiene el bloqueo (su número de proceso), para el mensaje.
QString dueno(int fd) {
    char texto[32] = {};
    const ssize_t n = ::pread(fd, texto, sizeof texto - 1, 0);
    return n > 0 ? QString::fromLatin1(texto, int(n)).trimmed() : QString();
}

// Por qué no se puede abrir o cerrar con cerrojo el fichero del bloqueo, en castellano.
QString causa(int error) {
    switch (error) {
        case ELOOP:
            return QStringLiteral("en su lugar hay un enlace");
        case EISDIR:
            return QStringLiteral("en su lugar hay una carpeta");
        case EACCES:
        case EPERM:
            return QStringLiteral("no hay permiso para abrirlo");
        case ENXIO:
        case ENODEV:
            return QStringLiteral("en su lugar hay algo que no es un fichero");
        default:
            return QString::fromLocal8Bit(std::strerror(error));
    }
}

Resultado noSePuedeTomar(const QString& carpeta, const QString& nombreDocumento,
                         const QString& ruta, const QString& porQue) {
    return Resultado::fallo(
        QStringLiteral("No se puede tomar el bloqueo de la solicitud \"%1\" (su fichero \"%2\"): "
                       "%3. Sin él, otra ventana del programa podría guardarla a la vez: no se "
                       "podrá guardar ni borrar hasta que se pueda tomar (quite lo que ocupa ese "
                       "nombre).")
            .arg(QDir::toNativeSeparators(QDir(carpeta).filePath(nombreDocumento)),
                 QDir::toNativeSeparators(ruta), porQue),
        Errores::ErrorEntradaSalida);
}

bool mismoFichero(int fd, const QString& ruta) {
    struct stat abierto {
    }, enCarpeta{};
    return ::fstat(fd, &abierto) == 0 &&
           ::lstat(QFile::encodeName(ruta).constData(), &enCarpeta) == 0 &&
           abierto.st_dev == enCarpeta.st_dev && abierto.st_ino == enCarpeta.st_ino;
}

}  // namespace

ResultadoDe<std::shared_ptr<BloqueoSolicitud>> BloqueoSolicitud::tomar(
    const QString& carpeta, const QString& nombreDocumento) {
    const QString ruta = rutaBloqueo(carpeta, nombreDocumento);
    const QByteArray nombre = QFile::encodeName(ruta);
    // Quien lo suelta borra el fichero: si se borró entre abrirlo y tomar el cerrojo, se abre el
    // nuevo.
    for (int intento = 0; intento < 10; ++intento) {
        // Sin bloquear: un FIFO con ese nombre no deja esperando.
        const int fd = ::open(nombre.constData(),
                              O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK, 0600);
        if (fd < 0) {
            const int error = errno;
            if (::access(QFile::encodeName(carpeta).constData(), W_OK | X_OK) != 0)
                return Resultado::fallo(QStringLiteral("No se puede escribir en la carpeta \"%1\".")
                                            .arg(QDir::toNativeSeparators(carpeta)),
                                        kCarpetaSinEscritura);
            return noSePuedeTomar(carpeta, nombreDocumento, ruta, causa(error));
        }
        struct stat st {};
        if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
            ::close(fd);
            return noSePuedeTomar(carpeta, nombreDocumento, ruta, causa(ENXIO));
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const int error = errno;
            if (error != EWOULDBLOCK) {
                ::close(fd);
                return noSePuedeTomar(carpeta, nombreDocumento, ruta, causa(error));
            }
            const QString proceso = dueno(fd);
            ::close(fd);
            return Resultado::fallo(
                QStringLiteral("La solicitud \"%1\" está abierta en otra ventana del programa%2. "
                               "Ciérrela allí antes de trabajar con ella aquí: si se guarda desde "
                               "las dos, lo que guarde una deshace lo que guardó la otra.")
                    .arg(QDir::toNativeSeparators(QDir(carpeta).filePath(nombreDocumento)),
                         proceso.isEmpty() ? QString()
                                           : QStringLiteral(" (proceso %1)").arg(proceso)),
                kEnUso);
        }
        if (!mismoFichero(fd, ruta)) {
            ::close(fd);
            continue;
        }
        const QByteArray pid = QByteArray::number(qint64(::getpid())) + '\n';
        // Sin el número de proceso el bloqueo vale igual: el cerrojo es lo que cuenta.
        if (::ftruncate(fd, 0) == 0) (void)!::pwrite(fd, pid.constData(), size_t(pid.size()), 0);
        return std::shared_ptr<BloqueoSolicitud>(new BloqueoSolicitud(ruta, fd));
    }
    return noSePuedeTomar(carpeta, nombreDocumento, ruta,
                          QStringLiteral("otro programa lo borra y lo crea sin parar"));
}

bool BloqueoSolicitud::enUso(const QString& carpeta, const QString& nombreDocumento) {
    const int fd = ::open(QFile::encodeName(rutaBloqueo(carpeta, nombreDocumento)).constData(),
                          O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return false;
    const bool tomado = ::flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(fd);
    return tomado;
}

BloqueoSolicitud::~BloqueoSolicitud() {
    // Se borra antes de soltarlo: nadie puede tomar un fichero que ya no está en la carpeta.
    if (mismoFichero(m_fd, m_ruta)) ::unlink(QFile::encodeName(m_ruta).constData());
    ::close(m_fd);
}

bool BloqueoSolicitud::es(const QString& carpeta, const QString& nombreDocumento) const {
    return m_ruta == rutaBloqueo(carpeta, nombreDocumento);
}
