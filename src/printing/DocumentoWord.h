#pragma once

#include "platform/Resultado.h"

#include <QString>
#include <QStringList>
#include <memory>

// Motor de documentos del procesador de textos: paquetes DOCX (WordprocessingML) leídos y
// escritos con libzip y pugixml. Ofrece lo que necesitan el guardado, la impresión y la lectura
// de una solicitud: documento nuevo desde una plantilla, marcadores, campos de formulario
// antiguos (FORMTEXT y FORMCHECKBOX), tablas, saltos de página, imágenes en línea y
// buscar-y-reemplazar.
//
// Filas, columnas y tablas se numeran desde 1, como en el procesador de textos. Las medidas van
// en twips (1/1440 de pulgada; 567 twips = 1 cm).
//
// Los fallos de un paso (un campo, marcador o tabla que la plantilla no tiene, una celda fuera
// de la tabla) se devuelven como Resultado: el generador los pasa por alto y sigue.

enum class Alineacion { Izquierda, Centro, Derecha, Justificada };

struct NucleoDocumento;

// Una celda de una tabla del documento. Se obtiene de TablaWord::celda().
class CeldaWord {
public:
    bool valida() const { return m_tc != nullptr; }
    // Sustituye el contenido por el texto; "\r\n" (o "\n") separa párrafos. El texto toma el
    // formato de la marca de párrafo de la celda.
    Resultado escribir(const QString& texto);
    // Texto de la celda, con "\r\n" entre párrafos.
    QString texto() const;
    // Añade al final de la celda un párrafo con el texto, con el formato del último párrafo.
    Resultado anadirParrafo(const QString& texto = QString());
    // Añade un párrafo al final de la celda con la imagen en línea del tamaño dado.
    Resultado anadirImagen(const QString& rutaImagen, int anchoTwips, int altoTwips);
    // Alineación de todos los párrafos de la celda (también de los que se escriban después).
    Resultado alinear(Alineacion alineacion);
    Resultado ponerNegrita(bool negrita);
    Resultado ponerTamanoLetra(double puntos);
    int ancho() const;  // twips; 0 si la celda no lo dice
    Resultado ponerAncho(int twips);

private:
    friend class TablaWord;
    CeldaWord(NucleoDocumento* nucleo, void* tc) : m_nucleo(nucleo), m_tc(tc) {}
    NucleoDocumento* m_nucleo = nullptr;
    void* m_tc = nullptr;  // pugi::xml_node_struct* de la w:tc
};

// Una tabla del documento. Es un asa ligera: sigue valiendo mientras viva el DocumentoWord.
class TablaWord {
public:
    TablaWord() = default;
    bool valida() const { return m_tbl != nullptr; }
    int filas() const;
    int columnas() const;  // celdas de la primera fila, contando las combinadas por su extensión

    // Añade una fila al final con el formato de la última (bordes, anchos, alto, formato de las
    // marcas de párrafo) y las celdas vacías. Devuelve su número.
    int anadirFila();
    // Escribe los textos en las celdas de la fila, de izquierda a derecha.
    Resultado rellenarFila(int fila, const QStringList& textos);
    CeldaWord celda(int fila, int columna) const;  // inválida si no existe

    Resultado ponerAltoFila(int fila, int twips, bool exacto = true);
    int altoFila(int fila) const;  // 0 si la fila no lo fija
    // Ancho de la columna: rejilla de la tabla y la celda de esa columna en todas las filas.
    Resultado ponerAnchoColumna(int columna, int twips);
    int anchoCelda(int fila, int columna) const;  // 0 si no existe o no lo dice
    void ponerBordes(bool activos);
    // Formato de todo el texto de la tabla, también de lo que se escriba después en ella.
    void ponerTamanoLetra(double puntos);
    void ponerNegrita(bool negrita);
    Resultado alinearColumna(int columna, Alineacion alineacion);
    // Combina en una las celdas de la fila de `desde` a `hasta`; el texto de las demás se une al
    // de la primera.
    Resultado combinar(int fila, int desde, int hasta);

private:
    friend class DocumentoWord;
    friend class PuntoInsercion;
    TablaWord(NucleoDocumento* nucleo, void* tbl) : m_nucleo(nucleo), m_tbl(tbl) {}
    NucleoDocumento* m_nucleo = nullptr;
    void* m_tbl = nullptr;  // pugi::xml_node_struct* de la w:tbl
};

