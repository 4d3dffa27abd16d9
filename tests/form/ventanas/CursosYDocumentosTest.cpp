#include "../../users/ventanas/Teclado.h"
#include "FormularioPrueba.h"
#include "form/ventanas/PestanaCursos.h"
#include "form/ventanas/PestanaDocumentos.h"
#include "form/ventanas/PestanaSolicitante.h"
#include "global/Globales.h"
#include "platform/ventanas/RejillaDatos.h"
#include "ui_PestanaCursos.h"
#include "ui_PestanaDocumentos.h"
#include "ui_PestanaSolicitante.h"

#include <QAction>
#include <QDate>
#include <QItemSelectionModel>
#include <QLabel>
#include <QTabWidget>
#include <tuple>

namespace {

class CursosYDocumentosTest : public FormularioPrueba {
protected:
    void SetUp() override {
        FormularioPrueba::SetUp();
        // Sin DNI, cuerpo y grupo no se pasa de la primera pestaña.
        elegirFila(ui().cboCuerpo, G().IndicePlazasCuerpo.first().CodCuerpo);
    }
    Ui::PestanaCursos& c() { return form->pestanaCursos()->controles(); }
    Ui::PestanaDocumentos& d() { return form->pestanaDocumentos()->controles(); }

    void anadirCurso(const QString& nombre, const QString& horas = "10",
                     const QString& ano = "2000", const QString& centro = "Escuela") {
        c().cmdAdd->click();
        c().txtCurso->setText(nombre);
        c().txtHoras->setText(horas);
        c().txtAno->setText(ano);
        c().txtCentro->setText(centro);
        c().cmdAceptar->click();
        procesar();
    }
    void anadirDocumento(const QString& nombre) {
        d().cmdAddDoc->click();
        d().txtDoc->setText(nombre);
        d().cmdAceptarDoc->click();
        procesar();
    }
    static void seleccionar(RejillaDatos* rejilla, const QList<int>& filas) {
        rejilla->limpiarSeleccion();
        for (int f : filas)
            rejilla->selectionModel()->select(
                rejilla->model()->index(f, 0),
                QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    // "Id:Nombre" de cada fila, en el orden de la tabla.
    static QStringList filas(const PTabla& t, const char* id, const char* nombre) {
        QStringList r;
        for (int f = 0; f < t->numeroRegistros(); ++f)
            r << t->valorEnFila(f, t->indiceCampo(id)).toString() + ":" +
                     t->valorEnFila(f, t->indiceCampo(nombre)).toString();
        return r;
    }
    // Fila de la tabla con ese identificador.
    static int filaDeId(const PTabla& t, const char* campo, qint64 id) {
        for (int f = 0; f < t->numeroRegistros(); ++f)
            if (t->valorEnFila(f, t->indiceCampo(campo)).toLongLong() == id) return f;
        return -1;
    }
    void borrarCurso(qint64 id) {
        seleccionar(c().grdCursos, {filaDeId(G().rsCursos, "IdCurso", id)});
        mensajes.responder(Respuesta::Si);
        c().cmdDel->click();
    }
};

TEST_F(CursosYDocumentosTest, IdentificadoresDeCursos) {
    // Con DNI, cuerpo y grupo, pasar a otra pestaña habilita imprimir, guardar y cargar otra.
    for (int orden : {1000, 2000, 2500}) form->mnuP(orden)->setEnabled(false);
    form->tabPrincipal()->setCurrentIndex(1);
    for (int orden : {1000, 2000, 2500}) EXPECT_TRUE(form->mnuP(orden)->isEnabled()) << orden;
    for (const char* n : {"A", "B", "C"}) anadirCurso(n);
    EXPECT_EQ(filas(G().rsCursos, "IdCurso", "Curso"), (QStringList{"0:A", "1:B", "2:C"}));
    // Borrar el más alto deja reusar su número; borrar otro, no.
    borrarCurso(2);
    anadirCurso("D");
    borrarCurso(0);
    anadirCurso("E");
    EXPECT_EQ(filas(G().rsCursos, "IdCurso", "Curso"), (QStringList{"1:B", "2:D", "3:E"}));
    // Lo que se guarda, con sus números.
    const PTabla t = G().rsCursos->clonar();
    EXPECT_EQ(t->valorEnFila(0, t->indiceCampo("NHoras")).toLongLong(), 10);
    EXPECT_EQ(t->valorEnFila(0, t->indiceCampo("Ano")).toLongLong(), 2000);
    ASSERT_EQ(mensajes.mostrados().size(), 2);  // las dos preguntas de borrar
    EXPECT_EQ(mensajes.mostrados()[0].texto, "¿Desea borrar la fila seleccionada?");
}

TEST_F(CursosYDocumentosTest, IdentificadoresDeDocumentos) {
    form->tabPrincipal()->setCurrentIndex(4);
    anadirDocumento("Título");
    anadirDocumento("Certificado");
    EXPECT_EQ(filas(G().rsDocumentos, "IdDocumento", "Documento"),
              (QStringList{"1:Título", "2:Certificado"}));
    seleccionar(d().grdDocumentos, {1});
    mensajes.responder(Respuesta::Si);
    d().cmdDelDoc->click();
    anadirDocumento("Otro");
    EXPECT_EQ(filas(G().rsDocumentos, "IdDocumento", "Documento"),
              (QStringList{"1:Título", "2:Otro"}));
    // Sin nombre: el aviso y el foco en el nombre.
    mensajes.limpiar();
    d().txtDoc->clear();
    d().cmdAceptarDoc->click();
    ASSERT_EQ(mensajes.mostrados().size(), 1);
    EXPECT_EQ(mensajes.mostrados()[0].texto, "Es obligatorio rellenar el nombre del documento");
    EXPECT_EQ(mensajes.mostrados()[0].titulo, kTituloPrograma);
    EXPECT_EQ(mensajes.mostrados()[0].icono, Icono::Ninguno);
    EXPECT_EQ(QApplication::focusWidget(), d().txtDoc);
    EXPECT_EQ(G().rsDocumentos->numeroRegistros(), 2);
}

TEST_F(CursosYDocumentosTest, LosCuatroAvisosDelCursoEnSuOrden) {
    form->tabPrincipal()->setCurrentIndex(1);
    const QStringList esperados = {"Es obligatorio rellenar el nombre del curso ",
                                   "Es obligatorio rellenar el nº de horas del curso ",
                                   "Es obligatorio rellenar el año de realización del curso ",
                                   "Es obligatorio rellenar el centro que impartió el curso "};
    QLineEdit* const cajas[] = {c().txtCurso, c().txtHoras, c().txtAno, c().txtCentro};
    const char* const textos[] = {"Curso", "20", "2001", "Centro"};
    for (int i = 0; i < 4; ++i) {
        mensajes.limpiar();
        c().cmdAceptar->click();
        procesar();
        ASSERT_EQ(mensajes.mostrados().size(), 1) << i;
        EXPECT_EQ(mensajes.mostrados()[0].texto, esperados[i]);
        EXPECT_EQ(mensajes.mostrados()[0].titulo, kTituloPrograma);
        EXPECT_EQ(mensajes.mostrados()[0].icono, Icono::Ninguno);
        EXPECT_EQ(G().rsCursos->numeroRegistros(), 0);
        cajas[i]->setText(textos[i]);
    }
    mensajes.limpiar();
    c().cmdAceptar->click();
    EXPECT_TRUE(mensajes.mostrados().isEmpty());
    EXPECT_EQ(G().rsCursos->numeroRegistros(), 1);
}

TEST_F(CursosYDocumentosTest, HorasYAnoAlSalirDeLaCaja) {
    form->tabPrincipal()->setCurrentIndex(1);
    const QString anoHoy = QString::number(QDate::currentDate().year());
    const QString anoQueViene = QString::number(QDate::currentDate().year() + 1);
    struct Caso {
        QLineEdit* caja;
        QString texto;
        QString mensaje;  // vacío: se admite
    } casos[] = {
        {c().txtHoras, "0", "El número de horas debe ser mayor de 0"},
        {c().txtHoras, "0,5", "El número de horas debe ser mayor de 0"},
        {c().txtHoras, "1,5", "El número de horas debe ser un número entero"},
        {c().txtHoras, "1", ""},
        {c().txtAno, "1949", "El año introducido es erróneo"},
        {c().txtAno, "1950", ""},
        {c().txtAno, anoHoy, ""},
        {c().txtAno, anoQueViene, "El año introducido es erróneo"},
    };
    for (const Caso& k : casos) {
        SCOPED_TRACE(k.texto.toStdString());
        mensajes.limpiar();
        salirCon(k.caja, k.texto);
        if (k.mensaje.isEmpty()) {
            EXPECT_TRUE(mensajes.mostrados().isEmpty());
            EXPECT_EQ(k.caja->text(), k.texto);
            continue;
        }
        ASSERT_EQ(mensajes.mostrados().size(), 1);
        EXPECT_EQ(mensajes.mostrados()[0].texto, k.mensaje);
        EXPECT_EQ(mensajes.mostrados()[0].titulo,
                  k.caja == c().txtHoras ? "Datos Erróneos" : "Datos erróneos");
        EXPECT_EQ(mensajes.mostrados()[0].icono, Icono::Exclamacion);
        EXPECT_EQ(k.caja->text(), "");
        EXPECT_EQ(QApplication::focusWidget(), k.caja);
    }
    // Pulsar "Aceptar" sin salir de la caja tampoco deja pasar unas horas que no valen.
    c().txtCurso->setText("Curso");
    c().txtCentro->setText("Centro");
    c().txtAno->setText("2000");
    c().txtHoras->setText("1,5");
    mensajes.limpiar();
    c().cmdAceptar->click();
    EXPECT_EQ(G().rsCursos->numeroRegistros(), 0);
    EXPECT_EQ(mensajes.textos(), QStringList{"El número de horas debe ser un número entero"});
}

TEST_F(CursosYDocumentosTest, ModificarPorSuIdAunqueLaSeleccionSeMueva) {
    form->tabPrincipal()->setCurrentIndex(1);
    anadirCurso("Primero");
    anadirCurso("Segundo");
    seleccionar(c().grdCursos, {0});
    c().cmdUpdate->click();
    EXPECT_EQ(form->pestanaCursos()->ModoCurso(), 2);
    EXPECT_EQ(c().txtCurso->text(), "Primero");
    EXPECT_EQ(c().txtHoras->text(), "10");
    EXPECT_EQ(c().txtIdCurso->text(), "0");
    c().txtCurso->setText("Primero cambiado");
    seleccionar(c().grdCursos, {1});
    c().cmdAceptar->click();
    EXPECT_EQ(filas(G().rsCursos, "IdCurso", "Curso"),
              (QStringList{"0:Primero cambiado", "1:Segundo"}));
    EXPECT_EQ(form->pestanaCursos()->ModoCurso(), 1);
    EXPECT_EQ(c().txtCurso->text(), "");
    // Dos filas: "Modificar" no hace nada; "Borrar" no pregunta y vacía el marco.
    mensajes.limpiar();
    seleccionar(c().grdCursos, {0, 1});
    c().cmdUpdate->click();
    EXPECT_EQ(form->pestanaCursos()->ModoCurso(), 1);
    EXPECT_EQ(c().txtCurso->text(), "");
    c().txtCurso->setText("a medias");
    c().cmdDel->click();
    EXPECT_TRUE(mensajes.mostrados().isEmpty());
    EXPECT_EQ(c().txtCurso->text(), "");
    EXPECT_EQ(G().rsCursos->numeroRegistros(), 2);
    // Lo mismo con los documentos.
    form->tabPrincipal()->setCurrentIndex(4);
    anadirDocumento("Uno");
    anadirDocumento("Dos");
    seleccionar(d().grdDocumentos, {1});
    d().cmdModDoc->click();
    d().txtDoc->setText("Dos bis");
    seleccionar(d().grdDocumentos, {0});
    d().cmdAceptarDoc->click();
    EXPECT_EQ(filas(G().rsDocumentos, "IdDocumento", "Documento"),
              (QStringList{"1:Uno", "2:Dos bis"}));
    // Dos documentos seleccionados: ni modificar ni borrar; una sola pregunta con un solo
    // documento, con su título, icono y botones.
    mensajes.limpiar();
    seleccionar(d().grdDocumentos, {0, 1});
    d().cmdModDoc->click();
    EXPECT_EQ(form->pestanaDocumentos()->ModoDocumento(), 1);
    d().cmdDelDoc->click();
    EXPECT_TRUE(mensajes.mostrados().isEmpty());
    seleccionar(d().grdDocumentos, {0});
    mensajes.responder(Respuesta::No);
    d().cmdDelDoc->click();
    ASSERT_EQ(mensajes.mostrados().size(), 1);
    EXPECT_EQ(mensajes.mostrados()[0].titulo, "Solicitudes");
    EXPECT_EQ(mensajes.mostrados()[0].icono, Icono::Exclamacion);
    EXPECT_EQ(mensajes.mostrados()[0].botones, Botones::SiNo);
    EXPECT_EQ(G().rsDocumentos->numeroRegistros(), 2);
}

// Los rótulos de las cajas de edición y las columnas de las rejillas, campo a campo en su orden.
TEST_F(CursosYDocumentosTest, RotulosYColumnas) {
    const std::tuple<QLabel*, QLineEdit*, QString> rotulos[] = {
        {c().lblCurso, c().txtCurso, "Curso"},
        {c().lblHoras, c().txtHoras, "Nº de Horas"},
        {c().lblAno, c().txtAno, "Año"},
        {c().lblCentro, c().txtCentro, "Centro"},
        {d().lblDoc, d().txtDoc, "Documento"},
        {d().lblNumHoras, d().txtNumHoras, "Nº Horas"},
        {d().lblFechaFin, d().txtFechaFin, "Fecha Fin."},
        {d().lblCentroFormacion, d().txtCentroFormacion, "Centro Formación"}};
    for (const auto& [rotulo, caja, texto] : rotulos) {
        EXPECT_EQ(rotulo->text(), texto);
        EXPECT_EQ(rotulo->buddy(), caja) << texto.toStdString();
    }
    form->tabPrincipal()->setCurrentIndex(1);
    anadirCurso("Suturas", "12", "2001", "Escuela");
    form->tabPrincipal()->setCurrentIndex(4);
    anadirDocumento("Título");
    // Cabecera y valor de la primera fila de cada columna.
    const auto columnas = [](RejillaDatos* rejilla) {
        QStringList r;
        const QAbstractItemModel* m = rejilla->model();
        for (int i = 0; i < m->columnCount(); ++i)
            r << m->headerData(i, Qt::Horizontal).toString() + "=" +
                     m->data(m->index(0, i)).toString();
        return r;
    };
    EXPECT_EQ(columnas(c().grdCursos), (QStringList{"Curso=Suturas", "Horas=12", "Año=2001",
                                                    "Centro=Escuela", "IdCurso=0"}));
    EXPECT_EQ(columnas(d().grdDocumentos),
              (QStringList{"Nº Documento=1", "Documento=Título", "Horas=", "Fecha=", "Centro="}));
}

// "Cancelar" deja el marco vacío y vuelve a añadir, también a medio modificar.
TEST_F(CursosYDocumentosTest, CancelarVaciaElMarco) {
    form->tabPrincipal()->setCurrentIndex(1);
    anadirCurso("Uno");
    seleccionar(c().grdCursos, {0});
    c().cmdUpdate->click();
    ASSERT_EQ(form->pestanaCursos()->ModoCurso(), 2);
    c().cmdCancelar->click();
    EXPECT_EQ(form->pestanaCursos()->ModoCurso(), 1);
    for (QLineEdit* caja : {c().txtCurso, c().txtHoras, c().txtAno, c().txtCentro, c().txtIdCurso})
        EXPECT_EQ(caja->text(), "") << caja->objectName().toStdString();
    form->tabPrincipal()->setCurrentIndex(4);
    anadirDocumento("Dos");
    seleccionar(d().grdDocumentos, {0});
    d().cmdModDoc->click();
    ASSERT_EQ(form->pestanaDocumentos()->ModoDocumento(), 2);
    d().cmdCancelarDoc->click();
    EXPECT_EQ(form->pestanaDocumentos()->ModoDocumento(), 1);
    for (QLineEdit* caja : {d().txtDoc, d().txtIdDoc})
        EXPECT_EQ(caja->text(), "") << caja->objectName().toStdString();
    EXPECT_EQ(filas(G().rsCursos, "IdCurso", "Curso"), QStringList{"0:Uno"});
    EXPECT_EQ(filas(G().rsDocumentos, "IdDocumento", "Documento"), QStringList{"1:Dos"});
}

TEST_F(CursosYDocumentosTest, TextosRarosSeGuardanTalCual) {
    form->tabPrincipal()->setCurrentIndex(1);
    QString raro = QString::fromUtf8("<Curso> & \"Cía\" 'señal' — ñÁü ");
    raro = raro.leftJustified(100, QLatin1Char('x'));
    anadirCurso(raro, "5", "1999", raro);
    const PTabla t = G().rsCursos->clonar();
    ASSERT_EQ(t->numeroRegistros(), 1);
    EXPECT_EQ(t->valorEnFila(0, t->indiceCampo("Curso")).toString(), raro);
    EXPECT_EQ(t->valorEnFila(0, t->indiceCampo("Centro")).toString(), raro);
    form->tabPrincipal()->setCurrentIndex(4);
    anadirDocumento(raro);
    EXPECT_EQ(G().rsDocumentos->valorEnFila(0, 1).toString(), raro);
    EXPECT_TRUE(mensajes.mostrados().isEmpty()) << mensajes.textos().join('|').toStdString();
}

}  // namespace
