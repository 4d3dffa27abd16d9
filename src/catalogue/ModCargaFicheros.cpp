#include "catalogue/ModCargaFicheros.h"

#include "catalogue/Decodificacion.h"
#include "catalogue/DecodificacionAnticipada.h"
#include "catalogue/Esquemas.h"
#include "catalogue/FormatosCatalogo.h"
#include "catalogue/IndicesPlazas.h"
#include "global/Globales.h"
#include "global/ModGeneral.h"
#include "platform/AltaRegistros.h"
#include "platform/Causas.h"
#include "platform/Codificacion.h"
#include "platform/ServicioMensajes.h"

#include <QHash>
#include <QVector>
#include <cstdlib>
#include <optional>

namespace {

std::function<void()> g_terminar;

// Se llama con el registro ya armado con los campos del formato, antes de darlo de alta.
using Extra = std::function<Resultado(AltaRegistros& alta)>;

Resultado tablaNoCargada(const QString& nombre) {
    return Resultado::fallo(
        QStringLiteral("Variable de objeto no establecida: la tabla %1 no está cargada")
            .arg(nombre),
        Errores::NodoNoEncontrado);
}

// Las columnas del campo en una línea en claro, sin espacios delante ni detrás. Una línea que
// no llega al campo no da nada (vista nula); una que llega pero solo con espacios, un texto
// vacío.
std::string_view columnas(std::string_view linea, const CampoFormato& campo) {
    const size_t inicio = size_t(campo.inicio - 1);
    if (inicio > linea.size()) return {};
    std::string_view v = linea.substr(inicio, size_t(campo.ancho));
    while (!v.empty() && v.front() == ' ') v.remove_prefix(1);
    while (!v.empty() && v.back() == ' ') v.remove_suffix(1);
    return v;
}

Resultado cargar(const PTabla& tabla, Catalogo catalogo, const Extra& extra = {}) {
    const FormatoCatalogo& f = formato(catalogo);
    if (!tabla) return tablaNoCargada(f.tabla);

    const QString carpeta = rutaCatalogos();
    // Lo que se escribe en temp.tmp se lee de memoria: es lo mismo y no hay que volver a leerlo.
    const auto descifrado = DecodificacionAnticipada::decodificar(carpeta, f.fichero, rutaPaso());
    if (!descifrado) {
        mostrarMensaje(mensajeErrorDecodificacion(descifrado.numero(), descifrado.mensaje()),
                       kTituloPrograma, Icono::Critico, Botones::Aceptar);
        // Sin fichero en claro que leer: el fallo de apertura es el que llega al llamador, con
        // la causa de verdad (el catálogo o la carpeta donde se escribe temp.tmp).
        return Resultado::fallo(
            QStringLiteral("Error de acceso a la ruta o el archivo: %1").arg(descifrado.mensaje()),
            kErrorAccesoRuta);
    }
    const TextoClaro& claro = descifrado.valor();

    QVector<int> indices;
    for (const CampoFormato& c : f.campos) {
        const int i = tabla->indiceCampo(c.campo);
        if (i < 0)
            return Resultado::fallo(QStringLiteral("La tabla %1 no tiene el campo %2 de %3")
                                        .arg(tabla->nombre(), c.campo, f.fichero),
                                    Errores::CampoNoEncontrado);
        indices.append(i);
    }

    AltaRegistros alta(*tabla);
    for (const TextoClaro::Linea& l : claro.lineas) {
        auto situar = [&](const Resultado& r) {
            return Resultado::fallo(
                QStringLiteral("%1, línea %2: %3").arg(f.fichero).arg(l.numero).arg(r.mensaje()),
                r.numero());
        };
        const std::string_view linea = claro.bytes(l);
        for (qsizetype c = 0; c < indices.size(); ++c)
            alta.ponerBytes(indices.at(c), columnas(linea, f.campos.at(c)));
        if (extra) {
            if (Resultado r = extra(alta); !r) return situar(r);
        }
        // Un registro entero de una vez: si un valor no vale, no queda ninguno a medias.
        if (Resultado r = alta.alta(); !r) return situar(r);
    }
    return Resultado::correcto();
}

// Las plazas toman el nombre del área de rsAreas, filtrada por los dos primeros caracteres de su
// CodArea. Las áreas son pocas y se repiten mucho: se filtra una vez por prefijo y se recuerda.
Resultado cargarPlazas(const PTabla& tabla, Catalogo catalogo) {
    QHash<QString, QString> areas;
    // El área de cada CodArea ya visto, por la dirección de su valor (los valores iguales de la
    // tabla son el mismo objeto): la mayoría de las plazas no necesita ni cortar el prefijo.
    QHash<const QVariant*, QString> areaDeCodigo;
    const PTabla rsAreas = G().rsAreas;
    const int campoArea = tabla ? tabla->indiceCampo(QStringLiteral("Area")) : -1;
    const int campoCodArea = tabla ? tabla->indiceCampo(QStringLiteral("CodArea")) : -1;
    const Extra buscarArea = [&](AltaRegistros& alta) -> Resultado {
        if (!rsAreas) return tablaNoCargada(QStringLiteral("rsAreas"));
        if (campoArea < 0 || campoCodArea < 0)
            return Resultado::fallo(QStringLiteral("La tabla %1 no tiene los campos CodArea y Area")
                                        .arg(tabla->nombre()),
                                    Errores::CampoNoEncontrado);
        const QVariant& codArea = alta.valor(campoCodArea);
        auto visto = areaDeCodigo.constFind(&codArea);
        if (visto == areaDeCodigo.constEnd()) {
            const QString prefijo = codArea.toString().left(2);
            auto it = areas.constFind(prefijo);
            if (it == areas.constEnd()) {
                if (Resultado r = rsAreas->filtrar("CodArea='" + prefijo + "' "); !r) return r;
                const QString area =
                    rsAreas->numeroRegistros() >= 1 ? rsAreas->texto(QStringLiteral("Area")) : "";
                if (Resultado r = rsAreas->filtrar(QString()); !r) return r;
                it = areas.insert(prefijo, area);
            }
            visto = areaDeCodigo.insert(&codArea, it.value());
        }
        if (!visto.value().isEmpty()) return alta.poner(campoArea, visto.value());
        return Resultado::correcto();
    };
    const Resultado r = cargar(tabla, catalogo, buscarArea);
    if (!r) {
        mostrarMensaje(QStringLiteral("error al cargar plazas"), kTituloPrograma, Icono::Ninguno,
                       Botones::Aceptar);
        if (g_terminar)
            g_terminar();
        else
            std::exit(EXIT_FAILURE);
    }
    return r;
}

}  // namespace

