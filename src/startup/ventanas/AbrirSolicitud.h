#pragma once

class frmSolicitudes;

// Abre el formulario de la solicitud sin bloquear, con el DNI del acceso fijo en txtDNI.
// Si el formulario no puede cargarse (falta o está mal "conf.xml") avisa y devuelve nullptr:
// quien llama libera las tablas y termina el programa en orden.
frmSolicitudes* AbrirSolicitud();
