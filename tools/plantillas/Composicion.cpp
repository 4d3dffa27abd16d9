#include "Composicion.h"

#include "printing/DocumentoWord.h"
#include "printing/PaqueteDocx.h"
#include "printing/XmlWord.h"

#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QStringList>
#include <cmath>
#include <cstring>
#include <pugixml.hpp>

namespace {

constexpr double kTwipsPorMm = 1440.0 / 25.4;
const char* const kEspacioW = "http://schemas.openxmlformats.org/wordprocessingml/2006/main";

int twips(double mm) {
    return int(std::lround(mm * kTwipsPorMm));
}
int twips(const pugi::xml_node& n, const char* atributo, double defecto) {
    return twips(n.attribute(atributo).as_double(defecto));
}

pugi::xml_node nuevoDocumento(pugi::xml_document& doc) {
    auto decl = doc.append_child(pugi::node_declaration);
    decl.append_attribute("version") = "1.0";
    decl.append_attribute("encoding") = "UTF-8";
    decl.append_attribute("standalone") = "yes";
    auto raiz = doc.append_child("w:document");
    raiz.append_attribute("xmlns:w") = kEspacioW;
    raiz.append_attribute("xmlns:r") =
        "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
    raiz.append_attribute("xmlns:wp") =
        "http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing";
    return raiz.append_child("w:body");
}

void valor(pugi::xml_node padre, const char* nombre, const char* v) {
    padre.append_child(nombre).append_attribute("w:val") = v;
}

void seccionA4(pugi::xml_node cuerpo, int margenSup, int margenLat) {
    auto s = cuerpo.append_child("w:sectPr");
    auto tam = s.append_child("w:pgSz");
    tam.append_attribute("w:w") = 11906;
    tam.append_attribute("w:h") = 16838;
    auto m = s.append_child("w:pgMar");
    m.append_attribute("w:top") = margenSup;
    m.append_attribute("w:right") = margenLat;
    m.append_attribute("w:bottom") = margenSup;
    m.append_attribute("w:left") = margenLat;
    m.append_attribute("w:header") = 0;
    m.append_attribute("w:footer") = 0;
    m.append_attribute("w:gutter") = 0;
}

// Formato de texto heredado al bajar por la fuente.
struct Formato {
    int medioPuntos = 0;  // 0: el del estilo
    bool negrita = false;
    QString color;
    QString estiloCaracter;
};

void propiedadesTexto(pugi::xml_node rpr, const Formato& f) {
    if (!f.estiloCaracter.isEmpty())
        rpr.append_child("w:rStyle").append_attribute("w:val") =
            f.estiloCaracter.toUtf8().constData();
    if (f.negrita) {
        rpr.append_child("w:b");
        rpr.append_child("w:bCs");
    }
    if (!f.color.isEmpty())
        rpr.append_child("w:color").append_attribute("w:val") = f.color.toUtf8().constData();
    if (f.medioPuntos > 0) {
        rpr.append_child("w:sz").append_attribute("w:val") = f.medioPuntos;
        rpr.append_child("w:szCs").append_attribute("w:val") = f.medioPuntos;
    }
}

// Convierte la fuente de una plantilla en WordprocessingML.
class Compositor {
public:
    Compositor(VariantePlantilla v, QString pestanas)
        : m_variante(v), m_pestanas(std::move(pestanas)) {}

    void bloques(const pugi::xml_node& fuente, pugi::xml_node destino, const Formato& f);

private:
    bool pestanaVisible(const pugi::xml_node& n) const {
        const int i = n.attribute("pestana").as_int(-1);
        return i >= 0 && i < m_pestanas.size() && m_pestanas.at(i) == QLatin1Char('1');
    }
    pugi::xml_node parrafo(const pugi::xml_node& fuente, pugi::xml_node destino, Formato f,
                           bool saltoAntes);
    void enLinea(const pugi::xml_node& fuente, pugi::xml_node p, const Formato& f, bool& inicio);
    void texto(const QString& t, pugi::xml_node p, const Formato& f);
    void campo(pugi::xml_node p, const QString& nombre, bool casilla, const Formato& f);
    void tabla(const pugi::xml_node& fuente, pugi::xml_node destino, const Formato& f);
    void firma(pugi::xml_node destino);

