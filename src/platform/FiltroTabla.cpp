#include "platform/FiltroTabla.h"

#include "platform/ComparacionTexto.h"

#include <cmath>

namespace {

enum class TipoPieza { Nombre, Cadena, Numero, Operador, Abre, Cierra, Fin, Error };

struct Pieza {
    TipoPieza tipo = TipoPieza::Fin;
    QString texto;
};

// Corta el texto en piezas. Los blancos solo separan.
class Lector {
public:
    explicit Lector(const QString& t) : m_t(t) {}

    Pieza siguiente() {
        while (m_i < m_t.size() && m_t[m_i].isSpace()) ++m_i;
        if (m_i >= m_t.size()) return {TipoPieza::Fin, {}};
        const QChar c = m_t[m_i];
        if (c == u'(') return avanza(TipoPieza::Abre, 1);
        if (c == u')') return avanza(TipoPieza::Cierra, 1);
        if (c == u'\'') return cadena();
        if (c == u'[') return nombreEntreCorchetes();
        if (c == u'<' || c == u'>' || c == u'=' || c == u'!') return operador();
        const bool signo = (c == u'-' || c == u'+') && m_i + 1 < m_t.size() &&
                           (m_t[m_i + 1].isDigit() || m_t[m_i + 1] == u'.');
        if (c.isDigit() || signo || c == u'.') return numero();
        if (c.isLetter() || c == u'_') return nombre();
        return {TipoPieza::Error, QString(c)};
    }

private:
    Pieza avanza(TipoPieza tipo, int n) {
        Pieza p{tipo, m_t.mid(m_i, n)};
        m_i += n;
        return p;
    }

    // Una comilla doble dentro del valor ('') es una comilla literal.
    Pieza cadena() {
        QString valor;
        ++m_i;
        while (m_i < m_t.size()) {
            if (m_t[m_i] == u'\'') {
                if (m_i + 1 < m_t.size() && m_t[m_i + 1] == u'\'') {
                    valor += u'\'';
                    m_i += 2;
                    continue;
                }
                ++m_i;
                return {TipoPieza::Cadena, valor};
            }
            valor += m_t[m_i++];
        }
        return {TipoPieza::Error, valor};
    }

    Pieza nombreEntreCorchetes() {
        const qsizetype fin = m_t.indexOf(u']', m_i + 1);
        if (fin < 0) return {TipoPieza::Error, {}};
        Pieza p{TipoPieza::Nombre, m_t.mid(m_i + 1, fin - m_i - 1).trimmed()};
        m_i = fin + 1;
        return p;
    }

    Pieza operador() {
        const QString dos = m_t.mid(m_i, 2);
        if (dos == u"<>" || dos == u"<=" || dos == u">=" || dos == u"!=")
            return avanza(TipoPieza::Operador, 2);
        if (m_t[m_i] == u'!') return {TipoPieza::Error, QStringLiteral("!")};
        return avanza(TipoPieza::Operador, 1);
    }

    Pieza numero() {
        const qsizetype inicio = m_i;
        if (m_t[m_i] == u'-' || m_t[m_i] == u'+') ++m_i;
        while (m_i < m_t.size() && (m_t[m_i].isDigit() || m_t[m_i] == u'.')) ++m_i;
        // Un número pegado a letras (05abc) no es un valor válido.
        if (m_i < m_t.size() && (m_t[m_i].isLetter() || m_t[m_i] == u'_'))
            return {TipoPieza::Error, m_t.mid(inicio, m_i - inicio)};
        return {TipoPieza::Numero, m_t.mid(inicio, m_i - inicio)};
    }

    Pieza nombre() {
        const qsizetype inicio = m_i;
        while (m_i < m_t.size() && (m_t[m_i].isLetterOrNumber() || m_t[m_i] == u'_')) ++m_i;
        return {TipoPieza::Nombre, m_t.mid(inicio, m_i - inicio)};
    }

