#include "catalogue/DecodificacionAnticipada.h"

namespace {

thread_local DecodificacionAnticipada* t_vigente = nullptr;

// Cuánto puede tener hecho el hilo sin que se haya tomado: el fichero siguiente, o más mientras
// lo hecho y no tomado sea poco. Así los catálogos pequeños del principio no detienen al hilo y
// la memoria de más es, como mucho, la de un catálogo grande en claro.
constexpr qsizetype kPorDelante = 1;
constexpr qsizetype kBytesPorDelante = 256 * 1024;

}  // namespace

DecodificacionAnticipada::DecodificacionAnticipada(const QString& carpeta,
                                                   const QStringList& ficheros, int& desvios,
                                                   const QString& carpetaPaso)
    : m_carpeta(carpeta),
      m_paso(carpetaPaso),
      m_ficheros(ficheros),
      m_hechos(size_t(ficheros.size())),
      m_desvios(desvios),
      m_anterior(t_vigente) {
    t_vigente = this;
    m_hilo = std::thread(&DecodificacionAnticipada::trabajar, this);
}

DecodificacionAnticipada::~DecodificacionAnticipada() {
    parar();
    t_vigente = m_anterior;
}

void DecodificacionAnticipada::parar() {
    {
        std::lock_guard<std::mutex> cierre(m_cerrojo);
        m_parar = true;
    }
    m_aviso.notify_all();
    if (m_hilo.joinable()) m_hilo.join();
}

void DecodificacionAnticipada::trabajar() {
    // Al salir, por lo que sea, quien espere un fichero que ya no se hará lo hace él mismo.
    struct AlSalir {
        DecodificacionAnticipada& d;
        ~AlSalir() {
            {
                std::lock_guard<std::mutex> cierre(d.m_cerrojo);
                d.m_terminado = true;
            }
            d.m_aviso.notify_all();
        }
    } alSalir{*this};
    for (qsizetype i = 0; i < m_ficheros.size(); ++i) {
        {
            std::unique_lock<std::mutex> cierre(m_cerrojo);
            m_aviso.wait(cierre, [&] {
                return m_parar || i - m_siguiente < kPorDelante ||
                       m_bytesSinTomar < kBytesPorDelante;
            });
            if (m_parar) return;
        }
        auto hecho = decodificarEnMemoria(m_carpeta, m_ficheros[i], m_paso);
        const bool bien = hecho.ok();
        {
            std::lock_guard<std::mutex> cierre(m_cerrojo);
            if (hecho) m_bytesSinTomar += hecho.valor().contenido.size();
            m_hechos[size_t(i)] = std::move(hecho);
        }
        m_aviso.notify_all();
        // Tras un fallo no se sigue: la carga se parará ahí.
        if (!bien) return;
    }
}

ResultadoDe<TextoClaro> DecodificacionAnticipada::tomar(const QString& carpeta,
                                                        const QString& fichero,
                                                        const QString& carpetaPaso) {
    std::unique_lock<std::mutex> cierre(m_cerrojo);
    const qsizetype i = m_siguiente;
    if (m_parar || carpeta != m_carpeta || carpetaPaso != m_paso || i >= m_ficheros.size() ||
        m_ficheros[i] != fichero) {
        if (!m_parar) ++m_desvios;
        cierre.unlock();
        // Lo que el hilo tuviera a medias termina antes: temp.tmp queda con lo pedido ahora.
        parar();
        return decodificarEnMemoria(carpeta, fichero, carpetaPaso);
    }
    m_aviso.wait(cierre, [&] { return m_hechos[size_t(i)].has_value() || m_terminado; });
    if (!m_hechos[size_t(i)].has_value()) {
        cierre.unlock();
        return decodificarEnMemoria(carpeta, fichero, carpetaPaso);
    }
    ResultadoDe<TextoClaro> hecho = std::move(*m_hechos[size_t(i)]);
    m_hechos[size_t(i)].reset();
    if (hecho) m_bytesSinTomar -= hecho.valor().contenido.size();
    ++m_siguiente;
    cierre.unlock();
    m_aviso.notify_all();
    return hecho;
}

ResultadoDe<TextoClaro> DecodificacionAnticipada::decodificar(const QString& carpeta,
                                                              const QString& fichero,
                                                              const QString& carpetaPaso) {
    if (t_vigente) return t_vigente->tomar(carpeta, fichero, carpetaPaso);
    return decodificarEnMemoria(carpeta, fichero, carpetaPaso);
}
