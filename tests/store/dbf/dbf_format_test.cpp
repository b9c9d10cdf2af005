// The .dbf bytes: what we write compared with a hand-written dBASE file, files of the
// other versions we read, damaged headers, and the record count after a crash.

#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <random>

#include "store/dbf/dbf_table.h"
#include "support/entorno.h"

namespace fs = std::filesystem;
using namespace mostrador::dbf;
using mostrador::prueba::DirectorioTemporal;

namespace {

std::string hoy() {
  std::time_t t = std::time(nullptr);
  std::tm tm{};
  localtime_r(&t, &tm);
  return {static_cast<char>(tm.tm_year), static_cast<char>(tm.tm_mon + 1),
          static_cast<char>(tm.tm_mday)};
}

std::string ceros(size_t n) { return std::string(n, '\0'); }

std::string mensajeDe(const std::function<void()>& f) {
  try {
    f();
  } catch (const Error& e) {
    return e.what();
  }
  return "(sin error)";
}

const std::vector<FieldDef> kCampos = {
    {"NOMBRE", 'C', 10, 0}, {"CANTIDAD", 'N', 8, 2}, {"FECHA", 'D', 8, 0}, {"ACTIVO", 'L', 1, 0}};

// A level 4 table as dBASE writes it: header, four descriptors, terminator, two records
// (the second one deleted) and the end mark.
std::string tablaDeReferencia() {
  std::string f;
  f += std::string("\x03", 1) + hoy();
  f += std::string("\x02\x00\x00\x00", 4);  // 2 records
  f += std::string("\xA1\x00", 2);          // header: 32 + 4 * 32 + 1 = 161
  f += std::string("\x1C\x00", 2);          // record: 1 + 10 + 8 + 8 + 1 = 28
  f += ceros(16);                           // 12-27
  f += std::string("\x00\x03\x00\x00", 4);  // no production index, Windows-1252, reserved
  f += std::string("NOMBRE\0\0\0\0\0C\0\0\0\0\x0A\0", 18) + ceros(14);
  f += std::string("CANTIDAD\0\0\0N\0\0\0\0\x08\x02", 18) + ceros(14);
  f += std::string("FECHA\0\0\0\0\0\0D\0\0\0\0\x08\0", 18) + ceros(14);
  f += std::string("ACTIVO\0\0\0\0\0L\0\0\0\0\x01\0", 18) + ceros(14);
  f += "\x0D";
  f += " Pe\xF1" "a         12.5020240305T";
  f += "*Borrado      -3.00        F";
  f += "\x1A";
  return f;
}

void escribeReferencia(Table& t) {
  t.append();
  t.setText("NOMBRE", "Peña");
  t.setFloat("CANTIDAD", 12.5);
  t.setDate("FECHA", Fecha{2024, 3, 5});
  t.setBool("ACTIVO", true);
  t.post();
  t.append();
  t.setText("NOMBRE", "Borrado");
  t.setInteger("CANTIDAD", -3);
  t.setBool("ACTIVO", false);
  t.post();
  t.remove();
}

}  // namespace

TEST(DbfFormato, WritesTheBytesDbaseWrites) {
  // Shared and exclusive handles append by different paths (header lock or not).
  for (OpenMode modo : {OpenMode::Shared, OpenMode::Exclusive}) {
    DirectorioTemporal dir;
    Table::create("", "ref.dbf", kCampos);
    Table t;
    t.open("", "REF.DBF", modo);
    escribeReferencia(t);
    t.close();
    std::string esperado = tablaDeReferencia();
    esperado[16] = 3;  // the change counter: two appends and a deletion
    const std::string real = dir.lee("ref.dbf");
    ASSERT_EQ(real.size(), esperado.size());
    for (size_t i = 0; i < real.size(); ++i)
      ASSERT_EQ(static_cast<unsigned char>(real[i]), static_cast<unsigned char>(esperado[i]))
          << "byte " << i;
  }
}

