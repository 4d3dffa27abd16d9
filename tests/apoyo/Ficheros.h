#pragma once

#include <gtest/gtest.h>
#include <sys/stat.h>
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
