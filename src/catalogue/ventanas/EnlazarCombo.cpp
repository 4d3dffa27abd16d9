#include "catalogue/ventanas/EnlazarCombo.h"

#include "platform/ventanas/ComboDatos.h"

void EnlazarCombo(ComboDatos& combo, const PTabla& tabla) {
    if (!tabla || tabla->campos().isEmpty()) {
        combo.desenlazar();
        return;
    }
    const QList<Campo>& campos = tabla->campos();
    combo.setColumnaValor(campos[0].nombre);
    combo.setColumnaTexto(campos.size() > 1 ? campos[1].nombre : campos[0].nombre);
    combo.desenlazar();
    combo.enlazar(tabla);
}
