#pragma once

#include "platform/Tabla.h"

// Tabla aparte con las filas que ve el cursor `origen`, en su orden, sin filtro ni orden propios:
// sus registros son suyos y de `origen` solo comparte los valores, que no cambian nunca (quien
// cambia un registro cuyos valores comparte otro se hace antes su copia). Lo que se haga después
// en una no se ve en la otra: la instantánea se puede leer en otro hilo mientras `origen` sigue
// cambiando en el suyo. Solo copia punteros, así que es rápida aun con muchas filas.
PTabla instantaneaDe(const Tabla& origen);
