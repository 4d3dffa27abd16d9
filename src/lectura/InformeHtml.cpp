#include "lectura/InformeHtml.h"

#include "lectura/InterpretacionCodigo.h"
#include "lectura/SalidaLectura.h"
#include "platform/Codificacion.h"
#include "platform/FicheroAparte.h"

#include <QBuffer>
#include <QDir>
#include <QHash>
#include <QImageReader>
#include <QSet>
#include <algorithm>

namespace {

// Lo leído de un código o de un nombre de fichero, para el HTML: primero con sus caracteres de
// control y los que cambian el sentido del texto a la vista (paraTerminal), y después los cinco
// que significan algo en HTML como entidades. Así no abre ni cierra una marca ni un atributo.
QString h(const QString& texto) {
    const QString visible = paraTerminal(texto);
    QString r;
    r.reserve(visible.size() + visible.size() / 8);
    for (const QChar c : visible) {
        switch (c.unicode()) {
            case u'&':
                r += QStringLiteral("&amp;");
                break;
            case u'<':
                r += QStringLiteral("&lt;");
                break;
            case u'>':
                r += QStringLiteral("&gt;");
                break;
            case u'"':
                r += QStringLiteral("&quot;");
                break;
            case u'\'':
                r += QStringLiteral("&#39;");
                break;
            default:
                r += c;
        }
    }
    return r;
}

// Estado de una solicitud en el informe, en el orden en que salen.
enum class Estado { Incompleta, ConProblemas, Completa };

bool faltaAlgo(const QString& problema) {
    return problema.startsWith(QStringLiteral("falta ")) ||
           problema.startsWith(QStringLiteral("faltan "));
}

Estado estadoDe(const SolicitudLeida& s) {
    if (s.completa()) return Estado::Completa;
    return std::any_of(s.problemas.begin(), s.problemas.end(), faltaAlgo) ? Estado::Incompleta
                                                                          : Estado::ConProblemas;
}

const char* claseEstado(Estado e) {
    switch (e) {
        case Estado::Incompleta:
            return "incompleta";
        case Estado::ConProblemas:
            return "con-problemas";
        case Estado::Completa:
            break;
    }
    return "completa";
}

QString nombreEstado(Estado e) {
    switch (e) {
        case Estado::Incompleta:
            return QStringLiteral("Incompleta");
        case Estado::ConProblemas:
            return QStringLiteral("Con problemas");
        case Estado::Completa:
            break;
    }
    return QStringLiteral("Completa");
}

QString llaveImpresion(const QString& clave, const QString& fecha, const QString& hora) {
    return clave + QLatin1Char('\n') + fecha + QLatin1Char(' ') + hora;
}

QString quien(const SolicitudLeida& s) {
    return QStringLiteral("%1 (cuerpo %2, grupo %3)")
        .arg(textoConAcentos(s.dni), s.cuerpo, s.grupo);
}

QString impresion(const SolicitudLeida& s) {
    return QStringLiteral("la del %1 a las %2").arg(s.fecha, s.hora);
}

// Lo que hay que hacer con una hoja con códigos que sí se leen; vacío si nada.
struct Juicio {
    QString que, hacer;
};

Juicio juzgarCodigos(const PaginaLeida& p, const InformeLote& lote,
                     const QHash<QString, qsizetype>& porImpresion,
                     const QHash<QString, qsizetype>& ultimaDe, bool otrasImpresiones) {
    for (const QByteArray& bytes : p.codigos) {
        const auto c = interpretarCodigo(Codificacion::desdeWindows1252(bytes));
        if (!c)
            return {QStringLiteral("hoja ajena: su código no es el de una solicitud (%1)")
                        .arg(c.mensaje()),
                    QStringLiteral("sobra")};
        const CodigoInterpretado& codigo = c.valor();
        const qsizetype i =
            porImpresion.value(llaveImpresion(codigo.clave, codigo.fecha, codigo.hora), -1);
        if (i < 0) continue;
        const SolicitudLeida& s = lote.solicitudes[i];
        // La página que vale de ese número es la primera que se leyó: esta, si no está repetida.
        const auto guardada = std::find_if(
            s.paginas.begin(), s.paginas.end(),
            [&](const PaginaSolicitud& g) { return g.codigo.pagina == codigo.pagina; });
        if (guardada != s.paginas.end() && (guardada->origen.fichero != p.origen.fichero ||
                                            guardada->origen.pagina != p.origen.pagina)) {
            if (guardada->codigo.bruto == codigo.bruto)
                return {QStringLiteral("repetida: la página %1 de %2 ya está en el %3")
                            .arg(codigo.pagina)
                            .arg(quien(s), describirOrigen(guardada->origen)),
                        QStringLiteral("sobra")};
            return {QStringLiteral("la página %1 de %2 está dos veces y con distinto contenido; "
                                   "la otra, en el %3")
                        .arg(codigo.pagina)
                        .arg(quien(s), describirOrigen(guardada->origen)),
                    QStringLiteral("sobra una de las dos: ver cuál es de la impresión buena")};
        }
        const qsizetype ultima = ultimaDe.value(s.clave, i);
        if (otrasImpresiones && ultima != i)
            return {QStringLiteral("página %1 de otra impresión de %2, %3; la última es %4")
                        .arg(codigo.pagina)
                        .arg(quien(s), impresion(s), impresion(lote.solicitudes[ultima])),
                    QStringLiteral("sobra: vale la última impresión")};
    }
    return {};
}

}  // namespace

