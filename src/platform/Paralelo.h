#pragma once

#include <functional>

// Número de hilos que conviene usar: uno por núcleo, al menos uno.
int hilosDisponibles();

// Hace tarea(0), ..., tarea(n - 1) repartidas entre `hilos` hilos (0: uno por núcleo). El hilo que
// llama espera hasta que acaban todas y, cada vez que acaba alguna, llama él mismo a
// avance(hechas): lo que escriba el avance no se cruza con nada. Cada tarea debe tocar solo lo
// suyo.
void enParalelo(int n, int hilos, const std::function<void(int)>& tarea,
                const std::function<void(int)>& avance = {});
