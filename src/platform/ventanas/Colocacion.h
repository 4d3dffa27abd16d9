#pragma once

class QWidget;

// Dónde aparecen las ventanas. Sin gestor de ventanas que las coloque (o con uno que las deja en
// la esquina), una ventana nueva se centra sobre la ventana de la que sale o, si no sale de
// ninguna, en su pantalla.
void centrarVentana(QWidget* ventana);

// La ventana principal vuelve con el tamaño y el sitio de la última vez (`clave` la distingue);
// la primera vez, o si ya no cabe (otra pantalla, otra escala), con su tamaño de diseño
// recortado a la pantalla y centrada. Se llama antes de mostrarla.
void restaurarGeometria(QWidget* ventana, const char* clave);
void guardarGeometria(const QWidget* ventana, const char* clave);

// Ninguna caja de texto de `raiz` se estrecha por debajo de lo que ocupa su contenido: su
// longitud máxima en caracteres (una fecha, diez), hasta `tope` caracteres para las largas. Con
// poco sitio la pestaña se desplaza en lugar de apretar las cajas.
void anchoMinimoPorContenido(QWidget* raiz, int tope = 24);
