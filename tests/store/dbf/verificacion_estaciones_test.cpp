// The table check while other stations post: each check and each station is a real
// process on the same files, as on a shop's shared drive.

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "store/dbf/dbf_table.h"
#include "store/dbf/key_expression.h"
#include "store/dbf/journal.h"
#include "store/dbf/mdx_index.h"
#include "store/dbf/verificacion.h"
#include "support/entorno.h"
#include "support/estaciones.h"

namespace mostrador::dbf {
namespace {

using prueba::espera;
using prueba::estacion;

constexpr int kIniciales = 6000;
constexpr int kFijos = 100;  // records 1..kFijos no station touches

const std::vector<FieldDef> kCampos{
    {"ESTACION", 'N', 2, 0}, {"CLAVE", 'C', 10, 0}, {"CANTI", 'N', 10, 2}, {"NOTA", 'C', 20, 0}};

std::string claveInicial(int i) {
  char b[16];
  std::snprintf(b, sizeof b, "K%06d", (i * 7919) % 100000);
  return b;
}

class VerificacionEstaciones : public ::testing::Test {
 protected:
  void SetUp() override {
    Table::create(dir.str(), "ventas.dbf", kCampos,
                  {{"ICLAVE", "CLAVE"}, {"IEST", "ESTACION;CANTI"}, {"INOTA", "*UPPER(NOTA)+CLAVE"}});
    Table t;
    t.open(dir.str(), "ventas.dbf", OpenMode::Exclusive);
    for (int i = 1; i <= kIniciales; ++i) {
      t.append();
      t.setInteger("ESTACION", 0);
      t.setText("CLAVE", claveInicial(i));
      t.setFloat("CANTI", i % 50);
      t.setText("NOTA", "inicial " + std::to_string(i % 13));
      t.post();
    }
  }

  // Stations 1 and 2 append; stations 3 and 4 edit keys of the records above kFijos
  // (each its own half) and now and then delete one and append another. They run until
  // the test creates the file "alto", and signal through `listos` once they are writing.
  std::vector<pid_t> arrancaEstaciones(int listos) {
    std::vector<pid_t> hijos;
    const std::string d = dir.str();
    const pid_t prueba = getpid();
    for (int e = 1; e <= 4; ++e) {
      hijos.push_back(estacion([e, d, listos, prueba] {
        Table t;
        t.open(d, "ventas.dbf");
        unsigned semilla = static_cast<unsigned>(e) * 2654435761u;
        auto azar = [&semilla] {
          semilla = semilla * 1103515245u + 12345u;
          return (semilla >> 8) & 0xFFFFFF;
        };
        for (long i = 1;; ++i) {
          if (i == 50) (void)!write(listos, "x", 1);
          usleep(300);  // a cashier's pace, not a bulk load: the table must not outgrow the checks
          if (i % 16 == 0 && std::filesystem::exists(std::filesystem::path(d) / "alto")) return 0;
          if (i % 16 == 0 && getppid() != prueba) return 98;  // the test died: stop
          if (e <= 2 || i % 10 == 0) {
            t.append();
            t.setInteger("ESTACION", e);
            t.setText("CLAVE", "E" + std::to_string(e) + "-" + std::to_string(i));
            t.setFloat("CANTI", static_cast<double>(i % 97));
            t.setText("NOTA", "nueva " + std::to_string(i % 7));
            t.post();
          } else {
            const int mitad = (kIniciales - kFijos) / 2;
            const uint32_t r = static_cast<uint32_t>(kFijos + 1 + (e - 3) * mitad + static_cast<int>(azar() % mitad));
            if (!t.goTo(r)) continue;
            if (i % 23 == 0) {
              t.remove();
              continue;
            }
            t.edit();
            t.setText("CLAVE", "M" + std::to_string(azar() % 100000));
            t.setFloat("CANTI", static_cast<double>(azar() % 1000) / 4);
            t.setText("NOTA", i % 3 ? "editada" : "OTRA");
            t.post();
          }
        }
      }));
    }
    return hijos;
  }

  void esperaListos(int fd, int n) {
    for (int i = 0; i < n; ++i) {
      char c;
      ASSERT_EQ(read(fd, &c, 1), 1);
    }
  }

