#include "lectura/DeteccionPdf417.h"

#include <QtGlobal>
#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace {

struct Patron {
    bool empiezaNegro;
    int tramos;
    std::array<int, 9> modulos;
    int total;
};

constexpr Patron kPatrones[] = {
    {true, 8, {8, 1, 1, 1, 1, 1, 1, 3}, 17},     // arranque
    {false, 8, {3, 1, 1, 1, 1, 1, 1, 8}, 17},    // arranque, hoja girada
    {true, 9, {7, 1, 1, 3, 1, 1, 1, 2, 1}, 18},  // parada
    {true, 9, {1, 2, 1, 1, 1, 3, 1, 1, 7}, 18},  // parada, hoja girada
};

// Líneas (de cada dos) con el mismo dibujo en el mismo sitio para dar el código por visto: un
// PDF417 de pocas filas a 200 ppp ya da más de 30; un texto no las da nunca.
constexpr int kLineasMinimas = 12;
constexpr int kCaja = 16;  // puntos de ancho de cada caja donde se cuentan las coincidencias

bool encaja(const int* anchos, const Patron& p) {
    int suma = 0;
    for (int i = 0; i < p.tramos; ++i) suma += anchos[i];
    const double modulo = double(suma) / p.total;
    if (modulo < 1.0) return false;
    for (int i = 0; i < p.tramos; ++i)
        if (std::abs(anchos[i] - p.modulos[size_t(i)] * modulo) > 0.6 * modulo + 0.5) return false;
    return true;
}

}  // namespace

bool hayPdf417(const QImage& gris, int umbral) {
    if (gris.format() != QImage::Format_Grayscale8 || gris.width() < 2) return false;
    const size_t cajas = size_t(gris.width() / kCaja + 2);
    std::vector<std::vector<int>> cuentas(std::size(kPatrones), std::vector<int>(cajas, 0));
    std::vector<int> anchos, inicios;
    std::vector<bool> negros;
    for (int y = 0; y < gris.height(); y += 2) {
        const uchar* linea = gris.constScanLine(y);
        anchos.clear();
        inicios.clear();
        negros.clear();
        bool negro = linea[0] < umbral;
        int inicio = 0;
        for (int x = 1; x <= gris.width(); ++x) {
            const bool n = x < gris.width() && linea[x] < umbral;
            if (x < gris.width() && n == negro) continue;
            anchos.push_back(x - inicio);
            inicios.push_back(inicio);
            negros.push_back(negro);
            negro = n;
            inicio = x;
        }
        for (size_t i = 0; i < anchos.size(); ++i)
            for (size_t p = 0; p < std::size(kPatrones); ++p) {
                const Patron& patron = kPatrones[p];
                if (negros[i] != patron.empiezaNegro || i + size_t(patron.tramos) > anchos.size())
                    continue;
                if (encaja(&anchos[i], patron)) ++cuentas[p][size_t(inicios[i] / kCaja) + 1];
            }
    }
    for (const std::vector<int>& cuenta : cuentas)
        for (size_t c = 1; c + 1 < cajas; ++c)
            if (cuenta[c - 1] + cuenta[c] + cuenta[c + 1] >= kLineasMinimas) return true;
    return false;
}

NivelesHoja nivelesHoja(const QImage& gris) {
    constexpr int kPaso = 3;
    std::array<qint64, 256> histograma{};
    qint64 puntos = 0;
    for (int y = 0; y < gris.height(); y += kPaso) {
        const uchar* linea = gris.constScanLine(y);
        for (int x = 0; x < gris.width(); x += kPaso, ++puntos) ++histograma[linea[x]];
    }
    NivelesHoja n;
    qint64 acumulado = 0;
    bool tinta = false;
    for (int nivel = 0; nivel < 256; ++nivel) {
        acumulado += histograma[size_t(nivel)];
        if (!tinta && acumulado * 200 >= puntos) {
            n.tinta = nivel;
            tinta = true;
        }
        if (acumulado * 2 >= puntos) {
            n.papel = nivel;
            break;
        }
    }
    return n;
}

bool hojaEnBlanco(const QImage& gris, const NivelesHoja& n) {
    constexpr int kPaso = 3;
    const int umbral = n.papel - kContrasteTinta;
    qint64 puntos = 0, oscuros = 0;
    for (int y = 0; y < gris.height(); y += kPaso) {
        const uchar* linea = gris.constScanLine(y);
        for (int x = 0; x < gris.width(); x += kPaso, ++puntos)
            if (linea[x] < umbral) ++oscuros;
    }
    return oscuros * 1000 < puntos;
}

