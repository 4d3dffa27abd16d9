#include "printing/LecturaCodigos.h"

#include "platform/Codificacion.h"
#include "printing/CodigoBarras.h"
#include "printing/ProcesosExternos.h"

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>
// Sin esto la cabecera avisa del cambio de tipo de text(), que aquí no se usa.
#define ZX_USE_UTF8 1
#include <ZXing/ReadBarcode.h>
#include <algorithm>
#include <cmath>

QVector<CodigoLeido> leerCodigosImagen(const QImage& imagen) {
    const QImage gris = imagen.convertToFormat(QImage::Format_Grayscale8);
    ZXing::ImageView vista(gris.constBits(), gris.width(), gris.height(), ZXing::ImageFormat::Lum,
                           int(gris.bytesPerLine()));
    ZXing::DecodeHints pistas;
    pistas.setFormats(ZXing::BarcodeFormat::PDF417);
    pistas.setTryHarder(true);
    QVector<CodigoLeido> leidos;
    for (const ZXing::Result& r : ZXing::ReadBarcodes(vista, pistas)) {
        if (!r.isValid()) continue;
        const ZXing::ByteArray& b = r.bytes();
        CodigoLeido c;
        c.bytes = QByteArray(reinterpret_cast<const char*>(b.data()), qsizetype(b.size()));
        const auto& pos = r.position();
        c.anchoPixeles = std::hypot(double(pos.topRight().x - pos.topLeft().x),
                                    double(pos.topRight().y - pos.topLeft().y));
        for (const auto& esquina : pos) c.caja |= QRect(esquina.x, esquina.y, 1, 1);
        leidos.append(c);
    }
    return leidos;
}

ResultadoDe<int> contarPaginasPdf(const QString& rutaPdf, const AvanceTrabajo* avance) {
    const ResultadoDe<SalidaProceso> info =
        lanzarProceso(programasExternos().pdfinfo, {rutaPdf}, 60000,
                      QStringLiteral("contar las páginas del PDF"), avance);
    if (!info) return info.estado();
    static const QRegularExpression paginas(QStringLiteral("^Pages:\\s+(\\d+)\\s*$"),
                                            QRegularExpression::MultilineOption);
    const auto m = paginas.match(info.valor().salida);
    if (info.valor().codigo != 0 || !m.hasMatch() || m.captured(1).toInt() < 1)
        return Resultado::fallo(QStringLiteral("El fichero \"%1\" no tiene páginas legibles. %2")
                                    .arg(rutaPdf, info.valor().errores.trimmed()),
                                Errores::ErrorEntradaSalida);
    return m.captured(1).toInt();
}

Resultado recorrerPaginasPdf(const QString& rutaPdf, int ppp,
                             const std::function<void(int, const QImage&)>& porPagina,
                             AvanceTrabajo* avance) {
    if (!QFile::exists(rutaPdf))
        return Resultado::fallo(QStringLiteral("No se encuentra el fichero \"%1\".").arg(rutaPdf),
                                Errores::FicheroNoEncontrado);
    const ResultadoDe<int> total = contarPaginasPdf(rutaPdf, avance);
    if (!total) return total.estado();
    if (avance) {
        avance->hechas = 0;
        avance->total = total.valor();
    }
    QTemporaryDir carpeta;
    if (!carpeta.isValid())
        return Resultado::fallo(QStringLiteral("No se puede crear una carpeta temporal."),
                                Errores::ErrorEntradaSalida);
    // pdftoppm numera "p-1.pgm" o "p-01.pgm" según el número de páginas del PDF.
    static const QRegularExpression numero(QStringLiteral("^p-0*(\\d+)\\.pgm$"));
    constexpr int kPaginasPorTanda = 8;
    for (int desde = 1; desde <= total.valor(); desde += kPaginasPorTanda) {
        const int hasta = qMin(total.valor(), desde + kPaginasPorTanda - 1);
        const Resultado r = ejecutarProceso(
            programasExternos().pdftoppm,
            {QStringLiteral("-r"), QString::number(ppp), QStringLiteral("-gray"),
             QStringLiteral("-f"), QString::number(desde), QStringLiteral("-l"),
             QString::number(hasta), rutaPdf, carpeta.filePath(QStringLiteral("p"))},
            120000, QStringLiteral("leer las páginas del PDF"), avance);
        if (!r) return r;
        QVector<QPair<int, QString>> paginas;
        for (const QString& f : QDir(carpeta.path()).entryList(QDir::Files)) {
            const auto m = numero.match(f);
            if (m.hasMatch()) paginas.append({m.captured(1).toInt(), carpeta.filePath(f)});
        }
        std::sort(paginas.begin(), paginas.end());
        // Cada página de la tanda, una vez y en su sitio: si falta alguna no se da por leída.
        if (paginas.size() != hasta - desde + 1 || paginas.first().first != desde ||
            paginas.last().first != hasta)
            return Resultado::fallo(QStringLiteral("No se pueden leer las páginas %1 a %2 del PDF.")
                                        .arg(desde)
                                        .arg(hasta),
                                    Errores::ErrorEntradaSalida);
        for (const auto& [pagina, ruta] : paginas) {
            if (avance && avance->cancelar)
                return falloCancelado(QStringLiteral("Se ha cancelado la lectura del PDF."));
            const QImage imagen(ruta);
            QFile::remove(ruta);
            if (imagen.isNull())
                return Resultado::fallo(
                    QStringLiteral("No se puede leer la página %1 del PDF.").arg(pagina),
                    Errores::ErrorEntradaSalida);
            porPagina(pagina, imagen);
            if (avance) ++avance->hechas;
        }
    }
    return Resultado::correcto();
}

