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
#include "session/empresa_nueva.h"
#include "support/entorno.h"
#include "support/orden_cli.h"

namespace {

using namespace mostrador;

struct Salida {
  int codigo = -1;
  std::string out, err;
};

// Runs the tool with the arguments (already quoted for the shell) and collects both
// streams; stdout is a pipe, so the tool must stay quiet about progress.
Salida corre(const std::string&, const std::string& entorno, const std::string& argumentos) {
  prueba::DirectorioTemporal errores;
  const std::string rutaErr = errores.str() + "/err";
  const std::string orden = entorno + std::string(MOSTRADOR_CLI) + " " + argumentos + " 2>" + rutaErr;
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

Salida corre(const std::string& argumentos) { return corre("", "", argumentos); }

class Cli : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new prueba::DirectorioTemporal();
    datos_ = dir_->str() + "/datos";
    session::creaDirectorioDatos(datos_);
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
  EXPECT_EQ(prueba::primeraLinea(s.err), "mostrador-cli: orden desconocida: vuela\n");
  s = corre("muestra" + datos());
  EXPECT_EQ(s.codigo, 2);
  EXPECT_EQ(prueba::primeraLinea(s.err), "mostrador-cli muestra: muestra necesita el nombre de una tabla\n");
  s = corre("muestra inventar.dbf --limite" + datos());
  EXPECT_EQ(s.codigo, 2);
  // The mistake, then the command's usage, and nothing is run.
  s = corre("muestra inventar.dbf --bogus" + datos());
  EXPECT_EQ(s.codigo, 2);
  EXPECT_EQ(s.out, "");
  EXPECT_EQ(s.err,
            "mostrador-cli muestra: opción desconocida: --bogus\n"
            "Uso: mostrador-cli muestra TABLA [--indice TAG] [--desde CLAVE] [--limite N]\n");
  s = corre("reindexa --bogus" + datos());
  EXPECT_EQ(s.codigo, 2);
  EXPECT_EQ(s.err,
            "mostrador-cli reindexa: opción desconocida: --bogus\n"
            "Uso: mostrador-cli reindexa [--incompletos] [--datos DIR | --empresa N] [--sistema DIR]\n");
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

TEST_F(Cli, SqlSelectsChangesAndErrors) {
  Salida s = corre("sql \"SELECT COUNT(*) AS N FROM inventar\"" + datos());
  ASSERT_EQ(s.codigo, 0) << s.err;
  EXPECT_EQ(s.out, "N\n200\n");

  prueba::DirectorioTemporal otro;
  const std::string ruta = otro.str() + "/precios.dbf";
  s = corre("sql 'CREATE TABLE \"" + ruta + "\" (CLAVE CHAR(4), PRECIO NUMERIC(8,2))'");
  ASSERT_EQ(s.codigo, 0) << s.err;
  EXPECT_EQ(s.out, "0 filas afectadas\n");
  s = corre("sql 'INSERT INTO \"" + ruta + "\" VALUES (\"A1\", 10.5), (\"B2\", 3)'");
  EXPECT_EQ(s.out, "2 filas afectadas\n") << s.err;
  s = corre("sql 'UPDATE \"" + ruta + "\" SET PRECIO = PRECIO * 2 WHERE CLAVE = \"B2\"'");
  EXPECT_EQ(s.out, "1 fila afectada\n") << s.err;
  std::ofstream(otro.ruta() / "consulta.sql") << "SELECT CLAVE, PRECIO\r\nFROM \"" << ruta
                                              << "\"\r\nORDER BY PRECIO DESC\r\n";
  s = corre("sql --archivo '" + otro.str() + "/consulta.sql'");
  ASSERT_EQ(s.codigo, 0) << s.err;
  EXPECT_EQ(s.out, "CLAVE\tPRECIO\nA1\t10.5\nB2\t6\n");

  s = corre("sql \"SELECT NADA FROM inventar\"" + datos());
  EXPECT_EQ(s.codigo, 1);
  EXPECT_EQ(s.err.rfind("mostrador-cli sql: ", 0), 0u);
  EXPECT_EQ(std::count(s.err.begin(), s.err.end(), '\n'), 1) << s.err;
}

TEST(CliEmpresa, NewCompanyThenAFormatToPreviewAndPdf) {
  prueba::DirectorioTemporal dir;
  const std::string unidades = "MOSTRADOR_UNIDADES='" + dir.str() + "/unidades' ";
  auto cli = [&](const std::string& args) { return corre("", unidades, args); };
  Salida s = cli("nueva-empresa --sistema 'C:\\TVK' --empresa 2 --nombre 'Ferretería' --demo --tamano 20");
  ASSERT_EQ(s.codigo, 0) << s.err;
  EXPECT_EQ(s.out,
            "Empresa 2 creada: datos en C:\\TVK\\Empresa2, sistema en C:\\TVK\n"
            "Demostración: 20 productos, 5 clientes, 200 movimientos\n");
  EXPECT_EQ(prueba::primeraLinea(s.err), "");  // not a terminal: no progress line
  const auto base = dir.ruta() / "unidades/c/TVK";
  EXPECT_TRUE(std::filesystem::exists(base / "Gener2.cnf"));
  EXPECT_TRUE(std::filesystem::exists(base / "usuarios.def"));
  EXPECT_TRUE(std::filesystem::exists(base / "consulta/Factura.fmt"));
  EXPECT_TRUE(std::filesystem::exists(base / "Empresa2/FacturaE.mdx"));
  s = cli("nueva-empresa --sistema 'C:\\TVK' --empresa 2");
  EXPECT_EQ(s.codigo, 1);
  EXPECT_EQ(prueba::primeraLinea(s.err), "mostrador-cli nueva-empresa: la empresa 2 ya existe en C:\\TVK (use --reemplaza para crearla de nuevo)\n");

  dir.escribe("fmt/prueba.fmt", "texto(10,5,Folio)\r\n@20,5,CLDOC_F\r\n@20,6,NOMBR_F\r\n");
  const std::string comun = " --tabla facturae.dbf --clave 1 --datos 'C:\\TVK\\Empresa2' --sistema 'C:\\TVK'";
  s = cli("formato '" + dir.str() + "/fmt/prueba.fmt'" + comun + " --preliminar");
  ASSERT_EQ(s.codigo, 0) << s.err;
  dbf::Table f;
  f.open((base / "Empresa2").string(), "facturae.dbf");
  f.setIndex("INUMENC");
  ASSERT_TRUE(f.findKey({dbf::KeyValue{std::string("1")}}));
  EXPECT_EQ(s.out, "10\t5\t1\t9\tArial\tnegro\tFolio\n"
                   "20\t5\t1\t9\tArial\tnegro\t1\n"
                   "20\t6\t1\t9\tArial\tnegro\t" + f.asText("NOMBR_F") + "\n");
  s = cli("formato '" + dir.str() + "/fmt/prueba.fmt'" + comun + " --pdf '" + dir.str() + "/f.pdf'");
  ASSERT_EQ(s.codigo, 0) << s.err;
  EXPECT_EQ(dir.lee("f.pdf").substr(0, 5), "%PDF-");
  s = cli("formato 'C:\\no\\hay.fmt'" + comun + " --preliminar");
  EXPECT_EQ(s.codigo, 1);
  EXPECT_EQ(prueba::primeraLinea(s.err), "mostrador-cli formato: El Formato C:\\no\\hay.fmt No Existe\n");
  s = cli("formato '" + dir.str() + "/fmt/prueba.fmt' --tabla facturae.dbf --clave 999999 --datos 'C:\\TVK\\Empresa2' --preliminar");
  EXPECT_EQ(s.codigo, 1);
  EXPECT_EQ(prueba::primeraLinea(s.err), "mostrador-cli formato: no se encontró la clave 999999 en facturae.dbf (índice INUMENC)\n");
}

TEST_F(Cli, VerifyShowsItsProgressOnATerminal) {
  // script(1) gives the tool a terminal: progress lines go to it, one per table.
  const std::string orden = "script -qec \"" + std::string(MOSTRADOR_CLI) + " verifica" + datos() + "\" /dev/null";
  FILE* p = popen(orden.c_str(), "r");
  std::array<char, 4096> buf{};
  size_t n;
  std::string salida;
  while ((n = fread(buf.data(), 1, buf.size(), p)) > 0) salida.append(buf.data(), n);
  ASSERT_EQ(pclose(p), 0) << salida;
  EXPECT_NE(salida.find("\rverificando inventar.dbf 100%\r\n"), std::string::npos) << salida;
  EXPECT_NE(salida.find("\rverificando movinven.dbf 100%\r\n"), std::string::npos) << salida;
  EXPECT_NE(salida.find(" tablas revisadas, 0 con problemas\r\n"), std::string::npos) << salida;
}

TEST_F(Cli, VerifyIsQuietOnASoundCompanyAndFailsOnADamagedIndex) {
  Salida s = corre("verifica" + datos());
  ASSERT_EQ(s.codigo, 0) << s.out << s.err;
  EXPECT_NE(s.out.find(" tablas revisadas, 0 con problemas\n"), std::string::npos);
  EXPECT_EQ(prueba::primeraLinea(s.err), "");

  prueba::DirectorioTemporal otro;
  session::creaDirectorioDatos(otro.str());
  std::ofstream(otro.ruta() / "vendedor.mdx", std::ios::trunc) << "no es un índice";
  s = corre("verifica --datos '" + otro.str() + "'");
  EXPECT_EQ(s.codigo, 1);
  EXPECT_EQ(s.out.rfind("vendedor.dbf\tvendedor.mdx: ", 0), 0u) << s.out;
  EXPECT_NE(s.out.find(" con problemas\n"), std::string::npos);
  EXPECT_EQ(prueba::primeraLinea(s.err), "mostrador-cli verifica: 1 tablas con problemas\n");
}

}  // namespace

namespace {

std::string segundaLinea(const std::string& s) {
  auto a = s.find('\n');
  if (a == std::string::npos) return {};
  return s.substr(a + 1, s.find('\n', a + 1) - a - 1);
}

TEST_F(Cli, ConsultaTranslatesTheSpanishWordsAndRunsThem) {
  Salida t = corre(
      "consulta 'selecciona nombr_c, clcli_c desde cliente cuando saldo_c > 0 ordenar por nombr_c' --traduce");
  EXPECT_EQ(t.codigo, 0);
  EXPECT_EQ(t.out, "SELECT nombr_c, clcli_c FROM cliente WHERE saldo_c > 0 ORDER BY nombr_c \n");

  Salida espanol = corre("consulta 'selecciona cuenta (*) desde cliente cuando saldo_c >= 0 o saldo_c < 0'" + datos());
  Salida sql = corre("sql 'SELECT count(*) FROM cliente WHERE SALDO_C IS NOT NULL'" + datos());
  ASSERT_EQ(espanol.codigo, 0) << espanol.err;
  EXPECT_EQ(segundaLinea(espanol.out), segundaLinea(sql.out));
  EXPECT_NE(segundaLinea(sql.out), "");

  // A saved query file, Windows-1252 with CR LF, translated line by line.
  prueba::DirectorioTemporal d;
  d.escribe("saldos.sql", "selecciona cuenta (*)\r\ndesde cliente\r\ncuando saldo_c >= 0 o saldo_c < 0\r\n");
  Salida archivo = corre("consulta --archivo '" + d.str() + "/saldos.sql'" + datos());
  ASSERT_EQ(archivo.codigo, 0) << archivo.err;
  EXPECT_EQ(segundaLinea(archivo.out), segundaLinea(sql.out));
  Salida traducida = corre("consulta --traduce --archivo '" + d.str() + "/saldos.sql'");
  EXPECT_EQ(traducida.out, "SELECT COUNT (*) \nFROM cliente \nWHERE saldo_c >= 0 OR saldo_c < 0 \n");
  EXPECT_EQ(corre("consulta --archivo '" + d.str() + "/no.sql'").err,
            "mostrador-cli consulta: El Archivo " + d.str() + "/no.sql No Existe\n");

  // A function glued to its parenthesis is not a keyword: SQLite does not know it.
  Salida mala = corre("consulta 'selecciona cuenta(*) desde cliente'" + datos());
  EXPECT_EQ(mala.codigo, 1);
  EXPECT_EQ(mala.err, "mostrador-cli consulta: No existe la función cuenta\n");
  EXPECT_EQ(mala.out, "");
}

}  // namespace
