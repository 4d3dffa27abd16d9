#pragma once

#include "platform/Resultado.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QVariant>
#include <memory>
#include <utility>
#include <vector>

// Tabla en memoria con cursor, filtro, búsqueda hacia delante, orden y clones.
// Los registros viven en un almacén compartido; cada cursor (Tabla) tiene su propio filtro,
// orden y posición. Un clon ve los registros que se añaden por cualquier otro cursor.

enum class TipoCampo { Texto = 200, Entero = 20 };

struct Campo {
    QString nombre;
    TipoCampo tipo = TipoCampo::Texto;
    int longitud = 0;  // longitud máxima de los textos; 0 en los enteros
};

// Valor de un campo vacío: texto vacío en los textos, nulo en los enteros.
inline QVariant valorVacio(const Campo& campo) {
    return campo.tipo == TipoCampo::Texto ? QVariant(QString()) : QVariant();
}

class Tabla;
using PTabla = std::shared_ptr<Tabla>;
struct AlmacenTabla;
class ReservaValores;
class AltaRegistros;

// Los valores de un registro: un puntero por campo a su valor en la reserva de la tabla.
using ValoresRegistro = std::shared_ptr<const QVariant*[]>;

// Un registro tal como lo guarda su tabla, para dar de alta el mismo en otra tabla con los mismos
// campos (anadirFila). Si las dos comparten reserva (ReservaValores::Ambito) no se copia nada.
struct FilaTabla {
    ValoresRegistro valores;
    std::shared_ptr<ReservaValores> reserva;
    QList<Campo> campos;
    bool valida() const { return bool(valores); }
};

class Tabla : public QObject {
    Q_OBJECT
public:
    // Crea una tabla nueva, vacía y abierta con los campos en ese orden.
    static PTabla crear(const QString& nombre, const QList<Campo>& campos);
    ~Tabla() override;

    // Segundo cursor sobre los mismos registros, sin filtro ni orden, situado en el primero.
    PTabla clonar() const;

    const QString& nombre() const;
    const QList<Campo>& campos() const;
    int indiceCampo(const QString& nombre) const;  // sin distinguir mayúsculas; -1 si no existe

    bool abierta() const;
    void cerrar();

    // Cursor (sobre los registros que pasan el filtro, en el orden vigente).
    void moverPrimero();
    void moverUltimo();
    void moverSiguiente();
    void moverAnterior();
    bool bof() const;             // antes del primero (o tabla vacía)
    bool eof() const;             // después del último (o tabla vacía)
    int numeroRegistros() const;  // registros que pasan el filtro

    // Registros. Los cambios se guardan al momento; actualizar() se mantiene por claridad de los
    // llamadores y nunca falla con un registro actual válido.
    Resultado anadir();  // añade un registro vacío al final y lo deja como actual
    // Añade un registro con esos valores, en el orden de los campos (los que falten, vacíos), y
    // lo deja como actual. Si algún valor no vale no añade nada. Un alta y un aviso por
    // registro: para quien copia o carga muchos registros de una vez.
    Resultado anadirRegistro(std::vector<QVariant> valores);
    Resultado actualizar();
    Resultado borrar();  // borra el actual; el cursor queda en el siguiente

    // El registro de esa fila visible tal como está guardado (no válido fuera de rango), o una
    // copia con unos campos cambiados. Un cambio que no vale es un fallo, como en establecer().
    FilaTabla fila(int fila) const;
    ResultadoDe<FilaTabla> filaCambiada(int fila,
                                        const std::vector<std::pair<int, QVariant>>& cambios) const;
    // Añade al final un registro con los valores de esa fila, de esta tabla o de otra con los
    // mismos campos, y lo deja como actual, igual que anadirRegistro. Con campos distintos se
    // comprueba cada valor como en anadirRegistro.
    Resultado anadirFila(const FilaTabla& fila);
    // Lo mismo con la fila visible `fila` de `origen`, sin pasar por una FilaTabla.
    Resultado anadirFilaDe(const Tabla& origen, int fila);
    // Avisa a la memoria de que pronto se tomará la fila visible `fila` (no cambia nada). Para
    // recorridos que saltan de fila en fila: con `cerca` se pide el registro y, sin él, lo que
    // cuenta sus copias, que ya debería haber llegado si antes se pidió el registro.
    void anticiparFila(int fila, bool cerca) const;

