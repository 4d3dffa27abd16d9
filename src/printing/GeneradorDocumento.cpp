#include "printing/GeneradorDocumento.h"

#include "global/Globales.h"
#include "platform/InstantaneaTabla.h"
#include "printing/CodigoBarras.h"
#include "printing/PlanPaginas.h"

#include <QFile>

namespace {

void anotar(QString& avisos, const Resultado& r) {
    if (!r && avisos.isEmpty()) avisos = r.mensaje();
}

// Código del solicitante en la celda (1,1) de la tabla 2: salto, imagen centrada, salto.
void insertarCodigoSolicitante(DocumentoWord& doc, const PeticionDocumento& p,
                               DocumentoGenerado& g) {
    const QString texto = textoCodigoSolicitante(p.prefijo, p.cargaSolicitante);
    int alto = TamanoCodigo::AltoSolicitante;
    auto base = GenerarCodigoBarras(texto, TamanoCodigo::AnchoSolicitante, alto);
    if (!base) return anotar(g.avisos, base.estado());
    const QString fichero = base.valor() + QStringLiteral(".bmp");
    auto tabla = doc.tabla(2);
    if (tabla) {
        CeldaWord celda = tabla.valor().celda(1, 1);
        anotar(g.avisos, celda.escribir(QString()));
        // El borrador deja vacío el párrafo de la imagen: la celda ocupa las mismas líneas.
        if (p.borrador) {
            anotar(g.avisos, celda.anadirParrafo());
        } else {
            const Resultado r = celda.anadirImagen(fichero, TamanoCodigo::AnchoSolicitante, alto);
            anotar(g.avisos, r);
            if (r)
                g.codigos.append({1, texto});
            else
                anotar(g.avisos, celda.anadirParrafo());
        }
        anotar(g.avisos, celda.alinear(Alineacion::Centro));
        anotar(g.avisos, celda.anadirParrafo());
    } else {
        anotar(g.avisos, tabla.estado());
    }
    QFile::remove(fichero);
}

// Las listas de la petición o, si no trae ninguna, las de G().
ListasSolicitud listasDe(const PeticionDocumento& p) {
    const ListasSolicitud& l = p.listas;
    if (l.vacantes || l.resultas || l.cursos || l.documentos) return l;
    const Globales& g = G();
    return {g.rsVacantesSolicitadas, g.rsResultasSolicitadas, g.rsCursos, g.rsDocumentos};
}

}  // namespace

ResultadoDe<DocumentoGenerado> generarDocumentoImpresion(const PeticionDocumento& p) {
    if (p.imprimir)
        if (Resultado r = plazasPorPaginaImprimibles(p.plazasPorPagina); !r) return r;
    auto nuevo = DocumentoWord::nuevoDesdePlantilla(p.plantilla);
    if (!nuevo) return nuevo.estado();
    DocumentoWord& doc = nuevo.valor();
    doc.ponerSello(p.sello);
    if (auto r = doc.guardarComo(p.rutaDocumento); !r) return r;
    DocumentoGenerado g;
    // La variante moderna no sigue sin sus marcadores; la antigua pasa por alto cualquier paso.
    const std::pair<QString, QString> marcadores[] = {
        {QStringLiteral("DNICAB"), p.dni},
        {QStringLiteral("FECHAIMPR"), p.fecha + QLatin1Char(' ') + p.hora},
        {QStringLiteral("BORRADOR"), p.borrador ? QStringLiteral("BORRADOR") : QString()},
    };
    for (const auto& [marcador, texto] : marcadores) {
        const Resultado r = doc.escribirEnMarcador(marcador, texto);
        if (!r && p.variante == VarianteGenerador::XP) return r;
        anotar(g.avisos, r);
    }
    for (const auto& [nombre, valor] : p.camposTexto) {
        if (p.avanzar) p.avanzar();
        anotar(g.avisos, doc.ponerCampoTexto(nombre, valor));
    }
    for (const auto& [nombre, marcada] : p.casillas) {
        if (p.avanzar) p.avanzar();
        anotar(g.avisos, doc.ponerCasilla(nombre, marcada));
    }
    OpcionesListas o;
    o.variante = p.variante;
    o.borrador = p.borrador;
    o.prefijo = p.prefijo;
    o.plazasPorPagina = p.plazasPorPagina;
    o.avanzar = p.avanzar;
    ListasImpresas listas(doc, o);
    const ListasSolicitud l = listasDe(p);
    if (l.cursos) anotar(g.avisos, listas.escribirCursos(*l.cursos));
    if (auto r = doc.guardar(); !r) return r;
    if (!p.imprimir) return g;

    insertarCodigoSolicitante(doc, p, g);
    if (l.documentos) anotar(g.avisos, listas.escribirDocumentos(*l.documentos));
    if (l.vacantes) anotar(g.avisos, listas.escribirVacantes(*l.vacantes));
    if (l.resultas) anotar(g.avisos, listas.escribirResultas(*l.resultas));
    if (p.variante == VarianteGenerador::W97) quitarMarcasTexto(doc);
    g.codigos += listas.codigos();
    anotar(g.avisos,
           listas.avisos().isEmpty() ? Resultado::correcto() : Resultado::fallo(listas.avisos()));
    // El documento guardado se queda sin las listas: la impresión va a su propio fichero.
    if (auto r = doc.guardarComo(p.rutaImpresion); !r) return r;
    return g;
}

namespace {

int filasDe(const PTabla& t) {
    return t ? t->numeroRegistros() : 0;
}

// Orden y código de cada plaza de la lista, en el orden en que se imprimen.
QVector<PlazaPlan> plazasDe(const PTabla& t) {
    QVector<PlazaPlan> r;
    if (!t) return r;
    const int orden = t->indiceCampo(QStringLiteral("Orden"));
    const int codigo = t->indiceCampo(QStringLiteral("CodConvocatoria"));
    for (int f = 0; f < t->numeroRegistros(); ++f)
        r.append({t->valorEnFila(f, orden).toLongLong(), t->valorEnFila(f, codigo).toString()});
    return r;
}

}  // namespace

ListasSolicitud instantaneaListas() {
    const Globales& g = G();
    const auto copia = [](const PTabla& t) { return t ? instantaneaDe(*t) : PTabla(); };
    return {copia(g.rsVacantesSolicitadas), copia(g.rsResultasSolicitadas), copia(g.rsCursos),
            copia(g.rsDocumentos)};
}

ResultadoDe<QVector<CodigoEsperado>> codigosDelPlan(const PeticionDocumento& p) {
    QVector<CodigoEsperado> codigos;
    if (p.borrador) return codigos;
    const ListasSolicitud l = listasDe(p);
    auto plan = planificarImpresion(filasDe(l.cursos), filasDe(l.documentos), plazasDe(l.vacantes),
                                    plazasDe(l.resultas), p.plazasPorPagina);
    if (!plan) return plan.estado();
    codigos.append({1, textoCodigoSolicitante(p.prefijo, p.cargaSolicitante)});
    for (const auto& [lista, codigo] : {std::pair{&plan.valor().vacantes, QStringLiteral("V")},
                                        std::pair{&plan.valor().resultas, QStringLiteral("R")}})
        for (const TramoPagina& t : lista->tramos)
            if (t.conCodigo)
                codigos.append(
                    {t.pagina, textoCodigoPagina(p.prefijo, codigo, t.pagina, t.entradas)});
    return codigos;
}
