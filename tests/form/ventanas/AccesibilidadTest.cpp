#include "../../printing/PlantillaPrueba.h"
#include "../../users/ventanas/Teclado.h"
#include "FormularioPrueba.h"
#include "form/ventanas/PestanaCursos.h"
#include "form/ventanas/PestanaDocumentos.h"
#include "form/ventanas/PestanaSolicitante.h"
#include "form/ventanas/PestanaVacantes.h"
#include "form/ventanas/frmProgresoGeneral.h"
#include "global/Globales.h"
#include "platform/ventanas/ComboDatos.h"
#include "platform/ventanas/RejillaDatos.h"
#include "startup/ventanas/frmProgreso.h"
#include "storage/SolicitudesGuardadas.h"
#include "storage/ventanas/frmSeleccion.h"
#include "ui_PestanaCursos.h"
#include "ui_PestanaDocumentos.h"
#include "ui_PestanaSolicitante.h"
#include "ui_PestanaVacantes.h"
#include "users/ventanas/frmCreaPwd.h"
#include "users/ventanas/frmUsuario.h"

#include <QtGui/private/qguiapplication_p.h>
#include <QtGui/qpa/qplatformaccessibility.h>
#include <QtGui/qpa/qplatformintegration.h>
#include <QAbstractButton>
#include <QAccessible>
#include <QButtonGroup>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <iostream>

namespace {

// Los avisos que la interfaz accesible manda al lector de pantalla, con su objeto y su hijo.
struct Aviso {
    QObject* objeto;
    QAccessible::Event tipo;
    int hijo;
};
QList<Aviso>& avisos() {
    static QList<Aviso> lista;
    return lista;
}
void anotarAviso(QAccessibleEvent* evento) {
    avisos().append({evento->object(), evento->type(), evento->child()});
}

// Lo que anuncia un lector de pantalla al llegar con Tab a un control: el control mismo o, en un
// combo con caja de texto, esa caja, que Qt da como foco accesible del combo.
QAccessibleInterface* interfazOida(QWidget* control) {
    QAccessibleInterface* i = QAccessible::queryAccessibleInterface(control);
    if (i && qobject_cast<QComboBox*>(control) && i->focusChild()) return i->focusChild();
    return i;
}

// Paradas de Tab bajo `raiz` que se ven en su ventana, en el orden de la cadena de foco y con el
// criterio con el que Qt elige la siguiente al pulsar Tab. Con `todas`, también las
// deshabilitadas, que son paradas en cuanto se habilitan.
QList<QWidget*> paradasTab(QWidget* raiz, bool todas) {
    QWidget* ventana = raiz->window();
    QList<QWidget*> paradas;
    for (QWidget* w = ventana->nextInFocusChain(); w != ventana; w = w->nextInFocusChain())
        if ((raiz == ventana || raiz->isAncestorOf(w)) &&
            (w->focusPolicy() & Qt::TabFocus) == Qt::TabFocus && !w->focusProxy() &&
            w->isVisibleTo(ventana) && (todas || w->isEnabled()))
            paradas << w;
    return paradas;
}

// Un nombre que entiende una persona: no vacío, no el nombre interno del control y, en una
// opción "Sí" o "No", con la pregunta a la que responde.
bool nombreHumano(QWidget* control, const QString& nombre) {
    static const QRegularExpression interno(
        QStringLiteral("^(txt|cbo|cmd|opt|grd|fra|lbl|prg|Opt|SS)[A-Z0-9]"));
    if (nombre.trimmed().isEmpty() || nombre == control->objectName() ||
        interno.match(nombre).hasMatch())
        return false;
    auto* opcion = qobject_cast<QRadioButton*>(control);
    return !opcion || (opcion->text() != QStringLiteral("Sí") && opcion->text() != "No") ||
           nombre.size() > opcion->text().size() + 2;
}

// Recorre las paradas de Tab: cuántas hay (habilitadas), cuántas tienen nombre, y cuáles de todas
// (también las deshabilitadas) no lo tienen.
struct Recuento {
    int paradas = 0;
    int conNombre = 0;
    QStringList sinNombre;
};
Recuento recorrer(const QString& que, QWidget* raiz) {
    Recuento r;
    for (QWidget* w : paradasTab(raiz, true)) {
        const QString nombre = interfazOida(w)->text(QAccessible::Name);
        const bool bien = nombreHumano(w, nombre);
        if (w->isEnabled()) {
            ++r.paradas;
            r.conNombre += bien;
        }
        if (!bien) r.sinNombre << w->objectName() + QStringLiteral("=\"") + nombre + '"';
    }
    std::cout << "  " << que.toStdString() << ": " << r.paradas << " paradas de Tab, "
              << r.conNombre << " con nombre\n";
    return r;
}

class AccesibilidadTest : public FormularioPrueba {
protected:
    void SetUp() override {
        // Sin lector de pantalla Qt no manda avisos accesibles: se encienden como cuando llega
        // uno, y se anotan.
        QPlatformAccessibility* plataforma =
            QGuiApplicationPrivate::platformIntegration()->accessibility();
        ASSERT_NE(plataforma, nullptr);
        plataforma->setActive(true);
        ASSERT_TRUE(QAccessible::isActive());
        m_anterior = QAccessible::installUpdateHandler(&anotarAviso);
        avisos().clear();
        FormularioPrueba::SetUp();
        if (HasFatalFailure()) return;
        // Con una categoría elegida se abren las demás pestañas.
        cuerpo = cuerpoConMasPlazas();
        ASSERT_NE(cuerpo, nullptr);
        elegirFila(ui().cboCuerpo, cuerpo->CodCuerpo);
    }
    void TearDown() override {
        FormularioPrueba::TearDown();
        QAccessible::installUpdateHandler(m_anterior);
        QGuiApplicationPrivate::platformIntegration()->accessibility()->setActive(false);
    }
    // Cada pestaña del formulario a la vista, una tras otra.
    template <typename F>
    void porPestana(F f) {
        QTabWidget* tabs = form->tabPrincipal();
        for (int t = 0; t < tabs->count(); ++t) {
            tabs->setCurrentIndex(t);
            procesar();
            SCOPED_TRACE(tabs->tabText(t).toStdString());
            f(tabs->tabText(t));
        }
    }
    // Una plaza en la lista de Vacantes, para que su rejilla tenga celdas.
    void anadirVacante() {
        Ui::PestanaVacantes& v = form->pestanaVacantes()->controles();
        form->tabPrincipal()->setCurrentIndex(2);
        procesar();
        elegirFila(v.cboPuestoVacante, cuerpo->Vacantes->clonar()->valorEnFila(0, 0).toString());
        v.cmdAceptarVacante->click();
        procesar();
        ASSERT_EQ(G().rsVacantesSolicitadas->numeroRegistros(), 1);
    }

