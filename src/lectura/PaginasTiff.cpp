#include "lectura/PaginasTiff.h"

#include <QHash>
#include <QSet>
#include <vector>

bool esTiff(const QByteArray& principio) {
    return principio.startsWith(QByteArray("II*\0", 4)) ||
           principio.startsWith(QByteArray("MM\0*", 4)) ||
           principio.startsWith(QByteArray("II+\0", 4)) ||
           principio.startsWith(QByteArray("MM\0+", 4));
}

namespace {

// Los números de un TIFF, en el orden de bytes del fichero, leídos donde se diga y sin salirse de
// él.
class NumerosTiff {
public:
    NumerosTiff(QIODevice& fichero, bool alReves)
        : m_fichero(fichero), m_tamano(fichero.size()), m_alReves(alReves) {}
    qint64 tamano() const { return m_tamano; }
    bool cabe(quint64 desde, quint64 bytes) const {
        return desde <= quint64(m_tamano) && bytes <= quint64(m_tamano) - desde;
    }
    // `anchura` bytes (de 1 a 8) en `desde`.
    bool leer(quint64 desde, int anchura, quint64& valor) {
        char b[8];
        if (!cabe(desde, quint64(anchura)) || !m_fichero.seek(qint64(desde)) ||
            m_fichero.read(b, anchura) != anchura)
            return false;
        valor = 0;
        for (int i = 0; i < anchura; ++i)
            valor = (valor << 8) | uchar(b[m_alReves ? i : anchura - 1 - i]);
        return true;
    }
    // `cuantos` números de `anchura` bytes seguidos, desde `desde`.
    bool leerSerie(quint64 desde, int anchura, quint64 cuantos, std::vector<quint64>& valores) {
        if (!cabe(desde, cuantos * quint64(anchura)) || cuantos > kMaximoSerie) return false;
        if (!m_fichero.seek(qint64(desde))) return false;
        const QByteArray b = m_fichero.read(qint64(cuantos) * anchura);
        if (b.size() != qsizetype(cuantos) * anchura) return false;
        valores.assign(size_t(cuantos), 0);
        for (quint64 n = 0; n < cuantos; ++n)
            for (int i = 0; i < anchura; ++i)
                valores[size_t(n)] =
                    (valores[size_t(n)] << 8) |
                    uchar(b[qsizetype(n) * anchura + (m_alReves ? i : anchura - 1 - i)]);
        return true;
    }

private:
    // Ninguna página tiene más trozos que esto (una tira por línea de una hoja a 1.200 ppp).
    static constexpr quint64 kMaximoSerie = 1 << 20;
    QIODevice& m_fichero;
    qint64 m_tamano;
    bool m_alReves;  // el orden de bytes "MM" (el más significativo primero)
};

// Las etiquetas de un directorio que dicen dónde están los datos de la imagen: sus tiras o sus
// baldosas (dónde empieza cada trozo y cuántos bytes tiene).
constexpr quint64 kInicioTiras = 273, kBytesTiras = 279, kInicioBaldosas = 324,
                  kBytesBaldosas = 325;

struct EtiquetaTiff {
    quint64 tipo = 0, cuantos = 0, donde = 0;  // `donde`: el sitio de su valor en la entrada
};

int anchuraTipo(quint64 tipo) {
    switch (tipo) {
        case 3:  // SHORT
            return 2;
        case 4:   // LONG
        case 13:  // IFD
            return 4;
        case 16:  // LONG8
        case 18:  // IFD8
            return 8;
        default:
            return 0;
    }
}

// Los valores de una etiqueta: en la entrada misma si caben, o donde ella diga.
bool valoresEtiqueta(NumerosTiff& n, const EtiquetaTiff& e, int anchuraDesplazamiento,
                     std::vector<quint64>& valores) {
    const int anchura = anchuraTipo(e.tipo);
    if (anchura == 0) return false;
    quint64 desde = e.donde;
    if (e.cuantos * quint64(anchura) > quint64(anchuraDesplazamiento) &&
        !n.leer(e.donde, anchuraDesplazamiento, desde))
        return false;
    return n.leerSerie(desde, anchura, e.cuantos, valores);
}

// Verdadero si la página del directorio tiene sus trozos de imagen dentro del fichero.
bool datosEnteros(NumerosTiff& n, const QHash<quint64, EtiquetaTiff>& etiquetas,
                  int anchuraDesplazamiento) {
    const bool baldosas = etiquetas.contains(kInicioBaldosas);
    const auto inicio = etiquetas.constFind(baldosas ? kInicioBaldosas : kInicioTiras);
    const auto bytes = etiquetas.constFind(baldosas ? kBytesBaldosas : kBytesTiras);
    if (inicio == etiquetas.constEnd()) return false;
    std::vector<quint64> inicios, largos;
    if (!valoresEtiqueta(n, *inicio, anchuraDesplazamiento, inicios)) return false;
    // Sin los largos, libtiff los calcula: que al menos cada trozo empiece dentro.
    if (bytes == etiquetas.constEnd() || !valoresEtiqueta(n, *bytes, anchuraDesplazamiento, largos))
        largos.assign(inicios.size(), 1);
    if (largos.size() != inicios.size()) return false;
    for (size_t i = 0; i < inicios.size(); ++i)
        if (!n.cabe(inicios[i], largos[i])) return false;
    return true;
}

}  // namespace