void establecerTerminacionPlazas(std::function<void()> terminar) {
    g_terminar = std::move(terminar);
}

Resultado CargarProvinciasPersonales(const PTabla& t) {
    return cargar(t, Catalogo::ProvinciasPersonales);
}
Resultado CargarProvincias(const PTabla& t) {
    return cargar(t, Catalogo::Provincias);
}
Resultado CargarCuerpos(const PTabla& t) {
    return cargar(t, Catalogo::Cuerpos);
}
Resultado CargarGrupos(const PTabla& t) {
    return cargar(t, Catalogo::Grupos);
}
Resultado CargarConsejerias(const PTabla& t) {
    return cargar(t, Catalogo::Consejerias);
}
Resultado CargarPlazasGrupo(const PTabla& t) {
    return cargar(t, Catalogo::PlazasGrupo);
}
Resultado CargarPlazasCuerpo(const PTabla& t) {
    return cargar(t, Catalogo::PlazasCuerpo);
}
Resultado CargarAreas(const PTabla& t) {
    return cargar(t, Catalogo::Areas);
}
Resultado CargarAreasTarv(const PTabla& t) {
    return cargar(t, Catalogo::AreasTarv);
}
Resultado CargarSituaciones(const PTabla& t) {
    return cargar(t, Catalogo::Situaciones);
}
Resultado CargarInstituciones(const PTabla& t) {
    return cargar(t, Catalogo::Instituciones);
}
Resultado CargarPlazasVacantes(const PTabla& t) {
    return cargarPlazas(t, Catalogo::PlazasVacantes);
}
Resultado CargarPlazasResultas(const PTabla& t) {
    return cargarPlazas(t, Catalogo::PlazasResultas);
}

Resultado CargarLocalidades(const PTabla& t) {
    if (Resultado r = cargar(t, Catalogo::Localidades); !r) return r;
    return t->ordenar(QStringLiteral(" Localidad ASC "));
}

