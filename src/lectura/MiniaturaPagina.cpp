#include "lectura/MiniaturaPagina.h"

#include "lectura/DeteccionPdf417.h"

#include <QBuffer>
#include <QImageWriter>
#include <QtMath>
#include <algorithm>
#include <vector>

namespace {

QImage enGris(const QImage& imagen) {
    return imagen.format() == QImage::Format_Grayscale8
               ? imagen
               : imagen.convertToFormat(QImage::Format_Grayscale8);
}

// La imagen reducida `k` veces: cada punto, el promedio de su cuadro de k × k.
QImage reducirEntero(const QImage& gris, int k) {
    const int ancho = gris.width() / k, alto = gris.height() / k;
    QImage r(ancho, alto, QImage::Format_Grayscale8);
    std::vector<quint32> sumas(static_cast<size_t>(ancho));
    const quint32 area = quint32(k * k);
    for (int y = 0; y < alto; ++y) {
        std::fill(sumas.begin(), sumas.end(), 0u);
        for (int dy = 0; dy < k; ++dy) {
            const uchar* linea = gris.constScanLine(y * k + dy);
            for (int x = 0; x < ancho; ++x) {
                const uchar* p = linea + x * k;
                quint32 s = 0;
                for (int dx = 0; dx < k; ++dx) s += p[dx];
                sumas[size_t(x)] += s;
            }
        }
        uchar* destino = r.scanLine(y);
        for (int x = 0; x < ancho; ++x) destino[x] = uchar((sumas[size_t(x)] + area / 2) / area);
    }
    return r;
}

QImage reducir(const QImage& gris) {
    const int k = qMax(1, qRound(double(gris.width()) / kAnchoMiniatura));
    QImage r = k > 1 ? reducirEntero(gris, k) : gris;
    // Una página de un tamaño raro (una tira, un escaneo a una resolución poco corriente) se lleva
    // a la anchura de siempre; una más estrecha se deja como está.
    if (r.width() > 700 || (r.width() < 500 && gris.width() > kAnchoMiniatura))
        r = r.scaledToWidth(kAnchoMiniatura, Qt::SmoothTransformation);
    return r;
}

// Un marco rojo de tres puntos por dentro de `zona` (ya en puntos de la imagen reducida).
QImage recuadrar(const QImage& gris, QRect zona) {
    QImage color = gris.convertToFormat(QImage::Format_RGB32);
    zona = zona.intersected(color.rect());
    if (zona.width() < 8 || zona.height() < 8) return color;
    const QRgb rojo = qRgb(220, 0, 0);
    constexpr int kGrosor = 3;
    for (int y = zona.top(); y <= zona.bottom(); ++y) {
        auto* linea = reinterpret_cast<QRgb*>(color.scanLine(y));
        const bool borde = y - zona.top() < kGrosor || zona.bottom() - y < kGrosor;
        for (int x = zona.left(); x <= zona.right(); ++x)
            if (borde || x - zona.left() < kGrosor || zona.right() - x < kGrosor) linea[x] = rojo;
    }
    return color;
}

// Con las tablas de Huffman hechas para la imagen: una décima parte menos, por casi nada.
QByteArray jpeg(const QImage& imagen, int calidad) {
    QByteArray bytes;
    QBuffer b(&bytes);
    b.open(QIODevice::WriteOnly);
    QImageWriter escritor(&b, "jpg");
    escritor.setQuality(calidad);
    escritor.setOptimizedWrite(true);
    if (!escritor.write(imagen)) return {};
    return bytes;
}

// Celdas de 2 mm de ancho por 1 de alto a media tinta, como las deja un PDF417 aunque esté
// desenfocado (lo mismo que mira hayZonaCodigo): el mayor grupo de ellas, juntas y apretadas, del
// tamaño de un código por lo menos. Vacío si no hay ninguno.
QRect zonaMediaTinta(const QImage& gris, const NivelesHoja& n) {
    const CeldasMediaTinta c = celdasMediaTinta(gris, n);
    const int anchoCelda = c.anchoCelda, altoCelda = c.altoCelda, ancho = c.ancho, alto = c.alto;
    if (ancho < 1 || alto < 1) return {};
    const std::vector<char>& media = c.media;
    // Grupos de celdas a media tinta que se tocan o casi (una fila de celdas más clara en medio de
    // un código no lo parte en dos).
    std::vector<int> grupo(media.size(), -1);
    std::vector<int> pendientes;
    QRect mejor;
    int mejorCuenta = 0;
    for (int inicio = 0; inicio < int(media.size()); ++inicio) {
        if (!media[size_t(inicio)] || grupo[size_t(inicio)] >= 0) continue;
        grupo[size_t(inicio)] = inicio;
        pendientes.assign(1, inicio);
        int cuenta = 0, x0 = ancho, y0 = alto, x1 = -1, y1 = -1;
        while (!pendientes.empty()) {
            const int i = pendientes.back();
            pendientes.pop_back();
            const int x = i % ancho, y = i / ancho;
            ++cuenta;
            x0 = qMin(x0, x), x1 = qMax(x1, x), y0 = qMin(y0, y), y1 = qMax(y1, y);
            for (int vy = qMax(0, y - 2); vy <= qMin(alto - 1, y + 2); ++vy)
                for (int vx = qMax(0, x - 2); vx <= qMin(ancho - 1, x + 2); ++vx) {
                    const size_t v = size_t(vy) * size_t(ancho) + size_t(vx);
                    if (!media[v] || grupo[v] >= 0) continue;
                    grupo[v] = inicio;
                    pendientes.push_back(int(v));
                }
        }
        const int w = x1 - x0 + 1, h = y1 - y0 + 1;
        // 2 cm por 0,4 cm, o al revés en una hoja girada, y más de media zona cubierta.
        const bool tamano = (w >= 10 && h >= 4) || (w >= 2 && h >= 20);
        if (tamano && cuenta * 2 >= w * h && cuenta > mejorCuenta) {
            mejorCuenta = cuenta;
            mejor = QRect(x0 * anchoCelda, y0 * altoCelda, w * anchoCelda, h * altoCelda);
        }
    }
    return mejor;
}

// Las rayas verticales largas (más de 10 mm) de la hoja, lejos de sus bordes (donde un escáner
// deja su sombra): en una hoja de plazas, las de su tabla. Su contorno, o vacío.
QRect zonaRayas(const QImage& gris, const NivelesHoja& n) {
    const int ancho = gris.width(), alto = gris.height();
    const double mm = qMin(ancho, alto) / 210.0;
    const int largo = qMax(3, qRound(10 * mm)), hueco = qMax(2, qRound(0.25 * mm));
    const int margen = qRound(5 * mm);
    const int umbral = n.papel - (n.papel - n.tinta) * 3 / 10;
    std::vector<int> inicio(size_t(ancho), -1), ultima(size_t(ancho), -1);
    QRect zona;
    auto cerrar = [&](int x) {
        if (inicio[size_t(x)] >= 0 && ultima[size_t(x)] - inicio[size_t(x)] + 1 >= largo)
            zona |= QRect(x, inicio[size_t(x)], 1, ultima[size_t(x)] - inicio[size_t(x)] + 1);
        inicio[size_t(x)] = -1;
    };
    for (int y = 0; y < alto; ++y) {
        const uchar* linea = gris.constScanLine(y);
        for (int x = margen; x < ancho - margen; ++x) {
            if (linea[x] >= umbral) continue;
            if (inicio[size_t(x)] >= 0 && y - ultima[size_t(x)] > hueco) cerrar(x);
            if (inicio[size_t(x)] < 0) inicio[size_t(x)] = y;
            ultima[size_t(x)] = y;
        }
    }
    for (int x = 0; x < ancho; ++x) cerrar(x);
    return zona;
}

}  // namespace

