#include "../printing/DatosCodigos.h"
#include "../printing/PlantillaPrueba.h"
#include "ImpresionSimulada.h"
#include "lectura/CargaSolicitante.h"
#include "lectura/InterpretacionCodigo.h"
#include "platform/Codificacion.h"
#include "printing/CodigoBarras.h"

#include <gtest/gtest.h>

namespace {

// El texto tal como llega del escáner: sustituido y en Windows-1252.
QString leido(const QString& texto) {
    return Codificacion::desdeWindows1252(bytesCodigo(texto));
}

QVector<PlazaLeida> plazas(qint64 desde, qint64 hasta, const QString& codigo = "12345") {
    QVector<PlazaLeida> r;
    for (qint64 o = desde; o <= hasta; ++o) r.append({o, codigo});
    return r;
}

QString entradas(const QVector<PlazaLeida>& plazas) {
    QString s;
    for (const PlazaLeida& p : plazas) s += entradaPlaza(QString::number(p.orden), p.codigo);
    return s;
}

TEST(InterpretacionCodigo, LasPaginasDePlazasSeLeenConSuNumeroYSusEntradas) {
    const QString prefijo = DatosCodigos::prefijo();
    const struct {
        const char* nombre;
        QString lista;
        int pagina;
        QVector<PlazaLeida> plazas;
    } casos[] = {
        {"normal", "V", 5, plazas(1, 40)},
        {"códigos cortos, rellenos con blancos", "R", 9, {{41, "7"}, {42, "123"}, {43, "1234"}}},
        {"página de más de 999", "V", 1234, plazas(49321, 49330)},
        {"órdenes que pasan de 4 cifras", "R", 300, plazas(9998, 10003)},
        {"una sola plaza", "V", 3, {{1, "99999"}}},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.nombre);
        const auto r = interpretarCodigo(
            leido(textoCodigoPagina(prefijo, c.lista, c.pagina, entradas(c.plazas))));
        ASSERT_TRUE(r.ok()) << r.mensaje().toStdString();
        EXPECT_EQ(r.valor().tipo, c.lista == "V" ? TipoPagina::Vacantes : TipoPagina::Resultas);
        EXPECT_EQ(r.valor().pagina, c.pagina);
        EXPECT_EQ(r.valor().plazas, c.plazas);
        EXPECT_EQ(r.valor().clave, "12345678Z00123A");
        EXPECT_EQ(r.valor().fecha, "07/12/2026");
        EXPECT_EQ(r.valor().hora, "09:41:07");
    }
}

TEST(InterpretacionCodigo, LaPaginaDelSolicitanteDaSuClaveYSuCarga) {
    const QString prefijo =
        prefijoCodigoBarras(ClaveSolicitante("X1234L", "7", ""), "29/02/2028", "23:59:59");
    const QString carga = leido(DatosCodigos::cargaSolicitante());
    const auto r = interpretarCodigo(textoCodigoSolicitante(prefijo, carga));
    ASSERT_TRUE(r.ok()) << r.mensaje().toStdString();
    EXPECT_EQ(r.valor().tipo, TipoPagina::Solicitante);
    EXPECT_EQ(r.valor().pagina, 1);
    EXPECT_EQ(r.valor().dni, "X1234L");
    EXPECT_EQ(r.valor().cuerpo, "00007");
    EXPECT_EQ(r.valor().grupo, "");
    EXPECT_EQ(r.valor().carga, carga);
}

