#pragma once
// The lexical rules of a format line: which keyword a line is (by its first three
// letters, the last match in keyword order winning), and how its fields are split.

#include <string>
#include <string_view>
#include <vector>

namespace mostrador::printing {

enum class Palabra {
  Ninguna,        // matches nothing: ignored
  Colocacion,     // "@c,r,expr"
  Color,          // col
  Letras,         // tra: amount in Spanish words
  Cuadro,         // cua
  Tamano,         // tam
  Tipo,           // tip
  Logo,           // log
  Dia,            // dia
  Mes,            // mes
  Anio,           // año
  Texto,          // tex
  Moneda,         // mon
  Estilo,         // est
  Separa,         // sep
  Formato,        // for
  Fecha,          // fec: no effect
  Asignacion,     // var, cad
  MesLetra,       // mle
  Saltar,         // sal
  Paginas,        // pag
  Dato,           // dat
  Redondo,        // red
  NuevaPagina,    // nue
  Lineas,         // lin
  Maximo,         // max
  Corte,          // cor: no effect
  FechaLarga,     // fla
  Sql,            // sql
  Ajusta,         // aju
  Fondo,          // fon
  Termina,        // ter
  CambiaImpresora,// cam
  Numero,         // num
  Modulo,         // mod
  Entero,         // ent
  Aborta,         // abo
  Direccion,      // dir
  Usuario,        // usu, con
  Pausa,          // pau
  Escape,         // esc
  VariableSql,    // vsq
  Comentarios,    // com
  LetrasIngles,   // tin
  Puerto,         // pue
  Barras,         // bar
};

// The keyword of a raw line: "@" at its start, else its first three characters,
// lower-cased, compared with the keyword list (a line led by blanks matches nothing).
Palabra reconocePalabra(std::string_view linea);
// The whole word the handler of a keyword also asks for in field 1, "" when any word
// with those first letters does; exacto: compared with its case.
struct PalabraCompleta {
  std::string_view palabra;
  bool exacto = false;
};
PalabraCompleta palabraCompleta(Palabra p);

// Fields of an ordinary line, leading blanks removed: "(" and ")" always close the
// current field, "," too unless field 1 is exactly "formato"; at most eight fields.
// Field 0 is the keyword word, fields 1..7 the arguments a1..a7. Missing fields are "".
std::vector<std::string> divideCampos(std::string_view linea);

// A placement line "@c,r,expr": column up to the first comma, row up to the second,
// the rest (commas included) is the expression.
struct Colocacion {
  std::string columna, renglon, expresion;
};
Colocacion divideColocacion(std::string_view linea);

}  // namespace mostrador::printing
