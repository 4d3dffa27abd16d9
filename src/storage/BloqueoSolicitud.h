#pragma once

#include "platform/Resultado.h"

#include <QString>
#include <memory>

// Marca de que una solicitud está abierta en un programa: un fichero oculto junto a ella
// (".<listas>.bloqueo") con un cerrojo del sistema. El cerrojo lo suelta el sistema si el programa
// muere, así que el fichero que deja una ejecución caída no cuenta: se vuelve a tomar. Se nombra
// por el fichero de listas, que comparten los documentos cuyo nombre solo cambia en mayúsculas.
class BloqueoSolicitud {
public:
    // El número de error de un fallo porque otro programa la tiene abierta.
    static constexpr int kEnUso = 1700;
    // El de un fallo porque en la carpeta no se puede escribir: tampoco se podrá guardar en ella,
    // y el guardado lo dirá.
    static constexpr int kCarpetaSinEscritura = 1701;

    // Toma el bloqueo de la solicitud. Falla con kEnUso (y un mensaje que lo explica) si otro
    // programa la tiene; con kCarpetaSinEscritura si la carpeta no deja escribir; con otro número
    // si no se puede tomar (en su lugar hay una carpeta, un enlace...): entonces nadie puede
    // saber si otro programa la tiene, y el mensaje dice por qué.
    static ResultadoDe<std::shared_ptr<BloqueoSolicitud>> tomar(const QString& carpeta,
                                                                const QString& nombreDocumento);
    // Si otro programa vivo tiene abierta la solicitud (sin tomar nada).
    static bool enUso(const QString& carpeta, const QString& nombreDocumento);

    ~BloqueoSolicitud();
    BloqueoSolicitud(const BloqueoSolicitud&) = delete;
    BloqueoSolicitud& operator=(const BloqueoSolicitud&) = delete;

    // Si este bloqueo es el de esa solicitud.
    bool es(const QString& carpeta, const QString& nombreDocumento) const;

private:
    BloqueoSolicitud(QString ruta, int fd) : m_ruta(std::move(ruta)), m_fd(fd) {}
    QString m_ruta;
    int m_fd = -1;
};
