#include "catalogue/GeneradorCatalogos.h"

#include "platform/FicheroAparte.h"

#include "catalogue/Decodificacion.h"
#include "catalogue/NombresInventados.h"
#include "global/ModGeneral.h"
#include "platform/Codificacion.h"

#include <QDir>
#include <QList>
#include <QSet>
#include <QStringList>

namespace {

struct Provincia {
    QString cod, nombre;
};
struct Area {
    QString cod, nombre;
    int provincia;
    QList<int> zonas, instituciones, localidades;
};
struct Zona {
    QString cod, nombre;
    int area;
};
struct Localidad {
    QString cod, nombre;
    int provincia, area, zona;
};
struct Institucion {
    QString cod, nombre;
    int area;
    QList<int> localidades;  // a las que atiende
};
struct Cuerpo {
    QString cod, desc, grupo;
};
struct Plaza {
    QString cod;
    int cuerpo, otroCuerpo, localidad, institucion;
};

struct Mundo {
    QList<Provincia> provincias, otrasProvincias;
    QList<Area> areas;
    QList<Zona> zonas;
    QList<Localidad> localidades;
    QList<Institucion> instituciones;
    QList<Cuerpo> cuerpos;
    QList<Plaza> plazas;  // todas; las Vacantes son las primeras, las Resultas las últimas
    int vacantes = 0, resultas = 0;
};

QString codigo(int n, int cifras) {
    return QString::number(n).rightJustified(cifras, u'0');
}

// Pone el valor en sus columnas (desde 1), rellenando con espacios lo que falte.
void poner(QString& linea, int inicio, int ancho, const QString& valor) {
    if (linea.size() < inicio - 1 + ancho) linea = linea.leftJustified(inicio - 1 + ancho, u' ');
    linea.replace(inicio - 1, ancho, valor.left(ancho).leftJustified(ancho, u' '));
}

QString recortar(const QString& texto, int ancho) {
    return texto.size() <= ancho ? texto : texto.left(ancho).trimmed();
}

void crearGeografia(Mundo& m, Azar& azar, bool grande) {
    const int numProvincias = grande ? 9 : 8;
    const int localidadesPorProvincia = grande ? 36 : 12;
    const int areasPorProvincia = grande ? 3 : 2;
    const int zonasPorArea = grande ? 3 : 4;
    const int institucionesPorArea = grande ? 3 : 3;

    QSet<QString> usados;
    for (int p = 0; p < numProvincias + 10; ++p) {
        const Provincia prov{codigo(11 + 3 * p, 2), nombreProvincia(azar, usados)};
        (p < numProvincias ? m.provincias : m.otrasProvincias).append(prov);
    }
    for (int p = 0; p < numProvincias; ++p) {
        QList<int> areasProvincia;
        for (int a = 0; a < areasPorProvincia; ++a) {
            areasProvincia.append(int(m.areas.size()));
            m.areas.append({codigo(m.areas.size() + 1, 2), QString(), p, {}, {}, {}});
        }
        for (int l = 0; l < localidadesPorProvincia; ++l) {
            const int area = areasProvincia.at(l % areasPorProvincia);
            m.areas[area].localidades.append(int(m.localidades.size()));
            m.localidades.append({codigo(100 + int(m.localidades.size()), 3),
                                  nombreLocalidad(azar, usados), p, area, -1});
        }
    }
    for (int a = 0; a < m.areas.size(); ++a) {
        Area& area = m.areas[a];
        const Localidad& cabecera = m.localidades.at(area.localidades.first());
        area.nombre = recortar(QStringLiteral("Área de Salud de ") + cabecera.nombre, 50);
        for (int z = 0; z < zonasPorArea; ++z) {
            const Localidad& sede = m.localidades.at(area.localidades.at(z));
            area.zonas.append(int(m.zonas.size()));
            m.zonas.append({codigo(m.zonas.size() + 1, 2),
                            recortar(QStringLiteral("Zona Básica de Salud ") + sede.nombre, 50),
                            a});
        }
        for (int i = 0; i < area.localidades.size(); ++i)
            m.localidades[area.localidades.at(i)].zona = area.zonas.at(i % zonasPorArea);
        for (int k = 0; k < institucionesPorArea; ++k) {
            Institucion inst{codigo(m.instituciones.size() + 1, 2), QString(), a, {}};
            inst.nombre =
                recortar(nombreInstitucion(k, m.localidades.at(area.localidades.at(k)).nombre), 50);
            // La primera atiende a toda el área; las demás, a una parte de sus localidades.
            for (int i = 0; i < area.localidades.size(); ++i)
                if (k == 0 || i % institucionesPorArea == k || i == k)
                    inst.localidades.append(area.localidades.at(i));
            area.instituciones.append(int(m.instituciones.size()));
            m.instituciones.append(inst);
        }
    }
}

void crearCuerpos(Mundo& m, Azar& azar, int numero) {
    const QList<Categoria> categorias = categoriasProfesionales();
    QSet<QString> usadas;
    int intentos = 0;
    while (m.cuerpos.size() < numero && intentos++ < numero * 50) {
        const Categoria& c = categorias.at(azar.entre(0, int(categorias.size()) - 1));
        const QString desc = c.nombre + QStringLiteral(" de ") + especialidad(azar);
        if (usadas.contains(desc)) continue;
        usadas.insert(desc);
        // Uno de cada doce cuerpos es del grupo "X", que nunca se ofrece.
        const QString grupo = azar.porMil(83) ? QStringLiteral("X") : c.grupo;
        m.cuerpos.append({codigo(10000 + 13 * int(m.cuerpos.size()), 5), desc, grupo});
    }
}

void crearPlazas(Mundo& m, Azar& azar, int porCatalogo) {
    const int total = porCatalogo + porCatalogo / 2;
    m.vacantes = porCatalogo;
    m.resultas = porCatalogo;
    for (int i = 0; i < total; ++i) {
        const int cuerpo = azar.entre(0, int(m.cuerpos.size()) - 1);
        int otro = -1;
        if (azar.porMil(50)) {
            otro = azar.entre(0, int(m.cuerpos.size()) - 1);
            if (m.cuerpos.at(otro).grupo != m.cuerpos.at(cuerpo).grupo || otro == cuerpo) otro = -1;
        }
        const int localidad = azar.entre(0, int(m.localidades.size()) - 1);
        const Area& area = m.areas.at(m.localidades.at(localidad).area);
        const int institucion =
            area.instituciones.at(azar.entre(0, int(area.instituciones.size()) - 1));
        m.plazas.append({codigo(i + 1, 5), cuerpo, otro, localidad, institucion});
    }
}

using Lineas = QStringList;

// Las Vacantes guardan el área con su código de dos caracteres y seis ceros; las Resultas, con el
// código tal cual (así las buscan y así se nombra su área al pedirlas).
enum class Catalogo { Vacantes, Resultas };

Lineas lineasPlazas(const Mundo& m, Catalogo catalogo, int desde, int cuantas) {
    Lineas lineas;
    for (int i = desde; i < desde + cuantas; ++i) {
        const Plaza& p = m.plazas.at(i);
        const Localidad& loc = m.localidades.at(p.localidad);
        const Institucion& inst = m.instituciones.at(p.institucion);
        QString l;
        poner(l, 1, 5, p.cod);
        poner(l, 6, 50, recortar(m.cuerpos.at(p.cuerpo).desc, 50));
        poner(l, 56, 50, inst.nombre);
        poner(l, 106, 53, loc.nombre);
        poner(l, 159, 2, inst.cod);
        poner(l, 161, 7, m.provincias.at(loc.provincia).cod + loc.cod);
        const QString& area = m.areas.at(loc.area).cod;
        poner(l, 168, 8, catalogo == Catalogo::Vacantes ? area + QStringLiteral("000000") : area);
        poner(l, 176, 8, m.zonas.at(loc.zona).cod);
        lineas.append(l);
    }
    return lineas;
}

Lineas lineasLista(const Mundo& m, Azar& azar, int desde, int cuantas, int huerfanasPorMil) {
    Lineas lineas;
    int huerfano = 99999;
    for (int i = desde; i < desde + cuantas; ++i) {
        if (!azar.porMil(600)) continue;
        if (huerfanasPorMil > 0 && azar.porMil(huerfanasPorMil))
            lineas.append(codigo(huerfano--, 5));
        else
            lineas.append(m.plazas.at(i).cod);
    }
    return lineas;
}

QList<Lineas> componerFicheros(const Mundo& m, Azar& azar, const TamanoCatalogos& t) {
    QList<Lineas> f(16);
    for (const auto* lista : {&m.provincias, &m.otrasProvincias})
        for (const Provincia& p : *lista) {
            QString l;
            poner(l, 1, 2, p.cod);
            poner(l, 3, 20, p.nombre);
            f[0].append(l);
            if (lista == &m.provincias) f[1].append(l);
        }
    for (const Localidad& loc : m.localidades)
        f[2].append(m.provincias.at(loc.provincia).cod + loc.cod + loc.nombre);
    for (const Cuerpo& c : m.cuerpos) f[3].append(c.grupo + c.cod + " " + c.desc);
    f[4] = Lineas{"A", "B", "C", "D", "E"};
    for (const Institucion& inst : m.instituciones) {
        QString l;
        poner(l, 1, 2, inst.cod);
        poner(l, 3, 50, inst.nombre);
        poner(l, 53, 8, m.areas.at(inst.area).cod);
        poner(l, 61, 2, m.provincias.at(m.areas.at(inst.area).provincia).cod);
        f[5].append(l);
    }
    for (const Plaza& p : m.plazas) {
        f[6].append(p.cod + m.cuerpos.at(p.cuerpo).grupo);
        f[7].append(p.cod + " " + m.cuerpos.at(p.cuerpo).cod);
        if (p.otroCuerpo >= 0) f[7].append(p.cod + " " + m.cuerpos.at(p.otroCuerpo).cod);
    }
    const int primeraResulta = int(m.plazas.size()) - m.resultas;
    f[8] = lineasPlazas(m, Catalogo::Vacantes, 0, m.vacantes);
    f[9] = lineasPlazas(m, Catalogo::Resultas, primeraResulta, m.resultas);
    f[10] = lineasLista(m, azar, 0, m.vacantes, t.listasHuerfanasPorMil);
    f[11] = lineasLista(m, azar, primeraResulta, m.resultas, t.listasHuerfanasPorMil);
    for (const Zona& z : m.zonas)
        // Los nombres de las zonas se guardan en la página OEM.
        f[12].append(m.areas.at(z.area).cod + z.cod + AnsiAOem(z.nombre));
    for (const Area& a : m.areas) {
        // Un mismo fichero para dos lecturas: código, provincia, cuatro blancos, nombre (9-58)
        // y otra vez la provincia (59-60).
        const QString prov = m.provincias.at(a.provincia).cod;
        QString l;
        poner(l, 1, 2, a.cod);
        poner(l, 3, 2, prov);
        poner(l, 9, 50, a.nombre);
        poner(l, 59, 2, prov);
        f[13].append(l);
    }
    f[14] = situaciones();
    for (const Institucion& inst : m.instituciones)
        for (int loc : inst.localidades) f[15].append(inst.cod + m.localidades.at(loc).cod);
    return f;
}

Resultado escribir(const QString& ruta, const Lineas& lineas, const QString& fichero) {
    QByteArray claro;
    for (const QString& l : lineas) {
        if (!Codificacion::cabeEnWindows1252(l))
            return Resultado::fallo(
                QStringLiteral("%1: la línea «%2» no cabe en Windows-1252").arg(fichero, l),
                Errores::ArgumentoIncorrecto);
        claro += Codificacion::aWindows1252(l);
        claro += "\r\n";
    }
    const auto cifrado = cifrarContenido(claro, fichero);
    if (!cifrado) return cifrado.estado();
    return escribirReemplazando(ruta, cifrado.valor());
}

}  // namespace