QVector<HojaParaVer> hojasParaVer(const QVector<PaginaLeida>& paginas, const InformeLote& lote,
                                  bool otrasImpresiones) {
    QHash<QString, qsizetype> porImpresion, ultimaDe;
    // Las de un solicitante van seguidas y de la más antigua a la última.
    for (qsizetype i = 0; i < lote.solicitudes.size(); ++i) {
        const SolicitudLeida& s = lote.solicitudes[i];
        porImpresion.insert(llaveImpresion(s.clave, s.fecha, s.hora), i);
        ultimaDe.insert(s.clave, i);
    }
    QVector<HojaParaVer> hojas;
    for (const PaginaLeida& p : paginas) {
        HojaParaVer hoja{p.origen, {}, {}, p.miniatura, true};
        switch (p.estado) {
            case EstadoPagina::Fallo:
                hoja.que = (p.origen.pagina == 0 ? QStringLiteral("el fichero no se puede leer: %1")
                                                 : QStringLiteral("la página no se puede leer: %1"))
                               .arg(p.detalle);
                hoja.hacer = QStringLiteral("volver a escanear");
                hoja.imagen.clear();
                hoja.seHaLeido = false;
                break;
            case EstadoPagina::Ilegible:
                hoja.que = QStringLiteral("código ilegible");
                hoja.hacer = QStringLiteral("volver a escanear");
                break;
            case EstadoPagina::EnBlanco:
                hoja.que = QStringLiteral("hoja en blanco");
                hoja.hacer = QStringLiteral(
                    "sobra (si debía llevar algo, volver a escanearla por "
                    "la otra cara)");
                break;
            case EstadoPagina::ConCodigos: {
                const Juicio j = juzgarCodigos(p, lote, porImpresion, ultimaDe, otrasImpresiones);
                hoja.que = j.que;
                hoja.hacer = j.hacer;
                break;
            }
            case EstadoPagina::SinCodigo:
                break;
        }
        if (!hoja.que.isEmpty()) hojas.append(hoja);
    }
    return hojas;
}

