#pragma once

#include "lectura/InterpretacionCodigo.h"
#include "lectura/LecturaPaginas.h"

#include <QStringList>
#include <QVector>

// Reparto de las páginas leídas de un lote en solicitudes (una por clave del solicitante, fecha
// y hora de impresión) y comprobación de cada una: la página del solicitante, cada número de
// página una sola vez, los órdenes de 1 en 1 en cada lista y ninguna página de otra impresión.

struct PaginaSolicitud {
    OrigenPagina origen;
    CodigoInterpretado codigo;
};

struct SolicitudLeida {
    QString clave, dni, cuerpo, grupo, fecha, hora;
    QStringList campos;  // los 37 datos tal como vienen (con las parejas "&"); vacío si no se leen
    QVector<PlazaLeida> vacantes, resultas;
    // Las leídas, por número de página (sin las repetidas); sin su carga ni sus plazas, que son
    // las de `campos`, `vacantes` y `resultas`.
    QVector<PaginaSolicitud> paginas;
    QStringList problemas;
    QString nota;  // se dice bajo la solicitud en el resumen, sin ser un problema
    bool completa() const { return problemas.isEmpty(); }
};

struct InformeLote {
    QVector<SolicitudLeida> solicitudes;  // por DNI, cuerpo, grupo y momento de la impresión
    QStringList problemas;  // del lote: ficheros y códigos que no se leen o no se entienden
    QStringList avisos;     // páginas en blanco, por fichero
    QStringList sinCodigo;  // las páginas sin código (cursos y documentos), por fichero
    int paginas = 0;
    int paginasSinCodigo = 0;
    // Verdadero si hay alguna solicitud, todas están completas y no hay problemas del lote.
    bool todoCorrecto() const;
};

// Una página con un código ilegible o que no se puede leer puede ser de cualquier solicitud del
// lote: ninguna se da por completa mientras haya alguna.
// En un lote, dos impresiones del mismo solicitante son un problema de las dos; en el registro
// de la oficina una reimpresión es lo normal y cada impresión se comprueba por su cuenta.
enum class Reimpresiones { SonProblema, SeCompruebanAparte };

InformeLote comprobarLote(const QVector<PaginaLeida>& paginas,
                          Reimpresiones reimpresiones = Reimpresiones::SonProblema);

// Las carpetas del lote que no se han podido recorrer (cada una con su causa) pueden tener hojas
// de cualquier solicitud: son problemas del lote y ninguna solicitud se da por completa.
void anotarCarpetasSinLeer(InformeLote& informe, const QStringList& carpetas);

// Comprueba las páginas de una misma impresión (misma clave, fecha y hora), en cualquier orden.
SolicitudLeida comprobarSolicitud(QVector<PaginaSolicitud> paginas);
