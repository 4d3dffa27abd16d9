// movilant-lector: de las páginas escaneadas o impresas a los datos de cada solicitud.
#include "Opciones.h"
#include "OrdenInforme.h"
#include "OrdenesRegistro.h"
#include "global/Configuracion.h"
#include "lectura/ComprobacionLote.h"
#include "lectura/FicherosEntrada.h"
#include "lectura/InformeHtml.h"
#include "lectura/LecturaPaginas.h"
#include "lectura/SalidaLectura.h"

#include <tiffio.h>
#include <unistd.h>
#include <QCoreApplication>
#include <QImageReader>
#include <algorithm>
#include <cstdio>

namespace {

// Un lote de menos páginas se lee en un momento: sin barra.
constexpr int kPaginasParaBarra = 8;
constexpr int kAnchoBarra = 30;

void escribir(FILE* destino, const QString& texto) {
    const QByteArray b = texto.toUtf8();
    std::fwrite(b.constData(), 1, size_t(b.size()), destino);
    std::fflush(destino);
}

int fallar(const QString& mensaje, int estado) {
    escribir(stderr, QStringLiteral("movilant-lector: %1\n").arg(paraTerminal(mensaje)));
    return estado;
}

// Los avisos de las bibliotecas de imágenes ("libpng error: ...", "qt.gui.imageio: ...") no son
// para quien lee el lote: lo que no se lee ya lo dice el resumen, con su fichero y en castellano.
void sinRuidoDeBibliotecas(QtMsgType tipo, const QMessageLogContext&, const QString& mensaje) {
    if (tipo == QtCriticalMsg || tipo == QtFatalMsg)
        escribir(stderr, QStringLiteral("movilant-lector: %1\n").arg(paraTerminal(mensaje)));
}

// La barra de avance se dibuja siempre desde el hilo principal (el avance de la lectura se llama
// desde él) y sobre una sola línea de la salida de errores, que se borra al terminar.
class BarraAvance {
public:
    explicit BarraAvance(bool activa) : m_activa(activa && ::isatty(STDERR_FILENO)) {}
    void dibujar(int hechas, int total) {
        if (!m_activa || total < kPaginasParaBarra) return;
        const int llenas = total > 0 ? hechas * kAnchoBarra / total : kAnchoBarra;
        if (llenas == m_llenas && hechas != total && hechas - m_hechas < 10) return;
        m_llenas = llenas;
        m_hechas = hechas;
        m_dibujada = true;
        escribir(stderr, QStringLiteral("\r[%1%2] %3/%4 páginas")
                             .arg(QString(llenas, u'#'), QString(kAnchoBarra - llenas, u'.'))
                             .arg(hechas)
                             .arg(total));
    }
    void borrar() {
        if (m_dibujada) escribir(stderr, QStringLiteral("\r\033[K"));
        m_dibujada = false;
    }

private:
    bool m_activa;
    bool m_dibujada = false;
    int m_llenas = -1;
    int m_hechas = 0;
};

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    qInstallMessageHandler(sinRuidoDeBibliotecas);
    // libtiff escribe sus quejas de un TIFF dañado directamente en la salida de errores (el
    // módulo de TIFF de Qt no las recoge): también callan.
    TIFFSetErrorHandler(nullptr);
    TIFFSetWarningHandler(nullptr);
    // Un escaneo en color de un A4 a 600 ppp pasa de los 128 MB que Qt deja por omisión; lo más
    // grande que se lee entero (el doble de los puntos que se analizan, en color) cabe en 256.
    QImageReader::setAllocationLimit(256);