    VariantePlantilla m_variante;
    QString m_pestanas;
    int m_marcadores = 1;
    bool m_saltoPendiente = false;
};

void Compositor::texto(const QString& t, pugi::xml_node p, const Formato& f) {
    if (t.isEmpty()) return;
    auto r = p.append_child("w:r");
    propiedadesTexto(r.append_child("w:rPr"), f);
    if (!r.child("w:rPr").first_child()) r.remove_child("w:rPr");
    auto wt = r.append_child("w:t");
    wt.append_attribute("xml:space") = "preserve";
    wt.text().set(t.toUtf8().constData());
}

void Compositor::campo(pugi::xml_node p, const QString& nombre, bool casilla, const Formato& f) {
    const QByteArray n = nombre.toUtf8();
    auto run = [&]() {
        auto r = p.append_child("w:r");
        propiedadesTexto(r.append_child("w:rPr"), f);
        if (!r.child("w:rPr").first_child()) r.remove_child("w:rPr");
        return r;
    };
    auto inicio = run().append_child("w:fldChar");
    inicio.append_attribute("w:fldCharType") = "begin";
    auto datos = inicio.append_child("w:ffData");
    valor(datos, "w:name", n.constData());
    datos.append_child("w:enabled");
    valor(datos, "w:calcOnExit", "0");
    if (casilla) {
        auto c = datos.append_child("w:checkBox");
        c.append_child("w:sizeAuto");
        valor(c, "w:default", "0");
    } else {
        datos.append_child("w:textInput");
    }
    auto instr = run().append_child("w:instrText");
    instr.append_attribute("xml:space") = "preserve";
    instr.text().set(casilla ? " FORMCHECKBOX " : " FORMTEXT ");
    if (!casilla) {
        run().append_child("w:fldChar").append_attribute("w:fldCharType") = "separate";
        auto t = run().append_child("w:t");
        t.append_attribute("xml:space") = "preserve";
        t.text().set(QString(5, QChar(0x2002)).toUtf8().constData());
    }
    run().append_child("w:fldChar").append_attribute("w:fldCharType") = "end";
}

void Compositor::enLinea(const pugi::xml_node& fuente, pugi::xml_node p, const Formato& f,
                         bool& inicio) {
    for (auto n = fuente.first_child(); n; n = n.next_sibling()) {
        if (n.type() == pugi::node_pcdata) {
            // Los saltos de línea de la fuente con su sangría son un blanco; los blancos seguidos
            // dentro de una línea se respetan. Al principio y al final del párrafo no hay blancos.
            static const QRegularExpression kSaltoConSangria(QStringLiteral("\\s*\\n\\s*"));
            static const QRegularExpression kBlancosAlPrincipio(QStringLiteral("^\\s+"));
            static const QRegularExpression kBlancosAlFinal(QStringLiteral("\\s+$"));
            QString t = QString::fromUtf8(n.value());
            t.replace(kSaltoConSangria, QStringLiteral(" "));
            if (inicio) t.remove(kBlancosAlPrincipio);
            if (!n.next_sibling()) t.remove(kBlancosAlFinal);
            texto(t, p, f);
            if (!t.isEmpty()) inicio = false;
            continue;
        }
        const char* nombre = n.name();
        inicio = false;
        if (std::strcmp(nombre, "b") == 0) {
            Formato g = f;
            g.negrita = true;
            bool dentro = false;
            enLinea(n, p, g, dentro);
        } else if (std::strcmp(nombre, "br") == 0) {
            p.append_child("w:r").append_child("w:br");
        } else if (std::strcmp(nombre, "tab") == 0) {
            p.append_child("w:r").append_child("w:tab");
        } else if (std::strcmp(nombre, "campo") == 0) {
            campo(p, QString::fromUtf8(n.attribute("nombre").value()), false, f);
        } else if (std::strcmp(nombre, "casilla") == 0) {
            campo(p, QString::fromUtf8(n.attribute("nombre").value()), true, f);
        } else if (std::strcmp(nombre, "marcador") == 0) {
            // Lo que encierra el marcador da formato al texto que el programa escriba en él.
            const int id = m_marcadores++;
            auto a = p.append_child("w:bookmarkStart");
            a.append_attribute("w:id") = id;
            a.append_attribute("w:name") = n.attribute("nombre").value();
            Formato g = f;
            if (n.attribute("tam"))
                g.medioPuntos = int(std::lround(n.attribute("tam").as_double() * 2));
            if (n.attribute("negrita")) g.negrita = n.attribute("negrita").as_bool();
            if (n.attribute("color")) g.color = QString::fromUtf8(n.attribute("color").value());
            texto(QString::fromUtf8(n.child_value()), p, g);
            p.append_child("w:bookmarkEnd").append_attribute("w:id") = id;
        } else if (std::strcmp(nombre, "etiqueta") == 0) {
            Formato g = f;
            g.medioPuntos = 0;
            g.negrita = false;
            g.estiloCaracter = QStringLiteral("EtiquetaCar");
            texto(QString::fromUtf8(n.child_value()).trimmed(), p, g);
            p.append_child("w:r").append_child("w:br");
            inicio = true;
        }
    }
}

pugi::xml_node Compositor::parrafo(const pugi::xml_node& fuente, pugi::xml_node destino, Formato f,
                                   bool saltoAntes) {
    auto p = destino.append_child("w:p");
    auto ppr = p.append_child("w:pPr");
    if (auto e = fuente.attribute("estilo")) valor(ppr, "w:pStyle", e.value());
    if (saltoAntes) ppr.append_child("w:pageBreakBefore");
    // Tabuladores "c:90,r:180": alineación (i, c, r) y posición en milímetros.
    if (auto tabs = fuente.attribute("tabs")) {
        auto lista = ppr.append_child("w:tabs");
        for (const QString& t : QString::fromUtf8(tabs.value()).split(QLatin1Char(','))) {
            auto tab = lista.append_child("w:tab");
            const QString tipo = t.section(QLatin1Char(':'), 0, 0);
            tab.append_attribute("w:val") = tipo == QLatin1String("c")   ? "center"
                                            : tipo == QLatin1String("r") ? "right"
                                                                         : "left";
            tab.append_attribute("w:pos") = twips(t.section(QLatin1Char(':'), 1).toDouble());
        }
    }
    if (auto al = fuente.attribute("al")) {
        const char* v = std::strcmp(al.value(), "centro") == 0    ? "center"
                        : std::strcmp(al.value(), "derecha") == 0 ? "right"
                                                                  : "left";
        valor(ppr, "w:jc", v);
    }
    if (fuente.attribute("tam"))
        f.medioPuntos = int(std::lround(fuente.attribute("tam").as_double() * 2));
    if (fuente.attribute("negrita")) f.negrita = fuente.attribute("negrita").as_bool();
    if (fuente.attribute("color")) f.color = QString::fromUtf8(fuente.attribute("color").value());
    // La marca de párrafo lleva el tamaño pero no la negrita: las filas que se añadan copiando
    // esta (las de las listas) no deben salir en negrita.
    Formato marca = f;
    marca.negrita = std::strcmp(fuente.name(), "celda") == 0 ? false : f.negrita;
    propiedadesTexto(ppr.append_child("w:rPr"), marca);
    if (!ppr.child("w:rPr").first_child()) ppr.remove_child("w:rPr");
    bool inicio = true;
    enLinea(fuente, p, f, inicio);
    return p;
}

void Compositor::tabla(const pugi::xml_node& fuente, pugi::xml_node destino, const Formato& base) {
    QList<int> anchos;
    for (const QString& a :
         QString::fromUtf8(fuente.attribute("anchos").value()).split(QLatin1Char(',')))
        anchos << twips(a.trimmed().toDouble());
    Formato f = base;
    if (fuente.attribute("letra"))
        f.medioPuntos = int(std::lround(fuente.attribute("letra").as_double() * 2));
    const bool cabecera = fuente.attribute("cabecera").as_bool();
    const bool bordes = fuente.attribute("bordes").as_int(1) != 0;

    auto t = destino.append_child("w:tbl");
    auto pr = t.append_child("w:tblPr");
    int total = 0;
    for (int a : anchos) total += a;
    auto w = pr.append_child("w:tblW");
    w.append_attribute("w:w") = total;
    w.append_attribute("w:type") = "dxa";
    auto b = pr.append_child("w:tblBorders");
    for (const char* lado : {"w:top", "w:left", "w:bottom", "w:right", "w:insideH", "w:insideV"}) {
        auto l = b.append_child(lado);
        l.append_attribute("w:val") = bordes ? "single" : "nil";
        if (bordes) {
            l.append_attribute("w:sz") = 4;
            l.append_attribute("w:space") = 0;
            l.append_attribute("w:color") = "000000";
        }
    }
    pr.append_child("w:tblLayout").append_attribute("w:type") = "fixed";
    auto rejilla = t.append_child("w:tblGrid");
    for (int a : anchos) rejilla.append_child("w:gridCol").append_attribute("w:w") = a;

    bool primeraCelda = true;
    for (auto fila : fuente.children("fila")) {
        auto tr = t.append_child("w:tr");
        auto trpr = tr.append_child("w:trPr");
        trpr.append_child("w:cantSplit");
        auto h = trpr.append_child("w:trHeight");
        h.append_attribute("w:val") = twips(fila, "alto", 5);
        h.append_attribute("w:hRule") =
            std::strcmp(fila.attribute("regla").value(), "exacto") == 0 ? "exact" : "atLeast";
        int columna = 0;
        for (auto celda : fila.children("celda")) {
            const int span = std::max(1, celda.attribute("span").as_int(1));
            int ancho = 0;
            for (int k = columna; k < columna + span && k < anchos.size(); ++k) ancho += anchos[k];
            columna += span;
            auto tc = tr.append_child("w:tc");
            auto tcpr = tc.append_child("w:tcPr");
            auto tcw = tcpr.append_child("w:tcW");
            tcw.append_attribute("w:w") = ancho;
            tcw.append_attribute("w:type") = "dxa";
            if (span > 1) tcpr.append_child("w:gridSpan").append_attribute("w:val") = span;
            if (auto fondo = celda.attribute("fondo")) {
                auto shd = tcpr.append_child("w:shd");
                shd.append_attribute("w:val") = "clear";
                shd.append_attribute("w:color") = "auto";
                shd.append_attribute("w:fill") = fondo.value();
            }
            valor(tcpr, "w:vAlign", "center");
            Formato fc = f;
            if (cabecera) fc.negrita = true;
            const bool conParrafos = bool(celda.child("p"));
            if (conParrafos) {
                for (auto p : celda.children("p")) parrafo(p, tc, fc, false);
            } else {
                auto p = parrafo(celda, tc, fc, false);
                // El marcador de la tabla va al principio de su primera celda.
                if (primeraCelda && fuente.attribute("marcador")) {
                    auto ppr = p.child("w:pPr");
                    auto a = p.insert_child_after("w:bookmarkStart", ppr);
                    a.append_attribute("w:id") = m_marcadores;
                    a.append_attribute("w:name") = fuente.attribute("marcador").value();
                    p.insert_child_after("w:bookmarkEnd", a).append_attribute("w:id") =
                        m_marcadores++;
                }
            }
            primeraCelda = false;
        }
    }
}

void Compositor::firma(pugi::xml_node destino) {
    pugi::xml_document fuente;
    fuente.load_string(
        "<x>"
        "<p tam='4'/>"
        "<p al='derecha' tam='9'>En ______________________________, a _____ de "
        "____________________ de ________</p>"
        "<p tam='9'/><p tam='9'/><p tam='9'/><p tam='9'/><p tam='9'/><p tam='9'/>"
        "<p al='derecha' tam='8'>Firma del solicitante</p>"
        "<p tam='6'/>"
        "<p estilo='Seccion'>SR. DIRECTOR GERENTE DEL SERVICIO DE SALUD</p>"
        "</x>");
    for (auto p : fuente.first_child().children("p")) parrafo(p, destino, Formato{}, false);
}

void Compositor::bloques(const pugi::xml_node& fuente, pugi::xml_node destino, const Formato& f) {
    for (auto n : fuente.children()) {
        if (n.type() != pugi::node_element) continue;
        const char* nombre = n.name();
        if (std::strcmp(nombre, "pagina") == 0) {
            bloques(n, destino, f);
        } else if (std::strcmp(nombre, "si") == 0) {
            if (pestanaVisible(n)) bloques(n, destino, f);
        } else if (std::strcmp(nombre, "sino") == 0) {
            if (!pestanaVisible(n)) bloques(n, destino, f);
        } else if (std::strcmp(nombre, "p") == 0) {
            parrafo(n, destino, f, m_saltoPendiente);
            m_saltoPendiente = false;
        } else if (std::strcmp(nombre, "tabla") == 0) {
            tabla(n, destino, f);
        } else if (std::strcmp(nombre, "firma") == 0) {
            firma(destino);
        } else if (std::strcmp(nombre, "marca97") == 0) {
            // Las dos variantes llevan el párrafo, para que paginen igual.
            pugi::xml_document d;
            auto p = d.append_child("p");
            p.append_attribute("tam") = "6";
            if (m_variante == VariantePlantilla::W97) p.text().set(n.child_value());
            parrafo(p, destino, f, false);
        }
        if (std::strcmp(nombre, "pagina") == 0) m_saltoPendiente = true;
    }
}

}  // namespace

