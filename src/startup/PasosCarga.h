#pragma once

#include "catalogue/IndicesPlazas.h"
#include "platform/Progreso.h"
#include "platform/Resultado.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

// Lo que la pantalla de carga enseña mientras se cargan los catálogos. La ventana lo implementa;
// las pruebas lo implementan para registrar lo que pasa.
class ObservadorCarga {
public:
    virtual ~ObservadorCarga() = default;
    virtual void cursorEspera(bool activo) = 0;
    virtual void fijarTextoInformativo(const QString& texto) = 0;  // lblTitulo
    virtual void fijarTitulo(const QString& titulo) = 0;           // título de la ventana
    virtual void fijarMaximo(int maximo) = 0;
    virtual void fijarValor(int valor) = 0;
    // Redibuja y deja correr los eventos pendientes: la ventana sigue viva durante la carga.
    virtual void repintar() = 0;
};

// Carga sin nada que enseñar: la herramienta de catálogos y las medidas.
class CargaSinVentana : public ObservadorCarga {
public:
    void cursorEspera(bool) override {}
    void fijarTextoInformativo(const QString&) override {}
    void fijarTitulo(const QString&) override {}
    void fijarMaximo(int) override {}
    void fijarValor(int) override {}
    void repintar() override {}
};

// Paso en el que falló la carga y el error que lo detuvo.
struct FalloCarga {
    int paso = 0;
    Resultado error;
    // "Error en línea " paso "." descripción " " número.
    QString mensaje() const;
};

// La secuencia numerada de la pantalla de carga: crea todas las tablas, carga los catálogos y
// construye los índices, avanzando la barra. La misma para el arranque y para el selector.
class PasosCarga : private ObservadorProgreso {
public:
    explicit PasosCarga(ObservadorCarga& observador);

    // Ejecuta los pasos en orden; se para en el primero que falla.
    std::optional<FalloCarga> ejecutar();
    // Solo los pasos que crean tablas y leen catálogos (del 120 en adelante, sin los índices), en
    // el mismo orden: la carga de quien no tiene configuración ni ventana (herramienta de
    // catálogos, comprobación). Como en la carga entera, el paso 120 suelta antes las tablas de
    // una carga anterior, y los índices de plazas quedan vacíos.
    std::optional<FalloCarga> ejecutarCatalogos();

    int maximo() const { return m_maximo; }
    int valor() const { return m_valor; }
    // Catálogos que la última ejecución leyó fuera del orden previsto (se leyeron igual, sin
    // adelantarlos).
    int lecturasNoPrevistas() const { return m_lecturasNoPrevistas; }
    // Números de paso en su orden (para comprobar la secuencia).
    std::vector<int> numerosDePaso() const;

    // Los catálogos que lee la carga entera, en su orden y tantas veces como los lee (F0004 lo
    // lee antes el arranque).
    static QStringList catalogosLeidos();
    // Máximo de la barra para tantos cuerpos y grupos.
    static int maximoBarra(int cuerpos, int grupos);

private:
    struct Paso {
        int numero;
        std::function<Resultado()> accion;
    };
    std::vector<Paso> pasos();
    std::optional<FalloCarga> ejecutarSi(const std::function<bool(int)>& incluir);
    void avanzar(int cantidad) override;
    void fijarValor(int valor);
    Resultado sumarAlMaximo(int cantidad);

    ObservadorCarga& m_obs;
    int m_paso = 30;
    int m_maximo = 0;
    int m_valor = 0;
    int m_lecturasNoPrevistas = 0;
    // Los índices por código de las listas, del paso 600 al 620.
    IndicesListas m_indicesListas;
};

// Texto de un fichero de RutaFicheros (Windows-1252): cada línea precedida de CR+LF, de modo que
// el texto empieza por una línea vacía.
ResultadoDe<QString> LeerFicheroTexto(const QString& nombreFichero);