namespace {

const char* const kEstilo = R"(
:root { font-family: "Liberation Sans", "DejaVu Sans", Arial, sans-serif; color: #111; }
body { max-width: 1100px; margin: 1em auto; padding: 0 1em; font-size: 14px; line-height: 1.35; }
h1 { font-size: 1.6em; margin: 0 0 .2em; }
h2 { font-size: 1.25em; border-bottom: 2px solid #444; margin: 1.4em 0 .5em; }
p.origen { color: #444; margin: 0 0 1em; }
.recuentos { display: flex; flex-wrap: wrap; gap: .5em; margin: 0; padding: 0; }
.recuento { list-style: none; border: 1px solid #bbb; border-radius: 4px; padding: .3em .7em;
  min-width: 7.5em; }
.recuento b { display: block; font-size: 1.6em; }
.recuento.mal { border-color: #c00; background: #fff0f0; }
.recuento.bien { border-color: #393; background: #effaef; }
table { border-collapse: collapse; width: 100%; }
th, td { border: 1px solid #bbb; padding: .25em .45em; text-align: left; vertical-align: top; }
th { background: #eee; }
td.estado { font-weight: bold; white-space: nowrap; }
tr.incompleta > td.estado { background: #ffd6d6; }
tr.con-problemas > td.estado { background: #ffefbf; }
tr.completa > td.estado { background: #dcf3dc; }
td.problemas ul { margin: 0; padding-left: 1.2em; }
p.nota { margin: .2em 0 0; color: #555; font-style: italic; }
tr.anteriores > td { border-top: none; background: #fafafa; }
details > summary { cursor: pointer; color: #333; }
table.anteriores { margin: .4em 0 .2em; }
.hojas { display: grid; grid-template-columns: repeat(auto-fill, minmax(320px, 1fr)); gap: 1em; }
.hoja { border: 2px solid #999; border-radius: 4px; padding: .5em; break-inside: avoid; }
.hoja img { display: block; width: 100%; height: auto; border: 1px solid #ccc; }
.hoja p { margin: .3em 0; }
.hoja p.que { font-weight: bold; }
.hoja p.hacer { font-size: 1.15em; font-weight: bold; color: #a00; }
.hoja p.hacer::first-letter { text-transform: uppercase; }
.sin-imagen { border: 1px dashed #999; padding: 3em 1em; text-align: center; color: #555;
  background: #f4f4f4; }
.vacio { color: #393; font-weight: bold; }
@page { size: A4; margin: 12mm; }
@media print {
  body { max-width: none; margin: 0; padding: 0; font-size: 9.5pt; }
  .hojas { grid-template-columns: repeat(2, 1fr); }
  .hoja img { max-height: 115mm; width: auto; max-width: 100%; margin: 0 auto; }
  h2 { break-after: avoid; }
  tr { break-inside: avoid; }
}
)";

struct Recuentos {
    qsizetype completas = 0, incompletas = 0, conProblemas = 0;
    qsizetype leidas = 0, ilegibles = 0, enBlanco = 0, sinCodigo = 0, ficherosSinLeer = 0;
};

Recuentos contar(const QVector<PaginaLeida>& paginas, const InformeLote& lote,
                 const QVector<qsizetype>& filas) {
    Recuentos r;
    for (const qsizetype i : filas) switch (estadoDe(lote.solicitudes[i])) {
            case Estado::Completa:
                ++r.completas;
                break;
            case Estado::Incompleta:
                ++r.incompletas;
                break;
            case Estado::ConProblemas:
                ++r.conProblemas;
                break;
        }
    QSet<QString> sinLeer;
    for (const PaginaLeida& p : paginas) {
        if (p.origen.pagina > 0) ++r.leidas;
        if (p.estado == EstadoPagina::Ilegible) ++r.ilegibles;
        if (p.estado == EstadoPagina::EnBlanco) ++r.enBlanco;
        if (p.estado == EstadoPagina::SinCodigo) ++r.sinCodigo;
        if (p.estado == EstadoPagina::Fallo) sinLeer.insert(p.origen.fichero);
    }
    r.ficherosSinLeer = sinLeer.size();
    return r;
}

QString recuento(qsizetype n, const QString& que, bool malSiHay) {
    const char* clase = !malSiHay ? "" : n > 0 ? " mal" : " bien";
    return QStringLiteral("<li class=\"recuento%1\" data-que=\"%2\"><b>%3</b>%4</li>\n")
        .arg(QLatin1String(clase), h(que))
        .arg(n)
        .arg(h(que));
}

QString filaSolicitud(const SolicitudLeida& s, const QString& clase) {
    const Estado e = estadoDe(s);
    QString t = QStringLiteral(
                    "<tr class=\"%1 %2\"><td class=\"dni\">%3</td><td>%4</td>"
                    "<td>%5</td><td>%6 %7</td><td class=\"estado\">%8</td>"
                    "<td class=\"problemas\">")
                    .arg(clase, QLatin1String(claseEstado(e)), h(textoConAcentos(s.dni)),
                         h(s.cuerpo), h(s.grupo), h(s.fecha), h(s.hora), nombreEstado(e));
    if (!s.problemas.isEmpty()) {
        t += QStringLiteral("<ul>");
        for (const QString& p : s.problemas) t += QStringLiteral("<li>%1</li>").arg(h(p));
        t += QStringLiteral("</ul>");
    } else {
        t += QStringLiteral("Vacantes: %1; Resultas: %2.")
                 .arg(s.vacantes.size())
                 .arg(s.resultas.size());
    }
    if (!s.nota.isEmpty()) t += QStringLiteral("<p class=\"nota\">%1</p>").arg(h(s.nota));
    return t + QStringLiteral("</td></tr>\n");
}

constexpr char kCabeceraTabla[] =
    "<thead><tr><th>DNI</th><th>Cuerpo</th><th>Grupo</th><th>Impresa</th><th>Estado</th>"
    "<th>Qué falta o está mal</th></tr></thead>\n";

// Cada solicitante: sus impresiones en lote.solicitudes, la que vale primero.
using Solicitante = QVector<qsizetype>;

QString tablaSolicitudes(const InformeLote& lote, QVector<Solicitante> solicitantes) {
    if (solicitantes.isEmpty())
        return QStringLiteral("<p class=\"ninguna\">No se ha leído ninguna solicitud.</p>\n");
    std::stable_sort(solicitantes.begin(), solicitantes.end(),
                     [&lote](const Solicitante& a, const Solicitante& b) {
                         return estadoDe(lote.solicitudes[a.first()]) <
                                estadoDe(lote.solicitudes[b.first()]);
                     });
    QString t = QStringLiteral("<table class=\"solicitudes\">\n") +
                QString::fromUtf8(kCabeceraTabla) + QStringLiteral("<tbody>\n");
    for (const Solicitante& impresiones : solicitantes) {
        t += filaSolicitud(lote.solicitudes[impresiones.first()], QStringLiteral("solicitud"));
        if (impresiones.size() == 1) continue;
        t += QStringLiteral(
                 "<tr class=\"anteriores\"><td colspan=\"6\"><details><summary>%1 "
                 "de este solicitante</summary>\n<table class=\"anteriores\">"
                 "<tbody>\n")
                 .arg(cuantas(impresiones.size() - 1, "impresión anterior",
                              "impresiones anteriores"));
        for (qsizetype k = 1; k < impresiones.size(); ++k)
            t += filaSolicitud(lote.solicitudes[impresiones[k]], QStringLiteral("anterior"));
        t += QStringLiteral("</tbody></table></details></td></tr>\n");
    }
    return t + QStringLiteral("</tbody></table>\n");
}

QSize tamanoJpeg(const QByteArray& bytes) {
    QBuffer b;
    b.setData(bytes);
    b.open(QIODevice::ReadOnly);
    return QImageReader(&b, "JPG").size();
}

QString seccionHojas(const QVector<HojaParaVer>& hojas, bool enRegistro, InformeHtml& informe) {
    QString t = QStringLiteral("<h2>Hojas que tiene que ver una persona</h2>\n");
    if (hojas.isEmpty())
        return t +
               QStringLiteral("<p class=\"vacio\">Ninguna: todas las hojas se han leído.</p>\n");
    t += QStringLiteral("<div class=\"hojas\">\n");
    for (const HojaParaVer& hoja : hojas) {
        const QString donde = describirOrigen(hoja.origen);
        t += QStringLiteral("<div class=\"hoja\">\n");
        if (!hoja.imagen.isEmpty()) {
            const QString nombre = QStringLiteral("hoja-%1.jpg")
                                       .arg(informe.imagenes.size() + 1, 4, 10, QLatin1Char('0'));
            informe.imagenes.append({nombre, hoja.imagen});
            const QSize tamano = tamanoJpeg(hoja.imagen);
            t += QStringLiteral("<img src=\"%1/%2\" width=\"%3\" height=\"%4\" alt=\"%5\">\n")
                     .arg(QLatin1String(kCarpetaImagenes), nombre)
                     .arg(tamano.width())
                     .arg(tamano.height())
                     .arg(h(donde));
        } else if (enRegistro && hoja.seHaLeido) {
            t += QStringLiteral(
                     "<p class=\"sin-imagen\">La imagen no está en el registro: la "
                     "hoja es la página %1 del fichero %2.</p>\n")
                     .arg(hoja.origen.pagina)
                     .arg(h(hoja.origen.fichero));
        } else {
            t += QStringLiteral(
                "<p class=\"sin-imagen\">Sin imagen: el fichero no se ha podido "
                "leer.</p>\n");
        }
        t += QStringLiteral(
                 "<p class=\"que\">%1</p>\n<p class=\"donde\">%2</p>\n"
                 "<p class=\"hacer\">%3</p>\n</div>\n")
                 .arg(h(hoja.que), h(donde), h(hoja.hacer));
    }
    return t + QStringLiteral("</div>\n");
}

QString seccionFaltan(const InformeLote& lote, const QVector<Solicitante>& solicitantes) {
    QString lista;
    for (const Solicitante& impresiones : solicitantes) {
        const SolicitudLeida& s = lote.solicitudes[impresiones.first()];
        for (const QString& p : s.problemas)
            if (faltaAlgo(p))
                lista += QStringLiteral("<li><b>%1</b>, impresa el %2 a las %3: %4</li>\n")
                             .arg(h(quien(s)), h(s.fecha), h(s.hora), h(p));
    }
    if (lista.isEmpty()) return {};
    return QStringLiteral(
               "<h2>Páginas que faltan</h2>\n<p>Lo que debería llevar cada una: su "
               "lista y sus plazas.</p>\n<ul class=\"faltan\">\n") +
           lista + QStringLiteral("</ul>\n");
}

InformeHtml componer(const QString& titulo, const QString& origen,
                     const QVector<PaginaLeida>& paginas, const InformeLote& lote,
                     const QVector<Solicitante>& solicitantes, const QVector<HojaParaVer>& hojas,
                     bool enRegistro) {
    InformeHtml informe;
    QVector<qsizetype> validas;
    for (const Solicitante& s : solicitantes) validas.append(s.first());
    const Recuentos r = contar(paginas, lote, validas);
    QString t = QStringLiteral(
                    "<!DOCTYPE html>\n<html lang=\"es\">\n<head>\n<meta charset=\"utf-8\">\n"
                    // Aunque algo se colara, el navegador no ejecuta nada ni pide nada fuera.
                    "<meta http-equiv=\"Content-Security-Policy\" content=\"script-src 'none'; "
                    "object-src 'none'; connect-src 'none'; frame-src 'none'; "
                    "form-action 'none'; base-uri 'none'\">\n"
                    "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
                    "<title>%1</title>\n<style>%2</style>\n</head>\n<body>\n<h1>%1</h1>\n"
                    "<p class=\"origen\">%3</p>\n")
                    .arg(h(titulo), QString::fromUtf8(kEstilo), h(origen));
    const QString deQue = enRegistro ? QStringLiteral("Solicitantes: su última impresión")
                                     : QStringLiteral("Solicitudes");
    t += QStringLiteral("<h2>%1</h2>\n<ul class=\"recuentos\">\n").arg(deQue);
    t += recuento(r.completas, QStringLiteral("completas"), false);
    t += recuento(r.incompletas, QStringLiteral("incompletas"), true);
    t += recuento(r.conProblemas, QStringLiteral("con problemas"), true);
    t += QStringLiteral("</ul>\n<h2>Páginas</h2>\n<ul class=\"recuentos\">\n");
    t += recuento(r.leidas, QStringLiteral("leídas"), false);
    t += recuento(r.ilegibles, QStringLiteral("ilegibles"), true);
    t += recuento(r.enBlanco, QStringLiteral("en blanco"), true);
    t += recuento(r.sinCodigo, QStringLiteral("sin código (cursos y documentos)"), false);
    t += recuento(r.ficherosSinLeer, QStringLiteral("ficheros que no se leen"), true);
    t += QStringLiteral("</ul>\n<h2>%1</h2>\n")
             .arg(enRegistro ? QStringLiteral("Solicitantes") : QStringLiteral("Solicitudes"));
    t += tablaSolicitudes(lote, solicitantes);
    t += seccionHojas(hojas, enRegistro, informe);
    t += seccionFaltan(lote, solicitantes);
    if (!lote.avisos.isEmpty()) {
        t += QStringLiteral("<h2>Avisos</h2>\n<ul class=\"avisos\">\n");
        for (const QString& a : lote.avisos) t += QStringLiteral("<li>%1</li>\n").arg(h(a));
        t += QStringLiteral("</ul>\n");
    }
    t += QStringLiteral("</body>\n</html>\n");
    informe.html = t.toUtf8();
    return informe;
}

QString cuando(const QDateTime& momento) {
    return momento.toString(QStringLiteral("dd/MM/yyyy 'a las' HH:mm"));
}

}  // namespace

InformeHtml informeDeLote(const QVector<PaginaLeida>& paginas, const InformeLote& lote,
                          const QString& carpeta, const QDateTime& momento) {
    QVector<Solicitante> solicitantes;
    for (qsizetype i = 0; i < lote.solicitudes.size(); ++i) solicitantes.append(Solicitante{i});
    return componer(
        QStringLiteral("Informe de la lectura"),
        QStringLiteral("Lectura del %1; resultados en %2.").arg(cuando(momento), carpeta), paginas,
        lote, solicitantes, hojasParaVer(paginas, lote, true), false);
}

InformeHtml informeDeRegistro(const QVector<PaginaLeida>& paginas, const InformeLote& lote,
                              const QVector<qsizetype>& ultimas, const QString& registro,
                              const QDateTime& momento) {
    // Las impresiones de cada solicitante van seguidas, de la más antigua a la última.
    QVector<Solicitante> solicitantes;
    qsizetype desde = 0;
    for (const qsizetype ultima : ultimas) {
        Solicitante s;
        for (qsizetype i = ultima; i >= desde; --i) s.append(i);
        solicitantes.append(s);
        desde = ultima + 1;
    }
    return componer(QStringLiteral("Informe del registro de la oficina"),
                    QStringLiteral("Registro %1, el %2.").arg(registro, cuando(momento)), paginas,
                    lote, solicitantes, hojasParaVer(paginas, lote, false), true);
}

ResultadoDe<QString> escribirInforme(const InformeHtml& informe, const QString& carpeta) {
    const QDir dir(carpeta);
    if (!informe.imagenes.isEmpty() && !dir.mkpath(QString::fromLatin1(kCarpetaImagenes)))
        return Resultado::fallo(QStringLiteral("No se puede crear la carpeta de las imágenes del "
                                               "informe «%1».")
                                    .arg(dir.filePath(QString::fromLatin1(kCarpetaImagenes))),
                                Errores::ErrorEntradaSalida);
    const QDir imagenes(dir.filePath(QString::fromLatin1(kCarpetaImagenes)));
    // Las imágenes se rehacen leyendo otra vez el lote: sin esperar a que cada una llegue al disco.
    for (const auto& [nombre, bytes] : informe.imagenes)
        if (const Resultado r =
                escribirReemplazando(imagenes.filePath(nombre), bytes, Sincronizar::No);
            !r)
            return r;
    const QString ruta = dir.filePath(QString::fromLatin1(kNombreInforme));
    if (const Resultado r = escribirReemplazando(ruta, informe.html); !r) return r;
    return ruta;
}
