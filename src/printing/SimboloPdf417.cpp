#include "printing/SimboloPdf417.h"

#include "platform/FicheroAparte.h"

#include <zint.h>
#include <QBuffer>
#include <QFile>
#include <QImage>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>

namespace {

constexpr double kTwipsPorMm = 1440.0 / 25.4;
constexpr int kMaxColumnas = 30;
// Un símbolo PDF417 mide 17 módulos por columna de datos más arranque, parada e indicadores.
constexpr int kModulosFijos = 69;
// Por encima de 300 ppp la exportación a PDF puede remuestrear la imagen; no hace falta más.
constexpr double kPppMaximo = 300.0;
// Niveles de corrección por encima del recomendado que se prueban.
constexpr int kNivelesDeMas = 2;
// La regla de disenarPdf417 (allí, por qué).
constexpr double kModuloHolgadoMm = 0.30;
constexpr int kAltoFilaHolgado = 5;
constexpr double kModuloCedido = 0.95;
constexpr double kModuloCedidoMinimoMm = 0.29;
constexpr double kHolguraAlineado = 0.08;

struct BorrarSimbolo {
    void operator()(zint_symbol* s) const { ZBarcode_Delete(s); }
};
using Simbolo = std::unique_ptr<zint_symbol, BorrarSimbolo>;

Simbolo nuevoSimbolo(int nivel, int columnas) {
    Simbolo s(ZBarcode_Create());
    if (!s) return s;
    s->symbology = BARCODE_PDF417;
    // Datos en bruto, sin ECI: el lector devuelve exactamente estos bytes Windows-1252.
    s->input_mode = DATA_MODE;
    s->eci = 0;
    s->option_1 = nivel;
    s->option_2 = columnas;
    s->show_hrt = 0;
    std::strcpy(s->fgcolour, "000000");
    std::strcpy(s->bgcolour, "FFFFFF");
    return s;
}

// Filas que salen con ese nivel y columnas; 0 si no cabe. Zint añade columnas por su cuenta
// cuando no caben en 90 filas: `columnas` vuelve con las que de verdad ha usado.
int filasCon(const QByteArray& datos, int nivel, int& columnas, QString* error = nullptr) {
    Simbolo s = nuevoSimbolo(nivel, columnas);
    if (!s) return 0;
    const int r = ZBarcode_Encode(
        s.get(), reinterpret_cast<const unsigned char*>(datos.constData()), int(datos.size()));
    if (r >= ZINT_ERROR) {
        if (error) *error = QString::fromLatin1(s->errtxt);
        return 0;
    }
    columnas = (s->width - kModulosFijos) / 17;
    return s->rows;
}

}  // namespace

int nivelRecomendadoPdf417(int palabrasDatos) {
    if (palabrasDatos <= 40) return 2;
    if (palabrasDatos <= 160) return 3;
    if (palabrasDatos <= 320) return 4;
    if (palabrasDatos <= 863) return 5;
    return 6;
}

