#include "../apoyo/Ficheros.h"
#include "../apoyo/HuecoRasterizado.h"
#include "DatosCodigos.h"
#include "global/Globales.h"
#include "platform/Codificacion.h"
#include "printing/CodigoBarras.h"
#include "printing/LecturaCodigos.h"
#include "printing/SimboloPdf417.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <cmath>

namespace {

struct CasoSustitucion {
    const char16_t* entrada;
    const char16_t* salida;
};

TEST(SustitucionCodigo, CadaCaracterDeLaListaTieneSuSustituto) {
    const CasoSustitucion casos[] = {
        {u"Núñez", u"N&u&nez"},
        {u"PEÑA", u"PE&NA"},
        {u"Calle Mayor & Cía", u"Calle Mayor   C&ia"},
        {u"äëïöü", u"&a&e&i&o&u"},
        {u"ÄËÏÖÜ", u"&A&E&I&O&U"},
        {u"âêîôû", u"&a&e&i&o&u"},
        {u"ÂÊÎÔÛ", u"&A&E&I&O&U"},
        {u"áéíóú", u"&a&e&i&o&u"},
        {u"ÁÉÍÓÚ", u"&A&E&I&O&U"},
        {u"àèìòù", u"&a&e&i&o&u"},
        {u"ÀÈÌÒÙ", u"&A&E&I&O&U"},
        {u"nº 3, 2ª", u"n. 3, 2."},
        {u"el \"Rincón\"", u"el 'Rinc&on'"},
        {u"l·l", u"l.l"},
        {u"¿Sí? ¡No!", u" S&i   No "},
        {u"Açores Ç", u"Acores C"},
        // Lo que no está en la lista pasa tal cual, mayúsculas y minúsculas distintas.
        {u"ÿ ý Ý Ð ø 0123 |/-", u"ÿ ý Ý Ð ø 0123 |/-"},
        // El "&" del usuario desaparece antes de escribir las parejas: no se confunde con ellas.
        {u"&u&n", u" u n"},
        {u"", u""},
    };
    for (const auto& c : casos) {
        const QString entrada = QString::fromUtf16(c.entrada);
        EXPECT_EQ(sustituirCaracteresCodigo(entrada), QString::fromUtf16(c.salida))
            << entrada.toStdString();
    }
}

TEST(SustitucionCodigo, TrasSustituirSoloQuedaElAmpersandDeLasParejas) {
    const QString s = sustituirCaracteresCodigo(DatosCodigos::cargaSolicitante());
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s[i] != QLatin1Char('&')) continue;
        ASSERT_LT(i + 1, s.size());
        EXPECT_TRUE(QStringLiteral("aeiouAEIOUnN").contains(s[i + 1])) << s.mid(i, 2).toStdString();
    }
}

TEST(SustitucionCodigo, LoQueNoExisteEnWindows1252LlegaComoBlanco) {
    // Primero pasa por la página de códigos ("?") y la sustitución lo deja en blanco; el euro y
    // las comillas tipográficas sí existen y viajan como su byte.
    EXPECT_EQ(bytesCodigo(QStringLiteral("Łódź")), QByteArray(" &od "));
    EXPECT_EQ(bytesCodigo(QStringLiteral("5 € “sí”")), QByteArray("5 \x80 \x93s&i\x94"));
    EXPECT_EQ(bytesCodigo(QStringLiteral("Ñandú & Cía")), QByteArray("&Nand&u   C&ia"));
}

