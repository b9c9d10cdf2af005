// Header repair and the record check on real table files: the block walk on level 4 and
// level 7 headers, a stale index flag, a wrong record count, a header the copy cannot
// save, damaged and truncated records, the safety copy and a table held elsewhere.

#include "store/mantenimiento/reparacion.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "store/dbf/dbf_table.h"
#include "support/entorno.h"
#include "support/interaccion_fake.h"

namespace mostrador::store {
namespace {

namespace fs = std::filesystem;
using Msgs = std::vector<std::string>;

// Header 32 + 3 descriptors of 32 + terminator; records 1 + 6 + 10 + 8 bytes.
constexpr long kDatos = 32 + 96 + 1;
constexpr long kRegistro = 25;

class Reparacion : public ::testing::Test {
 protected:
  void SetUp() override {
    datos = dir.str() + "/datos";
    fs::create_directories(datos);
    dbf::Table::create(datos, "cliente.dbf", {{"CLAVE", 'C', 6, 0}, {"SALDO", 'N', 10, 2}, {"ALTA", 'D', 8, 0}},
                       {{"ICLAVE", "CLAVE"}, {"ISALDO", "SALDO"}});
    dbf::Table t;
    t.open(datos, "cliente.dbf");
    for (int i = 1; i <= 5; ++i) {
      t.append();
      t.setText("CLAVE", "C" + std::to_string(i));
      t.setFloat("SALDO", 10.5 * i);
      t.setDate("ALTA", dbf::Fecha{2026, 1, i});
      t.post();
    }
  }

  void parcha(const std::string& tabla, long offset, const std::string& bytes) {
    std::fstream f(fs::path(datos) / tabla, std::ios::in | std::ios::out | std::ios::binary);
    f.seekp(offset);
    f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }

  Msgs claves(const std::string& tag = "") {
    dbf::Table t;
    t.open(datos, "cliente.dbf");
    if (!tag.empty()) t.setIndex(tag);
    Msgs r;
    for (t.first(); !t.eof(); t.next()) r.push_back(t.asText("CLAVE"));
    return r;
  }