ResultadoDe<QByteArray> componerSolicitud(const QString& rutaFuente, VariantePlantilla variante,
                                          const QString& pestanas) {
    pugi::xml_document fuente;
    const auto r = fuente.load_file(rutaFuente.toUtf8().constData(),
                                    pugi::parse_default | pugi::parse_ws_pcdata);
    if (!r)
        return Resultado::fallo(QStringLiteral("No se puede leer la fuente \"%1\": %2")
                                    .arg(rutaFuente, QString::fromUtf8(r.description())));
    pugi::xml_document doc;
    auto cuerpo = nuevoDocumento(doc);
    Compositor c(variante, pestanas);
    c.bloques(fuente.document_element(), cuerpo, Formato{});
    seccionA4(cuerpo, twips(12), twips(15));
    return xmlword::serializar(doc);
}

QString marcaImagen(const QString& ruta) {
    return QStringLiteral("[[imagen:%1]]").arg(ruta);
}

ResultadoDe<QByteArray> componerManual(const QString& rutaFuente) {
    QFile f(rutaFuente);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return Resultado::fallo(
            QStringLiteral("No se puede leer el manual \"%1\".").arg(rutaFuente));
    const QStringList lineas = QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'));
    pugi::xml_document doc;
    auto cuerpo = nuevoDocumento(doc);
    const auto parrafo = [&cuerpo](const char* estilo, const QString& texto) {
        auto p = cuerpo.append_child("w:p");
        valor(p.append_child("w:pPr"), "w:pStyle", estilo);
        auto t = p.append_child("w:r").append_child("w:t");
        t.append_attribute("xml:space") = "preserve";
        t.text().set(texto.toUtf8().constData());
    };
    QString acumulado;
    const auto volcar = [&]() {
        if (!acumulado.isEmpty()) parrafo("Texto", acumulado);
        acumulado.clear();
    };
    for (const QString& bruta : lineas) {
        const QString l = bruta.trimmed();
        if (l.isEmpty()) {
            volcar();
        } else if (l.startsWith(QLatin1String("### "))) {
            volcar();
            parrafo("Encabezado3", l.mid(4));
        } else if (l.startsWith(QLatin1String("## "))) {
            volcar();
            parrafo("Encabezado2", l.mid(3));
        } else if (l.startsWith(QLatin1String("# "))) {
            volcar();
            parrafo("Encabezado1", l.mid(2));
        } else if (l.startsWith(QLatin1String("- "))) {
            volcar();
            parrafo("Vineta", QStringLiteral("•\t") + l.mid(2));
        } else if (l.startsWith(QLatin1String("!["))) {
            // ![Pie de la imagen](capturas/ventana.png): la marca donde irá la imagen y su pie.
            volcar();
            static const QRegularExpression imagen(QStringLiteral("^!\\[(.*)\\]\\((.+)\\)$"));
            const auto m = imagen.match(l);
            if (m.hasMatch()) {
                parrafo("Texto", marcaImagen(m.captured(2)));
                parrafo("Etiqueta", m.captured(1));
            }
        } else {
            acumulado += (acumulado.isEmpty() ? QString() : QStringLiteral(" ")) + l;
        }
    }
    volcar();
    seccionA4(cuerpo, twips(20), twips(25));
    return xmlword::serializar(doc);
}

