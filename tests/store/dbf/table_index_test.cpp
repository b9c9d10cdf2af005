// The table handle through its production index: order, finds, ranges, upkeep of every
// tag on every change, maintenance, and the tables whose index cannot be used.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>

#include "store/dbf/dbf_table.h"
#include "store/dbf/mdx_index.h"
#include "support/entorno.h"
#include "support/errores.h"

namespace fs = std::filesystem;
using namespace mostrador::dbf;
using mostrador::prueba::DirectorioTemporal;

namespace {

using mostrador::prueba::mensajeDe;

const std::vector<FieldDef> kCampos = {{"CLCLI", 'C', 6, 0}, {"NOMBRE", 'C', 12, 0},
                                       {"FECHA", 'D', 8, 0}, {"IMPORTE", 'N', 10, 2}};
const std::vector<TagDef> kTags = {{"ICLCLI", "CLCLI", false, false},
                                   {"NOMBRE", "*UPPER(NOMBRE)", false, false},
                                   {"ICLIFEC", "CLCLI;FECHA", false, false},
                                   {"IIMPDESC", "IMPORTE", false, true}};

struct Fila {
  const char* clcli;
  const char* nombre;
  Fecha fecha;
  double importe;
};

const std::vector<Fila> kFilas = {{"C03", "carla", {2024, 5, 2}, 30},  {"C01", "Ana", {2024, 5, 9}, 10},
                                  {"C02", "bruno", {2024, 1, 1}, 250}, {"C01", "Ana", {2023, 12, 31}, 5.5},
                                  {"C05", "Eva", {2024, 2, 2}, -4},    {"C04", "DIEGO", {2024, 3, 3}, 0}};

void crea(const std::string& nombre = "ventas.dbf") {
  Table::create("", nombre, kCampos, kTags);
  Table t;
  t.open("", nombre);
  for (const auto& f : kFilas) {
    t.append();
    t.setText("CLCLI", f.clcli);
    t.setText("NOMBRE", f.nombre);
    t.setDate("FECHA", f.fecha);
    t.setFloat("IMPORTE", f.importe);
    t.post();
  }
}

std::vector<uint32_t> orden(Table& t) {
  std::vector<uint32_t> r;
  for (t.first(); !t.eof(); t.next()) r.push_back(t.recno());
  return r;
}

std::vector<uint32_t> ordenInverso(Table& t) {
  std::vector<uint32_t> r;
  for (t.last(); !t.bof(); t.prior()) r.push_back(t.recno());
  return r;
}

}  // namespace

TEST(TablaIndice, CreateWritesTheProductionIndexAndItsHeaderFlags) {
  DirectorioTemporal dir;
  Table::create("", "ventas.dbf", kCampos, kTags);
  EXPECT_TRUE(fs::exists(dir.ruta() / "ventas.mdx"));
  const std::string bytes = dir.lee("ventas.dbf");
  EXPECT_EQ(bytes[28], 1);
  // Only the fields with a tag keyed on them alone carry the flag.
  EXPECT_EQ(bytes[32 + 31], 1);           // CLCLI (ICLCLI)
  EXPECT_EQ(bytes[32 + 32 + 31], 0);      // NOMBRE: keyed through an expression
  EXPECT_EQ(bytes[32 + 2 * 32 + 31], 0);  // FECHA: only in a two-field key
  EXPECT_EQ(bytes[32 + 3 * 32 + 31], 1);  // IMPORTE
  Table t;
  t.open("", "VENTAS.DBF");
  EXPECT_EQ(t.tags(), kTags);
  EXPECT_EQ(t.indexProblem(), "");

  EXPECT_EQ(mensajeDe([] { Table::create("", "mala.dbf", kCampos, {{"IMALA", "NOEXISTE", false, false}}); }),
            "No se pudo crear el índice IMALA: Campo NOEXISTE no encontrado");
  EXPECT_FALSE(fs::exists(dir.ruta() / "mala.dbf"));  // a bad key creates nothing
}