Resultado CargarZonas(const PTabla& t) {
    // Los nombres de las zonas están guardados en la página OEM.
    const int campoZona = t ? t->indiceCampo(QStringLiteral("Zona")) : -1;
    const auto pasarAAnsi = [campoZona](AltaRegistros& alta) {
        if (campoZona < 0)
            return Resultado::fallo(QStringLiteral("La tabla de zonas no tiene el campo Zona"),
                                    Errores::CampoNoEncontrado);
        return alta.poner(campoZona, OemAAnsi(alta.valor(campoZona).toString()));
    };
    return cargar(t, Catalogo::Zonas, pasarAAnsi);
}

namespace {

QString criterioCodigo(const QString& codigo) {
    return "CodConvocatoria='" + codigo + "'";
}

bool soloCifras(const QString& codigo) {
    if (codigo.isEmpty()) return false;
    for (const QChar c : codigo)
        if (c < u'0' || c > u'9') return false;
    return true;
}

}  // namespace

Resultado CargarListaPlazas(PTabla& tabla, const QString& codigoLista) {
    const QString codigo = codigoLista.toUpper();
    const bool resultas = codigo == QStringLiteral("R");
    tabla = CrearTablaPlazasLista(QStringLiteral("rsPlazasLista") + codigo);
    if (!resultas && codigo != QStringLiteral("V")) return Resultado::correcto();

    const PTabla referencia = resultas ? G().rsPlazasResultas : G().rsPlazasVacantes;
    if (!referencia)
        return tablaNoCargada(resultas ? QStringLiteral("rsPlazasResultas")
                                       : QStringLiteral("rsPlazasVacantes"));
    static const char* const kCopiados[] = {"NomConvocatoria", "Consejeria",   "Localidad",
                                            "CodConsejeria",   "CodLocalidad", "CodProvincia",
                                            "CodArea",         "CodZona",      "Area"};
    QVector<int> origen, destino;
    for (const char* nombre : kCopiados) {
        origen.append(referencia->indiceCampo(QString::fromLatin1(nombre)));
        destino.append(tabla->indiceCampo(QString::fromLatin1(nombre)));
    }
    // La primera fila de cada código: da lo mismo que rebobinar el catálogo y buscar hacia
    // delante, sin recorrerlo entero por cada línea de la lista.
    const IndiceConvocatorias filas(*referencia);
    std::optional<QString> ultimoCodigo;

    const int campoCodigo = tabla->indiceCampo(QStringLiteral("CodConvocatoria"));
    for (int i = 0; i < origen.size(); ++i)
        if (origen.at(i) < 0 || destino.at(i) < 0 || campoCodigo < 0)
            return Resultado::fallo(QStringLiteral("Las tablas %1 y %2 no tienen los campos de "
                                                   "plaza")
                                        .arg(referencia->nombre(), tabla->nombre()),
                                    Errores::CampoNoEncontrado);
    const Extra completar = [&](AltaRegistros& alta) -> Resultado {
        const QString cod = alta.valor(campoCodigo).toString();
        ultimoCodigo = cod;
        int fila = -1;
        if (soloCifras(cod)) {
            fila = filas.fila(cod);
        } else {
            // Un código raro se busca como siempre, para que la comparación sea la de la tabla.
            referencia->moverPrimero();
            if (Resultado r = referencia->buscar(criterioCodigo(cod)); !r) return r;
            fila = referencia->eof() ? -1 : referencia->filaActual();
        }
        if (fila < 0) return Resultado::correcto();
        const FilaTabla deReferencia = referencia->fila(fila);
        for (int i = 0; i < origen.size(); ++i)
            alta.copiar(destino.at(i), deReferencia, origen.at(i));
        return Resultado::correcto();
    };
    const Resultado r = cargar(tabla, resultas ? Catalogo::ListaR : Catalogo::ListaV, completar);
    // El catálogo queda donde lo dejó la última búsqueda.
    if (r && ultimoCodigo) {
        if (soloCifras(*ultimoCodigo)) {
            // La fila que daría la búsqueda, sin hacer un índice del catálogo para una sola.
            const int fila = filas.fila(*ultimoCodigo);
            referencia->irAFila(fila >= 0 ? fila : referencia->numeroRegistros());
        } else {
            referencia->moverPrimero();
            referencia->buscar(criterioCodigo(*ultimoCodigo));
        }
    }
    return r;
}
