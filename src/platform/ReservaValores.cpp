#include "platform/ReservaValores.h"

namespace {

thread_local std::shared_ptr<ReservaValores> t_reservaDelAmbito;

}  // namespace

ReservaValores::ReservaValores() : m_textoNulo(QString()) {}

const QVariant* ReservaValores::texto(const QString& texto) {
    // El texto nulo y el vacío son valores distintos (isNull): el vacío va en el mapa y el nulo
    // aparte, porque como claves serían iguales.
    if (texto.isNull()) return &m_textoNulo;
    if (const auto it = m_textos.constFind(texto); it != m_textos.constEnd()) return it.value();
    const QVariant* nuevo = textoSinBuscar(texto);
    m_textos.insert(*static_cast<const QString*>(nuevo->constData()), nuevo);
    return nuevo;
}

const QVariant* ReservaValores::textoSinBuscar(const QString& texto) {
    if (texto.isNull()) return &m_textoNulo;
    return &m_valores.emplace_back(texto);
}

const QVariant* ReservaValores::entero(qint64 numero) {
    if (const auto it = m_enteros.constFind(numero); it != m_enteros.constEnd())
        return it.value();
    const QVariant* nuevo = &m_valores.emplace_back(numero);
    m_enteros.insert(numero, nuevo);
    return nuevo;
}

const QVariant* ReservaValores::guardar(const QVariant& valor) {
    if (valor.metaType() == QMetaType::fromType<QString>())
        return texto(*static_cast<const QString*>(valor.constData()));
    if (!valor.isValid() || valor.isNull()) return &m_nulo;
    return entero(valor.toLongLong());
}

std::shared_ptr<ReservaValores> ReservaValores::paraTablaNueva() {
    return t_reservaDelAmbito ? t_reservaDelAmbito : std::make_shared<ReservaValores>();
}

ReservaValores::Ambito::Ambito() : m_anterior(t_reservaDelAmbito) {
    t_reservaDelAmbito = std::make_shared<ReservaValores>();
}

ReservaValores::Ambito::~Ambito() {
    t_reservaDelAmbito = std::move(m_anterior);
}
