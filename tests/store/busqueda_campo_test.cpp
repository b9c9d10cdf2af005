// The search by any field over a table of its own: what each field type accepts, which
// record is the first match in record order and under an index, and what is said.
#include <gtest/gtest.h>

#include "store/busqueda_campo.h"
#include "store/dbf/dbf_table.h"
#include "support/entorno.h"
#include "support/interaccion_fake.h"

namespace mostrador::prueba {
namespace {

using store::ResultadoBusquedaCampo;
constexpr auto Hallado = ResultadoBusquedaCampo::Hallado;
constexpr auto NoSeEncuentra = ResultadoBusquedaCampo::NoSeEncuentra;
constexpr auto ValorNoValido = ResultadoBusquedaCampo::ValorNoValido;

struct BusquedaCampo : ::testing::Test {
  DirectorioTemporal dir;
  dbf::Table t;
  BusquedaCampo() {
    dbf::Table::create(dir.str(), "clientes.dbf",
                       {{"CLCLI_C", 'C', 10, 0},
                        {"NOMBR_C", 'C', 30, 0},
                        {"SALDO_C", 'N', 12, 2},
                        {"FULCO_C", 'D', 8, 0},
                        {"CREDI_C", 'L', 1, 0}},
                       {{"ICLACLI", "CLCLI_C"},
                        {"NOMBR_C", "NOMBR_C"},
                        {"DNOMBR", "NOMBR_C", false, true},
                        {"UNOMBR", "*UPPER(NOMBR_C)"}});
    t.open(dir.str(), "clientes.dbf");
    struct Fila {
      const char *clave, *nombre;
      double saldo;
      dbf::Fecha fecha;
      bool credito;
    };
    // Record order differs from the name order: "Ana Beltrán" (2) comes before "Ana Abad" (4)
    // in the file, after it under the name tag.
    for (const Fila& f : {Fila{"C5", "Zoila Vega", 120, {2001, 3, 5}, false},
                          Fila{"C1", "Ana Beltrán", 12.5, {2024, 11, 30}, true},
                          Fila{"C3", "ana maría", -1, {2001, 3, 5}, false},
                          Fila{"C2", "Ana Abad", 3, {1999, 1, 2}, true},
                          Fila{"C4", "Beto Ruiz", 0.25, {2024, 1, 1}, false}}) {
      t.append();
      t.setText("CLCLI_C", f.clave);
      t.setText("NOMBR_C", f.nombre);
      t.setFloat("SALDO_C", f.saldo);
      t.setDate("FULCO_C", f.fecha);
      t.setBool("CREDI_C", f.credito);
      t.post();
    }
    t.first();
  }
  // The record number the search leaves the table on, 0 when it did not find one.
  uint32_t busca(std::string_view campo, std::string_view valor) {
    return store::buscaPorCampo(t, campo, valor) == Hallado ? t.recno() : 0;
  }
};

TEST_F(BusquedaCampo, ValuesEachFieldTypeCanTake) {
  const dbf::FieldDef texto{"NOMBR_C", 'C', 5, 0}, numero{"SALDO_C", 'N', 6, 2}, fecha{"FULCO_C", 'D', 8, 0},
      logico{"CREDI_C", 'L', 1, 0}, memo{"NOTAS_C", 'M', 10, 0};
  for (const char* v : {"", "abcde", "ñáéíó", "12345"}) EXPECT_TRUE(store::valorValidoPara(texto, v)) << v;
  EXPECT_FALSE(store::valorValidoPara(texto, "abcdef"));
  EXPECT_FALSE(store::valorValidoPara(texto, "ñáéíóú"));  // six stored bytes
  for (const char* v : {"12", "-1", "12.5", "0.25", ".5", "123.45"}) EXPECT_TRUE(store::valorValidoPara(numero, v)) << v;
  for (const char* v : {"", "-", ".", "1.2.3", "12,5", "1e3", "doce", " 12", "1234.56"})
    EXPECT_FALSE(store::valorValidoPara(numero, v)) << v;
  for (const char* v : {"05/03/2001", "5/3/2001", "29/02/2024"}) EXPECT_TRUE(store::valorValidoPara(fecha, v)) << v;
  for (const char* v : {"", "31/02/2001", "29/02/2023", "2001-03-05", "05/03", "hoy"})
    EXPECT_FALSE(store::valorValidoPara(fecha, v)) << v;
  EXPECT_TRUE(store::valorValidoPara(logico, "T"));
  EXPECT_TRUE(store::valorValidoPara(logico, "F"));
  EXPECT_FALSE(store::valorValidoPara(logico, "S"));
  EXPECT_FALSE(store::valorValidoPara(memo, "x"));
}

TEST_F(BusquedaCampo, FirstRecordWhoseTextBeginsWithTheValueCaseCounting) {
  EXPECT_EQ(busca("NOMBR_C", "Ana"), 2u);
  EXPECT_EQ(busca("NOMBR_C", "ana"), 3u);
  EXPECT_EQ(busca("NOMBR_C", "Ana A"), 4u);
  EXPECT_EQ(busca("nombr_c", "Beto Ruiz"), 5u);  // the field name in any case
  EXPECT_EQ(busca("NOMBR_C", ""), 1u);          // every text begins with nothing
  EXPECT_EQ(busca("CLCLI_C", "C3"), 3u);
  EXPECT_EQ(busca("CREDI_C", "T"), 2u);
  // Numbers as the text they are stored as.
  EXPECT_EQ(busca("SALDO_C", "12"), 1u);  // 120.00 comes first
  EXPECT_EQ(busca("SALDO_C", "12.5"), 2u);
  EXPECT_EQ(busca("SALDO_C", "-1"), 3u);
  EXPECT_EQ(busca("SALDO_C", "0.2"), 5u);
  EXPECT_EQ(busca("SALDO_C", "3.00"), 4u);
  // Dates as "dd/MM/yyyy", typed with or without the leading zeros.
  EXPECT_EQ(busca("FULCO_C", "05/03/2001"), 1u);
  EXPECT_EQ(busca("FULCO_C", "2/1/1999"), 4u);
  EXPECT_EQ(busca("FULCO_C", "30/11/2024"), 2u);
}

TEST_F(BusquedaCampo, NothingFoundOrAValueTheFieldCannotTakeLeavesThePosition) {
  ASSERT_TRUE(t.goTo(3));
  EXPECT_EQ(store::buscaPorCampo(t, "NOMBR_C", "ANA"), NoSeEncuentra);
  EXPECT_EQ(t.recno(), 3u);
  EXPECT_EQ(store::buscaPorCampo(t, "NOMBR_C", "Ana Beltrán López"), NoSeEncuentra);
  EXPECT_EQ(store::buscaPorCampo(t, "SALDO_C", "7"), NoSeEncuentra);
  EXPECT_EQ(store::buscaPorCampo(t, "FULCO_C", "06/03/2001"), NoSeEncuentra);
  EXPECT_EQ(store::buscaPorCampo(t, "SALDO_C", "doce"), ValorNoValido);
  EXPECT_EQ(store::buscaPorCampo(t, "SALDO_C", "12,5"), ValorNoValido);
  EXPECT_EQ(store::buscaPorCampo(t, "FULCO_C", "31/02/2001"), ValorNoValido);
  EXPECT_EQ(store::buscaPorCampo(t, "CLCLI_C", "C1234567890"), ValorNoValido);
  EXPECT_EQ(store::buscaPorCampo(t, "CIUDA_C", "Monterrey"), ValorNoValido);
  EXPECT_EQ(t.recno(), 3u);
}

TEST_F(BusquedaCampo, DeletedRecordsAreNotFound) {
  ASSERT_TRUE(t.goTo(2));
  t.remove();
  EXPECT_EQ(busca("NOMBR_C", "Ana"), 4u);
  EXPECT_EQ(busca("SALDO_C", "12.5"), 0u);
}

TEST_F(BusquedaCampo, UnderAnIndexTheFirstInItsOrderAndOnlyWithinItsRange) {
  t.setIndex("NOMBR_C");
  EXPECT_EQ(busca("NOMBR_C", "Ana"), 4u);  // "Ana Abad" before "Ana Beltrán"
  EXPECT_EQ(busca("FULCO_C", "05/03/2001"), 1u);  // "Zoila Vega" before "ana maría" (bytes)
  EXPECT_EQ(busca("SALDO_C", "12.5"), 2u);         // a single candidate
  t.setIndex("DNOMBR");  // descending
  EXPECT_EQ(busca("NOMBR_C", "Ana"), 2u);
  EXPECT_EQ(busca("FULCO_C", "05/03/2001"), 3u);
  t.setIndex("UNOMBR");  // an expression: "ANA MARÍA" before "ZOILA VEGA"
  EXPECT_EQ(busca("FULCO_C", "05/03/2001"), 3u);
  EXPECT_EQ(busca("NOMBR_C", "Ana"), 4u);
  t.setIndex("ICLACLI");
  EXPECT_EQ(busca("NOMBR_C", "Ana"), 2u);  // C1 before C2
  t.setRange({"C3"}, {"C5"});
  ASSERT_TRUE(t.goTo(5));
  EXPECT_EQ(busca("NOMBR_C", "Ana"), 0u);  // C1 and C2 lie outside
  EXPECT_EQ(t.recno(), 5u);
  EXPECT_EQ(busca("NOMBR_C", "Ana B"), 0u);  // one candidate, outside
  EXPECT_EQ(t.recno(), 5u);
  EXPECT_EQ(busca("FULCO_C", "5/3/2001"), 3u);  // C3 before C5
}

TEST_F(BusquedaCampo, RecordsAnotherHandleChangedAreSeen) {
  dbf::Table otra;
  otra.open(dir.str(), "clientes.dbf");
  ASSERT_TRUE(otra.goTo(5));
  otra.edit();
  otra.setText("NOMBR_C", "Ana Zapata");
  otra.post();
  otra.append();
  otra.setText("NOMBR_C", "Xóchitl");
  otra.post();
  EXPECT_EQ(busca("NOMBR_C", "Ana Z"), 5u);
  EXPECT_EQ(busca("NOMBR_C", "Xó"), 6u);
  EXPECT_EQ(busca("NOMBR_C", "Beto"), 0u);
}

TEST_F(BusquedaCampo, TheUserIsToldWhatHappened) {
  InteraccionFalsa ui;
  ASSERT_TRUE(t.goTo(5));
  EXPECT_TRUE(store::buscaPorCampo(t, "NOMBR_C", "ana", ui));
  EXPECT_EQ(t.recno(), 3u);
  EXPECT_FALSE(store::buscaPorCampo(t, "NOMBR_C", "Carlos", ui));
  EXPECT_FALSE(store::buscaPorCampo(t, "SALDO_C", "mucho", ui));
  EXPECT_EQ(t.recno(), 3u);
  EXPECT_EQ(ui.llamadas(), (std::vector<std::string>{"mensaje: No se Encuentra",
                                                     "mensaje: Valor no Válido Revise Por Favor"}));
}

}  // namespace
}  // namespace mostrador::prueba
