#pragma once

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <cstdint>

// Piezas del generador de catálogos: un azar determinista (el mismo en cualquier máquina y
// compilador) y nombres inventados con tildes y eñes.
class Azar {
public:
    explicit Azar(std::uint64_t semilla) : m_estado(semilla) {}
    std::uint64_t siguiente();
    int entre(int minimo, int maximo);  // ambos incluidos
    bool porMil(int probabilidad);      // verdadero `probabilidad` veces de cada mil

private:
    std::uint64_t m_estado;
};

struct Categoria {
    QString nombre;
    QString grupo;
};

// Nombres que no se repiten con los ya usados (y que se añaden a `usados`).
QString nombreProvincia(Azar& azar, QSet<QString>& usados);
QString nombreLocalidad(Azar& azar, QSet<QString>& usados);
// La institución k-ésima de un área, con sede en una localidad.
QString nombreInstitucion(int k, const QString& localidad);

QList<Categoria> categoriasProfesionales();
QString especialidad(Azar& azar);
// Líneas en claro del catálogo de situaciones: código (2), "S"/"N" de otras, descripción.
QStringList situaciones();
