#include "lectura/InterpretacionCodigo.h"

#include "lectura/FechasFijas.h"

#include <optional>

namespace {

constexpr int kAnchoClave = 15;
constexpr int kAnchoEntrada = 9;

// Lo que se enseña de un texto largo en un mensaje.
QString muestra(const QString& texto) {
    return texto.size() <= 60 ? texto : texto.left(57) + QStringLiteral("...");
}

bool soloCifras(QStringView s) {
    if (s.isEmpty()) return false;
    for (QChar c : s)
        if (c < u'0' || c > u'9') return false;
    return true;
}

// Código de convocatoria de una entrada: blancos de relleno a la izquierda y luego el código,
// sin blancos dentro.
std::optional<QString> codigoEntrada(QStringView s, ReservaCodigos* reserva) {
    qsizetype i = 0;
    while (i < s.size() && s[i] == u' ') ++i;
    const QStringView codigo = s.mid(i);
    if (codigo.isEmpty()) return std::nullopt;
    for (const QChar c : codigo)
        if (c == u' ') return std::nullopt;
    return reserva ? reserva->compartido(codigo) : codigo.toString();
}

// Entradas de 9 caracteres: orden en 4 cifras y código en 5.
std::optional<QVector<PlazaLeida>> entradasFijas(QStringView s, ReservaCodigos* reserva) {
    if (s.size() % kAnchoEntrada != 0) return std::nullopt;
    QVector<PlazaLeida> plazas;
    plazas.reserve(s.size() / kAnchoEntrada);
    for (qsizetype i = 0; i < s.size(); i += kAnchoEntrada) {
        const QStringView orden = s.mid(i, 4);
        if (!soloCifras(orden)) return std::nullopt;
        auto codigo = codigoEntrada(s.mid(i + 4, 5), reserva);
        if (!codigo) return std::nullopt;
        // Cuatro cifras ASCII: se suman a mano, sin pasar por la conversión general de Qt.
        qint64 n = 0;
        for (const QChar c : orden) n = n * 10 + (c.unicode() - u'0');
        plazas.append({n, std::move(*codigo)});
    }
    return plazas;
}

// Entradas con órdenes de más de 4 cifras (el orden no se corta): solo se pueden separar
// sabiendo que los órdenes van seguidos, así que se prueba cada ancho del primero.
std::optional<QVector<PlazaLeida>> entradasAnchas(QStringView s, ReservaCodigos* reserva) {
    for (int ancho = 4; ancho <= 7; ++ancho) {
        if (s.size() < ancho + 5 || !soloCifras(s.left(ancho))) continue;
        QVector<PlazaLeida> plazas;
        qsizetype i = 0;
        qint64 orden = s.left(ancho).toLongLong();
        QString textoOrden = s.left(ancho).toString();
        while (i + textoOrden.size() + 5 <= s.size() && s.mid(i).startsWith(textoOrden)) {
            const auto codigo = codigoEntrada(s.mid(i + textoOrden.size(), 5), reserva);
            if (!codigo) break;
            plazas.append({orden, *codigo});
            i += textoOrden.size() + 5;
            ++orden;
            textoOrden = QString::number(orden).rightJustified(4, u'0');
        }
        if (i == s.size()) return plazas;
    }
    return std::nullopt;
}

std::optional<QVector<PlazaLeida>> entradasPlazas(QStringView s, ReservaCodigos* reserva) {
    if (auto fijas = entradasFijas(s, reserva)) return fijas;
    return entradasAnchas(s, reserva);
}

// El prefijo: fecha "dd/MM/yyyy" y hora "HH:mm:ss" de la impresión, letra de la página (P, V o
// R) y su número en 3 cifras. 'd' es una cifra ASCII (como "\d" en una expresión regular de Qt,
// que no toma las de otras escrituras) y 'L' la letra.
constexpr char16_t kFormaPrefijo[] = u"dd/dd/dddddd:dd:ddLddd";
constexpr qsizetype kAnchoPrefijo = sizeof(kFormaPrefijo) / sizeof(char16_t) - 1;
constexpr qsizetype kAnchoFecha = 10, kAnchoHora = 8;
static_assert(kAnchoPrefijo == kAnchoFecha + kAnchoHora + 1 + 3);

bool prefijoEn(QStringView t, qsizetype i) {
    for (const char16_t f : kFormaPrefijo) {
        if (f == 0) break;
        const char16_t c = t[i++].unicode();
        const bool vale = f == u'd'   ? c >= u'0' && c <= u'9'
                          : f == u'L' ? c == u'P' || c == u'V' || c == u'R'
                                      : c == f;
        if (!vale) return false;
    }
    return true;
}

// Dónde empieza el primer prefijo del texto, buscado desde el principio: en la primera posición
// en que lo encontraría la expresión "(\d\d/\d\d/\d{4})(\d\d:\d\d:\d\d)([PVR])(\d{3})".
std::optional<qsizetype> buscarPrefijo(QStringView t) {
    for (qsizetype i = 0; i + kAnchoPrefijo <= t.size(); ++i)
        if (prefijoEn(t, i)) return i;
    return std::nullopt;
}

void partirClave(CodigoInterpretado& c) {
    const qsizetype n = c.clave.size();
    // Con un DNI más largo de 9 la clave crece por la izquierda: cuerpo y grupo siguen al final.
    QString dni = c.clave.left(n - 6);
    while (dni.endsWith(u' ')) dni.chop(1);
    c.dni = dni;
    c.cuerpo = c.clave.mid(n - 6, 5);
    c.grupo = c.clave.right(1).trimmed();
}

}  // namespace

