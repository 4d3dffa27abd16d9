#include "../../users/ventanas/Teclado.h"
#include "FormularioPrueba.h"
#include "form/ventanas/PestanaSolicitante.h"
#include "global/Globales.h"
#include "platform/ventanas/ComboDatos.h"
#include "ui_PestanaSolicitante.h"

#include <QLineEdit>
#include <QRadioButton>
#include <QWheelEvent>

namespace {

using CascadasSolicitanteTest = FormularioPrueba;

// Todas las filas que la lista del combo enseña tienen ese valor en el campo.
void todasCon(ComboDatos* combo, const QString& campo, const QString& valor) {
    const PTabla& t = combo->tabla();
    ASSERT_GT(t->numeroRegistros(), 0) << combo->objectName().toStdString();
    EXPECT_EQ(combo->count(), t->numeroRegistros());
    for (int f = 0; f < t->numeroRegistros(); ++f)
        EXPECT_EQ(t->valorEnFila(f, t->indiceCampo(campo)).toString(), valor);
}

// Primer valor del primer campo de la tabla tal como se ve.
QString primerValor(const PTabla& t) {
    return t->valorEnFila(0, 0).toString();
}

TEST_F(CascadasSolicitanteTest, CuerposSinElGrupoXConSusAnchos) {
    EXPECT_EQ(G().rsCuerpos->filtro(), "Grupo <> 'X'");
    ASSERT_GT(G().rsCuerpos->numeroRegistros(), 0);
    EXPECT_EQ(ui().cboCuerpo->count(), G().rsCuerpos->numeroRegistros());
    for (int f = 0; f < G().rsCuerpos->numeroRegistros(); ++f)
        EXPECT_NE(G().rsCuerpos->valorEnFila(f, 2).toString(), "X");
    EXPECT_EQ(ui().cboCuerpo->columnaValor(), "CodCuerpo");
    EXPECT_EQ(ui().cboCuerpo->anchoColumna(0), 60);   // 900 twips
    EXPECT_EQ(ui().cboCuerpo->anchoColumna(1), 380);  // 5700 twips
    EXPECT_EQ(ui().cboGrupo->columnaValor(), "Grupo");
}

TEST_F(CascadasSolicitanteTest, SeisCombosQueSoloSeEligen) {
    for (ComboDatos* combo : {ui().cboCuerpo, ui().cboGrupo, ui().cboProvincia, ui().cboPrefArea,
                              ui().cboPrefLocalidad, ui().cboPrefProvincia}) {
        SCOPED_TRACE(combo->objectName().toStdString());
        EXPECT_FALSE(combo->admiteEscritura());
        combo->setFocus();
        procesar();
        escribir("Abc");
        pulsar(Qt::Key_Backspace);
        // Ni las flechas ni la rueda eligen con la lista cerrada.
        for (Qt::Key k : {Qt::Key_Down, Qt::Key_PageDown, Qt::Key_End, Qt::Key_Up}) pulsar(k);
        QWheelEvent rueda(QPointF(5, 5), combo->mapToGlobal(QPointF(5, 5)), QPoint(),
                          QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(combo, &rueda);
        EXPECT_EQ(combo->texto(), "");
        EXPECT_EQ(combo->valor(), "");
    }
    // Se eligen de la lista.
    elegirFila(ui().cboProvincia, primerValor(G().rsProvinciasPersonales));
    EXPECT_FALSE(ui().cboProvincia->texto().isEmpty());
    for (ComboDatos* combo : {ui().cboSituaciones, ui().cboProvinciasTarv, ui().cboAreaTarv,
                              ui().cboZBSTarv, ui().cboLocalidadesTarv})
        EXPECT_TRUE(combo->admiteEscritura()) << combo->objectName().toStdString();
}

TEST_F(CascadasSolicitanteTest, DestinoActualProvinciaYArea) {
    clic(ui().OptSi);
    const QString provincia = primerValor(G().rsProvincias);
    elegirFila(ui().cboProvinciasTarv, provincia);
    EXPECT_EQ(G().rsAreasTarv->filtro(), "CodProvincia='" + provincia + "' ");
    EXPECT_EQ(G().rsLocalidadesTarv->filtro(), "CodProvincia='" + provincia + "' ");
    todasCon(ui().cboAreaTarv, "CodProvincia", provincia);
    todasCon(ui().cboLocalidadesTarv, "CodProvincia", provincia);
    // La segunda lista de localidades no es la de la preferencia.
    EXPECT_EQ(G().rsLocalidades->filtro(), "0");

    const QString area = primerValor(G().rsAreasTarv);
    elegirFila(ui().cboAreaTarv, area);
    EXPECT_EQ(G().rsZonasTarv->filtro(), "CodArea='" + area + "' ");
    todasCon(ui().cboZBSTarv, "CodArea", area);
    const QString zona = primerValor(G().rsZonasTarv);
    elegirFila(ui().cboZBSTarv, zona);
    // La otra lista de zonas, que imprime el mismo campo, lleva el mismo texto.
    EXPECT_EQ(ui().SSOleDBCombo1->texto(), ui().cboZBSTarv->texto());
    EXPECT_FALSE(ui().SSOleDBCombo1->texto().isEmpty());

    // Otra provincia: el área elegida se pierde y la zona se queda sin lista de su área. Lo que
    // se hubiera escrito a mano en el área también se va: no es un área de la provincia nueva.
    const QString otra = G().rsProvincias->valorEnFila(1, 0).toString();
    elegirFila(ui().cboProvinciasTarv, otra);
    EXPECT_EQ(ui().cboAreaTarv->valor(), "");
    EXPECT_EQ(ui().cboLocalidadesTarv->valor(), "");
    elegirFila(ui().cboAreaTarv, primerValor(G().rsAreasTarv));
    EXPECT_EQ(ui().cboZBSTarv->valor(), "");
    EXPECT_EQ(ui().SSOleDBCombo1->texto(), "");

    // Escribir entera otra provincia y salir de la caja la elige, con su cascada: las áreas son
    // las suyas. Volver a pasar el foco sin cambiarla no toca el área elegida.
    const PTabla& provincias = G().rsProvincias;
    const QString tercera = provincias->valorEnFila(2, 0).toString();
    const QString nombre =
        provincias->valorEnFila(2, provincias->indiceCampo(ui().cboProvinciasTarv->columnaTexto()))
            .toString();
    ui().cboProvinciasTarv->setFocus();
    procesar();
    ui().cboProvinciasTarv->lineEdit()->selectAll();
    escribir(nombre);
    pulsar(Qt::Key_Tab);
    EXPECT_EQ(ui().cboProvinciasTarv->valor(), tercera);
    EXPECT_EQ(G().rsAreasTarv->filtro(), "CodProvincia='" + tercera + "' ");
    const QString suArea = primerValor(G().rsAreasTarv);
    elegirFila(ui().cboAreaTarv, suArea);
    ui().cboProvinciasTarv->setFocus();
    procesar();
    pulsar(Qt::Key_Tab);
    EXPECT_EQ(ui().cboAreaTarv->valor(), suArea);
}

TEST_F(CascadasSolicitanteTest, PreferenciaPorArea) {
    // El marco está oculto y ningún paso lo enseña; la cascada funciona igual.
    const PTabla& areas = G().rsAreas;
    const QString area = primerValor(areas);
    const QString provincia = areas->valorEnFila(0, areas->indiceCampo("CodProvincia")).toString();
    elegirFila(ui().cboPrefArea, area);
    EXPECT_EQ(G().rsLocalidades->filtro(), "CodProvincia='" + provincia + "' ");
    EXPECT_EQ(G().rsZonas->filtro(), "CodArea='" + area + "' ");
    todasCon(ui().cboPrefLocalidad, "CodProvincia", provincia);
    todasCon(ui().cboPrefProvincia, "CodArea", area);
    EXPECT_EQ(ui().cboPrefLocalidad->valor(), "");
    EXPECT_EQ(ui().cboPrefProvincia->valor(), "");
    elegirFila(ui().cboPrefLocalidad, primerValor(G().rsLocalidades));
    elegirFila(ui().cboPrefProvincia, primerValor(G().rsZonas));
    // Otra área vacía lo elegido.
    elegirFila(ui().cboPrefArea, areas->valorEnFila(1, 0).toString());
    EXPECT_EQ(ui().cboPrefLocalidad->valor(), "");
    EXPECT_EQ(ui().cboPrefProvincia->valor(), "");
}

TEST_F(CascadasSolicitanteTest, SituacionAdministrativa) {
    clic(ui().optOtras);
    ASSERT_TRUE(ui().cboSituaciones->isVisible());
    // Una situación de la lista: su texto va a la caja, que sigue oculta.
    elegirFila(ui().cboSituaciones, "03");
    EXPECT_FALSE(ui().txtSitAdm->isVisible());
    EXPECT_EQ(ui().txtSitAdm->text(), "Excedencia por cuidado de familiares");
    // La que se escribe a mano ("esOtras" = "1"): la caja vacía, a la vista y con el foco.
    elegirConRaton(ui().cboSituaciones, "08");
    EXPECT_TRUE(ui().txtSitAdm->isVisible());
    EXPECT_EQ(ui().txtSitAdm->text(), "");
    // Tras cerrarse la lista, offscreen no vuelve a activar la ventana: se mira su foco.
    EXPECT_EQ(form->focusWidget(), ui().txtSitAdm);
    ui().txtSitAdm->setText("Excedencia especial");
    // "Activo" lo deja todo vacío y oculto.
    clic(ui().optActivo);
    EXPECT_EQ(ui().cboSituaciones->valor(), "");
    EXPECT_EQ(ui().cboSituaciones->texto(), "");
    EXPECT_FALSE(ui().txtSitAdm->isVisible());
    EXPECT_EQ(ui().txtSitAdm->text(), "");
}

}  // namespace
