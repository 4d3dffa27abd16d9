#pragma once

#include <QHash>
#include <QString>
#include <QVariant>
#include <deque>
#include <memory>

// Cada valor distinto de unas tablas, guardado una sola vez. Los registros guardan punteros a
// estos valores: un código de provincia que se repite en veinte mil plazas ocupa un puntero en
// cada una y un texto en toda la reserva. Los valores no se borran mientras viva la reserva, y
// la reserva vive mientras viva una tabla que la use.
//
// Solo guarda lo que guardan las tablas: textos (QString; el nulo aparte del vacío), enteros
// (qint64) y el nulo.
class ReservaValores {
public:
    ReservaValores();
    ReservaValores(const ReservaValores&) = delete;
    ReservaValores& operator=(const ReservaValores&) = delete;

    const QVariant* nulo() const { return &m_nulo; }
    const QVariant* textoNulo() const { return &m_textoNulo; }
    const QVariant* texto(const QString& texto);
    // Un texto que no se busca entre los guardados, para los que casi nunca se repiten: ahorra la
    // búsqueda y el sitio en el mapa. Un valor igual puede quedar entonces en dos objetos.
    const QVariant* textoSinBuscar(const QString& texto);
    const QVariant* entero(qint64 numero);
    // Un valor ya convertido al tipo de su campo (QString, qint64 o nulo).
    const QVariant* guardar(const QVariant& valor);

    qsizetype cuantos() const { return qsizetype(m_valores.size()); }

    // La reserva en la que guardan sus valores las tablas que se crean ahora en este hilo: la del
    // ámbito vigente, o una nueva para cada tabla si no hay ninguno.
    static std::shared_ptr<ReservaValores> paraTablaNueva();

    // Mientras vive, todas las tablas que se crean en este hilo comparten una reserva: los
    // valores iguales de tablas distintas son el mismo objeto y los registros pueden pasar de una
    // tabla a otra sin copiar sus valores. Para la carga de los catálogos y sus índices.
    class Ambito {
    public:
        Ambito();
        ~Ambito();
        Ambito(const Ambito&) = delete;
        Ambito& operator=(const Ambito&) = delete;

    private:
        std::shared_ptr<ReservaValores> m_anterior;
    };

private:
    QVariant m_nulo;
    QVariant m_textoNulo;
    std::deque<QVariant> m_valores;  // direcciones estables
    // Las claves comparten los datos de los textos guardados en m_valores.
    QHash<QString, const QVariant*> m_textos;
    QHash<qint64, const QVariant*> m_enteros;
};
