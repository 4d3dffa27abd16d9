#pragma once

#include <QAccessibleWidget>
#include <QPointer>

class QAbstractButton;
class QTabBar;

// Interfaces accesibles propias donde la de Qt dice algo que no es:
// - una opción dice como rótulo la pregunta de su grupo, no el recuadro en que está;
// - una pestaña solo tiene el foco cuando lo tiene la barra de pestañas (la de Qt lo da siempre a
//   la pestaña elegida, aunque el foco esté en una caja de texto);
// - una ventana propia (un QWidget sin ser diálogo) es un diálogo, no un relleno sin nombre.
namespace AccesibleControles {
// Una vez por proceso, antes de que nadie pida la interfaz de esos controles.
void instalarFabricas();
}  // namespace AccesibleControles

// La de una opción: su nombre, su estado marcado y la pregunta de su grupo como rótulo.
class AccesibleOpcion : public QAccessibleWidget {
public:
    explicit AccesibleOpcion(QAbstractButton* opcion);
    QString text(QAccessible::Text t) const override;
    QAccessible::State state() const override;
    QList<QPair<QAccessibleInterface*, QAccessible::Relation>> relations(
        QAccessible::Relation cuales) const override;
    QStringList actionNames() const override;
    void doAction(const QString& accion) override;

private:
    QAbstractButton* opcion() const;
};

// La de una barra de pestañas: una hija por pestaña, con el foco solo si la barra lo tiene.
class AccesiblePestanas : public QAccessibleWidget {
public:
    explicit AccesiblePestanas(QTabBar* barra);
    ~AccesiblePestanas() override;
    QString text(QAccessible::Text t) const override;
    int childCount() const override;
    QAccessibleInterface* child(int indice) const override;
    int indexOfChild(const QAccessibleInterface* hijo) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* focusChild() const override;

private:
    QTabBar* barra() const;
    mutable QList<QAccessible::Id> m_pestanas;
};
