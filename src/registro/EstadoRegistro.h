#pragma once

#include "lectura/ComprobacionLote.h"
#include "registro/Registro.h"

#include <QString>
#include <QVector>

// El estado del registro de la oficina: sus páginas se reparten y se comprueban como las de un
// lote, cada impresión por su cuenta. De cada solicitante (DNI, cuerpo y grupo) vale la última
// impresión; las anteriores se guardan aparte y el resumen dice cuál las sustituye.

struct InformeRegistro {
    InformeLote lote;
    QVector<qsizetype> ultimas;  // en lote.solicitudes, la última impresión de cada solicitante
    QVector<HojaSinResolver> sinResolver;
    // Verdadero si hay alguna solicitud, la última impresión de cada solicitante está completa y
    // todo se ha podido leer.
    bool todoCorrecto() const;
    // Lo que se exporta: de cada solicitante su última impresión completa o, si no tiene
    // ninguna completa, la última (que dice sus problemas).
    QVector<SolicitudLeida> paraExportar() const;
};

InformeRegistro comprobarRegistro(const QVector<PaginaLeida>& paginas);
InformeRegistro comprobarRegistro(const ContenidoRegistro& contenido);

// El resumen de un lote con las impresiones de cada solicitante y una línea final con cuántos
// solicitantes tienen completa su última impresión.
QString resumenRegistro(const InformeRegistro& informe);

// Cada hoja sin resolver con la orden que la resuelve en ese registro (dado como se puede
// enseñar); vacío si no hay ninguna.
QString hojasSinResolver(const InformeRegistro& informe, const QString& registro);
