#include "catalogue/NombresInventados.h"

namespace {

const char* const kInicios[] = {"Val", "Cas", "Tor", "Mon", "Fuen", "Al", "Ber", "Car",
                                "Vi",  "Peñ", "Ol",  "Ar",  "Quin", "Lu", "Sa",  "Bre",
                                "Go",  "Mi",  "Na",  "Ra",  "Cer",  "Es", "Or",  "Ta"};
const char* const kMedios[] = {"da", "ri", "lle", "ño", "ba", "te", "gá", "rí", "lo",
                               "ma", "ce", "bé",  "ga", "ru", "ta", "",   "ne", "ú"};
const char* const kFinales[] = {"na",  "rejo", "llo", "ñuela", "nes",   "dín", "rón",
                                "bla", "jo",   "sa",  "lía",   "guera", "món", "tilla",
                                "ces", "ñar",  "güe", "dal",   "ranes", "cía"};
const char* const kPrefijos[] = {"Villa",      "Torre",      "Castro",
                                 "Puebla de ", "Fuente de ", "Aldea de "};
const char* const kApellidos[] = {" de la Sierra", " del Río",      " de Arriba",  " de Abajo",
                                  " del Campo",    " de los Olmos", " del Páramo", " de la Vega"};

template <std::size_t N>
QString de(Azar& azar, const char* const (&lista)[N]) {
    return QString::fromUtf8(lista[azar.entre(0, int(N) - 1)]);
}

// Una sola tilde por palabra, como en castellano: se quitan las que sobran tras la primera.
QString raiz(Azar& azar) {
    QString r = de(azar, kInicios) + de(azar, kMedios) + de(azar, kFinales);
    static const QString conTilde = QStringLiteral("áéíóú");
    static const QString sinTilde = QStringLiteral("aeiou");
    bool vista = false;
    for (QChar& c : r) {
        const qsizetype i = conTilde.indexOf(c);
        if (i < 0) continue;
        if (vista) c = sinTilde.at(i);
        vista = true;
    }
    return r;
}

QString capitalizar(const QString& texto) {
    return texto.isEmpty() ? texto : texto.left(1).toUpper() + texto.mid(1);
}

QString unico(QString nombre, QSet<QString>& usados) {
    const QString base = nombre;
    for (int n = 2; usados.contains(nombre); ++n) nombre = base + QStringLiteral(" %1").arg(n);
    usados.insert(nombre);
    return nombre;
}

}  // namespace

