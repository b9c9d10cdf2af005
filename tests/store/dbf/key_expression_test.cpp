#include "store/dbf/key_expression.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <random>

namespace mostrador::dbf {
namespace {

// CLAVE C6 | PRECIO N10.2 | FECHA D | ACTIVO L | NOMBRE C10 | CANT F8.3 | NOTA M10
const std::vector<FieldDef> kFields = {
    {"CLAVE", 'C', 6, 0},  {"PRECIO", 'N', 10, 2}, {"FECHA", 'D', 8, 0}, {"ACTIVO", 'L', 1, 0},
    {"NOMBRE", 'C', 10, 0}, {"CANT", 'F', 8, 3},    {"NOTA", 'M', 10, 0}};

const RecordLayout& layout() {
  static RecordLayout l = RecordLayout::from(kFields);
  return l;
}

// A raw record from field texts (Windows-1252 bytes): text left-aligned, numbers
// right-aligned, everything else blank.
std::string record(const std::map<std::string, std::string>& values) {
  const RecordLayout& l = layout();
  std::string r(size_t(l.recordLength), ' ');
  for (auto& [name, text] : values) {
    for (size_t i = 0; i < l.fields.size(); ++i) {
      if (l.fields[i].name != name) continue;
      size_t width = size_t(l.fields[i].length);
      std::string t = text.substr(0, width);
      bool right = l.fields[i].type == 'N' || l.fields[i].type == 'F';
      std::string cell = right ? std::string(width - t.size(), ' ') + t : t + std::string(width - t.size(), ' ');
      r.replace(size_t(l.offsets[i]), width, cell);
    }
  }
  return r;
}

std::string key(std::string_view expr, const std::map<std::string, std::string>& values,
                bool descending = false) {
  return KeyExpression::compile(expr, layout(), descending).evaluate(record(values).data());
}

std::string hex(std::string_view s) {
  std::string out;
  char buf[4];
  for (unsigned char c : s) {
    std::snprintf(buf, sizeof buf, "%02X", c);
    out += buf;
  }
  return out;
}

std::string compileError(std::string_view expr) {
  try {
    KeyExpression::compile(expr, layout());
  } catch (const Error& e) {
    return e.what();
  }
  return "(sin error)";
}

TEST(RecordLayout, PlacesFieldsAfterTheDeletedFlag) {
  const RecordLayout& l = layout();
  EXPECT_EQ(l.offsets, (std::vector<int>{1, 7, 17, 25, 26, 36, 44}));
  EXPECT_EQ(l.recordLength, 54);
  EXPECT_EQ(RecordLayout::from({}).recordLength, 1);
}

TEST(KeyEncoding, NumbersSortBytewiseAsTheirValues) {
  EXPECT_EQ(hex(key("PRECIO", {{"PRECIO", "0.00"}})), "8000000000000000");
  EXPECT_EQ(hex(key("PRECIO", {{"PRECIO", "1.00"}})), "BFF0000000000000");
  EXPECT_EQ(hex(key("PRECIO", {{"PRECIO", "-1.00"}})), "400FFFFFFFFFFFFF");
  EXPECT_EQ(hex(key("PRECIO", {{"PRECIO", "-0.00"}})), "8000000000000000");
  // A blank or unreadable number sorts as zero.
  EXPECT_EQ(key("PRECIO", {}), key("PRECIO", {{"PRECIO", "0"}}));
  EXPECT_EQ(key("PRECIO", {{"PRECIO", "*****"}}), key("PRECIO", {{"PRECIO", "0"}}));

  std::mt19937 rng(7);
  std::uniform_real_distribution<double> big(-9999999.0, 9999999.0);
  std::vector<double> values = {-9999999.99, -1, -0.5, -0.01, 0, 0.01, 0.5, 1, 2, 10, 9999999.99};
  for (int i = 0; i < 500; ++i) values.push_back(std::round(big(rng) * 100) / 100);
  std::vector<std::pair<std::string, double>> keyed;
  for (double v : values) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", v);
    keyed.emplace_back(key("PRECIO", {{"PRECIO", text}}), std::atof(text));
  }
  std::sort(keyed.begin(), keyed.end());
  for (size_t i = 1; i < keyed.size(); ++i) {
    ASSERT_LE(keyed[i - 1].second, keyed[i].second) << "at " << i;
    ASSERT_EQ(keyed[i - 1].first == keyed[i].first, keyed[i - 1].second == keyed[i].second);
  }
}

TEST(KeyEncoding, DatesLogicalsAndFloatFields) {
  EXPECT_EQ(key("FECHA", {{"FECHA", "20260108"}}), "20260108");
  EXPECT_EQ(key("FECHA", {}), "        ");  // a blank date sorts before every date
  EXPECT_LT(key("FECHA", {}), key("FECHA", {{"FECHA", "00010101"}}));
  EXPECT_EQ(key("ACTIVO", {{"ACTIVO", "T"}}), "T");
  EXPECT_EQ(key("ACTIVO", {{"ACTIVO", "y"}}), "T");
  EXPECT_EQ(key("ACTIVO", {{"ACTIVO", "F"}}), "F");
  EXPECT_EQ(key("ACTIVO", {}), "F");
  EXPECT_LT(key("CANT", {{"CANT", "-2.500"}}), key("CANT", {{"CANT", "1.250"}}));

  auto k = [](std::string_view expr) { return KeyExpression::compile(expr, layout()); };
  EXPECT_EQ(k("CLAVE").type(), 'C');
  EXPECT_EQ(k("precio").type(), 'N');
  EXPECT_EQ(k("CANT").type(), 'N');
  EXPECT_EQ(k("FECHA").type(), 'D');
  EXPECT_EQ(k("ACTIVO").type(), 'C');
  EXPECT_EQ(k("CLAVE;FECHA").type(), 'C');
  EXPECT_EQ(k("CLAVE").length(), 6);
  EXPECT_EQ(k("PRECIO").length(), 8);
  EXPECT_EQ(k("CLAVE;PRECIO;FECHA;ACTIVO").length(), 23);
  EXPECT_EQ(k("CLAVE;PRECIO;FECHA;ACTIVO").partCount(), 4);
}

TEST(KeyEncoding, TextIsPaddedAndFieldListsConcatenate) {
  EXPECT_EQ(key("CLAVE", {{"CLAVE", "AB"}}), "AB    ");
  EXPECT_LT(key("CLAVE", {{"CLAVE", "AB"}}), key("CLAVE", {{"CLAVE", "AB C"}}));
  EXPECT_LT(key("CLAVE", {{"CLAVE", "AB"}}), key("CLAVE", {{"CLAVE", "ABC"}}));
  EXPECT_LT(key("CLAVE", {{"CLAVE", "AB"}}), key("CLAVE", {{"CLAVE", "AB!"}}));
  // Windows-1252 bytes are copied as they are.
  EXPECT_EQ(key("CLAVE", {{"CLAVE", "\xD1U"}}), "\xD1U    ");
  EXPECT_EQ(key(" clave ; FECHA ", {{"CLAVE", "AB"}, {"FECHA", "20260108"}}), "AB    20260108");
  // The leading field decides first, then the next one.
  std::string a = key("CLAVE;PRECIO", {{"CLAVE", "A"}, {"PRECIO", "500"}});
  std::string b = key("CLAVE;PRECIO", {{"CLAVE", "B"}, {"PRECIO", "-5"}});
  std::string c = key("CLAVE;PRECIO", {{"CLAVE", "B"}, {"PRECIO", "7"}});
  EXPECT_LT(a, b);
  EXPECT_LT(b, c);
  EXPECT_EQ(c.substr(0, 6), "B     ");
  EXPECT_EQ(hex(c.substr(6)), "C01C000000000000");
}

TEST(KeyEncoding, DescendingComplementsEveryByte) {
  std::string up = key("CLAVE;FECHA", {{"CLAVE", "AB"}, {"FECHA", "20260108"}});
  std::string down = key("CLAVE;FECHA", {{"CLAVE", "AB"}, {"FECHA", "20260108"}}, true);
  ASSERT_EQ(down.size(), up.size());
  for (size_t i = 0; i < up.size(); ++i) EXPECT_EQ(char(~up[i]), down[i]);
  EXPECT_GT(key("PRECIO", {{"PRECIO", "1"}}, true), key("PRECIO", {{"PRECIO", "2"}}, true));
  KeyExpression k = KeyExpression::compile("CLAVE", layout(), true);
  EXPECT_TRUE(k.descending());
  EXPECT_EQ(k.encodePartial({std::string("AB")}), std::string("\xBE\xBD"));
  EXPECT_EQ(k.encodePrefix({std::string("AB")}), std::string("\xBE\xBD\xDF\xDF\xDF\xDF"));
}

TEST(KeyEncoding, FindValuesConvertToEachPartsType) {
  KeyExpression k = KeyExpression::compile("CLAVE;PRECIO;FECHA;ACTIVO", layout());
  std::string rec = record({{"CLAVE", "12"}, {"PRECIO", "12.50"}, {"FECHA", "20260108"}, {"ACTIVO", "T"}});
  EXPECT_EQ(k.encodePrefix({12.0, std::string(" 12.5 "), std::string("08/01/2026"), std::string("S")}),
            k.evaluate(rec.data()));
  EXPECT_EQ(k.encodePrefix({std::string("12"), 12.5, Fecha{2026, 1, 8}, 1.0}), k.evaluate(rec.data()));
  EXPECT_EQ(k.encodePrefix({std::string("12"), 12.5, std::string("2026-01-08")}),
            k.evaluate(rec.data()).substr(0, 22));

  EXPECT_EQ(k.encodePrefix({std::string("AB")}), "AB    ");
  EXPECT_EQ(k.encodePartial({std::string("AB")}), "AB");
  EXPECT_EQ(k.encodePartial({std::string("ABCDEFGH")}), "ABCDEF");  // cut to the width
  EXPECT_EQ(k.encodePrefix({12.5}), "12.5  ");
  EXPECT_EQ(k.encodePrefix({-3.0}), "-3    ");
  EXPECT_EQ(k.encodePrefix({Fecha{2026, 1, 8}}), "202601");
  EXPECT_EQ(k.encodePrefix({std::string("ñú")}), "\xF1\xFA    ");  // UTF-8 in, cp1252 out
  EXPECT_EQ(k.encodePrefix({}), "");
  // Blank text for a number or a date is zero or the blank date.
  EXPECT_EQ(k.encodePrefix({std::string(""), std::string(" ")}),
            k.evaluate(record({}).data()).substr(0, 14));
  EXPECT_EQ(k.encodePrefix({std::string(""), 0.0, std::string("")}),
            k.evaluate(record({}).data()).substr(0, 22));

  auto fails = [&](const std::vector<KeyValue>& v) -> std::string {
    try {
      k.encodePrefix(v);
    } catch (const Error& e) {
      return e.what();
    }
    return "(sin error)";
  };
  EXPECT_EQ(fails({std::string(""), std::string("abc")}), "'abc' no es un número válido");
  EXPECT_EQ(fails({std::string(""), std::string("12x")}), "'12x' no es un número válido");
  EXPECT_EQ(fails({std::string(""), 1.0, std::string("32/01/2026")}), "'32/01/2026' no es una fecha válida");
  EXPECT_EQ(fails({std::string(""), Fecha{2026, 1, 8}}), "Valor incompatible con el campo PRECIO");
  EXPECT_EQ(fails({std::string(""), 1.0, 20260108.0}), "Valor incompatible con el campo FECHA");
  EXPECT_EQ(fails({std::string(""), 1.0, std::string(""), std::string("T"), std::string("x")}),
            "Demasiados valores para la llave: 5 dados, la llave tiene 4");
}

TEST(KeyExpressionLanguage, TextFunctions) {
  std::map<std::string, std::string> r = {{"CLAVE", "  ab"}, {"NOMBRE", "jos\xE9 \xF1u"}};
  EXPECT_EQ(key("*UPPER(NOMBRE)", r), "JOS\xC9 \xD1U   ");
  EXPECT_EQ(key("*lower(upper(NOMBRE))", r), "jos\xE9 \xF1u   ");
  EXPECT_EQ(key("*UPPER(CLAVE)+NOMBRE", r), "  AB  jos\xE9 \xF1u   ");
  EXPECT_EQ(key("*TRIM(CLAVE)+NOMBRE", r), "  abjos\xE9 \xF1u     ");
  EXPECT_EQ(key("*RTRIM(CLAVE)+'|'", r), "  ab|  ");
  EXPECT_EQ(key("*LTRIM(CLAVE)+'|'", r), "ab  |  ");
  EXPECT_EQ(key("*ALLTRIM(CLAVE)+\"|\"", r), "ab|    ");
  EXPECT_EQ(key("*CLAVE-NOMBRE", r), "  abjos\xE9 \xF1u     ");
  EXPECT_EQ(key("*SUBSTR(NOMBRE,2,3)", r), "os\xE9");
  EXPECT_EQ(key("*SUBSTR(NOMBRE,9)", r), "  ");
  EXPECT_EQ(key("*SUBSTR(NOMBRE,6)", r), "\xF1u   ");
  EXPECT_EQ(key("*LEFT(NOMBRE,4)", r), "jos\xE9");
  EXPECT_EQ(key("*RIGHT(NOMBRE,6)", r), " \xF1u   ");
  EXPECT_EQ(key("*RIGHT(TRIM(NOMBRE),2)", r), "\xF1u");
  EXPECT_EQ(key("*SUBSTR(TRIM(NOMBRE),7)", r), "u   ");
  EXPECT_EQ(key("*'X'+CLAVE", r), "X  ab  ");
  KeyExpression k = KeyExpression::compile("*UPPER(CLAVE)+NOMBRE", layout());
  EXPECT_EQ(k.type(), 'C');
  EXPECT_EQ(k.length(), 16);
  EXPECT_EQ(k.partCount(), 1);
  EXPECT_EQ(k.encodePrefix({std::string("AB")}), "AB              ");
  EXPECT_EQ(k.encodePartial({std::string("AB")}), "AB");
  EXPECT_EQ(KeyExpression::compile("*SUBSTR(NOMBRE,9)", layout()).length(), 2);
  EXPECT_EQ(KeyExpression::compile("*LEFT(NOMBRE,40)", layout()).length(), 10);
}

TEST(KeyExpressionLanguage, NumbersAndDates) {
  std::map<std::string, std::string> r = {{"PRECIO", "12.50"}, {"CANT", "-2.500"}, {"FECHA", "20260108"}};
  EXPECT_EQ(key("*STR(PRECIO)", r), "        13");  // halves away from zero
  EXPECT_EQ(key("*STR(PRECIO,6,1)", r), "  12.5");
  EXPECT_EQ(key("*STR(CANT,5)", r), "   -3");
  EXPECT_EQ(key("*STR(PRECIO*100,3)", r), "***");
  EXPECT_EQ(key("*STR(PRECIO,3)+DTOS(FECHA)", r), " 1320260108");
  EXPECT_EQ(key("*DTOS(FECHA)", {}), "        ");
  EXPECT_EQ(key("*STR(PRECIO,4)", {}), "   0");

  KeyExpression price = KeyExpression::compile("*PRECIO*2", layout());
  EXPECT_EQ(price.type(), 'N');
  EXPECT_EQ(price.length(), 8);
  EXPECT_EQ(key("*PRECIO*2", r), key("PRECIO", {{"PRECIO", "25"}}));
  EXPECT_EQ(key("*(PRECIO+CANT)/2-1", r), key("PRECIO", {{"PRECIO", "4"}}));
  EXPECT_EQ(key("*PRECIO/0", r), key("PRECIO", {{"PRECIO", "0"}}));
  EXPECT_GT(key("*-PRECIO", {{"PRECIO", "1"}}), key("*-PRECIO", {{"PRECIO", "2"}}));
  EXPECT_EQ(price.encodePrefix({std::string("25")}), key("PRECIO", {{"PRECIO", "25"}}));

  KeyExpression date = KeyExpression::compile("*FECHA", layout());
  EXPECT_EQ(date.type(), 'D');
  EXPECT_EQ(key("*FECHA", r), "20260108");
  EXPECT_EQ(date.encodePrefix({std::string("08/01/2026")}), "20260108");
}

TEST(KeyExpressionLanguage, ConditionsChooseBetweenValues) {
  EXPECT_EQ(key("*IIF(ACTIVO,CLAVE,NOMBRE)", {{"ACTIVO", "T"}, {"CLAVE", "SI"}, {"NOMBRE", "NO"}}),
            "SI        ");
  EXPECT_EQ(key("*IIF(ACTIVO,CLAVE,NOMBRE)", {{"ACTIVO", "F"}, {"CLAVE", "SI"}, {"NOMBRE", "NO"}}),
            "NO        ");
  EXPECT_EQ(key("*IIF(PRECIO>100,'A','B')", {{"PRECIO", "100.01"}}), "A");
  EXPECT_EQ(key("*IIF(PRECIO>100,'A','B')", {{"PRECIO", "100"}}), "B");
  EXPECT_EQ(key("*IIF(PRECIO>=100,'A','B')", {{"PRECIO", "100"}}), "A");
  EXPECT_EQ(key("*IIF(CLAVE='AB','=','#')", {{"CLAVE", "AB"}}), "=");
  EXPECT_EQ(key("*IIF(CLAVE<>'AB','#','=')", {{"CLAVE", "AB"}}), "=");
  EXPECT_EQ(key("*IIF(CLAVE#'AB','#','=')", {{"CLAVE", "AC"}}), "#");
  EXPECT_EQ(key("*IIF(FECHA<=FECHA,1,2)", {}), key("PRECIO", {{"PRECIO", "1"}}));
  EXPECT_EQ(key("*CLAVE<'B'", {{"CLAVE", "A"}}), "T");
}

TEST(KeyExpressionLanguage, MalformedKeysSayWhatIsWrong) {
  const std::string bad = "Expresión de índice inválida: ";
  EXPECT_EQ(compileError("*UPPER(NOMBRE"), bad + "se esperaba ')' en la posición 13");
  EXPECT_EQ(compileError("*FOO(NOMBRE)"), bad + "función desconocida FOO en la posición 1");
  EXPECT_EQ(compileError("*NOMBRE+"), bad + "se esperaba un valor en la posición 8");
  EXPECT_EQ(compileError("*NOMBRE+PRECIO"), bad + "tipos incompatibles en '+' en la posición 7");
  EXPECT_EQ(compileError("*CLAVE+DTOS(FECHA)-FECHA"), bad + "tipos incompatibles en '-' en la posición 18");
  EXPECT_EQ(compileError("*CLAVE*2"), bad + "tipos incompatibles en '*' en la posición 6");
  EXPECT_EQ(compileError("*IIF(CLAVE=1,1,2)"), bad + "tipos incompatibles en '=' en la posición 10");
  EXPECT_EQ(compileError("*'abc"), bad + "texto sin cerrar en la posición 1");
  EXPECT_EQ(compileError("*NOMBRE @"), bad + "carácter inesperado '@' en la posición 8");
  EXPECT_EQ(compileError("*NOMBRE CLAVE"), bad + "sobra texto en la posición 8");
  EXPECT_EQ(compileError("*(NOMBRE"), bad + "se esperaba ')' en la posición 8");
  EXPECT_EQ(compileError("*)"), bad + "se esperaba un valor en la posición 1");
  EXPECT_EQ(compileError("*"), bad + "expresión vacía");
  EXPECT_EQ(compileError("*-NOMBRE"), bad + "'-' requiere un número en la posición 1");
  EXPECT_EQ(compileError("*UPPER()"), bad + "UPPER requiere 1 argumento");
  EXPECT_EQ(compileError("*LEFT(NOMBRE)"), bad + "LEFT requiere 2 argumentos");
  EXPECT_EQ(compileError("*SUBSTR(NOMBRE)"), bad + "SUBSTR requiere de 2 a 3 argumentos");
  EXPECT_EQ(compileError("*UPPER(PRECIO)"), bad + "UPPER: el argumento 1 debe ser texto");
  EXPECT_EQ(compileError("*STR(CLAVE)"), bad + "STR: el argumento 1 debe ser un número");
  EXPECT_EQ(compileError("*DTOS(NOMBRE)"), bad + "DTOS: el argumento 1 debe ser una fecha");
  EXPECT_EQ(compileError("*IIF(PRECIO,1,2)"), bad + "IIF: el argumento 1 debe ser lógico");
  EXPECT_EQ(compileError("*IIF(ACTIVO,1,'X')"), bad + "IIF: los argumentos 2 y 3 deben ser del mismo tipo");
  EXPECT_EQ(compileError("*STR(PRECIO,CANT)"), bad + "STR: el argumento 2 debe ser un número entero constante");
  EXPECT_EQ(compileError("*LEFT(NOMBRE,2.5)"), bad + "LEFT: el argumento 2 debe ser un número entero constante");
  EXPECT_EQ(compileError("*SUBSTR(NOMBRE,0,2)"), bad + "SUBSTR: el argumento 2 debe ser mayor que cero");
  EXPECT_EQ(compileError("*NOPE"), "Campo NOPE no encontrado");
  EXPECT_EQ(compileError("*UPPER(NOTA)"), "El campo NOTA no puede indexarse");
  EXPECT_EQ(compileError("*STR(PRECIO,241)"), "Llave de índice demasiado larga: 241 bytes, el máximo es 240");
  EXPECT_EQ(compileError("*LEFT(NOMBRE,0)"), "Llave de índice sin longitud");
  EXPECT_EQ(compileError(""), "Llave de índice vacía");
  EXPECT_EQ(compileError("   "), "Llave de índice vacía");
  EXPECT_EQ(compileError("CLAVE;;FECHA"), "Llave de índice inválida: campo vacío");
  EXPECT_EQ(compileError("CLAVE;"), "Llave de índice inválida: campo vacío");
  EXPECT_EQ(compileError("CLAVE;NOPE"), "Campo NOPE no encontrado");
  EXPECT_EQ(compileError("NOTA"), "El campo NOTA no puede indexarse");
}

}  // namespace
}  // namespace mostrador::dbf
