#include "platform/DocumentoXml.h"

#include "platform/FicheroAparte.h"

#include <QFile>
#include <QRegularExpression>
#include <sstream>

namespace {

// Un elemento cuyo texto son solo blancos los conserva: es el valor que se escribió.
constexpr unsigned kOpcionesAnalisis =
    pugi::parse_default | pugi::parse_declaration | pugi::parse_ws_pcdata_single;

// Pasa el texto UTF-8 de pugixml a Latin-1 sin perder nada: lo que no cabe va como &#N;.
QByteArray aLatin1ConReferencias(const QString& texto) {
    QByteArray salida;
    salida.reserve(texto.size());
    for (const char32_t c : texto.toUcs4()) {
        if (c < 256) {
            salida.append(char(c));
        } else {
            salida.append("&#" + QByteArray::number(quint32(c)) + ";");
        }
    }
    return salida;
}

bool esLatin1(const char* utf8) {
    for (const QChar c : QString::fromUtf8(utf8))
        if (c.unicode() > 0xFF) return false;
    return true;
}

// El primer nombre, comentario o CDATA con un carácter fuera de Latin-1; nulo si no hay ninguno.
QString sinLatin1FueraDeTexto(const pugi::xml_node& raiz) {
    for (pugi::xml_node n = raiz.first_child(); n; n = n.next_sibling()) {
        switch (n.type()) {
            case pugi::node_element:
                if (!esLatin1(n.name())) return QString::fromUtf8(n.name());
                for (const pugi::xml_attribute a : n.attributes())
                    if (!esLatin1(a.name())) return QString::fromUtf8(a.name());
                if (const QString malo = sinLatin1FueraDeTexto(n); !malo.isNull()) return malo;
                break;
            case pugi::node_comment:
            case pugi::node_cdata:
            case pugi::node_pi:
                if (!esLatin1(n.name()) || !esLatin1(n.value()))
                    return QString::fromUtf8(n.value());
                break;
            default:
                break;
        }
    }
    return {};
}

}  // namespace

bool DocumentoXml::cargarFichero(const QString& ruta) {
    // Solo ficheros normales y acotados: un FIFO o un dispositivo no cuelgan al programa.
    const auto datos = leerFicheroNormal(ruta, kMaxFicheroXml);
    if (!datos) {
        m_doc.reset();
        return false;
    }
    return cargarBytes(datos.valor());
}

bool DocumentoXml::cargarBytes(const QByteArray& datos) {
    const auto r = m_doc.load_buffer(datos.constData(), size_t(datos.size()), kOpcionesAnalisis,
                                     pugi::encoding_auto);
    if (!r) m_doc.reset();
    return bool(r);
}

bool DocumentoXml::cargarTexto(const QString& texto) {
    const QByteArray utf8 = texto.toUtf8();
    const auto r = m_doc.load_buffer(utf8.constData(), size_t(utf8.size()), kOpcionesAnalisis,
                                     pugi::encoding_utf8);
    if (!r) m_doc.reset();
    return bool(r);
}

Resultado DocumentoXml::guardar(const QString& ruta) const {
    // Una copia sin la declaración que trajera (se escriba como se escriba: "<?xml" o "<?XML"):
    // se pone una sola, la de la codificación en que de verdad se escribe.
    pugi::xml_document copia;
    copia.reset(m_doc);
    for (pugi::xml_node n = copia.first_child(); n;) {
        const pugi::xml_node siguiente = n.next_sibling();
        const bool declaracion =
            n.type() == pugi::node_declaration ||
            (n.type() == pugi::node_pi &&
             QString::fromUtf8(n.name()).compare(QStringLiteral("xml"), Qt::CaseInsensitive) == 0);
        if (declaracion) copia.remove_child(n);
        n = siguiente;
    }
    // En ISO-8859-1 lo que no cabe solo puede ir como referencia &#N; dentro de un texto o del
    // valor de un atributo; en un nombre, un comentario o una sección CDATA no hay manera.
    if (const QString malo = sinLatin1FueraDeTexto(copia); !malo.isNull())
        return Resultado::fallo(
            QStringLiteral("No se puede guardar el fichero \"%1\": \"%2\" tiene caracteres que la "
                           "codificación ISO-8859-1 no admite en ese sitio. El fichero anterior se "
                           "queda como estaba.")
                .arg(ruta, malo),
            Errores::ErrorEntradaSalida);
    std::ostringstream flujo;
    copia.save(flujo, "", pugi::format_raw | pugi::format_no_declaration, pugi::encoding_utf8);
    const QString cuerpo = QString::fromStdString(flujo.str());
    const QByteArray bytes =
        "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n" + aLatin1ConReferencias(cuerpo);
    return escribirReemplazando(ruta, bytes);
}

QString DocumentoXml::aXPath(const QString& consulta) {
    // Solo se traducen los predicados que son un número entero; lo que va entre comillas es
    // texto literal (un resumen, un título con corchetes) y se deja tal cual.
    static const QRegularExpression kPosicion(QStringLiteral("\\G\\[\\s*(\\d+)\\s*\\]"));
    QString salida;
    salida.reserve(consulta.size() + 4);
    QChar comilla;
    for (qsizetype i = 0; i < consulta.size(); ++i) {
        const QChar c = consulta[i];
        if (!comilla.isNull()) {
            if (c == comilla) comilla = QChar();
        } else if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            comilla = c;
        } else if (c == QLatin1Char('[')) {
            const auto m = kPosicion.match(consulta, i);
            if (m.hasMatch()) {
                salida += QLatin1Char('[') + QString::number(m.captured(1).toLongLong() + 1) +
                          QLatin1Char(']');
                i = m.capturedEnd() - 1;
                continue;
            }
        }
        salida += c;
    }
    return salida;
}

pugi::xml_node DocumentoXml::seleccionarNodo(const QString& consulta) const {
    try {
        return m_doc.select_node(aXPath(consulta).toUtf8().constData()).node();
    } catch (const pugi::xpath_exception&) {
        return {};
    }
}

pugi::xpath_node_set DocumentoXml::seleccionarNodos(const QString& consulta) const {
    try {
        return m_doc.select_nodes(aXPath(consulta).toUtf8().constData());
    } catch (const pugi::xpath_exception&) {
        return {};
    }
}

QString DocumentoXml::texto(const QString& consulta) const {
    try {
        const pugi::xpath_node n = m_doc.select_node(aXPath(consulta).toUtf8().constData());
        // Una consulta que acaba en "@Atributo" devuelve el atributo, no su elemento.
        if (n.attribute()) return QString::fromUtf8(n.attribute().value());
        return textoNodo(n.node());
    } catch (const pugi::xpath_exception&) {
        return {};
    }
}

bool DocumentoXml::existe(const QString& consulta) const {
    try {
        return bool(m_doc.select_node(aXPath(consulta).toUtf8().constData()));
    } catch (const pugi::xpath_exception&) {
        return false;
    }
}

QString DocumentoXml::textoNodo(const pugi::xml_node& nodo) {
    if (!nodo) return {};
    return QString::fromUtf8(nodo.text().get());
}
