#pragma once

#include "platform/Resultado.h"

#include <QHash>
#include <QString>
#include <QVector>

// Lectura del texto de un código de barras de una solicitud impresa: el prefijo (clave del
// solicitante, fecha y hora de la impresión), la clase y el número de la página y lo que lleva
// (los datos del solicitante o las plazas de la página).

enum class TipoPagina { Solicitante, Vacantes, Resultas };

// Nombre de la lista de una página de plazas ("Vacantes", "Resultas"); "solicitante" para la 1.
QString nombreTipo(TipoPagina tipo);

struct PlazaLeida {
    qint64 orden = 0;
    QString codigo;  // CodConvocatoria sin los blancos de relleno
    friend bool operator==(const PlazaLeida&, const PlazaLeida&) = default;
};

struct CodigoInterpretado {
    QString bruto;               // el texto entero tal como se leyó
    QString clave;               // DNI en 9, cuerpo en 5 y grupo en 1 (o más, si no cabían)
    QString dni, cuerpo, grupo;  // la clave partida, sin rellenos
    QString fecha, hora;         // "dd/MM/yyyy" y "HH:mm:ss" de la impresión
    TipoPagina tipo = TipoPagina::Solicitante;
    int pagina = 0;
    QString carga;               // página del solicitante: sus campos separados por "|"
    QVector<PlazaLeida> plazas;  // página de plazas: sus entradas, en el orden del código
};

// Los códigos de convocatoria se repiten de una solicitud a otra: quien interpreta muchos textos
// (un lote, el registro de la oficina) pasa una reserva y cada código distinto se guarda una sola
// vez, compartido por todas sus plazas, en vez de un texto suelto por plaza.
// Lo mismo con la clave, la fecha y la hora: las páginas de una impresión suelen llegar seguidas,
// y la que empieza como la anterior toma sus textos ya partidos y comprobados.
class ReservaCodigos {
public:
    QString compartido(QStringView codigo);
    // Si `texto` empieza como el último prefijo guardado (clave, fecha y hora, de `largo`
    // caracteres), pone en `c` sus textos y devuelve verdadero.
    bool prefijoConocido(QStringView texto, qsizetype largo, CodigoInterpretado& c) const;
    void guardarPrefijo(const QString& texto, qsizetype largo, const CodigoInterpretado& c);

private:
    QHash<quint64, QString> m_codigos;  // por sus caracteres y su longitud, en un número
    QString m_textoPrefijo;             // el texto del que salió el último prefijo, compartido
    qsizetype m_largoPrefijo = -1;
    CodigoInterpretado m_prefijo;  // solo su clave (y sus partes), fecha y hora
};

// Pone en `a` la clave, sus partes, la fecha y la hora de `de`, compartiendo sus textos.
void compartirPrefijo(const CodigoInterpretado& de, CodigoInterpretado& a);

// Interpreta el texto de un código (ya pasado de Windows-1252 a QString). Falla con un mensaje
// que dice qué parte no se entiende: el texto no es de una solicitud, está cortado, o las
// entradas de plazas no tienen la forma de orden en 4 cifras y código en 5.
ResultadoDe<CodigoInterpretado> interpretarCodigo(const QString& texto,
                                                  ReservaCodigos* reserva = nullptr);

// Texto con las parejas "&" + letra leídas como la letra castellana que las produjo: "&a" es "á"
// (en castellano solo la tilde aguda acentúa a, e, i, o), "&n" es "ñ", y "&u" es "ü" entre una
// "g" y una "e" o una "i" ("güe", "güi") y "ú" en lo demás; lo mismo en mayúsculas. Un "&" que no
// forma una de esas parejas se deja tal cual.
QString textoConAcentos(const QString& texto);
