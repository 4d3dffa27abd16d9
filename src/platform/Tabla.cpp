#include "platform/Tabla.h"

#include "platform/AlmacenTabla.h"
#include "platform/ComparacionTexto.h"
#include "platform/FiltroTabla.h"
#include "platform/InstantaneaTabla.h"
#include "platform/ReservaValores.h"

#include <QMetaMethod>
#include <algorithm>
#include <cmath>

namespace {

bool porSecuencia(const Registro* a, const Registro* b) {
    return a->secuencia < b->secuencia;
}

Resultado falloCerrada(const QString& nombre) {
    return Resultado::fallo(QStringLiteral("La tabla \"%1\" está cerrada").arg(nombre),
                            Errores::RegistroActualNoValido);
}

}  // namespace

struct Tabla::Privado {
    struct ClaveOrden {
        int campo;
        bool descendente;
    };

    Tabla* q = nullptr;
    std::shared_ptr<AlmacenTabla> a;
    bool abierta = true;
    std::vector<Registro*> vista;  // lo que ve este cursor, en su orden
    qsizetype pos = 0;             // -1: antes del primero; vista.size(): después del último
    QString textoFiltro;
    std::unique_ptr<ExpresionFiltro> filtro;
    QString textoOrden;
    std::vector<ClaveOrden> orden;
    // Altas hechas por otros cursores que este aún no ha colocado en su vista (solo cuando tiene
    // filtro u orden: se evalúan al consultarlo, con los valores que ya tengan).
    std::vector<Registro*> pendientes;
    // Los registros de secuencia menor ya se tuvieron en cuenta al rehacer la vista.
    quint64 secuenciaBase = 0;
    // Alta de este cursor que aún se está rellenando: los cursores con filtro u orden la reciben
    // cuando este la da por terminada (actualizar, moverse, otra alta...), para evaluarla con
    // sus valores y no vacía.
    Registro* enEdicion = nullptr;
    bool avisoPendiente = false;

    qsizetype total() const { return static_cast<qsizetype>(vista.size()); }
    bool hayActual() const { return pos >= 0 && pos < total(); }
    Registro* actual() const { return hayActual() ? vista[static_cast<size_t>(pos)] : nullptr; }

    int compararRegistros(const Registro* x, const Registro* y) const {
        for (const auto& k : orden) {
            const QVariant& vx = x->valor(k.campo);
            const QVariant& vy = y->valor(k.campo);
            int c = 0;
            if (a->campos.at(k.campo).tipo == TipoCampo::Entero) {
                // Los nulos van delante de cualquier número.
                if (vx.isNull() || vy.isNull())
                    c = int(!vx.isNull()) - int(!vy.isNull());
                else
                    c = vx.toLongLong() < vy.toLongLong() ? -1
                                                          : (vx.toLongLong() > vy.toLongLong());
            } else {
                c = compararTextos(vx.toString(), vy.toString());
            }
            if (c != 0) return k.descendente ? -c : c;
        }
        return 0;
    }

    // Ordenación estable con las claves de colación calculadas una sola vez por registro.
    void ordenarLista(std::vector<Registro*>& lista) const {
        if (orden.empty() || lista.size() < 2) return;
        const size_t n = lista.size();
        std::vector<std::vector<QCollatorSortKey>> claves(orden.size());
        for (size_t k = 0; k < orden.size(); ++k) {
            if (a->campos.at(orden[k].campo).tipo != TipoCampo::Texto) continue;
            claves[k].reserve(n);
            for (const Registro* r : lista)
                claves[k].push_back(
                    colacionCastellano().sortKey(r->valor(orden[k].campo).toString()));
        }
        std::vector<size_t> idx(n);
        for (size_t i = 0; i < n; ++i) idx[i] = i;
        std::stable_sort(idx.begin(), idx.end(), [&](size_t i, size_t j) {
            for (size_t k = 0; k < orden.size(); ++k) {
                int c = 0;
                if (!claves[k].empty()) {
                    c = claves[k][i].compare(claves[k][j]);
                } else {
                    const size_t campo = static_cast<size_t>(orden[k].campo);
                    const QVariant& vi = lista[i]->valor(campo);
                    const QVariant& vj = lista[j]->valor(campo);
                    if (vi.isNull() || vj.isNull())
                        c = int(!vi.isNull()) - int(!vj.isNull());
                    else
                        c = vi.toLongLong() < vj.toLongLong() ? -1
                                                              : (vi.toLongLong() > vj.toLongLong());
                }
                if (c != 0) return orden[k].descendente ? c > 0 : c < 0;
            }
            return false;
        });
        std::vector<Registro*> resultado(n);
        for (size_t i = 0; i < n; ++i) resultado[i] = lista[idx[i]];
        lista.swap(resultado);
    }