PaginasTiff paginasTiff(QIODevice& fichero) {
    PaginasTiff r;
    if (!fichero.isOpen() || fichero.isSequential() || !fichero.seek(0)) return r;
    const QByteArray cabecera = fichero.read(16);
    if (!esTiff(cabecera)) return r;
    const bool alReves = cabecera.startsWith("MM");
    NumerosTiff n(fichero, alReves);
    quint64 version = 0, directorio = 0;
    n.leer(2, 2, version);
    const bool grande = version == 43;  // BigTIFF: números de 8 bytes
    const int anchuraDesplazamiento = grande ? 8 : 4, anchuraCuenta = grande ? 8 : 2;
    const int anchuraEntrada = grande ? 20 : 12;
    if (!n.leer(grande ? 8 : 4, anchuraDesplazamiento, directorio)) return r;
    QSet<quint64> vistos;  // un directorio que señala a uno anterior no da vueltas sin fin
    while (true) {
        if (directorio == 0) {
            r.entero = r.enteras > 0;
            return r;
        }
        if (vistos.contains(directorio)) return r;
        vistos.insert(directorio);
        quint64 entradas = 0;
        // Un directorio no tiene más entradas que las que caben en los dos bytes de un TIFF.
        if (!n.leer(directorio, anchuraCuenta, entradas) || entradas > 0xFFFF) return r;
        const quint64 primera = directorio + quint64(anchuraCuenta);
        if (!n.cabe(primera, entradas * quint64(anchuraEntrada) + quint64(anchuraDesplazamiento)))
            return r;
        QHash<quint64, EtiquetaTiff> etiquetas;
        for (quint64 i = 0; i < entradas; ++i) {
            const quint64 e = primera + i * quint64(anchuraEntrada);
            quint64 etiqueta = 0;
            EtiquetaTiff t;
            if (!n.leer(e, 2, etiqueta) || !n.leer(e + 2, 2, t.tipo) ||
                !n.leer(e + 4, grande ? 8 : 4, t.cuantos))
                return r;
            t.donde = e + (grande ? 12 : 8);
            if (etiqueta == kInicioTiras || etiqueta == kBytesTiras ||
                etiqueta == kInicioBaldosas || etiqueta == kBytesBaldosas)
                etiquetas.insert(etiqueta, t);
        }
        if (!datosEnteros(n, etiquetas, anchuraDesplazamiento)) return r;
        ++r.enteras;
        if (!n.leer(primera + entradas * quint64(anchuraEntrada), anchuraDesplazamiento,
                    directorio))
            return r;
    }
}
