#include "catalogue/IndicesPlazas.h"

#include "catalogue/Esquemas.h"

#include <array>

namespace {

const QString kCodConvocatoria = QStringLiteral("CodConvocatoria");

// Campos que se copian del origen tras CodConvocatoria, en el orden en que se escriben.
const QStringList& camposCopiados(VarianteEnlace variante) {
    static const QStringList porCuerpo = {QStringLiteral("NomConvocatoria"),
                                          QStringLiteral("Consejeria"),
                                          QStringLiteral("Localidad"),
                                          QStringLiteral("CodConsejeria"),
                                          QStringLiteral("CodLocalidad"),
                                          QStringLiteral("CodProvincia"),
                                          QStringLiteral("CodArea"),
                                          QStringLiteral("CodZona"),
                                          QStringLiteral("Area")};
    // Por grupo no se copia Area: las tablas por grupo la dejan vacía.
    static const QStringList porGrupo = {
        QStringLiteral("NomConvocatoria"), QStringLiteral("Localidad"),
        QStringLiteral("Consejeria"),      QStringLiteral("CodConsejeria"),
        QStringLiteral("CodLocalidad"),    QStringLiteral("CodProvincia"),
        QStringLiteral("CodArea"),         QStringLiteral("CodZona")};
    return variante == VarianteEnlace::PorCuerpo ? porCuerpo : porGrupo;
}

// Pares (campo del origen, campo del destino) ya resueltos a posiciones.
struct Correspondencia {
    int codigoDestino = -1;
    QVector<std::pair<int, int>> campos;
};

ResultadoDe<Correspondencia> resolver(const Tabla& origen, const Tabla& destino,
                                      VarianteEnlace variante) {
    Correspondencia c;
    c.codigoDestino = destino.indiceCampo(kCodConvocatoria);
    if (c.codigoDestino < 0) {
        return Resultado::fallo(
            QStringLiteral("La tabla %1 no tiene el campo CodConvocatoria").arg(destino.nombre()),
            Errores::CampoNoEncontrado);
    }
    for (const QString& nombre : camposCopiados(variante)) {
        const int o = origen.indiceCampo(nombre);
        const int d = destino.indiceCampo(nombre);
        if (o < 0 || d < 0) {
            return Resultado::fallo(QStringLiteral("El campo %1 no existe en la tabla %2")
                                        .arg(nombre, o < 0 ? origen.nombre() : destino.nombre()),
                                    Errores::CampoNoEncontrado);
        }
        c.campos.append({o, d});
    }
    return c;
}

// Códigos de plaza de los enlaces, agrupados por el valor de un campo (cuerpo o grupo) y en el
// orden de la tabla. Quita el filtro de los enlaces, como hace cada pasada de la indexación.
ResultadoDe<QHash<QString, QVector<QString>>> agruparEnlaces(Tabla& enlaces,
                                                             const QString& campoClave) {
    if (Resultado r = enlaces.filtrar(QString()); !r) return r;
    const int clave = enlaces.indiceCampo(campoClave);
    const int plaza = enlaces.indiceCampo(QStringLiteral("CodPlaza"));
    if (clave < 0 || plaza < 0) {
        return Resultado::fallo(QStringLiteral("La tabla %1 no tiene los campos CodPlaza y %2")
                                    .arg(enlaces.nombre(), campoClave),
                                Errores::CampoNoEncontrado);
    }
    QHash<QString, QVector<QString>> grupos;
    const int n = enlaces.numeroRegistros();
    for (int fila = 0; fila < n; ++fila) {
        grupos[claveIgualdad(enlaces.valorEnFila(fila, clave).toString())].append(
            enlaces.valorEnFila(fila, plaza).toString());
    }
    return grupos;
}

Resultado faltaTabla(const char* nombre) {
    return Resultado::fallo(
        QStringLiteral("La tabla %1 no está cargada").arg(QLatin1String(nombre)),
        Errores::RegistroActualNoValido);
}

void avanzar(ObservadorProgreso* progreso, int paso) {
    if (progreso) progreso->avanzar(paso);
}

}  // namespace

QString claveIgualdad(const QString& texto) {
    return texto.toCaseFolded();
}