    // Rehace la vista desde el almacén: filtro y orden vigentes.
    void construirVista() {
        pendientes.clear();
        vista.clear();
        secuenciaBase = a->siguienteSecuencia;
        if (!abierta) return;
        std::optional<ExpresionFiltro::Igualdad> igualdad;
        if (filtro) igualdad = filtro->igualdadSimple();
        if (igualdad) {
            if (igualdad->clave) {
                const auto& mapa = a->indice(igualdad->campo).mapa;
                auto it = mapa.constFind(*igualdad->clave);
                if (it != mapa.cend()) vista = it.value();
            }
        } else {
            vista.reserve(a->registros.size());
            for (Registro* r : a->registros)
                if (!filtro || filtro->cumple(*r)) vista.push_back(r);
        }
        ordenarLista(vista);
    }

    // Coloca en la vista las altas de otros cursores, sin mover el registro actual.
    void prepararVista() {
        if (pendientes.empty()) return;
        Registro* antes = actual();
        const bool alFinal = pos >= total();
        std::vector<Registro*> nuevos;
        for (Registro* r : pendientes)
            if (!filtro || filtro->cumple(*r)) nuevos.push_back(r);
        pendientes.clear();
        if (nuevos.empty()) return;
        if (orden.empty()) {
            // La vista sin orden va en orden de alta (la búsqueda por índice lo necesita).
            std::sort(nuevos.begin(), nuevos.end(), porSecuencia);
            const auto medio = vista.insert(vista.end(), nuevos.begin(), nuevos.end());
            if (medio != vista.begin() && porSecuencia(*medio, *(medio - 1)))
                std::inplace_merge(vista.begin(), medio, vista.end(), porSecuencia);
        } else if (nuevos.size() <= 32) {
            for (Registro* r : nuevos) {
                auto sitio = std::upper_bound(vista.begin(), vista.end(), r,
                                              [this](const Registro* x, const Registro* y) {
                                                  return compararRegistros(x, y) < 0;
                                              });
                vista.insert(sitio, r);
            }
        } else {
            vista.insert(vista.end(), nuevos.begin(), nuevos.end());
            ordenarLista(vista);
        }
        if (antes)
            pos = std::find(vista.begin(), vista.end(), antes) - vista.begin();
        else if (alFinal)
            pos = total();
    }

    void publicar() {
        Registro* r = std::exchange(enEdicion, nullptr);
        if (!r) return;
        for (size_t i = 0; i < a->cursores.size(); ++i) {
            Privado& o = *a->cursores[i]->d;
            if (&o == this || !o.abierta || (!o.filtro && o.orden.empty())) continue;
            if (r->secuencia < o.secuenciaBase) continue;
            o.pendientes.push_back(r);
            o.avisar();
        }
    }

    // Toda operación que cambia el registro actual da por terminada el alta en curso.
    void moverse() {
        publicar();
        prepararVista();
    }

