#include "EscaneoSimulado.h"

#include <QBuffer>
#include <QRandomGenerator>
#include <QTransform>
#include <QVector>
#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

// Una página en grises, un valor por píxel, para hacer las cuentas sin redondear entre pasos.
struct Lienzo {
    int ancho = 0;
    int alto = 0;
    QVector<float> v;
    float en(int x, int y) const { return v[qsizetype(y) * ancho + x]; }
};

Lienzo aLienzo(const QImage& imagen) {
    const QImage g = imagen.convertToFormat(QImage::Format_Grayscale8);
    Lienzo l{g.width(), g.height(), QVector<float>(qsizetype(g.width()) * g.height())};
    for (int y = 0; y < l.alto; ++y) {
        const uchar* fila = g.constScanLine(y);
        for (int x = 0; x < l.ancho; ++x) l.v[qsizetype(y) * l.ancho + x] = fila[x];
    }
    return l;
}

// Giro alrededor del centro con el mismo tamaño, corrido (dx, dy) píxeles: lo que entra por los
// bordes es blanco, como la tapa del escáner. Cada píxel de salida toma el valor bilineal del
// punto de origen.
Lienzo girar(const Lienzo& origen, double grados, double dx, double dy) {
    const double cx = origen.ancho / 2.0, cy = origen.alto / 2.0;
    const QTransform inversa = QTransform()
                                   .translate(cx + dx, cy + dy)
                                   .rotate(grados)
                                   .translate(-cx, -cy)
                                   .inverted();
    Lienzo l{origen.ancho, origen.alto, QVector<float>(origen.v.size())};
    for (int y = 0; y < l.alto; ++y) {
        for (int x = 0; x < l.ancho; ++x) {
            const QPointF p = inversa.map(QPointF(x + 0.5, y + 0.5)) - QPointF(0.5, 0.5);
            const int x0 = int(std::floor(p.x())), y0 = int(std::floor(p.y()));
            const float fx = float(p.x() - x0), fy = float(p.y() - y0);
            auto valor = [&](int xi, int yi) {
                if (xi < 0 || yi < 0 || xi >= origen.ancho || yi >= origen.alto) return 255.0f;
                return origen.en(xi, yi);
            };
            const float arriba = valor(x0, y0) * (1 - fx) + valor(x0 + 1, y0) * fx;
            const float abajo = valor(x0, y0 + 1) * (1 - fx) + valor(x0 + 1, y0 + 1) * fx;
            l.v[qsizetype(y) * l.ancho + x] = arriba * (1 - fy) + abajo * fy;
        }
    }
    return l;
}

// Desenfoque gaussiano separable (filas y luego columnas); en los bordes se repite el último píxel.
Lienzo desenfocar(const Lienzo& origen, double sigma) {
    const int radio = std::max(1, int(std::ceil(3 * sigma)));
    QVector<float> nucleo(2 * radio + 1);
    float suma = 0;
    for (int i = -radio; i <= radio; ++i)
        suma += nucleo[i + radio] = float(std::exp(-(i * i) / (2 * sigma * sigma)));
    for (float& k : nucleo) k /= suma;

    Lienzo filas{origen.ancho, origen.alto, QVector<float>(origen.v.size())};
    for (int y = 0; y < origen.alto; ++y)
        for (int x = 0; x < origen.ancho; ++x) {
            float s = 0;
            for (int i = -radio; i <= radio; ++i)
                s += nucleo[i + radio] * origen.en(std::clamp(x + i, 0, origen.ancho - 1), y);
            filas.v[qsizetype(y) * origen.ancho + x] = s;
        }
    Lienzo l{origen.ancho, origen.alto, QVector<float>(origen.v.size())};
    for (int y = 0; y < origen.alto; ++y)
        for (int x = 0; x < origen.ancho; ++x) {
            float s = 0;
            for (int i = -radio; i <= radio; ++i)
                s += nucleo[i + radio] * filas.en(x, std::clamp(y + i, 0, origen.alto - 1));
            l.v[qsizetype(y) * origen.ancho + x] = s;
        }
    return l;
}

// Normal estándar por Box-Muller: el generador de Qt da la misma secuencia en cualquier máquina,
// y así también los números que salen de él (std::normal_distribution depende de la biblioteca).
class Gauss {
public:
    explicit Gauss(quint32 semilla) : m_azar(semilla) {}
    double siguiente() {
        if (m_guardado) {
            m_guardado = false;
            return m_otro;
        }
        const double u1 = 1.0 - m_azar.generateDouble();  // (0, 1]: el logaritmo existe
        const double u2 = m_azar.generateDouble();
        const double r = std::sqrt(-2.0 * std::log(u1));
        m_otro = r * std::sin(2 * std::numbers::pi * u2);
        m_guardado = true;
        return r * std::cos(2 * std::numbers::pi * u2);
    }

private:
    QRandomGenerator m_azar;
    double m_otro = 0;
    bool m_guardado = false;
};

// Ruido del sensor y, si se pide, el umbral fijo a mitad de escala de un escáner en blanco y negro.
QImage revelar(const Lienzo& l, const DanoEscaneo& dano, quint32 semilla) {
    Gauss gauss(semilla);
    QImage salida(l.ancho, l.alto, QImage::Format_Grayscale8);
    for (int y = 0; y < l.alto; ++y) {
        uchar* fila = salida.scanLine(y);
        for (int x = 0; x < l.ancho; ++x) {
            double v = l.en(x, y);
            if (dano.ruido > 0) v += dano.ruido * gauss.siguiente();
            if (dano.umbral) v = v < 128 ? 0 : 255;
            fila[x] = uchar(std::clamp(std::lround(v), 0L, 255L));
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
