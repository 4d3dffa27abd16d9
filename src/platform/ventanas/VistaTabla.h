#pragma once

#include <QAccessible>
#include <QTableView>

// Tabla cuyos avisos al lector de pantalla (fila con el foco, filas elegidas) señalan la celda
// como la numera su interfaz accesible, que solo cuenta las columnas que se ven. Los de
// QTableView cuentan también las columnas ocultas y la cabecera de filas: el lector leería otra
// celda.
class VistaTabla : public QTableView {
    Q_OBJECT
public:
    explicit VistaTabla(QWidget* parent = nullptr);

protected:
    void currentChanged(const QModelIndex& actual, const QModelIndex& anterior) override;
    void selectionChanged(const QItemSelection& elegidas, const QItemSelection& soltadas) override;

private:
    void avisar(QAccessible::Event tipo, const QModelIndex& indice);
};
