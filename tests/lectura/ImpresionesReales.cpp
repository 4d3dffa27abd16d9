#include "ImpresionesReales.h"
#include "../apoyo/RutasCompilacion.h"

#include "../printing/PlantillasReales.h"
#include "../printing/SolicitudPrueba.h"
#include "ImpresionSimulada.h"
#include "global/Globales.h"
#include "printing/CodigoBarras.h"
#include "printing/GeneradorDocumento.h"
#include "printing/Impresion.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QProcess>
#include <QTemporaryDir>

namespace {

struct Receta {
    bool antigua;
    QString hora;
    int cursos, documentos, vacantes, resultas;
};

Receta receta(VarianteGenerador variante) {
    if (variante == VarianteGenerador::W97)
        return {true, QStringLiteral("10:15:00"), 36, 70, 75, 41};
    return {false, QStringLiteral("09:41:07"), 3, 2, 300, 41};
}

// La carpeta de las impresiones de esta compilación: cambia con el programa de pruebas (que lleva
// el generador) y con la herramienta que hace las plantillas.
QString carpetaImpresiones() {
    QCryptographicHash firma(QCryptographicHash::Sha1);
    for (const QString& f :
         {QCoreApplication::applicationFilePath(), rutaBinarios("/movilant-plantillas")}) {
        const QFileInfo fi(f);
        firma.addData(QByteArray::number(fi.lastModified().toMSecsSinceEpoch()) + ':' +
                      QByteArray::number(fi.size()) + ';');
    }
    const QString nombre = QString::fromLatin1(firma.result().toHex().left(16));
    // Las de compilaciones anteriores ya no sirven.
    QDir raiz(rutaBinarios("/pruebas-lector"));
    for (const QString& vieja : raiz.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        if (vieja != nombre) QDir(raiz.filePath(vieja)).removeRecursively();
    return raiz.filePath(nombre);
}

QVector<PlazaLeida> plazasDe(const PTabla& t) {
    QVector<PlazaLeida> plazas;
    for (t->moverPrimero(); !t->eof(); t->moverSiguiente())
        plazas.append({t->valor("Orden").toLongLong(), t->texto("CodConvocatoria")});
    return plazas;
}

Resultado imprimir(const Receta& r, const ImpresionReal& impresion, const QString& destino) {
    QTemporaryDir trabajo;
    if (!trabajo.isValid()) return Resultado::fallo("No se puede crear una carpeta temporal.");
    G().RutaTemporal = trabajo.path() + "/temp/";
    QDir().mkpath(G().RutaTemporal);
    const QString dot = construirPlantillasReales(trabajo.filePath("ficheros"));
    if (dot.isEmpty()) return Resultado::fallo("No se han podido construir las plantillas.");
    const ImpresionSimulada datos;
    PeticionDocumento p;
    p.plantilla = QDir(dot).filePath(r.antigua ? "PlantillaW97.dot" : "PlantillaWXP.dot");
    p.rutaDocumento = G().RutaTemporal + "12345678Z00123A.doc";
    p.rutaImpresion = trabajo.filePath("impresion.doc");
    p.variante = r.antigua ? VarianteGenerador::W97 : VarianteGenerador::XP;
    p.imprimir = true;
    p.dni = datos.dni;
    p.fecha = datos.fecha;
    p.hora = r.hora;
    p.prefijo = prefijoCodigoBarras(ClaveSolicitante(datos.dni, datos.cuerpo, datos.grupo),
                                    datos.fecha, r.hora);
    p.cargaSolicitante = impresion.carga;
    p.plazasPorPagina = 40;
    p.camposTexto = {
        {"PRIMERAPELLIDO", "Núñez de Arce"}, {"NOMBRE", "María Ángeles"}, {"NDNI", datos.dni}};
    const auto generada = generarDocumentoImpresion(p);
    if (!generada) return generada.estado();
    const QString pdf = trabajo.filePath("impresion.pdf");
    if (const Resultado c = convertirAPdf(p.rutaImpresion, pdf); !c) return c;
    // Se pone en su sitio de una vez: otro proceso nunca ve un PDF a medias.
    return QFile::rename(pdf, destino)
               ? Resultado::correcto()
               : Resultado::fallo("No se puede dejar el PDF en " + destino + ".");
}

}  // namespace

ResultadoDe<ImpresionReal> impresionReal(VarianteGenerador variante) {
    const Receta r = receta(variante);
    ImpresionReal impresion;
    impresion.hora = r.hora;
    impresion.carga = ImpresionSimulada().carga();
    reiniciarGlobales();
    G().PlazasPorPagina = QStringLiteral("40");
    rellenarListasPrueba(r.cursos, r.documentos, r.vacantes, r.resultas);
    impresion.vacantes = plazasDe(G().rsVacantesSolicitadas);
    impresion.resultas = plazasDe(G().rsResultasSolicitadas);

    const QString carpeta = carpetaImpresiones();
    QDir().mkpath(carpeta);
    impresion.pdf = carpeta + (r.antigua ? "/W97.pdf" : "/XP.pdf");
    QLockFile cerrojo(carpeta + "/.cerrojo-" + (r.antigua ? "W97" : "XP"));
    cerrojo.setStaleLockTime(0);  // solo vale si su proceso ya no existe
    if (!cerrojo.lock()) return Resultado::fallo("No se puede tomar el cerrojo de " + carpeta);
    Resultado hecho = Resultado::correcto();
    if (!QFileInfo::exists(impresion.pdf)) hecho = imprimir(r, impresion, impresion.pdf);
    cerrojo.unlock();
    reiniciarGlobales();
    if (!hecho) return hecho;
    return impresion;
}

QVector<QImage> hojasDe(const QString& pdf, const QString& carpeta) {
    QProcess p;
    p.start("pdftoppm", {"-r", "200", "-gray", pdf, carpeta + "/h"});
    if (!p.waitForFinished(120000) || p.exitCode() != 0) return {};
    QVector<QImage> imagenes;
    for (const QString& f : QDir(carpeta).entryList({"h-*.pgm"}, QDir::Files, QDir::Name)) {
        imagenes.append(QImage(carpeta + "/" + f));
        QFile::remove(carpeta + "/" + f);
    }
    return imagenes;
}
