#include "platform/ventanas/AccesibleControles.h"

#include "platform/ventanas/Accesibilidad.h"

#include <QAbstractButton>
#include <QKeySequence>
#include <QRadioButton>
#include <QTabBar>
#include <QWindow>

namespace {

// Una pestaña de la barra, por su posición.
class AccesiblePestana : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    AccesiblePestana(QTabBar* barra, int indice) : m_barra(barra), m_indice(indice) {}

    void* interface_cast(QAccessible::InterfaceType tipo) override {
        return tipo == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this)
                                                    : nullptr;
    }
    bool isValid() const override { return m_barra && m_indice < m_barra->count(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override {
        return m_barra ? m_barra->window()->windowHandle() : nullptr;
    }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(m_barra.data());
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QString text(QAccessible::Text t) const override {
        if (!isValid()) return {};
        const QString texto = m_barra->tabText(m_indice);
        switch (t) {
            case QAccessible::Name:
                return sinAmpersand(texto);
            case QAccessible::Description:
                return m_barra->tabToolTip(m_indice);
            case QAccessible::Accelerator:
                return QKeySequence::mnemonic(texto).toString(QKeySequence::NativeText);
            default:
                return {};
        }
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
        if (!isValid()) return {};
        const QRect r = m_barra->tabRect(m_indice);
        return QRect(m_barra->mapToGlobal(r.topLeft()), r.size());
    }
    QAccessible::Role role() const override { return QAccessible::PageTab; }
    QAccessible::State state() const override {
        QAccessible::State s;
        if (!isValid()) {
            s.invalid = true;
            return s;
        }
        const bool elegida = m_indice == m_barra->currentIndex();
        s.selectable = true;
        s.selected = elegida;
        s.focusable = m_barra->focusPolicy() != Qt::NoFocus;
        // Con el foco en una caja de texto de la página, la pestaña no lo tiene.
        s.focused = elegida && m_barra->hasFocus();
        s.invisible = !m_barra->isVisible() || !m_barra->isTabVisible(m_indice);
        s.disabled = !m_barra->isEnabled() || !m_barra->isTabEnabled(m_indice);
        return s;
    }

    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& accion) override {
        if (accion == pressAction() && isValid() && m_barra->isTabEnabled(m_indice))
            m_barra->setCurrentIndex(m_indice);
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    QPointer<QTabBar> m_barra;
    int m_indice;
};

QAccessibleInterface* crear(const QString& clase, QObject* objeto) {
    if (clase == QLatin1String("QRadioButton"))
        return new AccesibleOpcion(static_cast<QRadioButton*>(objeto));
    if (clase == QLatin1String("QTabBar"))
        return new AccesiblePestanas(static_cast<QTabBar*>(objeto));
    // Una ventana hecha directamente de QWidget (el selector, la ventanita de progreso): Qt la
    // da como un cliente sin papel, que un lector de pantalla anuncia como relleno.
    const QMetaObject* clasePropia = objeto->metaObject();
    if (objeto->isWidgetType() && clase == QLatin1String(clasePropia->className()) &&
        clasePropia->superClass() == &QWidget::staticMetaObject &&
        static_cast<QWidget*>(objeto)->isWindow())
        return new QAccessibleWidget(static_cast<QWidget*>(objeto), QAccessible::Dialog);
    return nullptr;
}

}  // namespace

void AccesibleControles::instalarFabricas() {
    static const bool instaladas = [] {
        QAccessible::installFactory(&crear);
        return true;
    }();
    Q_UNUSED(instaladas);
}

AccesibleOpcion::AccesibleOpcion(QAbstractButton* opcion)
    : QAccessibleWidget(opcion, QAccessible::RadioButton) {}

QAbstractButton* AccesibleOpcion::opcion() const {
    return static_cast<QAbstractButton*>(widget());
}

QString AccesibleOpcion::text(QAccessible::Text t) const {
    // La de Qt toma como nombre el título del recuadro cuando no hay otro: aquí, su texto.
    if (t == QAccessible::Name)
        return widget()->accessibleName().isEmpty() ? sinAmpersand(opcion()->text())
                                                    : widget()->accessibleName();
    if (t == QAccessible::Accelerator)
        return QKeySequence::mnemonic(opcion()->text()).toString(QKeySequence::NativeText);
    return QAccessibleWidget::text(t);
}

QAccessible::State AccesibleOpcion::state() const {
    QAccessible::State s = QAccessibleWidget::state();
    s.checkable = true;
    s.checked = opcion()->isChecked();
    return s;
}

QList<QPair<QAccessibleInterface*, QAccessible::Relation>> AccesibleOpcion::relations(
    QAccessible::Relation cuales) const {
    auto lista = QAccessibleWidget::relations(cuales);
    if (!(cuales & QAccessible::Label)) return lista;
    // El rótulo de una opción es la pregunta de su grupo, no el recuadro que la contiene (que
    // puede ser "Datos Profesionales").
    lista.removeIf([](const auto& r) { return r.second & QAccessible::Label; });
    if (QWidget* pregunta = preguntaDeOpcion(opcion()))
        lista.prepend({QAccessible::queryAccessibleInterface(pregunta), QAccessible::Label});
    return lista;
}

QStringList AccesibleOpcion::actionNames() const {
    return QStringList{toggleAction()} + QAccessibleWidget::actionNames();
}

void AccesibleOpcion::doAction(const QString& accion) {
    if (accion == toggleAction() || accion == pressAction())
        opcion()->click();
    else
        QAccessibleWidget::doAction(accion);
}

AccesiblePestanas::AccesiblePestanas(QTabBar* barra)
    : QAccessibleWidget(barra, QAccessible::PageTabList) {}

AccesiblePestanas::~AccesiblePestanas() {
    for (const QAccessible::Id id : std::as_const(m_pestanas))
        QAccessible::deleteAccessibleInterface(id);
}

QTabBar* AccesiblePestanas::barra() const {
    return static_cast<QTabBar*>(widget());
}

QString AccesiblePestanas::text(QAccessible::Text t) const {
    if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
        return sinAmpersand(barra()->tabText(barra()->currentIndex()));
    return QAccessibleWidget::text(t);
}

int AccesiblePestanas::childCount() const {
    return barra()->count();
}

QAccessibleInterface* AccesiblePestanas::child(int indice) const {
    if (indice < 0 || indice >= barra()->count()) return nullptr;
    while (m_pestanas.size() <= indice)
        m_pestanas << QAccessible::registerAccessibleInterface(
            new AccesiblePestana(barra(), int(m_pestanas.size())));
    return QAccessible::accessibleInterface(m_pestanas[indice]);
}

int AccesiblePestanas::indexOfChild(const QAccessibleInterface* hijo) const {
    for (int i = 0; i < m_pestanas.size(); ++i)
        if (QAccessible::accessibleInterface(m_pestanas[i]) == hijo) return i;
    return -1;
}

QAccessibleInterface* AccesiblePestanas::childAt(int x, int y) const {
    const int indice = barra()->tabAt(barra()->mapFromGlobal(QPoint(x, y)));
    return indice >= 0 ? child(indice) : nullptr;
}

QAccessibleInterface* AccesiblePestanas::focusChild() const {
    return barra()->hasFocus() ? child(barra()->currentIndex()) : nullptr;
}
