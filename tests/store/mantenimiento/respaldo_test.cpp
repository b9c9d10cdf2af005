// Backups on real files: the dated folder, the plain copy and its order, two backups in
// one day, the zip archive and its restore byte for byte, a corrupt archive, a full or
// unusable destination, tables held elsewhere, and the backup screen's log and messages.

#include "store/mantenimiento/respaldo.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <fstream>

#include "base/rutas.h"
#include "base/texto.h"
#include "store/dbf/dbf_table.h"
#include "store/mantenimiento/opciones.h"
#include "support/entorno.h"
#include "support/estaciones.h"
#include "support/interaccion_fake.h"
#include "support/reloj_fijo.h"

namespace mostrador::store {
namespace {

namespace fs = std::filesystem;
using Msgs = std::vector<std::string>;

constexpr base::FechaHora kAhora{{2026, 12, 8}, {13, 5, 9, 0}};

class Respaldos : public ::testing::Test {
 protected:
  void SetUp() override {
    datos = dir.str() + "/datos";
    fs::create_directories(datos);
    dbf::Table::create(datos, "cliente.dbf", {{"CLAVE", 'C', 6, 0}, {"SALDO", 'N', 10, 2}}, {{"ICLAVE", "CLAVE"}});
    dbf::Table::create(datos, "Remision.dbf", {{"CLDOC_F", 'N', 10, 0}}, {{"INUMENC", "CLDOC_F"}});
    agrega("C1", 10);
    dir.escribe("datos/Indices.cnf", "cliente.dbf,ICLAVE,CLAVE\r\n");
    fs::create_directories(datos + "/3");
    dbf::Table::create(datos + "/3", "inventar.dbf", {{"CLPRO_I", 'C', 8, 0}});
  }

  void agrega(const std::string& clave, double saldo) {
    dbf::Table t;
    t.open(datos, "cliente.dbf");
    t.append();
    t.setText("CLAVE", clave);
    t.setFloat("SALDO", saldo);
    t.post();
  }

  // Every file below a directory, relative name -> bytes.
  static std::map<std::string, std::string> contenido(const fs::path& raiz) {
    std::map<std::string, std::string> r;
    for (const auto& e : fs::recursive_directory_iterator(raiz)) {
      if (!e.is_regular_file()) continue;
      std::ifstream f(e.path(), std::ios::binary);
      r[fs::relative(e.path(), raiz).string()] = std::string(std::istreambuf_iterator<char>(f), {});
    }
    return r;
  }

