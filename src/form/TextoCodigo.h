#pragma once

#include <QString>

// Lo escrito en una caja del formulario llega tal cual al documento y, en bytes Windows-1252, al
// código del solicitante, cuyos campos separa "|". Para que pantalla, documento y código digan lo
// mismo, una caja no admite "|" (el lector de la oficina contaría un campo de más) ni letras que
// Windows-1252 no tiene (llegarían al código en blanco): estas se cambian por su letra sin signo
// cuando la hay ("ę" por "e", "ł" por "l") y si no se quitan.
struct TextoDepurado {
    QString texto;
    bool cambiado = false;  // se quitó o se cambió algo (no cuenta juntar letra y acento)
};

TextoDepurado DepurarTextoCodigo(const QString& texto);