    const QString& m_t;
    qsizetype m_i = 0;
};

bool esPalabra(const Pieza& p, const char* palabra) {
    return p.tipo == TipoPieza::Nombre &&
           p.texto.compare(QLatin1String(palabra), Qt::CaseInsensitive) == 0;
}

// "%" en cualquier sitio: el valor debe contener los trozos en orden.
bool cumpleComo(QStringView valor, const ExpresionFiltro::Clausula& c) {
    const auto& t = c.trozos;
    if (t.size() == 1) return valor.compare(t[0], Qt::CaseInsensitive) == 0;
    qsizetype desde = 0;
    qsizetype hasta = valor.size();
    size_t primero = 0;
    size_t ultimo = t.size();
    if (!c.comodinInicial) {
        if (!valor.startsWith(t[0], Qt::CaseInsensitive)) return false;
        desde = t[0].size();
        primero = 1;
    }
    if (!c.comodinFinal) {
        const QString& fin = t.back();
        if (hasta - desde < fin.size() || !valor.endsWith(fin, Qt::CaseInsensitive)) return false;
        hasta -= fin.size();
        ultimo = t.size() - 1;
    }
    for (size_t i = primero; i < ultimo; ++i) {
        if (t[i].isEmpty()) continue;
        const qsizetype pos = valor.first(hasta).indexOf(t[i], desde, Qt::CaseInsensitive);
        if (pos < 0) return false;
        desde = pos + t[i].size();
    }
    return desde <= hasta;
}

template <typename T>
bool aplicar(ExpresionFiltro::Operador op, T a, T b) {
    using Op = ExpresionFiltro::Operador;
    switch (op) {
        case Op::Igual:
            return a == b;
        case Op::Distinto:
            return a != b;
        case Op::Menor:
            return a < b;
        case Op::MenorIgual:
            return a <= b;
        case Op::Mayor:
            return a > b;
        case Op::MayorIgual:
            return a >= b;
        case Op::Como:
            return false;
    }
    return false;
}

bool cumpleClausula(const ExpresionFiltro::Clausula& c, const Registro& r) {
    using Op = ExpresionFiltro::Operador;
    const QVariant& v = r.valor(c.campo);
    if (c.tipo == TipoCampo::Entero) {
        // Un entero nulo no cumple ninguna comparación.
        if (v.isNull()) return false;
        const qint64 n = v.toLongLong();
        if (c.op == Op::Como) return cumpleComo(QString::number(n), c);
        return aplicar(c.op, static_cast<double>(n), c.numero);
    }
    const QString& s = *static_cast<const QString*>(v.constData());
    switch (c.op) {
        case Op::Igual:
            return s.compare(c.texto, Qt::CaseInsensitive) == 0;
        case Op::Distinto:
            return s.compare(c.texto, Qt::CaseInsensitive) != 0;
        case Op::Como:
            return cumpleComo(s, c);
        default:
            return aplicar(c.op, compararTextos(s, c.texto), 0);
    }
}

}  // namespace

struct ExpresionFiltro::Nodo {
    enum class Tipo { Y, O, Hoja } tipo = Tipo::Hoja;
    std::vector<std::unique_ptr<Nodo>> hijos;
    Clausula clausula;

    bool cumple(const Registro& r) const {
        switch (tipo) {
            case Tipo::Hoja:
                return cumpleClausula(clausula, r);
            case Tipo::Y:
                for (const auto& h : hijos)
                    if (!h->cumple(r)) return false;
                return true;
            case Tipo::O:
                for (const auto& h : hijos)
                    if (h->cumple(r)) return true;
                return false;
        }
        return false;
    }
};

namespace {

// Descenso recursivo: expresión := término (OR término)*; término := factor (AND factor)*;
// factor := "(" expresión ")" | cláusula. AND agrupa antes que OR.
class Analizador {
public:
    using Nodo = ExpresionFiltro::Nodo;
    Analizador(const QString& texto, const QList<Campo>& campos)
        : m_lector(texto), m_campos(campos) {
        m_actual = m_lector.siguiente();
    }

    std::unique_ptr<Nodo> todo() {
        auto n = expresion(0);
        if (!n || m_actual.tipo != TipoPieza::Fin) return nullptr;
        return n;
    }

private:
    void avanzar() { m_actual = m_lector.siguiente(); }

    std::unique_ptr<Nodo> expresion(int profundidad) {
        return lista(Nodo::Tipo::O, "OR", profundidad);
    }

    std::unique_ptr<Nodo> lista(Nodo::Tipo tipo, const char* palabra, int profundidad) {
        auto primero =
            tipo == Nodo::Tipo::O ? lista(Nodo::Tipo::Y, "AND", profundidad) : factor(profundidad);
        if (!primero || !esPalabra(m_actual, palabra)) return primero;
        auto n = std::make_unique<Nodo>();
        n->tipo = tipo;
        n->hijos.push_back(std::move(primero));
        while (esPalabra(m_actual, palabra)) {
            avanzar();
            auto otro = tipo == Nodo::Tipo::O ? lista(Nodo::Tipo::Y, "AND", profundidad)
                                              : factor(profundidad);
            if (!otro) return nullptr;
            n->hijos.push_back(std::move(otro));
        }
        return n;
    }

