#pragma once

// Piezas internas de la tabla en memoria: los registros, el almacén que comparten los cursores y
// los índices hash por campo. Solo las usan Tabla.cpp, FiltroTabla.cpp y las medidas.

#include "platform/Tabla.h"

#include <QHash>
#include <QString>
#include <QVariant>
#include <memory>
#include <vector>

struct Registro {
    // Número de alta, creciente en el almacén: da el orden natural de los registros y permite
    // búsquedas binarias en las vistas sin orden.
    quint64 secuencia = 0;
    // Textos: QString (vacío = nulo). Enteros: qint64 o QVariant() para el nulo.
    std::vector<QVariant> valores;
};

// Clave de igualdad de un valor: la misma que usa la comparación "=" del filtro, de modo que una
// consulta al índice y un recorrido dan siempre los mismos registros.
QString claveIgualdad(const Campo& campo, const QVariant& valor);

// Registros de cada clave, en orden de alta.
struct IndiceCampo {
    QHash<QString, std::vector<Registro*>> mapa;
    void quitar(const QString& clave, Registro* r);
    void poner(const QString& clave, Registro* r);
};

struct AlmacenTabla {
    QString nombre;
    QList<Campo> campos;
    std::vector<std::unique_ptr<Registro>> registros;  // en orden de alta
    quint64 siguienteSecuencia = 1;
    std::vector<Tabla*> cursores;
    // Índices por campo, construidos la primera vez que se piden y mantenidos después.
    std::vector<std::unique_ptr<IndiceCampo>> indices;
    int bloqueoAvisos = 0;

    const IndiceCampo& indice(int campo);
    void indexarAlta(Registro* r);
    void indexarBaja(Registro* r);
    void indexarCambio(Registro* r, int campo, const QVariant& anterior);
};