    const PlazasCuerpo* cuerpo = nullptr;
    QAccessible::UpdateHandler m_anterior = nullptr;
};

TEST_F(AccesibilidadTest, CadaParadaDeTabTieneUnNombreQueEntiendeUnaPersona) {
    std::cout << "Paradas de Tab por ventana y pestaña:\n";
    porPestana([&](const QString& pestana) {
        const Recuento r = recorrer(QStringLiteral("frmSolicitudes, ") + pestana, form.get());
        EXPECT_GT(r.paradas, 0);
        EXPECT_TRUE(r.sinNombre.isEmpty()) << r.sinNombre.join(", ").toStdString();
    });

    frmUsuario usuario(carpetaPrograma() + QStringLiteral("/usuarios.xml"));
    // La contraseña se ve en la segunda fase del acceso.
    for (const char* n : {"lblPwd", "txtPwd", "cmdAceptarPwd"})
        usuario.findChild<QWidget*>(n)->setVisible(true);
    frmCreaPwd contrasena;
    frmSeleccion seleccion([] {});
    frmProgreso progreso;
    QSignalSpy cargada(&progreso, &frmProgreso::cargaFinalizada);
    progreso.open();
    ASSERT_TRUE(!cargada.isEmpty() || cargada.wait(10000));
    frmProgresoGeneral progresoGeneral;
    for (QWidget* v : std::initializer_list<QWidget*>{&usuario, &contrasena, &seleccion, &progreso,
                                                      &progresoGeneral}) {
        const Recuento r = recorrer(v->objectName(), v);
        EXPECT_TRUE(r.sinNombre.isEmpty())
            << v->objectName().toStdString() << ": " << r.sinNombre.join(", ").toStdString();
    }
    progreso.close();
}

TEST_F(AccesibilidadTest, CadaParadaDeTabEnsenaDondeEstaElFoco) {
    // Lo que se ve alrededor del control con el foco y sin él (sin foco en ningún control, para
    // que no cuente la marca de otro) tiene que cambiar.
    auto zona = [](QWidget* w) {
        QWidget* padre = w->parentWidget();
        return padre->grab(w->geometry().adjusted(-4, -4, 4, 4) & padre->rect()).toImage();
    };
    auto comprobar = [&](QWidget* raiz) {
        for (QWidget* w : paradasTab(raiz, false)) {
            if (QWidget* actual = QApplication::focusWidget()) actual->clearFocus();
            procesar();
            const QImage sinFoco = zona(w);
            w->setFocus(Qt::TabFocusReason);
            procesar();
            EXPECT_NE(zona(w), sinFoco) << w->objectName().toStdString();
        }
    };
    porPestana([&](const QString&) { comprobar(form.get()); });
    // En el acceso, el botón por defecto se ve igual con el foco que sin él si nada lo marca.
    frmUsuario usuario(carpetaPrograma() + QStringLiteral("/usuarios.xml"));
    frmCreaPwd contrasena;
    frmSeleccion seleccion([] {});
    for (QWidget* v : std::initializer_list<QWidget*>{&usuario, &contrasena, &seleccion}) {
        SCOPED_TRACE(v->objectName().toStdString());
        ASSERT_TRUE(mostrarActiva(v));
        comprobar(v);
        v->hide();
    }
}

TEST_F(AccesibilidadTest, LasOrdenesDelMenuDanSuNombreYSusTeclasAlLector) {
    QMenuBar* barra = form->menuBar();
    QAccessibleInterface* menu = QAccessible::queryAccessibleInterface(barra);
    const QList<QAction*> ordenes = barra->actions();
    ASSERT_EQ(ordenes.size(), 6);
    ASSERT_EQ(menu->childCount(), 6);
    // Una orden con tecla de acceso y atajo, como deben llevarlos: el lector los oye.
    QAction* guardar = form->mnuP(2000);
    if (guardar->shortcut().isEmpty()) {
        guardar->setText(QStringLiteral("&Guardar"));
        guardar->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_G));
    }
    for (int o = 0; o < ordenes.size(); ++o) {
        QAccessibleInterface* orden = menu->child(o);
        QString texto = ordenes[o]->text();
        EXPECT_EQ(orden->text(QAccessible::Name), texto.remove('&'));
        const QKeySequence atajo = ordenes[o]->shortcut();
        if (atajo.isEmpty()) continue;
        // Qt 6.4 no da el atajo como tecla de la acción "pulsar", solo como acelerador.
        EXPECT_EQ(orden->text(QAccessible::Accelerator), atajo.toString()) << texto.toStdString();
    }
}

