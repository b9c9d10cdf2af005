// Date-time fields ('@'): the level 7 bytes we write, a file written by hand read back,
// blank values, conversions, the day numbers, keys in a tag, and the nightly check.

#include <gtest/gtest.h>

#include <ctime>
#include <fstream>
#include <functional>

#include "store/dbf/dbf_file.h"
#include "store/dbf/dbf_table.h"
#include "store/dbf/verificacion.h"
#include "support/entorno.h"

using namespace mostrador::dbf;
using mostrador::base::Hora;
using mostrador::prueba::DirectorioTemporal;
namespace base = mostrador::base;

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

FechaHora fh(int a, int m, int d, int h = 0, int mi = 0, int s = 0, int ms = 0) {
  return FechaHora{base::Fecha{a, m, d}, Hora{h, mi, s, ms}};
}

const std::vector<FieldDef> kCampos = {{"CLAVE", 'C', 4, 0}, {"MOMENTO", '@', 8, 0}};

// 11/12/2026 13:45:30.250: day 2461386 (0x00258ECA), 49530250 ms (0x02F3C58A).
const std::string kMomento("\xCA\x8E\x25\x00\x8A\xC5\xF3\x02", 8);
// 01/01/2000 12:00:00: day 2451545 (0x00256859), 43200000 ms (0x02932E00).
const std::string kMediodia2000("\x59\x68\x25\x00\x00\x2E\x93\x02", 8);

// A level 7 header for CLAVE C 4 and MOMENTO @ 8 holding `registros` records.
std::string cabeceraNivel7(char registros, const std::string& fecha) {
  std::string f;
  f += std::string("\x04", 1) + fecha;
  f += std::string{registros, 0, 0, 0};
  f += std::string("\xA5\x00", 2);  // 68 + 2 * 48 + 1 = 165
  f += std::string("\x0D\x00", 2);  // 1 + 4 + 8 = 13
  f += ceros(16);
  f += std::string("\x00\x03\x00\x00", 4);
  f += std::string("DBWINUS0") + ceros(28);
  f += std::string("CLAVE") + ceros(27) + std::string("C\x04\x00", 3) + ceros(13);
  f += std::string("MOMENTO") + ceros(25) + std::string("@\x08\x00", 3) + ceros(13);
  f += "\x0D";
  return f;
}

}  // namespace

TEST(FechaHora, ATableWithADateTimeIsWrittenAtLevelSeven) {
  DirectorioTemporal dir;
  Table::create("", "momentos.dbf", kCampos);
  Table t;
  t.open("", "momentos.dbf");
  t.append();
  t.setText("CLAVE", "A1");
  t.setDateTime("MOMENTO", fh(2026, 12, 11, 13, 45, 30, 250));
  t.post();
  t.append();  // MOMENTO left blank: 8 zero bytes, not blanks
  t.setText("CLAVE", "B2");
  t.post();
  t.close();

  std::string esperado = cabeceraNivel7(2, hoy());
  esperado[16] = 2;  // the change counter: two appends
  esperado += " A1  " + kMomento;
  esperado += " B2  " + ceros(8);
  esperado += "\x1A";
  const std::string real = dir.lee("momentos.dbf");
  ASSERT_EQ(real.size(), esperado.size());
  for (size_t i = 0; i < real.size(); ++i)
    ASSERT_EQ(static_cast<unsigned char>(real[i]), static_cast<unsigned char>(esperado[i])) << "byte " << i;

  // A table without one stays at level 4.
  Table::create("", "fechas.dbf", {{"FECHA", 'D', 8, 0}});
  EXPECT_EQ(dir.lee("fechas.dbf")[0], '\x03');
  EXPECT_EQ(dir.lee("fechas.dbf").size(), 32u + 32 + 1 + 1);
}

