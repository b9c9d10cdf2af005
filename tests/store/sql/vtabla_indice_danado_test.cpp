// Lookups of a statement through an index damaged behind the engine's back: an entry of
// record 0 or of a record past the end, a record entered twice. The statement gets every
// row it asked for, each once: the index is rebuilt from the records (and logged) and
// the lookup goes on; inside a save the statement fails, naming the table and the damage.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "empresa.h"
#include "base/rutas.h"
#include "store/dbf/journal.h"
#include "store/dbf/key_expression.h"
#include "store/dbf/mdx_index.h"
#include "store/dbf/verificacion.h"
#include "support/entorno.h"

using namespace mostrador;
using namespace mostrador::prueba;
using Filas = std::vector<std::string>;

namespace {

constexpr int kRegistros = 600;  // more than one leaf of ICLAVE
const std::vector<dbf::FieldDef> kCampos{{"CLAVE", 'C', 6, 0}, {"SALDO", 'N', 10, 2}};
const std::string kClientes = "\"C:\\Datos\\clientes.dbf\"";

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

// "CLAVE|rowid" of records a..b.
Filas deLosRegistros(int a, int b) {
  Filas r;
  for (int i = a; i <= b; ++i) r.push_back(clave(i) + "|" + std::to_string(i));
  return r;
}

class IndiceDanadoSql : public ::testing::Test {
 protected:
  void SetUp() override {
    base::creaDirectorios(kDatos);
    dbf::Table::create(kDatos, "clientes.dbf", kCampos, {{"ICLAVE", "CLAVE"}});
    dbf::Table t;
    t.open(kDatos, "clientes.dbf");
    dbf::Transaction u(kDatos);
    for (int i = 1; i <= kRegistros; ++i) {
      t.append();
      t.setText("CLAVE", clave(i));
      t.setFloat("SALDO", i);
      t.post();
    }
    u.commit();
    bitacora().clear();
    dbf::journal::setLogSink(anota);
  }
  void TearDown() override { dbf::journal::setLogSink(nullptr); }

  // Adds an entry with the key of `texto` for record `recno`, as a torn write could.
  void entrada(const std::string& texto, uint32_t recno) {
    dbf::MdxFile m;
    m.open(base::resuelve(tabla("clientes.mdx")), dbf::RecordLayout::from(kCampos));
    m.insert(0, m.expression(0).encodePrefix({dbf::KeyValue{texto}}), recno);
  }
  std::vector<std::string> problemas() { return dbf::verificaTabla(kDatos, "clientes.dbf").problemas; }

  Filas busca(const std::string& donde) {
    return filas(base_, "select CLAVE, rowid from " + kClientes + " where " + donde);
  }

  // Rebuilt once, with its log line, and sound afterwards.
  void reconstruidoUnaVez(const std::string& porque) {
    EXPECT_EQ(bitacora(), (std::vector<std::string>{"Se reconstruyó el índice clientes.mdx de la tabla clientes.dbf "
                                                     "(Índice dañado: " + porque + ")"}));
    EXPECT_TRUE(problemas().empty());
  }

  DirectorioTemporal dir_;
  sql::BaseSql base_;
};

}  // namespace

TEST_F(IndiceDanadoSql, UnaEntradaDeUnRegistroQueNoExisteSeReconstruyeYLaBusquedaSigue) {
  // Record 0 in the middle of a range: the rows before it are not given again.
  entrada("C00300", 0);
  ASSERT_EQ(problemas(), (std::vector<std::string>{"índice ICLAVE: entrada del registro 0, que no existe"}));
  EXPECT_EQ(busca("CLAVE >= 'C00298' and CLAVE <= 'C00302'"), deLosRegistros(298, 302));
  reconstruidoUnaVez("entrada del registro 0, que no existe");
  // Sound now: nothing more to rebuild.
  EXPECT_EQ(busca("CLAVE = 'C00300'"), deLosRegistros(300, 300));
  EXPECT_EQ(bitacora().size(), 1u);

  // A record far past the end, found by an equality.
  bitacora().clear();
  entrada("C00002", 4294967295u);
  ASSERT_EQ(problemas(), (std::vector<std::string>{"índice ICLAVE: entrada del registro 4294967295, que no existe"}));
  EXPECT_EQ(busca("CLAVE = 'C00002'"), deLosRegistros(2, 2));
  reconstruidoUnaVez("entrada del registro 4294967295, que no existe");

  // Just past the count, in a range that ends at the last record.
  bitacora().clear();
  entrada("C00600", kRegistros + 1);
  EXPECT_EQ(busca("CLAVE >= 'C00597'"), deLosRegistros(597, 600));
  reconstruidoUnaVez("entrada del registro 601, que no existe");
}

TEST_F(IndiceDanadoSql, UnRegistroQueApareceDosVecesSaleUnaSolaVez) {
  // Record 7 under a key not its own, before every other entry.
  entrada("A00000", 7);
  ASSERT_EQ(problemas(), (std::vector<std::string>{"índice ICLAVE: el registro 7 aparece dos veces"}));
  EXPECT_EQ(busca("CLAVE >= 'A' and CLAVE <= 'C00010'"), deLosRegistros(1, 10));
  reconstruidoUnaVez(
      "la entrada del registro 7 no lleva su clave (el registro está dos veces en el índice o cambió por fuera "
      "de él)");

  // Record 450 also under the key of record 451: met by the equality on 451.
  bitacora().clear();
  entrada("C00451", 450);
  EXPECT_EQ(busca("CLAVE = 'C00451'"), deLosRegistros(451, 451));
  reconstruidoUnaVez(
      "la entrada del registro 450 no lleva su clave (el registro está dos veces en el índice o cambió por fuera "
      "de él)");
  EXPECT_EQ(busca("CLAVE >= 'C00449' and CLAVE <= 'C00452'"), deLosRegistros(449, 452));
  EXPECT_EQ(bitacora().size(), 1u);
}

// A deleted record keeps its entry (another program deletes by the flag alone): that is
// no damage, and the statement leaves the record out without rebuilding anything.
TEST_F(IndiceDanadoSql, LaEntradaDeUnRegistroBorradoNoEsDano) {
  {
    dbf::Table t;
    t.open(kDatos, "clientes.dbf");
    ASSERT_TRUE(t.goTo(300));
    t.remove();
  }
  entrada("C00300", 300);  // back in the index, as the other program leaves it
  EXPECT_EQ(busca("CLAVE >= 'C00299' and CLAVE <= 'C00301'"),
            (Filas{"C00299|299", "C00301|301"}));
  EXPECT_TRUE(bitacora().empty());
}

// Inside a save the index cannot be rebuilt: the statement fails with the table handle's
// message and the index stays as it was.
TEST_F(IndiceDanadoSql, DentroDeUnGuardadoLaSentenciaFallaYNadaSeReconstruye) {
  entrada("C00300", 0);
  std::string error;
  {
    dbf::Transaction u(kDatos);
    try {
      busca("CLAVE = 'C00300'");
    } catch (const std::exception& e) {
      error = e.what();
    }
  }
  EXPECT_EQ(error,
            "Error en la consulta: El índice ICLAVE de la tabla clientes.dbf está dañado (Índice dañado: entrada del registro 0, que no "
            "existe); reconstruya los índices");
  EXPECT_TRUE(bitacora().empty());
  EXPECT_EQ(problemas(), (std::vector<std::string>{"índice ICLAVE: entrada del registro 0, que no existe"}));
}
