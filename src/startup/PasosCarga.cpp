#include "startup/PasosCarga.h"

#include "catalogue/Decodificacion.h"
#include "catalogue/DecodificacionAnticipada.h"
#include "catalogue/Esquemas.h"
#include "catalogue/IndicesPlazas.h"
#include "catalogue/ModCargaFicheros.h"
#include "global/Configuracion.h"
#include "global/Globales.h"
#include "platform/Causas.h"
#include "platform/Codificacion.h"
#include "platform/DocumentoXml.h"
#include "platform/ReservaValores.h"

#include <QFile>
#include <optional>

QString FalloCarga::mensaje() const {
    return QStringLiteral("Error en línea ") + QString::number(paso) + QLatin1Char('.') +
           error.mensaje() + QLatin1Char(' ') + QString::number(error.numero());
}

ResultadoDe<QString> LeerFicheroTexto(const QString& nombreFichero) {
    const QString ruta = G().RutaFicheros + nombreFichero;
    QFile f(ruta);
    if (!f.exists()) {
        return Resultado::fallo(QStringLiteral("No se encuentra el fichero \"%1\"").arg(ruta),
                                Errores::FicheroNoEncontrado);
    }
    if (!f.open(QIODevice::ReadOnly)) {
        return Resultado::fallo(
            QStringLiteral("No se puede leer el fichero \"%1\": %2").arg(ruta, causaLectura(ruta)),
            Errores::ErrorEntradaSalida);
    }
    // Cada línea (acabe en CR+LF, en CR o en LF) va detrás de un fin de línea.
    QString texto;
    for (const LineaFichero& l : partirLineas(f.readAll()))
        texto += QStringLiteral("\r\n") + Codificacion::desdeWindows1252(l.bytes);
    return texto;
}

namespace {

Resultado sinTabla(const char* nombre) {
    return Resultado::fallo(
        QStringLiteral("La tabla %1 no está cargada").arg(QLatin1String(nombre)),
        Errores::RegistroActualNoValido);
}

// Crea la tabla en su global y la llena de su fichero.
Resultado crearYCargar(PTabla& global, PTabla nueva, Resultado (*cargar)(const PTabla&)) {
    global = std::move(nueva);
    return cargar(global);
}

// Al volver a mostrarse la pantalla de carga (otra solicitud desde el selector) las tablas de la
// carga anterior se sueltan todas de una vez antes de crear las nuevas: soltarlas una a una entre
// las altas de las nuevas cuesta casi otro tanto como la carga. rsCuerpos (del arranque) y las
// solicitudes guardadas (del selector) no son de la pantalla de carga y se quedan.
void soltarCargaAnterior(Globales& g) {
    PTabla* const tablas[] = {&g.rsAreas,
                              &g.rsSituaciones,
                              &g.rsZonas,
                              &g.rsGrupos,
                              &g.rsAreasTarv,
                              &g.rsZonasTarv,
                              &g.rsLocalidades,
                              &g.rsLocalidadesTarv,
                              &g.rsLocalidadesVacantes,
                              &g.rsLocalidadesResultas,
                              &g.rsProvincias,
                              &g.rsProvinciasPersonales,
                              &g.rsConsejeriasVacantes,
                              &g.rsConsejeriasResultas,
                              &g.rsInstituciones,
                              &g.rsPlazasResultas,
                              &g.rsPlazasVacantes,
                              &g.rsPlazasCuerpo,
                              &g.rsPlazasGrupo,
                              &g.rsPlazasListaR,
                              &g.rsPlazasListaV,
                              &g.rsCursos,
                              &g.rsDocumentos,
                              &g.rsVacantesSolicitadas,
                              &g.rsResultasSolicitadas};
    g.IndicePlazasCuerpo.clear();
    g.IndicePlazasGrupo.clear();
    for (PTabla* t : tablas) t->reset();
}

}  // namespace

PasosCarga::PasosCarga(ObservadorCarga& observador) : m_obs(observador) {}

