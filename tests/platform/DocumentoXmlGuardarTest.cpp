// Guardar un documento XML en ISO-8859-1: lo que no cabe va como referencia solo donde XML lo
// admite; si no se puede escribir, el guardado falla y el fichero anterior se queda.
#include "../apoyo/Ficheros.h"
#include "platform/DocumentoXml.h"

#include <gtest/gtest.h>
#include <QTemporaryDir>
#include <sstream>

namespace {

std::string serie(const DocumentoXml& d) {
    std::ostringstream flujo;
    d.doc().document_element().print(flujo, "", pugi::format_raw);
    return flujo.str();
}

TEST(DocumentoXmlGuardar, LoQueNoCabeEnLatin1NoDaUnFicheroIlegible) {
    const struct {
        const char* texto;
        bool guarda;
        const char* problema;  // lo que nombra el mensaje cuando no guarda
    } casos[] = {
        {"<Usuarios><U dni=\"1\">Ω y €</U></Usuarios>", true, nullptr},
        {"<Usuarios><U nombre=\"Ωmega €\"/></Usuarios>", true, nullptr},
        {"<Usuarios><UΩ dni=\"1\"/></Usuarios>", false, "UΩ"},
        {"<Usuarios><U dniΩ=\"1\"/></Usuarios>", false, "dniΩ"},
        {"<Usuarios><![CDATA[Ω]]></Usuarios>", false, "Ω"},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.texto);
        QTemporaryDir dir;
        const QString ruta = dir.filePath("usuarios.xml");
        escribirBytes(ruta, "<Usuarios>anterior</Usuarios>");
        DocumentoXml doc;
        ASSERT_TRUE(doc.cargarTexto(QString::fromUtf8(c.texto)));
        const Resultado r = doc.guardar(ruta);
        ASSERT_EQ(r.ok(), c.guarda) << r.mensaje().toStdString();
        if (!c.guarda) {
            EXPECT_TRUE(r.mensaje().contains(QString::fromUtf8(c.problema)))
                << r.mensaje().toStdString();
            EXPECT_EQ(leerBytes(ruta), "<Usuarios>anterior</Usuarios>");
            continue;
        }
        // Lo guardado se vuelve a leer y dice lo mismo.
        DocumentoXml leido;
        ASSERT_TRUE(leido.cargarFichero(ruta));
        DocumentoXml original;
        ASSERT_TRUE(original.cargarTexto(QString::fromUtf8(c.texto)));
        EXPECT_EQ(serie(leido), serie(original));
    }
}

// Una declaración escrita con mayúsculas no acaba repetida: el fichero lleva una sola y se lee.
TEST(DocumentoXmlGuardar, LaDeclaracionNoSeRepite) {
    for (const char* declaracion : {"<?xml version=\"1.0\"?>", "<?XML version=\"1.0\"?>",
                                    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"}) {
        SCOPED_TRACE(declaracion);
        QTemporaryDir dir;
        const QString ruta = dir.filePath("a.xml");
        DocumentoXml doc;
        if (!doc.cargarTexto(QString::fromUtf8(declaracion) + "<a>ñ</a>")) continue;
        ASSERT_TRUE(doc.guardar(ruta).ok());
        const QByteArray bytes = leerBytes(ruta);
        EXPECT_EQ(bytes.toLower().count("<?xml"), 1) << bytes.toStdString();
        DocumentoXml leido;
        EXPECT_TRUE(leido.cargarFichero(ruta));
    }
}

}  // namespace
