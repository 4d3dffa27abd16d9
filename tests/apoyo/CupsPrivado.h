#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// Un programador de colas CUPS de verdad para las pruebas: cupsd en primer plano, con su
// configuración, colas y registros en una carpeta temporal y escuchando en un socket propio
// (CUPS_SERVER apunta a él mientras vive). Con impresora, su cola predeterminada "Prueba" es de
// cups-pdf y deja cada trabajo como PDF en una carpeta de salida.
class CupsPrivado {
public:
    ~CupsPrivado() { parar(); }

    // Vacío si arrancó (con la cola "Prueba" predeterminada si `conImpresora`); si no, por qué no.
    QString arrancar(bool conImpresora = true);
    // El primer PDF que llega a la carpeta de salida, esperando como mucho `ms`; vacío si ninguno.
    QString esperarPdf(int ms) const;
    QString errores() const;
    void parar();

private:
    QTemporaryDir m_dir;
    QProcess m_cupsd;
    QString m_confPdf;
};