TEST(FechaHora, AHandWrittenFileReadsEveryForm) {
  DirectorioTemporal dir;
  std::string f = cabeceraNivel7(4, "\x7E\x0C\x0B");
  f += " A1  " + kMomento;
  f += " B2  " + ceros(8);               // blank, as dBASE leaves it
  f += " C3  " + std::string(8, ' ');    // blank, as a careless writer leaves it
  f += " D4  " + kMediodia2000;
  f += "\x1A";
  dir.escribe("ajena.dbf", f);

  Table t;
  t.open("", "ajena.dbf");
  EXPECT_EQ(t.fieldDefs(), kCampos);
  EXPECT_FALSE(t.isNull("MOMENTO"));
  EXPECT_EQ(t.asText("MOMENTO"), "11/12/2026 13:45:30");
  EXPECT_EQ(t.asDateTime("MOMENTO"), fh(2026, 12, 11, 13, 45, 30, 250));
  EXPECT_EQ(t.asDate("MOMENTO"), (Fecha{2026, 12, 11}));
  EXPECT_EQ(mensajeDe([&] { t.asFloat("MOMENTO"); }),
            "El campo MOMENTO de la tabla ajena.dbf no es numérico");
  for (const char* clave : {"B2", "C3"}) {
    t.next();
    EXPECT_EQ(t.asText("CLAVE"), clave);
    EXPECT_TRUE(t.isNull("MOMENTO"));
    EXPECT_EQ(t.asText("MOMENTO"), "");
    EXPECT_EQ(t.asDateTime("MOMENTO"), std::nullopt);
    EXPECT_EQ(t.asDate("MOMENTO"), std::nullopt);
  }
  t.next();
  EXPECT_EQ(t.asText("MOMENTO"), "01/01/2000 12:00:00");
  EXPECT_EQ(t.asDateTime(1), fh(2000, 1, 1, 12));

  // The same field in a level 4 file, as some programs write it, reads the same.
  std::string n4;
  n4 += std::string("\x03\x7E\x0C\x0B\x01\x00\x00\x00", 8);
  n4 += std::string("\x41\x00\x09\x00", 4);  // header 32 + 32 + 1, record 1 + 8
  n4 += ceros(16) + std::string("\x00\x03\x00\x00", 4);
  n4 += std::string("MOMENTO\0\0\0\0@\0\0\0\0\x08\0", 18) + ceros(14);
  n4 += "\x0D";
  n4 += " " + kMomento + "\x1A";
  dir.escribe("nivel4.dbf", n4);
  Table c;
  c.open("", "nivel4.dbf");
  EXPECT_EQ(c.asDateTime("MOMENTO"), fh(2026, 12, 11, 13, 45, 30, 250));
}

TEST(FechaHora, ValuesThatAreNotAnInstantFailOrShowTheirNumbers) {
  DirectorioTemporal dir;
  std::string f = cabeceraNivel7(2, "\x7E\x0C\x0B");
  f += " A1  " + std::string("\x59\x68\x25\x00\x00\x5C\x26\x05", 8);  // 86400000 ms: a day
  f += " B2  " + std::string("\x00\x00\x00\x00\x10\x00\x00\x00", 8);  // a time without a day
  f += "\x1A";
  dir.escribe("mala.dbf", f);
  Table t;
  t.open("", "mala.dbf");
  EXPECT_EQ(t.asText("MOMENTO"), "2451545 86400000");
  EXPECT_EQ(mensajeDe([&] { t.asDateTime("MOMENTO"); }),
            "El campo MOMENTO de la tabla mala.dbf no tiene una fecha y hora válida (día 2451545, "
            "86400000 ms)");
  t.next();
  EXPECT_FALSE(t.isNull("MOMENTO"));
  EXPECT_EQ(mensajeDe([&] { t.asDate("MOMENTO"); }),
            "El campo MOMENTO de la tabla mala.dbf no tiene una fecha y hora válida (día 0, 16 ms)");

  auto r = verificaTabla("", "mala.dbf");
  ASSERT_EQ(r.problemas.size(), 2u);
  EXPECT_EQ(r.problemas[0],
            "registro 1: El campo MOMENTO de la tabla mala.dbf no tiene una fecha y hora válida (día "
            "2451545, 86400000 ms)");
  EXPECT_EQ(r.problemas[1],
            "registro 2: El campo MOMENTO de la tabla mala.dbf no tiene una fecha y hora válida (día 0, "
            "16 ms)");
}

