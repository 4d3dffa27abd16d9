#include "storage/SolicitudesGuardadas.h"

#include "global/Globales.h"
#include "global/ModGeneral.h"
#include "storage/BloqueoSolicitud.h"

#include <QDir>
#include <QFile>

namespace {
constexpr int kLongitudNombre = 21;
}

QString NombreFicheroSolicitud(const QString& dni, const QString& cuerpo, const QString& grupo) {
    return Rellenar(dni.left(9), 9, true, QStringLiteral("0")) +
           Rellenar(cuerpo.left(6), 6, true, QStringLiteral("_")) +
           Rellenar(grupo.left(1), 2, true, QStringLiteral("0")) + QStringLiteral(".doc");
}

QString NombreFicheroListas(const QString& nombreDocumento) {
    return nombreDocumento.left(nombreDocumento.size() - 3) + QStringLiteral("xml");
}

PTabla CrearTablaSolicitudesGuardadas() {
    return Tabla::crear(QStringLiteral("rsSolicitudesGuardadas"),
                        {{QStringLiteral("Fichero"), TipoCampo::Texto, 21},
                         {QStringLiteral("DNI"), TipoCampo::Texto, 9},
                         {QStringLiteral("Cuerpo"), TipoCampo::Texto, 6},
                         {QStringLiteral("DescCuerpo"), TipoCampo::Texto, 60},
                         {QStringLiteral("Grupo"), TipoCampo::Texto, 2},
                         // Lo que distingue una solicitud de otra del mismo DNI, de un vistazo.
                         {QStringLiteral("Resumen"), TipoCampo::Texto, 100}});
}

namespace {

// Descripción del cuerpo de un nombre de fichero. El nombre guarda el código relleno por la
// izquierda con "_" hasta 6 caracteres; el catálogo lo guarda sin relleno, así que se busca sin
// él (buscarlo tal cual no encontraría nunca los códigos de cinco caracteres del catálogo).
// `busqueda` es un segundo cursor sobre rsCuerpos (nulo si no está cargada): no se toca el filtro
// ni la posición del que usan los combos.
QString descripcionCuerpo(const PTabla& busqueda, const QString& cuerpoEnNombre) {
    if (!busqueda) return {};
    QString codigo = cuerpoEnNombre;
    while (codigo.startsWith(QLatin1Char('_'))) codigo.remove(0, 1);
    if (codigo.contains(QLatin1Char('\''))) return {};  // no es un código del catálogo
    busqueda->moverPrimero();
    if (!busqueda->buscar(QStringLiteral("CodCuerpo='") + codigo + QStringLiteral("'")) ||
        busqueda->eof())
        return {};
    return busqueda->texto(QStringLiteral("DescCuerpo"));
}

}  // namespace

qint16 ListarSolicitudes(const QString& dni) {
    G().rsSolicitudesGuardadas = CrearTablaSolicitudesGuardadas();
    PTabla tabla = G().rsSolicitudesGuardadas;
    const QStringList ficheros =
        QDir(G().RutaTemporal).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    const PTabla& cuerpos = G().rsCuerpos;
    const PTabla busqueda = cuerpos && cuerpos->abierta() ? cuerpos->clonar() : nullptr;
    qint16 cuenta = 0;
    for (const QString& nombre : ficheros) {
        if (nombre.size() != kLongitudNombre) continue;
        if (nombre.right(4).toUpper() != QStringLiteral(".DOC")) continue;
        if (nombre.left(9) != dni) continue;
        ++cuenta;
        // Campos: Fichero, DNI, Cuerpo, DescCuerpo, Grupo y el resumen de los tres últimos.
        const QString cuerpo = nombre.mid(9, 6);
        const QString descripcion = descripcionCuerpo(busqueda, cuerpo).left(60);
        QString codigo = cuerpo;
        while (codigo.startsWith(QLatin1Char('_'))) codigo.remove(0, 1);
        // El nombre del fichero al final: dos documentos que solo cambian en mayúsculas dan filas
        // iguales en todo lo demás.
        const QString resumen =
            QStringLiteral("%1 · grupo %2 · %3 · %4")
                .arg(codigo, nombre.mid(16, 1),
                     descripcion.isEmpty() ? QStringLiteral("(sin descripción)") : descripcion,
                     nombre);
        tabla->anadirRegistro(
            {nombre, nombre.left(9), cuerpo, descripcion, nombre.mid(16, 1), resumen.left(100)});
    }
    tabla->moverPrimero();
    return cuenta;
}

ResultadoDe<int> BorrarFicherosSolicitud(const QString& carpeta, const QString& nombreDocumento) {
    // Con el mismo bloqueo que al abrirla: una solicitud abierta en otro programa no se le borra
    // por debajo (al cerrar allí sin guardar se perdería). Donde no se puede escribir, no se
    // borrará nada y se dirá.
    const auto bloqueo = BloqueoSolicitud::tomar(carpeta, nombreDocumento);
    if (!bloqueo && bloqueo.numero() != BloqueoSolicitud::kCarpetaSinEscritura)
        return bloqueo.estado();
    int borrados = 0;
    if (QFile::remove(carpeta + nombreDocumento)) ++borrados;
    // Los documentos cuyo nombre solo cambia en la extensión ("doc", "DOC") comparten el fichero
    // de listas: mientras quede otro, las listas son suyas.
    const QString listas = NombreFicheroListas(nombreDocumento);
    for (const QString& otro : QDir(carpeta).entryList(QDir::Files | QDir::Hidden))
        if (otro != nombreDocumento && otro.size() == kLongitudNombre &&
            otro.right(4).toUpper() == QStringLiteral(".DOC") &&
            NombreFicheroListas(otro) == listas)
            return borrados;
    if (QFile::remove(carpeta + listas)) ++borrados;
    return borrados;
}
