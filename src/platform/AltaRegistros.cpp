#include "platform/AltaRegistros.h"

#include "platform/AlmacenTabla.h"
#include "platform/Codificacion.h"

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
    // La clave apunta a los bytes del llamador, que siguen vivos: no se copian.
    const QByteArray clave = QByteArray::fromRawData(bytes.data(), qsizetype(bytes.size()));
    const auto it = vistos.porBytes.constFind(clave);
    if (it != vistos.porBytes.constEnd()) {
        ++vistos.aciertos;
        m_actual[size_t(campo)] = it.value();
    } else {
        m_actual[size_t(campo)] = reserva.texto(texto());
        vistos.porBytes.insert(clave, m_actual[size_t(campo)]);
    }
    if (++vistos.consultas == kMuestra && vistos.aciertos < kAciertosMinimos) {
        vistos.sinBuscar = true;
        vistos.porBytes.clear();
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
