#include "lectura/LecturaPaginas.h"

#include "lectura/DeteccionPdf417.h"
#include "lectura/FicherosEntrada.h"
#include "lectura/HojaClara.h"
#include "lectura/PaginasTiff.h"
#include "lectura/MiniaturaPagina.h"
#include "platform/Causas.h"
#include "platform/Paralelo.h"
#include "printing/ProcesosExternos.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QProcess>
#include <QRegularExpression>
#include <QSizeF>
#include <cmath>
#include <limits>
// Sin esto la cabecera avisa del cambio de tipo de text(), que aquí no se usa.
#define ZX_USE_UTF8 1
#include <ZXing/ReadBarcode.h>

namespace {

enum class Clase { Pdf, Imagen };

struct Fichero {
    QString ruta;
    Clase clase = Clase::Imagen;
    int paginas = 0;
    QVector<QSizeF> tamanos;  // de cada página de un PDF, en puntos
    QString fallo;
    // No llega entero hasta su última página: de él se leen las `paginas` que sí están enteras,
    // y lo demás es un fallo.
    bool cortado = false;
};

QString causaImagen(QImageReader::ImageReaderError error) {
    switch (error) {
        case QImageReader::FileNotFoundError:
            return QStringLiteral("no se encuentra");
        case QImageReader::DeviceError:
            return QStringLiteral("no se puede leer del disco");
        case QImageReader::UnsupportedFormatError:
            return QStringLiteral("no es un PDF ni una imagen de las que se leen (%1)")
                .arg(extensionesLeidas().mid(1).join(QStringLiteral(", ")).toUpper());
        case QImageReader::InvalidDataError:
            return QStringLiteral("la imagen está dañada o incompleta");
        default:
            return QStringLiteral("la imagen no se puede leer");
    }
}

// Un PDF puede llevar algo delante de su cabecera: los visores la buscan en el primer kilobyte.
constexpr int kBytesAntesDelPdf = 1024;

void examinarPdf(Fichero& f) {
    f.clase = Clase::Pdf;
    // Las páginas y el tamaño de cada una (pdfinfo no pasa de la última).
    const auto r = lanzarProceso(QStringLiteral("pdfinfo"),
                                 {QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"),
                                  QString::number(std::numeric_limits<int>::max()), f.ruta},
                                 60000, QStringLiteral("contar las páginas del PDF"));
    if (!r) {
        f.fallo = r.mensaje();
        return;
    }
    static const QRegularExpression kPaginas(QStringLiteral("^Pages:\\s+(\\d+)"),
                                             QRegularExpression::MultilineOption);
    static const QRegularExpression kTamano(
        QStringLiteral("^Page\\s+\\d+\\s+size:\\s+([\\d.]+)\\s+x\\s+([\\d.]+)"),
        QRegularExpression::MultilineOption);
    const auto m = kPaginas.match(r.valor().salida);
    if (r.valor().codigo != 0 || !m.hasMatch()) {
        f.fallo = r.valor().errores.contains(QStringLiteral("password"), Qt::CaseInsensitive)
                      ? QStringLiteral("el PDF está protegido con contraseña")
                      : QStringLiteral("el PDF está dañado o no se puede abrir");
        return;
    }
    if ((f.paginas = m.captured(1).toInt()) == 0)
        f.fallo = QStringLiteral("el PDF no tiene páginas");
    for (auto it = kTamano.globalMatch(r.valor().salida); it.hasNext();) {
        const auto t = it.next();
        f.tamanos.append(QSizeF(t.captured(1).toDouble(), t.captured(2).toDouble()));
    }
}

Fichero examinar(const QString& ruta) {
    Fichero f;
    f.ruta = ruta;
    // Antes de abrirlo: abrir una tubería espera a que alguien escriba en ella.
    const QFileInfo info(ruta);
    if (!info.isFile()) {
        f.fallo = QStringLiteral("no es un fichero corriente (una tubería, un dispositivo...)");
        return f;
    }
    QFile entrada(ruta);
    if (!entrada.open(QIODevice::ReadOnly)) {
        f.fallo = causaLectura(ruta);
        return f;
    }
    if (entrada.size() == 0) {
        f.fallo = QStringLiteral("el fichero está vacío");
        return f;
    }
    if (entrada.peek(kBytesAntesDelPdf).contains("%PDF-")) {
        examinarPdf(f);
        return f;
    }
    QImageReader lector(&entrada);
    if (!lector.canRead()) {
        f.fallo = causaImagen(lector.error());
        return f;
    }
    // Un TIFF se recorre aquí: libtiff da uno cortado por bueno hasta el corte, sin más páginas, y
    // lo cuenta en la salida de errores.
    if (esTiff(entrada.peek(16))) {
        const PaginasTiff tiff = paginasTiff(entrada);
        if (tiff.enteras == 0) f.fallo = causaImagen(QImageReader::InvalidDataError);
        f.paginas = tiff.enteras;
        f.cortado = !tiff.entero;
        return f;
    }
    f.paginas = qMax(1, lector.imageCount());
    return f;
}

// Resolución de una página de ese tamaño (en puntos) que no pasa de los puntos máximos.
int pppPagina(const Fichero& f, int pagina, int ppp) {
    if (pagina > f.tamanos.size()) return ppp;
    const QSizeF t = f.tamanos[pagina - 1];
    const double pulgadas2 = t.width() * t.height() / (72.0 * 72.0);
    if (pulgadas2 <= 0) return ppp;
    return qBound(1, int(std::sqrt(double(kPuntosMaximos) / pulgadas2)), ppp);
}

ResultadoDe<QImage> rasterizar(const Fichero& f, int pagina, int ppp) {
    QProcess p;
    const QString n = QString::number(pagina);
    p.start(programasExternos().pdftoppm,
            {QStringLiteral("-r"), QString::number(pppPagina(f, pagina, ppp)),
             QStringLiteral("-gray"), QStringLiteral("-f"), n, QStringLiteral("-l"), n, f.ruta});
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

// Una imagen más grande que esto no se lee si su formato no sabe leerse ya reducido: se lee entera
// antes de reducirla. Solo el JPEG se descomprime ya a la escala pedida; el PNG dice que se lee
// reducido, pero Qt lo lee entero (un PNG gris de 12.000 × 12.000 pasa del límite de memoria de
// las imágenes y sale como dañado) y lo reduce después.
constexpr qint64 kPuntosSinReducir = 2 * kPuntosMaximos;

// La página de una imagen, en gris y como mucho con los puntos máximos.
ResultadoDe<QImage> imagenDe(const Fichero& f, int indice) {
    QImageReader lector(f.ruta);
    if (f.paginas > 1 && !lector.jumpToImage(indice))
        return Resultado::fallo(QStringLiteral("la página no se encuentra en la imagen"));
    const QSize tamano = lector.size();
    const qint64 puntos = qint64(tamano.width()) * tamano.height();
    if (tamano.isValid() && puntos > kPuntosMaximos) {
        if (lector.format() != "jpeg" && puntos > kPuntosSinReducir)
            return Resultado::fallo(
                QStringLiteral("la imagen es demasiado grande: %1 × %2 puntos (se leen hasta %3 "
                               "millones; una hoja escaneada a 600 ppp tiene 35)")
                    .arg(tamano.width())
                    .arg(tamano.height())
                    .arg(kPuntosSinReducir / 1'000'000));
        lector.setScaledSize(tamano * std::sqrt(double(kPuntosMaximos) / double(puntos)));
    }
    // Un JPEG o un PNG cortados se ven antes de leerlos: el JPEG se leería igual (lo que falta,
    // gris) y libpng escribe su queja en la salida de errores, que es del que lee el lote.
    QFile fichero(f.ruta);
    if (!fichero.open(QIODevice::ReadOnly)) return Resultado::fallo(causaLectura(f.ruta));
    const QByteArray principio = fichero.peek(8);
    const bool jpeg = principio.startsWith("\xFF\xD8"), png = principio.startsWith("\x89PNG");
    if (jpeg || png) {
        const QByteArray bytes = fichero.readAll();
        if ((jpeg && !jpegCompleto(bytes)) || (png && !pngCompleto(bytes)))
            return Resultado::fallo(causaImagen(QImageReader::InvalidDataError));
    }
    QImage imagen = lector.read();
    if (imagen.isNull()) return Resultado::fallo(causaImagen(lector.error()));
    // En gris antes de nada: en color cada copia (espejo, ampliación) ocupa cuatro veces más.
    return imagen.convertToFormat(QImage::Format_Grayscale8);
}

void anotar(PaginaLeida& p, const AnalisisImagen& a) {
    p.codigos = a.codigos;
    p.estado = !a.codigos.isEmpty() ? EstadoPagina::ConCodigos
               : a.ilegible         ? EstadoPagina::Ilegible
               : a.enBlanco         ? EstadoPagina::EnBlanco
                                    : EstadoPagina::SinCodigo;
}

// Los PDF417 que se leen en la hoja.
QVector<QByteArray> codigosDe(const QImage& gris) {
    const ZXing::ImageView vista(gris.constBits(), gris.width(), gris.height(),
                                 ZXing::ImageFormat::Lum, int(gris.bytesPerLine()));
    ZXing::DecodeHints pistas;
    pistas.setFormats(ZXing::BarcodeFormat::PDF417);
    pistas.setTryHarder(true);
    QVector<QByteArray> codigos;
    for (const ZXing::Result& r : ZXing::ReadBarcodes(vista, pistas)) {
        if (!r.isValid()) continue;
        const ZXing::ByteArray& b = r.bytes();
        codigos.append(QByteArray(reinterpret_cast<const char*>(b.data()), qsizetype(b.size())));
    }
    return codigos;
}

QImage enGris(const QImage& imagen) {
    return imagen.format() == QImage::Format_Grayscale8
               ? imagen
               : imagen.convertToFormat(QImage::Format_Grayscale8);
}

// Las lecturas de un escaneo cuyo PDF417 no se ha leído tal cual; sin códigos si ninguna lo lee.
AnalisisImagen otrasLecturas(const QImage& imagen) {
    const QImage gris = enGris(imagen);
    // zxing-cpp pierde códigos girados a favor de las agujas del reloj que, girados lo mismo al
    // revés, lee casi siempre (el ZXing original de Java también). Sigue el indicador de fila
    // izquierdo hacia abajo desde la esquina de arriba, y solo corrige su arranque dos píxeles
    // hacia la izquierda: con ese giro el borde izquierdo se corre a la izquierda al bajar, y si
    // la fila de arriba, que sale a medias, le da el arranque dos o tres píxeles a la derecha, ya
    // no lo recupera. Toma entonces filas o columnas equivocadas de ese indicador aunque el
    // derecho diga otra cosa, y el código no cuadra. En espejo el giro cambia de sentido, y
    // zxing-cpp también lee los PDF417 en espejo (con sus bytes de siempre): es lo primero que se
    // prueba.
    const QImage espejo = gris.mirrored(true, false);
    const AnalisisImagen b = analizarImagen(espejo);
    if (!b.codigos.isEmpty()) return b;
    // Un escaneo de poca resolución, o algo torcido: otra rejilla de píxeles cae distinta sobre
    // las filas del código. Vez y media rescata escaneos que al doble siguen sin leerse, y al
    // revés.
    // Ninguna ampliación pasa de los puntos máximos.
    const double puntos = double(gris.width()) * gris.height();
    for (const double factor : {1.5, 2.0, 1.25})
        for (const QImage* origen : {&gris, &espejo}) {
            if (puntos * factor * factor > double(kPuntosMaximos)) continue;
            const AnalisisImagen c = analizarImagen(origen->scaled(
                QSize(qRound(origen->width() * factor), qRound(origen->height() * factor)),
                Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
            if (!c.codigos.isEmpty()) return c;
        }
    return {};
}

// Una hoja que se lee puede resultar ajena, repetida o de otra impresión: solo al juntar el lote
// se sabe, y para entonces su imagen ya no está. Las de cursos y documentos no llegan a ser nada
// de eso.
void guardarMiniatura(const QImage& imagen, const OpcionesLectura& o, PaginaLeida& p) {
    if (!o.miniaturas || p.estado == EstadoPagina::SinCodigo) return;
    p.miniatura = miniaturaPagina(
        imagen, p.estado == EstadoPagina::Ilegible ? zonaIlegible(imagen) : QRect());
}

void leerPagina(const Fichero& f, const OpcionesLectura& o, PaginaLeida& p) {
    const int indice = p.origen.pagina - 1;
    const auto imagen =
        f.clase == Clase::Pdf ? rasterizar(f, p.origen.pagina, o.ppp) : imagenDe(f, indice);
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
        guardarMiniatura(imagen.valor(), o, p);
        return;
    }
    AnalisisImagen a = analizarImagen(imagen.valor());
    if (a.codigos.isEmpty() && a.ilegible) {
        const auto otra = rasterizar(f, p.origen.pagina, o.pppReintento);
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
    guardarMiniatura(imagen.valor(), o, p);
}

}  // namespace

QString describirOrigen(const OrigenPagina& origen) {
    if (origen.pagina == 0) return QStringLiteral("fichero %1").arg(origen.fichero);
    return QStringLiteral("fichero %1, página %2").arg(origen.fichero).arg(origen.pagina);
}

AnalisisImagen analizarImagen(const QImage& imagen) {
    AnalisisImagen a;
    QImage gris = enGris(imagen);
    if (gris.isNull()) {
        a.enBlanco = true;
        return a;
    }
    if (!(a.codigos = codigosDe(gris)).isEmpty()) return a;
    // Solo en una hoja donde no se ha leído nada se mira qué hay, con los umbrales de esa hoja:
    // una impresión clara no es una hoja en blanco, ni un código desenfocado una hoja sin código.
    NivelesHoja niveles = nivelesHoja(gris);
    // Una tan clara que su tinta apenas se separa del papel se lee otra vez, estirada; y si su
    // tinta no llega al contraste de siempre, es la estirada la que se mira.
    if (niveles.papel - niveles.tinta < kContrasteEstirar) {
        if (const QImage estirada = tintaEstirada(gris); !estirada.isNull()) {
            if (!(a.codigos = codigosDe(estirada)).isEmpty()) return a;
            if (!niveles.hayTinta()) {
                gris = estirada;
                niveles = nivelesHoja(gris);
            }
        }
    }
    // La tabla de una hoja de plazas también: su código se ha arrancado, tapado o impreso tan
    // claro que no se ve, y no es una hoja de cursos ni de documentos.
    a.ilegible =
        niveles.hayTinta() && (hayPdf417(gris, niveles.umbral()) || hayZonaCodigo(gris, niveles) ||
                               hayTablaPlazas(gris, niveles));
    a.enBlanco = !a.ilegible && hojaEnBlanco(gris, niveles);
    return a;
}

AnalisisImagen analizarEscaneo(const QImage& imagen) {
    const QImage gris = enGris(imagen);
    const AnalisisImagen a = analizarImagen(gris);
    if (!a.codigos.isEmpty() || !a.ilegible) return a;
    const AnalisisImagen b = otrasLecturas(gris);
    return b.codigos.isEmpty() ? a : b;
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
        // Lo que sigue a la última página entera de un fichero cortado: no se sabe cuántas
        // páginas había, pero alguna de alguna solicitud puede faltar.
        if (f.cortado) {
            PaginaLeida pagina;
            pagina.origen = {f.ruta, f.paginas + 1};
            pagina.estado = EstadoPagina::Fallo;
            pagina.detalle = QStringLiteral(
                                 "el fichero está cortado o dañado desde esta página (la última "
                                 "que se lee entera es la %1)")
                                 .arg(f.paginas);
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
