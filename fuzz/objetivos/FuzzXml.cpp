// Los documentos XML que el programa lee: la configuración, el almacén de usuarios y lo que se
// vuelve a guardar de ellos.
#include "../ObjetivoFuzz.h"
#include "global/Configuracion.h"
#include "platform/DocumentoXml.h"
#include "users/Usuarios.h"

OBJETIVO_FUZZ(fuzzXml) {
    fuzz::callar();
    const QString ruta = fuzz::escribir(QStringLiteral("documento.xml"), datos, tamano);
    if (ruta.isEmpty()) return 0;
    leerConfiguracion(ruta);
    if (AbrirUsuarios(ruta)) ExisteUsuario(QStringLiteral("12345678Z"));
    DocumentoXml doc;
    if (doc.cargarFichero(ruta)) {
        doc.texto(QStringLiteral("//Usuarios/Usuario[0]/DNI"));
        doc.guardar(fuzz::carpeta().filePath(QStringLiteral("copia.xml")));
    }
    return 0;
}
