// "mostrador-cli caja" as a script or cron runs it: cash in and out of the drawer, the
// day's movements, the Z cut with its summary, the paid documents of a till, and the
// refused command lines.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/rutas.h"
#include "session/empresa_nueva.h"
#include "store/dbf/dbf_table.h"
#include "support/entorno.h"
#include "support/orden_cli.h"

namespace {

using namespace mostrador;
using V = std::vector<std::string>;

prueba::SalidaOrden corre(const std::string& argumentos) { return prueba::correOrden(MOSTRADOR_CLI, argumentos); }

V lineas(const std::string& s) {
  V r;
  size_t i = 0;
  while (i < s.size()) {
    size_t j = s.find('\n', i);
    if (j == std::string::npos) j = s.size();
    r.push_back(s.substr(i, j - i));
    i = j + 1;
  }
  return r;
}

class CajaCli : public ::testing::Test {
 protected:
  prueba::DirectorioTemporal dir;
  std::string datos, sistema;

  void SetUp() override {
    datos = dir.str() + "/datos";
    sistema = dir.str() + "/sis";
    session::creaDirectorioDatos(datos);
    base::creaDirectorios(sistema);
    agrega("Remision.dbf", {{"CLDOC_F", "1"}, {"NOMBR_F", "Mostrador"}, {"IMTOD_F", "115"}, {"SUBTO_F", "100"},
                            {"IMIM2_F", "15"}, {"PAGOX_F", "Pagada en 2"}, {"FEDOC_F", "15/03/2025"}});
    agrega("Remisiod.dbf", {{"CLDOC_FD", "1"}, {"CANTI_FD", "1"}, {"PUNPR_FD", "100"}, {"PIVA1_FD", "15"}});
    agrega("Remision.dbf", {{"CLDOC_F", "2"}, {"NOMBR_F", "Sin pagar"}, {"IMTOD_F", "40"}, {"SUBTO_F", "40"},
                            {"FEDOC_F", "15/03/2025"}});
  }
  void agrega(const std::string& tabla, const std::vector<std::pair<std::string, std::string>>& campos) {
    dbf::Table t;
    t.open(datos, tabla);
    t.append();
    for (const auto& [c, v] : campos) {
      const int i = t.requireField(c);
      const char tipo = t.fieldDefs()[static_cast<size_t>(i)].type;
      if (tipo == 'N' || tipo == 'F') t.setFloat(i, std::stod(v));
      else if (tipo == 'D') t.setDate(i, dbf::Fecha{std::stoi(v.substr(6)), std::stoi(v.substr(3, 2)), std::stoi(v.substr(0, 2))});
      else t.setText(i, v);
    }
    t.post();
  }
  std::string donde() const { return " --datos '" + datos + "' --sistema '" + sistema + "'"; }
};

TEST_F(CajaCli, RetirosYEntradasSeGuardanYSeListanConSuSuma) {
  auto s = corre("caja --retiro 20 --concepto Gasolina --fecha 15/03/2025 --caja 3 --vendedor V1" + donde());
  ASSERT_EQ(s.codigo, 0) << s.err;
  EXPECT_EQ(s.out, "Retiro 1: 20.00 Gasolina\n");
  s = corre("caja --retiro 5 --concepto 'Cambio inicial' --entrada --fecha 15/03/2025" + donde());
  ASSERT_EQ(s.codigo, 0) << s.err;
  EXPECT_EQ(s.out, "Entrada 2: 5.00 Cambio inicial\n");

  s = corre("caja --lista --fecha 15/03/2025 --formato tsv" + donde());
  ASSERT_EQ(s.codigo, 0) << s.err;
  V l = lineas(s.out);
  ASSERT_EQ(l.size(), 2u) << s.out;
  // The time is the clock's: only its place is checked.
  EXPECT_EQ(l[0].substr(0, 13), "1\t15/03/2025\t");
  EXPECT_EQ(l[0].substr(l[0].find('\t', 13)), "\t20.00\tGasolina\t3\tV1");
  EXPECT_EQ(l[1], "Retiros  20.00");
  s = corre("caja --lista --entrada --fecha 15/03/2025" + donde());
  ASSERT_EQ(s.codigo, 0) << s.err;
  l = lineas(s.out);
  ASSERT_EQ(l.size(), 2u);
  EXPECT_EQ(l[1], "Retiros  5.00");
  EXPECT_EQ(prueba::primeraLinea(s.err), "");
}

TEST_F(CajaCli, CorteZDelDiaConSuResumen) {
  agrega("retiros.dbf", {{"CLDOC_F", "1"}, {"CANTIDAD", "20"}, {"FEDOC_F", "15/03/2025"}});
  agrega("retiros.dbf", {{"CLDOC_F", "2"}, {"CANTIDAD", "5"}, {"NUM_CONCEP", "2"}, {"FEDOC_F", "15/03/2025"}});
  auto s = corre("caja --corte-z --desde 15/03/2025 --hasta 15/03/2025" + donde());
  ASSERT_EQ(s.codigo, 0) << s.err;
  const V l = lineas(s.out);
  ASSERT_GE(l.size(), 22u);
  EXPECT_EQ(l[l.size() - 22], "Total Remisiones(GRABADO)         100.00");
  EXPECT_EQ(l[l.size() - 21], "Total Remisiones(NO GRABADO)       40.00");
  EXPECT_EQ(l[l.size() - 18], "Total de Remisiones               155.00");
  EXPECT_EQ(l[l.size() - 4], "Total de Retiros               20.00");
  EXPECT_EQ(l.back(), "TOTAL EN CAJA                 140.00");
  EXPECT_EQ(prueba::primeraLinea(s.err), "");

  // The summary kind: the same lines under the title.
  s = corre("caja --corte-z --resumen --desde 15/03/2025 --hasta 15/03/2025" + donde());
  ASSERT_EQ(s.codigo, 0) << s.err;
  const V r = lineas(s.out);
  ASSERT_GE(r.size(), 23u);
  EXPECT_EQ(r[1], "Total Remisiones(GRABADO)         100.00");
  EXPECT_EQ(r[22], "TOTAL EN CAJA                 140.00");
}

TEST_F(CajaCli, PagadosYNoPagadosDeUnaCaja) {
  auto s = corre("caja --pagados 2 --formato tsv" + donde());
  ASSERT_EQ(s.codigo, 0) << s.err;
  V l = lineas(s.out);
  ASSERT_GE(l.size(), 5u);
  EXPECT_EQ(l[4], "1\tMostrador\t115.00\t100.00\t15.00\t15/03/2025");
  EXPECT_EQ(s.out.find("Sin pagar"), std::string::npos);
  s = corre("caja --no-pagados 2 --formato tsv" + donde());
  ASSERT_EQ(s.codigo, 0) << s.err;
  l = lineas(s.out);
  ASSERT_GE(l.size(), 5u);
  EXPECT_EQ(l[4], "2\tSin pagar\t40.00\t40.00\t0.00\t15/03/2025");
}

TEST_F(CajaCli, LineasDeOrdenMalasSeRechazanConCodigoDos) {
  auto s = corre("caja --help");
  EXPECT_EQ(s.codigo, 0);
  EXPECT_EQ(s.out.substr(0, 41), "Uso: mostrador-cli caja (--corte-z [--res");
  struct Caso {
    std::string argumentos, error;
  };
  const std::vector<Caso> casos = {
      {" --corte-z --nada", "mostrador-cli caja: opción desconocida: --nada\n"},
      {"", "mostrador-cli caja: indique una de --corte-z, --corte, --ventas-por-caja, --retiro, --lista, --pagados, "
               "--no-pagados\n"},
      {" --corte-z --lista", "mostrador-cli caja: indique una de --corte-z, --corte, --ventas-por-caja, --retiro, "
                                 "--lista, --pagados, --no-pagados\n"},
      {" --retiro -3 --concepto X", "mostrador-cli caja: --retiro necesita una cantidad mayor que cero: -3\n"},
      {" --retiro 3", "mostrador-cli caja: --retiro necesita --concepto TEXTO\n"},
      {" --corte-z --desde 32/01/2025 --hasta 01/02/2025",
       "mostrador-cli caja: --desde no es una fecha dd/MM/aaaa: 32/01/2025\n"},
      {" --corte-z --desde 01/02/2025", "mostrador-cli caja: el corte necesita --desde y --hasta\n"},
      {" --lista --resumen", "mostrador-cli caja: --resumen va con --corte-z\n"},
      {" --retiro", "mostrador-cli caja: falta el valor de --retiro\n"},
  };
  for (const Caso& c : casos) {
    // The place options first, so that a missing value stays missing.
    s = corre("caja" + donde() + c.argumentos);
    EXPECT_EQ(s.codigo, 2) << c.argumentos;
    EXPECT_EQ(prueba::primeraLinea(s.err), c.error) << c.argumentos;
    EXPECT_EQ(s.out, "") << c.argumentos;
  }
  // Nothing was written by the refused lines.
  dbf::Table t;
  t.open(datos, "retiros.dbf");
  EXPECT_TRUE(t.isEmpty());
}

}  // namespace
