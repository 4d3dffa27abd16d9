#include "catalogue/Decodificacion.h"

#include "platform/Causas.h"
#include "platform/Codificacion.h"
#include "platform/FicheroAparte.h"
#include "platform/ServicioMensajes.h"

#include <QFile>

namespace {

const QString kTemporal = QStringLiteral("temp.tmp");

QString descripcionDesbordamiento(qsizetype longitud) {
    return QStringLiteral("Desbordamiento: la línea tiene %1 caracteres y no puede pasar de %2")
        .arg(longitud)
        .arg(kMaxCaracteresLinea);
}

QString descripcionCaracter(qsizetype posicion, int codigo) {
    return QStringLiteral(
               "Llamada a procedimiento o argumento no válidos: el carácter de la columna %1 "
               "(código %2) no se puede descifrar")
        .arg(posicion + 1)
        .arg(codigo);
}

}  // namespace

ResultadoDe<QString> DesplazarCaracteres(const QString& texto, qint16 desplazamiento) {
    if (texto.size() > kMaxCaracteresLinea)
        return Resultado::fallo(descripcionDesbordamiento(texto.size()),
                                Errores::ValorFueraDeRango);
    QByteArray bytes(texto.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < texto.size(); ++i) {
        unsigned char byte = 0;
        if (!Codificacion::byteWindows1252(texto.at(i), byte))
            return Resultado::fallo(descripcionCaracter(i, texto.at(i).unicode()),
                                    Errores::ArgumentoIncorrecto);
        bytes[i] = char(byte);
    }
    // desplazarBytes se para antes de tocar el byte que no se puede desplazar.
    const qsizetype malo = desplazarBytes(bytes, desplazamiento);
    if (malo >= 0)
        return Resultado::fallo(descripcionCaracter(malo, uchar(bytes[malo])),
                                Errores::ArgumentoIncorrecto);
    return Codificacion::desdeWindows1252(bytes);
}

QList<LineaFichero> partirLineas(const QByteArray& contenido) {
    QList<LineaFichero> lineas;
    const char* p = contenido.constData();
    const qsizetype n = contenido.size();
    qsizetype inicio = 0;
    int numero = 0;
    for (qsizetype i = 0; i < n; ++i) {
        if (p[i] != '\r' && p[i] != '\n') continue;
        LineaFichero l;
        l.bytes = contenido.mid(inicio, i - inicio);
        l.numero = ++numero;
        if (p[i] == '\r' && i + 1 < n && p[i + 1] == '\n') {
            l.fin = FinLinea::CRLF;
            ++i;
        } else {
            l.fin = p[i] == '\n' ? FinLinea::LF : FinLinea::CR;
        }
        lineas.append(std::move(l));
        inicio = i + 1;
    }
    if (inicio < n) lineas.append({contenido.mid(inicio), ++numero, FinLinea::Ninguno});
    return lineas;
}

qsizetype desplazarBytes(QByteArray& bytes, int desplazamiento) {
    char* p = bytes.data();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const int nuevo = int(uchar(p[i])) + desplazamiento;
        if (nuevo < 0 || nuevo > 255) return i;
        p[i] = char(nuevo);
    }
    return -1;
}

ResultadoDe<QList<LineaFichero>> descifrarContenido(const QByteArray& contenido,
                                                    const QString& fichero) {
    QList<LineaFichero> lineas = partirLineas(contenido);
    QList<LineaFichero> claras;
    claras.reserve(lineas.size());
    for (LineaFichero& l : lineas) {
        if (l.bytes.isEmpty()) continue;
        const auto donde = [&] {
            return QStringLiteral("%1, línea %2: ").arg(fichero).arg(l.numero);
        };
        if (l.bytes.size() > kMaxCaracteresLinea)
            return Resultado::fallo(donde() + descripcionDesbordamiento(l.bytes.size()),
                                    Errores::ValorFueraDeRango);
        // desplazarBytes se para antes de tocar el byte que no se puede descifrar.
        const qsizetype malo = desplazarBytes(l.bytes, -1);
        if (malo >= 0)
            return Resultado::fallo(donde() + descripcionCaracter(malo, uchar(l.bytes[malo])),
                                    Errores::ArgumentoIncorrecto);
        claras.append(std::move(l));
    }
    return claras;
}

