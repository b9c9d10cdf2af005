#pragma once
// Printing a record of an inventory screen through a format the shop chooses from a list
// "<system>\report\<lista>.for" (one file name per line, or a path): the choice, and the
// print or preview of the format over a header and a detail source.

#include <QWidget>
#include <optional>
#include <string>

#include "base/interaccion.h"
#include "base/reloj.h"
#include "printing/tabla_impresion.h"
#include "session/sesion.h"

namespace mostrador::inventory {

struct FormatoElegido {
  std::string ruta;    // stored path of the format file
  std::string nombre;  // as the list names it, for the messages
};

// The format chosen from the list; nullopt when the list is missing ("El Formato " + list
// + " No Existe"), the chosen file is missing ("El Formato " + name + " No Existe") or
// the user cancelled.
std::optional<FormatoElegido> eligeFormato(QWidget* padre, base::Interaccion& ui, const std::string& dirSistema,
                                           const std::string& lista);

// Prints (or previews) the format over the sources with the session's print environment.
void imprimeFormato(QWidget* padre, session::Sesion& sesion, const std::string& dirSistema, const FormatoElegido& f,
                    printing::TablaImpresion& encabezado, printing::TablaImpresion& detalle,
                    const std::string& usuario, bool preliminar);

}  // namespace mostrador::inventory
