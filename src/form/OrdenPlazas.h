#pragma once

#include "platform/Tabla.h"

#include <QHash>
#include <QString>
#include <QVariant>
#include <functional>
#include <optional>
#include <vector>

// Identificadores y órdenes de las listas de la solicitud (plazas pedidas, cursos, documentos).
// Todo actúa sobre los registros de la tabla, sin mirar el filtro de quien llama.

inline constexpr qint64 kOrdenMaximo = 32000;

// Mayor valor del campo entre todos los registros + 1; 0 si la tabla no tiene ninguno.
qint64 SiguienteId(const PTabla& tabla, const QString& campo);

// Segundo cursor situado en el primer registro cuyo campo entero vale `id` (mire lo que mire el
// cursor de quien llama); nulo si no hay ninguno.
PTabla cursorEnId(const PTabla& tabla, const QString& campo, qint64 id);

// Si algún registro de la lista tiene esa plaza (CodConvocatoria).
bool PlazaYaSolicitada(const QString& codigo, const PTabla& tabla);

// Valor de una caja de orden, horas o año: cifras con signo y una coma (o punto) decimal; nada si
// no lo es (ni exponentes ni otras formas).
std::optional<double> valorNumerico(const QString& texto);
// El valor entero: la parte decimal se redondea al más cercano y la mitad al par ("2,5" es 2).
std::optional<qint64> valorEntero(const QString& texto);
// Lo que queda en la caja de orden al salir de ella: se vacía si su valor no es mayor que 0 o
// pasa de kOrdenMaximo (un texto que no es un número tampoco es mayor que 0).
bool ordenAdmisible(const QString& texto);

// Orden de una plaza que se añade a la lista: tras la última si la caja está vacía o pide un
// lugar más allá del final; si pide un lugar ocupado, las que lo tienen o van detrás bajan uno.
// Deja la tabla sin filtro.
qint64 OrdenParaNueva(const PTabla& tabla, const QString& textoOrden);

// Suma delta al campo de cada registro cuyo valor sea al menos desde. Deja la tabla sin filtro
// ni orden.
void DesplazarOrden(const PTabla& tabla, qint64 desde, const QString& campo, qint64 delta);

// Hace hueco al cambiar una fila de anterior a nuevo: las que estaban entre medias se corren un
// lugar hacia el que deja libre. La fila que se mueve no se toca. Deja la tabla sin filtro.
void MoverOrden(const PTabla& tabla, const QString& campo, qint64 anterior, qint64 nuevo);

// Ordena por el campo (ascendente, estable) y lo reescribe 1, 2, 3... Deja ese orden puesto y
// el cursor en el primero.
void RenumerarOrden(const PTabla& tabla, const QString& campo);

// Añade a la lista cada plaza que el conjunto deja ver (con su filtro y en su orden) que la lista
// no tenga aún, con los órdenes tras el último y los identificadores siguientes, y con los nombres
// del área (por los dos primeros caracteres de su código) y de la zona. Llama a repintar cada 300
// plazas miradas. Devuelve cuántas añadió.
int InsertarTodas(const PTabla& plazas, const PTabla& lista, const PTabla& areas,
                  const PTabla& zonas, const std::function<void()>& repintar = {});

// Lo mismo por tramos, para una ventana que sigue atendiendo mientras tanto. Al crearse toma nota
// de las plazas que el conjunto deja ver, de lo que la lista ya tiene y de los nombres de áreas y
// zonas: lo que cambie después en ellos (otra búsqueda) no cuenta. Entre tramos nadie más debe
// tocar la lista. Al terminar, la lista es la misma que daría InsertarTodas.
class InsercionTodas {
public:
    InsercionTodas(const PTabla& plazas, const PTabla& lista, const PTabla& areas,
                   const PTabla& zonas);
    // Añade plazas hasta acabar, hasta `maxPlazas` plazas miradas o hasta pasar `plazoMs`
    // milisegundos. Verdadero si aún quedan.
    bool continuar(int maxPlazas, int plazoMs);
    int anadidas() const { return m_anadidas; }
    int miradas() const { return m_siguiente; }
    int total() const { return int(m_plazas.size()); }

private:
    struct Plaza {
        QString codigo;
        QVariant nombre, consejeria, localidad;
        QString codArea, codZona;
    };
    PTabla m_lista;
    std::vector<Plaza> m_plazas;
    QHash<QString, int> m_enLista;
    QHash<QString, QString> m_areas, m_zonas;
    qint64 m_orden = 0;
    qint64 m_id = 0;
    int m_siguiente = 0;
    int m_anadidas = 0;
};

// Nombre del área o de la zona de una plaza, buscado en todos los registros de la tabla por su
// código (el primero que coincida); vacío si no hay ninguno.
QString nombreArea(const PTabla& areas, const QString& codArea);
QString nombreZona(const PTabla& zonas, const QString& codZona);