ResultadoDe<QList<int>> decodificarSinAviso(const QString& carpeta, const QString& fichero) {
    QFile entrada(carpeta + fichero);
    if (!entrada.exists())
        return Resultado::fallo(
            QStringLiteral("No se ha encontrado el archivo %1").arg(carpeta + fichero),
            Errores::FicheroNoEncontrado);
    if (!entrada.open(QIODevice::ReadOnly))
        return Resultado::fallo(QStringLiteral("Error de acceso a la ruta o el archivo %1: %2")
                                    .arg(carpeta + fichero, causaLectura(carpeta + fichero)),
                                kErrorAccesoRuta);
    const QByteArray contenido = entrada.readAll();
    entrada.close();

    auto claras = descifrarContenido(contenido, fichero);
    if (!claras) return claras.estado();

    QByteArray salida;
    qsizetype total = 0;
    for (const auto& l : claras.valor()) total += l.bytes.size() + 2;
    salida.reserve(total);
    QList<int> numeros;
    numeros.reserve(claras.valor().size());
    for (const auto& l : claras.valor()) {
        salida += l.bytes;
        salida += "\r\n";
        numeros.append(l.numero);
    }
    // Escrito aparte (nuevo, exclusivo, sin seguir enlaces) y luego en su sitio: nunca queda un
    // temp.tmp a medias ni se escribe a través de lo que otro haya puesto con ese nombre.
    const QString destino = carpeta + kTemporal;
    if (const Resultado r = escribirReemplazando(destino, salida); !r)
        return Resultado::fallo(
            QStringLiteral("Error de E/S del dispositivo al escribir %1: %2").arg(destino, r.mensaje()),
            Errores::ErrorEntradaSalida);
    return numeros;
}

QString mensajeErrorDecodificacion(int numero, const QString& descripcion) {
    return QStringLiteral("Se ha producido el siguiente error ") + QString::number(numero) +
           QStringLiteral("-") + descripcion;
}

QString DecodificarFichero(const QString& carpeta, const QString& fichero) {
    const auto r = decodificarSinAviso(carpeta, fichero);
    if (!r) {
        mostrarMensaje(mensajeErrorDecodificacion(r.numero(), r.mensaje()), kTituloPrograma,
                       Icono::Critico, Botones::Aceptar);
        return {};
    }
    return kTemporal;
}

ResultadoDe<QByteArray> cifrarContenido(const QByteArray& claro, const QString& fichero) {
    QByteArray salida;
    salida.reserve(claro.size() + claro.size() / 50);
    for (LineaFichero& l : partirLineas(claro)) {
        if (l.bytes.isEmpty()) continue;
        const QString donde = QStringLiteral("%1, línea %2: ").arg(fichero).arg(l.numero);
        if (l.bytes.size() > kMaxCaracteresLinea)
            return Resultado::fallo(donde + descripcionDesbordamiento(l.bytes.size()),
                                    Errores::ValorFueraDeRango);
        // El tabulador y el salto de página cifrados serían LF y CR: se leerían como fin de línea.
        const qsizetype malo = [&] {
            for (qsizetype i = 0; i < l.bytes.size(); ++i) {
                const uchar b = uchar(l.bytes[i]);
                if (b == 0x09 || b == 0x0C || b == 0xFF) return i;
            }
            return qsizetype(-1);
        }();
        if (malo >= 0)
            return Resultado::fallo(
                donde + QStringLiteral("el carácter de la columna %1 (código %2) no se puede "
                                       "cifrar")
                            .arg(malo + 1)
                            .arg(uchar(l.bytes[malo])),
                Errores::ArgumentoIncorrecto);
        desplazarBytes(l.bytes, +1);
        salida += l.bytes;
        salida += "\r\n";
    }
    return salida;
}
