#include "printing/DocumentoWord.h"

#include "printing/NucleoDocumento.h"
#include "printing/XmlWord.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <vector>

using namespace xmlword;

namespace {

constexpr unsigned kAnalisis =
    pugi::parse_default | pugi::parse_declaration | pugi::parse_ws_pcdata_single;
const char* const kTipoDocumento =
    "application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml";
const char* const kParteRelaciones = "word/_rels/document.xml.rels";

int g_versionSimulada = 0;

bool analizar(pugi::xml_document& doc, const QByteArray& datos) {
    return doc.load_buffer(datos.constData(), size_t(datos.size()), kAnalisis, pugi::encoding_utf8);
}

Resultado noExiste(const QString& que, const QString& nombre) {
    return Resultado::fallo(QStringLiteral("El documento no tiene %1 \"%2\".").arg(que, nombre),
                            5941);
}

// Datos de un campo de formulario: el run que lo abre, el que separa código y resultado (puede
// faltar) y el que lo cierra, todos hermanos dentro de un párrafo.
struct Campo {
    pugi::xml_node ffData, inicio, separador, fin;
};

Campo buscarCampo(const pugi::xml_node& cuerpo, const QString& nombre) {
    Campo c;
    for (auto x : cuerpo.select_nodes(".//w:ffData/w:name")) {
        if (QString::fromUtf8(x.node().attribute("w:val").value())
                .compare(nombre, Qt::CaseInsensitive) == 0) {
            c.ffData = x.node().parent();
            break;
        }
    }
    if (!c.ffData) return c;
    c.inicio = c.ffData.parent().parent();  // w:ffData -> w:fldChar -> w:r
    int profundidad = 0;
    for (auto r = c.inicio.next_sibling(); r; r = r.next_sibling()) {
        const auto fc = r.child("w:fldChar");
        if (!fc) continue;
        const QString tipo = val(fc, "w:fldCharType");
        if (tipo == QLatin1String("begin")) {
            ++profundidad;
        } else if (tipo == QLatin1String("separate") && profundidad == 0) {
            c.separador = r;
        } else if (tipo == QLatin1String("end")) {
            if (profundidad == 0) {
                c.fin = r;
                break;
            }
            --profundidad;
        }
    }
    return c;
}

bool esVerdadero(const pugi::xml_node& n) {
    const auto a = n.attribute("w:val");
    if (!a) return true;
    const QString v = QString::fromUtf8(a.value());
    return v != QLatin1String("0") && v != QLatin1String("false") && v != QLatin1String("off");
}

}  // namespace

// ---------------------------------------------------------------------------------------------

int DocumentoWord::version() {
    return g_versionSimulada > 0 ? g_versionSimulada : 16;
}
void DocumentoWord::simularVersion(int version) {
    g_versionSimulada = version;
}

bool esVersionAntigua(const QString& versionWord) {
    // Se lee como número las cifras del principio; lo que no empieza por cifra vale 0 y, como
    // no pasa de 8, también va por la variante antigua.
    const QString t = versionWord.trimmed();
    qsizetype n = 0;
    while (n < t.size() && t[n].isDigit() && n < 9) ++n;
    return t.left(n).toInt() <= 8;
}

int VersionDeWord() {
    return DocumentoWord::version();
}

DocumentoWord::DocumentoWord() : d(std::make_unique<NucleoDocumento>()) {}
DocumentoWord::DocumentoWord(DocumentoWord&&) noexcept = default;
DocumentoWord& DocumentoWord::operator=(DocumentoWord&&) noexcept = default;
DocumentoWord::~DocumentoWord() = default;

