#pragma once
// Small text helpers shared by the screens, the format language and the report
// generator; the report generator's column type letters; the filter operator codes.
// Positions count characters (a UTF-8 "ñ" is one), 1-based as the users write them.

#include <string>
#include <string_view>

namespace mostrador::base {

// Item n (1-based) of a comma-separated list, untrimmed; "" when there is no such item.
std::string elementoLista(std::string_view lista, int n);

// Characters i to j (1-based, inclusive), clipped to the text; "" when j < i.
std::string caracteres(std::string_view texto, int i, int j);

// Upper case of one letter: "a" to "z" only; any other character stays as it is.
char mayuscula(char letra);

// Upper / lower case of "a"-"z" / "A"-"Z" only; every other byte (UTF-8 "ñ") stays.
std::string mayusculasAscii(std::string_view texto);
std::string minusculasAscii(std::string_view texto);

// Upper / lower case of a UTF-8 text's ASCII and Latin-1 letters ("josé" <-> "JOSÉ");
// × and ÷ are not letters, and ÿ stays (its capital is outside Latin-1).
std::string mayusculasLatin1(std::string_view texto);
std::string minusculasLatin1(std::string_view texto);

// Equality ignoring the case of "a"-"z" only (field and function names).
bool igualesSinCasoAscii(std::string_view a, std::string_view b);

// The text without spaces at either end (tabs stay).
std::string recorta(std::string_view texto);
// The text without spaces or tabs at either end.
std::string recortaEspaciosYTabs(std::string_view texto);
// The text without ASCII white space (space, \t, \n, \v, \f, \r) at either end.
std::string recortaBlancos(std::string_view texto);

// Every "Título" of the text replaced by the given text.
std::string reemplazaTitulo(std::string_view texto, std::string_view por);

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

}  // namespace mostrador::base
