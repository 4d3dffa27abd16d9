#pragma once

#include "platform/Resultado.h"

#include <QByteArray>
#include <QImage>
#include <QRect>
#include <QString>
#include <QVector>
#include <functional>

struct AvanceTrabajo;

// Un código PDF417 leído de una página impresa: los bytes tal cual (Windows-1252).
struct CodigoLeido {
    int pagina = 0;
    QByteArray bytes;
    // Ancho del símbolo en el ráster (de la barra de arranque a la de parada) y su resolución:
    // dicen a qué tamaño quedó impreso.
    double anchoPixeles = 0;
    int ppp = 0;
    QRect caja;  // rectángulo que contiene las cuatro esquinas del símbolo, en el ráster
};

// Lo que debe leerse en una página: el texto tal como se dio a GenerarCodigoBarras.
struct CodigoEsperado {
    int pagina = 0;
    QString texto;
};

// Lee todos los PDF417 de una imagen (la página queda en 0 y ppp sin poner).
QVector<CodigoLeido> leerCodigosImagen(const QImage& imagen);

// Rasteriza el PDF en grises a `ppp` puntos por pulgada y pasa cada página, en orden y con su
// número (desde 1), a `porPagina`. Se rasteriza por tandas de pocas páginas: en el disco y en la
// memoria solo hay unas pocas a la vez, aunque el PDF tenga cientos. Con `avance`, dice cuántas
// páginas lleva de cuántas y para (Errores::Cancelado) si se le pide.
Resultado recorrerPaginasPdf(const QString& rutaPdf, int ppp,
                             const std::function<void(int, const QImage&)>& porPagina,
                             AvanceTrabajo* avance = nullptr);

// Páginas del PDF.
ResultadoDe<int> contarPaginasPdf(const QString& rutaPdf, const AvanceTrabajo* avance = nullptr);

// Rasteriza el PDF a `ppp` puntos por pulgada y lee los códigos de cada página (desde 1).
ResultadoDe<QVector<CodigoLeido>> leerCodigosPdf(const QString& rutaPdf, int ppp = 300,
                                                 AvanceTrabajo* avance = nullptr);

// Comprueba que cada código esperado se lee exactamente, en el orden de sus páginas, en la hoja de
// su número o en una posterior (si algo de antes ocupó más de una hoja), y que no hay otros. El
// mensaje del fallo dice qué página y qué código.
Resultado compararCodigos(const QVector<CodigoLeido>& leidos, QVector<CodigoEsperado> esperados);