TEST_F(AccesibilidadTest, OpcionesSiNoDicenLaPreguntaALaQueResponden) {
    const Ui::PestanaSolicitante& d = ui();
    const struct {
        QRadioButton* opcion;
        const char* nombre;
    } casos[] = {
        {d.optDiscSi, "Discapacidad: Sí"},
        {d.optDiscNo, "Discapacidad: No"},
        {d.OptSi, "Destino Actual: Sí"},
        {d.OptNo, "Destino Actual: No"},
        {d.optPetConyugeSi, "Condiciona su solicitud por convivencia familiar: Sí"},
        {d.optPetConyugeNo, "Condiciona su solicitud por convivencia familiar: No"},
        {d.optReingesoSi, "Solicita Reingreso: Sí"},
        {d.optReingresoNo, "Solicita Reingreso: No"},
    };
    for (const auto& c : casos) {
        QAccessibleInterface* i = QAccessible::queryAccessibleInterface(c.opcion);
        EXPECT_EQ(i->text(QAccessible::Name), QString::fromUtf8(c.nombre))
            << c.opcion->objectName().toStdString();
        // Lo que se lee en pantalla sigue siendo "Sí" o "No".
        EXPECT_TRUE(QString::fromUtf8(c.nombre).endsWith(c.opcion->text()));
    }
}

