#include "printing/DocumentoWord.h"

#include "printing/NucleoDocumento.h"
#include "printing/XmlWord.h"

#include <algorithm>
#include <cstring>
#include <vector>

using namespace xmlword;

namespace {

std::vector<pugi::xml_node> hijos(const pugi::xml_node& n, const char* nombre) {
    std::vector<pugi::xml_node> r;
    for (auto h : n.children(nombre)) r.push_back(h);
    return r;
}

int extension(const pugi::xml_node& tc) {
    const long long s = tc.child("w:tcPr").child("w:gridSpan").attribute("w:val").as_llong(1);
    return s < 1 ? 1 : s > kColumnasMaximas ? kColumnasMaximas : int(s);
}

// Deja la celda con un solo párrafo vacío que conserva las propiedades del primero.
pugi::xml_node vaciarCelda(pugi::xml_node tc) {
    pugi::xml_document guardado;
    if (auto ppr = tc.child("w:p").child("w:pPr")) guardado.append_copy(ppr);
    for (auto h = tc.first_child(); h;) {
        auto sig = h.next_sibling();
        if (std::strcmp(h.name(), "w:tcPr") != 0) tc.remove_child(h);
        h = sig;
    }
    auto p = tc.append_child("w:p");
    if (auto ppr = guardado.first_child()) p.append_copy(ppr);
    return p;
}

void ponerFormatoTexto(pugi::xml_node raiz, const char* elemento, const QString& valor,
                       const char* complejo) {
    std::vector<pugi::xml_node> props;
    for (auto x : raiz.select_nodes(".//w:r")) props.push_back(rPr(x.node()));
    for (auto x : raiz.select_nodes(".//w:p")) props.push_back(rPr(pPr(x.node())));
    for (auto pr : props) {
        ponerVal(pr, elemento, valor);
        ponerVal(pr, complejo, valor);
    }
}

void ponerAlineacion(pugi::xml_node raiz, Alineacion a) {
    for (auto x : raiz.select_nodes(".//w:p"))
        ponerVal(pPr(x.node()), "w:jc", QString::fromLatin1(valorAlineacion(int(a))));
}

void ponerAnchoTc(pugi::xml_node tc, int twips) {
    auto w = asegurarHijo(asegurarHijo(tc, "w:tcPr"), "w:tcW");
    w.remove_attribute("w:w");
    w.remove_attribute("w:type");
    w.append_attribute("w:w") = twips;
    w.append_attribute("w:type") = "dxa";
}

void ponerBordesEn(pugi::xml_node contenedor, bool activos,
                   std::initializer_list<const char*> lados) {
    for (const char* lado : lados) {
        auto b = contenedor.child(lado);
        if (!b) b = contenedor.append_child(lado);
        for (const char* a : {"w:val", "w:sz", "w:space", "w:color"}) b.remove_attribute(a);
        b.append_attribute("w:val") = activos ? "single" : "nil";
        if (activos) {
            b.append_attribute("w:sz") = 4;
            b.append_attribute("w:space") = 0;
            b.append_attribute("w:color") = "000000";
        }
    }
}

}  // namespace

// --- Celda -----------------------------------------------------------------------------------

Resultado CeldaWord::escribir(const QString& texto) {
    if (!valida()) return Resultado::fallo(QStringLiteral("La celda no existe."), 5941);
    pugi::xml_node tc = nodoDe(m_tc);
    pugi::xml_document modelo;  // propiedades del primer párrafo, para todos los nuevos
    if (auto ppr = tc.child("w:p").child("w:pPr")) modelo.append_copy(ppr);
    for (auto h = tc.first_child(); h;) {
        auto sig = h.next_sibling();
        if (std::strcmp(h.name(), "w:tcPr") != 0) tc.remove_child(h);
        h = sig;
    }
    QString t = texto;
    t.replace(QLatin1String("\r\n"), QLatin1String("\n"))
        .replace(QLatin1Char('\r'), QLatin1Char('\n'));
    for (const QString& linea : t.split(QLatin1Char('\n'))) {
        auto p = tc.append_child("w:p");
        if (auto ppr = modelo.first_child()) p.append_copy(ppr);
        if (!linea.isEmpty()) nuevoRun(p, {}, p.child("w:pPr").child("w:rPr"), linea);
    }
    return Resultado::correcto();
}

