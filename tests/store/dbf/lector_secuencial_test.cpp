// The sequential reader against the table handle on the same files: the same live
// records and values, the count settled as at open (without writing), blocks kept or
// streamed, the snapshot it promises and the locks it shares with other handles.

#include "store/dbf/lector_secuencial.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>

#include "store/dbf/dbf_file.h"
#include "store/dbf/dbf_table.h"
#include "support/entorno.h"

using namespace mostrador::dbf;
using mostrador::prueba::DirectorioTemporal;

namespace {

std::string mensajeDe(const std::function<void()>& f) {
  try {
    f();
  } catch (const Error& e) {
    return e.what();
  }
  return "(sin error)";
}

std::vector<uint32_t> recnos(LectorSecuencial& l) {
  std::vector<uint32_t> r;
  l.reinicia();
  while (l.siguiente()) r.push_back(l.recno());
  return r;
}

// A table written byte by byte: K (N 8) numbered 1..n, then `relleno` C fields of 250
// bytes; the records listed in `borrados` carry the deleted flag.
void escribeTabla(DirectorioTemporal& dir, const std::string& archivo, uint32_t n, int relleno,
                  const std::vector<uint32_t>& borrados) {
  std::vector<FieldDef> campos = {{"K", 'N', 8, 0}};
  for (int i = 0; i < relleno; ++i) campos.push_back({"R" + std::to_string(i), 'C', 250, 0});
  std::string bytes = file::buildHeader(campos, n, false, {}, 101, 1, 1);
  for (uint32_t r = 1; r <= n; ++r) {
    const bool borrado = std::find(borrados.begin(), borrados.end(), r) != borrados.end();
    char k[16];
    std::snprintf(k, sizeof k, "%8u", r);
    bytes += borrado ? '*' : ' ';
    bytes += k;
    for (int i = 0; i < relleno; ++i) bytes += std::string(250, static_cast<char>('a' + (r + i) % 26));
  }
  bytes += '\x1A';
  dir.escribe(archivo, bytes);
}

}  // namespace

TEST(LectorSecuencial, ReadsTheLiveRecordsAndValuesTheTableHandleReads) {
  DirectorioTemporal dir;
  const std::vector<FieldDef> campos = {{"TEXTO", 'C', 10, 0}, {"ENTERO", 'N', 8, 0},
                                        {"DINERO", 'N', 10, 2}, {"FLOTA", 'F', 12, 3},
                                        {"FECHA", 'D', 8, 0},   {"MARCA", 'L', 1, 0}};
  Table::create("", "tipos.dbf", campos);
  {
    Table t;
    t.open("", "tipos.dbf");
    t.append();
    t.setText("TEXTO", "ñandú  ");
    t.setInteger("ENTERO", -54);
    t.setFloat("DINERO", 12.5);
    t.setFloat("FLOTA", -0.125);
    t.setDate("FECHA", Fecha{2001, 3, 5});
    t.setBool("MARCA", true);
    t.post();
    t.append();  // every field blank
    t.post();
    for (int i = 1; i <= 6; ++i) {
      t.append();
      t.setText("TEXTO", "K" + std::to_string(i));
      t.setInteger("ENTERO", i);
      t.setFloat("DINERO", i * 1.5);
      t.setDate("FECHA", Fecha{2002, i, 28});
      t.setBool("MARCA", i % 2 == 0);
      t.post();
      if (i == 1 || i == 6) t.remove();  // records 3 and 8
    }
  }

  LectorSecuencial l("", "TIPOS");  // the extension and the case are found as for a table
  EXPECT_EQ(l.campos(), campos);
  EXPECT_EQ(l.registros(), 8u);
  EXPECT_EQ(l.nombre(), "tipos.dbf");
  EXPECT_EQ(recnos(l), (std::vector<uint32_t>{1, 2, 4, 5, 6, 7}));

  Table t;
  t.open("", "tipos.dbf");
  l.reinicia();
  for (t.first(); !t.eof(); t.next()) {
    ASSERT_TRUE(l.siguiente());
    ASSERT_EQ(l.recno(), t.recno());
    for (int i = 0; i < static_cast<int>(campos.size()); ++i) {
      SCOPED_TRACE("registro " + std::to_string(t.recno()) + " campo " + campos[i].name);
      EXPECT_EQ(l.esBlanco(i), t.isNull(i));
      EXPECT_EQ(l.texto(i), t.asText(i));
      if (campos[i].type == 'N' || campos[i].type == 'F') {
        EXPECT_EQ(l.numero(i), t.asFloat(i));
      } else if (campos[i].type == 'D') {
        EXPECT_EQ(l.fecha(i), t.asDate(i));
      } else if (campos[i].type == 'L') {
        EXPECT_EQ(l.logico(i), t.asBool(i));
      }
    }
  }
  EXPECT_FALSE(l.siguiente());
  EXPECT_EQ(l.recno(), 0u);
  EXPECT_EQ(l.registro(), nullptr);

  // Exact values of the first record, and the raw bytes of a deleted one.
  l.reinicia();
  ASSERT_TRUE(l.siguiente());
  EXPECT_EQ(l.texto(0), "ñandú");
  EXPECT_EQ(l.numero(1), -54);
  EXPECT_EQ(l.texto(2), "12.50");
  EXPECT_EQ(l.numero(3), -0.125);
  EXPECT_EQ(l.fecha(4), (Fecha{2001, 3, 5}));
  EXPECT_TRUE(l.logico(5));
  EXPECT_EQ(std::string(l.campo(0), 10), "\xF1" "and\xFA     ");
  EXPECT_EQ(std::string(l.lee(3), 50), std::string("*") + "K1        " + "       1" + "      1.50" +
                                          std::string(12, ' ') + "20020128" + "F");
  EXPECT_EQ(l.recno(), 1u);  // lee() leaves the scan where it was
  ASSERT_TRUE(l.siguiente());
  EXPECT_EQ(l.recno(), 2u);
  EXPECT_TRUE(l.esBlanco(4));
  EXPECT_EQ(l.fecha(4), std::nullopt);
  EXPECT_EQ(l.lee(0), nullptr);
  EXPECT_EQ(l.lee(9), nullptr);
  EXPECT_EQ(mensajeDe([&] { l.texto(6); }), "La tabla tipos.dbf no tiene el campo número 6");
}

