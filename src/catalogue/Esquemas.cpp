#include "catalogue/Esquemas.h"

namespace {

Campo texto(const char* nombre, int longitud) {
    return {QString::fromLatin1(nombre), TipoCampo::Texto, longitud};
}

Campo entero(const char* nombre) {
    return {QString::fromLatin1(nombre), TipoCampo::Entero, 0};
}

}  // namespace

QList<Campo> camposCuerpos() {
    return {texto("CodCuerpo", 6), texto("DescCuerpo", 100), texto("Grupo", 1)};
}

QList<Campo> camposGrupos() {
    return {texto("Grupo", 1)};
}

QList<Campo> camposLocalidades() {
    return {texto("CodLocalidad", 7), texto("Localidad", 60), texto("CodProvincia", 2)};
}

QList<Campo> camposProvincias() {
    return {texto("CodProvincia", 2), texto("Provincia", 20)};
}

QList<Campo> camposConsejerias() {
    return {texto("CodConsejeria", 2), texto("Consejeria", 50), texto("CodArea", 8),
            texto("CodProvincia", 2)};
}

QList<Campo> camposAreas() {
    return {texto("CodArea", 8), texto("Area", 50), texto("CodProvincia", 2)};
}

QList<Campo> camposZonas() {
    return {texto("CodZona", 8), texto("Zona", 50), texto("CodArea", 8), texto("CodProvincia", 2),
            texto("CodInstitucion", 2)};
}

QList<Campo> camposSituaciones() {
    return {texto("CodSituacion", 2), texto("Situacion", 60), texto("esOtras", 1)};
}

QList<Campo> camposInstituciones() {
    return {texto("CodInstitucion", 2), texto("CodLocalidad", 7)};
}

QList<Campo> camposPlazasCuerpo() {
    return {texto("CodPlaza", 5), texto("CodCuerpo", 6)};
}

QList<Campo> camposPlazasGrupo() {
    return {texto("CodPlaza", 5), texto("CodGrupo", 1)};
}

QList<Campo> camposTablaPlazas() {
    // Una sola lista para las miles de tablas de plazas de los índices: no se rehace para cada
    // una, y las tablas ven a la primera que tienen los mismos campos.
    static const QList<Campo> campos = {
        texto("CodConvocatoria", 5), texto("NomConvocatoria", 50), texto("Consejeria", 50),
        texto("Localidad", 53),      texto("CodConsejeria", 2),    texto("CodLocalidad", 7),
        texto("CodProvincia", 2),    texto("CodArea", 8),          texto("CodZona", 8),
        texto("Area", 50)};
    return campos;
}

QList<Campo> camposTablaPlazasLista() {
    return camposTablaPlazas();
}

QList<Campo> camposTablaPlazasSolicitadas() {
    return {entero("IdSolicitud"),       entero("Orden"),
            texto("CodConvocatoria", 5), texto("NomConvocatoria", 50),
            texto("Consejeria", 50),     texto("Localidad", 53),
            texto("CodArea", 8),         texto("CodZona", 8),
            texto("Area", 50),           texto("Zona", 50)};
}

QList<Campo> camposCursos() {
    return {texto("Curso", 100), entero("NHoras"), entero("Ano"), texto("Centro", 100),
            entero("IdCurso")};
}

QList<Campo> camposDocumentos() {
    return {entero("IdDocumento"), texto("Documento", 100), texto("Horas", 6), texto("Fecha", 10),
            texto("Centro", 100)};
}

PTabla CrearTablaCuerpos(const QString& n) {
    return Tabla::crear(n, camposCuerpos());
}
PTabla CrearTablaGrupos(const QString& n) {
    return Tabla::crear(n, camposGrupos());
}
PTabla CrearTablaLocalidades(const QString& n) {
    return Tabla::crear(n, camposLocalidades());
}
PTabla CrearTablaProvincias(const QString& n) {
    return Tabla::crear(n, camposProvincias());
}
PTabla CrearTablaConsejerias(const QString& n) {
    return Tabla::crear(n, camposConsejerias());
}
PTabla CrearTablaAreas(const QString& n) {
    return Tabla::crear(n, camposAreas());
}
PTabla CrearTablaZonas(const QString& n) {
    return Tabla::crear(n, camposZonas());
}
PTabla CrearTablaSituaciones(const QString& n) {
    return Tabla::crear(n, camposSituaciones());
}
PTabla CrearTablaInstituciones(const QString& n) {
    return Tabla::crear(n, camposInstituciones());
}
PTabla CrearTablaPlazasCuerpo(const QString& n) {
    return Tabla::crear(n, camposPlazasCuerpo());
}
PTabla CrearTablaPlazasGrupo(const QString& n) {
    return Tabla::crear(n, camposPlazasGrupo());
}
PTabla CrearTablaPlazas(const QString& n) {
    return Tabla::crear(n, camposTablaPlazas());
}
PTabla CrearTablaPlazasLista(const QString& n) {
    return Tabla::crear(n, camposTablaPlazasLista());
}
PTabla CrearTablaPlazasSolicitadas(const QString& n) {
    return Tabla::crear(n, camposTablaPlazasSolicitadas());
}
PTabla CrearTablaCursos(const QString& n) {
    return Tabla::crear(n, camposCursos());
}
PTabla CrearTablaDocumentos(const QString& n) {
    return Tabla::crear(n, camposDocumentos());
}
