#include "base/texto_util.h"

#include <gtest/gtest.h>

using namespace mostrador;
using namespace mostrador::base;

TEST(TextoUtil, ListItemsCharactersAndLetters) {
  EXPECT_EQ(elementoLista("a,b,,d", 1), "a");
  EXPECT_EQ(elementoLista("a,b,,d", 2), "b");
  EXPECT_EQ(elementoLista("a,b,,d", 3), "");
  EXPECT_EQ(elementoLista("a,b,,d", 4), "d");
  EXPECT_EQ(elementoLista("a,b,,d", 5), "");
  EXPECT_EQ(elementoLista("a,b,,d", 0), "");
  EXPECT_EQ(elementoLista(" x , y", 2), " y");

  EXPECT_EQ(caracteres("Compañía", 5, 6), "añ");
  EXPECT_EQ(caracteres("Compañía", 7, 99), "ía");
  EXPECT_EQ(caracteres("Compañía", 0, 2), "Co");
  EXPECT_EQ(caracteres("Compañía", 4, 3), "");
  EXPECT_EQ(caracteres("", 1, 5), "");

  EXPECT_EQ(mayuscula('q'), 'Q');
  EXPECT_EQ(mayuscula('a'), 'A');
  EXPECT_EQ(mayuscula('z'), 'Z');
  EXPECT_EQ(mayuscula('Q'), 'Q');
  EXPECT_EQ(mayuscula('1'), '1');
  EXPECT_EQ(mayuscula('{'), '{');

  EXPECT_EQ(reemplazaTitulo("Título: Ventas del Título", "Enero"), "Enero: Ventas del Enero");
  EXPECT_EQ(reemplazaTitulo("Titulo", "x"), "Titulo");
}

TEST(TextoUtil, ColumnLettersFromFieldTypes) {
  std::string letras;
  for (TipoCampo t : {TipoCampo::Texto, TipoCampo::Booleano, TipoCampo::Bcd, TipoCampo::Hora,
                      TipoCampo::Autoincremento, TipoCampo::Blob, TipoCampo::Memo, TipoCampo::EnteroCorto,
                      TipoCampo::Entero, TipoCampo::Bytes, TipoCampo::Palabra, TipoCampo::Flotante,
                      TipoCampo::Moneda, TipoCampo::Fecha, TipoCampo::FechaHora, TipoCampo::BytesVariables,
                      TipoCampo::Grafico, TipoCampo::Otro})
    letras += letraTipoCampo(t);
  EXPECT_EQ(letras, "ccccccceeewf$ddbgx");

  EXPECT_EQ(letraColumna('e', TipoCampo::Entero), 'c');
  EXPECT_EQ(letraColumna('e', TipoCampo::Flotante), 'e');
  EXPECT_EQ(letraColumna('f', TipoCampo::Entero), 'f');
}

TEST(TextoUtil, FilterOperatorCodes) {
  std::string codigos;
  for (const char* op : {"=", "<", ">", "<>", "<=", ">=", "&", "Inicia_Con", "Termina_Con", "Incluye"})
    codigos += codigoOperador(op, '?');
  EXPECT_EQ(codigos, "=<>XYZWITU");
  EXPECT_EQ(codigoOperador("incluye", '='), '=');
  EXPECT_EQ(codigoOperador("=<", 'W'), 'W');
  EXPECT_EQ(codigoOperador("", 'X'), 'X');
}
