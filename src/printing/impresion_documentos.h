#pragma once
// Printing a sales document: the print, preview and shortcut-format commands of the
// sales screens, the rule for printing again a printed or cancelled document, and the
// six shortcut formats kept in "\encabeza.cnf".

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "printing/vista_previa.h"

namespace mostrador::base {
class Interaccion;
}

namespace mostrador::printing {

class EntornoImpresion;
class MotorFormatos;
class TablaImpresion;

// The local currency whose words the documents write amounts with.
inline constexpr std::string_view kMonedaLocal = "M.N.";

// Install directory + "\consulta\" + the format's file name.
std::string rutaFormatoDocumento(std::string_view dirInstalacion, std::string_view nombre);

struct DocumentoAImprimir {
  TablaImpresion* encabezado = nullptr;
  TablaImpresion* detalle = nullptr;  // the scratch lines of the document
  std::string formato;                // full stored path
  std::string formatoEnMensaje;       // shown when missing; empty: the path
  std::string tregi, statu;           // TREGI_F and STATU_F of the header
  std::string usuario;                // signed-in user number
  std::optional<std::string> usuarioDocumento;  // for AsignaUsuarioImpresion
  // After printing: TREGI_F := "I", "Impresa" shown, header posted.
  std::function<void()> marcaImpresa;
};

enum class ResultadoDocumento { Impreso, NoAutorizado, FormatoNoExiste, NoImpreso };

// A printed ("I") or cancelled ("C") document prints again only for user "0" or after
// the administrator's key.
bool autorizaReimpresion(std::string_view tregi, std::string_view statu, std::string_view usuario,
                         base::Interaccion& ui);

// Print (F11): with the currency words of "M.N.", mode 'i', then marked printed.
ResultadoDocumento ImprimeDocumento(MotorFormatos& motor, EntornoImpresion& entorno,
                                    base::Interaccion& ui, const DocumentoAImprimir& doc);
// Preview: the preview protocol; the reprint rule applies to its print button.
ResultadoDocumento PreliminarDocumento(MotorFormatos& motor, EntornoImpresion& entorno,
                                       base::Interaccion& ui, PantallaVistaPrevia& pantalla,
                                       const DocumentoAImprimir& doc);

// Shortcut formats Ctrl+F1..Ctrl+F6: lines 3 to 8 of "\encabeza.cnf" (install
// directory), the captions of the shortcut menu items, each a format path.
std::array<std::string, 6> formatosAtajo(std::string_view dirInstalacion);
// Ctrl+F<n> (1..6): prints with the format its caption names.
ResultadoDocumento ImprimeConAtajo(MotorFormatos& motor, EntornoImpresion& entorno,
                                   base::Interaccion& ui, DocumentoAImprimir doc,
                                   std::string_view dirInstalacion, int n);
// Assigning Ctrl+F<n>: asks for a format file and rewrites "\encabeza.cnf" with it as
// line 2 + n. False when cancelled or when the file is missing ("\encabeza.cnf" must
// exist).
bool AsignaFormatoAtajo(base::Interaccion& ui, std::string_view dirInstalacion, int n);

}  // namespace mostrador::printing
