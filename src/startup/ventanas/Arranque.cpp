#include "startup/ventanas/Arranque.h"

#include "global/Globales.h"
#include "platform/ServicioMensajes.h"
#include "startup/PasosArranque.h"
#include "startup/ventanas/AbrirSolicitud.h"
#include "startup/ventanas/frmProgreso.h"
#include "storage/SolicitudesGuardadas.h"
#include "storage/ventanas/frmSeleccion.h"
#include "users/ventanas/frmUsuario.h"

#include <QCoreApplication>

Arranque Arrancar(const QString& carpetaAplicacion) {
    return Arrancar(rutasPortatiles(carpetaAplicacion));
}

Arranque Arrancar(const RutasPrograma& rutas) {
    // Pasos 1 a 3: rutas y cuerpos, el único catálogo que hace falta antes de entrar.
    if (const Resultado r = PrepararArranque(rutas); !r) {
        // El mensaje dice la causa de verdad: el catálogo de cuerpos o la carpeta de datos.
        mostrarMensaje(QStringLiteral("El programa no puede continuar: ") + r.mensaje(),
                       kTituloPrograma, Icono::Critico);
        CerrarTablas();
        return Arranque::Fallido;
    }

    // Paso 4: acceso, modal.
    {
        frmUsuario acceso(rutas.datos + QStringLiteral("/usuarios.xml"));
        acceso.exec();
    }
    // Paso 5: acceso abandonado o rechazado; no queda ninguna ventana y el programa acaba.
    if (!G().LoginCorrecto) {
        CerrarTablas();
        return Arranque::Terminado;
    }
    return ContinuarTrasAcceso() ? Arranque::ConVentanas : Arranque::Fallido;
}

bool ContinuarTrasAcceso() {
    // Paso 6: las solicitudes guardadas del usuario.
    if (ListarSolicitudes(G().DNIUsuario) < 1) {
        // Paso 7: sin ninguna, carga de catálogos y formulario nuevo.
        G().FicheroSolicitud.clear();
        return CargarYAbrirSolicitud();
    }
    // Paso 8: el selector, sin bloquear; él abre la pantalla de carga y el formulario.
    auto* selector = new frmSeleccion([] {
        if (!CargarYAbrirSolicitud()) QCoreApplication::exit(kSalidaFallo);
    });
    selector->show();
    return true;
}

bool CargarYAbrirSolicitud() {
    bool cargado = false;
    {
        frmProgreso carga;
        carga.exec();
        cargado = carga.cargado();
    }
    if (cargado && AbrirSolicitud()) return true;
    CerrarTablas();
    return false;
}
