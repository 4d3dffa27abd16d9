#pragma once

#include "platform/Tabla.h"

class ComboDatos;

// Hace que el combo liste la tabla: guarda el primer campo y enseña el segundo (o el primero si
// la tabla solo tiene uno).
void EnlazarCombo(ComboDatos& combo, const PTabla& tabla);
