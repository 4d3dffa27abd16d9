#include "../../users/ventanas/Teclado.h"
#include "FormularioPrueba.h"
#include "form/ventanas/PanelPlazas.h"
#include "form/ventanas/PestanaResultas.h"
#include "form/ventanas/PestanaSolicitante.h"
#include "form/ventanas/PestanaVacantes.h"
#include "global/Globales.h"
#include "platform/ventanas/ComboDatos.h"
#include "platform/ventanas/RejillaDatos.h"
#include "ui_PestanaResultas.h"
#include "ui_PestanaSolicitante.h"
#include "ui_PestanaVacantes.h"

#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>

namespace {

class ListasPlazasTest : public FormularioPrueba {
protected:
    void SetUp() override {
        FormularioPrueba::SetUp();
        cuerpo = cuerpoConMasPlazas();
        ASSERT_NE(cuerpo, nullptr);
        ASSERT_GE(cuerpo->Vacantes->numeroRegistros(), 5);
        elegirFila(ui().cboCuerpo, cuerpo->CodCuerpo);
        form->tabPrincipal()->setCurrentIndex(2);
        procesar();
    }
    Ui::PestanaVacantes& v() { return form->pestanaVacantes()->controles(); }
    Ui::PestanaResultas& r() { return form->pestanaResultas()->controles(); }
    const PTabla& lista() { return G().rsVacantesSolicitadas; }