    void avisar() {
        if (a->bloqueoAvisos > 0) {
            avisoPendiente = true;
            return;
        }
        static const QMetaMethod senal = QMetaMethod::fromSignal(&Tabla::cambiado);
        if (q->isSignalConnected(senal)) emit q->cambiado();
    }

    // Avisa a todos los cursores abiertos del almacén. Un receptor puede crear o soltar cursores
    // mientras tanto: se recorre por índice y se vuelve a mirar el tamaño en cada vuelta.
    void avisarTodos() {
        for (size_t i = 0; i < a->cursores.size(); ++i)
            if (a->cursores[i]->d->abierta) a->cursores[i]->d->avisar();
    }

    Resultado comprobarActual() {
        if (!abierta) return falloCerrada(a->nombre);
        prepararVista();
        if (!hayActual())
            return Resultado::fallo(
                QStringLiteral("No hay registro actual en la tabla \"%1\"").arg(a->nombre),
                Errores::RegistroActualNoValido);
        return Resultado::correcto();
    }

    ResultadoDe<QVariant> convertir(int campo, const QVariant& valor) const;

    // Si los campos de otra tabla son estos (mismo nombre, tipo y longitud, en el mismo orden).
    // Se comparan una vez por lista: la última vista igual se recuerda.
    bool mismosCampos(const QList<Campo>& otros) {
        if (otros.constData() == a->camposIguales.constData()) return true;
        const bool iguales =
            otros.size() == a->campos.size() &&
            std::equal(otros.cbegin(), otros.cend(), a->campos.cbegin(),
                       [](const Campo& x, const Campo& y) {
                           return x.tipo == y.tipo && x.longitud == y.longitud &&
                                  x.nombre.compare(y.nombre, Qt::CaseInsensitive) == 0;
                       });
        if (iguales) a->camposIguales = otros;
        return iguales;
    }
    std::unique_ptr<ExpresionFiltro> analizar(const QString& texto) const {
        return ExpresionFiltro::analizar(texto, a->campos);
    }
};

ResultadoDe<QVariant> Tabla::Privado::convertir(int campo, const QVariant& valor) const {
    const Campo& c = a->campos.at(campo);
    if (c.tipo == TipoCampo::Texto) {
        // Un texto que ya llega como QString se guarda sin copiarlo (las copias masivas de
        // registros pasan por aquí).
        if (valor.metaType() == QMetaType::fromType<QString>()) {
            const auto* t = static_cast<const QString*>(valor.constData());
            if (c.longitud <= 0 || t->size() <= c.longitud) return valor;
        }
        const QString s = valor.isNull() ? QString() : valor.toString();
        if (c.longitud > 0 && s.size() > c.longitud)
            return Resultado::fallo(
                QStringLiteral("El valor \"%1\" supera la longitud máxima de %2 caracteres del "
                               "campo %3")
                    .arg(s)
                    .arg(c.longitud)
                    .arg(c.nombre),
                Errores::CampoDemasiadoLargo);
        return QVariant(s);
    }
    if (valor.isNull()) return QVariant();
    const int tipo = valor.metaType().id();
    if (tipo == QMetaType::Int || tipo == QMetaType::LongLong || tipo == QMetaType::UInt ||
        tipo == QMetaType::Short || tipo == QMetaType::Long)
        return QVariant(valor.toLongLong());
    double numero = 0;
    bool ok = false;
    QString texto;
    if (tipo == QMetaType::Double || tipo == QMetaType::Float) {
        numero = valor.toDouble(&ok);
        texto = QString::number(numero);
    } else {
        texto = valor.toString().trimmed();
        if (texto.isEmpty()) return QVariant();
        const qint64 entero = texto.toLongLong(&ok);
        if (ok) return QVariant(entero);
        // Un decimal (con coma o punto) se redondea al entero más próximo, el medio al par.
        numero = QString(texto).replace(u',', u'.').toDouble(&ok);
    }
    if (ok && std::isfinite(numero) && std::abs(numero) < 9.2e18)
        return QVariant(static_cast<qint64>(std::nearbyint(numero)));
    return Resultado::fallo(QStringLiteral("El valor \"%1\" no es un número entero válido para el "
                                           "campo %2")
                                .arg(texto, c.nombre),
                            Errores::ConversionTipo);
}

