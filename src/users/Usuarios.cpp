#include "users/Usuarios.h"

#include "global/Globales.h"
#include "users/Validacion.h"

#include <QDir>
#include <QFileInfo>

namespace {

const QString kRaiz = QStringLiteral("//Usuarios");
const QString kHijos = QStringLiteral("//Usuarios/*");

Resultado almacenIlegible(const QString& ruta) {
    return Resultado::fallo(
        QStringLiteral("El fichero de usuarios \"%1\" está dañado o no se puede leer.\n"
                       "No se ha guardado la contraseña y el fichero se ha dejado como estaba.")
            .arg(QDir::toNativeSeparators(ruta)),
        Errores::NodoNoEncontrado);
}

// Raíz donde añadir usuarios. Si el fichero no existe se crea la raíz en memoria; si existe y
// el documento no la tiene es que no se pudo leer, y no se toca.
ResultadoDe<pugi::xml_node> raizParaAlta(bool& creada) {
    creada = false;
    DocumentoXml& doc = G().DocUsuarios;
    pugi::xml_node raiz = doc.seleccionarNodo(kRaiz);
    if (raiz) return raiz;
    if (!doc.vacio() || QFileInfo::exists(G().RutaUsuarios))
        return almacenIlegible(G().RutaUsuarios);
    creada = true;
    return doc.doc().append_child("Usuarios");
}

}  // namespace

bool AbrirUsuarios(const QString& ruta) {
    G().DocUsuarios.doc().reset();
    // Que falte o esté mal formado no impide entrar: el documento queda vacío.
    G().DocUsuarios.cargarFichero(ruta);
    G().RutaUsuarios = ruta;
    return true;
}

bool ExisteUsuario(const QString& dni) {
    return G().DocUsuarios.existe(
        QStringLiteral("//Usuarios/Usuario[DNI='%1']").arg(HashTexto(dni)));
}

QString PasswordDeUsuario(const QString& dni) {
    const QString h = HashTexto(dni);
    for (const pugi::xpath_node& n : G().DocUsuarios.seleccionarNodos(kHijos)) {
        if (DocumentoXml::textoNodo(n.node().child("DNI")) == h)
            return DocumentoXml::textoNodo(n.node().child("Pwd"));
    }
    return {};
}

bool ComprobarPassword(const QString& dni, const QString& password) {
    return HashTexto(password) == PasswordDeUsuario(dni);
}

Resultado AltaUsuario(const QString& dni, const QString& password) {
    if (G().RutaUsuarios.isEmpty())
        return Resultado::fallo(QStringLiteral("No se ha abierto el fichero de usuarios."),
                                Errores::FicheroNoEncontrado);
    bool creada = false;
    auto raiz = raizParaAlta(creada);
    if (!raiz) return raiz.estado();
    if (const qsizetype hay = G().DocUsuarios.seleccionarNodos(kHijos).size();
        hay >= kMaximoUsuarios) {
        return Resultado::fallo(
            QStringLiteral("El fichero de usuarios \"%1\" ya tiene %2 usuarios (admite %3) y no "
                           "admite más.")
                .arg(QDir::toNativeSeparators(G().RutaUsuarios))
                .arg(hay)
                .arg(kMaximoUsuarios),
            Errores::ValorFueraDeRango);
    }

    DocumentoXml nuevo;
    nuevo.cargarTexto(QStringLiteral("<Usuario><DNI>%1</DNI><Pwd>%2</Pwd></Usuario>")
                          .arg(HashTexto(dni), HashTexto(password)));
    const pugi::xml_node anadido = raiz.valor().append_copy(nuevo.seleccionarNodo("*"));

    Resultado guardado = G().DocUsuarios.guardar(G().RutaUsuarios);
    if (!guardado) {
        // En memoria, lo mismo que en el disco: como antes del alta.
        if (creada) {
            G().DocUsuarios.doc().remove_child(raiz.valor());
        } else {
            raiz.valor().remove_child(anadido);
        }
    }
    return guardado;
}

void BajaUsuario(const QString& dni) {
    const QString h = HashTexto(dni);
    // Se quita el primero que case, en el orden del fichero. Un recorrido de una pasada: con
    // una consulta posicional por usuario, borrar en un almacén grande costaría n².
    for (const pugi::xpath_node& n :
         G().DocUsuarios.seleccionarNodos(QStringLiteral("//Usuarios/Usuario"))) {
        pugi::xml_node usuario = n.node();
        if (DocumentoXml::textoNodo(usuario.child("DNI")) == h) {
            usuario.parent().remove_child(usuario);
            return;
        }
    }
}

Resultado ReemplazarUsuario(const QString& dni, const QString& password) {
    pugi::xml_document copia;
    copia.reset(G().DocUsuarios.doc());
    BajaUsuario(dni);
    Resultado r = AltaUsuario(dni, password);
    if (!r) G().DocUsuarios.doc().reset(copia);
    return r;
}
