// Paquetes dañados: ningún tamaño que declare el fichero decide cuánta memoria se pide, y lo que no
// se puede leer es un fallo que nombra el fichero.
#include "../apoyo/Ficheros.h"
#include "printing/PaqueteDocx.h"

#include <gtest/gtest.h>
#include <QTemporaryDir>
#include <QtEndian>

namespace {

void u16(QByteArray& b, quint16 v) {
    char x[2];
    qToLittleEndian(v, x);
    b.append(x, 2);
}
void u32(QByteArray& b, quint32 v) {
    char x[4];
    qToLittleEndian(v, x);
    b.append(x, 4);
}
void u64(QByteArray& b, quint64 v) {
    char x[8];
    qToLittleEndian(v, x);
    b.append(x, 8);
}

// Una entrada comprimida con deflate, cuyo tamaño sin comprimir se declara `declarado` (en la
// extensión ZIP64 si no cabe en 32 bits); los datos de verdad son `datos`.
struct Entrada {
    QByteArray nombre, datos;
    quint64 declarado;
};

// CRC-32 de ZIP, bit a bit.
quint32 crc32De(const QByteArray& datos) {
    quint32 crc = 0xFFFFFFFFu;
    for (char c : datos) {
        crc ^= quint8(c);
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

QByteArray deflate(const QByteArray& datos) {
    const QByteArray z = qCompress(datos);  // 4 bytes de tamaño + zlib (2 de cabecera, 4 de suma)
    return z.mid(6, z.size() - 10);
}

// Un ZIP escrito a mano, con las cabeceras que libzip lee.
QByteArray zipA(const QVector<Entrada>& entradas) {
    QByteArray zip, central;
    for (const Entrada& e : entradas) {
        const QByteArray comprimido = deflate(e.datos);
        const bool zip64 = e.declarado >= 0xFFFFFFFFu;
        const quint32 crc = crc32De(e.datos);
        QByteArray extra;
        if (zip64) {
            u16(extra, 0x0001);
            u16(extra, 16);
            u64(extra, e.declarado);
            u64(extra, quint64(comprimido.size()));
        }
        const quint32 desplazamiento = quint32(zip.size());
        const auto cabecera = [&](QByteArray& b, bool enCentral) {
            u32(b, enCentral ? 0x02014b50 : 0x04034b50);
            if (enCentral) u16(b, 45);
            u16(b, 45);
            u16(b, 0);  // sin cifrar
            u16(b, 8);  // deflate
            u16(b, 0);
            u16(b, 0x21);
            u32(b, crc);
            u32(b, zip64 ? 0xFFFFFFFFu : quint32(comprimido.size()));
            u32(b, zip64 ? 0xFFFFFFFFu : quint32(e.declarado));
            u16(b, quint16(e.nombre.size()));
            u16(b, quint16(extra.size()));
            if (enCentral) {
                u16(b, 0);
                u16(b, 0);
                u16(b, 0);
                u32(b, 0);
                u32(b, desplazamiento);
            }
            b += e.nombre + extra;
        };
        cabecera(zip, false);
        zip += comprimido;
        cabecera(central, true);
    }
    const quint32 inicio = quint32(zip.size());
    zip += central;
    u32(zip, 0x06054b50);
    u16(zip, 0);
    u16(zip, 0);
    u16(zip, quint16(entradas.size()));
    u16(zip, quint16(entradas.size()));
    u32(zip, quint32(central.size()));
    u32(zip, inicio);
    u16(zip, 0);
    return zip;
}

TEST(PaqueteDocx, UnaParteQueDiceSerEnormeNoPideEsaMemoria) {
    const QByteArray tipos = "<Types/>";
    const QByteArray cuerpo = "<w:document/>";
    // Bien hecho, se lee.
    auto bueno =
        PaqueteDocx::desdeBytes(zipA({{"[Content_Types].xml", tipos, quint64(tipos.size())},
                                      {"word/document.xml", cuerpo, quint64(cuerpo.size())}}),
                                "bueno.dot");
    ASSERT_TRUE(bueno.ok()) << bueno.mensaje().toStdString();
    EXPECT_EQ(bueno.valor().parte("word/document.xml"), cuerpo);

    const struct {
        const char* caso;
        quint64 declarado;
        const char* causa;
    } casos[] = {
        {"un TiB", quint64(1) << 40, "dicen ocupar más"},
        {"justo por encima del límite", quint64(64 * 1024 * 1024 - tipos.size() + 1),
         "dicen ocupar más"},
        {"menos de lo que trae", 5, "está dañada"},
        {"más de lo que trae", 1000, "está dañada"},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.caso);
        const auto r =
            PaqueteDocx::desdeBytes(zipA({{"[Content_Types].xml", tipos, quint64(tipos.size())},
                                          {"word/document.xml", cuerpo, c.declarado}}),
                                    "plantilla.dot");
        ASSERT_FALSE(r.ok());
        EXPECT_TRUE(r.mensaje().contains("\"plantilla.dot\"")) << r.mensaje().toStdString();
        EXPECT_TRUE(r.mensaje().contains("word/document.xml")) << r.mensaje().toStdString();
        EXPECT_TRUE(r.mensaje().contains(c.causa)) << r.mensaje().toStdString();
    }
    // El límite es de todo el paquete, no de cada parte: varias partes que juntas pasan de él se
    // rechazan antes de leer ninguna, aunque cada una quepa.
    QVector<Entrada> muchas = {{"[Content_Types].xml", tipos, quint64(tipos.size())},
                               {"word/document.xml", cuerpo, quint64(cuerpo.size())}};
    for (const char* parte : {"word/a.xml", "word/b.xml", "word/c.xml", "word/d.xml"})
        muchas.append({parte, "<a/>", 17 * 1024 * 1024});
    const auto r = PaqueteDocx::desdeBytes(zipA(muchas), "plantilla.dot");
    ASSERT_FALSE(r.ok());
    EXPECT_TRUE(
        r.mensaje().contains("con la parte word/d.xml, sus partes dicen ocupar más de lo "
                             "que admite un documento, 64 MiB entre todas"))
        << r.mensaje().toStdString();
}

// Un fichero más grande de lo que puede ser una plantilla no se llega a leer entero.
TEST(PaqueteDocx, UnFicheroDemasiadoGrandeSeRechaza) {
    QTemporaryDir dir;
    const QString ruta = dir.filePath("enorme.dot");
    QFile f(ruta);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_TRUE(f.resize(qint64(300) * 1024 * 1024));  // disperso: no ocupa disco
    f.close();
    const auto r = PaqueteDocx::leer(ruta);
    ASSERT_FALSE(r.ok());
    EXPECT_TRUE(r.mensaje().contains(ruta));
    EXPECT_TRUE(r.mensaje().contains("ocupa más de 64 MiB")) << r.mensaje().toStdString();
}

}  // namespace
