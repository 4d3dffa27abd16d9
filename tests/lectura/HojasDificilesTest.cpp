#include "../apoyo/EscaneoSimulado.h"
#include "../apoyo/Ficheros.h"
#include "../apoyo/HuecoRasterizado.h"
#include "../apoyo/ProgramaLector.h"
#include "ImpresionesReales.h"
#include "lectura/ComprobacionLote.h"
#include "lectura/FicherosEntrada.h"
#include "lectura/PaginasTiff.h"
#include "printing/LecturaCodigos.h"

#include <gtest/gtest.h>
#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QPainter>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <optional>

namespace {

// Una hoja en gris como GIF (Qt no los escribe): 256 grises y cada punto un código de 9 bits, con
// un código de borrado cada 250 para que el tamaño de los códigos no crezca.
QByteArray gifDe(const QImage& hoja) {
    const QImage g = hoja.convertToFormat(QImage::Format_Grayscale8);
    QByteArray gif("GIF89a");
    auto corto = [&](int v) { gif += char(v & 0xFF), gif += char(v >> 8); };
    corto(g.width()), corto(g.height());
    gif += QByteArray("\xF7\x00\x00", 3);
    for (int i = 0; i < 256; ++i) gif += QByteArray(3, char(i));
    gif += ',';
    corto(0), corto(0), corto(g.width()), corto(g.height());
    gif += '\x00';
    gif += '\x08';
    QByteArray datos;
    quint32 bits = 0;
    int cuantos = 0;
    auto codigo = [&](int c) {
        bits |= quint32(c) << cuantos;
        for (cuantos += 9; cuantos >= 8; cuantos -= 8, bits >>= 8) datos += char(bits & 0xFF);
    };
    int seguidos = 0;
    for (int y = 0; y < g.height(); ++y)
        for (int x = 0; x < g.width(); ++x) {
            if (seguidos++ % 250 == 0) codigo(256);
            codigo(g.constScanLine(y)[x]);
        }
    codigo(257);
    if (cuantos > 0) datos += char(bits & 0xFF);
    for (qsizetype i = 0; i < datos.size(); i += 255) {
        const QByteArray bloque = datos.mid(i, 255);
        gif += char(bloque.size()) + bloque;
    }
    return gif + QByteArray("\x00;", 2);
}

// Unas hojas en gris como un TIFF de varias páginas (Qt solo los escribe de una), sin comprimir,
// con los datos de cada página delante de su directorio. `alReves`: con el byte más significativo
// primero ("MM").
QByteArray tiffDe(const QVector<QImage>& hojas, bool alReves = false) {
    QByteArray tiff;
    auto numero = [&](quint32 v, int bytes) {
        for (int i = 0; i < bytes; ++i)
            tiff += char(v >> (8 * (alReves ? bytes - 1 - i : i)) & 0xFF);
    };
    tiff += alReves ? "MM" : "II";
    numero(42, 2);
    qsizetype siguiente = tiff.size();  // donde va el desplazamiento del próximo directorio
    numero(0, 4);
    for (const QImage& hoja : hojas) {
        const QImage g = hoja.convertToFormat(QImage::Format_Grayscale8);
        const quint32 datos = quint32(tiff.size());
        for (int y = 0; y < g.height(); ++y)
            tiff.append(reinterpret_cast<const char*>(g.constScanLine(y)), g.width());
        if (tiff.size() % 2) tiff += '\0';
        const quint32 directorio = quint32(tiff.size());
        for (int i = 0; i < 4; ++i)
            tiff[siguiente + i] = char(directorio >> (8 * (alReves ? 3 - i : i)) & 0xFF);
        const std::pair<quint16, quint32> etiquetas[] = {{256, quint32(g.width())},
                                                         {257, quint32(g.height())},
                                                         {258, 8},
                                                         {259, 1},
                                                         {262, 1},
                                                         {273, datos},
                                                         {277, 1},
                                                         {278, quint32(g.height())},
                                                         {279, quint32(g.width() * g.height())}};
        numero(quint32(std::size(etiquetas)), 2);
        for (const auto& [etiqueta, valor] : etiquetas) {
            numero(etiqueta, 2);
            numero(4, 2);  // LONG
            numero(1, 4);
            numero(valor, 4);
        }
        siguiente = tiff.size();
        numero(0, 4);
    }
    return tiff;
}

// La hoja con sus códigos pintados de blanco, con su zona de silencio: como si se hubieran
// arrancado o tapado. Nula si no se lee ninguno que borrar.
QImage sinSusCodigos(const QImage& hoja) {
    const QVector<CodigoLeido> codigos = leerCodigosImagen(hoja);
    if (codigos.isEmpty()) return {};
    QImage copia = hoja.convertToFormat(QImage::Format_RGB32);
    const int margen = hoja.width() / 70;  // 3 mm
    QPainter pintor(&copia);
    for (const CodigoLeido& c : codigos)
        pintor.fillRect(c.caja.adjusted(-margen, -margen, margen, margen), Qt::white);
    pintor.end();
    return copia.convertToFormat(QImage::Format_Grayscale8);
}

// Una hoja de plazas cuya tabla sigue en la hoja siguiente (una plaza de tres líneas le ha quitado
// sitio): sus filas llegan hasta el pie y su código va en la otra hoja. Se hace con una hoja llena:
// sin su código, y con sus últimas filas repetidas hasta donde acababa el código.
QImage tablaHastaElPie(const QImage& hoja) {
    const QVector<CodigoLeido> codigos = leerCodigosImagen(hoja);
    if (codigos.size() != 1) return {};
    const QRect codigo = codigos[0].caja;
    const int desde = codigo.top() - hoja.width() * 6 / 210;  // 6 mm por encima: aún en la tabla
    const int alto = codigo.bottom() - desde;
    QImage copia = sinSusCodigos(hoja).convertToFormat(QImage::Format_RGB32);
    const QImage filas = copia.copy(0, desde - alto, copia.width(), alto);
    QPainter pintor(&copia);
    pintor.drawImage(0, desde, filas);
    pintor.end();
    return copia.convertToFormat(QImage::Format_Grayscale8);
}

// Una hoja impresa o escaneada clara: cada gris se acerca al blanco esa fracción de lo que le
// falta (0,45: el negro queda como gris 115; 0,9: como gris 230).
QImage aclarada(const QImage& hoja, double fraccion) {
    QImage copia = hoja.convertToFormat(QImage::Format_Grayscale8);
    for (int y = 0; y < copia.height(); ++y) {
        uchar* linea = copia.scanLine(y);
        for (int x = 0; x < copia.width(); ++x)
            linea[x] = uchar(qRound(255 - (255 - linea[x]) * (1 - fraccion)));
    }
    return copia;
}

// Una hoja impresa o escaneada muy clara: el negro queda como gris 140.
QImage clara(const QImage& hoja) {
    return aclarada(hoja, 140 / 255.0);
}

// Hojas buenas que el lector no debe perder ni tomar por lo que no son. Todas son de la impresión
// antigua: solicitante en la 1, cursos y documentos en la 2, 3 y 4, Vacantes en la 5, 6 y 7 (40,
// 31 y 4 plazas) y Resultas en la 8 y la 9 (40 y 1).
class HojasDificiles : public ::testing::Test {
protected:
    void SetUp() override {
        const auto w97 = impresionReal(VarianteGenerador::W97);
        ASSERT_TRUE(w97.ok()) << w97.mensaje().toStdString();
        m_impresion = w97.valor();
        ASSERT_TRUE(m_tmp.isValid());
        m_hojas = hojasDe(m_impresion.pdf, m_tmp.path());
        ASSERT_EQ(m_hojas.size(), 9);
    }
    // Guarda las hojas (desde la 1) en una carpeta nueva, cada una en su PNG, y lee el lote.
    InformeLote leer(const QString& nombre, const QVector<QImage>& hojas) {
        const QString carpeta = m_tmp.filePath(nombre);
        QDir().mkpath(carpeta);
        QStringList ficheros;
        for (qsizetype i = 0; i < hojas.size(); ++i) {
            ficheros.append(QStringLiteral("%1/hoja-%2.png").arg(carpeta).arg(i + 1));
            EXPECT_TRUE(hojas[i].save(ficheros.last()));
        }
        return comprobarLote(leerLote(ficheros, OpcionesLectura()));
    }
    ImpresionReal m_impresion;
    QTemporaryDir m_tmp;
    QVector<QImage> m_hojas;
};

// Una hoja impresa o escaneada muy clara (el negro como gris 140, y aun como gris 230) no es una
// hoja en blanco: su código se lee. Si se tomara por blanca, la solicitud saldría completa con una
// plaza de menos.
TEST_F(HojasDificiles, UnaHojaClaraSeLee) {
    for (const double fraccion : {140 / 255.0, 0.78, 0.8, 0.85, 0.9}) {
        SCOPED_TRACE(fraccion);
        QVector<QImage> hojas = m_hojas;
        hojas[8] = aclarada(hojas[8], fraccion);
        const InformeLote informe = leer(QStringLiteral("clara-%1").arg(fraccion), hojas);
        ASSERT_EQ(informe.solicitudes.size(), 1);
        EXPECT_TRUE(informe.todoCorrecto()) << informe.problemas.join('\n').toStdString();
        EXPECT_EQ(informe.solicitudes[0].resultas, m_impresion.resultas);
        EXPECT_TRUE(informe.avisos.isEmpty()) << informe.avisos.join('\n').toStdString();
        // Las de cursos y documentos siguen siendo hojas sin código, cada una nombrada.
        EXPECT_EQ(informe.sinCodigo.size(), 3);
    }
}

// Un código tan desenfocado que no se lee ni se distingue una barra es un código ilegible, no una
// hoja de cursos: aquí la última hoja del lote es la 8 (40 plazas de Resultas) y, tomada por una
// hoja sin código, la solicitud saldría completa sin ninguna Resultas.
TEST_F(HojasDificiles, UnCodigoDesenfocadoEsIlegibleYLaSolicitudNoEstaCompleta) {
    DanoEscaneo dano;
    dano.grados = 0;
    dano.sigma = 1.5;
    dano.ruido = 0;
    dano.umbral = false;
    dano.calidadJpeg = 0;
    QVector<QImage> hojas = m_hojas.mid(0, 8);
    hojas[7] = simularEscaneo(hojas[7], dano, 1);
    ASSERT_TRUE(analizarImagen(hojas[7]).codigos.isEmpty()) << "el desenfoque no basta";

    const InformeLote informe = leer("desenfocada", hojas);
    const QString donde = m_tmp.filePath("desenfocada/hoja-8.png");
    EXPECT_EQ(informe.problemas,
              QStringList{QStringLiteral("código ilegible en fichero %1, página 1").arg(donde)});
    ASSERT_EQ(informe.solicitudes.size(), 1);
    EXPECT_EQ(informe.solicitudes[0].problemas,
              QStringList{QStringLiteral("puede faltarle alguna página: no se ha podido leer "
                                         "fichero %1, página 1")
                              .arg(donde)});
    EXPECT_FALSE(informe.todoCorrecto());
}

// Una hoja de Vacantes o de Resultas lleva siempre su código: sin él (arrancado, tapado, impreso
// demasiado claro) y con su tabla a la vista es un código ilegible, nombrado por su fichero y su
// página; tomada por una hoja de cursos, la solicitud podría salir completa con plazas de menos.
// Las de cursos y documentos, que también llevan tablas, siguen siendo hojas sin código, también
// escaneadas o muy claras; y también la hoja de plazas cuya tabla llega al pie, que sigue en la
// hoja siguiente con su código.
TEST_F(HojasDificiles, UnaHojaDePlazasSinSuCodigoEsIlegibleYUnaDeCursosNo) {
    // Escaneadas en grises, como las deja un escáner en JPEG o en PDF: giradas 1,5°, con ruido y
    // desenfocadas lo normal o mucho.
    // Y una hoja en blanco sigue en blanco: escaneada en grises (con el ruido del escáner) o con
    // la sombra de la tapa en un borde, que no es tinta.
    enum Cambio { Entera, CodigoBorrado, TablaHastaElPie, Blanca, BlancaConSombra };
    enum Tratamiento { TalCual, Escaneada, Desenfocada, Clara, MuyClara, ClaraEscaneada };
    const struct {
        const char* que;
        int hoja;  // de la impresión antigua, desde 1
        Cambio cambio;
        Tratamiento tratamiento;
        EstadoPagina estado;
    } casos[] = {
        {"Vacantes, 40 plazas", 5, CodigoBorrado, TalCual, EstadoPagina::Ilegible},
        {"Vacantes, 4 plazas", 7, CodigoBorrado, TalCual, EstadoPagina::Ilegible},
        {"Resultas, 40 plazas", 8, CodigoBorrado, TalCual, EstadoPagina::Ilegible},
        {"Vacantes, 31 plazas, escaneada", 6, CodigoBorrado, Escaneada, EstadoPagina::Ilegible},
        {"Resultas, 40 plazas, escaneada", 8, CodigoBorrado, Escaneada, EstadoPagina::Ilegible},
        {"Vacantes, 4 plazas, desenfocada", 7, CodigoBorrado, Desenfocada, EstadoPagina::Ilegible},
        {"Resultas, 40 plazas, muy clara", 8, CodigoBorrado, Clara, EstadoPagina::Ilegible},
        {"Vacantes, la tabla sigue en la hoja siguiente", 5, TablaHastaElPie, TalCual,
         EstadoPagina::SinCodigo},
        {"Resultas, la tabla sigue en la hoja siguiente, escaneada", 8, TablaHastaElPie, Escaneada,
         EstadoPagina::SinCodigo},
        {"cursos", 2, Entera, TalCual, EstadoPagina::SinCodigo},
        {"cursos y documentos", 3, Entera, TalCual, EstadoPagina::SinCodigo},
        {"documentos", 4, Entera, TalCual, EstadoPagina::SinCodigo},
        {"cursos, escaneada", 2, Entera, Escaneada, EstadoPagina::SinCodigo},
        {"cursos y documentos, escaneada", 3, Entera, Escaneada, EstadoPagina::SinCodigo},
        {"documentos, escaneada", 4, Entera, Escaneada, EstadoPagina::SinCodigo},
        {"cursos, desenfocada", 2, Entera, Desenfocada, EstadoPagina::SinCodigo},
        {"cursos y documentos, desenfocada", 3, Entera, Desenfocada, EstadoPagina::SinCodigo},
        {"documentos, desenfocada", 4, Entera, Desenfocada, EstadoPagina::SinCodigo},
        {"cursos, muy clara", 2, Entera, Clara, EstadoPagina::SinCodigo},
        {"documentos, muy clara", 4, Entera, Clara, EstadoPagina::SinCodigo},
        // Aclaradas un 90 %: el negro queda como gris 230 (un 80 %: gris 204).
        {"Resultas, 40 plazas, aclarada", 8, CodigoBorrado, MuyClara, EstadoPagina::Ilegible},
        {"Vacantes, 4 plazas, aclarada", 7, CodigoBorrado, MuyClara, EstadoPagina::Ilegible},
        {"Vacantes, 31 plazas, aclarada un 80 % y escaneada", 6, CodigoBorrado, ClaraEscaneada,
         EstadoPagina::Ilegible},
        {"cursos, aclarada", 2, Entera, MuyClara, EstadoPagina::SinCodigo},
        {"documentos, aclarada", 4, Entera, MuyClara, EstadoPagina::SinCodigo},
        {"cursos y documentos, aclarada un 80 % y escaneada", 3, Entera, ClaraEscaneada,
         EstadoPagina::SinCodigo},
        {"en blanco, escaneada", 1, Blanca, Escaneada, EstadoPagina::EnBlanco},
        {"en blanco, con la sombra de la tapa", 1, BlancaConSombra, TalCual,
         EstadoPagina::EnBlanco},
    };
    DanoEscaneo escaneo;
    escaneo.umbral = false;
    DanoEscaneo desenfoque = escaneo;
    desenfoque.sigma = 1.2;
    QVector<QImage> hojas;
    for (const auto& c : casos) {
        QImage hoja = m_hojas[c.hoja - 1];
        if (c.cambio == CodigoBorrado) hoja = sinSusCodigos(hoja);
        if (c.cambio == TablaHastaElPie) hoja = tablaHastaElPie(hoja);
        if (c.cambio == Blanca || c.cambio == BlancaConSombra) hoja.fill(255);
        // 3 mm de sombra a la izquierda, del gris 200 (poco menos que la tinta) al papel.
        for (int x = 0; c.cambio == BlancaConSombra && x < hoja.width() / 70; ++x)
            for (int y = 0; y < hoja.height(); ++y)
                hoja.scanLine(y)[x] = uchar(200 + 55 * x / (hoja.width() / 70));
        ASSERT_FALSE(hoja.isNull()) << c.que << ": no tiene código que borrar";
        const quint32 semilla = quint32(hojas.size() + 1);
        if (c.tratamiento == MuyClara) hoja = aclarada(hoja, 0.9);
        if (c.tratamiento == ClaraEscaneada) hoja = aclarada(hoja, 0.8);
        if (c.tratamiento == Escaneada || c.tratamiento == ClaraEscaneada)
            hoja = simularEscaneo(hoja, escaneo, semilla);
        if (c.tratamiento == Desenfocada) hoja = simularEscaneo(hoja, desenfoque, semilla);
        if (c.tratamiento == Clara) hoja = clara(hoja);
        hojas.append(hoja);
    }
    const QString carpeta = m_tmp.filePath("sin-codigo");
    QDir().mkpath(carpeta);
    QStringList ficheros, ilegibles, sinCodigo;
    for (qsizetype i = 0; i < hojas.size(); ++i) {
        ficheros.append(
            QStringLiteral("%1/hoja-%2.png").arg(carpeta).arg(i + 1, 2, 10, QChar('0')));
        ASSERT_TRUE(hojas[i].save(ficheros.last()));
        if (casos[i].estado == EstadoPagina::Ilegible)
            ilegibles.append(
                QStringLiteral("código ilegible en fichero %1, página 1").arg(ficheros.last()));
        else if (casos[i].estado == EstadoPagina::SinCodigo)
            sinCodigo.append(QStringLiteral("fichero %1, página 1").arg(ficheros.last()));
    }
    const QVector<PaginaLeida> paginas = leerLote(ficheros, OpcionesLectura());
    ASSERT_EQ(paginas.size(), qsizetype(std::size(casos)));
    for (qsizetype i = 0; i < paginas.size(); ++i)
        EXPECT_EQ(paginas[i].estado, casos[i].estado) << casos[i].que;
    const InformeLote informe = comprobarLote(paginas);
    EXPECT_EQ(informe.problemas, ilegibles) << informe.problemas.join('\n').toStdString();
    EXPECT_EQ(informe.sinCodigo, sinCodigo) << informe.sinCodigo.join('\n').toStdString();
}

// Un PDF de una página de dos metros por lado (1 KB) no se pasa a imagen a 200 ppp (1.600
// millones de puntos): con la resolución que cabe en los puntos máximos.
TEST_F(HojasDificiles, UnaPaginaEnormeSeLeeConLosPuntosLimitados) {
    const QByteArray pdf =
        "%PDF-1.4\n1 0 obj\n<< /Type /Catalog /Pages 2 0 R >>\nendobj\n"
        "2 0 obj\n<< /Type /Pages /Kids [3 0 R] /Count 1 >>\nendobj\n"
        "3 0 obj\n<< /Type /Page /Parent 2 0 R /MediaBox [0 0 14400 14400] >>\nendobj\n"
        "trailer\n<< /Size 4 /Root 1 0 R >>\n%%EOF\n";
    const QString ruta = m_tmp.filePath("enorme.pdf");
    ASSERT_NO_FATAL_FAILURE(escribirBytes(ruta, pdf));
    QElapsedTimer reloj;
    reloj.start();
    const QVector<PaginaLeida> paginas = leerLote({ruta}, OpcionesLectura());
    ASSERT_EQ(paginas.size(), 1);
    EXPECT_EQ(paginas[0].estado, EstadoPagina::EnBlanco) << paginas[0].detalle.toStdString();
    EXPECT_LT(reloj.elapsed(), 20000);
}

// Lo que abren los visores se lee: JFIF, GIF, un JPEG con bytes tras su final, un PDF con algo
// delante de su cabecera y lo que hay en una subcarpeta, si se pide. Lo que no se lee se dice.
TEST_F(HojasDificiles, LeeLoQueAbrenLosVisoresYDiceLoQueNoLee) {
    const QDir lote(m_tmp.filePath("lote"));
    ASSERT_TRUE(QDir().mkpath(lote.filePath("sub")));
    auto guardar = [&](int hoja, const QString& nombre, const char* formato,
                       const QByteArray& detras = {}) {
        QByteArray bytes;
        QBuffer b(&bytes);
        b.open(QIODevice::WriteOnly);
        ASSERT_TRUE(m_hojas[hoja - 1].save(&b, formato)) << formato;
        ASSERT_NO_FATAL_FAILURE(escribirBytes(lote.filePath(nombre), bytes + detras));
    };
    ASSERT_NO_FATAL_FAILURE(guardar(1, "a.jfif", "JPEG"));
    ASSERT_NO_FATAL_FAILURE(escribirBytes(lote.filePath("b.GIF"), gifDe(m_hojas[4])));
    ASSERT_NO_FATAL_FAILURE(guardar(6, "c.jpg", "JPEG", QByteArray("\0\0basura", 8)));
    ASSERT_NO_FATAL_FAILURE(guardar(7, "sub/d.png", "PNG"));
    ASSERT_TRUE(escribirPdfEscaneado(m_tmp.filePath("e.pdf"), m_hojas[7], 200));
    ASSERT_NO_FATAL_FAILURE(
        escribirBytes(lote.filePath("e.pdf"), "basura\r\n" + leerBytes(m_tmp.filePath("e.pdf"))));
    ASSERT_NO_FATAL_FAILURE(guardar(9, "f.tiff", "TIFF"));
    ASSERT_NO_FATAL_FAILURE(escribirBytes(lote.filePath("notas.txt"), "x"));
    // Lo oculto no se lee, pero se dice: una hoja escondida y lo que deja macOS junto a cada
    // fichero copiado (sus datos, no la imagen).
    ASSERT_NO_FATAL_FAILURE(guardar(2, ".oculta.png", "PNG"));
    ASSERT_NO_FATAL_FAILURE(
        escribirBytes(lote.filePath("._c.jpg"), QByteArray("\0\x05\x16\x07\0\x02\0\0", 8)));
    // Una subcarpeta que no se deja leer.
    ASSERT_TRUE(QDir().mkpath(lote.filePath("sinpermiso")));
    ASSERT_NO_FATAL_FAILURE(guardar(3, "sinpermiso/g.png", "PNG"));
    ASSERT_EQ(::chmod(QFile::encodeName(lote.filePath("sinpermiso")).constData(), 0), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(m_tmp.path()).constData(), 0755), 0);
    auto hayPermiso = qScopeGuard(
        [&] { ::chmod(QFile::encodeName(lote.filePath("sinpermiso")).constData(), 0755); });

