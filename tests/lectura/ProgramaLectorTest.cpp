#include "../apoyo/EscaneoSimulado.h"
#include "../apoyo/Ficheros.h"
#include "../apoyo/ProgramaLector.h"
#include "../apoyo/RutasCompilacion.h"
#include "ImpresionesReales.h"
#include "global/Configuracion.h"
#include "lectura/LecturaPaginas.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

namespace {

// El CRC-32 de un trozo de PNG (el de zlib, bit a bit).
quint32 crcPng(const QByteArray& bytes) {
    quint32 crc = 0xFFFFFFFF;
    for (const char b : bytes) {
        crc ^= uchar(b);
        for (int i = 0; i < 8; ++i) crc = crc & 1 ? (crc >> 1) ^ 0xEDB88320 : crc >> 1;
    }
    return ~crc;
}

// El programa entero, como lo usa la oficina: el estado de salida dice si todo está completo y
// los mensajes van en castellano.
TEST(ProgramaLector, ElEstadoDeSalidaYLosMensajesDicenComoHaIdo) {
    ASSERT_TRUE(QFileInfo::exists(rutaBinarios("/movilant-lector")))
        << "movilant-lector no está compilado";
    const auto xp = impresionReal(VarianteGenerador::XP);
    const auto w97 = impresionReal(VarianteGenerador::W97);
    ASSERT_TRUE(xp.ok()) << xp.mensaje().toStdString();
    ASSERT_TRUE(w97.ok()) << w97.mensaje().toStdString();
    QTemporaryDir tmp;
    ASSERT_NO_FATAL_FAILURE(escribirBytes(tmp.filePath("fichero"), "x"));
    ASSERT_NO_FATAL_FAILURE(escribirBytes(tmp.filePath("vacio.pdf"), ""));
    // Un PNG cortado: libpng se queja, pero eso no es para quien lee el lote.
    QImage imagen(200, 200, QImage::Format_RGB32);
    imagen.fill(Qt::white);
    QByteArray png;
    QBuffer b(&png);
    b.open(QIODevice::WriteOnly);
    ASSERT_TRUE(imagen.save(&b, "PNG"));
    ASSERT_NO_FATAL_FAILURE(escribirBytes(tmp.filePath("rota.png"), png.left(png.size() / 2)));
    // Un PNG gris de 12.000 × 12.000 puntos, blanco: PNG no se lee ya reducido, y entero pasa de
    // lo que se lee.
    constexpr int kLado = 12000;
    QByteArray filas(qsizetype(kLado) * (kLado + 1), char(0xFF));
    for (qsizetype y = 0; y < kLado; ++y) filas[y * (kLado + 1)] = 0;  // sin filtro
    const auto trozo = [](const QByteArray& tipo, const QByteArray& datos) {
        QByteArray t;
        for (const int i : {24, 16, 8, 0}) t += char(datos.size() >> i & 0xFF);
        const quint32 crc = crcPng(tipo + datos);
        t += tipo + datos;
        for (const int i : {24, 16, 8, 0}) t += char(crc >> i & 0xFF);
        return t;
    };
    const QByteArray cabecera("\0\0\x2E\xE0\0\0\x2E\xE0\x08\0\0\0\0", 13);
    ASSERT_NO_FATAL_FAILURE(
        escribirBytes(tmp.filePath("grande.png"), "\x89PNG\r\n\x1A\n" + trozo("IHDR", cabecera) +
                                                      trozo("IDAT", qCompress(filas, 9).mid(4)) +
                                                      trozo("IEND", {})));
    filas.clear();
    // Un PDF cifrado (la contraseña vacía no lo abre): basta su diccionario de cifrado.
    ASSERT_NO_FATAL_FAILURE(
        escribirBytes(tmp.filePath("cifrado.pdf"),
                      "%PDF-1.4\n1 0 obj\n<< /Type /Catalog /Pages 2 0 R >>\nendobj\n"
                      "2 0 obj\n<< /Type /Pages /Kids [] /Count 0 >>\nendobj\n"
                      "3 0 obj\n<< /Filter /Standard /V 1 /R 2 /O <" +
                          QByteArray(64, '1') + "> /U <" + QByteArray(64, '2') +
                          "> /P -4 >>\nendobj\ntrailer\n<< /Size 4 /Root 1 0 R "
                          "/Encrypt 3 0 R /ID [<00112233445566778899AABBCCDDEEFF> "
                          "<00112233445566778899AABBCCDDEEFF>] >>\n%%EOF\n"));
    // Una tubería no se abre: se quedaría esperando a que alguien escribiera en ella.
    ASSERT_EQ(::mkfifo(QFile::encodeName(tmp.filePath("tuberia")).constData(), 0600), 0);

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
        {{"-s", "dos", w97.valor().pdf},
         2,
         "",
         "movilant-lector: La carpeta de salida «dos» ya tiene los resultados de otra lectura"},
        {{"rota.png", "grande.png", "vacio.pdf", "cifrado.pdf", "tuberia", "--sin-progreso"},
         1,
         "2 páginas leídas: 0 solicitudes, 0 completas.\nProblemas del lote:\n"
         "  - no se puede leer el fichero rota.png, página 1: la imagen está dañada o incompleta\n"
         "  - no se puede leer el fichero grande.png, página 1: la imagen es demasiado grande: "
         "12000 × 12000 puntos (se leen hasta 48 millones; una hoja escaneada a 600 ppp tiene "
         "35)\n"
         "  - no se puede leer el fichero vacio.pdf: el fichero está vacío\n"
         "  - no se puede leer el fichero cifrado.pdf: el PDF está protegido con contraseña\n"
         "  - no se puede leer el fichero tuberia: no es un fichero corriente (una tubería, un "
         "dispositivo...)\n",
         ""},
        {{"a\x1b]0;x\x07.pdf"}, 2, "", "movilant-lector: No se encuentra «a\\x1B]0;x\\x07.pdf»."},
        {{"--ayuda"}, 0, "Uso: movilant-lector [OPCIONES] FICHERO|CARPETA...", ""},
        {{"--version"}, 0, "movilant-lector " + versionPrograma() + "\n", ""},
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
         "En el registro: 1 solicitante, 1 con su última impresión completa.\n",
         ""},
        {{"exportar", "--registro", "oficina.sqlite", "--salida", "exportado"},
         0,
         "Exportadas a exportado: 1 solicitud en JSON (1 completa) y plazas.csv.",
         ""},
        {{"informe", "--registro", "oficina.sqlite", "--salida", "informe-registro"},
         0,
         "Informe del registro en informe-registro/informe.html.",
         ""},
        {{"estado", "--registro", "noexiste.sqlite"},
         2,
         "",
         "movilant-lector: No existe el registro «noexiste.sqlite»."},
        {{"exportar", "oficina.sqlite"}, 2, "", "movilant-lector: «exportar» necesita --registro."},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.argumentos.join(' ').toStdString());
        const SalidaLector s = ejecutarLector(c.argumentos, tmp.path());
        EXPECT_EQ(s.estado, c.estado) << s.errores.toStdString();
        EXPECT_TRUE(s.salida.contains(c.salida)) << s.salida.toStdString();
        if (c.errores.isEmpty())
            EXPECT_TRUE(s.errores.isEmpty()) << s.errores.toStdString();
        else
            EXPECT_TRUE(s.errores.startsWith(c.errores)) << s.errores.toStdString();
    }

    // Lo que deja la primera: el JSON de la solicitud y el CSV, en una carpeta suya.
    const QStringList nuevas = QDir(tmp.path()).entryList({"lectura-*"}, QDir::Dirs, QDir::Name);
    ASSERT_EQ(nuevas.size(), 2);  // la de la primera y la de la de ficheros rotos
    const QDir primera(tmp.filePath(nuevas[0]));
    EXPECT_EQ(primera.entryList(QDir::Files),
              QStringList({"12345678Z_00123A_20261207_101500.json", "informe.html", "plazas.csv"}));
    EXPECT_EQ(leerBytes(primera.filePath("plazas.csv")).count("\r\n"), 1 + 75 + 41);
    EXPECT_EQ(QDir(tmp.filePath("dos")).entryList(QDir::Files).size(), 4);
    // La de los ficheros rotos no tiene ninguna imagen que enseñar; el informe del registro, que no
    // las guarda, tampoco.
    EXPECT_FALSE(QFileInfo::exists(tmp.filePath(nuevas[1] + "/informe")));
    EXPECT_TRUE(QFileInfo::exists(tmp.filePath("informe-registro/informe.html")));
    EXPECT_FALSE(QFileInfo::exists(tmp.filePath("informe-registro/informe")));
    // Lo exportado del registro es la última impresión, la de las 10:15:00.
    EXPECT_EQ(QDir(tmp.filePath("exportado")).entryList(QDir::Files),
              QStringList({"12345678Z_00123A_20261207_101500.json", "plazas.csv"}));
}

