#include "catalogue/FormatosCatalogo.h"

#include "catalogue/Esquemas.h"

namespace {

QList<CampoFormato> columnasPlazas() {
    return {{"CodConvocatoria", 1, 5}, {"NomConvocatoria", 6, 50}, {"Consejeria", 56, 50},
            {"Localidad", 106, 53},    {"CodConsejeria", 159, 2},  {"CodLocalidad", 161, 7},
            {"CodProvincia", 161, 2},  {"CodArea", 168, 8},        {"CodZona", 176, 8}};
}

QList<FormatoCatalogo> construir() {
    using C = Catalogo;
    const QList<CampoFormato> provincias = {{"CodProvincia", 1, 2}, {"Provincia", 3, 20}};
    const QList<CampoFormato> lista = {{"CodConvocatoria", 1, 5}};
    const QList<CampoFormato> zonas = {{"CodArea", 1, 2}, {"CodZona", 3, 2}, {"Zona", 5, 50}};
    return {
        {C::ProvinciasPersonales, "F0001.enc", "rsProvinciasPersonales", provincias,
         camposProvincias()},
        {C::Provincias, "F0002.enc", "rsProvincias", provincias, camposProvincias()},
        {C::Localidades,
         "F0003.enc",
         "rsLocalidades",
         {{"CodProvincia", 1, 2}, {"CodLocalidad", 3, 3}, {"Localidad", 6, 60}},
         camposLocalidades()},
        {C::Cuerpos,
         "F0004.enc",
         "rsCuerpos",
         {{"Grupo", 1, 1}, {"CodCuerpo", 2, 5}, {"DescCuerpo", 7, 100}},
         camposCuerpos()},
        {C::Grupos, "F0005.enc", "rsGrupos", {{"Grupo", 1, 1}}, camposGrupos()},
        {C::Consejerias,
         "F0006.enc",
         "rsConsejeriasVacantes",
         {{"CodConsejeria", 1, 2},
          {"Consejeria", 3, 50},
          {"CodArea", 53, 8},
          {"CodProvincia", 61, 2}},
         camposConsejerias()},
        {C::PlazasGrupo,
         "F0007.enc",
         "rsPlazasGrupo",
         {{"CodPlaza", 1, 5}, {"CodGrupo", 6, 1}},
         camposPlazasGrupo()},
        // La columna 6 no se lee.
        {C::PlazasCuerpo,
         "F0008.enc",
         "rsPlazasCuerpo",
         {{"CodPlaza", 1, 5}, {"CodCuerpo", 7, 6}},
         camposPlazasCuerpo()},
        {C::PlazasVacantes, "F0009.enc", "rsPlazasVacantes", columnasPlazas(), camposTablaPlazas()},
        {C::PlazasResultas, "F0010.enc", "rsPlazasResultas", columnasPlazas(), camposTablaPlazas()},
        {C::ListaV, "F0011.enc", "rsPlazasListaV", lista, camposTablaPlazasLista()},
        {C::ListaR, "F0012.enc", "rsPlazasListaR", lista, camposTablaPlazasLista()},
        {C::Zonas, "F0013.enc", "rsZonas", zonas, camposZonas()},
        {C::Areas,
         "F0014.enc",
         "rsAreas",
         {{"CodArea", 1, 2}, {"Area", 9, 50}, {"CodProvincia", 59, 2}},
         camposAreas()},
        {C::AreasTarv,
         "F0014.enc",
         "rsAreasTarv",
         {{"CodArea", 1, 2}, {"CodProvincia", 3, 2}, {"Area", 5, 50}},
         camposAreas()},
        {C::Situaciones,
         "F0015.enc",
         "rsSituaciones",
         {{"CodSituacion", 1, 2}, {"esOtras", 3, 1}, {"Situacion", 4, 60}},
         camposSituaciones()},
        {C::Instituciones,
         "F0016.enc",
         "rsInstituciones",
         {{"CodInstitucion", 1, 2}, {"CodLocalidad", 3, 7}},
         camposInstituciones()},
    };
}

}  // namespace

const QList<FormatoCatalogo>& formatos() {
    static const QList<FormatoCatalogo> todos = construir();
    return todos;
}

const FormatoCatalogo& formato(Catalogo catalogo) {
    return formatos().at(int(catalogo));
}

QString quitarEspacios(QStringView texto) {
    qsizetype inicio = 0;
    qsizetype fin = texto.size();
    while (inicio < fin && texto.at(inicio) == u' ') ++inicio;
    while (fin > inicio && texto.at(fin - 1) == u' ') --fin;
    return texto.mid(inicio, fin - inicio).toString();
}

QString valorCampo(const QString& linea, const CampoFormato& campo) {
    // Sobre una vista: una sola copia, la del valor ya sin espacios.
    return quitarEspacios(QStringView(linea).mid(campo.inicio - 1, campo.ancho));
}
