#pragma once

#include "form/FiltroNumerico.h"

#include <QObject>
#include <functional>

class QLineEdit;
class QWidget;

// Filtro de teclado de una caja de texto: cada tecla que escribe algo (con Intro y retroceso)
// pasa por una decisión que la deja pasar, la anula o la cambia por otro carácter, y que puede
// además llevar el foco al control siguiente. Las teclas que no escriben (flechas, Supr, Tab)
// pasan sin más. Vive como hijo de la caja.
class FiltroTeclas : public QObject {
public:
    using Decision = std::function<DecisionTecla(QChar tecla, const QString& texto)>;

    static void instalar(QLineEdit* caja, Decision decision);
    // FiltroNumerico: cifras, una coma, "-", retroceso; Intro pasa al control siguiente.
    static void instalarNumerico(QLineEdit* caja);
    // Anula los caracteres dados; el resto pasa.
    static void instalarSin(QLineEdit* caja, const QString& prohibidos);

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    FiltroTeclas(QLineEdit* caja, Decision decision);
    QLineEdit* m_caja;
    Decision m_decision;
};

// Que en las cajas de texto no entre lo que el código de barras no puede llevar, ni escrito ni
// pegado (ver DepurarTextoCodigo); `avisar` se llama cada vez que se quitó o cambió algo.
void depurarTextoCodigo(QLineEdit* caja, std::function<void()> avisar);

// Lleva el foco al control siguiente del orden de tabulación, como una pulsación de Tab: en
// cuanto termina el manejador que la manda (lo que este habilite después ya cuenta), y solo si
// el foco sigue en ese control.
void enviarTab(QWidget* desde);
