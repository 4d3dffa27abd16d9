#pragma once

#include "../apoyo/Ficheros.h"
#include "global/Globales.h"

#include <gtest/gtest.h>
#include <QTemporaryDir>

// Un <Usuario> del almacén tal como lo escribe el programa, con los resúmenes dados.
inline QString entradaUsuario(const QString& hashDni, const QString& hashPwd) {
    return QStringLiteral("<Usuario><DNI>%1</DNI><Pwd>%2</Pwd></Usuario>").arg(hashDni, hashPwd);
}

// Un usuarios.xml entero con esas entradas y la cabecera con la que lo guarda el programa.
inline QByteArray almacenCon(const QString& entradas) {
    return ("<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<Usuarios>" + entradas +
            "</Usuarios>")
        .toLatin1();
}

// Globales recién creadas y un usuarios.xml propio en una carpeta temporal.
class AlmacenUsuariosPrueba : public ::testing::Test {
protected:
    void SetUp() override {
        reiniciarGlobales();
        ASSERT_TRUE(m_dir.isValid());
        m_ruta = m_dir.filePath(QStringLiteral("usuarios.xml"));
    }
    void TearDown() override { reiniciarGlobales(); }

    void guardarAlmacen(const QByteArray& bytes) { escribirBytes(m_ruta, bytes); }
    QByteArray leerAlmacen() const { return leerBytes(m_ruta); }

    QTemporaryDir m_dir;
    QString m_ruta;
};
