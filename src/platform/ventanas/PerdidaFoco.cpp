#include "platform/ventanas/PerdidaFoco.h"

#include <QApplication>
#include <QPointer>
#include <QWidget>

namespace {

// También cruzando ventanas: la lista desplegable de un combo es una ventana hija de él.
bool dentroDe(const QWidget* w, const QWidget* control) {
    for (; w; w = w->parentWidget())
        if (w == control) return true;
    return false;
}

}  // namespace

void alPerderFoco(QWidget* control, QObject* contexto, std::function<void()> manejador) {
    QPointer<QWidget> vigilado(control);
    QObject::connect(qApp, &QApplication::focusChanged, contexto,
                     [vigilado, manejador](QWidget* antes, QWidget* ahora) {
                         if (!vigilado || !antes || !ahora) return;
                         if (!dentroDe(antes, vigilado) || dentroDe(ahora, vigilado)) return;
                         if (ahora->window() != vigilado->window()) return;  // otra ventana
                         manejador();
                     });
}
