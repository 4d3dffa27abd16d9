#pragma once

class QWidget;

// Prepara una ventana ya montada para quien la usa con un lector de pantalla o solo con el
// teclado:
// - la caja de texto de un combo se llama como el combo (es la que recibe el foco accesible);
// - una lista, una barra de progreso o un combo sin rótulo propio toman el rótulo que tienen
//   justo delante;
// - las opciones "Sí"/"No" dicen a qué pregunta responden ("Discapacidad: Sí");
// - las zonas con barra de desplazamiento que solo contienen controles no son paradas de Tab;
// - el control con el foco lleva siempre una marca visible.
// Las tablas (rejillas y listas de los combos) enseñan solo sus columnas visibles.
void prepararAccesibilidad(QWidget* ventana);