TEST(LectorSecuencial, ReadsLevelSevenTables) {
  DirectorioTemporal dir;
  const std::string z(32, '\0');
  std::string f;
  f += std::string("\x04\x7C\x01\x02", 4);
  f += std::string("\x03\x00\x00\x00", 4);
  const int cabecera = 68 + 2 * 48 + 1 + 10;  // 10 bytes of field properties
  f += std::string{static_cast<char>(cabecera & 0xFF), static_cast<char>(cabecera >> 8)};
  f += std::string("\x12\x00", 2);  // 1 + 12 + 5
  f += z.substr(0, 16);
  f += std::string("\x00\x57\x00\x00", 4);
  f += std::string("DBWINUS0") + z.substr(0, 24) + z.substr(0, 4);
  std::string nombreLargo = "DESCRIPCION_LARGA";
  f += nombreLargo + z.substr(0, 32 - nombreLargo.size()) + std::string("C\x0C\x00", 3) + z.substr(0, 13);
  f += std::string("PRECIO") + z.substr(0, 26) + std::string("N\x05\x01", 3) + z.substr(0, 13);
  f += "\x0D";
  f += z.substr(0, 10);
  f += " Martillo     12.5";
  f += "*Clavo         0.3";
  f += " Tuerca       -1.0";
  f += "\x1A";
  dir.escribe("nivel7.dbf", f);

  LectorSecuencial l("", "nivel7.dbf");
  EXPECT_TRUE(l.encabezado().level7);
  EXPECT_EQ(l.campos(),
            (std::vector<FieldDef>{{"DESCRIPCION_LARGA", 'C', 12, 0}, {"PRECIO", 'N', 5, 1}}));
  ASSERT_TRUE(l.siguiente());
  EXPECT_EQ(l.texto(0), "Martillo");
  EXPECT_EQ(l.numero(1), 12.5);
  ASSERT_TRUE(l.siguiente());
  EXPECT_EQ(l.recno(), 3u);
  EXPECT_EQ(l.texto(0), "Tuerca");
  EXPECT_EQ(l.numero(1), -1);
  EXPECT_FALSE(l.siguiente());
}

