#include "store/dbf/verificacion.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "store/dbf/dbf_file.h"
#include "store/dbf/dbf_table.h"
#include "store/dbf/key_expression.h"
#include "store/dbf/mdx_index.h"
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


// Changes entries of the index behind the table's back, as a torn write would leave them.
class IndiceAlterado {
 public:
  explicit IndiceAlterado(const std::filesystem::path& mdx, const std::vector<FieldDef>& campos) {
    m_.open(mdx, RecordLayout::from(campos));
  }
  std::string clave(const std::string& tag, const std::string& texto) {
    return m_.expression(m_.tagNumber(tag)).encodePrefix({KeyValue{texto}});
  }
  void quita(const std::string& tag, const std::string& texto, uint32_t recno) {
    m_.erase(m_.tagNumber(tag), clave(tag, texto), recno);
  }
  void pone(const std::string& tag, const std::string& texto, uint32_t recno) {
    m_.insert(m_.tagNumber(tag), clave(tag, texto), recno);
  }

 private:
  MdxFile m_;
};

TEST_F(Verificacion, EntriesOfMissingDeletedOrTwiceIndexedRecordsAndMissingEntries) {
  const std::vector<FieldDef> campos{{"CLAVE", 'C', 6, 0}, {"SALDO", 'N', 10, 2}};
  {
    IndiceAlterado m(dir.ruta() / "clientes.mdx", campos);
    m.quita("ICLAVE", "C4", 4);  // record 4 loses its entry
    m.pone("ICLAVE", "C9", 9);   // an entry of a record the table never had
    m.pone("ICLAVE", "A1", 1);   // record 1 indexed a second time
  }
  parcha(kDatos + kRegistro * 4, "*");  // record 5 deleted, its entries left behind
  auto r = verificaTabla(dir.str(), "clientes.dbf");
  EXPECT_EQ(r.borrados, 2u);
  EXPECT_EQ(r.problemas, (std::vector<std::string>{
                             "índice ICLAVE: el registro 1 aparece dos veces",
                             "índice ICLAVE: entrada del registro borrado 5",
                             "índice ICLAVE: entrada del registro 9, que no existe",
                             "índice ISALDO: entrada del registro borrado 5"}));
  // The missing entry shows once the others are repaired (three problems per tag at most).
  {
    IndiceAlterado m(dir.ruta() / "clientes.mdx", campos);
    m.quita("ICLAVE", "C9", 9);
    m.quita("ICLAVE", "A1", 1);
  }
  parcha(kDatos + kRegistro * 4, " ");
  r = verificaTabla(dir.str(), "clientes.dbf");
  EXPECT_EQ(r.problemas, (std::vector<std::string>{"índice ICLAVE: falta la entrada del registro 4"}));
}

TEST_F(Verificacion, AnUnreadableFieldIsReportedWithItsRecordOnly) {
  parcha(kDatos + kRegistro * 0 + 7, "    12,5x ");  // record 1's SALDO
  parcha(kDatos + kRegistro * 3 + 7, "      abc ");  // record 4's SALDO
  auto r = verificaTabla(dir.str(), "clientes.dbf");
  EXPECT_EQ(r.problemas, (std::vector<std::string>{
                             "registro 1: El campo SALDO de la tabla clientes.dbf no tiene un número válido: \"12,5x\"",
                             "registro 4: El campo SALDO de la tabla clientes.dbf no tiene un número válido: \"abc\""}));
}

// What other programs would misread: a field of an unknown type, a date field that is
// not 8 wide, a stored date of zeros. Checking never writes.
TEST(VerificacionDescriptores, TiposDesconocidosFechasAnchasYFechasEnCeros) {
  prueba::DirectorioTemporal dir;
  Table::create(dir.str(), "rara.dbf", {{"CLAVE", 'C', 4, 0}, {"ALTA", 'D', 8, 0}, {"OTRA", 'C', 8, 0}});
  {
    Table t;
    t.open(dir.str(), "rara.dbf");
    t.append();
    t.setText("CLAVE", "A1");
    t.setDate("ALTA", Fecha{2026, 1, 2});
    t.post();
    t.append();
    t.setText("CLAVE", "A2");
    t.post();
  }
  const auto ruta = dir.ruta() / "rara.dbf";
  std::string b;
  {
    std::ifstream f(ruta, std::ios::binary);
    b.assign(std::istreambuf_iterator<char>(f), {});
  }
  const size_t datos = 32 + 3 * 32 + 1, largo = 1 + 4 + 8 + 8;
  b.replace(datos + largo + 5, 8, "00000000");  // record 2's ALTA
  b[32 + 2 * 32 + 11] = 'Q';                    // OTRA: a type no reader knows
  {
    std::ofstream(ruta, std::ios::binary) << b;
  }
  auto r = verificaTabla(dir.str(), "rara.dbf");
  EXPECT_EQ(r.problemas, (std::vector<std::string>{"el campo OTRA es de un tipo desconocido (Q)",
                                                   "registro 2: el campo ALTA tiene la fecha \"00000000\""}));
  std::ifstream f(ruta, std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(f), {}), b);

  // A date field 30 wide.
  Table::create(dir.str(), "ancha.dbf", {{"CLAVE", 'C', 4, 0}, {"ALTA", 'C', 30, 0}});
  std::string a;
  {
    std::ifstream g(dir.ruta() / "ancha.dbf", std::ios::binary);
    a.assign(std::istreambuf_iterator<char>(g), {});
  }
  a[32 + 32 + 11] = 'D';
  std::ofstream(dir.ruta() / "ancha.dbf", std::ios::binary) << a;
  auto w = verificaTabla(dir.str(), "ancha.dbf");
  ASSERT_FALSE(w.problemas.empty());
  EXPECT_EQ(w.problemas[0], "el campo de fecha ALTA mide 30 en lugar de 8");
}

