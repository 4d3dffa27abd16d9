#pragma once

// Quien hace un trabajo largo avisa de su avance por aquí; la ventana decide cómo mostrarlo.
class ObservadorProgreso {
public:
    virtual ~ObservadorProgreso() = default;
    virtual void avanzar(int cantidad) = 0;
};
