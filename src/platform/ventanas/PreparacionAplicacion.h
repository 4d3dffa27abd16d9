#pragma once

class QApplication;

// Lo que toda ventana del programa espera de la aplicación, puesto una vez al arrancar (y en las
// pruebas de ventanas, que así ven lo mismo que quien usa el programa).
//
// Los textos propios de Qt (menú de las cajas de texto, botones de los diálogos estándar) en
// castellano. Falso si no se encuentran las traducciones: el programa sigue, en inglés solo eso.
bool cargarTraduccionesQt(QApplication& aplicacion);

// Teclado de escritorio: Alt con una letra nunca escribe en la caja con el foco (es un atajo o
// nada), e Intro pulsa el botón con el foco también fuera de los diálogos.
void instalarTecladoComun(QApplication& aplicacion);