namespace {

// Cota de las palabras de datos: con el nivel 0 (dos palabras de corrección) filas × columnas − 2
// acota por arriba las palabras de datos; el mínimo sobre todas las columnas es casi exacto.
int palabrasDeDatos(const QByteArray& datos, QString& error) {
    int palabras = 0;
    for (int pedidas = 1; pedidas <= kMaxColumnas; ++pedidas) {
        int c = pedidas;
        const int filas = filasCon(datos, 0, c, &error);
        if (filas > 0 && (palabras == 0 || filas * c - 2 < palabras)) palabras = filas * c - 2;
    }
    return palabras;
}

// El símbolo de ese nivel, columnas y filas con el módulo más grande con el que caben en el hueco
// filas de `altoFilaMinimo` módulos y las zonas de silencio mínimas. Luego el hueco se llena: las
// filas crecen hasta donde quepan y lo que sobra es zona de silencio, repartida por igual para que
// el bitmap tenga la proporción del hueco.
DisenoPdf417 llenarHueco(int nivel, int columnas, int filas, int altoFilaMinimo, int anchoTwips,
                         int altoTwips) {
    using namespace LimitesPdf417;
    DisenoPdf417 d;
    d.nivel = nivel;
    d.columnas = columnas;
    d.filas = filas;
    d.anchoSimbolo = kModulosFijos + 17 * columnas;
    const double modulo =
        std::min(double(anchoTwips) / (d.anchoSimbolo + 2 * SilencioMinimo),
                 double(altoTwips) / (altoFilaMinimo * filas + 2 * SilencioMinimo));
    d.moduloMm = modulo / kTwipsPorMm;
    const double anchoModulos = anchoTwips / modulo;
    const double altoModulos = altoTwips / modulo;
    d.altoFila =
        std::max(altoFilaMinimo, int(std::floor((altoModulos - 2 * SilencioMinimo) / filas)));
    d.silencioHorizontal =
        std::max(SilencioMinimo, int(std::lround((anchoModulos - d.anchoSimbolo) / 2)));
    d.silencioVertical =
        std::max(SilencioMinimo, int(std::lround((altoModulos - d.altoFila * filas) / 2)));
    d.pixelesModulo = std::max(2, int(std::floor(d.moduloMm * kPppMaximo / 25.4)));
    d.anchoPixeles = (d.anchoSimbolo + 2 * d.silencioHorizontal) * d.pixelesModulo;
    d.altoPixeles = (d.altoFila * filas + 2 * d.silencioVertical) * d.pixelesModulo;
    return d;
}

// Un módulo de casi un número entero de píxeles de un ráster de 150 ppp cae igual sobre los píxeles
// a lo largo de toda la fila: si cae a caballo de dos, todos sus bordes quedan grises a la vez y el
// código limpio ya no se lee. Así les pasaba a las páginas de 34 a 36 plazas con módulo de 0,340 mm
// (2,008 píxeles) y a alguna de 31 con 0,350 mm (2,067).
bool moduloAlineado(double moduloMm) {
    const double pixeles = moduloMm * 150.0 / 25.4;
    return std::abs(pixeles - std::round(pixeles)) < kHolguraAlineado;
}

}  // namespace

ResultadoDe<QVector<DisenoPdf417>> disenosPdf417(const QByteArray& datos, int anchoTwips,
                                                 int altoTwips) {
    using namespace LimitesPdf417;
    if (datos.isEmpty())
        return Resultado::fallo(QStringLiteral("El texto del código de barras está vacío."),
                                Errores::ArgumentoIncorrecto);
    if (anchoTwips <= 0 || altoTwips <= 0)
        return Resultado::fallo(QStringLiteral("El tamaño del código de barras no es válido."),
                                Errores::ArgumentoIncorrecto);
    QString error;
    const int palabras = palabrasDeDatos(datos, error);
    if (palabras == 0)
        return Resultado::fallo(
            QStringLiteral("No se puede generar el código de barras: %1").arg(error),
            Errores::ArgumentoIncorrecto);

    QVector<DisenoPdf417> disenos;
    const int recomendado = nivelRecomendadoPdf417(palabras);
    for (int nivel = recomendado; nivel <= std::min(8, recomendado + kNivelesDeMas); ++nivel) {
        int ultimas = 0;
        for (int pedidas = 1; pedidas <= kMaxColumnas; ++pedidas) {
            int c = pedidas;
            const int filas = filasCon(datos, nivel, c);
            // Zint pone más columnas cuando no caben en 90 filas: esas ya se han probado.
            if (filas == 0 || c <= ultimas) continue;
            ultimas = c;
            for (int altoMinimo = AltoFilaMinimo;; ++altoMinimo) {
                DisenoPdf417 d = llenarHueco(nivel, c, filas, altoMinimo, anchoTwips, altoTwips);
                if (d.moduloMm < ModuloMinimoMm) break;
                d.palabrasDatos = palabras;
                // Con filas más altas pedidas el módulo solo cambia si manda el alto.
                if (disenos.isEmpty() || disenos.last().nivel != nivel ||
                    disenos.last().columnas != c || disenos.last().altoFila != d.altoFila)
                    disenos.append(d);
            }
        }
    }
    if (disenos.isEmpty())
        return Resultado::fallo(
            QStringLiteral("El texto del código de barras es demasiado largo (%1 caracteres) para "
                           "imprimirse de forma legible en su hueco.")
                .arg(datos.size()),
            Errores::ValorFueraDeRango);
    return disenos;
}