std::uint64_t Azar::siguiente() {
    // splitmix64: corto, conocido y sin depender de la biblioteca estándar.
    std::uint64_t z = (m_estado += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

int Azar::entre(int minimo, int maximo) {
    if (maximo <= minimo) return minimo;
    return minimo + int(siguiente() % std::uint64_t(maximo - minimo + 1));
}

bool Azar::porMil(int probabilidad) {
    return entre(0, 999) < probabilidad;
}

QString nombreProvincia(Azar& azar, QSet<QString>& usados) {
    QString nombre;
    for (int intento = 0; intento < 50 && (nombre.isEmpty() || usados.contains(nombre)); ++intento)
        nombre = capitalizar(raiz(azar)).left(20);
    return unico(nombre, usados);
}

QString nombreLocalidad(Azar& azar, QSet<QString>& usados) {
    QString nombre;
    for (int intento = 0; intento < 50 && (nombre.isEmpty() || usados.contains(nombre));
         ++intento) {
        QString r = raiz(azar);
        if (azar.porMil(250)) {
            const QString prefijo = de(azar, kPrefijos);
            r = prefijo.endsWith(u' ') ? prefijo + r : prefijo + r.toLower();
        }
        if (azar.porMil(200)) r += de(azar, kApellidos);
        nombre = capitalizar(r);
    }
    return unico(nombre, usados);
}

QString nombreInstitucion(int k, const QString& localidad) {
    switch (k % 4) {
        case 0:
            return QStringLiteral("Gerencia de Atención Primaria de ") + localidad;
        case 1:
            return QStringLiteral("Hospital Comarcal de ") + localidad;
        case 2:
            return QStringLiteral("Centro de Especialidades de ") + localidad;
        default:
            return QStringLiteral("Hospital de Media Estancia de ") + localidad;
    }
}

QList<Categoria> categoriasProfesionales() {
    return {{QStringLiteral("Facultativo Especialista"), "A"},
            {QStringLiteral("Técnico Titulado Superior"), "A"},
            {QStringLiteral("Farmacéutico"), "A"},
            {QStringLiteral("Enfermero Especialista"), "B"},
            {QStringLiteral("Fisioterapeuta"), "B"},
            {QStringLiteral("Técnico de Gestión"), "B"},
            {QStringLiteral("Técnico Superior"), "C"},
            {QStringLiteral("Administrativo"), "C"},
            {QStringLiteral("Técnico en Cuidados"), "D"},
            {QStringLiteral("Auxiliar Administrativo"), "D"},
            {QStringLiteral("Celador"), "E"},
            {QStringLiteral("Personal de Servicios"), "E"},
            {QStringLiteral("Oficial de Mantenimiento"), "E"}};
}

QString especialidad(Azar& azar) {
    static const char* const kEspecialidades[] = {"Análisis Clínicos",
                                                  "Cardiología",
                                                  "Pediatría",
                                                  "Radiodiagnóstico",
                                                  "Urgencias",
                                                  "Salud Mental",
                                                  "Documentación",
                                                  "Nutrición",
                                                  "Logística",
                                                  "Mantenimiento",
                                                  "Cocina",
                                                  "Lavandería",
                                                  "Archivo",
                                                  "Farmacia",
                                                  "Oftalmología",
                                                  "Dermatología",
                                                  "Neumología",
                                                  "Geriatría",
                                                  "Rehabilitación",
                                                  "Anestesia",
                                                  "Cirugía General",
                                                  "Traumatología",
                                                  "Neurología",
                                                  "Oncología",
                                                  "Hematología",
                                                  "Nefrología",
                                                  "Urología",
                                                  "Ginecología",
                                                  "Obstetricia",
                                                  "Medicina Preventiva",
                                                  "Microbiología",
                                                  "Inmunología",
                                                  "Endocrinología",
                                                  "Reumatología",
                                                  "Psiquiatría",
                                                  "Otorrinolaringología",
                                                  "Radioterapia",
                                                  "Medicina Nuclear",
                                                  "Informática",
                                                  "Atención al Usuario",
                                                  "Sistemas de Información",
                                                  "Prevención de Riesgos",
                                                  "Calidad Asistencial",
                                                  "Docencia",
                                                  "Investigación",
                                                  "Transporte Sanitario",
                                                  "Esterilización",
                                                  "Hostelería",
                                                  "Jardinería",
                                                  "Electricidad",
                                                  "Fontanería",
                                                  "Telefonía",
                                                  "Compras",
                                                  "Contabilidad",
                                                  "Admisión",
                                                  "Cuidados Paliativos",
                                                  "Salud Laboral",
                                                  "Epidemiología",
                                                  "Higiene Bucodental",
                                                  "Diseño y Señalización"};
    return de(azar, kEspecialidades);
}

QStringList situaciones() {
    // esOtras vale "1" en la situación que se escribe a mano.
    return {QStringLiteral("010Servicio activo"),
            QStringLiteral("020Servicios especiales"),
            QStringLiteral("030Excedencia por cuidado de familiares"),
            QStringLiteral("040Excedencia voluntaria por interés particular"),
            QStringLiteral("050Suspensión firme de funciones"),
            QStringLiteral("060Reingreso provisional"),
            QStringLiteral("070Comisión de servicios"),
            QStringLiteral("081Otra")};
}
