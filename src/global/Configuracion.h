#pragma once

#include "platform/DocumentoXml.h"
#include "platform/Resultado.h"

#include <QString>
#include <array>

// Datos de una pestaña del formulario tal como los da "conf.xml".
struct TabConfig {
    qint16 indice = 0;
    QString Visibilidad;
    QString NombreTab;
    QString TituloTab;
    QString TituloSobreGrid;
    bool visible() const { return Visibilidad == QLatin1String("S"); }
};

// Lo que el formulario toma de "conf.xml": el formulario tiene siempre cinco pestañas.
constexpr int kNumPestanas = 5;
struct Configuracion {
    QString Nombre;
    QString PlazasPorPagina;
    std::array<TabConfig, kNumPestanas> Tabs;
    QString CarpetaPlantillas;  // "DOT_" y un dígito por pestaña: 1 visible, 0 oculta
};

inline const QString kFicheroConfiguracion = QStringLiteral("conf.xml");

// Carpeta del programa (conf.xml, el manual): la fijada al arrancar o, si no, la que contiene
// "ficheros/" (RutaFicheros), o la del ejecutable si todavía no se fijó.
QString carpetaAplicacion();
// Carpeta donde el programa escribe lo suyo (usuarios.xml, traza.txt): la fijada al arrancar o,
// si no, la del programa.
QString carpetaDatos();
QString rutaConfiguracion();

// "1.2.0": mayor.menor.revisión del programa.
QString versionPrograma();
// Título de las ventanas: nombre del concurso, un blanco y la versión.
QString tituloConVersion(const QString& nombre);

// Carga el documento; falla (nombrando el fichero) si no existe o no es XML válido.
Resultado cargarDocumentoConfiguracion(const QString& ruta, DocumentoXml& doc);
// Texto de un nodo o atributo obligatorio; falla nombrando el fichero y el nodo si falta.
ResultadoDe<QString> leerNodoConfiguracion(const DocumentoXml& doc, const QString& consulta);

// Lee toda la configuración del formulario. No hay valores por defecto: cualquier nodo que
// falte, o un número de plazas por página que no sea un entero de al menos 1, es un fallo.
ResultadoDe<Configuracion> leerConfiguracion(const QString& ruta);