Tabla::Tabla(std::shared_ptr<AlmacenTabla> almacen) : d(std::make_unique<Privado>()) {
    d->q = this;
    d->a = std::move(almacen);
    d->a->cursores.push_back(this);
}

Tabla::~Tabla() {
    d->publicar();
    auto& c = d->a->cursores;
    c.erase(std::remove(c.begin(), c.end(), this), c.end());
}

PTabla Tabla::crear(const QString& nombre, const QList<Campo>& campos) {
    auto almacen = std::make_shared<AlmacenTabla>();
    almacen->nombre = nombre;
    almacen->campos = campos;
    almacen->reserva = ReservaValores::paraTablaNueva();
    return PTabla(new Tabla(std::move(almacen)));
}

PTabla Tabla::clonar() const {
    PTabla t(new Tabla(d->a));
    t->d->construirVista();
    return t;
}

PTabla AlmacenTabla::instantanea(const Tabla& origen) {
    origen.d->prepararVista();
    const AlmacenTabla& de = *origen.d->a;
    auto almacen = std::make_shared<AlmacenTabla>();
    almacen->nombre = de.nombre;
    almacen->campos = de.campos;
    // La misma reserva: los valores son los mismos objetos y no se copian.
    almacen->reserva = de.reserva;
    almacen->registros.reserve(origen.d->vista.size());
    for (const Registro* fila : origen.d->vista) {
        Registro* r = almacen->nuevoRegistro();
        r->secuencia = almacen->siguienteSecuencia++;
        r->valores = fila->valores;
        almacen->registros.push_back(r);
    }
    PTabla t(new Tabla(std::move(almacen)));
    t->d->construirVista();
    return t;
}

PTabla instantaneaDe(const Tabla& origen) {
    return AlmacenTabla::instantanea(origen);
}

const QString& Tabla::nombre() const {
    return d->a->nombre;
}
const QList<Campo>& Tabla::campos() const {
    return d->a->campos;
}

int Tabla::indiceCampo(const QString& nombre) const {
    const auto& campos = d->a->campos;
    for (int i = 0; i < campos.size(); ++i)
        if (campos.at(i).nombre.compare(nombre.trimmed(), Qt::CaseInsensitive) == 0) return i;
    return -1;
}

bool Tabla::abierta() const {
    return d->abierta;
}

void Tabla::cerrar() {
    if (!d->abierta) return;
    d->publicar();
    d->abierta = false;
    d->vista.clear();
    d->pendientes.clear();
    d->pos = 0;
    d->filtro.reset();
    d->textoFiltro.clear();
    d->orden.clear();
    d->textoOrden.clear();
    d->avisar();
}

void Tabla::moverPrimero() {
    d->moverse();
    d->pos = 0;
}

void Tabla::moverUltimo() {
    d->moverse();
    d->pos = d->vista.empty() ? 0 : d->total() - 1;
}

void Tabla::moverSiguiente() {
    d->moverse();
    if (d->pos < d->total()) ++d->pos;
}

void Tabla::moverAnterior() {
    d->moverse();
    if (d->pos >= 0) --d->pos;
    if (d->pos >= d->total()) d->pos = d->total() - 1;
}

bool Tabla::bof() const {
    d->prepararVista();
    return d->vista.empty() || d->pos < 0;
}

bool Tabla::eof() const {
    d->prepararVista();
    return d->vista.empty() || d->pos >= d->total();
}

int Tabla::numeroRegistros() const {
    d->prepararVista();
    return static_cast<int>(d->vista.size());
}

Resultado Tabla::anadir() {
    return anadirRegistro({});
}

