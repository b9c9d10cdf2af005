// The table handle on one station: navigation, field values, changes, maintenance.

#include <gtest/gtest.h>

#include <fstream>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>

#include "store/dbf/dbf_table.h"
#include "support/entorno.h"
#include "support/errores.h"

namespace fs = std::filesystem;
using namespace mostrador::dbf;
using mostrador::prueba::DirectorioTemporal;

namespace {

using mostrador::prueba::mensajeDe;

const std::vector<FieldDef> kProductos = {{"CLAVE", 'C', 6, 0},  {"DESCR", 'C', 12, 0},
                                          {"PRECIO", 'N', 9, 2}, {"EXIST", 'N', 6, 0},
                                          {"ALTA", 'D', 8, 0},   {"ACTIVO", 'L', 1, 0}};

// Records 1..n with CLAVE "P<i>" and EXIST i.
void llena(Table& t, int n) {
  for (int i = 1; i <= n; ++i) {
    t.append();
    t.setText("CLAVE", "P" + std::to_string(i));
    t.setInteger("EXIST", i);
    t.post();
  }
}

std::vector<std::string> claves(Table& t) {
  std::vector<std::string> r;
  for (t.first(); !t.eof(); t.next()) r.push_back(t.asText("CLAVE"));
  return r;
}

}  // namespace

TEST(TablaNavegacion, VisitsLiveRecordsWithDelphiStyleEndFlags) {
  DirectorioTemporal dir;
  Table::create("", "prod.dbf", kProductos);
  Table t;
  t.open("", "prod.dbf");
  EXPECT_TRUE(t.bof() && t.eof());
  EXPECT_EQ(t.recno(), 0u);
  EXPECT_EQ(t.recordCount(), 0);
  EXPECT_EQ(t.asText("CLAVE"), "");
  EXPECT_TRUE(t.isNull("EXIST"));

  llena(t, 5);
  t.goTo(2);
  t.remove();
  EXPECT_EQ(t.recno(), 3u);  // a removal moves on to the next record
  t.goTo(4);
  t.remove();
  EXPECT_EQ(t.recordCount(), 5);  // deleted records still count: the physical count
  EXPECT_FALSE(t.goTo(4));
  EXPECT_FALSE(t.goTo(6));
  EXPECT_EQ(claves(t), (std::vector<std::string>{"P1", "P3", "P5"}));

  t.first();
  EXPECT_TRUE(t.bof());
  EXPECT_FALSE(t.eof());
  EXPECT_EQ(t.recno(), 1u);
  t.next();
  EXPECT_FALSE(t.bof());
  EXPECT_EQ(t.recno(), 3u);
  t.next();
  t.next();
  EXPECT_TRUE(t.eof());
  EXPECT_EQ(t.recno(), 5u);  // past the end the cursor stays on the last record
  EXPECT_EQ(t.asText("CLAVE"), "P5");

  t.last();
  EXPECT_TRUE(t.eof());
  EXPECT_FALSE(t.bof());
  t.prior();
  EXPECT_FALSE(t.eof());
  EXPECT_EQ(t.recno(), 3u);
  t.prior();
  t.prior();
  EXPECT_TRUE(t.bof());
  EXPECT_EQ(t.recno(), 1u);

  t.first();
  t.moveBy(2);
  EXPECT_EQ(t.recno(), 5u);
  t.moveBy(-10);
  EXPECT_TRUE(t.bof());
  EXPECT_EQ(t.recno(), 1u);

  // Removing the last record moves back to the prior one; removing all empties the view.
  t.goTo(5);
  t.remove();
  EXPECT_EQ(t.recno(), 3u);
  t.remove();
  t.remove();
  EXPECT_TRUE(t.bof() && t.eof());
  EXPECT_EQ(t.recno(), 0u);
}