QRect zonaIlegible(const QImage& pagina) {
    const QImage gris = enGris(pagina);
    if (gris.isNull()) return {};
    const NivelesHoja n = nivelesHoja(gris);
    if (!n.hayTinta()) return {};
    const QRect codigo = zonaMediaTinta(gris, n);
    return codigo.isEmpty() ? zonaRayas(gris, n) : codigo;
}

QByteArray miniaturaPagina(const QImage& pagina, const QRect& zona) {
    const QImage gris = enGris(pagina);
    if (gris.isNull()) return {};
    QImage reducida = reducir(gris);
    if (!zona.isEmpty()) {
        const double f = double(reducida.width()) / gris.width();
        // Un poco por fuera, para que el marco no tape lo recuadrado.
        const QRect enReducida = QRect(qFloor(zona.left() * f), qFloor(zona.top() * f),
                                       qCeil(zona.width() * f), qCeil(zona.height() * f))
                                     .adjusted(-6, -6, 6, 6);
        reducida = recuadrar(reducida, enReducida);
    }
    for (;;) {
        // Una hoja llena de texto (una lista de plazas) pide la calidad más baja: se reconoce
        // igual.
        for (const int calidad : {60, 45, 30, 20}) {
            QByteArray bytes = jpeg(reducida, calidad);
            if (bytes.isEmpty() || bytes.size() <= kBytesMiniatura) return bytes;
        }
        if (reducida.width() < 150) return {};
        reducida = reducida.scaledToWidth(reducida.width() * 3 / 4, Qt::SmoothTransformation);
    }
}
