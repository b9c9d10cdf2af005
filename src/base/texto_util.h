#pragma once
// Small text helpers shared by the screens, the format language and the report
// generator.
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

}  // namespace mostrador::base