// Regla medida con movilant-barrido-pdf417: cada diseño legible de los textos de una impresión
// (solicitante, páginas de 1 a 40 plazas, con códigos cortos o sin ellos) en su hueco, pasado por
// el PDF y pdftoppm a 200 ppp, escaneado con giro, desenfoque, ruido, umbral y JPEG, y leído con
// zxing-cpp. Lo que se vio, en el orden en que pesa:
// 0. Fuera los módulos de casi un número entero de píxeles a 150 ppp (moduloAlineado).
// 1. El módulo, de 0,30 mm o más si se puede. Por debajo (2,3 píxeles a 200 ppp) un desenfoque de
//    un píxel cierra los espacios de un módulo y la lectura se hunde de golpe, y a 150 ppp un
//    código limpio de 0,292 mm ya no siempre se lee; por encima, un módulo más ancho ya casi no
//    añade nada.
// 2. Las filas, tan altas como se pueda hasta 5 módulos. El giro es lo que más códigos pierde: con
//    filas de 3 módulos un giro de 3° no se lee nunca y con 5 casi siempre. Más de 5 solo quita
//    ancho al módulo: con filas de 7 una página de 40 plazas, limpia a 150 ppp, ya no se lee.
// 3. La corrección, el nivel más alto que cueste menos de un 5 % del módulo (sin bajar de
//    0,29 mm). En el código del solicitante (unas 600 palabras) un nivel más lee de 87 a 98 de
//    cada 100 escaneos perdiendo un 3 % de módulo.
// 4. El módulo más ancho.
// Así el código de una página de 40 plazas pasa de filas de 3 módulos de 0,41 mm a filas de 5 de
// 0,32 mm, y el del solicitante del nivel 5 al 6 con filas de 4 módulos.
// Lo que no depende del diseño: zxing-cpp pierde entre el 0 y el 6 % de los escaneos girados
// 1,5° a favor de las agujas del reloj, según el tamaño de la página y sin que ningún diseño lo
// evite de forma fiable, y casi ninguno girados al revés. Es cosa del lector, no del símbolo: se
// le pierde el indicador de fila izquierdo desde la esquina de arriba (lectura/LecturaPaginas.cpp
// cuenta cómo), y el ZXing original de Java también los pierde. Por eso movilant-lector prueba en
// espejo lo que no lee.
ResultadoDe<DisenoPdf417> disenarPdf417(const QByteArray& datos, int anchoTwips, int altoTwips) {
    const ResultadoDe<QVector<DisenoPdf417>> todos = disenosPdf417(datos, anchoTwips, altoTwips);
    if (!todos) return todos.estado();
    // Los módulos de casi un número entero de píxeles a 150 ppp, solo si no hay otros.
    QVector<DisenoPdf417> disenos;
    for (const DisenoPdf417& d : todos.valor())
        if (!moduloAlineado(d.moduloMm)) disenos.append(d);
    if (disenos.isEmpty()) disenos = todos.valor();

    double mayorModulo = 0;
    for (const DisenoPdf417& d : disenos) mayorModulo = std::max(mayorModulo, d.moduloMm);
    const double suelo = std::min(kModuloHolgadoMm, mayorModulo);
    auto filas = [](const DisenoPdf417& d) { return std::min(d.altoFila, kAltoFilaHolgado); };
    int mejoresFilas = 0;
    for (const DisenoPdf417& d : disenos)
        if (d.moduloMm >= suelo) mejoresFilas = std::max(mejoresFilas, filas(d));
    auto cabe = [&](const DisenoPdf417& d) {
        return d.moduloMm >= suelo && filas(d) == mejoresFilas;
    };
    double moduloFilas = 0;
    for (const DisenoPdf417& d : disenos)
        if (cabe(d)) moduloFilas = std::max(moduloFilas, d.moduloMm);
    const DisenoPdf417* mejor = nullptr;
    for (const DisenoPdf417& d : disenos) {
        if (filas(d) != mejoresFilas || d.moduloMm < kModuloCedido * moduloFilas ||
            d.moduloMm < std::min(kModuloCedidoMinimoMm, suelo))
            continue;
        if (!mejor || d.nivel > mejor->nivel ||
            (d.nivel == mejor->nivel && d.moduloMm > mejor->moduloMm))
            mejor = &d;
    }
    return *mejor;
}