QString nombreTipo(TipoPagina tipo) {
    switch (tipo) {
        case TipoPagina::Vacantes:
            return QStringLiteral("Vacantes");
        case TipoPagina::Resultas:
            return QStringLiteral("Resultas");
        case TipoPagina::Solicitante:
            break;
    }
    return QStringLiteral("solicitante");
}

QString ReservaCodigos::compartido(QStringView codigo) {
    // Un código de hasta 5 caracteres por debajo de U+0800 cabe, con su longitud, en un número:
    // se busca sin calcular la huella de un texto ni compararlo.
    if (codigo.size() > 5) return codigo.toString();
    quint64 llave = quint64(codigo.size());
    for (const QChar c : codigo) {
        if (c.unicode() >= 0x800) return codigo.toString();
        llave = llave << 11 | c.unicode();
    }
    auto it = m_codigos.constFind(llave);
    if (it == m_codigos.cend()) it = m_codigos.insert(llave, codigo.toString());
    return *it;
}

void compartirPrefijo(const CodigoInterpretado& de, CodigoInterpretado& a) {
    a.clave = de.clave;
    a.dni = de.dni;
    a.cuerpo = de.cuerpo;
    a.grupo = de.grupo;
    a.fecha = de.fecha;
    a.hora = de.hora;
}

bool ReservaCodigos::prefijoConocido(QStringView texto, qsizetype largo,
                                     CodigoInterpretado& c) const {
    if (largo != m_largoPrefijo || QStringView(m_textoPrefijo).left(largo) != texto.left(largo))
        return false;
    compartirPrefijo(m_prefijo, c);
    return true;
}

void ReservaCodigos::guardarPrefijo(const QString& texto, qsizetype largo,
                                    const CodigoInterpretado& c) {
    m_textoPrefijo = texto;
    m_largoPrefijo = largo;
    compartirPrefijo(c, m_prefijo);
}