TEST(DbfFormato, ReadsTheReferenceFile) {
  DirectorioTemporal dir;
  dir.escribe("ref.dbf", tablaDeReferencia());
  Table t;
  t.open("", "ref.dbf");
  EXPECT_EQ(t.fieldDefs(), kCampos);
  EXPECT_EQ(t.recordCount(), 2);  // the physical count: the deleted record is included
  EXPECT_EQ(t.recno(), 1u);
  EXPECT_EQ(t.asText("NOMBRE"), "Peña");
  EXPECT_EQ(t.asText("CANTIDAD"), "12.50");
  EXPECT_EQ(t.asText("FECHA"), "05/03/2024");
  EXPECT_EQ(t.asText("ACTIVO"), "T");
  t.next();
  EXPECT_TRUE(t.eof());  // the deleted record is not visited
  EXPECT_EQ(t.recno(), 1u);
}

TEST(DbfFormato, ReadsLevelSevenTables) {
  DirectorioTemporal dir;
  // 68-byte header, 48-byte descriptors with 32-byte names, then field properties that
  // the header length covers and readers skip.
  std::string f;
  f += std::string("\x04\x7C\x01\x02", 4);
  f += std::string("\x02\x00\x00\x00", 4);
  const int cabecera = 68 + 2 * 48 + 1 + 10;  // 10 bytes of field properties
  f += std::string{static_cast<char>(cabecera & 0xFF), static_cast<char>(cabecera >> 8)};
  f += std::string("\x12\x00", 2);  // 1 + 12 + 5
  f += ceros(16);
  f += std::string("\x01\x57\x00\x00", 4);  // production index flag set, language driver
  f += std::string("DBWINUS0") + ceros(24) + ceros(4);
  std::string nombreLargo = "DESCRIPCION_LARGA";
  f += nombreLargo + ceros(32 - nombreLargo.size()) + std::string("C\x0C\x00", 3) + ceros(2) +
       std::string("\x01", 1) + ceros(10);
  f += std::string("PRECIO") + ceros(26) + std::string("N\x05\x01", 3) + ceros(13);
  f += "\x0D";
  f += ceros(10);
  f += " Martillo     12.5";
  f += " Clavo         0.3";
  f += "\x1A";
  ASSERT_EQ(f.size(), static_cast<size_t>(cabecera + 2 * 18 + 1));
  dir.escribe("nivel7.dbf", f);

  Table t;
  t.open("", "nivel7");
  EXPECT_EQ(t.fieldDefs(),
            (std::vector<FieldDef>{{"DESCRIPCION_LARGA", 'C', 12, 0}, {"PRECIO", 'N', 5, 1}}));
  EXPECT_EQ(t.asText("descripcion_larga"), "Martillo");
  EXPECT_DOUBLE_EQ(t.asFloat("PRECIO"), 12.5);
  t.next();
  EXPECT_EQ(t.asText(0), "Clavo");
  EXPECT_DOUBLE_EQ(t.asFloat(1), 0.3);
  // Writing keeps the level 7 layout: the record lands after the field properties.
  t.append();
  t.setText(0, "Tuerca");
  t.setFloat(1, 1.25);
  t.post();
  t.close();
  std::string despues = dir.lee("nivel7.dbf");
  EXPECT_EQ(despues[0], '\x04');
  EXPECT_EQ(despues[4], '\x03');
  EXPECT_EQ(despues.substr(cabecera + 2 * 18), std::string(" Tuerca") + std::string(6 + 2, ' ') + "1.3\x1A");
}

TEST(DbfFormato, ReadsDbaseThreeAndFourMemoVersions) {
  for (char version : {'\x83', '\x8B'}) {
    DirectorioTemporal dir;
    std::string f;
    f += std::string(1, version) + std::string("\x5F\x0C\x1F", 3);
    f += std::string("\x01\x00\x00\x00", 4);
    f += std::string("\x61\x00", 2);  // 32 + 2 * 32 + 1 = 97
    f += std::string("\x10\x00", 2);  // 1 + 5 + 10
    f += ceros(20);
    f += std::string("CLAVE\0\0\0\0\0\0C\0\0\0\0\x05\0", 18) + ceros(14);
    f += std::string("NOTAS\0\0\0\0\0\0M\0\0\0\0\x0A\0", 18) + ceros(14);
    f += "\x0D";
    f += " A-01         7";
    f += "\x1A";
    dir.escribe("memo.dbf", f);
    Table t;
    t.open("", "memo.dbf");
    EXPECT_EQ(t.asText("CLAVE"), "A-01");
    EXPECT_EQ(t.asText("NOTAS"), "");  // memo text is not read
    EXPECT_TRUE(t.isNull("NOTAS"));
    EXPECT_EQ(t.fieldDefs()[1], (FieldDef{"NOTAS", 'M', 10, 0}));
  }
}

