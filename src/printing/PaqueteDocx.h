#pragma once

#include "platform/Resultado.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <utility>

// Contenido de un paquete DOCX (un zip de partes XML y binarias) guardado en memoria, en el
// orden en que venía. Se lee y se escribe entero: un documento de solicitud pesa poco y así la
// escritura puede ser atómica.
class PaqueteDocx {
public:
    static ResultadoDe<PaqueteDocx> leer(const QString& ruta);
    static ResultadoDe<PaqueteDocx> desdeBytes(const QByteArray& zip, const QString& origen);

    // Escribe el zip en un fichero temporal junto al destino y lo renombra: un fallo deja el
    // fichero anterior entero.
    Resultado escribir(const QString& ruta) const;
    ResultadoDe<QByteArray> aBytes() const;

    bool contiene(const QString& nombre) const;
    QByteArray parte(const QString& nombre) const;
    // Sustituye la parte o la añade al final.
    void ponerParte(const QString& nombre, const QByteArray& datos);
    QStringList nombres() const;

    // Comentario del zip: lo lleva el paquete y no lo ve ningún procesador de textos. Ahí va el
    // sello del guardado, que dice de qué guardado es el documento.
    QByteArray comentario() const { return m_comentario; }
    void ponerComentario(const QByteArray& comentario) { m_comentario = comentario; }

private:
    QList<std::pair<QString, QByteArray>> m_partes;
    QByteArray m_comentario;
};
