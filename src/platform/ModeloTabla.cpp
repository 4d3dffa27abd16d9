#include "platform/ModeloTabla.h"

ModeloTabla::ModeloTabla(QObject* padre) : QAbstractTableModel(padre) {}

ModeloTabla::~ModeloTabla() {
    QObject::disconnect(m_conexion);
}

Resultado ModeloTabla::enlazar(PTabla tabla, const QStringList& campos,
                               const QStringList& cabeceras) {
    QList<int> indices;
    QStringList titulos;
    if (tabla) {
        if (campos.isEmpty()) {
            for (int i = 0; i < tabla->campos().size(); ++i) indices << i;
        } else {
            for (const QString& nombre : campos) {
                const int i = tabla->indiceCampo(nombre);
                if (i < 0)
                    return Resultado::fallo(QStringLiteral("El campo \"%1\" no existe en la tabla "
                                                           "\"%2\"")
                                                .arg(nombre, tabla->nombre()),
                                            Errores::CampoNoEncontrado);
                indices << i;
            }
        }
        for (int c = 0; c < indices.size(); ++c) {
            const QString dada = c < cabeceras.size() ? cabeceras[c] : QString();
            titulos << (dada.isEmpty() ? tabla->campos()[indices[c]].nombre : dada);
        }
    }
    beginResetModel();
    QObject::disconnect(m_conexion);
    m_tabla = std::move(tabla);
    m_campos = indices;
    m_cabeceras = titulos;
    if (m_tabla)
        m_conexion = connect(m_tabla.get(), &Tabla::cambiado, this, &ModeloTabla::alCambiarTabla);
    endResetModel();
    return Resultado::correcto();
}

void ModeloTabla::desenlazar() {
    enlazar(nullptr);
}

void ModeloTabla::alCambiarTabla() {
    beginResetModel();
    endResetModel();
}

int ModeloTabla::campoDeColumna(int columna) const {
    return columna >= 0 && columna < m_campos.size() ? m_campos[columna] : -1;
}

int ModeloTabla::columnaDeCampo(const QString& campo) const {
    if (!m_tabla) return -1;
    return static_cast<int>(m_campos.indexOf(m_tabla->indiceCampo(campo)));
}

QString ModeloTabla::nombreCampo(int columna) const {
    const int campo = campoDeColumna(columna);
    return campo < 0 ? QString() : m_tabla->campos()[campo].nombre;
}

QVariant ModeloTabla::valor(int fila, int columna) const {
    const int campo = campoDeColumna(columna);
    return campo < 0 ? QVariant() : m_tabla->valorEnFila(fila, campo);
}

QVariant ModeloTabla::valorCampo(int fila, const QString& campo) const {
    return m_tabla ? m_tabla->valorEnFila(fila, m_tabla->indiceCampo(campo)) : QVariant();
}

QString ModeloTabla::textoCampo(int fila, const QString& campo) const {
    const QVariant v = valorCampo(fila, campo);
    return v.isNull() ? QString() : v.toString();
}

int ModeloTabla::filaDeValor(const QString& campo, const QVariant& valor) const {
    if (!m_tabla) return -1;
    const int i = m_tabla->indiceCampo(campo);
    if (i < 0) return -1;
    const QString buscado = valor.isNull() ? QString() : valor.toString();
    const int filas = m_tabla->numeroRegistros();
    for (int f = 0; f < filas; ++f) {
        const QVariant v = m_tabla->valorEnFila(f, i);
        const QString texto = v.isNull() ? QString() : v.toString();
        if (texto.compare(buscado, Qt::CaseInsensitive) == 0) return f;
    }
    return -1;
}

void ModeloTabla::irAFila(int fila) {
    if (m_tabla) m_tabla->irAFila(fila);
}

int ModeloTabla::rowCount(const QModelIndex& padre) const {
    if (padre.isValid() || !m_tabla) return 0;
    return m_tabla->numeroRegistros();
}

int ModeloTabla::columnCount(const QModelIndex& padre) const {
    return padre.isValid() ? 0 : static_cast<int>(m_campos.size());
}

QVariant ModeloTabla::data(const QModelIndex& indice, int rol) const {
    if (!indice.isValid() || !m_tabla) return {};
    const QVariant v = valor(indice.row(), indice.column());
    switch (rol) {
        case Qt::DisplayRole:
        case Qt::EditRole:
        case Qt::ToolTipRole:
            return v.isNull() ? QString() : v.toString();
        case RolValor:
            return v;
        default:
            return {};
    }
}

QVariant ModeloTabla::headerData(int seccion, Qt::Orientation orientacion, int rol) const {
    if (orientacion == Qt::Horizontal && rol == Qt::DisplayRole && seccion >= 0 &&
        seccion < m_cabeceras.size())
        return m_cabeceras[seccion];
    return QAbstractTableModel::headerData(seccion, orientacion, rol);
}
