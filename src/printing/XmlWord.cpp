#include "printing/XmlWord.h"

#include <QStringList>
#include <array>
#include <cstring>
#include <sstream>
#include <vector>

namespace xmlword {

namespace {

// Orden de los hijos según el esquema de WordprocessingML, solo de los elementos que tocamos y
// sus vecinos habituales.
const std::vector<const char*>& ordenDe(const char* padre) {
    static const std::vector<const char*> rpr = {"w:rStyle",
                                                 "w:rFonts",
                                                 "w:b",
                                                 "w:bCs",
                                                 "w:i",
                                                 "w:iCs",
                                                 "w:caps",
                                                 "w:smallCaps",
                                                 "w:strike",
                                                 "w:dstrike",
                                                 "w:outline",
                                                 "w:shadow",
                                                 "w:emboss",
                                                 "w:imprint",
                                                 "w:noProof",
                                                 "w:snapToGrid",
                                                 "w:vanish",
                                                 "w:webHidden",
                                                 "w:color",
                                                 "w:spacing",
                                                 "w:w",
                                                 "w:kern",
                                                 "w:position",
                                                 "w:sz",
                                                 "w:szCs",
                                                 "w:highlight",
                                                 "w:u",
                                                 "w:effect",
                                                 "w:bdr",
                                                 "w:shd",
                                                 "w:fitText",
                                                 "w:vertAlign",
                                                 "w:rtl",
                                                 "w:cs",
                                                 "w:em",
                                                 "w:lang",
                                                 "w:eastAsianLayout",
                                                 "w:specVanish",
                                                 "w:oMath"};
    static const std::vector<const char*> ppr = {"w:pStyle",
                                                 "w:keepNext",
                                                 "w:keepLines",
                                                 "w:pageBreakBefore",
                                                 "w:framePr",
                                                 "w:widowControl",
                                                 "w:numPr",
                                                 "w:suppressLineNumbers",
                                                 "w:pBdr",
                                                 "w:shd",
                                                 "w:tabs",
                                                 "w:suppressAutoHyphens",
                                                 "w:kinsoku",
                                                 "w:wordWrap",
                                                 "w:overflowPunct",
                                                 "w:topLinePunct",
                                                 "w:autoSpaceDE",
                                                 "w:autoSpaceDN",
                                                 "w:bidi",
                                                 "w:adjustRightInd",
                                                 "w:snapToGrid",
                                                 "w:spacing",
                                                 "w:ind",
                                                 "w:contextualSpacing",
                                                 "w:mirrorIndents",
                                                 "w:suppressOverlap",
                                                 "w:jc",
                                                 "w:textDirection",
                                                 "w:textAlignment",
                                                 "w:textboxTightWrap",
                                                 "w:outlineLvl",
                                                 "w:divId",
                                                 "w:cnfStyle",
                                                 "w:rPr",
                                                 "w:sectPr",
                                                 "w:pPrChange"};
    static const std::vector<const char*> tcpr = {
        "w:cnfStyle",  "w:tcW",    "w:gridSpan", "w:hMerge", "w:vMerge",
        "w:tcBorders", "w:shd",    "w:noWrap",   "w:tcMar",  "w:textDirection",
        "w:tcFitText", "w:vAlign", "w:hideMark"};
    static const std::vector<const char*> tblpr = {"w:tblStyle",
                                                   "w:tblpPr",
                                                   "w:tblOverlap",
                                                   "w:bidiVisual",
                                                   "w:tblStyleRowBandSize",
                                                   "w:tblStyleColBandSize",
                                                   "w:tblW",
                                                   "w:jc",
                                                   "w:tblCellSpacing",
                                                   "w:tblInd",
                                                   "w:tblBorders",
                                                   "w:shd",
                                                   "w:tblLayout",
                                                   "w:tblCellMar",
                                                   "w:tblLook"};
    static const std::vector<const char*> trpr = {
        "w:cnfStyle",  "w:divId",    "w:gridBefore", "w:gridAfter",      "w:wBefore", "w:wAfter",
        "w:cantSplit", "w:trHeight", "w:tblHeader",  "w:tblCellSpacing", "w:jc",      "w:hidden"};
    static const std::vector<const char*> tc = {"w:tcPr", "w:p", "w:tbl"};
    static const std::vector<const char*> tr = {"w:tblPrEx", "w:trPr", "w:tc"};
    static const std::vector<const char*> tbl = {"w:tblPr", "w:tblGrid", "w:tr"};
    static const std::vector<const char*> p = {"w:pPr", "w:r"};
    static const std::vector<const char*> r = {"w:rPr", "w:t"};
    static const std::vector<const char*> ninguno;
    const std::array<std::pair<const char*, const std::vector<const char*>*>, 10> tabla = {{
        {"w:rPr", &rpr},
        {"w:pPr", &ppr},
        {"w:tcPr", &tcpr},
        {"w:tblPr", &tblpr},
        {"w:trPr", &trpr},
        {"w:tc", &tc},
        {"w:tr", &tr},
        {"w:tbl", &tbl},
        {"w:p", &p},
        {"w:r", &r},
    }};
    for (const auto& [nombre, orden] : tabla)
        if (std::strcmp(nombre, padre) == 0) return *orden;
    return ninguno;
}

int posicion(const std::vector<const char*>& orden, const char* nombre) {
    for (size_t i = 0; i < orden.size(); ++i)
        if (std::strcmp(orden[i], nombre) == 0) return int(i);
    return int(orden.size());
}

}  // namespace

QByteArray serializar(const pugi::xml_document& doc) {
    std::ostringstream s;
    doc.save(s, "", pugi::format_raw, pugi::encoding_utf8);
    return QByteArray::fromStdString(s.str());
}

QString texto(const pugi::xml_node& nodo) {
    return QString::fromUtf8(nodo.text().get());
}

QString val(const pugi::xml_node& nodo, const char* atributo) {
    return QString::fromUtf8(nodo.attribute(atributo).value());
}

pugi::xml_node asegurarHijo(pugi::xml_node padre, const char* nombre) {
    if (auto h = padre.child(nombre)) return h;
    const auto& orden = ordenDe(padre.name());
    const int mio = posicion(orden, nombre);
    if (mio < int(orden.size())) {
        for (auto h = padre.first_child(); h; h = h.next_sibling())
            if (h.type() == pugi::node_element && posicion(orden, h.name()) > mio)
                return padre.insert_child_before(nombre, h);
    }
    return padre.append_child(nombre);
}

pugi::xml_node ponerVal(pugi::xml_node padre, const char* nombre, const QString& valor) {
    auto h = asegurarHijo(padre, nombre);
    auto a = h.attribute("w:val");
    if (!a) a = h.append_attribute("w:val");
    a.set_value(valor.toUtf8().constData());
    return h;
}

void quitarHijos(pugi::xml_node padre, const char* nombre) {
    while (auto h = padre.child(nombre)) padre.remove_child(h);
}

pugi::xml_node pPr(pugi::xml_node p) {
    return asegurarHijo(p, "w:pPr");
}
pugi::xml_node rPr(pugi::xml_node r) {
    return asegurarHijo(r, "w:rPr");
}

pugi::xml_node nuevoRun(pugi::xml_node padre, pugi::xml_node anterior, pugi::xml_node propiedades,
                        const QString& texto) {
    pugi::xml_node r =
        anterior ? padre.insert_child_after("w:r", anterior) : padre.append_child("w:r");
    if (propiedades) {
        auto copia = r.append_copy(propiedades);
        copia.set_name("w:rPr");
        // La marca de párrafo puede llevar cosas que un texto no admite.
        quitarHijos(copia, "w:ins");
        quitarHijos(copia, "w:del");
        quitarHijos(copia, "w:rPrChange");
    }
    QString trozo;
    const auto volcar = [&]() {
        if (trozo.isEmpty()) return;
        auto t = r.append_child("w:t");
        t.append_attribute("xml:space") = "preserve";
        t.text().set(trozo.toUtf8().constData());
        trozo.clear();
    };
    for (QChar c : texto) {
        if (c == QLatin1Char('\n')) {
            volcar();
            r.append_child("w:br");
        } else if (c == QLatin1Char('\t')) {
            volcar();
            r.append_child("w:tab");
        } else if (c != QLatin1Char('\r') && c.unicode() >= 0x20) {
            // Los demás caracteres de control no caben en XML: el documento quedaría ilegible.
            trozo += c;
        }
    }
    volcar();
    return r;
}

QString textoParrafo(const pugi::xml_node& p) {
    QString r;
    for (auto n = p.first_child(); n; n = n.next_sibling()) {
        const char* nombre = n.name();
        if (std::strcmp(nombre, "w:t") == 0) {
            r += texto(n);
        } else if (std::strcmp(nombre, "w:tab") == 0) {
            r += QLatin1Char('\t');
        } else if (std::strcmp(nombre, "w:br") == 0 || std::strcmp(nombre, "w:cr") == 0) {
            // Un salto de página no es texto.
            if (std::strcmp(n.attribute("w:type").value(), "page") != 0) r += QLatin1Char('\n');
        } else if (std::strcmp(nombre, "w:pPr") == 0 || std::strcmp(nombre, "w:rPr") == 0 ||
                   std::strcmp(nombre, "w:instrText") == 0 || std::strcmp(nombre, "w:tbl") == 0 ||
                   std::strcmp(nombre, "w:p") == 0) {
            continue;
        } else {
            r += textoParrafo(n);
        }
    }
    return r;
}

pugi::xml_node buscarPorNombre(const pugi::xml_node& raiz, const char* elemento,
                               const QString& nombre) {
    struct Buscador : pugi::xml_tree_walker {
        const char* elemento;
        QString nombre;
        pugi::xml_node hallado;
        bool for_each(pugi::xml_node& n) override {
            if (std::strcmp(n.name(), elemento) != 0) return true;
            if (QString::fromUtf8(n.attribute("w:name").value())
                    .compare(nombre, Qt::CaseInsensitive) == 0) {
                hallado = n;
                return false;
            }
            return true;
        }
    } b;
    b.elemento = elemento;
    b.nombre = nombre;
    auto r = raiz;
    r.traverse(b);
    return b.hallado;
}

const char* valorAlineacion(int alineacion) {
    switch (alineacion) {
        case 1:
            return "center";
        case 2:
            return "right";
        case 3:
            return "both";
        default:
            return "left";
    }
}

}  // namespace xmlword
