#include "lectura/HojaClara.h"

#include "lectura/DeteccionPdf417.h"

#include <QtGlobal>
#include <algorithm>
#include <array>
#include <cstdlib>

namespace {

// Lo menos que la tinta se separa del papel para estirarla: una hoja aclarada un 90 % (el negro
// como gris 230) se separa 25 niveles.
constexpr int kContrasteMinimo = 16;
// Y cuántas veces el ruido del escáner: su tinta no es ruido estirado. Con menos, el ruido de una
// hoja en blanco, estirado, dibuja rayas y zonas que no están.
constexpr double kVecesRuido = 5.0;

// El ruido de la hoja: la mediana de la diferencia entre dos puntos vecinos (casi siempre papel
// con papel) es 0,95 veces su desviación.
double ruidoHoja(const QImage& gris) {
    std::array<qint64, 256> diferencias{};
    qint64 cuantas = 0;
    for (int y = 0; y < gris.height(); y += 3) {
        const uchar* linea = gris.constScanLine(y);
        for (int x = 1; x < gris.width(); ++x, ++cuantas)
            ++diferencias[size_t(std::abs(int(linea[x]) - int(linea[x - 1])))];
    }
    qint64 acumuladas = 0;
    for (int d = 0; d < 256; ++d)
        if ((acumuladas += diferencias[size_t(d)]) * 2 >= cuantas) return d / 0.95;
    return 255;
}

// La media de cada punto con sus ocho vecinos: el ruido queda en un tercio y un trazo de texto
// conserva casi todo su contraste.
QImage suavizada(const QImage& gris) {
    QImage s(gris.size(), QImage::Format_Grayscale8);
    const int ancho = gris.width(), alto = gris.height();
    for (int y = 0; y < alto; ++y) {
        const uchar* filas[3] = {gris.constScanLine(qMax(0, y - 1)), gris.constScanLine(y),
                                 gris.constScanLine(qMin(alto - 1, y + 1))};
        uchar* salida = s.scanLine(y);
        for (int x = 0; x < ancho; ++x) {
            const int i = qMax(0, x - 1), d = qMin(ancho - 1, x + 1);
            int suma = 0;
            for (const uchar* f : filas) suma += f[i] + f[x] + f[d];
            salida[x] = uchar((suma + 4) / 9);
        }
    }
    return s;
}

QImage estirar(const QImage& gris, int borde, int papel, int tinta) {
    std::array<uchar, 256> tabla{};
    for (int v = 0; v < 256; ++v)
        tabla[size_t(v)] = uchar(std::clamp((v - tinta) * 255 / (papel - tinta), 0, 255));
    QImage e(gris.size(), QImage::Format_Grayscale8);
    e.fill(255);
    for (int y = borde; y < gris.height() - borde; ++y) {
        const uchar* linea = gris.constScanLine(y);
        uchar* salida = e.scanLine(y);
        for (int x = borde; x < gris.width() - borde; ++x) salida[x] = tabla[linea[x]];
    }
    return e;
}

}  // namespace

QImage tintaEstirada(const QImage& gris) {
    if (gris.format() != QImage::Format_Grayscale8) return {};
    const int borde = qRound(5 * qMin(gris.width(), gris.height()) / 210.0);
    if (gris.width() <= 4 * borde || gris.height() <= 4 * borde) return {};
    // Primero tal cual; si el ruido tapa la tinta, suavizada (con un tercio del ruido: sus puntos
    // vecinos ya no son independientes y no sirven para medirlo).
    const double ruido = ruidoHoja(gris);
    for (const bool suavizar : {false, true}) {
        if (suavizar && ruido == 0) break;
        const QImage hoja = suavizar ? suavizada(gris) : gris;
        const NivelesHoja n = nivelesHoja(
            hoja.copy(borde, borde, hoja.width() - 2 * borde, hoja.height() - 2 * borde));
        const int contraste = n.papel - n.tinta;
        if (contraste >= kContrasteMinimo && contraste >= kVecesRuido * ruido / (suavizar ? 3 : 1))
            return estirar(hoja, borde, n.papel, n.tinta);
    }
    return {};
}
