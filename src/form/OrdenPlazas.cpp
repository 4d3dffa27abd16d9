#include "form/OrdenPlazas.h"

#include <QElapsedTimer>
#include <QHash>
#include <QLocale>
#include <QRegularExpression>
#include <cmath>
#include <limits>

namespace {

// Índice de un campo por su valor en todos los registros (sin distinguir mayúsculas, como el
// "=" de los filtros): el primero con cada valor.
QHash<QString, int> indicePorValor(const PTabla& cursor, int campo) {
    QHash<QString, int> indice;
    const int n = cursor->numeroRegistros();
    indice.reserve(n);
    for (int f = 0; f < n; ++f) {
        const QString clave = cursor->valorEnFila(f, campo).toString().toCaseFolded();
        if (!indice.contains(clave)) indice.insert(clave, f);
    }
    return indice;
}

QString nombrePorCodigo(const PTabla& tabla, const QString& campoCodigo, const QString& codigo,
                        const QString& campoNombre) {
    if (!tabla || codigo.isEmpty()) return {};
    const PTabla todos = tabla->clonar();
    const int c = todos->indiceCampo(campoCodigo), nombre = todos->indiceCampo(campoNombre);
    const QString clave = codigo.toCaseFolded();
    for (int f = 0; f < todos->numeroRegistros(); ++f)
        if (todos->valorEnFila(f, c).toString().toCaseFolded() == clave)
            return todos->valorEnFila(f, nombre).toString();
    return {};
}

qint64 entero(const QVariant& v) {
    return v.isNull() ? 0 : v.toLongLong();
}

}  // namespace

qint64 SiguienteId(const PTabla& tabla, const QString& campo) {
    const PTabla todos = tabla->clonar();
    const int c = todos->indiceCampo(campo);
    const int n = todos->numeroRegistros();
    if (n == 0 || c < 0) return 0;
    qint64 mayor = entero(todos->valorEnFila(0, c));
    for (int f = 1; f < n; ++f) mayor = std::max(mayor, entero(todos->valorEnFila(f, c)));
    return mayor + 1;
}

PTabla cursorEnId(const PTabla& tabla, const QString& campo, qint64 id) {
    const PTabla todos = tabla->clonar();
    const int c = todos->indiceCampo(campo);
    for (int f = 0; f < todos->numeroRegistros(); ++f) {
        const QVariant& v = todos->valorEnFila(f, c);
        if (v.isNull() || v.toLongLong() != id) continue;
        todos->irAFila(f);
        return todos;
    }
    return nullptr;
}

bool PlazaYaSolicitada(const QString& codigo, const PTabla& tabla) {
    const PTabla todos = tabla->clonar();
    const int c = todos->indiceCampo(QStringLiteral("CodConvocatoria"));
    const QString clave = codigo.toCaseFolded();
    for (int f = 0; f < todos->numeroRegistros(); ++f)
        if (todos->valorEnFila(f, c).toString().toCaseFolded() == clave) return true;
    return false;
}

std::optional<double> valorNumerico(const QString& texto) {
    // Solo cifras, con signo y una coma (o punto) decimal: "1e2", "inf" o "0x10" no son números
    // que alguien escriba en una caja de horas, años u órdenes.
    static const QRegularExpression kNumero(
        QStringLiteral("^[-+]?([0-9]+([.,][0-9]*)?|[.,][0-9]+)$"));
    QString t = texto.trimmed();
    if (!kNumero.match(t).hasMatch()) return std::nullopt;
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double v = QLocale::c().toDouble(t, &ok);
    if (!ok || !std::isfinite(v)) return std::nullopt;
    return v;
}

std::optional<qint64> valorEntero(const QString& texto) {
    const std::optional<double> v = valorNumerico(texto);
    // Fuera de lo que cabe en un entero no hay orden posible.
    if (!v || std::fabs(*v) > 9.0e15) return std::nullopt;
    return static_cast<qint64>(std::nearbyint(*v));  // redondeo al par en las mitades
}

