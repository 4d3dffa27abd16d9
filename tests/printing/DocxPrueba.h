#pragma once

#include <zip.h>
#include <QFile>
#include <QList>
#include <QSize>
#include <QString>
#include <QVector>

// Solo cabecera: también lo usan las medidas de bench/.
// Documento DOCX mínimo para probar la conversión y la lectura sin el motor de documentos: una
// página por elemento, con un párrafo de texto y sus imágenes en línea al tamaño dado (twips).
struct ImagenPrueba {
    QString ruta;
    QSize twips;
};
struct PaginaPrueba {
    QString texto;
    QVector<ImagenPrueba> imagenes;
};

namespace docx_prueba {

inline QString escapar(QString s) {
    return s.replace('&', "&amp;").replace('<', "&lt;").replace('>', "&gt;");
}

inline QString imagenEnLinea(int id, const QSize& twips) {
    const qint64 cx = qint64(twips.width()) * 635, cy = qint64(twips.height()) * 635;
    return QStringLiteral(
               "<w:p><w:r><w:drawing><wp:inline distT=\"0\" distB=\"0\" distL=\"0\" distR=\"0\">"
               "<wp:extent cx=\"%1\" cy=\"%2\"/><wp:docPr id=\"%3\" name=\"Imagen %3\"/>"
               "<a:graphic><a:graphicData "
               "uri=\"http://schemas.openxmlformats.org/drawingml/2006/picture\"><pic:pic>"
               "<pic:nvPicPr><pic:cNvPr id=\"%3\" name=\"i%3.bmp\"/><pic:cNvPicPr/></pic:nvPicPr>"
               "<pic:blipFill><a:blip r:embed=\"rIdImg%3\"/><a:stretch><a:fillRect/></a:stretch>"
               "</pic:blipFill><pic:spPr><a:xfrm><a:off x=\"0\" y=\"0\"/><a:ext cx=\"%1\" "
               "cy=\"%2\"/></a:xfrm><a:prstGeom prst=\"rect\"><a:avLst/></a:prstGeom></pic:spPr>"
               "</pic:pic></a:graphicData></a:graphic></wp:inline></w:drawing></w:r></w:p>")
        .arg(cx)
        .arg(cy)
        .arg(id);
}

}  // namespace docx_prueba

inline bool escribirDocxPrueba(const QString& ruta, const QVector<PaginaPrueba>& paginas) {
    using namespace docx_prueba;
    QString cuerpo, relaciones;
    QList<QByteArray> partes;  // vivas hasta zip_close
    QList<QString> nombres;
    int id = 0;
    for (qsizetype i = 0; i < paginas.size(); ++i) {
        if (i > 0) cuerpo += QStringLiteral("<w:p><w:r><w:br w:type=\"page\"/></w:r></w:p>");
        cuerpo += QStringLiteral(
                      "<w:p><w:r><w:rPr><w:rFonts w:ascii=\"Liberation Sans\" "
                      "w:hAnsi=\"Liberation Sans\"/></w:rPr><w:t>%1</w:t></w:r></w:p>")
                      .arg(escapar(paginas[i].texto));
        for (const ImagenPrueba& im : paginas[i].imagenes) {
            ++id;
            QFile f(im.ruta);
            if (!f.open(QIODevice::ReadOnly)) return false;
            partes.append(f.readAll());
            nombres.append(QStringLiteral("word/media/i%1.bmp").arg(id));
            relaciones += QStringLiteral(
                              "<Relationship Id=\"rIdImg%1\" Type=\"http://schemas.openxmlformats."
                              "org/officeDocument/2006/relationships/image\" "
                              "Target=\"media/i%1.bmp\"/>")
                              .arg(id);
            cuerpo += imagenEnLinea(id, im.twips);
        }
    }
    const QString documento =
        QStringLiteral(
            "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?><w:document "
            "xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\" "
            "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\" "
            "xmlns:wp=\"http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing\" "
            "xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\" "
            "xmlns:pic=\"http://schemas.openxmlformats.org/drawingml/2006/picture\"><w:body>%1"
            "<w:sectPr><w:pgSz w:w=\"11906\" w:h=\"16838\"/><w:pgMar w:top=\"1134\" "
            "w:right=\"1134\" w:bottom=\"1134\" w:left=\"1134\" w:header=\"0\" w:footer=\"0\" "
            "w:gutter=\"0\"/></w:sectPr></w:body></w:document>")
            .arg(cuerpo);
    partes.append(documento.toUtf8());
    nombres.append(QStringLiteral("word/document.xml"));
    partes.append(QByteArrayLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Types "
        "xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
        "<Default Extension=\"rels\" "
        "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
        "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
        "<Default Extension=\"bmp\" ContentType=\"image/bmp\"/>"
        "<Override PartName=\"/word/document.xml\" ContentType=\"application/"
        "vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml\"/></Types>"));
    nombres.append(QStringLiteral("[Content_Types].xml"));
    partes.append(QByteArrayLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Relationships "
        "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
        "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
        "relationships/officeDocument\" Target=\"word/document.xml\"/></Relationships>"));
    nombres.append(QStringLiteral("_rels/.rels"));
    partes.append(QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?><Relationships "
                                 "xmlns=\"http://schemas.openxmlformats.org/package/2006/"
                                 "relationships\">%1</Relationships>")
                      .arg(relaciones)
                      .toUtf8());
    nombres.append(QStringLiteral("word/_rels/document.xml.rels"));

    int error = 0;
    zip_t* zip = zip_open(QFile::encodeName(ruta).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!zip) return false;
    for (qsizetype i = 0; i < partes.size(); ++i) {
        zip_source_t* fuente =
            zip_source_buffer(zip, partes[i].constData(), zip_uint64_t(partes[i].size()), 0);
        if (!fuente ||
            zip_file_add(zip, nombres[i].toUtf8().constData(), fuente, ZIP_FL_ENC_UTF_8) < 0) {
            zip_source_free(fuente);
            zip_discard(zip);
            return false;
        }
    }
    return zip_close(zip) == 0;
}
