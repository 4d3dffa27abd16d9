#pragma once

#include "platform/Resultado.h"

#include <QString>
#include <QVector>

// Reparto de las listas de la solicitud impresa en páginas, sin tocar el documento: qué
// registros van en cada página, en qué número de página cae cada una y qué entradas lleva el
// código de barras de cada página de plazas. El escritor de las tablas solo sigue este plan.

// Filas por página de los cursos y de los documentos.
constexpr int kFilasPorPaginaCursos = 35;
constexpr int kFilasPorPaginaDocumentos = 35;
// Plazas que caben en la última página de una lista junto al bloque de firma.
constexpr int kPlazasUltimaPagina = 31;

// Los registros de una lista que van en una misma página.
struct TramoPagina {
    int pagina = 0;             // página impresa (la del solicitante es la 1)
    int primero = 0;            // índice del primer registro del tramo, desde 0
    int cuantos = 0;            // registros del tramo
    bool tablaNueva = false;    // va en una tabla nueva con cabecera, tras un salto de página
    bool saltoDespues = false;  // tras el tramo se inserta un salto de página
    bool conCodigo = false;     // tras el tramo va el código de barras de la página
    QString entradas;           // entradas de plazas del código
};

struct PlanLista {
    QVector<TramoPagina> tramos;
    int paginaSiguiente = 0;  // contador de páginas al terminar la lista
};

// Datos de una plaza que cuentan para el reparto.
struct PlazaPlan {
    qint64 orden = 0;
    QString codConvocatoria;
};

// Cursos o documentos: `porPagina` registros por página, empezando en `pagina`; la página solo
// se rompe si quedan registros.
PlanLista planFilas(int registros, int pagina, int porPagina);

// Plazas de una lista: páginas de N, salvo la cola larga (un resto mayor que 31 se parte en una
// página de 31 y otra con lo demás). Cada página lleva su código con sus entradas. N < 1 es un
// fallo.
ResultadoDe<PlanLista> planPlazas(const QVector<PlazaPlan>& plazas, int plazasPorPagina,
                                  int pagina);

// El plan de toda la impresión: cursos y documentos desde la página 2; Vacantes en la página
// siguiente a la de los documentos; Resultas en la siguiente a la del final de Vacantes.
struct PlanImpresion {
    PlanLista cursos, documentos, vacantes, resultas;
};
ResultadoDe<PlanImpresion> planificarImpresion(int cursos, int documentos,
                                               const QVector<PlazaPlan>& vacantes,
                                               const QVector<PlazaPlan>& resultas,
                                               int plazasPorPagina);
