#include "catalogue/ModCargaFicheros.h"

#include "catalogue/Decodificacion.h"
#include "catalogue/Esquemas.h"
#include "catalogue/FormatosCatalogo.h"
#include "catalogue/IndicesPlazas.h"
#include "platform/Causas.h"
#include "platform/Codificacion.h"
#include "platform/ServicioMensajes.h"
#include "startup/Globales.h"
#include "startup/ModGeneral.h"

#include <QFile>
#include <QHash>
#include <QVector>
#include <cstdlib>
#include <optional>

namespace {

std::function<void()> g_terminar;

// Se llama con los valores del registro (en el orden de los campos de la tabla) ya con los campos
// del formato, antes de darlo de alta.
using Extra = std::function<Resultado(std::vector<QVariant>& valores)>;

Resultado tablaNoCargada(const QString& nombre) {
    return Resultado::fallo(
        QStringLiteral("Variable de objeto no establecida: la tabla %1 no está cargada")
            .arg(nombre),
        Errores::NodoNoEncontrado);
}

Resultado cargar(const PTabla& tabla, Catalogo catalogo, const Extra& extra = {}) {
    const FormatoCatalogo& f = formato(catalogo);
    if (!tabla) return tablaNoCargada(f.tabla);

    const QString carpeta = G().RutaFicheros;
    const auto descifrado = decodificarSinAviso(carpeta, f.fichero);
    if (!descifrado) {
        mostrarMensaje(mensajeErrorDecodificacion(descifrado.numero(), descifrado.mensaje()),
                       kTituloPrograma, Icono::Critico, Botones::Aceptar);
        // Sin fichero en claro que leer: el fallo de apertura es el que llega al llamador, con
        // la causa de verdad (el catálogo o la carpeta donde se escribe temp.tmp).
        return Resultado::fallo(
            QStringLiteral("Error de acceso a la ruta o el archivo: %1").arg(descifrado.mensaje()),
            kErrorAccesoRuta);
    }
    const QList<int>& numeros = descifrado.valor();

    QFile temporal(carpeta + QStringLiteral("temp.tmp"));
    if (!temporal.open(QIODevice::ReadOnly))
        return Resultado::fallo(QStringLiteral("Error de acceso a la ruta o el archivo %1: %2")
                                    .arg(temporal.fileName(), causaLectura(temporal.fileName())),
                                kErrorAccesoRuta);
    const QList<LineaFichero> lineas = partirLineas(temporal.readAll());
    temporal.close();

    QVector<int> indices;
    for (const CampoFormato& c : f.campos) {
        const int i = tabla->indiceCampo(c.campo);
        if (i < 0)
            return Resultado::fallo(QStringLiteral("La tabla %1 no tiene el campo %2 de %3")
                                        .arg(tabla->nombre(), c.campo, f.fichero),
                                    Errores::CampoNoEncontrado);
        indices.append(i);
    }

    // Para cada campo de la tabla, el campo del formato que lo llena (-1: ninguno, queda vacío).
    const QList<Campo>& campos = tabla->campos();
    std::vector<qsizetype> desdeFormato(size_t(campos.size()), -1);
    for (qsizetype c = 0; c < indices.size(); ++c) desdeFormato[size_t(indices.at(c))] = c;

    for (qsizetype n = 0; n < lineas.size(); ++n) {
        const int numeroEnc = n < numeros.size() ? numeros.at(n) : int(n + 1);
        auto situar = [&](const Resultado& r) {
            return Resultado::fallo(
                QStringLiteral("%1, línea %2: %3").arg(f.fichero).arg(numeroEnc).arg(r.mensaje()),
                r.numero());
        };
        const QString linea = Codificacion::desdeWindows1252(lineas.at(n).bytes);
        std::vector<QVariant> valores;
        valores.reserve(desdeFormato.size());
        for (size_t i = 0; i < desdeFormato.size(); ++i) {
            if (desdeFormato[i] >= 0)
                valores.emplace_back(valorCampo(linea, f.campos.at(desdeFormato[i])));
            else
                valores.push_back(valorVacio(campos[int(i)]));
        }
        if (extra) {
            if (Resultado r = extra(valores); !r) return situar(r);
        }
        // Un registro entero de una vez: si un valor no vale, no queda ninguno a medias.
        if (Resultado r = tabla->anadirRegistro(std::move(valores)); !r) return situar(r);
    }
    return Resultado::correcto();
}

// Las plazas toman el nombre del área de rsAreas, filtrada por los dos primeros caracteres de su
// CodArea. Las áreas son pocas y se repiten mucho: se filtra una vez por prefijo y se recuerda.
Resultado cargarPlazas(const PTabla& tabla, Catalogo catalogo) {
    QHash<QString, QString> areas;
    const PTabla rsAreas = G().rsAreas;
    const int campoArea = tabla ? tabla->indiceCampo(QStringLiteral("Area")) : -1;
    const int campoCodArea = tabla ? tabla->indiceCampo(QStringLiteral("CodArea")) : -1;
    const Extra buscarArea = [&](std::vector<QVariant>& valores) -> Resultado {
        if (!rsAreas) return tablaNoCargada(QStringLiteral("rsAreas"));
        if (campoArea < 0 || campoCodArea < 0)
            return Resultado::fallo(QStringLiteral("La tabla %1 no tiene los campos CodArea y Area")
                                        .arg(tabla->nombre()),
                                    Errores::CampoNoEncontrado);
        const QString prefijo = valores[size_t(campoCodArea)].toString().left(2);
        auto it = areas.constFind(prefijo);
        if (it == areas.constEnd()) {
            if (Resultado r = rsAreas->filtrar("CodArea='" + prefijo + "' "); !r) return r;
            const QString area =
                rsAreas->numeroRegistros() >= 1 ? rsAreas->texto(QStringLiteral("Area")) : "";
            if (Resultado r = rsAreas->filtrar(QString()); !r) return r;
            it = areas.insert(prefijo, area);
        }
        if (!it.value().isEmpty()) valores[size_t(campoArea)] = it.value();
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
    const auto pasarAAnsi = [campoZona](std::vector<QVariant>& valores) {
        if (campoZona < 0)
            return Resultado::fallo(QStringLiteral("La tabla de zonas no tiene el campo Zona"),
                                    Errores::CampoNoEncontrado);
        valores[size_t(campoZona)] = OemAAnsi(valores[size_t(campoZona)].toString());
        return Resultado::correcto();
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
    const Extra completar = [&](std::vector<QVariant>& valores) -> Resultado {
        const QString cod = valores[size_t(campoCodigo)].toString();
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
        for (int i = 0; i < origen.size(); ++i)
            valores[size_t(destino.at(i))] = referencia->valorEnFila(fila, origen.at(i));
        return Resultado::correcto();
    };
    const Resultado r = cargar(tabla, resultas ? Catalogo::ListaR : Catalogo::ListaV, completar);
    // El catálogo queda donde lo dejó la última búsqueda.
    if (r && ultimoCodigo) {
        referencia->moverPrimero();
        referencia->buscar(criterioCodigo(*ultimoCodigo));
    }
    return r;
}
