#pragma once

#include <QPointer>
#include <QWidget>

// Marco bien visible alrededor del control con el foco. El estilo no marca el foco en todos los
// controles (un botón por defecto se ve igual con foco que sin él, una lista vacía no enseña
// nada): este marco, encima del control y sin recibir el ratón, lo marca en todos por igual.
class MarcaFoco : public QWidget {
    Q_OBJECT
public:
    // A partir de ahora, el control con el foco de esta ventana lleva la marca.
    static void instalar(QWidget* ventana);
    // El control alrededor del cual está la marca ahora; nulo si no se ve en ninguno.
    static QWidget* marcado();

protected:
    void paintEvent(QPaintEvent* evento) override;
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    explicit MarcaFoco(QWidget* padre);
    static void alCambiarFoco(QWidget* antes, QWidget* ahora);
    void seguir(QWidget* control);
    void colocar();

    QPointer<QWidget> m_control;
};
