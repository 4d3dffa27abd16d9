#pragma once

#include "platform/Resultado.h"

#include <QByteArray>
#include <QString>
#include <functional>

// Escritura de ficheros sin dejar nada a medias ni escribir a través de lo que otro haya puesto
// en su lugar. Todo lo que se escribe así es solo del usuario (0600, sea cual sea la umask): son
// datos personales. Lo nuevo se escribe aparte, en un fichero oculto de la misma carpeta con un
// nombre único (".<nombre>.<azar>.aparte"), creado en exclusiva: nunca se sigue un enlace ni se
// abre un fichero que ya exista (un FIFO, un dispositivo). Solo completo se pone en su sitio con un
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

// Crea `ruta` con esos bytes, en exclusiva: si ya hay algo con ese nombre (un fichero, un enlace,
// un FIFO) falla sin tocarlo. Si falla a medias no deja nada.
Resultado escribirNuevo(const QString& ruta, const QByteArray& bytes,
                        Sincronizar sincronizar = Sincronizar::Si);

// Las dos cosas: `destino` pasa a tener esos bytes, enteros, o se queda como estaba.
Resultado escribirReemplazando(const QString& destino, const QByteArray& bytes,
                               Sincronizar sincronizar = Sincronizar::Si);

// Espera a que los cambios de nombre hechos en la carpeta lleguen al disco: sin esto, una caída
// del sistema puede deshacer uno y no otro.
Resultado sincronizarCarpeta(const QString& carpeta);

// Cambio de nombre por el que pasan ponerEnSuSitio y el guardado de una solicitud. Las pruebas lo
// sustituyen para hacerlo fallar (o morir a medias); vacío, el del sistema. Devuelve 0 o el errno.
using Renombrar = std::function<int(const QString& de, const QString& a)>;
void ponerGanchoRenombrar(Renombrar gancho);
int renombrar(const QString& de, const QString& a);

// Mensaje de un fallo al escribir `ruta` con ese errno, con la causa en castellano.
Resultado falloEscritura(const QString& ruta, int error);

// Lee un fichero normal de como mucho `maximo` bytes. Un FIFO o un dispositivo no se llegan a leer
// (no se queda esperando ni leyendo sin fin), y eso, una carpeta o un fichero mayor se dicen.
ResultadoDe<QByteArray> leerFicheroNormal(const QString& ruta, qint64 maximo);

// De quién es un fichero aparte, para la limpieza: de algo abierto ahora en otro programa (puede
// ser de un trabajo en marcha, aunque sea viejo: la copia de un documento lleva su hora), de algo
// que nadie tiene abierto (es un resto), o no se sabe.
enum class UsoAparte { NoSeSabe, EnUso, Libre };
using UsoDeAparte = std::function<UsoAparte(const QString& nombre)>;

// Borra de la carpeta los ficheros aparte que dejó una ejecución interrumpida. `uso`, si se da,
// dice de cada uno (por su nombre) si es de algo en uso; de los que no se sabe, se borran los de
// más de un minuto (uno más reciente puede ser de otra ejecución en marcha).
void limpiarApartes(const QString& carpeta, const UsoDeAparte& uso = {});