Resultado escribirPdf417(const QByteArray& datos, int anchoTwips, int altoTwips,
                         const QString& rutaBmp) {
    const ResultadoDe<DisenoPdf417> diseno = disenarPdf417(datos, anchoTwips, altoTwips);
    if (!diseno) return diseno.estado();
    return escribirPdf417(datos, diseno.valor(), rutaBmp);
}

Resultado escribirPdf417(const QByteArray& datos, const DisenoPdf417& d, const QString& rutaBmp) {
    Simbolo s = nuevoSimbolo(d.nivel, d.columnas);
    if (!s)
        return Resultado::fallo(
            QStringLiteral("No se puede crear el fichero del código de barras \"%1\".")
                .arg(rutaBmp),
            Errores::NombreFicheroIncorrecto);
    s->height = float(d.altoFila * d.filas);
    s->whitespace_width = d.silencioHorizontal;
    s->whitespace_height = d.silencioVertical;
    // Zint pinta 2 píxeles por módulo con escala 1.
    s->scale = float(d.pixelesModulo) / 2.0f;
    // Zint pinta en memoria y el fichero lo escribe el programa, en exclusiva: Zint lo abriría
    // siguiendo un enlace y vaciando lo apuntado.
    const int r = ZBarcode_Encode_and_Buffer(
        s.get(), reinterpret_cast<const unsigned char*>(datos.constData()), int(datos.size()), 0);
    if (r >= ZINT_ERROR || !s->bitmap)
        return Resultado::fallo(QStringLiteral("No se ha podido escribir el código de barras en "
                                               "\"%1\": %2")
                                    .arg(rutaBmp, QString::fromLatin1(s->errtxt)),
                                Errores::ErrorEntradaSalida);
    const QImage color(s->bitmap, s->bitmap_width, s->bitmap_height, 3 * s->bitmap_width,
                       QImage::Format_RGB888);
    QByteArray bmp;
    QBuffer salida(&bmp);
    salida.open(QIODevice::WriteOnly);
    // Solo hay negro y blanco: en un bit por píxel nada cambia y ocupa 24 veces menos.
    if (!color.convertToFormat(QImage::Format_Mono, Qt::ThresholdDither).save(&salida, "BMP"))
        return Resultado::fallo(QStringLiteral("No se ha podido componer el código de barras de "
                                               "\"%1\".")
                                    .arg(rutaBmp),
                                Errores::ErrorEntradaSalida);
    if (Resultado escrito = escribirNuevo(rutaBmp, bmp, Sincronizar::No); !escrito)
        return Resultado::fallo(QStringLiteral("No se ha podido escribir el código de barras. %1")
                                    .arg(escrito.mensaje()),
                                Errores::ErrorEntradaSalida);
    return Resultado::correcto();
}