ResultadoDe<DocumentoWord> DocumentoWord::nuevoDesdePlantilla(const QString& rutaPlantilla) {
    auto paquete = PaqueteDocx::leer(rutaPlantilla);
    if (!paquete) return paquete.estado();
    DocumentoWord doc;
    NucleoDocumento& n = *doc.d;
    n.paquete = std::move(paquete.valor());
    const auto malo = [&rutaPlantilla](const char* parte) {
        return Resultado::fallo(QStringLiteral("La plantilla \"%1\" está dañada (%2).")
                                    .arg(rutaPlantilla, QString::fromUtf8(parte)),
                                Errores::ErrorEntradaSalida);
    };
    if (!analizar(n.documento, n.paquete.parte(QStringLiteral("word/document.xml"))) || !n.cuerpo())
        return malo("word/document.xml");
    if (!analizar(n.tipos, n.paquete.parte(QStringLiteral("[Content_Types].xml"))))
        return malo("[Content_Types].xml");
    const QString rels = QString::fromLatin1(kParteRelaciones);
    if (n.paquete.contiene(rels)) {
        if (!analizar(n.relaciones, n.paquete.parte(rels))) return malo(kParteRelaciones);
    } else {
        auto raiz = n.relaciones.append_child("Relationships");
        raiz.append_attribute("xmlns") =
            "http://schemas.openxmlformats.org/package/2006/relationships";
    }
    // La parte principal deja de ser una plantilla.
    for (auto o : n.tipos.document_element().children("Override")) {
        if (std::strcmp(o.attribute("PartName").value(), "/word/document.xml") != 0) continue;
        const QString tipo = QString::fromUtf8(o.attribute("ContentType").value());
        if (tipo.contains(QLatin1String("template"), Qt::CaseInsensitive))
            o.attribute("ContentType").set_value(kTipoDocumento);
    }
    // Imágenes y dibujos nuevos no deben chocar con los que ya traiga la plantilla.
    for (const QString& nombre : n.paquete.nombres())
        if (nombre.startsWith(QLatin1String("word/media/"))) ++n.siguienteImagen;
    // Un identificador fuera del rango de los que se pueden seguir contando no se tiene en cuenta.
    for (auto x : n.documento.select_nodes("//wp:docPr")) {
        const long long id = x.node().attribute("id").as_llong(0);
        if (id >= 0 && id < std::numeric_limits<int>::max() - 1000000)
            n.siguienteDibujo = std::max(n.siguienteDibujo, int(id) + 1);
    }
    return doc;
}

Resultado DocumentoWord::guardarComo(const QString& ruta) {
    d->paquete.ponerParte(QStringLiteral("word/document.xml"), serializar(d->documento));
    d->paquete.ponerParte(QStringLiteral("[Content_Types].xml"), serializar(d->tipos));
    d->paquete.ponerParte(QString::fromLatin1(kParteRelaciones), serializar(d->relaciones));
    auto r = d->paquete.escribir(ruta);
    if (r) d->ruta = ruta;
    return r;
}

Resultado DocumentoWord::guardar() {
    if (d->ruta.isEmpty())
        return Resultado::fallo(QStringLiteral("El documento todavía no tiene nombre de fichero."),
                                Errores::NombreFicheroIncorrecto);
    return guardarComo(d->ruta);
}

QString DocumentoWord::ruta() const {
    return d->ruta;
}

QString DocumentoWord::sello() const {
    return QString::fromLatin1(d->paquete.comentario());
}

void DocumentoWord::ponerSello(const QString& sello) {
    d->paquete.ponerComentario(sello.toLatin1());
}

// --- Marcadores ------------------------------------------------------------------------------

