#include "platform/ventanas/MarcaFoco.h"

#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QMenuBar>
#include <QPainter>

namespace {

const char* const kConMarca = "marcaFoco";
// Separación entre el control y la marca: no tapa el borde propio del control.
constexpr int kMargen = 3;

QPointer<MarcaFoco>& unica() {
    static QPointer<MarcaFoco> marca;
    return marca;
}

}  // namespace

MarcaFoco::MarcaFoco(QWidget* padre) : QWidget(padre) {
    setObjectName(QStringLiteral("marcaFoco"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
}

void MarcaFoco::instalar(QWidget* ventana) {
    ventana->setProperty(kConMarca, true);
    static const bool conectada = [] {
        QObject::connect(qApp, &QApplication::focusChanged, qApp, &MarcaFoco::alCambiarFoco);
        return true;
    }();
    Q_UNUSED(conectada);
}

QWidget* MarcaFoco::marcado() {
    MarcaFoco* marca = unica();
    return marca && marca->isVisible() ? marca->m_control.data() : nullptr;
}

void MarcaFoco::alCambiarFoco(QWidget*, QWidget* ahora) {
    QWidget* control = ahora;
    // La caja de texto de un combo: se marca el combo entero.
    if (control && qobject_cast<QComboBox*>(control->parentWidget()))
        control = control->parentWidget();
    // La barra de menú resalta por sí misma la orden con el foco.
    const bool marcar = control && !control->isWindow() && control->parentWidget() &&
                        control->window()->property(kConMarca).toBool() &&
                        !qobject_cast<QMenuBar*>(control);
    if (!marcar) {
        if (unica()) unica()->seguir(nullptr);
        return;
    }
    if (!unica()) unica() = new MarcaFoco(control->parentWidget());
    unica()->seguir(control);
}

void MarcaFoco::seguir(QWidget* control) {
    if (m_control) m_control->removeEventFilter(this);
    m_control = control;
    if (!control) {
        hide();
        return;
    }
    if (parentWidget() != control->parentWidget()) setParent(control->parentWidget());
    control->installEventFilter(this);
    colocar();
}

void MarcaFoco::colocar() {
    if (!m_control) return;
    setGeometry(m_control->geometry().adjusted(-kMargen, -kMargen, kMargen, kMargen));
    raise();
    setVisible(m_control->isVisible());
    update();
}

bool MarcaFoco::eventFilter(QObject* objeto, QEvent* evento) {
    if (objeto == m_control) {
        switch (evento->type()) {
            case QEvent::Move:
            case QEvent::Resize:
            case QEvent::Show:
            case QEvent::Hide:
                colocar();
                break;
            default:
                break;
        }
    }
    return QWidget::eventFilter(objeto, evento);
}

void MarcaFoco::paintEvent(QPaintEvent*) {
    QPainter pintor(this);
    // El color de resaltado del tema, más oscuro para que destaque sobre el fondo de la ventana.
    pintor.setPen(QPen(palette().color(QPalette::Highlight).darker(140), 2));
    pintor.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
}
