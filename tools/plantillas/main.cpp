// movilant-plantillas: construye las plantillas de la solicitud impresa y el manual de usuario
// desde sus fuentes legibles (datos/plantillas).
//
//   movilant-plantillas instalar FUENTES CARPETA_FICHEROS [DOT_xxxxx ...]
//       Escribe PlantillaWXP.dot y PlantillaW97.dot en cada carpeta DOT_ pedida (sin ninguna,
//       en DOT_11111, la de todas las pestañas visibles).
//   movilant-plantillas manual FUENTES DESTINO
//       Escribe el manual ("Manual de Usuario.doc") en DESTINO.
#include "Composicion.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTextStream>

namespace {

int uso() {
    QTextStream(stderr)
        << "Uso:\n"
           "  movilant-plantillas instalar FUENTES CARPETA_FICHEROS [DOT_xxxxx ...]\n"
           "  movilant-plantillas manual FUENTES DESTINO\n";
    return 2;
}

int fallo(const QString& mensaje) {
    QTextStream(stderr) << mensaje << "\n";
    return 1;
}

QByteArray leer(const QString& ruta) {
    QFile f(ruta);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

int instalar(const QString& fuentes, const QString& destino, QStringList carpetas) {
    if (carpetas.isEmpty()) carpetas << QStringLiteral("DOT_11111");
    const QByteArray estilos = leer(fuentes + QStringLiteral("/estilos.xml"));
    if (estilos.isEmpty()) return fallo(QStringLiteral("Falta %1/estilos.xml").arg(fuentes));
    static const QRegularExpression forma(QStringLiteral("^DOT_[01]{5}$"));
    for (const QString& carpeta : carpetas) {
        if (!forma.match(carpeta).hasMatch())
            return fallo(QStringLiteral("Nombre de carpeta no válido: %1 (debe ser DOT_ y cinco "
                                        "cifras 0 o 1)")
                             .arg(carpeta));
        const QString ruta = destino + QLatin1Char('/') + carpeta;
        if (!QDir().mkpath(ruta)) return fallo(QStringLiteral("No se puede crear %1").arg(ruta));
        const QString pestanas = carpeta.mid(4);
        const struct {
            VariantePlantilla variante;
            const char* nombre;
        } variantes[] = {{VariantePlantilla::XP, "PlantillaWXP.dot"},
                         {VariantePlantilla::W97, "PlantillaW97.dot"}};
        for (const auto& v : variantes) {
            auto doc =
                componerSolicitud(fuentes + QStringLiteral("/solicitud.xml"), v.variante, pestanas);
            if (!doc) return fallo(doc.mensaje());
            const Resultado r = escribirPaquete(ruta + QLatin1Char('/') + QLatin1String(v.nombre),
                                                doc.valor(), estilos, true);
            if (!r) return fallo(r.mensaje());
        }
        QTextStream(stdout) << "Plantillas escritas en " << ruta << "\n";
    }
    return 0;
}

int manual(const QString& fuentes, const QString& destino) {
    const QByteArray estilos = leer(fuentes + QStringLiteral("/estilos.xml"));
    if (estilos.isEmpty()) return fallo(QStringLiteral("Falta %1/estilos.xml").arg(fuentes));
    auto doc = componerManual(fuentes + QStringLiteral("/manual.txt"));
    if (!doc) return fallo(doc.mensaje());
    Resultado r = escribirPaquete(destino, doc.valor(), estilos, false);
    if (r) r = ponerImagenes(destino, fuentes);
    if (!r) return fallo(r.mensaje());
    QTextStream(stdout) << "Manual escrito en " << destino << "\n";
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList a = app.arguments();
    if (a.size() >= 4 && a[1] == QLatin1String("instalar")) return instalar(a[2], a[3], a.mid(4));
    if (a.size() == 4 && a[1] == QLatin1String("manual")) return manual(a[2], a[3]);
    return uso();
}