    // Código de la plaza número i (en orden de código) del cuerpo.
    QString codigo(int i) { return cuerpo->Vacantes->clonar()->valorEnFila(i, 0).toString(); }
    // Elige la plaza, escribe el orden y pulsa "Aceptar".
    void anadir(const QString& cod, const QString& orden = QString()) {
        elegirFila(v().cboPuestoVacante, cod);
        v().txtOrdenVacante->setText(orden);
        v().cmdAceptarVacante->click();
        procesar();
    }
    // "Código=Orden" de cada fila, en el orden de la rejilla.
    QStringList filas() { return filas(lista()); }
    QStringList filas(const PTabla& t) {
        QStringList r;
        for (int f = 0; f < t->numeroRegistros(); ++f)
            r << t->valorEnFila(f, 2).toString() + "=" + t->valorEnFila(f, 1).toString();
        return r;
    }
    void seleccionar(RejillaDatos* rejilla, const QList<int>& filasElegidas) {
        rejilla->limpiarSeleccion();
        for (int f : filasElegidas)
            rejilla->selectionModel()->select(
                rejilla->model()->index(f, 0),
                QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    const PlazasCuerpo* cuerpo = nullptr;
};

TEST_F(ListasPlazasTest, AnadirConSuOrdenYSusNombres) {
    anadir(codigo(0), "5");
    ASSERT_EQ(lista()->numeroRegistros(), 1);
    // La primera fila: identificador 0 y orden 1 pida lo que pida.
    const PTabla c = lista()->clonar();
    EXPECT_EQ(c->valorEnFila(0, 0).toLongLong(), 0);
    EXPECT_EQ(c->valorEnFila(0, 1).toLongLong(), 1);
    // Los datos de la plaza, con el nombre de su área y de su zona.
    const PTabla plazas = cuerpo->Vacantes->clonar();
    ASSERT_TRUE(plazas->buscar("CodConvocatoria='" + codigo(0) + "'").ok());
    c->moverPrimero();
    EXPECT_EQ(c->texto("NomConvocatoria"), plazas->texto("NomConvocatoria"));
    EXPECT_EQ(c->texto("Localidad"), plazas->texto("Localidad"));
    EXPECT_EQ(c->texto("CodArea"), plazas->texto("CodArea"));
    EXPECT_EQ(c->texto("Area"), plazas->texto("Area"));
    EXPECT_FALSE(c->texto("Zona").isEmpty());
    // El cuerpo y el grupo ya no cambian; el panel vuelve a estar listo para otra.
    EXPECT_FALSE(ui().cboCuerpo->isEnabled());
    EXPECT_FALSE(ui().cboGrupo->isEnabled());
    EXPECT_EQ(v().cboPuestoVacante->valor(), "");
    EXPECT_EQ(v().txtOrdenVacante->text(), "");
    EXPECT_EQ(form->pestanaVacantes()->panel().modo(), 1);

    // En medio, más allá del final y sin orden.
    anadir(codigo(1));
    anadir(codigo(2));
    anadir(codigo(3), "2");
    EXPECT_EQ(filas(), (QStringList{codigo(0) + "=1", codigo(3) + "=2", codigo(1) + "=3",
                                    codigo(2) + "=4"}));
    anadir(codigo(4), "70");
    EXPECT_EQ(filas().last(), codigo(4) + "=5");
    EXPECT_TRUE(mensajes.mostrados().isEmpty()) << mensajes.textos().join('|').toStdString();
}

// Solo con el teclado: Intro en "Aceptar" (con el foco) añade la plaza elegida, y Tab sale de
// la rejilla en lugar de recorrer sus celdas una a una.
TEST_F(ListasPlazasTest, ConElTeclado) {
    elegirFila(v().cboPuestoVacante, codigo(0));
    v().cmdAceptarVacante->setFocus();
    QTest::keyClick(v().cmdAceptarVacante, Qt::Key_Return);
    procesar();
    ASSERT_EQ(filas(), QStringList{codigo(0) + "=1"});
    anadir(codigo(1));
    v().grdVacantes->setFocus();
    v().grdVacantes->setCurrentIndex(v().grdVacantes->model()->index(0, 0));
    procesar();
    ASSERT_EQ(QApplication::focusWidget(), v().grdVacantes);
    QTest::keyClick(v().grdVacantes, Qt::Key_Tab);
    procesar();
    EXPECT_NE(QApplication::focusWidget(), v().grdVacantes);
    EXPECT_TRUE(mensajes.mostrados().isEmpty()) << mensajes.textos().join('|').toStdString();
}

TEST_F(ListasPlazasTest, AnadirEscribiendoElCodigo) {
    v().txtCodVacante->setFocus();
    procesar();
    escribir(codigo(3));
    pulsar(Qt::Key_Tab);
    procesar();
    ASSERT_EQ(QApplication::focusWidget(), v().cmdAceptarVacante);
    v().txtOrdenVacante->setText("1");
    QTest::keyClick(v().cmdAceptarVacante, Qt::Key_Space);
    procesar();
    EXPECT_EQ(filas(), QStringList{codigo(3) + "=1"});
    // El código queda fuera de la búsqueda siguiente: el conjunto vuelve a verse entero.
    EXPECT_EQ(v().txtCodVacante->text(), "");
    EXPECT_EQ(G().rsVacantesCuerpo->numeroRegistros(),
              cuerpo->Vacantes->clonar()->numeroRegistros());
}

TEST_F(ListasPlazasTest, UnaPlazaRepetidaOQueNoEsDeLaLista) {
    anadir(codigo(0));
    anadir(codigo(0));
    ASSERT_EQ(mensajes.mostrados().size(), 1);
    EXPECT_EQ(mensajes.mostrados()[0].texto, "Este puesto ya ha sido agregado a la solicitud");
    EXPECT_EQ(mensajes.mostrados()[0].titulo, "Solicitud Vacantes");
    EXPECT_EQ(lista()->numeroRegistros(), 1);
    EXPECT_EQ(v().cboPuestoVacante->valor(), "");
    // Un texto escrito que no es de ninguna plaza.
    mensajes.limpiar();
    v().cboPuestoVacante->setTexto("Plaza inventada");
    v().cmdAceptarVacante->click();
    procesar();
    EXPECT_EQ(mensajes.textos(), QStringList{"El puesto elegido no es válido"});
    EXPECT_EQ(lista()->numeroRegistros(), 1);
    // En Resultas, con su título.
    mensajes.limpiar();
    form->tabPrincipal()->setCurrentIndex(3);
    r().cboPuestoResultas->setTexto("Plaza inventada");
    r().cmdAceptarResultas->click();
    procesar();
    ASSERT_EQ(mensajes.mostrados().size(), 1);
    EXPECT_EQ(mensajes.mostrados()[0].titulo, "Solicitud Resultas");
}

TEST_F(ListasPlazasTest, ModificarElOrden) {
    for (int i = 0; i < 5; ++i) anadir(codigo(i));
    seleccionar(v().grdVacantes, {1});  // la de orden 2
    v().cmdUpdateVacante->click();
    procesar();
    EXPECT_EQ(form->pestanaVacantes()->panel().modo(), 2);
    EXPECT_EQ(v().txtOrdenVacante->text(), "2");
    EXPECT_EQ(v().txtCodVacante->text(), codigo(1));
    EXPECT_FALSE(v().txtDescVacantes->isHidden());
    EXPECT_FALSE(v().cboPuestoVacante->isEnabled());
    EXPECT_TRUE(v().lblPlazas->isHidden());
    v().txtOrdenVacante->setText("4");
    v().cmdAceptarVacante->click();
    procesar();
    EXPECT_EQ(filas(), (QStringList{codigo(0) + "=1", codigo(2) + "=2", codigo(3) + "=3",
                                    codigo(1) + "=4", codigo(4) + "=5"}));
    EXPECT_EQ(form->pestanaVacantes()->panel().modo(), 1);
    EXPECT_FALSE(v().lblPlazas->isHidden());
    // Más allá del final: la última.
    seleccionar(v().grdVacantes, {0});
    v().cmdUpdateVacante->click();
    v().txtOrdenVacante->setText("9");
    v().cmdAceptarVacante->click();
    procesar();
    EXPECT_EQ(filas().last(), codigo(0) + "=5");
    // Sin orden: el aviso y se sigue modificando.
    seleccionar(v().grdVacantes, {0});
    v().cmdUpdateVacante->click();
    v().txtOrdenVacante->clear();
    v().cmdAceptarVacante->click();
    procesar();
    ASSERT_EQ(mensajes.mostrados().size(), 1);
    EXPECT_EQ(mensajes.mostrados()[0].texto, "Debe asignar un orden a esta plaza");
    EXPECT_EQ(mensajes.mostrados()[0].titulo, "Error");
    EXPECT_EQ(form->pestanaVacantes()->panel().modo(), 2);
    // Con dos filas seleccionadas "Modificar" no hace nada.
    v().cmdCancelarVacante->click();
    seleccionar(v().grdVacantes, {0, 1});
    v().cmdUpdateVacante->click();
    EXPECT_EQ(form->pestanaVacantes()->panel().modo(), 1);
}

TEST_F(ListasPlazasTest, CadaListaGuardaSuOrdenAnterior) {
    for (int i = 0; i < 4; ++i) anadir(codigo(i));
    form->tabPrincipal()->setCurrentIndex(3);
    const PTabla resultas = cuerpo->Resultas->clonar();
    ASSERT_GE(resultas->numeroRegistros(), 3);
    for (int i = 0; i < 3; ++i) {
        elegirFila(r().cboPuestoResultas, resultas->valorEnFila(i, 0).toString());
        r().cmdAceptarResultas->click();
        procesar();
    }
    // Modificar la de orden 4 de Vacantes y luego la de orden 1 de Resultas: al aceptar en
    // Vacantes la fila va del 4 al 2, sin que la modificación pendiente de Resultas cuente.
    form->tabPrincipal()->setCurrentIndex(2);
    seleccionar(v().grdVacantes, {3});
    v().cmdUpdateVacante->click();
    form->tabPrincipal()->setCurrentIndex(3);
    seleccionar(r().grdResultas, {0});
    r().cmdUpdateResultas->click();
    form->tabPrincipal()->setCurrentIndex(2);
    v().txtOrdenVacante->setText("2");
    v().cmdAceptarVacante->click();
    procesar();
    EXPECT_EQ(filas(), (QStringList{codigo(0) + "=1", codigo(3) + "=2", codigo(1) + "=3",
                                    codigo(2) + "=4"}));
    // Y la de Resultas, aceptada después, va del 1 al 3.
    form->tabPrincipal()->setCurrentIndex(3);
    r().txtOrdenResultas->setText("3");
    r().cmdAceptarResultas->click();
    procesar();
    EXPECT_EQ(filas(G().rsResultasSolicitadas),
              (QStringList{resultas->valorEnFila(1, 0).toString() + "=1",
                           resultas->valorEnFila(2, 0).toString() + "=2",
                           resultas->valorEnFila(0, 0).toString() + "=3"}));
}

TEST_F(ListasPlazasTest, BorrarRenumeraYSueltaElCuerpo) {
    for (int i = 0; i < 4; ++i) anadir(codigo(i));
    // "No": nada se borra.
    seleccionar(v().grdVacantes, {1});
    mensajes.responder(Respuesta::No);
    v().cmdDelVacante->click();
    ASSERT_EQ(mensajes.mostrados().size(), 1);
    EXPECT_EQ(mensajes.mostrados()[0].texto, "¿Desea borrar la fila seleccionada?");
    EXPECT_EQ(mensajes.mostrados()[0].titulo, "Solicitudes");
    EXPECT_EQ(mensajes.mostrados()[0].botones, Botones::SiNo);
    EXPECT_EQ(mensajes.mostrados()[0].porDefecto, Respuesta::No);
    EXPECT_EQ(lista()->numeroRegistros(), 4);
    // "Sí": la de orden 2 se va y el resto queda 1, 2, 3.
    seleccionar(v().grdVacantes, {1});
    mensajes.responder(Respuesta::Si);
    v().cmdDelVacante->click();
    EXPECT_EQ(filas(), (QStringList{codigo(0) + "=1", codigo(2) + "=2", codigo(3) + "=3"}));
    // Sin selección no pregunta.
    mensajes.limpiar();
    v().grdVacantes->limpiarSeleccion();
    v().cmdDelVacante->click();
    EXPECT_TRUE(mensajes.mostrados().isEmpty());
    // Borradas todas: el cuerpo se puede volver a elegir; el grupo sigue como estaba.
    for (int i = 0; i < 3; ++i) {
        seleccionar(v().grdVacantes, {0});
        mensajes.responder(Respuesta::Si);
        v().cmdDelVacante->click();
    }
    EXPECT_EQ(lista()->numeroRegistros(), 0);
    EXPECT_TRUE(ui().cboCuerpo->isEnabled());
    EXPECT_FALSE(ui().cboGrupo->isEnabled());
}

TEST_F(ListasPlazasTest, ElCuerpoSeSueltaSoloConLasDosListasVacias) {
    anadir(codigo(0));
    form->tabPrincipal()->setCurrentIndex(3);
    elegirFila(r().cboPuestoResultas, cuerpo->Resultas->clonar()->valorEnFila(0, 0).toString());
    r().cmdAceptarResultas->click();
    ASSERT_EQ(G().rsResultasSolicitadas->numeroRegistros(), 1);
    seleccionar(v().grdVacantes, {0});
    mensajes.responder(Respuesta::Si);
    v().cmdDelVacante->click();
    EXPECT_EQ(lista()->numeroRegistros(), 0);
    EXPECT_FALSE(ui().cboCuerpo->isEnabled());  // Resultas aún tiene una
    seleccionar(r().grdResultas, {0});
    mensajes.responder(Respuesta::Si);
    r().cmdDelResultas->click();
    EXPECT_EQ(G().rsResultasSolicitadas->numeroRegistros(), 0);
    EXPECT_TRUE(ui().cboCuerpo->isEnabled());
    EXPECT_FALSE(ui().cboGrupo->isEnabled());
}

TEST_F(ListasPlazasTest, InsertarTodasLasQueEnsenaLaBusqueda) {
    anadir(codigo(2));
    const int total = cuerpo->Vacantes->numeroRegistros();
    v().cmdTodasVacantes->click();
    procesar();
    EXPECT_EQ(lista()->numeroRegistros(), total);
    EXPECT_TRUE(mensajes.mostrados().isEmpty());
    // Las nuevas van detrás, en orden de código, saltando la que ya estaba.
    QStringList esperado{codigo(2) + "=1"};
    int orden = 2;
    for (int i = 0; i < total; ++i)
        if (i != 2) esperado << codigo(i) + "=" + QString::number(orden++);
    EXPECT_EQ(filas(), esperado);
    EXPECT_TRUE(v().cmdTodasVacantes->isEnabled());
    // Resultas: con una búsqueda que no enseña nada no añade nada, y el botón se apaga igual.
    form->tabPrincipal()->setCurrentIndex(3);
    r().txtCodResulta->setFocus();
    procesar();
    escribir("99999");
    pulsar(Qt::Key_Tab);
    procesar();
    r().cmdInsertaTodasResultas->click();
    EXPECT_EQ(G().rsResultasSolicitadas->numeroRegistros(), 0);
    EXPECT_FALSE(r().cmdInsertaTodasResultas->isEnabled());
}

TEST_F(ListasPlazasTest, InsertarTodasFijaElCuerpoComoUnaSola) {
    // Sin plazas añadidas, una búsqueda que no enseña ninguna no fija nada.
    v().txtCodVacante->setText("99999");
    form->pestanaVacantes()->aplicarFiltro();
    v().cmdTodasVacantes->click();
    ASSERT_EQ(lista()->numeroRegistros(), 0);
    EXPECT_TRUE(ui().cboCuerpo->isEnabled());
    v().txtCodVacante->clear();
    form->pestanaVacantes()->aplicarFiltro();
    v().cmdTodasVacantes->click();
    ASSERT_GT(lista()->numeroRegistros(), 0);
    EXPECT_FALSE(ui().cboCuerpo->isEnabled());
    EXPECT_FALSE(ui().cboGrupo->isEnabled());
}

// "Insertar Todas" va por tramos: entre uno y otro la ventana atiende, toda orden que cambiaría
// la lista se rechaza sin preguntar nada, otra búsqueda a mitad no cambia lo que se inserta, y la
// lista acaba como si se hubiera hecho de una vez.
TEST_F(ListasPlazasTest, InsertarTodasDejaAtenderYRechazaLoQueEdita) {
    anadir(codigo(2));
    const int total = cuerpo->Vacantes->numeroRegistros();
    QStringList esperado{codigo(2) + "=1"};
    for (int i = 0, orden = 2; i < total; ++i)
        if (i != 2) esperado << codigo(i) + "=" + QString::number(orden++);
    PanelPlazas& panel = form->pestanaVacantes()->panel();
    PanelPlazas::setPlazasPorTramo(1);
    QSignalSpy terminada(&panel, &PanelPlazas::insercionTerminada);
    v().cmdTodasVacantes->click();
    ASSERT_TRUE(panel.insertando());
    EXPECT_LT(lista()->numeroRegistros(), total);
    // El cuerpo ya no cambia mientras tanto.
    EXPECT_FALSE(ui().cboCuerpo->isEnabled());
    // Otra búsqueda: solo una plaza a la vista.
    v().txtCodVacante->setText(codigo(4));
    form->pestanaVacantes()->aplicarFiltro();
    ASSERT_EQ(G().rsVacantesCuerpo->numeroRegistros(), 1);
    int tramos = 0;
    while (panel.insertando() && tramos < 10 * total) {
        const QStringList antes = filas();
        // Nada de esto cambia la lista ni pregunta: añadir, modificar, borrar, cancelar,
        // insertar otra vez, cualquier orden del menú y cerrar.
        // Sin dejar correr la ventana (elegir en la lista la dejaría avanzar).
        v().cboPuestoVacante->setValor(codigo(4));
        v().txtOrdenVacante->setText("1");
        v().cmdAceptarVacante->click();
        seleccionar(v().grdVacantes, {0});
        v().cmdUpdateVacante->click();
        v().cmdDelVacante->click();
        v().cmdCancelarVacante->click();
        v().cmdTodasVacantes->click();
        for (int orden : {1000, 2000, 2500, 4000}) form->mnuP_Click(orden);
        EXPECT_FALSE(form->close());
        EXPECT_TRUE(form->isVisible());
        EXPECT_EQ(filas(), antes);
        ASSERT_TRUE(mensajes.mostrados().isEmpty()) << mensajes.textos().join('|').toStdString();
        QApplication::processEvents();
        ++tramos;
    }
    EXPECT_GE(tramos, 2);
    EXPECT_EQ(terminada.size(), 1);
    EXPECT_FALSE(panel.insertando());
    lista()->ordenar("Orden ASC");
    EXPECT_EQ(filas(), esperado);
    PanelPlazas::setPlazasPorTramo(0);
}

TEST_F(ListasPlazasTest, LaCajaDeOrden) {
    v().txtOrdenVacante->setFocus();
    procesar();
    escribir("2.6x");
    EXPECT_EQ(v().txtOrdenVacante->text(), "2,6");
    for (const char* malo : {"0", "40000", "-", "-3"}) {
        v().txtOrdenVacante->setFocus();
        procesar();
        v().txtOrdenVacante->setText(malo);
        pulsar(Qt::Key_Tab);
        procesar();
        EXPECT_EQ(v().txtOrdenVacante->text(), "") << malo;
    }
    v().txtOrdenVacante->setFocus();
    procesar();
    v().txtOrdenVacante->setText("32000");
    pulsar(Qt::Key_Tab);
    procesar();
    EXPECT_EQ(v().txtOrdenVacante->text(), "32000");
}

}  // namespace
