#include "lectura/ComprobacionLote.h"

#include "lectura/CargaSolicitante.h"
#include "lectura/ComprobacionListas.h"
#include "platform/Codificacion.h"
#include "printing/CodigoBarras.h"
#include "users/Validacion.h"

#include <QHash>
#include <QMap>
#include <QSet>
#include <algorithm>

namespace {

// Campos de la carga que forman la clave: DNI, cuerpo y grupo.
constexpr int kCampoDni = 4;
constexpr int kCampoDniConyuge = 8;
constexpr int kCampoCuerpo = 19;
constexpr int kCampoGrupo = 20;
// Páginas de un fichero que se nombran en un mensaje antes de resumir el resto.
constexpr int kPaginasEnMensaje = 10;
// Páginas con código de una impresión corriente (solicitante, Vacantes y Resultas).
constexpr qsizetype kPaginasPrevistas = 8;

// "2", "2 y 3", "2, 3 y 4".
QString enumerar(const QStringList& cosas) {
    if (cosas.size() <= 1) return cosas.join(QString());
    return cosas.mid(0, cosas.size() - 1).join(QStringLiteral(", ")) + QStringLiteral(" y ") +
           cosas.last();
}

// "fichero a.pdf, páginas 1, 5 y 6; fichero b.png, página 1", con las páginas de cada fichero
// en el orden en que se leyeron.
QString ubicaciones(const QVector<PaginaSolicitud>& paginas) {
    QStringList ficheros;
    QMap<QString, QStringList> deCadaUno;
    for (const PaginaSolicitud& p : paginas) {
        if (!deCadaUno.contains(p.origen.fichero)) ficheros.append(p.origen.fichero);
        deCadaUno[p.origen.fichero].append(QString::number(p.origen.pagina));
    }
    QStringList partes;
    for (const QString& f : ficheros) {
        QStringList numeros = deCadaUno[f];
        if (numeros.size() > kPaginasEnMensaje) {
            const qsizetype resto = numeros.size() - kPaginasEnMensaje;
            numeros = numeros.mid(0, kPaginasEnMensaje);
            numeros.append(QStringLiteral("%1 más").arg(resto));
        }
        partes.append(
            QStringLiteral("fichero %1, %2 %3")
                .arg(f, numeros.size() == 1 ? QStringLiteral("página") : QStringLiteral("páginas"),
                     enumerar(numeros)));
    }
    return partes.join(QStringLiteral("; "));
}

// Orden de las solicitudes en el informe: clave y luego momento de la impresión, como número
// aaaammddhhmmss (la fecha "dd/MM/yyyy" y la hora "HH:mm:ss" ya se han comprobado).
using LlaveSolicitud = std::pair<QString, qint64>;
LlaveSolicitud llaveSolicitud(const CodigoInterpretado& c) {
    qint64 momento = 0;
    for (const qsizetype i : {6, 7, 8, 9, 3, 4, 0, 1})
        momento = momento * 10 + (c.fecha[i].unicode() - u'0');
    for (const qsizetype i : {0, 1, 3, 4, 6, 7})
        momento = momento * 10 + (c.hora[i].unicode() - u'0');
    return {c.clave, momento};
}

void leerSolicitante(const PaginaSolicitud& p, SolicitudLeida& s) {
    if (p.codigo.pagina != 1)
        s.problemas.append(QStringLiteral("la página del solicitante lleva el número %1 y no el 1 "
                                          "(%2)")
                               .arg(p.codigo.pagina)
                               .arg(describirOrigen(p.origen)));
    const auto campos = separarCarga(p.codigo.carga);
    if (!campos) {
        s.problemas.append(QStringLiteral("los datos del solicitante no se pueden separar (%1): %2")
                               .arg(describirOrigen(p.origen), campos.mensaje()));
        return;
    }
    s.campos = campos.valor();
    s.problemas += problemasCampos(s.campos);
    // El programa no imprime un DNI que no pase su comprobación: uno así no viene de él.
    for (const auto& [campo, que] :
         {std::pair{kCampoDni, "DNI"}, {kCampoDniConyuge, "DNI del cónyuge"}}) {
        const QString& dni = s.campos[campo];
        if (campo == kCampoDniConyuge && dni.isEmpty()) continue;
        if (const ComprobacionDNI c = ComprobarDNI(dni); !c.valido || c.texto != dni)
            s.problemas.append(QStringLiteral("el %1 «%2» de los datos del solicitante no es "
                                              "válido: no son ocho cifras y la letra que les "
                                              "corresponde")
                                   .arg(QString::fromUtf8(que), dni));
    }
    if (ClaveSolicitante(s.campos[kCampoDni], s.campos[kCampoCuerpo], s.campos[kCampoGrupo]) !=
        s.clave)
        s.problemas.append(
            QStringLiteral("el DNI, el cuerpo y el grupo de los datos del "
                           "solicitante («%1», «%2», «%3») no son los de la clave "
                           "de sus códigos («%4»)")
                .arg(s.campos[kCampoDni], s.campos[kCampoCuerpo], s.campos[kCampoGrupo], s.clave));
}

void avisosFichero(const QString& fichero, const QStringList& paginas, const QString& que,
                   QStringList& avisos) {
    if (paginas.isEmpty()) return;
    QString aviso =
        QStringLiteral("fichero %1, %2 %3")
            .arg(fichero,
                 paginas.size() == 1 ? QStringLiteral("página") : QStringLiteral("páginas"),
                 enumerar(paginas));
    if (!que.isEmpty()) aviso += QLatin1Char(' ') + que;
    avisos.append(aviso);
}

}  // namespace

