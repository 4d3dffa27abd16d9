#include "../apoyo/EscaneoSimulado.h"
#include "../apoyo/HuecoRasterizado.h"
#include "../printing/DatosCodigos.h"
#include "lectura/LecturaPaginas.h"
#include "printing/CodigoBarras.h"
#include "printing/LecturaCodigos.h"
#include "printing/SimboloPdf417.h"

#include <gtest/gtest.h>
#include <QTemporaryDir>

namespace {

// El código de una página de 21 plazas en su hueco, pasado por un PDF a 200 ppp como el papel que
// llega al escáner, corrido `fase` de píxel.
QImage hojaConCodigo(const QByteArray& bytes, const QString& carpeta, double fase) {
    const int alto = TamanoCodigo::AltoPagina * 13 / 10;
    const QString bmp = carpeta + QStringLiteral("/c.bmp");
    QFile::remove(bmp);  // el código nunca se escribe encima de otro fichero
    if (!escribirPdf417(bytes, TamanoCodigo::AnchoPagina, alto, bmp)) return {};
    return rasterHueco(carpeta, QImage(bmp), TamanoCodigo::AnchoPagina, alto, 200, fase);
}

bool leidoTalCual(const QImage& escaneada, const QByteArray& bytes) {
    for (const CodigoLeido& c : leerCodigosImagen(escaneada))
        if (c.bytes == bytes) return true;
    return false;
}

// zxing-cpp pierde bastantes escaneos girados a favor de las agujas del reloj que, girados al
// revés, lee. El lector los recupera, con sus bytes de siempre, también con el giro y el
// desenfoque más fuertes (3°, sigma 1,2), donde leerlos más grandes no basta; y también cuando el
// escáner los entrega en PDF, donde pasar la página a imagen con más detalle no basta.
TEST(AnalisisEscaneo, LeeLosEscaneosGiradosQueZxingPierde) {
    QTemporaryDir carpeta;
    ASSERT_TRUE(carpeta.isValid());
    DanoEscaneo dano;
    dano.grados = 3;
    dano.sigma = 1.2;
    int perdidosPorZxing = 0;
    QStringList pdfs;
    QVector<QByteArray> esperados;
    for (int texto = 0; texto < 3; ++texto) {
        const QByteArray bytes =
            bytesCodigo(textoCodigoPagina(DatosCodigos::prefijo(), QStringLiteral("V"), 5 + texto,
                                          DatosCodigos::entradas(1 + 40 * texto, 21 + 40 * texto)));
        const QImage hoja = hojaConCodigo(bytes, carpeta.path(), texto / 3.0);
        ASSERT_FALSE(hoja.isNull());
        for (quint32 semilla = 1; semilla <= 30; ++semilla) {
            const QImage escaneada = simularEscaneo(hoja, dano, semilla * 100 + quint32(texto));
            if (leidoTalCual(escaneada, bytes)) continue;
            ++perdidosPorZxing;
            EXPECT_EQ(analizarEscaneo(escaneada).codigos, QVector<QByteArray>{bytes})
                << "texto " << texto << ", semilla " << semilla;
            pdfs.append(carpeta.filePath(QStringLiteral("escaneo-%1.pdf").arg(pdfs.size())));
            ASSERT_TRUE(escribirPdfEscaneado(pdfs.last(), escaneada, 200));
            esperados.append(bytes);
        }
    }
    // Sin escaneos que zxing-cpp pierda, la prueba no probaría nada.
    EXPECT_GE(perdidosPorZxing, 4);

    const QVector<PaginaLeida> leidas = leerLote(pdfs, OpcionesLectura());
    ASSERT_EQ(leidas.size(), pdfs.size());
    for (const PaginaLeida& p : leidas) {
        const qsizetype i = pdfs.indexOf(p.origen.fichero);
        ASSERT_GE(i, 0) << p.origen.fichero.toStdString();
        EXPECT_EQ(p.estado, EstadoPagina::ConCodigos) << p.origen.fichero.toStdString();
        EXPECT_EQ(p.codigos, QVector<QByteArray>{esperados[i]}) << p.origen.fichero.toStdString();
    }
}

}  // namespace
