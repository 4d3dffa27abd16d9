#pragma once

#include <QString>
#include <optional>
#include <utility>

// Resultado de una operación del núcleo: éxito, o fallo con su mensaje en castellano y un número
// de error (el que se muestra en los mensajes "Error en línea ..." y "Se ha producido ...").
class Resultado {
public:
    Resultado() = default;
    static Resultado correcto() { return {}; }
    static Resultado fallo(QString mensaje, int numero = 1) {
        Resultado r;
        r.m_ok = false;
        r.m_mensaje = std::move(mensaje);
        r.m_numero = numero;
        return r;
    }

    bool ok() const { return m_ok; }
    explicit operator bool() const { return m_ok; }
    const QString& mensaje() const { return m_mensaje; }
    int numero() const { return m_numero; }

private:
    bool m_ok = true;
    QString m_mensaje;
    int m_numero = 0;
};

// Resultado que además lleva un valor cuando todo fue bien.
template <typename T>
class ResultadoDe {
public:
    ResultadoDe(T valor) : m_valor(std::move(valor)) {}
    ResultadoDe(Resultado fallo) : m_estado(std::move(fallo)) {}

    bool ok() const { return m_estado.ok(); }
    explicit operator bool() const { return ok(); }
    const T& valor() const { return *m_valor; }
    T& valor() { return *m_valor; }
    const QString& mensaje() const { return m_estado.mensaje(); }
    int numero() const { return m_estado.numero(); }
    const Resultado& estado() const { return m_estado; }

private:
    std::optional<T> m_valor;
    Resultado m_estado;
};

// Números de error que usa el núcleo (los de los mensajes al usuario).
namespace Errores {
constexpr int FicheroNoEncontrado = 53;
constexpr int ErrorEntradaSalida = 57;
constexpr int NombreFicheroIncorrecto = 52;
constexpr int ConversionTipo = 13;
constexpr int ValorFueraDeRango = 6;
constexpr int ArgumentoIncorrecto = 5;
constexpr int RegistroActualNoValido = 3021;
constexpr int CampoDemasiadoLargo = 3163;
constexpr int CampoNoEncontrado = 3265;
constexpr int FiltroNoValido = 3001;
constexpr int NodoNoEncontrado = 91;
constexpr int Cancelado = 18;  // lo paró quien lo pidió
}  // namespace Errores
