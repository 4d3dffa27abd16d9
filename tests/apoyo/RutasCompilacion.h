#pragma once
// Las carpetas de las fuentes y de la compilación, para las pruebas y las medidas que usan los
// datos del repositorio o los programas compilados. Se definen en un solo fichero generado
// (RutasCompilacion.cpp en la carpeta de compilación): así los demás objetos no llevan rutas
// absolutas y ccache los comparte entre dos copias del repositorio.
#include <QString>

// La carpeta de las fuentes seguida de `resto` ("/datos/conf.xml").
QString rutaFuentes(const char* resto = "");
// La carpeta de la compilación seguida de `resto` ("/movilant-lector").
QString rutaBinarios(const char* resto = "");
