#include "platform/ventanas/AccesibleTabla.h"

#include <QComboBox>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QPointer>
#include <QTableView>

namespace {

// Una celda o, con fila -1, la cabecera de una columna. Guarda la columna lógica: si la tabla
// oculta o mueve columnas después, la celda sigue siendo la misma.
class CeldaTabla : public QAccessibleInterface, public QAccessibleTableCellInterface {
public:
    CeldaTabla(QTableView* vista, int fila, int columna)
        : m_vista(vista), m_fila(fila), m_columna(columna) {}

    bool esCabecera() const { return m_fila < 0; }
    int fila() const { return m_fila; }
    int columnaLogica() const { return m_columna; }

    bool isValid() const override {
        if (!m_vista || !m_vista->model() || m_vista->isColumnHidden(m_columna)) return false;
        return esCabecera() ? m_columna < m_vista->model()->columnCount() : indice().isValid();
    }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override {
        return m_vista ? m_vista->window()->windowHandle() : nullptr;
    }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(m_vista.data());
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    void setText(QAccessible::Text, const QString&) override {}
    QAccessible::Role role() const override {
        return esCabecera() ? QAccessible::ColumnHeader : QAccessible::Cell;
    }

    QString text(QAccessible::Text t) const override {
        if (t != QAccessible::Name || !isValid()) return {};
        return esCabecera() ? m_vista->model()->headerData(m_columna, Qt::Horizontal).toString()
                            : indice().data(Qt::DisplayRole).toString();
    }

    QRect rect() const override {
        if (!isValid() || !m_vista->isVisible()) return {};
        if (esCabecera()) {
            QHeaderView* cabecera = m_vista->horizontalHeader();
            const QRect r(cabecera->sectionViewportPosition(m_columna), 0,
                          cabecera->sectionSize(m_columna), cabecera->height());
            return r.translated(cabecera->viewport()->mapToGlobal(QPoint(0, 0)));
        }
        return m_vista->visualRect(indice()).translated(
            m_vista->viewport()->mapToGlobal(QPoint(0, 0)));
    }

    QAccessible::State state() const override {
        QAccessible::State s;
        if (!isValid()) return s;
        // La lista de un combo cerrado no está en pantalla, aunque sus celdas tengan sitio.
        const bool seVe =
            m_vista->isVisible() && (!esCabecera() || m_vista->horizontalHeader()->isVisible());
        s.invisible = !seVe;
        if (seVe) {
            const QRect r = esCabecera() ? QRect() : m_vista->visualRect(indice());
            s.offscreen = !esCabecera() && !m_vista->viewport()->rect().intersects(r);
        }
        if (esCabecera()) return s;
        s.selectable = m_vista->selectionMode() != QAbstractItemView::NoSelection;
        s.selected = isSelected();
        s.focusable = true;
        s.focused = m_vista->hasFocus() && m_vista->currentIndex() == indice();
        return s;
    }

    void* interface_cast(QAccessible::InterfaceType tipo) override {
        if (tipo == QAccessible::TableCellInterface && !esCabecera())
            return static_cast<QAccessibleTableCellInterface*>(this);
        return nullptr;
    }

    bool isSelected() const override {
        return isValid() && m_vista->selectionModel() &&
               m_vista->selectionModel()->isSelected(indice());
    }
    QList<QAccessibleInterface*> columnHeaderCells() const override {
        auto* t = tabla();
        if (!t || !t->tieneCabecera()) return {};
        return {t->celdaLogica(-1, m_columna)};
    }
    QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
    int columnIndex() const override {
        auto* t = tabla();
        return t ? int(t->columnasVisibles().indexOf(m_columna)) : -1;
    }
    int rowIndex() const override { return m_fila; }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface* table() const override { return parent(); }

private:
    QModelIndex indice() const {
        return m_vista && m_vista->model() ? m_vista->model()->index(m_fila, m_columna)
                                           : QModelIndex();
    }
    AccesibleTabla* tabla() const { return dynamic_cast<AccesibleTabla*>(parent()); }