int PasosCarga::maximoBarra(int cuerpos, int grupos) {
    return 660 + 30 * cuerpos * 4 + 30 * grupos;
}

void PasosCarga::avanzar(int cantidad) {
    fijarValor(m_valor + cantidad);
}

void PasosCarga::fijarValor(int valor) {
    m_valor = valor;
    m_obs.fijarValor(valor);
}

Resultado PasosCarga::sumarAlMaximo(int cantidad) {
    m_maximo += cantidad;
    m_obs.fijarMaximo(m_maximo);
    return Resultado::correcto();
}

std::vector<int> PasosCarga::numerosDePaso() const {
    std::vector<int> numeros;
    for (const Paso& p : const_cast<PasosCarga*>(this)->pasos()) numeros.push_back(p.numero);
    return numeros;
}

std::optional<FalloCarga> PasosCarga::ejecutar() {
    return ejecutarSi([](int) { return true; });
}

std::optional<FalloCarga> PasosCarga::ejecutarCatalogos() {
    return ejecutarSi([](int paso) { return paso >= 120 && paso != 600 && paso != 620; });
}

namespace {

// Los catálogos que lee cada paso, en el orden en que los lee.
struct Lectura {
    int paso;
    const char* fichero;
};
constexpr Lectura kLecturas[] = {
    {130, "F0015.enc"}, {150, "F0005.enc"}, {160, "F0013.enc"}, {170, "F0014.enc"},
    {170, "F0014.enc"}, {170, "F0013.enc"}, {200, "F0003.enc"}, {260, "F0016.enc"},
    {290, "F0006.enc"}, {300, "F0006.enc"}, {340, "F0002.enc"}, {400, "F0001.enc"},
    {460, "F0010.enc"}, {480, "F0009.enc"}, {500, "F0008.enc"}, {520, "F0007.enc"},
    {560, "F0012.enc"}, {580, "F0011.enc"}, {640, "F0003.enc"}, {660, "F0003.enc"}};

}  // namespace

QStringList PasosCarga::catalogosLeidos() {
    QStringList ficheros;
    for (const Lectura& l : kLecturas) ficheros.append(QString::fromLatin1(l.fichero));
    return ficheros;
}

std::optional<FalloCarga> PasosCarga::ejecutarSi(const std::function<bool(int)>& incluir) {
    // Las tablas de una carga guardan sus valores juntos: cada texto repetido (una provincia, un
    // área) una sola vez, y los índices usan los registros de los catálogos sin copiarlos.
    const ReservaValores::Ambito valoresJuntos;
    // Cada catálogo se descifra en otro hilo mientras se parte en campos el anterior. Empieza
    // con el primer paso que lee catálogos: si antes falla la configuración, no se lee ninguno.
    m_lecturasNoPrevistas = 0;
    QStringList lecturas;
    for (const Lectura& l : kLecturas)
        if (incluir(l.paso)) lecturas.append(QString::fromLatin1(l.fichero));
    std::optional<DecodificacionAnticipada> anticipada;
    bool esperando = false;
    for (const Paso& p : pasos()) {
        if (!incluir(p.numero)) continue;
        if (p.numero == 20) esperando = true;
        if (!anticipada && p.numero >= kLecturas[0].paso)
            anticipada.emplace(rutaCatalogos(), lecturas, m_lecturasNoPrevistas, rutaPaso());
        Resultado r = p.accion();
        if (!r) {
            if (esperando) m_obs.cursorEspera(false);
            return FalloCarga{p.numero, r};
        }
    }
    return std::nullopt;
}