bool InformeLote::todoCorrecto() const {
    return !solicitudes.isEmpty() && problemas.isEmpty() &&
           std::all_of(solicitudes.begin(), solicitudes.end(),
                       [](const SolicitudLeida& s) { return s.completa(); });
}

SolicitudLeida comprobarSolicitud(QVector<PaginaSolicitud> paginas) {
    SolicitudLeida s;
    if (paginas.isEmpty()) return s;
    const CodigoInterpretado& c0 = paginas.first().codigo;
    s.clave = c0.clave;
    s.dni = c0.dni;
    s.cuerpo = c0.cuerpo;
    s.grupo = c0.grupo;
    s.fecha = c0.fecha;
    s.hora = c0.hora;
    // Casi siempre llegan ya en orden: entonces no se mueven.
    const auto porNumero = [](const PaginaSolicitud& a, const PaginaSolicitud& b) {
        return a.codigo.pagina < b.codigo.pagina;
    };
    if (!std::is_sorted(paginas.cbegin(), paginas.cend(), porNumero))
        std::stable_sort(paginas.begin(), paginas.end(), porNumero);

    // Las repetidas se quitan sin mover las demás a otro sitio.
    QStringList repetidas;
    qsizetype quedan = 0;
    for (qsizetype i = 0; i < paginas.size(); ++i) {
        PaginaSolicitud& p = paginas[i];
        if (quedan > 0 && paginas[quedan - 1].codigo.pagina == p.codigo.pagina) {
            const PaginaSolicitud& antes = paginas[quedan - 1];
            const QString donde =
                describirOrigen(antes.origen) + QStringLiteral(" y ") + describirOrigen(p.origen);
            repetidas.append(
                antes.codigo.bruto == p.codigo.bruto
                    ? QStringLiteral("página %1 repetida: %2").arg(p.codigo.pagina).arg(donde)
                    : QStringLiteral("la página %1 está dos veces y con distinto "
                                     "contenido: %2")
                          .arg(p.codigo.pagina)
                          .arg(donde));
            continue;
        }
        if (quedan != i) paginas[quedan] = std::move(p);
        ++quedan;
    }
    paginas.resize(quedan);
    s.paginas = std::move(paginas);

    const PaginaSolicitud* solicitante = nullptr;
    QVector<PaginaPlazas> vacantes, resultas;
    vacantes.reserve(s.paginas.size());
    resultas.reserve(s.paginas.size());
    for (const PaginaSolicitud& p : s.paginas) {
        if (p.codigo.tipo == TipoPagina::Solicitante) {
            if (!solicitante)
                solicitante = &p;
            else
                s.problemas.append(
                    QStringLiteral("hay dos páginas del solicitante: %1 y %2")
                        .arg(describirOrigen(solicitante->origen), describirOrigen(p.origen)));
            continue;
        }
        // La 1 es la del solicitante y la 2 la primera de cursos y documentos.
        if (p.codigo.pagina < 3)
            s.problemas.append(QStringLiteral("la página %1 de %2 no puede llevar ese número (%3)")
                                   .arg(p.codigo.pagina)
                                   .arg(nombreTipo(p.codigo.tipo), describirOrigen(p.origen)));
        (p.codigo.tipo == TipoPagina::Vacantes ? vacantes : resultas)
            .append({p.codigo.pagina, p.codigo.plazas, p.origen});
    }
    if (solicitante)
        leerSolicitante(*solicitante, s);
    else
        s.problemas.append(QStringLiteral("falta la página 1 (datos del solicitante)"));

    const int n = plazasPorPaginaDeducidas(vacantes, resultas);
    const ListaComprobada v = comprobarLista(TipoPagina::Vacantes, vacantes, n);
    const ListaComprobada r = comprobarLista(TipoPagina::Resultas, resultas, n);
    s.vacantes = v.plazas;
    s.resultas = r.plazas;
    s.problemas +=
        v.problemas + r.problemas + comprobarEntreListas(vacantes, resultas, n) + repetidas;
    // Los datos y las plazas ya están en `campos`, `vacantes` y `resultas`: las páginas no los
    // guardan otra vez (en un registro de miles de solicitudes, decenas de megas).
    for (PaginaSolicitud& p : s.paginas) {
        p.codigo.carga = QString();
        p.codigo.plazas = QVector<PlazaLeida>();
    }
    return s;
}

