// Arithmetic, text expressions, conditions and the lexical rules of format lines.

#include <gtest/gtest.h>

#include "support/fakes_impresion.h"
#include "printing/expresiones.h"
#include "printing/linea_formato.h"
#include "printing/texto_formato.h"

using namespace mostrador;
using namespace mostrador::printing;
using mostrador::prueba::TablaMemoria;

namespace {

TEST(ExpresionNumerica, PrecedenceParenthesesAndTheFifteenCharacterResult) {
  EXPECT_EQ(*ExpresionNumerica("(2+3)*4").valor, "        20.0000");
  EXPECT_EQ(*ExpresionNumerica("10/0").valor, "         0.0000");
  EXPECT_EQ(*ExpresionNumerica("10/0+2").valor, "         2.0000");
  EXPECT_EQ(*ExpresionNumerica("2+3*4").valor, "        14.0000");
  EXPECT_EQ(*ExpresionNumerica("-5*2").valor, "       -10.0000");
  EXPECT_EQ(*ExpresionNumerica("--3").valor, "         3.0000");
  EXPECT_EQ(*ExpresionNumerica("4-(2-5)").valor, "         7.0000");
  EXPECT_EQ(*ExpresionNumerica("4*(2-5)").valor, "       -12.0000");
  EXPECT_EQ(*ExpresionNumerica(" ( 1 + 2 ) * ( 3 + ( 4 / 2 ) ) ").valor, "        15.0000");
  EXPECT_EQ(*ExpresionNumerica("7+").valor, "         7.0000");
  EXPECT_EQ(*ExpresionNumerica("1/3").valor, "         0.3333");
  EXPECT_EQ(*ExpresionNumerica("123456789012").valor, "123456789012.0000");
}

TEST(ExpresionNumerica, UnbalancedOrEmptyGivesNoValueAndTheMessage) {
  for (const char* t : {"(2+3", "2+3)", "", "   ", ")2+3("}) {
    ResultadoNumerico r = ExpresionNumerica(t);
    EXPECT_FALSE(r.valor) << t;
    EXPECT_EQ(r.mensaje, "Existe un error en la expresion Faltan parentesis") << t;
  }
  EXPECT_THROW(ExpresionNumerica("(2*)"), ErrorFormato);
  EXPECT_THROW(ExpresionNumerica("(*2)+1"), ErrorFormato);
  // Inside a part, what is not a number counts 0 (the shared evaluator's rule).
  EXPECT_EQ(*ExpresionNumerica("abc*2").valor, "         0.0000");
  EXPECT_EQ(*ExpresionNumerica("1,500+1").valor, "         1.0000");
}

class Terminos : public ::testing::Test {
 protected:
  TablaMemoria tabla{"cliente.dbf",
                     {"CLCLI_C", "NOMBR_C", "SALDO_C", "FECHA_C", "VARIABLE1"},
                     {{"7", "Ana", "250.5", "31/12/2000", "campo"}}};
  Variables vars;
};

TEST_F(Terminos, TextExpressionJoinsUpToTenTerms) {
  vars.numeros[2] = 2.5;
  vars.cadenas[1] = "uno";
  EXPECT_EQ(ExpresionTexto("Cliente +[000]+ +nombr_c", tabla, vars), "Cliente 7 Ana");
  EXPECT_EQ(ExpresionTexto("variable2+cadena1+cadena9+variable7", tabla, vars),
            "2.5unocadena9variable7");
  // A term that is both a field and a variable gives both values.
  EXPECT_EQ(ExpresionTexto("VARIABLE1", tabla, vars), "campo0");
  EXPECT_EQ(ExpresionTexto("", tabla, vars), "");
  EXPECT_EQ(ExpresionTexto("1+2+3+4+5+6+7+8+9+10+11+12", tabla, vars), "12345678910");
  EXPECT_THROW(ExpresionTexto("[005]", tabla, vars), ErrorFormato);
}

TEST_F(Terminos, TermValueTakesTheFirstRuleThatMatches) {
  EXPECT_EQ(ValorTermino("[002]", tabla, vars), "250.5");
  EXPECT_EQ(ValorTermino("VARIABLE1", tabla, vars), "0");
  EXPECT_EQ(ValorTermino("saldo_c", tabla, vars), "250.5");
  EXPECT_EQ(ValorTermino(" SALDO_C", tabla, vars), " SALDO_C");
}

TEST_F(Terminos, AssignmentTargets) {
  auto asigna = [&](const char* l) { EjecutaAsignacion(l, tabla, vars, {}); };
  asigna("variable1=SALDO_C*2-[000]");
  EXPECT_DOUBLE_EQ(vars.numeros[1], 494);
  asigna("cadena2=NOMBR_C+-+CLCLI_C+ x-y");
  EXPECT_EQ(vars.cadenas[2], "Ana7 xy");
  asigna("variable3=cadena5+1");  // an empty value becomes 0 for a number
  EXPECT_DOUBLE_EQ(vars.numeros[3], 1);
  asigna("variable9=5");
  asigna("otra=5");
  EXPECT_DOUBLE_EQ(vars.numeros[9], 0);
  std::vector<std::string> avisos;
  EXPECT_THROW(EjecutaAsignacion("variable1=(1", tabla, vars,
                                 [&](std::string_view m) { avisos.emplace_back(m); }),
               ErrorFormato);
  EXPECT_EQ(avisos, std::vector<std::string>{"Existe un error en la expresion Faltan parentesis"});
  EXPECT_DOUBLE_EQ(vars.numeros[1], 494);  // unchanged after the failure
}

TEST_F(Terminos, ConditionsCompareByTypeAndCombine) {
  auto si = [&](const char* c) { return EvaluaCondicion(c, tabla, vars); };
  EXPECT_TRUE(si("(SALDO_C>100)"));
  EXPECT_FALSE(si("(SALDO_C<100)"));
  EXPECT_TRUE(si("(SALDO_C>99.5)"));
  // Numbers compare as numbers, texts as texts ("9" > "10" as text).
  EXPECT_TRUE(si("(9<10)"));
  EXPECT_TRUE(si("(@abc<@abd)"));
  EXPECT_TRUE(si("(NOMBR_C=Ana)"));
  EXPECT_TRUE(si("(NOMBR_C!Eva)"));
  EXPECT_FALSE(si("(NOMBR_C=ana)"));
  EXPECT_TRUE(si("(X=cualquiera)"));
  EXPECT_TRUE(si("(X>cualquiera)"));
  // "^" binds before "|"; parentheses are only dropped.
  EXPECT_TRUE(si("(CLCLI_C=7^NOMBR_C=Ana)"));
  EXPECT_FALSE(si("(CLCLI_C=7^NOMBR_C=Eva)"));
  EXPECT_TRUE(si("(CLCLI_C=8|NOMBR_C=Ana)"));
  EXPECT_TRUE(si("(CLCLI_C=7|CLCLI_C=8^CLCLI_C=9)"));
  EXPECT_TRUE(si("((CLCLI_C=7|CLCLI_C=8)^CLCLI_C=9)"));  // no grouping
  EXPECT_FALSE(si("(NOMBR_C)"));
}

TEST_F(Terminos, NumericAndDateMarks) {
  tabla.pon("SALDO_C", "");
  auto si = [&](const char* c) { return EvaluaCondicion(c, tabla, vars); };
  // An empty left operand is 0 as a number and 01/01/1900 as a date.
  EXPECT_TRUE(si("(SALDO_C=#0)"));
  EXPECT_FALSE(si("(SALDO_C=0)"));
  EXPECT_TRUE(si("(#SALDO_C<#)"
                 "|(SALDO_C=#)"));
  EXPECT_THROW(si("(FECHA_C>%SALDO_C)"), ErrorFormato);
  vars.cadenas[1] = "01/01/2001";
  EXPECT_TRUE(si("(FECHA_C<%cadena1)"));
  EXPECT_FALSE(si("(FECHA_C>%cadena1)"));
  EXPECT_TRUE(si("(SALDO_C<%cadena1)"));
  EXPECT_THROW(si("(NOMBR_C>#abc)"), ErrorFormato);
}

TEST(LineaFormato, KeywordsByTheirFirstThreeLetters) {
  EXPECT_EQ(reconocePalabra("texto(1,1,a)"), Palabra::Texto);
  EXPECT_EQ(reconocePalabra("TEXTO(1,1,a)"), Palabra::Texto);
  EXPECT_EQ(reconocePalabra("estilo(1)"), Palabra::Estilo);
  EXPECT_EQ(reconocePalabra("fondo(rojo)"), Palabra::Fondo);
  EXPECT_EQ(reconocePalabra("año(1,1,hoy)"), Palabra::Anio);
  EXPECT_EQ(reconocePalabra("AÑO(1,1,hoy)"), Palabra::Anio);
  EXPECT_EQ(reconocePalabra("variable1=2"), Palabra::Asignacion);
  EXPECT_EQ(reconocePalabra("cadena1=2"), Palabra::Asignacion);
  EXPECT_EQ(reconocePalabra("contacto(1,1)"), Palabra::Usuario);
  EXPECT_EQ(reconocePalabra("comentarios(1,1)"), Palabra::Comentarios);
  EXPECT_EQ(reconocePalabra("@1,1,x"), Palabra::Colocacion);
  EXPECT_EQ(reconocePalabra(" texto(1,1,a)"), Palabra::Ninguna);
  EXPECT_EQ(reconocePalabra("te"), Palabra::Ninguna);
  EXPECT_EQ(reconocePalabra("si(X=1)"), Palabra::Ninguna);
  EXPECT_EQ(reconocePalabra("impresora,texto"), Palabra::Ninguna);
}

TEST(LineaFormato, FieldSplitting) {
  using V = std::vector<std::string>;
  EXPECT_EQ(divideCampos("texto(10,5,Factura)"), (V{"texto", "10", "5", "Factura", "", "", "", ""}));
  EXPECT_EQ(divideCampos("formato(###,##0.00)"), (V{"formato", "###,##0.00", "", "", "", "", "", ""}));
  EXPECT_EQ(divideCampos("Formato(###,##0.00)"), (V{"Formato", "###", "##0.00", "", "", "", "", ""}));
  EXPECT_EQ(divideCampos("formato,#,##0"), (V{"formato", "#,##0", "", "", "", "", "", ""}));
  EXPECT_EQ(divideCampos("   nuevapagina"), (V{"nuevapagina", "", "", "", "", "", "", ""}));
  EXPECT_EQ(divideCampos("texto(1,2,Total (M.N.) , x)"),
            (V{"texto", "1", "2", "Total ", "M.N.", " ", " x", ""}));
  // Splitting stops once the eighth field is closed.
  EXPECT_EQ(divideCampos("a(1,2,3,4,5,6,7,8,9)"), (V{"a", "1", "2", "3", "4", "5", "6", "7"}));
  Colocacion c = divideColocacion("@10,5,a,b+c");
  EXPECT_EQ(c.columna, "10");
  EXPECT_EQ(c.renglon, "5");
  EXPECT_EQ(c.expresion, "a,b+c");
  EXPECT_EQ(divideColocacion("@10").renglon, "");
}

TEST(TextoFormato, NumbersAndCase) {
  EXPECT_EQ(comoNumero(" 12.5 "), 12.5);
  EXPECT_FALSE(comoNumero("12,5"));
  EXPECT_FALSE(comoNumero("inf"));
  EXPECT_FALSE(comoNumero("0x10"));
  EXPECT_FALSE(comoNumero("."));
  EXPECT_EQ(conDecimales(2.675, 2), "2.68");
  EXPECT_EQ(conDecimales(0.125, 2), "0.13");
  EXPECT_EQ(conDecimales(-0.004, 2), "0.00");
  EXPECT_EQ(conDecimales(9.995, 2), "10.00");
  EXPECT_EQ(decimalCorto(2.5), "2.5");
  EXPECT_EQ(decimalCorto(1e15), "1000000000000000");
  EXPECT_EQ(decimalCorto(-3), "-3");
  EXPECT_EQ(conDecimales(1.5, 0, 4), "   2");
  EXPECT_THROW(leeNumero("1,5"), ErrorFormato);
  EXPECT_EQ(mayusculasAZ("millón"), "MILLóN");
  EXPECT_EQ(mayusculas("ñandú"), "ÑANDÚ");
}

}  // namespace
