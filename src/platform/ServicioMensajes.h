#pragma once

#include <QString>
#include <optional>

// Todos los cuadros de mensaje del programa pasan por aquí. La aplicación instala la versión
// de Qt (QMessageBox); las pruebas instalan un guion que registra lo mostrado y responde en orden.
enum class Icono { Ninguno, Critico, Pregunta, Exclamacion, Informacion };
enum class Botones { Aceptar, SiNo, SiNoCancelar };
enum class Respuesta { Aceptar, Si, No, Cancelar };

inline const QString kTituloPrograma = QStringLiteral("Movilant");

// Botón que responde a un Intro sin pensar: Aceptar, o Sí en las preguntas, salvo que quien
// pregunta dé otro (el que no pierde nada cuando Sí cierra o borra).
Respuesta respuestaPorDefecto(Botones botones, std::optional<Respuesta> pedida = {});

class ServicioMensajes {
public:
    virtual ~ServicioMensajes() = default;
    virtual Respuesta mostrar(const QString& texto, const QString& titulo, Icono icono,
                              Botones botones, Respuesta porDefecto) = 0;
};

// Servicio en uso. Si nadie instaló ninguno, se usa uno que solo escribe en stderr y acepta.
ServicioMensajes& mensajes();
void instalarServicioMensajes(ServicioMensajes* servicio);

// Atajo: mensaje con el título del programa cuando no se indica otro.
Respuesta mostrarMensaje(const QString& texto, const QString& titulo = kTituloPrograma,
                         Icono icono = Icono::Ninguno, Botones botones = Botones::Aceptar,
                         std::optional<Respuesta> porDefecto = {});
