// The night check run right after a station died in the middle of a save: what the dead
// station left half done is its journal's to undo, not damage to report.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "store/dbf/dbf_table.h"
#include "store/dbf/journal.h"
#include "store/dbf/verificacion.h"
#include "support/entorno.h"
#include "support/estaciones.h"

namespace mostrador::dbf {
namespace {

using prueba::espera;
using prueba::estacion;

std::vector<std::string>& bitacora() {
  static std::vector<std::string> b;
  return b;
}
void anota(const std::string& l) { bitacora().push_back(l); }

std::string bytes(const std::filesystem::path& archivo) {
  std::ifstream f(archivo, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
}

uint32_t le16(const std::string& b, size_t at) {
  return static_cast<unsigned char>(b[at]) | (static_cast<uint32_t>(static_cast<unsigned char>(b[at + 1])) << 8);
}
uint32_t le32(const std::string& b, size_t at) {
  uint32_t v = 0;
  for (int i = 0; i < 4; ++i) v |= static_cast<uint32_t>(static_cast<unsigned char>(b[at + i])) << (8 * i);
  return v;
}

const char* const kTablas[] = {"encab.dbf", "lineas.dbf", "produc.dbf"};

class VerificacionMuertos : public ::testing::Test {
 protected:
  void SetUp() override {
    Table::create(d(), "encab.dbf", {{"NUMERO", 'N', 6, 0}, {"TOTAL", 'N', 10, 2}}, {{"INUMENC", "NUMERO"}});
    Table::create(d(), "lineas.dbf", {{"NUMERO", 'N', 6, 0}, {"PRODUCTO", 'C', 6, 0}, {"CANTIDAD", 'N', 8, 2}},
                  {{"ILINEA", "NUMERO;PRODUCTO"}});
    Table::create(d(), "produc.dbf", {{"CLAVE", 'C', 6, 0}, {"EXISTE", 'N', 10, 2}}, {{"ICLAVE", "CLAVE"}});
    Table p;
    p.open(d(), "produc.dbf");
    for (int i = 1; i <= 4; ++i) {
      p.append();
      p.setText("CLAVE", "P" + std::to_string(i));
      p.setFloat("EXISTE", 50);
      p.post();
    }
    Table e;
    e.open(d(), "encab.dbf");
    e.append();
    e.setInteger("NUMERO", 1);
    e.post();
  }

  std::string d() const { return dir.str(); }

  // Document 1 saved with three lines and the stock they take, as one unit.
  void guarda() {
    Table e, l, p;
    e.open(d(), "encab.dbf");
    l.open(d(), "lineas.dbf");
    p.open(d(), "produc.dbf");
    p.setIndex("ICLAVE");
    Transaction t(d());
    e.first();
    e.edit();
    e.setFloat("TOTAL", 60);
    e.post();
    for (int i = 1; i <= 3; ++i) {
      l.append();
      l.setInteger("NUMERO", 1);
      l.setText("PRODUCTO", "P" + std::to_string(i));
      l.setFloat("CANTIDAD", i);
      l.post();
      p.findKey({"P" + std::to_string(i)});
      p.edit();
      p.setFloat("EXISTE", p.asFloat("EXISTE") - i);
      p.post();
    }
    t.commit();
  }

  // The tables and their indexes as bytes, but for the change counter (a rollback raises it).
  std::map<std::string, std::string> archivos() const {
    std::map<std::string, std::string> m;
    for (const char* f : kTablas) {
      std::string b = bytes(dir.ruta() / f);
      b.replace(16, 4, 4, '\0');
      m[f] = b;
    }
    return m;
  }

  prueba::DirectorioTemporal dir;
};

int escrituras = 0, muereEn = 0;
void cuenta(const std::filesystem::path&, off_t, size_t) {
  if (++escrituras == muereEn) _exit(9);
}

TEST_F(VerificacionMuertos, LaRevisionTrasUnaEstacionMuertaEnCadaEscrituraDeshaceSuGuardadoYNoReportaNada) {
  const auto antes = archivos();
  int muertes = 0, indicesSucios = 0, cabecerasCortas = 0, aMedias = 0;
  for (int k = 1;; ++k) {
    ASSERT_LT(k, 200);
    const pid_t h = estacion([this, k] {
      muereEn = k;
      journal::setWriteHook(cuenta);
      guarda();
      return 0;
    });
    const int fin = espera(h);
    if (fin == 0) break;
    ASSERT_EQ(fin, 9) << "escritura " << k;
    ++muertes;
    ASSERT_FALSE(bytes(dir.ruta() / journal::kFileName).empty()) << "escritura " << k;
    // What the files show before anyone rolls the journal back: the damage the check
    // would report if it read them as they are.
    for (const char* f : {"encab.mdx", "lineas.mdx", "produc.mdx"})
      if (bytes(dir.ruta() / f).at(52) == 1) ++indicesSucios;
    for (const char* f : kTablas) {
      const std::string b = bytes(dir.ruta() / f);
      const uint32_t cabecera = le16(b, 8), largo = le16(b, 10);
      if ((b.size() - cabecera) / largo != le32(b, 4)) ++cabecerasCortas;
    }
    if (archivos() != antes) ++aMedias;
    bitacora().clear();
    journal::setLogSink(anota);
    for (const char* f : kTablas) {
      const ResultadoVerificacion r = verificaTabla(d(), f);
      EXPECT_TRUE(r.problemas.empty()) << f << ", escritura " << k << ": " << r.problemas[0];
    }
    journal::setLogSink(nullptr);
    ASSERT_EQ(bitacora().size(), 1u) << "escritura " << k;
    EXPECT_EQ(bitacora()[0].rfind("Se deshizo un guardado interrumpido en ", 0), 0u) << bitacora()[0];
    EXPECT_EQ(bytes(dir.ruta() / journal::kFileName), "");
    ASSERT_EQ(archivos(), antes) << "escritura " << k;
  }
  // A save's changes go out at its commit: the journal's write and sync, each file's
  // changed runs, each file's sync, the journal's truncation.
  EXPECT_GE(muertes, 10);
  // Deaths in the middle of the data left files half written for the check to meet; an
  // index goes out whole under its lock, with its header last, so none is ever marked
  // as interrupted on disk, and a table's header goes after its records.
  EXPECT_GT(aMedias, 0);
  EXPECT_EQ(indicesSucios, 0);
  EXPECT_EQ(cabecerasCortas, 0);
  // A whole save afterwards is checked sound too, with nothing to roll back.
  bitacora().clear();
  journal::setLogSink(anota);
  for (const ResultadoVerificacion& r : verificaDirectorio(d()))
    EXPECT_TRUE(r.problemas.empty()) << r.tabla << ": " << r.problemas[0];
  journal::setLogSink(nullptr);
  EXPECT_TRUE(bitacora().empty());
}

}  // namespace
}  // namespace mostrador::dbf
