#pragma once

#include "platform/Resultado.h"

#include <QByteArray>
#include <QString>

// Escritura de ficheros sin dejar nada a medias ni escribir a través de lo que otro haya puesto
// en su lugar. Lo nuevo se escribe aparte, en un fichero oculto de la misma carpeta con un nombre
// único (".<nombre>.<azar>.aparte"), creado en exclusiva: nunca se sigue un enlace ni se abre un
// fichero que ya exista (un FIFO, un dispositivo). Solo completo se pone en su sitio con un
// cambio de nombre, que sustituye lo que haya allí (si es un enlace, el enlace; no lo apuntado).

// Si se espera a que lo escrito llegue al disco antes de ponerlo en su sitio. Sin esperar, una
// caída del sistema puede dejar el fichero vacío: solo para ficheros de paso.
enum class Sincronizar { Si, No };

// Nombre único para un fichero aparte junto a `destino` (no crea nada).
QString nombreAparte(const QString& destino);

// Escribe los bytes en un fichero aparte nuevo junto a `destino` y devuelve su ruta. Si falla no
// deja nada.
ResultadoDe<QString> escribirAparte(const QString& destino, const QByteArray& bytes,
                                   Sincronizar sincronizar = Sincronizar::Si);

// Pone el fichero aparte en lugar de `destino`, de una vez. Si falla, borra el aparte y
// `destino` se queda como estaba.
Resultado ponerEnSuSitio(const QString& aparte, const QString& destino);

// Las dos cosas: `destino` pasa a tener esos bytes, enteros, o se queda como estaba.
Resultado escribirReemplazando(const QString& destino, const QByteArray& bytes,
                               Sincronizar sincronizar = Sincronizar::Si);

// Borra de la carpeta los ficheros aparte que dejó una ejecución interrumpida (los de más de un
// minuto: uno más reciente puede ser de otra ejecución en marcha).
void limpiarApartes(const QString& carpeta);
