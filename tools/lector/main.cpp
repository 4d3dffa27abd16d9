// movilant-lector: de las páginas escaneadas o impresas a los datos de cada solicitud.
#include "Opciones.h"
#include "OrdenesRegistro.h"
#include "lectura/ComprobacionLote.h"
#include "lectura/LecturaPaginas.h"
#include "lectura/SalidaLectura.h"

#include <unistd.h>
#include <QCoreApplication>
#include <QImageReader>
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
    escribir(stderr, QStringLiteral("movilant-lector: %1\n").arg(mensaje));
    return estado;
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
    // Un escaneo en color de un A4 a 600 ppp pasa de los 128 MB que Qt deja por omisión.
    QImageReader::setAllocationLimit(1024);

    QStringList args = app.arguments();
    args.removeFirst();
    const auto opciones = interpretarOpciones(args);
    if (!opciones) {
        fallar(opciones.mensaje(), 2);
        escribir(stderr, QStringLiteral("Pruebe «movilant-lector --ayuda».\n"));
        return 2;
    }
    const OpcionesLector& o = opciones.valor();
    if (o.ayuda) {
        escribir(stdout, QString::fromUtf8(kAyudaLector));
        return 0;
    }
    if (o.orden != OrdenLector::Leer) {
        const SalidaOrden s = o.orden == OrdenLector::Estado ? ordenEstado(o) : ordenExportar(o);
        escribir(stdout, s.salida);
        return s.error.isEmpty() ? s.estado : fallar(s.error, s.estado);
    }
    // El registro se abre antes de leer: si no se puede, el lote no se lee para nada.
    std::unique_ptr<Registro> registro;
    if (!o.registro.isEmpty()) {
        auto abierto = Registro::abrir(o.registro);
        if (!abierto) return fallar(abierto.mensaje(), 2);
        registro = std::move(abierto.valor());
    }
    const auto ficheros = ficherosDeEntrada(o.entradas);
    if (!ficheros) return fallar(ficheros.mensaje(), 2);
    // Antes de leer nada: un lote largo no se lee para nada.
    if (const Resultado r = prepararCarpetaSalida(o.salida); !r) return fallar(r.mensaje(), 2);

    BarraAvance barra(o.progreso);
    const QVector<PaginaLeida> paginas =
        leerLote(ficheros.valor(), o.lectura,
                 [&barra](int hechas, int total) { barra.dibujar(hechas, total); });
    barra.borrar();

    const InformeLote informe = comprobarLote(paginas);
    const auto escritos = escribirResultados(informe, o.salida);
    escribir(stdout, resumenLote(informe));
    // Lo leído se anota aunque los resultados no se hayan podido escribir: así no se pierde.
    Resultado anotado;
    if (registro) {
        const auto a = anotarLote(*registro, paginas);
        if (a)
            escribir(stdout, a.valor());
        else
            anotado = a.estado();
    }
    if (!anotado) fallar(anotado.mensaje(), 2);
    if (!escritos) return fallar(escritos.mensaje(), 2);
    escribir(stdout,
             QStringLiteral("Resultados en %1: %2 en JSON y %3.\n")
                 .arg(o.salida, cuantas(escritos.valor().size() - 1, "solicitud", "solicitudes"),
                      QString::fromLatin1(kNombreCsv)));
    if (!anotado) return 2;
    return informe.todoCorrecto() ? 0 : 1;
}
