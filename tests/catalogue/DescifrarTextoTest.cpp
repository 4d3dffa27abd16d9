// El descifrado de una pasada (de ocho en ocho bytes) frente al de línea en línea: mismo texto,
// mismos números de línea y el mismo primer fallo, con los fines de línea y los bytes malos en
// cualquier sitio de la palabra de ocho.
#include "catalogue/Decodificacion.h"

#include <gtest/gtest.h>
#include <QRandomGenerator>

namespace {

// Referencia: partir en líneas y desplazar cada una.
struct Referencia {
    QByteArray texto;
    QList<int> numeros;
    bool ok = true;
};

Referencia descifrarLineaALinea(const QByteArray& contenido) {
    Referencia r;
    for (LineaFichero l : partirLineas(contenido)) {
        if (l.bytes.isEmpty()) continue;
        if (l.bytes.size() > kMaxCaracteresLinea || desplazarBytes(l.bytes, -1) >= 0) {
            r.ok = false;
            return r;
        }
        r.texto += l.bytes + "\r\n";
        r.numeros.append(l.numero);
    }
    return r;
}

void comparar(const QByteArray& cifrado) {
    const Referencia esperado = descifrarLineaALinea(cifrado);
    const auto claro = descifrarTexto(cifrado, "F0009.enc");
    ASSERT_EQ(claro.ok(), esperado.ok) << claro.mensaje().toStdString();
    if (!esperado.ok) return;
    EXPECT_EQ(claro.valor().contenido, esperado.texto);
    QList<int> numeros;
    for (const auto& l : claro.valor().lineas) {
        numeros.append(l.numero);
        EXPECT_EQ(QByteArray(claro.valor().bytes(l).data(), qsizetype(l.longitud)),
                  claro.valor().contenido.mid(l.inicio, l.longitud));
        EXPECT_EQ(claro.valor().contenido.mid(l.inicio + l.longitud, 2), "\r\n");
    }
    EXPECT_EQ(numeros, esperado.numeros);
}

TEST(DescifrarTexto, IgualQueLineaALineaConFinesEnCualquierPosicion) {
    const QByteArray fines[] = {"\r\n", "\n", "\r", "\n\r", "\r\n\r\n"};
    for (int largo = 0; largo <= 20; ++largo) {
        for (const QByteArray& fin : fines) {
            SCOPED_TRACE(largo);
            QByteArray linea;
            for (int i = 0; i < largo; ++i) linea += char('B' + i % 20);
            comparar(linea + fin + linea + "x" + fin + fin + linea);
            comparar(fin + linea);
        }
    }
    comparar({});
    comparar("\r\n\n\r");
}

TEST(DescifrarTexto, ContenidoAlAzarDaLoMismo) {
    QRandomGenerator azar(20261207);
    const char alfabeto[] = "\r\n \x01\x02" "ABCdef\xE1\xF1\xFF";
    for (int vuelta = 0; vuelta < 300; ++vuelta) {
        QByteArray c;
        const int largo = int(azar.bounded(200));
        for (int i = 0; i < largo; ++i) c += alfabeto[azar.bounded(int(sizeof alfabeto) - 1)];
        // A veces un byte 0 (no se puede descifrar) en cualquier sitio.
        if (vuelta % 3 == 0 && !c.isEmpty()) c[int(azar.bounded(int(c.size())))] = '\0';
        SCOPED_TRACE(c.toHex().toStdString());
        comparar(c);
    }
}

TEST(DescifrarTexto, ElPrimerFalloDiceLineaYColumna) {
    struct Caso {
        QByteArray cifrado;
        QString mensaje;
        int numero;
    };
    const Caso casos[] = {
        {QByteArray("BCDEFGHIJK\r\nBCDEFGHIJK", 22).replace(14, 1, QByteArray(1, '\0')),
         "línea 2: Llamada a procedimiento o argumento no válidos: el carácter de la columna 3",
         Errores::ArgumentoIncorrecto},
        {QByteArray("\n\nBCDEFGHIJKLMNOPQ", 19).replace(12, 1, QByteArray(1, '\0')),
         "línea 3: Llamada a procedimiento o argumento no válidos: el carácter de la columna 11",
         Errores::ArgumentoIncorrecto},
        {"ok\r\n" + QByteArray(kMaxCaracteresLinea + 1, 'b') + "\r\n" + QByteArray(1, '\0'),
         "línea 2: Desbordamiento", Errores::ValorFueraDeRango},
    };
    for (const Caso& c : casos) {
        const auto r = descifrarTexto(c.cifrado, "F0009.enc");
        ASSERT_FALSE(r.ok());
        EXPECT_TRUE(r.mensaje().startsWith("F0009.enc, " + c.mensaje)) << r.mensaje().toStdString();
        EXPECT_EQ(r.numero(), c.numero);
    }
}

}  // namespace
