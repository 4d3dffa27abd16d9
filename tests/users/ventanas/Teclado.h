#pragma once

#include <QApplication>
#include <QTest>
#include <QWidget>

// Escribe el texto tecla a tecla en el control que tenga el foco en cada momento, como una
// persona: si el foco salta a mitad, el resto va al nuevo control. Los caracteres no ASCII van
// como eventos con texto (QTest::keyClicks no los admite).
inline void escribir(const QString& texto) {
    for (const QChar c : texto) {
        QWidget* destino = QApplication::focusWidget();
        if (!destino) return;
        if (c.unicode() < 128) {
            QTest::keyClick(destino, c.toLatin1());
        } else {
            QTest::sendKeyEvent(QTest::Press, destino, Qt::Key_unknown, QString(c), Qt::NoModifier);
            QTest::sendKeyEvent(QTest::Release, destino, Qt::Key_unknown, QString(c),
                                Qt::NoModifier);
        }
    }
}

// Pulsa una tecla sin texto (Tab, Intro...) en el control con el foco.
inline void pulsar(Qt::Key tecla) {
    if (QWidget* destino = QApplication::focusWidget()) QTest::keyClick(destino, tecla);
}

// Muestra la ventana y espera a que esté activa: sin eso, el foco no se mueve con offscreen.
inline bool mostrarActiva(QWidget* ventana) {
    ventana->show();
    ventana->activateWindow();
    return QTest::qWaitForWindowActive(ventana);
}
