#include "storage/ventanas/frmSeleccion.h"

#include "../../apoyo/OtroPrograma.h"
#include "../ApoyoSolicitudes.h"
#include "platform/ventanas/ComboDatos.h"
#include "storage/BloqueoSolicitud.h"
#include "storage/SolicitudesGuardadas.h"

#include <gtest/gtest.h>
#include <QAbstractItemView>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QPointer>
#include <QPushButton>
#include <QTableView>
#include <QTest>

namespace {

const QString kDni = QStringLiteral("12345678Z");
const QString kPrimera = QStringLiteral("12345678Z_ABCDE0B.doc");
const QString kSegunda = QStringLiteral("12345678Z_FGHIJ0A.doc");

class frmSeleccionTest : public SolicitudesPrueba {
protected:
    void SetUp() override {
        SolicitudesPrueba::SetUp();
        if (HasFatalFailure()) return;
        anadirCuerpo(QStringLiteral("ABCDE"), QStringLiteral("Enfermería"), QStringLiteral("B"));
        anadirCuerpo(QStringLiteral("FGHIJ"), QStringLiteral("Facultativo"), QStringLiteral("A"));
        for (const QString& doc : {kPrimera, kSegunda}) {
            crear(doc);
            crear(NombreFicheroListas(doc));
        }
        crear(QStringLiteral("87654321X_ABCDE0B.doc"));  // de otro usuario
        ASSERT_EQ(ListarSolicitudes(kDni), 2);
        m_ventana = new frmSeleccion([this] {
            ++m_aperturas;
            m_ficheroAlAbrir = G().FicheroSolicitud;
            m_visibleAlAbrir = m_ventana->isVisible();
        });
        m_ventana->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(m_ventana));
    }
    void TearDown() override {
        delete m_ventana.data();
        SolicitudesPrueba::TearDown();
    }

    bool existe(const QString& nombre) const { return QFile::exists(ruta(nombre)); }
    // Los controles, por su nombre, como los ve quien usa la ventana.
    struct Controles {
        ComboDatos* cboSolicitudes;
        QPushButton* cmdCargar;
        QPushButton* cmdBorrar;
        QPushButton* cmdNueva;
        const Controles* operator->() const { return this; }
    };
    Controles ui() const {
        auto boton = [this](const char* n) { return m_ventana->findChild<QPushButton*>(n); };
        return {m_ventana->findChild<ComboDatos*>("cboSolicitudes"), boton("cmdCargar"),
                boton("cmdBorrar"), boton("cmdNueva")};
    }

    // Lo que hace el usuario al elegir una fila en la lista desplegable.
    void elegirFila(int fila) {
        ComboDatos* combo = ui()->cboSolicitudes;
        combo->setCurrentIndex(fila);
        emit combo->activated(fila);
    }
    void pulsar(QPushButton* boton) { QTest::mouseClick(boton, Qt::LeftButton); }
    bool cerrada() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return m_ventana.isNull();
    }

    QPointer<frmSeleccion> m_ventana;
    int m_aperturas = 0;
    QString m_ficheroAlAbrir;
    bool m_visibleAlAbrir = true;
};

