#pragma once

#include "printing/ListasImpresas.h"

#include <QString>

// Lo que hace el generador al imprimir, paso a paso, sobre la plantilla dada y las listas de G():
// marcadores, cursos, código del solicitante en la celda (1,1) de la tabla 2, documentos,
// Vacantes y Resultas, y en la variante antigua las marcas de texto fuera. Devuelve los códigos
// insertados (el del solicitante primero) y deja el documento guardado en `rutaDocumento`.
struct SolicitudGenerada {
    QVector<CodigoEsperado> codigos;
    QString avisos;
};
ResultadoDe<SolicitudGenerada> generarSolicitudPrueba(const QString& plantilla,
                                                      const QString& rutaDocumento,
                                                      VarianteGenerador variante, bool borrador,
                                                      const QString& dni, const QString& fecha,
                                                      const QString& hora, const QString& prefijo,
                                                      const QString& carga);