QString CeldaWord::texto() const {
    if (!valida()) return {};
    QStringList r;
    for (auto p : nodoDe(m_tc).children("w:p")) r << textoParrafo(p);
    return r.join(QLatin1String("\r\n"));
}

Resultado CeldaWord::anadirParrafo(const QString& texto) {
    if (!valida()) return Resultado::fallo(QStringLiteral("La celda no existe."), 5941);
    pugi::xml_node tc = nodoDe(m_tc);
    pugi::xml_node ultimo = tc.last_child();
    pugi::xml_node p = tc.append_child("w:p");
    if (auto ppr = ultimo.child("w:pPr")) p.append_copy(ppr);
    if (!texto.isEmpty()) nuevoRun(p, {}, p.child("w:pPr").child("w:rPr"), texto);
    return Resultado::correcto();
}

Resultado CeldaWord::anadirImagen(const QString& rutaImagen, int anchoTwips, int altoTwips) {
    if (!valida()) return Resultado::fallo(QStringLiteral("La celda no existe."), 5941);
    auto id = m_nucleo->anadirImagen(rutaImagen);
    if (!id) return id.estado();
    pugi::xml_node tc = nodoDe(m_tc);
    pugi::xml_node ultimo = tc.last_child();
    pugi::xml_node p = tc.append_child("w:p");
    if (auto ppr = ultimo.child("w:pPr")) p.append_copy(ppr);
    m_nucleo->runImagen(p, id.valor(), anchoTwips, altoTwips);
    return Resultado::correcto();
}

Resultado CeldaWord::alinear(Alineacion alineacion) {
    if (!valida()) return Resultado::fallo(QStringLiteral("La celda no existe."), 5941);
    ponerAlineacion(nodoDe(m_tc), alineacion);
    return Resultado::correcto();
}

Resultado CeldaWord::ponerNegrita(bool negrita) {
    if (!valida()) return Resultado::fallo(QStringLiteral("La celda no existe."), 5941);
    ponerFormatoTexto(nodoDe(m_tc), "w:b", negrita ? "1" : "0", "w:bCs");
    return Resultado::correcto();
}

Resultado CeldaWord::ponerTamanoLetra(double puntos) {
    if (!valida()) return Resultado::fallo(QStringLiteral("La celda no existe."), 5941);
    ponerFormatoTexto(nodoDe(m_tc), "w:sz", QString::number(qRound(puntos * 2)), "w:szCs");
    return Resultado::correcto();
}

int CeldaWord::ancho() const {
    if (!valida()) return 0;
    return medida(nodoDe(m_tc).child("w:tcPr").child("w:tcW").attribute("w:w"), 0);
}

Resultado CeldaWord::ponerAncho(int twips) {
    if (!valida()) return Resultado::fallo(QStringLiteral("La celda no existe."), 5941);
    ponerAnchoTc(nodoDe(m_tc), twips);
    return Resultado::correcto();
}

// --- Tabla -----------------------------------------------------------------------------------

int TablaWord::filas() const {
    return valida() ? int(hijos(nodoDe(m_tbl), "w:tr").size()) : 0;
}

int TablaWord::columnas() const {
    if (!valida()) return 0;
    const auto t = nodoDe(m_tbl);
    int n = 0;
    for (auto g : t.child("w:tblGrid").children("w:gridCol")) {
        (void)g;
        ++n;
    }
    if (n > 0) return n;
    for (auto tc : t.child("w:tr").children("w:tc")) n += extension(tc);
    return n;
}

