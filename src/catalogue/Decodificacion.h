#pragma once

#include "platform/Resultado.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <string_view>
#include <vector>

// Ficheros de catálogo cifrados (.enc): cada carácter guardado es el claro con el código
// aumentado en uno; los finales de línea no se cifran y las líneas vacías no llevan datos.

// Error de acceso a una ruta que no es un fichero legible (por ejemplo, el nombre vacío que deja
// una decodificación fallida).
constexpr int kErrorAccesoRuta = 75;

// Línea más larga que se puede descifrar: el contador del bucle es un entero de 16 bits.
constexpr int kMaxCaracteresLinea = 32767;

// Cambia cada carácter (de Windows-1252) por el de código aumentado en `desplazamiento`.
// Falla si un código resultante queda fuera de 0..255, si un carácter no es de Windows-1252 o si
// el texto pasa de kMaxCaracteresLinea caracteres.
ResultadoDe<QString> DesplazarCaracteres(const QString& texto, qint16 desplazamiento);

// Descifra carpeta & fichero en carpeta & "temp.tmp" (líneas en claro, cada una con CR+LF, sin
// vacías) y devuelve "temp.tmp". Ante cualquier fallo muestra "Se ha producido el siguiente
// error " & número & "-" & descripción (icono crítico, título del programa), deja temp.tmp como
// estaba y devuelve el texto vacío.
QString DecodificarFichero(const QString& carpeta, const QString& fichero);

// Fin con que termina una línea del fichero.
enum class FinLinea { CRLF, LF, CR, Ninguno };

struct LineaFichero {
    QByteArray bytes;  // sin el fin de línea
    int numero = 0;    // desde 1, contando también las vacías
    FinLinea fin = FinLinea::CRLF;
};

// Parte el contenido en líneas. Se aceptan como fin de línea CR+LF, LF solo y CR solo; la última
// línea puede no llevar fin. No quita las vacías.
QList<LineaFichero> partirLineas(const QByteArray& contenido);

// Desplaza los bytes de una línea. Devuelve -1 si todo fue bien, o la posición (desde 0) del
// primer byte cuyo código desplazado queda fuera de 0..255 (la línea queda a medias).
qsizetype desplazarBytes(QByteArray& bytes, int desplazamiento);

// Texto en claro de un catálogo tal como queda en temp.tmp (cada línea con CR+LF, sin las
// vacías), con dónde empieza cada línea y su número en el .enc.
struct TextoClaro {
    struct Linea {
        qsizetype inicio = 0;
        qsizetype longitud = 0;  // sin el fin de línea
        int numero = 0;
    };
    QByteArray contenido;
    std::vector<Linea> lineas;
    std::string_view bytes(const Linea& l) const {
        return {contenido.constData() + l.inicio, size_t(l.longitud)};
    }
};

// Descifrado sin mensajes, de una pasada. El fallo lleva el número de error y una descripción
// que nombra fichero y línea: la primera línea que no se puede descifrar.
ResultadoDe<TextoClaro> descifrarTexto(const QByteArray& contenido, const QString& fichero);

// Descifra carpeta & fichero, escribe el resultado en carpetaPaso & "temp.tmp" (por omisión, en
// la misma carpeta) y lo devuelve, para no tener que volver a leerlo. Instalado, los catálogos
// no se pueden escribir: temp.tmp va a la carpeta de datos del usuario.
ResultadoDe<TextoClaro> decodificarEnMemoria(const QString& carpeta, const QString& fichero,
                                             const QString& carpetaPaso = {});

// Descifrado sin mensajes: las líneas en claro, sin las vacías, con su número en el .enc.
// El fallo lleva el número de error y una descripción que nombra fichero y línea.
ResultadoDe<QList<LineaFichero>> descifrarContenido(const QByteArray& contenido,
                                                    const QString& fichero);

// Como DecodificarFichero pero sin mostrar nada: escribe temp.tmp y devuelve los números de
// línea del .enc de cada línea escrita.
ResultadoDe<QList<int>> decodificarSinAviso(const QString& carpeta, const QString& fichero);

// Mensaje de fallo de la decodificación, tal como se muestra.
QString mensajeErrorDecodificacion(int numero, const QString& descripcion);

// Lo contrario de descifrar, para quien prepara los catálogos: cada línea del texto en claro
// (bytes Windows-1252, con cualquier fin de línea) cifrada y terminada en CR+LF, sin las vacías.
// Falla si una línea pasa de la longitud máxima o lleva un byte que no se puede cifrar: el 255,
// y el tabulador y el salto de página, que cifrados serían fines de línea.
ResultadoDe<QByteArray> cifrarContenido(const QByteArray& claro, const QString& fichero);
