#include "OrdenInforme.h"

#include "lectura/InformeHtml.h"
#include "lectura/SalidaLectura.h"
#include "registro/EstadoRegistro.h"

#include <QDateTime>
#include <QDir>

SalidaOrden ordenInforme(const OpcionesLector& o) {
    // Como «estado»: solo se consulta, y una hoja sin resolver deja incompletas las solicitudes.
    const auto registro = Registro::abrir(o.registro, Registro::Apertura::SoloLectura);
    if (!registro) return {2, {}, registro.mensaje()};
    const auto contenido = registro.valor()->contenido();
    if (!contenido) return {2, {}, contenido.mensaje()};
    const QVector<PaginaLeida>& paginas = contenido.valor().paginas;
    const InformeRegistro estado = comprobarRegistro(contenido.valor());
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
        informeDeRegistro(paginas, estado.lote, estado.ultimas,
                          registro.valor()->destino().descripcion, QDateTime::currentDateTime()),
        carpeta);
    if (!escrito) return {2, {}, escrito.mensaje()};
    return {estado.todoCorrecto() ? 0 : 1,
            paraTerminal(QStringLiteral("Informe del registro en %1.").arg(escrito.valor())) +
                QLatin1Char('\n'),
            {}};
}
