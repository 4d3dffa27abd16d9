#include "form/ventanas/FiltroTeclas.h"

#include "form/TextoCodigo.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>
#include <QValidator>

namespace {

// El validador de una caja puede cambiar lo que entra: así vale también para lo pegado.
class ValidadorTextoCodigo : public QValidator {
public:
    ValidadorTextoCodigo(QObject* parent, std::function<void()> avisar)
        : QValidator(parent), m_avisar(std::move(avisar)) {}

    State validate(QString& entrada, int& posicion) const override {
        const TextoDepurado r = DepurarTextoCodigo(entrada);
        if (r.texto != entrada) {
            posicion =
                qBound(0, posicion - int(entrada.size() - r.texto.size()), int(r.texto.size()));
            entrada = r.texto;
        }
        if (r.cambiado && m_avisar) m_avisar();
        return Acceptable;
    }

private:
    std::function<void()> m_avisar;
};

// Carácter que la tecla escribiría, con Intro y retroceso como sus códigos; nulo si no escribe.
QChar caracterDeTecla(const QKeyEvent& tecla) {
    switch (tecla.key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return kTeclaIntro;
        case Qt::Key_Backspace:
            return kTeclaRetroceso;
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            return QChar();  // moverse entre controles no es escribir
        default:
            return tecla.text().isEmpty() ? QChar() : tecla.text().at(0);
    }
}

}  // namespace

FiltroTeclas::FiltroTeclas(QLineEdit* caja, Decision decision)
    : QObject(caja), m_caja(caja), m_decision(std::move(decision)) {
    caja->installEventFilter(this);
}

void FiltroTeclas::instalar(QLineEdit* caja, Decision decision) {
    new FiltroTeclas(caja, std::move(decision));
}

void FiltroTeclas::instalarNumerico(QLineEdit* caja) {
    instalar(caja, &FiltroNumerico);
}

void FiltroTeclas::instalarSin(QLineEdit* caja, const QString& prohibidos) {
    instalar(caja, [prohibidos](QChar tecla, const QString&) {
        DecisionTecla d;
        d.aceptar = !prohibidos.contains(tecla);
        return d;
    });
}

bool FiltroTeclas::eventFilter(QObject* objeto, QEvent* evento) {
    if (objeto != m_caja || evento->type() != QEvent::KeyPress)
        return QObject::eventFilter(objeto, evento);
    const auto* tecla = static_cast<QKeyEvent*>(evento);
    const QChar c = caracterDeTecla(*tecla);
    if (c.isNull()) return false;
    const DecisionTecla d = m_decision(c, m_caja->text());
    if (d.enviarTab) enviarTab(m_caja);
    if (!d.aceptar) return true;
    if (!d.sustituto.isNull() && d.sustituto != c) {
        m_caja->insert(QString(d.sustituto));
        return true;
    }
    return false;
}

void depurarTextoCodigo(QLineEdit* caja, std::function<void()> avisar) {
    caja->setValidator(new ValidadorTextoCodigo(caja, std::move(avisar)));
}

void enviarTab(QWidget* desde) {
    // Como una pulsación de verdad: se atiende cuando acaba lo que se está haciendo, desde el
    // control que entonces tenga el foco en la ventana.
    QPointer<QWidget> ventana(desde->window());
    QPointer<QWidget> origen(desde);
    QTimer::singleShot(0, ventana, [ventana, origen] {
        QWidget* foco = ventana ? ventana->focusWidget() : nullptr;
        // Si el foco ya salió del control (se deshabilitó o se ocultó), ya no hay de dónde salir.
        if (!foco || !origen || (foco != origen && !origen->isAncestorOf(foco))) return;
        QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
        QApplication::sendEvent(foco, &tab);
    });
}
