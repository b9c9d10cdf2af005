// mostrador-cli reindexa --incompletos, the reindex screen's incomplete rebuild from a
// script: the exact report line and the maintenance log line it leaves.

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <string>

#include "session/empresa_nueva.h"
#include "store/dbf/dbf_table.h"
#include "support/entorno.h"
#include "support/orden_cli.h"

namespace {

using namespace mostrador;
namespace fs = std::filesystem;

TEST(CliReindexaIncompletos, RebuildsTheTablesMissingATagAndLogsIt) {
  prueba::DirectorioTemporal dir;
  const std::string datos = dir.str() + "/datos", sistema = dir.str() + "/sistema";
  session::creaDirectorioDatos(datos);
  fs::create_directories(sistema);
  const std::string lugar = " --datos '" + datos + "' --sistema '" + sistema + "'";
  // inventar.dbf loses one tag of its index file: the only table to rebuild, all of
  // its tags with it.
  size_t etiquetas = 0;
  {
    dbf::Table t;
    t.open(datos, "inventar.dbf");
    etiquetas = t.tags().size();
  }
  ASSERT_GT(etiquetas, 1u);
  fs::remove(fs::path(datos) / "inventar.mdx");
  const prueba::SalidaOrden s = prueba::correOrden(MOSTRADOR_CLI, "reindexa --incompletos" + lugar);
  ASSERT_EQ(s.codigo, 0) << s.err;
  EXPECT_EQ(s.err, "");
  EXPECT_EQ(s.out, std::to_string(etiquetas) + " índices reconstruidos en " + datos + " (" +
                       std::to_string(etiquetas) + " faltaban)\n");
  dbf::Table t;
  t.open(datos, "inventar.dbf");
  EXPECT_EQ(t.tags().size(), etiquetas);
  const std::string bitacora = dir.lee("sistema/Bitacora.txt");
  EXPECT_TRUE(std::regex_match(bitacora, std::regex("Reindexado Incompletos \\d\\d/\\d\\d/\\d{4}  \\d\\d:\\d\\d:\\d\\d\r\n")))
      << bitacora;
}

}  // namespace
