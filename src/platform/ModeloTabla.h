#pragma once

#include "platform/Resultado.h"
#include "platform/Tabla.h"

#include <QAbstractTableModel>
#include <QMetaObject>
#include <QStringList>

// Modelo de vistas sobre un cursor de tabla: las filas son los registros que el cursor ve, con
// su filtro y su orden del momento; las columnas, los campos elegidos por nombre. Cada aviso
// cambiado() del cursor reinicia el modelo, así que la lista sigue a los filtros al instante.
class ModeloTabla : public QAbstractTableModel {
    Q_OBJECT
public:
    // Papel con el valor tal cual está en la tabla (QString, qint64 o nulo).
    static constexpr int RolValor = Qt::UserRole + 1;

    explicit ModeloTabla(QObject* padre = nullptr);
    ~ModeloTabla() override;

    // Enlaza el modelo a un cursor. Sin nombres de campo, una columna por campo de la tabla. Las
    // cabeceras que falten (o vacías) muestran el nombre del campo. Falla, sin cambiar nada, si
    // algún nombre no es un campo de la tabla. Una tabla nula deja el modelo vacío.
    Resultado enlazar(PTabla tabla, const QStringList& campos = {},
                      const QStringList& cabeceras = {});
    void desenlazar();
    const PTabla& tabla() const { return m_tabla; }

    // Campo de la tabla que muestra cada columna, y al revés (sin distinguir mayúsculas); -1 si no.
    int campoDeColumna(int columna) const;
    int columnaDeCampo(const QString& campo) const;
    QString nombreCampo(int columna) const;

    // Valores por fila, de cualquier campo de la tabla (esté o no entre las columnas).
    QVariant valor(int fila, int columna) const;
    QVariant valorCampo(int fila, const QString& campo) const;
    QString textoCampo(int fila, const QString& campo) const;
    // Primera fila cuyo campo es igual al valor (sin distinguir mayúsculas en los textos); -1.
    int filaDeValor(const QString& campo, const QVariant& valor) const;
    // Deja el registro de esa fila como actual del cursor (lo que hace una rejilla al elegir).
    void irAFila(int fila);

    int rowCount(const QModelIndex& padre = {}) const override;
    int columnCount(const QModelIndex& padre = {}) const override;
    QVariant data(const QModelIndex& indice, int rol = Qt::DisplayRole) const override;
    QVariant headerData(int seccion, Qt::Orientation orientacion,
                        int rol = Qt::DisplayRole) const override;

private:
    void alCambiarTabla();

    PTabla m_tabla;
    QList<int> m_campos;
    QStringList m_cabeceras;
    QMetaObject::Connection m_conexion;
};
