#include "EscaneoSimulado.h"

#include <gtest/gtest.h>
#include <QPainter>
#include <cmath>
#include <numbers>

namespace {

QImage lisa(int lado, int gris) {
    QImage img(lado, lado, QImage::Format_Grayscale8);
    img.fill(QColor(gris, gris, gris));
    return img;
}

// Solo el daño que se mide; lo demás, apagado.
DanoEscaneo sinDanos() {
    return DanoEscaneo{0, 0, 0, false, 0};
}

}  // namespace

TEST(EscaneoSimulado, LaMismaSemillaDaLaMismaImagenYOtraNo) {
    QImage pagina = lisa(300, 255);
    QPainter(&pagina).fillRect(100, 50, 40, 200, Qt::black);
    const DanoEscaneo dano;
    const QImage a = simularEscaneo(pagina, dano, 7);
    ASSERT_FALSE(a.isNull());
    EXPECT_EQ(a.size(), pagina.size());
    EXPECT_EQ(a, simularEscaneo(pagina, dano, 7));
    EXPECT_NE(a, simularEscaneo(pagina, dano, 8));
}

TEST(EscaneoSimulado, ElGiroLlevaLaBarraAlAnguloPedidoYCadaEscaneoCaeEnOtroSitio) {
    QImage pagina = lisa(400, 255);
    QPainter(&pagina).fillRect(195, 0, 10, 400, Qt::black);
    DanoEscaneo dano = sinDanos();
    dano.grados = 10;
    // Centro de la barra en una fila: media de x ponderada por lo oscuro.
    auto centro = [](const QImage& g, int y) {
        double suma = 0, pesos = 0;
        for (int x = 0; x < g.width(); ++x) {
            const double oscuro = 255 - g.constScanLine(y)[x];
            suma += oscuro * x;
            pesos += oscuro;
        }
        return suma / pesos;
    };
    const QImage g = simularEscaneo(pagina, dano, 1);
    // A 150 filas del centro la barra se ha corrido 150 · tan(10°) ≈ 26,4 píxeles.
    const double esperado = 150 * std::tan(10 * std::numbers::pi / 180);
    EXPECT_NEAR(std::abs(centro(g, 50) - centro(g, 350)), 2 * esperado, 1.0);
    // Con el giro, la hoja se corre menos de un píxel, y no igual en cada escaneo.
    EXPECT_NEAR(centro(g, 200), 200, 0.75);
    EXPECT_GT(std::abs(centro(g, 200) - centro(simularEscaneo(pagina, dano, 2), 200)), 0.02);
}

TEST(EscaneoSimulado, ElDesenfoqueTieneLaSigmaPedidaYConservaLaTinta) {
    QImage pagina = lisa(41, 255);
    pagina.scanLine(20)[20] = 0;
    DanoEscaneo dano = sinDanos();
    dano.sigma = 0.8;
    const QImage d = simularEscaneo(pagina, dano, 1);
    double tinta = 0, momento = 0;
    for (int y = 0; y < d.height(); ++y)
        for (int x = 0; x < d.width(); ++x) {
            const double oscuro = 255 - d.constScanLine(y)[x];
            tinta += oscuro;
            momento += oscuro * (x - 20) * (x - 20);
        }
    // Cada píxel de salida se redondea a un nivel entero: la tinta total cambia poco.
    EXPECT_NEAR(tinta, 255, 8);
    EXPECT_NEAR(std::sqrt(momento / tinta), 0.8, 0.06);
}

TEST(EscaneoSimulado, ElRuidoTieneLaDesviacionPedidaYElUmbralDejaSoloBlancoYNegro) {
    DanoEscaneo dano = sinDanos();
    dano.ruido = 20;
    const QImage r = simularEscaneo(lisa(200, 128), dano, 3);
    double suma = 0, cuadrados = 0;
    const int n = r.width() * r.height();
    for (int y = 0; y < r.height(); ++y)
        for (int x = 0; x < r.width(); ++x) {
            const double v = r.constScanLine(y)[x];
            suma += v;
            cuadrados += v * v;
        }
    const double media = suma / n;
    EXPECT_NEAR(media, 128, 0.5);
    EXPECT_NEAR(std::sqrt(cuadrados / n - media * media), 20, 0.5);

    dano.umbral = true;
    const QImage u = simularEscaneo(lisa(200, 128), dano, 3);
    int blancos = 0;
    for (int y = 0; y < u.height(); ++y)
        for (int x = 0; x < u.width(); ++x) {
            const int v = u.constScanLine(y)[x];
            ASSERT_TRUE(v == 0 || v == 255) << v;
            blancos += v == 255;
        }
    // Gris de mitad de escala con ruido simétrico: la mitad cae a cada lado del umbral.
    EXPECT_NEAR(double(blancos) / n, 0.5, 0.02);

    // El JPEG deja grises junto a los bordes que el umbral había hecho tajantes.
    dano.calidadJpeg = 60;
    const QImage j = simularEscaneo(lisa(200, 128), dano, 3);
    ASSERT_FALSE(j.isNull());
    EXPECT_NE(j, u);
}