std::vector<PasosCarga::Paso> PasosCarga::pasos() {
    Globales& g = G();
    auto avance = [this] {
        avanzar(m_paso);
        return Resultado::correcto();
    };
    auto repinta = [this] {
        m_obs.repintar();
        return Resultado::correcto();
    };
    // El documento de configuración vive lo que dura la carga.
    auto conf = std::make_shared<DocumentoXml>();
    auto nombre = std::make_shared<QString>();
    return {
        {20,
         [this] {
             m_obs.cursorEspera(true);
             return Resultado::correcto();
         }},
        {30,
         [this] {
             auto t = LeerFicheroTexto(QStringLiteral("FicheroTexto.txt"));
             if (!t) return t.estado();
             m_obs.fijarTextoInformativo(t.valor());
             return Resultado::correcto();
         }},
        {50, [conf] { return cargarDocumentoConfiguracion(rutaConfiguracion(), *conf); }},
        {60,
         [conf, nombre] {
             auto n = leerNodoConfiguracion(*conf, QStringLiteral("//Configuracion/@Nombre"));
             if (!n) return n.estado();
             *nombre = n.valor();
             return Resultado::correcto();
         }},
        {70,
         [this, nombre] {
             m_obs.fijarTitulo(tituloConVersion(*nombre));
             return Resultado::correcto();
         }},
        {80,
         [this] {
             m_paso = 30;
             return Resultado::correcto();
         }},
        {90,
         [this] {
             m_maximo = 0;
             return sumarAlMaximo(660);
         }},
        {100,
         [this, &g] {
             if (!g.rsCuerpos) return sinTabla("rsCuerpos");
             return sumarAlMaximo(m_paso * g.rsCuerpos->numeroRegistros() * 4);
         }},
        {110,
         [this] {
             fijarValor(0);
             return Resultado::correcto();
         }},
        {120,
         [&g] {
             soltarCargaAnterior(g);
             g.rsAreas = CrearTablaAreas();
             return Resultado::correcto();
         }},
        {130,
         [&g] {
             return crearYCargar(g.rsSituaciones, CrearTablaSituaciones(), CargarSituaciones);
         }},
        {140,
         [&g] {
             g.rsZonas = CrearTablaZonas();
             return Resultado::correcto();
         }},
        {150,
         [&g] {
             if (Resultado r = crearYCargar(g.rsGrupos, CrearTablaGrupos(), CargarGrupos); !r)
                 return r;
             g.rsAreasTarv = CrearTablaAreas(QStringLiteral("rsAreasTarv"));
             g.rsZonasTarv = CrearTablaZonas(QStringLiteral("rsZonasTarv"));
             return Resultado::correcto();
         }},
        {160, [&g] { return CargarZonas(g.rsZonas); }},
        {170,
         [&g] {
             if (Resultado r = CargarAreas(g.rsAreas); !r) return r;
             if (Resultado r = CargarAreasTarv(g.rsAreasTarv); !r) return r;
             return CargarZonas(g.rsZonasTarv);
         }},
        {180, [this, &g] { return sumarAlMaximo(m_paso * g.rsGrupos->numeroRegistros()); }},
        {190, avance},
        {200,
         [&g] {
             if (Resultado r =
                     crearYCargar(g.rsLocalidades, CrearTablaLocalidades(), CargarLocalidades);
                 !r)
                 return r;
             g.rsLocalidadesTarv = g.rsLocalidades->clonar();
             return Resultado::correcto();
         }},
        {210, avance},
        {220, repinta},
        {230, [] { return Resultado::correcto(); }},
        {240,
         [&g] {
             g.rsCursos = CrearTablaCursos();
             return Resultado::correcto();
         }},
        {250, avance},
        {260,
         [&g] {
             return crearYCargar(g.rsInstituciones, CrearTablaInstituciones(), CargarInstituciones);
         }},
        {270, repinta},
        {280, [] { return Resultado::correcto(); }},
        {290,
         [&g] {
             return crearYCargar(g.rsConsejeriasVacantes, CrearTablaConsejerias(),
                                 CargarConsejerias);
         }},
        {300,
         [&g] {
             return crearYCargar(g.rsConsejeriasResultas,
                                 CrearTablaConsejerias(QStringLiteral("rsConsejeriasResultas")),
                                 CargarConsejerias);
         }},
        {310, avance},
        {320,
         [&g] {
             g.rsProvincias = CrearTablaProvincias();
             return Resultado::correcto();
         }},
        {330, avance},
        {340, [&g] { return CargarProvincias(g.rsProvincias); }},
        {350, avance},
        {360,
         [&g] {
             g.rsProvinciasPersonales =
                 CrearTablaProvincias(QStringLiteral("rsProvinciasPersonales"));
             return Resultado::correcto();
         }},
        {370, avance},
        {380, repinta},
        {390, [] { return Resultado::correcto(); }},
        {400, [&g] { return CargarProvinciasPersonales(g.rsProvinciasPersonales); }},
        {410, avance},
        {420,
         [&g] {
             g.rsResultasSolicitadas =
                 CrearTablaPlazasSolicitadas(QStringLiteral("rsResultasSolicitadas"));
             return Resultado::correcto();
         }},
        {430, avance},
        {440,
         [&g] {
             g.rsVacantesSolicitadas =
                 CrearTablaPlazasSolicitadas(QStringLiteral("rsVacantesSolicitadas"));
             return Resultado::correcto();
         }},
        {450, avance},
        {460,
         [&g] {
             return crearYCargar(g.rsPlazasResultas,
                                 CrearTablaPlazas(QStringLiteral("rsPlazasResultas")),
                                 CargarPlazasResultas);
         }},
        {470, avance},
        {480,
         [&g] {
             return crearYCargar(g.rsPlazasVacantes,
                                 CrearTablaPlazas(QStringLiteral("rsPlazasVacantes")),
                                 CargarPlazasVacantes);
         }},
        {490, avance},
        {500,
         [&g] {
             return crearYCargar(g.rsPlazasCuerpo, CrearTablaPlazasCuerpo(), CargarPlazasCuerpo);
         }},
        {510, avance},
        {520,
         [&g] {
             return crearYCargar(g.rsPlazasGrupo, CrearTablaPlazasGrupo(), CargarPlazasGrupo);
         }},
        {530, avance},
        {540, repinta},
        {550, [] { return Resultado::correcto(); }},
        {560, [&g] { return CargarListaPlazas(g.rsPlazasListaR, QStringLiteral("R")); }},
        {570, avance},
        {580, [&g] { return CargarListaPlazas(g.rsPlazasListaV, QStringLiteral("V")); }},
        {590, avance},
        {600,
         [this, &g] {
             return IndexarPlazasPorCuerpo(*g.rsCuerpos, g.IndicePlazasCuerpo, this, m_paso,
                                           &m_indicesListas);
         }},
        {610, avance},
        {620,
         [this, &g] {
             const Resultado r = IndexarPlazasPorGrupo(*g.rsGrupos, g.IndicePlazasGrupo, this,
                                                       m_paso, &m_indicesListas);
             m_indicesListas = {};
             return r;
         }},
        {630, avance},
        {640,
         [&g] {
             return crearYCargar(g.rsLocalidadesVacantes,
                                 CrearTablaLocalidades(QStringLiteral("rsLocalidadesVacantes")),
                                 CargarLocalidades);
         }},
        {650,
         [this] {
             avanzar(1);
             return Resultado::correcto();
         }},
        {660,
         [&g] {
             return crearYCargar(g.rsLocalidadesResultas,
                                 CrearTablaLocalidades(QStringLiteral("rsLocalidadesResultas")),
                                 CargarLocalidades);
         }},
        {670,
         [&g] {
             g.rsDocumentos = CrearTablaDocumentos();
             return Resultado::correcto();
         }},
        {680,
         [this] {
             avanzar(1);
             return Resultado::correcto();
         }},
        {690, [] { return Resultado::correcto(); }},
        {700,
         [this] {
             m_obs.cursorEspera(false);
             fijarValor(m_maximo);
             return Resultado::correcto();
         }},
        {710, [] { return Resultado::correcto(); }},
    };
}