TEST(DbfFormato, DamagedHeadersFailWithTheirReason) {
  DirectorioTemporal dir;
  Table::create("", "buena.dbf", kCampos);
  {
    Table t;
    t.open("", "buena.dbf");
    escribeReferencia(t);
  }
  const std::string buena = dir.lee("buena.dbf");
  auto abre = [&](const std::string& bytes) {
    dir.escribe("mala.dbf", bytes);
    return mensajeDe([] {
      Table t;
      t.open("", "mala.dbf");
    });
  };
  EXPECT_EQ(abre(""), "La tabla mala.dbf está dañada: el archivo está vacío");
  EXPECT_EQ(abre(buena.substr(0, 20)), "La tabla mala.dbf está dañada: el encabezado está incompleto");
  EXPECT_EQ(abre(buena.substr(0, 100)), "La tabla mala.dbf está dañada: la longitud del encabezado (161) excede el tamaño del archivo (100)");
  EXPECT_EQ(abre("PK\x03\x04 esto es un zip y no una tabla, con bytes de sobra......"),
            "El archivo mala.dbf no es una tabla dBASE");

  std::string sinFin = buena;
  sinFin[160] = ' ';
  EXPECT_EQ(abre(sinFin), "La tabla mala.dbf está dañada: falta la marca de fin de los campos (0x0D)");

  // The header length says one descriptor less than there are.
  std::string corta = buena;
  corta[8] = static_cast<char>(161 - 32);
  EXPECT_EQ(abre(corta), "La tabla mala.dbf está dañada: falta la marca de fin de los campos (0x0D)");

  std::string largo = buena;
  largo[10] = 30;
  EXPECT_EQ(abre(largo), "La tabla mala.dbf está dañada: la longitud de registro (30) no coincide con la de sus campos (28)");

  std::string sinCampos = buena;
  sinCampos[8] = 8;
  sinCampos[9] = 0;
  EXPECT_EQ(abre(sinCampos), "La tabla mala.dbf está dañada: la longitud del encabezado (8) no deja lugar a ningún campo");

  std::string anchoCero = buena;
  anchoCero[32 + 32 + 16] = 0;
  EXPECT_EQ(abre(anchoCero), "La tabla mala.dbf está dañada: el campo CANTIDAD tiene ancho 0");

  EXPECT_EQ(mensajeDe([] {
              Table t;
              t.open("", "falta.dbf");
            }),
            "No existe la tabla falta.dbf");
}

TEST(DbfFormato, FieldValuesThatCannotBeReadFail) {
  DirectorioTemporal dir;
  std::string f = tablaDeReferencia();
  const size_t r1 = 161;
  f.replace(r1 + 11, 8, "  12,5ab");
  f.replace(r1 + 19, 8, "20241340");
  dir.escribe("rara.dbf", f);
  Table t;
  t.open("", "rara.dbf");
  EXPECT_EQ(t.asText("CANTIDAD"), "12,5ab");
  EXPECT_EQ(mensajeDe([&] { t.asFloat("CANTIDAD"); }),
            "El campo CANTIDAD de la tabla rara.dbf no tiene un número válido: \"12,5ab\"");
  EXPECT_EQ(mensajeDe([&] { t.asDate("FECHA"); }),
            "El campo FECHA de la tabla rara.dbf no tiene una fecha válida: \"20241340\"");
}

