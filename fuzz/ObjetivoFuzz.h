#pragma once

#include "platform/ServicioMensajes.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>

// Un objetivo de fuzzing: una función que recibe unos bytes cualesquiera y no debe romperse con
// ninguno. Compilado con clang y -DMOVILANT_LIBFUZZER es un programa de libFuzzer
// (scripts/fuzz.sh); sin eso es una función más, que la prueba ReproduccionCorpus pasa por cada
// fichero de su corpus (fuzz/corpus/<objetivo>/) en cada ejecución de las pruebas.
#ifdef MOVILANT_LIBFUZZER
#define OBJETIVO_FUZZ(nombre)                                                          \
    int nombre(const uint8_t* datos, size_t tamano);                                   \
    extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t tamano) {       \
        return nombre(datos, tamano);                                                  \
    }                                                                                  \
    int nombre(const uint8_t* datos, size_t tamano)
#else
#define OBJETIVO_FUZZ(nombre) int nombre(const uint8_t* datos, size_t tamano)
#endif

namespace fuzz {

inline QByteArray bytes(const uint8_t* datos, size_t tamano) {
    return QByteArray(reinterpret_cast<const char*>(datos), qsizetype(tamano));
}

// Los mensajes que el programa enseñaría se callan: aquí no hay nadie que los lea.
class MensajesMudos : public ServicioMensajes {
public:
    Respuesta mostrar(const QString&, const QString&, Icono, Botones, Respuesta) override {
        return Respuesta::Aceptar;
    }
};

inline void callar() {
    static MensajesMudos mudos;
    instalarServicioMensajes(&mudos);
}

// Carpeta de trabajo de un objetivo, la misma en todas sus llamadas.
inline const QTemporaryDir& carpeta() {
    static QTemporaryDir dir;
    return dir;
}

// Deja los bytes en el fichero `nombre` de la carpeta de trabajo y devuelve su ruta (vacía si no
// se pudo escribir).
inline QString escribir(const QString& nombre, const uint8_t* datos, size_t tamano) {
    const QString ruta = carpeta().filePath(nombre);
    QFile f(ruta);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes(datos, tamano)) != qint64(tamano)) return {};
    return ruta;
}

}  // namespace fuzz
