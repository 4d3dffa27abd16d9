#pragma once

#include "platform/Tabla.h"

#include <QComboBox>
#include <QHash>

class ModeloTabla;
class QTableView;

// Combo enlazado a una tabla: su lista muestra los registros que la tabla deja ver (con su
// filtro y su orden) en varias columnas; guarda el valor de una columna y enseña el de otra.
// QComboBox elige por su cuenta la fila 0 al cambiar de modelo o al reiniciarse este; aquí eso
// no cuenta como elección: se conserva el valor elegido, o no hay elección si el filtro lo quitó.
class ComboDatos : public QComboBox {
    Q_OBJECT
public:
    explicit ComboDatos(QWidget* parent = nullptr);
    ~ComboDatos() override;

    // Enlaza la tabla (soltando la anterior). La lista queda sin elección.
    void enlazar(PTabla tabla);
    void desenlazar();
    // Vuelve a leer la tabla (tras cambiar su filtro u orden) conservando la elección.
    void reenlazar();
    const PTabla& tabla() const { return m_tabla; }

    // Columna que se guarda y columna que se enseña (nombres de campo).
    void setColumnaValor(const QString& campo);
    QString columnaValor() const { return m_columnaValor; }
    void setColumnaTexto(const QString& campo);
    QString columnaTexto() const { return m_columnaTexto; }
    // Columnas que enseña la lista desplegable, en ese orden y con esos rótulos (nombres de
    // campo; las demás se ocultan). Sin llamarla, todas las columnas con el nombre del campo.
    void setColumnasLista(const QStringList& campos, const QStringList& rotulos);
    // Ancho en píxeles de una columna de la lista desplegable.
    void setAnchoColumna(int columna, int ancho);
    int anchoColumna(int columna) const;

    // Valor guardado de la fila elegida; vacío si no hay elección.
    QString valor() const { return m_valor; }
    // Elige la fila cuyo valor es ese (sin avisar de "fila elegida"); vacío o inexistente: nada.
    void setValor(const QString& valor);
    QString texto() const { return currentText(); }
    // Pone el texto; el valor pasa a ser el de la fila que enseña ese texto (o ninguno).
    void setTexto(const QString& texto);
    // Sin escritura, el texto solo cambia al elegir una fila en la lista desplegable: no se
    // teclea, no se borra ni se pega nada, y las flechas y la rueda no cambian la elección.
    void setAdmiteEscritura(bool admite);
    bool admiteEscritura() const;
    // Verdadero si el texto es el de alguna fila de la lista.
    bool coincide() const;
    // Valor de un campo en la fila elegida; vacío si no hay elección.
    QString valorColumna(const QString& campo) const;
    QString valorColumna(int columna) const;
    // Fila elegida entre las visibles de la tabla; -1 si no hay elección.
    int filaElegida() const;

    void showPopup() override;

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;

signals:
    // El usuario eligió en la lista una fila distinta de la que estaba elegida (por él o por el
    // programa). Escribir, terminar de escribir o pasar el foco no es elegir.
    void filaElegidaPorUsuario();
    // Cambió el texto o el valor (por el usuario o por el programa).
    void cambiado();

private:
    void alActivar(int fila);
    void alCambiarIndice(int fila);
    void alCambiarTexto(const QString& texto);
    void antesDeCambiarModelo();
    void trasCambiarModelo();
    void elegirEnSilencio(int fila);
    // Valor de la primera fila que enseña ese texto; vacío si ninguna.
    QString valorDeTexto(const QString& texto) const;
    int filaDeValor(const QString& valor) const;
    void aplicarAnchos();
    // Alto de la lista abierta para sus filas (hasta maxVisibleItems), dentro de la pantalla.
    void ajustarListaAbierta();
    void aplicarColumnasLista();
    QStringList rotulosPorCampo() const;

    PTabla m_tabla;
    ModeloTabla* m_modelo = nullptr;
    QTableView* m_vista = nullptr;
    QString m_columnaValor;
    QString m_columnaTexto;
    QString m_valor;
    QString m_textoElegido;  // texto de la fila elegida por última vez
    // Valor de la última fila elegida en la lista o puesta desde el programa: lo que vale para
    // las cascadas. Lo escrito a mano no lo cambia.
    QString m_valorElegido;
    bool m_silencio = false;
    QHash<int, int> m_anchos;
    QStringList m_columnasLista;
    QStringList m_rotulosLista;
};
