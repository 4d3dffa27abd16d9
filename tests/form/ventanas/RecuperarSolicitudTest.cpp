// Leer una solicitud guardada: vuelve al formulario tal como se guardó, en las dos variantes del
// generador, y lo que no se puede leer se dice sin tocar los ficheros.
#include "../../apoyo/Ficheros.h"
#include "../../printing/DocxPrueba.h"
#include "../../printing/PlantillasReales.h"
#include "../../users/ventanas/Teclado.h"
#include "FormularioPrueba.h"
#include "catalogue/Esquemas.h"
#include "form/ventanas/PestanaResultas.h"
#include "form/ventanas/PestanaSolicitante.h"
#include "form/ventanas/PestanaVacantes.h"
#include "global/Globales.h"
#include "platform/ventanas/ComboDatos.h"
#include "printing/DocumentoWord.h"
#include "printing/PaqueteDocx.h"
#include "startup/ventanas/AbrirSolicitud.h"
#include "storage/CamposSolicitud.h"
#include "storage/SolicitudesGuardadas.h"
#include "ui_PestanaResultas.h"
#include "ui_PestanaSolicitante.h"
#include "ui_PestanaVacantes.h"
#include "users/Usuarios.h"

#include <sys/stat.h>
#include <QAction>
#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QRadioButton>
#include <QSet>
#include <QTabWidget>
#include <QTest>
#include <functional>
#include <random>

namespace {

class RecuperarSolicitudTest : public FormularioPrueba {
protected:
    void SetUp() override {
        FormularioPrueba::SetUp();
        const QString ficheros = G().RutaFicheros;
        if (!QFile::exists(ficheros + G().CarpetaPlantillas + "/PlantillaW97.dot")) {
            ASSERT_FALSE(construirPlantillasReales(ficheros, G().CarpetaPlantillas).isEmpty());
        }
        vaciarCarpeta();
        ASSERT_TRUE(usuarios.isValid());
        AbrirUsuarios(usuarios.filePath("usuarios.xml"));
        ASSERT_TRUE(AltaUsuario(G().DNIUsuario, "CLAVE").ok());
    }
    static void vaciarCarpeta() {
        for (const QString& f : QDir(G().RutaTemporal).entryList(QDir::Files | QDir::Hidden))
            QFile::remove(G().RutaTemporal + f);
    }
    // Un formulario nuevo, con las listas vacías como las deja la pantalla de carga, abierto como
    // lo abre el programa sobre la solicitud guardada.
    void abrirEnFormularioNuevo(const QString& fichero) {
        form.reset();
        G().rsCursos = CrearTablaCursos();
        G().rsDocumentos = CrearTablaDocumentos();
        G().rsVacantesSolicitadas = CrearTablaPlazasSolicitadas("rsVacantesSolicitadas");
        G().rsResultasSolicitadas = CrearTablaPlazasSolicitadas("rsResultasSolicitadas");
        ASSERT_NO_FATAL_FAILURE(crearFormulario());
        if (!fichero.isEmpty()) form->RecuperarSolicitud(fichero, G().RutaTemporal);
        procesar();
    }
    QString nombre() {
        return NombreFicheroSolicitud(G().DNIUsuario, ui().cboCuerpo->valor(),
                                      ui().cboGrupo->valor());
    }
    // Elige un cuerpo del catálogo (con su grupo) como lo elige una persona.
    void elegirCuerpo(int indice) {
        QStringList cuerpos;
        for (const PlazasCuerpo& e : G().IndicePlazasCuerpo)
            if (e.DesdeCatalogo && !e.CodCuerpo.startsWith('X')) cuerpos << e.CodCuerpo;
        ASSERT_FALSE(cuerpos.isEmpty());
        elegirFila(ui().cboCuerpo, cuerpos[indice % cuerpos.size()]);
    }
    // Guarda una solicitud pequeña (nombre, cuerpo, una plaza y un curso) y devuelve su nombre.
    QString guardarUna() {
        ui().txtNombre->setText("Begoña");
        ui().txtApellido1->setText("Pérez");
        ui().cboProvincia->setTexto(G().rsProvinciasPersonales->valorEnFila(0, 1).toString());
        elegirCuerpo(0);
        EXPECT_TRUE(G().rsVacantesSolicitadas
                        ->anadirRegistro({qint64(1), qint64(1), "10001", "Enfermero/a", "Hospital",
                                          "Cáceres", "1", "2", "Área", "Zona"})
                        .ok());
        EXPECT_TRUE(
            G().rsCursos
                ->anadirRegistro({"Soporte vital", qint64(20), qint64(2019), "Escuela", qint64(1)})
                .ok());
        EXPECT_TRUE(form->GuardarSolicitud(false, false));
        return nombre();
    }
    // Rellena toda la solicitud que la primera pestaña deja rellenar (con destino actual en la
    // región, discapacidad, cónyuge, otro servicio de salud y otra situación) eligiendo cada combo
    // de su lista.
    void rellenarEntera() {
        frmSolicitudes& f = *form;
        Ui::PestanaSolicitante& d = ui();
        PestanaSolicitante& p = *f.pestanaSolicitante();
        for (QRadioButton* o : {d.OptSi, d.optDiscSi, d.optPetConyugeSi, d.optSSOtros,
                                d.optDefinitivo, d.optOtras, d.optReingesoSi})
            p.elegirOpcion(o);
        const PTabla& situaciones = G().rsSituaciones;
        for (int fila = 0; fila < situaciones->numeroRegistros(); ++fila)
            if (situaciones->valorEnFila(fila, 2).toString() != "1") {
                elegirFila(d.cboSituaciones, situaciones->valorEnFila(fila, 0).toString());
                break;
            }
        elegirFila(d.cboProvincia, G().rsProvinciasPersonales->valorEnFila(0, 0).toString());
        // Una provincia con áreas, localidades y, en su primera área, zonas.
        const PTabla& provincias = G().rsProvincias;
        for (int fila = 0; fila < provincias->numeroRegistros(); ++fila) {
            elegirFila(d.cboProvinciasTarv, provincias->valorEnFila(fila, 0).toString());
            if (G().rsAreasTarv->numeroRegistros() == 0 ||
                G().rsLocalidadesTarv->numeroRegistros() == 0)
                continue;
            elegirFila(d.cboAreaTarv, G().rsAreasTarv->valorEnFila(0, 0).toString());
            if (G().rsZonasTarv->numeroRegistros() == 0) continue;
            elegirFila(d.cboZBSTarv, G().rsZonasTarv->valorEnFila(0, 0).toString());
            elegirFila(d.cboLocalidadesTarv, G().rsLocalidadesTarv->valorEnFila(0, 0).toString());
            break;
        }
        // La preferencia no se enseña, pero se guarda e imprime.
        for (ComboDatos* c : {d.cboPrefArea, d.cboPrefLocalidad, d.cboPrefProvincia})
            c->setTexto(c->tabla()->valorEnFila(0, 1).toString());
        for (QWidget* c : f.controlesConCampo()) {
            auto* caja = qobject_cast<QLineEdit*>(c);
            if (!caja || caja == d.txtDNI || caja == d.txtSitAdm) continue;
            QString texto = "Texto de " + caja->objectName();
            if (caja == d.txtFecNacimiento || caja == d.txtFechaIngreso || caja == d.txtFechaSit ||
                caja == d.txtFecPosesion)
                texto = "03/11/1975";
            else if (caja == d.txtDNIConyuge)
                texto = "87654321X";
            else if (caja == d.txtTelefono)
                texto = "924123456";
            else if (caja == d.txtCP)
                texto = "06800";
            caja->setText(texto.left(caja->maxLength()));
        }
    }

