#include "DatosCodigos.h"

#include "printing/CodigoBarras.h"

#include <QStringList>

namespace DatosCodigos {

QString prefijo() {
    return prefijoCodigoBarras(
        ClaveSolicitante(QStringLiteral("12345678Z"), QStringLiteral("123"), QStringLiteral("A")),
        QStringLiteral("07/12/2026"), QStringLiteral("09:41:07"));
}

QString cargaSolicitante() {
    const QStringList campos = {
        QStringLiteral("S"),
        QStringLiteral("Núñez de Arce y Peñalver-Ibáñez"),
        QStringLiteral("Martínez-Echevarría Güell"),
        QStringLiteral("María Ángeles Inmaculada"),
        QStringLiteral("12345678Z"),
        QStringLiteral("19700412"),
        QStringLiteral("924 123 456 / 654 987 321"),
        QStringLiteral("S"),
        QStringLiteral("87654321X"),
        QStringLiteral("Fernández de Córdoba"),
        QStringLiteral("Zúñiga Ortíz"),
        QStringLiteral("José Ramón"),
        QStringLiteral("S"),
        QStringLiteral("Física y orgánica, grado reconocido \"moderado\" (33%) ¿revisión?"),
        QStringLiteral("Adaptación del puesto & mobiliario ergonómico; acceso sin escalones"),
        QStringLiteral("Avda. de la Constitución nº 14, 3ª planta, puerta izquierda · bloque B"),
        QStringLiteral("Villanueva de la Serena"),
        QStringLiteral("06"),
        QStringLiteral("06700"),
        QStringLiteral("123"),
        QStringLiteral("A"),
        QStringLiteral("0601234567"),
        QStringLiteral("20050301"),
        QStringLiteral("A"),
        QStringLiteral("Serv. activo."),
        QStringLiteral("20050301"),
        QStringLiteral("S"),
        QStringLiteral("Servicio Gallego de Salud ¡urgente!"),
        QStringLiteral("D"),
        QStringLiteral("Enfermero/a de Atención Primaria en el Centro de Salud Urbano Nº 2"),
        QStringLiteral("Don Benito"),
        QStringLiteral("Badajoz"),
        QStringLiteral("N"),
        QStringLiteral("20110915"),
        QStringLiteral("Hospital Comarcal \"Siberia-Serena\" de Talarrubias; unidad de Pediatría"),
        QStringLiteral("Zona Básica de Salud de Orellana la Vieja, Açores, Ëlche, Ôbidos"),
        QStringLiteral("Cáceres")};
    return campos.join(QLatin1Char('|')) + QLatin1Char('|');
}

QString entradas(int desde, int hasta, bool huecos) {
    QString s;
    for (int orden = desde; orden <= hasta; ++orden) {
        const int codigo = huecos && orden % 3 == 0 ? orden * 7 : 10000 + orden * 137;
        s += entradaPlaza(QString::number(orden), QString::number(codigo));
    }
    return s;
}

}  // namespace DatosCodigos
