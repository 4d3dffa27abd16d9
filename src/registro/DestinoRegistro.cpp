#include "registro/DestinoRegistro.h"

#include <QUrl>

namespace {

QString decodificar(const QString& parte) {
    return QUrl::fromPercentEncoding(parte.toUtf8());
}

Resultado uriIncorrecta(const QString& descripcion, const QString& causa) {
    return Resultado::fallo(
        QStringLiteral("La dirección del registro «%1» no vale: %2.").arg(descripcion, causa),
        Errores::ArgumentoIncorrecto);
}

// La URI tal como se puede enseñar: cada clave cambiada por asteriscos, la de delante del «@» y
// la del parámetro «password», escriba como se escriba su nombre. Lo que hay entre el usuario y
// el último «@» antes de la consulta se tapa entero: una clave con una «/» sin codificar no se
// enseña aunque la dirección no valga.
QString sinClaves(const QString& uri, qsizetype inicio) {
    const qsizetype interrogacion = uri.indexOf(u'?', inicio);
    QString delante = interrogacion < 0 ? uri : uri.left(interrogacion);
    const qsizetype arroba = delante.lastIndexOf(u'@');
    if (const qsizetype dosPuntos = delante.indexOf(u':', inicio);
        arroba >= inicio && dosPuntos >= 0 && dosPuntos < arroba)
        delante = delante.left(dosPuntos + 1) + QStringLiteral("***") + delante.mid(arroba);
    if (interrogacion < 0) return delante;
    QStringList parametros = uri.mid(interrogacion + 1).split(u'&');
    for (QString& par : parametros) {
        const qsizetype igual = par.indexOf(u'=');
        if (igual > 0 && decodificar(par.left(igual))
                                 .trimmed()
                                 .compare(QLatin1String("password"), Qt::CaseInsensitive) == 0)
            par = par.left(igual + 1) + QStringLiteral("***");
    }
    return delante + u'?' + parametros.join(u'&');
}

ResultadoDe<DestinoRegistro> postgresql(const QString& uri, qsizetype inicio) {
    DestinoRegistro d;
    d.controlador = QStringLiteral("QPSQL");
    QString resto = uri.mid(inicio);
    QString consulta;
    if (const qsizetype q = resto.indexOf(u'?'); q >= 0) {
        consulta = resto.mid(q + 1);
        resto.truncate(q);
    }
    const qsizetype barra = resto.indexOf(u'/');
    QString autoridad = barra < 0 ? resto : resto.left(barra);
    d.descripcion = sinClaves(uri, inicio);
    // Como en las herramientas de PostgreSQL, el usuario y la clave acaban en la primera «/»: una
    // clave con una «/» sin codificar se tomaría por el servidor y el puerto, y se enseñaría.
    if (!autoridad.contains(u'@') && barra >= 0 && resto.indexOf(u'@', barra) >= 0)
        return uriIncorrecta(d.descripcion,
                             QStringLiteral("una «/» del usuario o de la clave se escribe «%2F»"));
    d.base = barra < 0 ? QString() : decodificar(resto.mid(barra + 1));
    const qsizetype arroba = autoridad.lastIndexOf(u'@');
    if (arroba >= 0) {
        const QString usuario = autoridad.left(arroba);
        const qsizetype dp = usuario.indexOf(u':');
        d.usuario = decodificar(dp < 0 ? usuario : usuario.left(dp));
        if (dp >= 0) d.clave = decodificar(usuario.mid(dp + 1));
        autoridad = autoridad.mid(arroba + 1);
    }
    // Servidor y puerto; una dirección IPv6 va entre corchetes.
    QString puerto;
    if (autoridad.startsWith(u'[')) {
        const qsizetype cierre = autoridad.indexOf(u']');
        if (cierre < 0) return uriIncorrecta(d.descripcion, QStringLiteral("falta el «]»"));
        d.servidor = autoridad.mid(1, cierre - 1);
        if (autoridad.mid(cierre + 1).startsWith(u':')) puerto = autoridad.mid(cierre + 2);
    } else if (const qsizetype dp = autoridad.lastIndexOf(u':'); dp >= 0) {
        d.servidor = decodificar(autoridad.left(dp));
        puerto = autoridad.mid(dp + 1);
    } else {
        d.servidor = decodificar(autoridad);
    }
    QStringList opciones;
    for (const QString& par : consulta.split(u'&', Qt::SkipEmptyParts)) {
        const qsizetype igual = par.indexOf(u'=');
        if (igual <= 0)
            return uriIncorrecta(d.descripcion,
                                 QStringLiteral("el parámetro «%1» no tiene la forma nombre=valor")
                                     .arg(decodificar(par)));
        const QString nombre = decodificar(par.left(igual));
        const QString valor = decodificar(par.mid(igual + 1));
        if (nombre == u"host")
            d.servidor = valor;
        else if (nombre == u"port")
            puerto = valor;
        else if (nombre == u"user")
            d.usuario = valor;
        else if (nombre == u"password")
            d.clave = valor;
        else if (nombre == u"dbname")
            d.base = valor;
        else if (valor.contains(u';') || nombre.contains(u';'))
            return uriIncorrecta(d.descripcion,
                                 QStringLiteral("el parámetro «%1» lleva un «;»").arg(nombre));
        else
            opciones.append(nombre + u'=' + valor);
    }
    if (!puerto.isEmpty()) {
        bool ok = false;
        d.puerto = puerto.toInt(&ok);
        if (!ok || d.puerto < 1 || d.puerto > 65535)
            return uriIncorrecta(
                d.descripcion,
                QStringLiteral("el puerto debe ser un número de 1 a 65535, no «%1»").arg(puerto));
    }
    d.opciones = opciones.join(u';');
    return d;
}

}  // namespace

ResultadoDe<DestinoRegistro> interpretarDestinoRegistro(const QString& texto) {
    for (const QString& esquema : {QStringLiteral("postgresql://"), QStringLiteral("postgres://")})
        if (texto.startsWith(esquema, Qt::CaseInsensitive))
            return postgresql(texto, esquema.size());
    if (texto.isEmpty())
        return Resultado::fallo(QStringLiteral("Falta el fichero o la dirección del registro."),
                                Errores::ArgumentoIncorrecto);
    DestinoRegistro d;
    d.controlador = QStringLiteral("QSQLITE");
    d.base = texto;
    d.descripcion = texto;
    return d;
}
