#include "printing/CodigoBarras.h"

#include "global/Globales.h"
#include "global/ModGeneral.h"
#include "platform/Codificacion.h"
#include "printing/SimboloPdf417.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <cmath>

namespace {

// Parejas de sustitución en el orden en que se aplican: el resultado de una no debe volver a
// tocarse por las siguientes, por eso "&" va la primera.
struct Cambio {
    const char16_t* de;
    const char16_t* a;
};

constexpr Cambio kCambios[] = {
    {u"&", u" "},
    // Diéresis, circunflejo, agudo y grave; minúsculas y luego mayúsculas.
    {u"ä", u"&a"},
    {u"ë", u"&e"},
    {u"ï", u"&i"},
    {u"ö", u"&o"},
    {u"ü", u"&u"},
    {u"Ä", u"&A"},
    {u"Ë", u"&E"},
    {u"Ï", u"&I"},
    {u"Ö", u"&O"},
    {u"Ü", u"&U"},
    {u"â", u"&a"},
    {u"ê", u"&e"},
    {u"î", u"&i"},
    {u"ô", u"&o"},
    {u"û", u"&u"},
    {u"Â", u"&A"},
    {u"Ê", u"&E"},
    {u"Î", u"&I"},
    {u"Ô", u"&O"},
    {u"Û", u"&U"},
    {u"á", u"&a"},
    {u"é", u"&e"},
    {u"í", u"&i"},
    {u"ó", u"&o"},
    {u"ú", u"&u"},
    {u"Á", u"&A"},
    {u"É", u"&E"},
    {u"Í", u"&I"},
    {u"Ó", u"&O"},
    {u"Ú", u"&U"},
    {u"à", u"&a"},
    {u"è", u"&e"},
    {u"ì", u"&i"},
    {u"ò", u"&o"},
    {u"ù", u"&u"},
    {u"À", u"&A"},
    {u"È", u"&E"},
    {u"Ì", u"&I"},
    {u"Ò", u"&O"},
    {u"Ù", u"&U"},
    {u"ñ", u"&n"},
    {u"Ñ", u"&N"},
    {u"º", u"."},
    {u"ª", u"."},
    {u"\"", u"'"},
    {u"·", u"."},
    {u"¿", u" "},
    {u"?", u" "},
    {u"!", u" "},
    {u"¡", u" "},
    {u"ç", u"c"},
    {u"Ç", u"C"},
};

}  // namespace

QString sustituirCaracteresCodigo(const QString& texto) {
    QString s = texto;
    for (const Cambio& c : kCambios)
        s.replace(QString::fromUtf16(c.de), QString::fromUtf16(c.a), Qt::CaseSensitive);
    return s;
}

QByteArray bytesCodigo(const QString& texto) {
    const QString ansi = Codificacion::desdeWindows1252(Codificacion::aWindows1252(texto));
    return Codificacion::aWindows1252(sustituirCaracteresCodigo(ansi));
}

QString ClaveSolicitante(const QString& dni, const QString& valorCuerpo,
                         const QString& valorGrupo) {
    return Rellenar(dni, 9, false, QStringLiteral(" ")) +
           Rellenar(valorCuerpo, 5, true, QStringLiteral("0")) +
           Rellenar(valorGrupo, 1, false, QStringLiteral(" "));
}

QString prefijoCodigoBarras(const QString& clave, const QString& fecha, const QString& hora) {
    return clave + fecha + hora;
}

QString entradaPlaza(const QString& orden, const QString& codConvocatoria) {
    return Rellenar(orden, 4, true, QStringLiteral("0")) +
           Rellenar(codConvocatoria, 5, true, QStringLiteral(" "));
}

QString textoCodigoSolicitante(const QString& prefijo, const QString& carga) {
    return prefijo + QStringLiteral("P001") + carga + QStringLiteral("F");
}

QString textoCodigoPagina(const QString& prefijo, const QString& codigoLista, int pagina,
                          const QString& entradas) {
    return prefijo + codigoLista + Rellenar(QString::number(pagina), 3, true, QStringLiteral("0")) +
           entradas + QStringLiteral("F");
}

namespace {

bool ocupado(const QString& ruta) {
    const QFileInfo fi(ruta);
    return fi.exists() || fi.isSymLink();
}

}  // namespace

QString rutaBaseCodigoBarras() {
    const QDateTime ahora = QDateTime::currentDateTime();
    // Los minutos van dos veces: así se ha nombrado siempre el fichero.
    return G().RutaTemporal + ahora.toString(QStringLiteral("yyyyMMdd")) +
           ahora.toString(QStringLiteral("HHmmssmm"));
}

ResultadoDe<QString> GenerarCodigoBarras(const QString& texto, int ancho, int& alto) {
    alto = int(std::lround(alto * 1.3));
    const QByteArray datos = bytesCodigo(texto);
    // El nombre es previsible: si ya hay algo con él (otro código de este mismo segundo, o lo
    // que alguien haya puesto ahí), se toma el siguiente. Lo que haya no se toca nunca.
    QString base = rutaBaseCodigoBarras();
    for (int n = 1; n < 100 && ocupado(base + QStringLiteral(".bmp")); ++n)
        base = rutaBaseCodigoBarras() + QLatin1Char('-') + QString::number(n);
    const Resultado r = escribirPdf417(datos, ancho, alto, base + QStringLiteral(".bmp"));
    if (!r) return r;
    return base;
}
