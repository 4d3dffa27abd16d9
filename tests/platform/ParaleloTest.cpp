#include "platform/Paralelo.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <vector>

namespace {

TEST(Paralelo, CadaTareaUnaVezYElAvanceSoloDesdeQuienLlama) {
    for (int hilos : {0, 1, 2, 5}) {
        SCOPED_TRACE(hilos);
        constexpr int n = 200;
        std::vector<std::atomic<int>> veces(n);
        std::vector<int> avances;
        const std::thread::id llamador = std::this_thread::get_id();
        bool otroHilo = false;
        enParalelo(
            n, hilos, [&](int i) { ++veces[size_t(i)]; },
            [&](int hechas) {
                otroHilo |= std::this_thread::get_id() != llamador;
                avances.push_back(hechas);
            });
        for (int i = 0; i < n; ++i) EXPECT_EQ(veces[size_t(i)], 1) << i;
        EXPECT_FALSE(otroHilo);
        ASSERT_FALSE(avances.empty());
        EXPECT_EQ(avances.back(), n);
        EXPECT_TRUE(std::is_sorted(avances.begin(), avances.end()));
    }
}

// Con dos hilos hay dos tareas a la vez: cada una espera a ver a otra en marcha (sin medir
// tiempos; el plazo solo evita colgarse si no llega).
TEST(Paralelo, ConDosHilosHayDosTareasALaVez) {
    std::mutex cerrojo;
    std::condition_variable aviso;
    int activas = 0, maximo = 0;
    enParalelo(4, 2, [&](int) {
        std::unique_lock<std::mutex> l(cerrojo);
        maximo = std::max(maximo, ++activas);
        aviso.notify_all();
        aviso.wait_for(l, std::chrono::seconds(10), [&] { return activas >= 2 || maximo >= 2; });
        --activas;
    });
    EXPECT_EQ(maximo, 2);
}

TEST(Paralelo, UnaTareaQueFallaNoDejaHilosSueltos) {
    std::atomic<int> hechas{0};
    EXPECT_THROW(enParalelo(50, 2,
                            [&](int i) {
                                ++hechas;
                                if (i == 7) throw std::runtime_error("fallo");
                            }),
                 std::runtime_error);
    // Las demás tareas se hacen igual y todo ha terminado al volver.
    EXPECT_EQ(hechas, 50);
}

}  // namespace
