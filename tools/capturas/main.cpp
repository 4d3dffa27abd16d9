// movilant-capturas: fotografía las ventanas de verdad del programa, con datos de ejemplo, para
// las imágenes del manual de usuario. Lo llama scripts/capturas-manual.sh.
//
//   movilant-capturas DESTINO
//       Escribe en DESTINO un PNG por ventana o pestaña (acceso, selector y las cinco pestañas
//       del formulario de la solicitud).
#include "../../tests/apoyo/RutasCompilacion.h"
#include "catalogue/GeneradorCatalogos.h"
#include "form/ventanas/PestanaSolicitante.h"
#include "form/ventanas/frmSolicitudes.h"
#include "global/Globales.h"
#include "platform/ventanas/ComboDatos.h"
#include "startup/PasosArranque.h"
#include "startup/PasosCarga.h"
#include "storage/SolicitudesGuardadas.h"
#include "storage/ventanas/frmSeleccion.h"
#include "ui_PestanaSolicitante.h"
#include "users/ventanas/frmUsuario.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>

namespace {

void procesar() {
    for (int i = 0; i < 5; ++i) {
        QApplication::processEvents();
        QThread::msleep(20);
    }
}

bool fotografiar(QWidget& ventana, const QString& destino, const QString& nombre) {
    ventana.show();
    ventana.raise();
    procesar();
    const bool ok = ventana.grab().save(destino + QLatin1Char('/') + nombre + ".png");
    QTextStream(stdout) << (ok ? "  " : "  NO SE PUDO ESCRIBIR ") << nombre << ".png\n";
    return ok;
}

template <typename T>
T* hijo(QWidget& ventana, const char* nombre) {
    return ventana.findChild<T*>(QString::fromLatin1(nombre));
}

void escribir(QWidget& ventana, const char* nombre, const QString& texto) {
    if (auto* caja = hijo<QLineEdit>(ventana, nombre)) caja->setText(texto);
}

void pulsar(QWidget& ventana, const char* nombre) {
    if (auto* boton = hijo<QPushButton>(ventana, nombre)) boton->click();
    procesar();
}

// Elige en el combo la fila de ese valor como la elige una persona en su lista.
void elegir(ComboDatos* combo, int fila) {
    combo->setFocus(Qt::MouseFocusReason);
    combo->setCurrentIndex(fila);
    emit combo->activated(fila);
    procesar();
}

int capturar(const QString& destino) {
    QTemporaryDir dir;
    const QString ficheros = dir.path() + "/ficheros/";
    QDir().mkpath(ficheros + "temp");
    TamanoCatalogos tamano;
    if (!generarCatalogos(ficheros, tamano).ok()) return 1;
    QFile::copy(rutaFuentes("/datos/conf.xml"), dir.filePath("conf.xml"));
    QFile::copy(rutaFuentes("/datos/FicheroTexto.txt"), ficheros + "FicheroTexto.txt");
    QFile::copy(rutaFuentes("/datos/usuarios.xml"), dir.filePath("usuarios.xml"));
    reiniciarGlobales();
    if (!PrepararArranque(dir.path()).ok()) return 1;
    CargaSinVentana sinVentana;
    PasosCarga pasos(sinVentana);
    if (pasos.ejecutar()) return 1;
    const QString dni = "12345678Z";
    G().DNIUsuario = dni;

    frmUsuario acceso(dir.filePath("usuarios.xml"));
    escribir(acceso, "txtDNI", dni);
    fotografiar(acceso, destino, "acceso");
    acceso.hide();

    frmSolicitudes form;
    if (!form.cargar().ok()) return 1;
    form.txtDNI()->setText(dni);
    form.txtDNI()->setEnabled(false);
    // Ancho para que la primera pestaña se vea entera, sin su barra de desplazamiento.
    form.resize(1260, 780);
    form.show();
    procesar();
    Ui::PestanaSolicitante& d = form.pestanaSolicitante()->controles();
    d.txtApellido1->setText("Pérez");
    d.txtApellido2->setText("Núñez");
    d.txtNombre->setText("Begoña");
    d.txtFecNacimiento->setText("03/11/1975");
    d.txtTelefono->setText("924000000");
    d.txtDomicilio->setText("C/ Río Ebro, 3");
    d.txtLocalidad->setText("Mérida");
    d.txtCP->setText("06800");
    elegir(d.cboCuerpo, 0);
    if (auto* zona = hijo<QScrollArea>(form, "scrTab0")) zona->horizontalScrollBar()->setValue(0);
    fotografiar(form, destino, "pestana-solicitante");

    QWidget& cursos = *form.tabPrincipal()->widget(1);
    form.tabPrincipal()->setCurrentIndex(1);
    pulsar(cursos, "cmdAdd");
    escribir(cursos, "txtCurso", "Soporte vital avanzado");
    escribir(cursos, "txtHoras", "20");
    escribir(cursos, "txtAno", "2019");
    escribir(cursos, "txtCentro", "Escuela de Ciencias de la Salud");
    pulsar(cursos, "cmdAceptar");
    fotografiar(form, destino, "pestana-cursos");

    form.tabPrincipal()->setCurrentIndex(2);
    pulsar(*form.tabPrincipal()->widget(2), "cmdTodasVacantes");
    fotografiar(form, destino, "pestana-vacantes");
    form.tabPrincipal()->setCurrentIndex(3);
    fotografiar(form, destino, "pestana-resultas");

    QWidget& documentos = *form.tabPrincipal()->widget(4);
    form.tabPrincipal()->setCurrentIndex(4);
    pulsar(documentos, "cmdAddDoc");
    escribir(documentos, "txtDoc", "Certificado de servicios prestados");
    escribir(documentos, "txtNumHoras", "");
    escribir(documentos, "txtFechaFin", "");
    pulsar(documentos, "cmdAceptarDoc");
    fotografiar(form, destino, "pestana-documentos");
    form.hide();

    // El selector con una solicitud guardada.
    QFile(G().RutaTemporal + NombreFicheroSolicitud(dni, d.cboCuerpo->valor(), d.cboGrupo->valor()))
        .open(QIODevice::WriteOnly);
    ListarSolicitudes(dni);
    frmSeleccion selector([] {});
    fotografiar(selector, destino, "selector");
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList a = app.arguments();
    if (a.size() != 2) {
        QTextStream(stderr) << "Uso: movilant-capturas DESTINO\n";
        return 2;
    }
    QDir().mkpath(a[1]);
    QTextStream(stdout) << "Capturas en " << a[1] << ":\n";
    return capturar(a[1]);
}
