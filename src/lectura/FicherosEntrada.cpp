#include "lectura/FicherosEntrada.h"

#include <dirent.h>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QSet>
#include <QtEndian>
#include <cerrno>
#include <functional>

namespace {

// Lo que no se lee de una carpeta y por qué. Lo oculto no es del lote: lo dejan el sistema y otros
// programas (los «._» de macOS junto a cada fichero copiado, con sus datos y no con la imagen).
QString omitido(const QFileInfo& info, bool subcarpetas) {
    if (info.fileName().startsWith(QLatin1Char('.')))
        return info.isDir() ? QStringLiteral(
                                  "carpeta %1: no se lee, es una carpeta oculta (su "
                                  "nombre empieza por un punto)")
                                  .arg(info.filePath())
                            : QStringLiteral(
                                  "fichero %1: no se lee, es un fichero oculto (su "
                                  "nombre empieza por un punto)")
                                  .arg(info.filePath());
    if (info.isDir())
        return subcarpetas ? QString()
                           : QStringLiteral(
                                 "carpeta %1: no se leen las subcarpetas (se leen con "
                                 "--subcarpetas)")
                                 .arg(info.filePath());
    if (!info.isFile())
        return QStringLiteral(
                   "fichero %1: no se lee, no es un fichero corriente (una tubería, un "
                   "dispositivo...)")
            .arg(info.filePath());
    if (!extensionesLeidas().contains(info.suffix().toLower()))
        return QStringLiteral("fichero %1: no se lee, no es un PDF ni una imagen")
            .arg(info.filePath());
    return {};
}

// Vacío si la carpeta se deja leer; si no, por qué. QDir calla el fallo y da una carpeta vacía.
QString causaCarpeta(const QString& ruta) {
    DIR* carpeta = ::opendir(QFile::encodeName(ruta).constData());
    if (carpeta) {
        ::closedir(carpeta);
        return {};
    }
    switch (errno) {
        case EACCES:
        case EPERM:
            return QStringLiteral("no hay permiso para leerla");
        case ENOENT:
            return QStringLiteral("ha desaparecido mientras se leía el lote");
        case EMFILE:
        case ENFILE:
            return QStringLiteral("hay demasiados ficheros abiertos");
        default:
            return QStringLiteral("el sistema no deja leerla");
    }
}

}  // namespace

const QStringList& extensionesLeidas() {
    static const QStringList extensiones = [] {
        // Cada extensión con el formato de Qt que la lee (el contenido decide, no el nombre).
        const std::pair<const char*, const char*> candidatas[] = {
            {"png", "png"},  {"jpg", "jpeg"},  {"jpeg", "jpeg"}, {"jpe", "jpeg"}, {"jfif", "jpeg"},
            {"tif", "tiff"}, {"tiff", "tiff"}, {"gif", "gif"},   {"bmp", "bmp"},  {"webp", "webp"},
            {"pbm", "pbm"},  {"pgm", "pgm"},   {"ppm", "ppm"}};
        const QList<QByteArray> formatos = QImageReader::supportedImageFormats();
        QStringList r = {QStringLiteral("pdf")};
        for (const auto& [extension, formato] : candidatas)
            if (formatos.contains(formato)) r.append(QString::fromLatin1(extension));
        return r;
    }();
    return extensiones;
}

