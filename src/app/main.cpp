#include "global/Configuracion.h"
#include "platform/ServicioMensajes.h"
#include "platform/ventanas/MensajesQt.h"
#include "platform/ventanas/PreparacionAplicacion.h"
#include "startup/RutasPrograma.h"
#include "startup/ventanas/Arranque.h"

#include <QApplication>
#include <QDir>
#include <cstdio>

namespace {

constexpr int kSalidaOrdenIncorrecta = 2;

QStringList argumentosDe(int argc, char** argv) {
    QStringList lista;
    for (int i = 0; i < argc; ++i) lista << QString::fromLocal8Bit(argv[i]);
    return lista;
}

// Las opciones propias de Qt (-platform, -style...) llevan un solo guion: las quita QApplication.
bool hayOpcionesDeQt(const QStringList& argumentos) {
    for (qsizetype i = 1; i < argumentos.size(); ++i)
        if (argumentos.at(i).size() > 1 && argumentos.at(i).at(0) == u'-' &&
            argumentos.at(i).at(1) != u'-')
            return true;
    return false;
}

int ordenIncorrecta(const QString& mensaje) {
    std::fputs(QStringLiteral("movilant: %1\n\n%2")
                   .arg(mensaje, textoAyudaOrden())
                   .toLocal8Bit()
                   .constData(),
               stderr);
    return kSalidaOrdenIncorrecta;
}

}  // namespace

int main(int argc, char** argv) {
    // La versión, la ayuda y una orden que no vale no necesitan pantalla: se contestan antes de
    // abrir ninguna.
    const QStringList argumentos = argumentosDe(argc, argv);
    const auto previas = leerOpcionesOrden(argumentos);
    if (!previas && !hayOpcionesDeQt(argumentos)) return ordenIncorrecta(previas.mensaje());
    if (previas && (previas.valor().version || previas.valor().ayuda)) {
        const QString texto = previas.valor().ayuda
                                  ? textoAyudaOrden()
                                  : QStringLiteral("movilant %1\n").arg(versionPrograma());
        std::fputs(texto.toLocal8Bit().constData(), stdout);
        return 0;
    }

    QApplication app(argc, argv);
    // El escritorio junta las ventanas con su entrada del menú (movilant.desktop).
    QGuiApplication::setDesktopFileName(QStringLiteral("movilant"));
    // Lo que queda tras quitar Qt sus propias opciones (-platform, -style...).
    const auto opciones = leerOpcionesOrden(QCoreApplication::arguments());
    if (!opciones) return ordenIncorrecta(opciones.mensaje());
    cargarTraduccionesQt(app);
    instalarTecladoComun(app);
    MensajesQt mensajesQt;
    instalarServicioMensajes(&mensajesQt);

    EntornoArranque entorno;
    entorno.carpetaEjecutable = QCoreApplication::applicationDirPath();
    entorno.xdgDataHome = qEnvironmentVariable("XDG_DATA_HOME");
    entorno.home = qEnvironmentVariable("HOME");
    entorno.catalogos = opciones.valor().catalogos;
    entorno.carpetaActual = QDir::currentPath();
    const auto rutas = resolverRutas(entorno);
    int codigo = kSalidaFallo;
    if (!rutas) {
        mostrarMensaje(QStringLiteral("El programa no puede continuar: ") + rutas.mensaje(),
                       kTituloPrograma, Icono::Critico);
    } else {
        const Arranque arranque = Arrancar(rutas.valor());
        codigo = arranque == Arranque::ConVentanas ? app.exec() : codigoSalida(arranque);
    }
    instalarServicioMensajes(nullptr);
    return codigo;
}