bool ordenAdmisible(const QString& texto) {
    if (texto.isEmpty()) return true;
    const std::optional<double> v = valorNumerico(texto);
    return v && *v > 0 && *v <= double(kOrdenMaximo);
}

qint64 OrdenParaNueva(const PTabla& tabla, const QString& textoOrden) {
    const qint64 siguiente = SiguienteId(tabla, QStringLiteral("Orden"));
    const std::optional<double> pedido = valorNumerico(textoOrden);
    qint64 orden = siguiente == 0 ? 1 : siguiente;
    if (pedido && *pedido < double(siguiente)) {
        const qint64 k = valorEntero(textoOrden).value_or(siguiente);
        DesplazarOrden(tabla, k, QStringLiteral("Orden"), 1);
        orden = k;
    }
    tabla->filtrar(QString());
    return std::max<qint64>(orden, 1);
}

void DesplazarOrden(const PTabla& tabla, qint64 desde, const QString& campo, qint64 delta) {
    Tabla::AgrupadorAvisos avisos(*tabla);
    tabla->ordenar(QString());
    tabla->filtrar(QString());
    const int c = tabla->indiceCampo(campo);
    for (int f = 0; f < tabla->numeroRegistros(); ++f) {
        const qint64 v = entero(tabla->valorEnFila(f, c));
        if (tabla->valorEnFila(f, c).isNull() || v < desde) continue;
        tabla->irAFila(f);
        tabla->establecer(c, v + delta);
    }
    tabla->moverPrimero();
}

void MoverOrden(const PTabla& tabla, const QString& campo, qint64 anterior, qint64 nuevo) {
    Tabla::AgrupadorAvisos avisos(*tabla);
    tabla->filtrar(QString());
    if (anterior != nuevo) {
        tabla->ordenar(QString());
        const int c = tabla->indiceCampo(campo);
        // Hacia abajo, las de (anterior, nuevo] suben uno; hacia arriba, las de [nuevo, anterior)
        // bajan uno.
        const qint64 desde = anterior < nuevo ? anterior + 1 : nuevo;
        const qint64 hasta = anterior < nuevo ? nuevo : anterior - 1;
        const qint64 delta = anterior < nuevo ? -1 : 1;
        for (int f = 0; f < tabla->numeroRegistros(); ++f) {
            const QVariant& v = tabla->valorEnFila(f, c);
            if (v.isNull() || v.toLongLong() < desde || v.toLongLong() > hasta) continue;
            tabla->irAFila(f);
            tabla->establecer(c, v.toLongLong() + delta);
        }
    }
    tabla->moverPrimero();
}

void RenumerarOrden(const PTabla& tabla, const QString& campo) {
    Tabla::AgrupadorAvisos avisos(*tabla);
    tabla->ordenar(campo + QStringLiteral(" ASC "));
    const int c = tabla->indiceCampo(campo);
    for (int f = 0; f < tabla->numeroRegistros(); ++f) {
        tabla->irAFila(f);
        tabla->establecer(c, qint64(f) + 1);
    }
    tabla->moverPrimero();
}

namespace {

// Nombre por código (sin distinguir mayúsculas) de todos los registros: el primero con cada uno.
QHash<QString, QString> nombresPorCodigo(const PTabla& tabla, const char* campoCodigo,
                                         const char* campoNombre) {
    QHash<QString, QString> nombres;
    if (!tabla) return nombres;
    const PTabla todos = tabla->clonar();
    const int c = todos->indiceCampo(QLatin1String(campoCodigo));
    const int n = todos->indiceCampo(QLatin1String(campoNombre));
    for (int f = 0; f < todos->numeroRegistros(); ++f) {
        const QString clave = todos->valorEnFila(f, c).toString().toCaseFolded();
        if (!nombres.contains(clave)) nombres.insert(clave, todos->valorEnFila(f, n).toString());
    }
    return nombres;
}

}  // namespace

