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

// «resolver»: la hoja queda sustituida o descartada, con la hora y el nombre de este equipo.
SalidaOrden ordenResolver(const OpcionesLector& o);

// La huella de cada fichero que se puede leer, por su ruta completa: se toma antes de leer el
// lote, y así lo anotado es de los bytes que se han leído.
QHash<QString, QString> huellasDeFicheros(const QStringList& ficheros);

// Anota en el registro las páginas de un lote, con la ruta completa de cada fichero (la misma
// desde cualquier carpeta); devuelve la línea que lo cuenta.
ResultadoDe<QString> anotarLote(Registro& registro, QVector<PaginaLeida> paginas,
                                const QHash<QString, QString>& huellas);
