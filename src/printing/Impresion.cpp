#include "printing/Impresion.h"

#include "platform/FicheroAparte.h"

#include "printing/ProcesosExternos.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QUrl>

namespace {

// La primera conversión con un perfil nuevo lo crea: tarda bastante más que las siguientes.
constexpr int kMsConversion = 180000;

const QString kCancelada =
    QStringLiteral("Se ha cancelado la impresión: no se ha enviado nada a la impresora.");

// Filtro de exportación que deja las imágenes como están: remuestrearlas estropea las barras.
const QString kFiltroPdf = QStringLiteral(
    "pdf:writer_pdf_Export:{\"ReduceImageResolution\":{\"type\":\"boolean\",\"value\":\"false\"},"
    "\"UseLosslessCompression\":{\"type\":\"boolean\",\"value\":\"true\"}}");

std::function<void()>& ganchoAntesDeEnviar() {
    static std::function<void()> gancho;
    return gancho;
}

}  // namespace

void ponerGanchoAntesDeEnviar(std::function<void()> gancho) {
    ganchoAntesDeEnviar() = std::move(gancho);
}

QString rutaPdfDe(const QString& rutaDocumento) {
    const QFileInfo fi(rutaDocumento);
    return fi.dir().filePath(fi.completeBaseName() + QStringLiteral(".pdf"));
}

Resultado convertirAPdf(const QString& rutaDocumento, const QString& rutaPdf,
                        const AvanceTrabajo* avance) {
    const QFileInfo origen(rutaDocumento);
    if (!origen.isFile())
        return Resultado::fallo(
            QStringLiteral("No se encuentra el documento \"%1\".").arg(rutaDocumento),
            Errores::FicheroNoEncontrado);
    // Dos conversiones con el mismo perfil se estorban y una falla sin avisar: cada una el suyo.
    QTemporaryDir perfil, salida;
    if (!perfil.isValid() || !salida.isValid())
        return Resultado::fallo(QStringLiteral("No se puede crear una carpeta temporal para "
                                               "convertir el documento a PDF."),
                                Errores::ErrorEntradaSalida);
    const QStringList argumentos = {
        QStringLiteral("-env:UserInstallation=") + QUrl::fromLocalFile(perfil.path()).toString(),
        QStringLiteral("--headless"),
        QStringLiteral("--norestore"),
        QStringLiteral("--nolockcheck"),
        QStringLiteral("--convert-to"),
        kFiltroPdf,
        QStringLiteral("--outdir"),
        salida.path(),
        origen.absoluteFilePath()};
    const ResultadoDe<SalidaProceso> r =
        lanzarProceso(programasExternos().soffice, argumentos, kMsConversion,
                      QStringLiteral("convertir el documento a PDF"), avance);
    if (!r) return r.estado();

    // LibreOffice puede salir con 0 sin haber convertido nada: manda el fichero que dejó.
    QFile pdf(QDir(salida.path()).filePath(origen.completeBaseName() + QStringLiteral(".pdf")));
    QByteArray contenido;
    if (pdf.open(QIODevice::ReadOnly)) contenido = pdf.readAll();
    if (!contenido.startsWith("%PDF"))
        return Resultado::fallo(
            QStringLiteral("No se ha podido convertir el documento \"%1\" a PDF. %2")
                .arg(QDir::toNativeSeparators(rutaDocumento),
                     (r.valor().errores + r.valor().salida).trimmed()),
            Errores::ErrorEntradaSalida);

    return escribirReemplazando(rutaPdf, contenido);
}