    // Recorre con Tab y con Mayús+Tab los controles de cada pestaña, sin escribir ni elegir nada.
    // Devuelve los controles por los que pasó el foco.
    QSet<QWidget*> recorrerConTab() {
        frmSolicitudes& f = *form;
        QSet<QWidget*> visitados;
        QTabWidget* pestanas = f.tabPrincipal();
        for (int i = 0; i < pestanas->count(); ++i) {
            if (!pestanas->isTabEnabled(i)) continue;
            pestanas->setCurrentIndex(i);
            procesar();
            QWidget* pagina = pestanas->widget(i);
            QList<QWidget*> enfocables;
            for (QWidget* w : pagina->findChildren<QWidget*>())
                if ((w->focusPolicy() & Qt::TabFocus) && w->isVisible() && w->isEnabled())
                    enfocables << w;
            if (enfocables.isEmpty()) continue;
            enfocables.first()->setFocus(Qt::TabFocusReason);
            procesar();
            for (Qt::KeyboardModifier sentido : {Qt::NoModifier, Qt::ShiftModifier})
                for (int paso = 0; paso < enfocables.size() + 4; ++paso) {
                    QWidget* foco = QApplication::focusWidget();
                    if (!foco) break;
                    visitados.insert(foco);
                    QTest::keyClick(foco, Qt::Key_Tab, sentido);
                    procesar();
                }
        }
        pestanas->setCurrentIndex(0);
        procesar();
        return visitados;
    }
    QTemporaryDir usuarios;
};

// Lo que se compara: cada control con campo (texto, opción o texto del combo) y cada fila de las
// cuatro listas, columna a columna.
struct Foto {
    QStringList controles;
    QVector<QStringList> listas[4];
};

Foto fotografiar(frmSolicitudes& f) {
    Foto foto;
    for (QWidget* c : f.controlesConCampo()) {
        QString valor;
        if (auto* caja = qobject_cast<QLineEdit*>(c)) valor = caja->text();
        if (auto* opcion = qobject_cast<QRadioButton*>(c)) valor = opcion->isChecked() ? "1" : "0";
        if (auto* combo = qobject_cast<ComboDatos*>(c)) valor = combo->texto();
        foto.controles << c->objectName() + "=" + valor;
    }
    const PTabla tablas[4] = {G().rsVacantesSolicitadas, G().rsResultasSolicitadas, G().rsCursos,
                              G().rsDocumentos};
    for (int i = 0; i < 4; ++i) {
        const PTabla& t = tablas[i];
        for (int fila = 0; fila < t->numeroRegistros(); ++fila) {
            QStringList columnas;
            for (int c = 0; c < t->campos().size(); ++c)
                columnas << t->valorEnFila(fila, c).toString();
            foto.listas[i] << columnas;
        }
    }
    return foto;
}

// Las diferencias entre dos listas de textos, legibles.
void compararTextos(const QStringList& leida, const QStringList& esperada, const char* que) {
    EXPECT_EQ(leida.size(), esperada.size()) << que;
    int diferencias = 0;
    for (qsizetype i = 0; i < qMin(leida.size(), esperada.size()) && diferencias < 5; ++i)
        if (leida[i] != esperada[i]) {
            ++diferencias;
            ADD_FAILURE() << que << " " << i << ": se leyó «" << leida[i].toStdString()
                          << "» y se guardó «" << esperada[i].toStdString() << "»";
        }
}

void compararFotos(const Foto& leida, const Foto& esperada) {
    compararTextos(leida.controles, esperada.controles, "control");
    const char* nombres[4] = {"Vacantes", "Resultas", "cursos", "documentos"};
    for (int i = 0; i < 4; ++i) {
        QStringList a, b;
        for (const QStringList& f : leida.listas[i]) a << f.join(QChar('|'));
        for (const QStringList& f : esperada.listas[i]) b << f.join(QChar('|'));
        compararTextos(a, b, nombres[i]);
    }
}

// Solicitudes variadas a partir de una semilla: opciones, textos vacíos o de la longitud máxima
// con tildes, "<", "&", comillas, "€" y una letra griega, y listas de 0 a 300 plazas.
class Generador {
public:
    explicit Generador(unsigned semilla) : m_azar(semilla) {}
    int entre(int desde, int hasta) {
        return std::uniform_int_distribution<int>(desde, hasta)(m_azar);
    }
    bool moneda() { return entre(0, 1) == 1; }
    QString texto(int maximo) {
        static const QString letras =
            QStringLiteral("abcdeñoúÁÉÍÓÚÜÑáéíóü <>&\"'€Ω0123456789-/ºª.,;()");
        const int caso = entre(0, 4);
        const int largo = caso == 0 ? 0 : caso == 1 ? maximo : entre(1, maximo);
        QString s;
        for (int i = 0; i < largo; ++i) s += letras[entre(0, int(letras.size()) - 1)];
        return s;
    }
    QString digitos(int n) {
        QString s;
        for (int i = 0; i < n; ++i) s += QChar('0' + entre(0, 9));
        return s;
    }

private:
    std::mt19937 m_azar;
};

// Rellena las listas de plazas, cursos y documentos de G() con filas del generador.
void rellenarListas(Generador& g) {
    for (const PTabla& t : {G().rsVacantesSolicitadas, G().rsResultasSolicitadas}) {
        const int n = g.entre(0, 3) == 0 ? 0 : g.entre(0, 3) == 0 ? 300 : g.entre(1, 60);
        for (int i = 1; i <= n; ++i)
            ASSERT_TRUE(t->anadirRegistro({qint64(i), qint64(i), g.digitos(g.entre(1, 5)),
                                           g.texto(50), g.texto(50), g.texto(53), g.digitos(8),
                                           g.digitos(4), g.texto(50), g.texto(50)})
                            .ok());
    }
    for (int i = 1, n = g.entre(0, 40); i <= n; ++i)
        ASSERT_TRUE(G().rsCursos
                        ->anadirRegistro({g.texto(100), qint64(g.entre(1, 900)),
                                          qint64(g.entre(1970, 2026)), g.texto(100), qint64(i)})
                        .ok());
    for (int i = 1, n = g.entre(0, 40); i <= n; ++i)
        ASSERT_TRUE(
            G().rsDocumentos
                ->anadirRegistro({qint64(i), g.texto(100), g.texto(6), g.texto(10), g.texto(100)})
                .ok());
}

// En el fichero de listas, el nombre y el centro de un curso y el nombre de un documento llevan
// cada "&" como un blanco.
void sinAmpersand(Foto& foto) {
    for (QStringList& fila : foto.listas[2]) {
        fila[0].replace('&', ' ');
        fila[3].replace('&', ' ');
    }
    for (QStringList& fila : foto.listas[3]) fila[1].replace('&', ' ');
}

TEST_F(RecuperarSolicitudTest, MuchasSolicitudesVuelvenIgualQueSeGuardaron) {
    int solicitudes = 0;
    // Cuántas veces sale cada caso que cuenta: que el azar no deje ninguno sin probar.
    int conOtros = 0, sinServicio = 0, situacionAMano = 0, con300 = 0;
    QElapsedTimer reloj;
    reloj.start();
    for (const char* version : {"16", "8"}) {
        const bool xp = QString(version) == "16";
        for (unsigned semilla = 1; semilla <= 50; ++semilla) {
            SCOPED_TRACE(QString("versión %1, semilla %2").arg(version).arg(semilla).toStdString());
            vaciarCarpeta();
            abrirEnFormularioNuevo(QString());
            G().VersionWord = version;
            Generador g(semilla * 7919 + (xp ? 0 : 1));
            PestanaSolicitante& p = *form->pestanaSolicitante();
            Ui::PestanaSolicitante& d = ui();
            const auto una = [&](QRadioButton* a, QRadioButton* b) {
                p.elegirOpcion(g.moneda() ? a : b);
            };
            ASSERT_NO_FATAL_FAILURE(elegirCuerpo(g.entre(0, 100)));
            una(d.optForzoso, d.optVoluntario);
            if (d.optVoluntario->isChecked()) una(d.optPetConyugeSi, d.optPetConyugeNo);
            una(d.optDiscSi, d.optDiscNo);
            una(d.OptSi, d.OptNo);
            if (d.OptSi->isChecked()) {
                una(d.optSSNorsa, d.optSSOtros);
                una(d.optDefinitivo, d.optTemporal);
            }
            una(d.optActivo, d.optOtras);
            if (d.optOtras->isChecked()) {
                una(d.optReingesoSi, d.optReingresoNo);
                const PTabla& s = G().rsSituaciones;
                elegirFila(d.cboSituaciones,
                           s->valorEnFila(g.entre(0, s->numeroRegistros() - 1), 0).toString());
            }
            for (QWidget* c : form->controlesConCampo()) {
                auto* caja = qobject_cast<QLineEdit*>(c);
                // Una fecha imposible no se guarda: las cajas de fecha llevan fechas.
                const bool fecha = caja == d.txtFecNacimiento || caja == d.txtFechaIngreso ||
                                   caja == d.txtFechaSit || caja == d.txtFecPosesion;
                if (caja && fecha && caja->isVisibleTo(form.get()))
                    caja->setText(
                        QDate(1950 + g.entre(0, 60), 1 + g.entre(0, 11), 1 + g.entre(0, 27))
                            .toString("dd/MM/yyyy"));
                else if (caja && !fecha && caja != d.txtDNI && caja->isVisibleTo(form.get()))
                    caja->setText(g.texto(caja->maxLength() < 200 ? caja->maxLength() : 60));
                auto* combo = qobject_cast<ComboDatos*>(c);
                if (!combo || combo == d.cboCuerpo || combo == d.cboGrupo ||
                    combo == d.SSOleDBCombo1 || !combo->tabla())
                    continue;
                const int filas = combo->tabla()->numeroRegistros();
                const int columna = combo->tabla()->indiceCampo(combo->columnaTexto());
                combo->setTexto(
                    g.entre(0, 3) == 0 || filas == 0
                        ? QString()
                        : combo->tabla()->valorEnFila(g.entre(0, filas - 1), columna).toString());
            }
            // Quien condiciona su petición a la del cónyuge da su DNI.
            if (d.optPetConyugeSi->isChecked() && d.txtDNIConyuge->text().isEmpty())
                d.txtDNIConyuge->setText("87654321X");
            ASSERT_NO_FATAL_FAILURE(rellenarListas(g));
            Foto esperada = fotografiar(*form);
            // Sin destino actual, la variante moderna no marca el carácter ni el servicio.
            const bool sinDestino = d.OptNo->isChecked();
            if (xp && sinDestino)
                for (QString& c : esperada.controles)
                    for (const char* o :
                         {"optDefinitivo", "optTemporal", "optSSNorsa", "optSSOtros"})
                        if (c.startsWith(QString(o) + "=")) c = QString(o) + "=0";
            const bool servicio = d.optSSNorsa->isChecked() || d.optSSOtros->isChecked();
            const QString situacion = d.txtSitAdm->text();
            const bool situacionDeLaLista = [&] {
                const PTabla& s = G().rsSituaciones;
                for (int f = 0; f < s->numeroRegistros(); ++f)
                    if (s->valorEnFila(f, 1).toString() == situacion) return true;
                return false;
            }();
            const QString categoria = form->lblCat()->text();
            sinAmpersand(esperada);
            ASSERT_TRUE(form->GuardarSolicitud(false, false))
                << mensajes.textos().join('|').toStdString();
            const QString fichero = nombre();
            mensajes.limpiar();
            const QString doc = G().RutaTemporal + fichero;
            const QString xml = G().RutaTemporal + NombreFicheroListas(fichero);
            const QByteArray docAntes = leerBytes(doc), xmlAntes = leerBytes(xml);
            abrirEnFormularioNuevo(fichero);
            EXPECT_TRUE(mensajes.mostrados().isEmpty())
                << mensajes.textos().join('|').toStdString();
            // Leer no escribe nada.
            EXPECT_EQ(leerBytes(doc), docAntes);
            EXPECT_EQ(leerBytes(xml), xmlAntes);
            compararFotos(fotografiar(*form), esperada);
            EXPECT_EQ(form->lblCat()->text(), categoria);
            // Sin ningún servicio de salud marcado, "No" destino actual.
            EXPECT_EQ(ui().OptNo->isChecked(), !servicio || (xp && sinDestino));
            // Una situación escrita a mano es "08"; la de la lista se queda con su texto.
            if (ui().optOtras->isChecked()) {
                if (situacionDeLaLista) {
                    EXPECT_EQ(ui().cboSituaciones->texto(), situacion);
                } else {
                    EXPECT_EQ(ui().cboSituaciones->valor(), "08");
                    EXPECT_TRUE(ui().txtSitAdm->isVisibleTo(form.get()));
                }
            }
            EXPECT_FALSE(form->txtDNI()->isEnabled());
            EXPECT_FALSE(ui().cboCuerpo->isEnabled());
            EXPECT_FALSE(ui().cboGrupo->isEnabled());
            EXPECT_EQ(nombre(), fichero);
            for (int orden : {1000, 2000, 2500}) EXPECT_TRUE(form->mnuP(orden)->isEnabled());
            ++solicitudes;
            conOtros += ui().optSSOtros->isChecked() && !ui().OptNo->isChecked();
            sinServicio += ui().OptNo->isChecked();
            situacionAMano += ui().optOtras->isChecked() && !situacionDeLaLista;
            con300 += G().rsVacantesSolicitadas->numeroRegistros() == 300 ||
                      G().rsResultasSolicitadas->numeroRegistros() == 300;
            if (HasFatalFailure()) return;
        }
    }
    std::printf(
        "[ solicitudes ] %d guardadas y leídas en %lld ms (Otros %d, sin servicio %d, "
        "situación a mano %d, con 300 plazas %d)\n",
        solicitudes, static_cast<long long>(reloj.elapsed()), conOtros, sinServicio, situacionAMano,
        con300);
    EXPECT_EQ(solicitudes, 100);
    for (int casos : {conOtros, sinServicio, situacionAMano, con300}) EXPECT_GT(casos, 0);
}

// Abrir una solicitud y pasar el foco por todo no cambia nada: lo que se vuelve a guardar es lo
// mismo que se guardó. Una cascada solo se ejecuta al elegir otra fila, no al pasar el foco.
TEST_F(RecuperarSolicitudTest, PasarElFocoPorTodoNoCambiaLoGuardado) {
    ASSERT_NO_FATAL_FAILURE(elegirCuerpo(0));
    ASSERT_NO_FATAL_FAILURE(rellenarEntera());
    ASSERT_TRUE(form->GuardarSolicitud(false, false)) << mensajes.textos().join('|').toStdString();
    const QString fichero = nombre();
    QStringList campos;
    for (QWidget* c : form->controlesConCampo()) campos << c->property("campo").toString();
    const auto original = LeerCamposSolicitud(G().RutaTemporal + fichero, campos);
    ASSERT_TRUE(original.ok());
    for (const char* campo : {"PROVINCIATarv", "AREATarv", "ZBSTarv", "LOCALIDADTarv", "PROVINCIA",
                              "CUALOTRAS", "AREAPREFERENCIA", "NDNICONYUGE", "TIPODISCAPACIDAD"})
        ASSERT_FALSE(original.valor().textos.value(campo).isEmpty()) << campo;

    mensajes.limpiar();
    abrirEnFormularioNuevo(fichero);
    ASSERT_TRUE(mensajes.mostrados().isEmpty()) << mensajes.textos().join('|').toStdString();
    // La ventana de progreso de la lectura se llevó la activación: sin ella no hay foco.
    ASSERT_TRUE(mostrarActiva(form.get()));
    const QSet<QWidget*> visitados = recorrerConTab();
    for (QWidget* combo : std::initializer_list<QWidget*>{
             ui().cboProvincia, ui().cboProvinciasTarv, ui().cboAreaTarv, ui().cboZBSTarv,
             ui().cboLocalidadesTarv, ui().cboSituaciones,
             form->pestanaVacantes()->controles().cboProvinciaVacantes,
             form->pestanaResultas()->controles().cboProvinciaResultas})
        EXPECT_TRUE(visitados.contains(combo) ||
                    visitados.contains(static_cast<QComboBox*>(combo)->lineEdit()))
            << "el foco no pasó por " << combo->objectName().toStdString();
    EXPECT_TRUE(mensajes.mostrados().isEmpty()) << mensajes.textos().join('|').toStdString();
    ASSERT_TRUE(form->GuardarSolicitud(false, false)) << mensajes.textos().join('|').toStdString();
    const auto despues = LeerCamposSolicitud(G().RutaTemporal + fichero, campos);
    ASSERT_TRUE(despues.ok());
    for (auto it = original.valor().textos.cbegin(); it != original.valor().textos.cend(); ++it)
        EXPECT_EQ(despues.valor().textos.value(it.key()).toStdString(), it.value().toStdString())
            << it.key().toStdString();
    for (auto it = original.valor().casillas.cbegin(); it != original.valor().casillas.cend(); ++it)
        EXPECT_EQ(despues.valor().casillas.value(it.key()), it.value()) << it.key().toStdString();
}

// Lo que el documento o el fichero de listas no dejan leer se dice, nombrando el fichero y por
// qué, y que guardar lo sustituirá; los ficheros se quedan como estaban y el formulario sirve.
TEST_F(RecuperarSolicitudTest, LoQueNoSePuedeLeerSeDiceSinTocarLosFicheros) {
    const QString fichero = guardarUna();
    const QString doc = G().RutaTemporal + fichero;
    const QString xml = G().RutaTemporal + NombreFicheroListas(fichero);
    const QByteArray docBueno = leerBytes(doc), xmlBueno = leerBytes(xml);
    const QString cuerpo = ui().cboCuerpo->valor();
    const struct {
        const char* caso;
        std::function<void()> estropear;
        bool documentoLeido;
        QString ruta, causa;
        int cursos;  // los que se leen del fichero de listas
    } casos[] = {
        {"no es un paquete", [&] { escribirBytes(doc, "esto no es un documento"); }, false, doc, "",
         1},
        {"cortado", [&] { escribirBytes(doc, docBueno.left(docBueno.size() / 2)); }, false, doc, "",
         1},
        {"de otro programa",
         [&] {
             ASSERT_TRUE(escribirDocxPrueba(doc, {{"Una carta cualquiera", {}}}));
         },
         false, doc, "no es una solicitud guardada por este programa", 1},
        {"sin listas", [&] { QFile::remove(xml); }, true, xml, "el fichero no existe", 0},
        {"listas mal formadas", [&] { escribirBytes(xml, "<Plazas><Vacantes>"); }, true, xml,
         "no es un fichero XML bien formado", 0},
        // El registro malo no se lleva los cursos, que van detrás.
        {"listas sin un elemento",
         [&] {
             escribirBytes(xml, QByteArray(xmlBueno).replace("<IdSolicitud>1</IdSolicitud>", ""));
         },
         true, xml, "IdSolicitud", 1},
        {"listas que son un FIFO",
         [&] {
             QFile::remove(xml);
             ASSERT_EQ(::mkfifo(QFile::encodeName(xml).constData(), 0600), 0);
         },
         true, xml, "no es un fichero normal", 0},
        // El programa murió entre poner el documento y poner las listas: las listas son de un
        // guardado anterior (otro sello).
        {"guardado interrumpido",
         [&] {
             ASSERT_TRUE(xmlBueno.contains("sello=\""));
             escribirBytes(xml, QByteArray(xmlBueno).replace("sello=\"", "sello=\"0"));
         },
         true, xml, "un guardado se interrumpió", 1},
        // Un documento sin sello junto a unas listas con él: no se sabe si van juntos.
        {"documento sin sello",
         [&] {
             auto paquete = PaqueteDocx::leer(doc);
             ASSERT_TRUE(paquete.ok());
             ASSERT_FALSE(paquete.valor().comentario().isEmpty());
             paquete.valor().ponerComentario({});
             ASSERT_TRUE(paquete.valor().escribir(doc).ok());
         },
         true, xml, "las listas dicen de qué guardado son y el documento no", 1},
        // XML bien formado, pero de otra cosa: no son unas listas vacías.
        {"XML que no es de listas",
         [&] {
             escribirBytes(xml, "<?xml version=\"1.0\"?><Pedido><Vacantes/><Cursos/></Pedido>");
         },
         true, xml, "es un fichero XML, pero no el de las listas de una solicitud", 0},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.caso);
        QFile::remove(xml);
        escribirBytes(doc, docBueno);
        escribirBytes(xml, xmlBueno);
        ASSERT_NO_FATAL_FAILURE(c.estropear());
        const bool fifo = QFileInfo(xml).isFile() == false && QFile::exists(xml);
        const QByteArray docAntes = leerBytes(doc), xmlAntes = fifo ? QByteArray() : leerBytes(xml);
        const bool habiaListas = QFile::exists(xml);
        mensajes.limpiar();
        abrirEnFormularioNuevo(fichero);
        ASSERT_EQ(mensajes.mostrados().size(), 1);
        const MensajeMostrado& m = mensajes.mostrados()[0];
        EXPECT_EQ(m.titulo, "Recuperar solicitud");
        EXPECT_EQ(m.icono, Icono::Exclamacion);
        EXPECT_TRUE(m.texto.contains("\"" + c.ruta + "\"")) << m.texto.toStdString();
        EXPECT_TRUE(m.texto.contains(c.causa)) << m.texto.toStdString();
        EXPECT_TRUE(m.texto.contains("Si guarda la solicitud, ese fichero se sustituirá"));
        // Nada cambia en la carpeta por leer.
        EXPECT_EQ(leerBytes(doc), docAntes);
        if (!fifo) {
            EXPECT_EQ(leerBytes(xml), xmlAntes);
        }
        EXPECT_EQ(QFile::exists(xml), habiaListas);
        // Lo que sí se pudo leer está; el cuerpo y el grupo son los del nombre del fichero.
        EXPECT_EQ(ui().txtNombre->text(), c.documentoLeido ? "Begoña" : "");
        EXPECT_EQ(G().rsCursos->numeroRegistros(), c.cursos);
        EXPECT_EQ(ui().cboCuerpo->valor(), cuerpo);
        EXPECT_EQ(nombre(), fichero);
        // El formulario sirve: se cambia de pestaña y se puede guardar.
        form->tabPrincipal()->setCurrentIndex(2);
        EXPECT_EQ(form->tabPrincipal()->currentIndex(), 2);
        for (int orden : {1000, 2000, 2500}) EXPECT_TRUE(form->mnuP(orden)->isEnabled());
    }
    // Guardar sustituye lo estropeado y la solicitud vuelve a leerse entera.
    ui().txtNombre->setText("Begoña");
    ASSERT_TRUE(form->GuardarSolicitud(false, false));
    mensajes.limpiar();
    abrirEnFormularioNuevo(fichero);
    EXPECT_TRUE(mensajes.mostrados().isEmpty()) << mensajes.textos().join('|').toStdString();
    EXPECT_EQ(ui().txtNombre->text(), "Begoña");
}

