#include "catalogue/Decodificacion.h"

#include "platform/Causas.h"
#include "platform/Codificacion.h"
#include "platform/FicheroAparte.h"
#include "platform/ServicioMensajes.h"

#include <QFile>
#include <cstring>

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

constexpr quint64 kUnos = 0x0101010101010101ULL;

quint64 palabra(const char* p) {
    quint64 v;
    std::memcpy(&v, p, 8);
    return v;
}

// Si alguno de los ocho bytes de `v` vale `byte`.
bool hayByte(quint64 v, uchar byte) {
    const quint64 x = v ^ (kUnos * byte);
    return ((x - kUnos) & ~x & (kUnos << 7)) != 0;
}

bool hayFinDeLinea(quint64 v) {
    return hayByte(v, '\r') || hayByte(v, '\n');
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

ResultadoDe<TextoClaro> descifrarTexto(const QByteArray& contenido, const QString& fichero) {
    TextoClaro claro;
    // Lo descifrado nunca es más largo que lo cifrado más un LF por cada CR o LF suelto.
    claro.contenido.resize(contenido.size() + contenido.size() / 8 + 2);
    char* salida = claro.contenido.data();
    qsizetype escrito = 0;
    const char* p = contenido.constData();
    const qsizetype n = contenido.size();
    qsizetype inicio = 0;
    int numero = 0;
    while (inicio < n) {
        // Fin de la línea: CR+LF, LF solo, CR solo o el final del contenido. Se busca de ocho en
        // ocho bytes mientras no haya ninguno de los que cortan la línea.
        qsizetype fin = inicio;
        while (fin + 8 <= n && !hayFinDeLinea(palabra(p + fin))) fin += 8;
        while (fin < n && p[fin] != '\r' && p[fin] != '\n') ++fin;
        ++numero;
        const qsizetype longitud = fin - inicio;
        if (longitud > 0) {
            const auto donde = [&] {
                return QStringLiteral("%1, línea %2: ").arg(fichero).arg(numero);
            };
            if (longitud > kMaxCaracteresLinea)
                return Resultado::fallo(donde() + descripcionDesbordamiento(longitud),
                                        Errores::ValorFueraDeRango);
            if (escrito + longitud + 2 > claro.contenido.size()) {
                claro.contenido.resize(
                    std::max(escrito + longitud + 2, claro.contenido.size() * 2));
                salida = claro.contenido.data();
            }
            // De ocho en ocho mientras no haya un byte 0: restar uno a cada byte no se lleva nada
            // al de al lado porque ninguno es 0.
            qsizetype k = 0;
            for (; k + 8 <= longitud; k += 8) {
                const quint64 v = palabra(p + inicio + k);
                if (hayByte(v, 0)) break;
                const quint64 claro = v - kUnos;
                std::memcpy(salida + escrito + k, &claro, 8);
            }
            for (; k < longitud; ++k) {
                const uchar b = uchar(p[inicio + k]);
                // El byte 0 cifrado sería el -1 en claro.
                if (b == 0)
                    return Resultado::fallo(donde() + descripcionCaracter(k, 0),
                                            Errores::ArgumentoIncorrecto);
                salida[escrito + k] = char(b - 1);
            }
            claro.lineas.push_back({escrito, longitud, numero});
            escrito += longitud;
            salida[escrito++] = '\r';
            salida[escrito++] = '\n';
        }
        if (fin < n && p[fin] == '\r' && fin + 1 < n && p[fin + 1] == '\n') ++fin;
        inicio = fin + 1;
    }
    claro.contenido.truncate(escrito);
    return claro;
}

ResultadoDe<QList<LineaFichero>> descifrarContenido(const QByteArray& contenido,
                                                    const QString& fichero) {
    auto claro = descifrarTexto(contenido, fichero);
    if (!claro) return claro.estado();
    QList<LineaFichero> lineas;
    lineas.reserve(qsizetype(claro.valor().lineas.size()));
    for (const TextoClaro::Linea& l : claro.valor().lineas)
        lineas.append(
            {claro.valor().contenido.mid(l.inicio, l.longitud), l.numero, FinLinea::CRLF});
    return lineas;
}

ResultadoDe<TextoClaro> decodificarEnMemoria(const QString& carpeta, const QString& fichero,
                                             const QString& carpetaPaso) {
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

    auto claro = descifrarTexto(contenido, fichero);
    if (!claro) return claro;
    // Escrito aparte (nuevo, exclusivo, sin seguir enlaces) y luego en su sitio: nunca queda un
    // temp.tmp a medias ni se escribe a través de lo que otro haya puesto con ese nombre. Sin
    // esperar al disco: es un fichero de paso que cada carga vuelve a escribir.
    const QString destino = (carpetaPaso.isEmpty() ? carpeta : carpetaPaso) + kTemporal;
    if (const Resultado r = escribirReemplazando(destino, claro.valor().contenido, Sincronizar::No);
        !r)
        return Resultado::fallo(QStringLiteral("Error de E/S del dispositivo al escribir %1: %2")
                                    .arg(destino, r.mensaje()),
                                Errores::ErrorEntradaSalida);
    return claro;
}

ResultadoDe<QList<int>> decodificarSinAviso(const QString& carpeta, const QString& fichero) {
    const auto claro = decodificarEnMemoria(carpeta, fichero);
    if (!claro) return claro.estado();
    QList<int> numeros;
    numeros.reserve(qsizetype(claro.valor().lineas.size()));
    for (const TextoClaro::Linea& l : claro.valor().lineas) numeros.append(l.numero);
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