TEST(FechaHora, DayNumbersAcrossTheCalendar) {
  EXPECT_EQ(file::julianDay(2000, 1, 1), 2451545u);
  EXPECT_EQ(file::julianDay(1899, 12, 30), 2415019u);  // day 0 of the stored date values
  EXPECT_EQ(file::julianDay(1582, 10, 15), 2299161u);
  EXPECT_EQ(file::julianDay(1, 1, 1), 1721426u);
  EXPECT_EQ(file::julianDay(9999, 12, 31), file::kMaxJulianDay);
  EXPECT_EQ(file::julianDay(2024, 3, 1) - file::julianDay(2024, 2, 28), 2u);  // leap year
  EXPECT_EQ(file::julianDay(2100, 3, 1) - file::julianDay(2100, 2, 28), 1u);  // not a leap year
  // Every day of two centuries goes there and back, one day after the other.
  uint32_t antes = file::julianDay(1899, 12, 31);
  for (uint32_t jd = antes + 1; jd < antes + 73050; ++jd) {
    const Fecha d = file::fromJulianDay(jd);
    ASSERT_EQ(file::julianDay(d.anio, d.mes, d.dia), jd) << fechaCorta(d);
    ASSERT_EQ(leeFecha(fechaCorta(d)), d) << jd;
  }
  EXPECT_EQ(file::fromJulianDay(2461386), (Fecha{2026, 12, 11}));
  EXPECT_EQ(file::fromJulianDay(file::kMaxJulianDay), (Fecha{9999, 12, 31}));
}

TEST(FechaHora, WritingByEveryRouteAndReadingBack) {
  DirectorioTemporal dir;
  Table::create("", "m.dbf", {{"MOMENTO", '@', 8, 0}, {"FECHA", 'D', 8, 0}, {"TEXTO", 'C', 19, 0}});
  Table t;
  t.open("", "m.dbf");
  t.append();
  t.setDateTime("MOMENTO", fh(2026, 12, 11, 23, 59, 59, 999));
  t.setDateTime("FECHA", fh(2026, 12, 11, 23, 59, 59, 999));  // the date part
  t.setDateTime("TEXTO", fh(2026, 12, 11, 8, 5, 9, 1));
  t.post();
  EXPECT_EQ(t.asDateTime("MOMENTO"), fh(2026, 12, 11, 23, 59, 59, 999));
  EXPECT_EQ(t.asText("FECHA"), "11/12/2026");
  EXPECT_EQ(t.asDateTime("FECHA"), fh(2026, 12, 11));
  EXPECT_EQ(t.asText("TEXTO"), "11/12/2026 08:05:09");
  EXPECT_EQ(t.asDateTime("TEXTO"), fh(2026, 12, 11, 8, 5, 9));

  struct Caso {
    std::string texto;
    FechaHora esperado;
  };
  const std::vector<Caso> textos = {
      {"11/12/2026 13:45:30", fh(2026, 12, 11, 13, 45, 30)},
      {"2026-12-11 13:45:30", fh(2026, 12, 11, 13, 45, 30)},
      {"2026-12-11T13:45:30.25", fh(2026, 12, 11, 13, 45, 30, 250)},
      {" 1/2/2026  7:05 ", fh(2026, 2, 1, 7, 5)},
      {"20261211", fh(2026, 12, 11)},
      {"29/02/2024", fh(2024, 2, 29)},
  };
  for (const auto& c : textos) {
    t.edit();
    t.setText("MOMENTO", c.texto);
    t.post();
    EXPECT_EQ(t.asDateTime("MOMENTO"), c.esperado) << c.texto;
  }
  t.edit();
  t.setDate("MOMENTO", Fecha{2000, 1, 1});
  t.post();
  EXPECT_EQ(t.asText("MOMENTO"), "01/01/2000 00:00:00");
  t.edit();
  t.setDateTime("MOMENTO", std::nullopt);
  t.post();
  EXPECT_TRUE(t.isNull("MOMENTO"));
  t.edit();
  t.setText("MOMENTO", "2000-01-01 12:00:00");
  t.setNull("FECHA");
  t.post();
  t.edit();
  t.setText("MOMENTO", "  ");
  t.post();
  EXPECT_TRUE(t.isNull("MOMENTO"));

  // Nothing is written when the value is refused.
  t.edit();
  t.setText("MOMENTO", "2000-01-01 12:00:00");
  for (const auto& malo : {"31/02/2026 10:00", "11/12/2026 24:00", "11/12/2026 10:60:00", "hoy",
                           "11/12/2026 10:00:00.1234", "11/12/2026 10"})
    EXPECT_EQ(mensajeDe([&] { t.setText("MOMENTO", malo); }),
              "\"" + std::string(malo) + "\" no es una fecha y hora válida para el campo MOMENTO")
        << malo;
  EXPECT_EQ(mensajeDe([&] { t.setDateTime("MOMENTO", fh(2026, 12, 11, 10, 0, 0, 1000)); }),
            "Fecha y hora no válida para el campo MOMENTO de la tabla m.dbf");
  EXPECT_EQ(mensajeDe([&] { t.setDateTime("MOMENTO", fh(2026, 13, 1)); }),
            "Fecha y hora no válida para el campo MOMENTO de la tabla m.dbf");
  EXPECT_EQ(mensajeDe([&] { t.setFloat("MOMENTO", 3); }),
            "El campo MOMENTO de la tabla m.dbf no admite números");
  EXPECT_EQ(mensajeDe([&] { t.setBool("MOMENTO", true); }),
            "El campo MOMENTO no admite valores lógicos");
  t.post();
  EXPECT_EQ(t.asDateTime("MOMENTO"), fh(2000, 1, 1, 12));
  t.close();
  const std::string bytes = dir.lee("m.dbf");
  EXPECT_EQ(bytes.substr(bytes.size() - 1 - 35, 8), kMediodia2000);

  EXPECT_EQ(mensajeDe([] { Table::create("", "x.dbf", {{"MOMENTO", '@', 4, 0}}); }),
            "Definición no válida del campo MOMENTO: una fecha y hora mide 8");
}

