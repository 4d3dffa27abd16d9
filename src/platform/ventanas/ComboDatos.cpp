#include "platform/ventanas/ComboDatos.h"

#include "platform/ModeloTabla.h"
#include "platform/ventanas/ConsejoCeldas.h"
#include "platform/ventanas/VistaTabla.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QProxyStyle>
#include <QScreen>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QTableView>

namespace {

// Con el estilo de serie la lista desplegable mide todas sus filas al abrirse: con decenas de
// miles de plazas tarda segundos. Con este valor se abre como una lista normal, con barra.
class EstiloComboGrande : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* opcion, const QWidget* widget,
                  QStyleHintReturn* retorno) const override {
        if (hint == QStyle::SH_ComboBox_Popup) return 0;
        return QProxyStyle::styleHint(hint, opcion, widget, retorno);
    }
};

QStyle* estiloComboGrande() {
    static QPointer<QStyle> estilo;
    if (!estilo) {
        estilo = new EstiloComboGrande;
        estilo->setParent(qApp);
    }
    return estilo;
}

void ensancharColumnasAlContenido(QTableView* vista, int anchoPantalla) {
    // La lista abierta enseña entera la fila más larga (un área, una zona, una situación): cada
    // columna visible se ensancha hasta su texto más largo. Con listas de decenas de miles de
    // filas se mide una muestra repartida, que basta para no cortar casi nada (y lo cortado
    // enseña su texto entero al dejar el ratón encima).
    const QAbstractItemModel* modelo = vista->model();
    const int filas = modelo->rowCount();
    const int paso = qMax(1, filas / 4000);
    const QFontMetrics medida = vista->fontMetrics();
    int total = 0;
    for (int c = 0; c < modelo->columnCount(); ++c) {
        if (vista->isColumnHidden(c)) continue;
        int ancho = medida.horizontalAdvance(modelo->headerData(c, Qt::Horizontal).toString()) + 24;
        for (int f = 0; f < filas; f += paso)
            ancho = qMax(ancho, medida.horizontalAdvance(
                                    modelo->index(f, c).data(Qt::DisplayRole).toString()) +
                                    12);
        if (ancho > vista->columnWidth(c)) vista->setColumnWidth(c, ancho);
        total += vista->columnWidth(c);
    }
    vista->setMinimumWidth(
        qMin(total + vista->verticalScrollBar()->sizeHint().width() + 4, anchoPantalla));
}

}  // namespace

ComboDatos::ComboDatos(QWidget* parent) : QComboBox(parent) {
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    setMinimumContentsLength(8);
    setMaxVisibleItems(12);
    setStyle(estiloComboGrande());

    m_vista = new VistaTabla(this);
    m_vista->verticalHeader()->hide();
    m_vista->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_vista->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    m_vista->horizontalHeader()->setStretchLastSection(true);
    m_vista->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_vista->setSelectionMode(QAbstractItemView::SingleSelection);
    m_vista->setWordWrap(false);
    m_vista->setShowGrid(false);
    setView(m_vista);
    consejoEnCeldasCortadas(m_vista);
    consejoEnTextoCortado(this);

    connect(this, &QComboBox::activated, this, &ComboDatos::alActivar);
    connect(this, &QComboBox::currentIndexChanged, this, &ComboDatos::alCambiarIndice);
    connect(this, &QComboBox::editTextChanged, this, &ComboDatos::alCambiarTexto);
}

ComboDatos::~ComboDatos() = default;

