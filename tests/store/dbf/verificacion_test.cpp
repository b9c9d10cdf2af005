#include "store/dbf/verificacion.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "store/dbf/dbf_table.h"
#include "support/entorno.h"

namespace mostrador::dbf {
namespace {

class Verificacion : public ::testing::Test {
 protected:
  void SetUp() override {
    Table::create(dir.str(), "clientes.dbf", {{"CLAVE", 'C', 6, 0}, {"SALDO", 'N', 10, 2}},
                  {{"ICLAVE", "CLAVE"}, {"ISALDO", "SALDO;CLAVE"}});
    Table t;
    t.open(dir.str(), "clientes.dbf");
    for (int i = 1; i <= 5; ++i) {
      t.append();
      t.setText("CLAVE", "C" + std::to_string(i));
      t.setFloat("SALDO", 100.0 * (6 - i));
      t.post();
    }
    t.goTo(3);
    t.remove();
  }

  // Overwrites bytes of the table file in place, as a crash or another program would.
  void parcha(long offset, const std::string& bytes) {
    std::fstream f(dir.ruta() / "clientes.dbf", std::ios::in | std::ios::out | std::ios::binary);
    f.seekp(offset);
    f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }

  prueba::DirectorioTemporal dir;
  // Header 32 + 2 descriptors of 32 + terminator; records of 1 + 6 + 10 bytes.
  const long kDatos = 32 + 64 + 1;
  const long kRegistro = 17;
};

TEST_F(Verificacion, ASoundTableReportsNothing) {
  auto r = verificaDirectorio(dir.str());
  ASSERT_EQ(r.size(), 1u);
  EXPECT_EQ(r[0].tabla, "clientes.dbf");
  EXPECT_EQ(r[0].registros, 5u);
  EXPECT_EQ(r[0].borrados, 1u);
  EXPECT_EQ(r[0].etiquetas, (std::vector<std::string>{"ICLAVE", "ISALDO"}));
  EXPECT_TRUE(r[0].problemas.empty()) << r[0].problemas[0];
}

TEST_F(Verificacion, AKeyChangedBehindTheIndexIsFoundInEveryTagThatHoldsIt) {
  parcha(kDatos + kRegistro * 1 + 1, "Z9    ");  // record 2's CLAVE, index untouched
  auto r = verificaTabla(dir.str(), "CLIENTES.DBF");
  ASSERT_EQ(r.problemas.size(), 2u);
  EXPECT_EQ(r.problemas[0], "índice ICLAVE: la clave \"C2    \" no es la del registro 2");
  EXPECT_EQ(r.problemas[1].rfind("índice ISALDO: la clave \"", 0), 0u);
  EXPECT_NE(r.problemas[1].find("C2    \" no es la del registro 2"), std::string::npos);
  // Nothing was changed by the check.
  Table t;
  t.open(dir.str(), "clientes.dbf");
  t.goTo(2);
  EXPECT_EQ(t.asText("CLAVE"), "Z9");
}

TEST_F(Verificacion, HeaderCountDeletedFlagsAndAMissingIndex) {
  parcha(4, std::string("\x07\x00\x00\x00", 4));  // the header claims 7 records
  parcha(kDatos + kRegistro * 3, "?");             // record 4's deleted flag
  std::filesystem::remove(dir.ruta() / "clientes.mdx");
  auto r = verificaTabla(dir.str(), "clientes.dbf");
  EXPECT_EQ(r.problemas, (std::vector<std::string>{
                             "la cabecera dice 7 registros y el archivo tiene 5",
                             "registro 4: marca de borrado inválida",
                             "la cabecera anuncia un índice que no existe"}));
}

TEST_F(Verificacion, ADamagedIndexOrUnreadableHeaderIsAProblemNotACrash) {
  {
    std::ofstream f(dir.ruta() / "clientes.mdx", std::ios::binary | std::ios::trunc);
    f << "basura";
  }
  auto r = verificaTabla(dir.str(), "clientes.dbf");
  ASSERT_EQ(r.problemas.size(), 1u);
  EXPECT_EQ(r.problemas[0].rfind("clientes.mdx: ", 0), 0u) << r.problemas[0];

  std::filesystem::resize_file(dir.ruta() / "clientes.dbf", 20);
  r = verificaTabla(dir.str(), "clientes.dbf");
  ASSERT_EQ(r.problemas.size(), 1u);
  EXPECT_EQ(r.registros, 0u);
}

}  // namespace
}  // namespace mostrador::dbf
