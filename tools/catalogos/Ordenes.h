#pragma once

#include <QString>
#include <QStringList>

// Escribe "movilant-catalogos: " & mensaje en la salida de errores y devuelve el estado.
int fallar(const QString& mensaje, int estado = 1);
// Escribe el texto en UTF-8 en la salida estándar.
void escribirSalida(const QString& texto);

int ordenVolcar(const QStringList& args);
int ordenComprobar(const QStringList& args);
