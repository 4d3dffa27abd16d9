// Un fichero de catálogo cualquiera (el de cuerpos): descifrarlo, partirlo en líneas y cargarlo.
#include "../ObjetivoFuzz.h"
#include "catalogue/Esquemas.h"
#include "catalogue/ModCargaFicheros.h"
#include "global/Globales.h"

OBJETIVO_FUZZ(fuzzCatalogo) {
    fuzz::callar();
    if (fuzz::escribir(QStringLiteral("F0004.enc"), datos, tamano).isEmpty()) return 0;
    G().RutaFicheros = fuzz::carpeta().path() + QStringLiteral("/");
    CargarCuerpos(CrearTablaCuerpos());
    return 0;
}