TEST(TextosCodigo, ClavePrefijoYEntradasConSusAnchos) {
    EXPECT_EQ(ClaveSolicitante("12345678Z", "123", "A"), QStringLiteral("12345678Z00123A"));
    EXPECT_EQ(ClaveSolicitante("1234Z", "7", ""), QStringLiteral("1234Z    00007 "));
    // Lo que no cabe no se corta.
    EXPECT_EQ(ClaveSolicitante("123456789ZZ", "1234567", "AB"),
              QStringLiteral("123456789ZZ1234567AB"));
    EXPECT_EQ(DatosCodigos::prefijo(), QStringLiteral("12345678Z00123A07/12/202609:41:07"));
    EXPECT_EQ(DatosCodigos::prefijo().size(), 33);

    EXPECT_EQ(entradaPlaza("7", "12345"), QStringLiteral("000712345"));
    EXPECT_EQ(entradaPlaza("123", "45"), QStringLiteral("0123   45"));
    EXPECT_EQ(entradaPlaza("12345", "123456"), QStringLiteral("12345123456"));
}

TEST(TextosCodigo, CodigoDeUnaPaginaDeCuarentaPlazasTiene398Caracteres) {
    const QString entradas = DatosCodigos::entradas(41, 80);
    const QString t = textoCodigoPagina(DatosCodigos::prefijo(), "V", 4, entradas);
    EXPECT_EQ(t.size(), 33 + 1 + 3 + 360 + 1);
    EXPECT_TRUE(t.startsWith(DatosCodigos::prefijo() + "V004" + entradaPlaza("41", "15617")));
    EXPECT_TRUE(t.endsWith("F"));
    EXPECT_EQ(textoCodigoPagina(DatosCodigos::prefijo(), "R", 12, "").mid(33),
              QStringLiteral("R012F"));
    EXPECT_EQ(textoCodigoSolicitante(DatosCodigos::prefijo(), "S|x|"),
              DatosCodigos::prefijo() + "P001S|x|F");
}

// Cada código debe poder leerse impreso: módulo, filas, silencio y corrección en su sitio, y el
// bitmap con la proporción del hueco en que se inserta.
TEST(DisenoCodigo, CumpleLosMinimosDeLecturaEnSuHueco) {
    using namespace DatosCodigos;
    const QString p = prefijo();
    struct Caso {
        const char* nombre;
        QString texto;
        int ancho, alto;
    };
    const Caso casos[] = {
        {"solicitante", textoCodigoSolicitante(p, cargaSolicitante()), 6000, 2600},
        {"solicitante corto", textoCodigoSolicitante(p, "N||||"), 6000, 2600},
        {"página de 40", textoCodigoPagina(p, "V", 3, entradas(1, 40)), 6000, 1170},
        {"página de 40 con blancos", textoCodigoPagina(p, "V", 3, entradas(1, 40, true)), 6000,
         1170},
        {"página de 60", textoCodigoPagina(p, "R", 9, entradas(1, 60, true)), 6000, 1170},
        {"página de 1", textoCodigoPagina(p, "R", 7, entradas(41, 41)), 6000, 1170},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nombre);
        const QByteArray datos = bytesCodigo(c.texto);
        const auto r = disenarPdf417(datos, c.ancho, c.alto);
        ASSERT_TRUE(r.ok()) << r.mensaje().toStdString();
        const DisenoPdf417& d = r.valor();
        EXPECT_GE(d.moduloMm, 0.25);
        EXPECT_GE(d.altoFila, 3);
        EXPECT_GE(d.silencioHorizontal, 2);
        EXPECT_GE(d.silencioVertical, 2);
        EXPECT_GE(d.nivel, nivelRecomendadoPdf417(d.palabrasDatos));
        EXPECT_GE(d.palabrasDatos, 1);
        EXPECT_EQ(d.anchoSimbolo, 69 + 17 * d.columnas);
        const double proporcionHueco = double(c.ancho) / c.alto;
        const double proporcion = double(d.anchoPixeles) / d.altoPixeles;
        // El silencio se reparte en módulos enteros: como mucho uno de error en cada sentido.
        const double tolerancia =
            double(d.pixelesModulo) / d.anchoPixeles + double(d.pixelesModulo) / d.altoPixeles;
        EXPECT_NEAR(proporcion / proporcionHueco, 1.0, tolerancia);
        EXPECT_LT(tolerancia, 0.1);
        // Ni más de 300 ppp (se remuestrearía) ni menos de 2 píxeles por módulo.
        EXPECT_GE(d.pixelesModulo, 2);
        EXPECT_LE(d.anchoPixeles / (c.ancho / 1440.0), 301.0);
    }
}

