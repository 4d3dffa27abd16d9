#pragma once

// Lo que comparten las partes del registro de la oficina: su esquema, sus límites y cómo se habla
// con la base (el mismo SQL para SQLite y PostgreSQL). Solo para src/registro.

#include "lectura/LecturaPaginas.h"
#include "platform/Resultado.h"
#include "registro/DestinoRegistro.h"

#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QThread>
#include <iterator>
#include <optional>
#include <utility>

namespace RegistroSql {

// La 1 guardaba cada página por su ruta; la 2, por la huella de su fichero, con cada sitio donde
// se leyó un código y las hojas resueltas. Una de la 1 se lee tal cual y se pasa a la 2 al
// escribir en ella.
constexpr int kVersionEsquema = 2;
// Dos puestos que escriben a la vez pueden chocar (bloqueo mutuo, clave repetida al crear las
// tablas, base ocupada): la transacción se repite entera unas cuantas veces antes de rendirse.
constexpr int kIntentos = 12;
constexpr int kEsperaSqliteMs = 10000;
// Lo más largo que se lee de cada valor: un registro tocado a mano con un valor de cientos de MB
// no se lleva la memoria. Un PDF417 no pasa de 2 KB (en base64, menos de 3 000 caracteres); una
// ruta, de 4 096; una causa de fallo se dice entera en mucho menos.
constexpr int kLargoCodigo = 8192;
constexpr int kLargoRuta = 4096;
constexpr int kLargoHuella = kLargoRuta + 8;
constexpr int kLargoDetalle = 1000;
// Lo que se enseña de una huella para elegir entre ficheros de una misma ruta.
constexpr int kHuellaCorta = 12;
// Un fichero cuyos bytes no se conocen (uno de la versión 1 o uno que no se pudo leer) se conoce
// por su ruta, con este prefijo delante.
inline const QLatin1String kSinHuella("ruta:");

extern const char* const kEsquema[6];
extern const char* const kDeLaVersion1[6];
extern const char* const kPruebaEscritura[4];
extern const std::pair<EstadoPagina, const char*> kEstados[5];

QString nombreEstado(EstadoPagina e);
// El estado de una página, leído como su puesto en kEstados: "CASE estado WHEN 'con-codigos'
// THEN 0 ... END", nulo si no es ninguno. Así cada fila no trae un texto que convertir.
QString estadoComoNumero();
// "abcdef012345" de una huella, "ruta:" de un fichero sin ella: lo que se da con --huella.
QString huellaCorta(const QString& huella);

struct FalloSql {
    QSqlError error;
    QString que;
};

// Choques que se resuelven repitiendo: en PostgreSQL serialización, bloqueo mutuo, clave única
// (dos que crean las tablas a la vez) y tabla ya creada; en SQLite la base ocupada o bloqueada.
bool reintentable(const QSqlError& e, bool postgresql);
std::optional<FalloSql> ejecutar(QSqlQuery& q, const QString& que);
std::optional<FalloSql> ejecutar(QSqlDatabase& bd, const char* sql);
QString causa(const QSqlError& e);
QString nuevaConexion();
// Los bytes de un código guardado en base64; se llama con cada código del registro.
QByteArray bytesDeBase64(const QString& texto);

// Hace `trabajo` dentro de una transacción y la confirma; si choca con otro puesto, la deshace,
// espera un poco (más cada vez, con algo de azar para no volver a chocar) y lo intenta de nuevo.
template <typename F>
Resultado enTransaccion(QSqlDatabase& bd, const DestinoRegistro& destino, F trabajo) {
    FalloSql ultimo;
    for (int intento = 0; intento < kIntentos; ++intento) {
        std::optional<FalloSql> fallo;
        if (!bd.transaction())
            fallo = FalloSql{bd.lastError(), QStringLiteral("empezar la transacción")};
        else if (fallo = trabajo(); !fallo && !bd.commit())
            fallo = FalloSql{bd.lastError(), QStringLiteral("confirmar la transacción")};
        if (!fallo) return Resultado::correcto();
        bd.rollback();
        ultimo = *fallo;
        if (!reintentable(fallo->error, destino.esPostgresql())) break;
        QThread::msleep(20u * unsigned(intento + 1) + QRandomGenerator::global()->bounded(30u));
    }
    return Resultado::fallo(QStringLiteral("No se puede escribir en el registro «%1» (%2): %3.")
                                .arg(destino.descripcion, ultimo.que, causa(ultimo.error)),
                            Errores::ErrorEntradaSalida);
}

}  // namespace RegistroSql