TEST_F(frmSeleccionTest, ListaLasSolicitudesConSusColumnasYDescripciones) {
    EXPECT_EQ(m_ventana->windowTitle(), QStringLiteral("CargarSolicitud"));
    EXPECT_EQ(ui()->cmdCargar->text(), QStringLiteral("Cargar Solicitud"));
    EXPECT_EQ(ui()->cmdBorrar->text(), QStringLiteral("Borrar Solicitud"));
    EXPECT_EQ(ui()->cmdNueva->text(), QStringLiteral("Solicitud Nueva"));
    ComboDatos* combo = ui()->cboSolicitudes;
    ASSERT_EQ(combo->count(), 2);
    EXPECT_TRUE(combo->valor().isEmpty());

    // Columnas visibles de la lista, en su orden y con sus rótulos.
    auto* vista = qobject_cast<QAbstractItemView*>(combo->view());
    ASSERT_NE(vista, nullptr);
    auto* modelo = combo->model();
    QStringList rotulos;
    auto* tablaVista = qobject_cast<QTableView*>(vista);
    ASSERT_NE(tablaVista, nullptr);
    for (int visual = 0; visual < modelo->columnCount(); ++visual) {
        const int logica = tablaVista->horizontalHeader()->logicalIndex(visual);
        if (!tablaVista->isColumnHidden(logica))
            rotulos << modelo->headerData(logica, Qt::Horizontal).toString();
    }
    EXPECT_EQ(rotulos, (QStringList{"DNI", "Categoría", "Grupo", "Fichero", "Descripción"}));

    elegirFila(1);
    EXPECT_EQ(combo->valor(), kSegunda);
    EXPECT_EQ(combo->valorColumna(QStringLiteral("DescCuerpo")), QStringLiteral("Facultativo"));
    EXPECT_EQ(combo->valorColumna(QStringLiteral("Grupo")), QStringLiteral("A"));
    // Cerrada, la lista dice qué solicitud se ha elegido (y qué borraría "Borrar Solicitud"): la
    // categoría, el grupo, la descripción y el fichero, no el DNI, que es el mismo en todas.
    EXPECT_EQ(combo->texto(), QStringLiteral("FGHIJ · grupo A · Facultativo · ") + kSegunda);
    elegirFila(0);
    EXPECT_EQ(combo->texto(), QStringLiteral("ABCDE · grupo B · Enfermería · ") + kPrimera);
    EXPECT_EQ(combo->valor(), kPrimera);
}

// Abierta con el ratón, la lista enseña todas las solicitudes, fila a fila y enteras, y no solo
// sus cabeceras.
TEST_F(frmSeleccionTest, LaListaAbiertaEnsenaSusFilas) {
    ComboDatos* combo = ui()->cboSolicitudes;
    combo->showPopup();
    auto* vista = qobject_cast<QTableView*>(combo->view());
    ASSERT_NE(vista, nullptr);
    ASSERT_TRUE(vista->isVisible());
    const QRect visible = vista->viewport()->rect();
    const int descripcion = G().rsSolicitudesGuardadas->indiceCampo(QStringLiteral("DescCuerpo"));
    for (int fila = 0; fila < combo->count(); ++fila) {
        const QRect celda = vista->visualRect(combo->model()->index(fila, descripcion));
        EXPECT_FALSE(celda.isEmpty()) << fila;
        EXPECT_TRUE(visible.contains(celda)) << fila << " fuera de la parte visible";
    }
    combo->hidePopup();
}

// Si los ficheros de la solicitud no se pueden borrar, después de confirmar se dice que no se ha
// borrado nada.
TEST_F(frmSeleccionTest, UnBorradoQueNoBorraNadaLoDice) {
    // En lugar de los dos ficheros, carpetas con algo dentro: no se pueden borrar como ficheros.
    for (const QString& f : {kPrimera, NombreFicheroListas(kPrimera)}) {
        ASSERT_TRUE(QFile::remove(ruta(f)));
        ASSERT_TRUE(QDir().mkpath(ruta(f) + "/dentro"));
    }
    elegirFila(0);
    m_mensajes.responder(Respuesta::Si);
    pulsar(ui()->cmdBorrar);
    ASSERT_EQ(m_mensajes.mostrados().size(), 2);
    const auto& aviso = m_mensajes.mostrados().last();
    EXPECT_TRUE(aviso.texto.startsWith(QStringLiteral("No se ha borrado la solicitud")))
        << aviso.texto.toStdString();
    EXPECT_EQ(aviso.icono, Icono::Exclamacion);
    EXPECT_TRUE(QFileInfo(ruta(kPrimera)).isDir());
}

