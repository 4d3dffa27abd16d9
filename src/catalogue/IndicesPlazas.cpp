#include "catalogue/IndicesPlazas.h"

#include "catalogue/Esquemas.h"

#include <array>

namespace {

// Los huecos de los índices se numeran con un contador de 16 bits.
constexpr int kMaximoHuecos = 32767;

Resultado demasiados(const QString& que, int cuantos, int maximo) {
    return Resultado::fallo(QStringLiteral("Hay %1 %2 y el índice de plazas admite como mucho %3.")
                                .arg(cuantos)
                                .arg(que)
                                .arg(maximo),
                            Errores::ValorFueraDeRango);
}


const QString kCodConvocatoria = QStringLiteral("CodConvocatoria");

// El texto de un valor de un campo de texto, sin copiarlo (las tablas guardan los textos como
// QString); un valor de otro tipo, convertido.
const QString& textoDe(const QVariant& valor) {
    if (valor.metaType() == QMetaType::fromType<QString>())
        return *static_cast<const QString*>(valor.constData());
    thread_local QString convertido;
    convertido = valor.toString();
    return convertido;
}

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

// Qué lleva cada campo del destino: el código de plaza del enlace, un campo del origen o nada.
// Se resuelve una vez por pareja de esquemas; todas las tablas de plazas tienen el mismo.
struct PlanCopia {
    static constexpr int kCodigo = -2;
    static constexpr int kVacio = -1;
    std::vector<int> origenDe;  // por campo del destino
};

ResultadoDe<PlanCopia> planificar(const Tabla& origen, const Tabla& destino,
                                  VarianteEnlace variante) {
    PlanCopia plan;
    const QList<Campo>& campos = destino.campos();
    plan.origenDe.assign(size_t(campos.size()), PlanCopia::kVacio);
    const int codigo = destino.indiceCampo(kCodConvocatoria);
    if (codigo < 0) {
        return Resultado::fallo(
            QStringLiteral("La tabla %1 no tiene el campo CodConvocatoria").arg(destino.nombre()),
            Errores::CampoNoEncontrado);
    }
    plan.origenDe[size_t(codigo)] = PlanCopia::kCodigo;
    for (const QString& nombre : camposCopiados(variante)) {
        const int o = origen.indiceCampo(nombre);
        const int d = destino.indiceCampo(nombre);
        if (o < 0 || d < 0) {
            return Resultado::fallo(QStringLiteral("El campo %1 no existe en la tabla %2")
                                        .arg(nombre, o < 0 ? origen.nombre() : destino.nombre()),
                                    Errores::CampoNoEncontrado);
        }
        plan.origenDe[size_t(d)] = o;
    }
    return plan;
}

// Un enlace: el código de plaza tal como está y su clave de búsqueda, calculada una sola vez.
struct Enlace {
    QString codigo;
    IndiceConvocatorias::Clave clave;
};

QVector<Enlace> enlacesDe(const QVector<QString>& codigos) {
    QVector<Enlace> enlaces;
    enlaces.reserve(codigos.size());
    for (const QString& c : codigos) enlaces.append({c, IndiceConvocatorias::Clave::de(c)});
    return enlaces;
}

// Si el plan deja cada campo copiado en su mismo sitio (origen y destino con los mismos campos),
// el registro del destino es el del origen con el código del enlace y sin lo que no se copia.
bool esIdentidad(const PlanCopia& plan) {
    for (size_t d = 0; d < plan.origenDe.size(); ++d)
        if (plan.origenDe[d] >= 0 && plan.origenDe[d] != int(d)) return false;
    return true;
}

// Lo que se recuerda de cada fila de un origen entre un enlace y otro: si su registro vale tal
// cual (nada que vaciar) y, si no, la copia con los campos vaciados.
struct RecuerdoFilas {
    std::vector<signed char> talCual;  // -1 sin mirar, 0 hay que vaciar algo, 1 vale tal cual
    std::vector<FilaTabla> cambiadas;
};

// Cada registro entra de una vez. Con los mismos campos en origen y destino se da de alta la
// fila del origen tal cual, sin copiar sus valores, o una copia con los cambios (el código del
// enlace si no se escribe igual, y vacíos los campos que no se copian); la copia de cada fila se
// hace una vez para todos los enlaces que la piden.
Resultado copiarEnlaces(const QVector<Enlace>& enlaces, Tabla& destino,
                        const IndiceConvocatorias& origen, const PlanCopia& plan,
                        RecuerdoFilas* recuerdo = nullptr) {
    const Tabla& fuente = origen.origen();
    const QList<Campo>& campos = destino.campos();
    if (!esIdentidad(plan)) {
        for (const Enlace& e : enlaces) {
            const int fila = origen.filaPorClave(e.clave);
            if (fila < 0) continue;
            std::vector<QVariant> valores;
            valores.reserve(plan.origenDe.size());
            for (size_t d = 0; d < plan.origenDe.size(); ++d) {
                const int o = plan.origenDe[d];
                if (o == PlanCopia::kCodigo)
                    valores.emplace_back(e.codigo);
                else if (o >= 0)
                    valores.push_back(fuente.valorEnFila(fila, o));
                else
                    valores.push_back(valorVacio(campos[int(d)]));
            }
            if (Resultado r = destino.anadirRegistro(std::move(valores)); !r) return r;
        }
        return Resultado::correcto();
    }
    int campoCodigo = -1;
    std::vector<std::pair<int, QVariant>> vacios;
    for (size_t d = 0; d < plan.origenDe.size(); ++d) {
        if (plan.origenDe[d] == PlanCopia::kCodigo) campoCodigo = int(d);
        if (plan.origenDe[d] == PlanCopia::kVacio) vacios.emplace_back(int(d), valorVacio(campos[int(d)]));
    }
    const size_t filas = size_t(fuente.numeroRegistros());
    if (recuerdo && recuerdo->talCual.size() != filas) {
        recuerdo->talCual.assign(filas, -1);
        recuerdo->cambiadas.assign(filas, FilaTabla());
    }
    // Los campos que no se copian y el origen no tiene vacíos.
    const auto cambiosDeVaciar = [&](int fila, std::vector<std::pair<int, QVariant>>& cambios) {
        for (const auto& [d, vacio] : vacios) {
            const QVariant& actual = fuente.valorEnFila(fila, d);
            // El texto vacío no es el nulo que deja un campo sin copiar.
            if (actual.toString().isNull() != vacio.toString().isNull() || actual != vacio)
                cambios.emplace_back(d, vacio);
        }
    };
    std::vector<std::pair<int, QVariant>> cambios;
    // Las filas de todos los enlaces primero: así cada registro se pide a la memoria unas
    // vueltas antes de usarlo, en vez de esperarlo en cada vuelta.
    thread_local std::vector<int> filasEnlaces;
    filasEnlaces.resize(size_t(enlaces.size()));
    for (qsizetype i = 0; i < enlaces.size(); ++i)
        filasEnlaces[size_t(i)] = origen.filaPorClave(enlaces[i].clave);
    constexpr size_t kLejos = 16, kCerca = 8;
    for (size_t i = 0; i < filasEnlaces.size() && i < kLejos; ++i)
        fuente.anticiparFila(filasEnlaces[i], true);
    for (size_t i = 0; i < filasEnlaces.size() && i < kCerca; ++i)
        fuente.anticiparFila(filasEnlaces[i], false);
    for (qsizetype i = 0; i < enlaces.size(); ++i) {
        if (size_t(i) + kLejos < filasEnlaces.size())
            fuente.anticiparFila(filasEnlaces[size_t(i) + kLejos], true);
        if (size_t(i) + kCerca < filasEnlaces.size())
            fuente.anticiparFila(filasEnlaces[size_t(i) + kCerca], false);
        const Enlace& e = enlaces[i];
        const int fila = filasEnlaces[size_t(i)];
        if (fila < 0) continue;
        // Un código de solo cifras que da con la fila por su número se escribe igual que el de la
        // fila: el número con su longitud no admite otra escritura.
        const bool mismoCodigo =
            e.clave.numero >= 0 || textoDe(fuente.valorEnFila(fila, campoCodigo)) == e.codigo;
        signed char sinMirar = -1;
        signed char& tal = recuerdo ? recuerdo->talCual[size_t(fila)] : sinMirar;
        if (tal < 0) {
            cambios.clear();
            cambiosDeVaciar(fila, cambios);
            tal = cambios.empty() ? 1 : 0;
        }
        if (mismoCodigo && tal == 1) {
            if (Resultado res = destino.anadirFilaDe(fuente, fila); !res) return res;
            continue;
        }
        if (mismoCodigo) {
            // La copia sin los campos que no se copian vale para todos los enlaces de esta fila.
            FilaTabla sinRecordar;
            FilaTabla& recordada = recuerdo ? recuerdo->cambiadas[size_t(fila)] : sinRecordar;
            if (!recordada.valida()) {
                cambios.clear();
                cambiosDeVaciar(fila, cambios);
                auto copia = fuente.filaCambiada(fila, cambios);
                if (!copia) return copia.estado();
                recordada = std::move(copia.valor());
            }
            if (Resultado res = destino.anadirFila(recordada); !res) return res;
            continue;
        }
        cambios.clear();
        cambios.emplace_back(campoCodigo, e.codigo);
        if (tal == 0) cambiosDeVaciar(fila, cambios);
        auto copia = fuente.filaCambiada(fila, cambios);
        if (!copia) return copia.estado();
        if (Resultado res = destino.anadirFila(copia.valor()); !res) return res;
    }
    return Resultado::correcto();
}

// Enlaces agrupados por el valor de un campo (cuerpo o grupo) y en el orden de la tabla. Quita
// el filtro de los enlaces, como hace cada pasada de la indexación.
ResultadoDe<QHash<QString, QVector<Enlace>>> agruparEnlaces(Tabla& enlaces,
                                                            const QString& campoClave) {
    if (Resultado r = enlaces.filtrar(QString()); !r) return r;
    const int clave = enlaces.indiceCampo(campoClave);
    const int plaza = enlaces.indiceCampo(QStringLiteral("CodPlaza"));
    if (clave < 0 || plaza < 0) {
        return Resultado::fallo(QStringLiteral("La tabla %1 no tiene los campos CodPlaza y %2")
                                    .arg(enlaces.nombre(), campoClave),
                                Errores::CampoNoEncontrado);
    }
    QHash<QString, QVector<Enlace>> grupos;
    // La clave de cada valor del campo se pliega una vez: los valores repetidos de la tabla son
    // el mismo objeto.
    QHash<const QVariant*, QString> plegada;
    const int n = enlaces.numeroRegistros();
    for (int fila = 0; fila < n; ++fila) {
        const QVariant& valorClave = enlaces.valorEnFila(fila, clave);
        auto it = plegada.constFind(&valorClave);
        if (it == plegada.constEnd())
            it = plegada.insert(&valorClave, claveIgualdad(valorClave.toString()));
        const QString& codigo = textoDe(enlaces.valorEnFila(fila, plaza));
        grupos[it.value()].append({codigo, IndiceConvocatorias::Clave::de(codigo)});
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

IndiceConvocatorias::Clave IndiceConvocatorias::Clave::de(const QString& codigo) {
    // Hasta 15 cifras caben en 50 bits, con la longitud encima.
    if (!codigo.isEmpty() && codigo.size() <= 15) {
        qint64 valor = 0;
        bool cifras = true;
        for (const QChar c : codigo) {
            if (c < u'0' || c > u'9') {
                cifras = false;
                break;
            }
            valor = valor * 10 + (c.unicode() - u'0');
        }
        if (cifras) return {(qint64(codigo.size()) << 50) | valor, {}};
    }
    return {-1, claveIgualdad(codigo)};
}

IndiceConvocatorias::IndiceConvocatorias(Tabla& origen) : m_origen(&origen) {
    prepararOrigen();
    const int codigo = origen.indiceCampo(kCodConvocatoria);
    if (codigo < 0) return;
    const int n = origen.numeroRegistros();
    size_t capacidad = 16;
    while (capacidad < size_t(n) + size_t(n) / 2) capacidad *= 2;
    m_huecos.assign(capacidad, Hueco());
    m_mascara = capacidad - 1;
    // Gana la primera aparición: es la que hallaría la búsqueda hacia delante desde el principio.
    for (int fila = 0; fila < n; ++fila) {
        const Clave clave = Clave::de(textoDe(origen.valorEnFila(fila, codigo)));
        if (clave.numero >= 0)
            ponerNumero(clave.numero, fila);
        else if (!m_textos.contains(clave.texto))
            m_textos.insert(clave.texto, fila);
    }
}

void IndiceConvocatorias::prepararOrigen() const {
    m_origen->filtrar(QString());
    m_origen->moverPrimero();
}

void IndiceConvocatorias::ponerNumero(qint64 numero, int fila) {
    for (size_t i = mezclar(numero) & m_mascara;; i = (i + 1) & m_mascara) {
        Hueco& h = m_huecos[i];
        if (h.numero == numero) return;
        if (h.numero < 0) {
            h = {numero, fila};
            return;
        }
    }
}

Resultado copiarPlazas(const QVector<QString>& codigos, Tabla& destino,
                       const IndiceConvocatorias& origen, VarianteEnlace variante) {
    auto plan = planificar(origen.origen(), destino, variante);
    if (!plan) return plan.estado();
    return copiarEnlaces(enlacesDe(codigos), destino, origen, plan.valor());
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
                                 ObservadorProgreso* progreso, int paso, IndicesListas* listas) {
    Globales& g = G();
    if (!g.rsPlazasCuerpo) return faltaTabla("rsPlazasCuerpo");
    if (!g.rsPlazasResultas) return faltaTabla("rsPlazasResultas");
    if (!g.rsPlazasVacantes) return faltaTabla("rsPlazasVacantes");
    if (!g.rsPlazasListaR) return faltaTabla("rsPlazasListaR");
    if (!g.rsPlazasListaV) return faltaTabla("rsPlazasListaV");

    auto enlaces = agruparEnlaces(*g.rsPlazasCuerpo, QStringLiteral("CodCuerpo"));
    if (!enlaces) return enlaces.estado();
    // Índices del catálogo (pasada con DesdeCatalogo) y de las listas (la otra pasada), con la
    // correspondencia de campos de cada uno hacia una tabla de plazas.
    const auto listaR = std::make_shared<const IndiceConvocatorias>(*g.rsPlazasListaR);
    const auto listaV = std::make_shared<const IndiceConvocatorias>(*g.rsPlazasListaV);
    if (listas) *listas = {g.rsPlazasListaR, g.rsPlazasListaV, listaR, listaV};
    const IndiceConvocatorias catalogoR(*g.rsPlazasResultas), catalogoV(*g.rsPlazasVacantes);
    const std::array<const IndiceConvocatorias*, 2> resultas = {&catalogoR, listaR.get()};
    const std::array<const IndiceConvocatorias*, 2> vacantes = {&catalogoV, listaV.get()};
    const PTabla modelo = CrearTablaPlazas();
    std::array<PlanCopia, 2> planResultas, planVacantes;
    for (size_t i = 0; i < 2; ++i) {
        auto r = planificar(resultas[i]->origen(), *modelo, VarianteEnlace::PorCuerpo);
        if (!r) return r.estado();
        planResultas[i] = std::move(r.valor());
        auto v = planificar(vacantes[i]->origen(), *modelo, VarianteEnlace::PorCuerpo);
        if (!v) return v.estado();
        planVacantes[i] = std::move(v.valor());
    }

    std::array<RecuerdoFilas, 2> recuerdoResultas, recuerdoVacantes;
    const int codigo = rsCuerpos.indiceCampo(QStringLiteral("CodCuerpo"));
    const int grupo = rsCuerpos.indiceCampo(QStringLiteral("Grupo"));
    const int n = rsCuerpos.numeroRegistros();
    int ofrecidos = 0;
    for (int fila = 0; fila < n; ++fila)
        ofrecidos += rsCuerpos.valorEnFila(fila, grupo).toString() != QLatin1String("X");
    // Dos huecos por cuerpo ofrecido, contados con 16 bits.
    if (2 * ofrecidos > kMaximoHuecos)
        return demasiados(QStringLiteral("cuerpos ofrecidos"), ofrecidos, kMaximoHuecos / 2);
    indice.resize(2 * n);
    qint16 hueco = 0;
    QString ultimo;
    bool hubo = false;
    static const QVector<Enlace> kSinEnlaces;
    for (int fila = 0; fila < n; ++fila) {
        if (rsCuerpos.valorEnFila(fila, grupo).toString() == QLatin1String("X")) continue;
        const QString cod = rsCuerpos.valorEnFila(fila, codigo).toString();
        const auto it = enlaces.valor().constFind(claveIgualdad(cod));
        const QVector<Enlace>& suyos = it == enlaces.valor().cend() ? kSinEnlaces : *it;
        for (size_t pasada = 0; pasada < 2; ++pasada) {
            avanzar(progreso, paso);
            PlazasCuerpo& e = indice[hueco];
            e.CodCuerpo = cod;
            e.DesdeCatalogo = pasada == 0;
            e.Resultas = CrearTablaPlazas();
            if (Resultado r =
                    copiarEnlaces(suyos, *e.Resultas, *resultas[pasada], planResultas[pasada],
                                  &recuerdoResultas[pasada]);
                !r)
                return r;
            e.Vacantes = CrearTablaPlazas();
            avanzar(progreso, paso);
            if (Resultado r =
                    copiarEnlaces(suyos, *e.Vacantes, *vacantes[pasada], planVacantes[pasada],
                                  &recuerdoVacantes[pasada]);
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
                                ObservadorProgreso* progreso, int paso, IndicesListas* listas) {
    Globales& g = G();
    if (!g.rsPlazasGrupo) return faltaTabla("rsPlazasGrupo");
    if (!g.rsPlazasListaR) return faltaTabla("rsPlazasListaR");
    if (!g.rsPlazasListaV) return faltaTabla("rsPlazasListaV");

    auto enlaces = agruparEnlaces(*g.rsPlazasGrupo, QStringLiteral("CodGrupo"));
    if (!enlaces) return enlaces.estado();
    IndicesListas hechos;
    if (listas && listas->resultas && listas->vacantes && listas->listaR == g.rsPlazasListaR &&
        listas->listaV == g.rsPlazasListaV) {
        hechos = *listas;
        hechos.resultas->prepararOrigen();
        hechos.vacantes->prepararOrigen();
    } else {
        hechos = {g.rsPlazasListaR, g.rsPlazasListaV,
                  std::make_shared<const IndiceConvocatorias>(*g.rsPlazasListaR),
                  std::make_shared<const IndiceConvocatorias>(*g.rsPlazasListaV)};
    }
    const IndiceConvocatorias& resultas = *hechos.resultas;
    const IndiceConvocatorias& vacantes = *hechos.vacantes;
    const PTabla modelo = CrearTablaPlazas();
    auto planResultas = planificar(resultas.origen(), *modelo, VarianteEnlace::PorGrupo);
    if (!planResultas) return planResultas.estado();
    auto planVacantes = planificar(vacantes.origen(), *modelo, VarianteEnlace::PorGrupo);
    if (!planVacantes) return planVacantes.estado();

    // Las filas de las listas sin Area, hechas una vez para todos los grupos que las tienen.
    RecuerdoFilas sinAreaResultas, sinAreaVacantes;
    const int campoGrupo = rsGrupos.indiceCampo(QStringLiteral("Grupo"));
    const int n = rsGrupos.numeroRegistros();
    if (n > kMaximoHuecos + 1) return demasiados(QStringLiteral("grupos"), n, kMaximoHuecos + 1);
    indice.resize(n);
    static const QVector<Enlace> kSinEnlaces;
    QString ultimo;
    for (int fila = 0; fila < n; ++fila) {
        avanzar(progreso, paso);
        const QString grupo = rsGrupos.valorEnFila(fila, campoGrupo).toString();
        PlazasGrupo& e = indice[qint16(fila)];
        e.Grupo = grupo;
        const auto it = enlaces.valor().constFind(claveIgualdad(grupo));
        const QVector<Enlace>& suyos = it == enlaces.valor().cend() ? kSinEnlaces : *it;
        e.Resultas = CrearTablaPlazas();
        e.Vacantes = CrearTablaPlazas();
        if (Resultado r = copiarEnlaces(suyos, *e.Resultas, resultas, planResultas.valor(),
                                        &sinAreaResultas);
            !r)
            return r;
        if (Resultado r = copiarEnlaces(suyos, *e.Vacantes, vacantes, planVacantes.valor(),
                                        &sinAreaVacantes);
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
