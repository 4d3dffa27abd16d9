// movilant-barrido-pdf417: mide, para cada diseño PDF417 legible de los textos típicos de una
// impresión, cuántas veces se lee tras un escaneo de oficina simulado. Con estas cifras se eligió
// la regla de disenarPdf417; la prueba EscaneoDanado comprueba luego la regla en el PDF de verdad.
#include "apoyo/EscaneoSimulado.h"
#include "apoyo/HuecoRasterizado.h"
#include "lectura/LecturaPaginas.h"
#include "printing/CodigoBarras.h"
#include "printing/DatosCodigos.h"
#include "printing/LecturaCodigos.h"
#include "printing/SimboloPdf417.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTemporaryDir>
#include <cstdio>

namespace {

struct Clase {
    QString nombre;
    QStringList textos;  // varios textos de la misma clase: no se mide un solo ráster
    int altoTwips;
};

QVector<Clase> clases(const QStringList& pedidas, int porClase) {
    const QString p = DatosCodigos::prefijo();
    QVector<Clase> todas;
    for (const QString& c : pedidas) {
        if (c == QLatin1String("solicitante")) {
            // Hay un solo texto de solicitante: va varias veces, cada una en otro sitio del papel
            // (los módulos caen de otra forma en los píxeles del ráster).
            const QString t = textoCodigoSolicitante(p, DatosCodigos::cargaSolicitante());
            todas.append({c, QStringList(porClase, t), TamanoCodigo::AltoSolicitante * 13 / 10});
            continue;
        }
        // "40h": páginas de 40 con uno de cada tres códigos corto (relleno con blancos), que cortan
        // la compactación numérica y dan más palabras.
        const bool huecos = c.endsWith(QLatin1Char('h'));
        const int n = huecos ? c.chopped(1).toInt() : c.toInt();
        if (n <= 0) continue;
        Clase k{QStringLiteral("página de %1%2").arg(n).arg(huecos ? " con huecos" : ""),
                {},
                TamanoCodigo::AltoPagina * 13 / 10};
        // Páginas distintas del mismo tamaño.
        for (int i = 0; i < porClase; ++i)
            k.textos.append(
                textoCodigoPagina(p, i == 1 ? "R" : "V", 5 + i,
                                  DatosCodigos::entradas(1 + 40 * i, n + 40 * i, huecos)));
        todas.append(k);
    }
    return todas;
}

struct Cuenta {
    int leidos = 0, intentos = 0;
    int leidosLector = 0;    // los que lee movilant-lector (en espejo y más grande si hace falta)
    QVector<int> porRaster;  // leídos de cada ráster limpio
};

Cuenta medir(const QVector<QPair<QImage, QByteArray>>& limpias, const DanoEscaneo& dano,
             int semillas, quint32 base) {
    Cuenta c;
    c.porRaster.fill(0, limpias.size());
    for (int s = 0; s < semillas; ++s)
        for (qsizetype i = 0; i < limpias.size(); ++i) {
            ++c.intentos;
            const QImage escaneada =
                simularEscaneo(limpias[i].first, dano, base + quint32(s * 100 + i));
            bool leido = false;
            for (const CodigoLeido& l : leerCodigosImagen(escaneada))
                if (l.bytes == limpias[i].second) {
                    ++c.leidos;
                    ++c.porRaster[i];
                    leido = true;
                    break;
                }
            if (!leido)
                for (const QByteArray& b : analizarEscaneo(escaneada).codigos)
                    leido |= b == limpias[i].second;
            c.leidosLector += leido;
        }
    return c;
}

// Diseños que no pierden frente a otro del mismo nivel en módulo y en alto de fila a la vez: los
// demás no pueden leerse mejor y no hace falta medirlos.
QVector<DisenoPdf417> frente(const QVector<DisenoPdf417>& disenos) {
    QVector<DisenoPdf417> quedan;
    for (const DisenoPdf417& d : disenos) {
        bool pierde = false;
        for (const DisenoPdf417& e : disenos)
            pierde |= e.nivel == d.nivel && e.moduloMm >= d.moduloMm &&
                      e.moduloMm * e.altoFila >= d.moduloMm * d.altoFila &&
                      (e.moduloMm > d.moduloMm || e.altoFila > d.altoFila);
        if (!pierde) quedan.append(d);
    }
    return quedan;
}

// El diseño que se imprimía antes de la regla: el nivel que se recomendaba entonces por las
// palabras de datos, filas de 3 módulos y las columnas que dan el módulo más ancho.
const DisenoPdf417* disenoDeAntes(const QVector<DisenoPdf417>& disenos) {
    const DisenoPdf417* antes = nullptr;
    if (disenos.isEmpty()) return antes;
    const int nivel = nivelRecomendadoPdf417(disenos.first().palabrasDatos);
    for (const DisenoPdf417& d : disenos)
        if (d.nivel == nivel && d.altoFila == LimitesPdf417::AltoFilaMinimo &&
            (!antes || d.moduloMm > antes->moduloMm))
            antes = &d;
    return antes;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCommandLineParser opciones;
    opciones.setApplicationDescription(QStringLiteral(
        "Lee cada diseño PDF417 legible de los textos de una impresión tras escaneos simulados "
        "y escribe, por clase de texto, si se lee limpio a 150 ppp y, por daño, cuántas veces se "
        "leyó (y cuántas con movilant-lector); '*' marca el diseño que elige la regla."));
    opciones.addHelpOption();
    const QCommandLineOption semillas(QStringLiteral("semillas"), "Escaneos por texto.", "N", "30");
    const QCommandLineOption ppp(QStringLiteral("ppp"), "Resolución del escaneo.", "PPP", "200");
    const QCommandLineOption danos(QStringLiteral("danos"),
                                   "Daños a medir, giro:sigma separados por comas (giro "
                                   "negativo: en contra de las agujas del reloj).",
                                   "LISTA", "1.5:0.8,-1.5:0.8,3:1.2");
    const QCommandLineOption ruido(QStringLiteral("ruido"), "Ruido (niveles).", "R",
                                   QString::number(DanoEscaneo{}.ruido));
    const QCommandLineOption jpeg(QStringLiteral("jpeg"), "Calidad JPEG (0: sin).", "Q", "60");
    const QCommandLineOption clasesOpcion(
        QStringLiteral("clases"),
        "Clases: 'solicitante' y números de plazas por página (con 'h', con códigos cortos).",
        "LISTA", "solicitante,1,20,31,40,40h");
    const QCommandLineOption soloRegla(QStringLiteral("regla"), "Solo el diseño de la regla.");
    const QCommandLineOption todos(QStringLiteral("todos"),
                                   "También los diseños que pierden en módulo y en alto de fila.");
    const QCommandLineOption textos(QStringLiteral("textos"),
                                    "Rásteres por clase (textos distintos o sitios del papel).",
                                    "N", "3");
    const QCommandLineOption detalle(QStringLiteral("detalle"),
                                     "Lo leído de cada ráster limpio por separado.");
    const QCommandLineOption solo(
        QStringLiteral("diseno"),
        "Solo el diseño nivel:columnas:altoFila (por ejemplo 4:12:3, el de antes de la regla).",
        "N:C:A");
    const QCommandLineOption deAntes(
        QStringLiteral("antes"),
        "Solo el diseño de antes de la regla: nivel recomendado, filas de 3 módulos y el módulo "
        "más ancho.");
    opciones.addOptions({semillas, ppp, danos, ruido, jpeg, clasesOpcion, soloRegla, todos, textos,
                         detalle, solo, deAntes});
    opciones.process(app);

    QVector<DanoEscaneo> medidos;
    for (const QString& d : opciones.value(danos).split(QLatin1Char(','))) {
        DanoEscaneo dano;
        dano.grados = d.section(QLatin1Char(':'), 0, 0).toDouble();
        dano.sigma = d.section(QLatin1Char(':'), 1, 1).toDouble();
        dano.ruido = opciones.value(ruido).toDouble();
        dano.calidadJpeg = opciones.value(jpeg).toInt();
        medidos.append(dano);
    }
    const int n = opciones.value(semillas).toInt();
    const int resolucion = opciones.value(ppp).toInt();
    QTemporaryDir carpeta;

    std::printf("# ruido %.1f, JPEG %d, %d ppp, %d escaneos por texto\n", medidos[0].ruido,
                medidos[0].calidadJpeg, resolucion, n);
    std::printf("# clase\tnivel\tcolumnas\tfilas\taltoFila\tmódulo mm\tfila mm\tlimpio 150 ppp");
    for (const DanoEscaneo& d : medidos) std::printf("\t%.2f° %.2f", d.grados, d.sigma);
    std::printf("\n");
    for (const Clase& k : clases(opciones.value(clasesOpcion).split(QLatin1Char(',')),
                                 opciones.value(textos).toInt())) {
        const QByteArray primero = bytesCodigo(k.textos.first());
        const auto disenos = disenosPdf417(primero, TamanoCodigo::AnchoSolicitante, k.altoTwips);
        const auto regla = disenarPdf417(primero, TamanoCodigo::AnchoSolicitante, k.altoTwips);
        if (!disenos || !regla) {
            std::fprintf(stderr, "%s: %s\n", qPrintable(k.nombre), qPrintable(disenos.mensaje()));
            return 1;
        }
        const DisenoPdf417& r = regla.valor();
        const DisenoPdf417* antes = disenoDeAntes(disenos.valor());
        for (const DisenoPdf417& d : opciones.isSet(todos) || opciones.isSet(solo) ||
                                             opciones.isSet(deAntes) || opciones.isSet(soloRegla)
                                         ? disenos.valor()
                                         : frente(disenos.valor())) {
            const bool elegido = d.nivel == r.nivel && d.columnas == r.columnas &&
                                 d.altoFila == r.altoFila && d.moduloMm == r.moduloMm;
            if (opciones.isSet(soloRegla) && !elegido) continue;
            if (opciones.isSet(deAntes) && &d != antes) continue;
            if (opciones.isSet(solo) &&
                opciones.value(solo) !=
                    QStringLiteral("%1:%2:%3").arg(d.nivel).arg(d.columnas).arg(d.altoFila))
                continue;
            // Cada texto con su diseño del mismo nivel y columnas y el alto de fila más parecido
            // (sus filas pueden ser otras).
            QVector<QPair<QImage, QByteArray>> limpias;
            int limpios150 = 0;
            for (const QString& t : k.textos) {
                const QByteArray bytes = bytesCodigo(t);
                const auto suyos =
                    disenosPdf417(bytes, TamanoCodigo::AnchoSolicitante, k.altoTwips);
                if (!suyos) continue;
                const DisenoPdf417* igual = nullptr;
                for (const DisenoPdf417& e : suyos.valor())
                    if (e.nivel == d.nivel && e.columnas == d.columnas &&
                        (!igual || std::abs(e.altoFila - d.altoFila) <
                                       std::abs(igual->altoFila - d.altoFila)))
                        igual = &e;
                const QString bmp = carpeta.filePath(QStringLiteral("c.bmp"));
                QFile::remove(bmp);  // el código nunca se escribe encima de otro fichero
                if (!igual || !escribirPdf417(bytes, *igual, bmp)) continue;
                const double fase = double(limpias.size()) / k.textos.size();
                // El papel limpio tiene que leerse también a 150 ppp.
                for (const CodigoLeido& l : leerCodigosImagen(
                         rasterHueco(carpeta.path(), QImage(bmp), TamanoCodigo::AnchoSolicitante,
                                     k.altoTwips, 150, fase)))
                    limpios150 += l.bytes == bytes;
                limpias.append(
                    {rasterHueco(carpeta.path(), QImage(bmp), TamanoCodigo::AnchoSolicitante,
                                 k.altoTwips, resolucion, fase),
                     bytes});
            }
            std::printf("%s%s\t%d\t%d\t%d\t%d\t%.3f\t%.2f\t%d/%d", elegido ? "*" : "",
                        qPrintable(k.nombre), d.nivel, d.columnas, d.filas, d.altoFila, d.moduloMm,
                        d.moduloMm * d.altoFila, limpios150, int(limpias.size()));
            for (const DanoEscaneo& dano : medidos) {
                const Cuenta c = medir(limpias, dano, n, 1);
                std::printf("\t%d/%d (lector %d)", c.leidos, c.intentos, c.leidosLector);
                if (opciones.isSet(detalle)) {
                    QStringList partes;
                    for (int l : c.porRaster) partes.append(QString::number(l));
                    std::printf(" (%s)", qPrintable(partes.join(QLatin1Char('+'))));
                }
            }
            std::printf("\n");
            std::fflush(stdout);
        }
    }
    return 0;
}
