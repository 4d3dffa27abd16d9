#include "SolicitudPrueba.h"

#include "catalogue/Esquemas.h"
#include "global/Globales.h"
#include "printing/CodigoBarras.h"

#include <QStringList>

namespace {

const QStringList kCentros = {QStringLiteral("Hospital Universitario Nuestra Señora de Guadalupe"),
                              QStringLiteral("Centro de Salud Mérida-Urbano Nº 3"),
                              QStringLiteral("Consultorio Local de Peñalsordo"),
                              QStringLiteral("Hospital Comarcal \"Virgen del Castañar\"")};
const QStringList kLocalidades = {
    QStringLiteral("Cáceres (Cáceres)"), QStringLiteral("Zafra (Badajoz)"),
    QStringLiteral("Logrosán (Cáceres)"), QStringLiteral("Jerez de los Caballeros (Badajoz)")};

void rellenarPlazas(const PTabla& t, int n, int semilla) {
    for (int i = 1; i <= n; ++i) {
        t->anadir();
        t->establecer("IdSolicitud", i);
        t->establecer("Orden", i);
        // Uno de cada siete códigos es corto: se rellena con blancos en el código de barras.
        const int codigo = i % 7 == 0 ? semilla + i : 10000 + (semilla * 31 + i * 389) % 89999;
        t->establecer("CodConvocatoria", QString::number(codigo));
        t->establecer("NomConvocatoria", i % 2
                                             ? QStringLiteral("Enfermero/a de Atención Primaria")
                                             : QStringLiteral("Técnico/a en Cuidados Auxiliares"));
        t->establecer("Consejeria", kCentros[(i + semilla) % kCentros.size()]);
        t->establecer("Localidad", kLocalidades[i % kLocalidades.size()]);
        t->establecer("Area", i % 3 ? QStringLiteral("Área de Salud de Badajoz")
                                    : QStringLiteral("Área de Salud de Plasencia"));
        t->actualizar();
    }
    t->moverPrimero();
}

// Tamaños de las páginas de una lista de n plazas con N por página.
QVector<int> paginasPlazas(int n, int porPagina) {
    QVector<int> paginas;
    int restantes = n;
    while (restantes > porPagina) {
        paginas.append(porPagina);
        restantes -= porPagina;
    }
    if (restantes > 31) {
        paginas.append(31);
        restantes -= 31;
    }
    if (restantes > 0) paginas.append(restantes);
    return paginas;
}

// Añade los códigos de una lista y deja `pagina` en la última página que ocupa.
void codigosLista(const PTabla& t, const QString& lista, const QString& prefijo, int porPagina,
                  int& pagina, QVector<CodigoEsperado>& codigos) {
    t->moverPrimero();
    const QVector<int> tamanos = paginasPlazas(t->numeroRegistros(), porPagina);
    for (qsizetype p = 0; p < tamanos.size(); ++p) {
        QString entradas;
        for (int i = 0; i < tamanos[p]; ++i, t->moverSiguiente())
            entradas += entradaPlaza(t->texto("Orden"), t->texto("CodConvocatoria"));
        codigos.append({pagina, textoCodigoPagina(prefijo, lista, pagina, entradas)});
        // Una página llena de N termina con salto aunque sea la última.
        if (p + 1 < tamanos.size() || tamanos[p] == porPagina) ++pagina;
    }
}

}  // namespace

void rellenarListasPrueba(int cursos, int documentos, int vacantes, int resultas) {
    G().rsCursos = CrearTablaCursos();
    for (int i = 1; i <= cursos; ++i) {
        G().rsCursos->anadir();
        G().rsCursos->establecer("IdCurso", i);
        G().rsCursos->establecer("Curso", QStringLiteral("Curso nº %1 de actualización en "
                                                         "Pediatría y Ginecología")
                                              .arg(i));
        G().rsCursos->establecer("NHoras", 10 + i);
        G().rsCursos->establecer("Ano", 1995 + i % 30);
        G().rsCursos->establecer("Centro", kCentros[i % kCentros.size()]);
        G().rsCursos->actualizar();
    }
    G().rsDocumentos = CrearTablaDocumentos();
    for (int i = 1; i <= documentos; ++i) {
        G().rsDocumentos->anadir();
        G().rsDocumentos->establecer("IdDocumento", i);
        G().rsDocumentos->establecer(
            "Documento",
            QStringLiteral("Certificado de servicios prestados nº %1 (compulsa)").arg(i));
        G().rsDocumentos->actualizar();
    }
    G().rsVacantesSolicitadas = CrearTablaPlazasSolicitadas("rsVacantesSolicitadas");
    rellenarPlazas(G().rsVacantesSolicitadas, vacantes, 101);
    G().rsResultasSolicitadas = CrearTablaPlazasSolicitadas("rsResultasSolicitadas");
    rellenarPlazas(G().rsResultasSolicitadas, resultas, 577);
    G().rsCursos->moverPrimero();
    G().rsDocumentos->moverPrimero();
}

QVector<CodigoEsperado> codigosEsperadosImpresion(const QString& prefijo, const QString& carga,
                                                  int plazasPorPagina) {
    QVector<CodigoEsperado> codigos = {{1, textoCodigoSolicitante(prefijo, carga)}};
    const int cursos = G().rsCursos->numeroRegistros();
    const int documentos = G().rsDocumentos->numeroRegistros();
    int pagina = 2;
    if (cursos > 0) pagina += (cursos - 1) / 35;
    if (documentos > 0) pagina += (documentos - 1) / 35;
    ++pagina;
    codigosLista(G().rsVacantesSolicitadas, "V", prefijo, plazasPorPagina, pagina, codigos);
    ++pagina;
    codigosLista(G().rsResultasSolicitadas, "R", prefijo, plazasPorPagina, pagina, codigos);
    return codigos;
}
