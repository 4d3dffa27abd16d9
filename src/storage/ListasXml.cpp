#include "storage/ListasXml.h"

#include "global/Configuracion.h"
#include "platform/DocumentoXml.h"
#include "platform/FicheroAparte.h"
#include "storage/SolicitudesGuardadas.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <limits>
#include <span>

namespace {

const char* const kCamposPlaza[] = {
    "CodConvocatoria", "NomConvocatoria", "Orden",   "Localidad", "Consejeria",
    "IdSolicitud",     "CodArea",         "CodZona", "Area",      "Zona"};
const char* const kCamposCurso[] = {"Curso", "NHoras", "Ano", "Centro", "IdCurso"};
const char* const kCamposDoc[] = {"Documento", "IdDocumento", "Horas", "Fecha", "Centro"};

QString escapar(const QString& valor) {
    QString r;
    r.reserve(valor.size());
    for (const QChar c : valor) {
        switch (c.unicode()) {
            case '<':
                r += QLatin1String("&lt;");
                break;
            case '>':
                r += QLatin1String("&gt;");
                break;
            case '&':
                r += QLatin1String("&amp;");
                break;
            case '"':
                r += QLatin1String("&quot;");
                break;
            case '\'':
                r += QLatin1String("&apos;");
                break;
            default:
                // XML 1.0 no admite los caracteres de control (salvo tabulador y saltos).
                if (c.unicode() < 0x20 && c != u'\t' && c != u'\n' && c != u'\r') break;
                r += c;
        }
    }
    return r;
}

// Un elemento por cada campo de la fila; `sinAmpersand`, los campos cuyo "&" va como blanco.
using Campos = std::span<const char* const>;

void anadirFila(QString& texto, const PTabla& t, int fila, const char* elemento, Campos campos,
                Campos sinAmpersand) {
    texto += QLatin1Char('<') + QLatin1String(elemento) + QLatin1Char('>');
    for (const char* campo : campos) {
        const QVariant& v = t->valorEnFila(fila, t->indiceCampo(QLatin1String(campo)));
        QString valor = v.isNull() ? QString() : v.toString();
        for (const char* s : sinAmpersand)
            if (qstrcmp(s, campo) == 0) valor.replace(QLatin1Char('&'), QLatin1Char(' '));
        texto += QLatin1Char('<') + QLatin1String(campo) + QLatin1Char('>') + escapar(valor) +
                 QLatin1String("</") + QLatin1String(campo) + QLatin1Char('>');
    }
    texto += QLatin1String("</") + QLatin1String(elemento) + QLatin1Char('>');
}

void anadirLista(QString& texto, const char* nombre, const PTabla& t, const char* elemento,
                 Campos campos, Campos sinAmpersand = {}) {
    texto += QLatin1Char('<') + QLatin1String(nombre) + QLatin1Char('>');
    const int n = t ? t->numeroRegistros() : 0;
    for (int f = 0; f < n; ++f) anadirFila(texto, t, f, elemento, campos, sinAmpersand);
    texto += QLatin1String("</") + QLatin1String(nombre) + QLatin1Char('>');
}

// Los órdenes y los identificadores que el programa da van de 1 (0 en algún identificador) en
// uno por fila; uno fuera de 32 bits no lo ha escrito él, y con él el siguiente orden o
// identificador (el mayor + 1) se desbordaría y la plaza nueva iría la primera.
constexpr qint64 kMaximoNumeros = std::numeric_limits<qint32>::max();

struct Rango {
    const char* campo;
    qint64 minimo;
};
constexpr Rango kRangos[] = {{"Orden", 1}, {"IdSolicitud", 0}, {"IdCurso", 0}, {"IdDocumento", 0}};

// Por qué el valor no cabe en lo que el programa escribe en ese campo; vacío si cabe (o si no es
// un número: eso lo dice la tabla).
QString fueraDeRango(const QString& campo, const QString& texto) {
    for (const Rango& r : kRangos) {
        if (campo != QLatin1String(r.campo)) continue;
        const QString t = texto.trimmed();
        if (t.isEmpty()) return {};
        bool entero = false;
        const qint64 v = t.toLongLong(&entero);
        if (entero && v >= r.minimo && v <= kMaximoNumeros) return {};
        // Lo que no es un número lo dice la tabla; uno que ni cabe en 64 bits está fuera.
        bool numero = entero;
        if (!entero) t.toDouble(&numero);
        if (!numero) return {};
        return QStringLiteral("el valor %1 de %2 no está entre %3 y %4")
            .arg(texto.trimmed(), campo)
            .arg(r.minimo)
            .arg(kMaximoNumeros);
    }
    return {};
}

// Lee los registros de una lista, en el orden del fichero, a la tabla. Un registro que no se
// puede leer no para la lectura: se leen todos los demás y se anota cuál falló.
void leerLista(const DocumentoXml& doc, const char* nombre, const char* elemento,
               const PTabla& tabla, QStringList& fallos) {
    if (!tabla) return;
    const pugi::xml_node lista = doc.seleccionarNodo(QStringLiteral("//") + nombre);
    int numero = 0;
    const auto fallo = [&](const QString& texto) {
        fallos << QStringLiteral("en la lista %1, el registro %2 %3")
                      .arg(QLatin1String(nombre))
                      .arg(numero)
                      .arg(texto);
    };
    for (pugi::xml_node registro = lista.first_child(); registro;
         registro = registro.next_sibling()) {
        if (registro.type() != pugi::node_element) continue;
        ++numero;
        if (qstrcmp(registro.name(), elemento) != 0) {
            fallo(QStringLiteral("no es un %1").arg(QLatin1String(elemento)));
            continue;
        }
        std::vector<QVariant> valores;
        QString problema;
        for (const Campo& c : tabla->campos()) {
            const pugi::xml_node nodo = registro.child(c.nombre.toUtf8().constData());
            if (!nodo) {
                problema = QStringLiteral("no tiene el elemento %1").arg(c.nombre);
                break;
            }
            const QString texto = DocumentoXml::textoNodo(nodo);
            problema = fueraDeRango(c.nombre, texto);
            if (!problema.isEmpty()) break;
            valores.push_back(texto.isEmpty() ? valorVacio(c) : QVariant(texto));
        }
        if (problema.isEmpty())
            if (Resultado r = tabla->anadirRegistro(std::move(valores)); !r)
                problema = QStringLiteral("no vale: %1").arg(r.mensaje());
        if (!problema.isEmpty()) fallo(problema);
    }
}

}  // namespace