TEST(TablaCampos, ValuesOfEveryTypeRoundTrip) {
  DirectorioTemporal dir;
  Table::create("", "prod.dbf", kProductos);
  Table t;
  t.open("", "prod.dbf");
  t.append();
  t.setText("clave", "A-1");
  t.setText("DESCR", "Ñandú de peluche grande");  // cut to 12 Windows-1252 bytes
  t.setFloat("PRECIO", 1234.565);
  t.setInteger("EXIST", -42);
  t.setDate("ALTA", Fecha{2024, 2, 29});
  t.setBool("ACTIVO", true);
  EXPECT_EQ(t.asText("DESCR"), "Ñandú de pel");  // the edit buffer is what reads back
  t.post();
  t.close();
  const size_t r1 = 32 + 6 * 32 + 1;
  // On disk "Ñ" and "ú" are one Windows-1252 byte each.
  EXPECT_EQ(dir.lee("prod.dbf").substr(r1, 1 + 6 + 12), " A-1   \xD1" "and\xFA" " de pel");

  t.open("", "prod.dbf");
  EXPECT_EQ(t.asText("CLAVE"), "A-1");
  EXPECT_EQ(t.asText("DESCR"), "Ñandú de pel");
  EXPECT_EQ(t.asText("PRECIO"), "1234.57");  // half away from zero on the typed value
  EXPECT_DOUBLE_EQ(t.asFloat("PRECIO"), 1234.57);
  EXPECT_EQ(t.asInteger("PRECIO"), 1235);
  EXPECT_EQ(t.asText("EXIST"), "-42");
  EXPECT_EQ(t.asInteger("EXIST"), -42);
  EXPECT_EQ(t.asDate("ALTA"), (Fecha{2024, 2, 29}));
  EXPECT_EQ(t.asText("ALTA"), "29/02/2024");
  EXPECT_TRUE(t.asBool("ACTIVO"));
  EXPECT_EQ(t.asText("ACTIVO"), "T");
  for (const char* c : {"CLAVE", "DESCR", "PRECIO", "EXIST", "ALTA", "ACTIVO"}) EXPECT_FALSE(t.isNull(c)) << c;
  EXPECT_TRUE(t.fieldExists("precio"));
  EXPECT_FALSE(t.fieldExists("COSTO"));
  EXPECT_EQ(mensajeDe([&] { t.asText("COSTO"); }), "Campo COSTO no encontrado");

  // Text against the other types is parsed; blank text makes a field blank (null).
  t.edit();
  t.setText("PRECIO", " 7.5 ");
  t.setText("ALTA", "5/3/2023");
  t.setText("ACTIVO", "F");
  t.setText("EXIST", "");
  t.setNull("DESCR");
  t.post();
  EXPECT_EQ(t.asText("PRECIO"), "7.50");
  EXPECT_EQ(t.asDate("ALTA"), (Fecha{2023, 3, 5}));
  EXPECT_FALSE(t.asBool("ACTIVO"));
  EXPECT_TRUE(t.isNull("EXIST"));
  EXPECT_EQ(t.asText("EXIST"), "");
  EXPECT_EQ(t.asFloat("EXIST"), 0);
  EXPECT_TRUE(t.isNull("DESCR"));
  t.edit();
  t.setDate("ALTA", std::nullopt);
  t.setNull("ACTIVO");
  t.post();
  EXPECT_EQ(t.asDate("ALTA"), std::nullopt);
  EXPECT_EQ(t.asText("ALTA"), "");
  EXPECT_TRUE(t.isNull("ACTIVO"));
  EXPECT_EQ(t.asText("ACTIVO"), "");
  t.close();

  // Numbers right-aligned, blanks for nulls.
  EXPECT_EQ(dir.lee("prod.dbf").substr(r1, 43),
            std::string(" A-1   ") + std::string(12, ' ') + "     7.50" + std::string(6 + 8 + 1, ' '));
}

