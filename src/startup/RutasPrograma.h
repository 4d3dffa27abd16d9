#pragma once

#include "platform/Resultado.h"

#include <QString>
#include <QStringList>

// Dónde lee y dónde escribe el programa. Hay dos maneras de tenerlo:
// - la carpeta portátil: "conf.xml" junto al ejecutable, y todo (también lo que se escribe) en
//   esa carpeta, como siempre;
// - instalado (sin "conf.xml" junto al ejecutable): lo que solo se lee viene de
//   "../share/movilant" desde el ejecutable, y lo que se escribe va a la carpeta de datos de
//   cada usuario ($XDG_DATA_HOME/movilant, por omisión ~/.local/share/movilant). Así dos
//   personas de un mismo equipo no ven sus solicitudes, y el programa no necesita escribir donde
//   está instalado.
struct RutasPrograma {
    QString programa;   // conf.xml, el manual y ficheros/ (FicheroTexto.txt y plantillas)
    QString catalogos;  // los dieciséis catálogos (termina en "/")
    QString datos;      // usuarios.xml, traza.txt, temp.tmp y temp/ (solicitudes y sus PDF)
    bool instalado = false;

    // Carpeta de los ficheros del programa (termina en "/").
    QString ficheros() const { return programa + QStringLiteral("/ficheros/"); }
    // Carpeta de las solicitudes guardadas y de sus PDF (termina en "/").
    QString temporal() const;
    // Carpeta donde se descifran los catálogos, "temp.tmp" (termina en "/").
    QString paso() const;
};

// Lo que decide las rutas: el ejecutable, el entorno y la orden.
struct EntornoArranque {
    QString carpetaEjecutable;
    QString xdgDataHome;    // $XDG_DATA_HOME
    QString home;           // $HOME
    QString catalogos;      // --catalogos CARPETA (vacío si no se dio)
    QString carpetaActual;  // desde donde cuenta un --catalogos relativo
};

// La carpeta portátil, tal cual: todo en `carpeta`.
RutasPrograma rutasPortatiles(const QString& carpeta);

// Las rutas de esta ejecución. El juego de catálogos es, por este orden, el de la orden, el de
// la línea <Catalogos> de conf.xml (relativa a la carpeta de conf.xml) o el de ficheros/. Falla
// solo si, instalado, no hay dónde escribir o no está la carpeta del programa; un juego de
// catálogos que no vale lo dicen, como siempre, la carga de los cuerpos y la pantalla de carga.
ResultadoDe<RutasPrograma> resolverRutas(const EntornoArranque& entorno);

// Lo que pide la orden: `movilant [--catalogos CARPETA] [--version] [--ayuda]`.
struct OpcionesOrden {
    QString catalogos;
    bool version = false;
    bool ayuda = false;
};
ResultadoDe<OpcionesOrden> leerOpcionesOrden(const QStringList& argumentos);
QString textoAyudaOrden();