TEST_F(AccesibilidadTest, ListasConElNombreDeSuRotuloYSoloLasColumnasQueSeVen) {
    anadirVacante();
    const QStringList ocultas = {"IdSolicitud", "CodArea", "CodZona", "IdCurso"};
    for (int t = 1; t < form->tabPrincipal()->count(); ++t) {
        auto* grd = form->tabPrincipal()->widget(t)->findChild<RejillaDatos*>();
        ASSERT_NE(grd, nullptr);
        SCOPED_TRACE(grd->objectName().toStdString());
        QAccessibleInterface* lista = QAccessible::queryAccessibleInterface(grd);
        // El rótulo que tiene encima sale de la configuración: nunca vacío en la de ejemplo.
        const QString rotulo = form->lblGrid(t)->text();
        ASSERT_FALSE(rotulo.isEmpty());
        EXPECT_EQ(lista->text(QAccessible::Name), rotulo);

        QList<int> logicas;
        QStringList vistas;
        for (int v = 0; v < grd->model()->columnCount(); ++v)
            if (const int l = grd->horizontalHeader()->logicalIndex(v); !grd->isColumnHidden(l)) {
                logicas << l;
                vistas << grd->model()->headerData(l, Qt::Horizontal).toString();
            }
        QAccessibleTableInterface* tabla = lista->tableInterface();
        ASSERT_NE(tabla, nullptr);
        QStringList oidas;
        for (int c = 0; c < tabla->columnCount(); ++c) oidas << tabla->columnDescription(c);
        EXPECT_EQ(oidas, vistas);
        for (const QString& o : ocultas) EXPECT_FALSE(oidas.contains(o)) << o.toStdString();
        // Los hijos son la cabecera y las celdas de esas columnas, ni uno más.
        EXPECT_EQ(lista->childCount(), (tabla->rowCount() + 1) * int(vistas.size()));
        for (int h = 0; h < lista->childCount(); ++h) {
            QAccessibleInterface* hijo = lista->child(h);
            ASSERT_NE(hijo, nullptr);
            EXPECT_EQ(lista->indexOfChild(hijo), h);
            if (QAccessibleTableCellInterface* celda = hijo->tableCellInterface()) {
                EXPECT_EQ(hijo->text(QAccessible::Name),
                          grd->model()
                              ->index(celda->rowIndex(), logicas.value(celda->columnIndex()))
                              .data()
                              .toString());
            }
        }
    }

    // Al moverse por la rejilla de Vacantes, el aviso de foco señala la celda con el foco.
    RejillaDatos* grd = form->pestanaVacantes()->findChild<RejillaDatos*>();
    grd->setFocus(Qt::TabFocusReason);
    procesar();
    const int area = grd->model()->columnCount() - 2;
    avisos().clear();
    grd->setCurrentIndex(grd->model()->index(0, area));
    QAccessibleInterface* lista = QAccessible::queryAccessibleInterface(grd);
    int focos = 0;
    for (const Aviso& a : avisos())
        if (a.objeto == grd && a.tipo == QAccessible::Focus && a.hijo >= 0) {
            ++focos;
            QAccessibleInterface* celda = lista->child(a.hijo);
            ASSERT_NE(celda, nullptr);
            EXPECT_EQ(celda->text(QAccessible::Name),
                      grd->model()->index(0, area).data().toString());
        }
    EXPECT_GT(focos, 0);
}

TEST_F(AccesibilidadTest, LaListaDeUnComboCerradoNoEstaEnPantalla) {
    auto enPantalla = [](QComboBox* combo) {
        QAccessibleInterface* lista = QAccessible::queryAccessibleInterface(combo->view());
        EXPECT_EQ(QAccessible::queryAccessibleInterface(combo)->child(0), lista);
        int celdas = !lista->state().invisible;
        for (int h = 0; h < lista->childCount(); ++h) celdas += !lista->child(h)->state().invisible;
        return celdas;
    };
    int combos = 0;
    porPestana([&](const QString&) {
        for (ComboDatos* combo : form->findChildren<ComboDatos*>()) {
            ++combos;
            EXPECT_EQ(enPantalla(combo), 0) << combo->objectName().toStdString();
            // Su lista se llama como el combo y solo enseña las columnas que se ven.
            QAccessibleInterface* lista = QAccessible::queryAccessibleInterface(combo->view());
            EXPECT_EQ(lista->text(QAccessible::Name),
                      QAccessible::queryAccessibleInterface(combo)->text(QAccessible::Name));
            int visibles = 0;
            for (int c = 0; c < combo->model()->columnCount(); ++c)
                visibles += !static_cast<QTableView*>(combo->view())->isColumnHidden(c);
            EXPECT_EQ(lista->tableInterface()->columnCount(), visibles);
        }
    });
    EXPECT_GT(combos, 0);
    // Abierta, sí está.
    form->tabPrincipal()->setCurrentIndex(0);
    ui().cboCuerpo->showPopup();
    procesar();
    EXPECT_GT(enPantalla(ui().cboCuerpo), 1);
    ui().cboCuerpo->hidePopup();
}

