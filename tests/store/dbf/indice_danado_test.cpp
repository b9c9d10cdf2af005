// Indexed reads over an index damaged behind the engine's back: an entry of a record
// that does not exist, a record entered twice, pages whose links or children were
// changed. No read may return fewer rows, or the same row twice, without saying so: the
// table rebuilds the index from its records (and logs it), or refuses the read.

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "store/dbf/dbf_table.h"
#include "store/dbf/journal.h"
#include "store/dbf/key_expression.h"
#include "store/dbf/mdx_index.h"
#include "store/dbf/verificacion.h"
#include "support/entorno.h"

namespace mostrador::dbf {
namespace {

constexpr int kRegistros = 1000;  // three leaves of ICLAVE at least
const std::vector<FieldDef> kCampos{{"CLAVE", 'C', 6, 0}, {"SALDO", 'N', 10, 2}};

std::vector<std::string>& bitacora() {
  static std::vector<std::string> b;
  return b;
}
void anota(const std::string& l) { bitacora().push_back(l); }

std::string clave(int i) {
  char b[8];
  std::snprintf(b, sizeof b, "C%05d", i);
  return b;
}

uint32_t le32(const std::string& b, size_t at) {
  uint32_t v = 0;
  for (int i = 0; i < 4; ++i) v |= static_cast<uint32_t>(static_cast<unsigned char>(b[at + i])) << (8 * i);
  return v;
}
void pon32(std::string& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

class IndiceDanado : public ::testing::Test {
 protected:
  void SetUp() override {
    Table::create(dir.str(), "clientes.dbf", kCampos, {{"ICLAVE", "CLAVE"}});
    Table t;
    t.open(dir.str(), "clientes.dbf");
    Transaction u(dir.str());
    for (int i = 1; i <= kRegistros; ++i) {
      t.append();
      t.setText("CLAVE", clave(i));
      t.setFloat("SALDO", i);
      t.post();
    }
    u.commit();
    bitacora().clear();
    journal::setLogSink(anota);
  }
  void TearDown() override { journal::setLogSink(nullptr); }

  std::filesystem::path mdx() const { return dir.ruta() / "clientes.mdx"; }

  // Adds an entry with the key of `texto` for record `recno`, as a torn write could.
  void entrada(const std::string& texto, uint32_t recno) {
    MdxFile m;
    m.open(mdx(), RecordLayout::from(kCampos));
    m.insert(0, m.expression(0).encodePrefix({KeyValue{texto}}), recno);
  }

  // The index file's pages as bytes, changed in place and written back.
  std::string leeIndice() const {
    std::ifstream f(mdx(), std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
  }
  void escribeIndice(const std::string& b) const {
    std::ofstream f(mdx(), std::ios::binary | std::ios::trunc);
    f.write(b.data(), static_cast<std::streamsize>(b.size()));
  }
  // The leaves of ICLAVE from the first one on, by their next links.
  static std::vector<uint32_t> hojas(const std::string& b) {
    uint32_t primera = 0;
    for (uint32_t pg = 2; (pg + 1) * 4096 <= b.size(); ++pg)
      if (b[pg * 4096] == 1 && le32(b, pg * 4096 + 12) == 0) primera = pg;
    std::vector<uint32_t> r;
    for (uint32_t pg = primera; pg != 0 && r.size() < 100; pg = le32(b, pg * 4096 + 8)) r.push_back(pg);
    return r;
  }

  // Every key in index order, read through a fresh handle, and the problem the read met.
  std::vector<std::string> recorre(std::string* error = nullptr) {
    std::vector<std::string> r;
    try {
      Table t;
      t.open(dir.str(), "clientes.dbf");
      t.setIndex("ICLAVE");
      for (t.first(); !t.eof(); t.next()) r.push_back(t.asText("CLAVE"));
    } catch (const Error& e) {
      if (error) *error = e.what();
    }
    return r;
  }

  static std::vector<std::string> todas() {
    std::vector<std::string> r;
    for (int i = 1; i <= kRegistros; ++i) r.push_back(clave(i));
    return r;
  }

  // Rebuilt once, with its log line, and sound afterwards.
  void reconstruidoUnaVez(const std::string& porque) {
    ASSERT_EQ(bitacora().size(), 1u);
    EXPECT_EQ(bitacora()[0], "Se reconstruyó el índice clientes.mdx de la tabla clientes.dbf (" + porque + ")");
    EXPECT_TRUE(verificaTabla(dir.str(), "clientes.dbf").problemas.empty());
    EXPECT_EQ(recorre(), todas());
    EXPECT_EQ(bitacora().size(), 1u);
  }

  prueba::DirectorioTemporal dir;
};

TEST_F(IndiceDanado, UnaEntradaDelRegistroCeroOFueraDeLaTablaReconstruyeElIndiceYNoSeSaltaNada) {
  ASSERT_EQ(hojas(leeIndice()).size(), 3u);
  entrada("C00500", 0);
  EXPECT_EQ(verificaTabla(dir.str(), "clientes.dbf").problemas,
            (std::vector<std::string>{"índice ICLAVE: entrada del registro 0, que no existe"}));
  EXPECT_EQ(recorre(), todas());
  reconstruidoUnaVez("Índice dañado: entrada del registro 0, que no existe");

  bitacora().clear();
  entrada("C00002", 4294967295u);
  // Found by a lookup as well as by a walk.
  Table t;
  t.open(dir.str(), "clientes.dbf");
  t.setIndex("ICLAVE");
  EXPECT_TRUE(t.findKey({"C00002"}));
  EXPECT_EQ(t.recno(), 2u);
  t.next();
  EXPECT_EQ(t.asText("CLAVE"), "C00003");
  t.close();
  reconstruidoUnaVez("Índice dañado: entrada del registro 4294967295, que no existe");
}

TEST_F(IndiceDanado, UnRegistroQueApareceDosVecesReconstruyeElIndiceYSaleUnaSolaVez) {
  entrada("A00000", 7);  // record 7 under a key that is not its own, before every other
  EXPECT_EQ(verificaTabla(dir.str(), "clientes.dbf").problemas,
            (std::vector<std::string>{"índice ICLAVE: el registro 7 aparece dos veces"}));
  const std::vector<std::string> r = recorre();
  EXPECT_EQ(r, todas());
  reconstruidoUnaVez(
      "Índice dañado: la entrada del registro 7 no lleva su clave (el registro está dos veces en el índice o "
      "cambió por fuera de él)");
}

TEST_F(IndiceDanado, UnEnlaceDeHojaOUnHijoCambiadosNoSaltanEntradasEnSilencio) {
  std::string b = leeIndice();
  const std::vector<uint32_t> h = hojas(b);
  ASSERT_EQ(h.size(), 3u);
  // The first leaf now jumps the second one.
  pon32(b, h[0] * 4096 + 8, h[2]);
  escribeIndice(b);
  EXPECT_EQ(recorre(), todas());
  reconstruidoUnaVez("Índice dañado: las hojas " + std::to_string(h[0]) + " y " + std::to_string(h[2]) +
                     " no se enlazan entre sí");

  // The root's second child points at the third leaf: a lookup of a key of the second
  // leaf would land where it is not.
  bitacora().clear();
  b = leeIndice();
  const std::vector<uint32_t> h2 = hojas(b);
  ASSERT_EQ(h2.size(), 3u);
  const uint32_t raiz = le32(b, 128 + 16);
  ASSERT_EQ(b[raiz * 4096], 2);                       // internal
  ASSERT_EQ(le32(b, raiz * 4096 + 8), h2[0]);          // child 0
  ASSERT_EQ(le32(b, raiz * 4096 + 16 + 10), h2[1]);   // child 1, after separator 0
  pon32(b, raiz * 4096 + 16 + 10, h2[2]);
  escribeIndice(b);
  Table t;
  t.open(dir.str(), "clientes.dbf");
  t.setIndex("ICLAVE");
  ASSERT_TRUE(t.findKey({"C00600"}));
  EXPECT_EQ(t.recno(), 600u);
  t.close();
  reconstruidoUnaVez("Índice dañado: la página " + std::to_string(h2[2]) +
                     " no está donde la ponen sus separadores");
}

// A leaf whose count was lowered hides its last entries from every walk; nothing about
// the pages gives it away, only the tag's count of entries at the end of a whole walk.
// The index is rebuilt and the walk, already short, is refused rather than taken.
TEST_F(IndiceDanado, UnaHojaQuePerdioEntradasSeNotaAlFinalDelRecorridoQueSeRechaza) {
  std::string b = leeIndice();
  const std::vector<uint32_t> h = hojas(b);
  ASSERT_EQ(h.size(), 3u);
  ASSERT_EQ(static_cast<unsigned char>(b[h[1] * 4096 + 2]) | (static_cast<unsigned char>(b[h[1] * 4096 + 3]) << 8), 408);
  b[h[1] * 4096 + 2] = static_cast<char>(300 & 0xFF);
  b[h[1] * 4096 + 3] = static_cast<char>(300 >> 8);
  escribeIndice(b);
  EXPECT_EQ(verificaTabla(dir.str(), "clientes.dbf").problemas,
            (std::vector<std::string>{"índice ICLAVE: falta la entrada del registro 709",
                                      "índice ICLAVE: falta la entrada del registro 710",
                                      "índice ICLAVE: falta la entrada del registro 711"}));
  std::string error;
  EXPECT_EQ(recorre(&error).size(), 892u);
  const std::string porque = "Índice dañado: la etiqueta ICLAVE tiene 1000 entradas y su recorrido encontró 892";
  EXPECT_EQ(error, "El índice ICLAVE de la tabla clientes.dbf estaba dañado y se reconstruyó (" + porque +
                       "); vuelva a recorrer la tabla");
  reconstruidoUnaVez(porque);
  // A walk that began before another station's change is not judged by the count.
  Table otra;
  otra.open(dir.str(), "clientes.dbf");
  Table t;
  t.open(dir.str(), "clientes.dbf");
  t.setIndex("ICLAVE");
  t.first();
  otra.goTo(1000);
  otra.remove();
  size_t n = 1;
  for (t.next(); !t.eof(); t.next()) ++n;
  EXPECT_EQ(n, 999u);
  EXPECT_EQ(bitacora().size(), 1u);
}

// Inside a save the index cannot be rebuilt (the journal would have to hold all of it):
// the read refuses, naming the table and the damage, and the save goes no further.
TEST_F(IndiceDanado, DentroDeUnGuardadoLaLecturaSeNiegaYNadaSeReconstruye) {
  entrada("C00500", 0);
  Table t;
  t.open(dir.str(), "clientes.dbf");
  t.setIndex("ICLAVE");
  std::string error;
  {
    Transaction u(dir.str());
    try {
      ASSERT_TRUE(t.findKey({"C00499"}));
      t.next();
    } catch (const Error& e) {
      error = e.what();
    }
  }
  EXPECT_EQ(error,
            "El índice ICLAVE de la tabla clientes.dbf está dañado (Índice dañado: entrada del registro 0, que no "
            "existe); reconstruya los índices");
  EXPECT_TRUE(bitacora().empty());
  EXPECT_EQ(verificaTabla(dir.str(), "clientes.dbf").problemas,
            (std::vector<std::string>{"índice ICLAVE: entrada del registro 0, que no existe"}));
}

}  // namespace
}  // namespace mostrador::dbf
