#pragma once

#include <QLabel>
#include <QTimer>

class QStatusBar;

// Línea de avisos en la barra de estado de una ventana principal. La barra existe desde que se
// abre la ventana y con el alto de las líneas del aviso, de modo que un aviso no la hace aparecer
// ni crecer moviendo lo que hay encima (un clic iría a otra caja). El aviso se parte en líneas,
// lleva su texto entero también al dejar el ratón encima y se anuncia al lector de pantalla.
class AvisoEstado : public QLabel {
    Q_OBJECT
public:
    explicit AvisoEstado(QStatusBar* barra, int lineas = 2);

    // Enseña el aviso durante ese tiempo (o hasta el siguiente) y lo anuncia.
    void avisar(const QString& texto, int milisegundos);
    void retirar();

private:
    QTimer m_plazo;
};
