#include "platform/Paralelo.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <atomic>
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
