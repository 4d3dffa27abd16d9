#include "platform/ventanas/VistaTabla.h"

#include "platform/ventanas/AccesibleTabla.h"

#include <QAccessible>

VistaTabla::VistaTabla(QWidget* parent) : QTableView(parent) {
    // Antes de que un cambio del modelo cree para esta vista la interfaz de Qt, que cuenta las
    // columnas ocultas.
    AccesibleTabla::instalarFabrica();
}

void VistaTabla::currentChanged(const QModelIndex& actual, const QModelIndex& anterior) {
    // Sin pasar por QTableView, que solo añade su aviso con la numeración de Qt.
    QAbstractItemView::currentChanged(actual, anterior);
    if (actual.isValid() && hasFocus()) avisar(QAccessible::Focus, actual);
}

void VistaTabla::selectionChanged(const QItemSelection& elegidas, const QItemSelection& soltadas) {
    QAbstractItemView::selectionChanged(elegidas, soltadas);
    avisar(QAccessible::SelectionAdd, elegidas.indexes().value(0));
    avisar(QAccessible::SelectionRemove, soltadas.indexes().value(0));
}

void VistaTabla::avisar(QAccessible::Event tipo, const QModelIndex& indice) {
    if (!QAccessible::isActive() || !indice.isValid()) return;
    auto* tabla = dynamic_cast<AccesibleTabla*>(QAccessible::queryAccessibleInterface(this));
    if (!tabla) return;
    // En una columna oculta, la celda de la misma fila en la primera columna que se ve.
    const QList<int> columnas = tabla->columnasVisibles();
    if (columnas.isEmpty()) return;
    const int columna = columnas.contains(indice.column()) ? indice.column() : columnas.first();
    const int hijo = tabla->indexOfChild(tabla->celdaLogica(indice.row(), columna));
    if (hijo < 0) return;
    QAccessibleEvent evento(this, tipo);
    evento.setChild(hijo);
    QAccessible::updateAccessibility(&evento);
}
