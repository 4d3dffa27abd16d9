#include "HuecoRasterizado.h"

#include "printing/LecturaCodigos.h"

#include <QFile>

namespace {

// Papel blanco alrededor del hueco, como en el recorte de la prueba de escaneo.
constexpr int kMargen = 80;

// Un PDF de una página con el bitmap a su tamaño en el papel (puntos), en RGB de 8 bits sin
// interpolar y comprimido sin pérdida, como lo exporta LibreOffice. Así el ráster sale de
// pdftoppm igual que el de la impresión: otro escalado (el de Qt, por ejemplo) deja otros grises en
// los bordes de los módulos y cambia lo que se lee.
QByteArray pdfConImagen(const QImage& bmp, double ancho, double alto, double x, double y,
                        double anchoPagina, double altoPagina) {
    const QImage rgb = bmp.convertToFormat(QImage::Format_RGB888);
    QByteArray pixeles;
    for (int f = 0; f < rgb.height(); ++f)
        pixeles.append(reinterpret_cast<const char*>(rgb.constScanLine(f)), rgb.width() * 3);
    const QByteArray flate = qCompress(pixeles).mid(4);  // sin la longitud que antepone Qt
    const QByteArray contenido = QStringLiteral("q %1 0 0 %2 %3 %4 cm /Im0 Do Q")
                                     .arg(ancho, 0, 'f', 4)
                                     .arg(alto, 0, 'f', 4)
                                     .arg(x, 0, 'f', 4)
                                     .arg(y, 0, 'f', 4)
                                     .toLatin1();
    const QList<QByteArray> objetos = {
        "<< /Type /Catalog /Pages 2 0 R >>", "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        QStringLiteral("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 %1 %2] /Resources << "
                       "/XObject << /Im0 5 0 R >> >> /Contents 4 0 R >>")
            .arg(anchoPagina, 0, 'f', 4)
            .arg(altoPagina, 0, 'f', 4)
            .toLatin1(),
        "<< /Length " + QByteArray::number(contenido.size()) + " >>\nstream\n" + contenido +
            "\nendstream",
        QStringLiteral("<< /Type /XObject /Subtype /Image /Width %1 /Height %2 /ColorSpace "
                       "/DeviceRGB /BitsPerComponent 8 /Interpolate false /Filter /FlateDecode "
                       "/Length %3 >>\nstream\n")
                .arg(rgb.width())
                .arg(rgb.height())
                .arg(flate.size())
                .toLatin1() +
            flate + "\nendstream"};
    QByteArray pdf = "%PDF-1.4\n";
    QVector<qsizetype> posiciones;
    for (qsizetype i = 0; i < objetos.size(); ++i) {
        posiciones.append(pdf.size());
        pdf += QByteArray::number(i + 1) + " 0 obj\n" + objetos[i] + "\nendobj\n";
    }
    const qsizetype xref = pdf.size();
    pdf += "xref\n0 " + QByteArray::number(objetos.size() + 1) + "\n0000000000 65535 f \n";
    for (qsizetype p : posiciones)
        pdf += QByteArray::number(p).rightJustified(10, '0') + " 00000 n \n";
    pdf += "trailer\n<< /Size " + QByteArray::number(objetos.size() + 1) +
           " /Root 1 0 R >>\nstartxref\n" + QByteArray::number(xref) + "\n%%EOF\n";
    return pdf;
}

}  // namespace

// Véase HuecoRasterizado.h.
QImage rasterHueco(const QString& carpeta, const QImage& bmp, int anchoTwips, int altoTwips,
                   int ppp, double fase) {
    const double ancho = anchoTwips / 20.0, alto = altoTwips / 20.0;  // puntos
    const double margen = kMargen * 72.0 / ppp;
    const double corrimiento = fase * 72.0 / ppp;
    const QString ruta = carpeta + QStringLiteral("/hueco.pdf");
    QFile f(ruta);
    if (!f.open(QIODevice::WriteOnly)) return {};
    f.write(pdfConImagen(bmp, ancho, alto, margen + corrimiento, margen + corrimiento,
                         ancho + 2 * margen, alto + 2 * margen));
    f.close();
    QImage pagina;
    recorrerPaginasPdf(ruta, ppp, [&](int, const QImage& imagen) { pagina = imagen; });
    return pagina.convertToFormat(QImage::Format_Grayscale8);
}

bool escribirPdfEscaneado(const QString& ruta, const QImage& hoja, int ppp) {
    const double ancho = hoja.width() * 72.0 / ppp, alto = hoja.height() * 72.0 / ppp;
    QFile f(ruta);
    return f.open(QIODevice::WriteOnly) &&
           f.write(pdfConImagen(hoja, ancho, alto, 0, 0, ancho, alto)) > 0 && f.flush();
}
