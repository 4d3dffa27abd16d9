#include "EscaneoSimulado.h"

#include <QBuffer>
#include <QRandomGenerator>
#include <QTransform>
#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <vector>

namespace {

// Una página en grises, un valor por píxel, para hacer las cuentas sin redondear entre pasos.
struct Lienzo {
    int ancho = 0;
    int alto = 0;
    std::vector<float> v;
    Lienzo(int a, int h) : ancho(a), alto(h), v(size_t(a) * size_t(h)) {}
    float* fila(int y) { return v.data() + size_t(y) * size_t(ancho); }
    const float* fila(int y) const { return v.data() + size_t(y) * size_t(ancho); }
};

Lienzo aLienzo(const QImage& imagen) {
    const QImage g = imagen.convertToFormat(QImage::Format_Grayscale8);
    Lienzo l(g.width(), g.height());
    for (int y = 0; y < l.alto; ++y) std::copy_n(g.constScanLine(y), l.ancho, l.fila(y));
    return l;
}

// Giro alrededor del centro con el mismo tamaño, corrido (dx, dy) píxeles: lo que entra por los
// bordes es blanco, como la tapa del escáner. Cada píxel de salida toma el valor bilineal del
// punto de origen.
Lienzo girar(const Lienzo& origen, double grados, double dx, double dy) {
    const double cx = origen.ancho / 2.0, cy = origen.alto / 2.0;
    const QTransform t =
        QTransform().translate(cx + dx, cy + dy).rotate(grados).translate(-cx, -cy).inverted();
    auto valor = [&](int xi, int yi) {
        if (xi < 0 || yi < 0 || xi >= origen.ancho || yi >= origen.alto) return 255.0f;
        return origen.fila(yi)[xi];
    };
    Lienzo l(origen.ancho, origen.alto);
    for (int y = 0; y < l.alto; ++y) {
        float* salida = l.fila(y);
        // El origen de los centros de píxel de una fila avanza en línea recta.
        const QPointF inicio = t.map(QPointF(0.5, y + 0.5)) - QPointF(0.5, 0.5);
        for (int x = 0; x < l.ancho; ++x) {
            const double px = inicio.x() + t.m11() * x, py = inicio.y() + t.m12() * x;
            const int x0 = int(std::floor(px)), y0 = int(std::floor(py));
            const float fx = float(px - x0), fy = float(py - y0);
            const float arriba = valor(x0, y0) * (1 - fx) + valor(x0 + 1, y0) * fx;
            const float abajo = valor(x0, y0 + 1) * (1 - fx) + valor(x0 + 1, y0 + 1) * fx;
            salida[x] = arriba * (1 - fy) + abajo * fy;
        }
    }
    return l;
}

// Desenfoque gaussiano separable (filas y luego columnas); en los bordes se repite el último píxel.
Lienzo desenfocar(const Lienzo& origen, double sigma) {
    const int radio = std::max(1, int(std::ceil(3 * sigma)));
    std::vector<float> nucleo(size_t(2 * radio + 1));
    float suma = 0;
    for (int i = -radio; i <= radio; ++i)
        suma += nucleo[size_t(i + radio)] = float(std::exp(-(i * i) / (2 * sigma * sigma)));
    for (float& k : nucleo) k /= suma;

    const int ancho = origen.ancho, alto = origen.alto;
    Lienzo filas(ancho, alto);
    std::vector<float> ampliada(size_t(ancho + 2 * radio));
    for (int y = 0; y < alto; ++y) {
        const float* f = origen.fila(y);
        for (int x = -radio; x < ancho + radio; ++x)
            ampliada[size_t(x + radio)] = f[std::clamp(x, 0, ancho - 1)];
        float* salida = filas.fila(y);
        for (int x = 0; x < ancho; ++x) {
            float acumulado = 0;
            for (int i = 0; i <= 2 * radio; ++i)
                acumulado += nucleo[size_t(i)] * ampliada[size_t(x + i)];
            salida[x] = acumulado;
        }
    }
    Lienzo l(ancho, alto);
    for (int y = 0; y < alto; ++y) {
        float* salida = l.fila(y);
        std::fill_n(salida, ancho, 0.0f);
        for (int i = -radio; i <= radio; ++i) {
            const float k = nucleo[size_t(i + radio)];
            const float* f = filas.fila(std::clamp(y + i, 0, alto - 1));
            for (int x = 0; x < ancho; ++x) salida[x] += k * f[x];
        }
    }
    return l;
}

// Normal estándar por Box-Muller: el generador de Qt da la misma secuencia en cualquier máquina,
// y así también los números que salen de él (std::normal_distribution depende de la biblioteca).
// Los enteros al azar se piden por bloques: uno a uno cuesta más que el resto del escaneo.
class Gauss {
public:
    explicit Gauss(quint32 semilla) : m_azar(semilla) {}
    double siguiente() {
        if (m_guardado) {
            m_guardado = false;
            return m_otro;
        }
        const double u1 = (double(entero()) + 1.0) / 4294967296.0;  // (0, 1]: el logaritmo existe
        const double u2 = double(entero()) / 4294967296.0;
        const double r = std::sqrt(-2.0 * std::log(u1));
        m_otro = r * std::sin(2 * std::numbers::pi * u2);
        m_guardado = true;
        return r * std::cos(2 * std::numbers::pi * u2);
    }

private:
    quint32 entero() {
        if (m_usados == m_bloque.size()) {
            m_azar.fillRange(m_bloque.data(), qsizetype(m_bloque.size()));
            m_usados = 0;
        }
        return m_bloque[m_usados++];
    }
    QRandomGenerator m_azar;
    std::array<quint32, 4096> m_bloque{};
    size_t m_usados = m_bloque.size();
    double m_otro = 0;
    bool m_guardado = false;
};

// Ruido del sensor y, si se pide, el umbral fijo a mitad de escala de un escáner en blanco y negro.
QImage revelar(const Lienzo& l, const DanoEscaneo& dano, quint32 semilla) {
    Gauss gauss(semilla);
    QImage salida(l.ancho, l.alto, QImage::Format_Grayscale8);
    for (int y = 0; y < l.alto; ++y) {
        const float* f = l.fila(y);
        uchar* s = salida.scanLine(y);
        for (int x = 0; x < l.ancho; ++x) {
            double v = f[x];
            if (dano.ruido > 0) v += dano.ruido * gauss.siguiente();
            if (dano.umbral) v = v < 128 ? 0 : 255;
            s[x] = uchar(std::clamp(std::lround(v), 0L, 255L));
        }
    }
    return salida;
}

}  // namespace

QImage simularEscaneo(const QImage& pagina, const DanoEscaneo& dano, quint32 semilla) {
    if (pagina.isNull()) return {};
    Lienzo l = aLienzo(pagina);
    // La hoja nunca cae dos veces en el mismo sitio del cristal: con el giro va un corrimiento de
    // menos de un píxel, distinto en cada escaneo, que cambia cómo caen los módulos en los píxeles.
    if (dano.grados != 0) {
        QRandomGenerator sitio(semilla ^ 0x9e3779b9u);
        const double dx = sitio.generateDouble(), dy = sitio.generateDouble();
        l = girar(l, dano.grados, dx, dy);
    }
    if (dano.sigma > 0) l = desenfocar(l, dano.sigma);
    QImage escaneada = revelar(l, dano, semilla);
    if (dano.calidadJpeg <= 0) return escaneada;

    // El escáner entrega JPEG: se comprime y se vuelve a leer. Si no hay códec JPEG, una imagen
    // nula, para que nadie tome por dañada una imagen que no lo está.
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    if (!escaneada.save(&buffer, "JPG", std::clamp(dano.calidadJpeg, 1, 100))) return {};
    return QImage::fromData(jpeg, "JPG").convertToFormat(QImage::Format_Grayscale8);
}
