#include "startup/RutasPrograma.h"

#include "global/Configuracion.h"
#include "platform/DocumentoXml.h"

#include <QDir>
#include <QFileInfo>

namespace {

QString conBarra(const QString& carpeta) {
    return carpeta.endsWith(u'/') ? carpeta : carpeta + u'/';
}

// Carpeta del juego de catálogos que nombra conf.xml, si lo nombra. Un conf.xml que falta o no
// se lee no se dice aquí: lo dice la pantalla de carga, con su número de paso.
QString catalogosDeConfiguracion(const QString& carpetaPrograma) {
    DocumentoXml doc;
    const QString ruta = carpetaPrograma + u'/' + kFicheroConfiguracion;
    if (!QFileInfo::exists(ruta) || !doc.cargarFichero(ruta)) return {};
    const QString consulta = QStringLiteral("/Configuracion/Catalogos");
    if (!doc.existe(consulta)) return {};
    const QString carpeta = doc.texto(consulta).trimmed();
    if (carpeta.isEmpty()) return {};
    return QDir(carpetaPrograma).absoluteFilePath(carpeta);
}

}  // namespace

QString RutasPrograma::temporal() const {
    return instalado ? datos + QStringLiteral("/temp/") : ficheros() + QStringLiteral("temp/");
}

QString RutasPrograma::paso() const {
    return instalado ? conBarra(datos) : ficheros();
}

RutasPrograma rutasPortatiles(const QString& carpeta) {
    RutasPrograma r;
    r.programa = carpeta;
    r.datos = carpeta;
    r.catalogos = r.ficheros();
    return r;
}

ResultadoDe<RutasPrograma> resolverRutas(const EntornoArranque& e) {
    RutasPrograma r;
    if (QFileInfo::exists(e.carpetaEjecutable + u'/' + kFicheroConfiguracion)) {
        r = rutasPortatiles(e.carpetaEjecutable);
    } else {
        r.instalado = true;
        r.programa = QDir::cleanPath(e.carpetaEjecutable + QStringLiteral("/../share/movilant"));
        if (!QFileInfo(r.programa).isDir())
            return Resultado::fallo(
                QStringLiteral("no se encuentran los ficheros del programa: no hay \"%1\" junto "
                               "al programa (%2) ni la carpeta %3")
                    .arg(kFicheroConfiguracion, QDir::toNativeSeparators(e.carpetaEjecutable),
                         QDir::toNativeSeparators(r.programa)),
                Errores::FicheroNoEncontrado);
        // Una ruta relativa en XDG_DATA_HOME no vale (así lo dicen las reglas de XDG): se usa la
        // de siempre.
        QString base = e.xdgDataHome;
        if (base.isEmpty() || QDir::isRelativePath(base)) {
            if (e.home.isEmpty() || QDir::isRelativePath(e.home))
                return Resultado::fallo(
                    QStringLiteral("no se sabe dónde guardar las solicitudes: no están definidas "
                                   "ni XDG_DATA_HOME ni HOME"),
                    Errores::FicheroNoEncontrado);
            base = e.home + QStringLiteral("/.local/share");
        }
        r.datos = QDir::cleanPath(base + QStringLiteral("/movilant"));
        r.catalogos = r.ficheros();
    }
    if (!e.catalogos.isEmpty())
        r.catalogos =
            conBarra(QDir::cleanPath(QDir(e.carpetaActual).absoluteFilePath(e.catalogos)));
    else if (const QString deConf = catalogosDeConfiguracion(r.programa); !deConf.isEmpty())
        r.catalogos = conBarra(QDir::cleanPath(deConf));
    return r;
}

ResultadoDe<OpcionesOrden> leerOpcionesOrden(const QStringList& argumentos) {
    OpcionesOrden o;
    for (qsizetype i = 1; i < argumentos.size(); ++i) {
        const QString& a = argumentos.at(i);
        if (a == QLatin1String("--version")) {
            o.version = true;
        } else if (a == QLatin1String("--ayuda") || a == QLatin1String("--help") ||
                   a == QLatin1String("-h")) {
            o.ayuda = true;
        } else if (a == QLatin1String("--catalogos")) {
            if (i + 1 >= argumentos.size() || argumentos.at(i + 1).isEmpty())
                return Resultado::fallo(QStringLiteral("a --catalogos le falta la carpeta"),
                                        Errores::ArgumentoIncorrecto);
            o.catalogos = argumentos.at(++i);
        } else if (a.startsWith(QLatin1String("--catalogos="))) {
            o.catalogos = a.mid(12);
            if (o.catalogos.isEmpty())
                return Resultado::fallo(QStringLiteral("a --catalogos le falta la carpeta"),
                                        Errores::ArgumentoIncorrecto);
        } else {
            return Resultado::fallo(QStringLiteral("opción desconocida: %1").arg(a),
                                    Errores::ArgumentoIncorrecto);
        }
    }
    return o;
}

QString textoAyudaOrden() {
    return QStringLiteral(
        "Uso: movilant [--catalogos CARPETA] [--version] [--ayuda]\n"
        "\n"
        "Rellena, guarda e imprime la solicitud de participación en un concurso de traslados.\n"
        "\n"
        "  --catalogos CARPETA  usa el juego de catálogos (F0001.enc a F0016.enc) de CARPETA en\n"
        "                       lugar del que trae el programa\n"
        "  --version            escribe la versión y termina\n"
        "  --ayuda              escribe esta ayuda y termina\n"
        "\n"
        "Con conf.xml junto al programa, todo se lee y se escribe en esa carpeta. Si no, lo que\n"
        "se escribe (usuarios, solicitudes guardadas y sus PDF) va a $XDG_DATA_HOME/movilant\n"
        "(por omisión ~/.local/share/movilant).\n");
}
