#include "startup/ComprobacionCatalogos.h"

#include "catalogue/Decodificacion.h"
#include "catalogue/FormatosCatalogo.h"
#include "catalogue/ModCargaFicheros.h"
#include "platform/Causas.h"
#include "platform/Codificacion.h"
#include "platform/ServicioMensajes.h"
#include "startup/CargaCatalogos.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace {

struct LineaClara {
    QString texto;
    int numero;
};

struct Revision {
    QList<Hallazgo> hallazgos;
    QHash<QString, QList<LineaClara>> claras;  // por fichero, las líneas que se pudieron leer

    void anotar(const QString& fichero, int linea, const QString& descripcion, bool impide) {
        hallazgos.append({fichero, linea, descripcion, impide});
    }
};

// Catálogos sin los que el programa no sirve: sin cuerpos no se puede pedir nada y sin provincias
// no se puede buscar ninguna plaza.
const QStringList kSinRegistrosImpide = {QStringLiteral("F0002.enc"), QStringLiteral("F0004.enc")};

// Lee y descifra un fichero, anotando cada línea que el programa no podría descifrar.
void revisarFichero(Revision& rev, const QString& carpeta, const QString& fichero) {
    QFile f(QDir(carpeta).filePath(fichero));
    if (!f.exists()) return rev.anotar(fichero, 0, QStringLiteral("falta el fichero"), true);
    if (!f.open(QIODevice::ReadOnly))
        return rev.anotar(fichero, 0,
                          QStringLiteral("no se puede leer: %1").arg(causaLectura(f.fileName())),
                          true);
    QList<LineaClara>& claras = rev.claras[fichero];
    bool avisadoLf = false;
    const QByteArray contenido = f.readAll();
    if (contenido.trimmed().isEmpty())
        return rev.anotar(fichero, 0, QStringLiteral("está vacío"),
                          kSinRegistrosImpide.contains(fichero));
    QList<LineaFichero> lineas = partirLineas(contenido);
    // Una última línea sin fin de línea se lee, pero suele ser un fichero cortado al copiarlo.
    if (!lineas.isEmpty() && lineas.last().fin == FinLinea::Ninguno &&
        !lineas.last().bytes.isEmpty())
        rev.anotar(fichero, lineas.last().numero,
                   QStringLiteral("la última línea no acaba en fin de línea: el fichero puede "
                                  "estar cortado"),
                   false);
    for (LineaFichero& l : lineas) {
        if ((l.fin == FinLinea::LF || l.fin == FinLinea::CR) && !avisadoLf) {
            // Se lee bien, pero el formato pide CR+LF: basta con avisar de la primera.
            rev.anotar(fichero, l.numero,
                       l.fin == FinLinea::LF ? QStringLiteral("fin de línea LF en lugar de CR+LF")
                                             : QStringLiteral("fin de línea CR sin LF"),
                       false);
            avisadoLf = true;
        }
        if (l.bytes.isEmpty()) continue;
        if (l.bytes.size() > kMaxCaracteresLinea) {
            rev.anotar(fichero, l.numero,
                       QStringLiteral("línea de %1 caracteres (como mucho %2)")
                           .arg(l.bytes.size())
                           .arg(kMaxCaracteresLinea),
                       true);
            continue;
        }
        const QByteArray guardada = l.bytes;
        const qsizetype malo = desplazarBytes(l.bytes, -1);
        if (malo >= 0) {
            rev.anotar(fichero, l.numero,
                       QStringLiteral("carácter de código %1 en la columna %2: no se puede "
                                      "descifrar")
                           .arg(uchar(guardada.at(malo)))
                           .arg(malo + 1),
                       true);
            continue;
        }
        // Un 0x0B o 0x0E guardado es LF o CR en claro: el programa partiría ahí la línea.
        const qsizetype corte = std::max(l.bytes.indexOf('\n'), l.bytes.indexOf('\r'));
        if (corte >= 0)
            rev.anotar(fichero, l.numero,
                       QStringLiteral("en claro lleva un fin de línea en la columna %1: se leería "
                                      "como dos líneas")
                           .arg(corte + 1),
                       false);
        claras.append({Codificacion::desdeWindows1252(l.bytes), l.numero});
    }
}

// Valores más largos que su campo, y comillas que romperían las búsquedas del programa.
void revisarCampos(Revision& rev, const FormatoCatalogo& f) {
    for (const LineaClara& l : rev.claras.value(f.fichero)) {
        for (const CampoFormato& c : f.campos) {
            const QString v = valorCampo(l.texto, c);
            for (const Campo& e : f.esquema) {
                if (e.nombre.compare(c.campo, Qt::CaseInsensitive) != 0) continue;
                if (e.tipo == TipoCampo::Texto && v.size() > e.longitud)
                    rev.anotar(f.fichero, l.numero,
                               QStringLiteral("%1 tiene %2 caracteres y su campo admite %3")
                                   .arg(c.campo)
                                   .arg(v.size())
                                   .arg(e.longitud),
                               true);
            }
        }
    }
}