QString TextoListasXML(const PTabla& vacantes, const PTabla& resultas, const PTabla& cursos,
                       const PTabla& documentos) {
    QString texto = QStringLiteral("<?xml version=\"1.0\" encoding=\"iso-8859-1\"?><Plazas>");
    static const char* const kSinAmpersandCurso[] = {"Curso", "Centro"};
    static const char* const kSinAmpersandDoc[] = {"Documento"};
    anadirLista(texto, "Vacantes", vacantes, "Plaza", kCamposPlaza);
    anadirLista(texto, "Resultas", resultas, "Plaza", kCamposPlaza);
    anadirLista(texto, "Cursos", cursos, "CursoRealizado", kCamposCurso, kSinAmpersandCurso);
    anadirLista(texto, "Documentos", documentos, "Doc", kCamposDoc, kSinAmpersandDoc);
    return texto + QStringLiteral("</Plazas>");
}

Resultado GuardarListasXML(const QString& nombreDocumento, const QString& carpeta,
                           const PTabla& vacantes, const PTabla& resultas, const PTabla& cursos,
                           const PTabla& documentos) {
    return GuardarListasXMLEn(carpeta + NombreFicheroListas(nombreDocumento), vacantes, resultas,
                              cursos, documentos);
}

Resultado GuardarListasXMLEn(const QString& ruta, const PTabla& vacantes, const PTabla& resultas,
                             const PTabla& cursos, const PTabla& documentos, const QString& sello) {
    QString texto = TextoListasXML(vacantes, resultas, cursos, documentos);
    if (!sello.isEmpty())
        texto.replace(QStringLiteral("<Plazas>"),
                      QStringLiteral("<Plazas sello=\"%1\">").arg(escapar(sello)));
    // El texto que no se pudo guardar, por lo que fuera, para quien tenga que ver por qué.
    const auto trazar = [&texto] {
        escribirReemplazando(carpetaDatos() + QLatin1Char('/') + kFicheroTraza,
                             texto.toUtf8() + "\r\n");
    };
    DocumentoXml doc;
    if (!doc.cargarTexto(texto)) {
        trazar();
        return Resultado::fallo(QStringLiteral("Formato erróneo de XML"),
                                Errores::ErrorEntradaSalida);
    }
    Resultado r = doc.guardar(ruta);
    if (!r) trazar();
    return r;
}

ResultadoDe<LecturaListas> LeerListasXML(const QString& carpeta, const QString& nombreFichero,
                                         const PTabla& resultas, const PTabla& vacantes,
                                         const PTabla& cursos, const PTabla& documentos,
                                         QString* sello) {
    const QString ruta = carpeta + nombreFichero;
    if (!QFileInfo::exists(ruta)) return LecturaListas::NoExiste;
    const auto bytes = leerFicheroNormal(ruta, kMaxFicheroXml);
    if (!bytes) return bytes.estado();
    DocumentoXml doc;
    if (!doc.cargarBytes(bytes.valor())) return LecturaListas::MalFormado;
    // Otro XML cualquiera daría cuatro listas vacías, como si lo fuera.
    if (qstrcmp(doc.doc().document_element().name(), "Plazas") != 0)
        return LecturaListas::NoEsDeListas;
    if (sello) *sello = QString::fromUtf8(doc.doc().document_element().attribute("sello").value());
    const struct {
        const char* nombre;
        const char* elemento;
        const PTabla& tabla;
    } listas[] = {{"Vacantes", "Plaza", vacantes},
                  {"Resultas", "Plaza", resultas},
                  {"Cursos", "CursoRealizado", cursos},
                  {"Documentos", "Doc", documentos}};
    QStringList fallos;
    for (const auto& l : listas) leerLista(doc, l.nombre, l.elemento, l.tabla, fallos);
    if (fallos.isEmpty()) return LecturaListas::Leidas;
    // Los primeros bastan para saber qué pasa; los demás se cuentan.
    QStringList dichos = fallos.mid(0, 5);
    if (fallos.size() > dichos.size())
        dichos << QStringLiteral("y %1 registros más").arg(fallos.size() - dichos.size());
    return Resultado::fallo(QStringLiteral("no se ha podido leer %1 registro%2 (%3); los demás "
                                           "se han leído")
                                .arg(fallos.size())
                                .arg(fallos.size() == 1 ? QString() : QStringLiteral("s"))
                                .arg(dichos.join(QStringLiteral("; "))),
                            Errores::ErrorEntradaSalida);
}
