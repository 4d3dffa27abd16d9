#include "lectura/LecturaPaginas.h"

#include "lectura/DeteccionPdf417.h"
#include "platform/Causas.h"
#include "platform/Paralelo.h"
#include "printing/ProcesosExternos.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
// Sin esto la cabecera avisa del cambio de tipo de text(), que aquí no se usa.
#define ZX_USE_UTF8 1
#include <ZXing/ReadBarcode.h>

namespace {

// Una página es blanca si menos de una milésima de sus puntos es oscura (las motas de un escaneo
// no llegan).
bool enBlanco(const QImage& gris) {
    constexpr int kPaso = 3;
    qint64 puntos = 0, oscuros = 0;
    for (int y = 0; y < gris.height(); y += kPaso) {
        const uchar* linea = gris.constScanLine(y);
        for (int x = 0; x < gris.width(); x += kPaso, ++puntos)
            if (linea[x] < 128) ++oscuros;
    }
    return oscuros * 1000 < puntos;
}

enum class Clase { Pdf, Imagen };

struct Fichero {
    QString ruta;
    Clase clase = Clase::Imagen;
    int paginas = 0;
    QString fallo;
};

QString causaImagen(QImageReader::ImageReaderError error) {
    switch (error) {
        case QImageReader::FileNotFoundError:
            return QStringLiteral("no se encuentra");
        case QImageReader::DeviceError:
            return QStringLiteral("no se puede leer del disco");
        case QImageReader::UnsupportedFormatError:
            return QStringLiteral("no es un PDF ni una imagen PNG, JPEG o TIFF");
        case QImageReader::InvalidDataError:
            return QStringLiteral("la imagen está dañada o incompleta");
        default:
            return QStringLiteral("la imagen no se puede leer");
    }
}

Fichero examinar(const QString& ruta) {
    Fichero f;
    f.ruta = ruta;
    QFile entrada(ruta);
    if (!entrada.open(QIODevice::ReadOnly)) {
        f.fallo = causaLectura(ruta);
        return f;
    }
    if (entrada.peek(5) == "%PDF-") {
        f.clase = Clase::Pdf;
        const auto r = lanzarProceso(QStringLiteral("pdfinfo"), {ruta}, 60000,
                                     QStringLiteral("contar las páginas del PDF"));
        static const QRegularExpression kPaginas(QStringLiteral("^Pages:\\s+(\\d+)"),
                                                 QRegularExpression::MultilineOption);
        const auto m = r ? kPaginas.match(r.valor().salida) : QRegularExpressionMatch();
        if (!r)
            f.fallo = r.mensaje();
        else if (r.valor().codigo != 0 || !m.hasMatch())
            f.fallo = QStringLiteral("el PDF está dañado o no se puede abrir");
        else if ((f.paginas = m.captured(1).toInt()) == 0)
            f.fallo = QStringLiteral("el PDF no tiene páginas");
        return f;
    }
    QImageReader lector(&entrada);
    if (!lector.canRead()) {
        f.fallo = causaImagen(lector.error());
        return f;
    }
    f.paginas = qMax(1, lector.imageCount());
    return f;
}

ResultadoDe<QImage> rasterizar(const QString& pdf, int pagina, int ppp) {
    QProcess p;
    const QString n = QString::number(pagina);
    p.start(programasExternos().pdftoppm,
            {QStringLiteral("-r"), QString::number(ppp), QStringLiteral("-gray"),
             QStringLiteral("-f"), n, QStringLiteral("-l"), n, pdf});
    if (!p.waitForStarted(30000))
        return Resultado::fallo(QStringLiteral("no se puede ejecutar «%1» para pasar el PDF a "
                                               "imagen")
                                    .arg(programasExternos().pdftoppm));
    if (!p.waitForFinished(120000)) {
        p.kill();
        p.waitForFinished(5000);
        return Resultado::fallo(
            QStringLiteral("la página no se ha podido pasar a imagen en dos minutos"));
    }
    QImage imagen;
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0 ||
        !imagen.loadFromData(p.readAllStandardOutput(), "PGM"))
        return Resultado::fallo(QStringLiteral("la página no se puede pasar a imagen"));
    return imagen;
}

// Un JPEG cortado se lee igual (lo que falta sale gris) y solo se nota en que no acaba con su
// marca de fin.
bool jpegCortado(const QString& ruta) {
    QFile f(ruta);
    if (!f.open(QIODevice::ReadOnly) || f.size() < 4) return false;
    if (f.read(2) != QByteArrayLiteral("\xFF\xD8") || !f.seek(f.size() - 2)) return false;
    return f.read(2) != QByteArrayLiteral("\xFF\xD9");
}

