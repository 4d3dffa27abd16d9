#include "platform/ComparacionTexto.h"

#include <QLocale>

const QCollator& colacionCastellano() {
    static const QCollator colacion = [] {
        QCollator c(QLocale(QLocale::Spanish, QLocale::Spain));
        c.setCaseSensitivity(Qt::CaseInsensitive);
        c.setNumericMode(false);
        c.setIgnorePunctuation(false);
        return c;
    }();
    return colacion;
}

int compararTextos(const QString& a, const QString& b) {
    return colacionCastellano().compare(a, b);
}