ResultadoDe<QVector<CodigoLeido>> leerCodigosPdf(const QString& rutaPdf, int ppp,
                                                 AvanceTrabajo* avance) {
    QVector<CodigoLeido> leidos;
    const Resultado r = recorrerPaginasPdf(
        rutaPdf, ppp,
        [&](int pagina, const QImage& imagen) {
            for (CodigoLeido c : leerCodigosImagen(imagen)) {
                c.pagina = pagina;
                c.ppp = ppp;
                leidos.append(c);
            }
        },
        avance);
    if (!r) return r;
    return leidos;
}

Resultado compararCodigos(const QVector<CodigoLeido>& leidos, QVector<CodigoEsperado> esperados) {
    // Una página que no cabe en su hoja (una lista de cursos muy larga, una fila que crece) corre
    // lo que viene detrás a la hoja siguiente: cada código puede estar en una hoja posterior a su
    // número de página, pero nunca antes, y en el mismo orden que las páginas.
    std::stable_sort(esperados.begin(), esperados.end(),
                     [](const auto& a, const auto& b) { return a.pagina < b.pagina; });
    QVector<bool> usado(leidos.size(), false);
    int hojaAnterior = 0;
    int desplazamiento = 0;  // hojas que se ha corrido el último código hallado
    for (const CodigoEsperado& e : esperados) {
        const QByteArray bytes = bytesCodigo(e.texto);
        const int desde = qMax(e.pagina, hojaAnterior + 1);
        qsizetype hallado = -1;
        for (qsizetype i = 0; i < leidos.size() && hallado < 0; ++i)
            if (!usado[i] && leidos[i].pagina >= desde && leidos[i].bytes == bytes) hallado = i;
        if (hallado >= 0) {
            usado[hallado] = true;
            hojaAnterior = leidos[hallado].pagina;
            desplazamiento = hojaAnterior - e.pagina;
            continue;
        }
        QString leidoAhi;
        for (qsizetype i = 0; i < leidos.size(); ++i)
            if (!usado[i] && leidos[i].pagina == e.pagina + desplazamiento) {
                leidoAhi = Codificacion::desdeWindows1252(leidos[i].bytes);
                break;
            }
        if (leidoAhi.isNull())
            return Resultado::fallo(
                QStringLiteral("El código de barras de la página %1 no se puede leer.")
                    .arg(e.pagina));
        return Resultado::fallo(
            QStringLiteral("El código de barras de la página %1 no se lee exactamente: se "
                           "esperaba \"%2\" y se ha leído \"%3\".")
                .arg(e.pagina)
                .arg(Codificacion::desdeWindows1252(bytes), leidoAhi));
    }
    for (qsizetype i = 0; i < leidos.size(); ++i)
        if (!usado[i])
            return Resultado::fallo(
                QStringLiteral("La página %1 tiene un código de barras que no le corresponde: "
                               "\"%2\".")
                    .arg(leidos[i].pagina)
                    .arg(Codificacion::desdeWindows1252(leidos[i].bytes)));
    return Resultado::correcto();
}
