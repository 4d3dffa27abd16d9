#include "../apoyo/Ficheros.h"
#include "../printing/PlantillaPrueba.h"
#include "ImpresionSimulada.h"
#include "lectura/SalidaLectura.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

namespace {

InformeLote loteDePrueba() {
    ImpresionSimulada completa;
    ImpresionSimulada incompleta;
    incompleta.dni = QStringLiteral("00000023T");
    incompleta.vacantes = 3;
    incompleta.resultas = 0;
    QVector<PaginaLeida> deLaIncompleta = incompleta.paginas();
    deLaIncompleta.removeFirst();  // la del solicitante
    return comprobarLote(completa.paginas() + deLaIncompleta);
}

TEST(SalidaLectura, ElJsonLlevaLosDatosLeidosComoSeEscribieronYElTextoTalCual) {
    const InformeLote informe = loteDePrueba();
    ASSERT_EQ(informe.solicitudes.size(), 2);
    const SolicitudLeida& s = informe.solicitudes[1];
    EXPECT_EQ(nombreJson(s), "12345678Z_00123A_20261207_094107.json");
    const QJsonObject o = QJsonDocument::fromJson(jsonSolicitud(s)).object();
    EXPECT_EQ(o["dni"].toString(), "12345678Z");
    EXPECT_EQ(o["completa"].toBool(false), true);
    EXPECT_TRUE(o["problemas"].toArray().isEmpty());

    const QJsonObject d = o["solicitante"].toObject();
    EXPECT_EQ(d.size(), 37);
    EXPECT_EQ(d["primerApellido"].toString(), "Núñez de Arce y Peñalver-Ibáñez");
    EXPECT_EQ(d["segundoApellido"].toString(), "Martínez-Echevarría Güell");
    // Lo que el código no guarda no vuelve: "&" y "¿?" quedan en blanco, "º" es un punto.
    EXPECT_EQ(d["adaptaciones"].toString(),
              "Adaptación del puesto   mobiliario ergonómico; acceso sin escalones");
    EXPECT_EQ(d["domicilio"].toString(),
              "Avda. de la Constitución n. 14, 3. planta, puerta izquierda . bloque B");
    EXPECT_EQ(d["fechaNacimiento"].toString(), "1970-04-12");
    EXPECT_EQ(d["forzoso"].toBool(false), true);
    EXPECT_EQ(d["reingreso"].toBool(true), false);
    EXPECT_EQ(d["situacion"].toString(), "activo");
    EXPECT_EQ(d["servicioSalud"].toString(), "NORSA");
    EXPECT_EQ(d["caracterDestino"].toString(), "definitivo");

    const QJsonArray v = o["vacantes"].toArray();
    ASSERT_EQ(v.size(), 75);
    EXPECT_EQ(v[6].toObject()["orden"].toInt(), 7);
    EXPECT_EQ(v[6].toObject()["codigo"].toString(), ImpresionSimulada::codigo(true, 7));
    EXPECT_EQ(o["resultas"].toArray().size(), 41);

    const QJsonArray paginas = o["paginas"].toArray();
    ASSERT_EQ(paginas.size(), 6);
    EXPECT_EQ(paginas[0].toObject()["tipo"].toString(), "solicitante");
    EXPECT_TRUE(paginas[0].toObject()["texto"].toString().contains("N&u&nez de Arce"));
    EXPECT_EQ(paginas[2].toObject()["numero"].toInt(), 6);
    EXPECT_EQ(paginas[2].toObject()["paginaFichero"].toInt(), 6);
    EXPECT_EQ(paginas[2].toObject()["fichero"].toString(), "solicitud.pdf");
}

TEST(SalidaLectura, ElCsvLlevaUnaLineaPorPlazaDeTodoElLote) {
    const InformeLote informe = loteDePrueba();
    const QStringList lineas = QString::fromUtf8(csvPlazas(informe.solicitudes))
                                   .split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    ASSERT_EQ(lineas.size(), 1 + 3 + 75 + 41);
    EXPECT_EQ(lineas[0], "DNI;Lista;Orden;Codigo;Cuerpo;Grupo;Impresion;Completa");
    EXPECT_EQ(lineas[3], "00000023T;Vacantes;3;" + ImpresionSimulada::codigo(true, 3) +
                             ";00123;A;07/12/2026 09:41:07;N");
    EXPECT_EQ(lineas[4], "12345678Z;Vacantes;1;" + ImpresionSimulada::codigo(true, 1) +
                             ";00123;A;07/12/2026 09:41:07;S");
    EXPECT_EQ(lineas[79], "12345678Z;Resultas;1;" + ImpresionSimulada::codigo(false, 1) +
                              ";00123;A;07/12/2026 09:41:07;S");
}

TEST(SalidaLectura, LosResultadosSeEscribenEnterosONoSeEscribe) {
    const InformeLote informe = loteDePrueba();
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const QString carpeta = tmp.filePath("salida/lote");
    const auto escritos = escribirResultados(informe, carpeta);
    ASSERT_TRUE(escritos.ok()) << escritos.mensaje().toStdString();
    EXPECT_EQ(QDir(carpeta).entryList(QDir::Files),
              QStringList({"00000023T_00123A_20261207_094107.json",
                           "12345678Z_00123A_20261207_094107.json", "plazas.csv"}));
    EXPECT_EQ(leerBytes(QDir(carpeta).filePath("plazas.csv")), csvPlazas(informe.solicitudes));
    const QJsonObject incompleta = QJsonDocument::fromJson(leerBytes(escritos.valor()[0])).object();
    EXPECT_EQ(incompleta["completa"].toBool(true), false);
    EXPECT_TRUE(incompleta["solicitante"].isNull());
    EXPECT_EQ(incompleta["problemas"].toArray(),
              QJsonArray{"falta la página 1 (datos del solicitante)"});
    EXPECT_EQ(incompleta["vacantes"].toArray().size(), 3);

    // Una carpeta que no se puede crear (en su sitio hay un fichero).
    ASSERT_NO_FATAL_FAILURE(escribirBytes(tmp.filePath("fichero"), "x"));
    const auto sinCarpeta = escribirResultados(informe, tmp.filePath("fichero/lote"));
    ASSERT_FALSE(sinCarpeta.ok());
    EXPECT_TRUE(sinCarpeta.mensaje().startsWith("No se puede crear la carpeta de salida"));

    // Un resultado que no se puede poner en su sitio (hay una carpeta con su nombre): el fallo
    // lo nombra y no queda nada aparte ni a medias.
    const QString otra = tmp.filePath("otra");
    ASSERT_TRUE(QDir().mkpath(otra + "/plazas.csv"));
    const auto bloqueado = escribirResultados(informe, otra);
    ASSERT_FALSE(bloqueado.ok());
    EXPECT_TRUE(bloqueado.mensaje().contains("plazas.csv")) << bloqueado.mensaje().toStdString();
    for (const QString& f : QDir(otra).entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        EXPECT_FALSE(f.endsWith(".aparte")) << f.toStdString();
        EXPECT_FALSE(QJsonDocument::fromJson(leerBytes(otra + "/" + f)).isNull())
            << f.toStdString();
    }
}

}  // namespace