TEST(InterpretacionCodigo, UnTextoQueNoEsDeUnaSolicitudDiceQueNoSeEntiende) {
    const QString p = DatosCodigos::prefijo();
    const struct {
        QString texto;
        QString mensaje;
    } casos[] = {
        {"https://example.org", "no es el código de una solicitud impresa"},
        {"12345Z07/12/202609:41:07V005000112345F", "la clave del solicitante tiene 6 caracteres"},
        {"12345678Z00123A31/02/202609:41:07V005000112345F", "«31/02/2026 09:41:07» no existe"},
        {"12345678Z00123A31/04/202609:41:07V005000112345F", "«31/04/2026 09:41:07» no existe"},
        {"12345678Z00123A29/02/202609:41:07V005000112345F", "«29/02/2026 09:41:07» no existe"},
        {"12345678Z00123A29/02/190009:41:07V005000112345F", "«29/02/1900 09:41:07» no existe"},
        {"12345678Z00123A07/13/202609:41:07V005000112345F", "«07/13/2026 09:41:07» no existe"},
        {"12345678Z00123A00/12/202609:41:07V005000112345F", "«00/12/2026 09:41:07» no existe"},
        {"12345678Z00123A07/12/000009:41:07V005000112345F", "«07/12/0000 09:41:07» no existe"},
        {"12345678Z00123A07/12/202624:00:00V005000112345F", "«07/12/2026 24:00:00» no existe"},
        {"12345678Z00123A07/12/202609:60:07V005000112345F", "«07/12/2026 09:60:07» no existe"},
        {"12345678Z00123A07/12/202609:41:60V005000112345F", "«07/12/2026 09:41:60» no existe"},
        // Una cifra que no es ASCII no cuenta como cifra: no hay fecha.
        {"12345678Z00123A07/1\u0662/202609:41:07V005000112345F",
         "no es el código de una solicitud"},
        {"12345678Z00123A07/1a/202609:41:07V005000112345F", "no es el código de una solicitud"},
        {"12345678Z00123A07/12/202609:41:07X005000112345F", "no es el código de una solicitud"},
        {p + "V005000112345", "el texto está cortado: no termina en «F»"},
        {p + "V0050001123F", "las plazas de la página 5 de Vacantes no tienen la forma"},
        {p + "R00700011 345F", "las plazas de la página 7 de Resultas no tienen la forma"},
    };
    for (const auto& c : casos) {
        const auto r = interpretarCodigo(c.texto);
        ASSERT_FALSE(r.ok()) << c.texto.toStdString();
        EXPECT_TRUE(r.mensaje().contains(c.mensaje)) << r.mensaje().toStdString();
    }
    // Los límites que sí existen se leen: el 29 de febrero de un año bisiesto (también de los
    // que acaban en 00 y se dividen por 400), el primer y el último día posibles.
    for (const QString fechaHora :
         {"29/02/200000:00:00", "29/02/202423:59:59", "01/01/000100:00:00", "31/12/999923:59:59"}) {
        const auto r = interpretarCodigo("12345678Z00123A" + fechaHora + "V005000112345F");
        ASSERT_TRUE(r.ok()) << r.mensaje().toStdString();
        EXPECT_EQ(r.valor().fecha + r.valor().hora, fechaHora);
    }
}

// Quien interpreta muchos códigos con una reserva obtiene lo mismo que sin ella, también cuando
// un código empieza casi como el anterior o no se entiende.
TEST(InterpretacionCodigo, ConUnaReservaDaLoMismoQueSinElla) {
    auto prefijo = [](const QString& dni, const QString& fecha, const QString& hora) {
        return prefijoCodigoBarras(ClaveSolicitante(dni, "123", "A"), fecha, hora);
    };
    const QString a = prefijo("12345678Z", "07/12/2026", "09:41:07");
    const QString carga = leido(DatosCodigos::cargaSolicitante());
    const QString textos[] = {
        textoCodigoSolicitante(a, carga),
        textoCodigoPagina(a, "V", 3, entradas(plazas(1, 30))),
        textoCodigoPagina(a, "R", 5, entradas(plazas(1, 4, "777"))),
        // Del mismo largo que el anterior, con otro DNI, otra hora u otra fecha.
        textoCodigoPagina(prefijo("87654321X", "07/12/2026", "09:41:07"), "V", 3,
                          entradas(plazas(1, 2))),
        textoCodigoPagina(prefijo("87654321X", "07/12/2026", "09:41:08"), "V", 4,
                          entradas(plazas(3, 4))),
        textoCodigoPagina(prefijo("87654321X", "08/12/2026", "09:41:08"), "V", 4,
                          entradas(plazas(3, 4))),
        // El principio de antes, pero cortado, y una fecha que no existe del mismo largo.
        textoCodigoPagina(prefijo("87654321X", "08/12/2026", "09:41:08"), "V", 4, "0003")
            .chopped(1),
        textoCodigoPagina(prefijo("87654321X", "31/02/2026", "09:41:08"), "V", 4,
                          entradas(plazas(3, 4))),
        textoCodigoPagina(a, "V", 4, entradas(plazas(31, 40))),
        // Un DNI más largo alarga la clave: otro largo de principio.
        textoCodigoPagina(prefijo("123456789012Z", "07/12/2026", "09:41:07"), "R", 3,
                          entradas(plazas(1, 1))),
    };
    ReservaCodigos reserva;
    for (const QString& t : textos) {
        SCOPED_TRACE(t.left(60).toStdString());
        const auto con = interpretarCodigo(t, &reserva);
        const auto sin = interpretarCodigo(t);
        ASSERT_EQ(con.ok(), sin.ok());
        if (!sin.ok()) {
            EXPECT_EQ(con.mensaje(), sin.mensaje());
            continue;
        }
        const CodigoInterpretado& c = con.valor();
        const CodigoInterpretado& s = sin.valor();
        EXPECT_EQ(
            QStringList({c.bruto, c.clave, c.dni, c.cuerpo, c.grupo, c.fecha, c.hora, c.carga}),
            QStringList({s.bruto, s.clave, s.dni, s.cuerpo, s.grupo, s.fecha, s.hora, s.carga}));
        EXPECT_EQ(c.tipo, s.tipo);
        EXPECT_EQ(c.pagina, s.pagina);
        EXPECT_EQ(c.plazas, s.plazas);
    }
}

