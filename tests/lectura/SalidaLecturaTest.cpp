#include "../apoyo/Ficheros.h"
#include "../printing/PlantillaPrueba.h"
#include "ImpresionSimulada.h"
#include "lectura/SalidaLectura.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFileInfo>
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
    // El cuerpo y el código como texto, que ninguna hoja de cálculo deja sin sus ceros, y el
    // momento como AAAA-MM-DD.
    EXPECT_EQ(lineas[3], "00000023T;Vacantes;3;\"=\"\"" + ImpresionSimulada::codigo(true, 3) +
                             "\"\"\";\"=\"\"00123\"\"\";A;2026-12-07 09:41:07;N");
    EXPECT_EQ(lineas[4], "12345678Z;Vacantes;1;\"=\"\"" + ImpresionSimulada::codigo(true, 1) +
                             "\"\"\";\"=\"\"00123\"\"\";A;2026-12-07 09:41:07;S");
    EXPECT_EQ(lineas[79], "12345678Z;Resultas;1;\"=\"\"" + ImpresionSimulada::codigo(false, 1) +
                              "\"\"\";\"=\"\"00123\"\"\";A;2026-12-07 09:41:07;S");
}

// Un código falsificado no mete fórmulas en la hoja de cálculo de la oficina.
TEST(SalidaLectura, LoLeidoNuncaEntraComoFormulaEnElCsv) {
    const struct {
        QString dni, grupo, codigo;
        QString celdas;  // DNI, ..., código, cuerpo y grupo tal como quedan en el CSV
    } casos[] = {
        {"=1+2", "A", "12345", "'=1+2;Vacantes;1;\"=\"\"12345\"\"\";\"=\"\"00123\"\"\";A;"},
        {"+1", "-", "=cmd", "'+1;Vacantes;1;\"=\"\"=cmd\"\"\";\"=\"\"00123\"\"\";'-;"},
        {"@SUMA(1)", "\t", "1\")+",
         "'@SUMA(1);Vacantes;1;\"=\"\"1\"\"\"\")+\"\"\";\"=\"\"00123\"\"\";'\t;"},
        {"\r=1", "A", "a;b", "\"'\r=1\";Vacantes;1;\"=\"\"a;b\"\"\";\"=\"\"00123\"\"\";A;"},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.dni.toStdString());
        SolicitudLeida s;
        s.dni = c.dni;
        s.cuerpo = QStringLiteral("00123");
        s.grupo = c.grupo;
        s.fecha = QStringLiteral("07/12/2026");
        s.hora = QStringLiteral("09:41:07");
        s.vacantes = {{1, c.codigo}};
        const QString csv = QString::fromUtf8(csvPlazas({s}));
        EXPECT_EQ(csv.mid(csv.indexOf(u'\n') + 1), c.celdas + "2026-12-07 09:41:07;S\r\n");
    }
}

// El resumen va al terminal: lo que viene de un código o de un fichero no le manda nada.
TEST(SalidaLectura, ElResumenNoDejaPasarCaracteresDeControl) {
    EXPECT_EQ(paraTerminal("a\x1b]0;título\x07" "b\nc\u009bd\u202Ee"),
              "a\\x1B]0;título\\x07b\\nc\\x9Bd\\u202Ee");
    InformeLote informe;
    informe.paginas = 1;
    informe.problemas = {"código no válido: «\x1b[2J»"};
    informe.avisos = {"fichero \x1b[2J.png, página 1 en blanco"};
    EXPECT_EQ(resumenLote(informe),
              "1 página leída: 0 solicitudes, 0 completas.\n"
              "Problemas del lote:\n  - código no válido: «\\x1B[2J»\n"
              "Aviso: fichero \\x1B[2J.png, página 1 en blanco.\n");
}

