#pragma once
// A screen's help page "<system>\ayuda\<archivo>", opened with the desktop's viewer;
// "El Archivo " + path + " No Existe" when it is not there.

#include <string>

#include "base/interaccion.h"

namespace mostrador::inventory {

void abreAyuda(base::Interaccion& ui, const std::string& dirSistema, const std::string& archivo);

}  // namespace mostrador::inventory