// A station killed in the middle of an append (outside any journal) or a truncated copy
// leaves a header whose count disagrees with the data. Opening and reading never write:
// the table reads as the records the header counts that are whole on disk, and the next
// append puts its record where the count says.
TEST(DbfFormato, OpenReadsTheWholeCountedRecordsAndWritesNothing) {
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
  auto cuentaConHeader = [&](const std::string& bytes) {
    dir.escribe("c.dbf", bytes);
    Table t;
    t.open("", "c.dbf");
    long n = 0;
    for (t.first(); !t.eof(); t.next()) ++n;
    EXPECT_EQ(n, t.recordCount());
    t.close();
    return std::pair<long, int>(n, static_cast<unsigned char>(dir.lee("c.dbf")[4]));
  };

  std::string mas = sana;
  mas[4] = 5;  // the header says more than there is
  EXPECT_EQ(cuentaConHeader(mas), (std::pair<long, int>(3, 5)));
  EXPECT_EQ(dir.lee("c.dbf"), mas);

  std::string menos = sana;
  menos[4] = 2;  // record 3 written, count not yet updated: it was never posted
  EXPECT_EQ(cuentaConHeader(menos), (std::pair<long, int>(2, 2)));
  EXPECT_EQ(dir.lee("c.dbf"), menos);
  {
    Table t;
    t.open("", "c.dbf");
    t.append();
    t.setInteger("N", 9);
    t.post();
    EXPECT_EQ(t.recno(), 3u);
  }
  EXPECT_EQ(static_cast<int>(dir.lee("c.dbf")[4]), 3);

  std::string parcial = sana.substr(0, cab + 3 * rl) + "    ";  // a torn fourth record
  EXPECT_EQ(cuentaConHeader(parcial), (std::pair<long, int>(3, 3)));
  std::string sinFin = sana.substr(0, cab + 3 * rl);  // no 0x1A
  EXPECT_EQ(cuentaConHeader(sinFin), (std::pair<long, int>(3, 3)));

  // The next append overwrites the torn record.
  dir.escribe("c.dbf", parcial);
  {
    Table t;
    t.open("", "c.dbf");
    t.append();
    t.setInteger("N", 4);
    t.post();
  }
  std::string cuatro = sana.substr(0, cab + 3 * rl) + "     4\x1A";
  cuatro[4] = 4;
  cuatro[16] = static_cast<char>(cuatro[16] + 1);  // one more change counted
  EXPECT_EQ(dir.lee("c.dbf"), cuatro);
}

// Damaged files of every kind must fail with an Error, never crash or hang.
TEST(DbfFormato, MutatedFilesNeverCrash) {
  DirectorioTemporal dir;
  const std::vector<FieldDef> campos = {{"A", 'C', 6, 0}, {"B", 'N', 7, 2}, {"C", 'D', 8, 0}, {"D", 'L', 1, 0}};
  Table::create("", "base.dbf", campos);
  {
    Table t;
    t.open("", "base.dbf");
    for (int i = 0; i < 6; ++i) {
      t.append();
      t.setText("A", "ñu" + std::to_string(i));
      t.setFloat("B", i * 1.5);
      t.setDate("C", Fecha{2020 + i, 1 + i, 10 + i});
      t.setBool("D", i % 2 == 0);
      t.post();
    }
    t.goTo(3);
    t.remove();
  }
  const std::string base = dir.lee("base.dbf");
  std::mt19937 azar(20240611);
  int abiertas = 0, rechazadas = 0;
  for (int variante = 0; variante < 3000; ++variante) {
    std::string f = base;
    const int cambios = 1 + static_cast<int>(azar() % 4);
    for (int k = 0; k < cambios; ++k) {
      size_t en = azar() % f.size();
      // Most mutations hit the header, where a byte means the most.
      if (azar() % 3 != 0) en = azar() % std::min<size_t>(f.size(), 32 * 5 + 1);
      f[en] = static_cast<char>(azar() % 4 == 0 ? "\x00\x0D\xFF\x1A"[azar() % 4] : azar());
    }
    if (azar() % 10 == 0) f.resize(azar() % f.size());
    // A fresh file each time: truncating a file with data makes the file system flush it.
    fs::remove(dir.ruta() / "fuzz.dbf");
    dir.escribe("fuzz.dbf", f);
    try {
      Table t;
      t.open("", "fuzz.dbf");
      ++abiertas;
      long visitados = 0;
      for (t.first(); !t.eof() && visitados < 100; t.next(), ++visitados) {
        for (int c = 0; c < static_cast<int>(t.fieldDefs().size()); ++c) {
          try {
            (void)t.asText(c);
            (void)t.isNull(c);
            (void)t.asFloat(c);
            (void)t.asDate(c);
          } catch (const Error&) {
          }
        }
      }
      for (t.last(); !t.bof() && visitados < 200; t.prior(), ++visitados) {
      }
      EXPECT_LE(visitados, 200);
    } catch (const Error& e) {
      ++rechazadas;
      EXPECT_FALSE(std::string(e.what()).empty());
    }
  }
  // Both outcomes happen: the mutations are neither all harmless nor all fatal.
  EXPECT_GT(abiertas, 300);
  EXPECT_GT(rechazadas, 300);
}
