#include "platform/ventanas/RejillaDatos.h"

#include "platform/ModeloTabla.h"
#include "platform/ventanas/ConsejoCeldas.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <algorithm>

RejillaDatos::RejillaDatos(QWidget* parent) : VistaTabla(parent) {
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    // Tab sale de la rejilla al control siguiente: recorrer celda a celda una lista de miles de
    // filas dejaría al teclado encerrado en ella. Dentro se va con las flechas.
    setTabKeyNavigation(false);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setStretchLastSection(true);
    connect(this, &QTableView::clicked, this, &RejillaDatos::alPulsar);
    consejoEnCeldasCortadas(this);
}

Resultado RejillaDatos::enlazar(PTabla tabla, const QStringList& campos,
                                const QStringList& cabeceras) {
    desenlazar();
    if (!tabla) return Resultado::correcto();
    auto* modelo = new ModeloTabla(this);
    if (Resultado r = modelo->enlazar(tabla, campos, cabeceras); !r) {
        delete modelo;
        return r;
    }
    m_tabla = std::move(tabla);
    m_modelo = modelo;
    setModel(m_modelo);
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &RejillaDatos::alCambiarFila);
    return Resultado::correcto();
}

void RejillaDatos::desenlazar() {
    if (!m_modelo) return;
    setModel(nullptr);
    delete m_modelo;
    m_modelo = nullptr;
    m_tabla.reset();
}

QList<int> RejillaDatos::filasSeleccionadas() const {
    QList<int> filas;
    if (!selectionModel()) return filas;
    for (const QModelIndex& i : selectionModel()->selectedRows()) filas.append(i.row());
    std::sort(filas.begin(), filas.end());
    return filas;
}

int RejillaDatos::filaSeleccionadaUnica() const {
    const QList<int> filas = filasSeleccionadas();
    return filas.size() == 1 ? filas.first() : -1;
}

void RejillaDatos::limpiarSeleccion() {
    if (selectionModel()) selectionModel()->clearSelection();
}

int RejillaDatos::filaActual() const {
    return currentIndex().isValid() ? currentIndex().row() : -1;
}

void RejillaDatos::setFilaActual(int fila) {
    if (!m_modelo || fila < 0 || fila >= m_modelo->rowCount()) return;
    setCurrentIndex(m_modelo->index(fila, 0));
}

int RejillaDatos::columna(const QString& campo) const {
    return m_modelo ? m_modelo->columnaDeCampo(campo) : -1;
}

void RejillaDatos::ocultarColumna(const QString& campo, bool oculta) {
    if (const int c = columna(campo); c >= 0) setColumnHidden(c, oculta);
}

void RejillaDatos::setAnchoColumna(const QString& campo, int ancho) {
    if (const int c = columna(campo); c >= 0) setColumnWidth(c, ancho);
}

void RejillaDatos::alPulsar(const QModelIndex& indice) {
    if (indice.isValid()) emit filaPulsada(indice.row());
}

void RejillaDatos::alCambiarFila(const QModelIndex& actual, const QModelIndex&) {
    // El registro actual de la tabla acompaña a la fila con el foco, como en una rejilla enlazada.
    if (actual.isValid() && m_modelo) m_modelo->irAFila(actual.row());
}