    const auto sinSub = ficherosDeEntrada({lote.path()});
    ASSERT_TRUE(sinSub.ok());
    EXPECT_EQ(sinSub.valor().ficheros.size(), 5);
    const QString oculto = ": no se lee, es un fichero oculto (su nombre empieza por un punto)";
    const QString subcarpeta = ": no se leen las subcarpetas (se leen con --subcarpetas)";
    EXPECT_EQ(sinSub.valor().omitidos,
              QStringList({"fichero " + lote.filePath("._c.jpg") + oculto,
                           "fichero " + lote.filePath(".oculta.png") + oculto,
                           "fichero " + lote.filePath("notas.txt") +
                               ": no se lee, no es un PDF ni una imagen",
                           "carpeta " + lote.filePath("sinpermiso") + subcarpeta,
                           "carpeta " + lote.filePath("sub") + subcarpeta}));
    EXPECT_TRUE(sinSub.valor().carpetasSinLeer.isEmpty());

    // Root lee aunque no tenga permiso: la lista se hace como un usuario cualquiera.
    std::optional<ResultadoDe<FicherosEntrada>> conSubSinPermiso, sinPermiso;
    bool comoUsuario = false;
    {
        const ComoUsuarioCorriente usuario;
        comoUsuario = usuario.vale();
        conSubSinPermiso = ficherosDeEntrada({lote.path()}, true);
        sinPermiso = ficherosDeEntrada({lote.filePath("sinpermiso")});
    }
    const auto& conSub = *conSubSinPermiso;
    ASSERT_TRUE(conSub.ok()) << conSub.mensaje().toStdString();
    EXPECT_EQ(conSub.valor().ficheros.size(), 6);
    const InformeLote informe = comprobarLote(leerLote(conSub.valor().ficheros, OpcionesLectura()));
    EXPECT_TRUE(informe.todoCorrecto()) << informe.problemas.join('\n').toStdString();
    ASSERT_EQ(informe.solicitudes.size(), 1);
    EXPECT_TRUE(informe.solicitudes[0].completa())
        << informe.solicitudes[0].problemas.join('\n').toStdString();
    EXPECT_EQ(informe.solicitudes[0].vacantes, m_impresion.vacantes);
    EXPECT_EQ(informe.solicitudes[0].resultas, m_impresion.resultas);

