#include "printing/PaqueteDocx.h"

#include "platform/DocumentoXml.h"
#include "platform/FicheroAparte.h"

#include <zip.h>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

namespace {

QString errorZip(zip_error_t* error) {
    return QString::fromLocal8Bit(zip_error_strerror(error));
}

// Un solo límite para todo lo que se lee de un paquete, el fichero y la suma de sus partes ya
// descomprimidas, como el del fichero de listas: una plantilla o una solicitud guardada ocupan
// unos cientos de KiB. Ningún tamaño que diga el fichero decide cuánta memoria se pide sin pasar
// antes por él.
constexpr qint64 kMaxPaquete = kMaxFicheroXml;

QString tamano(qint64 bytes) {
    return QStringLiteral("%1 MiB").arg(bytes / (1024 * 1024));
}

}  // namespace

ResultadoDe<PaqueteDocx> PaqueteDocx::leer(const QString& ruta) {
    if (!QFile::exists(ruta) && !QFileInfo(ruta).isSymLink())
        return Resultado::fallo(QStringLiteral("No se encuentra el fichero \"%1\".").arg(ruta),
                                Errores::FicheroNoEncontrado);
    // Solo un fichero normal y de un tamaño acotado: un FIFO o un dispositivo colgarían el
    // programa o se comerían la memoria.
    auto bytes = leerFicheroNormal(ruta, kMaxPaquete);
    if (!bytes) return bytes.estado();
    return desdeBytes(bytes.valor(), ruta);
}

ResultadoDe<PaqueteDocx> PaqueteDocx::desdeBytes(const QByteArray& zip, const QString& origen) {
    const auto noEsDocumento = [&origen](const QString& detalle) {
        return Resultado::fallo(QStringLiteral("El fichero \"%1\" no es un documento válido (%2).")
                                    .arg(origen, detalle),
                                Errores::ErrorEntradaSalida);
    };
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* fuente = zip_source_buffer_create(zip.constData(), zip.size(), 0, &error);
    if (!fuente) {
        const QString texto = errorZip(&error);
        zip_error_fini(&error);
        return noEsDocumento(texto);
    }
    zip_t* archivo = zip_open_from_source(fuente, ZIP_RDONLY, &error);
    if (!archivo) {
        const QString texto = errorZip(&error);
        zip_source_free(fuente);
        zip_error_fini(&error);
        return noEsDocumento(texto);
    }
    zip_error_fini(&error);

    PaqueteDocx paquete;
    int largoComentario = 0;
    if (const char* c = zip_get_archive_comment(archivo, &largoComentario, ZIP_FL_ENC_RAW))
        paquete.m_comentario = QByteArray(c, largoComentario);
    const zip_int64_t n = zip_get_num_entries(archivo, 0);
    // Lo que dicen ocupar todas las partes, antes de leer ninguna: el tamaño declarado solo sirve
    // para rechazar. La memoria crece con lo que de verdad se lee, y lo leído tiene que ser lo
    // declarado.
    zip_uint64_t declarado = 0;
    for (zip_int64_t i = 0; i < n; ++i) {
        zip_stat_t st;
        if (zip_stat_index(archivo, i, 0, &st) != 0) continue;
        const QString nombre = QString::fromUtf8(st.name);
        if (nombre.endsWith(QLatin1Char('/'))) continue;
        if (!(st.valid & ZIP_STAT_SIZE) || st.size > zip_uint64_t(kMaxPaquete) - declarado) {
            zip_close(archivo);
            return noEsDocumento(
                QStringLiteral("con la parte %1, sus partes dicen ocupar más de lo que admite un "
                               "documento, %2 entre todas")
                    .arg(nombre, tamano(kMaxPaquete)));
        }
        declarado += st.size;
    }
    for (zip_int64_t i = 0; i < n; ++i) {
        zip_stat_t st;
        if (zip_stat_index(archivo, i, 0, &st) != 0) continue;
        const QString nombre = QString::fromUtf8(st.name);
        if (nombre.endsWith(QLatin1Char('/'))) continue;
        zip_file_t* f = zip_fopen_index(archivo, i, 0);
        if (!f) {
            zip_close(archivo);
            return noEsDocumento(nombre);
        }
        QByteArray datos;
        char trozo[64 * 1024];
        zip_int64_t leidos = 0;
        while ((leidos = zip_fread(f, trozo, sizeof trozo)) > 0 &&
               datos.size() + leidos <= qint64(st.size))
            datos.append(trozo, qsizetype(leidos));
        zip_fclose(f);
        if (leidos != 0 || datos.size() != qsizetype(st.size)) {
            zip_close(archivo);
            return noEsDocumento(QStringLiteral("la parte %1 está dañada").arg(nombre));
        }
        paquete.m_partes.append({nombre, datos});
    }
    zip_close(archivo);
    if (!paquete.contiene(QStringLiteral("[Content_Types].xml")) ||
        !paquete.contiene(QStringLiteral("word/document.xml")))
        return noEsDocumento(QStringLiteral("le faltan partes"));
    return paquete;
}

