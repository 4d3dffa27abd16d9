#include "platform/ventanas/PreparacionAplicacion.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QStandardPaths>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // Lo que el programa recuerda entre una vez y otra (el sitio del formulario) va a una carpeta
    // de pruebas, no a la configuración de quien las pasa.
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    // Las ventanas se prueban con lo que la aplicación pone al arrancar: teclado y traducciones.
    cargarTraduccionesQt(app);
    instalarTecladoComun(app);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
