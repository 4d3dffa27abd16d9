#include "platform/AltaRegistros.h"

#include "platform/AlmacenTabla.h"
#include "platform/Codificacion.h"

#include <cstring>

AltaRegistros::AltaRegistros(Tabla& tabla) : m_tabla(tabla) {
    const AlmacenTabla& a = tabla.almacen();
    for (const Campo& c : a.campos)
        m_vacio.push_back(c.tipo == TipoCampo::Texto ? a.reserva->textoNulo() : a.reserva->nulo());
    m_actual = m_vacio;
    m_vistos.resize(m_vacio.size());
}

namespace {

// Cuántas consultas de un campo se miran antes de decidir si vale la pena buscar sus textos, y
// qué parte tiene que repetirse.
constexpr int kMuestra = 512;
constexpr int kAciertosMinimos = kMuestra / 4;

}  // namespace

void AltaRegistros::ponerBytes(int campo, std::string_view bytes) {
    ReservaValores& reserva = *m_tabla.almacen().reserva;
    // Sin bytes (la línea no llega al campo) es el texto nulo; con bytes vacíos, el texto vacío.
    if (!bytes.data()) {
        m_actual[size_t(campo)] = reserva.textoNulo();
        return;
    }
    const auto texto = [&] {
        return bytes.empty() ? QString(QLatin1StringView(""))
                             : Codificacion::desdeWindows1252(
                                   QByteArrayView(bytes.data(), qsizetype(bytes.size())));
    };
    Vistos& vistos = m_vistos[size_t(campo)];
    if (vistos.sinBuscar) {
        m_actual[size_t(campo)] = reserva.textoSinBuscar(texto());
        return;
    }
    const quint64 suma = MapaBytes::sumar(bytes);
    if (const QVariant* visto = vistos.porBytes.buscar(bytes, suma)) {
        ++vistos.aciertos;
        m_actual[size_t(campo)] = visto;
    } else {
        m_actual[size_t(campo)] = reserva.texto(texto());
        vistos.porBytes.poner(bytes, suma, m_actual[size_t(campo)]);
    }
    if (++vistos.consultas == kMuestra && vistos.aciertos < kAciertosMinimos) {
        vistos.sinBuscar = true;
        vistos.porBytes.vaciar();
    }
}

Resultado AltaRegistros::poner(int campo, const QVariant& valor) {
    auto guardado = m_tabla.guardarValor(campo, valor);
    if (!guardado) return guardado.estado();
    m_actual[size_t(campo)] = guardado.valor();
    return Resultado::correcto();
}

void AltaRegistros::copiar(int campo, const FilaTabla& fila, int origen) {
    const QVariant* v = fila.valores[size_t(origen)];
    m_actual[size_t(campo)] =
        fila.reserva == m_tabla.almacen().reserva ? v : m_tabla.almacen().reserva->guardar(*v);
}

Resultado AltaRegistros::alta() {
    const AlmacenTabla& a = m_tabla.almacen();
    if (!m_tabla.abierta()) return m_tabla.anadirRegistro({});
    // Solo los textos pueden no caber: lo demás ya se convirtió al ponerlo.
    for (size_t i = 0; i < m_actual.size(); ++i) {
        const Campo& c = a.campos.at(int(i));
        const QVariant& v = *m_actual[i];
        if (c.tipo != TipoCampo::Texto || c.longitud <= 0) continue;
        if (static_cast<const QString*>(v.constData())->size() <= c.longitud) continue;
        auto fallo = m_tabla.guardarValor(int(i), v);
        if (!fallo) {
            m_actual = m_vacio;
            return fallo.estado();
        }
    }
    const size_t n = m_actual.size();
    auto valores = std::make_shared<const QVariant*[]>(n);
    std::copy(m_actual.begin(), m_actual.end(), valores.get());
    m_tabla.darDeAlta(std::move(valores));
    m_actual = m_vacio;
    return Resultado::correcto();
}

quint64 AltaRegistros::MapaBytes::sumar(std::string_view bytes) {
    // De ocho en ocho bytes, cada palabra mezclada con una multiplicación impar y un
    // desplazamiento; la longitud entra al final para que "a" y "a\0" no coincidan.
    constexpr quint64 kImpar = 0x9E3779B97F4A7C15ull;
    quint64 suma = 0;
    size_t i = 0;
    for (; i + 8 <= bytes.size(); i += 8) {
        quint64 palabra;
        std::memcpy(&palabra, bytes.data() + i, 8);
        suma = (suma ^ palabra) * kImpar;
        suma ^= suma >> 32;
    }
    quint64 resto = 0;
    for (size_t j = 0; i + j < bytes.size(); ++j) resto |= quint64(quint8(bytes[i + j])) << (8 * j);
    suma = (suma ^ resto ^ (quint64(bytes.size()) << 56)) * kImpar;
    return suma ^ (suma >> 29);
}

const QVariant* AltaRegistros::MapaBytes::buscar(std::string_view bytes, quint64 suma) const {
    if (m_entradas.empty()) return nullptr;
    const size_t mascara = m_entradas.size() - 1;
    for (size_t i = size_t(suma) & mascara;; i = (i + 1) & mascara) {
        const Entrada& e = m_entradas[i];
        if (!e.valor) return nullptr;
        if (e.suma == suma && e.largo == bytes.size() &&
            std::memcmp(m_bytes.data() + e.desde, bytes.data(), bytes.size()) == 0)
            return e.valor;
    }
}

void AltaRegistros::MapaBytes::poner(std::string_view bytes, quint64 suma, const QVariant* valor) {
    if (2 * (m_usadas + 1) > m_entradas.size()) crecer();
    const size_t mascara = m_entradas.size() - 1;
    size_t i = size_t(suma) & mascara;
    while (m_entradas[i].valor) i = (i + 1) & mascara;
    m_entradas[i] = {suma, valor, quint32(m_bytes.size()), quint32(bytes.size())};
    m_bytes.append(bytes);
    ++m_usadas;
}

void AltaRegistros::MapaBytes::crecer() {
    std::vector<Entrada> antes = std::move(m_entradas);
    m_entradas.assign(antes.empty() ? 64 : 2 * antes.size(), Entrada());
    const size_t mascara = m_entradas.size() - 1;
    for (const Entrada& e : antes) {
        if (!e.valor) continue;
        size_t i = size_t(e.suma) & mascara;
        while (m_entradas[i].valor) i = (i + 1) & mascara;
        m_entradas[i] = e;
    }
}

void AltaRegistros::MapaBytes::vaciar() {
    m_entradas = {};
    m_bytes = {};
    m_usadas = 0;
}
