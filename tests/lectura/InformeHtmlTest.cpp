#include "../apoyo/Ficheros.h"
#include "../apoyo/HuecoRasterizado.h"
#include "ImpresionSimulada.h"
#include "ImpresionesReales.h"
#include "lectura/ComprobacionLote.h"
#include "lectura/InformeHtml.h"
#include "lectura/MiniaturaPagina.h"
#include "printing/CodigoBarras.h"
#include "printing/LecturaCodigos.h"
#include "printing/SimboloPdf417.h"
#include "registro/EstadoRegistro.h"
#include "registro/Registro.h"

#include <gtest/gtest.h>
#include <QBuffer>
#include <QDir>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

namespace {

// Un código falsificado con un DNI que sería un script, y un fichero cuyo nombre sería una imagen
// con un script; los dos con comillas y "&". Si algo se ejecutara, cambiaría el título.
const QByteArray kDniFalso = "<script>document.title='x'</script>\"&1";
const QString kDniEscapado =
    QStringLiteral("&lt;script&gt;document.title=&#39;x&#39;&lt;/script&gt;&quot;&amp;1");
const QString kNombreFalso = QStringLiteral("<img src=x onerror=\"document.title='x'\"> & 'b'.png");
const QString kNombreEscapado = QStringLiteral(
    "&lt;img src=x onerror=&quot;document.title=&#39;x&#39;&quot;&gt; &amp; "
    "&#39;b&#39;.png");

// Una hoja A4 a 200 ppp con unas rayas de texto y el código de esos bytes en su hueco, pasado por
// un PDF como el papel.
QImage hojaConCodigo(const QByteArray& bytes, bool solicitante, const QString& carpeta) {
    const int ancho = TamanoCodigo::AnchoPagina;
    const int alto =
        (solicitante ? TamanoCodigo::AltoSolicitante : TamanoCodigo::AltoPagina) * 13 / 10;
    const QString bmp = carpeta + QStringLiteral("/c.bmp");
    QFile::remove(bmp);
    if (!escribirPdf417(bytes, ancho, alto, bmp)) return {};
    const QImage codigo = rasterHueco(carpeta, QImage(bmp), ancho, alto, 200);
    if (codigo.isNull()) return {};
    QImage hoja(1654, 2339, QImage::Format_RGB32);
    hoja.fill(Qt::white);
    QPainter pintor(&hoja);
    for (int y = 250; y < 900; y += 60) pintor.fillRect(200, y, 900 + y % 300, 14, Qt::black);
    pintor.drawImage(300, 1500, codigo);
    pintor.end();
    return hoja.convertToFormat(QImage::Format_Grayscale8);
}

// La hoja con su código emborronado: se ve una zona a media tinta, pero no se lee. `caja`, dónde
// estaba.
QImage emborronada(const QImage& hoja, QRect& caja) {
    const QVector<CodigoLeido> codigos = leerCodigosImagen(hoja);
    if (codigos.size() != 1) return {};
    caja = codigos[0].caja;
    QImage copia = hoja.convertToFormat(QImage::Format_RGB32);
    const QImage borron = copia.copy(caja)
                              .scaled(caja.width() / 12, caja.height() / 12, Qt::IgnoreAspectRatio,
                                      Qt::SmoothTransformation)
                              .scaled(caja.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    QPainter pintor(&copia);
    pintor.drawImage(caja.topLeft(), borron);
    pintor.end();
    return copia.convertToFormat(QImage::Format_Grayscale8);
}

// Un lote de hojas de verdad, leído y con su informe escrito, hecho una vez para las pruebas que
// lo miran: la impresión antigua entera (9 hojas), tres hojas de una solicitud falsificada a la
// que le falta la página 4 (su DNI, un script), una copia de la hoja 6 con el código emborronado,
// una hoja en blanco (en un fichero con nombre de imagen con script) y un PNG cortado.
struct LoteDePrueba {
    QTemporaryDir tmp;
    QVector<PaginaLeida> paginas;
    InformeLote lote;
    QString carpeta, html;
    QImage ilegible, blanca;
    QRect codigoIlegible;
    QString error;

    LoteDePrueba() {
        const auto w97 = impresionReal(VarianteGenerador::W97);
        if (!w97) {
            error = w97.mensaje();
            return;
        }
        const QVector<QImage> hojas = hojasDe(w97.valor().pdf, tmp.path());
        if (hojas.size() != 9) {
            error = QStringLiteral("la impresión antigua no da 9 hojas");
            return;
        }
        const QString entrada = tmp.filePath(QStringLiteral("escaneo"));
        QDir().mkpath(entrada);
        QStringList ficheros;
        auto guardar = [&](const QImage& imagen, const QString& nombre) {
            ficheros.append(entrada + QLatin1Char('/') + nombre);
            if (!imagen.save(ficheros.last(), "PNG"))
                error = QStringLiteral("no se puede guardar ") + nombre;
        };
        for (int i = 0; i < 9; ++i) guardar(hojas[i], QStringLiteral("antigua-%1.png").arg(i + 1));

        ImpresionSimulada falsa;
        falsa.dni = QStringLiteral("ZZZZZZZZZ");
        falsa.cuerpo = QStringLiteral("45");
        falsa.grupo = QStringLiteral("B");
        falsa.cursos = 1;
        falsa.documentos = 1;
        falsa.vacantes = 100;
        falsa.resultas = 0;
        const QVector<PaginaLeida> simuladas = falsa.paginas();
        for (const int numero : {1, 3, 5}) {
            const qsizetype i = indicePagina(simuladas, numero);
            if (i < 0) {
                error = QStringLiteral("la solicitud simulada no tiene la página %1").arg(numero);
                return;
            }
            const QByteArray bytes =
                QByteArray(simuladas[i].codigos[0]).replace("ZZZZZZZZZ", kDniFalso);
            const QImage hoja = hojaConCodigo(bytes, numero == 1, tmp.path());
            if (hoja.isNull()) error = QStringLiteral("no se puede hacer la hoja falsificada");
            guardar(hoja, QStringLiteral("falsa-%1.png").arg(numero));
        }
        ilegible = emborronada(hojas[5], codigoIlegible);
        if (ilegible.isNull()) error = QStringLiteral("no se encuentra el código de la hoja 6");
        guardar(ilegible, QStringLiteral("ilegible.png"));
        blanca = QImage(hojas[0].size(), QImage::Format_Grayscale8);
        blanca.fill(255);
        guardar(blanca, kNombreFalso);
        QByteArray png;
        QBuffer b(&png);
        b.open(QIODevice::WriteOnly);
        hojas[0].save(&b, "PNG");
        ficheros.append(entrada + QStringLiteral("/rota.png"));
        QFile rota(ficheros.last());
        if (!rota.open(QIODevice::WriteOnly) || rota.write(png.left(png.size() / 2)) < 0)
            error = QStringLiteral("no se puede escribir rota.png");
        rota.close();
        if (!error.isEmpty()) return;

        OpcionesLectura opciones;
        opciones.miniaturas = true;
        paginas = leerLote(ficheros, opciones);
        lote = comprobarLote(paginas);
        carpeta = tmp.filePath(QStringLiteral("resultados"));
        QDir().mkpath(carpeta);
        const auto escrito = escribirInforme(
            informeDeLote(paginas, lote, carpeta, QDateTime(QDate(2026, 12, 9), QTime(9, 30))),
            carpeta);
        if (!escrito)
            error = escrito.mensaje();
        else
            html = escrito.valor();
    }
};

const LoteDePrueba& loteDePrueba() {
    static LoteDePrueba lote;
    return lote;
}

// Lo que dicen los recuentos de arriba: "completas" -> 0...
QMap<QString, int> recuentos(const QString& html) {
    QMap<QString, int> r;
    static const QRegularExpression kRecuento(
        QStringLiteral("data-que=\"([^\"]*)\"><b>(\\d+)</b>"));
    for (auto it = kRecuento.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        r[m.captured(1)] = m.captured(2).toInt();
    }
    return r;
}

// "clase|dni|hora" de cada fila de solicitud, en orden.
QStringList filas(const QString& html) {
    QStringList r;
    static const QRegularExpression kFila(QStringLiteral(
        "<tr class=\"(solicitud|anterior) ([a-z-]+)\"><td class=\"dni\">([^<]*)</td><td>[^<]*"
        "</td><td>[^<]*</td><td>[^ <]* ([^<]*)</td>"));
    for (auto it = kFila.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        r.append(QStringList{m.captured(1), m.captured(2), m.captured(3), m.captured(4)}.join('|'));
    }
    return r;
}

// Diferencia media (0..255) entre la imagen del informe y la hoja reducida a su tamaño, sin
// contar el recuadro rojo.
double diferencia(const QImage& miniatura, const QImage& hoja) {
    const QImage reducida =
        hoja.convertToFormat(QImage::Format_Grayscale8)
            .scaled(miniatura.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const QImage color = miniatura.convertToFormat(QImage::Format_RGB32);
    double suma = 0;
    qint64 puntos = 0;
    for (int y = 0; y < color.height(); ++y)
        for (int x = 0; x < color.width(); ++x) {
            const QRgb c = color.pixel(x, y);
            if (qRed(c) - qGreen(c) > 80) continue;
            suma += std::abs(qGray(c) - reducida.constScanLine(y)[x]);
            ++puntos;
        }
    return puntos > 0 ? suma / double(puntos) : 255;
}

// El contorno de lo rojo de la imagen (el recuadro), vacío si no hay.
QRect rojo(const QImage& imagen) {
    QRect r;
    const QImage color = imagen.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < color.height(); ++y)
        for (int x = 0; x < color.width(); ++x) {
            const QRgb c = color.pixel(x, y);
            if (qRed(c) > 160 && qGreen(c) < 90 && qBlue(c) < 90) r |= QRect(x, y, 1, 1);
        }
    return r;
}

// El informe de un lote con una solicitud completa, una incompleta, una hoja ilegible, una en
// blanco y un fichero que no se lee: recuentos, filas y su orden, una imagen por hoja con la
// hoja que es (y el código ilegible recuadrado), y lo leído escapado.
TEST(InformeHtml, ElDeUnLoteMuestraCadaHojaQueVerYLoLeidoEscapado) {
    const LoteDePrueba& l = loteDePrueba();
    ASSERT_TRUE(l.error.isEmpty()) << l.error.toStdString();
    const QString html = QString::fromUtf8(leerBytes(l.html));
    ASSERT_FALSE(html.isEmpty());

    // Mientras haya una hoja ilegible, ninguna se da por completa: la antigua tiene problemas.
    const QMap<QString, int> esperados = {{"completas", 0},
                                          {"incompletas", 1},
                                          {"con problemas", 1},
                                          {"leídas", 15},
                                          {"ilegibles", 1},
                                          {"en blanco", 1},
                                          {"sin código (cursos y documentos)", 3},
                                          {"ficheros que no se leen", 1}};
    EXPECT_EQ(recuentos(html), esperados);
    EXPECT_EQ(filas(html), QStringList({"solicitud|incompleta|" + kDniEscapado + "|09:41:07",
                                        "solicitud|con-problemas|12345678Z|10:15:00"}));
    EXPECT_TRUE(html.contains("<th>Qué falta o está mal</th>"));
    EXPECT_TRUE(html.contains("falta la página 4 de Vacantes (plazas 41 a 80)</li>"));

    // Una imagen por hoja que ver, en el orden del lote; el fichero roto, sin ella.
    static const QRegularExpression kHoja(QStringLiteral(
        "<div class=\"hoja\">\n(?:<img src=\"informe/([^\"]+)\"[^>]*>|<p class=\"sin-imagen\">[^<]*"
        "</p>)\n<p class=\"que\">([^<]*)</p>\n<p class=\"donde\">([^<]*)</p>\n"
        "<p class=\"hacer\">([^<]*)</p>"));
    QStringList hojas;
    for (auto it = kHoja.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        hojas.append(QStringList{m.captured(1), m.captured(2), QFileInfo(m.captured(3)).fileName(),
                                 m.captured(4)}
                         .join('|'));
    }
    EXPECT_EQ(hojas,
              QStringList({"hoja-0001.jpg|código ilegible|ilegible.png, página 1|volver a escanear",
                           "hoja-0002.jpg|hoja en blanco|" + kNombreEscapado +
                               ", página 1|sobra (si debía llevar algo, volver a escanearla por "
                               "la otra cara)",
                           "|la página no se puede leer: la imagen está dañada o incompleta|"
                           "rota.png, página 1|volver a escanear"}));
    const QDir imagenes(l.carpeta + "/informe");
    ASSERT_EQ(imagenes.entryList(QDir::Files), QStringList({"hoja-0001.jpg", "hoja-0002.jpg"}));
    const QImage ilegible(imagenes.filePath("hoja-0001.jpg")),
        blanca(imagenes.filePath("hoja-0002.jpg"));
    for (const QString& f : imagenes.entryList(QDir::Files))
        EXPECT_LE(QFileInfo(imagenes.filePath(f)).size(), kBytesMiniatura) << f.toStdString();
    EXPECT_GE(ilegible.width(), 500);
    EXPECT_LE(ilegible.width(), 700);
    // Cada imagen es su hoja: se parece a ella reducida, y no a la otra.
    EXPECT_LT(diferencia(ilegible, l.ilegible), 8);
    EXPECT_LT(diferencia(blanca, l.blanca), 3);
    EXPECT_GT(diferencia(ilegible, l.blanca), 2 * diferencia(ilegible, l.ilegible));
    // El recuadro rodea el código emborronado, y no mucho más; la hoja en blanco no lleva.
    const double f = double(ilegible.width()) / l.ilegible.width();
    const QRect codigo(qRound(l.codigoIlegible.x() * f), qRound(l.codigoIlegible.y() * f),
                       qRound(l.codigoIlegible.width() * f), qRound(l.codigoIlegible.height() * f));
    const QRect recuadro = rojo(ilegible);
    EXPECT_TRUE(recuadro.contains(codigo.adjusted(2, 2, -2, -2)));
    EXPECT_LT(recuadro.width() * recuadro.height(), 2 * codigo.width() * codigo.height());
    EXPECT_TRUE(rojo(blanca).isEmpty());

    // Lo leído de un código o de un nombre de fichero, escapado: ni una marca de más.
    EXPECT_FALSE(html.contains("<script"));
    EXPECT_FALSE(html.contains(QString::fromLatin1(kDniFalso)));
    EXPECT_FALSE(html.contains(kNombreFalso));
    EXPECT_TRUE(html.contains("el DNI «" + kDniEscapado + "» de los datos del solicitante"));
    EXPECT_TRUE(html.contains(kNombreEscapado));
    EXPECT_EQ(html.count("<img"), 2);
    EXPECT_EQ(html.count("<tr"), 3);
}

// Chromium de verdad (sin GPU, sin red, con un perfil nuevo): abre el informe, lo pinta y lo
// imprime en A4; lo que construye tiene las filas y las hojas, y ningún script se ha ejecutado.
TEST(InformeHtml, ChromiumLoAbrePintaEImprimeSinEjecutarNada) {
    const LoteDePrueba& l = loteDePrueba();
    ASSERT_TRUE(l.error.isEmpty()) << l.error.toStdString();
    const QString chromium = QStandardPaths::findExecutable("chromium");
    ASSERT_FALSE(chromium.isEmpty())
        << "falta chromium: scripts/instalar-dependencias.sh lo instala";
    QTemporaryDir tmp;
    int perfil = 0;
    auto ejecutar = [&](const QString& que) {
        const QString datos = tmp.filePath(QStringLiteral("perfil-%1").arg(++perfil));
        QDir().mkpath(datos);
        QProcess p;
        p.start(chromium,
                {"--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                 "--disable-background-networking", "--disable-component-update", "--disable-sync",
                 "--user-data-dir=" + datos, "--window-size=1200,1600", que,
                 QUrl::fromLocalFile(l.html).toString()});
        const bool termina = p.waitForFinished(120000);
        if (!termina) p.kill(), p.waitForFinished(5000);
        EXPECT_TRUE(termina && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0)
            << que.toStdString() << ": " << p.readAllStandardError().toStdString();
        return QString::fromUtf8(p.readAllStandardOutput());
    };

    // Chromium vuelve a escribir el texto con solo "<", ">" y "&" escapados.
    auto comoChromium = [](QString t) { return t.replace("&#39;", "'").replace("&quot;", "\""); };
    const QString dom = ejecutar("--dump-dom");
    EXPECT_EQ(filas(dom),
              comoChromium(filas(QString::fromUtf8(leerBytes(l.html))).join('\n')).split('\n'));
    EXPECT_EQ(filas(dom).size(), 2);
    EXPECT_EQ(dom.count("<div class=\"hoja\">"), 3);
    EXPECT_TRUE(dom.contains(comoChromium(kDniEscapado)));
    EXPECT_TRUE(dom.contains(comoChromium(kNombreEscapado)));
    // Nada se ha ejecutado: ni hay scripts ni manejadores, y el título es el suyo.
    EXPECT_TRUE(dom.contains("<title>Informe de la lectura</title>"));
    EXPECT_TRUE(dom.contains("<th>Qué falta o está mal</th>"));
    EXPECT_FALSE(dom.contains("<script"));
    QStringList imagenes;
    for (auto it = QRegularExpression("<img ([a-z]+)=\"([^\"]*)\"").globalMatch(dom);
         it.hasNext();) {
        const auto m = it.next();
        imagenes.append(m.captured(1) + "=" + m.captured(2));
    }
    EXPECT_EQ(imagenes, QStringList({"src=informe/hoja-0001.jpg", "src=informe/hoja-0002.jpg"}));

    const QString png = tmp.filePath("informe.png"), pdf = tmp.filePath("informe.pdf");
    ejecutar("--screenshot=" + png);
    const QImage captura(png);
    ASSERT_EQ(captura.size(), QSize(1200, 1600));
    // Arriba, la fila de la solicitud incompleta en su rojo claro.
    bool rosa = false;
    for (int y = 0; y < captura.height() && !rosa; y += 2)
        for (int x = 0; x < captura.width() && !rosa; x += 2)
            if (const QRgb c = captura.pixel(x, y); qRed(c) > 245)
                rosa = std::abs(qGreen(c) - 0xd6) < 8 && std::abs(qBlue(c) - 0xd6) < 8;
    EXPECT_TRUE(rosa);

    ejecutar("--print-to-pdf=" + pdf);
    ASSERT_TRUE(leerBytes(pdf).startsWith("%PDF-"));
    QProcess info;
    info.start("pdfinfo", {pdf});
    ASSERT_TRUE(info.waitForFinished(30000));
    EXPECT_TRUE(QString::fromUtf8(info.readAllStandardOutput()).contains("(A4)"));
}

// Las hojas que sobran: una de otra impresión del mismo solicitante, una repetida y una ajena,
// cada una con lo que es, dónde está la buena y qué hacer; y su imagen.
TEST(InformeHtml, CadaHojaQueSobraDiceQueEsYQueHacer) {
    ImpresionSimulada vieja, nueva;
    vieja.hora = "09:00:00";
    vieja.fichero = "vieja.pdf";
    nueva.hora = "10:00:00";
    nueva.fichero = "nueva.pdf";
    QVector<PaginaLeida> paginas = nueva.paginas();
    PaginaLeida anterior = vieja.paginas()[0];
    PaginaLeida repetida = paginas[indicePagina(paginas, 5)];
    repetida.origen = {"otra.pdf", 1};
    PaginaLeida ajena;
    ajena.origen = {"ajena.png", 1};
    ajena.estado = EstadoPagina::ConCodigos;
    ajena.codigos = {"hola"};
    for (PaginaLeida* p : {&anterior, &repetida, &ajena}) {
        p->miniatura = p->origen.fichero.toUtf8();
        paginas.append(*p);
    }
    const QVector<HojaParaVer> hojas = hojasParaVer(paginas, comprobarLote(paginas), true);
    ASSERT_EQ(hojas.size(), 3);
    EXPECT_EQ(hojas[0].que,
              "página 1 de otra impresión de 12345678Z (cuerpo 00123, grupo A), la del "
              "07/12/2026 a las 09:00:00; la última es la del 07/12/2026 a las 10:00:00");
    EXPECT_EQ(hojas[0].hacer, "sobra: vale la última impresión");
    EXPECT_EQ(hojas[1].que,
              "repetida: la página 5 de 12345678Z (cuerpo 00123, grupo A) ya está en "
              "el fichero nueva.pdf, página 5");
    EXPECT_EQ(hojas[1].hacer, "sobra");
    EXPECT_TRUE(hojas[2].que.startsWith("hoja ajena: su código no es el de una solicitud ("));
    EXPECT_EQ(hojas[2].hacer, "sobra");
    for (const HojaParaVer& h : hojas) EXPECT_EQ(h.imagen, h.origen.fichero.toUtf8());
    // En el registro una reimpresión es lo normal: su hoja no sobra.
    EXPECT_EQ(
        hojasParaVer(paginas, comprobarLote(paginas, Reimpresiones::SeCompruebanAparte), false)
            .size(),
        2);
}

// El registro tras una semana de lotes: cada solicitante una vez, con su última impresión delante
// y las anteriores plegadas debajo, de la más reciente a la más antigua. El registro no guarda
// imágenes: la hoja dice dónde está.
TEST(InformeHtml, ElDelRegistroTrasUnaSemanaDaCadaSolicitanteUnaVez) {
    QTemporaryDir tmp;
    const QString destino = tmp.filePath("oficina.sqlite");
    auto anotar = [&](QVector<PaginaLeida> paginas, const QString& fichero, const QDate& dia) {
        for (qsizetype i = 0; i < paginas.size(); ++i) paginas[i].origen = {fichero, int(i + 1)};
        auto r = Registro::abrir(destino);
        ASSERT_TRUE(r.ok()) << r.mensaje().toStdString();
        ASSERT_TRUE(r.valor()->anotar(paginas, {}, QDateTime(dia, QTime(18, 0))).ok());
    };
    auto impresion = [](const QString& dni, const QString& fecha, const QString& hora) {
        ImpresionSimulada s;
        s.dni = dni;
        s.fecha = fecha;
        s.hora = hora;
        return s.paginas();
    };
    QVector<PaginaLeida> lunes = impresion("12345678Z", "07/12/2026", "09:00:00");
    lunes.removeAt(indicePagina(lunes, 6));
    lunes += impresion("87654321X", "07/12/2026", "12:00:00");
    ASSERT_NO_FATAL_FAILURE(anotar(lunes, "lunes.pdf", QDate(2026, 12, 7)));
    ASSERT_NO_FATAL_FAILURE(
        anotar(impresion("12345678Z", "08/12/2026", "10:30:00"), "martes.pdf", QDate(2026, 12, 8)));
    PaginaLeida blanca, ilegible, rota;
    blanca.estado = EstadoPagina::EnBlanco;
    ilegible.estado = EstadoPagina::Ilegible;
    rota.estado = EstadoPagina::Fallo;
    rota.detalle = "la página no se puede pasar a imagen";
    ASSERT_NO_FATAL_FAILURE(anotar({blanca, ilegible, rota}, "miercoles.pdf", QDate(2026, 12, 9)));
    ASSERT_NO_FATAL_FAILURE(anotar(impresion("12345678Z", "10/12/2026", "11:45:00") +
                                       impresion("11111111H", "10/12/2026", "08:15:00"),
                                   "jueves.pdf", QDate(2026, 12, 10)));
    QVector<PaginaLeida> viernes = impresion("87654321X", "11/12/2026", "13:00:00");
    viernes.removeAt(indicePagina(viernes, 6));
    ASSERT_NO_FATAL_FAILURE(anotar(viernes, "viernes.pdf", QDate(2026, 12, 11)));

    // Como «estado»: mientras el registro tenga la hoja ilegible y la que no se abre sin
    // resolver, ninguna solicitud sale completa (cualquiera de las dos podría ser suya).
    const auto informeDelRegistro = [&] {
        auto r = Registro::abrir(destino, Registro::Apertura::SoloLectura);
        EXPECT_TRUE(r.ok());
        const auto contenido = r.valor()->contenido();
        EXPECT_TRUE(contenido.ok());
        const InformeRegistro estado = comprobarRegistro(contenido.valor());
        return informeDeRegistro(contenido.valor().paginas, estado.lote, estado.ultimas,
                                 "oficina.sqlite", QDateTime(QDate(2026, 12, 11), QTime(19, 0)));
    };
    const InformeHtml sinResolver = informeDelRegistro();
    const QString antes = QString::fromUtf8(sinResolver.html);
    EXPECT_EQ(filas(antes), QStringList({"solicitud|incompleta|87654321X|13:00:00",
                                         "anterior|con-problemas|87654321X|12:00:00",
                                         "solicitud|con-problemas|11111111H|08:15:00",
                                         "solicitud|con-problemas|12345678Z|11:45:00",
                                         "anterior|con-problemas|12345678Z|10:30:00",
                                         "anterior|incompleta|12345678Z|09:00:00"}));
    EXPECT_EQ(recuentos(antes)["completas"], 0);
    EXPECT_TRUE(sinResolver.imagenes.isEmpty());
    EXPECT_FALSE(antes.contains("<img"));
    EXPECT_TRUE(
        antes.contains("La imagen no está en el registro: la hoja es la página 2 del "
                       "fichero miercoles.pdf.</p>\n<p class=\"que\">código ilegible</p>"));
    // La que no se ha podido abrir no tendría imagen en ningún sitio.
    EXPECT_TRUE(
        antes.contains("Sin imagen: el fichero no se ha podido leer.</p>\n<p "
                       "class=\"que\">la página no se puede leer: la página no se puede "
                       "pasar a imagen</p>"));

    // El operador descarta las dos: las que tienen todas sus páginas ya están completas.
    {
        auto r = Registro::abrir(destino);
        ASSERT_TRUE(r.ok()) << r.mensaje().toStdString();
        for (const int pagina : {2, 3})
            ASSERT_TRUE(r.valor()
                            ->resolver("miercoles.pdf", pagina, {}, {},
                                       QDateTime(QDate(2026, 12, 11), QTime(18, 30)), "puesto 1")
                            .ok());
    }
    const InformeHtml informe = informeDelRegistro();
    const QString html = QString::fromUtf8(informe.html);
    // La última impresión de 87654321X está incompleta: va delante de los demás.
    EXPECT_EQ(
        filas(html),
        QStringList(
            {"solicitud|incompleta|87654321X|13:00:00", "anterior|completa|87654321X|12:00:00",
             "solicitud|completa|11111111H|08:15:00", "solicitud|completa|12345678Z|11:45:00",
             "anterior|completa|12345678Z|10:30:00", "anterior|incompleta|12345678Z|09:00:00"}));
    EXPECT_EQ(html.count("<details>"), 2);
    EXPECT_TRUE(html.contains("<summary>2 impresiones anteriores de este solicitante</summary>"));
    const QMap<QString, int> cuantos = recuentos(html);
    EXPECT_EQ(cuantos["completas"], 2);
    EXPECT_EQ(cuantos["incompletas"], 1);
    EXPECT_FALSE(html.contains("código ilegible"));
    // Lo que falta, solo de la última impresión de cada uno.
    EXPECT_FALSE(html.contains("<li><b>12345678Z (cuerpo 00123, grupo A)</b>, impresa el"));
    EXPECT_TRUE(
        html.contains("<li><b>87654321X (cuerpo 00123, grupo A)</b>, impresa el "
                      "11/12/2026 a las 13:00:00: falta la página 6 de Vacantes "
                      "(plazas 41 a 71)</li>"));
}

}  // namespace
