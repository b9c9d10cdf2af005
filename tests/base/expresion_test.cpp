#include "base/expresion.h"

#include <gtest/gtest.h>

using namespace mostrador;
using namespace mostrador::base;

TEST(Expresion, SignsDivisionByZeroAndParentheses) {
  EXPECT_EQ(evalua("10/0+2", false), "         2.0000");
  EXPECT_EQ(evalua("-5*2", false), "       -10.0000");
  EXPECT_EQ(evalua("--3", false), "         3.0000");
  EXPECT_EQ(evalua("(2+3)*4", true), "        20.0000");
  EXPECT_EQ(evalua("2*-3", false), "        -6.0000");
  EXPECT_EQ(evalua(" 1 + 2 ", false), "         3.0000");
  EXPECT_EQ(evalua("3-(2-5)", true), "         6.0000");
  EXPECT_EQ(evalua("3*(2-5)", true), "        -9.0000");
  EXPECT_EQ(evalua("(2-5)*3", true), "        -9.0000");
  EXPECT_EQ(evalua("3+(2-5)", true), "         0.0000");
  EXPECT_EQ(evalua("8/(1-1)", true), "         0.0000");
}

TEST(Expresion, TermsKeepFiveDecimals) {
  EXPECT_EQ(evalua("10/3", false), "         3.3333");
  EXPECT_EQ(evalua("2/3", false), "         0.6667");
  EXPECT_EQ(evaluaValor("2/3", false), 0.66667);
  EXPECT_DOUBLE_EQ(evaluaValor("1/3+1/3+1/3", false), 0.99999);
  EXPECT_EQ(evalua("(10/3)*3", true), "        10.0000");
  EXPECT_EQ(evalua("1234567.891*1000", false), "1234567891.0000");
}

TEST(Expresion, OddInputGivesItsDocumentedValue) {
  EXPECT_EQ(evalua("", false), "         0.0000");
  EXPECT_EQ(evalua("%", false), "         0.0000");
  EXPECT_EQ(evalua("#", true), "         0.0000");
  EXPECT_EQ(evalua("5+%", false), "         5.0000");
  EXPECT_EQ(evalua("#*3", false), "         0.0000");
  EXPECT_EQ(evalua("2-", false), "         1.0000");  // a "-" term alone is -1
  EXPECT_EQ(evalua("5*", false), "         0.0000");
  EXPECT_EQ(evalua("abc+1", false), "         1.0000");
  EXPECT_EQ(evalua("1e308*1e308", false), "         0.0000");
  // Unbalanced or nested parentheses.
  EXPECT_EQ(evalua("(2+3", true), "         5.0000");
  EXPECT_EQ(evalua("2+3)", true), "         5.0000");
  EXPECT_EQ(evalua(")(", true), "         0.0000");
  EXPECT_EQ(evalua("((1+2)*3)", true), "         9.0000");
  // Without the parentheses option a parenthesised factor is not a number.
  EXPECT_EQ(evalua("(2+3)*4", false), "         0.0000");
  // A sign right after ")" does not cut a term: "(4)-3" is one unreadable term.
  EXPECT_EQ(evalua("(4)-3", false), "         0.0000");
  EXPECT_EQ(evalua("4-3", false), "         1.0000");
  EXPECT_EQ(evalua(std::string(5000, '('), true), "         0.0000");
}

TEST(Expresion, FourDecimalText) {
  EXPECT_EQ(cuatroDecimales(-0.00001), "         0.0000");
  EXPECT_EQ(cuatroDecimales(2.00005), "         2.0001");
  EXPECT_EQ(cuatroDecimales(123456789012.5), "123456789012.5000");
}

TEST(SeparaPartes, SplitsAtSignsAndSkipsRepeatsAfterGreaterThan) {
  using V = std::vector<std::string>;
  EXPECT_EQ(separaPartes("a+b-c>a>d"), (V{"a", "b", "c", "d"}));
  EXPECT_EQ(separaPartes("x>y>y"), (V{"x", "y"}));
  EXPECT_EQ(separaPartes("a+a"), (V{"a", "a"}));
  EXPECT_EQ(separaPartes("a++b"), (V{"a", "", "b"}));
  EXPECT_EQ(separaPartes(""), V{});
}
