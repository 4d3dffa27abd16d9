#include "platform/ventanas/ConsejoCeldas.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QHelpEvent>
#include <QLineEdit>
#include <QToolTip>

namespace {

class ConsejoCeldas : public QObject {
public:
    explicit ConsejoCeldas(QAbstractItemView* vista) : QObject(vista), m_vista(vista) {}

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override {
        if (evento->type() != QEvent::ToolTip || objeto != m_vista->viewport()) return false;
        const auto* ayuda = static_cast<QHelpEvent*>(evento);
        const QModelIndex celda = m_vista->indexAt(ayuda->pos());
        const QString texto = celda.data(Qt::DisplayRole).toString();
        const QRect sitio = m_vista->visualRect(celda);
        // Lo que ocupa el texto más el margen con que lo pinta la vista.
        const int necesario = m_vista->fontMetrics().horizontalAdvance(texto) + 8;
        if (!celda.isValid() || texto.isEmpty() || necesario <= sitio.width()) {
            QToolTip::hideText();
            evento->ignore();
            return true;
        }
        QToolTip::showText(ayuda->globalPos(), texto, m_vista->viewport(), sitio);
        return true;
    }

private:
    QAbstractItemView* m_vista;
};

class ConsejoCombo : public QObject {
public:
    explicit ConsejoCombo(QComboBox* combo) : QObject(combo), m_combo(combo) {}

protected:
    bool eventFilter(QObject*, QEvent* evento) override {
        if (evento->type() != QEvent::ToolTip) return false;
        const QString texto = m_combo->currentText();
        const QWidget* caja = m_combo->lineEdit() ? static_cast<QWidget*>(m_combo->lineEdit())
                                                  : static_cast<QWidget*>(m_combo);
        if (texto.isEmpty() || m_combo->fontMetrics().horizontalAdvance(texto) + 8 <= caja->width())
            return false;
        QToolTip::showText(static_cast<QHelpEvent*>(evento)->globalPos(), texto, m_combo);
        return true;
    }

private:
    QComboBox* m_combo;
};

}  // namespace

void consejoEnTextoCortado(QComboBox* combo) {
    auto* consejo = new ConsejoCombo(combo);
    combo->installEventFilter(consejo);
    if (combo->lineEdit()) combo->lineEdit()->installEventFilter(consejo);
}

void consejoEnCeldasCortadas(QAbstractItemView* vista) {
    vista->viewport()->installEventFilter(new ConsejoCeldas(vista));
}
