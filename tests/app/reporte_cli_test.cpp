// "mostrador-cli reporte" as cron runs it: a sales report of a company to text, to
// tab-separated lines and to PDF, and its failures.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <string>

#include "base/rutas.h"
#include "store/dbf/dbf_table.h"
#include "session/empresa_nueva.h"
#include "support/entorno.h"
#include "support/orden_cli.h"

namespace {

using namespace mostrador;

using Salida = prueba::SalidaOrden;
Salida corre(const std::string& argumentos) { return prueba::correOrden(MOSTRADOR_CLI, argumentos); }

std::vector<std::string> lineas(const std::string& s) {
  std::vector<std::string> r;
  size_t i = 0;
  while (i < s.size()) {
    size_t j = s.find('\n', i);
    if (j == std::string::npos) j = s.size();
    r.push_back(s.substr(i, j - i));
    i = j + 1;
  }
  return r;
}

class ReporteCli : public ::testing::Test {
 protected:
  prueba::DirectorioTemporal dir;
  std::string datos, sistema;

  void SetUp() override {
    datos = dir.str() + "/datos";
    sistema = dir.str() + "/sis";
    session::creaDirectorioDatos(datos);
    base::creaDirectorios(sistema);
    agrega("Remision.dbf", {{"CLDOC_F", "1"}, {"NOMBR_F", "Mostrador"}, {"IMTOD_F", "115"}, {"SUBTO_F", "100"},
                            {"IMIM2_F", "15"}, {"FEDOC_F", "15/03/2025"}});
    agrega("Remision.dbf", {{"CLDOC_F", "2"}, {"NOMBR_F", "Otro dia"}, {"IMTOD_F", "40"}, {"SUBTO_F", "40"},
                            {"FEDOC_F", "16/03/2025"}});
    agrega("retiros.dbf", {{"CLDOC_F", "1"}, {"CANTIDAD", "20"}, {"NUM_CONCEP", "1"}, {"FEDOC_F", "15/03/2025"}});
    agrega("retiros.dbf", {{"CLDOC_F", "2"}, {"CANTIDAD", "5"}, {"NUM_CONCEP", "2"}, {"FEDOC_F", "15/03/2025"}});
  }
  void agrega(const std::string& tabla, const std::vector<std::pair<std::string, std::string>>& campos) {
    dbf::Table t;
    t.open(datos, tabla);
    t.append();
    for (const auto& [c, v] : campos) {
      const int i = t.requireField(c);
      const char tipo = t.fieldDefs()[static_cast<size_t>(i)].type;
      if (tipo == 'N' || tipo == 'F') t.setFloat(i, std::stod(v));
      else if (tipo == 'D') t.setDate(i, dbf::Fecha{std::stoi(v.substr(6)), std::stoi(v.substr(3, 2)), std::stoi(v.substr(0, 2))});
      else t.setText(i, v);
    }
    t.post();
  }
  std::string donde() const { return " --datos '" + datos + "' --sistema '" + sistema + "'"; }
};

TEST_F(ReporteCli, CorteZDelDiaEnTexto) {
  agrega("Remisiod.dbf", {{"CLDOC_FD", "1"}, {"CANTI_FD", "1"}, {"PUNPR_FD", "100"}, {"PIVA1_FD", "15"}});
  Salida s = corre("reporte CorteZ1 --documento Remision --desde 15/03/2025 --hasta 15/03/2025" + donde());
  ASSERT_EQ(s.codigo, 0) << s.err;
  const auto l = lineas(s.out);
  ASSERT_GE(l.size(), 22u);
  EXPECT_EQ(l.back(), "TOTAL EN CAJA                 100.00");
  EXPECT_EQ(l[l.size() - 22], "Total Remisiones(GRABADO)         100.00");
  EXPECT_EQ(l[l.size() - 4], "Total de Retiros               20.00");
  EXPECT_EQ(prueba::primeraLinea(s.err), "");
}

TEST_F(ReporteCli, ConsecutivoSeparadoPorTabuladores) {
  Salida s = corre("reporte ConsecutivodeFacturas1 --documento Remision --formato tsv" + donde());
  ASSERT_EQ(s.codigo, 0) << s.err;
  const auto l = lineas(s.out);
  ASSERT_EQ(l.size(), 11u);
  EXPECT_EQ(l[0], "*Reporte de Consecutivo de Documentos");
  EXPECT_EQ(l[1], "DOCUMENTOS\tNOMBRE\tIMPORTE\tSUBTOTAL\tIMPUESTO\tFECHA");
  EXPECT_EQ(l[4], "1\tMostrador\t115.00\t100.00\t15.00\t15/03/2025");
  EXPECT_EQ(l[5], "2\tOtro dia\t40.00\t40.00\t0.00\t16/03/2025");
  EXPECT_EQ(l[7], "\t\t155.00\t140.00\t15.00\t");
}

TEST_F(ReporteCli, ResumenPorDiaEnTextoYEnPdf) {
  agrega("FacturaE.dbf", {{"CLDOC_F", "1"}, {"IMTOD_F", "100"}, {"FEDOC_F", "15/03/2025"}});
  agrega("FacturaE.dbf", {{"CLDOC_F", "2"}, {"IMTOD_F", "30"}, {"FEDOC_F", "16/03/2025"}});
  Salida s = corre("reporte VentasporDa1 --desde 01/03/2025 --hasta 31/03/2025" + donde());
  ASSERT_EQ(s.codigo, 0) << s.err;
  const auto l = lineas(s.out);
  ASSERT_EQ(l.size(), 6u);
  EXPECT_EQ(l[0], "Reporte de Ventas por Día");
  EXPECT_EQ(l[3].substr(0, 13), "2025/03/15   ");
  EXPECT_NE(l[5].find("$        130.00"), std::string::npos) << l[5];
  // The scratch files do not outlive the run.
  EXPECT_FALSE(base::existe(sistema + "/tempo/final.tmp"));
  EXPECT_FALSE(base::existe(sistema + "/tempo/concen.tmp"));

  const std::string pdf = dir.str() + "/dia.pdf";
  s = corre("reporte VentasporDa1 --desde 01/03/2025 --hasta 31/03/2025 --formato pdf --pdf '" + pdf + "'" + donde());
  ASSERT_EQ(s.codigo, 0) << s.err;
  std::ifstream f(pdf, std::ios::binary);
  std::string cabeza(5, '\0');
  f.read(cabeza.data(), 5);
  EXPECT_EQ(cabeza, "%PDF-");

  const std::string pdf2 = dir.str() + "/corte.pdf";
  s = corre("reporte CorteZ1 --documento Remision --formato pdf --pdf '" + pdf2 + "'" + donde());
  ASSERT_EQ(s.codigo, 0) << s.err;
  EXPECT_TRUE(base::existe(pdf2));
}

TEST_F(ReporteCli, DefinicionGuardadaYFallos) {
  const std::string def = dir.str() + "/def.txt";
  {
    std::ofstream f(def, std::ios::binary);
    // Stored as the files are, in Windows-1252: "\xBF" is the filter place.
    f << "$Remisiones\r&Select CLDOC_F,IMTOD_F from \"" << datos << "/Remision.dbf\"\r"
      << "?(STATU_F<>\"C\" OR STATU_F IS NULL) \xBF\r!CLDOC_F\r%e t\r"
      << "#DOC     TOTAL        \r@\r";
  }
  Salida s = corre("reporte --definicion '" + def + "' --titulo Prueba --tabla Remision.dbf --hasta-documento 1 --de-documento 1" + donde());
  ASSERT_EQ(s.codigo, 0) << s.err;
  const auto l = lineas(s.out);
  EXPECT_EQ(l[4], "      1       115.00  ");
  EXPECT_EQ(l[6], "              115.00  ");

  s = corre("reporte NoExiste1" + donde());
  EXPECT_EQ(s.codigo, 1);
  EXPECT_EQ(s.err, "No existe el reporte NoExiste1\nmostrador-cli reporte: el reporte no se generó\n");
  {
    std::ofstream f(def, std::ios::binary);
    f << "&Select NADA from \"" << datos << "/Remision.dbf\"\r%c\r#X\r@\r";
  }
  s = corre("reporte --definicion '" + def + "'" + donde());
  EXPECT_EQ(s.codigo, 1);
  EXPECT_EQ(s.err, "Error al ejecutar el reporte...\nmostrador-cli reporte: el reporte no se generó\n");
  s = corre("reporte CorteZ1 --desde 32/01/2025" + donde());
  EXPECT_EQ(s.codigo, 2);
  EXPECT_EQ(prueba::primeraLinea(s.err), "mostrador-cli reporte: --desde no es una fecha dd/MM/aaaa: 32/01/2025\n");
}

}  // namespace
