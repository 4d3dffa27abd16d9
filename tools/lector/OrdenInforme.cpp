#include "OrdenInforme.h"

#include "lectura/InformeHtml.h"
#include "lectura/SalidaLectura.h"
#include "registro/EstadoRegistro.h"

#include <QDateTime>
#include <QDir>

SalidaOrden ordenInforme(const OpcionesLector& o) {
    const auto registro = Registro::abrir(o.registro, Registro::Apertura::SoloSiExiste);
    if (!registro) return {2, {}, registro.mensaje()};
    const auto paginas = registro.valor()->paginas();
    if (!paginas) return {2, {}, paginas.mensaje()};
    const InformeRegistro estado = comprobarRegistro(paginas.valor());
    // Sin --salida, una carpeta nueva, como una lectura; la que se da puede tener ya un informe
    // de otro día, que se sustituye.
    QString carpeta = o.salida;
    if (carpeta.isEmpty()) {
        const auto nueva = carpetaSalidaNueva();
        if (!nueva) return {2, {}, nueva.mensaje()};
        carpeta = nueva.valor();
    } else if (!QDir().mkpath(carpeta)) {
        return {2, {}, QStringLiteral("No se puede crear la carpeta de salida «%1».").arg(carpeta)};
    }
    const auto escrito = escribirInforme(
        informeDeRegistro(paginas.valor(), estado.lote, estado.ultimas,
                          registro.valor()->destino().descripcion, QDateTime::currentDateTime()),
        carpeta);
    if (!escrito) return {2, {}, escrito.mensaje()};
    return {estado.todoCorrecto() ? 0 : 1,
            paraTerminal(QStringLiteral("Informe del registro en %1.").arg(escrito.valor())) +
                QLatin1Char('\n'),
            {}};
}
