#include "../apoyo/Ficheros.h"
#include "../apoyo/ProgramaLector.h"
#include "../apoyo/RutasCompilacion.h"
#include "ImpresionesReales.h"
#include "startup/Configuracion.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

namespace {

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
        {{"rota.png", "vacio.pdf", "cifrado.pdf", "tuberia", "--sin-progreso"},
         1,
         "1 página leída: 0 solicitudes, 0 completas.\nProblemas del lote:\n"
         "  - no se puede leer el fichero rota.png, página 1: la imagen está dañada o incompleta\n"
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
              QStringList({"12345678Z_00123A_20261207_101500.json", "plazas.csv"}));
    EXPECT_EQ(leerBytes(primera.filePath("plazas.csv")).count("\r\n"), 1 + 75 + 41);
    EXPECT_EQ(QDir(tmp.filePath("dos")).entryList(QDir::Files).size(), 3);
    // Lo exportado del registro es la última impresión, la de las 10:15:00.
    EXPECT_EQ(QDir(tmp.filePath("exportado")).entryList(QDir::Files),
              QStringList({"12345678Z_00123A_20261207_101500.json", "plazas.csv"}));
}

}  // namespace
