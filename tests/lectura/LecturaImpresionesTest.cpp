#include "../apoyo/EscaneoSimulado.h"
#include "../apoyo/Ficheros.h"
#include "../printing/PlantillaPrueba.h"
#include "ImpresionesReales.h"
#include "lectura/CargaSolicitante.h"
#include "lectura/ComprobacionLote.h"
#include "lectura/FicherosEntrada.h"
#include "lectura/SalidaLectura.h"
#include "platform/Codificacion.h"
#include "platform/Paralelo.h"
#include "printing/CodigoBarras.h"

#include <gtest/gtest.h>
#include <QBuffer>
#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <algorithm>
#define ZX_USE_UTF8 1
#include <ZXing/ReadBarcode.h>

namespace {

// Los datos del solicitante como los separa el lector de lo que se imprimió.
QStringList camposImpresos(const QString& carga) {
    return Codificacion::desdeWindows1252(bytesCodigo(carga)).split(u'|').mid(0, 37);
}

class LecturaDeImpresiones : public ::testing::TestWithParam<VarianteGenerador> {};

// La ida y vuelta: lo impreso por el programa, leído del PDF, es lo que se imprimió.
TEST_P(LecturaDeImpresiones, ElPdfDevuelveLaSolicitudImpresa) {
    const auto impresion = impresionReal(GetParam());
    ASSERT_TRUE(impresion.ok()) << impresion.mensaje().toStdString();
    const ImpresionReal& i = impresion.valor();

    const InformeLote informe = comprobarLote(leerLote({i.pdf}, OpcionesLectura()));
    EXPECT_TRUE(informe.problemas.isEmpty()) << informe.problemas.join('\n').toStdString();
    ASSERT_EQ(informe.solicitudes.size(), 1);
    const SolicitudLeida& s = informe.solicitudes[0];
    EXPECT_TRUE(s.completa()) << s.problemas.join('\n').toStdString();
    EXPECT_TRUE(informe.todoCorrecto());
    EXPECT_EQ(s.clave, "12345678Z00123A");
    EXPECT_EQ(s.hora, i.hora);
    EXPECT_EQ(s.campos, camposImpresos(i.carga));
    EXPECT_EQ(s.vacantes, i.vacantes);
    EXPECT_EQ(s.resultas, i.resultas);

    const QJsonObject datos =
        QJsonDocument::fromJson(jsonSolicitud(s)).object()["solicitante"].toObject();
    EXPECT_EQ(datos["primerApellido"].toString(), "Núñez de Arce y Peñalver-Ibáñez");
    EXPECT_EQ(datos["nombre"].toString(), "María Ángeles Inmaculada");
    EXPECT_EQ(datos["adaptaciones"].toString(),
              "Adaptación del puesto   mobiliario ergonómico; acceso sin escalones");
}

INSTANTIATE_TEST_SUITE_P(Variantes, LecturaDeImpresiones,
                         ::testing::Values(VarianteGenerador::XP, VarianteGenerador::W97),
                         [](const auto& info) {
                             return info.param == VarianteGenerador::XP ? std::string("XP")
                                                                        : std::string("W97");
                         });

// Una imagen guardada en ese formato y cortada a la mitad.
QByteArray cortada(const QImage& imagen, const char* formato) {
    QByteArray bytes;
    QBuffer b(&bytes);
    b.open(QIODevice::WriteOnly);
    imagen.save(&b, formato);
    return bytes.left(bytes.size() / 2);
}

// "fichero a, página 1; fichero b, página 1" de esas hojas, en el orden de sus ficheros (cada
// hoja es una imagen de una página).
QString ubicacionesDe(const QMap<QString, QString>& fichero, const QStringList& hojas) {
    QStringList rutas;
    for (const QString& h : hojas) rutas.append(fichero[h]);
    rutas.sort();
    for (QString& r : rutas) r = QStringLiteral("fichero %1, página 1").arg(r);
    return rutas.join(QStringLiteral("; "));
}

// Tacha el código de la hoja con franjas blancas verticales: se sigue viendo un PDF417, pero ya
// no se puede leer.
QImage tachada(const QImage& hoja) {
    const QImage gris = hoja.convertToFormat(QImage::Format_Grayscale8);
    const ZXing::ImageView vista(gris.constBits(), gris.width(), gris.height(),
                                 ZXing::ImageFormat::Lum, int(gris.bytesPerLine()));
    const auto r =
        ZXing::ReadBarcode(vista, ZXing::DecodeHints().setFormats(ZXing::BarcodeFormat::PDF417));
    QImage copia = hoja.convertToFormat(QImage::Format_RGB32);
    if (!r.isValid()) return {};
    const auto& p = r.position();
    const int ancho = p.topRight().x - p.topLeft().x;
    QPainter pintor(&copia);
    for (int x = p.topLeft().x + ancho / 5; x < p.topRight().x - ancho / 5; x += 20)
        pintor.fillRect(x, p.topLeft().y, 6, p.bottomLeft().y - p.topLeft().y, Qt::white);
    return copia;
}

// Un lote escaneado de verdad, en un solo montón, en desorden y con los daños de un escáner de
// oficina: la impresión antigua sin la
// página 6 (su hoja tiene el código tachado), la página del solicitante y la 4 de la XP del mismo
// solicitante (la 4 dos veces), una hoja en blanco y dos imágenes cortadas a medias.
TEST(LecturaDeImpresiones, UnMontonEscaneadoDiceCadaProblemaConSuFichero) {
    const auto xp = impresionReal(VarianteGenerador::XP);
    const auto w97 = impresionReal(VarianteGenerador::W97);
    ASSERT_TRUE(xp.ok()) << xp.mensaje().toStdString();
    ASSERT_TRUE(w97.ok()) << w97.mensaje().toStdString();
    QTemporaryDir tmp;
    const QVector<QImage> hojasXp = hojasDe(xp.valor().pdf, tmp.path());
    const QVector<QImage> hojasW97 = hojasDe(w97.valor().pdf, tmp.path());
    ASSERT_EQ(hojasXp.size(), 12);
    ASSERT_EQ(hojasW97.size(), 9);

    struct Hoja {
        QString que;
        QImage imagen;
    };
    QVector<Hoja> monton;
    for (int i = 0; i < 9; ++i)
        monton.append(
            {QStringLiteral("w%1").arg(i + 1), i == 5 ? tachada(hojasW97[i]) : hojasW97[i]});
    ASSERT_FALSE(monton[5].imagen.isNull());
    monton.append({"xp1", hojasXp[0]});
    monton.append({"xp4", hojasXp[3]});
    monton.append({"otra xp4", hojasXp[3]});
    QImage blanca(hojasXp[0].size(), QImage::Format_Grayscale8);
    blanca.fill(Qt::white);
    monton.append({"blanca", blanca});
    QRandomGenerator azar(17);
    std::shuffle(monton.begin(), monton.end(), azar);
    // Cada hoja pasa por el escáner: girada 1,5°, desenfocada, con ruido, umbral y JPEG al 60
    // (las de cursos y documentos no, que no llevan nada que leer y el escáner simulado tarda).
    enParalelo(int(monton.size()), 0, [&](int i) {
        if (!QStringList({"w2", "w3", "w4"}).contains(monton[i].que))
            monton[i].imagen = simularEscaneo(monton[i].imagen, DanoEscaneo(), quint32(i + 1));
    });

    const QString carpeta = tmp.filePath("escaneo");
    QDir().mkpath(carpeta);
    const char* extensiones[] = {"jpg", "png", "jpg", "tif"};
    QMap<QString, QString> fichero;  // qué hoja -> su fichero
    for (qsizetype i = 0; i < monton.size(); ++i) {
        const QString ruta = QStringLiteral("%1/hoja-%2.%3")
                                 .arg(carpeta)
                                 .arg(i + 1, 3, 10, QLatin1Char('0'))
                                 .arg(extensiones[i % 4]);
        ASSERT_TRUE(monton[i].imagen.save(ruta)) << ruta.toStdString();
        fichero[monton[i].que] = ruta;
    }
    const QString rotaPng = carpeta + "/rota.png", rotaJpg = carpeta + "/rota.jpg";
    ASSERT_NO_FATAL_FAILURE(escribirBytes(rotaPng, cortada(hojasXp[0], "PNG")));
    ASSERT_NO_FATAL_FAILURE(escribirBytes(rotaJpg, cortada(hojasXp[0], "JPEG")));

    // Una hoja dada también suelta no se lee dos veces.
    const auto entradas = ficherosDeEntrada({carpeta, fichero["xp1"]});
    ASSERT_TRUE(entradas.ok());
    ASSERT_EQ(entradas.valor().ficheros.size(), 15);
    const InformeLote informe =
        comprobarLote(leerLote(entradas.valor().ficheros, OpcionesLectura()));
    // Lo que no se ha podido leer puede ser de cualquiera de las dos.
    const QString sinLeer =
        QStringLiteral(
            "puede faltarle alguna página: no se ha podido leer fichero %1, página 1; "
            "fichero %2, página 1; fichero %3, página 1")
            .arg(fichero["w6"], rotaJpg, rotaPng);

    ASSERT_EQ(informe.solicitudes.size(), 2);
    const SolicitudLeida& a = informe.solicitudes[0];
    EXPECT_EQ(a.hora, "09:41:07");
    const auto [antes, despues] = std::minmax(fichero["xp4"], fichero["otra xp4"]);
    EXPECT_EQ(a.problemas,
              QStringList({"falta la página 3 de Vacantes (plazas 1 a 40)",
                           QStringLiteral("página 4 repetida: fichero %1, página 1 y fichero %2, "
                                          "página 1")
                               .arg(antes, despues),
                           "hay páginas de otra impresión del mismo solicitante, la del "
                           "07/12/2026 a las 10:15:00: " +
                               ubicacionesDe(fichero, {"w1", "w5", "w7", "w8", "w9"}),
                           sinLeer}));
    EXPECT_EQ(a.vacantes, xp.valor().vacantes.mid(40, 40));
    EXPECT_EQ(a.campos, camposImpresos(xp.valor().carga));

    const SolicitudLeida& b = informe.solicitudes[1];
    EXPECT_EQ(b.hora, "10:15:00");
    EXPECT_EQ(b.problemas, QStringList({"falta la página 6 de Vacantes (plazas 41 a 71)",
                                        "hay páginas de otra impresión del mismo solicitante, la "
                                        "del 07/12/2026 a las 09:41:07: " +
                                            ubicacionesDe(fichero, {"xp1", "xp4", "otra xp4"}),
                                        sinLeer}));
    EXPECT_EQ(b.resultas, w97.valor().resultas);
    EXPECT_EQ(b.campos, camposImpresos(w97.valor().carga));

    EXPECT_EQ(
        informe.problemas,
        QStringList({QStringLiteral("código ilegible en fichero %1, página 1").arg(fichero["w6"]),
                     QStringLiteral("no se puede leer el fichero %1, página 1: la imagen "
                                    "está dañada o incompleta")
                         .arg(rotaJpg),
                     QStringLiteral("no se puede leer el fichero %1, página 1: la imagen "
                                    "está dañada o incompleta")
                         .arg(rotaPng)}))
        << informe.problemas.join('\n').toStdString();
    EXPECT_EQ(informe.avisos,
              QStringList{QStringLiteral("fichero %1, página 1 en blanco").arg(fichero["blanca"])});
    EXPECT_FALSE(informe.todoCorrecto());
}

}  // namespace
