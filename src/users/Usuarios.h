#pragma once

#include "platform/Resultado.h"

#include <QString>

// Almacén de usuarios "usuarios.xml": cada usuario es un resumen del DNI y otro de la
// contraseña en mayúsculas. Se carga una vez en G().DocUsuarios y se reescribe entero, de forma
// atómica, tras cada alta.
//
// Formato:
//   <Usuarios><Usuario><DNI>resumen</DNI><Pwd>resumen</Pwd></Usuario>...</Usuarios>

// Tope de usuarios: los recorridos del almacén cuentan con enteros de 16 bits.
constexpr int kMaximoUsuarios = 32767;

// Carga el almacén de la ruta. Un fichero que falta o está mal formado deja el almacén vacío
// (todo DNI es nuevo) y aun así devuelve verdadero.
bool AbrirUsuarios(const QString& ruta);
bool ExisteUsuario(const QString& dni);
// Resumen de la contraseña del primer usuario con ese DNI; vacío si no lo hay.
QString PasswordDeUsuario(const QString& dni);
// La contraseña llega ya en mayúsculas.
bool ComprobarPassword(const QString& dni, const QString& password);
// Añade el usuario al final y guarda el almacén. Si el fichero no existía se crea; si existe
// pero no se pudo leer, no se toca y se devuelve el fallo. La contraseña llega en mayúsculas.
Resultado AltaUsuario(const QString& dni, const QString& password);
// Quita el primer usuario con ese DNI. No guarda: quien llama guarda después con AltaUsuario.
void BajaUsuario(const QString& dni);
// Cambio de contraseña: BajaUsuario y AltaUsuario. Si no se puede guardar, el almacén en
// memoria vuelve a quedar como estaba, igual que el fichero.
Resultado ReemplazarUsuario(const QString& dni, const QString& password);
