#include "startup/PasosArranque.h"

#include "catalogue/Esquemas.h"
#include "catalogue/ModCargaFicheros.h"
#include "global/Globales.h"
#include "platform/FicheroAparte.h"
#include "storage/BloqueoSolicitud.h"

#include <sys/stat.h>
#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// La carpeta de las solicitudes guardadas lleva datos personales (DNI, discapacidad): solo del
// usuario, sea cual sea la umask. Si falta se crea; si es suya y la pueden ver otros, se cierra.
void carpetaPrivada(const QString& carpeta) {
    const QByteArray nombre = QFile::encodeName(carpeta);
    if (::mkdir(nombre.constData(), 0700) == 0) ::chmod(nombre.constData(), 0700);
    struct stat st {};
    if (::lstat(nombre.constData(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() &&
        (st.st_mode & 077) != 0)
        ::chmod(nombre.constData(), st.st_mode & 0700);
}

// Por qué no se pudo crear una carpeta.
QString causaCarpeta(const QString& carpeta) {
    const QFileInfo fi(carpeta);
    if (fi.exists()) return QStringLiteral("en su lugar hay un fichero");
    const QFileInfo encima(fi.path());
    if (!encima.isDir()) return QStringLiteral("no se puede crear la carpeta %1").arg(fi.path());
    if (!encima.isWritable())
        return QStringLiteral("no hay permiso para escribir en %1").arg(fi.path());
    return QStringLiteral("el sistema no deja crearla");
}

// El documento completo de una impresión que se cortó ("<solicitud sin .doc>.docx") lleva la
// solicitud entera: se borra, salvo el de una solicitud abierta ahora en otro programa (puede
// estar imprimiéndola).
void limpiarImpresiones(const QString& carpeta) {
    for (const QFileInfo& fi :
         QDir(carpeta).entryInfoList({QStringLiteral("*.docx")}, QDir::Files | QDir::System)) {
        const QString nombre = fi.fileName();
        if (nombre.size() != 22) continue;
        if (BloqueoSolicitud::enUso(carpeta, nombre.left(17) + QStringLiteral(".doc"))) continue;
        ::unlink(QFile::encodeName(fi.absoluteFilePath()).constData());
    }
}

// Los ficheros aparte de la carpeta de solicitudes son de la solicitud que nombran sus 17
// primeras letras (".<solicitud>.doc.<azar>.aparte", el de sus listas, el PDF de una impresión
// sin comprobar). Con la solicitud abierta en otro programa pueden ser de un guardado o una
// impresión en marcha: se dejan, aunque sean viejos (la copia del documento de antes, para volver
// a él si el guardado falla, lleva la hora de ese documento). Si nadie la tiene, son restos.
UsoAparte usoEnSolicitudes(const QString& carpeta, QString nombre) {
    while (nombre.startsWith(QLatin1Char('.'))) nombre.remove(0, 1);
    if (nombre.size() < 18 || nombre.at(17) != QLatin1Char('.')) return UsoAparte::NoSeSabe;
    return BloqueoSolicitud::enUso(carpeta, nombre.left(17) + QStringLiteral(".doc"))
               ? UsoAparte::EnUso
               : UsoAparte::Libre;
}

}  // namespace

Resultado PrepararArranque(const QString& carpetaAplicacion) {
    return PrepararArranque(rutasPortatiles(carpetaAplicacion));
}

Resultado PrepararArranque(const RutasPrograma& rutas) {
    Globales& g = G();
    g.RutaFicheros = rutas.ficheros();
    g.RutaTemporal = rutas.temporal();
    g.RutaCatalogos = rutas.catalogos;
    g.RutaPaso = rutas.paso();
    g.CarpetaPrograma = rutas.programa;
    g.CarpetaDatos = rutas.datos;
    if (rutas.instalado) {
        // Las carpetas de encima (~/.local/share) pueden no existir aún en una cuenta nueva.
        QDir().mkpath(QFileInfo(rutas.datos).path());
        carpetaPrivada(rutas.datos);
        if (!QFileInfo(rutas.datos).isDir())
            return Resultado::fallo(
                QStringLiteral("no se puede crear la carpeta de datos %1: %2")
                    .arg(QDir::toNativeSeparators(rutas.datos), causaCarpeta(rutas.datos)),
                Errores::ErrorEntradaSalida);
    }
    carpetaPrivada(g.RutaTemporal);
    // Lo que una ejecución interrumpida dejara escrito aparte, sin poner en su sitio. Instalado,
    // solo se escribe en la carpeta de datos.
    const QStringList escritas =
        rutas.instalado ? QStringList{rutas.datos} : QStringList{rutas.programa, g.RutaFicheros};
    for (const QString& carpeta : escritas) limpiarApartes(carpeta);
    // En la de las solicitudes, nada de una que otra copia del programa tenga abierta.
    const QString temp = g.RutaTemporal;
    limpiarApartes(temp, [&temp](const QString& nombre) { return usoEnSolicitudes(temp, nombre); });
    limpiarImpresiones(G().RutaTemporal);
    G().rsCuerpos = CrearTablaCuerpos();
    return CargarCuerpos(G().rsCuerpos);
}

void CerrarTablas() {
    Globales& g = G();
    PTabla* const tablas[] = {&g.rsVacantesCuerpo,
                              &g.rsResultasCuerpo,
                              &g.rsLocalidadesVacantes,
                              &g.rsLocalidadesResultas,
                              &g.rsConsejeriasVacantes,
                              &g.rsProvincias,
                              &g.rsProvinciasPersonales,
                              &g.rsCuerpos,
                              &g.rsGrupos,
                              &g.rsLocalidades,
                              &g.rsCursos,
                              &g.rsVacantesSolicitadas,
                              &g.rsResultasSolicitadas,
                              &g.rsPlazasResultas,
                              &g.rsPlazasVacantes,
                              &g.rsPlazasCuerpo,
                              &g.rsPlazasGrupo,
                              &g.rsPlazasListaV,
                              &g.rsPlazasListaR,
                              &g.rsSolicitudesGuardadas};
    for (PTabla* t : tablas)
        if (*t && (*t)->abierta()) (*t)->cerrar();
    for (PTabla* t : tablas) t->reset();
}
