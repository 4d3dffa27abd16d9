#pragma once

#include "platform/DocumentoXml.h"
#include "platform/Tabla.h"

#include <QString>
#include <QVector>

// Entrada del índice de plazas por cuerpo.
struct PlazasCuerpo {
    QString CodCuerpo;
    bool DesdeCatalogo = false;
    PTabla Resultas;
    PTabla Vacantes;
};

// Entrada del índice de plazas por grupo.
struct PlazasGrupo {
    QString Grupo;
    PTabla Resultas;
    PTabla Vacantes;
};

// Estado de todo el proceso: un único sitio, con los nombres de siempre.
struct Globales {
    // Carpetas (terminan en separador).
    QString RutaFicheros;
    QString RutaTemporal;
    // Instalado, lo que solo se lee y lo que se escribe van en carpetas distintas, y el juego de
    // catálogos se puede elegir al arrancar (startup/RutasPrograma.h). Vacías: las de siempre
    // (la carpeta del programa y RutaFicheros).
    QString RutaCatalogos;    // los dieciséis catálogos
    QString RutaPaso;         // donde se descifran ("temp.tmp")
    QString CarpetaPrograma;  // conf.xml y el manual
    QString CarpetaDatos;     // usuarios.xml y traza.txt
    // Usuario
    QString DNIUsuario;
    bool LoginCorrecto = false;
    bool UsuarioConPassword = false;
    QString FicheroSolicitud;
    // Configuración
    QString PlazasPorPagina;
    QString CarpetaPlantillas;
    // Almacén de usuarios
    DocumentoXml DocUsuarios;
    QString RutaUsuarios;
    // Impresión
    QString VersionWord;
    QString TextoCodigoBarras;

    // Catálogos
    PTabla rsCuerpos, rsGrupos;
    PTabla rsLocalidades, rsLocalidadesTarv, rsLocalidadesVacantes, rsLocalidadesResultas;
    PTabla rsProvincias, rsProvinciasPersonales;
    PTabla rsConsejeriasVacantes, rsConsejeriasResultas;
    PTabla rsAreas, rsAreasTarv, rsZonas, rsZonasTarv;
    PTabla rsSituaciones, rsInstituciones;
    PTabla rsPlazasVacantes, rsPlazasResultas, rsPlazasCuerpo, rsPlazasGrupo;
    PTabla rsPlazasListaV, rsPlazasListaR;
    // Listas de la solicitud
    PTabla rsCursos, rsVacantesSolicitadas, rsResultasSolicitadas, rsDocumentos;
    // Plazas del cuerpo elegido (tablas de una entrada del índice, no copias)
    PTabla rsVacantesCuerpo, rsResultasCuerpo;
    // Solicitudes guardadas del usuario
    PTabla rsSolicitudesGuardadas;
    // Índices
    QVector<PlazasCuerpo> IndicePlazasCuerpo;
    QVector<PlazasGrupo> IndicePlazasGrupo;
};

// El estado del proceso.
Globales& G();
// Carpetas de los catálogos y de su descifrado (terminan en separador): las elegidas al
// arrancar o, si no se eligió ninguna, RutaFicheros.
QString rutaCatalogos();
QString rutaPaso();
// Vuelve todo al estado inicial (para las pruebas).
void reiniciarGlobales();
