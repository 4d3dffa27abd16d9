#pragma once

#include <QString>
#include <QTemporaryDir>

// Un servidor PostgreSQL de verdad y de usar y tirar para las pruebas: un cluster nuevo en una
// carpeta temporal, del usuario postgres (el servidor no corre como root), que solo escucha en
// un socket de esa carpeta. Se para al destruirse.
class PostgresPrivado {
public:
    ~PostgresPrivado() { parar(); }

    // Lo que falta en esta máquina para arrancarlo (para saltar la prueba con ese motivo): ser
    // root, los programas de PostgreSQL o el controlador de Qt. Vacío si no falta nada.
    QString falta();
    // Vacío si arrancó; si no, por qué no.
    QString arrancar();
    // Una base vacía (la misma cada vez, vaciada) y su URI; vacío si no se pudo.
    QString baseNueva();
    QString errores() const;
    void parar();

private:
    QString programa(const char* nombre) const;
    QString ejecutar(const QString& programa, const QStringList& argumentos);

    QTemporaryDir m_dir;
    QString m_bin;
    bool m_arrancado = false;
    int m_bases = 0;
};
