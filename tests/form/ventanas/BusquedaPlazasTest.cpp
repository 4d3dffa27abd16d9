#include "../../apoyo/Ficheros.h"
#include "../../users/ventanas/Teclado.h"
#include "FormularioPrueba.h"
#include "form/FiltroPlazas.h"
#include "form/ventanas/PestanaResultas.h"
#include "form/ventanas/PestanaSolicitante.h"
#include "form/ventanas/PestanaVacantes.h"
#include "global/Globales.h"
#include "platform/ventanas/ComboDatos.h"
#include "storage/SolicitudesGuardadas.h"
#include "ui_PestanaResultas.h"
#include "ui_PestanaSolicitante.h"
#include "ui_PestanaVacantes.h"

#include <QAction>
#include <QDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>

namespace {

class BusquedaPlazasTest : public FormularioPrueba {
protected:
    Ui::PestanaVacantes& v() { return form->pestanaVacantes()->controles(); }
    static Ui::PestanaSolicitante& ui_de(frmSolicitudes* f) {
        return f->pestanaSolicitante()->controles();
    }
    Ui::PestanaResultas& r() { return form->pestanaResultas()->controles(); }

    // El cuerpo ofrecido con más plazas Vacantes, y su entrada del índice.
    const PlazasCuerpo& cuerpoMayor() {
        const PlazasCuerpo* mejor = cuerpoConMasPlazas();
        EXPECT_NE(mejor, nullptr);
        return *mejor;
    }
    void elegirCuerpo(const QString& cuerpo) {
        form->tabPrincipal()->setCurrentIndex(0);
        elegirFila(ui().cboCuerpo, cuerpo);
    }
    // Valores de un campo en las filas que la tabla deja ver.
    static QSet<QString> valores(const PTabla& t, const char* campo) {
        QSet<QString> r;
        const int c = t->indiceCampo(QLatin1String(campo));
        for (int f = 0; f < t->numeroRegistros(); ++f) r << t->valorEnFila(f, c).toString();
        return r;
    }
    // Un campo de la primera plaza del conjunto (sin su filtro).
    static QString primero(const PTabla& plazas, const char* campo) {
        const PTabla c = plazas->clonar();
        return c->valorEnFila(0, c->indiceCampo(QLatin1String(campo))).toString();
    }
    // Primer valor de un combo de búsqueda que deja alguna plaza del cuerpo.
    QString primeraProvinciaConPlazas(const PTabla& plazas) {
        return plazas->clonar()->valorEnFila(0, plazas->indiceCampo("CodProvincia")).toString();
    }
};

TEST_F(BusquedaPlazasTest, ElegirUnCuerpoCargaSusPlazasEnLasDosPestanas) {
    // Al abrir no hay cuerpo: la búsqueda está apagada salvo la provincia de Vacantes, que se
    // enciende siempre que no haya una elegida.
    EXPECT_TRUE(v().cboProvinciaVacantes->isEnabled());
    EXPECT_FALSE(v().cboLocalidadVacantes->isEnabled());
    EXPECT_FALSE(r().cboProvinciaResultas->isEnabled());
    const PlazasCuerpo& e = cuerpoMayor();
    elegirCuerpo(e.CodCuerpo);
    const QString grupo = ui().cboCuerpo->valorColumna(QStringLiteral("Grupo"));
    EXPECT_EQ(ui().cboGrupo->valor(), grupo);
    EXPECT_FALSE(ui().cboGrupo->isEnabled());
    EXPECT_EQ(form->lblCat()->text(), ui().cboCuerpo->valorColumna(QStringLiteral("DescCuerpo")));
    // Las tablas mismas de la entrada del índice, no copias.
    EXPECT_EQ(G().rsVacantesCuerpo, e.Vacantes);
    EXPECT_EQ(G().rsResultasCuerpo, e.Resultas);
    EXPECT_EQ(v().cboPuestoVacante->count(), e.Vacantes->numeroRegistros());
    EXPECT_EQ(r().cboPuestoResultas->count(), e.Resultas->numeroRegistros());
    EXPECT_EQ(v().lblPlazas->text(),
              QStringLiteral("Códigos Localizados: %1").arg(e.Vacantes->numeroRegistros()));
    // Vacantes: solo la provincia hasta elegirla. Resultas: provincia, localidad e institución.
    EXPECT_TRUE(v().cboProvinciaVacantes->isEnabled());
    for (QWidget* w :
         std::initializer_list<QWidget*>{v().cboLocalidadVacantes, v().cboConsejeriaVacantes,
                                         v().cboAreasVacantes, v().cboZonasVacantes})
        EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
    for (QWidget* w : std::initializer_list<QWidget*>{
             r().cboProvinciaResultas, r().cboLocalidadResultas, r().cboConsejeriaResultas})
        EXPECT_TRUE(w->isEnabled()) << w->objectName().toStdString();
    // El Tab tras elegir llevó el foco al siguiente habilitado (el grupo ya no lo está) y salir
    // del cuerpo habilita imprimir, guardar y cargar otra.
    EXPECT_EQ(QApplication::focusWidget(), ui().txtNRP);
    for (int i : {1000, 2000, 2500}) EXPECT_TRUE(form->mnuP(i)->isEnabled()) << i;
    EXPECT_TRUE(mensajes.mostrados().isEmpty()) << mensajes.textos().join('|').toStdString();
}

TEST_F(BusquedaPlazasTest, UnCuerpoQueEmpiezaPorXDejaElegirElGrupo) {
    // Un cuerpo así no está en el juego de ejemplo: se añade uno fuera del índice.
    ASSERT_TRUE(G().rsCuerpos->anadirRegistro({"X0001", "Cuerpo a extinguir", "A"}).ok());
    ASSERT_TRUE(G().rsCuerpos->anadirRegistro({"99999", "Cuerpo sin plazas", "B"}).ok());
    ui().cboCuerpo->reenlazar();
    elegirCuerpo("X0001");
    // El grupo queda libre (al salir del combo se propone el del catálogo).
    EXPECT_TRUE(ui().cboGrupo->isEnabled());
    EXPECT_FALSE(G().rsVacantesCuerpo);
    elegirFila(ui().cboGrupo, "C");
    EXPECT_TRUE(mensajes.mostrados().isEmpty());
    EXPECT_FALSE(G().rsVacantesCuerpo);  // el grupo no carga plazas
    // Un cuerpo que no tiene entrada en el índice.
    elegirCuerpo("99999");
    ASSERT_EQ(mensajes.mostrados().size(), 1);
    EXPECT_EQ(mensajes.mostrados()[0].titulo, "Cuerpo no válido");
    EXPECT_EQ(mensajes.mostrados()[0].texto,
              "Error en la carga de datos. Debe cerrar el programa y volver a arrancarlo. Guarde "
              "la información si desea conservar los cambios.");
    EXPECT_EQ(mensajes.mostrados()[0].icono, Icono::Exclamacion);
}

TEST_F(BusquedaPlazasTest, UnaSolicitudYaGuardadaSePregunta) {
    const PlazasCuerpo& e = cuerpoMayor();
    const QString grupo =
        G().rsCuerpos->valorEnFila(filaDeValor(ui().cboCuerpo, e.CodCuerpo), 2).toString();
    const QString fichero =
        G().RutaTemporal + NombreFicheroSolicitud(G().DNIUsuario, e.CodCuerpo, grupo);
    ASSERT_NO_FATAL_FAILURE(escribirBytes(fichero, "doc"));
    mensajes.responder(Respuesta::No);
    ui().cboCuerpo->setFocus();
    procesar();
    const int fila = filaDeValor(ui().cboCuerpo, e.CodCuerpo);
    ui().cboCuerpo->setCurrentIndex(fila);
    emit ui().cboCuerpo->activated(fila);
    procesar();
    QFile::remove(fichero);
    ASSERT_EQ(mensajes.mostrados().size(), 1);
    const MensajeMostrado& m = mensajes.mostrados()[0];
    EXPECT_EQ(m.titulo, "Solicitud Existente");
    EXPECT_EQ(m.icono, Icono::Critico);
    EXPECT_EQ(m.botones, Botones::SiNo);
    // Sí cierra el programa: un Intro por reflejo responde No y no pierde lo escrito.
    EXPECT_EQ(m.porDefecto, Respuesta::No);
    EXPECT_EQ(m.texto,
              "Ya existe una solicitud con estos datos, si continúa puede sobreescribir los datos "
              "anteriormente guardados. ¿Qué desea hacer? Sí para cerrar la aplicación. No para "
              "teclear otro cuerpo y grupo");
    // "No": cuerpo y grupo vacíos, sin plazas cargadas y el foco donde estaba.
    EXPECT_EQ(ui().cboCuerpo->valor(), "");
    EXPECT_EQ(ui().cboGrupo->valor(), "");
    EXPECT_FALSE(G().rsVacantesCuerpo);
    EXPECT_FALSE(form->cerrandoPorExistente());
    QWidget* foco = QApplication::focusWidget();
    EXPECT_TRUE(foco == ui().cboCuerpo || ui().cboCuerpo->isAncestorOf(foco));
}

TEST_F(BusquedaPlazasTest, SiALaSolicitudExistenteCierraSinPreguntarMas) {
    const PlazasCuerpo& e = cuerpoMayor();
    const QString grupo =
        G().rsCuerpos->valorEnFila(filaDeValor(ui().cboCuerpo, e.CodCuerpo), 2).toString();
    const QString fichero =
        G().RutaTemporal + NombreFicheroSolicitud(G().DNIUsuario, e.CodCuerpo, grupo);
    ASSERT_NO_FATAL_FAILURE(escribirBytes(fichero, "doc"));
    auto* f = form.release();
    QPointer<frmSolicitudes> vivo(f);
    f->setAttribute(Qt::WA_DeleteOnClose, true);
    mensajes.responder(Respuesta::Si);
    ui_de(f).cboCuerpo->setFocus();
    const int fila = filaDeValor(ui_de(f).cboCuerpo, e.CodCuerpo);
    ui_de(f).cboCuerpo->setCurrentIndex(fila);
    emit ui_de(f).cboCuerpo->activated(fila);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QFile::remove(fichero);
    EXPECT_TRUE(vivo.isNull());
    ASSERT_EQ(mensajes.mostrados().size(), 1);  // solo la de la solicitud existente
    EXPECT_EQ(mensajes.mostrados()[0].titulo, "Solicitud Existente");
    EXPECT_FALSE(G().rsCursos);  // tablas sueltas
}

TEST_F(BusquedaPlazasTest, VacantesPorProvinciaLocalidadYZona) {
    const PlazasCuerpo& e = cuerpoMayor();
    elegirCuerpo(e.CodCuerpo);
    form->tabPrincipal()->setCurrentIndex(2);
    const QString provincia = primeraProvinciaConPlazas(e.Vacantes);
    elegirFila(v().cboProvinciaVacantes, provincia);
    // La provincia queda fija, se abre el resto y el Tab lleva a la localidad, ya habilitada.
    EXPECT_FALSE(v().cboProvinciaVacantes->isEnabled());
    EXPECT_EQ(QApplication::focusWidget(), v().cboLocalidadVacantes);
    for (QWidget* w :
         std::initializer_list<QWidget*>{v().cboLocalidadVacantes, v().cboConsejeriaVacantes,
                                         v().cboAreasVacantes, v().cboZonasVacantes})
        EXPECT_TRUE(w->isEnabled()) << w->objectName().toStdString();
    // Las listas, a la provincia; el filtro de plazas, sus áreas.
    EXPECT_EQ(valores(G().rsAreas, "CodProvincia"), QSet<QString>{provincia});
    EXPECT_EQ(valores(G().rsLocalidadesVacantes, "CodProvincia"), QSet<QString>{provincia});
    EXPECT_EQ(valores(G().rsConsejeriasVacantes, "CodProvincia"), QSet<QString>{provincia});
    const QString filtro = G().rsVacantesCuerpo->filtro();
    EXPECT_TRUE(filtro.startsWith(" (  CodArea='")) << filtro.toStdString();
    EXPECT_EQ(filtro, FiltroPlazas("V", form->pestanaVacantes()->panelBusqueda()));
    EXPECT_GT(G().rsVacantesCuerpo->numeroRegistros(), 0);
    EXPECT_EQ(valores(G().rsVacantesCuerpo, "CodProvincia"), QSet<QString>{provincia});
    EXPECT_EQ(
        v().lblPlazas->text(),
        QStringLiteral("Códigos Localizados: %1").arg(G().rsVacantesCuerpo->numeroRegistros()));
    EXPECT_EQ(v().cboPuestoVacante->count(), G().rsVacantesCuerpo->numeroRegistros());

    // Una localidad apaga y vacía la zona; las plazas son las de esa localidad de esa provincia
    // (el código de la plaza empieza por los dos).
    // Las zonas que se ofrecen son las de las áreas de la provincia.
    EXPECT_TRUE(
        valores(G().rsZonas, "CodArea").subtract(valores(G().rsAreas, "CodArea")).isEmpty());
    ASSERT_GT(G().rsZonas->numeroRegistros(), 0);
    const QString localidad = G().rsLocalidadesVacantes->valorEnFila(0, 0).toString();
    elegirFila(v().cboLocalidadVacantes, localidad);
    EXPECT_FALSE(v().cboZonasVacantes->isEnabled());
    EXPECT_EQ(v().cboZonasVacantes->valor(), "");
    EXPECT_EQ(G().rsVacantesCuerpo->filtro(),
              QStringLiteral(" CodLocalidad like '") + provincia + localidad + "%' ");
    for (const QString& l : valores(G().rsVacantesCuerpo, "CodLocalidad"))
        EXPECT_TRUE(l.startsWith(provincia + localidad)) << l.toStdString();
    // Borrar el texto de la localidad vuelve a abrir la zona.
    v().cboLocalidadVacantes->setFocus();
    procesar();
    v().cboLocalidadVacantes->setTexto(QString());
    EXPECT_TRUE(v().cboZonasVacantes->isEnabled());
    // Una zona elegida apaga y vacía la localidad.
    const QString zona = G().rsZonas->valorEnFila(0, 0).toString();
    elegirFila(v().cboZonasVacantes, zona);
    EXPECT_FALSE(v().cboLocalidadVacantes->isEnabled());
    EXPECT_EQ(v().cboLocalidadVacantes->valor(), "");
    EXPECT_EQ(G().rsVacantesCuerpo->filtro(), QStringLiteral(" CodZona='") + zona + "' ");

    // "Cancelar" deja la búsqueda como al principio, con todas las plazas del cuerpo.
    v().cmdCancelarVacante->click();
    procesar();
    EXPECT_TRUE(v().cboProvinciaVacantes->isEnabled());
    EXPECT_EQ(v().cboProvinciaVacantes->valor(), "");
    EXPECT_FALSE(v().cboLocalidadVacantes->isEnabled());
    EXPECT_EQ(G().rsVacantesCuerpo->filtro(), "0");
    EXPECT_EQ(G().rsAreas->filtro(), "0");
    EXPECT_EQ(v().lblPlazas->text(),
              QStringLiteral("Códigos Localizados: %1").arg(e.Vacantes->numeroRegistros()));
}

TEST_F(BusquedaPlazasTest, VacantesPorAreaEInstitucion) {
    const PlazasCuerpo& e = cuerpoMayor();
    elegirCuerpo(e.CodCuerpo);
    form->tabPrincipal()->setCurrentIndex(2);
    elegirFila(v().cboProvinciaVacantes, primeraProvinciaConPlazas(e.Vacantes));
    const QString area = G().rsAreas->valorEnFila(0, 0).toString();
    elegirFila(v().cboAreasVacantes, area);
    EXPECT_EQ(G().rsVacantesCuerpo->filtro(), QStringLiteral(" CodArea='") + area + "000000'");
    EXPECT_EQ(valores(G().rsZonas, "CodArea"), QSet<QString>{area});
    EXPECT_EQ(valores(G().rsConsejeriasVacantes, "CodArea"), QSet<QString>{area});
    // La institución restringe las localidades a las que atiende.
    const QString institucion = G().rsConsejeriasVacantes->valorEnFila(0, 0).toString();
    elegirFila(v().cboConsejeriaVacantes, institucion);
    EXPECT_EQ(G().rsVacantesCuerpo->filtro(), QStringLiteral(" CodConsejeria='") + institucion +
                                                  "'  AND CodArea='" + area + "000000'");
    EXPECT_TRUE(G().rsLocalidadesVacantes->filtro().startsWith(" (  CodLocalidad='"))
        << G().rsLocalidadesVacantes->filtro().toStdString();
    // Las zonas, las del área de la institución; ni esa lista ni el combo de preferencia de la
    // primera pestaña, que usa la misma tabla, se quedan vacíos.
    EXPECT_GT(G().rsZonas->numeroRegistros(), 0);
    EXPECT_EQ(valores(G().rsZonas, "CodArea"), QSet<QString>{area});
    EXPECT_GT(v().cboZonasVacantes->count(), 0);
    EXPECT_GT(ui().cboPrefProvincia->count(), 0);
}

TEST_F(BusquedaPlazasTest, CodigoEscritoElige) {
    const PlazasCuerpo& e = cuerpoMayor();
    elegirCuerpo(e.CodCuerpo);
    form->tabPrincipal()->setCurrentIndex(2);
    const QString codigo = e.Vacantes->valorEnFila(1, 0).toString();
    v().txtCodVacante->setFocus();
    procesar();
    escribir(codigo);
    pulsar(Qt::Key_Tab);
    procesar();
    EXPECT_EQ(v().cboPuestoVacante->valor(), codigo);
    EXPECT_EQ(QApplication::focusWidget(), v().cmdAceptarVacante);
    EXPECT_EQ(G().rsVacantesCuerpo->numeroRegistros(), 1);
    // Un código que no existe no elige nada y deja el foco donde lo pone el usuario.
    form->pestanaVacantes()->reiniciarBusqueda();
    v().txtCodVacante->setFocus();
    procesar();
    escribir("99999");
    pulsar(Qt::Key_Tab);
    procesar();
    EXPECT_NE(QApplication::focusWidget(), v().cmdAceptarVacante);
    EXPECT_EQ(G().rsVacantesCuerpo->numeroRegistros(), 0);
    // En Resultas una comilla no rompe el filtro ni lo ensancha.
    form->tabPrincipal()->setCurrentIndex(3);
    r().txtCodResulta->setFocus();
    procesar();
    r().txtCodResulta->setText("1' OR '1'='1");
    pulsar(Qt::Key_Tab);
    procesar();
    EXPECT_EQ(G().rsResultasCuerpo->numeroRegistros(), 0);
    EXPECT_TRUE(mensajes.mostrados().isEmpty());
}

TEST_F(BusquedaPlazasTest, ResultasPorProvinciaLocalidadYArea) {
    const PlazasCuerpo& e = cuerpoMayor();
    elegirCuerpo(e.CodCuerpo);
    form->tabPrincipal()->setCurrentIndex(3);
    const QString provincia = primeraProvinciaConPlazas(e.Resultas);
    elegirFila(r().cboProvinciaResultas, provincia);
    // La provincia de Resultas no se bloquea y filtra las listas de su pestaña, no las de
    // Vacantes (sus áreas y zonas son segundos cursores).
    EXPECT_TRUE(r().cboProvinciaResultas->isEnabled());
    EXPECT_EQ(G().rsResultasCuerpo->filtro(), QStringLiteral(" CodProvincia='") + provincia + "' ");
    const PestanaResultas& pr = *form->pestanaResultas();
    EXPECT_EQ(valores(pr.rsAreasResultas(), "CodProvincia"), QSet<QString>{provincia});
    EXPECT_EQ(valores(G().rsLocalidadesResultas, "CodProvincia"), QSet<QString>{provincia});
    EXPECT_EQ(G().rsAreas->filtro(), "0");
    EXPECT_EQ(valores(G().rsResultasCuerpo, "CodProvincia"), QSet<QString>{provincia});
    // Un área: sus zonas e instituciones, y la cláusula del área sin ceros.
    const QString area = pr.rsAreasResultas()->valorEnFila(0, 0).toString();
    elegirFila(r().cboAreasResultas, area);
    EXPECT_EQ(G().rsResultasCuerpo->filtro(),
              QStringLiteral(" CodProvincia='") + provincia + "'  AND CodArea='" + area + "'");
    EXPECT_EQ(valores(pr.rsZonasResultas(), "CodArea"), QSet<QString>{area});
    EXPECT_EQ(valores(G().rsConsejeriasResultas, "CodArea"), QSet<QString>{area});
    // Una localidad apaga la zona.
    elegirFila(r().cboLocalidadResultas, G().rsLocalidadesResultas->valorEnFila(0, 0).toString());
    EXPECT_FALSE(r().cboZonasResultas->isEnabled());
    // Una localidad escrita que no es de la lista se borra al salir del combo.
    r().cboLocalidadResultas->setFocus();
    procesar();
    r().cboLocalidadResultas->setTexto("Villa que no existe");
    pulsar(Qt::Key_Tab);
    procesar();
    EXPECT_EQ(r().cboLocalidadResultas->valor(), "");
    EXPECT_TRUE(r().cboZonasResultas->isEnabled());
    // "Cancelar" de Resultas no toca Vacantes.
    G().rsAreas->filtrar("CodProvincia='" + provincia + "'");
    r().cmdCancelarResultas->click();
    procesar();
    EXPECT_EQ(G().rsResultasCuerpo->filtro(), "0");
    EXPECT_EQ(r().cboProvinciaResultas->valor(), "");
    EXPECT_NE(G().rsAreas->filtro(), "0");
}

TEST_F(BusquedaPlazasTest, ResultasInstitucionZonaYProvinciaEscrita) {
    const PlazasCuerpo& e = cuerpoMayor();
    elegirCuerpo(e.CodCuerpo);
    form->tabPrincipal()->setCurrentIndex(3);
    const QString institucion = primero(e.Resultas, "CodConsejeria");
    elegirFila(r().cboConsejeriaResultas, institucion);
    EXPECT_EQ(G().rsResultasCuerpo->filtro(),
              QStringLiteral(" CodConsejeria='") + institucion + "' ");
    EXPECT_EQ(valores(G().rsResultasCuerpo, "CodConsejeria"), QSet<QString>{institucion});
    // Una institución escrita que no es de la lista se borra al salir.
    r().cboConsejeriaResultas->setFocus();
    procesar();
    r().cboConsejeriaResultas->setTexto("Hospital inventado");
    pulsar(Qt::Key_Tab);
    procesar();
    EXPECT_EQ(r().cboConsejeriaResultas->valor(), "");
    EXPECT_EQ(G().rsResultasCuerpo->filtro(), "0");
    // Una zona: su cláusula; vaciar su texto la quita al salir.
    const QString zona = primero(e.Resultas, "CodZona");
    elegirFila(r().cboZonasResultas, zona);
    EXPECT_EQ(G().rsResultasCuerpo->filtro(), QStringLiteral(" CodZona='") + zona + "' ");
    r().cboZonasResultas->setFocus();
    procesar();
    r().cboZonasResultas->setTexto(QString());
    pulsar(Qt::Key_Tab);
    procesar();
    EXPECT_EQ(G().rsResultasCuerpo->filtro(), "0");
    // Una provincia escrita que no es de la lista: se borra con las listas de su pestaña.
    elegirFila(r().cboAreasResultas,
               form->pestanaResultas()->rsAreasResultas()->valorEnFila(0, 0).toString());
    r().cboProvinciaResultas->setFocus();
    procesar();
    r().cboProvinciaResultas->setTexto("Provincia inventada");
    pulsar(Qt::Key_Tab);
    procesar();
    EXPECT_EQ(r().cboProvinciaResultas->valor(), "");
    EXPECT_EQ(r().cboAreasResultas->valor(), "");
    EXPECT_EQ(form->pestanaResultas()->rsZonasResultas()->filtro(), "0");
    EXPECT_EQ(G().rsConsejeriasResultas->filtro(), "0");
}

TEST_F(BusquedaPlazasTest, VolverDeUnMensajeNoEsActivarElFormulario) {
    // Sin cuerpo la búsqueda de Resultas está apagada; se enciende a mano como señal.
    r().cboProvinciaResultas->setEnabled(true);
    QMessageBox aviso(QMessageBox::Warning, "Movilant", "Aviso");
    ASSERT_TRUE(mostrarActiva(&aviso));
    aviso.hide();
    ASSERT_TRUE(mostrarActiva(form.get()));
    procesar();
    EXPECT_TRUE(r().cboProvinciaResultas->isEnabled());
    // Volver de otra ventana del programa sí lo es: la búsqueda se ajusta al cuerpo (ninguno).
    QDialog otra;
    ASSERT_TRUE(mostrarActiva(&otra));
    otra.hide();
    ASSERT_TRUE(mostrarActiva(form.get()));
    procesar();
    EXPECT_FALSE(r().cboProvinciaResultas->isEnabled());
}

}  // namespace