TEST_F(AccesibilidadTest, LaPantallaDeCargaDiceQueCargaYCuandoTermina) {
    frmProgreso progreso;
    QProgressBar* barra = progreso.findChild<QProgressBar*>(QStringLiteral("prg"));
    QAccessibleInterface* i = QAccessible::queryAccessibleInterface(barra);
    EXPECT_EQ(i->text(QAccessible::Name), QStringLiteral("Cargando información ..."));
    QSignalSpy cargada(&progreso, &frmProgreso::cargaFinalizada);
    avisos().clear();
    progreso.open();
    ASSERT_TRUE(!cargada.isEmpty() || cargada.wait(10000));
    EXPECT_EQ(i->text(QAccessible::Name), QStringLiteral("Información cargada"));
    bool avisado = false;
    for (const Aviso& a : avisos())
        avisado |= a.objeto == barra && a.tipo == QAccessible::NameChanged;
    EXPECT_TRUE(avisado);
    // El rótulo de la ventana no cambia.
    EXPECT_EQ(progreso.findChild<QLabel*>(QStringLiteral("Label1"))->text(),
              QStringLiteral("Cargando información ..."));
    progreso.close();

    frmProgresoGeneral general;
    general.lblAccion()->setText(QStringLiteral("Guardando la solicitud"));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(general.prgBar())->text(QAccessible::Name),
              QStringLiteral("Guardando la solicitud"));
}

}  // namespace

