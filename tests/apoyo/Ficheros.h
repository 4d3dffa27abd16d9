#pragma once

#include <gtest/gtest.h>
#include <sys/fsuid.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QByteArray>
#include <QFile>
#include <QString>

// Deja en la ruta exactamente esos bytes. Si no se puede escribir, la prueba falla; quien no
// deba seguir sin el fichero lo llama dentro de ASSERT_NO_FATAL_FAILURE.
inline void escribirBytes(const QString& ruta, const QByteArray& bytes) {
    QFile f(ruta);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << ruta.toStdString();
    ASSERT_EQ(f.write(bytes), bytes.size()) << ruta.toStdString();
}

// Contenido del fichero; vacío si no existe o no se puede leer.
inline QByteArray leerBytes(const QString& ruta) {
    QFile f(ruta);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Permisos del fichero o carpeta (los nueve bits rwx), sin seguir un enlace; -1 si no existe.
inline int permisos(const QString& ruta) {
    struct stat st {};
    if (::lstat(QFile::encodeName(ruta).constData(), &st) != 0) return -1;
    return int(st.st_mode & 0777);
}

// Mientras vive, este hilo abre ficheros y carpetas como un usuario cualquiera (nobody) aunque
// las pruebas corran como root, que lee también lo que no tiene permiso de lectura. Solo este
// hilo: el usuario con el que se abren los ficheros es de cada hilo. `vale()` dice si lo
// consigue (fuera de root no hace falta).
class ComoUsuarioCorriente {
public:
    ComoUsuarioCorriente() : m_root(::geteuid() == 0) {
        if (!m_root) return;
        ::setfsgid(65534);
        ::setfsuid(65534);
    }
    ~ComoUsuarioCorriente() {
        if (!m_root) return;
        ::setfsuid(0);
        ::setfsgid(0);
    }
    bool vale() const { return !m_root || ::setfsuid(uid_t(-1)) == 65534; }
    ComoUsuarioCorriente(const ComoUsuarioCorriente&) = delete;
    ComoUsuarioCorriente& operator=(const ComoUsuarioCorriente&) = delete;

private:
    bool m_root;
};
