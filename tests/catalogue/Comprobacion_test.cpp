#include "ApoyoCatalogos.h"
#include "catalogue/ComprobacionCatalogos.h"
#include "catalogue/GeneradorCatalogos.h"

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

}  // namespace