// El programa abre la solicitud elegida en el selector (FicheroSolicitud) al abrir el formulario.
TEST_F(RecuperarSolicitudTest, AbrirSolicitudLeeLaElegida) {
    const QString fichero = guardarUna();
    form.reset();
    G().rsCursos = CrearTablaCursos();
    G().rsDocumentos = CrearTablaDocumentos();
    G().rsVacantesSolicitadas = CrearTablaPlazasSolicitadas("rsVacantesSolicitadas");
    G().rsResultasSolicitadas = CrearTablaPlazasSolicitadas("rsResultasSolicitadas");
    G().FicheroSolicitud = fichero;
    std::unique_ptr<frmSolicitudes> abierto(AbrirSolicitud());
    ASSERT_TRUE(abierto);
    abierto->setAttribute(Qt::WA_DeleteOnClose, false);
    procesar();
    auto& d = abierto->pestanaSolicitante()->controles();
    EXPECT_EQ(d.txtNombre->text(), "Begoña");
    EXPECT_EQ(G().rsVacantesSolicitadas->numeroRegistros(), 1);
    EXPECT_EQ(G().rsCursos->numeroRegistros(), 1);
    EXPECT_FALSE(d.cboCuerpo->isEnabled());
    EXPECT_TRUE(d.OptSi->isChecked());  // se guardó con el servicio de salud NORSA
    EXPECT_TRUE(mensajes.mostrados().isEmpty()) << mensajes.textos().join('|').toStdString();
    // Las plazas del cuerpo quedan cargadas: se siguen pidiendo plazas.
    ASSERT_TRUE(G().rsVacantesCuerpo && G().rsResultasCuerpo);
    ASSERT_GT(G().rsVacantesCuerpo->numeroRegistros(), 0);
    abierto->tabPrincipal()->setCurrentIndex(2);
    auto& v = abierto->pestanaVacantes()->controles();
    elegirFila(v.cboPuestoVacante, G().rsVacantesCuerpo->valorEnFila(0, 0).toString());
    v.cmdAceptarVacante->click();
    procesar();
    EXPECT_EQ(G().rsVacantesSolicitadas->numeroRegistros(), 2);
    EXPECT_EQ(abierto->pestanaResultas()->controles().cboPuestoResultas->tabla(),
              G().rsResultasCuerpo);
}

