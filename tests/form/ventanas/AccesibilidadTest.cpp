#include "../../printing/PlantillaPrueba.h"
#include "../../users/ventanas/Teclado.h"
#include "FormularioPrueba.h"
#include "form/ventanas/PestanaSolicitante.h"
#include "form/ventanas/PestanaVacantes.h"
#include "form/ventanas/frmProgresoGeneral.h"
#include "platform/ventanas/ComboDatos.h"
#include "platform/ventanas/RejillaDatos.h"
#include "startup/Globales.h"
#include "startup/ventanas/frmProgreso.h"
#include "storage/ventanas/frmSeleccion.h"
#include "ui_PestanaSolicitante.h"
#include "ui_PestanaVacantes.h"
#include "users/ventanas/frmCreaPwd.h"
#include "users/ventanas/frmUsuario.h"

#include <QtGui/private/qguiapplication_p.h>
#include <QtGui/qpa/qplatformaccessibility.h>
#include <QtGui/qpa/qplatformintegration.h>
#include <QAbstractButton>
#include <QAccessible>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTabWidget>
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