TEST(TablaCampos, ValuesThatDoNotFitAreRefusedAndNothingChanges) {
  DirectorioTemporal dir;
  Table::create("", "prod.dbf", kProductos);
  Table t;
  t.open("", "prod.dbf");
  llena(t, 1);
  t.edit();
  EXPECT_EQ(mensajeDe([&] { t.setFloat("PRECIO", 1234567.0); }),
            "El valor 1234567.00 no cabe en el campo PRECIO (N 9,2) de la tabla prod.dbf");
  EXPECT_EQ(mensajeDe([&] { t.setText("EXIST", "doce"); }),
            "\"doce\" no es un número válido para el campo EXIST");
  EXPECT_EQ(mensajeDe([&] { t.setText("ALTA", "31/02/2024"); }),
            "\"31/02/2024\" no es una fecha válida para el campo ALTA");
  EXPECT_EQ(mensajeDe([&] { t.setDate("CLAVE", Fecha{2024, 12, 1}); }), "(sin error)");
  EXPECT_EQ(t.asText("CLAVE"), "01/12/");  // a date into a text field is its short text, cut
  t.cancel();
  EXPECT_EQ(t.asText("CLAVE"), "P1");
  EXPECT_EQ(t.asText("EXIST"), "1");
  EXPECT_EQ(mensajeDe([&] { t.setText("CLAVE", "x"); }), "La tabla prod.dbf no está en edición");
  EXPECT_EQ(mensajeDe([&] { t.post(); }), "La tabla prod.dbf no está en edición");
  EXPECT_EQ(mensajeDe([&] { t.asText(9); }), "La tabla prod.dbf no tiene el campo número 9");
}

TEST(TablaCambios, EditCancelPostAndPostingOnMove) {
  DirectorioTemporal dir;
  Table::create("", "prod.dbf", kProductos);
  Table t;
  t.open("", "prod.dbf");
  llena(t, 3);
  EXPECT_EQ(t.recno(), 3u);  // a posted append stands on the new record

  t.first();
  t.edit();
  EXPECT_TRUE(t.editing());
  t.setText("CLAVE", "CAMBIO");
  t.cancel();
  EXPECT_FALSE(t.editing());
  EXPECT_EQ(t.asText("CLAVE"), "P1");

  t.edit();
  t.setText("CLAVE", "UNO");
  t.next();  // moving posts the pending change
  EXPECT_FALSE(t.editing());
  EXPECT_EQ(t.recno(), 2u);
  t.append();
  t.setText("CLAVE", "CUATRO");
  t.first();
  EXPECT_EQ(claves(t), (std::vector<std::string>{"UNO", "P2", "P3", "CUATRO"}));

  // An append cancelled or removed before posting leaves nothing behind.
  t.insert();
  t.setText("CLAVE", "NADA");
  t.remove();
  t.append();
  t.cancel();
  EXPECT_EQ(t.recordCount(), 4);

  // close() drops a pending change.
  t.goTo(2);
  t.edit();
  t.setText("CLAVE", "PERDIDO");
  t.close();
  t.open("", "prod.dbf");
  t.goTo(2);
  EXPECT_EQ(t.asText("CLAVE"), "P2");
}

TEST(TablaCambios, RecordLocksConflictBetweenHandlesOfOneProcess) {
  DirectorioTemporal dir;
  Table::create("", "prod.dbf", kProductos);
  Table a, b;
  a.open("", "prod.dbf");
  llena(a, 2);
  b.open("", "PROD.DBF");
  a.first();
  a.edit();
  b.first();
  EXPECT_EQ(mensajeDe([&] { b.edit(); }),
            "LockError: El registro 1 de la tabla prod.dbf está bloqueado por otra estación");
  EXPECT_EQ(mensajeDe([&] { b.remove(); }),
            "LockError: El registro 1 de la tabla prod.dbf está bloqueado por otra estación");
  EXPECT_FALSE(b.editing());
  b.next();
  b.edit();  // another record is free
  b.cancel();
  a.setText("CLAVE", "A");
  a.post();
  b.first();
  EXPECT_EQ(b.asText("CLAVE"), "A");
  b.edit();  // released by the post
  b.setText("CLAVE", "B");
  b.post();
  // The edit starts from the record on disk, not from what a's last move read.
  a.edit();
  EXPECT_EQ(a.asText("CLAVE"), "B");
  a.cancel();

  // A record removed by another handle cannot be edited.
  a.first();
  b.first();
  b.remove();
  EXPECT_EQ(mensajeDe([&] { a.edit(); }), "El registro 1 de la tabla prod.dbf fue borrado por otra estación");
  EXPECT_FALSE(a.editing());
}

