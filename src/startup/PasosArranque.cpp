#include "startup/PasosArranque.h"

#include "catalogue/Esquemas.h"
#include "catalogue/ModCargaFicheros.h"
#include "platform/FicheroAparte.h"
#include "startup/Globales.h"

Resultado PrepararArranque(const QString& carpetaAplicacion) {
    G().RutaFicheros = carpetaAplicacion + QStringLiteral("/ficheros/");
    G().RutaTemporal = carpetaAplicacion + QStringLiteral("/ficheros/temp/");
    // Lo que una ejecución interrumpida dejara escrito aparte, sin poner en su sitio.
    for (const QString& carpeta : {carpetaAplicacion, G().RutaFicheros, G().RutaTemporal})
        limpiarApartes(carpeta);
    G().rsCuerpos = CrearTablaCuerpos();
    return CargarCuerpos(G().rsCuerpos);
}

void CerrarTablas() {
    Globales& g = G();
    PTabla* const tablas[] = {&g.rsVacantesCuerpo,
                              &g.rsResultasCuerpo,
                              &g.rsLocalidadesVacantes,
                              &g.rsLocalidadesResultas,
                              &g.rsConsejeriasVacantes,
                              &g.rsProvincias,
                              &g.rsProvinciasPersonales,
                              &g.rsCuerpos,
                              &g.rsGrupos,
                              &g.rsLocalidades,
                              &g.rsCursos,
                              &g.rsVacantesSolicitadas,
                              &g.rsResultasSolicitadas,
                              &g.rsPlazasResultas,
                              &g.rsPlazasVacantes,
                              &g.rsPlazasCuerpo,
                              &g.rsPlazasGrupo,
                              &g.rsPlazasListaV,
                              &g.rsPlazasListaR,
                              &g.rsSolicitudesGuardadas};
    for (PTabla* t : tablas)
        if (*t && (*t)->abierta()) (*t)->cerrar();
    for (PTabla* t : tablas) t->reset();
}
