#include "FormularioPrueba.h"
#include "../../apoyo/RutasCompilacion.h"

#include "../../users/ventanas/Teclado.h"
#include "catalogue/GeneradorCatalogos.h"
#include "form/ventanas/PestanaSolicitante.h"
#include "global/Globales.h"
#include "platform/ventanas/ComboDatos.h"
#include "startup/PasosArranque.h"
#include "startup/PasosCarga.h"
#include "ui_PestanaSolicitante.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QScrollArea>
#include <QTest>

QTemporaryDir* FormularioPrueba::s_dir = nullptr;

void FormularioPrueba::SetUpTestSuite() {
    s_dir = new QTemporaryDir;
    const QString ficheros = s_dir->path() + QStringLiteral("/ficheros/");
    TamanoCatalogos t;
    t.plazas = 40;
    t.cuerpos = 8;
    ASSERT_TRUE(generarCatalogos(ficheros, t).ok());
    ASSERT_TRUE(QDir().mkpath(ficheros + QStringLiteral("temp")));
    ASSERT_TRUE(
        QFile::copy(rutaFuentes("/datos/conf.xml"), s_dir->filePath(QStringLiteral("conf.xml"))));
    ASSERT_TRUE(QFile::copy(rutaFuentes("/datos/FicheroTexto.txt"),
                            ficheros + QStringLiteral("FicheroTexto.txt")));
}

QString FormularioPrueba::carpetaPrograma() {
    return s_dir ? s_dir->path() : QString();
}

void FormularioPrueba::TearDownTestSuite() {
    delete s_dir;
    s_dir = nullptr;
}

void FormularioPrueba::SetUp() {
    reiniciarGlobales();
    ASSERT_TRUE(PrepararArranque(s_dir->path()).ok());
    CargaSinVentana sinVentana;
    PasosCarga pasos(sinVentana);
    const auto fallo = pasos.ejecutar();
    ASSERT_FALSE(fallo) << fallo->mensaje().toStdString();
    G().DNIUsuario = QStringLiteral("12345678Z");
    crearFormulario();
}

void FormularioPrueba::crearFormulario() {
    form.reset();
    form = std::make_unique<frmSolicitudes>();
    form->setAttribute(Qt::WA_DeleteOnClose, false);
    ASSERT_TRUE(form->cargar().ok());
    form->txtDNI()->setText(G().DNIUsuario);
    form->txtDNI()->setEnabled(false);
    ASSERT_TRUE(mostrarActiva(form.get()));
    procesar();
}

void FormularioPrueba::TearDown() {
    form.reset();
    reiniciarGlobales();
}

Ui::PestanaSolicitante& FormularioPrueba::ui() {
    return form->pestanaSolicitante()->controles();
}

void FormularioPrueba::procesar() {
    for (int i = 0; i < 3; ++i) QApplication::processEvents();
}

void FormularioPrueba::salirCon(QLineEdit* caja, const QString& texto) {
    caja->setFocus(Qt::TabFocusReason);
    procesar();
    caja->setText(texto);
    pulsar(Qt::Key_Tab);
    procesar();
}

void FormularioPrueba::clic(QWidget* control) {
    if (auto* zona = form->findChild<QScrollArea*>(QStringLiteral("scrTab0")))
        zona->ensureWidgetVisible(control);
    procesar();
    // En una opción, sobre su círculo: el resto de su ancho puede no responder al ratón.
    const QPoint punto = qobject_cast<QAbstractButton*>(control)
                             ? QPoint(qMin(8, control->width() / 2), control->height() / 2)
                             : control->rect().center();
    QTest::mouseClick(control, Qt::LeftButton, Qt::NoModifier, punto);
    procesar();
}

const PlazasCuerpo* FormularioPrueba::cuerpoConMasPlazas() {
    const PlazasCuerpo* mejor = nullptr;
    for (const PlazasCuerpo& e : G().IndicePlazasCuerpo)
        if (e.DesdeCatalogo && e.Vacantes &&
            (!mejor || e.Vacantes->numeroRegistros() > mejor->Vacantes->numeroRegistros()))
            mejor = &e;
    return mejor;
}

int FormularioPrueba::filaDeValor(ComboDatos* combo, const QString& valor) {
    if (!combo->tabla()) return -1;
    const int columna = combo->tabla()->indiceCampo(combo->columnaValor());
    for (int f = 0; f < combo->count(); ++f)
        if (combo->tabla()->valorEnFila(f, columna).toString() == valor) return f;
    return -1;
}

void FormularioPrueba::elegirFila(ComboDatos* combo, const QString& valor) {
    const int fila = filaDeValor(combo, valor);
    ASSERT_GE(fila, 0) << "no hay fila con el valor " << valor.toStdString() << " en "
                       << combo->objectName().toStdString();
    // Lo que avisa el combo cuando se elige una fila de su lista (con la lista cerrada después y
    // el foco en él, como queda tras elegir con el ratón en una ventana activa).
    combo->setFocus(Qt::MouseFocusReason);
    procesar();
    combo->setCurrentIndex(fila);
    emit combo->activated(fila);
    procesar();
    ASSERT_EQ(combo->valor(), valor) << combo->objectName().toStdString();
}

void FormularioPrueba::elegirConRaton(ComboDatos* combo, const QString& valor) {
    const int fila = filaDeValor(combo, valor);
    ASSERT_GE(fila, 0) << "no hay fila con el valor " << valor.toStdString() << " en "
                       << combo->objectName().toStdString();
    combo->showPopup();
    QAbstractItemView* vista = combo->view();
    const QModelIndex indice = vista->model()->index(fila, combo->modelColumn());
    vista->scrollTo(indice);
    const QPoint punto = vista->visualRect(indice).center();
    QTest::mouseClick(vista->viewport(), Qt::LeftButton, Qt::NoModifier, punto);
    procesar();
    ASSERT_EQ(combo->valor(), valor) << combo->objectName().toStdString();
}
