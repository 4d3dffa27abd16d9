#pragma once

#include "Opciones.h"
#include "lectura/LecturaPaginas.h"
#include "registro/Registro.h"

#include <QString>

// Lo que hace el lector con el registro de la oficina. Cada orden devuelve lo que va a la salida
// normal, el error (vacío si no hay) y el estado de salida del programa.
struct SalidaOrden {
    int estado = 0;
    QString salida;
    QString error;
};

// «estado»: el resumen de todo el registro; 0 solo si todo está completo y legible.
SalidaOrden ordenEstado(const OpcionesLector& o);
// «exportar»: los JSON y el CSV de lo que vale de cada solicitante.
SalidaOrden ordenExportar(const OpcionesLector& o);

// Anota en el registro las páginas de un lote, con la ruta completa de cada fichero (la misma
// desde cualquier carpeta); devuelve la línea que lo cuenta.
ResultadoDe<QString> anotarLote(Registro& registro, QVector<PaginaLeida> paginas);