Resultado DocumentoWord::escribirEnMarcador(const QString& marcador, const QString& texto) {
    const auto inicio = buscarPorNombre(d->cuerpo(), "w:bookmarkStart", marcador);
    if (!inicio) return noExiste(QStringLiteral("el marcador"), marcador);
    const auto id = inicio.attribute("w:id").value();
    auto padre = inicio.parent();
    pugi::xml_node formato;
    for (auto p = inicio.previous_sibling(); p && !formato; p = p.previous_sibling())
        if (std::strcmp(p.name(), "w:r") == 0) formato = p.child("w:rPr");
    // Se borra lo que hay entre el principio y el final del marcador (en el mismo párrafo); el
    // texto nuevo toma el formato del primer texto borrado.
    std::vector<pugi::xml_node> borrar;
    for (auto n = inicio.next_sibling(); n; n = n.next_sibling()) {
        if (std::strcmp(n.name(), "w:bookmarkEnd") == 0 &&
            std::strcmp(n.attribute("w:id").value(), id) == 0)
            break;
        if (std::strcmp(n.name(), "w:r") == 0) borrar.push_back(n);
    }
    pugi::xml_document copia;
    if (!borrar.empty() && borrar.front().child("w:rPr"))
        formato = copia.append_copy(borrar.front().child("w:rPr"));
    for (auto n : borrar) padre.remove_child(n);
    if (!formato && std::strcmp(padre.name(), "w:p") == 0)
        formato = padre.child("w:pPr").child("w:rPr");
    if (!texto.isEmpty()) nuevoRun(padre, inicio, formato, texto);
    return Resultado::correcto();
}

ResultadoDe<QString> DocumentoWord::textoMarcador(const QString& marcador) const {
    const auto inicio = buscarPorNombre(d->cuerpo(), "w:bookmarkStart", marcador);
    if (!inicio) return noExiste(QStringLiteral("el marcador"), marcador);
    const auto id = inicio.attribute("w:id").value();
    QString r;
    for (auto n = inicio.next_sibling(); n; n = n.next_sibling()) {
        if (std::strcmp(n.name(), "w:bookmarkEnd") == 0 &&
            std::strcmp(n.attribute("w:id").value(), id) == 0)
            break;
        if (std::strcmp(n.name(), "w:r") == 0) r += textoParrafo(n);
    }
    return r;
}

// --- Campos de formulario --------------------------------------------------------------------

Resultado DocumentoWord::ponerCampoTexto(const QString& nombre, const QString& texto) {
    Campo c = buscarCampo(d->cuerpo(), nombre);
    if (!c.ffData || !c.ffData.child("w:textInput") || !c.fin)
        return noExiste(QStringLiteral("el campo de texto"), nombre);
    auto parrafo = c.inicio.parent();
    pugi::xml_node formato = c.inicio.child("w:rPr");
    if (!c.separador) {
        c.separador = parrafo.insert_child_before("w:r", c.fin);
        c.separador.append_child("w:fldChar").append_attribute("w:fldCharType") = "separate";
    } else {
        while (c.separador.next_sibling() != c.fin)
            parrafo.remove_child(c.separador.next_sibling());
    }
    if (!texto.isEmpty()) nuevoRun(parrafo, c.separador, formato, texto);
    return Resultado::correcto();
}

ResultadoDe<QString> DocumentoWord::campoTexto(const QString& nombre) const {
    const Campo c = buscarCampo(d->cuerpo(), nombre);
    if (!c.ffData || !c.ffData.child("w:textInput") || !c.fin)
        return noExiste(QStringLiteral("el campo de texto"), nombre);
    QString r;
    if (c.separador)
        for (auto n = c.separador.next_sibling(); n && n != c.fin; n = n.next_sibling())
            r += textoParrafo(n);
    // Los cinco espacios que muestra un campo sin rellenar no son un valor.
    bool soloHueco = true;
    for (QChar ch : r) soloHueco = soloHueco && ch == QChar(0x2002);
    return soloHueco ? QString() : r;
}

Resultado DocumentoWord::ponerCasilla(const QString& nombre, bool marcada) {
    const Campo c = buscarCampo(d->cuerpo(), nombre);
    auto casilla = c.ffData.child("w:checkBox");
    if (!casilla) return noExiste(QStringLiteral("la casilla"), nombre);
    auto marca = casilla.child("w:checked");
    if (!marca) {
        auto defecto = casilla.child("w:default");
        marca = defecto ? casilla.insert_child_after("w:checked", defecto)
                        : casilla.append_child("w:checked");
    }
    auto a = marca.attribute("w:val");
    if (!a) a = marca.append_attribute("w:val");
    a.set_value(marcada ? "1" : "0");
    return Resultado::correcto();
}

