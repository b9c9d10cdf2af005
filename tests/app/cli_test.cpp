// The command-line tool, run as operators and cron run it: a separate process over a
// real company directory.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <string>

#include "store/dbf/dbf_table.h"
#include "store/demo.h"
#include "store/empresa_nueva.h"
#include "support/entorno.h"

namespace {

using namespace mostrador;

struct Salida {
  int codigo = -1;
  std::string out, err;
};

// Runs the tool with the arguments (already quoted for the shell) and collects both
// streams; stdout is a pipe, so the tool must stay quiet about progress.
Salida corre(const std::string& argumentos) {
  prueba::DirectorioTemporal errores;
  const std::string rutaErr = errores.str() + "/err";
  const std::string orden = std::string(MOSTRADOR_CLI) + " " + argumentos + " 2>" + rutaErr;
  Salida s;
  FILE* p = popen(orden.c_str(), "r");
  std::array<char, 4096> buf{};
  size_t n;
  while ((n = fread(buf.data(), 1, buf.size(), p)) > 0) s.out.append(buf.data(), n);
  int st = pclose(p);
  s.codigo = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
  std::ifstream f(rutaErr);
  s.err.assign(std::istreambuf_iterator<char>(f), {});
  return s;
}

class Cli : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new prueba::DirectorioTemporal();
    datos_ = dir_->str() + "/datos";
    store::creaDirectorioDatos(datos_);
    store::generaDemo(datos_, store::OpcionesDemo{});
  }
  static void TearDownTestSuite() { delete dir_; }
  static std::string datos() { return " --datos '" + datos_ + "'"; }

  static prueba::DirectorioTemporal* dir_;
  static std::string datos_;
};
prueba::DirectorioTemporal* Cli::dir_ = nullptr;
std::string Cli::datos_;

TEST_F(Cli, HelpAndUsageErrors) {
  Salida s = corre("--help");
  EXPECT_EQ(s.codigo, 0);
  EXPECT_NE(s.out.find("Uso: mostrador-cli ORDEN [opciones]"), std::string::npos);
  s = corre("muestra --help");
  EXPECT_EQ(s.codigo, 0);
  EXPECT_EQ(s.out.rfind("Uso: mostrador-cli muestra TABLA", 0), 0u);
  s = corre("vuela");
  EXPECT_EQ(s.codigo, 2);
  EXPECT_EQ(s.err, "mostrador-cli: orden desconocida: vuela\n");
  s = corre("muestra" + datos());
  EXPECT_EQ(s.codigo, 2);
  EXPECT_EQ(s.err, "mostrador-cli muestra: muestra necesita el nombre de una tabla\n");
  s = corre("muestra inventar.dbf --limite" + datos());
  EXPECT_EQ(s.codigo, 2);
  s = corre("tablas --datos '" + datos_ + "/no-existe'");
  EXPECT_EQ(s.codigo, 0);
  EXPECT_EQ(s.out, "");
}

TEST_F(Cli, TablesDescribeAndSample) {
  Salida s = corre("tablas" + datos());
  ASSERT_EQ(s.codigo, 0) << s.err;
  EXPECT_NE(s.out.find("\n" "inventar.dbf\t200\t"), std::string::npos) << s.out;

  s = corre("describe MOVINVEN" + datos());
  ASSERT_EQ(s.codigo, 0) << s.err;
  EXPECT_EQ(s.out.rfind("CAMPO\tTIPO\tTAMAÑO\tDECIMALES\n", 0), 0u);
  EXPECT_NE(s.out.find("\nNUDOC_MI\tC\t20\t0\n"), std::string::npos) << s.out;
  EXPECT_NE(s.out.find("\nINDICE\tCLAVE\n"), std::string::npos);

  // The first three products in key order, then from a key on.
  dbf::Table t;
  t.open(datos_, "inventar.dbf");
  t.setIndex("ICLPRO");
  t.first();
  t.next();
  const std::string segunda = t.asText("CLPRO_I");
  s = corre("muestra inventar.dbf --indice ICLPRO --limite 3" + datos());
  ASSERT_EQ(s.codigo, 0) << s.err;
  int lineas = 0;
  for (char c : s.out) lineas += c == '\n';
  EXPECT_EQ(lineas, 4);  // header + 3 records
  s = corre("muestra inventar.dbf --indice ICLPRO --limite 1 --desde '" + segunda + "'" + datos());
  ASSERT_EQ(s.codigo, 0) << s.err;
  const size_t salto = s.out.find('\n');
  EXPECT_EQ(s.out.substr(salto + 1, segunda.size() + 1), segunda + "\t") << s.out;

  s = corre("describe falta.dbf" + datos());
  EXPECT_EQ(s.codigo, 1);
  EXPECT_EQ(s.err.rfind("mostrador-cli describe: ", 0), 0u);
  EXPECT_EQ(std::count(s.err.begin(), s.err.end(), '\n'), 1);
}

TEST_F(Cli, VerifyIsQuietOnASoundCompanyAndFailsOnADamagedIndex) {
  Salida s = corre("verifica" + datos());
  ASSERT_EQ(s.codigo, 0) << s.out << s.err;
  EXPECT_NE(s.out.find(" tablas revisadas, 0 con problemas\n"), std::string::npos);
  EXPECT_EQ(s.err, "");

  prueba::DirectorioTemporal otro;
  store::creaDirectorioDatos(otro.str());
  std::ofstream(otro.ruta() / "vendedor.mdx", std::ios::trunc) << "no es un índice";
  s = corre("verifica --datos '" + otro.str() + "'");
  EXPECT_EQ(s.codigo, 1);
  EXPECT_EQ(s.out.rfind("vendedor.dbf\tvendedor.mdx: ", 0), 0u) << s.out;
  EXPECT_NE(s.out.find(" con problemas\n"), std::string::npos);
  EXPECT_EQ(s.err, "mostrador-cli verifica: 1 tablas con problemas\n");
}

}  // namespace