// La hoja se parte en celdas de 2 mm de ancho por 1 de alto (la anchura de un A4 entre 105 y entre
// 210): en una celda así un PDF417 tiene la mitad de tinta, con barras anchas o estrechas, y una
// línea de una tabla o un texto, mucho menos. Un código es una ventana de 3 por 0,6 cm (o de 0,6
// por 3, en una hoja girada) con casi todas sus celdas a media tinta; un texto no la llena nunca,
// porque entre sus líneas queda papel.
CeldasMediaTinta celdasMediaTinta(const QImage& gris, const NivelesHoja& n) {
    CeldasMediaTinta c;
    c.anchoCelda = qMax(2, gris.width() / 105);
    c.altoCelda = qMax(1, gris.width() / 210);
    c.ancho = gris.width() / c.anchoCelda;
    c.alto = gris.height() / c.altoCelda;
    if (c.ancho < 1 || c.alto < 1) return {};
    std::vector<qint64> sumas(size_t(c.ancho) * size_t(c.alto), 0);
    for (int y = 0; y < c.alto * c.altoCelda; ++y) {
        const uchar* linea = gris.constScanLine(y);
        qint64* fila = sumas.data() + size_t(y / c.altoCelda) * size_t(c.ancho);
        for (int x = 0; x < c.ancho * c.anchoCelda; ++x) fila[x / c.anchoCelda] += linea[x];
    }
    const double puntosCelda = double(c.anchoCelda) * c.altoCelda, contraste = n.papel - n.tinta;
    c.media.resize(sumas.size());
    for (size_t i = 0; i < sumas.size(); ++i) {
        const double cubierta = (n.papel - sumas[i] / puntosCelda) / contraste;
        c.media[i] = cubierta >= 0.3 && cubierta <= 0.9;
    }
    return c;
}

double zonaCodigoMaxima(const QImage& gris, const NivelesHoja& n) {
    if (!n.hayTinta()) return 0;
    const CeldasMediaTinta c = celdasMediaTinta(gris, n);
    const int ancho = c.ancho, alto = c.alto;
    if (ancho < 1 || alto < 1) return 0;
    // Celdas a media tinta acumuladas desde la esquina, para contar las de cada ventana de una vez.
    std::vector<int> acumuladas(size_t(ancho + 1) * size_t(alto + 1), 0);
    auto acumulada = [&](int x, int y) -> int& {
        return acumuladas[size_t(y) * size_t(ancho + 1) + size_t(x)];
    };
    for (int y = 0; y < alto; ++y)
        for (int x = 0; x < ancho; ++x)
            acumulada(x + 1, y + 1) = acumulada(x, y + 1) + acumulada(x + 1, y) - acumulada(x, y) +
                                      c.media[size_t(y) * size_t(ancho) + size_t(x)];
    double mejor = 0;
    // 3 cm por 0,6 cm: 15 × 6 celdas en horizontal, 3 × 30 en vertical.
    for (const auto& [w, h] : {std::pair{15, 6}, {3, 30}}) {
        for (int y = 0; y + h <= alto; ++y)
            for (int x = 0; x + w <= ancho; ++x) {
                const int dentro = acumulada(x + w, y + h) - acumulada(x, y + h) -
                                   acumulada(x + w, y) + acumulada(x, y);
                mejor = std::max(mejor, double(dentro) / (w * h));
            }
    }
    return mejor;
}

bool hayZonaCodigo(const QImage& gris, const NivelesHoja& n) {
    return zonaCodigoMaxima(gris, n) >= 0.8;
}

namespace {

// Las rayas que se ven a la vez en una fila de la tabla de plazas: los bordes de sus cinco
// columnas (Resultas) o seis (Vacantes). La de cursos da cinco, y su texto no añade ninguna.
constexpr int kRayasTablaPlazas = 6;

// El pie de una hoja, en milímetros: su margen de abajo y un código con la línea en blanco que lo
// separa de la tabla. En una hoja de plazas la tabla acaba a 48 mm o más del borde de abajo (su
// código va detrás); la que llega al pie sigue en la hoja siguiente, que es la que lleva el
// código: una plaza de tres líneas (textos en mayúsculas) puede pasar a otra hoja las últimas
// filas.
constexpr int kPieHoja = 40;

// Un trozo de raya vertical: la columna de puntos y sus filas primera y última.
struct TramoVertical {
    int x, desde, hasta;
};

}  // namespace

