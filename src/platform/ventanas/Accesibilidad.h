#pragma once

#include <QString>

class QAbstractButton;
class QPushButton;
class QWidget;

// Prepara una ventana ya montada para quien la usa con un lector de pantalla o solo con el
// teclado:
// - la caja de texto de un combo se llama como el combo (es la que recibe el foco accesible);
// - una lista, una barra de progreso o un combo sin rótulo propio toman el rótulo que tienen
//   justo delante (o, sin él, el título del recuadro que los guarda);
// - cada recuadro se llama por su título, también dentro de otro recuadro;
// - cada opción tiene como rótulo la pregunta de su grupo, y las opciones "Sí"/"No" la dicen
//   también en su nombre ("Discapacidad: Sí");
// - Tab entra en un grupo de opciones por la marcada;
// - las zonas con barra de desplazamiento que solo contienen controles no son paradas de Tab;
// - el control con el foco lleva siempre una marca visible.
// Las tablas (rejillas y listas de los combos) enseñan solo sus columnas visibles; las ventanas
// propias son diálogos, y una pestaña solo dice tener el foco cuando lo tiene su barra
// (AccesibleControles.h).
void prepararAccesibilidad(QWidget* ventana);

// El texto de un rótulo o un botón como se oye: sin el "&" que marca su tecla ("&&" es un "&").
QString sinAmpersand(QString texto);

// Las interfaces accesibles propias (tablas, opciones, pestañas): prepararAccesibilidad las
// instala, pero una ventana que al construirse ya marca opciones o enseña algo tiene que
// instalarlas antes, porque Qt crea entonces las suyas y las guarda para siempre.
void instalarInterfacesAccesibles();

// La pregunta del grupo de una opción: el rótulo que tiene delante la primera opción del grupo
// o, si no hay, el marco que guarda el grupo cuando dice la pregunta (un recuadro con título o un
// marco con nombre accesible). Nula si no tiene.
QWidget* preguntaDeOpcion(const QAbstractButton* opcion);

// `boton` es el botón por defecto de la zona: se ve como tal, e Intro en una caja de texto de la
// zona lo pulsa (en las de números Intro pasa a la caja siguiente: su filtro se lo queda antes).
void ponerBotonPorDefecto(QWidget* zona, QPushButton* boton);