IndiceConvocatorias::IndiceConvocatorias(Tabla& origen) : m_origen(&origen) {
    origen.filtrar(QString());
    origen.moverPrimero();
    const int codigo = origen.indiceCampo(kCodConvocatoria);
    if (codigo < 0) return;
    const int n = origen.numeroRegistros();
    m_filas.reserve(n);
    // Se recorre al revés para que gane la primera aparición: es la que hallaría la búsqueda
    // hacia delante desde el principio.
    for (int fila = n - 1; fila >= 0; --fila)
        m_filas.insert(claveIgualdad(origen.valorEnFila(fila, codigo).toString()), fila);
}

Resultado copiarPlazas(const QVector<QString>& codigos, Tabla& destino,
                       const IndiceConvocatorias& origen, VarianteEnlace variante) {
    auto corr = resolver(origen.origen(), destino, variante);
    if (!corr) return corr.estado();
    const Tabla& fuente = origen.origen();
    // Cada registro entra de una vez, con sus valores ya en el orden de los campos del destino.
    QList<QVariant> valores(destino.campos().size());
    for (const QString& codigo : codigos) {
        const int fila = origen.fila(codigo);
        if (fila < 0) continue;
        valores[corr.valor().codigoDestino] = codigo;
        for (const auto& [o, d] : corr.valor().campos) valores[d] = fuente.valorEnFila(fila, o);
        if (Resultado r = destino.anadirRegistro(valores); !r) return r;
    }
    return Resultado::correcto();
}

Resultado CopiarPlazasEnlazadas(Tabla& enlaces, Tabla& destino, const IndiceConvocatorias& origen,
                                VarianteEnlace variante) {
    if (variante == VarianteEnlace::PorGrupo) {
        if (enlaces.numeroRegistros() == 0) return Resultado::correcto();
        enlaces.moverPrimero();
    }
    const int plaza = enlaces.indiceCampo(QStringLiteral("CodPlaza"));
    if (plaza < 0) {
        return Resultado::fallo(
            QStringLiteral("La tabla %1 no tiene el campo CodPlaza").arg(enlaces.nombre()),
            Errores::CampoNoEncontrado);
    }
    QVector<QString> codigos;
    for (; !enlaces.eof(); enlaces.moverSiguiente())
        codigos.append(enlaces.valor(plaza).toString());
    return copiarPlazas(codigos, destino, origen, variante);
}

QString filtroEnlacesCuerpo(const QString& codCuerpo) {
    return QStringLiteral("CodCuerpo='") + codCuerpo + QLatin1Char('\'');
}

QString filtroEnlacesGrupo(const QString& grupo) {
    return QStringLiteral("CodGrupo='") + grupo + QLatin1Char('\'');
}

