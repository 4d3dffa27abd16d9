#include "platform/AlmacenTabla.h"

#include <algorithm>

namespace {

bool antes(const Registro* a, quint64 secuencia) {
    return a->secuencia < secuencia;
}

}  // namespace

QString claveIgualdad(const Campo& campo, const QVariant& valor) {
    if (campo.tipo == TipoCampo::Entero) {
        // El nulo de un entero no es igual a nada: su clave no coincide con ningún número.
        return valor.isNull() ? QStringLiteral("nulo") : QString::number(valor.toLongLong());
    }
    return valor.toString().toCaseFolded();
}

void IndiceCampo::quitar(const QString& clave, Registro* r) {
    auto it = mapa.find(clave);
    if (it == mapa.end()) return;
    auto& lista = it.value();
    auto pos = std::lower_bound(lista.begin(), lista.end(), r->secuencia, antes);
    if (pos != lista.end() && *pos == r) lista.erase(pos);
    if (lista.empty()) mapa.erase(it);
}

void IndiceCampo::poner(const QString& clave, Registro* r) {
    auto& lista = mapa[clave];
    if (lista.empty() || lista.back()->secuencia < r->secuencia) {
        lista.push_back(r);
        return;
    }
    lista.insert(std::lower_bound(lista.begin(), lista.end(), r->secuencia, antes), r);
}

const IndiceCampo& AlmacenTabla::indice(int campo) {
    if (indices.size() != static_cast<size_t>(campos.size())) indices.resize(campos.size());
    auto& ind = indices[static_cast<size_t>(campo)];
    if (!ind) {
        ind = std::make_unique<IndiceCampo>();
        const Campo& c = campos.at(campo);
        for (const auto& r : registros)
            ind->mapa[claveIgualdad(c, r->valor(campo))].push_back(r);
    }
    return *ind;
}

Registro* AlmacenTabla::nuevoRegistro() {
    if (usadosEnTrozo == tamanoTrozo) {
        // Del tamaño de lo que ya hay (de 16 a 4096): poco desperdicio en las tablas pequeñas.
        tamanoTrozo = std::clamp<size_t>(registros.size(), 16, 4096);
        trozos.push_back(std::make_unique<Registro[]>(tamanoTrozo));
        usadosEnTrozo = 0;
    }
    return trozos.back().get() + usadosEnTrozo++;
}

void AlmacenTabla::indexarAlta(Registro* r) {
    for (size_t i = 0; i < indices.size(); ++i)
        if (indices[i]) indices[i]->poner(claveIgualdad(campos.at(int(i)), r->valor(i)), r);
}

void AlmacenTabla::indexarBaja(Registro* r) {
    for (size_t i = 0; i < indices.size(); ++i)
        if (indices[i]) indices[i]->quitar(claveIgualdad(campos.at(int(i)), r->valor(i)), r);
}

void AlmacenTabla::indexarCambio(Registro* r, int campo, const QVariant& anterior) {
    const size_t i = static_cast<size_t>(campo);
    if (i >= indices.size() || !indices[i]) return;
    const Campo& c = campos.at(campo);
    const QString vieja = claveIgualdad(c, anterior);
    const QString nueva = claveIgualdad(c, r->valor(i));
    if (vieja == nueva) return;
    indices[i]->quitar(vieja, r);
    indices[i]->poner(nueva, r);
}
