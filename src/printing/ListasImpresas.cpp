#include "printing/ListasImpresas.h"

#include "printing/CodigoBarras.h"

#include <QFile>

// Cómo es cada lista en el documento.
struct DefinicionLista {
    QString codigo;      // "V" o "R" en las de plazas; vacío en cursos y documentos
    QString marcador;    // marcador de su tabla en la plantilla
    QString marcaTexto;  // marca de texto de la variante antigua
    int columnas = 0;
    QVector<QStringList> cabecera;  // filas de la cabecera de una tabla nueva
    int altoFila = 0;               // alto exacto de cada fila de datos (twips)
    bool plazas() const { return !codigo.isEmpty(); }
};

namespace {

const QString kSalto = QStringLiteral("\r\n");

DefinicionLista listaCursos() {
    return {QString(),
            MarcadoresListas::Cursos,
            MarcasTexto::Cursos,
            4,
            {{QStringLiteral("Curso"), QStringLiteral("N Horas"), QStringLiteral("Año"),
              QStringLiteral("Centro")}},
            kAltoFilaCursos};
}

DefinicionLista listaDocumentos() {
    return {QString(),
            MarcadoresListas::Documentos,
            MarcasTexto::Documentos,
            2,
            {{QStringLiteral("NºDocumento"), QStringLiteral("Documento")}},
            kAltoFilaCursos};
}

DefinicionLista listaVacantes(int n) {
    return {QStringLiteral("V"),
            MarcadoresListas::Vacantes,
            MarcasTexto::Vacantes,
            6,
            {{QStringLiteral("Orden") + kSalto + QStringLiteral("preferencia"),
              QStringLiteral("Código") + kSalto + QStringLiteral("(5 Dígitos)") + kSalto +
                  QStringLiteral("Convocatoria"),
              QStringLiteral("Denominación"), QStringLiteral("Institución Sanitaria"),
              QStringLiteral("Localidad o Z.B.S.(Provincia)"), QStringLiteral("Área")}},
            altoFilaPlazas(n)};
}

DefinicionLista listaResultas(int n) {
    return {QStringLiteral("R"),
            MarcadoresListas::Resultas,
            MarcasTexto::Resultas,
            5,
            {{QStringLiteral("Orden"),
              QStringLiteral("Código") + kSalto + QStringLiteral(" (5 Dígitos)"),
              QStringLiteral("PUESTO DE TRABAJO"), QString(), QString()},
             {QStringLiteral("preferencia"), QStringLiteral("Convocatoria"),
              QStringLiteral("DENOMINACIÓN"), QStringLiteral("CONSEJERÍA"),
              QStringLiteral("Localidad y Provincia")}},
            altoFilaPlazas(n)};
}

// Lee los registros de la lista con los campos pedidos, moviendo su cursor desde el primero.
QVector<QStringList> leerFilas(Tabla& t, const QStringList& campos) {
    QVector<QStringList> filas;
    if (t.numeroRegistros() == 0) return filas;
    for (t.moverPrimero(); !t.eof(); t.moverSiguiente()) {
        QStringList fila;
        for (const QString& c : campos) fila << t.texto(c);
        filas.append(fila);
    }
    return filas;
}

QVector<PlazaPlan> plazasDe(const QVector<QStringList>& filas) {
    QVector<PlazaPlan> r;
    for (const auto& f : filas) r.append({f.value(0).toLongLong(), f.value(1)});
    return r;
}

}  // namespace

namespace {
// Presupuesto de la página para las filas de plazas (twips): la página útil menos la cabecera de
// la tabla, el título de la primera página y el código de barras con sus saltos.
constexpr int kPresupuestoPlazas = 12560;
constexpr int kAltoMaximoPlazas = 300;
// Alto de una línea de Liberation Sans (ascendente más descendente: 1,117 veces el cuerpo), en
// twips; una fila de plazas guarda sitio para dos líneas.
constexpr double altoDosLineas(double puntos) { return 2 * puntos * 20 * 1.117; }
}  // namespace

int altoFilaPlazas(int plazasPorPagina) {
    if (plazasPorPagina < 1) return kAltoMaximoPlazas;
    return qMin(kAltoMaximoPlazas, kPresupuestoPlazas / plazasPorPagina);
}

int maximoPlazasPorPagina() {
    return int(kPresupuestoPlazas / altoDosLineas(kLetraFilaPlazas));
}

