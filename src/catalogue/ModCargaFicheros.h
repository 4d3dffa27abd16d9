#pragma once

#include "platform/Resultado.h"
#include "platform/Tabla.h"

#include <QString>
#include <functional>

// Cargadores de los ficheros de catálogo. Cada uno descifra su fichero de G().RutaFicheros en
// "temp.tmp" (DecodificarFichero) y llena la tabla dada, ya creada con su esquema, con un
// registro por línea. Un fallo vuelve al llamador con su número y una descripción que nombra
// fichero y línea; si el fallo fue al descifrar, el mensaje de la decodificación ya se mostró.

Resultado CargarProvinciasPersonales(const PTabla& tabla);  // F0001
Resultado CargarProvincias(const PTabla& tabla);            // F0002
Resultado CargarLocalidades(const PTabla& tabla);           // F0003, ordenada por localidad
Resultado CargarCuerpos(const PTabla& tabla);               // F0004
Resultado CargarGrupos(const PTabla& tabla);                // F0005
Resultado CargarConsejerias(const PTabla& tabla);           // F0006
Resultado CargarPlazasGrupo(const PTabla& tabla);           // F0007
Resultado CargarPlazasCuerpo(const PTabla& tabla);          // F0008
Resultado CargarZonas(const PTabla& tabla);                 // F0013, nombres de CP850
Resultado CargarAreas(const PTabla& tabla);                 // F0014, columnas A
Resultado CargarAreasTarv(const PTabla& tabla);             // F0014, columnas B
Resultado CargarSituaciones(const PTabla& tabla);           // F0015
Resultado CargarInstituciones(const PTabla& tabla);         // F0016

// Catálogos de plazas (F0009 en rsPlazasVacantes, F0010 en rsPlazasResultas). Buscan el nombre
// del área en G().rsAreas, que tiene que estar cargada. Sin plazas el programa no puede seguir:
// ante cualquier fallo muestran "error al cargar plazas" y llaman a la función de terminación
// (que por omisión sale del proceso); si esta vuelve, devuelven el fallo.
Resultado CargarPlazasVacantes(const PTabla& tabla);
Resultado CargarPlazasResultas(const PTabla& tabla);

// Sustituye la función con que terminan los catálogos de plazas; una vacía restablece la de
// siempre.
void establecerTerminacionPlazas(std::function<void()> terminar);

// Listas de plazas: crea la tabla en `tabla` y, con el código "V", la llena de F0011 completada
// desde G().rsPlazasVacantes; con "R", de F0012 desde G().rsPlazasResultas (en mayúsculas o
// minúsculas). Con otro código la deja creada y vacía.
Resultado CargarListaPlazas(PTabla& tabla, const QString& codigoLista);
