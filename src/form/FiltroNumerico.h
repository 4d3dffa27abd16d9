#pragma once

#include <QChar>
#include <QString>

// Lo que se hace con una tecla pulsada en una caja: dejarla pasar, anularla o cambiarla por otro
// carácter, y si además el foco pasa al control siguiente (como con un Tab).
struct DecisionTecla {
    bool aceptar = true;
    bool enviarTab = false;
    QChar sustituto;  // nulo: la tecla tal cual
};

inline constexpr QChar kTeclaIntro = QChar(13);
inline constexpr QChar kTeclaRetroceso = QChar(8);

// Filtro de las cajas numéricas (teléfono, código postal, horas, año, códigos y órdenes de plaza).
// Intro pasa al control siguiente y no se escribe; "-" se admite siempre; "." se escribe como
// ","; se admiten las cifras, el retroceso y una "," si el texto aún no tiene ninguna.
DecisionTecla FiltroNumerico(QChar tecla, const QString& textoActual);
