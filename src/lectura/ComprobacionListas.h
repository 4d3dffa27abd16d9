#pragma once

#include "lectura/InterpretacionCodigo.h"
#include "lectura/LecturaPaginas.h"

#include <QStringList>
#include <QVector>

// Comprobación de las páginas de plazas de una impresión: que no falte ninguna y que los órdenes
// vayan de 1 en 1. Lo que se sabe del reparto en páginas: cada lista empieza en página propia y
// se corta en páginas de N plazas, salvo un resto de más de 31, que va en una página de 31 y otra
// con lo demás; tras una última página llena de N el número de página salta uno más; Resultas
// empieza en la página siguiente a ese número.

struct PaginaPlazas {
    int numero = 0;
    QVector<PlazaLeida> plazas;
    OrigenPagina origen;  // dónde se leyó, para los mensajes
};

// N, las plazas por página de la impresión, si las páginas lo dicen sin duda: una página con más
// de 31 plazas está llena, y también la que tiene otra detrás en su lista y no tiene 31. Si no se
// sabe, o dos páginas dicen cosas distintas, 0.
int plazasPorPaginaDeducidas(const QVector<PaginaPlazas>& vacantes,
                             const QVector<PaginaPlazas>& resultas);

struct ListaComprobada {
    QVector<PlazaLeida> plazas;  // todas, por orden, sin repetir ninguno
    QStringList problemas;
};

// Comprueba una lista (páginas sin repetir, por número). `n` es 0 si no se sabe.
ListaComprobada comprobarLista(TipoPagina tipo, const QVector<PaginaPlazas>& paginas, int n);

// Las páginas que faltan entre el final de Vacantes y el principio de Resultas, y que las de
// Resultas vayan detrás.
QStringList comprobarEntreListas(const QVector<PaginaPlazas>& vacantes,
                                 const QVector<PaginaPlazas>& resultas, int n);