TamanoCatalogos tamanoPequeno() {
    return {1500, 40, 0};
}

TamanoCatalogos tamanoGrande() {
    return {20000, 500, 2};
}

ResultadoDe<TamanoCatalogos> interpretarTamano(const QString& texto) {
    if (texto == QStringLiteral("pequeno") || texto == QStringLiteral("pequeño"))
        return tamanoPequeno();
    if (texto == QStringLiteral("grande")) return tamanoGrande();
    bool ok = false;
    const int n = texto.toInt(&ok);
    if (!ok || n < 10 || n > 60000)
        return Resultado::fallo(
            QStringLiteral("Tamaño no válido: «%1». Use pequeno, grande o un número de plazas "
                           "entre 10 y 60000.")
                .arg(texto),
            Errores::ArgumentoIncorrecto);
    return TamanoCatalogos{n, qBound(12, n / 40, 600), n >= 10000 ? 2 : 0};
}

Resultado generarCatalogos(const QString& carpeta, const TamanoCatalogos& tamano) {
    if (!QDir().mkpath(carpeta))
        return Resultado::fallo(QStringLiteral("No se puede crear la carpeta %1").arg(carpeta),
                                Errores::ErrorEntradaSalida);
    Azar azar(20261207);
    Mundo m;
    crearGeografia(m, azar, tamano.plazas >= 10000);
    crearCuerpos(m, azar, tamano.cuerpos);
    crearPlazas(m, azar, tamano.plazas);
    const QList<Lineas> ficheros = componerFicheros(m, azar, tamano);
    const QDir dir(carpeta);
    for (int i = 0; i < ficheros.size(); ++i) {
        const QString nombre = QStringLiteral("F%1.enc").arg(i + 1, 4, 10, QChar(u'0'));
        if (Resultado r = escribir(dir.filePath(nombre), ficheros.at(i), nombre); !r) return r;
    }
    return Resultado::correcto();
}