// A table large enough for several blocks of records and batches of entries, with
// repeated keys, a descending tag and an expression tag, checked whole and in ranges.
class VerificacionGrande : public ::testing::Test {
 protected:
  static constexpr int kRegistros = 12000;
  void SetUp() override {
    Table::create(dir.str(), "movs.dbf",
                  {{"CLPRO", 'C', 12, 0}, {"CANTI", 'N', 10, 2}, {"FECHA", 'D', 8, 0}},
                  {{"ICLPRO", "CLPRO"},
                   {"ICANTI", "CANTI;CLPRO", false, true},
                   {"IEXPR", "*UPPER(CLPRO)+DTOS(FECHA)"}});
    Table t;
    t.open(dir.str(), "movs.dbf", OpenMode::Exclusive);
    for (int i = 0; i < kRegistros; ++i) {
      t.append();
      t.setText("CLPRO", "p" + std::to_string((i * 7919) % 500));  // 24 records per key
      t.setFloat("CANTI", (i % 37) - 18.5);
      if (i % 5) t.setDate("FECHA", Fecha{2026, 1 + i % 12, 1 + i % 28});
      t.post();
    }
    for (int r = 10; r <= kRegistros; r += 1000) {
      t.goTo(static_cast<uint32_t>(r));
      t.remove();
    }
  }
  prueba::DirectorioTemporal dir;
};

TEST_F(VerificacionGrande, SoundWholeOrInRangesAndEveryFaultFoundInItsRange) {
  std::vector<uint64_t> avances;
  auto r = verificaTabla(dir.str(), "movs.dbf", [&](const std::string& t, uint64_t hecho, uint64_t total) {
    EXPECT_EQ(t, "movs.dbf");
    EXPECT_EQ(total, 4u * kRegistros);
    avances.push_back(hecho);
  });
  EXPECT_EQ(r.registros, static_cast<uint32_t>(kRegistros));
  EXPECT_EQ(r.borrados, 12u);
  EXPECT_TRUE(r.problemas.empty()) << r.problemas[0];
  ASSERT_FALSE(avances.empty());
  EXPECT_TRUE(std::is_sorted(avances.begin(), avances.end()));
  EXPECT_EQ(avances.back(), 4u * kRegistros);

  // Budget for about 1,000 records at a time: 12 ranges.
  r = verificaTabla(dir.str(), "movs.dbf", {}, 1000 * (16 + 16 + 12 + 16 + 16 + 20 + 16));
  EXPECT_TRUE(r.problemas.empty()) << r.problemas[0];

  // A fault in a middle range and one in the last; the entry of a missing record is
  // reported once, not once per range.
  std::vector<FieldDef> campos;
  {
    Table t;
    t.open(dir.str(), "movs.dbf");
    campos = t.fieldDefs();
    t.goTo(5500);
    EXPECT_EQ(t.asText("CLPRO"), "p" + std::to_string((5499 * 7919) % 500));
  }
  {
    MdxFile m;
    m.open(dir.ruta() / "movs.mdx", RecordLayout::from(campos));
    const int tag = m.tagNumber("ICLPRO");
    const std::string k = m.expression(tag).encodePrefix({KeyValue{"p" + std::to_string((5499 * 7919) % 500)}});
    m.erase(tag, k, 5500);
    m.insert(tag, k, 12001);
    m.insert(tag, m.expression(tag).encodePrefix({KeyValue{std::string("zz")}}), 11999);
  }
  // Whole: entries in key order, then the records the index lacks. In ranges: range by
  // range (the entry of a missing record belongs to the first).
  r = verificaTabla(dir.str(), "movs.dbf");
  EXPECT_EQ(r.problemas, (std::vector<std::string>{"índice ICLPRO: entrada del registro 12001, que no existe",
                                                   "índice ICLPRO: el registro 11999 aparece dos veces",
                                                   "índice ICLPRO: falta la entrada del registro 5500"}));
  r = verificaTabla(dir.str(), "movs.dbf", {}, 1000 * (16 + 16 + 12 + 16 + 16 + 20 + 16));
  EXPECT_EQ(r.problemas, (std::vector<std::string>{"índice ICLPRO: entrada del registro 12001, que no existe",
                                                   "índice ICLPRO: falta la entrada del registro 5500",
                                                   "índice ICLPRO: el registro 11999 aparece dos veces"}));
}

}  // namespace
}  // namespace mostrador::dbf
