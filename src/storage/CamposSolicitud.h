#pragma once

#include "platform/Resultado.h"

#include <QHash>
#include <QString>
#include <QStringList>

// Los campos de formulario del documento de una solicitud guardada: el resultado de cada campo de
// texto y el estado de cada casilla, por su nombre.
struct CamposSolicitud {
    QHash<QString, QString> textos;
    QHash<QString, bool> casillas;
    QString sello;  // el del guardado que lo escribió; vacío si no lo lleva
};

// Lee el documento guardado sin escribirlo. Falla con la causa si no se puede leer (no es un
// paquete, está cortado) o si no tiene ninguno de los campos `esperados`: no es una solicitud de
// este programa.
ResultadoDe<CamposSolicitud> LeerCamposSolicitud(const QString& ruta, const QStringList& esperados);
