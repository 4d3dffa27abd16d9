#pragma once

#include "platform/Resultado.h"
#include "platform/Tabla.h"
#include "platform/ventanas/VistaTabla.h"

#include <QList>

class ModeloTabla;

// Rejilla enlazada a una tabla: enseña los registros que la tabla deja ver, con su filtro y su
// orden, y se entera sola de las altas, bajas y cambios.
class RejillaDatos : public VistaTabla {
    Q_OBJECT
public:
    explicit RejillaDatos(QWidget* parent = nullptr);

    // Enlaza la tabla mostrando esos campos (todos si no se dan) con esas cabeceras (los nombres
    // de campo si faltan). Falla sin cambiar nada si algún campo no existe.
    Resultado enlazar(PTabla tabla, const QStringList& campos = {},
                      const QStringList& cabeceras = {});
    void desenlazar();
    const PTabla& tabla() const { return m_tabla; }

    // Filas seleccionadas (entre las visibles de la tabla), de menor a mayor.
    QList<int> filasSeleccionadas() const;
    // La fila seleccionada si hay exactamente una; -1 si ninguna o varias.
    int filaSeleccionadaUnica() const;
    void limpiarSeleccion();
    // Fila con el foco; -1 si ninguna.
    int filaActual() const;
    void setFilaActual(int fila);

    void ocultarColumna(const QString& campo, bool oculta = true);
    void setAnchoColumna(const QString& campo, int ancho);

signals:
    // El usuario pulsó en una fila.
    void filaPulsada(int fila);

private:
    void alPulsar(const QModelIndex& indice);
    void alCambiarFila(const QModelIndex& actual, const QModelIndex& anterior);
    int columna(const QString& campo) const;

    PTabla m_tabla;
    ModeloTabla* m_modelo = nullptr;
};
