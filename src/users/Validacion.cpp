#include "users/Validacion.h"

#include "users/CSHA256.h"

namespace {

bool esCifra(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// Solo ocho cifras decimales cuentan como número: nada de signos, blancos ni separadores.
bool ochoCifras(QStringView texto) {
    for (const QChar c : texto)
        if (!esCifra(c)) return false;
    return true;
}

}  // namespace

ComprobacionDNI ComprobarDNI(const QString& texto) {
    ComprobacionDNI r;
    r.texto = texto;
    if (r.texto.size() < kLongitudDNI)
        r.texto.prepend(QString(kLongitudDNI - r.texto.size(), QLatin1Char('0')));

    const bool formaCorrecta = r.texto.size() == kLongitudDNI &&
                               ochoCifras(QStringView(r.texto).left(8)) && !esCifra(r.texto[8]);
    if (!formaCorrecta) return r;

    const int numero = r.texto.left(8).toInt();
    const QChar esperada = kLetrasDNI[numero % kLetrasDNI.size()];
    if (esperada == r.texto[8].toUpper()) {
        r.valido = true;
        r.texto = Mayusculas(r.texto);
    }
    return r;
}

QString Mayusculas(const QString& texto) {
    QString salida = texto;
    for (QChar& c : salida) c = c.toUpper();
    return salida;
}

QString HashTexto(const QString& texto) {
    return CSHA256().SHA256(texto).toUpper();
}