    std::unique_ptr<Nodo> factor(int profundidad) {
        if (m_actual.tipo == TipoPieza::Abre) {
            // Sin límite, un texto con miles de paréntesis agotaría la pila.
            if (profundidad > 200) return nullptr;
            avanzar();
            auto n = expresion(profundidad + 1);
            if (!n || m_actual.tipo != TipoPieza::Cierra) return nullptr;
            avanzar();
            return n;
        }
        return clausula();
    }

    std::unique_ptr<Nodo> clausula() {
        if (m_actual.tipo != TipoPieza::Nombre || esPalabra(m_actual, "AND") ||
            esPalabra(m_actual, "OR") || esPalabra(m_actual, "LIKE"))
            return nullptr;
        ExpresionFiltro::Clausula c;
        for (int i = 0; i < m_campos.size(); ++i)
            if (m_campos[i].nombre.compare(m_actual.texto, Qt::CaseInsensitive) == 0) c.campo = i;
        if (c.campo < 0) return nullptr;
        c.tipo = m_campos[c.campo].tipo;
        avanzar();
        if (!operador(c.op)) return nullptr;
        avanzar();
        if (m_actual.tipo != TipoPieza::Cadena && m_actual.tipo != TipoPieza::Numero)
            return nullptr;
        c.texto = m_actual.texto;
        avanzar();
        if (!prepararValor(c)) return nullptr;
        auto n = std::make_unique<Nodo>();
        n->clausula = std::move(c);
        return n;
    }

    bool operador(ExpresionFiltro::Operador& op) {
        using Op = ExpresionFiltro::Operador;
        if (esPalabra(m_actual, "LIKE")) {
            op = Op::Como;
            return true;
        }
        if (m_actual.tipo != TipoPieza::Operador) return false;
        const QString& t = m_actual.texto;
        if (t == u"=")
            op = Op::Igual;
        else if (t == u"<>" || t == u"!=")
            op = Op::Distinto;
        else if (t == u"<")
            op = Op::Menor;
        else if (t == u"<=")
            op = Op::MenorIgual;
        else if (t == u">")
            op = Op::Mayor;
        else if (t == u">=")
            op = Op::MayorIgual;
        else
            return false;
        return true;
    }

    static bool prepararValor(ExpresionFiltro::Clausula& c) {
        if (c.op == ExpresionFiltro::Operador::Como) {
            const QStringList trozos = c.texto.split(u'%');
            c.trozos.assign(trozos.begin(), trozos.end());
            c.comodinInicial = c.texto.startsWith(u'%');
            c.comodinFinal = c.texto.endsWith(u'%') && c.texto.size() > 0;
            return true;
        }
        if (c.tipo != TipoCampo::Entero) return true;
        // En un campo entero el valor, con comillas o sin ellas, se compara como número.
        bool ok = false;
        c.numero = c.texto.trimmed().toDouble(&ok);
        return ok && std::isfinite(c.numero);
    }

    Lector m_lector;
    const QList<Campo>& m_campos;
    Pieza m_actual;
};

}  // namespace

ExpresionFiltro::ExpresionFiltro() = default;
ExpresionFiltro::~ExpresionFiltro() = default;

std::unique_ptr<ExpresionFiltro> ExpresionFiltro::analizar(const QString& texto,
                                                           const QList<Campo>& campos) {
    Analizador a(texto, campos);
    auto raiz = a.todo();
    if (!raiz) return nullptr;
    std::unique_ptr<ExpresionFiltro> e(new ExpresionFiltro);
    e->m_raiz = std::move(raiz);
    return e;
}

bool ExpresionFiltro::cumple(const Registro& r) const {
    return m_raiz->cumple(r);
}

std::optional<ExpresionFiltro::Igualdad> ExpresionFiltro::igualdadSimple() const {
    if (m_raiz->tipo != Nodo::Tipo::Hoja || m_raiz->clausula.op != Operador::Igual)
        return std::nullopt;
    const Clausula& c = m_raiz->clausula;
    Igualdad i{c.campo, std::nullopt};
    if (c.tipo == TipoCampo::Texto) {
        i.clave = c.texto.toCaseFolded();
    } else if (std::trunc(c.numero) == c.numero && std::abs(c.numero) < 9.0e15) {
        i.clave = QString::number(static_cast<qint64>(c.numero));
    }
    return i;
}
