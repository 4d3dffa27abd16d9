#include "platform/ServicioMensajes.h"
#include "platform/ventanas/MensajesQt.h"
#include "startup/ventanas/Arranque.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    MensajesQt mensajesQt;
    instalarServicioMensajes(&mensajesQt);
    const bool hayVentanas = Arrancar(QCoreApplication::applicationDirPath());
    const int codigo = hayVentanas ? app.exec() : 0;
    instalarServicioMensajes(nullptr);
    return codigo;
}