// Un combo se lee de su campo, no de la copia con "1" que el documento también lleva.
TEST_F(RecuperarSolicitudTest, LaCopiaConUnoDeUnComboNoSeLee) {
    const QString fichero = guardarUna();
    const QString provincia = ui().cboProvincia->texto();
    ASSERT_FALSE(provincia.isEmpty());
    const QString doc = G().RutaTemporal + fichero;
    auto documento = DocumentoWord::nuevoDesdePlantilla(doc);
    ASSERT_TRUE(documento.ok());
    ASSERT_TRUE(documento.valor().ponerCampoTexto("PROVINCIA1", "Otra provincia").ok());
    ASSERT_TRUE(documento.valor().guardarComo(doc).ok());
    abrirEnFormularioNuevo(fichero);
    EXPECT_EQ(ui().cboProvincia->texto(), provincia);
}

// Una solicitud abierta en otro programa se avisa al abrirla y no se guarda aquí (desharía lo que
// se guarde allí); cuando el otro la cierra, se puede guardar.
TEST_F(RecuperarSolicitudTest, AbiertaEnOtroProgramaNoSeGuardaAqui) {
    const QString fichero = guardarUna();
    const QString doc = G().RutaTemporal + fichero;
    const QByteArray antes = leerBytes(doc);
    std::unique_ptr<frmSolicitudes> primero = std::move(form);
    mensajes.limpiar();
    abrirEnFormularioNuevo(fichero);
    ASSERT_EQ(mensajes.mostrados().size(), 1);
    EXPECT_EQ(mensajes.mostrados()[0].titulo, "Recuperar solicitud");
    EXPECT_TRUE(mensajes.mostrados()[0].texto.contains("está abierta en otra ventana"));
    EXPECT_EQ(ui().txtNombre->text(), "Begoña");
    mensajes.limpiar();
    ui().txtNombre->setText("Otro nombre");
    EXPECT_FALSE(form->GuardarSolicitud(false, false));
    ASSERT_EQ(mensajes.mostrados().size(), 1);
    EXPECT_EQ(mensajes.mostrados()[0].titulo, "Solicitud en uso");
    EXPECT_TRUE(mensajes.mostrados()[0].texto.contains(doc));
    EXPECT_EQ(leerBytes(doc), antes);
    primero.reset();
    mensajes.limpiar();
    EXPECT_TRUE(form->GuardarSolicitud(false, false));
    EXPECT_TRUE(mensajes.mostrados().isEmpty()) << mensajes.textos().join('|').toStdString();
}

