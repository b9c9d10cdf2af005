#pragma once
// Document and record state codes and the texts the screens show for them. The codes
// are one-letter texts; a screen compares the whole field with the letter, so " C" or
// "c" is not cancelled.

#include <string>
#include <string_view>

namespace mostrador::store {

namespace estado {
inline constexpr std::string_view kCancelado = "C";     // STATU_F, STDOC_O
inline constexpr std::string_view kDevTotal = "D";      // STATU_F
inline constexpr std::string_view kDevParcial = "P";    // STATU_F
inline constexpr std::string_view kPagado = "G";        // STATU_F, STDOC_O
inline constexpr std::string_view kEnEspera = "E";      // STATU_F
inline constexpr std::string_view kImpreso = "I";       // TREGI_F
inline constexpr std::string_view kLineaCancelada = "C";  // TREGI_FD, TREGI_OD
inline constexpr std::string_view kLineaFacturada = "F";  // TREGI_FD
inline constexpr std::string_view kActivo = "A";        // STATU_C, STATU_P
inline constexpr std::string_view kInactivo = "I";      // STATU_C: sales refuse the customer
inline constexpr std::string_view kAbono = "A";         // OPERA_CC, OPERA_CP
}  // namespace estado

// STATU_F: "" "Activa", "C" "Cancelada", "D" "Dev. Total", "P" "Dev. Parcial",
// "G" "Pagada", "E" "En Espera..."; any other code shows "Activa" (only "C" leaves a
// document out of the reports).
std::string textoEstadoVenta(std::string_view statu);
// TREGI_F: "I" "Impresa", anything else "No Impresa".
std::string textoImpresion(std::string_view tregi);
// STDOC_O: "C" "Cancelada", "G" "Pagada", anything else "Activa".
std::string textoEstadoCompra(std::string_view stdoc);
// STATU_C, STATU_P: "A" "Activo", anything else (blank included) "Inactivo".
std::string textoEstadoCatalogo(std::string_view statu);

bool cancelado(std::string_view statu);          // STATU_F, STDOC_O, TREGI_FD, TREGI_OD
bool clienteRechazado(std::string_view statuC);  // only "I" stops a sale
bool esAbono(std::string_view opera);            // OPERA_CC, OPERA_CP

// The condition reports use to leave cancelled documents out:
// (STATU_F<>"C" OR STATU_F IS NULL)
std::string condicionNoCancelado(std::string_view campo);

}  // namespace mostrador::store