TEST(TablaIndice, NavigatesInTheOrderOfEachTag) {
  DirectorioTemporal dir;
  crea();
  Table t;
  t.open("", "ventas.dbf");
  EXPECT_EQ(orden(t), (std::vector<uint32_t>{1, 2, 3, 4, 5, 6}));
  t.goTo(3);
  t.setIndex("iclcli");
  EXPECT_EQ(t.index(), "ICLCLI");
  EXPECT_EQ(t.recno(), 3u);  // changing the order keeps the record
  t.next();
  EXPECT_EQ(t.recno(), 1u);  // C02 -> C03
  EXPECT_EQ(orden(t), (std::vector<uint32_t>{2, 4, 3, 1, 6, 5}));  // equal keys by record number
  EXPECT_EQ(ordenInverso(t), (std::vector<uint32_t>{5, 6, 1, 3, 4, 2}));
  t.setIndex("NOMBRE");  // UPPER(): case does not split the order
  EXPECT_EQ(orden(t), (std::vector<uint32_t>{2, 4, 3, 1, 6, 5}));
  t.setIndex("ICLIFEC");
  EXPECT_EQ(orden(t), (std::vector<uint32_t>{4, 2, 3, 1, 6, 5}));
  t.setIndex("IIMPDESC");
  EXPECT_EQ(orden(t), (std::vector<uint32_t>{3, 1, 2, 4, 6, 5}));
  t.setIndex("");
  EXPECT_EQ(t.index(), "");
  EXPECT_EQ(orden(t), (std::vector<uint32_t>{1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(mensajeDe([&] { t.setIndex("IFALTA"); }), "La tabla ventas.dbf no tiene el índice IFALTA");
  EXPECT_EQ(mensajeDe([&] { t.findKey({std::string("C01")}); }),
            "La tabla ventas.dbf no tiene un índice seleccionado");

  // Deleted records leave every order.
  t.setIndex("ICLCLI");
  t.goTo(4);
  t.remove();
  EXPECT_EQ(t.recno(), 3u);  // the next one in this order
  EXPECT_EQ(orden(t), (std::vector<uint32_t>{2, 3, 1, 6, 5}));
  t.setIndex("IIMPDESC");
  EXPECT_EQ(orden(t), (std::vector<uint32_t>{3, 1, 2, 6, 5}));
}

TEST(TablaIndice, FindKeyAndFindNearest) {
  DirectorioTemporal dir;
  crea();
  Table t;
  t.open("", "ventas.dbf");
  t.setIndex("ICLIFEC");
  EXPECT_TRUE(t.findKey({std::string("C01")}));  // leading field only: the first match
  EXPECT_EQ(t.recno(), 4u);
  EXPECT_TRUE(t.findKey({std::string("C01"), Fecha{2024, 5, 9}}));
  EXPECT_EQ(t.recno(), 2u);
  EXPECT_TRUE(t.findKey({std::string("C01"), std::string("09/05/2024")}));  // text parsed as a date
  EXPECT_EQ(t.recno(), 2u);
  EXPECT_FALSE(t.findKey({std::string("C01"), Fecha{2024, 5, 10}}));
  EXPECT_EQ(t.recno(), 2u);  // not found: the cursor stays

  t.findNearest({std::string("C025")});
  EXPECT_EQ(t.recno(), 1u);  // C03
  EXPECT_FALSE(t.eof());
  t.findNearest({std::string("A")});
  EXPECT_EQ(t.recno(), 4u);
  t.findNearest({std::string("Z")});
  EXPECT_TRUE(t.eof());

  t.setIndex("IIMPDESC");
  EXPECT_TRUE(t.findKey({30.0}));
  EXPECT_EQ(t.recno(), 1u);
  EXPECT_TRUE(t.findKey({std::string("-4")}));  // text against a number is parsed
  EXPECT_EQ(t.recno(), 5u);
  t.findNearest({20.0});  // descending: the first key not above 20 in this order
  EXPECT_EQ(t.recno(), 2u);

  t.setIndex("NOMBRE");
  EXPECT_TRUE(t.findKey({std::string("DIEGO")}));
  EXPECT_EQ(t.recno(), 6u);
  EXPECT_FALSE(t.findKey({std::string("BRU")}));  // a find key is exact: blank-padded
  EXPECT_EQ(t.recno(), 6u);
  t.findNearest({std::string("BRU")});  // a find nearest takes it as a prefix
  EXPECT_EQ(t.recno(), 3u);
}

TEST(TablaIndice, RangesIncludeBothEnds) {
  DirectorioTemporal dir;
  crea();
  Table t;
  t.open("", "ventas.dbf");
  t.setIndex("ICLCLI");
  t.setRange({std::string("C01")}, {std::string("C03")});
  EXPECT_EQ(t.recordCount(), 4);
  EXPECT_EQ(orden(t), (std::vector<uint32_t>{2, 4, 3, 1}));
  EXPECT_EQ(ordenInverso(t), (std::vector<uint32_t>{1, 3, 4, 2}));
  t.last();
  t.next();
  EXPECT_TRUE(t.eof());
  EXPECT_EQ(t.recno(), 1u);
  EXPECT_FALSE(t.findKey({std::string("C05")}));  // outside the range
  EXPECT_FALSE(t.goTo(5));
  EXPECT_TRUE(t.findKey({std::string("C02")}));
  t.findNearest({std::string("C09")});
  EXPECT_TRUE(t.eof());
  EXPECT_EQ(t.recno(), 1u);

  t.setIndex("ICLIFEC");  // a new order drops the range
  EXPECT_EQ(t.recordCount(), 6);
  t.setRange({std::string("C01"), Fecha{2024, 1, 1}}, {std::string("C02")});
  EXPECT_EQ(orden(t), (std::vector<uint32_t>{2, 3}));
  t.setRange({std::string("C04")}, {std::string("C04")});
  EXPECT_EQ(orden(t), (std::vector<uint32_t>{6}));
  t.cancelRange();
  EXPECT_EQ(t.recno(), 6u);
  EXPECT_EQ(t.recordCount(), 6);
  t.setRange({std::string("X")}, {std::string("Y")});
  EXPECT_TRUE(t.eof() && t.bof());
  EXPECT_EQ(t.recordCount(), 0);

  t.setIndex("IIMPDESC");
  t.setRange({250.0}, {10.0});
  EXPECT_EQ(orden(t), (std::vector<uint32_t>{3, 1, 2}));
}

TEST(TablaIndice, EveryChangeKeepsEveryTag) {
  DirectorioTemporal dir;
  crea();
  Table t;
  t.open("", "ventas.dbf");
  t.setIndex("ICLCLI");
  ASSERT_TRUE(t.findKey({std::string("C05")}));
  t.edit();
  t.setText("CLCLI", "A00");
  t.setText("NOMBRE", "zoe");
  t.post();
  EXPECT_EQ(t.recno(), 5u);
  t.prior();
  EXPECT_TRUE(t.bof());  // the cursor followed its record to the head of the order
  EXPECT_FALSE(t.findKey({std::string("C05")}));
  EXPECT_TRUE(t.findKey({std::string("A00")}));
  t.setIndex("NOMBRE");
  EXPECT_EQ(orden(t), (std::vector<uint32_t>{2, 4, 3, 1, 6, 5}));
  EXPECT_TRUE(t.findKey({std::string("ZOE")}));

  // An append goes into every tag; a removal leaves every tag.
  t.append();
  t.setText("CLCLI", "B00");
  t.setText("NOMBRE", "Abel");
  t.setFloat("IMPORTE", 1000);
  t.post();
  EXPECT_EQ(t.recno(), 7u);
  EXPECT_EQ(orden(t).front(), 7u);
  t.setIndex("IIMPDESC");
  EXPECT_EQ(orden(t).front(), 7u);
  ASSERT_TRUE(t.findKey({5.5}));
  t.remove();
  for (const char* tag : {"ICLCLI", "NOMBRE", "ICLIFEC", "IIMPDESC"}) {
    t.setIndex(tag);
    auto o = orden(t);
    EXPECT_EQ(o.size(), 6u) << tag;
    EXPECT_EQ(std::count(o.begin(), o.end(), 4u), 0) << tag;
  }
  t.close();

  // Pack renumbers the records and rebuilds the tags.
  t.open("", "ventas.dbf", OpenMode::Exclusive);
  t.pack();
  t.setIndex("ICLCLI");
  EXPECT_EQ(orden(t), (std::vector<uint32_t>{4, 6, 2, 3, 1, 5}));
  ASSERT_TRUE(t.findKey({std::string("C04")}));
  EXPECT_EQ(t.asText("NOMBRE"), "DIEGO");
  EXPECT_EQ(t.recno(), 5u);
  t.emptyTable();
  EXPECT_EQ(t.recordCount(), 0);
  EXPECT_FALSE(t.findKey({std::string("C04")}));
  t.append();
  t.setText("CLCLI", "N01");
  t.post();
  EXPECT_EQ(orden(t), (std::vector<uint32_t>{1}));
}

TEST(TablaIndice, TagsAddedDeletedAndTheIndexFileRemoved) {
  DirectorioTemporal dir;
  Table::create("", "cli.dbf", {{"CLAVE", 'C', 4, 0}, {"SALDO", 'N', 8, 2}});
  Table t;
  t.open("", "cli.dbf");
  for (int i = 0; i < 5; ++i) {
    t.append();
    t.setText("CLAVE", std::string(1, static_cast<char>('E' - i)));
    t.setFloat("SALDO", i * 10);
    t.post();
  }
  EXPECT_EQ(mensajeDe([&] { t.addTag({"ICLAVE", "CLAVE", false, false}); }),
            "La tabla cli.dbf debe abrirse en exclusiva para crear su índice");
  t.close();
  t.open("", "cli.dbf", OpenMode::Exclusive);
  t.addTag({"ICLAVE", "CLAVE", false, false});  // filled from the records there are
  EXPECT_TRUE(fs::exists(dir.ruta() / "cli.mdx"));
  EXPECT_EQ(dir.lee("cli.dbf")[28], 1);
  EXPECT_EQ(dir.lee("cli.dbf")[32 + 31], 1);
  t.setIndex("ICLAVE");
  EXPECT_EQ(orden(t), (std::vector<uint32_t>{5, 4, 3, 2, 1}));
  t.close();

  t.open("", "cli.dbf");  // shared: the index file exists, so a tag can be added
  t.addTag({"ISALDO", "SALDO", false, true});
  t.setIndex("ISALDO");
  EXPECT_EQ(orden(t), (std::vector<uint32_t>{5, 4, 3, 2, 1}));
  EXPECT_EQ(dir.lee("cli.dbf")[32 + 32 + 31], 1);
  EXPECT_EQ(mensajeDe([&] { t.addTag({"isaldo", "CLAVE", false, false}); }),
            "No se pudo crear el índice isaldo: La etiqueta ISALDO ya existe");
  EXPECT_EQ(mensajeDe([&] { t.addTag({"IMALA", "*UPPER(CLAVE", false, false}); }).rfind("No se pudo crear el índice IMALA: ", 0),
            0u);
  EXPECT_EQ(t.tags().size(), 2u);
  t.deleteTag("iclave");
  EXPECT_EQ(t.index(), "ISALDO");
  EXPECT_EQ(t.tags(), (std::vector<TagDef>{{"ISALDO", "SALDO", false, true}}));
  EXPECT_EQ(dir.lee("cli.dbf")[32 + 31], 0);
  EXPECT_EQ(mensajeDe([&] { t.deleteTag("ICLAVE"); }), "La tabla cli.dbf no tiene el índice ICLAVE");
  EXPECT_EQ(mensajeDe([&] { t.deleteIndexFile(); }),
            "La tabla cli.dbf debe abrirse en exclusiva para borrar su índice");
  t.close();

  t.open("", "cli.dbf", OpenMode::Exclusive);
  t.deleteIndexFile();
  EXPECT_FALSE(fs::exists(dir.ruta() / "cli.mdx"));
  EXPECT_TRUE(t.tags().empty());
  EXPECT_EQ(t.index(), "");
  t.close();
  const std::string bytes = dir.lee("cli.dbf");
  EXPECT_EQ(bytes[28], 0);
  EXPECT_EQ(bytes[32 + 32 + 31], 0);
  t.open("", "cli.dbf");
  EXPECT_EQ(t.indexProblem(), "");
}

TEST(TablaIndice, AnUnusableIndexLeavesTheTableOpenWithoutIndexes) {
  DirectorioTemporal dir;
  crea();
  const std::string mdx = dir.lee("ventas.mdx");

  // Missing while the header says there is one.
  fs::remove(dir.ruta() / "ventas.mdx");
  Table t;
  t.open("", "ventas.dbf");
  EXPECT_EQ(t.indexProblem(), "Falta el índice ventas.mdx de la tabla ventas.dbf");
  EXPECT_TRUE(t.tags().empty());
  EXPECT_EQ(orden(t).size(), 6u);
  EXPECT_EQ(mensajeDe([&] { t.setIndex("ICLCLI"); }),
            "La tabla ventas.dbf no tiene el índice ICLCLI (Falta el índice ventas.mdx de la tabla ventas.dbf)");
  EXPECT_EQ(mensajeDe([&] { t.rebuildIndexes(); }),
            "La tabla ventas.dbf no tiene índices que reconstruir (Falta el índice ventas.mdx de la tabla ventas.dbf)");
  t.close();

  // Foreign or damaged.
  dir.escribe("VENTAS.MDX", std::string(600, 'x'));
  t.open("", "ventas.dbf");
  EXPECT_EQ(t.indexProblem().rfind("El índice VENTAS.MDX está dañado: ", 0), 0u) << t.indexProblem();
  EXPECT_TRUE(t.tags().empty());
  t.append();  // changes still work, without indexes
  t.setText("CLCLI", "C09");
  t.post();
  t.close();
  fs::remove(dir.ruta() / "VENTAS.MDX");

  // Torn: a station died between beginning and ending an index write.
  dir.escribe("ventas.mdx", mdx);
  pid_t hijo = fork();
  if (hijo == 0) {
    try {
      Table u;
      u.open("", "ventas.dbf");
      MdxFile m;
      RecordLayout l = RecordLayout::from(u.fieldDefs());
      m.open(u.path().substr(0, u.path().size() - 3) + "mdx", l);
      m.beginWrite();
      m.insert(0, "ZZZZZZ", 99);
    } catch (...) {
      _exit(1);
    }
    _exit(0);  // no endWrite: the dirty mark stays
  }
  int estado = 0;
  waitpid(hijo, &estado, 0);
  ASSERT_EQ(WEXITSTATUS(estado), 0);
  // The next station to open the table rebuilds the index from the records (the torn
  // entry of record 99 goes) and works with it.
  t.open("", "ventas.dbf");
  EXPECT_EQ(t.indexProblem(), "");
  t.setIndex("ICLCLI");
  EXPECT_EQ(orden(t).size(), 7u);
  t.close();

  // The maintenance path: exclusive, new index file, tags again, all keys back.
  t.open("", "ventas.dbf", OpenMode::Exclusive);
  t.deleteIndexFile();
  for (const auto& tag : kTags) t.addTag(tag);
  t.setIndex("ICLCLI");
  EXPECT_EQ(orden(t), (std::vector<uint32_t>{2, 4, 3, 1, 6, 5, 7}));
  EXPECT_EQ(t.indexProblem(), "");
  t.rebuildIndexes();
  EXPECT_EQ(orden(t), (std::vector<uint32_t>{2, 4, 3, 1, 6, 5, 7}));
}

TEST(TablaIndice, RefreshKeepsOrderRangeAndPlace) {
  DirectorioTemporal dir;
  crea();
  Table t;
  t.open("", "ventas.dbf");
  t.setIndex("ICLCLI");
  t.setRange({std::string("C01")}, {std::string("C04")});
  ASSERT_TRUE(t.findKey({std::string("C03")}));
  t.refresh();  // steps back one record, then reopens
  EXPECT_TRUE(t.isOpen());
  EXPECT_EQ(t.index(), "ICLCLI");
  EXPECT_EQ(t.recno(), 3u);
  EXPECT_EQ(t.recordCount(), 5);
}

// A write that fails half-way through a change (the disk is full) is put back whole: the
// index and the table agree again, and the handle keeps its index.
TEST(TablaIndice, AFailedWriteIsPutBackAndTheIndexStaysWhole) {
  DirectorioTemporal dir;
  // Wide records, so that the table file is larger than its index: a size limit then
  // stops the table's growth and not the index's writes.
  Table::create("", "ancha.dbf", {{"CLAVE", 'C', 10, 0}, {"RELLENO", 'C', 250, 0}},
                {{"ICLAVE", "CLAVE", false, false}});
  {
    Table t;
    t.open("", "ancha.dbf");
    for (int i = 0; i < 300; ++i) {
      t.append();
      t.setText("CLAVE", "K" + std::to_string(i));
      t.post();
    }
  }
  const auto tam = fs::file_size(dir.ruta() / "ancha.dbf");
  ASSERT_GT(tam, fs::file_size(dir.ruta() / "ancha.mdx") + 3 * 4096);
  pid_t hijo = fork();
  if (hijo == 0) {
    signal(SIGXFSZ, SIG_IGN);
    rlimit lim{static_cast<rlim_t>(tam), static_cast<rlim_t>(tam)};
    setrlimit(RLIMIT_FSIZE, &lim);
    int codigo = 0;
    try {
      Table t;
      t.open("", "ancha.dbf");
      t.setIndex("ICLAVE");
      t.append();
      t.setText("CLAVE", "NUEVA");
      const std::string m = mensajeDe([&] { t.post(); });
      t.cancel();
      if (m != "No se pudo escribir en la tabla " + t.path() + ": File too large")
        codigo = 10;
      else if (t.index() != "ICLAVE")
        codigo = 11;
      else if (t.indexProblem() != "")
        codigo = 12;
    } catch (...) {
      codigo = 13;
    }
    _exit(codigo);
  }
  int estado = 0;
  waitpid(hijo, &estado, 0);
  ASSERT_TRUE(WIFEXITED(estado));
  ASSERT_EQ(WEXITSTATUS(estado), 0);
  Table t;
  t.open("", "ancha.dbf");
  EXPECT_EQ(t.indexProblem(), "");
  EXPECT_EQ(t.recordCount(), 300);
  t.setIndex("ICLAVE");
  long n = 0;
  for (t.first(); !t.eof(); t.next()) ++n;
  EXPECT_EQ(n, 300);
}