Resultado escribirPaquete(const QString& destino, const QByteArray& documento,
                          const QByteArray& estilos, bool plantilla) {
    const QByteArray tipoPrincipal =
        plantilla
            ? "application/vnd.openxmlformats-officedocument.wordprocessingml.template.main+xml"
            : "application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml";
    PaqueteDocx p;
    p.ponerParte(QStringLiteral("[Content_Types].xml"),
                 "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
                 "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
                 "<Default Extension=\"rels\" "
                 "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
                 "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
                 "<Default Extension=\"png\" ContentType=\"image/png\"/>"
                 "<Override PartName=\"/word/document.xml\" ContentType=\"" +
                     tipoPrincipal +
                     "\"/>"
                     "<Override PartName=\"/word/styles.xml\" "
                     "ContentType=\"application/"
                     "vnd.openxmlformats-officedocument.wordprocessingml.styles+xml\"/>"
                     "<Override PartName=\"/word/settings.xml\" "
                     "ContentType=\"application/"
                     "vnd.openxmlformats-officedocument.wordprocessingml.settings+xml\"/>"
                     "</Types>");
    p.ponerParte(
        QStringLiteral("_rels/.rels"),
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
        "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
        "<Relationship Id=\"rId1\" "
        "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/"
        "officeDocument\" Target=\"word/document.xml\"/>"
        "</Relationships>");
    p.ponerParte(QStringLiteral("word/document.xml"), documento);
    p.ponerParte(QStringLiteral("word/styles.xml"), estilos);
    p.ponerParte(
        QStringLiteral("word/settings.xml"),
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
        "<w:settings xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\">"
        "<w:defaultTabStop w:val=\"708\"/><w:hyphenationZone w:val=\"425\"/>"
        "<w:characterSpacingControl w:val=\"doNotCompress\"/>"
        "<w:compat><w:compatSetting w:name=\"compatibilityMode\" "
        "w:uri=\"http://schemas.microsoft.com/office/word\" w:val=\"15\"/></w:compat>"
        "</w:settings>");
    p.ponerParte(
        QStringLiteral("word/_rels/document.xml.rels"),
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
        "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
        "<Relationship Id=\"rId1\" "
        "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles\" "
        "Target=\"styles.xml\"/>"
        "<Relationship Id=\"rId2\" "
        "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/settings\" "
        "Target=\"settings.xml\"/>"
        "</Relationships>");
    return p.escribir(destino);
}

