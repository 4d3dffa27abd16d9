#include "platform/ventanas/AvisoEstado.h"

#include <QAccessible>
#include <QStatusBar>

AvisoEstado::AvisoEstado(QStatusBar* barra, int lineas) : QLabel(barra) {
    setObjectName(QStringLiteral("lblAviso"));
    setWordWrap(true);
    setTextFormat(Qt::PlainText);
    setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setFixedHeight(lineas * fontMetrics().lineSpacing() + 2 * margin() + 2);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    barra->addWidget(this, 1);
    barra->setSizeGripEnabled(false);
    barra->show();
    m_plazo.setSingleShot(true);
    connect(&m_plazo, &QTimer::timeout, this, &AvisoEstado::retirar);
}

void AvisoEstado::avisar(const QString& texto, int milisegundos) {
    setText(texto);
    setToolTip(texto);
    setAccessibleName(texto);
    m_plazo.start(milisegundos);
    // El lector de pantalla lo dice aunque el foco siga en la caja donde se escribía.
    QAccessibleEvent alerta(this, QAccessible::Alert);
    QAccessible::updateAccessibility(&alerta);
}

void AvisoEstado::retirar() {
    m_plazo.stop();
    clear();
    setToolTip(QString());
    setAccessibleName(QString());
}