void ComboDatos::enlazar(PTabla tabla) {
    desenlazar();
    if (!tabla) return;
    m_tabla = std::move(tabla);
    m_silencio = true;
    m_modelo = new ModeloTabla(this);
    m_modelo->enlazar(m_tabla, {}, rotulosPorCampo());
    setModel(m_modelo);  // suelta y borra el modelo anterior, que era hijo de este combo
    if (m_columnaTexto.isEmpty() || m_tabla->indiceCampo(m_columnaTexto) < 0)
        m_columnaTexto = m_tabla->campos().value(m_tabla->campos().size() > 1 ? 1 : 0).nombre;
    if (m_columnaValor.isEmpty() || m_tabla->indiceCampo(m_columnaValor) < 0)
        m_columnaValor = m_tabla->campos().value(0).nombre;
    setModelColumn(qMax(0, m_tabla->indiceCampo(m_columnaTexto)));
    connect(m_modelo, &QAbstractItemModel::modelAboutToBeReset, this,
            &ComboDatos::antesDeCambiarModelo);
    connect(m_modelo, &QAbstractItemModel::modelReset, this, &ComboDatos::trasCambiarModelo);
    connect(m_modelo, &QAbstractItemModel::layoutAboutToBeChanged, this,
            &ComboDatos::antesDeCambiarModelo);
    connect(m_modelo, &QAbstractItemModel::layoutChanged, this, &ComboDatos::trasCambiarModelo);
    connect(m_modelo, &QAbstractItemModel::rowsAboutToBeInserted, this,
            &ComboDatos::antesDeCambiarModelo);
    connect(m_modelo, &QAbstractItemModel::rowsInserted, this, &ComboDatos::trasCambiarModelo);
    connect(m_modelo, &QAbstractItemModel::rowsAboutToBeRemoved, this,
            &ComboDatos::antesDeCambiarModelo);
    connect(m_modelo, &QAbstractItemModel::rowsRemoved, this, &ComboDatos::trasCambiarModelo);
    aplicarColumnasLista();
    aplicarAnchos();
    m_valor.clear();
    m_valorElegido.clear();
    elegirEnSilencio(-1);
    m_silencio = false;
}

void ComboDatos::desenlazar() {
    if (!m_modelo) return;
    m_modelo->disconnect(this);
    m_silencio = true;
    // Un modelo vacío propio en lugar del de la tabla; el de la tabla se borra con él.
    setModel(new QStandardItemModel(this));
    m_modelo = nullptr;
    m_tabla.reset();
    m_valor.clear();
    m_valorElegido.clear();
    setEditText(QString());
    m_silencio = false;
}

void ComboDatos::reenlazar() {
    if (!m_modelo) return;
    const QString antes = m_valor;
    m_modelo->enlazar(m_tabla, {}, rotulosPorCampo());
    if (antes != m_valor) emit cambiado();
}

void ComboDatos::setColumnaValor(const QString& campo) {
    m_columnaValor = campo;
}

void ComboDatos::setColumnaTexto(const QString& campo) {
    m_columnaTexto = campo;
    if (!m_tabla) return;
    const int col = m_tabla->indiceCampo(campo);
    if (col < 0) return;
    m_silencio = true;
    setModelColumn(col);
    elegirEnSilencio(filaDeValor(m_valor));
    m_silencio = false;
}

void ComboDatos::setColumnasLista(const QStringList& campos, const QStringList& rotulos) {
    m_columnasLista = campos;
    m_rotulosLista = rotulos;
    // Rótulos nuevos para un modelo ya enlazado (enlazar() ya los pone al crear el modelo).
    if (m_modelo && !m_columnasLista.isEmpty()) m_modelo->enlazar(m_tabla, {}, rotulosPorCampo());
    aplicarColumnasLista();
    aplicarAnchos();
}

QStringList ComboDatos::rotulosPorCampo() const {
    QStringList rotulos;
    if (!m_tabla || m_columnasLista.isEmpty()) return rotulos;
    for (const Campo& c : m_tabla->campos()) {
        const int i = m_columnasLista.indexOf(c.nombre);
        rotulos << (i >= 0 ? m_rotulosLista.value(i) : QString());
    }
    return rotulos;
}

void ComboDatos::aplicarColumnasLista() {
    if (!m_modelo || m_columnasLista.isEmpty()) return;
    const QList<Campo>& campos = m_tabla->campos();
    QHeaderView* cabecera = m_vista->horizontalHeader();
    for (int c = 0; c < campos.size(); ++c)
        m_vista->setColumnHidden(c, !m_columnasLista.contains(campos[c].nombre));
    for (int i = 0; i < m_columnasLista.size(); ++i) {
        const int logica = m_tabla->indiceCampo(m_columnasLista[i]);
        if (logica >= 0) cabecera->moveSection(cabecera->visualIndex(logica), i);
    }
}

void ComboDatos::setAnchoColumna(int columna, int ancho) {
    m_anchos[columna] = ancho;
    aplicarAnchos();
}

int ComboDatos::anchoColumna(int columna) const {
    return m_anchos.value(columna, -1);
}

