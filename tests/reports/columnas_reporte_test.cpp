#include "reports/columnas_reporte.h"

#include <gtest/gtest.h>

#include <string>

using namespace mostrador::reports;

TEST(ColumnasReporte, ColumnLettersFromFieldTypes) {
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

TEST(ColumnasReporte, FilterOperatorCodes) {
  std::string codigos;
  for (const char* op : {"=", "<", ">", "<>", "<=", ">=", "&", "Inicia_Con", "Termina_Con", "Incluye"})
    codigos += codigoOperador(op, '?');
  EXPECT_EQ(codigos, "=<>XYZWITU");
  EXPECT_EQ(codigoOperador("incluye", '='), '=');
  EXPECT_EQ(codigoOperador("=<", 'W'), 'W');
  EXPECT_EQ(codigoOperador("", 'X'), 'X');
}
