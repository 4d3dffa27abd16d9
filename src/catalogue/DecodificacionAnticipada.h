#pragma once

#include "catalogue/Decodificacion.h"

#include <QString>
#include <QStringList>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

// Descifra los catálogos de una carga en otro hilo, por delante del que se está leyendo:
// mientras la carga parte en campos un catálogo, el siguiente ya se lee, se descifra y se deja
// en temp.tmp. Cada fichero pasa por decodificarEnMemoria, en el orden previsto y uno
// detrás de otro, así que los mensajes de fallo y lo que queda en temp.tmp son los de siempre
// (salvo que, si la carga se para por otra causa, temp.tmp puede tener ya el catálogo siguiente).
//
// Mientras vive, decodificar() de este hilo toma de aquí cada fichero pedido en su turno. Si se
// pide otro fichero u otra carpeta, el hilo se para y todo sigue sin anticipar.
class DecodificacionAnticipada {
public:
    // Cada petición que no estaba prevista (y con la que se deja de anticipar) suma uno a
    // `desvios`, que tiene que vivir más que este objeto.
    // temp.tmp se escribe en `carpetaPaso` (vacía: la de los catálogos).
    DecodificacionAnticipada(const QString& carpeta, const QStringList& ficheros, int& desvios,
                             const QString& carpetaPaso = {});
    ~DecodificacionAnticipada();
    DecodificacionAnticipada(const DecodificacionAnticipada&) = delete;
    DecodificacionAnticipada& operator=(const DecodificacionAnticipada&) = delete;

    // decodificarEnMemoria(carpeta, fichero), hecho de antemano si lo había previsto la
    // decodificación anticipada vigente en este hilo.
    static ResultadoDe<TextoClaro> decodificar(const QString& carpeta, const QString& fichero,
                                               const QString& carpetaPaso = {});

private:
    ResultadoDe<TextoClaro> tomar(const QString& carpeta, const QString& fichero,
                                  const QString& carpetaPaso);
    void trabajar();
    void parar();

    const QString m_carpeta;
    const QString m_paso;
    const QStringList m_ficheros;
    std::vector<std::optional<ResultadoDe<TextoClaro>>> m_hechos;
    qsizetype m_siguiente = 0;  // el próximo que se tomará
    qsizetype m_bytesSinTomar = 0;
    bool m_parar = false;
    bool m_terminado = false;  // el hilo ya no hará nada más
    int& m_desvios;
    std::mutex m_cerrojo;
    std::condition_variable m_aviso;
    DecodificacionAnticipada* m_anterior;
    std::thread m_hilo;
};