int TablaWord::anadirFila() {
    if (!valida()) return 0;
    auto t = nodoDe(m_tbl);
    auto ultima = t.last_child();
    if (!ultima || std::strcmp(ultima.name(), "w:tr") != 0) return 0;
    auto nueva = t.insert_copy_after(ultima, ultima);
    for (auto tc : nueva.children("w:tc")) {
        vaciarCelda(tc);
        // Una celda combinada verticalmente no debe seguir la combinación en la fila nueva.
        quitarHijos(tc.child("w:tcPr"), "w:vMerge");
    }
    // La fila nueva es de datos aunque se copie de la cabecera: no se repite en cada hoja.
    quitarHijos(nueva.child("w:trPr"), "w:tblHeader");
    return filas();
}

CeldaWord TablaWord::celda(int fila, int columna) const {
    if (!valida() || fila < 1 || columna < 1) return CeldaWord(m_nucleo, nullptr);
    const auto trs = hijos(nodoDe(m_tbl), "w:tr");
    if (fila > int(trs.size())) return CeldaWord(m_nucleo, nullptr);
    const auto tcs = hijos(trs[fila - 1], "w:tc");
    if (columna > int(tcs.size())) return CeldaWord(m_nucleo, nullptr);
    return CeldaWord(m_nucleo, opaco(tcs[columna - 1]));
}

Resultado TablaWord::rellenarFila(int fila, const QStringList& textos) {
    for (int i = 0; i < textos.size(); ++i) {
        auto r = celda(fila, i + 1).escribir(textos[i]);
        if (!r)
            return Resultado::fallo(
                QStringLiteral("La fila %1 no tiene la celda %2.").arg(fila).arg(i + 1), 5941);
    }
    return Resultado::correcto();
}

Resultado TablaWord::ponerAltoFila(int fila, int twips, bool exacto) {
    const auto trs = valida() ? hijos(nodoDe(m_tbl), "w:tr") : std::vector<pugi::xml_node>{};
    if (fila < 1 || fila > int(trs.size()))
        return Resultado::fallo(QStringLiteral("La tabla no tiene la fila %1.").arg(fila), 5941);
    auto tr = trs[fila - 1];
    auto h = asegurarHijo(asegurarHijo(tr, "w:trPr"), "w:trHeight");
    h.remove_attribute("w:val");
    h.remove_attribute("w:hRule");
    h.append_attribute("w:val") = twips;
    h.append_attribute("w:hRule") = exacto ? "exact" : "atLeast";
    // Una fila que crece con su texto no se parte entre dos hojas.
    if (!exacto) asegurarHijo(tr.child("w:trPr"), "w:cantSplit");
    return Resultado::correcto();
}

int TablaWord::altoFila(int fila) const {
    const auto trs = valida() ? hijos(nodoDe(m_tbl), "w:tr") : std::vector<pugi::xml_node>{};
    if (fila < 1 || fila > int(trs.size())) return 0;
    return trs[fila - 1].child("w:trPr").child("w:trHeight").attribute("w:val").as_int(0);
}

Resultado TablaWord::ponerAnchoColumna(int columna, int twips) {
    if (!valida() || columna < 1 || columna > columnas())
        return Resultado::fallo(QStringLiteral("La tabla no tiene la columna %1.").arg(columna),
                                5941);
    auto t = nodoDe(m_tbl);
    auto rejilla = asegurarHijo(t, "w:tblGrid");
    auto cols = hijos(rejilla, "w:gridCol");
    while (int(cols.size()) < columnas()) cols.push_back(rejilla.append_child("w:gridCol"));
    auto c = cols[columna - 1];
    c.remove_attribute("w:w");
    c.append_attribute("w:w") = std::clamp(twips, 0, kMedidaMaxima);
    // Cada celda mide lo que suman las columnas de la rejilla que ocupa.
    for (auto tr : t.children("w:tr")) {
        int g = 0;
        for (auto tc : tr.children("w:tc")) {
            const int ext = extension(tc);
            if (g < columna && columna <= g + ext) {
                int suma = 0;
                for (int k = g; k < g + ext && k < int(cols.size()); ++k)
                    suma += medida(cols[k].attribute("w:w"), 0);
                ponerAnchoTc(tc, std::min(suma, kMedidaMaxima));
            }
            g += ext;
        }
    }
    return Resultado::correcto();
}