void ComboDatos::aplicarAnchos() {
    if (!m_modelo) return;
    int total = 0;
    for (int c = 0; c < m_modelo->columnCount(); ++c) {
        if (m_vista->isColumnHidden(c)) continue;
        if (m_anchos.contains(c)) m_vista->setColumnWidth(c, m_anchos[c]);
        total += m_vista->columnWidth(c);
    }
    // La lista enseña todas sus columnas aunque el combo sea más estrecho.
    m_vista->setMinimumWidth(qMin(total + 24, 1000));
}

void ComboDatos::showPopup() {
    if (m_modelo) ensancharColumnasAlContenido(m_vista, screen()->availableGeometry().width());
    QComboBox::showPopup();
    ajustarListaAbierta();
}

void ComboDatos::ajustarListaAbierta() {
    // QComboBox mide el alto de la lista con las celdas de la columna que enseña el combo; si esa
    // columna está oculta en la lista (el selector enseña un resumen que la lista no lleva), mide
    // cero y la lista abierta solo deja ver las cabeceras. Se mide aquí con las filas de verdad.
    QWidget* marco = m_vista->parentWidget();
    const int filas = qMin(count(), maxVisibleItems());
    if (!marco || !marco->isVisible() || filas <= 0) return;
    const int altoFilas = filas * m_vista->verticalHeader()->defaultSectionSize();
    if (m_vista->viewport()->height() >= altoFilas) return;
    // Lo que el marco ocupa además de las filas (cabecera, bordes) se queda como está.
    QRect r = marco->geometry();
    r.setHeight(marco->height() - m_vista->viewport()->height() + altoFilas);
    const QRect pantalla = screen()->availableGeometry();
    const QRect combo(mapToGlobal(QPoint(0, 0)), size());
    if (r.bottom() > pantalla.bottom()) {
        // No cabe debajo: encima del combo, o lo que quepa con su barra de desplazamiento.
        if (combo.top() - r.height() >= pantalla.top())
            r.moveBottom(combo.top() - 1);
        else
            r.setBottom(pantalla.bottom());
    }
    marco->setGeometry(r);
    m_vista->scrollTo(m_vista->currentIndex());
}

void ComboDatos::setValor(const QString& valor) {
    const int fila = valor.isEmpty() ? -1 : filaDeValor(valor);
    m_valor = fila < 0 ? QString() : valor;
    m_valorElegido = m_valor;
    elegirEnSilencio(fila);
    emit cambiado();
}

void ComboDatos::setTexto(const QString& texto) {
    m_silencio = true;
    setEditText(texto);
    m_silencio = false;
    if (texto != m_textoElegido) m_valor = valorDeTexto(texto);
    m_textoElegido = texto;
    m_valorElegido = m_valor;
    emit cambiado();
}

QString ComboDatos::valorDeTexto(const QString& texto) const {
    if (!m_tabla) return {};
    const int col = m_tabla->indiceCampo(m_columnaTexto);
    const int colValor = m_tabla->indiceCampo(m_columnaValor);
    if (col < 0 || colValor < 0) return {};
    for (int f = 0; f < m_tabla->numeroRegistros(); ++f)
        if (m_tabla->valorEnFila(f, col).toString() == texto)
            return m_tabla->valorEnFila(f, colValor).toString();
    return {};
}

void ComboDatos::setAdmiteEscritura(bool admite) {
    lineEdit()->setReadOnly(!admite);
    if (admite) {
        removeEventFilter(this);
        lineEdit()->removeEventFilter(this);
    } else {
        installEventFilter(this);
        lineEdit()->installEventFilter(this);
    }
}

bool ComboDatos::eventFilter(QObject* objeto, QEvent* evento) {
    if (admiteEscritura() || (objeto != this && objeto != lineEdit()))
        return QComboBox::eventFilter(objeto, evento);
    // Sin escritura, la elección solo cambia en la lista desplegable (que se abre con el ratón,
    // F4 o Alt+Abajo): las flechas y la rueda sobre el combo cerrado no eligen nada.
    if (evento->type() == QEvent::Wheel) return true;
    if (evento->type() == QEvent::KeyPress) {
        const auto* tecla = static_cast<QKeyEvent*>(evento);
        if (tecla->modifiers() & Qt::AltModifier) return false;
        switch (tecla->key()) {
            case Qt::Key_Up:
            case Qt::Key_Down:
            case Qt::Key_PageUp:
            case Qt::Key_PageDown:
            case Qt::Key_Home:
            case Qt::Key_End:
                return true;
            default:
                break;
        }
    }
    return QComboBox::eventFilter(objeto, evento);
}