InsercionTodas::InsercionTodas(const PTabla& plazas, const PTabla& lista, const PTabla& areas,
                               const PTabla& zonas)
    : m_lista(lista) {
    m_orden = lista->numeroRegistros() + 1;
    m_id = SiguienteId(lista, QStringLiteral("IdSolicitud"));
    const PTabla todos = lista->clonar();
    m_enLista = indicePorValor(todos, todos->indiceCampo(QStringLiteral("CodConvocatoria")));
    m_areas = nombresPorCodigo(areas, "CodArea", "Area");
    m_zonas = nombresPorCodigo(zonas, "CodZona", "Zona");
    const int cCod = plazas->indiceCampo(QStringLiteral("CodConvocatoria"));
    const int cNom = plazas->indiceCampo(QStringLiteral("NomConvocatoria"));
    const int cCon = plazas->indiceCampo(QStringLiteral("Consejeria"));
    const int cLoc = plazas->indiceCampo(QStringLiteral("Localidad"));
    const int cArea = plazas->indiceCampo(QStringLiteral("CodArea"));
    const int cZona = plazas->indiceCampo(QStringLiteral("CodZona"));
    const int n = plazas->numeroRegistros();
    m_plazas.reserve(size_t(n));
    for (int f = 0; f < n; ++f)
        m_plazas.push_back({plazas->valorEnFila(f, cCod).toString(), plazas->valorEnFila(f, cNom),
                            plazas->valorEnFila(f, cCon), plazas->valorEnFila(f, cLoc),
                            plazas->valorEnFila(f, cArea).toString(),
                            plazas->valorEnFila(f, cZona).toString()});
}

bool InsercionTodas::continuar(int maxPlazas, int plazoMs) {
    QElapsedTimer reloj;
    reloj.start();
    Tabla::AgrupadorAvisos avisos(*m_lista);
    const int hasta = int(qMin<qint64>(qint64(m_siguiente) + maxPlazas, qint64(m_plazas.size())));
    const int inicio = m_siguiente;
    while (m_siguiente < hasta) {
        // El reloj se mira cada pocas plazas (mirarlo cuesta más que añadir una), y un tramo
        // mira al menos una: siempre se avanza.
        const int hechas = m_siguiente - inicio;
        if (hechas > 0 && hechas % 64 == 0 && reloj.elapsed() >= plazoMs) break;
        const Plaza& p = m_plazas[size_t(m_siguiente++)];
        const QString clave = p.codigo.toCaseFolded();
        if (m_enLista.contains(clave)) continue;
        m_enLista.insert(clave, -1);
        const QString area =
            p.codArea.isEmpty() ? QString() : m_areas.value(p.codArea.left(2).toCaseFolded());
        const QString zona =
            p.codZona.isEmpty() ? QString() : m_zonas.value(p.codZona.toCaseFolded());
        const Resultado r =
            m_lista->anadirRegistro({QVariant(m_id), QVariant(m_orden), QVariant(p.codigo),
                                     p.nombre, p.consejeria, p.localidad, QVariant(p.codArea),
                                     QVariant(p.codZona), QVariant(area), QVariant(zona)});
        if (!r) continue;
        ++m_id;
        ++m_orden;
        ++m_anadidas;
    }
    return m_siguiente < int(m_plazas.size());
}

int InsertarTodas(const PTabla& plazas, const PTabla& lista, const PTabla& areas,
                  const PTabla& zonas, const std::function<void()>& repintar) {
    InsercionTodas insercion(plazas, lista, areas, zonas);
    // Cada 300 plazas, lo que se vea de la lista se repinta.
    while (insercion.continuar(300, std::numeric_limits<int>::max()))
        if (repintar) repintar();
    return insercion.anadidas();
}

QString nombreArea(const PTabla& areas, const QString& codArea) {
    return nombrePorCodigo(areas, QStringLiteral("CodArea"), codArea, QStringLiteral("Area"));
}

QString nombreZona(const PTabla& zonas, const QString& codZona) {
    return nombrePorCodigo(zonas, QStringLiteral("CodZona"), codZona, QStringLiteral("Zona"));
}
