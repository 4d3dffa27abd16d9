#include "Ordenes.h"

int ordenVolcar(const QStringList&) {
    return fallar(QStringLiteral("volcar: todavía no"));
}
int ordenComprobar(const QStringList&) {
    return fallar(QStringLiteral("comprobar: todavía no"));
}
