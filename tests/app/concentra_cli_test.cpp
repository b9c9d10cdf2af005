// mostrador-cli concentra as a script runs it: a separate process over a small sales
// table, its text pages and its tab-separated rows, and the command lines it refuses.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "base/rutas.h"
#include "store/dbf/dbf_table.h"
#include "support/entorno.h"
#include "support/orden_cli.h"

namespace {

using namespace mostrador;
namespace fs = std::filesystem;

using Salida = prueba::SalidaOrden;
Salida corre(const std::string& argumentos) { return prueba::correOrden(MOSTRADOR_CLI, argumentos); }

class CliConcentra : public ::testing::Test {
 protected:
  void SetUp() override {
    datos = dir.str() + "/datos";
    sistema = dir.str() + "/sistema";
    fs::create_directories(datos);
    fs::create_directories(sistema);
    dbf::Table::create(datos, "ventas.dbf",
                       {{"CLVEN_F", 'C', 4, 0},
                        {"NOMBR_F", 'C', 20, 0},
                        {"IMTOD_F", 'N', 14, 4},
                        {"PIEZA_F", 'N', 6, 0},
                        {"STATU_F", 'C', 1, 0},
                        {"FEDOC_F", 'D', 8, 0}},
                       {{"ICLVEN", "CLVEN_F", false, false}});
    fila("V2", "Luis", 40, 1, "", {2025, 1, 10});
    fila("V1", "Ana", 100.5, 2, "", {2025, 1, 5});
    fila("V1", "Ana Paz", 20.25, 3, "C", {2025, 1, 6});
    fila("V1", "Otra", 9.25, 4, "", {2025, 2, 1});
    fila("V3", "Eva", 7, 5, "", {2024, 12, 31});
  }
  void fila(const std::string& vendedor, const std::string& nombre, double total, int piezas,
            const std::string& estado, dbf::Fecha fecha) {
    dbf::Table t;
    t.open(datos, "ventas.dbf");
    t.append();
    t.setText("CLVEN_F", vendedor);
    t.setText("NOMBR_F", nombre);
    t.setFloat("IMTOD_F", total);
    t.setFloat("PIEZA_F", piezas);
    if (!estado.empty()) t.setText("STATU_F", estado);
    t.setDate(t.requireField("FEDOC_F"), fecha);
    t.post();
  }
  std::string lugar() const { return " --datos '" + datos + "' --sistema '" + sistema + "'"; }

