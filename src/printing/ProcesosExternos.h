#pragma once

#include "platform/Resultado.h"

#include <QString>
#include <QStringList>
#include <atomic>
#include <functional>

class QObject;

// Programas de fuera que usa la impresión. Las pruebas pueden cambiarlos por otros de su guion.
struct ProgramasExternos {
    QString soffice = QStringLiteral("soffice");
    QString lp = QStringLiteral("lp");
    QString pdftoppm = QStringLiteral("pdftoppm");
    QString pdfinfo = QStringLiteral("pdfinfo");
    // Los del escritorio (xdg-utils): qué programa abre cada tipo de fichero y abrirlo con él.
    QString xdgMime = QStringLiteral("xdg-mime");
    QString xdgOpen = QStringLiteral("xdg-open");
    // Lo que se espera a que `lp` deje la solicitud en la cola antes de darlo por colgado.
    int msCola = 60000;
};
ProgramasExternos& programasExternos();

// Código de salida de un programa que no salió por sí mismo (lo terminó una señal).
inline constexpr int kSinCodigoDeSalida = -1;

struct SalidaProceso {
    int codigo = 0;  // kSinCodigoDeSalida si no salió por sí mismo
    QString salida;
    QString errores;
};

// Cómo va un trabajo largo hecho en otro hilo, para la ventana que lo sigue: en qué fase está,
// cuántas páginas lleva de cuántas (0 mientras no se sabe) y si quien lo pidió quiere pararlo.
struct AvanceTrabajo {
    std::atomic<int> fase{0};
    std::atomic<int> hechas{0};
    std::atomic<int> total{0};
    std::atomic<bool> cancelar{false};
};

// Fallo de un trabajo que se paró porque se pidió (Errores::Cancelado).
Resultado falloCancelado(const QString& mensaje);

// Ejecuta un programa y espera a que termine como mucho `msLimite`. Falla con mensaje si no
// arranca o no termina a tiempo (lo mata a él y a todo lo que haya arrancado); el código de
// salida lo juzga el llamador. Con `avance`, si se pide cancelar mientras corre se mata igual y
// falla con Errores::Cancelado.
ResultadoDe<SalidaProceso> lanzarProceso(const QString& programa, const QStringList& argumentos,
                                         int msLimite, const QString& para,
                                         const AvanceTrabajo* avance = nullptr);

// Como lanzarProceso, y además falla si el código de salida no es 0.
Resultado ejecutarProceso(const QString& programa, const QStringList& argumentos, int msLimite,
                          const QString& para, const AvanceTrabajo* avance = nullptr);

// Entrega el manual al programa que el escritorio tiene para su tipo (su PDF, "Manual de
// Usuario.pdf", si está junto al documento; si no, el documento), sin esperar: lo abre y lo
// cierra quien lo usa, a la vista. Falla con un mensaje que dice dónde está el manual si no
// está, si el escritorio no tiene con qué abrirlo o si no se puede arrancar su abridor; nada se
// queda en marcha sin verse. Lo que falla después (el abridor termina con error: el visor no
// arranca) llega a `siFallaDespues`, con el mismo mensaje, mientras viva `dueno`; si `dueno` se
// va antes, el visor que ya esté abierto sigue abierto.
Resultado AbrirManual(const QString& rutaManual, QObject& dueno,
                      std::function<void(const Resultado&)> siFallaDespues);
