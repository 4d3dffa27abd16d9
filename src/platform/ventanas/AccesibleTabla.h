#pragma once

#include <QAccessibleWidget>
#include <QHash>
#include <QPair>

class QTableView;

// Lo que oye un lector de pantalla de una tabla (las rejillas y la lista desplegable de los
// combos): solo las columnas que se ven, en el orden en que se ven, y nada "en pantalla" mientras
// la tabla no se ve (la lista de un combo cerrado). La de Qt enseña también las columnas ocultas,
// que en las rejillas guardan identificadores y códigos que el solicitante nunca lee.
class AccesibleTabla : public QAccessibleWidget, public QAccessibleTableInterface {
public:
    explicit AccesibleTabla(QTableView* vista);
    ~AccesibleTabla() override;

    // Fábrica para QAccessible::installFactory: esta interfaz para toda QTableView.
    static QAccessibleInterface* crear(const QString& clase, QObject* objeto);
    // Una vez por proceso, antes de que nadie pida la interfaz de una tabla: Qt guarda la
    // primera que da para cada objeto.
    static void instalarFabrica();

    QTableView* vista() const;
    // Índices lógicos (del modelo) de las columnas que se ven, en el orden en que se ven.
    QList<int> columnasVisibles() const;
    // Interfaz de una celda por su fila y su columna lógica; fila -1: la cabecera.
    QAccessibleInterface* celdaLogica(int fila, int columnaLogica) const;
    bool tieneCabecera() const;

    void* interface_cast(QAccessible::InterfaceType tipo) override;
    QAccessible::Role role() const override;
    QString text(QAccessible::Text t) const override;
    int childCount() const override;
    QAccessibleInterface* child(int indice) const override;
    int indexOfChild(const QAccessibleInterface* hijo) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* focusChild() const override;

    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QAccessibleInterface* cellAt(int fila, int columna) const override;
    int selectedCellCount() const override;
    QList<QAccessibleInterface*> selectedCells() const override;
    QString columnDescription(int columna) const override;
    QString rowDescription(int) const override { return {}; }
    int columnCount() const override;
    int rowCount() const override;
    int selectedColumnCount() const override { return selectedColumns().size(); }
    int selectedRowCount() const override { return selectedRows().size(); }
    QList<int> selectedColumns() const override;
    QList<int> selectedRows() const override;
    bool isColumnSelected(int columna) const override;
    bool isRowSelected(int fila) const override;
    bool selectRow(int fila) override;
    bool selectColumn(int) override { return false; }
    bool unselectRow(int fila) override;
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent* evento) override;

private:
    void olvidarCeldas();

    mutable QHash<QPair<int, int>, QAccessible::Id> m_celdas;
};
