#pragma once

#include "platform/AlmacenTabla.h"
#include "platform/Resultado.h"

#include <QList>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

// Expresión de filtro ya analizada: cláusulas "campo operador valor" unidas con AND y OR, con
// paréntesis. Se analiza una vez y se evalúa registro a registro.
class ExpresionFiltro {
public:
    enum class Operador { Igual, Distinto, Menor, MenorIgual, Mayor, MayorIgual, Como };

    struct Clausula {
        int campo = -1;
        TipoCampo tipo = TipoCampo::Texto;
        Operador op = Operador::Igual;
        QString texto;                // el valor tal como se escribió (sin comillas)
        double numero = 0;            // el valor como número, en los campos enteros
        std::vector<QString> trozos;  // "like": los trozos entre comodines
        bool comodinInicial = false;
        bool comodinFinal = false;
    };

    // Analiza el texto contra los campos de la tabla. Falla si no se entiende o nombra un campo
    // que no existe (el mensaje lo compone quien llama, que sabe si era filtro o búsqueda).
    static std::unique_ptr<ExpresionFiltro> analizar(const QString& texto,
                                                     const QList<Campo>& campos);
    ~ExpresionFiltro();

    bool cumple(const Registro& r) const;

    // Si la expresión es una sola cláusula de igualdad: el campo y la clave que buscar en su
    // índice. La clave es nula cuando ningún valor del campo puede ser igual (p. ej. 2.5 en un
    // campo entero).
    struct Igualdad {
        int campo;
        std::optional<QString> clave;
    };
    std::optional<Igualdad> igualdadSimple() const;

    struct Nodo;

private:
    ExpresionFiltro();
    std::unique_ptr<Nodo> m_raiz;
};
