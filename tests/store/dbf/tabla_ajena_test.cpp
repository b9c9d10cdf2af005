// A table saved by another program (a spreadsheet writing dBASE) with the old index still
// beside it: one key changed in place, one row added, the header's index mark and
// language byte cleared. The check says so, and the engine rebuilds the index at its
// next open, so that no indexed read is silently wrong.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "store/dbf/dbf_table.h"
#include "store/dbf/verificacion.h"
#include "store/sql/sql.h"
#include "support/entorno.h"

namespace {

using namespace mostrador;
using mostrador::prueba::DirectorioTemporal;

const std::vector<dbf::FieldDef> kCampos = {{"CLPRO_I", 'C', 8, 0}, {"DSCPR_I", 'C', 12, 0}};
const std::vector<dbf::TagDef> kTags = {{"ICLPRO", "CLPRO_I", false, false}, {"DSCPR_I", "DSCPR_I", false, false}};

struct TablaAjena : ::testing::Test {
  DirectorioTemporal dir;
  std::string d = dir.str();
  std::string ruta = d + "/inventar.dbf";

  TablaAjena() {
    dbf::Table::create(d, "inventar.dbf", kCampos, kTags);
    dbf::Table t;
    t.open(d, "inventar.dbf");
    for (const char* k : {"MMM0001", "MMM0002", "MMM0003"}) {
      t.append();
      t.setText("CLPRO_I", k);
      t.setText("DSCPR_I", std::string("DESC ") + k);
      t.post();
    }
  }
  std::string bytes(const std::string& r) const {
    std::ifstream f(r, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), {}};
  }
  void escribe(const std::string& r, const std::string& b) const {
    std::ofstream f(r, std::ios::binary | std::ios::trunc);
    f << b;
  }
  // What the other program leaves: record 2's key changed, a record added, bytes 28 and
  // 29 zero. Header length and record length as the engine wrote them.
  void reescribeFuera(bool conMarca = false) {
    std::string b = bytes(ruta);
    const uint16_t hl = static_cast<uint8_t>(b[8]) | static_cast<uint8_t>(b[9]) << 8;
    const uint16_t rl = static_cast<uint8_t>(b[10]) | static_cast<uint8_t>(b[11]) << 8;
    b.replace(hl + rl + 1, 7, "ZZZ0001");
    std::string nuevo(rl, ' ');
    nuevo.replace(1, 7, "AAA0001");
    nuevo.replace(9, 10, "DESC NUEVA");
    b.resize(hl + 3u * rl);
    b += nuevo;
    b += '\x1A';
    b[4] = 4;
    if (!conMarca) b[28] = 0;
    b[29] = 0;
    escribe(ruta, b);
  }
  std::vector<std::string> claves() {
    dbf::Table t;
    t.open(d, "inventar.dbf");
    t.setIndex("ICLPRO");
    std::vector<std::string> v;
    for (t.first(); !t.eof(); t.next()) v.push_back(t.asText("CLPRO_I"));
    return v;
  }
};

TEST_F(TablaAjena, TheCheckSaysSoAndTheNextOpenRebuildsTheIndex) {
  reescribeFuera();
  const auto r = dbf::verificaTabla(d, "inventar.dbf");
  ASSERT_FALSE(r.problemas.empty());
  bool marca = false, llave = false;
  for (const auto& p : r.problemas) {
    marca = marca || p.find("la tabla fue cambiada por otro programa: su cabecera perdió la marca del índice") !=
                         std::string::npos;
    llave = llave || p.find("ZZZ0001") != std::string::npos || p.find("MMM0002") != std::string::npos;
  }
  EXPECT_TRUE(marca) << ::testing::PrintToString(r.problemas);
  EXPECT_TRUE(llave) << ::testing::PrintToString(r.problemas);

  // The first open rebuilds: the changed key and the added row are found by the index.
  EXPECT_EQ(claves(), (std::vector<std::string>{"AAA0001", "MMM0001", "MMM0003", "ZZZ0001"}));
  {
    dbf::Table t;
    t.open(d, "inventar.dbf");
    t.setIndex("ICLPRO");
    EXPECT_TRUE(t.findKey({"ZZZ0001"}));
    EXPECT_EQ(t.recno(), 2u);
    EXPECT_FALSE(t.findKey({"MMM0002"}));
    EXPECT_TRUE(t.indexProblem().empty()) << t.indexProblem();
  }
  sql::BaseSql base;
  auto q = base.consulta("select CLPRO_I from \"" + d + "/inventar.dbf\" where CLPRO_I='ZZZ0001'");
  EXPECT_EQ(q->recordCount(), 1);
  // The mark is back and the index whole: the check is clean and nothing rebuilds again.
  EXPECT_EQ(bytes(ruta)[28], 1);
  EXPECT_EQ(dbf::verificaTabla(d, "inventar.dbf").problemas, std::vector<std::string>{});
  const std::string indice = bytes(d + "/inventar.mdx");
  claves();
  EXPECT_EQ(bytes(d + "/inventar.mdx"), indice);
}

TEST_F(TablaAjena, ARowAddedBehindTheIndexIsFoundEvenWithTheMarkKept) {
  reescribeFuera(true);
  const auto r = dbf::verificaTabla(d, "inventar.dbf");
  bool cuenta = false;
  for (const auto& p : r.problemas)
    cuenta = cuenta || p.find("tiene 4 registros y el índice se hizo con 3") != std::string::npos;
  EXPECT_TRUE(cuenta) << ::testing::PrintToString(r.problemas);
  EXPECT_EQ(claves(), (std::vector<std::string>{"AAA0001", "MMM0001", "MMM0003", "ZZZ0001"}));
}

TEST_F(TablaAjena, TheEnginesOwnWorkNeverLooksForeign) {
  {
    dbf::Table t;
    t.open(d, "inventar.dbf");
    t.setIndex("ICLPRO");
    ASSERT_TRUE(t.findKey({"MMM0002"}));
    t.remove();
    t.append();
    t.setText("CLPRO_I", "BBB0001");
    t.post();
    ASSERT_TRUE(t.findKey({"MMM0001"}));
    t.edit();
    t.setText("DSCPR_I", "OTRA");
    t.post();
  }
  const std::string indice = bytes(d + "/inventar.mdx");
  EXPECT_EQ(claves(), (std::vector<std::string>{"BBB0001", "MMM0001", "MMM0003"}));
  EXPECT_EQ(bytes(d + "/inventar.mdx"), indice);
  EXPECT_EQ(dbf::verificaTabla(d, "inventar.dbf").problemas, std::vector<std::string>{});
}

}  // namespace