Resultado Tabla::anadirRegistro(std::vector<QVariant> valores) {
    if (!d->abierta) return falloCerrada(d->a->nombre);
    const auto& campos = d->a->campos;
    const size_t numCampos = static_cast<size_t>(campos.size());
    if (valores.size() > numCampos)
        return Resultado::fallo(
            QStringLiteral("Hay %1 valores para los %2 campos de la tabla \"%3\"")
                .arg(valores.size())
                .arg(campos.size())
                .arg(d->a->nombre),
            Errores::CampoNoEncontrado);
    // Todo se convierte antes del alta: un valor rechazado no deja un registro a medias.
    auto nuevos = std::make_shared<const QVariant*[]>(numCampos);
    ReservaValores& reserva = *d->a->reserva;
    for (size_t i = 0; i < numCampos; ++i) {
        if (i >= valores.size()) {
            nuevos[i] =
                campos.at(int(i)).tipo == TipoCampo::Texto ? reserva.textoNulo() : reserva.nulo();
            continue;
        }
        auto guardado = guardarValor(int(i), valores[i]);
        if (!guardado) return guardado.estado();
        nuevos[i] = guardado.valor();
    }
    darDeAlta(std::move(nuevos));
    return Resultado::correcto();
}

ResultadoDe<const QVariant*> Tabla::guardarValor(int campo, const QVariant& valor) const {
    const Campo& c = d->a->campos.at(campo);
    // Un texto que ya llega como QString y cabe se guarda sin convertirlo (las copias masivas de
    // registros pasan por aquí).
    if (c.tipo == TipoCampo::Texto && valor.metaType() == QMetaType::fromType<QString>()) {
        const auto* t = static_cast<const QString*>(valor.constData());
        if (c.longitud <= 0 || t->size() <= c.longitud) return d->a->reserva->texto(*t);
    }
    ResultadoDe<QVariant> convertido = d->convertir(campo, valor);
    if (!convertido) return convertido.estado();
    return d->a->reserva->guardar(convertido.valor());
}

AlmacenTabla& Tabla::almacen() const {
    return *d->a;
}

FilaTabla Tabla::fila(int fila) const {
    d->prepararVista();
    if (fila < 0 || fila >= d->total()) return {};
    return {d->vista[size_t(fila)]->valores, d->a->reserva, d->a->campos};
}

ResultadoDe<FilaTabla> Tabla::filaCambiada(
    int numero, const std::vector<std::pair<int, QVariant>>& cambios) const {
    FilaTabla f = fila(numero);
    if (!f.valida()) return f;
    const size_t n = size_t(d->a->campos.size());
    auto copia = std::make_shared<const QVariant*[]>(n);
    std::copy(f.valores.get(), f.valores.get() + n, copia.get());
    for (const auto& [campo, valor] : cambios) {
        if (campo < 0 || size_t(campo) >= n)
            return Resultado::fallo(QStringLiteral("El campo número %1 no existe en la tabla "
                                                   "\"%2\"")
                                        .arg(campo)
                                        .arg(nombre()),
                                    Errores::CampoNoEncontrado);
        auto guardado = guardarValor(campo, valor);
        if (!guardado) return guardado.estado();
        copia[size_t(campo)] = guardado.valor();
    }
    f.valores = std::move(copia);
    return f;
}

Resultado Tabla::anadirFila(const FilaTabla& fila) {
    if (!d->abierta) return falloCerrada(d->a->nombre);
    if (!fila.valida())
        return Resultado::fallo(
            QStringLiteral("No hay registro que añadir a la tabla \"%1\"").arg(nombre()),
            Errores::RegistroActualNoValido);
    if (fila.reserva == d->a->reserva && d->mismosCampos(fila.campos)) {
        darDeAlta(fila.valores);
        return Resultado::correcto();
    }
    // De otra reserva o con otros campos: valor a valor, comprobados como cualquier alta.
    std::vector<QVariant> valores;
    valores.reserve(size_t(fila.campos.size()));
    for (qsizetype i = 0; i < fila.campos.size(); ++i) valores.push_back(*fila.valores[size_t(i)]);
    return anadirRegistro(std::move(valores));
}