    // La subcarpeta que no se deja leer es un problema del lote, y la solicitud puede no estar
    // entera; nombrada, no se lee nada.
    if (!comoUsuario)
        GTEST_SKIP() << "las pruebas corren como root y no pueden abrir ficheros como otro "
                        "usuario: sin comprobar la carpeta sin permiso de lectura";
    const QString sinLeer = "no se puede leer la carpeta " + lote.filePath("sinpermiso") +
                            ": no hay permiso para leerla";
    EXPECT_EQ(conSub.valor().carpetasSinLeer, QStringList{sinLeer});
    InformeLote conCarpeta = informe;
    anotarCarpetasSinLeer(conCarpeta, conSub.valor().carpetasSinLeer);
    EXPECT_EQ(conCarpeta.problemas, QStringList{sinLeer});
    EXPECT_EQ(conCarpeta.solicitudes[0].problemas,
              QStringList{"puede faltarle alguna página: " + sinLeer});
    EXPECT_FALSE(conCarpeta.todoCorrecto());
    ASSERT_FALSE(sinPermiso->ok());
    EXPECT_EQ(sinPermiso->mensaje(), QStringLiteral("No se puede leer la carpeta «%1»: no hay "
                                                    "permiso para leerla.")
                                         .arg(lote.filePath("sinpermiso")));
}

