#include "registro/EstadoRegistro.h"

#include "lectura/SalidaLectura.h"

#include <QRegularExpression>
#include <algorithm>

namespace {

// Las solicitudes del informe van por clave y momento de la impresión: las de un mismo
// solicitante, seguidas y de la más antigua a la última. Devuelve dónde empieza cada solicitante.
QVector<qsizetype> inicios(const QVector<SolicitudLeida>& s) {
    QVector<qsizetype> r;
    for (qsizetype i = 0; i < s.size(); ++i)
        if (i == 0 || s[i].clave != s[i - 1].clave) r.append(i);
    return r;
}

// Un argumento como se escribe en la línea de órdenes: entre comillas simples si lleva algo más
// que letras, cifras y signos que el intérprete deja como están.
QString argumento(const QString& a) {
    static const QRegularExpression tranquilo(QStringLiteral("^[A-Za-z0-9_./:@%+=,-]+$"));
    if (tranquilo.match(a).hasMatch()) return a;
    return u'\'' + QString(a).replace(u'\'', QStringLiteral("'\\''")) + u'\'';
}

}  // namespace

InformeRegistro comprobarRegistro(const QVector<PaginaLeida>& paginas) {
    InformeRegistro informe;
    informe.lote = comprobarLote(paginas, Reimpresiones::SeCompruebanAparte);
    QVector<SolicitudLeida>& s = informe.lote.solicitudes;
    QVector<qsizetype> desde = inicios(s);
    desde.append(s.size());
    for (qsizetype k = 0; k + 1 < desde.size(); ++k) {
        const qsizetype ultima = desde[k + 1] - 1;
        informe.ultimas.append(ultima);
        const qsizetype cuantasHay = ultima - desde[k] + 1;
        if (cuantasHay == 1) continue;
        s[ultima].nota = QStringLiteral("es la última de las %1 impresiones de este solicitante")
                             .arg(cuantasHay);
        for (qsizetype i = desde[k]; i < ultima; ++i)
            s[i].nota = QStringLiteral(
                            "impresión anterior, guardada aparte: la sustituye la del "
                            "%1 a las %2")
                            .arg(s[ultima].fecha, s[ultima].hora);
    }
    return informe;
}

InformeRegistro comprobarRegistro(const ContenidoRegistro& contenido) {
    InformeRegistro informe = comprobarRegistro(contenido.paginas);
    informe.sinResolver = contenido.sinResolver;
    return informe;
}

QString hojasSinResolver(const InformeRegistro& informe, const QString& registro) {
    if (informe.sinResolver.isEmpty()) return {};
    QString r = QStringLiteral(
        "Hojas sin resolver: cada una hace que ninguna solicitud esté completa hasta que se "
        "sustituya por el fichero donde se ha vuelto a escanear (--por) o se descarte "
        "(--descartada):\n");
    for (const HojaSinResolver& h : informe.sinResolver)
        r +=
            paraTerminal(
                QStringLiteral("  - %1 (%2): movilant-lector resolver --registro %3 %4 %5%6 "
                               "--por NUEVO|--descartada")
                    .arg(describirOrigen({h.fichero, h.pagina}), h.que, argumento(registro),
                         argumento(h.fichero), QString::number(h.pagina),
                         h.huella.isEmpty() ? QString()
                                            : QStringLiteral(" --huella ") + argumento(h.huella))) +
            u'\n';
    return r;
}

bool InformeRegistro::todoCorrecto() const {
    return !ultimas.isEmpty() && lote.problemas.isEmpty() &&
           std::all_of(ultimas.begin(), ultimas.end(),
                       [this](qsizetype i) { return lote.solicitudes[i].completa(); });
}

QVector<SolicitudLeida> InformeRegistro::paraExportar() const {
    QVector<SolicitudLeida> r;
    const QVector<SolicitudLeida>& s = lote.solicitudes;
    qsizetype desde = 0;
    for (const qsizetype ultima : ultimas) {
        qsizetype elegida = ultima;
        for (qsizetype i = ultima; i >= desde; --i)
            if (s[i].completa()) {
                elegida = i;
                break;
            }
        r.append(s[elegida]);
        desde = ultima + 1;
    }
    return r;
}

QString resumenRegistro(const InformeRegistro& informe) {
    const qsizetype completas =
        std::count_if(informe.ultimas.begin(), informe.ultimas.end(),
                      [&informe](qsizetype i) { return informe.lote.solicitudes[i].completa(); });
    return resumenLote(informe.lote) +
           QStringLiteral("En el registro: %1, %2 con su última impresión completa.\n")
               .arg(cuantas(informe.ultimas.size(), "solicitante", "solicitantes"))
               .arg(completas);
}