// Lugar del cuerpo del documento donde se van colocando, uno tras otro, párrafos, imágenes,
// saltos de página y tablas nuevas. Cada inserción deja el punto detrás de lo insertado.
class PuntoInsercion {
public:
    PuntoInsercion() = default;
    bool valido() const { return m_nucleo != nullptr; }
    // Un párrafo vacío (el salto de línea que se teclea al salir de una tabla).
    void saltoLinea();
    // Un párrafo con la imagen en línea, no vinculada y guardada en el documento.
    Resultado imagen(const QString& rutaImagen, int anchoTwips, int altoTwips,
                     Alineacion alineacion = Alineacion::Izquierda);
    // Un párrafo con un salto de página: lo que se inserte después empieza página.
    void saltoPagina();
    // Una tabla nueva de filas x columnas, con todos los bordes y columnas de igual ancho.
    TablaWord tabla(int filas, int columnas);

private:
    friend class DocumentoWord;
    PuntoInsercion(NucleoDocumento* nucleo, void* padre, void* anterior)
        : m_nucleo(nucleo), m_padre(padre), m_anterior(anterior) {}
    NucleoDocumento* m_nucleo = nullptr;
    void* m_padre = nullptr;     // w:body
    void* m_anterior = nullptr;  // lo insertado va detrás de este nodo
};

class DocumentoWord {
public:
    // Versión del motor, la que lee el formulario al cargarse (mayor que 8: variante moderna
    // del generador). simularVersion() la cambia para probar la variante antigua; 0 la devuelve
    // a la real.
    static int version();
    static void simularVersion(int version);

    // Documento nuevo hecho sobre una plantilla (o sobre un documento guardado, que solo se lee).
    // El tipo de la parte principal pasa a ser el de un documento.
    static ResultadoDe<DocumentoWord> nuevoDesdePlantilla(const QString& rutaPlantilla);

    DocumentoWord(DocumentoWord&&) noexcept;
    DocumentoWord& operator=(DocumentoWord&&) noexcept;
    ~DocumentoWord();

    // Guardar como: escribe el fichero y lo recuerda para guardar(). Ambas son atómicas.
    Resultado guardarComo(const QString& ruta);
    Resultado guardar();
    QString ruta() const;
    // Sello del guardado que escribió el documento (vacío si no lo lleva). El fichero de listas
    // de la misma solicitud lleva el mismo: si no coinciden, no son del mismo guardado.
    QString sello() const;
    void ponerSello(const QString& sello);

    // El texto sustituye el contenido del marcador (que sigue rodeando el texto escrito).
    Resultado escribirEnMarcador(const QString& marcador, const QString& texto);
    ResultadoDe<QString> textoMarcador(const QString& marcador) const;

    // Campos de formulario por su nombre: resultado de un campo de texto y estado de una casilla.
    Resultado ponerCampoTexto(const QString& nombre, const QString& texto);
    ResultadoDe<QString> campoTexto(const QString& nombre) const;
    Resultado ponerCasilla(const QString& nombre, bool marcada);
    ResultadoDe<bool> casilla(const QString& nombre) const;
    QStringList nombresCampos() const;

    // Tablas del cuerpo en orden de documento (las anidadas no cuentan).
    int numeroTablas() const;
    ResultadoDe<TablaWord> tabla(int indice) const;
    // La tabla que contiene el marcador.
    ResultadoDe<TablaWord> tablaConMarcador(const QString& marcador) const;

    // Punto de inserción justo detrás de la tabla (salir de la tabla por abajo).
    PuntoInsercion despuesDe(const TablaWord& tabla);
    // Busca el texto desde el principio del documento; si lo encuentra, lo deja al comienzo de
    // un párrafo propio y devuelve el punto justo delante de ese párrafo. El texto se queda.
    ResultadoDe<PuntoInsercion> delanteDeTexto(const QString& texto);
    // Cambia todas las apariciones del texto (distinguiendo mayúsculas); devuelve cuántas.
    int reemplazarTodo(const QString& buscado, const QString& reemplazo);

    // Texto plano del cuerpo, un párrafo por línea (para pruebas y comprobaciones).
    QString textoPlano() const;

private:
    DocumentoWord();
    std::unique_ptr<NucleoDocumento> d;
};

// Variante del generador según la versión leída del procesador de textos ("12", "8.0"...):
// verdadero para la antigua (versión 8 o menor).
bool esVersionAntigua(const QString& versionWord);

// La versión mayor del procesador de textos, la que el formulario guarda en VersionWord al
// cargarse.
int VersionDeWord();