// Una solicitud abierta en otra copia del programa (otro proceso, con su bloqueo) no se le borra
// por debajo: se dice con el mensaje de "en uso" y no se toca nada. Tampoco si su bloqueo no se
// puede tomar (una carpeta con su nombre): nadie sabría si otra copia la tiene. Cuando la otra
// copia la suelta, se borra.
TEST_F(frmSeleccionTest, AbiertaEnOtroProgramaNoSeBorra) {
    const QString carpeta = G().RutaTemporal;
    const QString bloqueo = ruta(".12345678Z_ABCDE0B.xml.bloqueo");
    std::shared_ptr<BloqueoSolicitud> tenido;  // en el otro proceso
    OtroPrograma otro([&] {
        auto b = BloqueoSolicitud::tomar(carpeta, kPrimera);
        if (b) tenido = b.valor();
        return b.ok();
    });
    ASSERT_TRUE(otro.hecho());
    const struct {
        const char* caso;
        QString titulo, dice;
        Icono icono;
    } casos[] = {
        {"en otro programa", "Solicitud en uso",
         QStringLiteral("está abierta en otra ventana del programa (proceso %1)").arg(otro.pid()),
         Icono::Critico},
        {"una carpeta en lugar del bloqueo", "Borrar",
         "No se ha borrado la solicitud.\nNo se puede tomar el bloqueo de la solicitud",
         Icono::Exclamacion},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.caso);
        if (QString(c.caso) != "en otro programa") {
            otro.soltar();  // muerto, su fichero de bloqueo se queda, pero no cuenta
            ASSERT_TRUE(QFile::remove(bloqueo));
            ASSERT_TRUE(QDir().mkpath(bloqueo));
        }
        m_mensajes.limpiar();
        elegirFila(0);
        m_mensajes.responder(Respuesta::Si);
        pulsar(ui()->cmdBorrar);
        ASSERT_EQ(m_mensajes.mostrados().size(), 2);
        const auto& aviso = m_mensajes.mostrados().last();
        EXPECT_EQ(aviso.titulo, c.titulo);
        EXPECT_TRUE(aviso.texto.contains(c.dice)) << aviso.texto.toStdString();
        EXPECT_EQ(aviso.icono, c.icono);
        EXPECT_TRUE(existe(kPrimera));
        EXPECT_TRUE(existe(NombreFicheroListas(kPrimera)));
        EXPECT_EQ(ui()->cboSolicitudes->count(), 2);
    }
    ASSERT_TRUE(QDir().rmdir(bloqueo));
    elegirFila(0);
    m_mensajes.responder(Respuesta::Si);
    pulsar(ui()->cmdBorrar);
    EXPECT_FALSE(existe(kPrimera));
    EXPECT_FALSE(existe(NombreFicheroListas(kPrimera)));
    EXPECT_FALSE(QFileInfo::exists(bloqueo));
}

TEST_F(frmSeleccionTest, SinEleccionAvisaYNoHaceNada) {
    // Con el ratón y con Intro sobre el botón con el foco, como en cualquier escritorio.
    m_ventana->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(m_ventana));
    const auto intro = [](QPushButton* boton) {
        boton->setFocus();
        QTest::keyClick(boton, Qt::Key_Return);
    };
    for (const auto& [boton, conIntro] :
         {std::pair{ui()->cmdCargar, false}, std::pair{ui()->cmdBorrar, false},
          std::pair{ui()->cmdCargar, true}}) {
        SCOPED_TRACE(boton->objectName().toStdString() + (conIntro ? " con Intro" : ""));
        m_mensajes.limpiar();
        conIntro ? intro(boton) : pulsar(boton);
        ASSERT_EQ(m_mensajes.mostrados().size(), 1);
        const auto& m = m_mensajes.mostrados().first();
        EXPECT_EQ(m.texto, QStringLiteral("Seleccione una Solicitud"));
        EXPECT_EQ(m.titulo, QStringLiteral("Solicitudes"));
        EXPECT_EQ(m.icono, Icono::Exclamacion);
    }
    EXPECT_EQ(m_aperturas, 0);
    EXPECT_TRUE(existe(kPrimera) && existe(kSegunda));
    EXPECT_FALSE(cerrada());
}

