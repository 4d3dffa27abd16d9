#include "ApoyoCatalogos.h"
#include "catalogue/GeneradorCatalogos.h"
#include "startup/ComprobacionCatalogos.h"

namespace {

using ComprobacionTest = CatalogosTest;

const Hallazgo* buscar(const QList<Hallazgo>& hs, const QString& fichero, int linea) {
    for (const auto& h : hs)
        if (h.fichero == fichero && h.linea == linea) return &h;
    return nullptr;
}

TEST_F(ComprobacionTest, LoQueImpideLaCargaLlevaFicheroYLinea) {
    ASSERT_TRUE(generarCatalogos(dir.path(), TamanoCatalogos{10, 12, 0}).ok());
    // "11100Llanes" cifrado y una línea que no se puede ni cifrar de tan larga.
    escribirBytes(carpeta() + "F0003.enc",
                  "22211Mmboft\r\n" + QByteArray(kMaxCaracteresLinea + 1, 'b') + "\r\n");
    // Una localidad de 52 caracteres cabe en el catálogo y en la lista: no es un hallazgo.
    catalogo("F0009.enc", {columnas({{1, "00001"}, {106, QString(52, u'x')}, {168, "01000000"}})});
    catalogo("F0011.enc", {"00001"});
    catalogo("F0012.enc", {"00002", "00'01"});

    const QList<Hallazgo> hs = comprobarCatalogos(dir.path());
    const Hallazgo* larga = buscar(hs, "F0003.enc", 2);
    ASSERT_TRUE(larga);
    EXPECT_TRUE(larga->impideCarga);
    EXPECT_TRUE(larga->descripcion.contains("32767"));
    EXPECT_FALSE(buscar(hs, "F0011.enc", 1));
    const Hallazgo* comilla = buscar(hs, "F0012.enc", 2);
    ASSERT_TRUE(comilla);
    EXPECT_TRUE(comilla->impideCarga);
    for (const auto& h : hs) EXPECT_FALSE(describir(h).isEmpty());
}

TEST_F(ComprobacionTest, LoQueSoloSeSenalaNoImpideLaCarga) {
    ASSERT_TRUE(generarCatalogos(dir.path(), TamanoCatalogos{10, 12, 0}).ok());
    // Lista con un código repetido y otro que no está en F0010.
    catalogo("F0012.enc", {"00006", "00006", "00999"});
    // Un 0x0E guardado es un CR en claro: la situación se leería partida.
    escribirBytes(carpeta() + "F0015.enc", "12OTfswjdjp\x0E\r\n");
    QList<Hallazgo> hs = comprobarCatalogos(dir.path());
    ASSERT_EQ(hs.size(), 3);
    const Hallazgo partida = hs.takeLast();
    EXPECT_EQ(partida.fichero, "F0015.enc");
    EXPECT_EQ(partida.linea, 1);
    EXPECT_FALSE(partida.impideCarga);
    EXPECT_TRUE(partida.descripcion.contains("columna 12"));
    for (const auto& h : hs) {
        EXPECT_EQ(h.fichero, "F0012.enc");
        EXPECT_FALSE(h.impideCarga);
    }
    EXPECT_EQ(hs.at(0).linea, 2);
    EXPECT_EQ(hs.at(1).linea, 3);
}

// Lo que deja el programa sin servir o parece un fichero cortado no pasa por "sin problemas": un
// catálogo de cuerpos o de provincias vacío impide usarlo; una última línea sin fin de línea se
// señala.
TEST_F(ComprobacionTest, VaciosYUltimasLineasCortadasSeSenalan) {
    const struct {
        const char* fichero;
        QByteArray contenido;
        int linea;
        bool impide;
        const char* descripcion;
    } casos[] = {{"F0004.enc", "", 0, true, "está vacío"},
                 {"F0002.enc", "\r\n", 0, true, "está vacío"},
                 {"F0015.enc", "", 0, false, "está vacío"},
                 {"F0003.enc", "22211Mmboft\r\n22211Mmb", 2, false, "puede estar cortado"}};
    for (const auto& c : casos) {
        SCOPED_TRACE(c.fichero);
        ASSERT_TRUE(generarCatalogos(dir.path(), TamanoCatalogos{10, 12, 0}).ok());
        escribirBytes(carpeta() + c.fichero, c.contenido);
        const QList<Hallazgo> hs = comprobarCatalogos(dir.path());
        const Hallazgo* h = buscar(hs, c.fichero, c.linea);
        ASSERT_TRUE(h);
        EXPECT_EQ(h->impideCarga, c.impide);
        EXPECT_TRUE(h->descripcion.contains(QString::fromUtf8(c.descripcion)))
            << h->descripcion.toStdString();
    }
}

}  // namespace