ResultadoDe<ResultadoImpresion> imprimirDocumento(const QString& rutaDocumento,
                                                  const QVector<CodigoEsperado>& esperados,
                                                  AvanceTrabajo* avance) {
    ResultadoImpresion res;
    res.rutaPdf = rutaPdfDe(rutaDocumento);
    // Mientras no se ha comprobado, el PDF es un fichero aparte: si el programa se corta aquí, la
    // limpieza al arrancar lo borra, y no se confunde con el PDF comprobado que se queda junto a la
    // solicitud cuando no hay impresora (ni lo sustituye).
    const QString sinComprobar = nombreAparte(res.rutaPdf);
    if (avance) avance->fase = Convirtiendo;
    const Resultado conv = convertirAPdf(rutaDocumento, sinComprobar, avance);
    if (!conv) return conv.numero() == Errores::Cancelado ? falloCancelado(kCancelada) : conv;
    if (avance) avance->fase = Comprobando;

    // Lo que no se ha podido comprobar no se entrega: ni a la cola ni como fichero.
    // Se lee el PDF tal cual, rasterizado limpio a 200 ppp: dice que cada código está en su página
    // y da exactamente su texto. No dice cómo saldrá de un escáner (giro, desenfoque, JPEG): ese
    // margen lo da el diseño del símbolo (disenarPdf417).
    const ResultadoDe<QVector<CodigoLeido>> leidos = leerCodigosPdf(sinComprobar, 200, avance);
    if (!leidos) {
        QFile::remove(sinComprobar);
        return leidos.numero() == Errores::Cancelado ? falloCancelado(kCancelada) : leidos.estado();
    }
    const Resultado lectura = compararCodigos(leidos.valor(), esperados);
    if (!lectura) {
        QFile::remove(sinComprobar);
        return Resultado::fallo(QStringLiteral("No se imprime la solicitud porque sus códigos de "
                                               "barras no se leen exactos en el PDF. %1")
                                    .arg(lectura.mensaje()),
                                Errores::ErrorEntradaSalida);
    }

    // Lo último que se puede cancelar: la cola recibe el PDF entero o nada.
    if (ganchoAntesDeEnviar()) ganchoAntesDeEnviar()();
    if (avance) {
        if (avance->cancelar) {
            QFile::remove(sinComprobar);
            return falloCancelado(kCancelada);
        }
        avance->fase = Enviando;
    }
    if (Resultado r = ponerEnSuSitio(sinComprobar, res.rutaPdf); !r) return r;
    const ResultadoDe<SalidaProceso> cola = lanzarProceso(
        programasExternos().lp, {QStringLiteral("--"), res.rutaPdf}, programasExternos().msCola,
        QStringLiteral("enviar la solicitud a la impresora"));
    if (cola && cola.valor().codigo == 0) {
        // La cola ya tiene su copia.
        res.enviada = true;
        QFile::remove(res.rutaPdf);
        res.rutaPdf.clear();
        return res;
    }
    if (cola) {
        res.detalle = (cola.valor().errores + cola.valor().salida).trimmed();
        res.causa = causaSinImpresora(res.detalle);
    } else {
        res.detalle = cola.mensaje();
        res.causa = QStringLiteral("no se puede usar la orden de impresión del sistema");
    }
    // Un `lp` que sale con un error dice que no la ha dejado; uno que no llega a salir, no.
    res.quizaEnCola = cola ? cola.valor().codigo == kSinCodigoDeSalida
                           : cola.numero() != Errores::FicheroNoEncontrado;
    if (res.quizaEnCola)
        res.causa =
            cola ? QStringLiteral("\"%1\" terminó sin llegar a decirlo").arg(programasExternos().lp)
                 : cola.mensaje();
    return res;
}

QString causaSinImpresora(const QString& dicho) {
    const struct {
        const char* dice;
        const char* causa;
    } causas[] = {
        {"no default destination", "no hay ninguna impresora predeterminada"},
        {"does not exist", "la impresora predeterminada no existe"},
        {"unknown destination", "la impresora predeterminada no existe"},
        {"not accepting jobs", "la impresora predeterminada no admite trabajos ahora"},
        {"unable to connect", "no se puede conectar con el servicio de impresión"},
        {"connection refused", "no se puede conectar con el servicio de impresión"},
        {"scheduler is not running", "el servicio de impresión no está en marcha"},
        {"forbidden", "el servicio de impresión no le permite imprimir"},
        {"not authorized", "el servicio de impresión no le permite imprimir"},
    };
    for (const auto& c : causas)
        if (dicho.contains(QLatin1String(c.dice), Qt::CaseInsensitive))
            return QString::fromUtf8(c.causa);
    return dicho.isEmpty() ? QStringLiteral("no hay ninguna impresora predeterminada")
                           : QStringLiteral("el servicio de impresión no ha aceptado el trabajo");
}

Resultado anotarSinImpresora(const ResultadoImpresion& r, const QString& rutaTraza) {
    QByteArray traza;
    if (QFileInfo::exists(rutaTraza)) {
        // Una traza que no se puede leer no se pisa: lo de ahora no se anota.
        const auto anterior = leerFicheroNormal(rutaTraza, 16 * 1024 * 1024);
        if (!anterior) return anterior.estado();
        traza = anterior.valor();
        if (!traza.isEmpty() && !traza.endsWith('\n')) traza += "\r\n";
    }
    const QString linea =
        QStringLiteral("%1 No se ha enviado a la impresora \"%2\" (%3). La cola dijo: %4")
            .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
                 QDir::toNativeSeparators(r.rutaPdf), r.causa, r.detalle);
    traza += linea.toUtf8() + "\r\n";
    return escribirReemplazando(rutaTraza, traza);
}

QString mensajeSinImpresora(const ResultadoImpresion& r, const QString& rutaTraza) {
    QString texto;
    if (r.quizaEnCola) {
        QString porQue = r.causa;
        while (porQue.endsWith(QLatin1Char('.'))) porQue.chop(1);
        texto = QStringLiteral(
                    "No se sabe si la solicitud ha llegado a la impresora (%1): puede que ya esté "
                    "en su cola y se imprima. Antes de imprimirla otra vez, mire si sale, para no "
                    "imprimirla dos veces. La solicitud se ha guardado también en el fichero "
                    "\"%2\".")
                    .arg(porQue, QDir::toNativeSeparators(r.rutaPdf));
    } else
        texto = QStringLiteral(
                    "No se ha podido enviar la solicitud a la impresora: %1. La solicitud "
                    "se ha guardado en el fichero \"%2\": ábralo e imprímalo desde allí.")
                    .arg(r.causa.isEmpty() ? causaSinImpresora(r.detalle) : r.causa,
                         QDir::toNativeSeparators(r.rutaPdf));
    if (!rutaTraza.isEmpty())
        texto += QStringLiteral(
                     " Lo que ha respondido el sistema de impresión está anotado en "
                     "\"%1\".")
                     .arg(QDir::toNativeSeparators(rutaTraza));
    return texto;
}