namespace {

// Lo que solo se ve según otras respuestas, a la vista: la situación "Otras" con su lista, otro
// servicio de salud, la discapacidad, el destino actual y la convivencia familiar.
void mostrarLoCondicional(Ui::PestanaSolicitante& d) {
    for (QAbstractButton* b : std::initializer_list<QAbstractButton*>{
             d.optOtras, d.optSSOtros, d.optDiscSi, d.OptSi, d.optPetConyugeSi})
        b->click();
    for (int i = 0; i < 3; ++i) QApplication::processEvents();
}

TEST_F(AccesibilidadTest, CadaParteEnfocableDeCadaComboLlevaSuRotulo) {
    mostrarLoCondicional(ui());
    frmSeleccion seleccion([] {});
    int combos = 0;
    for (QWidget* ventana : std::initializer_list<QWidget*>{form.get(), &seleccion})
        for (QComboBox* combo : ventana->findChildren<QComboBox*>()) {
            SCOPED_TRACE(combo->objectName().toStdString());
            ++combos;
            // En Linux el nombre de un combo es su valor; su rótulo va como relación.
            const auto rotulos =
                QAccessible::queryAccessibleInterface(combo)->relations(QAccessible::Label);
            ASSERT_FALSE(rotulos.isEmpty());
            const QString rotulo = rotulos.first().first->text(QAccessible::Name);
            EXPECT_TRUE(nombreHumano(combo, rotulo)) << rotulo.toStdString();
            // La caja de texto, la que tiene el foco con Tab, se llama así.
            if (QLineEdit* caja = combo->lineEdit()) {
                EXPECT_EQ(QAccessible::queryAccessibleInterface(caja)->text(QAccessible::Name),
                          rotulo);
            }
        }
    EXPECT_GT(combos, 15);
    // La de la situación administrativa, que no tiene rótulo delante: la pregunta de su recuadro.
    EXPECT_EQ(interfazOida(ui().cboSituaciones)->text(QAccessible::Name),
              QStringLiteral("Situación Administrativa"));
}

TEST_F(AccesibilidadTest, TabEntraEnUnGrupoDeOpcionesPorLaMarcada) {
    Ui::PestanaSolicitante& d = ui();
    mostrarLoCondicional(d);
    // La parada de Tab de fuera del grupo que va justo antes (o justo después) de él.
    auto vecina = [&](QButtonGroup* grupo, bool antes) -> QWidget* {
        QWidget* ventana = form.get();
        QWidget* previa = nullptr;
        bool dentro = false;
        for (QWidget* w = ventana->nextInFocusChain(); w != ventana; w = w->nextInFocusChain()) {
            const bool parada = (w->focusPolicy() & Qt::TabFocus) && w->isVisible() &&
                                w->isEnabled() && !w->focusProxy();
            auto* boton = qobject_cast<QAbstractButton*>(w);
            if (boton && grupo->buttons().contains(boton)) {
                if (antes) return previa;
                dentro = true;
            } else if (parada) {
                if (dentro) return w;
                previa = w;
            }
        }
        return nullptr;
    };
    int comprobados = 0;
    for (QButtonGroup* grupo : d.cboCuerpo->window()->findChildren<QButtonGroup*>()) {
        const QList<QAbstractButton*> botones = grupo->buttons();
        if (!botones.first()->isVisible() || !botones.first()->isEnabled()) continue;
        QAbstractButton* original = grupo->checkedButton();
        for (QAbstractButton* marcada : botones) {
            SCOPED_TRACE(marcada->objectName().toStdString());
            // Marcada desde el código, como al leer una solicitud guardada.
            marcada->setChecked(true);
            procesar();
            if (!marcada->isVisible()) continue;
            for (const bool haciaDelante : {true, false}) {
                QWidget* desde = vecina(grupo, haciaDelante);
                // Tras el último grupo no hay más paradas en la pestaña.
                if (!desde && !haciaDelante) continue;
                ASSERT_NE(desde, nullptr);
                desde->setFocus(Qt::TabFocusReason);
                procesar();
                pulsar(haciaDelante ? Qt::Key_Tab : Qt::Key_Backtab);
                procesar();
                EXPECT_EQ(QApplication::focusWidget(), marcada)
                    << (haciaDelante ? "Tab" : "Mayúsculas+Tab") << " llega a "
                    << QApplication::focusWidget()->objectName().toStdString();
                // Un Espacio por reflejo no cambia la respuesta.
                pulsar(Qt::Key_Space);
                procesar();
                EXPECT_TRUE(marcada->isChecked());
                ++comprobados;
            }
        }
        original->setChecked(true);
        procesar();
    }
    EXPECT_GE(comprobados, 20);
}

TEST_F(AccesibilidadTest, CadaOpcionTieneComoRotuloLaPreguntaDeSuGrupo) {
    const Ui::PestanaSolicitante& d = ui();
    const QString destino = QStringLiteral("Destino Actual");
    const QString conyuge = QStringLiteral("Condiciona su solicitud por convivencia familiar");
    const QHash<QRadioButton*, QString> preguntas = {
        {d.optDiscSi, QStringLiteral("Discapacidad")},
        {d.optDiscNo, QStringLiteral("Discapacidad")},
        {d.OptSi, destino},
        {d.OptNo, destino},
        {d.optDefinitivo, QStringLiteral("Carácter del destino actual")},
        {d.optTemporal, QStringLiteral("Carácter del destino actual")},
        {d.optSSNorsa, QStringLiteral("Servicio de Salud")},
        {d.optSSOtros, QStringLiteral("Servicio de Salud")},
        {d.optActivo, QStringLiteral("Situación Administrativa")},
        {d.optOtras, QStringLiteral("Situación Administrativa")},
        {d.optVoluntario, QStringLiteral("Forma de participación")},
        {d.optForzoso, QStringLiteral("Forma de participación")},
        {d.optPetConyugeSi, conyuge},
        {d.optPetConyugeNo, conyuge},
        {d.optReingesoSi, QStringLiteral("Solicita Reingreso")},
        {d.optReingresoNo, QStringLiteral("Solicita Reingreso")},
    };
    // Todas las opciones del formulario, sin que se escape ninguna nueva.
    const QList<QRadioButton*> opciones = form->findChildren<QRadioButton*>();
    EXPECT_EQ(opciones.size(), preguntas.size());
    for (QRadioButton* opcion : opciones) {
        SCOPED_TRACE(opcion->objectName().toStdString());
        ASSERT_TRUE(preguntas.contains(opcion));
        QAccessibleInterface* i = QAccessible::queryAccessibleInterface(opcion);
        EXPECT_EQ(i->role(), QAccessible::RadioButton);
        const auto rotulos = i->relations(QAccessible::Label);
        ASSERT_FALSE(rotulos.isEmpty());
        EXPECT_EQ(rotulos.first().first->text(QAccessible::Name), preguntas.value(opcion));
        // Su texto sigue siendo su nombre, y se oye si está marcada.
        EXPECT_TRUE(i->text(QAccessible::Name).endsWith(opcion->text()));
        EXPECT_TRUE(i->state().checkable);
        EXPECT_EQ(bool(i->state().checked), opcion->isChecked());
    }
    // Un recuadro dentro de otro se llama por su título, no por el del de fuera.
    for (QGroupBox* recuadro : form->findChildren<QGroupBox*>())
        EXPECT_EQ(QAccessible::queryAccessibleInterface(recuadro)->text(QAccessible::Name),
                  recuadro->title())
            << recuadro->objectName().toStdString();
}

TEST_F(AccesibilidadTest, IntroCargaEnElSelectorYAceptaEnCursosYDocumentos) {
    // Una solicitud guardada que elegir en el selector.
    const QString fichero = QStringLiteral("12345678Z_ABCDE0B.doc");
    QFile guardada(G().RutaTemporal + fichero);
    ASSERT_TRUE(guardada.open(QIODevice::WriteOnly));
    guardada.close();
    ASSERT_EQ(ListarSolicitudes(G().DNIUsuario), 1);
    int aperturas = 0;
    QString abierta;
    QPointer<frmSeleccion> seleccion = new frmSeleccion([&] {
        ++aperturas;
        abierta = G().FicheroSolicitud;
    });
    ASSERT_TRUE(mostrarActiva(seleccion));
    auto* lista = seleccion->findChild<ComboDatos*>(QStringLiteral("cboSolicitudes"));
    auto* cargar = seleccion->findChild<QPushButton*>(QStringLiteral("cmdCargar"));
    EXPECT_TRUE(cargar->isDefault());
    EXPECT_TRUE(QAccessible::queryAccessibleInterface(cargar)->state().defaultButton);
    elegirFila(lista, fichero);
    pulsar(Qt::Key_Return);
    procesar();
    EXPECT_EQ(aperturas, 1);
    EXPECT_EQ(abierta, fichero);
    delete seleccion.data();
    QFile::remove(G().RutaTemporal + fichero);
    ASSERT_TRUE(mostrarActiva(form.get()));

    // Cursos: Intro en la última caja acepta el curso; en las de números pasa a la siguiente.
    form->tabPrincipal()->setCurrentIndex(1);
    procesar();
    Ui::PestanaCursos& c = form->pestanaCursos()->controles();
    EXPECT_TRUE(c.cmdAceptar->isDefault());
    c.txtCurso->setFocus(Qt::TabFocusReason);
    procesar();
    c.txtCurso->setText(QStringLiteral("Soporte vital"));
    ASSERT_EQ(QApplication::focusWidget(), c.txtCurso);
    pulsar(Qt::Key_Return);
    procesar();
    ASSERT_EQ(mensajes.mostrados().size(), 1);  // falta el número de horas
    mensajes.limpiar();
    c.txtHoras->setFocus(Qt::TabFocusReason);
    procesar();
    QTest::keyClicks(c.txtHoras, QStringLiteral("20"));
    pulsar(Qt::Key_Return);
    procesar();
    EXPECT_EQ(QApplication::focusWidget(), c.txtAno);
    EXPECT_EQ(G().rsCursos->numeroRegistros(), 0);
    QTest::keyClicks(c.txtAno, QStringLiteral("2020"));
    c.txtCentro->setFocus(Qt::TabFocusReason);
    procesar();
    c.txtCentro->setText(QStringLiteral("Hospital"));
    pulsar(Qt::Key_Return);
    procesar();
    EXPECT_TRUE(mensajes.mostrados().isEmpty()) << mensajes.textos().join('|').toStdString();
    EXPECT_EQ(G().rsCursos->numeroRegistros(), 1);

    // Documentos: Intro en el nombre lo acepta.
    form->tabPrincipal()->setCurrentIndex(4);
    procesar();
    Ui::PestanaDocumentos& o = form->pestanaDocumentos()->controles();
    EXPECT_TRUE(o.cmdAceptarDoc->isDefault());
    o.txtDoc->setFocus(Qt::TabFocusReason);
    procesar();
    o.txtDoc->setText(QStringLiteral("Título de grado"));
    pulsar(Qt::Key_Return);
    procesar();
    EXPECT_EQ(G().rsDocumentos->numeroRegistros(), 1);
}

// Los objetos del árbol accesible de la ventana que dicen tener el foco. En una tabla solo se
// mira su celda con el foco: recorrer las miles de celdas de una lista no dice más.
void conFoco(QAccessibleInterface* i, QList<QAccessibleInterface*>& con) {
    if (!i || i->state().invisible) return;
    if (i->state().focused) con << i;
    if (i->tableInterface()) {
        if (QAccessibleInterface* celda = i->focusChild(); celda && celda->state().focused)
            con << celda;
        return;
    }
    for (int h = 0; h < i->childCount(); ++h) conFoco(i->child(h), con);
}

bool esAntecesor(QAccessibleInterface* antecesor, QAccessibleInterface* i) {
    for (QAccessibleInterface* p = i->parent(); p; p = p->parent())
        if (p == antecesor) return true;
    return false;
}

TEST_F(AccesibilidadTest, CadaVentanaConSuPapelYUnSoloObjetoConElFoco) {
    frmUsuario usuario(carpetaPrograma() + QStringLiteral("/usuarios.xml"));
    frmCreaPwd contrasena;
    frmSeleccion seleccion([] {});
    frmProgreso progreso;
    frmProgresoGeneral progresoGeneral;
    const struct {
        QWidget* ventana;
        QAccessible::Role papel;
    } ventanas[] = {
        {form.get(), QAccessible::Window},  {&usuario, QAccessible::Dialog},
        {&contrasena, QAccessible::Dialog}, {&seleccion, QAccessible::Dialog},
        {&progreso, QAccessible::Dialog},   {&progresoGeneral, QAccessible::Dialog},
    };
    for (const auto& v : ventanas) {
        QAccessibleInterface* i = QAccessible::queryAccessibleInterface(v.ventana);
        EXPECT_EQ(i->role(), v.papel) << v.ventana->objectName().toStdString();
        EXPECT_EQ(i->text(QAccessible::Name), v.ventana->windowTitle());
    }

    // Con el foco en cada parada de cada pestaña, lo que dice tenerlo es lo que oye el lector de
    // pantalla y, como mucho, lo que lo contiene (el combo de su caja de texto); nunca la pestaña
    // elegida mientras se escribe en una caja.
    mostrarLoCondicional(ui());
    QAccessibleInterface* raiz = QAccessible::queryAccessibleInterface(form.get());
    int paradas = 0;
    porPestana([&](const QString&) {
        for (QWidget* w : paradasTab(form.get(), false)) {
            w->setFocus(Qt::TabFocusReason);
            procesar();
            QAccessibleInterface* oida = interfazOida(w);
            if (QAccessibleInterface* hija = oida->focusChild()) oida = hija;
            QList<QAccessibleInterface*> con;
            conFoco(raiz, con);
            QStringList nombres;
            for (QAccessibleInterface* f : con)
                if (f != oida && !esAntecesor(f, oida))
                    nombres << QString::number(f->role(), 16) + ":" + f->text(QAccessible::Name);
            EXPECT_TRUE(con.contains(oida)) << w->objectName().toStdString();
            EXPECT_TRUE(nombres.isEmpty())
                << w->objectName().toStdString() << ": " << nombres.join(", ").toStdString();
            ++paradas;
        }
    });
    EXPECT_GT(paradas, 40);
    // La barra de pestañas con el foco: su pestaña elegida lo tiene.
    QTabBar* barra = form->tabPrincipal()->tabBar();
    barra->setFocus(Qt::TabFocusReason);
    procesar();
    QAccessibleInterface* pestanas = QAccessible::queryAccessibleInterface(barra);
    ASSERT_EQ(pestanas->childCount(), barra->count());
    QAccessibleInterface* elegida = pestanas->child(barra->currentIndex());
    EXPECT_EQ(elegida->role(), QAccessible::PageTab);
    EXPECT_TRUE(elegida->state().focused);
    EXPECT_TRUE(elegida->state().selected);
    EXPECT_EQ(pestanas->focusChild(), elegida);
}

}  // namespace
