#include "startup/ventanas/Arranque.h"

#include "platform/ServicioMensajes.h"
#include "startup/Globales.h"
#include "users/ventanas/frmUsuario.h"

bool Arrancar(const QString& carpetaAplicacion) {
    // Pasos 1 y 2: las rutas se forman pegando textos, sin suponer separador al final.
    G().RutaFicheros = carpetaAplicacion + QStringLiteral("/ficheros/");
    G().RutaTemporal = carpetaAplicacion + QStringLiteral("/ficheros/temp/");

    // Paso 3 (pendiente del lector de catálogos): cargar rsCuerpos de "F0004.enc", el único
    // catálogo necesario antes del acceso, para describir las solicitudes guardadas.

    // Paso 4: acceso, modal.
    {
        frmUsuario acceso(carpetaAplicacion + QStringLiteral("/usuarios.xml"));
        acceso.exec();
    }
    // Paso 5: acceso abandonado o rechazado; no queda ninguna ventana y el programa acaba.
    if (!G().LoginCorrecto) return false;
    return ContinuarTrasAcceso();
}

bool ContinuarTrasAcceso() {
    // Aquí van los pasos 6 a 8: listar las solicitudes guardadas de G().DNIUsuario y abrir la
    // pantalla de carga y el formulario, o el selector. Mientras no existan, se despide.
    mostrarMensaje(QStringLiteral("Acceso correcto con el DNI %1.\n"
                                  "El formulario de solicitud aún no está disponible.")
                       .arg(G().DNIUsuario),
                   kTituloPrograma, Icono::Informacion);
    return false;
}
