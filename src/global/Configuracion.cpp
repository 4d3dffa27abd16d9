#include "global/Configuracion.h"

#include "global/Globales.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

QString carpetaAplicacion() {
    if (!G().CarpetaPrograma.isEmpty()) return G().CarpetaPrograma;
    const QString& ficheros = G().RutaFicheros;
    if (ficheros.isEmpty()) return QCoreApplication::applicationDirPath();
    return QFileInfo(QDir::cleanPath(ficheros)).path();
}

QString carpetaDatos() {
    return G().CarpetaDatos.isEmpty() ? carpetaAplicacion() : G().CarpetaDatos;
}

QString rutaConfiguracion() {
    return carpetaAplicacion() + QLatin1Char('/') + kFicheroConfiguracion;
}

QString versionPrograma() {
    return QStringLiteral("%1.%2.%3")
        .arg(MOVILANT_VERSION_MAJOR)
        .arg(MOVILANT_VERSION_MINOR)
        .arg(MOVILANT_VERSION_REVISION);
}

QString tituloConVersion(const QString& nombre) {
    return nombre + QLatin1Char(' ') + versionPrograma();
}

Resultado cargarDocumentoConfiguracion(const QString& ruta, DocumentoXml& doc) {
    if (!QFileInfo::exists(ruta)) {
        return Resultado::fallo(
            QStringLiteral("No se encuentra el fichero de configuración \"%1\" (%2)")
                .arg(kFicheroConfiguracion, QDir::toNativeSeparators(ruta)),
            Errores::FicheroNoEncontrado);
    }
    if (!doc.cargarFichero(ruta)) {
        return Resultado::fallo(
            QStringLiteral("El fichero de configuración \"%1\" no se puede leer o no es un XML "
                           "válido (%2)")
                .arg(kFicheroConfiguracion, QDir::toNativeSeparators(ruta)),
            Errores::ErrorEntradaSalida);
    }
    return Resultado::correcto();
}

ResultadoDe<QString> leerNodoConfiguracion(const DocumentoXml& doc, const QString& consulta) {
    if (!doc.existe(consulta)) {
        return Resultado::fallo(
            QStringLiteral("Falta el nodo \"%1\" en el fichero de configuración \"%2\"")
                .arg(consulta, kFicheroConfiguracion),
            Errores::NodoNoEncontrado);
    }
    return doc.texto(consulta);
}

namespace {

// La paginación de la impresión divide por este número: tiene que ser un entero positivo.
Resultado comprobarPlazasPorPagina(const QString& texto) {
    bool ok = false;
    const int n = texto.trimmed().toInt(&ok);
    if (ok && n >= 1) return Resultado::correcto();
    // Un entero que no cabe no es "no un entero": se dice que es demasiado grande.
    static const QRegularExpression soloCifras(QStringLiteral("^\\+?\\d+$"));
    if (!ok && soloCifras.match(texto.trimmed()).hasMatch())
        return Resultado::fallo(
            QStringLiteral("El valor \"%1\" de \"//Configuracion/@numPlazasPorPag\" en el fichero "
                           "de configuración \"%2\" es demasiado grande")
                .arg(texto, kFicheroConfiguracion),
            Errores::ConversionTipo);
    return Resultado::fallo(
        QStringLiteral("El valor \"%1\" de \"//Configuracion/@numPlazasPorPag\" en el fichero de "
                       "configuración \"%2\" no es un número entero mayor o igual que 1")
            .arg(texto, kFicheroConfiguracion),
        Errores::ConversionTipo);
}

}  // namespace

ResultadoDe<Configuracion> leerConfiguracion(const QString& ruta) {
    DocumentoXml doc;
    if (Resultado r = cargarDocumentoConfiguracion(ruta, doc); !r) return r;

    Configuracion conf;
    conf.CarpetaPlantillas = QStringLiteral("DOT_");
    auto leer = [&doc](const QString& consulta, QString& destino) -> Resultado {
        auto r = leerNodoConfiguracion(doc, consulta);
        if (!r) return r.estado();
        destino = r.valor();
        return Resultado::correcto();
    };
    for (int i = 0; i < kNumPestanas; ++i) {
        if (Resultado r =
                leer(QStringLiteral("//Configuracion/@numPlazasPorPag"), conf.PlazasPorPagina);
            !r)
            return r;
        TabConfig& tab = conf.Tabs[size_t(i)];
        tab.indice = qint16(i);
        const QString base = QStringLiteral("//Tab[%1]/").arg(i);
        for (auto [campo, destino] :
             {std::pair{"NombreTab", &tab.NombreTab}, std::pair{"Visibilidad", &tab.Visibilidad},
              std::pair{"TituloTab", &tab.TituloTab},
              std::pair{"TituloSobreGrid", &tab.TituloSobreGrid}}) {
            if (Resultado r = leer(base + QLatin1String(campo), *destino); !r) return r;
        }
        conf.CarpetaPlantillas += tab.visible() ? QLatin1Char('1') : QLatin1Char('0');
    }
    if (Resultado r = comprobarPlazasPorPagina(conf.PlazasPorPagina); !r) return r;
    if (Resultado r = leer(QStringLiteral("//Configuracion/@Nombre"), conf.Nombre); !r) return r;
    return conf;
}