TEST(TablaApertura, ExclusiveAndSharedOpens) {
  DirectorioTemporal dir;
  fs::create_directories(dir.ruta() / "unidades/c/Datos");
  Table::create("C:\\Datos", "Clientes.dbf", {{"CLCLI_C", 'C', 8, 0}});
  EXPECT_TRUE(fs::exists(dir.ruta() / "unidades/c/Datos/Clientes.dbf"));
  Table a, b;
  a.open("c:\\DATOS", "CLIENTES.DBF");
  EXPECT_EQ(a.path(), (dir.ruta() / "unidades/c/Datos/Clientes.dbf").string());
  EXPECT_FALSE(a.exclusive());
  EXPECT_EQ(mensajeDe([&] { b.open("C:\\Datos", "clientes", OpenMode::Exclusive); }),
            "LockError: La tabla Clientes.dbf está en uso por otra estación");
  EXPECT_FALSE(b.isOpen());
  a.close();
  b.open("C:\\Datos", "clientes", OpenMode::Exclusive);
  EXPECT_TRUE(b.exclusive());
  EXPECT_EQ(mensajeDe([&] { a.open("C:\\Datos", "clientes.dbf"); }),
            "LockError: La tabla Clientes.dbf está abierta en exclusiva por otra estación");
  EXPECT_EQ(mensajeDe([] { Table::create("C:\\Datos", "CLIENTES.dbf", {{"X", 'C', 1, 0}}); }),
            "LockError: La tabla Clientes.dbf está en uso por otra estación");
  EXPECT_EQ(mensajeDe([] { Table::drop("C:\\Datos", "clientes.dbf"); }),
            "LockError: La tabla Clientes.dbf está en uso por otra estación");
  b.close();
  EXPECT_EQ(mensajeDe([&] { a.first(); }), "La tabla no está abierta");
}

TEST(TablaMantenimiento, PackRemovesDeletedRecordsInExclusiveUse) {
  DirectorioTemporal dir;
  Table::create("", "prod.dbf", kProductos);
  Table t;
  t.open("", "prod.dbf");
  llena(t, 6);
  for (uint32_t r : {1u, 4u, 6u}) {
    ASSERT_TRUE(t.goTo(r));
    t.remove();
  }
  EXPECT_EQ(mensajeDe([&] { t.pack(); }), "La tabla prod.dbf debe abrirse en exclusiva para compactarla");
  EXPECT_EQ(mensajeDe([&] { t.emptyTable(); }), "La tabla prod.dbf debe abrirse en exclusiva para vaciarla");
  t.close();
  const std::string antes = dir.lee("prod.dbf");
  t.open("", "prod.dbf", OpenMode::Exclusive);
  t.pack();
  EXPECT_EQ(t.recordCount(), 3);
  EXPECT_EQ(t.recno(), 1u);
  EXPECT_EQ(claves(t), (std::vector<std::string>{"P2", "P3", "P5"}));
  t.append();  // the handle keeps working on the packed file
  t.setText("CLAVE", "P7");
  t.post();
  EXPECT_EQ(t.recno(), 4u);
  t.close();
  const size_t cab = 32 + 6 * 32 + 1, rl = 1 + 6 + 12 + 9 + 6 + 8 + 1;
  const std::string despues = dir.lee("prod.dbf");
  ASSERT_EQ(despues.size(), cab + 4 * rl + 1);
  EXPECT_EQ(despues.substr(cab, rl), antes.substr(cab + rl, rl));
  EXPECT_EQ(despues.substr(cab + 2 * rl, rl), antes.substr(cab + 4 * rl, rl));
  EXPECT_EQ(despues[4], 4);
  EXPECT_EQ(despues.back(), '\x1A');
  EXPECT_FALSE(fs::exists(dir.ruta() / "prod.dbf.pack"));

  t.open("", "prod.dbf", OpenMode::Exclusive);
  t.emptyTable();
  EXPECT_EQ(t.recordCount(), 0);
  EXPECT_TRUE(t.eof() && t.bof());
  t.close();
  // No records, and one more change counted (header byte 16).
  std::string vacia = despues.substr(0, 4) + std::string(4, '\0') + despues.substr(8, cab - 8) + "\x1A";
  vacia[16] = static_cast<char>(despues[16] + 1);
  EXPECT_EQ(dir.lee("prod.dbf"), vacia);
}