TEST(LectorSecuencial, SettlesTheCountAsOpenDoesWithoutWriting) {
  DirectorioTemporal dir;
  Table::create("", "c.dbf", {{"N", 'N', 5, 0}});
  {
    Table t;
    t.open("", "c.dbf");
    for (int i = 1; i <= 3; ++i) {
      t.append();
      t.setInteger("N", i);
      t.post();
    }
  }
  const std::string sana = dir.lee("c.dbf");
  const size_t cab = 32 + 32 + 1, rl = 6;
  ASSERT_EQ(sana.size(), cab + 3 * rl + 1);
  struct Caso {
    const char* que;
    std::string bytes;
    std::vector<uint32_t> esperados;
  };
  std::string mas = sana, menos = sana, cero = sana;
  mas[4] = 5;    // the header says more than there is
  menos[4] = 2;  // record 3 written, count not yet updated (a station died there)
  cero[4] = 0;
  const std::vector<Caso> casos = {
      {"sana", sana, {1, 2, 3}},
      {"cuenta de más", mas, {1, 2, 3}},
      {"cuenta de menos", menos, {1, 2, 3}},
      {"cuenta en cero", cero, {1, 2, 3}},
      {"registro parcial", sana.substr(0, cab + 3 * rl) + "    ", {1, 2, 3}},
      {"sin marca de fin", sana.substr(0, cab + 3 * rl), {1, 2, 3}},
      {"dos registros y medio", sana.substr(0, cab + 2 * rl + 3), {1, 2}},
  };
  for (const auto& c : casos) {
    SCOPED_TRACE(c.que);
    dir.escribe("c.dbf", c.bytes);
    {
      LectorSecuencial l("", "c.dbf");
      EXPECT_EQ(l.registros(), c.esperados.size());
      EXPECT_EQ(recnos(l), c.esperados);
      l.reinicia();
      ASSERT_TRUE(l.siguiente());
      EXPECT_EQ(l.numero(0), 1);
    }
    EXPECT_EQ(dir.lee("c.dbf"), c.bytes);  // a reader never writes
  }
}

TEST(LectorSecuencial, EmptyTablesAndBadFiles) {
  DirectorioTemporal dir;
  Table::create("", "vacia.dbf", {{"N", 'N', 5, 0}});
  LectorSecuencial l("", "vacia.dbf");
  EXPECT_EQ(l.registros(), 0u);
  EXPECT_FALSE(l.siguiente());
  EXPECT_FALSE(l.siguiente());
  EXPECT_EQ(l.recno(), 0u);
  EXPECT_EQ(l.lee(1), nullptr);
  EXPECT_EQ(mensajeDe([&] { l.esBlanco(0); }), "La lectura de la tabla vacia.dbf no está en un registro");

  EXPECT_EQ(mensajeDe([] { LectorSecuencial("", "nada.dbf"); }), "No existe la tabla nada.dbf");
  dir.escribe("rota.dbf", std::string("\x03\x01\x01\x01\x00\x00\x00\x00\x10\x00", 10) + std::string(30, '\0'));
  const std::string rota = mensajeDe([] { LectorSecuencial("", "rota.dbf"); });
  EXPECT_EQ(rota, mensajeDe([] { Table().open("", "rota.dbf"); }));
  EXPECT_EQ(rota, "La tabla rota.dbf está dañada: la longitud del encabezado (16) no deja lugar a ningún campo");
}

TEST(LectorSecuencial, BlocksAreKeptForSmallTablesAndStreamedForLargeOnes) {
  // 3000 records of 259 bytes (three blocks of up to 1012, kept) and 4300 of 4009 bytes (67
  // blocks of 65, past kRetenido: streamed). Deleted records sit on both sides of block
  // boundaries and at the end.
  struct Caso {
    uint32_t n;
    int relleno;
    uint32_t porBloque;
  };
  for (const Caso c : {Caso{3000, 1, 1012}, Caso{4300, 16, 65}}) {
    SCOPED_TRACE(c.n);
    DirectorioTemporal dir;
    const uint32_t b = c.porBloque;
    const std::vector<uint32_t> borrados = {1, b, b + 1, 2 * b, 2 * b + 2, c.n - 1, c.n};
    escribeTabla(dir, "grande.dbf", c.n, c.relleno, borrados);
    LectorSecuencial l("", "grande.dbf");
    ASSERT_EQ(l.registros(), c.n);
    ASSERT_EQ(LectorSecuencial::kBloque / static_cast<size_t>(l.encabezado().recordLength), b);
    uint64_t vivos = 0, suma = 0;
    uint32_t anterior = 0;
    bool ordenado = true;
    while (l.siguiente()) {
      ++vivos;
      suma += static_cast<uint64_t>(l.numero(0));
      ordenado &= l.recno() > anterior && l.numero(0) == l.recno();
      anterior = l.recno();
      if (l.recno() == b + 2) {
        // Reading elsewhere in the middle of a scan leaves the scan where it was.
        ASSERT_NE(l.lee(c.n - 5), nullptr);
        EXPECT_EQ(std::string(l.lee(c.n - 5), 9), "     " + std::to_string(c.n - 5));
        EXPECT_EQ(l.lee(b)[0], '*');
        EXPECT_EQ(l.texto(1).substr(0, 3), std::string(3, static_cast<char>('a' + (b + 2) % 26)));
      }
    }
    EXPECT_TRUE(ordenado);
    uint64_t esperada = uint64_t{c.n} * (c.n + 1) / 2;
    for (uint32_t r : borrados) esperada -= r;
    EXPECT_EQ(vivos, c.n - borrados.size());
    EXPECT_EQ(suma, esperada);
    EXPECT_EQ(anterior, c.n - 2);
    // A second pass visits the same records.
    EXPECT_EQ(recnos(l).size(), vivos);
  }
}

