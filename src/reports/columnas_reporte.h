#pragma once
// The report generator's column type letters and the filter operator codes.

#include <string_view>

namespace mostrador::reports {

// Kinds of a table field as the report generator sees them.
enum class TipoCampo {
  Texto, Booleano, Bcd, Hora, Autoincremento, Blob, Memo,  // "c"
  EnteroCorto, Entero, Bytes,                              // "e"
  Palabra,                                                 // "w"
  Flotante,                                                // "f"
  Moneda,                                                  // "$"
  Fecha, FechaHora,                                        // "d"
  BytesVariables,                                          // "b"
  Grafico,                                                 // "g"
  Otro                                                     // "x"
};

char letraTipoCampo(TipoCampo tipo);
// A column's letter "e" becomes "c" unless the field is a float; other letters stay.
char letraColumna(char letra, TipoCampo tipo);

// The legend the filter screens show beside the operator column.
inline constexpr std::string_view kLeyendaOperadores = "= igual    > mayor      < menor       & incluye";

// The one-letter code of a filter operator: "=" "<" ">" themselves, "<>" X, "<=" Y,
// ">=" Z, "&" W, "Inicia_Con" I, "Termina_Con" T, "Incluye" U; any other text gives the
// caller's default.
char codigoOperador(std::string_view operador, char porDefecto);

}  // namespace mostrador::reports
