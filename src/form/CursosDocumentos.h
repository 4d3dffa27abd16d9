#pragma once

#include <QDate>
#include <QString>
#include <optional>

// Comprobaciones de los cursos y documentos que el solicitante escribe a mano.

inline constexpr int kAnoMinimoCurso = 1950;

// Lo que falta en un curso para poder guardarlo, en el orden en que se comprueba: el mensaje del
// primer campo vacío, o vacío si no falta nada.
QString FaltaEnCurso(const QString& curso, const QString& horas, const QString& ano,
                     const QString& centro);

// Horas de un curso: un número entero de al menos 1. Lo que no lo es tiene su mensaje: por debajo
// de 1 (o sin número) el de "mayor de 0"; con decimales, que ha de ser entero. Una fracción no se
// redondea ni se trunca: "1,5" no se guarda como 1 ni como 2 sin que el solicitante lo vea.
struct ComprobacionHoras {
    std::optional<qint64> horas;
    QString mensaje;  // vacío si vale
};
ComprobacionHoras ComprobarHoras(const QString& texto);

// Año de un curso: un número entero entre kAnoMinimoCurso y el año de hoy.
std::optional<qint64> ComprobarAno(const QString& texto, const QDate& hoy);
