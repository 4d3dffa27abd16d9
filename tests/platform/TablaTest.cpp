#include "platform/Tabla.h"

#include <gtest/gtest.h>

#include <QRandomGenerator>
#include <QStringList>

namespace {

PTabla tablaPlazas() {
    return Tabla::crear("rsPrueba", {{"CodConvocatoria", TipoCampo::Texto, 5},
                                     {"CodProvincia", TipoCampo::Texto, 2},
                                     {"Localidad", TipoCampo::Texto, 10},
                                     {"Orden", TipoCampo::Entero, 0}});
}

void alta(const PTabla& t, const QString& codigo, const QString& provincia, qint64 orden = 0) {
    ASSERT_TRUE(t->anadir().ok());
    ASSERT_TRUE(t->establecer("CodConvocatoria", codigo).ok());
    ASSERT_TRUE(t->establecer("CodProvincia", provincia).ok());
    ASSERT_TRUE(t->establecer("Orden", orden).ok());
}

QString codigos(const PTabla& t) {
    QStringList s;
    for (int i = 0; i < t->numeroRegistros(); ++i) s << t->valorEnFila(i, 0).toString();
    return s.join(',');
}

TEST(Tabla, CursorRecorreYSeQuedaEnLosExtremos) {
    PTabla t = tablaPlazas();
    EXPECT_TRUE(t->bof());
    EXPECT_TRUE(t->eof());
    t->moverPrimero();
    t->moverSiguiente();
    EXPECT_TRUE(t->eof());
    EXPECT_FALSE(t->valor("Orden").isValid());
    EXPECT_FALSE(t->establecer("Orden", 1).ok());

    alta(t, "1", "24", 10);
    alta(t, "2", "24", 20);
    alta(t, "3", "09", 30);
    EXPECT_EQ(t->filaActual(), 2);  // el añadido queda como actual
    t->moverPrimero();
    EXPECT_FALSE(t->bof());
    t->moverAnterior();
    EXPECT_TRUE(t->bof());
    EXPECT_FALSE(t->eof());
    EXPECT_EQ(t->filaActual(), -1);
    t->moverSiguiente();
    EXPECT_EQ(t->texto("CodConvocatoria"), "1");
    t->moverUltimo();
    EXPECT_EQ(t->texto("codconvocatoria"), "3");
    t->moverSiguiente();
    EXPECT_TRUE(t->eof());
    t->moverSiguiente();  // tras el último no pasa nada
    EXPECT_TRUE(t->eof());
    t->moverAnterior();
    EXPECT_EQ(t->valor("ORDEN").toLongLong(), 30);
    t->irAFila(1);
    EXPECT_EQ(t->valor(3).toLongLong(), 20);
    EXPECT_EQ(t->valorEnFila(0, 3).toLongLong(), 10);
    EXPECT_FALSE(t->valorEnFila(3, 0).isValid());
    EXPECT_EQ(t->indiceCampo("localidad"), 2);
    EXPECT_EQ(t->indiceCampo("Nada"), -1);
}

TEST(Tabla, LosClonesCompartenRegistrosPeroNoFiltroNiPosicion) {
    PTabla t = tablaPlazas();
    alta(t, "1", "24");
    PTabla clon = t->clonar();
    ASSERT_TRUE(clon->filtrar("CodProvincia='24'").ok());
    alta(t, "2", "24");
    alta(t, "3", "09");
    // El clon ve las altas del original según su filtro; el original no tiene filtro.
    EXPECT_EQ(codigos(clon), "1,2");
    EXPECT_EQ(codigos(t), "1,2,3");
    EXPECT_EQ(t->filtro(), "0");

    // El original ve lo que se añade por el clon, y el valor escrito por uno lo lee el otro.
    alta(clon, "4", "24");
    EXPECT_EQ(codigos(t), "1,2,3,4");
    clon->moverPrimero();
    ASSERT_TRUE(clon->establecer("Localidad", "León").ok());
    t->moverPrimero();
    EXPECT_EQ(t->texto("Localidad"), "León");
    EXPECT_EQ(clon->filaActual(), 0);
    EXPECT_EQ(t->filaActual(), 0);

    // Un clon nuevo no hereda filtro ni orden y empieza en el primero.
    ASSERT_TRUE(t->ordenar("CodConvocatoria DESC").ok());
    PTabla otro = t->clonar();
    EXPECT_EQ(codigos(otro), "1,2,3,4");
    EXPECT_EQ(otro->filaActual(), 0);
    EXPECT_EQ(otro->orden(), "");
}

TEST(Tabla, LoAnadidoPorUnCursorFiltradoSigueVisibleHastaRefiltrar) {
    PTabla lista = tablaPlazas();
    alta(lista, "1", "24");
    PTabla segundo = lista->clonar();
    ASSERT_TRUE(segundo->filtrar("CodConvocatoria='7' ").ok());
    EXPECT_EQ(segundo->numeroRegistros(), 0);
    ASSERT_TRUE(segundo->anadir().ok());
    EXPECT_EQ(segundo->numeroRegistros(), 1);
    EXPECT_FALSE(segundo->eof());
    ASSERT_TRUE(segundo->establecer("CodConvocatoria", "8").ok());
    ASSERT_TRUE(segundo->establecer("Orden", 2).ok());
    EXPECT_EQ(segundo->texto("CodConvocatoria"), "8");
    EXPECT_EQ(codigos(lista), "1,8");
    // Al volver a fijar el filtro desaparece, porque no lo pasa.
    ASSERT_TRUE(segundo->filtrar("CodConvocatoria='7' ").ok());
    EXPECT_EQ(segundo->numeroRegistros(), 0);
    ASSERT_TRUE(segundo->filtrar("CodConvocatoria='8' ").ok());
    EXPECT_EQ(segundo->numeroRegistros(), 1);
}

TEST(Tabla, UnCursorOrdenadoColocaLasAltasDeOtroCuandoEstanTerminadas) {
    PTabla lista = tablaPlazas();
    ASSERT_TRUE(lista->ordenar("Orden ASC").ok());
    alta(lista, "a", "24", 2);
    PTabla segundo = lista->clonar();
    // Quien mira la lista a cada aviso (como una rejilla) no debe fijar el sitio del registro
    // mientras aún está vacío.
    int vistos = 0;
    QObject::connect(lista.get(), &Tabla::cambiado, [&] { vistos = lista->numeroRegistros(); });
    alta(segundo, "b", "24", 1);
    alta(segundo, "c", "24", 3);
    EXPECT_EQ(codigos(lista), "b,a");  // "c" aún se está rellenando
    ASSERT_TRUE(segundo->establecer("Orden", 0).ok());
    ASSERT_TRUE(segundo->actualizar().ok());
    EXPECT_EQ(vistos, 3);
    EXPECT_EQ(codigos(lista), "c,b,a");
    EXPECT_EQ(lista->texto("CodConvocatoria"), "a");  // el actual no cambia
    EXPECT_EQ(lista->filaActual(), 2);
    // Una búsqueda por índice sobre un cursor sin orden que recibe altas fuera de orden de alta.
    PTabla filtrado = lista->clonar();
    ASSERT_TRUE(filtrado->filtrar("CodProvincia='09'").ok());
    ASSERT_TRUE(segundo->anadir().ok());  // d, sin terminar
    PTabla tercero = lista->clonar();
    alta(tercero, "e", "09", 5);
    ASSERT_TRUE(tercero->actualizar().ok());
    ASSERT_TRUE(segundo->establecer("CodProvincia", "09").ok());
    ASSERT_TRUE(segundo->establecer("CodConvocatoria", "d").ok());
    segundo->moverPrimero();
    EXPECT_EQ(codigos(filtrado), "d,e");
    filtrado->moverPrimero();
    ASSERT_TRUE(filtrado->buscar("CodConvocatoria='e'").ok());
    EXPECT_EQ(filtrado->filaActual(), 1);
}

TEST(Tabla, BorrarQuitaElRegistroDeTodosLosCursores) {
    PTabla t = tablaPlazas();
    for (const char* c : {"1", "2", "3", "4"}) alta(t, c, "24");
    PTabla clon = t->clonar();
    PTabla filtrado = t->clonar();
    ASSERT_TRUE(filtrado->filtrar("CodConvocatoria >= '2'").ok());
    clon->irAFila(1);      // en "2"
    filtrado->irAFila(1);  // en "3"
    t->irAFila(1);
    ASSERT_TRUE(t->borrar().ok());
    EXPECT_EQ(t->texto("CodConvocatoria"), "3");  // queda en el siguiente
    EXPECT_EQ(codigos(clon), "1,3,4");
    EXPECT_EQ(clon->texto("CodConvocatoria"), "3");
    EXPECT_EQ(codigos(filtrado), "3,4");
    EXPECT_EQ(filtrado->texto("CodConvocatoria"), "3");
    t->moverUltimo();
    ASSERT_TRUE(t->borrar().ok());
    EXPECT_TRUE(t->eof());
    EXPECT_FALSE(t->borrar().ok());
    EXPECT_EQ(t->borrar().numero(), Errores::RegistroActualNoValido);
    EXPECT_EQ(codigos(filtrado), "3");
    ASSERT_TRUE(t->buscar("CodConvocatoria='4'").ok());
    EXPECT_TRUE(t->eof());
}

TEST(Tabla, ValoresDemasiadoLargosONoNumericosSonFallos) {
    PTabla t = tablaPlazas();
    alta(t, "1", "24");
    EXPECT_TRUE(t->establecer("Localidad", QString(10, u'x')).ok());
    Resultado r = t->establecer("Localidad", QString(11, u'y'));
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(r.numero(), Errores::CampoDemasiadoLargo);
    EXPECT_TRUE(
        r.mensaje().contains("supera la longitud máxima de 10 caracteres del campo "
                             "Localidad"))
        << r.mensaje().toStdString();
    EXPECT_EQ(t->texto("Localidad"), QString(10, u'x'));
    EXPECT_TRUE(t->establecer("Localidad", "Ñañañañaña").ok());

    struct Entero {
        QVariant entrada;
        bool ok;
        QVariant esperado;
    };
    const QList<Entero> enteros = {
        {QString(""), true, QVariant()},
        {QVariant(), true, QVariant()},
        {QString(" 42 "), true, qint64(42)},
        {QString("-7"), true, qint64(-7)},
        {QString("9223372036854775807"), true, qint64(9223372036854775807LL)},
        {QString("3,5"), true, qint64(4)},
        {QString("2,5"), true, qint64(2)},
        {2.5, true, qint64(2)},
        {QString("abc"), false, QVariant()},
        {QString("12a"), false, QVariant()},
        {QString("-"), false, QVariant()},
    };
    for (const Entero& e : enteros) {
        SCOPED_TRACE(e.entrada.toString().toStdString());
        ASSERT_TRUE(t->establecer("Orden", 99).ok());
        r = t->establecer("Orden", e.entrada);
        EXPECT_EQ(r.ok(), e.ok) << r.mensaje().toStdString();
        if (!e.ok) {
            EXPECT_EQ(r.numero(), Errores::ConversionTipo);
            EXPECT_EQ(t->valor("Orden").toLongLong(), 99);
        } else {
            EXPECT_EQ(t->valor("Orden").isNull(), e.esperado.isNull());
            EXPECT_EQ(t->valor("Orden").toLongLong(), e.esperado.toLongLong());
        }
    }
    EXPECT_EQ(t->establecer("Nada", 1).numero(), Errores::CampoNoEncontrado);
}

TEST(Tabla, UnFiltroQueNoSeEntiendeFallaYDejaElAnterior) {
    PTabla t = tablaPlazas();
    alta(t, "1", "24", 1);
    alta(t, "2", "09", 2);
    ASSERT_TRUE(t->filtrar("CodProvincia='24'").ok());
    const QStringList malos = {
        " ) ",
        "CodProvincia=",
        "CodProvincia='24",
        "Nada='1'",
        "Orden='abc'",
        "CodProvincia='24' AND",
        "(CodProvincia='24'",
        "CodProvincia '24'",
        "CodProvincia == '24'",
        "AND",
        "CodProvincia=24abc",
        "()",
        "Orden like",
        "CodProvincia='24' CodProvincia='09'",
        QString(5000, u'('),
        "CodProvincia=X",
    };
    for (const QString& m : malos) {
        SCOPED_TRACE(m.left(40).toStdString());
        const Resultado r = t->filtrar(m);
        EXPECT_FALSE(r.ok());
        EXPECT_EQ(r.numero(), Errores::FiltroNoValido);
        EXPECT_EQ(r.mensaje(), "El filtro \"" + m + "\" no es válido");
        EXPECT_EQ(t->filtro(), "CodProvincia='24'");
        EXPECT_EQ(t->numeroRegistros(), 1);
        EXPECT_FALSE(t->buscar(m).ok());
    }
    for (const QString& quita : {QString(""), QString("0"), QString("  ")}) {
        ASSERT_TRUE(t->filtrar("CodProvincia='24'").ok());
        ASSERT_TRUE(t->filtrar(quita).ok());
        EXPECT_EQ(t->filtro(), "0");
        EXPECT_FALSE(t->tieneFiltro());
        EXPECT_EQ(t->numeroRegistros(), 2);
    }
    ASSERT_TRUE(t->ordenar("Orden DESC").ok());
    for (const QString& m :
         {QString("Nada ASC"), QString("Orden ARRIBA"), QString("Orden ASC DESC")}) {
        const Resultado r = t->ordenar(m);
        EXPECT_FALSE(r.ok());
        EXPECT_EQ(r.mensaje(), "El orden \"" + m + "\" no es válido");
        EXPECT_EQ(t->orden(), "Orden DESC");
        EXPECT_EQ(codigos(t), "2,1");
    }
    ASSERT_TRUE(t->ordenar("").ok());
    EXPECT_EQ(codigos(t), "1,2");
}

TEST(Tabla, OrdenaElCastellanoDeFormaEstable) {
    PTabla t = tablaPlazas();
    const QStringList nombres = {"Ñora",  "nube", "Oca",   "Ávila", "avila", "Zamora",
                                 "Nuñez", "Nuno", "Avila", "León",  "Lugo",  "leon"};
    for (int i = 0; i < nombres.size(); ++i) {
        alta(t, QString::number(i), "24");
        ASSERT_TRUE(t->establecer("Localidad", nombres[i]).ok());
    }
    ASSERT_TRUE(t->ordenar("Localidad ASC").ok());
    QStringList vistos;
    for (t->moverPrimero(); !t->eof(); t->moverSiguiente()) vistos << t->texto("Localidad");
    // Iguales salvo mayúsculas: en orden de alta. Las tildes van junto a su letra y la ñ tras
    // la n.
    EXPECT_EQ(vistos.join(','), "avila,Avila,Ávila,leon,León,Lugo,nube,Nuno,Nuñez,Ñora,Oca,Zamora");
}

TEST(Tabla, AvisaDeLosCambiosALosCursoresAfectados) {
    PTabla t = tablaPlazas();
    PTabla clon = t->clonar();
    int avisosT = 0;
    int avisosClon = 0;
    QObject::connect(t.get(), &Tabla::cambiado, [&] { ++avisosT; });
    QObject::connect(clon.get(), &Tabla::cambiado, [&] { ++avisosClon; });
    ASSERT_TRUE(t->anadir().ok());
    EXPECT_EQ(avisosT, 1);
    EXPECT_EQ(avisosClon, 1);
    ASSERT_TRUE(t->establecer("Orden", 5).ok());
    EXPECT_EQ(avisosClon, 2);
    ASSERT_TRUE(t->establecer("Orden", 5).ok());  // mismo valor: nada que avisar
    EXPECT_EQ(avisosClon, 2);
    ASSERT_TRUE(clon->filtrar("Orden=5").ok());
    EXPECT_EQ(avisosClon, 3);
    EXPECT_EQ(avisosT, 2);
    t->moverPrimero();
    t->moverSiguiente();
    EXPECT_EQ(avisosT, 2);
    ASSERT_TRUE(t->ordenar("Orden").ok());
    EXPECT_EQ(avisosT, 3);
    {
        Tabla::AgrupadorAvisos agrupa(*t);
        for (int i = 0; i < 100; ++i) {
            ASSERT_TRUE(t->anadir().ok());
            ASSERT_TRUE(t->establecer("Orden", i).ok());
        }
        EXPECT_EQ(avisosT, 3);
    }
    EXPECT_EQ(avisosT, 4);
    EXPECT_EQ(avisosClon, 4);
    // El clon filtrado recibe la última alta cuando el original la da por terminada.
    t->moverPrimero();
    EXPECT_EQ(avisosT, 4);
    EXPECT_EQ(avisosClon, 5);
    ASSERT_TRUE(t->borrar().ok());
    EXPECT_EQ(avisosT, 5);
    EXPECT_EQ(avisosClon, 6);
}

// La búsqueda de igualdad va por índice; un recorrido hecho aquí a mano debe dar lo mismo tras
// altas, bajas y cambios de valor mezclados.
TEST(Tabla, LaBusquedaPorIndiceCoincideConElRecorrido) {
    PTabla t = tablaPlazas();
    QRandomGenerator azar(20240607);
    const QStringList valores = {"a", "A", "b", "c", ""};
    auto valorAlAzar = [&] { return valores[int(azar.bounded(valores.size()))]; };
    for (int i = 0; i < 200; ++i) {
        alta(t, valorAlAzar(), "24", azar.bounded(5));
    }
    PTabla filtrado = t->clonar();
    for (int paso = 0; paso < 3000; ++paso) {
        const int n = t->numeroRegistros();
        const quint32 accion = azar.bounded(10);
        if (accion == 0 && n > 0) {
            t->irAFila(int(azar.bounded(n)));
            ASSERT_TRUE(t->borrar().ok());
        } else if (accion == 1) {
            alta(t, valorAlAzar(), "09", azar.bounded(5));
        } else if (accion < 5 && n > 0) {
            t->irAFila(int(azar.bounded(n)));
            ASSERT_TRUE(t->establecer("CodConvocatoria", valorAlAzar()).ok());
            ASSERT_TRUE(t->establecer("Orden", azar.bounded(5)).ok());
        } else if (n > 0) {
            const bool entero = accion % 2 == 0;
            const QString buscado = entero ? QString::number(azar.bounded(5)) : valorAlAzar();
            const QString criterio =
                entero ? "Orden=" + buscado : "CodConvocatoria='" + buscado + "'";
            const int desde = int(azar.bounded(n));
            int esperado = n;
            for (int i = desde; i < n && esperado == n; ++i) {
                const QVariant v = t->valorEnFila(i, entero ? 3 : 0);
                if (v.toString().compare(buscado, Qt::CaseInsensitive) == 0) esperado = i;
            }
            t->irAFila(desde);
            ASSERT_TRUE(t->buscar(criterio).ok());
            ASSERT_EQ(t->eof() ? n : t->filaActual(), esperado) << criterio.toStdString();
            if (paso % 50 == 0) {
                ASSERT_TRUE(filtrado->filtrar(criterio).ok());
                int cuenta = 0;
                for (int i = 0; i < n; ++i)
                    cuenta += t->valorEnFila(i, entero ? 3 : 0)
                                  .toString()
                                  .compare(buscado, Qt::CaseInsensitive) == 0;
                ASSERT_EQ(filtrado->numeroRegistros(), cuenta);
            }
        }
    }
}

TEST(Tabla, CerrarDejaElCursorSinRegistrosYLosClonesSiguen) {
    PTabla t = tablaPlazas();
    alta(t, "1", "24");
    PTabla clon = t->clonar();
    EXPECT_TRUE(t->abierta());
    t->cerrar();
    EXPECT_FALSE(t->abierta());
    EXPECT_TRUE(t->eof());
    EXPECT_EQ(t->numeroRegistros(), 0);
    EXPECT_FALSE(t->anadir().ok());
    EXPECT_FALSE(t->filtrar("CodProvincia='24'").ok());
    EXPECT_EQ(codigos(clon), "1");
    alta(clon, "2", "24");
    EXPECT_EQ(t->numeroRegistros(), 0);
}

}  // namespace
