#pragma once

#include "lectura/LecturaPaginas.h"

#include <QString>
#include <QVector>

// Las páginas leídas de una impresión hecha con el reparto en páginas del programa, sin pasar
// por el papel: cada página de plazas y la del solicitante con el texto exacto de su código
// (sustituido y en Windows-1252, como lo lee el escáner) y las de cursos y documentos sin código.
struct ImpresionSimulada {
    QString dni = QStringLiteral("12345678Z");
    QString cuerpo = QStringLiteral("123");
    QString grupo = QStringLiteral("A");
    QString fecha = QStringLiteral("07/12/2026");
    QString hora = QStringLiteral("09:41:07");
    int cursos = 36, documentos = 70, vacantes = 75, resultas = 41, porPagina = 40;
    QString fichero = QStringLiteral("solicitud.pdf");

    // Código de convocatoria de la plaza de ese orden en cada lista (uno de cada siete, corto).
    static QString codigo(bool vacante, qint64 orden);
    // Los datos del solicitante, con este DNI, cuerpo y grupo y textos con tildes, eñes, "&",
    // "º", comillas y signos que el código no lleva.
    QString carga() const;
    // Las páginas, la del solicitante primero y las demás por número; cada una en su página del
    // fichero.
    QVector<PaginaLeida> paginas() const;
};

// La página del lote que lleva el código de ese número de página (la primera, si hay varias).
qsizetype indicePagina(const QVector<PaginaLeida>& paginas, int numero);
