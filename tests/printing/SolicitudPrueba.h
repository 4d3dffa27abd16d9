#pragma once

#include "printing/LecturaCodigos.h"

#include <QString>
#include <QVector>

// Una solicitud de prueba completa en las listas de G(): cursos, documentos, Vacantes y Resultas
// con nombres acentuados y algunos códigos de menos de 5 cifras.
void rellenarListasPrueba(int cursos, int documentos, int vacantes, int resultas);

// Códigos que debe llevar la impresión de las listas de G() con N plazas por página, calculados
// a partir de la paginación que se ve en el papel: 35 cursos y 35 documentos por página, las
// plazas de N en N y, si la última página tendría más de 31, partida en 31 y el resto. La página
// del solicitante es la 1 y los cursos empiezan en la 2; cada lista de plazas en página propia.
QVector<CodigoEsperado> codigosEsperadosImpresion(const QString& prefijo, const QString& carga,
                                                  int plazasPorPagina);