Resultado IndexarPlazasPorCuerpo(Tabla& rsCuerpos, QVector<PlazasCuerpo>& indice,
                                 ObservadorProgreso* progreso, int paso) {
    Globales& g = G();
    if (!g.rsPlazasCuerpo) return faltaTabla("rsPlazasCuerpo");
    if (!g.rsPlazasResultas) return faltaTabla("rsPlazasResultas");
    if (!g.rsPlazasVacantes) return faltaTabla("rsPlazasVacantes");
    if (!g.rsPlazasListaR) return faltaTabla("rsPlazasListaR");
    if (!g.rsPlazasListaV) return faltaTabla("rsPlazasListaV");

    auto enlaces = agruparEnlaces(*g.rsPlazasCuerpo, QStringLiteral("CodCuerpo"));
    if (!enlaces) return enlaces.estado();
    // Índices del catálogo (pasada con DesdeCatalogo) y de las listas (la otra pasada).
    const std::array<IndiceConvocatorias, 2> resultas = {IndiceConvocatorias(*g.rsPlazasResultas),
                                                         IndiceConvocatorias(*g.rsPlazasListaR)};
    const std::array<IndiceConvocatorias, 2> vacantes = {IndiceConvocatorias(*g.rsPlazasVacantes),
                                                         IndiceConvocatorias(*g.rsPlazasListaV)};

    const int codigo = rsCuerpos.indiceCampo(QStringLiteral("CodCuerpo"));
    const int grupo = rsCuerpos.indiceCampo(QStringLiteral("Grupo"));
    const int n = rsCuerpos.numeroRegistros();
    indice.resize(2 * n);
    qint16 hueco = 0;
    QString ultimo;
    bool hubo = false;
    static const QVector<QString> kSinEnlaces;
    for (int fila = 0; fila < n; ++fila) {
        if (rsCuerpos.valorEnFila(fila, grupo).toString() == QLatin1String("X")) continue;
        const QString cod = rsCuerpos.valorEnFila(fila, codigo).toString();
        const auto it = enlaces.valor().constFind(claveIgualdad(cod));
        const QVector<QString>& codigos = it == enlaces.valor().cend() ? kSinEnlaces : *it;
        for (int pasada = 0; pasada < 2; ++pasada) {
            avanzar(progreso, paso);
            PlazasCuerpo& e = indice[hueco];
            e.CodCuerpo = cod;
            e.DesdeCatalogo = pasada == 0;
            e.Resultas = CrearTablaPlazas();
            if (Resultado r = copiarPlazas(codigos, *e.Resultas, resultas[size_t(pasada)],
                                           VarianteEnlace::PorCuerpo);
                !r)
                return r;
            e.Vacantes = CrearTablaPlazas();
            avanzar(progreso, paso);
            if (Resultado r = copiarPlazas(codigos, *e.Vacantes, vacantes[size_t(pasada)],
                                           VarianteEnlace::PorCuerpo);
                !r)
                return r;
            ++hueco;
        }
        ultimo = cod;
        hubo = true;
    }
    // La tabla de enlaces queda filtrada por el último cuerpo, como tras el recorrido uno a uno.
    if (hubo) return g.rsPlazasCuerpo->filtrar(filtroEnlacesCuerpo(ultimo));
    return Resultado::correcto();
}

Resultado IndexarPlazasPorGrupo(Tabla& rsGrupos, QVector<PlazasGrupo>& indice,
                                ObservadorProgreso* progreso, int paso) {
    Globales& g = G();
    if (!g.rsPlazasGrupo) return faltaTabla("rsPlazasGrupo");
    if (!g.rsPlazasListaR) return faltaTabla("rsPlazasListaR");
    if (!g.rsPlazasListaV) return faltaTabla("rsPlazasListaV");

    auto enlaces = agruparEnlaces(*g.rsPlazasGrupo, QStringLiteral("CodGrupo"));
    if (!enlaces) return enlaces.estado();
    const IndiceConvocatorias resultas(*g.rsPlazasListaR);
    const IndiceConvocatorias vacantes(*g.rsPlazasListaV);

    const int campoGrupo = rsGrupos.indiceCampo(QStringLiteral("Grupo"));
    const int n = rsGrupos.numeroRegistros();
    indice.resize(n);
    static const QVector<QString> kSinEnlaces;
    QString ultimo;
    for (int fila = 0; fila < n; ++fila) {
        avanzar(progreso, paso);
        const QString grupo = rsGrupos.valorEnFila(fila, campoGrupo).toString();
        PlazasGrupo& e = indice[qint16(fila)];
        e.Grupo = grupo;
        const auto it = enlaces.valor().constFind(claveIgualdad(grupo));
        const QVector<QString>& codigos = it == enlaces.valor().cend() ? kSinEnlaces : *it;
        e.Resultas = CrearTablaPlazas();
        e.Vacantes = CrearTablaPlazas();
        if (Resultado r = copiarPlazas(codigos, *e.Resultas, resultas, VarianteEnlace::PorGrupo);
            !r)
            return r;
        if (Resultado r = copiarPlazas(codigos, *e.Vacantes, vacantes, VarianteEnlace::PorGrupo);
            !r)
            return r;
        ultimo = grupo;
    }
    if (n > 0) return g.rsPlazasGrupo->filtrar(filtroEnlacesGrupo(ultimo));
    return Resultado::correcto();
}

int buscarPlazasCuerpo(const QVector<PlazasCuerpo>& indice, const QString& codCuerpo) {
    for (int i = 0; i < indice.size(); ++i) {
        if (indice[i].DesdeCatalogo && indice[i].CodCuerpo == codCuerpo) return i;
    }
    return -1;
}