ResultadoDe<CodigoInterpretado> interpretarCodigo(const QString& texto, ReservaCodigos* reserva) {
    const auto m = buscarPrefijo(texto);
    if (!m)
        return Resultado::fallo(
            QStringLiteral("no es el código de una solicitud impresa: no lleva la fecha y la hora "
                           "de la impresión («%1»)")
                .arg(muestra(texto)));
    CodigoInterpretado c;
    c.bruto = texto;
    const qsizetype inicio = *m;
    // Clave, fecha y hora; lo que ya está en la reserva se comprobó al guardarlo.
    const qsizetype largoPrefijo = inicio + kAnchoFecha + kAnchoHora;
    if (!reserva || !reserva->prefijoConocido(texto, largoPrefijo, c)) {
        c.clave = texto.left(inicio);
        if (c.clave.size() < kAnchoClave)
            return Resultado::fallo(
                QStringLiteral("la clave del solicitante tiene %1 caracteres y debe tener %2 "
                               "(«%3»)")
                    .arg(c.clave.size())
                    .arg(kAnchoClave)
                    .arg(muestra(texto)));
        partirClave(c);
        c.fecha = texto.sliced(inicio, kAnchoFecha);
        c.hora = texto.sliced(inicio + kAnchoFecha, kAnchoHora);
        if (!fechaDiaMesAnoValida(c.fecha) || !horaValida(c.hora))
            return Resultado::fallo(
                QStringLiteral("la fecha de impresión «%1 %2» no existe").arg(c.fecha, c.hora));
        if (reserva) reserva->guardarPrefijo(texto, largoPrefijo, c);
    }
    if (!texto.endsWith(u'F'))
        return Resultado::fallo(
            QStringLiteral("el texto está cortado: no termina en «F» («%1»)").arg(muestra(texto)));

    const qsizetype posLetra = inicio + kAnchoFecha + kAnchoHora;
    const QChar letra = texto[posLetra];
    c.tipo = letra == u'P'   ? TipoPagina::Solicitante
             : letra == u'V' ? TipoPagina::Vacantes
                             : TipoPagina::Resultas;
    // Tres cifras ASCII.
    c.pagina = 0;
    for (const QChar cifra : QStringView(texto).sliced(posLetra + 1, 3))
        c.pagina = c.pagina * 10 + (cifra.unicode() - u'0');
    const qsizetype desde = inicio + kAnchoPrefijo;
    const QStringView resto = QStringView(texto).mid(desde, texto.size() - desde - 1);
    if (c.tipo == TipoPagina::Solicitante) {
        c.carga = resto.toString();
        return c;
    }
    if (auto plazas = entradasPlazas(resto, reserva)) {
        c.plazas = std::move(*plazas);
        return c;
    }
    // Una página de número mayor de 999 lleva más de 3 cifras (el número no se corta).
    if (!resto.isEmpty() && resto[0].isDigit()) {
        if (auto plazas = entradasPlazas(resto.mid(1), reserva)) {
            c.pagina = c.pagina * 10 + resto[0].digitValue();
            c.plazas = std::move(*plazas);
            return c;
        }
    }
    return Resultado::fallo(
        QStringLiteral("las plazas de la página %1 de %2 no tienen la forma de orden y código "
                       "(«%3»)")
            .arg(c.pagina)
            .arg(nombreTipo(c.tipo), muestra(resto.toString())));
}

QString textoConAcentos(const QString& texto) {
    static const QString kLetras = QStringLiteral("aeionAEION");
    static const QString kAcentuadas = QStringLiteral("áéíóñÁÉÍÓÑ");
    // La letra que sigue a la pareja de la posición i (saltando el "&" de otra pareja).
    auto letraTras = [&](qsizetype i) {
        if (i < texto.size() && texto[i] == u'&') ++i;
        return i < texto.size() ? texto[i].toLower() : QChar();
    };
    QString r;
    r.reserve(texto.size());
    for (qsizetype i = 0; i < texto.size(); ++i) {
        const QChar c = texto[i];
        const QChar l = i + 1 < texto.size() ? texto[i + 1] : QChar();
        if (c != u'&' || l.isNull()) {
            r += c;
        } else if (const qsizetype k = kLetras.indexOf(l); k >= 0) {
            r += kAcentuadas[k];
            ++i;
        } else if (l == u'u' || l == u'U') {
            const QChar despues = letraTras(i + 2);
            const bool dieresis =
                !r.isEmpty() && r.back().toLower() == u'g' && (despues == u'e' || despues == u'i');
            r += l == u'u' ? (dieresis ? u'ü' : u'ú') : (dieresis ? u'Ü' : u'Ú');
            ++i;
        } else {
            r += c;
        }
    }
    return r;
}
