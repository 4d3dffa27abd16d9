#include "form/ventanas/FiltroTeclas.h"

#include "form/TextoCodigo.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
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
// Las combinaciones con Ctrl (seleccionar todo, copiar, pegar, deshacer) no escriben: las
// atiende la caja, y lo que se pega pasa por el filtro aparte.
QChar caracterDeTecla(const QKeyEvent& tecla) {
    if (tecla.modifiers() & Qt::ControlModifier) return QChar();
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
            break;
    }
    if (tecla.text().isEmpty() || tecla.text().at(0).category() == QChar::Other_Control)
        return QChar();
    return tecla.text().at(0);
}

}  // namespace

FiltroTeclas::FiltroTeclas(QLineEdit* caja, Decision decision)
    : QObject(caja), m_caja(caja), m_decision(std::move(decision)) {
    caja->installEventFilter(this);
    // Lo arrastrado entraría sin filtrar; se pega con Ctrl+V o con el menú de la caja.
    caja->setAcceptDrops(false);
}

QString FiltroTeclas::filtrar(const QString& pegado) const {
    // Cada carácter como si se tecleara sobre lo que quedará de la caja: lo que el filtro anula
    // se cae y lo que cambia se cambia. Intro no lleva a ningún sitio desde un pegado.
    QString base = m_caja->text();
    if (m_caja->hasSelectedText())
        base.remove(m_caja->selectionStart(), m_caja->selectedText().size());
    QString resultado;
    for (const QChar c : pegado) {
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) continue;
        const DecisionTecla d = m_decision(c, base + resultado);
        if (!d.aceptar) continue;
        resultado += d.sustituto.isNull() ? c : d.sustituto;
    }
    return resultado;
}

void FiltroTeclas::pegarFiltrado(QClipboard::Mode modo) {
    if (m_caja->isReadOnly()) return;
    m_caja->insert(filtrar(QGuiApplication::clipboard()->text(modo)));
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
    if (objeto != m_caja) return QObject::eventFilter(objeto, evento);
    if (evento->type() == QEvent::ContextMenu) {
        // El menú de siempre de la caja, con su "Pegar" pasado por el filtro.
        QMenu* menu = m_caja->createStandardContextMenu();
        menu->setAttribute(Qt::WA_DeleteOnClose);
        // La acción de pegar se reconoce por su rótulo, el mismo que Qt le pone (traducido).
        const QString rotuloPegar = QCoreApplication::translate("QLineEdit", "&Paste");
        for (QAction* accion : menu->actions()) {
            if (!accion->text().startsWith(rotuloPegar)) continue;
            QObject::disconnect(accion, &QAction::triggered, m_caja, nullptr);
            connect(accion, &QAction::triggered, this, [this] { pegarFiltrado(); });
        }
        menu->popup(static_cast<QContextMenuEvent*>(evento)->globalPos());
        return true;
    }
    if (evento->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(evento)->button() == Qt::MiddleButton &&
        QGuiApplication::clipboard()->supportsSelection()) {
        pegarFiltrado(QClipboard::Selection);
        return true;
    }
    if (evento->type() != QEvent::KeyPress) return QObject::eventFilter(objeto, evento);
    const auto* tecla = static_cast<QKeyEvent*>(evento);
    if (tecla->matches(QKeySequence::Paste)) {
        pegarFiltrado();
        return true;
    }
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
