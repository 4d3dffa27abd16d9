#pragma once

#include <QString>

// Resumen SHA-256 de un texto, tomando un byte por carácter: los 8 bits bajos de su código
// UTF-16. Así se calcularon los resúmenes de los almacenes de usuarios ya entregados, y así hay
// que seguir calculándolos para que sigan casando.
class CSHA256 {
public:
    // 64 dígitos hexadecimales en minúsculas.
    QString SHA256(const QString& texto) const;
};
