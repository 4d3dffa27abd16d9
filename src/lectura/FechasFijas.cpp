#include "lectura/FechasFijas.h"

namespace {

// El número que forman `n` cifras ASCII desde `desde`, o -1 si alguna no lo es.
int cifras(QStringView t, qsizetype desde, qsizetype n) {
    int v = 0;
    for (qsizetype i = desde; i < desde + n; ++i) {
        const char16_t c = t[i].unicode();
        if (c < u'0' || c > u'9') return -1;
        v = v * 10 + (c - u'0');
    }
    return v;
}

bool fechaExiste(int ano, int mes, int dia) {
    if (ano < 1 || mes < 1 || mes > 12 || dia < 1) return false;
    static constexpr int kDias[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool bisiesto = ano % 4 == 0 && (ano % 100 != 0 || ano % 400 == 0);
    return dia <= kDias[mes - 1] + (mes == 2 && bisiesto ? 1 : 0);
}

}  // namespace

bool fechaDiaMesAnoValida(QStringView t) {
    if (t.size() != 10 || t[2] != u'/' || t[5] != u'/') return false;
    return fechaExiste(cifras(t, 6, 4), cifras(t, 3, 2), cifras(t, 0, 2));
}

bool horaValida(QStringView t) {
    if (t.size() != 8 || t[2] != u':' || t[5] != u':') return false;
    const int h = cifras(t, 0, 2), m = cifras(t, 3, 2), s = cifras(t, 6, 2);
    return h >= 0 && h < 24 && m >= 0 && m < 60 && s >= 0 && s < 60;
}

bool fechaAnoMesDiaValida(QStringView t) {
    if (t.size() != 8) return false;
    return fechaExiste(cifras(t, 0, 4), cifras(t, 4, 2), cifras(t, 6, 2));
}
