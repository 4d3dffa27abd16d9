#pragma once

#include "platform/Resultado.h"

#include <QString>
#include <QStringList>

// Programas de fuera que usa la impresión. Las pruebas pueden cambiarlos por otros de su guion.
struct ProgramasExternos {
    QString soffice = QStringLiteral("soffice");
    QString lp = QStringLiteral("lp");
    QString pdftoppm = QStringLiteral("pdftoppm");
};
ProgramasExternos& programasExternos();

struct SalidaProceso {
    int codigo = 0;
    QString salida;
    QString errores;
};

// Ejecuta un programa y espera a que termine como mucho `msLimite`. Falla con mensaje si no
// arranca o no termina a tiempo (lo mata a él y a todo lo que haya arrancado); el código de
// salida lo juzga el llamador.
ResultadoDe<SalidaProceso> lanzarProceso(const QString& programa, const QStringList& argumentos,
                                         int msLimite, const QString& para);

// Como lanzarProceso, y además falla si el código de salida no es 0.
Resultado ejecutarProceso(const QString& programa, const QStringList& argumentos, int msLimite,
                          const QString& para);

// Abre en LibreOffice, sin esperar, un documento nuevo basado en el manual (el manual no se toca;
// el programa no lo cierra nunca). Falla si el manual no está o LibreOffice no arranca.
Resultado AbrirManual(const QString& rutaManual);