Resultado plazasPorPaginaImprimibles(int plazasPorPagina) {
    const int maximo = maximoPlazasPorPagina();
    if (plazasPorPagina >= 1 && plazasPorPagina <= maximo) return Resultado::correcto();
    return Resultado::fallo(
        QStringLiteral("No se puede imprimir la solicitud: la configuración (\"numPlazasPorPag\" "
                       "en \"conf.xml\") pide %1 plazas por página y en una página caben entre 1 "
                       "y %2 con letra legible. Avise a quien instaló el programa.")
            .arg(plazasPorPagina)
            .arg(maximo),
        Errores::ValorFueraDeRango);
}

ListasImpresas::ListasImpresas(DocumentoWord& doc, OpcionesListas opciones)
    : m_doc(doc), m_op(std::move(opciones)) {}

void ListasImpresas::anotar(const Resultado& r) {
    if (!r && m_avisos.isEmpty()) m_avisos = r.mensaje();
}

Resultado ListasImpresas::escribirCursos(Tabla& rsCursos) {
    const auto filas = leerFilas(rsCursos, {QStringLiteral("Curso"), QStringLiteral("NHoras"),
                                            QStringLiteral("Ano"), QStringLiteral("Centro")});
    const PlanLista plan = planFilas(filas.size(), m_pagina, kFilasPorPaginaCursos);
    return escribir(listaCursos(), filas, plan);
}

Resultado ListasImpresas::escribirDocumentos(Tabla& rsDocumentos) {
    auto filas = leerFilas(rsDocumentos, {QStringLiteral("Documento")});
    // El número de documento sigue de una página a otra.
    for (int i = 0; i < filas.size(); ++i) filas[i].prepend(QString::number(i + 1));
    const PlanLista plan = planFilas(filas.size(), m_pagina, kFilasPorPaginaDocumentos);
    auto r = escribir(listaDocumentos(), filas, plan);
    ++m_pagina;  // las listas de plazas empiezan en una página propia de la plantilla
    return r;
}

Resultado ListasImpresas::escribirVacantes(Tabla& rs) {
    const auto filas =
        leerFilas(rs, {QStringLiteral("Orden"), QStringLiteral("CodConvocatoria"),
                       QStringLiteral("NomConvocatoria"), QStringLiteral("Consejeria"),
                       QStringLiteral("Localidad"), QStringLiteral("Area")});
    auto plan = planPlazas(plazasDe(filas), m_op.plazasPorPagina, m_pagina);
    if (!plan) return plan.estado();
    return escribir(listaVacantes(m_op.plazasPorPagina), filas, plan.valor());
}

Resultado ListasImpresas::escribirResultas(Tabla& rs) {
    ++m_pagina;  // Resultas empieza en otra página propia de la plantilla
    const auto filas = leerFilas(rs, {QStringLiteral("Orden"), QStringLiteral("CodConvocatoria"),
                                      QStringLiteral("NomConvocatoria"),
                                      QStringLiteral("Consejeria"), QStringLiteral("Localidad")});
    auto plan = planPlazas(plazasDe(filas), m_op.plazasPorPagina, m_pagina);
    if (!plan) return plan.estado();
    return escribir(listaResultas(m_op.plazasPorPagina), filas, plan.valor());
}

Resultado ListasImpresas::escribir(const DefinicionLista& lista, const QVector<QStringList>& filas,
                                   const PlanLista& plan) {
    auto encontrada = m_doc.tablaConMarcador(lista.marcador);
    if (!encontrada) {
        m_pagina = plan.paginaSiguiente;
        return encontrada.estado();
    }
    const TablaWord plantilla = encontrada.valor();
    TablaWord actual = plantilla;
    PuntoInsercion punto;
    for (const TramoPagina& tramo : plan.tramos) {
        if (tramo.tablaNueva) actual = tablaNueva(punto, lista, plantilla);
        for (int i = tramo.primero; i < tramo.primero + tramo.cuantos; ++i) {
            if (m_op.avanzar) m_op.avanzar();
            const int fila = actual.anadirFila();
            // El alto es el mínimo: un texto que no cabe hace crecer su fila y nunca se corta.
            // Con la letra y los anchos de la plantilla, una plaza con sus textos del catálogo
            // más largos (en minúsculas) cabe en dos líneas y cada página lleva sus N filas; en
            // mayúsculas puede pedir tres y la página sigue en la hoja siguiente, con su código
            // detrás de su última fila.
            anotar(actual.ponerAltoFila(fila, lista.altoFila, false));
            anotar(actual.rellenarFila(fila, filas[i]));
            if (lista.plazas())
                for (int c = 1; c <= lista.columnas; ++c)
                    actual.celda(fila, c).ponerTamanoLetra(kLetraFilaPlazas);
        }
        if (tramo.conCodigo || tramo.saltoDespues) {
            punto = salirDeTabla(lista, actual);
            if (tramo.conCodigo) insertarCodigo(punto, lista.codigo, tramo.pagina, tramo.entradas);
            if (tramo.saltoDespues) punto.saltoPagina();
        }
    }
    m_pagina = plan.paginaSiguiente;
    return Resultado::correcto();
}

