#include "form/ventanas/PestanaCursos.h"

#include "form/CursosDocumentos.h"
#include "form/OrdenPlazas.h"
#include "form/ventanas/FiltroTeclas.h"
#include "form/ventanas/PreguntaBorrar.h"
#include "global/Globales.h"
#include "platform/ServicioMensajes.h"
#include "platform/ventanas/Accesibilidad.h"
#include "platform/ventanas/PerdidaFoco.h"
#include "platform/ventanas/RejillaDatos.h"
#include "ui_PestanaCursos.h"

#include <QDate>
#include <QPointer>
#include <QTimer>

PestanaCursos::PestanaCursos(QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::PestanaCursos>()) {
    ui->setupUi(this);
    // Intro en una caja del curso lo acepta, como el botón por defecto de un diálogo.
    ponerBotonPorDefecto(ui->fraCurso, ui->cmdAceptar);
    ui->txtIdCurso->setVisible(false);
    FiltroTeclas::instalarNumerico(ui->txtHoras);
    FiltroTeclas::instalarNumerico(ui->txtAno);
    for (QLineEdit* caja : {ui->txtHoras, ui->txtAno}) {
        QPointer<QLineEdit> vigilada(caja);
        alPerderFoco(caja, this, [this, vigilada] {
            // Diferido: el foco ya está en el control siguiente cuando sale el mensaje.
            QTimer::singleShot(0, this, [this, vigilada] {
                if (vigilada) comprobarAlSalir(vigilada);
            });
        });
    }
    connect(ui->cmdAdd, &QPushButton::clicked, this, &PestanaCursos::cmdAdd_Click);
    connect(ui->cmdUpdate, &QPushButton::clicked, this, &PestanaCursos::cmdUpdate_Click);
    connect(ui->cmdAceptar, &QPushButton::clicked, this, &PestanaCursos::cmdAceptar_Click);
    connect(ui->cmdDel, &QPushButton::clicked, this, &PestanaCursos::cmdDel_Click);
    connect(ui->cmdCancelar, &QPushButton::clicked, this, &PestanaCursos::cmdCancelar_Click);
}

PestanaCursos::~PestanaCursos() = default;

void PestanaCursos::enlazar() {
    // De cada par de rótulos posibles, el que lee el solicitante; el identificador va oculto.
    ui->grdCursos->enlazar(G().rsCursos, {"Curso", "NHoras", "Ano", "Centro", "IdCurso"},
                           {QStringLiteral("Curso"), QStringLiteral("Horas"), QStringLiteral("Año"),
                            QStringLiteral("Centro"), QStringLiteral("IdCurso")});
    ui->grdCursos->ocultarColumna(QStringLiteral("IdCurso"));
    ui->grdCursos->setAnchoColumna(QStringLiteral("Curso"), 420);
    ui->grdCursos->setAnchoColumna(QStringLiteral("NHoras"), 70);
    ui->grdCursos->setAnchoColumna(QStringLiteral("Ano"), 60);
}

void PestanaCursos::LimpiarCurso() {
    for (QLineEdit* caja : {ui->txtCurso, ui->txtCentro, ui->txtHoras, ui->txtAno, ui->txtIdCurso})
        caja->clear();
    // El foco, a la primera caja si se ve: desde otra pestaña (una orden del menú) no se deja
    // en una caja oculta.
    if (ui->txtCurso->isVisible()) ui->txtCurso->setFocus(Qt::OtherFocusReason);
    m_modo = 1;
    ui->grdCursos->limpiarSeleccion();
}

void PestanaCursos::cmdAdd_Click() {
    m_modo = 1;
    ui->txtCurso->setFocus(Qt::OtherFocusReason);
}

void PestanaCursos::cmdUpdate_Click() {
    const int f = ui->grdCursos->filaSeleccionadaUnica();
    const PTabla& t = G().rsCursos;
    if (f < 0 || !t) return;
    m_modo = 2;
    const auto celda = [&](const char* campo) {
        return t->valorEnFila(f, t->indiceCampo(QLatin1String(campo))).toString();
    };
    ui->txtIdCurso->setText(celda("IdCurso"));
    ui->txtCurso->setText(celda("Curso"));
    ui->txtHoras->setText(celda("NHoras"));
    ui->txtCentro->setText(celda("Centro"));
    ui->txtAno->setText(celda("Ano"));
}

