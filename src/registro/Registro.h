#pragma once

#include "lectura/LecturaPaginas.h"
#include "platform/Resultado.h"
#include "registro/DestinoRegistro.h"

#include <QDateTime>
#include <QHash>
#include <QString>
#include <QVector>
#include <functional>
#include <memory>

// El registro de la oficina: lo que han leído todas las ejecuciones del lector, para que una
// página escaneada mañana complete una solicitud empezada hoy. Vive en un fichero SQLite o en una
// base PostgreSQL que comparten varios puestos de escaneo; el mismo SQL sirve para los dos.
//
// Un fichero se conoce por sus bytes (su huella), no solo por su ruta: los escáneres repiten
// nombres («scan0001.png» cada día). Leer otra vez los mismos bytes no cambia nada; otros bytes en
// la misma ruta son otro fichero, y lo anotado del anterior se queda. Cada código se guarda una
// vez, y cada sitio donde se ha leído aparte: la misma hoja en dos ficheros es una página
// repetida, como en un lote. Una hoja que no se lee solo deja de contar cuando el operador la
// resuelve (la sustituye otro fichero o se descarta), con su hora y su puesto.

struct AnotacionRegistro {
    qsizetype codigosNuevos = 0;
    qsizetype codigosYaEstaban = 0;
};

// Una hoja ilegible o que no se ha podido leer y que nadie ha resuelto todavía.
struct HojaSinResolver {
    QString fichero;  // la ruta, tal como se anotó
    int pagina = 0;   // 0: el fichero entero
    // El principio de la huella del fichero si en esa ruta hay más de un fichero con esa hoja
    // sin resolver (la orden que la resuelve tiene que decir cuál); vacío si no.
    QString huella;
    QString que;  // «código ilegible» o la causa del fallo
};

struct ContenidoRegistro {
    QVector<PaginaLeida> paginas;
    QVector<HojaSinResolver> sinResolver;
};

class Registro {
public:
    // Escritura: crea las tablas si faltan (o las pasa de la versión anterior) y prueba que se
    // puede escribir. SoloLectura: un fichero SQLite que no existe o que no es un registro es un
    // error, y no se escribe nada (quien solo consulta no crea un registro por una errata).
    enum class Apertura { Escritura, SoloLectura };

    static ResultadoDe<std::unique_ptr<Registro>> abrir(const QString& destino,
                                                        Apertura apertura = Apertura::Escritura);
    ~Registro();
    Registro(const Registro&) = delete;
    Registro& operator=(const Registro&) = delete;

    const DestinoRegistro& destino() const { return m_destino; }

    // Anota las páginas de una ejecución, todas o ninguna: en una sola transacción, que se
    // repite si otro puesto escribía lo mismo a la vez. `huellas` da la huella de cada fichero
    // (huellaFichero); uno que no está se conoce solo por su ruta. `avance` se llama tras cada
    // fila escrita con las hechas y el total.
    ResultadoDe<AnotacionRegistro> anotar(const QVector<PaginaLeida>& paginas,
                                          const QHash<QString, QString>& huellas,
                                          const QDateTime& momento,
                                          const std::function<void(int, int)>& avance = {});

    // Resuelve una hoja del registro: la sustituye el fichero `por` (ya anotado) o, si está
    // vacío, se descarta. `huella` elige el fichero cuando en esa ruta hay varios. Devuelve qué
    // hoja ha quedado resuelta y por qué, para decirlo.
    ResultadoDe<QString> resolver(const QString& fichero, int pagina, const QString& huella,
                                  const QString& por, const QDateTime& momento,
                                  const QString& puesto);

    // Todo lo anotado y sin descartar ni sustituir, como lo daría la lectura de un lote con
    // todas esas páginas: por fichero y página, con cada código en cada página donde se leyó.
    // Un fichero de una ruta donde hay varios lleva tras su nombre el principio de su huella.
    ResultadoDe<ContenidoRegistro> contenido();
    ResultadoDe<QVector<PaginaLeida>> paginas();

private:
    Registro(QString conexion, DestinoRegistro destino);

    QString m_conexion;
    DestinoRegistro m_destino;
    int m_version = 0;
};

// La huella de los bytes de un fichero (SHA-256 en hexadecimal); vacía si no se puede leer.
QString huellaFichero(const QString& ruta);
