#include "platform/ventanas/PreparacionAplicacion.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextEdit>
#include <QTranslator>

namespace {

bool escribeTexto(const QObject* objeto) {
    if (const auto* combo = qobject_cast<const QComboBox*>(objeto)) return combo->isEditable();
    return qobject_cast<const QLineEdit*>(objeto) || qobject_cast<const QTextEdit*>(objeto) ||
           qobject_cast<const QPlainTextEdit*>(objeto) ||
           qobject_cast<const QAbstractSpinBox*>(objeto);
}

class TecladoComun : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override {
        if (evento->type() != QEvent::KeyPress) return false;
        const auto* tecla = static_cast<const QKeyEvent*>(evento);
        const Qt::KeyboardModifiers mods = tecla->modifiers();
        // Un Alt+letra sin atajo llega como pulsación con texto: escribiría la letra (Alt+G
        // cambiaba una dirección por "g"). AltGr, que escribe "@" o "€", no lleva Alt aquí; en
        // otros sistemas llega como Ctrl+Alt y también pasa.
        if ((mods & Qt::AltModifier) && !(mods & Qt::ControlModifier) && !tecla->text().isEmpty() &&
            escribeTexto(objeto))
            return true;
        // Fuera de un diálogo un botón no atiende Intro; aquí sí, como en cualquier escritorio.
        const bool intro = tecla->key() == Qt::Key_Return || tecla->key() == Qt::Key_Enter;
        if (intro && (mods & ~Qt::KeypadModifier) == Qt::NoModifier) {
            auto* boton = qobject_cast<QPushButton*>(objeto);
            if (boton && boton->isEnabled() && !boton->autoDefault() && !boton->isDefault()) {
                boton->click();
                return true;
            }
        }
        return false;
    }
};

}  // namespace

bool cargarTraduccionesQt(QApplication& aplicacion) {
    auto* traductor = new QTranslator(&aplicacion);
    if (!traductor->load(QStringLiteral("qtbase_es"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete traductor;
        return false;
    }
    QApplication::installTranslator(traductor);
    return true;
}

void instalarTecladoComun(QApplication& aplicacion) {
    aplicacion.installEventFilter(new TecladoComun(&aplicacion));
}