  prueba::DirectorioTemporal dir;
  prueba::InteraccionFalsa ui;
  std::string datos;
};

TEST(EncabezadoBloques, Level4ClearsTheProductionAndFieldFlagsUpToTheTerminator) {
  // Header, two descriptors (the second 13 wide: a 13 at position 17 is no terminator),
  // the terminator, then a record block that holds a 1 at byte 31 and must stay.
  std::string b(32 * 4 + 32, '\0');
  b[0] = 0x03;
  b[28] = 1;
  b[32 + 11] = 'C';
  b[32 + 16] = 6;
  b[32 + 31] = 1;
  b[64 + 11] = 'C';
  b[64 + 16] = 13;
  b[64 + 31] = 1;
  b[96] = 13;
  b[96 + 31] = 1;
  EXPECT_EQ(limpiaIndicadoresIndice(b), 3);
  EXPECT_EQ(b[28], 0);
  EXPECT_EQ(b[32 + 31], 0);
  EXPECT_EQ(b[64 + 31], 0);
  EXPECT_EQ(b[96 + 31], 1);
  EXPECT_EQ(limpiaIndicadoresIndice(b), 0);
}

TEST(EncabezadoBloques, Level7ReadsFortyEightByteDescriptorsFromByte68) {
  std::string b(68 + 48 * 2 + 48, '\0');
  b[0] = 0x04;
  b[28] = 1;
  b[68 + 32] = 'C';
  b[68 + 33] = 10;
  b[68 + 37] = 1;
  b[68 + 43] = 13;  // position 44: inside the descriptor, not its end
  b[116 + 32] = 'N';
  b[116 + 37] = 1;
  b[164] = 13;
  b[164 + 37] = 1;
  EXPECT_EQ(limpiaIndicadoresIndice(b), 3);
  EXPECT_EQ(b[28], 0);
  EXPECT_EQ(b[68 + 37], 0);
  EXPECT_EQ(b[116 + 37], 0);
  EXPECT_EQ(b[164 + 37], 1);
}

TEST(EncabezadoBloques, AStrayThirteenEndsTheWalkWhereItStands) {
  std::string b(32 * 3, '\0');
  b[0] = 0x03;
  b[32 + 17] = 13;  // position 18 (the decimals) reads as the end of the descriptors
  b[32 + 31] = 1;
  b[64 + 31] = 1;
  EXPECT_EQ(limpiaIndicadoresIndice(b), 0);
  EXPECT_EQ(b[32 + 31], 1);
}

TEST_F(Reparacion, AStaleIndexFlagIsRepairedAndTheRecordsStay) {
  fs::remove(fs::path(datos) / "cliente.mdx");
  {
    dbf::Table t;
    t.open(datos, "cliente.dbf");
    ASSERT_EQ(t.indexProblem(), "Falta el índice cliente.mdx de la tabla cliente.dbf");
  }
  ReparacionEncabezado r = reparaEncabezado(datos, "cliente.dbf");
  EXPECT_TRUE(r.reparada) << r.error;
  const std::string b = dir.lee("datos/cliente.dbf");
  EXPECT_EQ(b[28], 0);
  EXPECT_EQ(b[32 + 31], 0);
  EXPECT_EQ(b[64 + 31], 0);
  dbf::Table t;
  t.open(datos, "cliente.dbf");
  EXPECT_EQ(t.indexProblem(), "");
  t.close();
  EXPECT_EQ(claves(), (Msgs{"C1", "C2", "C3", "C4", "C5"}));
  EXPECT_FALSE(fs::exists(fs::path(datos) / "tempo" / "reparacion" / "cliente.dbf"));
}

TEST_F(Reparacion, AHeaderTheCopyCannotSaveLeavesTheTableUntouched) {
  parcha("cliente.dbf", 10, std::string("\x07\x00", 2));  // record length 7: fields say 25
  const std::string antes = dir.lee("datos/cliente.dbf");
  const std::string indice = dir.lee("datos/cliente.mdx");
  ReparacionEncabezado r = reparaEncabezado(datos, "cliente.dbf");
  EXPECT_FALSE(r.reparada);
  EXPECT_EQ(r.error,
            "La tabla cliente.dbf no pudo repararse: La tabla cliente.dbf está dañada: la longitud de registro (7) "
            "no coincide con la de sus campos (25)");
  EXPECT_EQ(dir.lee("datos/cliente.dbf"), antes);
  EXPECT_EQ(dir.lee("datos/cliente.mdx"), indice);
}

TEST_F(Reparacion, TheFieldGridShowsEachDescriptorOrItsError) {
  EXPECT_EQ(camposEncabezado(datos, "cliente.dbf"),
            (std::vector<CampoEncabezado>{{"CLAVE", "C", "6", "0"}, {"SALDO", "N", "10", "2"}, {"ALTA", "D", "8", "0"}}));
  parcha("cliente.dbf", 64 + 11, "X");
  EXPECT_EQ(camposEncabezado(datos, "cliente.dbf")[1], (CampoEncabezado{"error X tipo no válido", "X", "10", "2"}));
}

TEST_F(Reparacion, DamagedRecordsAreDeletedAndOnlyThey) {
  parcha("cliente.dbf", kDatos + kRegistro * 1 + 7, "  12x4.00 ");  // record 2's SALDO
  parcha("cliente.dbf", kDatos + kRegistro * 3 + 17, "20261341");   // record 4's ALTA
  const std::string original = dir.lee("datos/cliente.dbf");
  RevisionDirectorio r = revisaDirectorio(ui, datos, true);
  ASSERT_TRUE(r.completa()) << r.error;
  ASSERT_EQ(r.tablas.size(), 1u);
  EXPECT_EQ(r.tablas[0].registros, 5);
  EXPECT_EQ(r.tablas[0].borrados, 2);
  EXPECT_FALSE(r.tablas[0].encabezadoReparado);
  EXPECT_EQ(ui.mensajes(), (Msgs{"La Tabla Tenia Errores"}));
  EXPECT_EQ(claves(), (Msgs{"C1", "C3", "C5"}));
  EXPECT_EQ(claves("ICLAVE"), (Msgs{"C1", "C3", "C5"}));
  // The safety copy holds the table as it was before the check.
  EXPECT_EQ(dir.lee("datos/tempo/cliente.dbf"), original);
  EXPECT_TRUE(fs::exists(fs::path(datos) / "tempo" / "cliente.mdx"));
}

TEST_F(Reparacion, TheCheckRepairsAStaleFlagAndAWrongCountWithoutACopy) {
  fs::remove(fs::path(datos) / "cliente.mdx");
  parcha("cliente.dbf", 4, std::string("\x09\x00\x00\x00", 4));
  std::vector<std::string> etiquetas;
  RevisionDirectorio r = revisaDirectorio(ui, datos, false, [&](const std::string& e, long, int) {
    if (etiquetas.empty() || etiquetas.back() != e) etiquetas.push_back(e);
  });
  ASSERT_TRUE(r.completa()) << r.error;
  EXPECT_TRUE(r.tablas[0].encabezadoReparado);
  EXPECT_EQ(r.tablas[0].borrados, 0);
  EXPECT_EQ(etiquetas, (Msgs{"Tabla  cliente.dbf"}));
  EXPECT_TRUE(ui.mensajes().empty());
  EXPECT_FALSE(fs::exists(fs::path(datos) / "tempo" / "cliente.dbf"));
  const std::string b = dir.lee("datos/cliente.dbf");
  EXPECT_EQ(b.substr(4, 4), std::string("\x05\x00\x00\x00", 4));
  EXPECT_EQ(b[28], 0);
}

TEST_F(Reparacion, ATruncatedLastRecordIsDroppedAndTheRestRead) {
  fs::resize_file(fs::path(datos) / "cliente.dbf", kDatos + kRegistro * 4 + 10);
  RevisionDirectorio r = revisaDirectorio(ui, datos, false);
  ASSERT_TRUE(r.completa()) << r.error;
  EXPECT_EQ(r.tablas[0].registros, 4);
  EXPECT_EQ(claves(), (Msgs{"C1", "C2", "C3", "C4"}));
}

TEST_F(Reparacion, UnRegistroIncompletoSeRecortaYLaCuentaQuedaIgualALosEnteros) {
  fs::resize_file(fs::path(datos) / "cliente.dbf", kDatos + kRegistro * 4 + 10);
  ASSERT_TRUE(colaIncompleta(datos, "cliente.dbf"));
  RevisionDirectorio r = revisaDirectorio(ui, datos, false);
  ASSERT_TRUE(r.completa()) << r.error;
  EXPECT_TRUE(r.tablas[0].encabezadoReparado);
  EXPECT_EQ(r.tablas[0].recortados, 10);
  EXPECT_EQ(ui.mensajes(), (Msgs{"La tabla cliente.dbf terminaba en un registro incompleto: se recortaron 10 bytes"}));
  const std::string b = dir.lee("datos/cliente.dbf");
  EXPECT_EQ(b.size(), static_cast<size_t>(kDatos + kRegistro * 4 + 1));
  EXPECT_EQ(b.back(), '\x1A');
  EXPECT_EQ(b.substr(4, 4), std::string("\x04\x00\x00\x00", 4));
  EXPECT_FALSE(colaIncompleta(datos, "cliente.dbf"));
  EXPECT_EQ(claves(), (Msgs{"C1", "C2", "C3", "C4"}));
  // A count larger than the file's records is mended too, with nothing to cut.
  parcha("cliente.dbf", 4, std::string("\x32\x00\x00\x00", 4));
  ASSERT_TRUE(colaIncompleta(datos, "cliente.dbf"));
  r = revisaDirectorio(ui, datos, false);
  EXPECT_EQ(r.tablas[0].recortados, 0);
  EXPECT_EQ(dir.lee("datos/cliente.dbf").substr(4, 4), std::string("\x04\x00\x00\x00", 4));
}

TEST_F(Reparacion, ATableHeldElsewhereStopsTheCheckBeforeAnythingChanges) {
  dbf::Table::create(datos, "vendedor.dbf", {{"CLAVE", 'C', 4, 0}});
  dbf::Table otra;
  otra.open(datos, "vendedor.dbf");
  parcha("cliente.dbf", kDatos + 7, "   abc    ");
  const std::string parchada = dir.lee("datos/cliente.dbf");
  RevisionDirectorio r = revisaDirectorio(ui, datos, true);
  EXPECT_FALSE(r.completa());
  EXPECT_EQ(r.enUso, (Msgs{"vendedor.dbf"}));
  EXPECT_EQ(ui.mensajes(), (Msgs{"La tabla vendedor.dbf está en uso por otra estación; no se verificaron los registros"}));
  EXPECT_EQ(dir.lee("datos/cliente.dbf"), parchada);
  EXPECT_FALSE(fs::exists(fs::path(datos) / "tempo"));
}

TEST_F(Reparacion, TheScreenAcceptsOnlyACompleteCheckWithItsCopy) {
  VerificaRegistros v(ui, datos);
  std::vector<std::string> vistas;
  v.alCambiar = [&] { vistas.push_back(v.LabelTabla() + "|" + v.LabelRegistro()); };
  v.BitBtn4Click();
  EXPECT_FALSE(v.aceptada());
  EXPECT_EQ(vistas, (Msgs{"Tabla  cliente.dbf|", "Tabla  cliente.dbf|Registro 5"}));
  vistas.clear();
  EXPECT_TRUE(v.BitBtn3Click());
  EXPECT_TRUE(v.aceptada());
  EXPECT_EQ(vistas.front(), "Copiando Tabla cliente.dbf|");
  EXPECT_EQ(v.Progreso(), 100);
}

}  // namespace
}  // namespace mostrador::store