ResultadoDe<FicherosEntrada> ficherosDeEntrada(const QStringList& rutas, bool subcarpetas) {
    FicherosEntrada entrada;
    QSet<QString> vistos;  // un fichero dado dos veces (o también por su carpeta) se lee una
    auto anadir = [&](const QString& ruta) {
        const QString canonica = QFileInfo(ruta).canonicalFilePath();
        if (vistos.contains(canonica)) return;
        vistos.insert(canonica);
        entrada.ficheros.append(ruta);
    };
    // Una carpeta enlazada dentro de sí misma no se recorre sin fin.
    QSet<QString> carpetasVistas;
    std::function<void(const QString&)> recorrer = [&](const QString& ruta) {
        if (carpetasVistas.contains(QFileInfo(ruta).canonicalFilePath())) return;
        carpetasVistas.insert(QFileInfo(ruta).canonicalFilePath());
        if (const QString causa = causaCarpeta(ruta); !causa.isEmpty()) {
            entrada.carpetasSinLeer.append(
                QStringLiteral("no se puede leer la carpeta %1: %2").arg(ruta, causa));
            return;
        }
        const QFileInfoList contenido = QDir(ruta).entryInfoList(
            QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System | QDir::Hidden,
            QDir::Name | QDir::IgnoreCase | QDir::DirsLast);
        for (const QFileInfo& info : contenido) {
            if (const QString porQue = omitido(info, subcarpetas); !porQue.isEmpty())
                entrada.omitidos.append(porQue);
            else if (info.isDir())
                recorrer(info.filePath());
            else
                anadir(info.filePath());
        }
    };
    for (const QString& ruta : rutas) {
        const QFileInfo info(ruta);
        if (!info.exists())
            return Resultado::fallo(QStringLiteral("No se encuentra «%1».").arg(ruta),
                                    Errores::FicheroNoEncontrado);
        // Un fichero nombrado se lee aunque no lo parezca: si no es un PDF ni una imagen, o no es
        // un fichero corriente, la lectura lo dice. Una carpeta nombrada que no se deja leer es
        // como una que no existe: no se lee nada.
        if (!info.isDir()) {
            anadir(ruta);
            continue;
        }
        if (const QString causa = causaCarpeta(ruta); !causa.isEmpty())
            return Resultado::fallo(
                QStringLiteral("No se puede leer la carpeta «%1»: %2.").arg(ruta, causa),
                Errores::ErrorEntradaSalida);
        recorrer(ruta);
    }
    if (entrada.ficheros.isEmpty())
        return Resultado::fallo(QStringLiteral("No hay ningún PDF ni ninguna imagen que leer."),
                                Errores::FicheroNoEncontrado);
    return entrada;
}

bool jpegCompleto(const QByteArray& bytes) {
    const auto b = [&](qsizetype i) { return uchar(bytes[i]); };
    const qsizetype n = bytes.size();
    if (n < 4 || b(0) != 0xFF || b(1) != 0xD8) return false;
    qsizetype i = 2;
    while (i + 1 < n) {
        if (b(i) != 0xFF) return false;
        const uchar marca = b(i + 1);
        if (marca == 0xFF) {  // relleno entre marcas
            ++i;
            continue;
        }
        if (marca == 0xD9) return true;
        if (marca == 0x01 || (marca >= 0xD0 && marca <= 0xD7)) {  // marcas sin longitud
            i += 2;
            continue;
        }
        if (i + 3 >= n) return false;
        i += 2 + ((qsizetype(b(i + 2)) << 8) | b(i + 3));
        if (marca != 0xDA) continue;
        // Los datos de un barrido acaban en la primera marca que no es un 0xFF escapado ni un
        // reinicio.
        while (i + 1 < n && !(b(i) == 0xFF && b(i + 1) != 0 && b(i + 1) != 0xFF &&
                              (b(i + 1) < 0xD0 || b(i + 1) > 0xD7)))
            ++i;
    }
    return false;
}

bool pngCompleto(const QByteArray& bytes) {
    if (!bytes.startsWith("\x89PNG\r\n\x1A\n")) return false;
    // Cada trozo: su largo (4 bytes), su tipo (4), sus datos y su CRC (4).
    qsizetype i = 8;
    while (i + 8 <= bytes.size()) {
        const qsizetype largo = qFromBigEndian<quint32>(bytes.constData() + i);
        if (bytes.mid(i + 4, 4) == "IEND") return i + 12 + largo <= bytes.size();
        i += 12 + largo;
    }
    return false;
}
