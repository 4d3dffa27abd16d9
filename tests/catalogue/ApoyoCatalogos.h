#pragma once

#include "../apoyo/Ficheros.h"
#include "../apoyo/MensajesGuion.h"
#include "catalogue/Decodificacion.h"
#include "global/Globales.h"
#include "platform/Codificacion.h"

#include <gtest/gtest.h>
#include <ostream>

// Para que los mensajes de las comprobaciones puedan llevar textos de Qt.
inline std::ostream& operator<<(std::ostream& os, const QString& s) {
    return os << s.toStdString();
}
#include <QDir>
#include <QStringList>
#include <QTemporaryDir>

// Escribe un catálogo cifrado a partir de sus líneas en claro.
inline void escribirCatalogo(const QString& carpeta, const QString& fichero,
                             const QStringList& lineas) {
    QByteArray claro;
    for (const QString& l : lineas) claro += Codificacion::aWindows1252(l) + "\r\n";
    const auto cifrado = cifrarContenido(claro, fichero);
    ASSERT_TRUE(cifrado.ok()) << cifrado.mensaje().toStdString();
    escribirBytes(QDir(carpeta).filePath(fichero), cifrado.valor());
}

// Texto en las columnas pedidas (desde 1), rellenando con espacios.
inline QString columnas(std::initializer_list<std::pair<int, QString>> campos) {
    QString l;
    for (const auto& [inicio, valor] : campos) {
        if (l.size() < inicio - 1) l = l.leftJustified(inicio - 1, u' ');
        l = l.left(inicio - 1) + valor + l.mid(inicio - 1 + valor.size());
    }
    return l;
}

// Carpeta de ficheros temporal como G().RutaFicheros, guion de mensajes y terminación vigilada.
class CatalogosTest : public ::testing::Test {
protected:
    void SetUp() override {
        reiniciarGlobales();
        G().RutaFicheros = dir.path() + "/";
    }
    void TearDown() override { reiniciarGlobales(); }
    QString carpeta() const { return dir.path() + "/"; }
    void catalogo(const QString& fichero, const QStringList& lineas) {
        escribirCatalogo(carpeta(), fichero, lineas);
    }

    QTemporaryDir dir;
    MensajesGuion guion;
};
