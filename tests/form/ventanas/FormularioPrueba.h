#pragma once

#include "../../apoyo/MensajesGuion.h"
#include "form/ventanas/frmSolicitudes.h"

#include <gtest/gtest.h>
#include <QLineEdit>
#include <QTemporaryDir>
#include <memory>

namespace Ui {
class PestanaSolicitante;
}
class ComboDatos;
struct PlazasCuerpo;

// Formulario de la solicitud de verdad, sobre una instalación pequeña con todos los catálogos
// cargados como los deja la pantalla de carga, a la vista y activo, con los mensajes por guion.
class FormularioPrueba : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void SetUp() override;
    void TearDown() override;

    // El formulario, nuevo, cargado y a la vista con el DNI del acceso (sustituye al que hubiera).
    void crearFormulario();
    Ui::PestanaSolicitante& ui();
    // Deja correr lo diferido (selección al entrar, comprobaciones al salir de una caja).
    static void procesar();
    // Lleva el foco a la caja y luego sale de ella con Tab, como una persona.
    void salirCon(QLineEdit* caja, const QString& texto);
    // Clic con el ratón en el control, desplazando antes la pestaña para que se vea.
    void clic(QWidget* control);
    // Elige en el combo la fila de la lista cuyo valor es ese: el combo avisa de la fila elegida
    // con el foco en él, como tras elegirla en su lista desplegable.
    static void elegirFila(ComboDatos* combo, const QString& valor);
    // Lo mismo con el ratón en la lista desplegable (offscreen deja la ventana sin activar).
    static void elegirConRaton(ComboDatos* combo, const QString& valor);
    static int filaDeValor(ComboDatos* combo, const QString& valor);
    // La entrada del índice del cuerpo ofrecido con más plazas Vacantes (nula si no hay ninguno).
    static const PlazasCuerpo* cuerpoConMasPlazas();

    // Carpeta del programa de la instalación de prueba (con conf.xml y ficheros/).
    static QString carpetaPrograma();

    MensajesGuion mensajes;
    std::unique_ptr<frmSolicitudes> form;

private:
    static QTemporaryDir* s_dir;
};
