#pragma once

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <functional>

// Otra copia del programa, en un proceso de verdad (un fork de la prueba): hace lo que se le pide
// (tomar un bloqueo, limpiar al arrancar...) y se queda viva, con lo que haya tomado, hasta que la
// prueba la suelta. Sin esperas: la prueba sigue cuando el otro proceso ha terminado lo suyo.
class OtroPrograma {
public:
    // `hacer` corre en el otro proceso; lo que devuelve es hecho().
    explicit OtroPrograma(const std::function<bool()>& hacer) {
        int listo[2], fin[2];
        if (::pipe2(listo, O_CLOEXEC) != 0 || ::pipe2(fin, O_CLOEXEC) != 0) return;
        m_pid = ::fork();
        if (m_pid == 0) {
            ::close(listo[0]);
            ::close(fin[1]);
            const char r = hacer() ? '1' : '0';
            (void)!::write(listo[1], &r, 1);
            // Hasta que la prueba cierre su extremo (o muera).
            char c;
            while (::read(fin[0], &c, 1) > 0) {
            }
            ::_exit(0);
        }
        ::close(listo[1]);
        ::close(fin[0]);
        m_fin = fin[1];
        char r = '0';
        m_hecho = m_pid > 0 && ::read(listo[0], &r, 1) == 1 && r == '1';
        ::close(listo[0]);
    }
    ~OtroPrograma() { soltar(); }
    OtroPrograma(const OtroPrograma&) = delete;
    OtroPrograma& operator=(const OtroPrograma&) = delete;

    bool hecho() const { return m_hecho; }
    pid_t pid() const { return m_pid; }
    // Lo deja terminar y espera a que termine: lo que tenía tomado queda libre.
    void soltar() {
        if (m_fin >= 0) ::close(m_fin);
        m_fin = -1;
        if (m_pid > 0) ::waitpid(m_pid, nullptr, 0);
        m_pid = -1;
    }

private:
    pid_t m_pid = -1;
    int m_fin = -1;
    bool m_hecho = false;
};
