#pragma once

class QAbstractItemView;

// En una rejilla o en la lista de un combo, la celda cuyo texto no cabe en su columna enseña el
// texto entero al dejar el ratón encima; la que cabe no enseña nada.
void consejoEnCeldasCortadas(QAbstractItemView* vista);

class QComboBox;
// Lo mismo para el texto de un combo cerrado más estrecho que la fila elegida.
void consejoEnTextoCortado(QComboBox* combo);
