#pragma once

#include "platform/ServicioMensajes.h"

#include <QList>
#include <QQueue>

// Servicio de mensajes para pruebas: registra cada cuadro y responde según una cola.
// Sin respuesta en cola contesta Aceptar (o No en las preguntas). Nunca bloquea.
struct MensajeMostrado {
    QString texto;
    QString titulo;
    Icono icono;
    Botones botones;
    Respuesta porDefecto = Respuesta::Aceptar;  // el botón que respondería a Intro
};

class MensajesGuion : public ServicioMensajes {
public:
    MensajesGuion();   // se instala al construirse
    ~MensajesGuion();  // y se desinstala al destruirse

    Respuesta mostrar(const QString& texto, const QString& titulo, Icono icono, Botones botones,
                      Respuesta porDefecto) override;

    void responder(Respuesta r) { m_respuestas.enqueue(r); }
    const QList<MensajeMostrado>& mostrados() const { return m_mostrados; }
    QStringList textos() const;
    void limpiar() {
        m_mostrados.clear();
        m_respuestas.clear();
    }

private:
    QList<MensajeMostrado> m_mostrados;
    QQueue<Respuesta> m_respuestas;
};
