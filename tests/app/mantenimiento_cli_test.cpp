// The maintenance commands as cron runs them: separate processes over a temporary
// company. A backup opens with the unzip tool and restores byte for byte; a table held
// by another station makes the command name it and exit 1.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "store/dbf/dbf_table.h"
#include "store/demo.h"
#include "session/empresa_nueva.h"
#include "support/entorno.h"
#include "support/orden_cli.h"

namespace {

using namespace mostrador;
namespace fs = std::filesystem;

using Salida = prueba::SalidaOrden;
Salida corre(const std::string& argumentos) { return prueba::correOrden(MOSTRADOR_CLI, argumentos); }

std::map<std::string, std::string> contenido(const fs::path& raiz) {
  std::map<std::string, std::string> r;
  for (const auto& e : fs::directory_iterator(raiz)) {
    // The stations' journal is not company data: a backup leaves it out.
    if (!e.is_regular_file() || e.path().filename() == "mostrador.jnl") continue;
    std::ifstream f(e.path(), std::ios::binary);
    r[e.path().filename().string()] = std::string(std::istreambuf_iterator<char>(f), {});
  }
  return r;
}

class CliMantenimiento : public ::testing::Test {
 protected:
  void SetUp() override {
    datos = dir.str() + "/datos";
    session::creaDirectorioDatos(datos);
    store::OpcionesDemo o;
    o.dias = 20;
    store::generaDemo(datos, o);
  }
  std::string conDatos() const { return " --datos '" + datos + "'"; }

