#include "../../users/ventanas/Teclado.h"
#include "FormularioPrueba.h"
#include "form/ventanas/PestanaSolicitante.h"
#include "global/Globales.h"
#include "platform/ventanas/ComboDatos.h"
#include "ui_PestanaSolicitante.h"

#include <QtGui/private/qguiapplication_p.h>
#include <QtGui/qpa/qplatformaccessibility.h>
#include <QtGui/qpa/qplatformintegration.h>
#include <QAccessible>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDate>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>

namespace {

using PestanaSolicitanteTest = FormularioPrueba;

// Rótulo de un control: el texto de la etiqueta que lo nombra (su "buddy") o el de la opción.
QString rotulo(QWidget* control) {
    if (auto* opcion = qobject_cast<QRadioButton*>(control)) return opcion->text();
    for (QLabel* l : control->window()->findChildren<QLabel*>())
        if (l->buddy() == control) return l->text();
    return QString();
}

enum class Tipo { Texto, Opcion, Combo };

struct Control {
    const char* nombre;
    const char* rotulo;
    const char* campo;
    Tipo tipo;
    int longitud;             // textos
    PTabla Globales::*tabla;  // combos
    const char* marco;        // marco que lo contiene
};

TEST_F(PestanaSolicitanteTest, CadaControlDeLasTresTablas) {
    const Control controles[] = {
        {"txtApellido1", "Primer Apellido", "PRIMERAPELLIDO", Tipo::Texto, 25, nullptr,
         "fraPersonales"},
        {"txtApellido2", "Segundo Apellido", "SEGUNDOAPELLIDO", Tipo::Texto, 25, nullptr,
         "fraPersonales"},
        {"txtNombre", "Nombre", "NOMBRE", Tipo::Texto, 15, nullptr, "fraPersonales"},
        {"txtDNI", "NIF", "NDNI", Tipo::Texto, 9, nullptr, "fraPersonales"},
        {"txtFecNacimiento", "Fec Nacimiento", "FECHANACIMIENTO", Tipo::Texto, 10, nullptr,
         "fraPersonales"},
        {"txtTelefono", "Teléfono", "TELEFONO", Tipo::Texto, 9, nullptr, "fraPersonales"},
        {"txtDomicilio", "Domicilio", "DOMICILIO", Tipo::Texto, 60, nullptr, "fraPersonales"},
        {"txtLocalidad", "Localidad", "LOCALIDAD", Tipo::Texto, 60, nullptr, "fraPersonales"},
        {"cboProvincia", "Provincia", "PROVINCIA", Tipo::Combo, 0,
         &Globales::rsProvinciasPersonales, "fraPersonales"},
        {"txtCP", "Cº Postal", "CPOSTAL", Tipo::Texto, 5, nullptr, "fraPersonales"},
        {"optDiscSi", "Sí", "DISCAPACIDADSI", Tipo::Opcion, 0, nullptr, "fraPersonales"},
        {"optDiscNo", "No", "DISCAPACIDADNO", Tipo::Opcion, 0, nullptr, "fraPersonales"},
        {"txtTipoDisc", "Tipo", "TIPODISCAPACIDAD", Tipo::Texto, 50, nullptr, "fraPersonales"},
        {"txtAdaptaciones", "Adaptaciones Precisas", "ADAPTACIONESPRECISAS", Tipo::Texto, 50,
         nullptr, "fraPersonales"},

        {"cboCuerpo", "Categoría", "CUERPOOESCALA", Tipo::Combo, 0, &Globales::rsCuerpos,
         "fraProfesionales"},
        {"cboGrupo", "Grupo", "GRUPO", Tipo::Combo, 0, &Globales::rsGrupos, "fraProfesionales"},
        {"txtNRP", "NºRegistro Personal", "NUMEROREGISTRO", Tipo::Texto, 24, nullptr,
         "fraProfesionales"},
        {"txtFechaIngreso", "Fecha Ingreso en la categoría como fijo", "FECHAINGRESO", Tipo::Texto,
         10, nullptr, "fraProfesionales"},
        {"OptSi", "Sí", "", Tipo::Opcion, 0, nullptr, "fraProfesionales"},
        {"OptNo", "No", "", Tipo::Opcion, 0, nullptr, "fraProfesionales"},
        {"optDefinitivo", "De carácter definitivo", "DEFINITIVO", Tipo::Opcion, 0, nullptr,
         "fraDefTemp"},
        {"optTemporal", "De carácter provisional", "TEMPORAL", Tipo::Opcion, 0, nullptr,
         "fraDefTemp"},
        {"txtFecPosesion", "Fecha toma posesión", "FECHAPOSESION", Tipo::Texto, 10, nullptr,
         "fraProfesionales"},
        {"cboProvinciasTarv", "Provincia", "PROVINCIATarv", Tipo::Combo, 0, &Globales::rsProvincias,
         "fraRegion"},
        {"cboAreaTarv", "Área", "AREATarv", Tipo::Combo, 0, &Globales::rsAreasTarv, "fraRegion"},
        {"cboZBSTarv", "ZBS", "ZBSTarv", Tipo::Combo, 0, &Globales::rsZonasTarv, "fraRegion"},
        {"cboLocalidadesTarv", "Localidad", "LOCALIDADTarv", Tipo::Combo, 0,
         &Globales::rsLocalidadesTarv, "fraRegion"},
        {"txtPuesto", "", "INSTITUCION", Tipo::Texto, 100, nullptr, "fraRegion"},
        {"txtLocalidadPuesto", "", "LOCALIDADPUESTO", Tipo::Texto, 60, nullptr, "fraRegion"},
        {"txtProvinciaPuesto", "", "PROVINCIAPUESTO", Tipo::Texto, 60, nullptr, "fraRegion"},
        {"SSOleDBCombo1", "", "ZBSTarv", Tipo::Combo, 0, &Globales::rsZonasTarv, "fraRegion"},
        {"optSSNorsa", "NORSA", "NORSA", Tipo::Opcion, 0, nullptr, "fraServicioSalud"},
        {"optSSOtros", "Otros", "SSOTROS", Tipo::Opcion, 0, nullptr, "fraServicioSalud"},
        {"txtSS", "", "SSCUALOTROS", Tipo::Texto, 50, nullptr, "fraServicioSalud"},
        {"txtInstiAct", "Institución", "INSTITUCIONACT", Tipo::Texto, 60, nullptr,
         "fraProfesionales"},
        {"txtZBSAct", "Localidad/ZBS", "ZBSACT", Tipo::Texto, 60, nullptr, "fraProfesionales"},
        {"txtProvAct", "Provincia", "PROVINCIAACT", Tipo::Texto, 60, nullptr, "fraProfesionales"},
        {"optActivo", "Activo", "ACTIVO", Tipo::Opcion, 0, nullptr, "fraSituacion"},
        {"optOtras", "Otras", "OTRAS", Tipo::Opcion, 0, nullptr, "fraSituacion"},
        {"cboSituaciones", "", "", Tipo::Combo, 0, &Globales::rsSituaciones, "fraSituacion"},
        {"txtSitAdm", "", "CUALOTRAS", Tipo::Texto, 50, nullptr, "fraSituacion"},
        {"txtFechaSit", "Fecha", "FECHASIT", Tipo::Texto, 10, nullptr, "fraSituacion"},

        {"optVoluntario", "Voluntario", "VOLUNTARIO", Tipo::Opcion, 0, nullptr, "fraForzVol"},
        {"optForzoso", "Forzoso", "FORZOSO", Tipo::Opcion, 0, nullptr, "fraForzVol"},
        {"optPetConyugeSi", "Sí", "SEACOMPAÑAPETICIONSI", Tipo::Opcion, 0, nullptr,
         "fraAcopPetConyu"},
        {"optPetConyugeNo", "No", "SEACOMPAÑAPETICIONNO", Tipo::Opcion, 0, nullptr,
         "fraAcopPetConyu"},
        {"txtDNIConyuge", "NIF", "NDNICONYUGE", Tipo::Texto, 9, nullptr, "fraDNIConyuge"},
        {"txtConyuApellido1", "Primer Apellido", "CONYUPRIMERAPELLIDO", Tipo::Texto, 25, nullptr,
         "fraDNIConyuge"},
        {"txtCOnyuApellido2", "Segundo Apellido", "CONYUSEGUNDOAPELLIDO", Tipo::Texto, 25, nullptr,
         "fraDNIConyuge"},
        {"txtConyuNombre", "Nombre", "CONYUNOMBRE", Tipo::Texto, 15, nullptr, "fraDNIConyuge"},
        {"cboPrefLocalidad", "Localidad", "LOCALIDADPREFERENCIA", Tipo::Combo, 0,
         &Globales::rsLocalidades, "fraPreferencia"},
        {"cboPrefProvincia", "ZBS", "ZBSPREFERENCIA", Tipo::Combo, 0, &Globales::rsZonas,
         "fraPreferencia"},
        {"cboPrefArea", "Área", "AREAPREFERENCIA", Tipo::Combo, 0, &Globales::rsAreas,
         "fraPreferencia"},
        {"optReingesoSi", "Sí", "REINGRESOSI", Tipo::Opcion, 0, nullptr, "fraReingreso"},
        {"optReingresoNo", "No", "REINGRESONO", Tipo::Opcion, 0, nullptr, "fraReingreso"},
    };
    for (const Control& c : controles) {
        SCOPED_TRACE(c.nombre);
        auto* w = form->findChild<QWidget*>(QLatin1String(c.nombre));
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(rotulo(w), QString::fromUtf8(c.rotulo));
        EXPECT_EQ(w->property("campo").toString(), QString::fromUtf8(c.campo));
        auto* marco = form->findChild<QWidget*>(QLatin1String(c.marco));
        ASSERT_NE(marco, nullptr);
        EXPECT_TRUE(marco->isAncestorOf(w)) << c.marco;
        switch (c.tipo) {
            case Tipo::Texto: {
                auto* caja = qobject_cast<QLineEdit*>(w);
                ASSERT_NE(caja, nullptr);
                EXPECT_EQ(caja->maxLength(), c.longitud);
                EXPECT_TRUE(caja->text().isEmpty() || caja == form->txtDNI());
                break;
            }
            case Tipo::Opcion:
                EXPECT_NE(qobject_cast<QRadioButton*>(w), nullptr);
                break;
            case Tipo::Combo: {
                auto* combo = qobject_cast<ComboDatos*>(w);
                ASSERT_NE(combo, nullptr);
                EXPECT_EQ(combo->tabla(), G().*c.tabla);
                EXPECT_EQ(combo->valor(), "");
                break;
            }
        }
    }
    // Marcos con su rótulo y opciones marcadas de partida.
    EXPECT_EQ(ui().fraPersonales->title(), "Datos Personales");
    EXPECT_EQ(ui().fraProfesionales->title(), "Datos Profesionales");
    EXPECT_EQ(ui().fraConcurso->title(), "Datos del Concurso");
    EXPECT_EQ(ui().fraDiscapacidad->title(), "Discapacidad");
    EXPECT_EQ(ui().fraServicioSalud->title(), "Servicio de Salud");
    EXPECT_EQ(ui().fraSituacion->title(), "Situación Administrativa");
    EXPECT_EQ(ui().fraPreferencia->title(), "Preferencia que alega");
    EXPECT_EQ(ui().fraDNIConyuge->title(),
              "Datos del/la solicitante con el/la que condiciona su solicitud");
    EXPECT_EQ(ui().lblAcopPetConyu->text(), "Condiciona su solicitud por convivencia familiar");
    EXPECT_EQ(ui().lblReingreso->text(), "Solicita Reingreso");
    EXPECT_EQ(ui().lblDestinoActual->text(), "Destino Actual");
    for (QRadioButton* o :
         {ui().optDiscNo, ui().OptSi, ui().optDefinitivo, ui().optSSNorsa, ui().optActivo,
          ui().optVoluntario, ui().optPetConyugeNo, ui().optReingresoNo})
        EXPECT_TRUE(o->isChecked()) << o->objectName().toStdString();
    EXPECT_EQ(form->windowTitle(), "Concurso de Traslados 1.2.0");
}

TEST_F(PestanaSolicitanteTest, OrdenFijoDeLosControlesConCampo) {
    const char* const orden[] = {"txtApellido1",
                                 "txtApellido2",
                                 "txtNombre",
                                 "txtDNI",
                                 "txtFecNacimiento",
                                 "txtTelefono",
                                 "txtDomicilio",
                                 "txtLocalidad",
                                 "txtCP",
                                 "txtTipoDisc",
                                 "txtAdaptaciones",
                                 "txtNRP",
                                 "txtFechaIngreso",
                                 "txtSS",
                                 "txtFecPosesion",
                                 "txtSitAdm",
                                 "txtFechaSit",
                                 "txtProvAct",
                                 "txtZBSAct",
                                 "txtInstiAct",
                                 "txtPuesto",
                                 "txtLocalidadPuesto",
                                 "txtProvinciaPuesto",
                                 "txtDNIConyuge",
                                 "txtConyuApellido1",
                                 "txtCOnyuApellido2",
                                 "txtConyuNombre",
                                 "optForzoso",
                                 "optVoluntario",
                                 "optDiscSi",
                                 "optDiscNo",
                                 "optPetConyugeSi",
                                 "optPetConyugeNo",
                                 "optReingesoSi",
                                 "optReingresoNo",
                                 "optActivo",
                                 "optOtras",
                                 "optSSNorsa",
                                 "optSSOtros",
                                 "optDefinitivo",
                                 "optTemporal",
                                 "cboCuerpo",
                                 "cboGrupo",
                                 "cboProvincia",
                                 "cboProvinciasTarv",
                                 "cboAreaTarv",
                                 "cboLocalidadesTarv",
                                 "cboZBSTarv",
                                 "SSOleDBCombo1",
                                 "cboPrefLocalidad",
                                 "cboPrefProvincia",
                                 "cboPrefArea"};
    const QList<QWidget*> controles = form->controlesConCampo();
    ASSERT_EQ(controles.size(), int(std::size(orden)));
    QMap<QString, int> veces;
    for (int i = 0; i < controles.size(); ++i) {
        EXPECT_EQ(controles[i]->objectName(), QLatin1String(orden[i])) << i;
        const QString campo = controles[i]->property("campo").toString();
        EXPECT_FALSE(campo.isEmpty()) << orden[i];
        ++veces[campo];
        const bool tipoConocido = qobject_cast<QLineEdit*>(controles[i]) ||
                                  qobject_cast<QRadioButton*>(controles[i]) ||
                                  qobject_cast<ComboDatos*>(controles[i]);
        EXPECT_TRUE(tipoConocido) << orden[i];
    }
    for (auto it = veces.cbegin(); it != veces.cend(); ++it)
        EXPECT_EQ(it.value(), it.key() == "ZBSTarv" ? 2 : 1) << it.key().toStdString();
    // Ningún control con campo fuera del orden (las etiquetas y los marcos no cuentan).
    for (QWidget* w : form->findChildren<QWidget*>()) {
        if (w->property("campo").toString().isEmpty()) continue;
        EXPECT_TRUE(controles.contains(w)) << w->objectName().toStdString();
    }
}

TEST_F(PestanaSolicitanteTest, VisibilidadAlAbrir) {
    for (QWidget* w : std::initializer_list<QWidget*>{
             ui().fraDNIConyuge, ui().txtTipoDisc, ui().lblTipoDis, ui().txtAdaptaciones,
             ui().lblAdap, ui().txtSS, ui().cboSituaciones, ui().txtSitAdm, ui().txtFechaSit,
             ui().lblFechaSit, ui().fraRegion, ui().fraPreferencia, ui().fraForzVol, ui().txtPuesto,
             ui().txtLocalidadPuesto, ui().txtProvinciaPuesto, ui().SSOleDBCombo1})
        EXPECT_FALSE(w->isVisible()) << w->objectName().toStdString();
    for (QWidget* w : std::initializer_list<QWidget*>{
             ui().fraAcopPetConyu, ui().fraServicioSalud, ui().fraDefTemp, ui().txtFecPosesion,
             ui().lblPosesion, ui().fraReingreso, ui().txtInstiAct, form->lblCat()})
        EXPECT_FALSE(w->isHidden()) << w->objectName().toStdString();
    EXPECT_FALSE(ui().fraReingreso->isEnabled());
    EXPECT_FALSE(form->txtDNI()->isEnabled());
}

// Teclas de verdad en las cajas numéricas, con la caja que tenga el foco en cada momento.
TEST_F(PestanaSolicitanteTest, FiltroNumericoAlEscribir) {
    ui().txtCP->setFocus();
    procesar();
    escribir("12.5,a -x");
    EXPECT_EQ(ui().txtCP->text(), "12,5-");
    pulsar(Qt::Key_Backspace);
    EXPECT_EQ(ui().txtCP->text(), "12,5");
    pulsar(Qt::Key_Return);
    procesar();
    EXPECT_EQ(ui().txtCP->text(), "12,5");
    EXPECT_EQ(QApplication::focusWidget(), ui().cboProvincia);

    ui().txtTelefono->setFocus();
    procesar();
    escribir("976 12.3.4");
    EXPECT_EQ(ui().txtTelefono->text(), "97612,34");
    pulsar(Qt::Key_Enter);
    procesar();
    EXPECT_EQ(QApplication::focusWidget(), ui().txtDomicilio);
    EXPECT_TRUE(mensajes.mostrados().isEmpty());
}

// Las cajas numéricas editan como cualquier otra: seleccionar todo, pegar (lo pegado pasa por el
// filtro, por teclado y por el menú de la caja) y deshacer.
TEST_F(PestanaSolicitanteTest, FiltroNumericoAlEditarYPegar) {
    QLineEdit* cp = ui().txtCP;
    cp->setFocus();
    procesar();
    escribir("123");
    QTest::keyClick(cp, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(cp->selectedText(), "123");
    QGuiApplication::clipboard()->setText("50.0a1\n-2");
    QTest::keyClick(cp, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(cp->text(), "50,01");  // lo que cabe en un código postal
    QTest::keyClick(cp, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(cp->text(), "123");
    // Con una coma ya escrita, la del pegado sobra.
    cp->setText("1,5");
    cp->end(false);
    QContextMenuEvent menu(QContextMenuEvent::Keyboard, QPoint(2, 2),
                           cp->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(cp, &menu);
    QMenu* abierto = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* m = qobject_cast<QMenu*>(w); m && m->isVisible()) abierto = m;
    ASSERT_NE(abierto, nullptr);
    QAction* pegar = nullptr;
    for (QAction* a : abierto->actions())
        if (a->text().startsWith("&Pegar")) pegar = a;
    ASSERT_NE(pegar, nullptr);
    QGuiApplication::clipboard()->setText("2,5 x");
    pegar->trigger();
    abierto->close();
    EXPECT_EQ(cp->text(), "1,525");
    EXPECT_TRUE(mensajes.mostrados().isEmpty());
}

struct CasoFechaCaja {
    const char* escrito;
    const char* queda;
    bool aceptada;
    bool formato;  // refusada por no ser fecha (frente a fuera de límites)
};

TEST_F(PestanaSolicitanteTest, FechasAlSalirDeLaCaja) {
    const QDate hoy = QDate::currentDate();
    const QString hoyTexto = hoy.toString("dd/MM/yyyy");
    const QString manana = hoy.addDays(1).toString("dd/MM/yyyy");
    const CasoFechaCaja casos[] = {
        {"", "", true, false},
        {"01/01/1900", "01/01/1900", true, false},
        {"1/2/1980", "01/02/1980", true, false},
        {"29/02/2024", "29/02/2024", true, false},
        {"31/12/1899", "31/12/1899", false, false},
        {"29/02/2023", "29/02/2023", false, true},
        {"31/04/2020", "31/04/2020", false, true},
        {"1/2/80", "1/2/80", false, true},
    };
    // Las cuatro cajas de fecha, a la vista.
    ui().optOtras->click();
    QLineEdit* const cajas[] = {ui().txtFecNacimiento, ui().txtFechaIngreso, ui().txtFechaSit,
                                ui().txtFecPosesion};
    for (QLineEdit* caja : cajas) {
        const bool nacimiento = caja == ui().txtFecNacimiento;
        std::vector<CasoFechaCaja> todos(std::begin(casos), std::end(casos));
        const QByteArray hoyBytes = hoyTexto.toUtf8(), mananaBytes = manana.toUtf8();
        todos.push_back({hoyBytes.constData(), hoyBytes.constData(), true, false});
        todos.push_back({mananaBytes.constData(), mananaBytes.constData(), false, false});
        for (const CasoFechaCaja& c : todos) {
            SCOPED_TRACE(caja->objectName().toStdString() + " " + c.escrito);
            mensajes.limpiar();
            salirCon(caja, QString::fromUtf8(c.escrito));
            EXPECT_EQ(caja->text(), QString::fromUtf8(c.queda));
            if (c.aceptada) {
                EXPECT_TRUE(mensajes.mostrados().isEmpty());
                EXPECT_NE(QApplication::focusWidget(), caja);
                continue;
            }
            ASSERT_EQ(mensajes.mostrados().size(), 1);
            const MensajeMostrado& m = mensajes.mostrados()[0];
            EXPECT_EQ(m.texto, "Fecha Errónea");
            EXPECT_EQ(m.botones, Botones::Aceptar);
            if (nacimiento && c.formato) {
                EXPECT_EQ(m.titulo, kTituloPrograma);
                EXPECT_EQ(m.icono, Icono::Ninguno);
            } else {
                EXPECT_EQ(m.titulo, "Formato de Fecha erróneo");
                EXPECT_EQ(m.icono, Icono::Exclamacion);
            }
            EXPECT_EQ(QApplication::focusWidget(), caja);
        }
        salirCon(caja, QString());
    }
}

TEST_F(PestanaSolicitanteTest, UnaFechaMalaNoSeQuedaAlCambiarDePestana) {
    elegirFila(ui().cboCuerpo, G().IndicePlazasCuerpo.first().CodCuerpo);
    ui().txtFechaIngreso->setFocus();
    procesar();
    ui().txtFechaIngreso->setText("99/99/9999");
    QTabBar* barra = form->tabPrincipal()->tabBar();
    QTest::mouseClick(barra, Qt::LeftButton, Qt::NoModifier, barra->tabRect(1).center());
    procesar();
    EXPECT_EQ(mensajes.textos(), QStringList{"Fecha Errónea"});
    EXPECT_EQ(form->tabPrincipal()->currentIndex(), 0);
    EXPECT_EQ(QApplication::focusWidget(), ui().txtFechaIngreso);
    EXPECT_EQ(ui().txtFechaIngreso->text(), "99/99/9999");
}

TEST_F(PestanaSolicitanteTest, DniDelConyuge) {
    ui().optPetConyugeSi->click();
    ui().txtDNIConyuge->setFocus();
    procesar();
    escribir("12.345,678A");
    EXPECT_EQ(ui().txtDNIConyuge->text(), "12345678A");
    pulsar(Qt::Key_Tab);
    procesar();
    // Letra equivocada: el mensaje del DNI, el foco vuelve y el texto sigue ahí.
    ASSERT_EQ(mensajes.textos(), QStringList{"DNI no válido"});
    EXPECT_EQ(mensajes.mostrados()[0].titulo, "Error en DNI");
    EXPECT_EQ(QApplication::focusWidget(), ui().txtDNIConyuge);
    EXPECT_EQ(ui().txtDNIConyuge->text(), "12345678A");

    mensajes.limpiar();
    salirCon(ui().txtDNIConyuge, "12345678z");
    EXPECT_TRUE(mensajes.mostrados().isEmpty());
    EXPECT_EQ(ui().txtDNIConyuge->text(), "12345678Z");
    EXPECT_NE(QApplication::focusWidget(), ui().txtDNIConyuge);
    salirCon(ui().txtDNIConyuge, "");
    EXPECT_TRUE(mensajes.mostrados().isEmpty());
    EXPECT_EQ(ui().txtDNIConyuge->text(), "");
}

TEST_F(PestanaSolicitanteTest, DniDelSolicitante) {
    // Deshabilitado mientras corre el programa; sus reglas siguen ahí por si se habilita.
    form->txtDNI()->setEnabled(true);
    form->txtDNI()->clear();
    form->txtDNI()->setFocus();
    procesar();
    escribir("12.345-678,Z");
    procesar();
    escribir("abc");
    // Al noveno carácter el foco pasa al control siguiente y lo que sigue va allí.
    EXPECT_EQ(form->txtDNI()->text(), "12345678Z");
    EXPECT_EQ(QApplication::focusWidget(), ui().txtFecNacimiento);
    EXPECT_EQ(ui().txtFecNacimiento->text(), "abc");
    ui().txtFecNacimiento->clear();
    EXPECT_TRUE(mensajes.mostrados().isEmpty());

    salirCon(form->txtDNI(), "12345678A");
    EXPECT_EQ(mensajes.textos(), QStringList{"DNI no válido"});
    EXPECT_EQ(form->txtDNI()->text(), "");
    EXPECT_EQ(QApplication::focusWidget(), form->txtDNI());
}

TEST_F(PestanaSolicitanteTest, SeleccionaTodoAlEntrar) {
    ui().optDiscSi->click();
    ui().optOtras->click();
    ui().optPetConyugeSi->click();
    QLineEdit* const cajas[] = {
        ui().txtApellido1,      ui().txtApellido2,    ui().txtNombre,     ui().txtFecNacimiento,
        ui().txtTelefono,       ui().txtDomicilio,    ui().txtLocalidad,  ui().txtCP,
        ui().txtTipoDisc,       ui().txtAdaptaciones, ui().txtNRP,        ui().txtFechaIngreso,
        ui().txtFecPosesion,    ui().txtFechaSit,     ui().txtDNIConyuge, ui().txtConyuApellido1,
        ui().txtCOnyuApellido2, ui().txtConyuNombre};
    for (QLineEdit* caja : cajas) {
        ui().txtInstiAct->setFocus();
        procesar();
        caja->setText(caja->maxLength() >= 9 ? "12345678Z" : "1");
        caja->setCursorPosition(0);
        caja->setFocus(Qt::MouseFocusReason);
        procesar();
        EXPECT_EQ(caja->selectionStart(), 0) << caja->objectName().toStdString();
        EXPECT_EQ(caja->selectedText(), caja->text()) << caja->objectName().toStdString();
    }
    // Las que no están en la lista no seleccionan nada.
    ui().txtInstiAct->setText("Hospital");
    ui().txtInstiAct->setCursorPosition(0);
    ui().txtNRP->setFocus();
    procesar();
    ui().txtInstiAct->setFocus(Qt::MouseFocusReason);
    procesar();
    EXPECT_TRUE(ui().txtInstiAct->selectedText().isEmpty());
}

TEST_F(PestanaSolicitanteTest, LoPegadoSeCortaYNadaSeRompe) {
    // Un pegado más largo que el campo se corta en su longitud.
    QApplication::clipboard()->setText(QString(80, QLatin1Char('A')));
    ui().txtApellido1->setFocus();
    procesar();
    ui().txtApellido1->paste();
    EXPECT_EQ(ui().txtApellido1->text(), QString(25, QLatin1Char('A')));
    // Cortar no parte un carácter en dos mitades sueltas.
    QString emojis;
    for (int i = 0; i < 20; ++i) emojis += QString::fromUtf8("😀");
    QApplication::clipboard()->setText(QStringLiteral("Ñ") + emojis);
    ui().txtApellido2->setFocus();
    procesar();
    ui().txtApellido2->paste();
    const QString pegado = ui().txtApellido2->text();
    EXPECT_LE(pegado.size(), 25);
    EXPECT_TRUE(pegado.startsWith(QStringLiteral("Ñ")));
    EXPECT_FALSE(pegado.back().isHighSurrogate()) << pegado.size();
    EXPECT_EQ(pegado, QStringLiteral("Ñ"));
    // Lo que el código de barras no puede llevar no entra, escrito o pegado, y se avisa: un "|"
    // partiría el código en un campo de más y lo que no es de Windows-1252 llegaría en blanco.
    auto* aviso = form->statusBar()->findChild<QLabel*>("lblAviso");
    ASSERT_NE(aviso, nullptr);
    EXPECT_TRUE(aviso->text().contains("|"));
    aviso->clear();
    ui().txtNombre->setFocus();
    procesar();
    // Cada carácter en una pulsación, también el que UTF-16 escribe con dos unidades.
    for (const char* c : {"李", "华", "|", " ", "😀", "ę"}) {
        QTest::sendKeyEvent(QTest::Press, ui().txtNombre, Qt::Key_unknown, QString::fromUtf8(c),
                            Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, ui().txtNombre, Qt::Key_unknown, QString::fromUtf8(c),
                            Qt::NoModifier);
    }
    EXPECT_EQ(ui().txtNombre->text(), QString::fromUtf8(" e"));
    EXPECT_FALSE(aviso->text().isEmpty());
    QApplication::clipboard()->setText(QString::fromUtf8("Wałęsa|Łódź"));
    ui().txtDomicilio->setFocus();
    procesar();
    ui().txtDomicilio->paste();
    EXPECT_EQ(ui().txtDomicilio->text(), QString::fromUtf8("WalesaLódz"));
    // El código del solicitante sigue con sus 37 campos.
    EXPECT_EQ(form->DatosParaCodigoBarras().count('|'), 37);
    pulsar(Qt::Key_Tab);
    procesar();
    // En una caja numérica no entran.
    ui().txtCP->setFocus();
    procesar();
    for (const char* c : {"😀", "李", "5"}) {
        QTest::sendKeyEvent(QTest::Press, ui().txtCP, Qt::Key_unknown, QString::fromUtf8(c),
                            Qt::NoModifier);
    }
    EXPECT_EQ(ui().txtCP->text(), "5");
    // Ni una fecha con ellos es una fecha.
    salirCon(ui().txtFechaIngreso, QString::fromUtf8("😀/01/1990"));
    EXPECT_EQ(mensajes.textos(), QStringList{"Fecha Errónea"});
    EXPECT_EQ(ui().txtFechaIngreso->text(), QString::fromUtf8("/01/1990"));
}

}  // namespace

namespace {

TEST_F(PestanaSolicitanteTest, ElTabuladorSigueElOrdenVisual) {
    // Con lo que se ve al abrir: personales, profesionales y del concurso, de arriba abajo y de
    // izquierda a derecha; cada grupo de opciones es una parada, en su opción marcada (sus flechas
    // eligen dentro).
    const QStringList esperado = {
        "txtApellido2",   "txtNombre",      "txtFecNacimiento", "txtTelefono", "txtDomicilio",
        "txtLocalidad",   "txtCP",          "cboProvincia",     "optDiscNo",   "cboCuerpo",
        "cboGrupo",       "txtNRP",         "txtFechaIngreso",  "OptSi",       "optDefinitivo",
        "txtFecPosesion", "optSSNorsa",     "txtInstiAct",      "txtZBSAct",   "txtProvAct",
        "optActivo",      "optPetConyugeNo"};
    ui().txtApellido1->setFocus(Qt::TabFocusReason);
    procesar();
    QStringList visto;
    for (int i = 0; i < esperado.size(); ++i) {
        pulsar(Qt::Key_Tab);
        procesar();
        QWidget* foco = QApplication::focusWidget();
        // El texto de un combo editable tiene el foco por él.
        while (foco && foco->objectName().isEmpty() && foco->parentWidget())
            foco = foco->parentWidget();
        visto << (foco ? foco->objectName() : QString());
    }
    EXPECT_EQ(visto.join(' ').toStdString(), esperado.join(' ').toStdString());
    EXPECT_TRUE(mensajes.mostrados().isEmpty());
}

}  // namespace

namespace {

// Lo que el lector de pantalla recibe de la interfaz accesible.
QList<std::pair<QObject*, QAccessible::Event>>& avisosAccesibles() {
    static QList<std::pair<QObject*, QAccessible::Event>> lista;
    return lista;
}
void anotarAvisoAccesible(QAccessibleEvent* evento) {
    avisosAccesibles().append({evento->object(), evento->type()});
}

// El aviso de lo quitado está en la barra de estado desde el principio (la pestaña no se mueve al
// salir), se lee entero y se anuncia al lector de pantalla.
TEST_F(PestanaSolicitanteTest, ElAvisoDeLoQuitadoNoMueveNadaSeLeeEnteroYSeAnuncia) {
    QPlatformAccessibility* plataforma =
        QGuiApplicationPrivate::platformIntegration()->accessibility();
    ASSERT_NE(plataforma, nullptr);
    plataforma->setActive(true);
    const auto anterior = QAccessible::installUpdateHandler(&anotarAvisoAccesible);
    avisosAccesibles().clear();
    form->resize(1024, 768);
    procesar();
    ASSERT_TRUE(form->statusBar()->isVisible());
    auto* zona = form->findChild<QScrollArea*>("scrTab0");
    const QPoint antes = zona->mapTo(form.get(), QPoint(0, 0));
    const int alto = zona->height();
    ui().txtDomicilio->setFocus();
    procesar();
    escribir("Calle|Mayor");
    procesar();
    EXPECT_EQ(ui().txtDomicilio->text(), "CalleMayor");
    EXPECT_EQ(zona->mapTo(form.get(), QPoint(0, 0)), antes);
    EXPECT_EQ(zona->height(), alto);
    auto* aviso = form->statusBar()->findChild<QLabel*>("lblAviso");
    ASSERT_NE(aviso, nullptr);
    const QString texto = aviso->text();
    EXPECT_TRUE(texto.startsWith("Se ha quitado lo que la solicitud impresa no puede llevar"));
    EXPECT_TRUE(texto.endsWith("(cambiadas por su letra sin signo cuando la hay)."));
    // Entero a la vista: sus líneas caben en el alto de la barra, y al dejar el ratón encima.
    EXPECT_TRUE(aviso->isVisible());
    EXPECT_TRUE(aviso->wordWrap());
    EXPECT_GE(aviso->height(), aviso->heightForWidth(aviso->width()));
    EXPECT_EQ(aviso->toolTip(), texto);
    // Anunciado: el lector de pantalla recibe una alerta del aviso y lo lee con su nombre.
    plataforma->setActive(false);
    QAccessible::installUpdateHandler(anterior);
    const bool alerta = avisosAccesibles().contains({aviso, QAccessible::Alert});
    EXPECT_TRUE(alerta);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(aviso)->text(QAccessible::Name), texto);
    // Guardar también avisa ahí, sin mover nada.
    form->statusBar()->showMessage("Solicitud guardada a las 10:00:00");
    procesar();
    EXPECT_EQ(zona->mapTo(form.get(), QPoint(0, 0)), antes);
}

// Rectángulo del control en la vista de la zona desplazable.
QRect enVista(QScrollArea* zona, QWidget* w) {
    return QRect(w->mapTo(zona->viewport(), QPoint(0, 0)), w->size());
}

// Desde 1024×768, la primera pestaña no se desplaza en horizontal: sus columnas se apilan si no
// caben. Y al pasar con Tab, el control con el foco y su rótulo se ven enteros.
TEST_F(PestanaSolicitanteTest, LaPrimeraPestanaCabeEnAnchoYEnsenaElFocoConSuRotulo) {
    PestanaSolicitante& p = *form->pestanaSolicitante();
    for (QRadioButton* o : {ui().OptSi, ui().optDiscSi, ui().optPetConyugeSi, ui().optOtras})
        p.elegirOpcion(o);
    auto* zona = form->findChild<QScrollArea*>("scrTab0");
    ASSERT_NE(zona, nullptr);
    for (const QSize tamano : {QSize(1024, 768), QSize(1280, 1024), QSize(1920, 1080)}) {
        SCOPED_TRACE(std::to_string(tamano.width()));
        form->resize(tamano);
        procesar();
        EXPECT_EQ(zona->horizontalScrollBar()->maximum(), 0);
        // La categoría, lo primero que elige quien empieza, se ve entera con su flecha.
        zona->verticalScrollBar()->setValue(0);
        procesar();
        EXPECT_TRUE(zona->viewport()->rect().contains(enVista(zona, ui().cboCuerpo)));
        ui().txtApellido1->setFocus(Qt::TabFocusReason);
        procesar();
        int paradas = 0;
        for (int i = 0; i < 60; ++i) {
            QWidget* foco = QApplication::focusWidget();
            if (!foco || !p.isAncestorOf(foco)) break;
            if (qobject_cast<QComboBox*>(foco->parentWidget())) foco = foco->parentWidget();
            ++paradas;
            const QRect vista = zona->viewport()->rect();
            EXPECT_TRUE(vista.contains(enVista(zona, foco))) << foco->objectName().toStdString();
            for (QLabel* l : p.findChildren<QLabel*>()) {
                if (l->buddy() == foco && l->isVisible()) {
                    EXPECT_TRUE(vista.contains(enVista(zona, l))) << l->objectName().toStdString();
                }
            }
            pulsar(Qt::Key_Tab);
            procesar();
        }
        EXPECT_GT(paradas, 25);
    }
    // Con todo el ancho que piden, las dos columnas vuelven.
    form->resize(2400, 1000);
    procesar();
    EXPECT_FALSE(p.apilada());
    form->resize(1024, 768);
    procesar();
    EXPECT_TRUE(p.apilada());
}

}  // namespace
