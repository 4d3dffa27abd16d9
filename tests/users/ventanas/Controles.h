#pragma once

#include <gtest/gtest.h>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

// Controles de las ventanas buscados por su nombre, como los ve quien maneja la ventana.
template <typename T>
T* control(const QWidget* ventana, const char* nombre) {
    T* c = ventana->findChild<T*>(QLatin1String(nombre));
    EXPECT_NE(c, nullptr) << "falta el control " << nombre;
    return c;
}

struct ControlesFrmUsuario {
    explicit ControlesFrmUsuario(const QWidget* v)
        : Label1(control<QLabel>(v, "Label1")),
          txtDNI(control<QLineEdit>(v, "txtDNI")),
          cmdAceptarDNI(control<QPushButton>(v, "cmdAceptarDNI")),
          lblPwd(control<QLabel>(v, "lblPwd")),
          txtPwd(control<QLineEdit>(v, "txtPwd")),
          cmdAceptarPwd(control<QPushButton>(v, "cmdAceptarPwd")),
          cmdSalir(control<QPushButton>(v, "cmdSalir")) {}
    QLabel* Label1;
    QLineEdit* txtDNI;
    QPushButton* cmdAceptarDNI;
    QLabel* lblPwd;
    QLineEdit* txtPwd;
    QPushButton* cmdAceptarPwd;
    QPushButton* cmdSalir;
};

struct ControlesFrmCreaPwd {
    explicit ControlesFrmCreaPwd(const QWidget* v)
        : Label1(control<QLabel>(v, "Label1")),
          Label2(control<QLabel>(v, "Label2")),
          txtPwd_0(control<QLineEdit>(v, "txtPwd_0")),
          txtPwd_1(control<QLineEdit>(v, "txtPwd_1")),
          cmdAceptar(control<QPushButton>(v, "cmdAceptar")),
          cmdSalir(control<QPushButton>(v, "cmdSalir")) {}
    QLabel* Label1;
    QLabel* Label2;
    QLineEdit* txtPwd_0;
    QLineEdit* txtPwd_1;
    QPushButton* cmdAceptar;
    QPushButton* cmdSalir;
};
