#pragma once

#include "../apoyo/Ficheros.h"
#include "../apoyo/MensajesGuion.h"
#include "catalogue/Esquemas.h"
#include "global/Globales.h"

#include <gtest/gtest.h>
#include <QTemporaryDir>

// Globales recién creadas, la carpeta temporal de las solicitudes en una carpeta de prueba y una
// tabla de cuerpos vacía para rellenar con anadirCuerpo.
class SolicitudesPrueba : public ::testing::Test {
protected:
    void SetUp() override {
        reiniciarGlobales();
        ASSERT_TRUE(m_dir.isValid());
        G().RutaTemporal = m_dir.path() + QLatin1Char('/');
        G().rsCuerpos = CrearTablaCuerpos();
    }
    void TearDown() override { reiniciarGlobales(); }

    void anadirCuerpo(const QString& cod, const QString& desc, const QString& grupo) {
        auto t = G().rsCuerpos;
        ASSERT_TRUE(t->anadir().ok());
        t->establecer(QStringLiteral("CodCuerpo"), cod);
        t->establecer(QStringLiteral("DescCuerpo"), desc);
        t->establecer(QStringLiteral("Grupo"), grupo);
        t->actualizar();
    }
    QString ruta(const QString& nombre) const { return G().RutaTemporal + nombre; }
    // Para los listados solo cuenta el nombre: el fichero queda vacío.
    void crear(const QString& nombre) { escribirBytes(ruta(nombre), {}); }

    QTemporaryDir m_dir;
    MensajesGuion m_mensajes;
};