TEST(InterpretacionCodigo, LasParejasSeLeenComoLaLetraCastellanaQueLasDio) {
    // Lo que el código lleva de un texto castellano vuelve a ser ese texto.
    for (const QString& castellano :
         {QStringLiteral("Núñez de Arce y Peñalver-Ibáñez"), QStringLiteral("María Ángeles"),
          QStringLiteral("Argüelles Pingüino Agüero"), QStringLiteral("ARGÜELLES ÚBEDA"),
          QStringLiteral("Jesús Óscar Íñigo Élez"), QStringLiteral("Begoña Guía Guerra")})
        EXPECT_EQ(textoConAcentos(sustituirCaracteresCodigo(castellano)), castellano);
    // Lo que no es una pareja se deja.
    EXPECT_EQ(textoConAcentos("fin&"), "fin&");
    EXPECT_EQ(textoConAcentos("a&b&&x"), "a&b&&x");
}

TEST(CargaSolicitante, LosTreintaYSieteCamposSeSeparanAunqueUnTextoLleveBarras) {
    const QString carga = leido(ImpresionSimulada().carga());
    const QStringList campos = carga.split(u'|').mid(0, 37);
    const auto normal = separarCarga(carga);
    ASSERT_TRUE(normal.ok()) << normal.mensaje().toStdString();
    EXPECT_EQ(normal.valor(), campos);
    EXPECT_TRUE(problemasCampos(normal.valor()).isEmpty());

    // Entre dos campos de forma fija (el teléfono, entre una fecha y un sí o no) una barra solo
    // puede ser del texto.
    QStringList conBarra = campos;
    conBarra[6] = "924 123 456 | 654 987 321";
    const auto separada = separarCarga(conBarra.join(u'|') + u'|');
    ASSERT_TRUE(separada.ok()) << separada.mensaje().toStdString();
    EXPECT_EQ(separada.valor(), conBarra);

    const struct {
        QString carga;
        QString mensaje;
    } fallos[] = {
        {carga.chopped(1), "están cortados: no terminan en «|»"},
        {campos.mid(0, 30).join(u'|') + u'|', "tienen 30 campos y deben tener 37"},
        // En el domicilio, rodeado de textos, no se sabe de cuál es.
        {QStringList(campos).replaceInStrings("Avda.", "Avda.|").join(u'|') + u'|',
         "algún dato del solicitante lleva «|» y no se puede saber cuál"},
        // Una fecha no puede llevar barras: el reparto no cuadra.
        {QStringList(campos).replaceInStrings("19700412", "1970|0412").join(u'|') + u'|',
         "tienen 38 separadores «|» y deben tener 37"},
    };
    for (const auto& f : fallos) {
        const auto r = separarCarga(f.carga);
        ASSERT_FALSE(r.ok());
        EXPECT_TRUE(r.mensaje().contains(f.mensaje)) << r.mensaje().toStdString();
    }
}

TEST(CargaSolicitante, CadaCampoDeFormaFijaQueNoLaTieneSeNombra) {
    QStringList campos = leido(ImpresionSimulada().carga()).split(u'|').mid(0, 37);
    campos[5] = "19701340";  // fecha de nacimiento
    campos[23] = "X";        // activo u otras
    campos[28] = "";         // sin destino actual: vacío vale
    EXPECT_EQ(problemasCampos(campos),
              QStringList({"el campo «fecha de nacimiento» de los datos del solicitante tiene un "
                           "valor imposible: «19701340»",
                           "el campo «situación (activo u otras)» de los datos del solicitante "
                           "tiene un valor imposible: «X»"}));

    // Una fecha "AAAAMMDD" vale si existe en el calendario; "00000000" es no tenerla.
    const struct {
        const char* fecha;
        bool vale;
    } fechas[] = {
        {"19700412", true},  {"00000000", true},  {"20240229", true},       {"20000229", true},
        {"00010101", true},  {"99991231", true},  {"20260229", false},      {"19000229", false},
        {"20260431", false}, {"20261301", false}, {"20260001", false},      {"20260100", false},
        {"00000101", false}, {"2026041", false},  {"202604120", false},     {"2026-4-1", false},
        {" 2026041", false}, {"-0010412", false}, {"202\u06610412", false}, {"", false},
    };
    for (const auto& f : fechas) {
        SCOPED_TRACE(f.fecha);
        campos = leido(ImpresionSimulada().carga()).split(u'|').mid(0, 37);
        campos[22] = QString::fromUtf8(f.fecha);  // fecha de ingreso
        EXPECT_EQ(problemasCampos(campos).size(), f.vale ? 0 : 1);
    }
}

}  // namespace
