#include "platform/ventanas/MensajesQt.h"

#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <memory>
#include <optional>

namespace {

// Lo que se vio en el cuadro antes de contestarlo.
struct Visto {
    QString titulo, texto;
    QMessageBox::Icon icono = QMessageBox::NoIcon;
    QStringList botones;
};

// Muestra un mensaje y lo contesta desde dentro de su bucle: con el botón de ese texto, con
// Escape si el texto está vacío o con Intro si es "\n".
Respuesta contestar(Botones botones, Icono icono, const QString& boton, Visto& visto,
                    std::optional<Respuesta> porDefecto = {}) {
    QTimer::singleShot(0, qApp, [&visto, boton] {
        auto* caja = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!caja) {
            ADD_FAILURE() << "no hay cuadro de mensaje";
            return;
        }
        visto.titulo = caja->windowTitle();
        visto.texto = caja->text();
        visto.icono = caja->icon();
        QAbstractButton* elegido = nullptr;
        for (QAbstractButton* b : caja->buttons()) {
            visto.botones << b->text();
            if (b->text() == boton) elegido = b;
        }
        std::sort(visto.botones.begin(), visto.botones.end());
        if (elegido) {
            elegido->click();
        } else if (boton == QLatin1String("\n")) {
            QTest::keyClick(caja, Qt::Key_Return);
        } else {
            QTest::keyClick(caja, Qt::Key_Escape);
        }
    });
    MensajesQt servicio;
    return servicio.mostrar(QStringLiteral("¿Seguro?"), QStringLiteral("Título"), icono, botones,
                            respuestaPorDefecto(botones, porDefecto));
}

TEST(MensajesQtTest, BotonesEnCastellanoYRespuestas) {
    struct Caso {
        Botones botones;
        QString pulsar;  // vacío: Escape; "\n": Intro
        QStringList rotulos;
        Respuesta respuesta;
        std::optional<Respuesta> porDefecto = {};
    };
    const QStringList aceptar{"Aceptar"};
    const QStringList siNo{"No", "Sí"};
    const QStringList siNoCancelar{"Cancelar", "No", "Sí"};
    const Caso casos[] = {
        {Botones::Aceptar, "Aceptar", aceptar, Respuesta::Aceptar},
        {Botones::Aceptar, "", aceptar, Respuesta::Aceptar},
        {Botones::SiNo, "Sí", siNo, Respuesta::Si},
        {Botones::SiNo, "No", siNo, Respuesta::No},
        {Botones::SiNo, "", siNo, Respuesta::No},
        {Botones::SiNoCancelar, "Sí", siNoCancelar, Respuesta::Si},
        {Botones::SiNoCancelar, "No", siNoCancelar, Respuesta::No},
        {Botones::SiNoCancelar, "Cancelar", siNoCancelar, Respuesta::Cancelar},
        {Botones::SiNoCancelar, "", siNoCancelar, Respuesta::Cancelar},
        // Intro responde con el botón por defecto: Sí salvo que se pida otro.
        {Botones::Aceptar, "\n", aceptar, Respuesta::Aceptar},
        {Botones::SiNo, "\n", siNo, Respuesta::Si},
        {Botones::SiNo, "\n", siNo, Respuesta::No, Respuesta::No},
        {Botones::SiNoCancelar, "\n", siNoCancelar, Respuesta::Cancelar, Respuesta::Cancelar},
        {Botones::SiNoCancelar, "\n", siNoCancelar, Respuesta::No, Respuesta::No},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.rotulos.join('/').toStdString() + " <- " + c.pulsar.toStdString());
        Visto visto;
        EXPECT_EQ(contestar(c.botones, Icono::Pregunta, c.pulsar, visto, c.porDefecto),
                  c.respuesta);
        EXPECT_EQ(visto.botones, c.rotulos);
        EXPECT_EQ(visto.titulo, QStringLiteral("Título"));
        EXPECT_EQ(visto.texto, QStringLiteral("¿Seguro?"));
    }
}

TEST(MensajesQtTest, Iconos) {
    const std::pair<Icono, QMessageBox::Icon> casos[] = {
        {Icono::Ninguno, QMessageBox::NoIcon},          {Icono::Critico, QMessageBox::Critical},
        {Icono::Pregunta, QMessageBox::Question},       {Icono::Exclamacion, QMessageBox::Warning},
        {Icono::Informacion, QMessageBox::Information},
    };
    for (const auto& [nuestro, deQt] : casos) {
        Visto visto;
        contestar(Botones::Aceptar, nuestro, QStringLiteral("Aceptar"), visto);
        EXPECT_EQ(visto.icono, deQt);
    }
}

// Los textos propios de Qt (el menú de una caja de texto, los botones de los diálogos estándar)
// salen en castellano: la aplicación carga sus traducciones al arrancar.
TEST(MensajesQtTest, LosTextosDeQtEnCastellano) {
    QLineEdit caja;
    std::unique_ptr<QMenu> menu(caja.createStandardContextMenu());
    QStringList rotulos;
    for (QAction* a : menu->actions())
        if (!a->isSeparator()) rotulos << a->text().section('\t', 0, 0);
    EXPECT_TRUE(rotulos.contains(QStringLiteral("&Pegar"))) << rotulos.join('|').toStdString();
    QDialogButtonBox botones(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    EXPECT_EQ(botones.button(QDialogButtonBox::Cancel)->text().remove('&'),
              QStringLiteral("Cancelar"));
}

}  // namespace
