#include "printing/DocumentoWord.h"

#include "printing/NucleoDocumento.h"
#include "printing/XmlWord.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <cstring>

using namespace xmlword;

namespace {

constexpr int kEmuPorTwip = 635;

pugi::xml_node insertar(void* padre, void*& anterior, const char* nombre) {
    pugi::xml_node p = nodoDe(padre);
    pugi::xml_node a = nodoDe(anterior);
    pugi::xml_node n = a ? p.insert_child_after(nombre, a) : p.prepend_child(nombre);
    anterior = opaco(n);
    return n;
}

// Párrafo sin espacio antes ni después, para que los saltos no descuadren la página.
pugi::xml_node parrafoCompacto(void* padre, void*& anterior) {
    auto p = insertar(padre, anterior, "w:p");
    auto espacio = asegurarHijo(pPr(p), "w:spacing");
    espacio.append_attribute("w:before") = 0;
    espacio.append_attribute("w:after") = 0;
    return p;
}

void declararEspacio(pugi::xml_node raiz, const char* atributo, const char* uri) {
    if (!raiz.attribute(atributo)) raiz.append_attribute(atributo) = uri;
}

}  // namespace

// --- Imágenes --------------------------------------------------------------------------------

ResultadoDe<QString> NucleoDocumento::anadirImagen(const QString& rutaImagen) {
    QFile f(rutaImagen);
    if (!f.open(QIODevice::ReadOnly))
        return Resultado::fallo(
            QStringLiteral("No se puede leer la imagen \"%1\".").arg(rutaImagen),
            Errores::FicheroNoEncontrado);
    const QByteArray original = f.readAll();
    QImage imagen;
    if (!imagen.loadFromData(original))
        return Resultado::fallo(
            QStringLiteral("El fichero \"%1\" no es una imagen válida.").arg(rutaImagen),
            Errores::ErrorEntradaSalida);
    QByteArray png;
    QBuffer b(&png);
    b.open(QIODevice::WriteOnly);
    imagen.save(&b, "PNG");
    const QString nombre = QStringLiteral("media/imagen%1.png").arg(siguienteImagen++);
    paquete.ponerParte(QStringLiteral("word/") + nombre, png);

    auto tipos_ = tipos.document_element();
    bool hay = false;
    for (auto d : tipos_.children("Default"))
        hay = hay || QString::fromUtf8(d.attribute("Extension").value())
                             .compare(QLatin1String("png"), Qt::CaseInsensitive) == 0;
    if (!hay) {
        auto d = tipos_.prepend_child("Default");
        d.append_attribute("Extension") = "png";
        d.append_attribute("ContentType") = "image/png";
    }
    auto rels = relaciones.document_element();
    int n = 1;
    QString id;
    do {
        id = QStringLiteral("rIdImg%1").arg(n++);
    } while (rels.find_child_by_attribute("Relationship", "Id", id.toUtf8().constData()));
    auto r = rels.append_child("Relationship");
    r.append_attribute("Id") = id.toUtf8().constData();
    r.append_attribute("Type") =
        "http://schemas.openxmlformats.org/officeDocument/2006/relationships/image";
    r.append_attribute("Target") = nombre.toUtf8().constData();
    return id;
}

pugi::xml_node NucleoDocumento::runImagen(pugi::xml_node padre, const QString& idRelacion,
                                          int anchoTwips, int altoTwips) {
    auto raiz = documento.document_element();
    declararEspacio(raiz, "xmlns:wp",
                    "http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing");
    declararEspacio(raiz, "xmlns:r",
                    "http://schemas.openxmlformats.org/officeDocument/2006/relationships");
    const long long cx = (long long)anchoTwips * kEmuPorTwip;
    const long long cy = (long long)altoTwips * kEmuPorTwip;
    const int id = siguienteDibujo++;
    const QString xml =
        QStringLiteral(
            "<w:r><w:drawing><wp:inline distT=\"0\" distB=\"0\" distL=\"0\" distR=\"0\">"
            "<wp:extent cx=\"%1\" cy=\"%2\"/><wp:effectExtent l=\"0\" t=\"0\" r=\"0\" b=\"0\"/>"
            "<wp:docPr id=\"%3\" name=\"Imagen %3\"/>"
            "<wp:cNvGraphicFramePr><a:graphicFrameLocks "
            "xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\" "
            "noChangeAspect=\"1\"/>"
            "</wp:cNvGraphicFramePr>"
            "<a:graphic xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\">"
            "<a:graphicData uri=\"http://schemas.openxmlformats.org/drawingml/2006/picture\">"
            "<pic:pic xmlns:pic=\"http://schemas.openxmlformats.org/drawingml/2006/picture\">"
            "<pic:nvPicPr><pic:cNvPr id=\"%3\" name=\"Imagen %3\"/><pic:cNvPicPr/></pic:nvPicPr>"
            "<pic:blipFill><a:blip "
            "r:embed=\"%4\"/><a:stretch><a:fillRect/></a:stretch></pic:blipFill>"
            "<pic:spPr><a:xfrm><a:off x=\"0\" y=\"0\"/><a:ext cx=\"%1\" cy=\"%2\"/></a:xfrm>"
            "<a:prstGeom prst=\"rect\"><a:avLst/></a:prstGeom></pic:spPr></pic:pic>"
            "</a:graphicData></a:graphic></wp:inline></w:drawing></w:r>")
            .arg(cx)
            .arg(cy)
            .arg(id)
            .arg(idRelacion);
    // El fragmento usa prefijos declarados en la raíz del documento: se analiza sin espacios de
    // nombres (pugixml no los resuelve) y se copia tal cual.
    pugi::xml_document fragmento;
    const QByteArray utf8 = xml.toUtf8();
    fragmento.load_buffer(utf8.constData(), size_t(utf8.size()));
    return padre.append_copy(fragmento.first_child());
}

