#pragma once

#include "platform/Resultado.h"
#include "printing/DocumentoWord.h"
#include "printing/ListasImpresas.h"

#include <QString>
#include <QVector>
#include <functional>
#include <utility>

// Las cuatro listas de una solicitud, en el orden en que se ven.
struct ListasSolicitud {
    PTabla vacantes, resultas, cursos, documentos;
};

// Las cuatro listas de G() tal como se ven ahora, en tablas aparte (instantaneaDe): el
// documento y el fichero de listas se hacen en otro hilo con ellas, y nada de lo que cambie
// después en las de G() (que la ventana enseña y edita) llega a lo que se guarda. Se hace en el
// hilo de la ventana, en el momento de guardar.
ListasSolicitud instantaneaListas();

// Lo que el generador necesita del formulario para hacer el documento de una solicitud.
struct PeticionDocumento {
    QString plantilla;      // ruta de PlantillaWXP.dot o PlantillaW97.dot
    QString rutaDocumento;  // el documento guardado: marcadores, campos y cursos
    QString rutaImpresion;  // al imprimir, el documento completo que se convierte a PDF
    VarianteGenerador variante = VarianteGenerador::XP;
    bool imprimir = false;
    bool borrador = false;
    QString dni;               // para el marcador "DNICAB"
    QString fecha, hora;       // "dd/MM/yyyy" y "HH:mm:ss" de esta impresión
    QString prefijo;           // prefijo de los códigos (clave + fecha + hora)
    QString cargaSolicitante;  // texto del código del solicitante (sin prefijo)
    QString sello;             // sello del guardado, el mismo que lleva el fichero de listas
    int plazasPorPagina = 40;
    // Valores del formulario por nombre de campo, en el orden de los controles.
    QVector<std::pair<QString, QString>> camposTexto;
    QVector<std::pair<QString, bool>> casillas;
    // Lo que se escribe en las tablas del documento; sin ninguna lista, las de G() (solo desde
    // el hilo de la ventana).
    ListasSolicitud listas;
    // Se llama una vez por campo y por fila escrita, desde el hilo que hace el documento.
    std::function<void()> avanzar;
};

struct DocumentoGenerado {
    QVector<CodigoEsperado> codigos;  // todos los códigos insertados, el del solicitante incluido
    QString avisos;                   // el primer paso que se pasó por alto, si lo hubo
};

// Hace el documento de una solicitud desde la plantilla con las listas de la petición: lo guarda
// con los marcadores, los campos y los cursos y, si se imprime, escribe en `rutaImpresion` el
// documento completo con el código del solicitante, los documentos y las dos listas de plazas. Los
// pasos que fallan uno a uno (un campo o una tabla que la plantilla no tiene) se pasan por alto.
ResultadoDe<DocumentoGenerado> generarDocumentoImpresion(const PeticionDocumento& peticion);

// Los códigos que debe llevar la impresión según el reparto en páginas de las listas (el
// del solicitante en la página 1 y uno por cada página de plazas), sin mirar el documento: la
// comprobación antes de imprimir busca estos, no los que se llegaron a insertar. Un borrador no
// lleva ninguno.
ResultadoDe<QVector<CodigoEsperado>> codigosDelPlan(const PeticionDocumento& peticion);