    // Valores del registro actual. Texto: QString (vacío = nulo); Entero: qint64 o nulo.
    QVariant valor(const QString& campo) const;
    QVariant valor(int campo) const;
    QString texto(const QString& campo) const;  // el valor como texto ("" si es nulo)
    // Escribe un valor. Falla con mensaje si no hay registro actual, el campo no existe,
    // el texto supera la longitud máxima o el valor no se puede convertir a entero.
    Resultado establecer(const QString& campo, const QVariant& valor);
    Resultado establecer(int campo, const QVariant& valor);

    // Filtro: "" o "0" lo quitan (y filtro() devuelve entonces "0"). Un texto que el lenguaje no
    // entiende es un fallo cuyo mensaje cita el texto; el filtro anterior se mantiene.
    // Tras filtrar, el cursor queda en el primer registro visible.
    // El filtro se evalúa al fijarlo: cambiar después un valor no saca ni mete registros en la
    // vista (se puede recorrer lo filtrado cambiando el campo filtrado). Un registro añadido por
    // este cursor se ve en él hasta que se vuelva a fijar el filtro o el orden, lo pase o no. Uno
    // añadido por otro cursor aparece al momento en los cursores sin filtro ni orden (al final);
    // en los demás, cuando el otro cursor lo da por terminado (actualizar(), moverse, otra alta,
    // filtrar, ordenar, buscar, borrar o soltar el cursor), según su filtro y su orden.
    Resultado filtrar(const QString& filtro);
    QString filtro() const;
    bool tieneFiltro() const;

    // Orden: "Campo ASC" o "Campo DESC" (o solo "Campo", ascendente; varios separados por comas)
    // con blancos alrededor; "" lo quita. Textos en el orden del castellano sin distinguir
    // mayúsculas, enteros por valor con los nulos delante; estable. El cursor sigue en el mismo
    // registro si este sigue visible.
    Resultado ordenar(const QString& orden);
    QString orden() const;

    // Búsqueda de una cláusula desde el registro actual hacia delante (desde el primero si el
    // cursor está antes de él). Si no hay ninguno, el cursor queda después del último (eof()).
    // Las igualdades van por un índice hash del campo, con el mismo resultado que el recorrido.
    Resultado buscar(const QString& criterio);

    // Acceso por fila visible (para modelos de vistas y recorridos sin mover el cursor).
    int filaActual() const;  // -1 si bof/eof
    void irAFila(int fila);
    // La referencia vale hasta el siguiente cambio de la tabla; fuera de rango, un nulo. Los
    // valores que se repiten suelen ser el mismo objeto (ReservaValores), y el mismo objeto es
    // siempre el mismo valor: quien repite trabajo por valor puede recordarlo por su dirección.
    const QVariant& valorEnFila(int fila, int campo) const;

    // Mientras vive, los avisos cambiado() de todos los cursores de la tabla se agrupan: al
    // terminar, cada cursor afectado avisa una sola vez. Para bucles que tocan muchos registros
    // de una tabla que se está mostrando.
    class AgrupadorAvisos {
    public:
        explicit AgrupadorAvisos(const Tabla& tabla);
        ~AgrupadorAvisos();
        AgrupadorAvisos(const AgrupadorAvisos&) = delete;
        AgrupadorAvisos& operator=(const AgrupadorAvisos&) = delete;

    private:
        std::shared_ptr<AlmacenTabla> m_almacen;
    };

signals:
    // Cambian los registros visibles (altas, bajas, valores, filtro u orden) de este cursor.
    void cambiado();

private:
    Tabla(std::shared_ptr<AlmacenTabla> almacen);
    void darDeAlta(ValoresRegistro valores);
    ResultadoDe<const QVariant*> guardarValor(int campo, const QVariant& valor) const;
    AlmacenTabla& almacen() const;
    struct Privado;
    std::unique_ptr<Privado> d;
    friend struct AlmacenTabla;
    friend class AltaRegistros;
};