InformeLote comprobarLote(const QVector<PaginaLeida>& paginas, Reimpresiones reimpresiones) {
    InformeLote informe;
    QMap<LlaveSolicitud, QVector<PaginaSolicitud>> grupos;
    QStringList ficheros;  // en el orden del lote, para los avisos
    QSet<QString> vistos;
    QMap<QString, QStringList> enBlanco, sinCodigo;
    QStringList sinLeer;  // páginas que pueden ser de cualquier solicitud
    ReservaCodigos reserva;
    for (const PaginaLeida& p : paginas) {
        if (p.origen.pagina > 0) ++informe.paginas;
        if (!vistos.contains(p.origen.fichero)) {
            vistos.insert(p.origen.fichero);
            ficheros.append(p.origen.fichero);
        }
        switch (p.estado) {
            case EstadoPagina::Fallo: {
                const QString donde = describirOrigen(p.origen);
                informe.problemas.append(
                    QStringLiteral("no se puede leer el %1: %2").arg(donde, p.detalle));
                sinLeer.append(donde);
                break;
            }
            case EstadoPagina::Ilegible: {
                const QString donde = describirOrigen(p.origen);
                informe.problemas.append(QStringLiteral("código ilegible en %1").arg(donde));
                sinLeer.append(donde);
                break;
            }
            case EstadoPagina::EnBlanco:
                enBlanco[p.origen.fichero].append(QString::number(p.origen.pagina));
                break;
            case EstadoPagina::SinCodigo:
                ++informe.paginasSinCodigo;
                sinCodigo[p.origen.fichero].append(QString::number(p.origen.pagina));
                break;
            case EstadoPagina::ConCodigos:
                for (const QByteArray& bytes : p.codigos) {
                    auto c = interpretarCodigo(Codificacion::desdeWindows1252(bytes), &reserva);
                    if (!c) {
                        informe.problemas.append(QStringLiteral("código no válido en %1: %2")
                                                     .arg(describirOrigen(p.origen), c.mensaje()));
                        continue;
                    }
                    QVector<PaginaSolicitud>& grupo = grupos[llaveSolicitud(c.valor())];
                    // Una impresión corriente lleva pocas páginas: sitio para ellas de una vez.
                    if (grupo.isEmpty()) grupo.reserve(kPaginasPrevistas);
                    PaginaSolicitud nueva{p.origen, std::move(c.valor())};
                    // Las páginas de una impresión llevan la misma clave, fecha y hora: con una
                    // sola copia de esos textos para todas, queda menos memoria que liberar.
                    if (!grupo.isEmpty()) compartirPrefijo(grupo.first().codigo, nueva.codigo);
                    grupo.append(std::move(nueva));
                }
                break;
        }
    }
    for (const QString& f : ficheros) {
        avisosFichero(f, enBlanco.value(f), QStringLiteral("en blanco"), informe.avisos);
        avisosFichero(f, sinCodigo.value(f), QString(), informe.sinCodigo);
    }

    // Las páginas de cada solicitud solo hacen falta después para decir dónde está otra
    // impresión del mismo solicitante; si no, pasan a la solicitud sin copiarse.
    const bool aparte = reimpresiones == Reimpresiones::SeCompruebanAparte;
    QVector<QVector<PaginaSolicitud>> deCadaUna;
    informe.solicitudes.reserve(grupos.size());
    for (auto it = grupos.begin(); it != grupos.end(); ++it) {
        if (!aparte) deCadaUna.append(it.value());
        informe.solicitudes.append(comprobarSolicitud(std::move(it.value())));
    }
    // Dos impresiones del mismo solicitante en el lote: cada una dice dónde están las de la otra.
    if (!aparte) {
        QHash<QString, QVector<qsizetype>> conLaClave;
        for (qsizetype i = 0; i < informe.solicitudes.size(); ++i)
            conLaClave[informe.solicitudes[i].clave].append(i);
        for (qsizetype i = 0; i < informe.solicitudes.size(); ++i)
            for (const qsizetype j : conLaClave.value(informe.solicitudes[i].clave)) {
                const SolicitudLeida& otra = informe.solicitudes[j];
                if (i == j) continue;
                informe.solicitudes[i].problemas.append(
                    QStringLiteral(
                        "hay páginas de otra impresión del mismo solicitante, la del %1 a "
                        "las %2: %3")
                        .arg(otra.fecha, otra.hora, ubicaciones(deCadaUna[j])));
            }
    }
    // En un lote y en el registro: una hoja sin leer puede ser de cualquier solicitud.
    if (!sinLeer.isEmpty())
        for (SolicitudLeida& s : informe.solicitudes)
            s.problemas.append(
                QStringLiteral("puede faltarle alguna página: no se ha podido leer %1")
                    .arg(sinLeer.join(QStringLiteral("; "))));
    return informe;
}

void anotarCarpetasSinLeer(InformeLote& informe, const QStringList& carpetas) {
    if (carpetas.isEmpty()) return;
    informe.problemas = carpetas + informe.problemas;
    for (SolicitudLeida& s : informe.solicitudes)
        s.problemas.append(QStringLiteral("puede faltarle alguna página: %1")
                               .arg(carpetas.join(QStringLiteral("; "))));
}
