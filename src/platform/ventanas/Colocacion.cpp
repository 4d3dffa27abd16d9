#include "platform/ventanas/Colocacion.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <QSettings>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QWidget>

namespace {

QSettings ajustes() {
    return QSettings(QStringLiteral("Movilant"), QStringLiteral("movilant"));
}

QRect zonaDeTrabajo(const QWidget* ventana) {
    const QScreen* pantalla =
        ventana->screen() ? ventana->screen() : QGuiApplication::primaryScreen();
    return pantalla ? pantalla->availableGeometry() : QRect();
}

}  // namespace

void centrarVentana(QWidget* ventana) {
    const QWidget* padre = ventana->parentWidget() ? ventana->parentWidget()->window() : nullptr;
    const QRect zona = zonaDeTrabajo(ventana);
    QRect r(QPoint(), ventana->size().isEmpty() ? ventana->sizeHint() : ventana->size());
    r.moveCenter(padre && padre->isVisible() ? padre->frameGeometry().center() : zona.center());
    // Sin salirse de la pantalla por ningún lado.
    if (!zona.isEmpty()) {
        r.moveLeft(qBound(zona.left(), r.left(), qMax(zona.left(), zona.right() - r.width())));
        r.moveTop(qBound(zona.top(), r.top(), qMax(zona.top(), zona.bottom() - r.height())));
    }
    ventana->move(r.topLeft());
}

void restaurarGeometria(QWidget* ventana, const char* clave) {
    const QByteArray guardada = ajustes().value(QLatin1String(clave)).toByteArray();
    const QRect zona = zonaDeTrabajo(ventana);
    if (!guardada.isEmpty() && ventana->restoreGeometry(guardada) &&
        (zona.isEmpty() || zona.contains(ventana->geometry())))
        return;
    if (!zona.isEmpty()) ventana->resize(ventana->size().boundedTo(zona.size() * 0.95));
    centrarVentana(ventana);
}

void anchoMinimoPorContenido(QWidget* raiz, int tope) {
    for (QLineEdit* caja : raiz->findChildren<QLineEdit*>()) {
        // Las cajas de los combos se miden con su combo.
        if (qobject_cast<QComboBox*>(caja->parentWidget())) continue;
        // Sin longitud máxima de diseño no hay contenido que medir: la caja se estira sola.
        if (caja->maxLength() >= 32767) continue;
        const int caracteres = qMin(caja->maxLength(), tope);
        // Las cifras son de las letras anchas: una caja de fecha o de DNI se mide con ellas.
        const QString muestra(caracteres, QLatin1Char('0'));
        QStyleOptionFrame opcion;
        opcion.initFrom(caja);
        const QSize contenido(caja->fontMetrics().horizontalAdvance(muestra) + 6,
                              caja->sizeHint().height());
        const int ancho =
            caja->style()->sizeFromContents(QStyle::CT_LineEdit, &opcion, contenido, caja).width();
        // Un tope de diseño más estrecho que su contenido también se ensancha.
        if (caja->maximumWidth() < ancho) caja->setMaximumWidth(ancho);
        caja->setMinimumWidth(ancho);
    }
}

void guardarGeometria(const QWidget* ventana, const char* clave) {
    ajustes().setValue(QLatin1String(clave), ventana->saveGeometry());
}
