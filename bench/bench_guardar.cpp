// Guardar una solicitud grande (documento y fichero de listas) y la impresión de una solicitud,
// de la orden a la entrega, frente a una conversión desnuda de LibreOffice del mismo documento.
#include "../tests/apoyo/RutasCompilacion.h"
#include "catalogue/Esquemas.h"
#include "global/Globales.h"
#include "printing/GeneradorDocumento.h"
#include "printing/Impresion.h"
#include "printing/ProcesosExternos.h"
#include "storage/CamposSolicitud.h"
#include "storage/ListasXml.h"
#include "storage/SolicitudesGuardadas.h"

#include <benchmark/benchmark.h>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QUrl>

namespace {

// Carpeta con las plantillas del programa hechas por movilant-plantillas.
const QString& carpetaPlantillas() {
    static QTemporaryDir dir;
    static QString ruta;
    if (!ruta.isEmpty()) return ruta;
    QProcess p;
    p.start(rutaBinarios("/movilant-plantillas"),
            {"instalar", rutaFuentes("/datos/plantillas"), dir.path(), "DOT_11111"});
    if (p.waitForFinished(60000) && p.exitCode() == 0) ruta = dir.path() + "/DOT_11111";
    return ruta;
}

const QString kNombreGrande = QStringLiteral("12345678Z_10013_0E.doc");

// Las cuatro listas de la solicitud con tantas filas.
void listas(int plazas, int cursos) {
    reiniciarGlobales();
    Globales& g = G();
    g.rsVacantesSolicitadas = CrearTablaPlazasSolicitadas("rsVacantesSolicitadas");
    g.rsResultasSolicitadas = CrearTablaPlazasSolicitadas("rsResultasSolicitadas");
    g.rsCursos = CrearTablaCursos();
    g.rsDocumentos = CrearTablaDocumentos();
    for (const PTabla& t : {g.rsVacantesSolicitadas, g.rsResultasSolicitadas})
        for (int i = 0; i < plazas; ++i)
            t->anadirRegistro({qint64(i), qint64(i + 1), QString::number(10000 + i),
                               "Enfermero/a de Atención Primaria", "Hospital Universitario",
                               "Cáceres (Cáceres)", "03000000", "0301", "Área de Salud", "Zona"});
    for (int i = 0; i < cursos; ++i) {
        g.rsCursos->anadirRegistro({QString("Curso de formación número %1").arg(i), qint64(20),
                                    qint64(2015), "Escuela de Ciencias de la Salud", qint64(i)});
        g.rsDocumentos->anadirRegistro({qint64(i + 1), QString("Documento %1").arg(i)});
    }
}

PeticionDocumento peticion(const QString& carpeta, bool imprimir) {
    PeticionDocumento p;
    p.plantilla = carpetaPlantillas() + "/PlantillaWXP.dot";
    p.rutaDocumento = carpeta + "/" + kNombreGrande;
    p.rutaImpresion = carpeta + "/12345678Z_10013_0E.docx";
    p.imprimir = imprimir;
    p.dni = "12345678Z";
    p.fecha = "07/12/2026";
    p.hora = "16:40:00";
    p.prefijo = "12345678Z10013E07/12/202616:40:00";
    p.cargaSolicitante = "N|Pérez|Muñoz|Begoña|12345678Z|19751103|";
    p.plazasPorPagina = 40;
    p.camposTexto = {{"PRIMERAPELLIDO", "Pérez"}, {"NOMBRE", "Begoña"}};
    return p;
}

// Guarda la solicitud grande (1.000 + 1.000 plazas, 100 cursos y 100 documentos): el documento y
// el fichero de las cuatro listas. Falso si falta algo para hacerlo.
bool guardarGrande(const PeticionDocumento& p, const QString& carpeta) {
    return generarDocumentoImpresion(p) &&
           GuardarListasXML(kNombreGrande, carpeta + "/", G().rsVacantesSolicitadas,
                            G().rsResultasSolicitadas, G().rsCursos, G().rsDocumentos);
}

// Guardar: el documento con sus campos y cursos, y el fichero de las cuatro listas.
void BM_GuardarSolicitudGrande(benchmark::State& estado) {
    if (carpetaPlantillas().isEmpty()) {
        estado.SkipWithError("no hay plantillas (falta movilant-plantillas)");
        return;
    }
    listas(1000, 100);
    QTemporaryDir carpeta;
    G().RutaTemporal = carpeta.path() + "/";
    const PeticionDocumento p = peticion(carpeta.path(), false);
    for (auto _ : estado) {
        if (!guardarGrande(p, carpeta.path())) {
            estado.SkipWithError("no se pudo guardar");
            return;
        }
    }
    estado.counters["bytes_doc"] = double(QFile(p.rutaDocumento).size());
}
BENCHMARK(BM_GuardarSolicitudGrande)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// Leer la solicitud grande guardada: los campos del documento y las cuatro listas, como las lee
// el formulario al abrirla (las tablas vacías en cada vuelta, como las deja la pantalla de carga).
void BM_LeerSolicitudGrande(benchmark::State& estado) {
    if (carpetaPlantillas().isEmpty()) {
        estado.SkipWithError("no hay plantillas (falta movilant-plantillas)");
        return;
    }
    listas(1000, 100);
    QTemporaryDir carpeta;
    G().RutaTemporal = carpeta.path() + "/";
    const PeticionDocumento p = peticion(carpeta.path(), false);
    if (!guardarGrande(p, carpeta.path())) {
        estado.SkipWithError("no se pudo guardar");
        return;
    }
    const QStringList esperados = {"PRIMERAPELLIDO", "NOMBRE"};
    int filas = 0;
    for (auto _ : estado) {
        Globales& g = G();
        g.rsVacantesSolicitadas = CrearTablaPlazasSolicitadas("rsVacantesSolicitadas");
        g.rsResultasSolicitadas = CrearTablaPlazasSolicitadas("rsResultasSolicitadas");
        g.rsCursos = CrearTablaCursos();
        g.rsDocumentos = CrearTablaDocumentos();
        const auto campos = LeerCamposSolicitud(p.rutaDocumento, esperados);
        const auto leidas = LeerListasXML(carpeta.path() + "/", NombreFicheroListas(kNombreGrande),
                                          g.rsResultasSolicitadas, g.rsVacantesSolicitadas,
                                          g.rsCursos, g.rsDocumentos);
        if (!campos || !leidas || leidas.valor() != LecturaListas::Leidas) {
            estado.SkipWithError("no se pudo leer");
            return;
        }
        filas = g.rsVacantesSolicitadas->numeroRegistros() +
                g.rsResultasSolicitadas->numeroRegistros() + g.rsCursos->numeroRegistros() +
                g.rsDocumentos->numeroRegistros();
    }
    estado.counters["filas"] = filas;
}
BENCHMARK(BM_LeerSolicitudGrande)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// De la orden a la entrega (sin impresora: el PDF se queda), frente a la conversión sola.
void BM_ImprimirHastaLaEntrega(benchmark::State& estado) {
    if (carpetaPlantillas().isEmpty()) {
        estado.SkipWithError("no hay plantillas (falta movilant-plantillas)");
        return;
    }
    listas(60, 5);
    QTemporaryDir carpeta;
    G().RutaTemporal = carpeta.path() + "/";
    const PeticionDocumento p = peticion(carpeta.path(), true);
    programasExternos().lp = carpeta.path() + "/no-hay-lp";
    const bool soloConversion = estado.range(0) == 1;
    auto preparado = generarDocumentoImpresion(p);
    if (!preparado) {
        estado.SkipWithError("no se pudo hacer el documento");
        return;
    }
    for (auto _ : estado) {
        if (soloConversion) {
            QTemporaryDir perfil, salida;
            QProcess soffice;
            soffice.start(
                "soffice",
                {"-env:UserInstallation=" + QUrl::fromLocalFile(perfil.path()).toString(),
                 "--headless", "--convert-to", "pdf", "--outdir", salida.path(), p.rutaImpresion});
            soffice.waitForFinished(180000);
        } else {
            auto generado = generarDocumentoImpresion(p);
            auto r = imprimirDocumento(p.rutaImpresion, generado.valor().codigos);
            benchmark::DoNotOptimize(r.ok());
        }
    }
}
BENCHMARK(BM_ImprimirHastaLaEntrega)
    ->ArgName("soloConversion")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->UseRealTime();

}  // namespace
