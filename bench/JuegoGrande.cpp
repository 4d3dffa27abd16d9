#include "JuegoGrande.h"

#include "catalogue/Esquemas.h"
#include "catalogue/GeneradorCatalogos.h"
#include "catalogue/ModCargaFicheros.h"
#include "global/Globales.h"
#include "startup/PasosCarga.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {

const char kConf[] =
    "<Configuracion Nombre=\"Concurso de Traslados\" numPlazasPorPag=\"40\">"
    "<Tab><NombreTab>A</NombreTab><Visibilidad>S</Visibilidad><TituloTab>A</TituloTab>"
    "<TituloSobreGrid>A</TituloSobreGrid></Tab></Configuracion>";

}  // namespace

// Carpeta del programa con ficheros/ del juego grande. Con MOVILANT_CATALOGOS_GRANDE se usa una
// carpeta ya generada con "movilant-catalogos generar": así la memoria medida es solo la carga.
const QString& carpetaPrograma() {
    static std::unique_ptr<QTemporaryDir> dir;
    static QString ruta;
    if (dir) return ruta;
    dir = std::make_unique<QTemporaryDir>();
    ruta = dir->path();
    const QString ficheros = ruta + "/ficheros/";
    QDir().mkpath(ficheros);
    const QString hecha = qEnvironmentVariable("MOVILANT_CATALOGOS_GRANDE");
    if (!hecha.isEmpty()) {
        for (const QString& f : QDir(hecha).entryList({"F*.enc"}))
            QFile::copy(hecha + "/" + f, ficheros + f);
    } else if (Resultado r = generarCatalogos(ficheros, tamanoGrande()); !r) {
        std::fprintf(stderr, "%s\n", qPrintable(r.mensaje()));
    }
    QFile conf(ruta + "/conf.xml");
    conf.open(QIODevice::WriteOnly);
    conf.write(kConf);
    QFile texto(ficheros + "FicheroTexto.txt");
    texto.open(QIODevice::WriteOnly);
    texto.write("Concurso de traslados\r\n");
    return ruta;
}

// Lo que hay antes de la pantalla de carga: las rutas y rsCuerpos.
bool prepararArranque() {
    reiniciarGlobales();
    G().RutaFicheros = carpetaPrograma() + "/ficheros/";
    G().rsCuerpos = CrearTablaCuerpos();
    return CargarCuerpos(G().rsCuerpos).ok();
}

long kibDeStatus(const char* clave) {
    QFile f("/proc/self/status");
    if (!f.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& l : f.readAll().split('\n'))
        if (l.startsWith(clave))
            return l.mid(int(strlen(clave))).trimmed().split(' ').value(0).toLong();
    return -1;
}

bool cargadoUnaVez() {
    static int estado = 0;
    if (estado == 0) {
        CargaSinVentana obs;
        estado = prepararArranque() && !PasosCarga(obs).ejecutar() ? 1 : -1;
    }
    return estado == 1;
}
