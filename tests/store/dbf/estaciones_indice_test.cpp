// Several stations changing one indexed table at once: every tag must end up holding
// exactly the keys of the live records.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <map>

#include "store/dbf/dbf_table.h"
#include "support/entorno.h"
#include "support/estaciones.h"

using namespace mostrador::dbf;
using mostrador::prueba::DirectorioTemporal;

namespace {

using mostrador::prueba::espera;
using mostrador::prueba::estacion;

std::string clave(int estacion, int n) { return "E" + std::to_string(estacion) + "-" + std::to_string(n); }

}  // namespace

TEST(EstacionesIndice, ConcurrentAppendsAndEditsKeepEveryTag) {
  DirectorioTemporal dir;
  Table::create("", "movs.dbf", {{"CLAVE", 'C', 10, 0}, {"ESTACION", 'N', 2, 0}, {"NUMERO", 'N', 6, 0}},
                {{"ICLAVE", "CLAVE", false, false},
                 {"IESTNUM", "ESTACION;NUMERO", false, false},
                 {"INUMDESC", "NUMERO", false, true}});
  constexpr int kEstaciones = 4, kPorEstacion = 2000;
  std::vector<pid_t> hijos;
  for (int e = 1; e <= kEstaciones; ++e)
    hijos.push_back(estacion([e] {
      Table t;
      t.open("", "movs.dbf");
      for (int i = 1; i <= kPorEstacion; ++i) {
        t.append();
        t.setText("CLAVE", clave(e, i));
        t.setInteger("ESTACION", e);
        t.setInteger("NUMERO", i);
        t.post();
        // Every tenth record is changed again, and every hundredth removed, so that
        // erases race with other stations' inserts too.
        if (i % 10 == 0) {
          t.edit();
          t.setText("CLAVE", clave(e, i) + "x");
          t.post();
        }
        if (i % 100 == 0) t.remove();
      }
      return 0;
    }));
  for (pid_t p : hijos) EXPECT_EQ(espera(p), 0);

  Table t;
  t.open("", "movs.dbf");
  EXPECT_EQ(t.indexProblem(), "");
  EXPECT_EQ(t.recordCount(), kEstaciones * kPorEstacion);
  const long vivos = kEstaciones * (kPorEstacion - kPorEstacion / 100);
  for (const char* tag : {"ICLAVE", "IESTNUM", "INUMDESC"}) {
    t.setIndex(tag);
    long n = 0;
    for (t.first(); !t.eof(); t.next()) ++n;
    EXPECT_EQ(n, vivos) << tag;
  }
  for (int e = 1; e <= kEstaciones; ++e)
    for (int i = 1; i <= kPorEstacion; ++i) {
      const bool borrado = i % 100 == 0;
      const std::string c = clave(e, i) + (i % 10 == 0 ? "x" : "");
      t.setIndex("ICLAVE");
      ASSERT_EQ(t.findKey({c}), !borrado) << c;
      if (!borrado) {
        uint32_t r = t.recno();
        t.setIndex("IESTNUM");
        ASSERT_TRUE(t.findKey({static_cast<double>(e), static_cast<double>(i)})) << c;
        EXPECT_EQ(t.recno(), r);
        t.setIndex("INUMDESC");
        t.setRange({static_cast<double>(i)}, {static_cast<double>(i)});
        EXPECT_EQ(t.recordCount(), kEstaciones) << c;
        bool visto = false;
        for (t.first(); !t.eof(); t.next()) visto = visto || t.recno() == r;
        EXPECT_TRUE(visto) << c;
      }
    }
}
