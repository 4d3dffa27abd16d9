#include "catalogue/ventanas/EnlazarCombo.h"
#include "platform/ventanas/ComboDatos.h"
#include "platform/ventanas/RejillaDatos.h"

#include <gtest/gtest.h>
#include <QAbstractItemView>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QStyle>
#include <QTest>

namespace {

PTabla tablaCuerpos() {
    PTabla t = Tabla::crear("rsCuerpos", {{"CodCuerpo", TipoCampo::Texto, 6},
                                          {"DescCuerpo", TipoCampo::Texto, 100},
                                          {"Grupo", TipoCampo::Texto, 1}});
    const QStringList filas[] = {{"00010", "Enfermería", "A"},
                                 {"00020", "Auxiliares", "C"},
                                 {"00030", "Celadores", "X"},
                                 {"00040", "Administrativos", "C"}};
    for (const auto& f : filas) {
        t->anadir();
        t->establecer("CodCuerpo", f[0]);
        t->establecer("DescCuerpo", f[1]);
        t->establecer("Grupo", f[2]);
    }
    return t;
}

class ComboDatosTest : public ::testing::Test {
protected:
    void SetUp() override {
        tabla = tablaCuerpos();
        combo.show();
        combo.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&combo));
        combo.setFocus();
    }
    PTabla tabla;
    ComboDatos combo;
};

TEST_F(ComboDatosTest, EnlazarGuardaElPrimerCampoEnsenaElSegundoYNoEligeNada) {
    QSignalSpy elegida(&combo, &ComboDatos::filaElegidaPorUsuario);
    EnlazarCombo(combo, tabla);
    EXPECT_EQ(combo.columnaValor(), "CodCuerpo");
    EXPECT_EQ(combo.columnaTexto(), "DescCuerpo");
    EXPECT_EQ(combo.count(), 4);
    EXPECT_EQ(combo.view()->model()->columnCount(), 3);
    EXPECT_EQ(combo.itemText(1), "Auxiliares");
    // QComboBox elige la fila 0 por su cuenta al cambiar de modelo: aquí no cuenta.
    EXPECT_EQ(combo.valor(), "");
    EXPECT_EQ(combo.filaElegida(), -1);
    EXPECT_EQ(combo.texto(), "");
    EXPECT_TRUE(elegida.isEmpty());

    PTabla grupos = Tabla::crear("rsGrupos", {{"Grupo", TipoCampo::Texto, 1}});
    grupos->anadir();
    grupos->establecer("Grupo", "B");
    EnlazarCombo(combo, grupos);
    EXPECT_EQ(combo.columnaValor(), "Grupo");
    EXPECT_EQ(combo.columnaTexto(), "Grupo");
    combo.setValor("B");
    EXPECT_EQ(combo.valor(), "B");
    EXPECT_EQ(combo.texto(), "B");
}

TEST_F(ComboDatosTest, ElegirConElTecladoAvisaYDaLosValoresDeLaFila) {
    EnlazarCombo(combo, tabla);
    QSignalSpy elegida(&combo, &ComboDatos::filaElegidaPorUsuario);
    QSignalSpy cambiado(&combo, &ComboDatos::cambiado);
    QTest::keyClick(&combo, Qt::Key_Down);
    ASSERT_EQ(elegida.size(), 1);
    EXPECT_FALSE(cambiado.isEmpty());
    EXPECT_EQ(combo.valor(), "00010");
    EXPECT_EQ(combo.texto(), "Enfermería");
    QTest::keyClick(&combo, Qt::Key_Down);
    EXPECT_EQ(combo.valor(), "00020");
    EXPECT_EQ(combo.valorColumna("Grupo"), "C");
    EXPECT_EQ(combo.valorColumna(1), "Auxiliares");
    EXPECT_EQ(combo.filaElegida(), 1);
    EXPECT_TRUE(combo.coincide());
}

