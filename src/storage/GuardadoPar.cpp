#include "storage/GuardadoPar.h"

#include "platform/FicheroAparte.h"

#include <sys/stat.h>
#include <unistd.h>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>

namespace {

void borrar(const QString& ruta) {
    if (!ruta.isEmpty()) ::unlink(QFile::encodeName(ruta).constData());
}

// Copia del documento de antes con otro nombre (un enlace duro: no copia nada), para volver a él.
// Vacío si no había documento. Donde no hay enlaces duros, se copia.
ResultadoDe<QString> copiaDelAnterior(const QString& documento) {
    struct stat st {};
    if (::lstat(QFile::encodeName(documento).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return QString();
    const QString copia = nombreAparte(documento);
    if (::link(QFile::encodeName(documento).constData(), QFile::encodeName(copia).constData()) == 0)
        return copia;
    const auto bytes = leerFicheroNormal(documento, 256 * 1024 * 1024);
    if (!bytes) return bytes.estado();
    if (Resultado r = escribirNuevo(copia, bytes.valor()); !r) return r;
    return copia;
}

// La copia del documento de antes cuando no ha podido volver a su sitio: se queda junto a él con
// un nombre a la vista ("<nombre>.anterior.doc", o "-2", "-3"... si ya lo hay), que no es el de
// una solicitud ni un fichero aparte (la limpieza al arrancar no lo toca). Devuelve su ruta; si no
// se ha podido cambiar el nombre, la de la copia tal cual.
QString guardarAnterior(const QString& copia, const QString& documento) {
    const QFileInfo fi(documento);
    for (int n = 1; n < 100; ++n) {
        const QString nombre = fi.absolutePath() + QLatin1Char('/') + fi.completeBaseName() +
                               QStringLiteral(".anterior") +
                               (n == 1 ? QString() : QStringLiteral("-%1").arg(n)) +
                               QLatin1Char('.') + fi.suffix();
        // Un enlace nuevo nunca sustituye a lo que ya haya con ese nombre.
        if (::link(QFile::encodeName(copia).constData(), QFile::encodeName(nombre).constData()) ==
            0) {
            borrar(copia);
            return nombre;
        }
        if (errno != EEXIST) break;
    }
    return copia;
}

// Qué hay con el nombre del documento cuando no es un fichero normal que se pueda copiar: vacío si
// no hay nada (o es un fichero normal).
QString otraCosaEn(const QString& documento) {
    struct stat st {};
    if (::lstat(QFile::encodeName(documento).constData(), &st) != 0 || S_ISREG(st.st_mode))
        return QString();
    if (S_ISLNK(st.st_mode)) return QStringLiteral("un enlace (lo que apuntaba no se ha tocado)");
    if (S_ISDIR(st.st_mode)) return QStringLiteral("una carpeta");
    return QStringLiteral("algo que no es un fichero normal");
}

Resultado falloPar(const Resultado& causa, const QString& queHay) {
    return Resultado::fallo(causa.mensaje() + QLatin1Char(' ') + queHay,
                            Errores::ErrorEntradaSalida);
}

}  // namespace

QString nuevoSelloGuardado() {
    return QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMddHHmmsszzz")) +
           QLatin1Char('-') +
           QString::number(QRandomGenerator::global()->generate64(), 16).rightJustified(16, u'0');
}

Resultado ponerParEnSuSitio(const QString& aparteDocumento, const QString& documento,
                            const QString& aparteListas, const QString& listas) {
    const QString carpeta = QFileInfo(documento).absolutePath();
    const QString habia = otraCosaEn(documento);
    const auto copia = copiaDelAnterior(documento);
    if (!copia) {
        borrar(aparteDocumento);
        borrar(aparteListas);
        return falloPar(copia.estado(), QStringLiteral("No se ha guardado nada: la solicitud "
                                                       "sigue como estaba."));
    }
    if (const int error = renombrar(aparteDocumento, documento)) {
        borrar(aparteDocumento);
        borrar(aparteListas);
        borrar(copia.valor());
        return falloPar(falloEscritura(documento, error),
                        QStringLiteral("No se ha guardado nada: la solicitud sigue como estaba."));
    }
    if (const int error = renombrar(aparteListas, listas)) {
        borrar(aparteListas);
        // El documento nuevo no vale sin sus listas: vuelve el de antes (o ninguno).
        int vuelta = 0;
        if (copia.valor().isEmpty())
            vuelta = ::unlink(QFile::encodeName(documento).constData()) == 0 ? 0 : errno;
        else
            vuelta = renombrar(copia.valor(), documento);
        // Sin vuelta atrás, la copia es lo único que queda del documento de antes: no se borra.
        const QString anterior = vuelta != 0 && !copia.valor().isEmpty()
                                     ? guardarAnterior(copia.valor(), documento)
                                     : QString();
        if (vuelta == 0) borrar(copia.valor());
        sincronizarCarpeta(carpeta);
        const Resultado causa = falloEscritura(listas, error);
        if (vuelta == 0 && copia.valor().isEmpty() && !habia.isEmpty())
            // Lo que había no se copia (no es un documento), así que no vuelve: el nombre se queda
            // vacío.
            return falloPar(causa, QStringLiteral("Ya no hay documento \"%1\": con ese nombre "
                                                  "había %2, que el guardado sustituyó y no se "
                                                  "puede volver a poner. Las listas \"%3\" son "
                                                  "las de antes.")
                                       .arg(documento, habia, listas));
        if (vuelta == 0)
            return falloPar(causa, QStringLiteral("No se ha guardado nada: la solicitud sigue "
                                                  "como estaba."));
        QString queHay = QStringLiteral(
                             "Tampoco se ha podido volver al documento anterior: el "
                             "documento \"%1\" tiene los datos nuevos y las listas son "
                             "las de antes; al abrirla se avisará.")
                             .arg(documento);
        if (!anterior.isEmpty())
            queHay +=
                QStringLiteral(" El documento anterior se ha guardado como \"%1\".").arg(anterior);
        return falloPar(causa, queHay);
    }
    borrar(copia.valor());
    if (Resultado r = sincronizarCarpeta(carpeta); !r)
        return falloPar(r, QStringLiteral("Los dos ficheros están en su sitio, pero una caída del "
                                          "sistema podría deshacer el guardado."));
    return Resultado::correcto();
}

namespace {

GanchoPasoGuardado& ganchoPaso() {
    static GanchoPasoGuardado g;
    return g;
}

}  // namespace

void ponerGanchoPasoGuardado(GanchoPasoGuardado gancho) {
    ganchoPaso() = std::move(gancho);
}

void pasoGuardado(PasoGuardado paso) {
    if (ganchoPaso()) ganchoPaso()(paso);
}
