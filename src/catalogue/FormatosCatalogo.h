#pragma once

#include "platform/Tabla.h"

#include <QList>
#include <QString>
#include <QStringView>

// Columnas de cada fichero de catálogo. Las columnas cuentan desde 1; una columna que no es de
// ningún campo lleva espacios.
struct CampoFormato {
    QString campo;
    int inicio = 1;
    int ancho = 0;
};

enum class Catalogo {
    ProvinciasPersonales,  // F0001
    Provincias,            // F0002
    Localidades,           // F0003
    Cuerpos,               // F0004
    Grupos,                // F0005
    Consejerias,           // F0006
    PlazasGrupo,           // F0007
    PlazasCuerpo,          // F0008
    PlazasVacantes,        // F0009
    PlazasResultas,        // F0010
    ListaV,                // F0011
    ListaR,                // F0012
    Zonas,                 // F0013
    Areas,                 // F0014, columnas A
    AreasTarv,             // F0014, columnas B
    Situaciones,           // F0015
    Instituciones,         // F0016
};

struct FormatoCatalogo {
    Catalogo catalogo;
    QString fichero;
    QString tabla;  // la tabla que llena (la primera, si llena varias)
    QList<CampoFormato> campos;
    QList<Campo> esquema;  // campos de la tabla que llena, con sus longitudes máximas
};

const FormatoCatalogo& formato(Catalogo catalogo);
// Los diecisiete formatos (el F0014 se lee de dos maneras), en el orden del enumerado.
const QList<FormatoCatalogo>& formatos();

// Valor de un campo en una línea en claro: las columnas que existan, sin espacios delante ni
// detrás. Una línea más corta que el campo da lo que haya, quizá nada.
QString valorCampo(const QString& linea, const CampoFormato& campo);

// Quita solo los espacios (no tabuladores ni otros blancos) de los dos extremos.
QString quitarEspacios(QStringView texto);
