#include "lectura/DeteccionPdf417.h"

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

bool hayPdf417(const QImage& gris) {
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
        bool negro = linea[0] < 128;
        int inicio = 0;
        for (int x = 1; x <= gris.width(); ++x) {
            const bool n = x < gris.width() && linea[x] < 128;
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
