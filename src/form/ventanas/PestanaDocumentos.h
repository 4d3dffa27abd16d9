#pragma once

#include <QWidget>
#include <memory>

namespace Ui {
class PestanaDocumentos;
}

// Pestaña de los documentos que acompañan a la solicitud: la rejilla de rsDocumentos y el marco
// con que se añaden, se modifican, se borran o se cancelan. Un documento se describe por su
// nombre; sus horas, fecha y centro se guardan de unas cajas que no se enseñan.
class PestanaDocumentos : public QWidget {
    Q_OBJECT
public:
    explicit PestanaDocumentos(QWidget* parent = nullptr);
    ~PestanaDocumentos() override;

    Ui::PestanaDocumentos& controles() { return *ui; }
    void enlazar();

    int ModoDocumento() const { return m_modo; }  // 1 añadir, 2 modificar
    void LimpiarDocumento();

    void cmdAddDoc_Click();
    void cmdModDoc_Click();
    void cmdAceptarDoc_Click();
    void cmdDelDoc_Click();
    void cmdCancelarDoc_Click();

private:
    std::unique_ptr<Ui::PestanaDocumentos> ui;
    int m_modo = 1;
};