ResultadoDe<bool> DocumentoWord::casilla(const QString& nombre) const {
    const Campo c = buscarCampo(d->cuerpo(), nombre);
    const auto casilla = c.ffData.child("w:checkBox");
    if (!casilla) return noExiste(QStringLiteral("la casilla"), nombre);
    if (const auto marca = casilla.child("w:checked")) return esVerdadero(marca);
    if (const auto defecto = casilla.child("w:default")) return esVerdadero(defecto);
    return false;
}

QStringList DocumentoWord::nombresCampos() const {
    QStringList r;
    for (auto x : d->documento.select_nodes("//w:ffData/w:name"))
        r << QString::fromUtf8(x.node().attribute("w:val").value());
    return r;
}

// --- Tablas ----------------------------------------------------------------------------------

int DocumentoWord::numeroTablas() const {
    int n = 0;
    for (auto t : d->cuerpo().children("w:tbl")) {
        (void)t;
        ++n;
    }
    return n;
}

ResultadoDe<TablaWord> DocumentoWord::tabla(int indice) const {
    int n = 0;
    for (auto t : d->cuerpo().children("w:tbl"))
        if (++n == indice) return TablaWord(d.get(), opaco(t));
    return Resultado::fallo(
        QStringLiteral("El documento no tiene la tabla %1 (tiene %2).").arg(indice).arg(n), 5941);
}

ResultadoDe<TablaWord> DocumentoWord::tablaConMarcador(const QString& marcador) const {
    auto n = buscarPorNombre(d->cuerpo(), "w:bookmarkStart", marcador);
    while (n && !(std::strcmp(n.name(), "w:tbl") == 0 && n.parent() == d->cuerpo())) n = n.parent();
    if (!n) return noExiste(QStringLiteral("la tabla marcada con"), marcador);
    return TablaWord(d.get(), opaco(n));
}

// --- Puntos de inserción y búsqueda ----------------------------------------------------------

PuntoInsercion DocumentoWord::despuesDe(const TablaWord& tabla) {
    if (!tabla.valida() || tabla.m_nucleo != d.get()) return {};
    const auto t = nodoDe(tabla.m_tbl);
    return PuntoInsercion(d.get(), opaco(t.parent()), opaco(t));
}

namespace {

// Trozos de texto (w:t) de un párrafo, para buscar textos partidos entre varios runs.
struct Trozos {
    std::vector<pugi::xml_node> nodos;
    std::vector<int> comienzos;
    QString texto;
    explicit Trozos(const pugi::xml_node& p) {
        for (auto x : p.select_nodes(".//w:t")) {
            // Solo los de este párrafo, no los de un párrafo anidado en un cuadro de texto.
            auto padre = x.node().parent();
            while (padre && std::strcmp(padre.name(), "w:p") != 0) padre = padre.parent();
            if (padre != p) continue;
            nodos.push_back(x.node());
            comienzos.push_back(int(texto.size()));
            texto += xmlword::texto(x.node());
        }
    }
    int trozoDe(int posicion) const {
        int i = 0;
        while (i + 1 < int(nodos.size()) && comienzos[i + 1] <= posicion) ++i;
        return i;
    }
};

void ponerTextoT(pugi::xml_node t, QString s) {
    // Un carácter de control (pegado o escrito) no cabe en XML: dejaría el documento ilegible.
    s.removeIf(
        [](QChar c) { return c.unicode() < 0x20 && c != u'\t' && c != u'\n' && c != u'\r'; });
    t.text().set(s.toUtf8().constData());
    if (!t.attribute("xml:space")) t.append_attribute("xml:space") = "preserve";
}

}  // namespace

