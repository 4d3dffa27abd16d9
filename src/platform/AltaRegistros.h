#pragma once

#include "platform/Resultado.h"
#include "platform/Tabla.h"

#include <QVariant>
#include <QByteArray>
#include <QHash>
#include <string_view>
#include <vector>

// Alta de muchos registros seguidos en una tabla, para las cargas de ficheros: cada registro se
// arma campo a campo y se da de alta de una vez. Los textos que llegan como bytes
// (Windows-1252) se convierten una sola vez por texto distinto, y un valor tomado de una fila de
// otra tabla de la misma reserva no se copia.
class AltaRegistros {
public:
    explicit AltaRegistros(Tabla& tabla);

    // Texto de un campo en bytes Windows-1252. Los bytes tienen que seguir vivos mientras viva
    // este objeto (se recuerdan por ellos).
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
    struct Vistos {
        QHash<QByteArray, const QVariant*> porBytes;
        int consultas = 0;
        int aciertos = 0;
        bool sinBuscar = false;
    };
    std::vector<Vistos> m_vistos;
};
