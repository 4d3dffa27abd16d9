#include "PlantillasReales.h"
#include "catalogue/Esquemas.h"
#include "global/Globales.h"
#include "printing/CodigoBarras.h"
#include "printing/GeneradorDocumento.h"
#include "printing/Impresion.h"
#include "printing/LecturaCodigos.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace {

// Textos de una línea: cada fila ocupa su alto mínimo y las hojas son las del reparto.
void prepararListas(int cursos, int documentos, int vacantes, int resultas) {
    G().rsCursos = CrearTablaCursos();
    for (int i = 1; i <= cursos; ++i) {
        auto& t = *G().rsCursos;
        ASSERT_TRUE(t.anadir().ok());
        t.establecer(QStringLiteral("Curso"),
                     QStringLiteral("Curso %1 de actualización en cuidados de enfermería").arg(i));
        t.establecer(QStringLiteral("NHoras"), 10 + i);
        t.establecer(QStringLiteral("Ano"), 1990 + i % 30);
        t.establecer(QStringLiteral("Centro"), QStringLiteral("Escuela de Ciencias de la Salud"));
    }
    G().rsDocumentos = CrearTablaDocumentos();
    for (int i = 1; i <= documentos; ++i) {
        G().rsDocumentos->anadir();
        // Un texto más largo que su campo no se guardaría y la prueba no vería nada.
        EXPECT_TRUE(
            G().rsDocumentos
                ->establecer(
                    QStringLiteral("Documento"),
                    QStringLiteral("Certificado de servicios prestados número %1 expedido por la "
                                   "Gerencia")
                        .arg(i))
                .ok());
    }
    const auto plazas = [](int n, const QString& prefijo) {
        PTabla t = CrearTablaPlazasSolicitadas();
        for (int i = 1; i <= n; ++i) {
            t->anadir();
            t->establecer(QStringLiteral("Orden"), i);
            t->establecer(QStringLiteral("CodConvocatoria"), QString::number(30000 + 7 * i));
            t->establecer(QStringLiteral("NomConvocatoria"),
                          prefijo + QStringLiteral(" de Atención Primaria y Urgencias"));
            t->establecer(QStringLiteral("Consejeria"),
                          QStringLiteral("Hospital Universitario Nuestra Señora"));
            t->establecer(QStringLiteral("Localidad"),
                          QStringLiteral("Villanueva de la Serena (Badajoz)"));
            t->establecer(QStringLiteral("Area"), QStringLiteral("Don Benito-Villanueva"));
        }
        return t;
    };
    G().rsVacantesSolicitadas = plazas(vacantes, QStringLiteral("Enfermero/a"));
    G().rsResultasSolicitadas = plazas(resultas, QStringLiteral("Fisioterapeuta"));
}

bool hayLibreOffice() {
    return !QStandardPaths::findExecutable(QStringLiteral("soffice")).isEmpty();
}