int NucleoDocumento::anchoUtil() const {
    constexpr int kPagina = 11906, kMargen = 1134;  // A4 con márgenes de 2 cm
    pugi::xml_node sect = cuerpo().child("w:sectPr");
    const int pagina = medida(sect.child("w:pgSz").attribute("w:w"), kPagina);
    const int izquierda = medida(sect.child("w:pgMar").attribute("w:left"), kMargen);
    const int derecha = medida(sect.child("w:pgMar").attribute("w:right"), kMargen);
    const int util = pagina - izquierda - derecha;
    // Una página sin sitio para el texto es una plantilla rota: el ancho de un A4.
    return util > 0 ? util : kPagina - 2 * kMargen;
}

// --- Punto de inserción ----------------------------------------------------------------------

void PuntoInsercion::saltoLinea() {
    if (valido()) parrafoCompacto(m_padre, m_anterior);
}

Resultado PuntoInsercion::imagen(const QString& rutaImagen, int anchoTwips, int altoTwips,
                                 Alineacion alineacion) {
    if (!valido())
        return Resultado::fallo(QStringLiteral("No hay dónde insertar la imagen."), 5941);
    auto id = m_nucleo->anadirImagen(rutaImagen);
    if (!id) return id.estado();
    auto p = parrafoCompacto(m_padre, m_anterior);
    ponerVal(pPr(p), "w:jc", QString::fromLatin1(valorAlineacion(int(alineacion))));
    m_nucleo->runImagen(p, id.valor(), anchoTwips, altoTwips);
    return Resultado::correcto();
}

void PuntoInsercion::saltoPagina() {
    if (!valido()) return;
    auto p = parrafoCompacto(m_padre, m_anterior);
    // Marca de párrafo mínima: la línea que ocupa el salto no debe empujar la página.
    auto rpr = rPr(pPr(p));
    ponerVal(rpr, "w:sz", QStringLiteral("2"));
    ponerVal(rpr, "w:szCs", QStringLiteral("2"));
    auto r = p.append_child("w:r");
    r.append_copy(rpr);
    r.append_child("w:br").append_attribute("w:type") = "page";
}

TablaWord PuntoInsercion::tabla(int filas, int columnas) {
    if (!valido() || filas < 1 || columnas < 1) return {};
    auto t = insertar(m_padre, m_anterior, "w:tbl");
    auto tblPr = t.append_child("w:tblPr");
    auto w = tblPr.append_child("w:tblW");
    w.append_attribute("w:w") = 0;
    w.append_attribute("w:type") = "auto";
    tblPr.append_child("w:tblLayout").append_attribute("w:type") = "fixed";
    const int ancho = m_nucleo->anchoUtil() / columnas;
    auto rejilla = t.append_child("w:tblGrid");
    for (int c = 0; c < columnas; ++c)
        rejilla.append_child("w:gridCol").append_attribute("w:w") = ancho;
    for (int f = 0; f < filas; ++f) {
        auto tr = t.append_child("w:tr");
        for (int c = 0; c < columnas; ++c) {
            auto tc = tr.append_child("w:tc");
            auto tcW = tc.append_child("w:tcPr").append_child("w:tcW");
            tcW.append_attribute("w:w") = ancho;
            tcW.append_attribute("w:type") = "dxa";
            tc.append_child("w:p");
        }
    }
    TablaWord tabla(m_nucleo, opaco(t));
    tabla.ponerBordes(true);
    return tabla;
}