  void detiene(const std::vector<pid_t>& hijos) {
    std::ofstream(dir.ruta() / "alto") << "x";
    for (pid_t p : hijos) EXPECT_EQ(espera(p), 0);
  }

  prueba::DirectorioTemporal dir;
};

TEST_F(VerificacionEstaciones, ChecksInALoopWhileStationsPostNeitherCrashNorReportAnything) {
  int canal[2];
  ASSERT_EQ(pipe(canal), 0);
  std::vector<pid_t> hijos = arrancaEstaciones(canal[1]);
  esperaListos(canal[0], 4);

  // Each check in a process of its own: a crash is counted, not fatal to the test. The
  // small budget makes every other check work in ranges, walking each tag several times.
  const std::string d = dir.str();
  int caidas = 0, conProblemas = 0;
  for (int vuelta = 0; vuelta < 16; ++vuelta) {
    const uint64_t memoria = vuelta % 2 ? kMemoriaVerificacion : 2500 * 118;
    const int codigo = espera(estacion([d, memoria] {
      ResultadoVerificacion r = verificaTabla(d, "ventas.dbf", {}, memoria);
      for (const std::string& p : r.problemas) std::fprintf(stderr, "verifica: %s\n", p.c_str());
      return r.problemas.empty() && r.etiquetas.size() == 3 ? 0 : 1;
    }));
    if (codigo >= 100) ++caidas;
    if (codigo == 1) ++conProblemas;
  }
  detiene(hijos);
  close(canal[0]);
  close(canal[1]);
  EXPECT_EQ(caidas, 0);
  EXPECT_EQ(conProblemas, 0);

  // The stations did write while the checks ran, and the table is sound at rest.
  ResultadoVerificacion r = verificaTabla(d, "ventas.dbf");
  EXPECT_TRUE(r.problemas.empty()) << r.problemas[0];
  EXPECT_GT(r.registros, static_cast<uint32_t>(kIniciales + 200));
  EXPECT_GT(r.borrados, 0u);
}

TEST_F(VerificacionEstaciones, ARealFaultIsStillReportedWhileStationsPost) {
  int canal[2];
  ASSERT_EQ(pipe(canal), 0);
  std::vector<pid_t> hijos = arrancaEstaciones(canal[1]);
  esperaListos(canal[0], 4);

  // Damage where no station writes: record 7's quantity, record 5's entry in ICLAVE, and
  // an entry for a record far beyond the end. The index is changed under the directory's
  // writer lock, as every writer of a shared index: a unit's pages wait in memory until
  // its commit, and a commit refuses an index changed behind its back.
  {
    Transaction escritor(dir.str());
    MdxFile m;
    m.open(dir.ruta() / "ventas.mdx", RecordLayout::from(kCampos));
    const int tag = m.tagNumber("ICLAVE");
    // A copy: the handle rebuilds its own when a station's write moves the index on.
    const KeyExpression e = m.expression(tag);
    m.erase(tag, e.encodePrefix({KeyValue{claveInicial(5)}}), 5);
    m.insert(tag, e.encodePrefix({KeyValue{std::string("ZZZ")}}), 900000);
    escritor.commit();
  }
  {
    std::fstream f(dir.ruta() / "ventas.dbf", std::ios::in | std::ios::out | std::ios::binary);
    // Header 32 + 4 descriptors of 32 + terminator; records of 1 + 2 + 10 + 10 + 20 bytes.
    f.seekp(32 + 4 * 32 + 1 + 43 * 6 + 1 + 2 + 10);
    f.write("   x.5    ", 10);
  }
  const std::vector<std::string> esperado{
      "registro 7: El campo CANTI de la tabla ventas.dbf no tiene un número válido: \"x.5\"",
      "índice ICLAVE: entrada del registro 900000, que no existe",
      "índice ICLAVE: falta la entrada del registro 5"};
  const std::string d = dir.str();
  for (int vuelta = 0; vuelta < 4; ++vuelta) {
    ResultadoVerificacion r = verificaTabla(d, "ventas.dbf");
    EXPECT_EQ(r.problemas, esperado) << "vuelta " << vuelta;
  }
  detiene(hijos);
  close(canal[0]);
  close(canal[1]);
  EXPECT_EQ(verificaTabla(d, "ventas.dbf").problemas, esperado);
}

}  // namespace
}  // namespace mostrador::dbf