TEST(SalidaLectura, CadaFicheroSeEscribeEnteroYUnoQueFallaNoImpideLosDemas) {
    InformeLote informe = loteDePrueba();
    // Un DNI de cientos de caracteres (un código falsificado) no hace un nombre imposible.
    SolicitudLeida larga = informe.solicitudes[1];
    larga.dni = QString(300, u'9');
    larga.clave = larga.dni + QStringLiteral("00123A");
    informe.solicitudes.append(larga);
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const QString carpeta = tmp.filePath("salida/lote");
    const auto escritos = escribirResultados(informe, carpeta);
    ASSERT_TRUE(escritos.ok()) << escritos.mensaje().toStdString();
    EXPECT_TRUE(escritos.valor().fallos.isEmpty())
        << escritos.valor().fallos.join('\n').toStdString();
    const QString nombreLargo = nombreJson(larga);
    EXPECT_EQ(nombreLargo.size(), 60 + 1 + 8 + 21) << nombreLargo.toStdString();
    EXPECT_EQ(QDir(carpeta).entryList(QDir::Files),
              QStringList({"00000023T_00123A_20261207_094107.json",
                           "12345678Z_00123A_20261207_094107.json", nombreLargo, "plazas.csv"}));
    EXPECT_EQ(leerBytes(QDir(carpeta).filePath("plazas.csv")), csvPlazas(informe.solicitudes));
    const QJsonObject incompleta =
        QJsonDocument::fromJson(leerBytes(escritos.valor().escritos[0])).object();
    EXPECT_EQ(incompleta["completa"].toBool(true), false);
    EXPECT_TRUE(incompleta["solicitante"].isNull());
    EXPECT_EQ(incompleta["problemas"].toArray(),
              QJsonArray{"falta la página 1 (datos del solicitante)"});
    EXPECT_EQ(incompleta["vacantes"].toArray().size(), 3);

    // Una segunda lectura no se mezcla con la primera: la carpeta ya tiene resultados.
    const Resultado otraVez = prepararCarpetaSalida(carpeta);
    ASSERT_FALSE(otraVez.ok());
    EXPECT_TRUE(otraVez.mensaje().startsWith(
        QStringLiteral("La carpeta de salida «%1» ya tiene los resultados de otra lectura")
            .arg(carpeta)))
        << otraVez.mensaje().toStdString();
    // Sin carpeta pedida, cada lectura crea la suya, aunque empiecen en el mismo segundo.
    const auto nueva = carpetaSalidaNueva(tmp.path());
    const auto otraNueva = carpetaSalidaNueva(tmp.path());
    ASSERT_TRUE(nueva.ok() && otraNueva.ok());
    EXPECT_NE(nueva.valor(), otraNueva.valor());
    EXPECT_TRUE(QFileInfo(nueva.valor()).fileName().startsWith("lectura-"));
    EXPECT_TRUE(QDir(nueva.valor()).isEmpty());

    // Una carpeta que no se puede crear (en su sitio hay un fichero).
    ASSERT_NO_FATAL_FAILURE(escribirBytes(tmp.filePath("fichero"), "x"));
    const auto sinCarpeta = escribirResultados(informe, tmp.filePath("fichero/lote"));
    ASSERT_FALSE(sinCarpeta.ok());
    EXPECT_TRUE(sinCarpeta.mensaje().startsWith("No se puede crear la carpeta de salida"));

    // Un resultado que no se puede poner en su sitio (hay una carpeta con su nombre): el fallo
    // lo nombra, lo demás se escribe y no queda nada aparte ni a medias.
    const QString otra = tmp.filePath("otra");
    ASSERT_TRUE(QDir().mkpath(otra + "/12345678Z_00123A_20261207_094107.json"));
    const auto bloqueado = escribirResultados(informe, otra);
    ASSERT_TRUE(bloqueado.ok()) << bloqueado.mensaje().toStdString();
    ASSERT_EQ(bloqueado.valor().fallos.size(), 1);
    EXPECT_TRUE(bloqueado.valor().fallos[0].contains("12345678Z_00123A_20261207_094107.json"))
        << bloqueado.valor().fallos[0].toStdString();
    EXPECT_EQ(bloqueado.valor().escritos.size(), 3);
    for (const QString& f : QDir(otra).entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        EXPECT_FALSE(f.endsWith(".aparte")) << f.toStdString();
        EXPECT_EQ(leerBytes(otra + "/" + f).isEmpty(), false) << f.toStdString();
    }
}

}  // namespace
