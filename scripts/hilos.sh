#!/usr/bin/env bash
# Busca carreras entre hilos: compila las pruebas del núcleo y de las ventanas con ThreadSanitizer
# en su propia carpeta (build-hilos/) y pasa las que guardan, imprimen, cancelan y vuelven a leer
# una solicitud, que son las que tienen la ventana en un hilo y el trabajo en otro. Cualquier
# carrera detiene la prueba que la da. No va en probar.sh: compilar y pasar todo con
# ThreadSanitizer lo haría mucho más largo.
#
#     scripts/hilos.sh                  # todo
#     scripts/hilos.sh --sin-compilar   # solo pasar las pruebas (ya compiladas)
set -euo pipefail
raiz="$(cd "$(dirname "$0")/.." && pwd)"
build="${MOVILANT_BUILD_HILOS:-$raiz/build-hilos}"
if [ "${1:-}" != --sin-compilar ]; then
  MOVILANT_BUILD="$build" MOVILANT_HILOS=1 bash "$raiz/scripts/compilar.sh"
fi

# Las pruebas de cada binario que ponen a trabajar otro hilo mientras el que las lanzó espera,
# sigue la ventana o cancela.
nucleo='GuardadoParTest.*:ListasXmlTest.*:GeneradorDocumento.*:Paralelo.*:Causas.*'
nucleo+=':ImpresionPdf.*:ImpresionMotor.*:ColaImpresion.*'
gui='GuardarSolicitudTest.*:RecuperarSolicitudTest.*:ImprimirConCupsTest.*:frmSolicitudesTest.*'

export QT_QPA_PLATFORM=offscreen
# halt_on_error: una carrera es un fallo, no un aviso que se pierde entre la salida. Las
# supresiones (solo de bibliotecas de fuera, con su porqué) están en scripts/hilos.supp.
# die_after_fork=0: QProcess crea su hijo con clone compartiendo la memoria hasta el exec (como
# vfork), y el ThreadSanitizer de GCC 12, que intercepta ese clone, anota en esa memoria compartida
# que "este proceso" es hijo de un fork con varios hilos; lo lee el padre, que no ha hecho ningún
# fork, y sin esta opción muere al crear el siguiente hilo.
export TSAN_OPTIONS="halt_on_error=1 exitcode=66 second_deadlock_stack=1 die_after_fork=0 suppressions=$raiz/scripts/hilos.supp"
# El ThreadSanitizer de GCC 12 no admite la aleatoriedad de direcciones de los núcleos recientes
# (28 bits o más): sin ella, arranca.
sin_azar=(setarch "$(uname -m)" -R)
estado=0
"${sin_azar[@]}" "$build/pruebas_nucleo" --gtest_filter="$nucleo" || estado=1
"${sin_azar[@]}" "$build/pruebas_gui" --gtest_filter="$gui" || estado=1
if [ "$estado" = 0 ]; then
  echo "hilos.sh: ninguna carrera en las pruebas que guardan, imprimen, cancelan y leen."
else
  echo "hilos.sh: hay fallos o carreras (arriba, «WARNING: ThreadSanitizer»)." >&2
fi
exit "$estado"