TEST_F(ComboDatosTest, LoEscritoEligeLaFilaDeEseTextoONinguna) {
    EnlazarCombo(combo, tabla);
    combo.setValor("00020");
    // Borrar el texto a mano deja sin elección: un filtro después no la recupera.
    combo.lineEdit()->selectAll();
    QTest::keyClick(combo.lineEdit(), Qt::Key_Backspace);
    EXPECT_EQ(combo.texto(), "");
    EXPECT_EQ(combo.valor(), "");
    ASSERT_TRUE(tabla->filtrar("Grupo='C'").ok());
    EXPECT_EQ(combo.texto(), "");
    EXPECT_EQ(combo.valor(), "");
    ASSERT_TRUE(tabla->filtrar("").ok());
    // Escribir el texto exacto de una fila la elige; a medias, ninguna.
    QTest::keyClicks(combo.lineEdit(), "Celadores");
    EXPECT_EQ(combo.valor(), "00030");
    EXPECT_TRUE(combo.coincide());
    QTest::keyClick(combo.lineEdit(), Qt::Key_Backspace);
    EXPECT_EQ(combo.valor(), "");
    EXPECT_FALSE(combo.coincide());
    // Poner el texto desde el programa hace lo mismo.
    combo.setTexto("Auxiliares");
    EXPECT_EQ(combo.valor(), "00020");
    combo.setTexto("Otra cosa");
    EXPECT_EQ(combo.valor(), "");
    EXPECT_EQ(combo.texto(), "Otra cosa");
}

TEST_F(ComboDatosTest, ElFiltroDeLaTablaConservaLaEleccionOLaQuita) {
    EnlazarCombo(combo, tabla);
    combo.setValor("00040");
    EXPECT_EQ(combo.texto(), "Administrativos");
    QSignalSpy cambiado(&combo, &ComboDatos::cambiado);
    QSignalSpy elegida(&combo, &ComboDatos::filaElegidaPorUsuario);

    ASSERT_TRUE(tabla->filtrar("Grupo <> 'X'").ok());
    EXPECT_EQ(combo.count(), 3);
    EXPECT_EQ(combo.valor(), "00040");
    EXPECT_EQ(combo.filaElegida(), 2);
    EXPECT_EQ(combo.texto(), "Administrativos");
    EXPECT_TRUE(cambiado.isEmpty());

    // El filtro quita la fila elegida: no queda elección (ni la fila 0 que pone QComboBox).
    ASSERT_TRUE(tabla->filtrar("Grupo = 'A'").ok());
    EXPECT_EQ(combo.count(), 1);
    EXPECT_EQ(combo.valor(), "");
    EXPECT_EQ(combo.filaElegida(), -1);
    EXPECT_EQ(combo.valorColumna("Grupo"), "");
    EXPECT_EQ(cambiado.size(), 1);
    EXPECT_TRUE(elegida.isEmpty());

    // Con el orden cambiado, el valor sigue a su fila.
    ASSERT_TRUE(tabla->filtrar("").ok());
    combo.setValor("00020");
    ASSERT_TRUE(tabla->ordenar("DescCuerpo ASC").ok());
    EXPECT_EQ(combo.valor(), "00020");
    EXPECT_EQ(combo.filaElegida(), 1);  // Administrativos, Auxiliares, ...
    EXPECT_EQ(combo.texto(), "Auxiliares");
}

TEST_F(ComboDatosTest, CoincideSoloConUnTextoDeLaLista) {
    EnlazarCombo(combo, tabla);
    struct Caso {
        QString texto;
        bool coincide;
    };
    for (const Caso& c :
         {Caso{"Celadores", true}, Caso{"Celador", false}, Caso{"", false}, Caso{"00030", false}}) {
        combo.setTexto(c.texto);
        EXPECT_EQ(combo.coincide(), c.coincide) << c.texto.toStdString();
    }
    // Un texto que el filtro deja fuera ya no coincide.
    combo.setTexto("Celadores");
    ASSERT_TRUE(tabla->filtrar("Grupo <> 'X'").ok());
    combo.setTexto("Celadores");
    EXPECT_FALSE(combo.coincide());
}

