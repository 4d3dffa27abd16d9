#include "FormularioPrueba.h"
#include "form/ventanas/PestanaSolicitante.h"
#include "platform/ventanas/ComboDatos.h"
#include "ui_PestanaSolicitante.h"

#include <QRadioButton>
#include <QTest>
#include <functional>

namespace {

// Una fila de la tabla de grupos de opciones: desde qué estado se parte, qué opción se elige y
// cómo deben quedar los controles. Cada fila se prueba con un clic y marcando la opción desde el
// código, como hace la lectura de una solicitud guardada.
struct FilaOpcion {
    const char* nombre;
    QStringList antes;  // opciones marcadas antes, en orden
    const char* opcion;
    QStringList visibles = {}, ocultos = {}, vacios = {}, conTexto = {}, habilitados = {},
                deshabilitados = {}, marcadas = {};
    const char* foco = nullptr;
};

class OpcionesSolicitanteTest : public FormularioPrueba {
protected:
    QWidget* w(const QString& nombre) {
        QWidget* c = form->findChild<QWidget*>(nombre);
        EXPECT_NE(c, nullptr) << nombre.toStdString();
        return c;
    }
    // Todo lo que puede borrarse, con texto, para ver qué borra cada opción.
    void rellenar() {
        for (QLineEdit* caja : form->findChildren<QLineEdit*>())
            if (caja->property("campo").isValid() && caja != form->txtDNI())
                caja->setText(caja->maxLength() >= 9 ? "12345678Z" : "7");
    }
    void comprobar(const FilaOpcion& f) {
        for (const QString& n : f.visibles) EXPECT_FALSE(w(n)->isHidden()) << n.toStdString();
        for (const QString& n : f.ocultos) EXPECT_TRUE(w(n)->isHidden()) << n.toStdString();
        for (const QString& n : f.vacios)
            EXPECT_EQ(qobject_cast<QLineEdit*>(w(n))->text(), "") << n.toStdString();
        for (const QString& n : f.conTexto)
            EXPECT_NE(qobject_cast<QLineEdit*>(w(n))->text(), "") << n.toStdString();
        for (const QString& n : f.habilitados) EXPECT_TRUE(w(n)->isEnabled()) << n.toStdString();
        for (const QString& n : f.deshabilitados)
            EXPECT_FALSE(w(n)->isEnabled()) << n.toStdString();
        for (const QString& n : f.marcadas)
            EXPECT_TRUE(qobject_cast<QRadioButton*>(w(n))->isChecked()) << n.toStdString();
        if (f.foco) {
            EXPECT_EQ(QApplication::focusWidget(), w(f.foco));
        }
    }
};

const QStringList kConyuge = {"txtDNIConyuge", "txtConyuApellido1", "txtCOnyuApellido2",
                              "txtConyuNombre"};
const QStringList kDiscapacidad = {"lblAdap", "lblTipoDis", "txtAdaptaciones", "txtTipoDisc"};

TEST_F(OpcionesSolicitanteTest, CadaFilaPorClicYDesdeElCodigo) {
    const std::vector<FilaOpcion> filas = {
        {"discapacidad sí", {"optDiscNo"}, "optDiscSi", kDiscapacidad},
        {"discapacidad no",
         {"optDiscSi"},
         "optDiscNo",
         {},
         kDiscapacidad,
         {"txtTipoDisc", "txtAdaptaciones"}},
        {"definitivo",
         {"OptSi", "optTemporal"},
         "optDefinitivo",
         {"txtFecPosesion", "lblPosesion"}},
        {"provisional",
         {"OptSi", "optDefinitivo"},
         "optTemporal",
         {},
         {"txtFecPosesion", "lblPosesion"},
         {"txtFecPosesion"}},
        {"con destino actual",
         {"OptNo"},
         "OptSi",
         {"fraServicioSalud", "fraRegion", "fraDefTemp", "txtFecPosesion", "lblPosesion"}},
        {"sin destino actual",
         {"OptSi"},
         "OptNo",
         {},
         {"fraServicioSalud", "fraRegion", "fraDefTemp", "txtFecPosesion", "lblPosesion"},
         {"txtFecPosesion", "txtPuesto", "txtLocalidadPuesto", "txtProvinciaPuesto", "txtSS"},
         {"txtInstiAct", "txtZBSAct", "txtProvAct", "txtNRP"}},
        {"otro servicio de salud",
         {"optSSNorsa"},
         "optSSOtros",
         {"txtSS"},
         {},
         {},
         {},
         {},
         {},
         {},
         "txtSS"},
        {"NORSA", {"optSSOtros"}, "optSSNorsa", {}, {"txtSS"}, {"txtSS"}},
        {"activo",
         {"optOtras", "optReingesoSi"},
         "optActivo",
         {},
         {"txtFechaSit", "lblFechaSit", "txtSitAdm", "cboSituaciones"},
         {"txtFechaSit", "txtSitAdm"},
         {},
         {},
         {"fraReingreso"},
         {"optReingresoNo"}},
        {"otras situaciones",
         {"optActivo"},
         "optOtras",
         {"cboSituaciones", "txtFechaSit", "lblFechaSit"},
         {"txtSitAdm"},
         {},
         {},
         {"fraReingreso"}},
        {"forzoso",
         {"optVoluntario", "optPetConyugeSi"},
         "optForzoso",
         {},
         {"fraDNIConyuge", "fraAcopPetConyu"},
         kConyuge,
         {},
         {},
         {},
         {"optPetConyugeNo"}},
        {"voluntario tras forzoso",
         {"optPetConyugeSi", "optForzoso"},
         "optVoluntario",
         {},
         {"fraDNIConyuge", "fraAcopPetConyu"},
         {},
         kConyuge},
        {"se condiciona al cónyuge",
         {"optPetConyugeNo"},
         "optPetConyugeSi",
         {"fraDNIConyuge"},
         {},
         {},
         kConyuge},
        {"no se condiciona",
         {"optPetConyugeSi"},
         "optPetConyugeNo",
         {},
         {"fraDNIConyuge"},
         kConyuge},
        {"reingreso",
         {"optOtras", "optReingresoNo"},
         "optReingesoSi",
         {"fraAcopPetConyu"},
         {},
         {},
         {"txtFechaSit", "txtDNIConyuge"},
         {"fraReingreso"}},
    };
    for (const bool porClic : {true, false}) {
        for (const FilaOpcion& f : filas) {
            SCOPED_TRACE(std::string(f.nombre) + (porClic ? " (clic)" : " (código)"));
            // Cada fila parte de un formulario nuevo.
            TearDown();
            SetUp();
            for (const QString& n : f.antes)
                form->pestanaSolicitante()->elegirOpcion(qobject_cast<QRadioButton*>(w(n)));
            rellenar();
            auto* opcion = qobject_cast<QRadioButton*>(w(f.opcion));
            ASSERT_FALSE(opcion->isChecked());
            if (porClic)
                opcion->click();
            else
                opcion->setChecked(true);
            procesar();
            EXPECT_TRUE(opcion->isChecked());
            comprobar(f);
        }
    }
}

TEST_F(OpcionesSolicitanteTest, ClicEnElSiDelDestinoYaMarcadoEnsenaLaRegion) {
    ASSERT_TRUE(ui().OptSi->isChecked());
    ASSERT_FALSE(ui().fraRegion->isVisible());
    clic(ui().OptSi);
    EXPECT_TRUE(ui().fraRegion->isVisible());
    EXPECT_TRUE(ui().OptSi->isChecked());
    // Con el ratón sobre el "No": oculta y borra; al volver al "Sí" nada se recupera.
    ui().txtSS->setText("Otro servicio");
    ui().txtFecPosesion->setText("01/01/2000");
    clic(ui().OptNo);
    EXPECT_FALSE(ui().fraRegion->isVisible());
    clic(ui().OptSi);
    EXPECT_TRUE(ui().fraRegion->isVisible());
    EXPECT_EQ(ui().txtSS->text(), "");
    EXPECT_EQ(ui().txtFecPosesion->text(), "");
}

TEST_F(OpcionesSolicitanteTest, ClicSobreLaOpcionYaMarcadaVuelveAEjecutarSuManejador) {
    clic(ui().optOtras);
    EXPECT_TRUE(ui().cboSituaciones->isVisible());
    clic(ui().optActivo);
    // Lo escrito después se borra con otro clic en "Activo", aunque ya estuviera marcado.
    ui().txtSitAdm->setText("a mano");
    ui().txtFechaSit->setText("01/01/2000");
    clic(ui().optActivo);
    EXPECT_TRUE(ui().optActivo->isChecked());
    EXPECT_EQ(ui().txtSitAdm->text(), "");
    EXPECT_EQ(ui().txtFechaSit->text(), "");
    // Y lo mismo al elegirla desde el código.
    ui().txtSitAdm->setText("a mano");
    form->pestanaSolicitante()->elegirOpcion(ui().optActivo);
    EXPECT_EQ(ui().txtSitAdm->text(), "");
}

}  // namespace