TEST(TablaMantenimiento, CopyToMatchesFieldsByNameAndConverts) {
  DirectorioTemporal dir;
  Table::create("", "prod.dbf", kProductos);
  Table::create("", "copia.dbf",
                {{"EXIST", 'C', 4, 0}, {"clave", 'C', 3, 0}, {"PRECIO", 'N', 5, 1}, {"OTRO", 'N', 3, 0},
                 {"ALTA", 'C', 10, 0}});
  Table o, d;
  o.open("", "prod.dbf");
  llena(o, 3);
  o.goTo(1);
  o.edit();
  o.setFloat("PRECIO", 2.25);
  o.setDate("ALTA", Fecha{2024, 12, 8});
  o.post();
  o.goTo(2);
  o.remove();
  d.open("", "copia.dbf");
  o.copyTo(d);
  EXPECT_EQ(d.recordCount(), 2);
  EXPECT_EQ(d.recno(), 2u);
  d.first();
  EXPECT_EQ(d.asText("EXIST"), "1");
  EXPECT_EQ(d.asText("CLAVE"), "P1");
  EXPECT_EQ(d.asText("PRECIO"), "2.3");
  EXPECT_TRUE(d.isNull("OTRO"));
  EXPECT_EQ(d.asText("ALTA"), "08/12/2024");
  d.next();
  EXPECT_EQ(d.asText("CLAVE"), "P3");
  EXPECT_TRUE(d.isNull("PRECIO"));
  EXPECT_EQ(mensajeDe([&] { o.copyTo(o); }), "No se puede copiar la tabla prod.dbf sobre sí misma");
}

TEST(TablaMantenimiento, ListAndDropTables) {
  DirectorioTemporal dir;
  for (const char* n : {"B.DBF", "a.dbf", "c.Db", "x.txt", "a.mdx", "d.dbt"}) dir.escribe(std::string("datos/") + n, "x");
  EXPECT_EQ(Table::listTables("DATOS"), (std::vector<std::string>{"a.dbf", "B.DBF", "c.Db"}));
  Table::create("datos", "Tabla.DBF", {{"X", 'C', 1, 0}}, {});
  dir.escribe("datos/TABLA.MDX", "indice viejo");
  dir.escribe("datos/tabla.dbt", "memo");
  Table::drop("Datos", "tabla");
  EXPECT_FALSE(fs::exists(dir.ruta() / "datos/Tabla.DBF"));
  EXPECT_FALSE(fs::exists(dir.ruta() / "datos/TABLA.MDX"));
  EXPECT_FALSE(fs::exists(dir.ruta() / "datos/tabla.dbt"));
  EXPECT_EQ(mensajeDe([] { Table::drop("datos", "tabla"); }),
            "No existe la tabla tabla.dbf");
  EXPECT_EQ(mensajeDe([] { Table::create("datos", "mala", {{"1X", 'C', 1, 0}}); }),
            "Definición no válida del campo 1X: el nombre debe empezar con una letra");
  EXPECT_EQ(mensajeDe([] { Table::create("datos", "mala", {{"A", 'N', 5, 4}}); }),
            "Definición no válida del campo A: los decimales no caben en el ancho");
  EXPECT_EQ(mensajeDe([] { Table::create("datos", "mala", {{"A", 'C', 1, 0}, {"a", 'D', 8, 0}}); }),
            "Definición no válida del campo a: el nombre está repetido");
}