void PestanaCursos::comprobarAlSalir(QLineEdit* caja) {
    if (m_devolviendoFoco || !caja->isVisibleTo(this) || caja->text().isEmpty()) return;
    if (caja == ui->txtHoras)
        horasValidas();
    else
        anoValido();
}

bool PestanaCursos::horasValidas() {
    if (ui->txtHoras->text().isEmpty()) return true;
    const ComprobacionHoras r = ComprobarHoras(ui->txtHoras->text());
    if (r.horas) return true;
    mostrarMensaje(r.mensaje, QStringLiteral("Datos Erróneos"), Icono::Exclamacion,
                   Botones::Aceptar);
    ui->txtHoras->clear();
    devolverFoco(ui->txtHoras);
    return false;
}

bool PestanaCursos::anoValido() {
    if (ui->txtAno->text().isEmpty() || ComprobarAno(ui->txtAno->text(), QDate::currentDate()))
        return true;
    mostrarMensaje(QStringLiteral("El año introducido es erróneo"),
                   QStringLiteral("Datos erróneos"), Icono::Exclamacion, Botones::Aceptar);
    ui->txtAno->clear();
    devolverFoco(ui->txtAno);
    return false;
}

void PestanaCursos::devolverFoco(QLineEdit* caja) {
    m_devolviendoFoco = true;
    caja->setFocus(Qt::OtherFocusReason);
    m_devolviendoFoco = false;
}

void PestanaCursos::cmdAceptar_Click() {
    const QString falta = FaltaEnCurso(ui->txtCurso->text(), ui->txtHoras->text(),
                                       ui->txtAno->text(), ui->txtCentro->text());
    if (!falta.isEmpty()) {
        mostrarMensaje(falta);
        return;
    }
    // Las horas y el año se comprueban al salir de su caja; aquí otra vez, por si se pulsó
    // "Aceptar" antes: un número que no vale nunca llega a la tabla.
    if (!horasValidas() || !anoValido()) return;
    const PTabla& t = G().rsCursos;
    if (!t) return;
    const qint64 horas = *ComprobarHoras(ui->txtHoras->text()).horas;
    const qint64 ano = *ComprobarAno(ui->txtAno->text(), QDate::currentDate());
    std::vector<QVariant> valores(size_t(t->campos().size()));
    const auto poner = [&](const char* campo, const QVariant& v) {
        valores[size_t(t->indiceCampo(QLatin1String(campo)))] = v;
    };
    poner("Curso", ui->txtCurso->text());
    poner("NHoras", horas);
    poner("Ano", ano);
    poner("Centro", ui->txtCentro->text());
    Resultado r = Resultado::correcto();
    if (m_modo == 2) {
        // La fila por su identificador, aunque la selección se haya movido.
        if (const PTabla fila =
                cursorEnId(t, QStringLiteral("IdCurso"), ui->txtIdCurso->text().toLongLong()))
            for (const char* campo : {"Curso", "NHoras", "Ano", "Centro"})
                if (r)
                    r = fila->establecer(QLatin1String(campo),
                                         valores[size_t(t->indiceCampo(QLatin1String(campo)))]);
    } else {
        poner("IdCurso", SiguienteId(t, QStringLiteral("IdCurso")));
        r = t->anadirRegistro(std::move(valores));
    }
    if (!r) mostrarMensaje(r.mensaje(), kTituloPrograma, Icono::Exclamacion);
    t->actualizar();
    t->moverUltimo();
    LimpiarCurso();
}

void PestanaCursos::cmdDel_Click() {
    const int fila = ui->grdCursos->filaSeleccionadaUnica();
    const PTabla& t = G().rsCursos;
    if (fila >= 0 && t && confirmarBorrarFila()) {
        t->irAFila(fila);
        t->borrar();
        t->actualizar();
    }
    LimpiarCurso();
}

void PestanaCursos::cmdCancelar_Click() {
    LimpiarCurso();
    m_modo = 1;
}