// Un TIFF de varias páginas cortado (un escáner que se queda sin disco, una copia a medias) se abre
// igual, con las páginas de antes del corte: las de después no desaparecen sin más. Se leen las
// enteras; lo demás es un fallo que dice cuál es la última entera, y la solicitud no está
// completa (aquí le faltaría la última plaza de Resultas, que no se echa en falta por los
// códigos). En el terminal no sale nada de libtiff.
TEST_F(HojasDificiles, UnTiffCortadoDiceHastaDondeSeLee) {
    const QDir lote(m_tmp.filePath("tiff"));
    ASSERT_TRUE(QDir().mkpath(lote.path()));
    for (int i = 0; i < 7; ++i)
        ASSERT_TRUE(m_hojas[i].save(lote.filePath(QStringLiteral("hoja-%1.png").arg(i + 1))));
    const QByteArray resultas = tiffDe({m_hojas[7], m_hojas[8]});
    const QString cortado = lote.filePath("resultas.tif");
    ASSERT_NO_FATAL_FAILURE(escribirBytes(cortado, resultas.left(resultas.size() * 3 / 4)));

    const auto entrada = ficherosDeEntrada({lote.path()});
    ASSERT_TRUE(entrada.ok());
    const InformeLote informe =
        comprobarLote(leerLote(entrada.valor().ficheros, OpcionesLectura()));
    const QString fallo = QStringLiteral(
                              "no se puede leer el fichero %1, página 2: el fichero está cortado "
                              "o dañado desde esta página (la última que se lee entera es la 1)")
                              .arg(cortado);
    EXPECT_EQ(informe.problemas, QStringList{fallo});
    ASSERT_EQ(informe.solicitudes.size(), 1);
    EXPECT_EQ(informe.solicitudes[0].resultas, m_impresion.resultas.mid(0, 40));
    EXPECT_FALSE(informe.solicitudes[0].completa());
    EXPECT_FALSE(informe.todoCorrecto());

    // Y otro TIFF dañado de los que hacen hablar a libtiff: los bits por punto con un tipo que no
    // es un número (el tipo de la tercera etiqueta del directorio, tras los datos de la página).
    QImage pequena(64, 64, QImage::Format_Grayscale8);
    pequena.fill(255);
    QByteArray rara = tiffDe({pequena});
    rara[8 + 64 * 64 + 2 + 2 * 12 + 2] = 2;
    ASSERT_NO_FATAL_FAILURE(escribirBytes(m_tmp.filePath("rara.tif"), rara));
    const SalidaLector s =
        ejecutarLector({"--sin-progreso", "--salida", m_tmp.filePath("lectura-tiff"), lote.path(),
                        m_tmp.filePath("rara.tif")},
                       m_tmp.path());
    EXPECT_EQ(s.estado, 1) << s.salida.toStdString();
    EXPECT_TRUE(s.salida.contains(fallo)) << s.salida.toStdString();
    EXPECT_TRUE(s.errores.isEmpty()) << s.errores.toStdString();
}