int paginasPdf(const QString& pdf) {
    QProcess p;
    p.start(QStringLiteral("pdfinfo"), {pdf});
    p.waitForFinished(30000);
    for (const QString& l : QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\n')))
        if (l.startsWith(QLatin1String("Pages:"))) return l.mid(6).trimmed().toInt();
    return -1;
}

// Un texto de `largo` caracteres, de palabras como las del catálogo, que acaba en `marca`: si la
// marca sale en el PDF, el texto no se cortó (lo que no cabe en una celda se pierde por el final).
QString textoLargo(int largo, const QString& marca, bool mayusculas) {
    static const QStringList palabras = {QStringLiteral("Atención"),
                                         QStringLiteral("Especializada"),
                                         QStringLiteral("de"),
                                         QStringLiteral("Urgencias"),
                                         QStringLiteral("Hospitalarias"),
                                         QStringLiteral("y"),
                                         QStringLiteral("Enfermería"),
                                         QStringLiteral("Comunitaria"),
                                         QStringLiteral("del"),
                                         QStringLiteral("Área"),
                                         QStringLiteral("Sanitaria"),
                                         QStringLiteral("Mental"),
                                         QStringLiteral("Rehabilitación"),
                                         QStringLiteral("Cuidados"),
                                         QStringLiteral("Paliativos")};
    const int hueco = largo - int(marca.size()) - 1;
    QString s;
    for (int i = 0;; ++i) {
        const QString& w = palabras[i % palabras.size()];
        if (s.size() + 1 + w.size() > hueco) break;
        if (!s.isEmpty()) s += QLatin1Char(' ');
        s += w;
    }
    const qsizetype falta = hueco - s.size();
    if (falta == 1) s += QLatin1Char('s');
    if (falta > 1) s += QLatin1Char(' ') + QString(falta - 1, QLatin1Char('e'));
    if (mayusculas) s = s.toUpper();
    return s + QLatin1Char(' ') + marca;
}

QString marca(char lista, int fila, char columna) {
    return QStringLiteral("K%1%2%3")
        .arg(QLatin1Char(lista))
        .arg(fila, 3, 10, QLatin1Char('0'))
        .arg(QLatin1Char(columna));
}

// Listas con cada texto tan largo como admite su campo; cada celda acaba en su marca.
void prepararListasMaximas(int cursos, int documentos, int vacantes, int resultas,
                           bool mayusculas) {
    G().rsCursos = CrearTablaCursos();
    for (int i = 1; i <= cursos; ++i) {
        auto& t = *G().rsCursos;
        ASSERT_TRUE(t.anadir().ok());
        ASSERT_TRUE(
            t.establecer(QStringLiteral("Curso"), textoLargo(100, marca('C', i, 'a'), mayusculas))
                .ok());
        t.establecer(QStringLiteral("NHoras"), 1000 + i);
        t.establecer(QStringLiteral("Ano"), 2000 + i % 26);
        ASSERT_TRUE(
            t.establecer(QStringLiteral("Centro"), textoLargo(100, marca('C', i, 'b'), mayusculas))
                .ok());
    }
    G().rsDocumentos = CrearTablaDocumentos();
    for (int i = 1; i <= documentos; ++i) {
        ASSERT_TRUE(G().rsDocumentos->anadir().ok());
        ASSERT_TRUE(G().rsDocumentos
                        ->establecer(QStringLiteral("Documento"),
                                     textoLargo(100, marca('D', i, 'a'), mayusculas))
                        .ok());
    }
    const auto plazas = [mayusculas](int n, char lista) {
        PTabla t = CrearTablaPlazasSolicitadas();
        for (int i = 1; i <= n; ++i) {
            t->anadir();
            t->establecer(QStringLiteral("Orden"), i);
            t->establecer(QStringLiteral("CodConvocatoria"), QString::number(10000 + i));
            const std::pair<const char*, int> campos[] = {
                {"NomConvocatoria", 50}, {"Consejeria", 50}, {"Localidad", 53}, {"Area", 50}};
            char columna = 'a';
            for (const auto& [campo, largo] : campos)
                EXPECT_TRUE(t->establecer(QString::fromLatin1(campo),
                                          textoLargo(largo, marca(lista, i, columna++), mayusculas))
                                .ok());
        }
        return t;
    };
    G().rsVacantesSolicitadas = plazas(vacantes, 'V');
    G().rsResultasSolicitadas = plazas(resultas, 'R');
}

class PaginasImpresas : public ::testing::TestWithParam<VarianteGenerador> {
protected:
    PeticionDocumento peticion(const QString& carpeta, const QString& plantillas) const {
        PeticionDocumento p;
        const bool es97 = GetParam() == VarianteGenerador::W97;
        p.plantilla = plantillas + (es97 ? QStringLiteral("/PlantillaW97.dot")
                                         : QStringLiteral("/PlantillaWXP.dot"));
        p.rutaDocumento = carpeta + QStringLiteral("/solicitud.doc");
        p.rutaImpresion = carpeta + QStringLiteral("/impresion.doc");
        p.variante = GetParam();
        p.imprimir = true;
        p.dni = QStringLiteral("12345678Z");
        p.fecha = QStringLiteral("07/12/2026");
        p.hora = QStringLiteral("09:15:00");
        p.prefijo = prefijoCodigoBarras(
            ClaveSolicitante(p.dni, QStringLiteral("12"), QStringLiteral("A")), p.fecha, p.hora);
        p.cargaSolicitante = QStringLiteral("N|PÉREZ|NÚÑEZ|MARÍA|12345678Z|19700101|924000000|");
        p.camposTexto = {{QStringLiteral("NOMBRE"), QStringLiteral("MARÍA")},
                         {QStringLiteral("CUERPOOESCALA"), QStringLiteral("Enfermeros")},
                         {QStringLiteral("CUERPOOESCALA1"), QStringLiteral("Enfermeros")}};
        p.casillas = {{QStringLiteral("VOLUNTARIO"), true}};
        return p;
    }
};

// Cada código de plazas dice su página; con filas de una línea, la hoja de verdad del PDF debe
// ser esa. Con muchos cursos y documentos a la vez en la página 2 (35 + 35) tampoco se corre nada.
TEST_P(PaginasImpresas, ElContadorDePaginasCoincideConElPdf) {
    if (!hayLibreOffice()) GTEST_SKIP() << "sin LibreOffice";
    QTemporaryDir dir;
    const QString plantillas = construirPlantillasReales(dir.path());
    ASSERT_FALSE(plantillas.isEmpty());
    const bool es97 = GetParam() == VarianteGenerador::W97;
    const struct {
        int cursos, documentos, vacantes, resultas, paginas;
    } casos[] = {{36, 70, 75, 41, 9},
                 {35, 35, 40, 0, 5},
                 // 40 + 31 y 31: cada última página lleva sus 31 plazas, su código y la firma.
                 {0, 0, 71, 31, 5}};
    for (const auto& c : casos) {
        reiniciarGlobales();
        G().RutaTemporal = dir.path() + QStringLiteral("/temp/");
        QDir().mkpath(G().RutaTemporal);
        prepararListas(c.cursos, c.documentos, c.vacantes, c.resultas);
        const PeticionDocumento p = peticion(G().RutaTemporal, plantillas);
        auto g = generarDocumentoImpresion(p);
        ASSERT_TRUE(g.ok()) << g.mensaje().toStdString();
        EXPECT_TRUE(g.valor().avisos.isEmpty()) << g.valor().avisos.toStdString();
        const QString pdf = dir.filePath(QStringLiteral("impresion.pdf"));
        const Resultado r = convertirAPdf(p.rutaImpresion, pdf);
        ASSERT_TRUE(r.ok()) << r.mensaje().toStdString();
        EXPECT_EQ(paginasPdf(pdf), c.paginas) << c.cursos << "/" << c.vacantes;
        auto leidos = leerCodigosPdf(pdf, 200);
        ASSERT_TRUE(leidos.ok()) << leidos.mensaje().toStdString();
        const Resultado comparacion = compararCodigos(leidos.valor(), g.valor().codigos);
        EXPECT_TRUE(comparacion.ok()) << comparacion.mensaje().toStdString();
        ASSERT_EQ(leidos.valor().size(), g.valor().codigos.size());
        for (qsizetype i = 0; i < leidos.valor().size(); ++i)
            EXPECT_EQ(leidos.valor()[i].pagina, g.valor().codigos[i].pagina) << i;
        const QByteArray destino = qgetenv("MOVILANT_PAGINAS_EN");
        if (!destino.isEmpty())
            QFile::copy(pdf, QString::fromLocal8Bit(destino) +
                                 QStringLiteral("/paginas-%1-%2.pdf")
                                     .arg(es97 ? QStringLiteral("97") : QStringLiteral("XP"))
                                     .arg(c.cursos));
    }
}

// Los textos más largos que admite cada campo salen enteros, con 40 plazas por página: cada celda
// acaba en su marca, y la marca de cada plaza sale en la misma hoja que el código de su página.
// En mayúsculas las letras son más anchas; las filas crecen y nada se corta.
TEST_P(PaginasImpresas, LosTextosMasLargosSalenEnteros) {
    if (!hayLibreOffice()) GTEST_SKIP() << "sin LibreOffice";
    QTemporaryDir dir;
    const QString plantillas = construirPlantillasReales(dir.path());
    ASSERT_FALSE(plantillas.isEmpty());
    for (const bool mayusculas : {false, true}) {
        SCOPED_TRACE(mayusculas ? "mayúsculas" : "minúsculas");
        reiniciarGlobales();
        G().RutaTemporal = dir.path() + QStringLiteral("/temp/");
        QDir().mkpath(G().RutaTemporal);
        constexpr int kCursos = 36, kDocumentos = 35, kVacantes = 80, kResultas = 41;
        prepararListasMaximas(kCursos, kDocumentos, kVacantes, kResultas, mayusculas);
        const PeticionDocumento p = peticion(G().RutaTemporal, plantillas);
        auto g = generarDocumentoImpresion(p);
        ASSERT_TRUE(g.ok()) << g.mensaje().toStdString();
        const QString pdf = dir.filePath(QStringLiteral("maximos.pdf"));
        ASSERT_TRUE(convertirAPdf(p.rutaImpresion, pdf).ok());
        const QByteArray destino = qgetenv("MOVILANT_PAGINAS_EN");
        if (!destino.isEmpty())
            QFile::copy(pdf, QString::fromLocal8Bit(destino) +
                                 QStringLiteral("/maximos-%1-%2.pdf")
                                     .arg(GetParam() == VarianteGenerador::W97 ? "97" : "XP")
                                     .arg(mayusculas ? "MAY" : "min"));
        const QStringList hojas = textoPaginas(pdf);
        ASSERT_FALSE(hojas.isEmpty());
        const QString todo = hojas.join(QLatin1Char(' '));
        for (int i = 1; i <= kCursos; ++i)
            for (char c : {'a', 'b'}) EXPECT_TRUE(todo.contains(marca('C', i, c))) << i << c;
        for (int i = 1; i <= kDocumentos; ++i) EXPECT_TRUE(todo.contains(marca('D', i, 'a'))) << i;

        auto leidos = leerCodigosPdf(pdf, 200);
        ASSERT_TRUE(leidos.ok()) << leidos.mensaje().toStdString();
        const Resultado comparacion = compararCodigos(leidos.valor(), g.valor().codigos);
        EXPECT_TRUE(comparacion.ok()) << comparacion.mensaje().toStdString();
        // Cada plaza sale detrás del código de la página anterior y no después del de la suya;
        // en minúsculas, en la misma hoja que el código de su página.
        const QByteArray prefijo = bytesCodigo(p.prefijo);
        for (const auto& [lista, total] : {std::pair{'V', kVacantes}, std::pair{'R', kResultas}}) {
            QVector<int> hojasConCodigo;
            for (const CodigoLeido& c : leidos.valor())
                if (c.bytes.startsWith(prefijo) && c.bytes.at(prefijo.size()) == lista)
                    hojasConCodigo.append(c.pagina);
            ASSERT_EQ(hojasConCodigo.size(), (total + 39) / 40) << lista;
            for (int i = 1; i <= total; ++i) {
                const int k = (i - 1) / 40;
                const int hasta = hojasConCodigo[k];
                const int desde = mayusculas ? (k > 0 ? hojasConCodigo[k - 1] + 1 : 1) : hasta;
                for (char c = 'a'; c <= (lista == 'V' ? 'd' : 'c'); ++c) {
                    int hoja = desde;
                    while (hoja <= hasta && !hojas.value(hoja - 1).contains(marca(lista, i, c)))
                        ++hoja;
                    EXPECT_LE(hoja, hasta) << lista << i << c;
                }
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Variantes, PaginasImpresas,
                         ::testing::Values(VarianteGenerador::XP, VarianteGenerador::W97),
                         [](const auto& info) {
                             return info.param == VarianteGenerador::XP ? "XP" : "W97";
                         });

}  // namespace
