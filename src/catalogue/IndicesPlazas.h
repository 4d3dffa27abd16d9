#pragma once

#include "global/Globales.h"
#include "platform/Progreso.h"
#include "platform/Resultado.h"
#include "platform/Tabla.h"

#include <QHash>
#include <QString>
#include <QVector>
#include <memory>
#include <vector>

// Las dos formas de copiar las plazas enlazadas: por cuerpo (con Area) y por grupo (sin Area,
// y con Localidad antes que Consejeria).
enum class VarianteEnlace { PorCuerpo, PorGrupo };

// Clave con la que "Campo = 'valor'" de los filtros y búsquedas da igual: sin distinguir
// mayúsculas de minúsculas.
QString claveIgualdad(const QString& texto);

// Búsqueda por código de una tabla de plazas: para cada CodConvocatoria, la primera fila en el
// orden de la tabla sin filtro, que es la que encontraría una búsqueda hacia delante desde el
// principio. Al construirse quita el filtro de la tabla, como hace la copia enlazada.
class IndiceConvocatorias {
public:
    // La clave de un código: los de solo cifras (casi todos) como número con su longitud, porque
    // los ceros de delante cuentan; se buscan sin comparar textos. Los demás, plegados con
    // claveIgualdad. Ningún texto con letras se pliega en solo cifras, así que no se mezclan.
    struct Clave {
        qint64 numero = -1;
        QString texto;
        static Clave de(const QString& codigo);
    };

    explicit IndiceConvocatorias(Tabla& origen);
    // Deja el origen como lo deja construir el índice (sin filtro y en el primer registro), para
    // volver a usar un índice ya hecho.
    void prepararOrigen() const;
    Tabla& origen() const { return *m_origen; }
    int fila(const QString& codigo) const { return filaPorClave(Clave::de(codigo)); }
    int filaPorClave(const Clave& clave) const {
        return clave.numero >= 0 ? filaPorNumero(clave.numero) : m_textos.value(clave.texto, -1);
    }

private:
    // Las claves numéricas van en una tabla abierta (sondeo lineal, tamaño potencia de dos y al
    // menos vez y media las claves): cada búsqueda suele mirar un hueco o dos, contiguos.
    struct Hueco {
        qint64 numero = -1;  // -1: libre
        int fila = -1;
    };
    static size_t mezclar(qint64 numero) {
        return size_t((quint64(numero) * 0x9E3779B97F4A7C15ull) >> 20);
    }
    int filaPorNumero(qint64 numero) const {
        if (m_huecos.empty()) return -1;
        for (size_t i = mezclar(numero) & m_mascara;; i = (i + 1) & m_mascara) {
            const Hueco& h = m_huecos[i];
            if (h.numero == numero) return h.fila;
            if (h.numero < 0) return -1;
        }
    }
    // Pone la fila si el número no estaba: gana la primera.
    void ponerNumero(qint64 numero, int fila);

    Tabla* m_origen;
    std::vector<Hueco> m_huecos;
    size_t m_mascara = 0;
    QHash<QString, int> m_textos;
};

// Añade a `destino` una plaza por cada enlace (desde la posición actual de `enlaces` hasta el
// final) cuya plaza existe en el origen. Los enlaces a plazas que no existen se saltan.
Resultado CopiarPlazasEnlazadas(Tabla& enlaces, Tabla& destino, const IndiceConvocatorias& origen,
                                VarianteEnlace variante);
// Lo mismo con los códigos de plaza ya sacados de la tabla de enlaces, en su orden.
Resultado copiarPlazas(const QVector<QString>& codigos, Tabla& destino,
                       const IndiceConvocatorias& origen, VarianteEnlace variante);

// Construyen los índices con las tablas globales de enlaces y de plazas. Avanzan el progreso
// `paso` cuatro veces por cuerpo ofrecido y una por grupo. Dos huecos por cuerpo: primero el de
// las plazas del catálogo y luego el de las listas; los cuerpos del grupo "X" no ocupan hueco y
// los suyos quedan vacíos al final.
//
// Los dos usan los índices por código de las listas (rsPlazasListaR y rsPlazasListaV): con
// `listas`, el de por cuerpo los deja ahí y el de por grupo los toma de ahí si ya están, en vez de
// volver a construirlos. Las listas no pueden cambiar entre uno y otro.
struct IndicesListas {
    // Las tablas de las que se hicieron, que siguen vivas mientras se guarden sus índices.
    PTabla listaR, listaV;
    std::shared_ptr<const IndiceConvocatorias> resultas, vacantes;
};
Resultado IndexarPlazasPorCuerpo(Tabla& rsCuerpos, QVector<PlazasCuerpo>& indice,
                                 ObservadorProgreso* progreso, int paso,
                                 IndicesListas* listas = nullptr);
Resultado IndexarPlazasPorGrupo(Tabla& rsGrupos, QVector<PlazasGrupo>& indice,
                                ObservadorProgreso* progreso, int paso,
                                IndicesListas* listas = nullptr);

// Entrada del formulario para un cuerpo: la primera con ese código (exacto) tomada del catálogo.
// -1 si no hay ninguna.
int buscarPlazasCuerpo(const QVector<PlazasCuerpo>& indice, const QString& codCuerpo);

// Textos de filtro de los enlaces, tal como se usan siempre.
QString filtroEnlacesCuerpo(const QString& codCuerpo);
QString filtroEnlacesGrupo(const QString& grupo);
