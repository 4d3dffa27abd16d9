#include "MensajesGuion.h"

MensajesGuion::MensajesGuion() {
    instalarServicioMensajes(this);
}

MensajesGuion::~MensajesGuion() {
    instalarServicioMensajes(nullptr);
}

Respuesta MensajesGuion::mostrar(const QString& texto, const QString& titulo, Icono icono,
                                 Botones botones, Respuesta porDefecto) {
    m_mostrados.append({texto, titulo, icono, botones, porDefecto});
    if (!m_respuestas.isEmpty()) return m_respuestas.dequeue();
    return botones == Botones::Aceptar ? Respuesta::Aceptar : Respuesta::No;
}

QStringList MensajesGuion::textos() const {
    QStringList t;
    for (const auto& m : m_mostrados) t << m.texto;
    return t;
}