ResultadoDe<QImage> imagenDe(const Fichero& f, int indice) {
    QImageReader lector(f.ruta);
    if (f.paginas > 1 && !lector.jumpToImage(indice))
        return Resultado::fallo(QStringLiteral("la página no se encuentra en la imagen"));
    QImage imagen = lector.read();
    if (imagen.isNull()) return Resultado::fallo(causaImagen(lector.error()));
    if (jpegCortado(f.ruta)) return Resultado::fallo(causaImagen(QImageReader::InvalidDataError));
    return imagen;
}

void anotar(PaginaLeida& p, const AnalisisImagen& a) {
    p.codigos = a.codigos;
    p.estado = !a.codigos.isEmpty() ? EstadoPagina::ConCodigos
               : a.ilegible         ? EstadoPagina::Ilegible
               : a.enBlanco         ? EstadoPagina::EnBlanco
                                    : EstadoPagina::SinCodigo;
}

// Las lecturas de un escaneo cuyo PDF417 no se ha leído tal cual; sin códigos si ninguna lo lee.
AnalisisImagen otrasLecturas(const QImage& imagen) {
    // zxing-cpp pierde códigos girados a favor de las agujas del reloj que, girados lo mismo al
    // revés, lee casi siempre (el ZXing original de Java también). Sigue el indicador de fila
    // izquierdo hacia abajo desde la esquina de arriba, y solo corrige su arranque dos píxeles
    // hacia la izquierda: con ese giro el borde izquierdo se corre a la izquierda al bajar, y si
    // la fila de arriba, que sale a medias, le da el arranque dos o tres píxeles a la derecha, ya
    // no lo recupera. Toma entonces filas o columnas equivocadas de ese indicador aunque el
    // derecho diga otra cosa, y el código no cuadra. En espejo el giro cambia de sentido, y
    // zxing-cpp también lee los PDF417 en espejo (con sus bytes de siempre): es lo primero que se
    // prueba.
    const QImage espejo = imagen.mirrored(true, false);
    const AnalisisImagen b = analizarImagen(espejo);
    if (!b.codigos.isEmpty()) return b;
    // Un escaneo de poca resolución, o algo torcido: otra rejilla de píxeles cae distinta sobre
    // las filas del código. Vez y media rescata escaneos que al doble siguen sin leerse, y al
    // revés.
    for (const double factor : {1.5, 2.0, 1.25})
        for (const QImage* origen : {&imagen, &espejo}) {
            const AnalisisImagen c = analizarImagen(origen->scaled(
                QSize(qRound(origen->width() * factor), qRound(origen->height() * factor)),
                Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
            if (!c.codigos.isEmpty()) return c;
        }
    return {};
}

void leerPagina(const Fichero& f, const OpcionesLectura& o, PaginaLeida& p) {
    const int indice = p.origen.pagina - 1;
    const auto imagen =
        f.clase == Clase::Pdf ? rasterizar(f.ruta, p.origen.pagina, o.ppp) : imagenDe(f, indice);
    if (!imagen) {
        p.estado = EstadoPagina::Fallo;
        p.detalle = imagen.mensaje();
        return;
    }
    // Una página con un código que no se lee: la de un PDF se vuelve a pasar a imagen con más
    // detalle; una imagen es la que es, y se prueba en espejo y más grande (analizarEscaneo). Las
    // páginas sin código (cursos, documentos) no se repiten.
    if (f.clase != Clase::Pdf) {
        anotar(p, analizarEscaneo(imagen.valor()));
        return;
    }
    AnalisisImagen a = analizarImagen(imagen.valor());
    if (a.codigos.isEmpty() && a.ilegible) {
        const auto otra = rasterizar(f.ruta, p.origen.pagina, o.pppReintento);
        if (otra) {
            const AnalisisImagen b = analizarImagen(otra.valor());
            if (!b.codigos.isEmpty()) a = b;
        }
        // El PDF de un escáner lleva la hoja como imagen, torcida: con más detalle no se ve
        // mejor, y se prueba como una imagen suelta.
        if (a.codigos.isEmpty()) {
            const AnalisisImagen c = otrasLecturas(imagen.valor());
            if (!c.codigos.isEmpty()) a = c;
        }
    }
    anotar(p, a);
}

}  // namespace

QString describirOrigen(const OrigenPagina& origen) {
    if (origen.pagina == 0) return QStringLiteral("fichero %1").arg(origen.fichero);
    return QStringLiteral("fichero %1, página %2").arg(origen.fichero).arg(origen.pagina);
}

AnalisisImagen analizarImagen(const QImage& imagen) {
    AnalisisImagen a;
    const QImage gris = imagen.convertToFormat(QImage::Format_Grayscale8);
    if (gris.isNull() || enBlanco(gris)) {
        a.enBlanco = true;
        return a;
    }
    const ZXing::ImageView vista(gris.constBits(), gris.width(), gris.height(),
                                 ZXing::ImageFormat::Lum, int(gris.bytesPerLine()));
    ZXing::DecodeHints pistas;
    pistas.setFormats(ZXing::BarcodeFormat::PDF417);
    pistas.setTryHarder(true);
    for (const ZXing::Result& r : ZXing::ReadBarcodes(vista, pistas)) {
        if (!r.isValid()) continue;
        const ZXing::ByteArray& b = r.bytes();
        a.codigos.append(QByteArray(reinterpret_cast<const char*>(b.data()), qsizetype(b.size())));
    }
    if (a.codigos.isEmpty()) a.ilegible = hayPdf417(gris);
    return a;
}

AnalisisImagen analizarEscaneo(const QImage& imagen) {
    const AnalisisImagen a = analizarImagen(imagen);
    if (!a.codigos.isEmpty() || !a.ilegible) return a;
    const AnalisisImagen b = otrasLecturas(imagen);
    return b.codigos.isEmpty() ? a : b;
}

ResultadoDe<QStringList> ficherosDeEntrada(const QStringList& rutas) {
    static const QStringList kFiltros = {"*.pdf", "*.png", "*.jpg", "*.jpeg", "*.tif", "*.tiff"};
    QStringList ficheros;
    QSet<QString> vistos;  // un fichero dado dos veces (o también por su carpeta) se lee una
    auto anadir = [&](const QString& ruta) {
        const QString canonica = QFileInfo(ruta).canonicalFilePath();
        if (vistos.contains(canonica)) return;
        vistos.insert(canonica);
        ficheros.append(ruta);
    };
    for (const QString& ruta : rutas) {
        const QFileInfo info(ruta);
        if (!info.exists())
            return Resultado::fallo(QStringLiteral("No se encuentra «%1».").arg(ruta),
                                    Errores::FicheroNoEncontrado);
        if (!info.isDir()) {
            anadir(ruta);
            continue;
        }
        const QDir carpeta(ruta);
        for (const QString& f :
             carpeta.entryList(kFiltros, QDir::Files, QDir::Name | QDir::IgnoreCase))
            anadir(carpeta.filePath(f));
    }
    if (ficheros.isEmpty())
        return Resultado::fallo(QStringLiteral("No hay ningún PDF ni ninguna imagen que leer."),
                                Errores::FicheroNoEncontrado);
    return ficheros;
}

QVector<PaginaLeida> leerLote(const QStringList& rutas, const OpcionesLectura& opciones,
                              const std::function<void(int, int)>& avance) {
    QVector<Fichero> ficheros(rutas.size());
    enParalelo(int(rutas.size()), opciones.hilos, [&](int i) { ficheros[i] = examinar(rutas[i]); });

    QVector<PaginaLeida> paginas;
    QVector<int> deFichero;  // fichero de cada página
    for (qsizetype i = 0; i < ficheros.size(); ++i) {
        const Fichero& f = ficheros[i];
        if (!f.fallo.isEmpty()) {
            // El fichero entero: su "página" 0.
            PaginaLeida pagina;
            pagina.origen = {f.ruta, 0};
            pagina.estado = EstadoPagina::Fallo;
            pagina.detalle = f.fallo;
            paginas.append(pagina);
            deFichero.append(int(i));
            continue;
        }
        for (int p = 1; p <= f.paginas; ++p) {
            PaginaLeida pagina;
            pagina.origen = {f.ruta, p};
            paginas.append(pagina);
            deFichero.append(int(i));
        }
    }
    const int total = int(paginas.size());
    enParalelo(
        total, opciones.hilos,
        [&](int i) {
            if (paginas[i].estado != EstadoPagina::Fallo)
                leerPagina(ficheros[deFichero[i]], opciones, paginas[i]);
        },
        [&](int hechas) {
            if (avance) avance(hechas, total);
        });
    return paginas;
}