void Tabla::anticiparFila(int fila, bool cerca) const {
    if (fila < 0 || size_t(fila) >= d->vista.size()) return;
    const Registro* r = d->vista[size_t(fila)];
    if (cerca) {
        __builtin_prefetch(r);
        return;
    }
    // Los valores de un registro y la cuenta de sus copias van juntos en la misma reserva de
    // memoria, la cuenta justo delante: pedir lo de delante de los valores la trae.
    if (const QVariant* const* valores = r->valores.get()) __builtin_prefetch(valores - 1, 1);
}

Resultado Tabla::anadirFilaDe(const Tabla& origen, int numero) {
    origen.d->prepararVista();
    if (d->abierta && numero >= 0 && numero < origen.d->total() &&
        origen.d->a->reserva == d->a->reserva && d->mismosCampos(origen.d->a->campos)) {
        darDeAlta(origen.d->vista[size_t(numero)]->valores);
        return Resultado::correcto();
    }
    return anadirFila(origen.fila(numero));
}

void Tabla::darDeAlta(ValoresRegistro valores) {
    // Las altas pendientes de otros cursores van antes: así la vista sin orden sigue en orden
    // de alta.
    d->moverse();
    auto& a = *d->a;
    Registro* r = a.nuevoRegistro();
    r->secuencia = a.siguienteSecuencia++;
    r->valores = std::move(valores);
    a.registros.push_back(r);
    a.indexarAlta(r);
    // Este cursor lo ve y lo deja como actual aunque no pase su filtro: quien lo añade suele
    // rellenarlo justo después.
    d->vista.push_back(r);
    d->pos = d->total() - 1;
    for (Tabla* otro : a.cursores) {
        if (otro == this || !otro->d->abierta) continue;
        Privado& o = *otro->d;
        if (!o.filtro && o.orden.empty()) {
            const bool alFinal = o.pos >= o.total();
            o.vista.push_back(r);
            if (alFinal) o.pos = o.total();
        }
    }
    d->enEdicion = r;
    d->avisarTodos();
}

Resultado Tabla::actualizar() {
    d->publicar();
    return d->comprobarActual();
}

Resultado Tabla::borrar() {
    if (Resultado r = d->comprobarActual(); !r) return r;
    d->publicar();
    auto& a = *d->a;
    Registro* r = d->actual();
    for (Tabla* t : a.cursores) {
        Privado& o = *t->d;
        if (o.enEdicion == r) o.enEdicion = nullptr;
        auto& p = o.pendientes;
        p.erase(std::remove(p.begin(), p.end(), r), p.end());
        auto it = o.hayActual() && o.actual() == r ? o.vista.begin() + o.pos
                                                   : std::find(o.vista.begin(), o.vista.end(), r);
        if (it == o.vista.end()) continue;
        const qsizetype i = it - o.vista.begin();
        o.vista.erase(it);
        if (o.pos > i) --o.pos;
    }
    a.indexarBaja(r);
    auto it = std::lower_bound(a.registros.begin(), a.registros.end(), r, porSecuencia);
    if (it != a.registros.end() && *it == r) {
        a.registros.erase(it);
        r->valores = {};
    }
    d->avisarTodos();
    return Resultado::correcto();
}

QVariant Tabla::valor(const QString& campo) const {
    return valor(indiceCampo(campo));
}

QVariant Tabla::valor(int campo) const {
    d->prepararVista();
    if (!d->hayActual() || campo < 0 || campo >= d->a->campos.size()) return {};
    return d->actual()->valor(campo);
}

QString Tabla::texto(const QString& campo) const {
    const QVariant v = valor(campo);
    return v.isNull() ? QString() : v.toString();
}

