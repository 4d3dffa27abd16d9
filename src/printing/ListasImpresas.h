#pragma once

#include "platform/Resultado.h"
#include "platform/Tabla.h"
#include "printing/DocumentoWord.h"
#include "printing/LecturaCodigos.h"
#include "printing/PlanPaginas.h"

#include <QString>
#include <QVector>
#include <functional>

// Variante del generador: la moderna sale de las tablas moviendo el cursor; la antigua (la de
// los procesadores de versión 8 o menor) coloca cada salto en la marca de texto de su lista.
enum class VarianteGenerador { XP, W97 };

// Marcadores con que la plantilla señala la tabla de cada lista.
namespace MarcadoresListas {
inline const QString Cursos = QStringLiteral("TABLACURSOS");
inline const QString Documentos = QStringLiteral("TABLADOCUMENTOS");
inline const QString Vacantes = QStringLiteral("TABLAVACANTES");
inline const QString Resultas = QStringLiteral("TABLARESULTAS");
}  // namespace MarcadoresListas

// Marcas de texto de la variante antigua, detrás de cada tabla de lista.
namespace MarcasTexto {
inline const QString Cursos = QStringLiteral("-&C&-");
inline const QString Documentos = QStringLiteral("-&D&-");
inline const QString Vacantes = QStringLiteral("-&V&-");
inline const QString Resultas = QStringLiteral("-&R&-");
}  // namespace MarcasTexto

struct OpcionesListas {
    VarianteGenerador variante = VarianteGenerador::XP;
    bool borrador = false;          // los códigos se hacen y se borran, pero no se insertan
    QString prefijo;                // prefijo de los códigos de esta impresión
    int plazasPorPagina = 40;       // PlazasPorPagina leído como número
    std::function<void()> avanzar;  // la barra de progreso, una vez por registro escrito
};

struct DefinicionLista;

// Escribe las cuatro listas de la solicitud en sus tablas del documento, página a página, con
// el contador de páginas compartido (empieza en 2: la 1 es la del solicitante).
class ListasImpresas {
public:
    ListasImpresas(DocumentoWord& doc, OpcionesListas opciones);

    // Cursos: siempre, antes de guardar el documento.
    Resultado escribirCursos(Tabla& rsCursos);
    // Solo al imprimir, y en este orden.
    Resultado escribirDocumentos(Tabla& rsDocumentos);
    Resultado escribirVacantes(Tabla& rsVacantesSolicitadas);
    Resultado escribirResultas(Tabla& rsResultasSolicitadas);

    int pagina() const { return m_pagina; }
    // Los códigos de página insertados (texto antes de la sustitución de caracteres).
    const QVector<CodigoEsperado>& codigos() const { return m_codigos; }
    // El primer fallo de un paso que se pasó por alto (vacío si no hubo).
    const QString& avisos() const { return m_avisos; }

private:
    Resultado escribir(const DefinicionLista& lista, const QVector<QStringList>& filas,
                       const PlanLista& plan);
    PuntoInsercion salirDeTabla(const DefinicionLista& lista, const TablaWord& tabla);
    TablaWord tablaNueva(PuntoInsercion& punto, const DefinicionLista& lista,
                         const TablaWord& plantilla);
    void insertarCodigo(PuntoInsercion& punto, const QString& lista, int pagina,
                        const QString& entradas);
    void anotar(const Resultado& r);

    DocumentoWord& m_doc;
    OpcionesListas m_op;
    int m_pagina = 2;
    QVector<CodigoEsperado> m_codigos;
    QString m_avisos;
};

// Variante antigua: cambia por un blanco cada marca de texto, justo antes de imprimir.
void quitarMarcasTexto(DocumentoWord& doc);

// Alto mínimo de una fila de plazas (twips) para que quepan N por página con cabecera y código.
int altoFilaPlazas(int plazasPorPagina);
// Alto mínimo de una fila de cursos o documentos (twips): una línea.
constexpr int kAltoFilaCursos = 193;
// Tamaños de letra (puntos) de las filas de datos.
constexpr double kLetraFilaCursos = 7;
constexpr double kLetraFilaPlazas = 6;
// Cuántas plazas caben como mucho en una página con dos líneas legibles por fila: con más, la
// impresión no se hace (las filas crecerían y las páginas no serían las del reparto).
int maximoPlazasPorPagina();
// Fallo con mensaje si la impresión no puede hacer páginas de ese número de plazas.
Resultado plazasPorPaginaImprimibles(int plazasPorPagina);