Resultado ponerImagenes(const QString& documento, const QString& fuentes) {
    auto doc = DocumentoWord::nuevoDesdePlantilla(documento);
    if (!doc) return doc.estado();
    static const QRegularExpression marca(QStringLiteral("\\[\\[imagen:([^\\]]+)\\]\\]"));
    // A 96 puntos por pulgada un píxel son 15 twips; el texto del manual mide 9.000 de ancho.
    constexpr int kTwipsPixel = 15, kAnchoTexto = 9000;
    for (auto it = marca.globalMatch(doc.valor().textoPlano()); it.hasNext();) {
        const QString ruta = it.next().captured(1);
        const QString fichero = fuentes + QLatin1Char('/') + ruta;
        const QImage imagen(fichero);
        if (imagen.isNull())
            return Resultado::fallo(QStringLiteral("No se puede leer la imagen \"%1\".").arg(fichero));
        const int ancho = qMin(kAnchoTexto, imagen.width() * kTwipsPixel);
        const int alto = int(std::lround(double(ancho) * imagen.height() / imagen.width()));
        auto punto = doc.valor().delanteDeTexto(marcaImagen(ruta));
        if (!punto) return punto.estado();
        if (Resultado r = punto.valor().imagen(fichero, ancho, alto, Alineacion::Centro); !r)
            return r;
        doc.valor().reemplazarTodo(marcaImagen(ruta), QString());
    }
    return doc.valor().guardarComo(documento);
}
