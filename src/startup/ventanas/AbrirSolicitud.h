#pragma once

class frmSolicitudes;

// Se declara aquí, donde la usa el arranque, y se define con el formulario
// (form/ventanas/AbrirSolicitud.cpp): el arranque no conoce el formulario, que está por encima.

// Abre el formulario de la solicitud sin bloquear, con el DNI del acceso fijo en txtDNI.
// Si el formulario no puede cargarse (falta o está mal "conf.xml") avisa y devuelve nullptr:
// quien llama libera las tablas y termina el programa en orden.
frmSolicitudes* AbrirSolicitud();
