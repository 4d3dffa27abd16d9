#include "../apoyo/Ficheros.h"
#include "ImpresionesReales.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

namespace {

struct Salida {
    int estado = -1;
    QString salida, errores;
};

Salida lector(const QStringList& argumentos, const QString& carpeta) {
    QProcess p;
    p.setWorkingDirectory(carpeta);
    p.start(QStringLiteral(MOVILANT_DIR_BINARIOS "/movilant-lector"), argumentos);
    Salida s;
    if (!p.waitForFinished(300000) || p.exitStatus() != QProcess::NormalExit) return s;
    s.estado = p.exitCode();
    s.salida = QString::fromUtf8(p.readAllStandardOutput());
    s.errores = QString::fromUtf8(p.readAllStandardError());
    return s;
}

// El programa entero, como lo usa la oficina: el estado de salida dice si todo está completo y
// los mensajes van en castellano.
TEST(ProgramaLector, ElEstadoDeSalidaYLosMensajesDicenComoHaIdo) {
    ASSERT_TRUE(QFileInfo::exists(MOVILANT_DIR_BINARIOS "/movilant-lector"))
        << "movilant-lector no está compilado";
    const auto xp = impresionReal(VarianteGenerador::XP);
    const auto w97 = impresionReal(VarianteGenerador::W97);
    ASSERT_TRUE(xp.ok()) << xp.mensaje().toStdString();
    ASSERT_TRUE(w97.ok()) << w97.mensaje().toStdString();
    QTemporaryDir tmp;
    ASSERT_NO_FATAL_FAILURE(escribirBytes(tmp.filePath("fichero"), "x"));

    const struct {
        QStringList argumentos;
        int estado;
        QString salida, errores;
    } casos[] = {
        {{w97.valor().pdf, "--sin-progreso"},
         0,
         "12345678Z (cuerpo 00123, grupo A), impresa el 07/12/2026 a las 10:15:00: completa, 75 "
         "Vacantes y 41 Resultas.",
         ""},
        {{"-s", "dos", xp.valor().pdf, w97.valor().pdf},
         1,
         "hay páginas de otra impresión del mismo solicitante",
         ""},
        {{"--ayuda"}, 0, "Uso: movilant-lector [OPCIONES] FICHERO|CARPETA...", ""},
        {{"--ppp", "10", xp.valor().pdf},
         2,
         "",
         "movilant-lector: El valor de --ppp debe ser un número de 72 a 1200, no «10»."},
        {{"noexiste.pdf"}, 2, "", "movilant-lector: No se encuentra «noexiste.pdf»."},
        {{}, 2, "", "movilant-lector: Falta algún PDF, imagen o carpeta que leer."},
        {{"--salida", "fichero/lote", xp.valor().pdf},
         2,
         "",
         "movilant-lector: No se puede crear la carpeta de salida «fichero/lote»"},
        // El registro de la oficina: dos lecturas de dos impresiones del mismo solicitante;
        // vale la última, que está completa.
        {{"--registro", "oficina.sqlite", "-s", "martes", xp.valor().pdf},
         0,
         "Anotado en el registro oficina.sqlite: 11 códigos nuevos, 0 ya estaban.",
         ""},
        {{"--registro", "oficina.sqlite", "-s", "miercoles", w97.valor().pdf, xp.valor().pdf},
         1,
         "Anotado en el registro oficina.sqlite: 6 códigos nuevos, 11 ya estaban.",
         ""},
        {{"estado", "--registro", "oficina.sqlite"},
         0,
         "  · es la última de las 2 impresiones de este solicitante\nEn el registro: 1 "
         "solicitante, 1 con su última impresión completa.\n",
         ""},
        {{"exportar", "--registro", "oficina.sqlite", "--salida", "exportado"},
         0,
         "Exportadas a exportado: 1 solicitud en JSON (1 completa) y plazas.csv.",
         ""},
        {{"estado", "--registro", "noexiste.sqlite"},
         2,
         "",
         "movilant-lector: No existe el registro «noexiste.sqlite»."},
        {{"exportar", "oficina.sqlite"}, 2, "", "movilant-lector: «exportar» necesita --registro."},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.argumentos.join(' ').toStdString());
        const Salida s = lector(c.argumentos, tmp.path());
        EXPECT_EQ(s.estado, c.estado) << s.errores.toStdString();
        EXPECT_TRUE(s.salida.contains(c.salida)) << s.salida.toStdString();
        if (c.errores.isEmpty())
            EXPECT_TRUE(s.errores.isEmpty()) << s.errores.toStdString();
        else
            EXPECT_TRUE(s.errores.startsWith(c.errores)) << s.errores.toStdString();
    }

    // Lo que deja la primera: el JSON de la solicitud y el CSV, en «lectura».
    EXPECT_EQ(QDir(tmp.filePath("lectura")).entryList(QDir::Files),
              QStringList({"12345678Z_00123A_20261207_101500.json", "plazas.csv"}));
    EXPECT_EQ(leerBytes(tmp.filePath("lectura/plazas.csv")).count("\r\n"), 1 + 75 + 41);
    EXPECT_EQ(QDir(tmp.filePath("dos")).entryList(QDir::Files).size(), 3);
    // Lo exportado del registro es la última impresión, la de las 10:15:00.
    EXPECT_EQ(QDir(tmp.filePath("exportado")).entryList(QDir::Files),
              QStringList({"12345678Z_00123A_20261207_101500.json", "plazas.csv"}));
}

}  // namespace