// Un bloqueo que no se puede tomar (una carpeta o un enlace con su nombre) no se pasa por alto:
// sin él, dos copias del programa guardarían una encima de la otra. Se dice al abrirla y guardar
// se rechaza hasta que se pueda tomar.
TEST_F(RecuperarSolicitudTest, UnBloqueoQueNoSePuedeTomarSeDiceYNoDejaGuardar) {
    const QString fichero = guardarUna();
    const QString doc = G().RutaTemporal + fichero;
    const QString bloqueo = G().RutaTemporal + "." + NombreFicheroListas(fichero) + ".bloqueo";
    const struct {
        const char* caso;
        std::function<bool()> poner;
        const char* causa;
    } casos[] = {
        {"carpeta", [&] { return QDir().mkdir(bloqueo); }, "en su lugar hay una carpeta"},
        {"enlace", [&] { return QFile::link(G().RutaTemporal + "otro", bloqueo); },
         "en su lugar hay un enlace"},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.caso);
        mensajes.limpiar();
        form.reset();  // suelta el bloqueo que tenía
        const QByteArray antes = leerBytes(doc);
        ASSERT_TRUE(c.poner());
        abrirEnFormularioNuevo(fichero);
        ASSERT_EQ(mensajes.mostrados().size(), 1);
        EXPECT_EQ(mensajes.mostrados()[0].titulo, "Recuperar solicitud");
        EXPECT_TRUE(mensajes.mostrados()[0].texto.contains("No se puede tomar el bloqueo"));
        EXPECT_TRUE(mensajes.mostrados()[0].texto.contains(c.causa))
            << mensajes.mostrados()[0].texto.toStdString();
        mensajes.limpiar();
        ui().txtNombre->setText("Otro nombre");
        EXPECT_FALSE(form->GuardarSolicitud(false, false));
        ASSERT_EQ(mensajes.mostrados().size(), 1);
        EXPECT_TRUE(mensajes.mostrados()[0].texto.startsWith(
            "No se ha guardado la solicitud.\nNo se puede tomar el bloqueo"))
            << mensajes.mostrados()[0].texto.toStdString();
        EXPECT_EQ(leerBytes(doc), antes);
        // Quitado lo que ocupaba su nombre, se toma y se guarda.
        ASSERT_TRUE(QFile::remove(bloqueo) || QDir().rmdir(bloqueo));
        mensajes.limpiar();
        EXPECT_TRUE(form->GuardarSolicitud(false, false));
        EXPECT_TRUE(mensajes.mostrados().isEmpty()) << mensajes.textos().join('|').toStdString();
        EXPECT_NE(leerBytes(doc), antes);
    }
}

}  // namespace