Resultado Tabla::establecer(const QString& campo, const QVariant& valor) {
    const int i = indiceCampo(campo);
    if (i < 0)
        return Resultado::fallo(
            QStringLiteral("El campo \"%1\" no existe en la tabla \"%2\"").arg(campo, nombre()),
            Errores::CampoNoEncontrado);
    return establecer(i, valor);
}

Resultado Tabla::establecer(int campo, const QVariant& valor) {
    if (campo < 0 || campo >= d->a->campos.size())
        return Resultado::fallo(QStringLiteral("El campo número %1 no existe en la tabla \"%2\"")
                                    .arg(campo)
                                    .arg(nombre()),
                                Errores::CampoNoEncontrado);
    if (Resultado r = d->comprobarActual(); !r) return r;
    ResultadoDe<const QVariant*> nuevo = guardarValor(campo, valor);
    if (!nuevo) return nuevo.estado();
    Registro* r = d->actual();
    const QVariant& antes = *r->valores[size_t(campo)];
    if (antes == *nuevo.valor() && antes.isNull() == nuevo.valor()->isNull())
        return Resultado::correcto();
    if (r->valores.use_count() > 1) {
        // Valores compartidos con otros registros: este se hace su copia antes de cambiar.
        const size_t n = size_t(d->a->campos.size());
        auto propios = std::make_shared<const QVariant*[]>(n);
        std::copy(r->valores.get(), r->valores.get() + n, propios.get());
        r->valores = std::move(propios);
    }
    const QVariant* anterior = std::exchange(r->valores[size_t(campo)], nuevo.valor());
    d->a->indexarCambio(r, campo, *anterior);
    d->avisarTodos();
    return Resultado::correcto();
}

Resultado Tabla::filtrar(const QString& filtro) {
    if (!d->abierta) return falloCerrada(d->a->nombre);
    d->publicar();
    const QString limpio = filtro.trimmed();
    if (limpio.isEmpty() || limpio == u"0") {
        // Quitar un filtro que no hay deja la vista como está (todos los registros en orden de
        // alta): la carga de catálogos lo hace antes de cada búsqueda.
        const bool igual = !d->filtro && d->orden.empty() && d->pendientes.empty();
        d->filtro.reset();
        d->textoFiltro.clear();
        if (igual) {
            d->pos = 0;
            return Resultado::correcto();
        }
    } else {
        auto e = d->analizar(filtro);
        if (!e)
            return Resultado::fallo(QStringLiteral("El filtro \"%1\" no es válido").arg(filtro),
                                    Errores::FiltroNoValido);
        d->filtro = std::move(e);
        d->textoFiltro = filtro;
    }
    d->construirVista();
    d->pos = 0;
    d->avisar();
    return Resultado::correcto();
}

QString Tabla::filtro() const {
    return d->filtro ? d->textoFiltro : QStringLiteral("0");
}
bool Tabla::tieneFiltro() const {
    return d->filtro != nullptr;
}

