#pragma once
// The dBASE key expression language of expression tags ("*UPPER(NOMBR_C)+DTOS(FEDOC_F)")
// and the byte encodings shared by every key. Internal to the index code: callers use
// KeyExpression.
//
// Grammar (one parse function per line):
//   comparison := additive [ ("=" | "<>" | "#" | "<" | ">" | "<=" | ">=") additive ]
//   additive   := term { ("+" | "-") term }
//   term       := unary { ("*" | "/") unary }
//   unary      := ("-" | "+") unary | primary
//   primary    := number | string | field | call | "(" comparison ")"
//   call       := name "(" [ comparison { "," comparison } ] ")"
// Strings are written between "…" or '…'. Names are compared without regard to case.
//
// Types: C text, N number, D date, L logical. "+" adds numbers and concatenates texts;
// "-" subtracts numbers and, on texts, concatenates moving the left text's trailing
// blanks to the end (as dBASE does). Mixing a text with a number or a date is refused,
// as dBASE refuses it: convert with STR() or DTOS().
// Functions: UPPER LOWER TRIM RTRIM LTRIM ALLTRIM (text -> text of the same width),
// STR(n [,len [,dec]]) (len 10 and dec 0 by default, right-aligned, "*" when it does
// not fit), DTOS(d), SUBSTR(s, start [,len]), LEFT(s, n), RIGHT(s, n) and
// IIF(condition, a, b). The numeric arguments that fix a width must be whole constants.
//
// A text result may be shorter than its static width (TRIM); the key pads it with blanks
// to the width, which is the longest text the expression can produce.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "store/dbf/key_expression.h"

namespace mostrador::dbf::keyexpr {

struct Value {
  char type = 'C';    // C N D L
  std::string text;   // C: Windows-1252 bytes; D: "yyyymmdd" or 8 blanks
  double number = 0;  // N
  bool logical = false;
};

struct Node;

class Program {
 public:
  // text is the expression without its leading "*". Throws Error with the text
  // "Expresión de índice inválida: <detalle>" (positions count from 1 after the "*"), or
  // "Campo <nombre> no encontrado".
  static Program compile(std::string_view text, const RecordLayout& layout);
  char type() const;  // C N D L
  int width() const;  // C: longest text; D: 8; N: 8; L: 1
  Value evaluate(const char* record) const;

 private:
  std::shared_ptr<const Node> root_;
};

// 8 bytes that sort bytewise as the numbers do (-0 and 0 encode alike).
void encodeNumber(double v, char* out);
// The value of an N/F field's text (blanks around it); blank or unreadable reads as 0.
double fieldNumber(const char* p, int len);
// Windows-1252 case mapping (accented letters included).
void upperCp1252(std::string& s);
void lowerCp1252(std::string& s);

}  // namespace mostrador::dbf::keyexpr