    QPointer<QTableView> m_vista;
    int m_fila;
    int m_columna;
};

}  // namespace

AccesibleTabla::AccesibleTabla(QTableView* vista) : QAccessibleWidget(vista, QAccessible::Table) {}

AccesibleTabla::~AccesibleTabla() {
    olvidarCeldas();
}

QAccessibleInterface* AccesibleTabla::crear(const QString&, QObject* objeto) {
    auto* vista = qobject_cast<QTableView*>(objeto);
    return vista ? new AccesibleTabla(vista) : nullptr;
}

void AccesibleTabla::instalarFabrica() {
    static const bool instalada = [] {
        QAccessible::installFactory(&AccesibleTabla::crear);
        return true;
    }();
    Q_UNUSED(instalada);
}

QTableView* AccesibleTabla::vista() const {
    return static_cast<QTableView*>(widget());
}

QList<int> AccesibleTabla::columnasVisibles() const {
    QList<int> columnas;
    const QAbstractItemModel* modelo = vista()->model();
    if (!modelo) return columnas;
    const QHeaderView* cabecera = vista()->horizontalHeader();
    for (int visual = 0; visual < modelo->columnCount(); ++visual) {
        const int logica = cabecera->logicalIndex(visual);
        if (logica >= 0 && !vista()->isColumnHidden(logica)) columnas << logica;
    }
    return columnas;
}

bool AccesibleTabla::tieneCabecera() const {
    return !vista()->horizontalHeader()->isHidden();
}

QAccessibleInterface* AccesibleTabla::celdaLogica(int fila, int columnaLogica) const {
    const QPair<int, int> clave(fila, columnaLogica);
    if (const auto id = m_celdas.value(clave)) return QAccessible::accessibleInterface(id);
    auto* celda = new CeldaTabla(vista(), fila, columnaLogica);
    m_celdas.insert(clave, QAccessible::registerAccessibleInterface(celda));
    return celda;
}

void AccesibleTabla::olvidarCeldas() {
    for (const QAccessible::Id id : std::as_const(m_celdas))
        QAccessible::deleteAccessibleInterface(id);
    m_celdas.clear();
}

void* AccesibleTabla::interface_cast(QAccessible::InterfaceType tipo) {
    if (tipo == QAccessible::TableInterface) return static_cast<QAccessibleTableInterface*>(this);
    return QAccessibleWidget::interface_cast(tipo);
}

QAccessible::Role AccesibleTabla::role() const {
    return QAccessible::Table;
}

QString AccesibleTabla::text(QAccessible::Text t) const {
    QString texto = QAccessibleWidget::text(t);
    if (t != QAccessible::Name || !texto.isEmpty()) return texto;
    // La lista desplegable de un combo se llama como el combo.
    for (QWidget* w = vista()->parentWidget(); w; w = w->parentWidget())
        if (auto* combo = qobject_cast<QComboBox*>(w))
            return QAccessible::queryAccessibleInterface(combo)->text(QAccessible::Name);
    return texto;
}

int AccesibleTabla::childCount() const {
    const int columnas = columnCount();
    return (rowCount() + (tieneCabecera() ? 1 : 0)) * columnas;
}

QAccessibleInterface* AccesibleTabla::child(int indice) const {
    const QList<int> columnas = columnasVisibles();
    if (indice < 0 || columnas.isEmpty() || indice >= childCount()) return nullptr;
    const int n = int(columnas.size());
    const int fila = indice / n - (tieneCabecera() ? 1 : 0);
    return celdaLogica(fila, columnas[indice % n]);
}

int AccesibleTabla::indexOfChild(const QAccessibleInterface* hijo) const {
    const auto* celda = dynamic_cast<const CeldaTabla*>(hijo);
    if (!celda || !celda->isValid()) return -1;
    const QList<int> columnas = columnasVisibles();
    const int columna = int(columnas.indexOf(celda->columnaLogica()));
    if (columna < 0) return -1;
    return (celda->fila() + (tieneCabecera() ? 1 : 0)) * int(columnas.size()) + columna;
}

