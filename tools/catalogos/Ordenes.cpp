#include "Ordenes.h"

#include "catalogue/ModCargaFicheros.h"
#include "startup/CargaCatalogos.h"
#include "startup/ComprobacionCatalogos.h"

#include <QDir>

int ordenVolcar(const QStringList& args) {
    if (args.size() != 1) return fallar(QStringLiteral("Falta la CARPETA."), 2);
    if (!QDir(args.at(0)).exists())
        return fallar(QStringLiteral("No existe la carpeta %1").arg(args.at(0)));
    // Aquí no se termina el proceso sin más: el fallo de las plazas vuelve y se informa.
    establecerTerminacionPlazas([] {});
    const Resultado r = cargarCopiaDeLosCatalogos(args.at(0));
    if (!r) return fallar(r.mensaje());
    escribirSalida(volcarTablas(tablasDeLosFicheros()));
    return 0;
}

int ordenComprobar(const QStringList& args) {
    if (args.size() != 1) return fallar(QStringLiteral("Falta la CARPETA."), 2);
    if (!QDir(args.at(0)).exists())
        return fallar(QStringLiteral("No existe la carpeta %1").arg(args.at(0)));
    const QList<Hallazgo> hallazgos = comprobarCatalogos(args.at(0));
    int graves = 0;
    QString informe;
    for (const Hallazgo& h : hallazgos) {
        informe += describir(h) + u'\n';
        if (h.impideCarga) ++graves;
    }
    if (hallazgos.isEmpty())
        informe = QStringLiteral("Sin problemas en los dieciséis catálogos.\n");
    else
        informe +=
            (hallazgos.size() == 1 ? QStringLiteral("1 problema")
                                   : QStringLiteral("%1 problemas").arg(hallazgos.size())) +
            (graves == 1 ? QStringLiteral("; 1 impide cargar los catálogos.\n")
                         : QStringLiteral("; %1 impiden cargar los catálogos.\n").arg(graves));
    escribirSalida(informe);
    if (graves > 0)
        return fallar(QStringLiteral("Los catálogos de %1 no se pueden cargar.").arg(args.at(0)));
    return 0;
}
