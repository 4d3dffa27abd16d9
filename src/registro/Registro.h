#pragma once

#include "registro/DestinoRegistro.h"
#include "lectura/LecturaPaginas.h"
#include "platform/Resultado.h"

#include <QDateTime>
#include <QString>
#include <QVector>
#include <functional>
#include <memory>

// El registro de la oficina: lo que han leído todas las ejecuciones del lector, para que una
// página escaneada mañana complete una solicitud empezada hoy. Vive en un fichero SQLite o en una
// base PostgreSQL que comparten varios puestos de escaneo; el mismo SQL sirve para los dos.
//
// Guarda cada página leída (fichero, número, cómo se leyó y cuándo) y cada código leído una sola
// vez aunque se escanee en varios ficheros o varias veces (se reconoce por sus bytes). Volver a
// leer un fichero sustituye lo que se sabía de sus páginas: una página ilegible que se escanea
// de nuevo en el mismo fichero deja de estarlo.

struct AnotacionRegistro {
    qsizetype codigosNuevos = 0;
    qsizetype codigosYaEstaban = 0;
};

class Registro {
public:
    enum class Apertura { CrearSiFalta, SoloSiExiste };

    // Abre el registro y crea sus tablas si aún no las tiene. Con SoloSiExiste, un fichero
    // SQLite que no existe es un error (quien solo consulta no debe crear un registro vacío por
    // una errata).
    static ResultadoDe<std::unique_ptr<Registro>> abrir(const QString& destino,
                                                        Apertura apertura = Apertura::CrearSiFalta);
    ~Registro();
    Registro(const Registro&) = delete;
    Registro& operator=(const Registro&) = delete;

    const DestinoRegistro& destino() const { return m_destino; }

    // Anota las páginas de una ejecución, todas o ninguna: en una sola transacción, que se
    // repite si otro puesto escribía lo mismo a la vez. `avance` se llama tras cada fila escrita
    // con las hechas y el total.
    ResultadoDe<AnotacionRegistro> anotar(const QVector<PaginaLeida>& paginas,
                                          const QDateTime& momento,
                                          const std::function<void(int, int)>& avance = {});

    // Todo lo anotado, como lo daría la lectura de un lote con todas esas páginas: por fichero y
    // página, cada código una vez, en la página donde se leyó primero.
    ResultadoDe<QVector<PaginaLeida>> paginas();

private:
    Registro(QString conexion, DestinoRegistro destino);

    QString m_conexion;
    DestinoRegistro m_destino;
};
