#include "platform/ventanas/OpcionVigilada.h"

#include <QAbstractButton>

namespace {

// Estado de un clic en curso: si el cambio de estado ya llamó al manejador, el aviso de clic no
// vuelve a llamarlo.
struct ClicEnCurso : QObject {
    using QObject::QObject;
    bool enClic = false;
    bool yaLlamado = false;
};

}  // namespace

void alElegirOpcion(QAbstractButton* opcion, QObject* contexto, std::function<void()> manejador) {
    auto* clic = new ClicEnCurso(opcion);
    QObject::connect(opcion, &QAbstractButton::pressed, clic, [clic] {
        clic->enClic = true;
        clic->yaLlamado = false;
    });
    QObject::connect(opcion, &QAbstractButton::toggled, contexto, [clic, manejador](bool marcada) {
        if (!marcada) return;
        if (clic->enClic) clic->yaLlamado = true;
        manejador();
    });
    QObject::connect(opcion, &QAbstractButton::clicked, contexto, [clic, opcion, manejador] {
        const bool llamar = clic->enClic && !clic->yaLlamado && opcion->isChecked();
        clic->enClic = false;
        if (llamar) manejador();
    });
}
