#include "storage/ListasXml.h"

#include "platform/DocumentoXml.h"
#include "platform/FicheroAparte.h"
#include "startup/Configuracion.h"
#include "storage/SolicitudesGuardadas.h"

#include <QFile>
#include <QFileInfo>
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

// Mayor orden o identificador que el programa puede dar: muy por encima de cualquier lista real y
// muy por debajo del límite de los enteros, de modo que sumarle uno nunca desborda.
constexpr double kMayorOrdenOId = 1e9;

bool esOrdenOId(const QString& campo) {
    for (const char* c : {"Orden", "IdSolicitud", "IdCurso", "IdDocumento"})
        if (campo == QLatin1String(c)) return true;
    return false;
}

// Lee los registros de una lista, en el orden del fichero, a la tabla.
Resultado leerLista(const DocumentoXml& doc, const char* nombre, const char* elemento,
                    const PTabla& tabla) {
    if (!tabla) return Resultado::correcto();
    const pugi::xml_node lista = doc.seleccionarNodo(QStringLiteral("//") + nombre);
    int numero = 0;
    for (pugi::xml_node registro = lista.first_child(); registro;
         registro = registro.next_sibling()) {
        if (registro.type() != pugi::node_element) continue;
        ++numero;
        if (qstrcmp(registro.name(), elemento) != 0)
            return Resultado::fallo(
                QStringLiteral("En la lista %1 del fichero de listas, el elemento %2 no es un %3")
                    .arg(QLatin1String(nombre))
                    .arg(numero)
                    .arg(QLatin1String(elemento)),
                Errores::ErrorEntradaSalida);
        std::vector<QVariant> valores;
        for (const Campo& c : tabla->campos()) {
            const pugi::xml_node nodo = registro.child(c.nombre.toUtf8().constData());
            if (!nodo)
                return Resultado::fallo(
                    QStringLiteral("En la lista %1 del fichero de listas, al registro %2 le "
                                   "falta el elemento %3")
                        .arg(QLatin1String(nombre))
                        .arg(numero)
                        .arg(c.nombre),
                    Errores::ErrorEntradaSalida);
            const QString texto = DocumentoXml::textoNodo(nodo);
            bool esNumero = false;
            const double cifra = texto.trimmed().toDouble(&esNumero);
            if (esNumero && esOrdenOId(c.nombre) && !(cifra >= 0 && cifra <= kMayorOrdenOId))
                return Resultado::fallo(
                    QStringLiteral("En la lista %1 del fichero de listas, el registro %2 tiene un "
                                   "%3 imposible: %4")
                        .arg(QLatin1String(nombre))
                        .arg(numero)
                        .arg(c.nombre, texto),
                    Errores::ErrorEntradaSalida);
            valores.push_back(texto.isEmpty() ? valorVacio(c) : QVariant(texto));
        }
        if (Resultado r = tabla->anadirRegistro(std::move(valores)); !r)
            return Resultado::fallo(QStringLiteral("En la lista %1 del fichero de listas, el "
                                                   "registro %2 no vale: %3")
                                        .arg(QLatin1String(nombre))
                                        .arg(numero)
                                        .arg(r.mensaje()),
                                    Errores::ErrorEntradaSalida);
    }
    return Resultado::correcto();
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
                             const PTabla& cursos, const PTabla& documentos) {
    const QString texto = TextoListasXML(vacantes, resultas, cursos, documentos);
    // El texto que no se pudo guardar, por lo que fuera, para quien tenga que ver por qué.
    const auto trazar = [&texto] {
        escribirReemplazando(carpetaAplicacion() + QLatin1Char('/') + kFicheroTraza,
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
                                         const PTabla& cursos, const PTabla& documentos) {
    const QString ruta = carpeta + nombreFichero;
    if (!QFileInfo::exists(ruta)) return LecturaListas::NoExiste;
    DocumentoXml doc;
    if (!doc.cargarFichero(ruta)) return LecturaListas::MalFormado;
    const struct {
        const char* nombre;
        const char* elemento;
        const PTabla& tabla;
    } listas[] = {{"Vacantes", "Plaza", vacantes},
                  {"Resultas", "Plaza", resultas},
                  {"Cursos", "CursoRealizado", cursos},
                  {"Documentos", "Doc", documentos}};
    for (const auto& l : listas)
        if (Resultado r = leerLista(doc, l.nombre, l.elemento, l.tabla); !r) return r;
    return LecturaListas::Leidas;
}