TEST_F(frmSeleccionTest, CargarAbreLaElegidaYSeDescarga) {
    elegirFila(0);
    pulsar(ui()->cmdCargar);
    EXPECT_EQ(m_aperturas, 1);
    EXPECT_EQ(m_ficheroAlAbrir, kPrimera);
    EXPECT_FALSE(m_visibleAlAbrir);  // se oculta antes de la pantalla de carga
    EXPECT_TRUE(m_mensajes.mostrados().isEmpty());
    EXPECT_TRUE(cerrada());
}

TEST_F(frmSeleccionTest, NuevaAbreSinFichero) {
    G().FicheroSolicitud = QStringLiteral("resto de antes");
    elegirFila(0);
    pulsar(ui()->cmdNueva);
    EXPECT_EQ(m_aperturas, 1);
    EXPECT_TRUE(m_ficheroAlAbrir.isEmpty());
    EXPECT_TRUE(cerrada());
}

TEST_F(frmSeleccionTest, BorrarPreguntaBorraLosDosFicherosYVuelveAListar) {
    elegirFila(0);
    m_mensajes.responder(Respuesta::No);
    pulsar(ui()->cmdBorrar);
    ASSERT_EQ(m_mensajes.mostrados().size(), 1);
    const auto& pregunta = m_mensajes.mostrados().first();
    EXPECT_EQ(pregunta.texto, QStringLiteral("¿Desea borrar esta solicitud?"));
    EXPECT_EQ(pregunta.titulo, QStringLiteral("Borrar"));
    EXPECT_EQ(pregunta.icono, Icono::Pregunta);
    EXPECT_EQ(pregunta.botones, Botones::SiNo);
    EXPECT_EQ(pregunta.porDefecto, Respuesta::No);  // un Intro sin pensar no borra
    EXPECT_TRUE(existe(kPrimera));

    m_mensajes.responder(Respuesta::Si);
    pulsar(ui()->cmdBorrar);
    EXPECT_FALSE(existe(kPrimera));
    EXPECT_FALSE(existe(NombreFicheroListas(kPrimera)));
    EXPECT_TRUE(existe(kSegunda));
    EXPECT_EQ(ui()->cboSolicitudes->count(), 1);
    EXPECT_TRUE(ui()->cboSolicitudes->valor().isEmpty());
    EXPECT_TRUE(G().FicheroSolicitud.isEmpty());
    EXPECT_TRUE(ui()->cmdCargar->isEnabled());
    EXPECT_EQ(m_aperturas, 0);
}

TEST_F(frmSeleccionTest, BorrarLaUltimaDeshabilitaAbrirYBorrar) {
    QFile::remove(G().RutaTemporal + NombreFicheroListas(kSegunda));  // falta uno de los dos
    for (int i = 0; i < 2; ++i) {
        elegirFila(0);
        m_mensajes.responder(Respuesta::Si);
        pulsar(ui()->cmdBorrar);
    }
    EXPECT_FALSE(existe(kPrimera));
    EXPECT_FALSE(existe(kSegunda));
    EXPECT_FALSE(ui()->cmdCargar->isEnabled());
    EXPECT_FALSE(ui()->cmdBorrar->isEnabled());
    EXPECT_FALSE(ui()->cboSolicitudes->isEnabled());
    EXPECT_TRUE(ui()->cmdNueva->isEnabled());
    EXPECT_EQ(ui()->cboSolicitudes->count(), 0);
    EXPECT_TRUE(existe(QStringLiteral("87654321X_ABCDE0B.doc")));
}

}  // namespace
