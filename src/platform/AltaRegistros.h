#pragma once

#include "platform/Resultado.h"
#include "platform/Tabla.h"

#include <QVariant>
#include <QByteArray>
#include <QHash>
#include <string>
#include <string_view>
#include <vector>

// Alta de muchos registros seguidos en una tabla, para las cargas de ficheros: cada registro se
// arma campo a campo y se da de alta de una vez. Los textos que llegan como bytes
// (Windows-1252) se convierten una sola vez por texto distinto, y un valor tomado de una fila de
// otra tabla de la misma reserva no se copia.
class AltaRegistros {
public:
    explicit AltaRegistros(Tabla& tabla);

    // Texto de un campo en bytes Windows-1252.
    void ponerBytes(int campo, std::string_view bytes);
    // Un valor cualquiera, convertido como en Tabla::establecer.
    Resultado poner(int campo, const QVariant& valor);
    // El valor del campo `origen` de esa fila.
    void copiar(int campo, const FilaTabla& fila, int origen);
    const QVariant& valor(int campo) const { return *m_actual[size_t(campo)]; }

    // Da de alta el registro armado (y lo deja como actual de la tabla) y empieza otro vacío. Si
    // un texto pasa de la longitud de su campo no añade nada, con el mismo fallo que
    // Tabla::anadirRegistro.
    Resultado alta();

private:
    Tabla& m_tabla;
    std::vector<const QVariant*> m_vacio;
    std::vector<const QVariant*> m_actual;
    // Por campo, los textos ya vistos por sus bytes. Un campo en el que casi nada se repite (un
    // código, un nombre propio) deja de buscarse: buscar no ahorraría nada.
    // Tabla abierta por los bytes del texto: guarda su suma y una copia de los bytes juntos, de
    // modo que buscar un texto repetido mira memoria cercana y compara bytes solo si la suma
    // coincide.
    class MapaBytes {
    public:
        const QVariant* buscar(std::string_view bytes, quint64 suma) const;
        void poner(std::string_view bytes, quint64 suma, const QVariant* valor);
        void vaciar();
        static quint64 sumar(std::string_view bytes);

    private:
        struct Entrada {
            quint64 suma = 0;
            const QVariant* valor = nullptr;  // nulo: libre
            quint32 desde = 0;
            quint32 largo = 0;
        };
        void crecer();
        std::vector<Entrada> m_entradas;
        std::string m_bytes;
        size_t m_usadas = 0;
    };
    struct Vistos {
        MapaBytes porBytes;
        int consultas = 0;
        int aciertos = 0;
        bool sinBuscar = false;
    };
    std::vector<Vistos> m_vistos;
};