ResultadoDe<QByteArray> PaqueteDocx::aBytes() const {
    const auto fallo = [](const QString& detalle) {
        return Resultado::fallo(
            QStringLiteral("No se puede componer el documento: %1").arg(detalle),
            Errores::ErrorEntradaSalida);
    };
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* destino = zip_source_buffer_create(nullptr, 0, 0, &error);
    zip_t* archivo = destino ? zip_open_from_source(destino, ZIP_TRUNCATE, &error) : nullptr;
    if (!archivo) {
        const QString texto = errorZip(&error);
        if (destino) zip_source_free(destino);
        zip_error_fini(&error);
        return fallo(texto);
    }
    zip_error_fini(&error);
    zip_source_keep(destino);
    for (const auto& [nombre, datos] : m_partes) {
        zip_source_t* s = zip_source_buffer(archivo, datos.constData(), datos.size(), 0);
        const QByteArray nombreUtf8 = nombre.toUtf8();
        const zip_int64_t indice =
            s ? zip_file_add(archivo, nombreUtf8.constData(), s, ZIP_FL_ENC_UTF_8) : -1;
        if (indice < 0) {
            if (s) zip_source_free(s);
            const QString texto = QString::fromLocal8Bit(zip_strerror(archivo));
            zip_discard(archivo);
            zip_source_free(destino);
            return fallo(texto);
        }
        // Las imágenes ya vienen comprimidas.
        if (nombre.startsWith(QLatin1String("word/media/")))
            zip_set_file_compression(archivo, indice, ZIP_CM_STORE, 0);
    }
    if (!m_comentario.isEmpty() &&
        zip_set_archive_comment(archivo, m_comentario.constData(),
                                zip_uint16_t(std::min<qsizetype>(m_comentario.size(), 0xFFFF))) !=
            0) {
        const QString texto = QString::fromLocal8Bit(zip_strerror(archivo));
        zip_discard(archivo);
        zip_source_free(destino);
        return fallo(texto);
    }
    if (zip_close(archivo) != 0) {
        const QString texto = QString::fromLocal8Bit(zip_strerror(archivo));
        zip_discard(archivo);
        zip_source_free(destino);
        return fallo(texto);
    }
    QByteArray salida;
    zip_stat_t st;
    if (zip_source_stat(destino, &st) == 0 && zip_source_open(destino) == 0) {
        salida.resize(qsizetype(st.size));
        const zip_int64_t leidos = zip_source_read(destino, salida.data(), st.size);
        zip_source_close(destino);
        if (leidos != zip_int64_t(st.size)) salida.clear();
    }
    zip_source_free(destino);
    if (salida.isEmpty()) return fallo(QStringLiteral("zip vacío"));
    return salida;
}

Resultado PaqueteDocx::escribir(const QString& ruta) const {
    auto bytes = aBytes();
    if (!bytes) return bytes.estado();
    return escribirReemplazando(ruta, bytes.valor());
}

bool PaqueteDocx::contiene(const QString& nombre) const {
    for (const auto& p : m_partes)
        if (p.first == nombre) return true;
    return false;
}

QByteArray PaqueteDocx::parte(const QString& nombre) const {
    for (const auto& p : m_partes)
        if (p.first == nombre) return p.second;
    return {};
}

void PaqueteDocx::ponerParte(const QString& nombre, const QByteArray& datos) {
    for (auto& p : m_partes)
        if (p.first == nombre) {
            p.second = datos;
            return;
        }
    m_partes.append({nombre, datos});
}

QStringList PaqueteDocx::nombres() const {
    QStringList r;
    for (const auto& p : m_partes) r << p.first;
    return r;
}