PuntoInsercion ListasImpresas::salirDeTabla(const DefinicionLista& lista, const TablaWord& tabla) {
    PuntoInsercion p;
    if (m_op.variante == VarianteGenerador::W97) {
        auto marca = m_doc.delanteDeTexto(lista.marcaTexto);
        anotar(marca.estado());
        // Sin la marca, el salto va donde está el cursor: detrás de la tabla.
        p = marca ? marca.valor() : m_doc.despuesDe(tabla);
    } else {
        p = m_doc.despuesDe(tabla);
    }
    // En las dos variantes, una línea en blanco entre la tabla y el código de la página: su zona
    // de silencio no se apoya en el borde de la tabla.
    if (lista.plazas()) p.saltoLinea();
    return p;
}

TablaWord ListasImpresas::tablaNueva(PuntoInsercion& punto, const DefinicionLista& lista,
                                     const TablaWord& plantilla) {
    TablaWord t = punto.tabla(1, lista.columnas);
    for (int c = 1; c <= lista.columnas; ++c) {
        const int ancho = plantilla.anchoCelda(2, c);
        if (ancho > 0) anotar(t.ponerAnchoColumna(c, ancho));
    }
    if (lista.codigo == QLatin1String("V"))
        for (int f = 1; f <= t.filas(); ++f)
            if (const int alto = plantilla.altoFila(f); alto > 0) anotar(t.ponerAltoFila(f, alto));
    for (int f = 0; f < lista.cabecera.size(); ++f) {
        if (f > 0) t.anadirFila();
        anotar(t.rellenarFila(f + 1, lista.cabecera[f]));
    }
    if (lista.codigo == QLatin1String("R")) anotar(t.combinar(1, 3, 4));
    if (!lista.plazas()) {
        t.ponerNegrita(false);
        // Del tamaño de la tabla de la plantilla, para que quepan 35 + 35 filas en una página.
        t.ponerTamanoLetra(kLetraFilaCursos);
    } else {
        t.ponerTamanoLetra(8);
        if (lista.codigo == QLatin1String("R"))
            for (int c = 3; c <= 5; ++c) anotar(t.alinearColumna(c, Alineacion::Centro));
    }
    return t;
}

void ListasImpresas::insertarCodigo(PuntoInsercion& punto, const QString& lista, int pagina,
                                    const QString& entradas) {
    const QString texto = textoCodigoPagina(m_op.prefijo, lista, pagina, entradas);
    int alto = TamanoCodigo::AltoPagina;
    auto base = GenerarCodigoBarras(texto, TamanoCodigo::AnchoPagina, alto);
    if (!base) {
        anotar(base.estado());
        punto.saltoLinea();
        return;
    }
    const QString fichero = base.valor() + QStringLiteral(".bmp");
    if (m_op.borrador) {
        punto.saltoLinea();
    } else {
        const Resultado r = punto.imagen(fichero, TamanoCodigo::AnchoPagina, alto);
        anotar(r);
        if (r)
            m_codigos.append({pagina, texto});
        else
            punto.saltoLinea();
    }
    QFile::remove(fichero);
}

void quitarMarcasTexto(DocumentoWord& doc) {
    for (const QString& marca : {MarcasTexto::Resultas, MarcasTexto::Vacantes, MarcasTexto::Cursos,
                                 MarcasTexto::Documentos})
        doc.reemplazarTodo(marca, QStringLiteral(" "));
}