int TablaWord::anchoCelda(int fila, int columna) const {
    return celda(fila, columna).ancho();
}

void TablaWord::ponerBordes(bool activos) {
    if (!valida()) return;
    auto t = nodoDe(m_tbl);
    auto bordes = asegurarHijo(asegurarHijo(t, "w:tblPr"), "w:tblBorders");
    ponerBordesEn(bordes, activos,
                  {"w:top", "w:left", "w:bottom", "w:right", "w:insideH", "w:insideV"});
    for (auto x : t.select_nodes("./w:tr/w:tc/w:tcPr/w:tcBorders"))
        x.node().parent().remove_child(x.node());
}

void TablaWord::ponerTamanoLetra(double puntos) {
    if (valida())
        ponerFormatoTexto(nodoDe(m_tbl), "w:sz", QString::number(qRound(puntos * 2)), "w:szCs");
}

void TablaWord::ponerNegrita(bool negrita) {
    if (valida()) ponerFormatoTexto(nodoDe(m_tbl), "w:b", negrita ? "1" : "0", "w:bCs");
}

Resultado TablaWord::alinearColumna(int columna, Alineacion alineacion) {
    if (!valida()) return Resultado::fallo(QStringLiteral("La tabla no existe."), 5941);
    bool alguna = false;
    for (auto tr : nodoDe(m_tbl).children("w:tr")) {
        const auto tcs = hijos(tr, "w:tc");
        if (columna >= 1 && columna <= int(tcs.size())) {
            ponerAlineacion(tcs[columna - 1], alineacion);
            alguna = true;
        }
    }
    return alguna ? Resultado::correcto()
                  : Resultado::fallo(
                        QStringLiteral("La tabla no tiene la columna %1.").arg(columna), 5941);
}

Resultado TablaWord::combinar(int fila, int desde, int hasta) {
    auto primera = celda(fila, desde);
    auto ultima = celda(fila, hasta);
    if (!primera.valida() || !ultima.valida() || hasta < desde)
        return Resultado::fallo(QStringLiteral("No se pueden combinar esas celdas."), 5941);
    pugi::xml_node tc = nodoDe(primera.m_tc);
    int ext = extension(tc);
    int ancho = primera.ancho();
    for (int k = desde + 1; k <= hasta; ++k) {
        pugi::xml_node otra = tc.next_sibling("w:tc");
        ext += extension(otra);
        ancho += medida(otra.child("w:tcPr").child("w:tcW").attribute("w:w"), 0);
        // Los párrafos con texto de las celdas combinadas pasan a la primera.
        const bool conTexto = !CeldaWord(m_nucleo, opaco(otra)).texto().isEmpty();
        if (conTexto) {
            if (CeldaWord(m_nucleo, opaco(tc)).texto().isEmpty())
                for (auto p : hijos(tc, "w:p")) tc.remove_child(p);
            for (auto p : hijos(otra, "w:p")) tc.append_move(p);
        }
        tc.parent().remove_child(otra);
    }
    if (!tc.child("w:p")) tc.append_child("w:p");
    auto tcpr = asegurarHijo(tc, "w:tcPr");
    ponerVal(tcpr, "w:gridSpan", QString::number(ext));
    if (ancho > 0) ponerAnchoTc(tc, std::min(ancho, kMedidaMaxima));
    return Resultado::correcto();
}