TEST(LectorSecuencial, SeesTheTableAsItWasAndKeepsWhatItRead) {
  // 100 records of 4,006 bytes: two blocks, so a second pass would have to read the first
  // one again if the reader did not keep it.
  DirectorioTemporal dir;
  std::vector<FieldDef> campos = {{"N", 'N', 5, 0}};
  for (int i = 0; i < 16; ++i) campos.push_back({"R" + std::to_string(i), 'C', 250, 0});
  Table::create("", "t.dbf", campos);
  Table t;
  t.open("", "t.dbf");
  std::vector<double> antes;
  for (int i = 1; i <= 100; ++i) {
    t.append();
    t.setInteger("N", i);
    t.post();
    antes.push_back(i);
  }
  LectorSecuencial l("", "t.dbf");
  ASSERT_EQ(LectorSecuencial::kBloque / static_cast<size_t>(l.encabezado().recordLength), 65u);
  t.append();  // after the reader opened: not part of its snapshot
  t.setInteger("N", 101);
  t.post();
  auto pasada = [&] {
    std::vector<double> r;
    l.reinicia();
    while (l.siguiente()) r.push_back(l.numero(0));
    return r;
  };
  EXPECT_EQ(pasada(), antes);
  ASSERT_TRUE(t.goTo(2));
  t.edit();
  t.setInteger("N", 20);
  t.post();
  t.remove();  // record 2 deleted, record 3 now current
  t.edit();
  t.setInteger("N", 30);
  t.post();
  EXPECT_EQ(pasada(), antes);
  EXPECT_EQ(l.lee(2)[0], ' ');
  EXPECT_EQ(l.lee(101), nullptr);
  LectorSecuencial nuevo("", "t.dbf");
  std::vector<double> ahora;
  while (nuevo.siguiente()) ahora.push_back(nuevo.numero(0));
  std::vector<double> esperado = {1, 30};
  for (int i = 4; i <= 101; ++i) esperado.push_back(i);
  EXPECT_EQ(ahora, esperado);
}

TEST(LectorSecuencial, SharesTheOpenLockWithOtherHandles) {
  DirectorioTemporal dir;
  Table::create("", "t.dbf", {{"N", 'N', 5, 0}});
  {
    Table exclusiva;
    exclusiva.open("", "t.dbf", OpenMode::Exclusive);
    EXPECT_THROW(LectorSecuencial("", "t.dbf"), LockError);
    EXPECT_EQ(mensajeDe([] { LectorSecuencial("", "t.dbf"); }),
              "La tabla t.dbf está abierta en exclusiva por otra estación");
  }
  auto l = std::make_unique<LectorSecuencial>("", "t.dbf");
  Table t;
  EXPECT_EQ(mensajeDe([&] { t.open("", "t.dbf", OpenMode::Exclusive); }),
            "La tabla t.dbf está en uso por otra estación");
  // Stations that share the table keep posting while it is read.
  t.open("", "t.dbf");
  t.append();
  t.setInteger("N", 7);
  t.post();
  t.edit();
  t.setInteger("N", 8);
  t.post();
  t.close();
  l.reset();
  t.open("", "t.dbf", OpenMode::Exclusive);
  EXPECT_TRUE(t.exclusive());
  EXPECT_EQ(t.asInteger("N"), 8);
}