// Una semana de la oficina con su registro, escaneada de la impresión de verdad: una hoja
// ilegible, un escáner que vuelve a llamar igual a su fichero y una hoja escaneada dos veces.
// Nada sale completo mientras alguna hoja está sin resolver, y la orden que la resuelve sale en
// «estado».
TEST(ProgramaLector, ElRegistroNoDaPorCompletaUnaSolicitudConHojasSinResolver) {
    const auto w97 = impresionReal(VarianteGenerador::W97);
    ASSERT_TRUE(w97.ok()) << w97.mensaje().toStdString();
    QTemporaryDir tmp;
    const QVector<QImage> hojas = hojasDe(w97.valor().pdf, tmp.path());
    ASSERT_EQ(hojas.size(),
              9);  // solicitante, 3 de cursos y documentos, 3 de Vacantes, 2 de Resultas
    ASSERT_TRUE(QDir(tmp.path()).mkpath("lunes") && QDir(tmp.path()).mkpath("martes"));
    for (int i = 0; i < 7; ++i)
        ASSERT_TRUE(hojas[i].save(tmp.filePath(QString("lunes/hoja%1.png").arg(i + 1))));
    ASSERT_TRUE(hojas[8].save(tmp.filePath("lunes/hoja9.png")));
    // La 8 (40 plazas de Resultas), tan desenfocada que no se lee: con ella, el lote no está
    // completo.
    DanoEscaneo dano;
    dano.grados = 0;
    dano.sigma = 1.5;
    dano.ruido = 0;
    dano.umbral = false;
    dano.calidadJpeg = 0;
    const QString scan = tmp.filePath("lunes/scan0001.png");
    ASSERT_TRUE(simularEscaneo(hojas[7], dano, 1).save(scan));
    // La 9, escaneada otra vez: los mismos puntos salvo uno, otros bytes.
    QImage otraVez = hojas[8].convertToFormat(QImage::Format_Grayscale8);
    otraVez.setPixel(0, 0, qRgb(250, 250, 250));
    ASSERT_TRUE(otraVez.save(tmp.filePath("martes/otra.png")));

    const QString orden = QString(
                              "movilant-lector resolver --registro oficina.sqlite %1 1 "
                              "--por NUEVO|--descartada")
                              .arg(scan);
    const struct {
        QStringList argumentos;
        int estado;
        QStringList dice, noDice;
    } pasos[] = {
        {{"--registro", "oficina.sqlite", "-s", "l1", "lunes"},
         1,
         {"código ilegible en fichero lunes/scan0001.png, página 1"},
         {}},
        {{"estado", "--registro", "oficina.sqlite"},
         1,
         {"puede faltarle alguna página", "0 con su última impresión completa", orden},
         {": completa"}},
        {{"exportar", "--registro", "oficina.sqlite", "-s", "exportado"},
         1,
         {"1 solicitud en JSON (0 completas)"},
         {}},
        // El escáner vuelve a llamar scan0001.png a otra hoja, la 8 bien escaneada (se guarda
        // antes de este paso): lo que se anotó del fichero anterior se queda.
        {{"--registro", "oficina.sqlite", "-s", "l2", "lunes/scan0001.png"},
         1,
         {"Anotado en el registro oficina.sqlite: 1 código nuevo, 0 ya estaban."},
         {}},
        {{"--registro", "oficina.sqlite", "-s", "l3", "lunes/scan0001.png"},
         1,
         {"Anotado en el registro oficina.sqlite: 0 códigos nuevos, 1 ya estaba."},
         {}},
        {{"estado", "--registro", "oficina.sqlite"},
         1,
         {"puede faltarle alguna página", orden},
         {": completa"}},
        {{"resolver", "--registro", "oficina.sqlite", "lunes/scan0001.png", "1", "--por",
          "lunes/scan0001.png"},
         0,
         {"Resuelta en el registro oficina.sqlite la hoja del fichero " + scan +
          ", página 1: la sustituye " + scan},
         {}},
        {{"estado", "--registro", "oficina.sqlite"},
         0,
         {"completa, 75 Vacantes y 41 Resultas", "1 con su última impresión completa"},
         {"Hojas sin resolver"}},
        // La hoja 9 otra vez, en otro lote: repetida, como lo diría una lectura de todo.
        {{"--registro", "oficina.sqlite", "-s", "m1", "martes"}, 1, {}, {}},
        {{"estado", "--registro", "oficina.sqlite"}, 1, {"página 9 repetida"}, {": completa"}},
        {{"-s", "todo", "lunes/hoja1.png", "lunes/hoja2.png", "lunes/hoja3.png", "lunes/hoja4.png",
          "lunes/hoja5.png", "lunes/hoja6.png", "lunes/hoja7.png", "lunes/hoja9.png",
          "lunes/scan0001.png", "martes"},
         1,
         {"página 9 repetida"},
         {}},
        {{"resolver", "--registro", "ofizina.sqlite", "martes/otra.png", "1", "--descartada"},
         2,
         {},
         {}},
        {{"resolver", "--registro", "oficina.sqlite", "martes/otra.png", "1", "--descartada"},
         0,
         {"página 1: descartada"},
         {}},
        {{"estado", "--registro", "oficina.sqlite"}, 0, {"1 con su última impresión completa"}, {}},
    };
    for (const auto& p : pasos) {
        SCOPED_TRACE(p.argumentos.join(' ').toStdString());
        if (p.argumentos.contains("l2")) {
            ASSERT_TRUE(hojas[7].save(scan));
        }
        const SalidaLector s =
            ejecutarLector(QStringList(p.argumentos) << "--sin-progreso", tmp.path());
        EXPECT_EQ(s.estado, p.estado) << s.salida.toStdString() << s.errores.toStdString();
        EXPECT_EQ(s.errores, p.estado == 2 ? QString("movilant-lector: No existe el registro "
                                                     "«ofizina.sqlite».\n")
                                           : QString());
        for (const QString& d : p.dice) EXPECT_TRUE(s.salida.contains(d)) << s.salida.toStdString();
        for (const QString& d : p.noDice)
            EXPECT_FALSE(s.salida.contains(d)) << s.salida.toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(tmp.filePath("ofizina.sqlite")));
    // Lo exportado con la hoja sin resolver no se da por completo.
    const QByteArray json =
        leerBytes(tmp.filePath("exportado/12345678Z_00123A_20261207_101500.json"));
    EXPECT_TRUE(json.contains("\"completa\": false")) << json.toStdString();
    EXPECT_FALSE(leerBytes(tmp.filePath("exportado/plazas.csv")).contains(";S\r\n"));
}

}  // namespace