// Las páginas enteras de un TIFF, en los dos órdenes de bytes: hasta el primer corte, y entero
// solo si llega hasta el directorio que no señala otro.
TEST(PaginasTiff, CuentaLasEnterasHastaElCorte) {
    QImage a(40, 30, QImage::Format_Grayscale8), b(50, 20, QImage::Format_Grayscale8);
    a.fill(100);
    b.fill(200);
    // Los datos de la primera (1.200 bytes), su directorio (9 etiquetas: 114 bytes), los datos de
    // la segunda (1.000) y su directorio.
    constexpr qsizetype kDatosSegunda = 8 + 1200 + 114, kDirectorioSegunda = kDatosSegunda + 1000;
    for (const bool alReves : {false, true}) {
        const QByteArray tiff = tiffDe({a, b}, alReves);
        ASSERT_EQ(tiff.size(), kDirectorioSegunda + 114);
        QByteArray enBucle = tiff;  // el último directorio señala al primero
        enBucle[tiff.size() - (alReves ? 1 : 4)] = char(1208 & 0xFF);
        enBucle[tiff.size() - (alReves ? 2 : 3)] = char(1208 >> 8);
        const struct {
            const char* que;
            QByteArray bytes;
            int enteras;
            bool entero;
        } casos[] = {
            {"entero", tiff, 2, true},
            {"sin el final del último directorio", tiff.chopped(2), 1, false},
            {"cortado en el último directorio", tiff.left(kDirectorioSegunda + 20), 1, false},
            {"cortado en los datos de la segunda", tiff.left(kDatosSegunda + 500), 1, false},
            {"cortado donde empieza la segunda", tiff.left(kDatosSegunda), 1, false},
            {"cortado en la primera", tiff.left(600), 0, false},
            {"solo la cabecera", tiff.left(8), 0, false},
            {"un directorio que vuelve a otro", enBucle, 2, false},
            {"no es un TIFF", "\x89PNG\r\n\x1A\n" + tiff.mid(8), 0, false},
        };
        for (const auto& c : casos) {
            SCOPED_TRACE(std::string(c.que) + (alReves ? ", MM" : ", II"));
            QByteArray bytes = c.bytes;
            QBuffer buffer(&bytes);
            ASSERT_TRUE(buffer.open(QIODevice::ReadOnly));
            const PaginasTiff p = paginasTiff(buffer);
            EXPECT_EQ(p.enteras, c.enteras);
            EXPECT_EQ(p.entero, c.entero);
        }
    }
}