bool ComboDatos::admiteEscritura() const {
    return !lineEdit()->isReadOnly();
}

bool ComboDatos::coincide() const {
    if (!m_tabla) return false;
    const int col = m_tabla->indiceCampo(m_columnaTexto);
    if (col < 0) return false;
    const QString t = currentText();
    const int n = m_tabla->numeroRegistros();
    for (int f = 0; f < n; ++f)
        if (m_tabla->valorEnFila(f, col).toString() == t) return true;
    return false;
}

QString ComboDatos::valorColumna(const QString& campo) const {
    return m_tabla ? valorColumna(m_tabla->indiceCampo(campo)) : QString();
}

QString ComboDatos::valorColumna(int columna) const {
    const int fila = filaElegida();
    if (fila < 0 || columna < 0 || columna >= m_tabla->campos().size()) return {};
    return m_tabla->valorEnFila(fila, columna).toString();
}

int ComboDatos::filaElegida() const {
    if (m_valor.isEmpty() || !m_tabla) return -1;
    // El índice del combo va a la par de la tabla salvo mientras se reinicia el modelo.
    const int actual = currentIndex();
    if (actual >= 0 && actual < m_modelo->rowCount() &&
        m_modelo->textoCampo(actual, m_columnaValor) == m_valor)
        return actual;
    return filaDeValor(m_valor);
}

int ComboDatos::filaDeValor(const QString& valor) const {
    if (!m_modelo || valor.isEmpty()) return -1;
    return m_modelo->filaDeValor(m_columnaValor, valor);
}

void ComboDatos::elegirEnSilencio(int fila) {
    const bool antes = m_silencio;
    m_silencio = true;
    setCurrentIndex(fila);
    if (fila < 0) setEditText(QString());
    m_textoElegido = currentText();
    m_silencio = antes;
}

void ComboDatos::alActivar(int fila) {
    if (m_silencio || !m_tabla) return;
    alCambiarIndice(fila);
    // QComboBox da por elegida la fila cuyo texto está escrito cada vez que la caja termina la
    // edición (al salir de ella o con Intro), aunque nadie haya tocado la lista: al pasar el foco
    // por un combo cuyo texto se puso desde el programa se ejecutaría su cascada. Solo cuenta
    // como elección una fila distinta de la elegida (escrita o tomada de la lista).
    if (m_valor == m_valorElegido) return;
    m_valorElegido = m_valor;
    emit filaElegidaPorUsuario();
}

void ComboDatos::alCambiarIndice(int fila) {
    if (m_silencio) return;
    const QString nuevo =
        fila >= 0 && m_tabla
            ? m_tabla->valorEnFila(fila, m_tabla->indiceCampo(m_columnaValor)).toString()
            : QString();
    m_textoElegido = fila >= 0 ? itemText(fila) : QString();
    if (nuevo == m_valor) return;
    m_valor = nuevo;
    emit cambiado();
}

void ComboDatos::alCambiarTexto(const QString& texto) {
    if (m_silencio) return;
    // Lo escrito a mano elige la fila que enseña ese mismo texto, o ninguna: el valor nunca es el
    // de una fila que ya no se ve en el combo.
    if (texto != m_textoElegido) m_valor = valorDeTexto(texto);
    m_textoElegido = texto;
    emit cambiado();
}

void ComboDatos::antesDeCambiarModelo() {
    m_silencio = true;
}

void ComboDatos::trasCambiarModelo() {
    // QComboBox ya eligió por su cuenta (la fila 0 o ninguna): se vuelve a la elección guardada.
    const int fila = filaDeValor(m_valor);
    const bool perdida = fila < 0 && !m_valor.isEmpty();
    if (perdida) {
        m_valor.clear();
        m_valorElegido.clear();
    }
    elegirEnSilencio(fila);
    aplicarAnchos();
    m_silencio = false;
    if (perdida) emit cambiado();
}
