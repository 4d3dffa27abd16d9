#include "platform/Paralelo.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

int hilosDisponibles() {
    return std::max(1, int(std::thread::hardware_concurrency()));
}

void enParalelo(int n, int hilos, const std::function<void(int)>& tarea,
                const std::function<void(int)>& avance) {
    if (n <= 0) return;
    if (hilos <= 0) hilos = hilosDisponibles();
    hilos = std::min(hilos, n);

    std::atomic<int> siguiente{0};
    std::mutex cerrojo;
    std::condition_variable aviso;
    int hechas = 0;
    std::exception_ptr error;

    auto trabajar = [&] {
        for (int i = siguiente++; i < n; i = siguiente++) {
            try {
                tarea(i);
            } catch (...) {
                const std::lock_guard<std::mutex> l(cerrojo);
                if (!error) error = std::current_exception();
            }
            {
                const std::lock_guard<std::mutex> l(cerrojo);
                ++hechas;
            }
            aviso.notify_one();
        }
    };
    std::vector<std::thread> trabajadores;
    trabajadores.reserve(size_t(hilos));
    for (int h = 0; h < hilos; ++h) trabajadores.emplace_back(trabajar);

    int contadas = 0;
    {
        std::unique_lock<std::mutex> l(cerrojo);
        while (contadas < n) {
            aviso.wait(l, [&] { return hechas > contadas; });
            contadas = hechas;
            if (avance) {
                // El avance se llama sin el cerrojo: los hilos siguen mientras se escribe.
                l.unlock();
                avance(contadas);
                l.lock();
            }
        }
    }
    for (std::thread& t : trabajadores) t.join();
    if (error) std::rethrow_exception(error);
}