  prueba::DirectorioTemporal dir;
  std::string datos, sistema;
};

TEST_F(CliConcentra, ConcentratesByKeyIntoTabSeparatedRowsAndLeavesNoScratchFiles) {
  Salida s = corre("concentra ventas.dbf --clave CLVEN_F --segunda-clave NOMBR_F --columnas IMTOD_F,PIEZA_F"
                   " --titulos Vendedor,Nombre,Total,-Piezas --formato tsv" + lugar());
  ASSERT_EQ(s.codigo, 0) << s.err;
  EXPECT_EQ(prueba::primeraLinea(s.err), "");
  // One row per seller in key order; the second key and the sums come from the group
  // (PIEZA_F is a whole-number field: "e", not summed, the first record's value).
  EXPECT_EQ(s.out,
            "Vendedor\tNombre\tTotal\t-Piezas\t\t\t\t\t\t\n"
            "V1\tAna\t130\t2\t0\t0\t0\t0\t0\t0\n"
            "V2\tLuis\t40\t1\t0\t0\t0\t0\t0\t0\n"
            "V3\tEva\t7\t5\t0\t0\t0\t0\t0\t0\n");
  for (const char* n : {"concen.tmp", "orden.tmp", "final.tmp", "etique.tmp", "anchos.tmp"})
    EXPECT_FALSE(fs::exists(fs::path(sistema) / "tempo" / n)) << n;
}

TEST_F(CliConcentra, DateRangeStateConditionAndOptionDcGiveTheViewersTextPage) {
  Salida s = corre("concentra ventas.dbf --clave CLVEN_F --segunda-clave NOMBR_F --columnas IMTOD_F"
                   " --titulos Vendedor,Nombre,Total --anchos 8,10,16 --campo-fecha FEDOC_F"
                   " --desde 01/01/2025 --hasta 31/01/2025 --estado 'STATU_F!C' --opcion DC"
                   " --titulo 'Ventas de Enero'" + lugar());
  ASSERT_EQ(s.codigo, 0) << s.err;
  // January without the cancelled document: V1 (Ana) and V2 (Luis), each with its
  // group total, then the report's total.
  // The viewer's fitting: a cell padded to its width + 1 ("V1" in 8 takes 9), the seven
  // unused columns one blank each; amounts as "$" and the mask "###,###,##0.00".
  const std::string resto(7, ' ');
  const std::string esperado =
      "Ventas de Enero\n"
      "Vendedor Nombre     Total            " + resto + "\n"
      "________ __________ ________________ " + resto + "\n"
      "V1       Ana        $        100.50  " + resto + "\n"
      "TOTALES             $        100.50  " + resto + "\n"
      "V2       Luis       $         40.00  " + resto + "\n"
      "TOTALES             $         40.00  " + resto + "\n"
      "TOTALES             $        140.50  " + resto + "\n"
      "Página 1 de  1\n";
  EXPECT_EQ(s.out, esperado);
}

TEST_F(CliConcentra, OptionDListsEveryRecordInTableOrderWithinTheIndexRange) {
  Salida s = corre("concentra ventas.dbf --clave CLVEN_F --columnas IMTOD_F --opcion D --indice ICLVEN"
                   " --rango-desde V1 --rango-hasta V2 --formato tsv" + lugar());
  ASSERT_EQ(s.codigo, 0) << s.err;
  EXPECT_EQ(s.out,
            "CLVEN_F\t\tIMTOD_F\t\t\t\t\t\t\t\n"
            "V1\t\t100.5000\t0\t0\t0\t0\t0\t0\t0\n"
            "V1\t\t20.2500\t0\t0\t0\t0\t0\t0\t0\n"
            "V1\t\t9.2500\t0\t0\t0\t0\t0\t0\t0\n"
            "V2\t\t40.0000\t0\t0\t0\t0\t0\t0\t0\n");
}

TEST_F(CliConcentra, RefusesWhatItCannotRunWithUsageErrors) {
  struct Caso {
    std::string argumentos, error;
  };
  const Caso casos[] = {
      {"concentra" + lugar(), "concentra necesita el nombre de la tabla"},
      {"concentra ventas.dbf" + lugar(), "concentra necesita --clave CAMPO"},
      {"concentra ventas.dbf --clave CLVEN_F --color rojo" + lugar(), "opción desconocida: --color"},
      {"concentra ventas.dbf --clave CLVEN_F --opcion X" + lugar(), "--opcion es C, D o DC"},
      {"concentra ventas.dbf --clave CLVEN_F --desde 32/01/2025 --campo-fecha FEDOC_F" + lugar(),
       "--desde no es una fecha dd/MM/aaaa: 32/01/2025"},
      {"concentra ventas.dbf --clave CLVEN_F --desde 01/01/2025" + lugar(),
       "--desde y --hasta van con --campo-fecha CAMPO"},
      {"concentra ventas.dbf --clave CLVEN_F --estado STATU_F" + lugar(),
       "--estado es CAMPO=VALOR, CAMPO!VALOR, CAMPO>VALOR o CAMPO<VALOR: STATU_F"},
      {"concentra ventas.dbf --clave CLVEN_F --columnas A,B,C,D,E,F,G,H,I" + lugar(),
       "--columnas admite hasta ocho columnas"},
      {"concentra ventas.dbf --clave CLVEN_F --columnas NOEXISTE" + lugar(),
       "la tabla ventas.dbf no tiene el campo NOEXISTE"},
      {"concentra ventas.dbf --clave CLVEN_F --rango-desde V1" + lugar(),
       "--rango-desde y --rango-hasta van con --indice TAG"},
      {"concentra ventas.dbf --clave CLVEN_F --formato pdf" + lugar(), "--formato es texto o tsv"},
      {"concentra ventas.dbf" + lugar() + " --clave", "falta el valor de --clave"},
  };
  for (const auto& c : casos) {
    const Salida s = corre(c.argumentos);
    EXPECT_EQ(s.codigo, 2) << c.argumentos;
    EXPECT_EQ(s.out, "") << c.argumentos;
    EXPECT_EQ(prueba::primeraLinea(s.err), "mostrador-cli concentra: " + c.error + "\n") << c.argumentos;
  }
  const Salida s = corre("concentra otra.dbf --clave X" + lugar());
  EXPECT_EQ(s.codigo, 1);
  EXPECT_EQ(prueba::primeraLinea(s.err), "mostrador-cli concentra: El Archivo " + base::une(datos, "otra.dbf") + " No Existe\n");
}

TEST_F(CliConcentra, HelpDocumentsEveryOption) {
  const Salida s = corre("concentra --help");
  ASSERT_EQ(s.codigo, 0);
  EXPECT_EQ(s.out.rfind("Uso: mostrador-cli concentra TABLA --clave CLAVE", 0), 0u) << s.out;
  for (const char* o : {"--clave", "--segunda-clave", "--columnas", "--titulos", "--anchos", "--campo-fecha", "--desde",
                        "--hasta", "--estado", "--opcion", "--indice", "--rango-desde", "--rango-hasta", "--titulo ",
                        "--formato", "--datos", "--empresa", "--sistema"})
    EXPECT_NE(s.out.find(o), std::string::npos) << o;
  EXPECT_NE(corre("--help").out.find("  concentra TABLA "), std::string::npos);
}

}  // namespace