Resultado Tabla::ordenar(const QString& orden) {
    if (!d->abierta) return falloCerrada(d->a->nombre);
    std::vector<Privado::ClaveOrden> claves;
    const QString limpio = orden.trimmed();
    if (!limpio.isEmpty()) {
        for (const QString& parte : limpio.split(u',')) {
            QStringList piezas = parte.simplified().split(u' ', Qt::SkipEmptyParts);
            if (piezas.isEmpty() || piezas.size() > 2) {
                claves.clear();
                piezas.clear();
            }
            int campo = piezas.isEmpty() ? -1 : indiceCampo(piezas[0]);
            if (campo < 0 && !piezas.isEmpty() && piezas[0].startsWith(u'[') &&
                piezas[0].endsWith(u']'))
                campo = indiceCampo(piezas[0].mid(1, piezas[0].size() - 2));
            bool desc = false;
            bool sentidoValido = true;
            if (piezas.size() == 2) {
                desc = piezas[1].compare(u"DESC", Qt::CaseInsensitive) == 0;
                sentidoValido = desc || piezas[1].compare(u"ASC", Qt::CaseInsensitive) == 0;
            }
            if (campo < 0 || !sentidoValido)
                return Resultado::fallo(QStringLiteral("El orden \"%1\" no es válido").arg(orden),
                                        Errores::FiltroNoValido);
            claves.push_back({campo, desc});
        }
    }
    d->moverse();
    Registro* antes = d->actual();
    d->orden = std::move(claves);
    d->textoOrden = d->orden.empty() ? QString() : orden;
    d->construirVista();
    auto it = antes ? std::find(d->vista.begin(), d->vista.end(), antes) : d->vista.end();
    d->pos = it == d->vista.end() ? 0 : it - d->vista.begin();
    d->avisar();
    return Resultado::correcto();
}

QString Tabla::orden() const {
    return d->textoOrden;
}

Resultado Tabla::buscar(const QString& criterio) {
    if (!d->abierta) return falloCerrada(d->a->nombre);
    auto e = d->analizar(criterio);
    if (!e)
        return Resultado::fallo(
            QStringLiteral("El criterio de búsqueda \"%1\" no es válido").arg(criterio),
            Errores::FiltroNoValido);
    d->moverse();
    const qsizetype desde = std::max<qsizetype>(d->pos, 0);
    auto& vista = d->vista;
    const auto igualdad = e->igualdadSimple();
    if (igualdad && d->orden.empty()) {
        // Sin orden, la vista va en orden de alta, igual que las listas del índice: el primer
        // candidato del índice que esté en la vista desde el actual es el que daría el recorrido.
        d->pos = d->total();
        if (desde >= d->total() || !igualdad->clave) return Resultado::correcto();
        const auto& mapa = d->a->indice(igualdad->campo).mapa;
        auto it = mapa.constFind(*igualdad->clave);
        if (it == mapa.cend()) return Resultado::correcto();
        const auto& candidatos = it.value();
        const auto inicio = vista.begin() + desde;
        auto c = std::lower_bound(candidatos.begin(), candidatos.end(), *inicio, porSecuencia);
        for (; c != candidatos.end(); ++c) {
            auto v = std::lower_bound(inicio, vista.end(), *c, porSecuencia);
            if (v != vista.end() && *v == *c) {
                d->pos = v - vista.begin();
                break;
            }
        }
        return Resultado::correcto();
    }
    qsizetype i = desde;
    while (i < d->total() && !e->cumple(*vista[static_cast<size_t>(i)])) ++i;
    d->pos = i;
    return Resultado::correcto();
}

int Tabla::filaActual() const {
    d->prepararVista();
    return d->hayActual() ? static_cast<int>(d->pos) : -1;
}

void Tabla::irAFila(int fila) {
    d->moverse();
    d->pos = std::clamp<qsizetype>(fila, -1, d->total());
}

const QVariant& Tabla::valorEnFila(int fila, int campo) const {
    static const QVariant kNulo;
    d->prepararVista();
    if (fila < 0 || fila >= d->total() || campo < 0 || campo >= d->a->campos.size()) return kNulo;
    return d->vista[static_cast<size_t>(fila)]->valor(campo);
}

Tabla::AgrupadorAvisos::AgrupadorAvisos(const Tabla& tabla) : m_almacen(tabla.d->a) {
    ++m_almacen->bloqueoAvisos;
}

Tabla::AgrupadorAvisos::~AgrupadorAvisos() {
    if (--m_almacen->bloqueoAvisos > 0) return;
    for (size_t i = 0; i < m_almacen->cursores.size(); ++i) {
        Privado& o = *m_almacen->cursores[i]->d;
        if (!o.avisoPendiente) continue;
        o.avisoPendiente = false;
        o.avisar();
    }
}
