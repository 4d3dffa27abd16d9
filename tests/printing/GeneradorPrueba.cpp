#include "GeneradorPrueba.h"

#include "printing/CodigoBarras.h"
#include "startup/Globales.h"

#include <QFile>

ResultadoDe<SolicitudGenerada> generarSolicitudPrueba(const QString& plantilla,
                                                      const QString& rutaDocumento,
                                                      VarianteGenerador variante, bool borrador,
                                                      const QString& dni, const QString& fecha,
                                                      const QString& hora, const QString& prefijo,
                                                      const QString& carga) {
    auto nuevo = DocumentoWord::nuevoDesdePlantilla(plantilla);
    if (!nuevo) return nuevo.estado();
    DocumentoWord& doc = nuevo.valor();
    if (Resultado r = doc.guardarComo(rutaDocumento); !r) return r;
    for (const auto& [marcador, texto] :
         {std::pair{QStringLiteral("DNICAB"), dni},
          std::pair{QStringLiteral("FECHAIMPR"), fecha + " " + hora},
          std::pair{QStringLiteral("BORRADOR"), borrador ? QStringLiteral("BORRADOR") : QString()}})
        if (Resultado r = doc.escribirEnMarcador(marcador, texto); !r) return r;

    OpcionesListas o;
    o.variante = variante;
    o.borrador = borrador;
    o.prefijo = prefijo;
    o.plazasPorPagina = G().PlazasPorPagina.toInt();
    ListasImpresas listas(doc, o);
    listas.escribirCursos(*G().rsCursos);
    if (Resultado r = doc.guardar(); !r) return r;

    SolicitudGenerada s;
    const QString texto = textoCodigoSolicitante(prefijo, carga);
    int alto = TamanoCodigo::AltoSolicitante;
    const auto base = GenerarCodigoBarras(texto, TamanoCodigo::AnchoSolicitante, alto);
    if (!base) return base.estado();
    auto tabla = doc.tabla(2);
    if (!tabla) return tabla.estado();
    CeldaWord celda = tabla.valor().celda(1, 1);
    celda.escribir(QString());
    if (!borrador) {
        if (Resultado r =
                celda.anadirImagen(base.valor() + ".bmp", TamanoCodigo::AnchoSolicitante, alto);
            !r)
            return r;
        s.codigos.append({1, texto});
    }
    celda.alinear(Alineacion::Centro);
    QFile::remove(base.valor() + ".bmp");

    listas.escribirDocumentos(*G().rsDocumentos);
    listas.escribirVacantes(*G().rsVacantesSolicitadas);
    listas.escribirResultas(*G().rsResultasSolicitadas);
    if (variante == VarianteGenerador::W97) quitarMarcasTexto(doc);
    if (Resultado r = doc.guardar(); !r) return r;
    s.codigos += listas.codigos();
    s.avisos = listas.avisos();
    return s;
}
