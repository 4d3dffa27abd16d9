#include "PlantillaPrueba.h"

#include "printing/PaqueteDocx.h"

#include <QImage>
#include <QStringList>

namespace docxprueba {

void escribirPlantilla(const QString& ruta, const QString& cuerpo) {
    PaqueteDocx p;
    p.ponerParte(QStringLiteral("[Content_Types].xml"),
                 "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
                 "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
                 "<Default Extension=\"rels\" "
                 "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
                 "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
                 "<Override PartName=\"/word/document.xml\" ContentType=\"application/"
                 "vnd.openxmlformats-officedocument.wordprocessingml.template.main+xml\"/>"
                 "</Types>");
    p.ponerParte(QStringLiteral("_rels/.rels"),
                 "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
                 "<Relationships "
                 "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                 "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/"
                 "officeDocument/2006/relationships/officeDocument\" Target=\"word/document.xml\"/>"
                 "</Relationships>");
    const QString doc =
        QStringLiteral(
            "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
            "<w:document "
            "xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\">"
            "<w:body>%1<w:p/><w:sectPr><w:pgSz w:w=\"11906\" w:h=\"16838\"/>"
            "<w:pgMar w:top=\"1134\" w:right=\"1134\" w:bottom=\"1134\" w:left=\"1134\"/>"
            "</w:sectPr></w:body></w:document>")
            .arg(cuerpo);
    p.ponerParte(QStringLiteral("word/document.xml"), doc.toUtf8());
    p.escribir(ruta);
}

QString parrafo(const QString& contenido) {
    return QStringLiteral("<w:p>%1</w:p>").arg(contenido);
}

static QString campo(const QString& nombre, const QString& datos, const QString& codigo,
                     const QString& resultado) {
    return QStringLiteral(
               "<w:r><w:rPr><w:b/></w:rPr><w:fldChar w:fldCharType=\"begin\"><w:ffData>"
               "<w:name w:val=\"%1\"/><w:enabled/>%2</w:ffData></w:fldChar></w:r>"
               "<w:r><w:instrText xml:space=\"preserve\"> %3 </w:instrText></w:r>"
               "<w:r><w:fldChar w:fldCharType=\"separate\"/></w:r>%4"
               "<w:r><w:fldChar w:fldCharType=\"end\"/></w:r>")
        .arg(nombre, datos, codigo, resultado);
}

QString campoTexto(const QString& nombre, const QString& resultado) {
    return campo(nombre, QStringLiteral("<w:textInput/>"), QStringLiteral("FORMTEXT"),
                 QStringLiteral("<w:r><w:t xml:space=\"preserve\">%1</w:t></w:r>").arg(resultado));
}

QString casilla(const QString& nombre, bool porDefecto) {
    return campo(nombre,
                 QStringLiteral("<w:checkBox><w:sizeAuto/><w:default w:val=\"%1\"/></w:checkBox>")
                     .arg(porDefecto ? 1 : 0),
                 QStringLiteral("FORMCHECKBOX"), QString());
}

QString marcador(const QString& nombre, int id, const QString& texto) {
    return QStringLiteral(
               "<w:bookmarkStart w:id=\"%1\" w:name=\"%2\"/><w:r><w:rPr><w:i/></w:rPr>"
               "<w:t xml:space=\"preserve\">%3</w:t></w:r><w:bookmarkEnd w:id=\"%1\"/>")
        .arg(id)
        .arg(nombre, texto);
}

QString tabla(const QStringList& cabecera, const QList<int>& anchos, int alto,
              const QString& marcadorPrimeraCelda) {
    QString rejilla, celdas;
    for (int i = 0; i < cabecera.size(); ++i) {
        rejilla += QStringLiteral("<w:gridCol w:w=\"%1\"/>").arg(anchos[i]);
        const QString marca = i == 0 && !marcadorPrimeraCelda.isEmpty()
                                  ? QStringLiteral(
                                        "<w:bookmarkStart w:id=\"90\" w:name=\"%1\"/>"
                                        "<w:bookmarkEnd w:id=\"90\"/>")
                                        .arg(marcadorPrimeraCelda)
                                  : QString();
        celdas += QStringLiteral(
                      "<w:tc><w:tcPr><w:tcW w:w=\"%1\" w:type=\"dxa\"/></w:tcPr><w:p><w:pPr>"
                      "<w:rPr><w:sz w:val=\"16\"/></w:rPr></w:pPr>%3<w:r><w:rPr><w:b/>"
                      "<w:sz w:val=\"16\"/></w:rPr><w:t>%2</w:t></w:r></w:p></w:tc>")
                      .arg(anchos[i])
                      .arg(cabecera[i], marca);
    }
    return QStringLiteral(
               "<w:tbl><w:tblPr><w:tblW w:w=\"0\" w:type=\"auto\"/></w:tblPr><w:tblGrid>%1"
               "</w:tblGrid><w:tr><w:trPr><w:trHeight w:val=\"%3\" w:hRule=\"exact\"/></w:trPr>"
               "%2</w:tr></w:tbl>")
        .arg(rejilla, celdas)
        .arg(alto);
}

void escribirImagen(const QString& ruta) {
    QImage img(8, 4, QImage::Format_RGB32);
    img.fill(Qt::white);
    img.setPixel(1, 1, qRgb(0, 0, 0));
    img.save(ruta, "BMP");
}

}  // namespace docxprueba