// Los diseños entre los que se elige cumplen los mismos mínimos que el elegido: ninguno se sale
// del hueco ni baja del nivel recomendado.
TEST(DisenoCodigo, TodosLosCandidatosSonLegibles) {
    const QString p = DatosCodigos::prefijo();
    for (const auto& [texto, alto] :
         {std::pair{textoCodigoSolicitante(p, DatosCodigos::cargaSolicitante()), 2600},
          std::pair{textoCodigoPagina(p, "V", 3, DatosCodigos::entradas(1, 40, true)), 1170},
          std::pair{textoCodigoPagina(p, "R", 7, DatosCodigos::entradas(41, 41)), 1170}}) {
        const auto r = disenosPdf417(bytesCodigo(texto), 6000, alto);
        ASSERT_TRUE(r.ok()) << r.mensaje().toStdString();
        ASSERT_GE(r.valor().size(), 3);
        for (const DisenoPdf417& d : r.valor()) {
            SCOPED_TRACE(QStringLiteral("nivel %1, %2 columnas, filas de %3")
                             .arg(d.nivel)
                             .arg(d.columnas)
                             .arg(d.altoFila)
                             .toStdString());
            EXPECT_GE(d.moduloMm, 0.25);
            EXPECT_GE(d.altoFila, 3);
            EXPECT_GE(d.silencioHorizontal, 2);
            EXPECT_GE(d.silencioVertical, 2);
            EXPECT_GE(d.nivel, nivelRecomendadoPdf417(d.palabrasDatos));
            // Símbolo y silencio caben en el hueco (con el redondeo de medio módulo por lado).
            const double moduloTwips = d.moduloMm * 1440 / 25.4;
            EXPECT_LE((d.anchoSimbolo + 2 * d.silencioHorizontal - 1) * moduloTwips, 6000.5);
            EXPECT_LE((d.altoFila * d.filas + 2 * d.silencioVertical - 1) * moduloTwips,
                      alto + 0.5);
        }
    }
}

// Lo que midieron los escaneos simulados: con módulos de 0,30 mm o más que no caen en un número
// entero de píxeles a 150 ppp y filas de 5 módulos (4 en las páginas de más de 33 plazas con
// códigos cortos, que tienen más palabras), el código de cada página de 1 a 40 plazas aguanta el
// giro y el desenfoque de un escáner, y limpio se lee a 150 ppp caiga donde caiga en los píxeles.
TEST(DisenoCodigo, ElElegidoTieneElMargenQueSeMidio) {
    QTemporaryDir carpeta;
    ASSERT_TRUE(carpeta.isValid());
    const QString bmp = carpeta.filePath("c.bmp");
    const QString p = DatosCodigos::prefijo();
    for (int plazas = 1; plazas <= 40; ++plazas) {
        for (const bool huecos : {false, true}) {
            SCOPED_TRACE(QStringLiteral("%1 plazas%2")
                             .arg(plazas)
                             .arg(huecos ? " con huecos" : "")
                             .toStdString());
            const QByteArray bytes = bytesCodigo(
                textoCodigoPagina(p, "V", 3, DatosCodigos::entradas(1, plazas, huecos)));
            const auto d = disenarPdf417(bytes, 6000, 1170);
            ASSERT_TRUE(d.ok());
            const DisenoPdf417& v = d.valor();
            EXPECT_GE(v.moduloMm, 0.30);
            EXPECT_GE(v.altoFila, huecos && plazas > 33 ? 4 : 5);
            const double pixeles150 = v.moduloMm * 150 / 25.4;
            EXPECT_GE(std::abs(pixeles150 - std::round(pixeles150)), 0.08) << pixeles150;
            QFile::remove(bmp);  // el código nunca se escribe encima de otro fichero
            ASSERT_TRUE(escribirPdf417(bytes, v, bmp).ok());
            for (const double fase : {0.0, 0.5}) {
                bool leido = false;
                for (const CodigoLeido& c : leerCodigosImagen(
                         rasterHueco(carpeta.path(), QImage(bmp), 6000, 1170, 150, fase)))
                    leido |= c.bytes == bytes;
                EXPECT_TRUE(leido) << "limpio a 150 ppp, corrido " << fase << " píxeles";
            }
        }
    }
    // El del solicitante, demasiado largo para tanto, gana más con un nivel de corrección de más.
    const auto s = disenarPdf417(
        bytesCodigo(textoCodigoSolicitante(p, DatosCodigos::cargaSolicitante())), 6000, 2600);
    ASSERT_TRUE(s.ok());
    EXPECT_GE(s.valor().moduloMm, 0.29);
    EXPECT_GE(s.valor().altoFila, 4);
    EXPECT_GT(s.valor().nivel, nivelRecomendadoPdf417(s.valor().palabrasDatos));
}