  prueba::DirectorioTemporal dir;
  prueba::InteraccionFalsa ui;
  std::string datos;
};

TEST(CarpetaRespaldo, DatedFolderUnderTheDrivesRespaldos) {
  EXPECT_EQ(carpetaRespaldo("C:\\Datos", {2026, 12, 8}), "C:\\RESPALDOS\\8-12-2026");
  EXPECT_EQ(carpetaRespaldo("d:\\tienda\\datos", {2027, 1, 31}), "D:\\RESPALDOS\\31-1-2027");
  EXPECT_EQ(carpetaRespaldo("/srv/datos", {2026, 3, 5}), "C:\\RESPALDOS\\5-3-2026");
}

TEST_F(Respaldos, NormalCopiesTablesThenIndexesAndASecondRunOverwrites) {
  std::vector<std::string> vistos;
  ResultadoRespaldo r = respaldoNormal(datos, "C:\\RESPALDOS\\8-12-2026", [&](const std::string& o, const std::string& d, int, int) {
    if (!o.empty()) vistos.push_back(o + " > " + d);
  });
  ASSERT_TRUE(r.exito) << r.error;
  EXPECT_EQ(r.archivos, (Msgs{"Remision.dbf", "cliente.dbf", "Remision.mdx", "cliente.mdx"}));
  EXPECT_EQ(vistos.front(), base::une(datos, "Remision.dbf") + " > C:\\RESPALDOS\\8-12-2026\\Remision.dbf");
  const fs::path carpeta = dir.ruta() / "unidades" / "c" / "RESPALDOS" / "8-12-2026";
  EXPECT_EQ(contenido(carpeta).size(), 4u);
  EXPECT_EQ(dir.lee("unidades/c/RESPALDOS/8-12-2026/cliente.dbf"), dir.lee("datos/cliente.dbf"));
  EXPECT_FALSE(fs::exists(carpeta / "Indices.cnf"));

  agrega("C2", 20);
  r = respaldoNormal(datos, "C:\\RESPALDOS\\8-12-2026");
  ASSERT_TRUE(r.exito) << r.error;
  EXPECT_EQ(dir.lee("unidades/c/RESPALDOS/8-12-2026/cliente.dbf"), dir.lee("datos/cliente.dbf"));
  EXPECT_EQ(dir.lee("unidades/c/RESPALDOS/8-12-2026/cliente.mdx"), dir.lee("datos/cliente.mdx"));
  EXPECT_EQ(contenido(carpeta).size(), 4u);
}

TEST_F(Respaldos, AFullOrUnusableDestinationIsSaidInSpanish) {
  fs::create_directories(dir.ruta() / "lleno");
  fs::create_symlink("/dev/full", dir.ruta() / "lleno" / "cliente.dbf");
  ResultadoRespaldo r = respaldoNormal(datos, dir.str() + "/lleno");
  EXPECT_FALSE(r.exito);
  EXPECT_EQ(r.error, "No se pudo copiar " + base::une(datos, "cliente.dbf") + " a " + dir.str() +
                         "/lleno\\cliente.dbf: el disco de destino está lleno");

  dir.escribe("archivo", "no soy carpeta");
  r = respaldoNormal(datos, dir.str() + "/archivo/respaldo");
  EXPECT_FALSE(r.exito);
  EXPECT_EQ(r.error.rfind("No se pudo crear la carpeta " + dir.str() + "/archivo/respaldo: ", 0), 0u) << r.error;
}

TEST_F(Respaldos, ATableHeldElsewhereStopsTheBackupBeforeItStarts) {
  dbf::Table otra;
  otra.open(datos + "/3", "inventar.dbf");
  ResultadoRespaldo r = respaldoComprimido(datos, dir.str() + "/zip");
  EXPECT_FALSE(r.exito);
  EXPECT_EQ(r.error, "La tabla 3\\inventar.dbf está en uso por otra estación; no se hizo el respaldo");
  EXPECT_FALSE(fs::exists(dir.ruta() / "zip"));
  otra.open(datos, "cliente.dbf");
  r = respaldoNormal(datos, dir.str() + "/normal");
  EXPECT_EQ(r.error, "La tabla cliente.dbf está en uso por otra estación; no se hizo el respaldo");
  EXPECT_FALSE(fs::exists(dir.ruta() / "normal"));
}

TEST_F(Respaldos, TheArchiveHoldsEveryFileAndRestoresByteForByte) {
  const auto antes = contenido(datos);
  ResultadoRespaldo r = respaldoComprimido(datos, "C:\\RESPALDOS\\8-12-2026");
  ASSERT_TRUE(r.exito) << r.error;
  EXPECT_EQ(r.destino, "C:\\RESPALDOS\\8-12-2026\\prue.zip");
  EXPECT_EQ(r.archivos, (Msgs{"Indices.cnf", "Remision.dbf", "Remision.mdx", "cliente.dbf", "cliente.mdx",
                              "3/inventar.dbf"}));
  // The company changes after the backup; the restore brings back the backup's bytes.
  agrega("C2", 20);
  fs::remove(fs::path(datos) / "3" / "inventar.dbf");
  ResultadoRespaldo v = restauraRespaldo("C:\\RESPALDOS\\8-12-2026\\prue.zip", datos);
  ASSERT_TRUE(v.exito) << v.error;
  EXPECT_EQ(v.archivos.size(), 6u);
  auto despues = contenido(datos);
  EXPECT_EQ(despues, antes);
  EXPECT_FALSE(fs::exists(fs::path(datos) / "tempo" / "restauracion"));
}

TEST_F(Respaldos, AnArchiveNamedByItsPathGetsItsFolderMade) {
  ResultadoRespaldo r = respaldoComprimido(datos, "C:\\RESPALDOS\\noche\\empresa.zip");
  ASSERT_TRUE(r.exito) << r.error;
  EXPECT_EQ(r.destino, "C:\\RESPALDOS\\noche\\empresa.zip");
  EXPECT_TRUE(fs::is_regular_file(dir.ruta() / "unidades" / "c" / "RESPALDOS" / "noche" / "empresa.zip"));
}

TEST_F(Respaldos, ACorruptArchiveIsRefusedAndNothingIsReplaced) {
  ASSERT_TRUE(respaldoComprimido(datos, dir.str() + "/r").exito);
  std::string zip = dir.lee("r/prue.zip");
  // A byte inside the data of the customers' table entry, after its local header
  // (30 bytes, then the name and the extra field, whose lengths are at 26 and 28).
  ASSERT_NE(zip.find("cliente.dbf"), std::string::npos);
  const size_t local = zip.find("cliente.dbf") - 30;
  ASSERT_EQ(zip.substr(local, 4), "PK\x03\x04");
  auto u16 = [&](size_t at) {
    return static_cast<size_t>(static_cast<unsigned char>(zip[at]) | (static_cast<unsigned char>(zip[at + 1]) << 8));
  };
  const size_t datosEntrada = local + 30 + u16(local + 26) + u16(local + 28);
  zip[datosEntrada + 10] = static_cast<char>(zip[datosEntrada + 10] ^ 0x55);
  dir.escribe("r/malo.zip", zip);
  agrega("C2", 20);
  const auto antes = contenido(datos);
  ResultadoRespaldo v = restauraRespaldo(dir.str() + "/r/malo.zip", datos);
  EXPECT_FALSE(v.exito);
  EXPECT_EQ(v.error.rfind("El respaldo " + dir.str() + "/r/malo.zip está dañado: ", 0), 0u) << v.error;
  EXPECT_EQ(contenido(datos), antes);

  dir.escribe("r/texto.zip", "esto no es un zip");
  v = restauraRespaldo(dir.str() + "/r/texto.zip", datos);
  EXPECT_EQ(v.error.rfind("El respaldo " + dir.str() + "/r/texto.zip está dañado: ", 0), 0u) << v.error;
  v = restauraRespaldo(dir.str() + "/r/falta.zip", datos);
  EXPECT_EQ(v.error, "El Archivo " + dir.str() + "/r/falta.zip No Existe");
  EXPECT_EQ(contenido(datos), antes);
}

TEST_F(Respaldos, AnArchiveThatDoesNotFitLeavesNothingBehind) {
  // The station's files may grow to 300 bytes: the archive does not fit.
  pid_t p = prueba::estacion([&] {
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit l{300, 300};
    setrlimit(RLIMIT_FSIZE, &l);
    ResultadoRespaldo r = respaldoComprimido(datos, dir.str() + "/chico");
    if (r.exito) return 1;
    if (r.error.rfind(std::string(kErrorCompresion), 0) != 0) return 2;
    return 0;
  });
  EXPECT_EQ(prueba::espera(p), 0);
  EXPECT_TRUE(fs::is_directory(dir.ruta() / "chico"));
  EXPECT_TRUE(fs::is_empty(dir.ruta() / "chico"));
}

TEST_F(Respaldos, TheScreenLogsOnlyABackupThatSucceeded) {
  const std::string sistema = dir.str() + "/sistema";
  fs::create_directories(sistema);
  prueba::RelojFijo reloj{kAhora};
  Respaldo p(ui, reloj, sistema, datos);
  p.FormShow();
  EXPECT_EQ(p.DirectorioFuente(), datos);
  EXPECT_EQ(p.DirectorioDestino(), "C:\\RESPALDOS\\8-12-2026");
  EXPECT_TRUE(p.Ejecutar());
  EXPECT_EQ(ui.mensajes(), (Msgs{"Proceso de Respaldo Archivos Terminado \n4 archivos en C:\\RESPALDOS\\8-12-2026"}));
  EXPECT_EQ(p.ListaArchivo2().size(), 4u);
  EXPECT_EQ(p.ArchivoBases(), "cliente.mdx");
  EXPECT_EQ(p.Progreso(), 100);
  p.ponComprimido(true);
  EXPECT_TRUE(p.Ejecutar());
  EXPECT_TRUE(fs::exists(dir.ruta() / "unidades" / "c" / "RESPALDOS" / "8-12-2026" / "prue.zip"));

  dbf::Table otra;
  otra.open(datos, "cliente.dbf");
  p.ponDirectorio2(dir.str() + "/otro");
  EXPECT_FALSE(p.BitBtn5Click());
  EXPECT_EQ(ui.mensajes().back(), "La tabla cliente.dbf está en uso por otra estación; no se hizo el respaldo");
  p.ponDirectorio2("");
  EXPECT_FALSE(p.BitBtn5Click());
  EXPECT_EQ(base::leeLineas(base::une(sistema, "Bitacora.txt")),
            (Msgs{"Último Respaldo 08/12/2026  13:05:09", "Último Respaldo comprimido 08/12/2026  13:05:09"}));
}

TEST_F(Respaldos, RestoringFromTheScreenAsksFirst) {
  prueba::RelojFijo reloj{kAhora};
  ASSERT_TRUE(respaldoComprimido(datos, dir.str() + "/r").exito);
  const std::string antes = dir.lee("datos/cliente.dbf");
  agrega("C2", 20);
  Respaldo p(ui, reloj, "", datos);
  ui.respondeArchivo(dir.str() + "/r/prue.zip").respondeAdvertencia(base::RespuestaAdvertencia::No);
  EXPECT_FALSE(p.Restaurar());
  EXPECT_NE(dir.lee("datos/cliente.dbf"), antes);
  ui.respondeArchivo(dir.str() + "/r/prue.zip").respondeAdvertencia(base::RespuestaAdvertencia::Si);
  EXPECT_TRUE(p.Restaurar());
  EXPECT_EQ(dir.lee("datos/cliente.dbf"), antes);
  EXPECT_EQ(ui.mensajes(), (Msgs{"Respaldo Restaurado: 6 archivos"}));
}

TEST_F(Respaldos, TheOptionsRunAtStartAndAtTheEnd) {
  const std::string sistema = dir.str() + "/sistema";
  fs::create_directories(sistema);
  prueba::RelojFijo reloj{kAhora};
  fs::remove_all(fs::path(datos) / "3");
  EXPECT_EQ(leeOpciones(datos), (OpcionesMantenimiento{}));
  mantenimientoAlIniciar(ui, reloj, sistema, datos);
  mantenimientoAlTerminar(ui, reloj, sistema, datos);
  EXPECT_FALSE(fs::exists(dir.ruta() / "unidades" / "c" / "RESPALDOS"));
  EXPECT_FALSE(fs::exists(fs::path(sistema) / "Bitacora.txt"));

  ASSERT_TRUE(guardaOpciones(datos, {true, true, false}));
  EXPECT_EQ(dir.lee("datos/opcion.cnf"), "S\r\nS\r\nN\r\n");
  fs::remove(fs::path(datos) / "cliente.mdx");
  mantenimientoAlIniciar(ui, reloj, sistema, datos);
  // The backup was taken before the reindex: it has no index of the customers.
  EXPECT_TRUE(fs::exists(dir.ruta() / "unidades" / "c" / "RESPALDOS" / "8-12-2026" / "cliente.dbf"));
  EXPECT_FALSE(fs::exists(dir.ruta() / "unidades" / "c" / "RESPALDOS" / "8-12-2026" / "cliente.mdx"));
  EXPECT_TRUE(fs::exists(fs::path(datos) / "cliente.mdx"));
  EXPECT_EQ(base::leeLineas(base::une(sistema, "Bitacora.txt")),
            (Msgs{"Último Respaldo 08/12/2026  13:05:09", "Reindexado 08/12/2026  13:05:09"}));

  guardaOpciones(datos, {false, false, true});
  reloj.pon({{2026, 12, 9}, {20, 0, 0, 0}});
  mantenimientoAlTerminar(ui, reloj, sistema, datos);
  EXPECT_TRUE(fs::exists(dir.ruta() / "unidades" / "c" / "RESPALDOS" / "9-12-2026" / "cliente.mdx"));
  EXPECT_TRUE(ui.mensajes().empty());
}

}  // namespace
}  // namespace mostrador::store