// Las medidas van en milímetros de la hoja (un A4 tiene 210 de ancho): sirven igual a 200 ppp que
// a 600. Una raya es una columna de tinta de al menos 6 mm seguidos: una letra de una tabla no
// llega a 3 mm, y entre las letras de dos filas y la raya que las separa queda papel. Cada
// punto se mira con sus vecinos de al lado, para que una raya de una hoja torcida hasta unos 3°
// siga siendo una columna seguida en el tramo que cuenta; y una raya es fina: el borde oscuro de
// un escaneo o una mancha, más anchos, no cuentan. Las rayas de las tablas son de medio punto y,
// escaneadas, quedan mucho más claras que el texto: cuenta como tinta lo que oscurece el papel un
// 30 % de lo que lo oscurece la tinta de la hoja. Las seis rayas tienen que verse a la vez en
// 10 mm de alto por lo menos, dos filas de plazas con la cabecera de su tabla: en las hojas de
// cursos y documentos impresas por el programa, también escaneadas y desenfocadas (su texto toca
// entonces alguna raya), no pasan de 3 mm. Y la tabla tiene que acabar por encima del pie: si
// llega hasta él, su código está en la hoja siguiente.
bool hayTablaPlazas(const QImage& gris, const NivelesHoja& n) {
    if (!n.hayTinta() || gris.format() != QImage::Format_Grayscale8) return false;
    const int ancho = gris.width(), alto = gris.height();
    const double mm = qMin(ancho, alto) / 210.0;
    if (mm <= 0) return false;
    const int largoMinimo = qMax(3, qRound(6 * mm)), altoMinimo = qMax(2, qRound(10 * mm));
    const int hueco = qMax(2, qRound(0.25 * mm)), vecinos = qMax(1, qRound(0.15 * mm));
    const int anchoMaximo = qMax(2, qRound(1.5 * mm));
    const int umbral = n.papel - (n.papel - n.tinta) * 3 / 10;
    // Donde acaba la tabla de una hoja que lleva su código: por encima del pie.
    const int pie = alto - qRound(kPieHoja * mm);

    // Las columnas de tinta de cada columna de puntos, fila a fila; se guardan las largas.
    std::vector<TramoVertical> tramos;
    std::vector<int> inicio(size_t(ancho), -1), ultima(size_t(ancho), -1);
    std::vector<uchar> minimo(static_cast<size_t>(ancho));
    auto cerrar = [&](int x) {
        if (inicio[size_t(x)] >= 0 && ultima[size_t(x)] - inicio[size_t(x)] + 1 >= largoMinimo)
            tramos.push_back({x, inicio[size_t(x)], ultima[size_t(x)]});
        inicio[size_t(x)] = -1;
    };
    for (int y = 0; y < alto; ++y) {
        const uchar* linea = gris.constScanLine(y);
        for (int x = 0; x < ancho; ++x) {
            uchar m = 255;
            for (int v = qMax(0, x - vecinos); v <= qMin(ancho - 1, x + vecinos); ++v)
                m = qMin(m, linea[v]);
            minimo[size_t(x)] = m;
        }
        for (int x = 0; x < ancho; ++x) {
            if (minimo[size_t(x)] >= umbral) continue;
            if (inicio[size_t(x)] >= 0 && y - ultima[size_t(x)] > hueco) cerrar(x);
            if (inicio[size_t(x)] < 0) inicio[size_t(x)] = y;
            ultima[size_t(x)] = y;
        }
    }
    for (int x = 0; x < ancho; ++x) cerrar(x);

    // De arriba abajo, las columnas de puntos que están dentro de un tramo largo: las seguidas
    // son una raya.
    std::vector<std::vector<int>> empiezan(size_t(alto) + 1), acaban(size_t(alto) + 1);
    for (const TramoVertical& t : tramos) {
        empiezan[size_t(t.desde)].push_back(t.x);
        acaban[size_t(t.hasta) + 1].push_back(t.x);
    }
    std::vector<int> dentro(size_t(ancho), 0);
    int activos = 0, seguidas = 0;
    for (int y = 0; y < alto; ++y) {
        for (const int x : acaban[size_t(y)]) {
            --dentro[size_t(x)];
            --activos;
        }
        for (const int x : empiezan[size_t(y)]) {
            ++dentro[size_t(x)];
            ++activos;
        }
        int rayas = 0;
        if (activos >= kRayasTablaPlazas)
            for (int x = 0; x < ancho;) {
                if (dentro[size_t(x)] == 0) {
                    ++x;
                    continue;
                }
                const int desde = x;
                while (x < ancho && dentro[size_t(x)] > 0) ++x;
                if (x - desde <= anchoMaximo) ++rayas;
            }
        if (rayas >= kRayasTablaPlazas) {
            ++seguidas;
            continue;
        }
        if (seguidas >= altoMinimo && y <= pie) return true;
        seguidas = 0;
    }
    return false;
}