TEST(DisenoCodigo, NivelRecomendadoSegunLasPalabrasDeDatos) {
    const int casos[][2] = {{1, 2},   {40, 2},  {41, 3},  {160, 3}, {161, 4},
                            {320, 4}, {321, 5}, {863, 5}, {864, 6}};
    for (const auto& c : casos) EXPECT_EQ(nivelRecomendadoPdf417(c[0]), c[1]) << c[0];
}

TEST(DisenoCodigo, TextoQueNoCabeLegibleEsUnFalloConMensaje) {
    const QByteArray largo = bytesCodigo(QString(1500, QLatin1Char('x')) + "ñ");
    const auto r = disenarPdf417(largo, 6000, 1170);
    ASSERT_FALSE(r.ok());
    EXPECT_TRUE(r.mensaje().contains("demasiado largo")) << r.mensaje().toStdString();
    EXPECT_FALSE(disenarPdf417(QByteArray(), 6000, 1170).ok());
}

class GenerarCodigo : public ::testing::Test {
protected:
    void SetUp() override {
        reiniciarGlobales();
        ASSERT_TRUE(m_carpeta.isValid());
        G().RutaTemporal = m_carpeta.path() + "/";
    }
    void TearDown() override { reiniciarGlobales(); }
    QTemporaryDir m_carpeta;
};

