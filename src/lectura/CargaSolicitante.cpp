#include "lectura/CargaSolicitante.h"

#include "lectura/FechasFijas.h"

const QVector<CampoCarga>& camposCarga() {
    using F = FormatoCampo;
    static const QVector<CampoCarga> campos = {
        {"forzoso", "forzoso o voluntario", F::SiNo},
        {"primerApellido", "primer apellido", F::Texto},
        {"segundoApellido", "segundo apellido", F::Texto},
        {"nombre", "nombre", F::Texto},
        {"dni", "DNI", F::Texto},
        {"fechaNacimiento", "fecha de nacimiento", F::Fecha},
        {"telefono", "teléfono", F::Texto},
        {"peticionConyuge", "petición condicionada a la del cónyuge", F::SiNo},
        {"dniConyuge", "DNI del cónyuge", F::Texto},
        {"primerApellidoConyuge", "primer apellido del cónyuge", F::Texto},
        {"segundoApellidoConyuge", "segundo apellido del cónyuge", F::Texto},
        {"nombreConyuge", "nombre del cónyuge", F::Texto},
        {"discapacidad", "discapacidad", F::SiNo},
        {"tipoDiscapacidad", "tipo de discapacidad", F::Texto},
        {"adaptaciones", "adaptaciones precisas", F::Texto},
        {"domicilio", "domicilio", F::Texto},
        {"localidad", "localidad", F::Texto},
        {"provincia", "provincia", F::Texto},
        {"codigoPostal", "código postal", F::Texto},
        {"cuerpo", "cuerpo", F::Texto},
        {"grupo", "grupo", F::Texto},
        {"numeroRegistroPersonal", "número de registro de personal", F::Texto},
        {"fechaIngreso", "fecha de ingreso", F::Fecha},
        {"situacion", "situación (activo u otras)", F::ActivoOtras},
        {"situacionAdministrativa", "situación administrativa", F::Texto},
        {"fechaSituacion", "fecha de la situación", F::Fecha},
        {"servicioSalud", "servicio de salud", F::ServicioSalud},
        {"otroServicioSalud", "otro servicio de salud", F::Texto},
        {"caracterDestino", "carácter del destino", F::Destino},
        {"puesto", "puesto", F::Texto},
        {"localidadPuesto", "localidad del puesto", F::Texto},
        {"provinciaPuesto", "provincia del puesto", F::Texto},
        {"reingreso", "reingreso", F::SiNo},
        {"fechaPosesion", "fecha de toma de posesión", F::Fecha},
        {"institucionActual", "institución actual", F::Texto},
        {"zonaActual", "zona actual", F::Texto},
        {"provinciaActual", "provincia actual", F::Texto},
    };
    return campos;
}

bool valorValido(FormatoCampo formato, const QString& v) {
    switch (formato) {
        case FormatoCampo::Texto:
            return true;
        case FormatoCampo::SiNo:
            return v == u"S" || v == u"N";
        case FormatoCampo::Fecha:
            return v == u"00000000" || fechaAnoMesDiaValida(v);
        case FormatoCampo::ActivoOtras:
            return v == u"A" || v == u"O";
        case FormatoCampo::ServicioSalud:
            return v.isEmpty() || v == u"S" || v == u"O";
        case FormatoCampo::Destino:
            return v.isEmpty() || v == u"D" || v == u"P";
    }
    return false;
}

ResultadoDe<QStringList> separarCarga(const QString& carga) {
    const QVector<CampoCarga>& campos = camposCarga();
    const qsizetype nCampos = campos.size();
    if (!carga.endsWith(u'|'))
        return Resultado::fallo(
            QStringLiteral("los datos del solicitante están cortados: no terminan en «|»"));
    QStringList trozos = carga.split(u'|');
    trozos.removeLast();
    const qsizetype n = trozos.size();
    if (n < nCampos)
        return Resultado::fallo(
            QStringLiteral("los datos del solicitante tienen %1 campos y deben tener %2")
                .arg(n)
                .arg(nCampos));
    if (n == nCampos) return trozos;
    // El reparto cuesta el cuadrado de los trozos: con tantos separadores de más ya no hay nada
    // que separar con sentido.
    if (n > 2 * nCampos)
        return Resultado::fallo(
            QStringLiteral("los datos del solicitante tienen %1 separadores «|» y deben tener %2")
                .arg(n)
                .arg(nCampos));

    // Repartos de los trozos i.. entre los campos j.. (contados hasta 2: basta saber si es uno).
    // Un campo de forma fija no puede llevar "|" y toma un solo trozo; uno de texto, varios.
    QVector<QVector<int>> repartos(nCampos + 1, QVector<int>(n + 1, 0));
    repartos[nCampos][n] = 1;
    for (qsizetype j = nCampos - 1; j >= 0; --j)
        for (qsizetype i = n - 1; i >= 0; --i) {
            int cuenta = 0;
            const bool libre = campos[j].formato == FormatoCampo::Texto;
            const qsizetype hasta = libre ? n : i + 1;
            for (qsizetype k = i + 1; k <= hasta && cuenta < 2; ++k)
                if (libre || valorValido(campos[j].formato, trozos[i]))
                    cuenta += repartos[j + 1][k];
            repartos[j][i] = qMin(cuenta, 2);
        }
    if (repartos[0][0] != 1)
        return Resultado::fallo(
            repartos[0][0] == 0
                ? QStringLiteral("los datos del solicitante tienen %1 separadores «|» y deben "
                                 "tener %2")
                      .arg(n)
                      .arg(nCampos)
                : QStringLiteral("algún dato del solicitante lleva «|» y no se puede saber cuál "
                                 "(%1 separadores en vez de %2)")
                      .arg(n)
                      .arg(nCampos));
    QStringList valores;
    qsizetype i = 0;
    for (qsizetype j = 0; j < nCampos; ++j) {
        qsizetype k = i + 1;
        while (repartos[j + 1][k] == 0) ++k;
        valores.append(trozos.mid(i, k - i).join(u'|'));
        i = k;
    }
    return valores;
}

QStringList problemasCampos(const QStringList& valores) {
    QStringList problemas;
    const QVector<CampoCarga>& campos = camposCarga();
    for (qsizetype j = 0; j < campos.size() && j < valores.size(); ++j)
        if (!valorValido(campos[j].formato, valores[j]))
            problemas.append(QStringLiteral("el campo «%1» de los datos del solicitante tiene "
                                            "un valor imposible: «%2»")
                                 .arg(campos[j].descripcion, valores[j]));
    return problemas;
}
