// Las dos columnas de la primera pestaña y el ancho de la ventana. A la izquierda van los datos
// personales y los del concurso, a la derecha los profesionales; cuando la zona desplazable que
// enseña la pestaña no tiene ancho para las dos, se apilan en el orden del tabulador (personales,
// profesionales, concurso), de modo que nada pide desplazarse en horizontal: una persona que no
// ve el borde derecho no sabe que hay algo (la categoría) al otro lado.
#include "form/ventanas/PestanaSolicitante.h"
#include "ui_PestanaSolicitante.h"

#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>

namespace {

// Ancho mínimo de la disposición con los marcos dados uno al lado del otro.
int anchoLadoALado(QGridLayout* rejilla, const QList<QWidget*>& izquierda, QWidget* derecha) {
    int izq = 0;
    for (QWidget* marco : izquierda)
        if (!marco->isHidden()) izq = qMax(izq, marco->minimumSizeHint().width());
    const QMargins m = rejilla->contentsMargins();
    return izq + derecha->minimumSizeHint().width() + rejilla->horizontalSpacing() + m.left() +
           m.right();
}

}  // namespace

void PestanaSolicitante::vigilarZonaDesplazable() {
    for (QLabel* rotulo : findChildren<QLabel*>())
        if (rotulo->buddy()) m_rotulos.insert(rotulo->buddy(), rotulo);
    // El hueco de abajo pasa a la fila del final, bajo las dos columnas o bajo la pila.
    auto* rejilla = static_cast<QGridLayout*>(layout());
    rejilla->removeItem(ui->espPestana);
    rejilla->addItem(ui->espPestana, 3, 0, 1, 2);
    colocarColumnas(false);
    connect(qApp, &QApplication::focusChanged, this,
            [this](QWidget*, QWidget* nuevo) { alCambiarFoco(nuevo); });
}

bool PestanaSolicitante::event(QEvent* evento) {
    // La zona desplazable pone la pestaña en su vista al construirse la ventana; desde entonces
    // se mira su ancho. Un marco que aparece o crece (el destino actual) cambia lo que cabe.
    if (evento->type() == QEvent::ParentChange) {
        if (m_zona) m_zona->viewport()->removeEventFilter(this);
        m_zona = nullptr;
        for (QWidget* w = parentWidget(); w && !m_zona; w = w->parentWidget())
            m_zona = qobject_cast<QScrollArea*>(w);
        if (m_zona) m_zona->viewport()->installEventFilter(this);
    }
    const bool atendido = QWidget::event(evento);
    if (evento->type() == QEvent::LayoutRequest) recolocarColumnas();
    return atendido;
}

void PestanaSolicitante::recolocarColumnas() {
    if (!m_zona) return;
    auto* rejilla = static_cast<QGridLayout*>(layout());
    // La barra vertical puede aparecer o irse al apilar: se cuenta como si no estuviera, para
    // que un ancho dé siempre la misma disposición.
    int disponible = m_zona->viewport()->width();
    if (m_zona->verticalScrollBar()->isVisible())
        disponible += m_zona->verticalScrollBar()->width();
    const int necesario =
        anchoLadoALado(rejilla, {ui->fraPersonales, ui->fraConcurso}, ui->fraProfesionales) +
        style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    const bool apilar = disponible < necesario;
    if (apilar != m_apilada) colocarColumnas(apilar);
}

void PestanaSolicitante::colocarColumnas(bool apilar) {
    m_apilada = apilar;
    auto* rejilla = static_cast<QGridLayout*>(layout());
    for (QWidget* marco : {ui->fraPersonales, ui->fraProfesionales, ui->fraConcurso})
        rejilla->removeWidget(marco);
    rejilla->addWidget(ui->fraPersonales, 0, 0);
    if (apilar) {
        rejilla->addWidget(ui->fraProfesionales, 1, 0);
        rejilla->addWidget(ui->fraConcurso, 2, 0);
    } else {
        rejilla->addWidget(ui->fraProfesionales, 0, 1, 3, 1);
        rejilla->addWidget(ui->fraConcurso, 1, 0);
    }
    rejilla->setColumnStretch(1, apilar ? 0 : 1);
    rejilla->setColumnStretch(0, 1);
}

void PestanaSolicitante::alCambiarFoco(QWidget* nuevo) {
    // Con el foco llega a la vista el control entero y su rótulo, venga de donde venga el foco
    // (con Tab desde la barra de pestañas, con la letra de un rótulo, con el ratón).
    if (!m_zona || !nuevo || !isAncestorOf(nuevo)) return;
    // La caja de un combo se enseña con el combo entero.
    QWidget* control = nuevo;
    if (qobject_cast<QComboBox*>(nuevo->parentWidget())) control = nuevo->parentWidget();
    QRect zona(control->mapTo(this, QPoint(0, 0)), control->size());
    if (QLabel* rotulo = m_rotulos.value(control); rotulo && rotulo->isVisible())
        zona = zona.united(QRect(rotulo->mapTo(this, QPoint(0, 0)), rotulo->size()));
    const QPoint centro = zona.center();
    m_zona->ensureVisible(centro.x(), centro.y(), zona.width() / 2 + 8, zona.height() / 2 + 8);
}