TEST_F(GenerarCodigo, EscribeElBitmapQueSeLeeConLosMismosBytes) {
    const QString p = DatosCodigos::prefijo();
    struct Caso {
        QString texto;
        int ancho, alto, altoFinal;
    };
    const Caso casos[] = {
        {textoCodigoSolicitante(p, DatosCodigos::cargaSolicitante()), 6000, 2000, 2600},
        {textoCodigoPagina(p, "V", 3, DatosCodigos::entradas(1, 40, true)), 6000, 900, 1170},
        {textoCodigoPagina(p, "R", 5, DatosCodigos::entradas(1, 1)), 6000, 900, 1170},
    };
    static const QRegularExpression nombre(
        QStringLiteral("^(\\d{8})(\\d{2})(\\d{2})(\\d{2})(\\d{2})$"));
    for (const Caso& c : casos) {
        int alto = c.alto;
        const auto r = GenerarCodigoBarras(c.texto, c.ancho, alto);
        ASSERT_TRUE(r.ok()) << r.mensaje().toStdString();
        EXPECT_EQ(alto, c.altoFinal);
        ASSERT_TRUE(r.valor().startsWith(G().RutaTemporal));
        const auto m = nombre.match(r.valor().mid(G().RutaTemporal.size()));
        ASSERT_TRUE(m.hasMatch()) << r.valor().toStdString();
        EXPECT_EQ(m.captured(3), m.captured(5));  // minutos dos veces
        const QString bmp = r.valor() + ".bmp";
        const QImage imagen(bmp);
        ASSERT_FALSE(imagen.isNull());
        const auto diseno = disenarPdf417(bytesCodigo(c.texto), c.ancho, alto);
        ASSERT_TRUE(diseno.ok());
        EXPECT_EQ(imagen.width(), diseno.valor().anchoPixeles);
        EXPECT_EQ(imagen.height(), diseno.valor().altoPixeles);
        const QVector<CodigoLeido> leidos = leerCodigosImagen(imagen);
        ASSERT_EQ(leidos.size(), 1);
        EXPECT_EQ(leidos[0].bytes, bytesCodigo(c.texto));
        // Las tildes viajan como parejas y el resto de Windows-1252 como su byte.
        EXPECT_EQ(Codificacion::desdeWindows1252(leidos[0].bytes),
                  sustituirCaracteresCodigo(c.texto));
        // El lector ve el símbolo entero: sus módulos en el bitmap son los del diseño.
        EXPECT_NEAR(leidos[0].anchoPixeles,
                    diseno.valor().anchoSimbolo * diseno.valor().pixelesModulo,
                    2.0 * diseno.valor().pixelesModulo);
        QFile::remove(bmp);
    }
}

TEST_F(GenerarCodigo, CarpetaQueNoExisteEsUnFalloConMensaje) {
    G().RutaTemporal = m_carpeta.path() + "/no/existe/";
    int alto = 900;
    const auto r = GenerarCodigoBarras("texto", 6000, alto);
    ASSERT_FALSE(r.ok());
    EXPECT_TRUE(r.mensaje().contains("código de barras")) << r.mensaje().toStdString();
    EXPECT_FALSE(QDir(m_carpeta.path() + "/no").exists());
}

// Un enlace con el nombre (previsible) del bitmap no se sigue: lo apuntado se queda como estaba y
// el bitmap sale con otro nombre, solo para el usuario. Escribir encima de algo que ya está falla.
TEST_F(GenerarCodigo, NoEscribeATravesDeUnEnlaceNiParaOtros) {
    const QString fuera = m_carpeta.filePath("de-otro.txt");
    escribirBytes(fuera, "no se toca");
    // Los nombres de este segundo y los siguientes.
    const QDateTime ahora = QDateTime::currentDateTime();
    for (int s = 0; s < 3; ++s) {
        const QDateTime t = ahora.addSecs(s);
        const QString nombre = G().RutaTemporal + t.toString("yyyyMMdd") + t.toString("HHmmssmm");
        ASSERT_TRUE(QFile::link(fuera, nombre + ".bmp"));
    }
    const mode_t antes = ::umask(0);
    int alto = 900;
    const auto r = GenerarCodigoBarras("texto", 6000, alto);
    ::umask(antes);
    ASSERT_TRUE(r.ok()) << r.mensaje().toStdString();
    EXPECT_EQ(leerBytes(fuera), "no se toca");
    const QFileInfo bmp(r.valor() + ".bmp");
    EXPECT_FALSE(bmp.isSymLink());
    EXPECT_EQ(leerCodigosImagen(QImage(bmp.filePath())).value(0).bytes, "texto");
    EXPECT_EQ(permisos(bmp.filePath()), 0600);
    const auto diseno = disenarPdf417("texto", 6000, 1170);
    ASSERT_TRUE(diseno.ok());
    EXPECT_FALSE(escribirPdf417("texto", diseno.valor(), bmp.filePath()).ok());
    EXPECT_FALSE(escribirPdf417("texto", diseno.valor(), fuera).ok());
    EXPECT_EQ(leerBytes(fuera), "no se toca");
}

}  // namespace