TEST_F(ComboDatosTest, SinTablaNoHayNadaYVolverAEnlazarOlvidaLaEleccion) {
    EXPECT_EQ(combo.valor(), "");
    EXPECT_FALSE(combo.coincide());
    EXPECT_EQ(combo.valorColumna("CodCuerpo"), "");
    EnlazarCombo(combo, tabla);
    combo.setValor("00030");
    combo.reenlazar();
    EXPECT_EQ(combo.valor(), "00030");
    EnlazarCombo(combo, tabla->clonar());
    EXPECT_EQ(combo.valor(), "");
    EXPECT_EQ(combo.count(), 4);
    combo.setValor("99999");
    EXPECT_EQ(combo.valor(), "");
    EXPECT_TRUE(combo.isEnabled());
    combo.setEnabled(false);
    EXPECT_FALSE(combo.isEnabled());
}

TEST_F(ComboDatosTest, ListaGrandeSinMedirFilasYConVariasColumnas) {
    EXPECT_EQ(combo.style()->styleHint(QStyle::SH_ComboBox_Popup, nullptr, &combo), 0);
    EnlazarCombo(combo, tabla);
    combo.setAnchoColumna(0, 60);
    combo.setAnchoColumna(1, 380);
    auto* vista = qobject_cast<QTableView*>(combo.view());
    ASSERT_NE(vista, nullptr);
    EXPECT_EQ(vista->columnWidth(0), 60);
    EXPECT_EQ(vista->columnWidth(1), 380);
    EXPECT_GE(vista->minimumWidth(), 440);
    EXPECT_EQ(vista->verticalHeader()->sectionResizeMode(0), QHeaderView::Fixed);
}

TEST(RejillaDatosTest, SigueElFiltroYElOrdenYDaLasFilasSeleccionadas) {
    PTabla tabla = tablaCuerpos();
    RejillaDatos rejilla;
    ASSERT_TRUE(
        rejilla.enlazar(tabla, {"CodCuerpo", "DescCuerpo"}, {"Código", "Descripción"}).ok());
    EXPECT_FALSE(rejilla.enlazar(tabla, {"NoExiste"}).ok());
    ASSERT_TRUE(
        rejilla.enlazar(tabla, {"CodCuerpo", "DescCuerpo"}, {"Código", "Descripción"}).ok());
    auto* m = rejilla.model();
    EXPECT_EQ(m->rowCount(), 4);
    EXPECT_EQ(m->columnCount(), 2);
    EXPECT_EQ(m->headerData(1, Qt::Horizontal).toString(), "Descripción");

    ASSERT_TRUE(tabla->filtrar("Grupo = 'C'").ok());
    EXPECT_EQ(m->rowCount(), 2);
    ASSERT_TRUE(tabla->ordenar("DescCuerpo ASC").ok());
    EXPECT_EQ(m->index(0, 1).data().toString(), "Administrativos");

    rejilla.selectionModel()->select(m->index(1, 0),
                                     QItemSelectionModel::Select | QItemSelectionModel::Rows);
    rejilla.selectionModel()->select(m->index(0, 0),
                                     QItemSelectionModel::Select | QItemSelectionModel::Rows);
    EXPECT_EQ(rejilla.filasSeleccionadas(), QList<int>({0, 1}));
    rejilla.limpiarSeleccion();
    EXPECT_TRUE(rejilla.filasSeleccionadas().isEmpty());

    // La fila con el foco es el registro actual de la tabla.
    rejilla.setFilaActual(1);
    EXPECT_EQ(rejilla.filaActual(), 1);
    EXPECT_EQ(tabla->texto("DescCuerpo"), "Auxiliares");
    rejilla.ocultarColumna("CodCuerpo");
    EXPECT_TRUE(rejilla.isColumnHidden(0));
}

}  // namespace
