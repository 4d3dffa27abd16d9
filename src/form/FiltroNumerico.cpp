#include "form/FiltroNumerico.h"

DecisionTecla FiltroNumerico(QChar tecla, const QString& textoActual) {
    DecisionTecla d;
    // Intro lleva al control siguiente y sigue los pasos: nada más la admite.
    if (tecla == kTeclaIntro) d.enviarTab = true;
    if (tecla == QLatin1Char('-')) return d;
    if (tecla == QLatin1Char('.')) {
        tecla = QLatin1Char(',');
        d.sustituto = tecla;
    }
    const bool cifra = tecla >= QLatin1Char('0') && tecla <= QLatin1Char('9');
    const bool comaLibre = tecla == QLatin1Char(',') && !textoActual.contains(QLatin1Char(','));
    d.aceptar = cifra || tecla == kTeclaRetroceso || comaLibre;
    if (!d.aceptar) d.sustituto = QChar();
    return d;
}