  prueba::DirectorioTemporal dir;
  std::string datos;
};

TEST_F(CliMantenimiento, ReindexaBringsBackDeletedAndDamagedIndexes) {
  fs::remove(fs::path(datos) / "inventar.mdx");
  dir.escribe("datos/cliente.mdx", std::string(4096, '\x07'));
  Salida s = corre("reindexa" + conDatos());
  ASSERT_EQ(s.codigo, 0) << s.err;
  EXPECT_NE(s.out.find(" índices reconstruidos en " + datos + "\n"), std::string::npos) << s.out;
  EXPECT_EQ(s.err, "");
  dbf::Table t;
  t.open(datos, "inventar.dbf");
  EXPECT_EQ(t.indexProblem(), "");
  EXPECT_FALSE(t.tags().empty());
  t.open(datos, "cliente.dbf");
  EXPECT_EQ(t.indexProblem(), "");
  EXPECT_FALSE(t.tags().empty());
  s = corre("verifica" + conDatos());
  EXPECT_EQ(s.codigo, 0) << s.out;
}

TEST_F(CliMantenimiento, ReindexaIncompletosSoloRehaceLasTablasQueLesFaltaUnIndice) {
  Salida s = corre("reindexa --incompletos" + conDatos());
  ASSERT_EQ(s.codigo, 0) << s.err;
  EXPECT_EQ(s.out, "0 índices incompletos en " + datos + "\n");
  const auto antes = fs::last_write_time(fs::path(datos) / "cliente.mdx");
  fs::remove(fs::path(datos) / "inventar.mdx");
  s = corre("reindexa --incompletos" + conDatos());
  ASSERT_EQ(s.codigo, 0) << s.err;
  EXPECT_NE(s.out.find(" índices reconstruidos en " + datos + " ("), std::string::npos) << s.out;
  dbf::Table t;
  t.open(datos, "inventar.dbf");
  EXPECT_EQ(t.indexProblem(), "");
  EXPECT_FALSE(t.tags().empty());
  // The tables that had every tag were left alone.
  EXPECT_EQ(fs::last_write_time(fs::path(datos) / "cliente.mdx"), antes);
}

// A mistyped data directory is an error, not an empty company in order.
TEST_F(CliMantenimiento, AMissingDataDirectoryIsAnErrorNotACompanyInOrder) {
  const std::string falta = (dir.ruta() / "NoEsta").string();
  for (const char* orden : {"verifica", "reindexa", "repara", "respalda"}) {
    const Salida s = corre(std::string(orden) + " --datos " + falta);
    EXPECT_EQ(s.codigo, 1) << orden;
    EXPECT_EQ(s.out, "") << orden;
    EXPECT_EQ(s.err, "mostrador-cli " + std::string(orden) + ": no existe el directorio de datos " + falta + "\n")
        << orden;
  }
}

TEST_F(CliMantenimiento, ATableHeldByAStationIsNamedAndTheExitSaysSo) {
  dbf::Table otra;
  otra.open(datos, "vendedor.dbf");
  const std::string indice = dir.lee("datos/vendedor.mdx");
  Salida s = corre("reindexa" + conDatos());
  EXPECT_EQ(s.codigo, 1);
  EXPECT_NE(s.err.find("La tabla vendedor.dbf está en uso por otra estación; sus índices no se reconstruyeron\n"),
            std::string::npos)
      << s.err;
  EXPECT_EQ(dir.lee("datos/vendedor.mdx"), indice);
  s = corre("respalda --destino '" + dir.str() + "/r'" + conDatos());
  EXPECT_EQ(s.codigo, 1);
  EXPECT_EQ(s.err, "mostrador-cli respalda: La tabla vendedor.dbf está en uso por otra estación; no se hizo el respaldo\n");
}

TEST_F(CliMantenimiento, ReparaDeletesOnlyTheDamagedRecordAndReindexes) {
  long registros = 0;
  std::string clave;
  {
    dbf::Table t;
    t.open(datos, "cliente.dbf");
    registros = t.recordCount();
    t.goTo(2);
    clave = t.asText("CLCLI_C");
  }
  // Record 2's balance becomes unreadable; the index flag of the header goes stale.
  {
    dbf::Table t;
    t.open(datos, "cliente.dbf");
    const auto& campos = t.fieldDefs();
    long desplazamiento = 1;
    int i = 0;
    for (; campos[static_cast<size_t>(i)].name != "SALDO_C"; ++i) desplazamiento += campos[static_cast<size_t>(i)].length;
    std::string cabecera = dir.lee("datos/cliente.dbf").substr(0, 12);
    const long largoCabecera = static_cast<unsigned char>(cabecera[8]) | (static_cast<unsigned char>(cabecera[9]) << 8);
    const long largoRegistro = static_cast<unsigned char>(cabecera[10]) | (static_cast<unsigned char>(cabecera[11]) << 8);
    t.close();
    std::fstream f(fs::path(datos) / "cliente.dbf", std::ios::in | std::ios::out | std::ios::binary);
    f.seekp(largoCabecera + largoRegistro + desplazamiento);
    f.write("xx", 2);
  }
  fs::remove(fs::path(datos) / "proveedo.mdx");
  Salida s = corre("repara" + conDatos());
  ASSERT_EQ(s.codigo, 0) << s.err << s.out;
  EXPECT_NE(s.out.find("cliente.dbf\t1 registros dañados borrados\n"), std::string::npos) << s.out;
  EXPECT_NE(s.out.find("proveedo.dbf\tencabezado reparado\n"), std::string::npos) << s.out;
  EXPECT_NE(s.err.find("La Tabla Tenia Errores\n"), std::string::npos) << s.err;
  EXPECT_TRUE(fs::exists(fs::path(datos) / "tempo" / "cliente.dbf"));
  dbf::Table t;
  t.open(datos, "cliente.dbf");
  long vivos = 0;
  for (t.first(); !t.eof(); t.next()) ++vivos;
  EXPECT_EQ(vivos, registros - 1);
  t.setIndex(t.tags().front().name);
  EXPECT_FALSE(t.findKey({dbf::KeyValue{clave}}));
  t.open(datos, "proveedo.dbf");
  EXPECT_EQ(t.indexProblem(), "");
  EXPECT_FALSE(t.tags().empty());
}

TEST_F(CliMantenimiento, ACompressedBackupOpensWithUnzipAndRestoresByteForByte) {
  const auto antes = contenido(datos);
  const std::string zip = dir.str() + "/r/prue.zip";
  Salida s = corre("respalda --comprimido --destino '" + dir.str() + "/r'" + conDatos());
  ASSERT_EQ(s.codigo, 0) << s.err;
  EXPECT_EQ(s.out, std::to_string(antes.size()) + " archivos respaldados en " + zip + "\n");
  EXPECT_EQ(std::system(("unzip -tq '" + zip + "' >/dev/null").c_str()), 0);
  const std::string fuera = dir.str() + "/unzip";
  ASSERT_EQ(std::system(("unzip -q '" + zip + "' -d '" + fuera + "'").c_str()), 0);
  EXPECT_EQ(contenido(fuera), antes);

  // A sale after the backup; the restore takes the company back to the backup.
  {
    dbf::Table t;
    t.open(datos, "remision.dbf");
    t.append();
    t.setInteger("CLDOC_F", 999999);
    t.post();
  }
  EXPECT_NE(contenido(datos), antes);
  s = corre("restaura '" + zip + "'" + conDatos());
  ASSERT_EQ(s.codigo, 0) << s.err;
  EXPECT_EQ(s.out, std::to_string(antes.size()) + " archivos restaurados en " + datos + "\n");
  EXPECT_EQ(contenido(datos), antes);

  // A damaged archive is refused before anything is replaced.
  std::string bytes = dir.lee("r/prue.zip");
  bytes.resize(bytes.size() / 2);
  dir.escribe("r/corto.zip", bytes);
  s = corre("restaura '" + dir.str() + "/r/corto.zip'" + conDatos());
  EXPECT_EQ(s.codigo, 1);
  EXPECT_EQ(s.err.rfind("mostrador-cli restaura: El respaldo " + dir.str() + "/r/corto.zip está dañado: ", 0), 0u)
      << s.err;
  EXPECT_EQ(contenido(datos), antes);
}

TEST_F(CliMantenimiento, APlainBackupGoesToTheDatedFolder) {
  Salida s = corre("respalda" + conDatos());
  ASSERT_EQ(s.codigo, 0) << s.err;
  const std::string prefijo = " archivos respaldados en " + (dir.ruta() / "unidades" / "c" / "RESPALDOS").string() + "/";
  EXPECT_NE(s.out.find(prefijo), std::string::npos) << s.out;
  const std::string carpeta = s.out.substr(s.out.find(prefijo) + prefijo.size());
  EXPECT_EQ(contenido(dir.ruta() / "unidades" / "c" / "RESPALDOS" / carpeta.substr(0, carpeta.size() - 1)).count("inventar.dbf"), 1u);
}

}  // namespace
