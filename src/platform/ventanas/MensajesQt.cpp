#include "platform/ventanas/MensajesQt.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace {

QMessageBox::Icon iconoQt(Icono icono) {
    switch (icono) {
        case Icono::Critico:
            return QMessageBox::Critical;
        case Icono::Pregunta:
            return QMessageBox::Question;
        case Icono::Exclamacion:
            return QMessageBox::Warning;
        case Icono::Informacion:
            return QMessageBox::Information;
        case Icono::Ninguno:
            break;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

Respuesta MensajesQt::mostrar(const QString& texto, const QString& titulo, Icono icono,
                              Botones botones, Respuesta porDefecto) {
    // El cuadro es hijo de la ventana activa para que quede encima de ella y centrado.
    QWidget* padre = QApplication::activeModalWidget();
    if (!padre) padre = QApplication::activeWindow();
    QMessageBox caja(iconoQt(icono), titulo, texto, QMessageBox::NoButton, padre);

    QPushButton* aceptar = nullptr;
    QPushButton* si = nullptr;
    QPushButton* no = nullptr;
    QPushButton* cancelar = nullptr;
    if (botones == Botones::Aceptar) {
        aceptar = caja.addButton(QStringLiteral("Aceptar"), QMessageBox::AcceptRole);
        caja.setEscapeButton(aceptar);
    } else {
        si = caja.addButton(QStringLiteral("Sí"), QMessageBox::YesRole);
        no = caja.addButton(QStringLiteral("No"), QMessageBox::NoRole);
        // Con Sí/No, Escape o cerrar el cuadro equivalen a No (Qt lo toma como escape).
        if (botones == Botones::SiNoCancelar) {
            cancelar = caja.addButton(QStringLiteral("Cancelar"), QMessageBox::RejectRole);
            caja.setEscapeButton(cancelar);
        }
    }
    // Intro pulsa el botón por defecto: el que no pierde nada cuando Sí cierra o borra.
    QPushButton* predeterminado = aceptar ? aceptar : si;
    if (porDefecto == Respuesta::No) predeterminado = no;
    if (porDefecto == Respuesta::Cancelar && cancelar) predeterminado = cancelar;
    caja.setDefaultButton(predeterminado);
    caja.exec();

    const QAbstractButton* pulsado = caja.clickedButton();
    if (pulsado && pulsado == si) return Respuesta::Si;
    if (pulsado && pulsado == no) return Respuesta::No;
    if (pulsado && pulsado == cancelar) return Respuesta::Cancelar;
    if (botones == Botones::Aceptar) return Respuesta::Aceptar;
    // Sin botón pulsado (ventana cerrada a la fuerza): la respuesta más prudente.
    return botones == Botones::SiNoCancelar ? Respuesta::Cancelar : Respuesta::No;
}
