#pragma once

#include "platform/Resultado.h"

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>

// Lectura de los códigos PDF417 de las páginas de un lote de ficheros escaneados o impresos:
// PDF (cada página se pasa a imagen con pdftoppm) e imágenes (PNG, JPEG, TIFF de una o varias
// páginas). Las páginas se leen a la vez en varios hilos.

// Dónde está una página: el fichero tal como se dio y su número de página en él, desde 1 (0: el
// fichero entero, cuando no se ha podido abrir).
struct OrigenPagina {
    QString fichero;
    int pagina = 1;
};

// "fichero X, página N" (o "fichero X"), para los mensajes.
QString describirOrigen(const OrigenPagina& origen);

enum class EstadoPagina {
    ConCodigos,  // se ha leído al menos un código
    SinCodigo,   // hay algo impreso pero ningún código (las páginas de cursos y documentos)
    EnBlanco,    // no hay nada impreso
    Ilegible,    // hay un código (o la hoja es de las que lo llevan) pero no se puede leer
    Fallo,       // el fichero o la página no se pueden abrir
};

struct PaginaLeida {
    OrigenPagina origen;
    EstadoPagina estado = EstadoPagina::SinCodigo;
    QVector<QByteArray> codigos;  // bytes de cada código leído (Windows-1252)
    QString detalle;              // en un fallo, la causa
    QByteArray miniatura;         // la hoja reducida en JPEG, si se pide (MiniaturaPagina.h)
};

// Lo que hay en una imagen de página.
struct AnalisisImagen {
    QVector<QByteArray> codigos;
    bool ilegible = false;  // no se ha leído ninguno, pero se ve un PDF417, su zona o la
                            // tabla de una hoja de plazas
    bool enBlanco = false;
};
// Primero se buscan los códigos; solo en una hoja donde no hay ninguno se mira si se ve uno que no
// se lee y, si no, si está en blanco.
AnalisisImagen analizarImagen(const QImage& imagen);
// Lo mismo con una imagen escaneada, que es la que es: si se ve un PDF417 que no se lee, se
// prueba la imagen en espejo y más grande.
AnalisisImagen analizarEscaneo(const QImage& imagen);

// Los puntos que se analizan de una página como mucho (unos 24 millones: un A4 a 480 ppp): la
// página de un PDF se pasa a imagen con menos resolución si no cabe, una imagen más grande se lee
// reducida y ninguna se amplía por encima. Así la memoria no depende de lo que traiga el fichero.
inline constexpr qint64 kPuntosMaximos = 24'000'000;

struct OpcionesLectura {
    int ppp = 200;           // resolución a la que se pasa a imagen cada página de un PDF
    int pppReintento = 400;  // y la de la segunda lectura de una página que no se lee
    int hilos = 0;           // 0: uno por núcleo
    // Una imagen reducida de cada hoja que puede tener que ver una persona (todas menos las de
    // cursos y documentos), hecha de la misma imagen que se lee: la del informe de la lectura.
    bool miniaturas = false;
};

// Lee todas las páginas de los ficheros, en el orden de los ficheros y de sus páginas. Un fichero
// que no se puede abrir da una página en Fallo con la causa. `avance` se llama desde el hilo que
// llama, con las páginas hechas y el total, cada vez que acaba alguna.
QVector<PaginaLeida> leerLote(const QStringList& ficheros, const OpcionesLectura& opciones,
                              const std::function<void(int, int)>& avance = {});