TEST(FechaHora, CopyingConvertsBetweenDatesTextsAndDateTimes) {
  DirectorioTemporal dir;
  Table::create("", "origen.dbf", {{"A", '@', 8, 0}, {"B", 'D', 8, 0}, {"C", 'C', 19, 0}});
  Table::create("", "destino.dbf", {{"A", 'C', 19, 0}, {"B", '@', 8, 0}, {"C", '@', 8, 0}});
  Table o, d;
  o.open("", "origen.dbf");
  o.append();
  o.setDateTime("A", fh(2026, 12, 11, 13, 45, 30, 250));
  o.setDate("B", Fecha{2026, 12, 10});
  o.setText("C", "2026-12-09 07:00:00");
  o.post();
  o.append();  // all blank
  o.post();
  d.open("", "destino.dbf");
  o.copyTo(d);
  d.first();
  EXPECT_EQ(d.asText("A"), "11/12/2026 13:45:30");
  EXPECT_EQ(d.asDateTime("B"), fh(2026, 12, 10));
  EXPECT_EQ(d.asDateTime("C"), fh(2026, 12, 9, 7));
  d.next();
  EXPECT_TRUE(d.isNull("A"));
  EXPECT_TRUE(d.isNull("B"));
  EXPECT_TRUE(d.isNull("C"));
  d.close();
  const std::string bytes = dir.lee("destino.dbf");
  EXPECT_EQ(bytes.substr(bytes.size() - 1 - 16, 16), ceros(16));  // blank date-times are zeros
}