QAccessibleInterface* AccesibleTabla::childAt(int x, int y) const {
    const QPoint punto = vista()->viewport()->mapFromGlobal(QPoint(x, y));
    const QModelIndex indice = vista()->indexAt(punto);
    if (indice.isValid()) return celdaLogica(indice.row(), indice.column());
    return QAccessibleWidget::childAt(x, y);
}

QAccessibleInterface* AccesibleTabla::focusChild() const {
    const QModelIndex actual = vista()->currentIndex();
    if (!vista()->hasFocus() || !actual.isValid() || vista()->isColumnHidden(actual.column()))
        return nullptr;
    return celdaLogica(actual.row(), actual.column());
}

QAccessibleInterface* AccesibleTabla::cellAt(int fila, int columna) const {
    const QList<int> columnas = columnasVisibles();
    if (fila < 0 || fila >= rowCount() || columna < 0 || columna >= columnas.size()) return nullptr;
    return celdaLogica(fila, columnas[columna]);
}

int AccesibleTabla::selectedCellCount() const {
    return int(selectedCells().size());
}

QList<QAccessibleInterface*> AccesibleTabla::selectedCells() const {
    QList<QAccessibleInterface*> celdas;
    if (!vista()->selectionModel()) return celdas;
    for (const QModelIndex& i : vista()->selectionModel()->selectedIndexes())
        if (!vista()->isColumnHidden(i.column())) celdas << celdaLogica(i.row(), i.column());
    return celdas;
}

QString AccesibleTabla::columnDescription(int columna) const {
    const QList<int> columnas = columnasVisibles();
    if (columna < 0 || columna >= columnas.size() || !vista()->model()) return {};
    return vista()->model()->headerData(columnas[columna], Qt::Horizontal).toString();
}

int AccesibleTabla::columnCount() const {
    return int(columnasVisibles().size());
}

int AccesibleTabla::rowCount() const {
    return vista()->model() ? vista()->model()->rowCount() : 0;
}

QList<int> AccesibleTabla::selectedColumns() const {
    QList<int> columnas;
    const QList<int> visibles = columnasVisibles();
    for (int c = 0; c < visibles.size(); ++c)
        if (isColumnSelected(c)) columnas << c;
    return columnas;
}

QList<int> AccesibleTabla::selectedRows() const {
    QList<int> filas;
    if (!vista()->selectionModel()) return filas;
    for (const QModelIndex& i : vista()->selectionModel()->selectedRows()) filas << i.row();
    std::sort(filas.begin(), filas.end());
    return filas;
}

bool AccesibleTabla::isColumnSelected(int columna) const {
    const QList<int> columnas = columnasVisibles();
    return vista()->selectionModel() && columna >= 0 && columna < columnas.size() &&
           vista()->selectionModel()->isColumnSelected(columnas[columna]);
}

bool AccesibleTabla::isRowSelected(int fila) const {
    return vista()->selectionModel() && vista()->selectionModel()->isRowSelected(fila);
}

bool AccesibleTabla::selectRow(int fila) {
    QItemSelectionModel* seleccion = vista()->selectionModel();
    if (!seleccion || fila < 0 || fila >= rowCount() ||
        vista()->selectionMode() == QAbstractItemView::NoSelection)
        return false;
    auto modo = QItemSelectionModel::Select | QItemSelectionModel::Rows;
    if (vista()->selectionMode() == QAbstractItemView::SingleSelection)
        modo |= QItemSelectionModel::Clear;
    seleccion->select(vista()->model()->index(fila, 0), modo);
    return true;
}

bool AccesibleTabla::unselectRow(int fila) {
    QItemSelectionModel* seleccion = vista()->selectionModel();
    if (!seleccion || fila < 0 || fila >= rowCount()) return false;
    seleccion->select(vista()->model()->index(fila, 0),
                      QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
    return true;
}

void AccesibleTabla::modelChange(QAccessibleTableModelChangeEvent*) {
    // Con filas o columnas nuevas o quitadas, las celdas guardadas pueden señalar otra cosa.
    olvidarCeldas();
}
