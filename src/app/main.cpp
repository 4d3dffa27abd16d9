#include "platform/ServicioMensajes.h"
#include "platform/ventanas/MensajesQt.h"
#include "platform/ventanas/PreparacionAplicacion.h"
#include "startup/ventanas/Arranque.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    cargarTraduccionesQt(app);
    instalarTecladoComun(app);
    MensajesQt mensajesQt;
    instalarServicioMensajes(&mensajesQt);
    const Arranque arranque = Arrancar(QCoreApplication::applicationDirPath());
    const int codigo = arranque == Arranque::ConVentanas ? app.exec() : codigoSalida(arranque);
    instalarServicioMensajes(nullptr);
    return codigo;
}