// Un JPEG o un PNG cortados se dicen dañados; lo que va detrás del final de un JPEG no lo daña.
TEST(ImagenCompleta, SoloFaltaElFinalSiNoLlegaAEl) {
    QImage imagen(64, 48, QImage::Format_Grayscale8);
    imagen.fill(200);
    QByteArray jpeg, png;
    for (const auto& [bytes, formato] : {std::pair{&jpeg, "JPEG"}, {&png, "PNG"}}) {
        QBuffer b(bytes);
        b.open(QIODevice::WriteOnly);
        ASSERT_TRUE(imagen.save(&b, formato));
    }
    // Una miniatura dentro de un segmento de aplicación lleva su propio final: no cuenta.
    const QByteArray miniatura = QByteArray("\xFF\xE1\x00\x06\xFF\xD8\xFF\xD9", 8);
    const struct {
        const char* que;
        bool (*completa)(const QByteArray&);
        QByteArray bytes;
        bool completo;
    } casos[] = {
        {"JPEG entero", jpegCompleto, jpeg, true},
        {"JPEG con bytes detrás", jpegCompleto, jpeg + QByteArray("\0\0basura", 8), true},
        {"JPEG cortado", jpegCompleto, jpeg.left(jpeg.size() - 10), false},
        {"JPEG cortado con una miniatura", jpegCompleto,
         jpeg.left(2) + miniatura + jpeg.mid(2).chopped(10), false},
        {"JPEG entero con una miniatura", jpegCompleto, jpeg.left(2) + miniatura + jpeg.mid(2),
         true},
        {"JPEG sin nada tras el principio", jpegCompleto, jpeg.left(2), false},
        {"GIF", jpegCompleto, QByteArray("GIF89a\xFF\xD9", 8), false},
        {"PNG entero", pngCompleto, png, true},
        {"PNG sin su último trozo", pngCompleto, png.chopped(12), false},
        {"PNG cortado a medio trozo", pngCompleto, png.chopped(2), false},
    };
    for (const auto& c : casos) EXPECT_EQ(c.completa(c.bytes), c.completo) << c.que;
}

}  // namespace