// A write that fails (the disk is full) is put back whole, so the table stays byte for
// byte as it was and the handle may write again once there is room.
TEST(TablaFallo, AFailedWriteLeavesTheTableAsItWasAndTheHandleUsable) {
  DirectorioTemporal dir;
  Table::create("", "prod.dbf", kProductos);
  {
    Table t;
    t.open("", "prod.dbf");
    llena(t, 60);  // larger than the journal of the failed append
  }
  const std::string antes = dir.lee("prod.dbf");
  pid_t hijo = fork();
  ASSERT_GE(hijo, 0);
  if (hijo == 0) {
    // The table may not grow: the append fails with EFBIG; the journal may.
    signal(SIGXFSZ, SIG_IGN);
    rlimit lim{static_cast<rlim_t>(antes.size()), RLIM_INFINITY};
    setrlimit(RLIMIT_FSIZE, &lim);
    int codigo = 0;
    try {
      Table t;
      t.open("", "prod.dbf");
      t.append();
      t.setText("CLAVE", "NUEVO");
      std::string m = mensajeDe([&] { t.post(); });
      if (m != "No se pudo escribir en la tabla " + t.path() + ": File too large") codigo = 10;
      t.cancel();
      std::ifstream f("prod.dbf", std::ios::binary);
      std::string ahora((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
      // All as it was but the change counter (bytes 16..19), which the rollback raised.
      if (ahora.size() != antes.size() || ahora.compare(0, 16, antes, 0, 16) != 0 ||
          ahora.compare(20, std::string::npos, antes, 20, std::string::npos) != 0 ||
          ahora.compare(16, 4, antes, 16, 4) <= 0)
        codigo = 11;
      // The failed change was put back whole: once there is room the handle writes again.
      lim.rlim_cur = RLIM_INFINITY;
      setrlimit(RLIMIT_FSIZE, &lim);
      t.first();
      t.edit();
      t.setText("CLAVE", "OTRO");
      t.post();
    } catch (...) {
      codigo = 12;
    }
    _exit(codigo);
  }
  int estado = 0;
  waitpid(hijo, &estado, 0);
  ASSERT_TRUE(WIFEXITED(estado));
  EXPECT_EQ(WEXITSTATUS(estado), 0);
  Table t;
  t.open("", "prod.dbf");
  EXPECT_EQ(t.recordCount(), 60);
  const auto c = claves(t);
  ASSERT_EQ(c.size(), 60u);
  EXPECT_EQ(c[0], "OTRO");
  EXPECT_EQ(c[59], "P60");
}

TEST(TablaFechas, ShortDatesAndTheAcceptedForms) {
  EXPECT_EQ(fechaCorta(Fecha{2026, 12, 8}), "08/12/2026");
  EXPECT_EQ(leeFecha("08/12/2026"), (Fecha{2026, 12, 8}));
  EXPECT_EQ(leeFecha("8/12/2026"), (Fecha{2026, 12, 8}));
  EXPECT_EQ(leeFecha("20261208"), (Fecha{2026, 12, 8}));
  EXPECT_EQ(leeFecha(" 2026-12-08 "), (Fecha{2026, 12, 8}));
  EXPECT_EQ(leeFecha("29/02/2023"), std::nullopt);
  EXPECT_EQ(leeFecha("29/02/2024"), (Fecha{2024, 2, 29}));
  EXPECT_EQ(leeFecha("08/12/26"), std::nullopt);
  EXPECT_EQ(leeFecha("2026-13-01"), std::nullopt);
  EXPECT_EQ(leeFecha("08-12-2026"), std::nullopt);
  EXPECT_EQ(leeFecha(""), std::nullopt);
}
