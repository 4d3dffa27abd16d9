// Un fichero de catálogo cualquiera (el de cuerpos): descifrarlo, partirlo en líneas y cargarlo.
#include "../ObjetivoFuzz.h"
#include "catalogue/Esquemas.h"
#include "catalogue/ModCargaFicheros.h"
#include "startup/Globales.h"

#include <QFile>

OBJETIVO_FUZZ(fuzzCatalogo) {
    fuzz::callar();
    const QString carpeta = fuzz::carpeta().path() + QStringLiteral("/");
    QFile f(carpeta + QStringLiteral("F0004.enc"));
    if (!f.open(QIODevice::WriteOnly)) return 0;
    f.write(fuzz::bytes(datos, tamano));
    f.close();
    G().RutaFicheros = carpeta;
    CargarCuerpos(CrearTablaCuerpos());
    return 0;
}
