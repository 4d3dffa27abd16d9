#pragma once

#include <QWidget>
#include <memory>

class QLineEdit;

namespace Ui {
class PestanaCursos;
}

// Pestaña de los cursos de formación: la rejilla de rsCursos y el marco con que se añade, se
// modifica, se borra o se cancela un curso.
class PestanaCursos : public QWidget {
    Q_OBJECT
public:
    explicit PestanaCursos(QWidget* parent = nullptr);
    ~PestanaCursos() override;

    Ui::PestanaCursos& controles() { return *ui; }
    void enlazar();

    int ModoCurso() const { return m_modo; }  // 1 añadir, 2 modificar
    void setModoCurso(int modo) { m_modo = modo; }
    // Vacía el marco, deja el foco en el nombre del curso, modo añadir y sin fila seleccionada.
    void LimpiarCurso();

    void cmdAdd_Click();
    void cmdUpdate_Click();
    void cmdAceptar_Click();
    void cmdDel_Click();
    void cmdCancelar_Click();

private:
    void comprobarAlSalir(QLineEdit* caja);
    // Las comprobaciones de las horas y del año; si fallan, el mensaje, la caja vacía y el foco
    // en ella. Verdadero si valen (o están vacías).
    bool horasValidas();
    bool anoValido();
    void devolverFoco(QLineEdit* caja);

    std::unique_ptr<Ui::PestanaCursos> ui;
    int m_modo = 1;
    bool m_devolviendoFoco = false;
};
