#pragma once

// Piezas internas de la tabla en memoria: los registros, el almacén que comparten los cursores y
// los índices hash por campo. Solo las usan Tabla.cpp, FiltroTabla.cpp y las medidas.

#include "platform/ReservaValores.h"
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
    // Un puntero por campo a su valor en la reserva de la tabla. Textos: QString (vacío = nulo).
    // Enteros: qint64 o QVariant() para el nulo. Los comparten los registros copiados con
    // anadirFila: quien cambia un valor se hace antes su propia copia.
    ValoresRegistro valores;
    const QVariant& valor(size_t campo) const { return *valores[campo]; }
    const QVariant& valor(int campo) const { return *valores[size_t(campo)]; }
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
    std::shared_ptr<ReservaValores> reserva;
    // Campos de otra tabla ya vistos iguales a estos (anadirFila): se comparan una sola vez. La
    // copia mantiene vivos sus datos, así que la misma dirección es la misma lista.
    QList<Campo> camposIguales;
    std::vector<Registro*> registros;  // en orden de alta
    // Los registros viven en trozos cada vez mayores: un alta no pide memoria cada vez. Uno que
    // se borra suelta sus valores y su sitio queda libre hasta que se suelta el almacén.
    std::vector<std::unique_ptr<Registro[]>> trozos;
    size_t tamanoTrozo = 0;
    size_t usadosEnTrozo = 0;
    Registro* nuevoRegistro();
    quint64 siguienteSecuencia = 1;
    std::vector<Tabla*> cursores;
    // Índices por campo, construidos la primera vez que se piden y mantenidos después.
    std::vector<std::unique_ptr<IndiceCampo>> indices;
    int bloqueoAvisos = 0;

    const IndiceCampo& indice(int campo);

    // La de instantaneaDe (InstantaneaTabla.h), aquí por ser amiga de Tabla.
    static PTabla instantanea(const Tabla& origen);
    void indexarAlta(Registro* r);
    void indexarBaja(Registro* r);
    void indexarCambio(Registro* r, int campo, const QVariant& anterior);
};
