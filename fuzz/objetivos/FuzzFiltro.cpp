// El lenguaje de filtros y de búsqueda de las tablas, con cualquier texto.
#include "../ObjetivoFuzz.h"
#include "platform/Tabla.h"

OBJETIVO_FUZZ(fuzzFiltro) {
    static const PTabla tabla = [] {
        PTabla t = Tabla::crear(QStringLiteral("prueba"),
                                {{QStringLiteral("CodProvincia"), TipoCampo::Texto, 2},
                                 {QStringLiteral("Localidad"), TipoCampo::Texto, 53},
                                 {QStringLiteral("Orden"), TipoCampo::Entero, 0}});
        t->anadirRegistro({QStringLiteral("06"), QStringLiteral("Mérida"), qint64(1)});
        t->anadirRegistro({QStringLiteral("10"), QStringLiteral("O'Barco"), qint64(2)});
        t->anadirRegistro({QString(), QString(), QVariant()});
        return t;
    }();
    const QString texto = QString::fromUtf8(fuzz::bytes(datos, tamano));
    tabla->filtrar(texto);
    tabla->filtrar(QString());
    tabla->moverPrimero();
    tabla->buscar(texto);
    tabla->ordenar(texto);
    tabla->ordenar(QString());
    return 0;
}