TEST(FechaHora, TagsOrderInstantsAndFindADayOrAnInstant) {
  DirectorioTemporal dir;
  Table::create("", "ev.dbf", kCampos, {{"IMOMENTO", "MOMENTO"}, {"ICLAMOM", "CLAVE;MOMENTO"}});
  Table t;
  t.open("", "ev.dbf");
  const std::vector<std::pair<std::string, std::optional<FechaHora>>> datos = {
      {"A", fh(2026, 12, 11, 13, 45, 30, 250)}, {"A", fh(2026, 12, 11, 13, 45, 30, 249)},
      {"B", fh(2026, 12, 10, 23, 59, 59, 999)}, {"B", std::nullopt},
      {"C", fh(2026, 12, 12)},                  {"A", fh(1999, 12, 31, 12)},
  };
  for (const auto& [clave, momento] : datos) {
    t.append();
    t.setText("CLAVE", clave);
    t.setDateTime("MOMENTO", momento);
    t.post();
  }
  auto orden = [&] {
    std::string r;
    for (t.first(); !t.eof(); t.next()) r += std::to_string(t.recno());
    return r;
  };
  t.setIndex("IMOMENTO");
  EXPECT_EQ(orden(), "463215");  // the blank first, then by instant to the millisecond
  t.setIndex("ICLAMOM");
  EXPECT_EQ(orden(), "621435");

  t.setIndex("IMOMENTO");
  // An instant is found to the millisecond.
  EXPECT_FALSE(t.findKey({std::string("11/12/2026 13:45:30")}));
  EXPECT_FALSE(t.findKey({std::string("2026-12-11 13:45:31")}));
  EXPECT_TRUE(t.findKey({std::string("2026-12-11T13:45:30.250")}));
  EXPECT_EQ(t.recno(), 1u);
  EXPECT_TRUE(t.findKey({Fecha{2026, 12, 11}}));  // a day: its first record
  EXPECT_EQ(t.recno(), 2u);
  EXPECT_TRUE(t.findKey({std::string("10/12/2026")}));
  EXPECT_EQ(t.recno(), 3u);
  EXPECT_FALSE(t.findKey({Fecha{2026, 12, 13}}));
  t.findNearest({Fecha{2026, 12, 1}});
  EXPECT_EQ(t.recno(), 3u);
  t.setRange({Fecha{2026, 12, 10}}, {Fecha{2026, 12, 11}});  // both days whole
  EXPECT_EQ(orden(), "321");
  t.setRange({std::string("2026-12-11 00:00:00")}, {std::string("2026-12-12 00:00:00")});
  EXPECT_EQ(orden(), "215");
  t.cancelRange();
  EXPECT_TRUE(t.findKey({std::string("")}));  // the blank one
  EXPECT_EQ(t.recno(), 4u);
  EXPECT_EQ(mensajeDe([&] { t.findKey({3.0}); }), "Valor incompatible con el campo MOMENTO");

  t.setIndex("ICLAMOM");
  EXPECT_TRUE(t.findKey({std::string("A"), Fecha{2026, 12, 11}}));
  EXPECT_EQ(t.recno(), 2u);
  EXPECT_FALSE(t.findKey({std::string("B"), Fecha{2026, 12, 11}}));

  // A change of instant moves the record in the tag; reopening reads the same index.
  t.goTo(6);
  t.edit();
  t.setDateTime("MOMENTO", fh(2027, 1, 1));
  t.post();
  t.close();
  t.open("", "ev.dbf");
  EXPECT_TRUE(t.indexProblem().empty()) << t.indexProblem();
  t.setIndex("IMOMENTO");
  EXPECT_EQ(orden(), "432156");

  EXPECT_EQ(mensajeDe([&] { t.addTag({"IEXPR", "*DTOS(MOMENTO)"}); }),
            "No se pudo crear el índice IEXPR: El campo MOMENTO es de fecha y hora: se indexa por su "
            "nombre en la lista de campos, no en una expresión");
  t.close();

  auto r = verificaTabla("", "ev.dbf");
  EXPECT_EQ(r.registros, 6u);
  EXPECT_EQ(r.etiquetas, (std::vector<std::string>{"IMOMENTO", "ICLAMOM"}));
  EXPECT_TRUE(r.problemas.empty()) << r.problemas[0];
}
