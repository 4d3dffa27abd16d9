#include "platform/ventanas/Accesibilidad.h"

#include "platform/ventanas/AccesibleControles.h"
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
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>

namespace {

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

bool esRespuestaSiNo(const QAbstractButton* opcion) {
    const QString texto = sinAmpersand(opcion->text());
    return texto == QStringLiteral("Sí") || texto == QStringLiteral("No");
}

// Tab entra en un grupo de opciones por la marcada, como en los diálogos de escritorio. Qt deja
// como única parada del grupo la última opción que tuvo el foco (al principio, la primera): tras
// marcar otra desde el código (una solicitud leída) o con el ratón, un Tab caía en una opción sin
// marcar, y un Espacio por reflejo cambiaba la respuesta.
void dejarParadaEnLaMarcada(QButtonGroup* grupo) {
    QAbstractButton* marcada = grupo->checkedButton();
    if (!marcada || !grupo->exclusive()) return;
    for (QAbstractButton* b : grupo->buttons()) {
        const Qt::FocusPolicy politica = b->focusPolicy();
        b->setFocusPolicy(b == marcada ? Qt::FocusPolicy(politica | Qt::TabFocus)
                                       : Qt::FocusPolicy(politica & ~Qt::TabFocus));
    }
}

// Al salir el foco de un grupo (Qt deja como parada la opción que lo tuvo), la parada vuelve a
// la marcada.
class ParadaEnLaMarcada : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override {
        if (evento->type() == QEvent::FocusOut)
            if (QButtonGroup* grupo = static_cast<QAbstractButton*>(objeto)->group())
                dejarParadaEnLaMarcada(grupo);
        return false;
    }
};

}  // namespace

QString sinAmpersand(QString texto) {
    texto.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    texto.remove(QLatin1Char('&'));
    texto.replace(QLatin1Char('\x01'), QLatin1Char('&'));
    return texto;
}

QWidget* preguntaDeOpcion(const QAbstractButton* opcion) {
    const QAbstractButton* primera = opcion;
    if (QButtonGroup* grupo = opcion->group(); grupo && !grupo->buttons().isEmpty())
        primera = grupo->buttons().constFirst();
    if (auto* rotulo =
            qobject_cast<QLabel*>(anteriorEnDisposicion(const_cast<QAbstractButton*>(primera))))
        return rotulo;
    // El marco que guarda el grupo, si dice su pregunta: un recuadro con título o un marco con
    // nombre. Uno de más fuera ("Datos Profesionales") no es la pregunta de este grupo.
    QWidget* marco = primera->parentWidget();
    if (!marco || marco->isWindow()) return nullptr;
    if (!marco->accessibleName().isEmpty()) return marco;
    if (auto* recuadro = qobject_cast<QGroupBox*>(marco); recuadro && !recuadro->title().isEmpty())
        return recuadro;
    return nullptr;
}

void ponerBotonPorDefecto(QWidget* zona, QPushButton* boton) {
    boton->setDefault(true);
    for (QLineEdit* caja : zona->findChildren<QLineEdit*>())
        QObject::connect(caja, &QLineEdit::returnPressed, boton, &QAbstractButton::click);
}

void instalarInterfacesAccesibles() {
    AccesibleTabla::instalarFabrica();
    AccesibleControles::instalarFabricas();
}

void prepararAccesibilidad(QWidget* ventana) {
    instalarInterfacesAccesibles();

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

    // Qt da a un recuadro dentro de otro el título del de fuera ("Discapacidad" se oía como
    // "Datos Personales"): cada uno, el suyo.
    for (QGroupBox* recuadro : ventana->findChildren<QGroupBox*>())
        if (recuadro->accessibleName().isEmpty() && !recuadro->title().isEmpty())
            recuadro->setAccessibleName(sinAmpersand(recuadro->title()));

    auto* paradas = new ParadaEnLaMarcada(ventana);
    for (QButtonGroup* grupo : ventana->findChildren<QButtonGroup*>()) {
        dejarParadaEnLaMarcada(grupo);
        QObject::connect(grupo, &QButtonGroup::buttonToggled, grupo,
                         [grupo](QAbstractButton*, bool marcada) {
                             if (marcada) dejarParadaEnLaMarcada(grupo);
                         });
        for (QAbstractButton* b : grupo->buttons()) b->installEventFilter(paradas);
    }

    for (QWidget* w : controles) {
        if (auto* combo = qobject_cast<QComboBox*>(w); combo && combo->lineEdit()) {
            // Tab lleva el foco accesible a la caja de texto del combo, no al combo: se llama
            // como él. Sin rótulo delante, el título del recuadro que lo guarda, como el combo.
            QString nombre =
                combo->accessibleName().isEmpty() ? rotulos.value(combo) : combo->accessibleName();
            if (auto* recuadro = qobject_cast<QGroupBox*>(combo->parentWidget());
                nombre.isEmpty() && recuadro)
                nombre = sinAmpersand(recuadro->title());
            if (combo->lineEdit()->accessibleName().isEmpty())
                combo->lineEdit()->setAccessibleName(nombre);
        } else if (auto* opcion = qobject_cast<QRadioButton*>(w);
                   opcion && esRespuestaSiNo(opcion)) {
            const QWidget* pregunta = preguntaDeOpcion(opcion);
            const QString texto = !pregunta ? QString()
                                  : qobject_cast<const QLabel*>(pregunta)
                                      ? static_cast<const QLabel*>(pregunta)->text()
                                      : pregunta->accessibleName();
            if (!texto.isEmpty())
                opcion->setAccessibleName(sinAmpersand(texto) + QStringLiteral(": ") +
                                          sinAmpersand(opcion->text()));
        } else if (qobject_cast<QScrollArea*>(w)) {
            // Una zona desplazable que solo lleva controles no es una parada: con Tab se pasa a
            // lo que contiene, que ya se desplaza solo para quedar a la vista.
            w->setFocusPolicy(Qt::NoFocus);
        }
    }
    MarcaFoco::instalar(ventana);
}
