#include "form/TextoCodigo.h"

#include "platform/Codificacion.h"

namespace {

// Letras con trazo, que Unicode no descompone en letra y signo.
QChar sinTrazo(QChar c) {
    static const struct {
        char16_t con;
        char sin;
    } kTabla[] = {{u'ł', 'l'}, {u'Ł', 'L'}, {u'đ', 'd'}, {u'Đ', 'D'}, {u'ħ', 'h'}, {u'Ħ', 'H'},
                  {u'ı', 'i'}, {u'ŀ', 'l'}, {u'Ŀ', 'L'}, {u'ŧ', 't'}, {u'Ŧ', 'T'}};
    for (const auto& t : kTabla)
        if (c == QChar(t.con)) return QChar::fromLatin1(t.sin);
    return {};
}

// Lo que queda de un carácter que Windows-1252 no tiene: su letra base si la tiene, o nada.
QString equivalente(QChar c) {
    if (const QChar l = sinTrazo(c); !l.isNull()) return l;
    QString base;
    for (const QChar b : QString(c).normalized(QString::NormalizationForm_D))
        if (b.category() != QChar::Mark_NonSpacing && b != u'|' &&
            Codificacion::cabeEnWindows1252(QString(b)))
            base += b;
    return base;
}

}  // namespace

TextoDepurado DepurarTextoCodigo(const QString& texto) {
    // Una letra y su acento escritos por separado son la letra acentuada de Windows-1252.
    const QString compuesto = texto.normalized(QString::NormalizationForm_C);
    TextoDepurado r;
    r.texto.reserve(compuesto.size());
    for (const QChar c : compuesto) {
        if (c == u'|') continue;
        if (Codificacion::cabeEnWindows1252(QString(c)))
            r.texto += c;
        else
            r.texto += equivalente(c);
    }
    r.cambiado = r.texto != compuesto;
    return r;
}
