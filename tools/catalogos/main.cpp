// movilant-catalogos: herramienta para quien prepara los ficheros de catálogo de Movilant.
#include "catalogue/Decodificacion.h"
#include "catalogue/GeneradorCatalogos.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringList>
#include <cstdio>

#include "Ordenes.h"

namespace {

const char* const kAyuda =
    "Uso: movilant-catalogos ORDEN ARGUMENTOS\n"
    "\n"
    "Órdenes:\n"
    "  codificar ENTRADA SALIDA   cifra un fichero de texto en claro (Windows-1252) como los\n"
    "                             catálogos .enc\n"
    "  decodificar ENTRADA SALIDA descifra un fichero .enc y deja el texto en claro\n"
    "  volcar CARPETA             carga los dieciséis catálogos de la carpeta como el programa e\n"
    "                             imprime sus 21 tablas (UTF-8, campos separados por tabuladores)\n"
    "  comprobar CARPETA          revisa los dieciséis catálogos e informa de cada problema con\n"
    "                             su fichero y línea\n"
    "  generar CARPETA [--tamano pequeno|grande|N]\n"
    "                             escribe un juego inventado de los dieciséis catálogos; N es el\n"
    "                             número de plazas de cada catálogo de plazas\n"
    "  ayuda                      muestra esta ayuda\n"
    "\n"
    "Termina con estado 0 si todo fue bien; si no, con el mensaje del fallo en la salida de\n"
    "errores y estado distinto de 0.\n";

int convertir(const QStringList& args, bool cifrar) {
    if (args.size() != 2) return fallar(QStringLiteral("Faltan ENTRADA y SALIDA."), 2);
    QFile entrada(args.at(0));
    if (!entrada.open(QIODevice::ReadOnly))
        return fallar(
            QStringLiteral("No se puede leer %1: %2").arg(args.at(0), entrada.errorString()));
    const QByteArray contenido = entrada.readAll();
    const QString nombre = QFileInfo(args.at(0)).fileName();
    QByteArray salida;
    if (cifrar) {
        const auto r = cifrarContenido(contenido, nombre);
        if (!r) return fallar(r.mensaje());
        salida = r.valor();
    } else {
        const auto r = descifrarTexto(contenido, nombre);
        if (!r) return fallar(r.mensaje());
        salida = r.valor().contenido;
    }
    QSaveFile f(args.at(1));
    if (!f.open(QIODevice::WriteOnly) || f.write(salida) != salida.size() || !f.commit())
        return fallar(
            QStringLiteral("No se puede escribir %1: %2").arg(args.at(1), f.errorString()));
    return 0;
}

int generar(QStringList args) {
    QString tamano = QStringLiteral("pequeno");
    const qsizetype i = args.indexOf(QStringLiteral("--tamano"));
    if (i >= 0) {
        if (i + 1 >= args.size()) return fallar(QStringLiteral("Falta el valor de --tamano."), 2);
        tamano = args.at(i + 1);
        args.remove(i, 2);
    }
    if (args.size() != 1) return fallar(QStringLiteral("Falta la CARPETA."), 2);
    const auto t = interpretarTamano(tamano);
    if (!t) return fallar(t.mensaje(), 2);
    if (Resultado r = generarCatalogos(args.at(0), t.valor()); !r) return fallar(r.mensaje());
    escribirSalida(QStringLiteral("Catálogos generados en %1 (%2 plazas por catálogo, %3 "
                                  "cuerpos)\n")
                       .arg(args.at(0))
                       .arg(t.valor().plazas)
                       .arg(t.valor().cuerpos));
    return 0;
}

}  // namespace

int fallar(const QString& mensaje, int estado) {
    const QByteArray b = ("movilant-catalogos: " + mensaje + "\n").toUtf8();
    std::fwrite(b.constData(), 1, size_t(b.size()), stderr);
    return estado;
}

void escribirSalida(const QString& texto) {
    const QByteArray b = texto.toUtf8();
    std::fwrite(b.constData(), 1, size_t(b.size()), stdout);
}

int main(int argc, char** argv) {
    QStringList args;
    for (int i = 1; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);
    if (args.isEmpty()) {
        std::fputs(kAyuda, stderr);
        return 2;
    }
    const QString orden = args.takeFirst();
    if (orden == "ayuda" || orden == "--help" || orden == "-h") {
        std::fputs(kAyuda, stdout);
        return 0;
    }
    if (orden == "codificar") return convertir(args, true);
    if (orden == "decodificar") return convertir(args, false);
    if (orden == "generar") return generar(args);
    if (orden == "volcar") return ordenVolcar(args);
    if (orden == "comprobar") return ordenComprobar(args);
    fallar(QStringLiteral("Orden desconocida: %1").arg(orden), 2);
    std::fputs(kAyuda, stderr);
    return 2;
}
