#include "platform/ventanas/Accesibilidad.h"

#include "platform/ventanas/AccesibleTabla.h"
#include "platform/ventanas/MarcaFoco.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QRadioButton>
#include <QScrollArea>

namespace {

QString sinAmpersand(QString texto) {
    texto.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    texto.remove(QLatin1Char('&'));
    texto.replace(QLatin1Char('\x01'), QLatin1Char('&'));
    return texto;
}

// Disposición que contiene directamente al control, buscando en las anidadas.
QLayout* disposicionDe(QLayout* disposicion, QWidget* control) {
    if (!disposicion) return nullptr;
    if (disposicion->indexOf(control) >= 0) return disposicion;
    for (int i = 0; i < disposicion->count(); ++i)
        if (QLayout* hallada = disposicionDe(disposicion->itemAt(i)->layout(), control))
            return hallada;
    return nullptr;
}

// El control que se ve justo delante en su disposición: a la izquierda en una rejilla (o encima,
// si no hay nada a la izquierda), o el elemento anterior en una fila o columna.
QWidget* anteriorEnDisposicion(QWidget* control) {
    QWidget* padre = control->parentWidget();
    QLayout* disposicion = padre ? disposicionDe(padre->layout(), control) : nullptr;
    if (!disposicion) return nullptr;
    const int indice = disposicion->indexOf(control);
    if (auto* rejilla = qobject_cast<QGridLayout*>(disposicion)) {
        int fila, columna, filas, columnas;
        rejilla->getItemPosition(indice, &fila, &columna, &filas, &columnas);
        for (const auto& [f, c] : {std::pair{fila, columna - 1}, std::pair{fila - 1, columna}})
            if (QLayoutItem* item = f >= 0 && c >= 0 ? rejilla->itemAtPosition(f, c) : nullptr)
                return item->widget();
        return nullptr;
    }
    QLayoutItem* item = indice > 0 ? disposicion->itemAt(indice - 1) : nullptr;
    return item ? item->widget() : nullptr;
}

QLabel* rotuloDelante(QWidget* control) {
    auto* rotulo = qobject_cast<QLabel*>(anteriorEnDisposicion(control));
    return rotulo && !rotulo->buddy() ? rotulo : nullptr;
}

// La pregunta a la que responde una opción "Sí" o "No": el rótulo que tiene delante la primera
// opción de su grupo o, si no hay, el título del recuadro que las contiene.
QString preguntaDe(QAbstractButton* opcion) {
    QAbstractButton* primera = opcion;
    if (QButtonGroup* grupo = opcion->group(); grupo && !grupo->buttons().isEmpty())
        primera = grupo->buttons().constFirst();
    if (auto* rotulo = qobject_cast<QLabel*>(anteriorEnDisposicion(primera)))
        return sinAmpersand(rotulo->text());
    for (QWidget* w = opcion->parentWidget(); w && !w->isWindow(); w = w->parentWidget())
        if (auto* recuadro = qobject_cast<QGroupBox*>(w); recuadro && !recuadro->title().isEmpty())
            return sinAmpersand(recuadro->title());
    return {};
}

bool esRespuestaSiNo(const QAbstractButton* opcion) {
    const QString texto = sinAmpersand(opcion->text());
    return texto == QStringLiteral("Sí") || texto == QStringLiteral("No");
}

}  // namespace

void prepararAccesibilidad(QWidget* ventana) {
    AccesibleTabla::instalarFabrica();

    const QList<QWidget*> controles = ventana->findChildren<QWidget*>();
    // Listas, barras y combos sin rótulo: el que tienen delante, como compañero, para que su
    // nombre siga al texto del rótulo aunque cambie (los rótulos de las rejillas salen de la
    // configuración).
    for (QWidget* w : controles) {
        const bool nombrable = qobject_cast<QAbstractItemView*>(w) ||
                               qobject_cast<QProgressBar*>(w) || qobject_cast<QComboBox*>(w);
        if (!nombrable || !w->accessibleName().isEmpty()) continue;
        if (QLabel* rotulo = rotuloDelante(w)) rotulo->setBuddy(w);
    }
    QHash<QWidget*, QString> rotulos;
    for (QLabel* rotulo : ventana->findChildren<QLabel*>())
        if (rotulo->buddy()) rotulos.insert(rotulo->buddy(), sinAmpersand(rotulo->text()));

    for (QWidget* w : controles) {
        if (auto* combo = qobject_cast<QComboBox*>(w); combo && combo->lineEdit()) {
            // Tab lleva el foco accesible a la caja de texto del combo, no al combo.
            const QString nombre =
                combo->accessibleName().isEmpty() ? rotulos.value(combo) : combo->accessibleName();
            if (combo->lineEdit()->accessibleName().isEmpty())
                combo->lineEdit()->setAccessibleName(nombre);
        } else if (auto* opcion = qobject_cast<QRadioButton*>(w);
                   opcion && esRespuestaSiNo(opcion)) {
            const QString pregunta = preguntaDe(opcion);
            if (!pregunta.isEmpty())
                opcion->setAccessibleName(pregunta + QStringLiteral(": ") +
                                          sinAmpersand(opcion->text()));
        } else if (qobject_cast<QScrollArea*>(w)) {
            // Una zona desplazable que solo lleva controles no es una parada: con Tab se pasa a
            // lo que contiene, que ya se desplaza solo para quedar a la vista.
            w->setFocusPolicy(Qt::NoFocus);
        }
    }
    MarcaFoco::instalar(ventana);
}