ResultadoDe<PuntoInsercion> DocumentoWord::delanteDeTexto(const QString& texto) {
    for (auto x : d->cuerpo().select_nodes(".//w:p")) {
        pugi::xml_node p = x.node();
        Trozos tr(p);
        const int pos = tr.texto.indexOf(texto);
        if (pos < 0) continue;
        if (pos > 0) {
            // Se parte el párrafo: lo anterior al texto se queda, el texto empieza uno nuevo.
            const int i = tr.trozoDe(pos);
            pugi::xml_node t = tr.nodos[i];
            pugi::xml_node run = t.parent();
            while (run.parent() != p) run = run.parent();
            const QString s = xmlword::texto(t);
            const int corte = pos - tr.comienzos[i];
            pugi::xml_node nuevo = p.parent().insert_child_after("w:p", p);
            if (auto ppr = p.child("w:pPr")) nuevo.append_copy(ppr);
            pugi::xml_node primero = run;
            if (corte > 0) {
                primero = p.insert_copy_after(run, run);
                ponerTextoT(t, s.left(corte));
                // En la copia se quita lo que va antes del trozo y se recorta el trozo.
                pugi::xml_node tCopia;
                int indice = 0;
                for (auto h = run.first_child(); h; h = h.next_sibling(), ++indice)
                    if (h == t) break;
                int j = 0;
                for (auto h = primero.first_child(); h;) {
                    auto sig = h.next_sibling();
                    if (j < indice && std::strcmp(h.name(), "w:rPr") != 0) primero.remove_child(h);
                    if (j == indice) tCopia = h;
                    ++j;
                    h = sig;
                }
                ponerTextoT(tCopia, s.mid(corte));
                for (auto h = t.next_sibling(); h;) {
                    auto sig = h.next_sibling();
                    run.remove_child(h);
                    h = sig;
                }
            }
            for (auto h = primero; h;) {
                auto sig = h.next_sibling();
                nuevo.append_move(h);
                h = sig;
            }
            return PuntoInsercion(d.get(), opaco(p.parent()), opaco(p));
        }
        return PuntoInsercion(d.get(), opaco(p.parent()), opaco(p.previous_sibling()));
    }
    return noExiste(QStringLiteral("el texto"), texto);
}

int DocumentoWord::reemplazarTodo(const QString& buscado, const QString& reemplazo) {
    if (buscado.isEmpty()) return 0;
    int cuenta = 0;
    for (auto x : d->cuerpo().select_nodes(".//w:p")) {
        Trozos tr(x.node());
        QList<int> posiciones;
        for (int pos = tr.texto.indexOf(buscado); pos >= 0;
             pos = tr.texto.indexOf(buscado, pos + int(buscado.size())))
            posiciones.prepend(pos);
        for (int pos : posiciones) {  // de atrás adelante: las posiciones anteriores no cambian
            const int fin = pos + int(buscado.size());
            const int i = tr.trozoDe(pos);
            const int j = tr.trozoDe(fin - 1);
            const QString si = xmlword::texto(tr.nodos[i]);
            const QString sj = xmlword::texto(tr.nodos[j]);
            const int a = pos - tr.comienzos[i];
            const int b = fin - tr.comienzos[j];
            if (i == j) {
                ponerTextoT(tr.nodos[i], si.left(a) + reemplazo + si.mid(b));
            } else {
                ponerTextoT(tr.nodos[i], si.left(a) + reemplazo);
                for (int k = i + 1; k < j; ++k) ponerTextoT(tr.nodos[k], QString());
                ponerTextoT(tr.nodos[j], sj.mid(b));
            }
            ++cuenta;
        }
    }
    return cuenta;
}

QString DocumentoWord::textoPlano() const {
    QStringList lineas;
    for (auto x : d->cuerpo().select_nodes(".//w:p")) lineas << textoParrafo(x.node());
    return lineas.join(QLatin1Char('\n'));
}
