#pragma once

#include "platform/Resultado.h"
#include "platform/Tabla.h"

#include <QString>

// Nombre del documento de una solicitud: DNI (9, relleno con "0"), código de cuerpo (6, relleno
// con "_"), grupo (2, relleno con "0") y ".doc". Cada parte se corta antes de rellenarse.
QString NombreFicheroSolicitud(const QString& dni, const QString& cuerpo, const QString& grupo);

// Nombre del fichero de listas de una solicitud: el del documento acabado en "xml".
QString NombreFicheroListas(const QString& nombreDocumento);

// Crea rsSolicitudesGuardadas (en el estado global) con las solicitudes de `dni` que hay en
// RutaTemporal y devuelve cuántas son.
qint16 ListarSolicitudes(const QString& dni);

// Tabla vacía con los campos de la lista de solicitudes guardadas.
PTabla CrearTablaSolicitudesGuardadas();

// Borra el documento y el fichero de listas de una solicitud. Un fichero que falta o no se puede
// borrar no impide borrar el otro. Las listas que usa también otro documento de la carpeta (el
// mismo nombre con la extensión en otras mayúsculas) no se borran. Devuelve cuántos se borraron.
// Toma antes el bloqueo de la solicitud: si otro programa la tiene abierta (o el bloqueo no se
// puede tomar) no borra nada y falla con el mensaje de BloqueoSolicitud::tomar.
ResultadoDe<int> BorrarFicherosSolicitud(const QString& carpeta, const QString& nombreDocumento);