// Códigos de plaza repetidos en un catálogo o una lista; devuelve la primera línea de cada
// código.
QHash<QString, LineaClara> revisarCodigos(Revision& rev, const QString& fichero) {
    QHash<QString, LineaClara> primeras;
    const CampoFormato codigo{QStringLiteral("CodConvocatoria"), 1, 5};
    for (const LineaClara& l : rev.claras.value(fichero)) {
        const QString cod = valorCampo(l.texto, codigo);
        if (cod.contains(u'\''))
            rev.anotar(fichero, l.numero,
                       QStringLiteral("el código de plaza «%1» lleva una comilla").arg(cod), true);
        const auto it = primeras.constFind(cod);
        if (it != primeras.constEnd())
            rev.anotar(fichero, l.numero,
                       QStringLiteral("código de plaza %1 repetido (ya en la línea %2)")
                           .arg(cod)
                           .arg(it->numero),
                       false);
        else
            primeras.insert(cod, l);
    }
    return primeras;
}

void revisarLista(Revision& rev, const QString& lista, const QString& catalogo) {
    const QHash<QString, LineaClara> plazas = revisarCodigos(rev, catalogo);
    revisarCodigos(rev, lista);
    const CampoFormato codigo{QStringLiteral("CodConvocatoria"), 1, 5};
    for (const LineaClara& l : rev.claras.value(lista)) {
        const QString cod = valorCampo(l.texto, codigo);
        if (!plazas.contains(cod))
            rev.anotar(lista, l.numero,
                       QStringLiteral("el código %1 no está en %2").arg(cod, catalogo), false);
    }
}

// Mensajes de la carga de prueba: se recogen en lugar de mostrarse.
class MensajesRecogidos : public ServicioMensajes {
public:
    Respuesta mostrar(const QString&, const QString&, Icono, Botones, Respuesta) override {
        return Respuesta::Aceptar;
    }
};

void cargarCopia(Revision& rev, const QString& carpeta) {
    ServicioMensajes* anterior = &mensajes();
    MensajesRecogidos silencio;
    instalarServicioMensajes(&silencio);
    establecerTerminacionPlazas([] {});
    const Resultado r = cargarCopiaDeLosCatalogos(carpeta);
    establecerTerminacionPlazas({});
    instalarServicioMensajes(anterior);
    if (r) return;
    // Se saca el fichero y la línea del mensaje del cargador, si los lleva.
    static const QRegularExpression donde(QStringLiteral("(F\\d{4}\\.enc), línea (\\d+): "));
    const auto m = donde.match(r.mensaje());
    rev.anotar(m.hasMatch() ? m.captured(1) : QStringLiteral("(carga)"),
               m.hasMatch() ? m.captured(2).toInt() : 0,
               QStringLiteral("el programa no lo puede cargar: %1").arg(r.mensaje()), true);
}

}  // namespace

QList<Hallazgo> comprobarCatalogos(const QString& carpeta) {
    Revision rev;
    // Una carpeta que no se puede leer es un problema, no dieciséis ficheros que faltan.
    const QFileInfo info(carpeta);
    if (info.isDir() && (!info.isReadable() || !info.isExecutable())) {
        rev.anotar(QStringLiteral("(carpeta)"), 0,
                   QStringLiteral("no hay permiso para leer la carpeta %1").arg(carpeta), true);
        return rev.hallazgos;
    }
    QStringList vistos;
    for (const FormatoCatalogo& f : formatos()) {
        if (vistos.contains(f.fichero)) continue;
        vistos << f.fichero;
        revisarFichero(rev, carpeta, f.fichero);
    }
    for (const FormatoCatalogo& f : formatos()) revisarCampos(rev, f);
    revisarLista(rev, QStringLiteral("F0011.enc"), QStringLiteral("F0009.enc"));
    revisarLista(rev, QStringLiteral("F0012.enc"), QStringLiteral("F0010.enc"));

    const bool impide = std::any_of(rev.hallazgos.cbegin(), rev.hallazgos.cend(),
                                    [](const Hallazgo& h) { return h.impideCarga; });
    if (!impide) cargarCopia(rev, carpeta);
    std::stable_sort(rev.hallazgos.begin(), rev.hallazgos.end(),
                     [](const Hallazgo& a, const Hallazgo& b) {
                         return a.fichero != b.fichero ? a.fichero < b.fichero : a.linea < b.linea;
                     });
    return rev.hallazgos;
}

QString describir(const Hallazgo& h) {
    const QString donde =
        h.linea > 0 ? QStringLiteral("%1, línea %2").arg(h.fichero).arg(h.linea) : h.fichero;
    return donde + QStringLiteral(": ") + h.descripcion;
}