    QStringList args = app.arguments();
    args.removeFirst();
    const auto opciones = interpretarOpciones(args);
    if (!opciones) {
        fallar(opciones.mensaje(), 2);
        escribir(stderr, QStringLiteral("Pruebe «movilant-lector --ayuda».\n"));
        return 2;
    }
    OpcionesLector o = opciones.valor();
    o.lectura.miniaturas = true;
    if (o.ayuda) {
        escribir(stdout, QString::fromUtf8(kAyudaLector));
        return 0;
    }
    if (o.version) {
        escribir(stdout, QStringLiteral("movilant-lector %1\n").arg(versionPrograma()));
        return 0;
    }
    if (o.orden != OrdenLector::Leer) {
        const SalidaOrden s = o.orden == OrdenLector::Estado     ? ordenEstado(o)
                              : o.orden == OrdenLector::Exportar ? ordenExportar(o)
                              : o.orden == OrdenLector::Informe  ? ordenInforme(o)
                                                                 : ordenResolver(o);
        escribir(stdout, s.salida);
        return s.error.isEmpty() ? s.estado : fallar(s.error, s.estado);
    }
    // El registro se abre, y se prueba a escribir en él, antes de leer: si no se puede, el lote
    // no se lee para nada.
    std::unique_ptr<Registro> registro;
    if (!o.registro.isEmpty()) {
        auto abierto = Registro::abrir(o.registro);
        if (!abierto) return fallar(abierto.mensaje(), 2);
        registro = std::move(abierto.valor());
    }
    const auto ficheros = ficherosDeEntrada(o.entradas, o.subcarpetas);
    if (!ficheros) return fallar(ficheros.mensaje(), 2);
    // Antes de leer nada: un lote largo no se lee para nada. Cada lectura, en su carpeta.
    const auto salida = carpetaDeSalida(o.salida);
    if (!salida) return fallar(salida.mensaje(), 2);

    const QHash<QString, QString> huellas =
        registro ? huellasDeFicheros(ficheros.valor().ficheros) : QHash<QString, QString>();

    BarraAvance barra(o.progreso);
    const QVector<PaginaLeida> paginas =
        leerLote(ficheros.valor().ficheros, o.lectura,
                 [&barra](int hechas, int total) { barra.dibujar(hechas, total); });
    barra.borrar();

    InformeLote informe = comprobarLote(paginas);
    informe.avisos = ficheros.valor().omitidos + informe.avisos;
    anotarCarpetasSinLeer(informe, ficheros.valor().carpetasSinLeer);
    const auto escritos = escribirResultados(informe, salida.valor());
    const auto html = escribirInforme(
        informeDeLote(paginas, informe, salida.valor(), QDateTime::currentDateTime()),
        salida.valor());
    escribir(stdout, resumenLote(informe));
    // Lo leído se anota aunque los resultados no se hayan podido escribir: así no se pierde.
    Resultado anotado;
    if (registro) {
        const auto a = anotarLote(*registro, paginas, huellas);
        if (a)
            escribir(stdout, a.valor());
        else
            anotado = a.estado();
    }
    if (!anotado) fallar(anotado.mensaje(), 2);
    if (!escritos) return fallar(escritos.mensaje(), 2);
    const QStringList& hechos = escritos.valor().escritos;
    const qsizetype json = std::count_if(hechos.begin(), hechos.end(),
                                         [](const QString& f) { return f.endsWith(".json"); });
    escribir(stdout,
             paraTerminal(QStringLiteral("Resultados en %1: %2 en JSON%3.")
                              .arg(salida.valor(), cuantas(json, "solicitud", "solicitudes"),
                                   json < hechos.size()
                                       ? QStringLiteral(" y ") + QString::fromLatin1(kNombreCsv)
                                       : QString())) +
                 QLatin1Char('\n'));
    if (html)
        escribir(stdout, paraTerminal(QStringLiteral("Para ver cada hoja que hay que volver a "
                                                     "escanear o que sobra: %1")
                                          .arg(html.valor())) +
                             QLatin1Char('\n'));
    else
        fallar(html.mensaje(), 2);
    // Lo que no se ha podido escribir de una solicitud no ha impedido escribir lo de las demás.
    for (const QString& fallo : escritos.valor().fallos) fallar(fallo, 2);
    if (!escritos.valor().fallos.isEmpty() || !anotado || !html) return 2;
    return informe.todoCorrecto() ? 0 : 1;
}
