// The formats shipped under instalacion/consulta run cleanly against documents laid out
// as the sales tables are: header fields, the scratch lines and the amount in words.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "support/fakes_impresion.h"
#include "printing/impresion_documentos.h"
#include "printing/motor_formatos.h"
#include "base/rutas.h"
#include "base/texto.h"
#include "support/entorno.h"
#include "support/interaccion_fake.h"
#include "support/reloj_fijo.h"

using namespace mostrador;
using namespace mostrador::printing;
using namespace mostrador::prueba;
namespace fs = std::filesystem;

namespace {

// Made absolute before any test moves into its temporary directory (__FILE__ is
// relative to the build directory).
const fs::path kInstalados = fs::absolute(fs::path(__FILE__).parent_path().parent_path().parent_path() /
                                          "instalacion" / "consulta");

class FormatoInstalado : public ::testing::TestWithParam<const char*> {
 protected:
  DirectorioTemporal dir;
  EntornoFalso entorno;
  InteraccionFalsa ui;
  RelojFijo reloj{{{2001, 7, 1}, {10, 30, 0, 0}}};
  ImpresoraFalsa impresora;
  ColaFalsa cola;
  MotorFormatos motor{entorno, ui, reloj, impresora, cola};
  TablaMemoria encabezado{
      "Remision.dbf",
      {"CLDOC_F", "CLCLI_F", "NOMBR_F", "DIREC_F", "DIRE2_F", "POBLA_F", "RFCXX_F", "CPXXX_F",
       "FEDOC_F", "CLVEN_F", "SUBTO_F", "DECOT_F", "IMIM2_F", "IMTOD_F", "HORAX_F", "BCLIM_F",
       "CLPED_F"},
      {{"1520", "7", "Ferretería López", "Av. Juárez 12", "Centro", "Puebla", "LOFE800101AB1",
        "72000", "05/07/2001", "3", "1000", "0", "160", "1160", "10:30:00", "1", "CI(10-12)"}}};
  TablaMemoria lineas{"deta2.db",
                      {"CLAVE", "PRODUCTO", "CANTIDAD", "PRECIO", "IMPORTE", "UNIDAD", "DESCUENTO"},
                      {{"T-10", "Tornillo 1/4", "100", "2.5", "250", "PZA", "0"},
                       {"M-2", "Martillo de uña", "3", "250", "750", "PZA", "0"}}};

  void SetUp() override {
    entorno.usuarios["3"] = "Luisa";
    entorno.monedas["M.N."] = {"peso", "pesos", "pesos", "M.N."};
    ASSERT_TRUE(fs::exists(kInstalados / GetParam())) << kInstalados / GetParam();
    fs::create_directories(dir.ruta() / "unidades/c/TVK/consulta");
    fs::copy_file(kInstalados / GetParam(), dir.ruta() / "unidades/c/TVK/consulta" / GetParam());
  }
  std::string ruta() const { return "C:\\TVK\\consulta\\" + std::string(GetParam()); }
};

TEST_P(FormatoInstalado, PreviewsWithoutErrorsAndWritesTheAmountInWords) {
  auto bytes = dir.lee("unidades/c/TVK/consulta/" + std::string(GetParam()));
  EXPECT_NE(bytes.find("\r\n"), std::string::npos);
  EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), std::count(bytes.begin(), bytes.end(), '\r'));
  motor.AsignaUsuarioImpresion("3");
  motor.AsignaMonedaLetras("peso", "pesos", "pesos", "M.N.");
  auto r = motor.ImprimeFormato(encabezado, lineas, ruta(), 'p');
  ASSERT_TRUE(r.completo) << r.error;
  EXPECT_TRUE(ui.mensajes().empty());
  std::vector<std::string> textos;
  for (const auto& reg : leeRegistros("C:\\TVK\\tempo\\format.tmp")) {
    textos.push_back(reg.texto);
    EXPECT_EQ(reg.pagina, 1);
  }
  auto tiene = [&](const std::string& t) {
    return std::any_of(textos.begin(), textos.end(),
                       [&](const std::string& x) { return x.find(t) != std::string::npos; });
  };
  EXPECT_TRUE(tiene("( UN MIL CIENTO SESENTA PESOS 00/100 M.N.)"));
  EXPECT_TRUE(tiene("1520"));
  EXPECT_TRUE(tiene("Tornillo 1/4"));
  EXPECT_TRUE(tiene("Martillo de uña"));
  EXPECT_TRUE(tiene("1,160.00"));
}

TEST_P(FormatoInstalado, PrintsThroughThePrinterTheFirstLineNames) {
  auto resultado = ImprimeDocumento(motor, entorno, ui, {&encabezado, &lineas, ruta(), "", "", "",
                                                         "5", std::nullopt, {}});
  EXPECT_EQ(resultado, ResultadoDocumento::Impreso);
  EXPECT_TRUE(ui.mensajes().empty());
  bool texto = !impresora.lineasTexto.empty();
  if (texto) {
    // Receipts go to the text printer, one line per row, and open the drawer.
    EXPECT_EQ(impresora.lineasTexto[0].substr(0, 9), "MOSTRADOR");
    ASSERT_FALSE(cola.envios.empty());
    EXPECT_EQ(cola.envios[0].bytes, std::string("\x1B\x70\x00\x19\xFA\x1D\x56\x42\x00", 9));
  } else {
    EXPECT_FALSE(impresora.con("texto").empty());
    EXPECT_EQ(impresora.con("termina").size(), 1u);
  }
}

INSTANTIATE_TEST_SUITE_P(Documentos, FormatoInstalado,
                         ::testing::Values("Factura.fmt", "Remision.fmt", "Pedido.fmt", "Devolucion.fmt", "Cotiza.fmt",
                                           "CajaChica.fmt", "FacturaCierre.fmt", "Ticket.fmt"),
                         [](const auto& info) {
                           std::string n = info.param;
                           return n.substr(0, n.find('.'));
                         });

TEST(FormatoRetiro, CashVoucher) {
  DirectorioTemporal dir;
  EntornoFalso entorno;
  InteraccionFalsa ui;
  RelojFijo reloj{{{2001, 7, 1}, {10, 30, 0, 0}}};
  ImpresoraFalsa impresora;
  ColaFalsa cola;
  MotorFormatos motor{entorno, ui, reloj, impresora, cola};
  motor.AsignaMonedaLetras("peso", "pesos", "pesos", "M.N.");
  TablaMemoria retiro{"retiros.dbf",
                      {"CLDOC_F", "FEDOC_F", "HORA", "CANTIDAD", "CONCEPTO", "NUM_CONCEP",
                       "BCLIM_F", "CLVEN_F"},
                      {{"44", "05/07/2001", "18:05:00", "500", "Pago de luz", "1", "2", "3"}}};
  fs::create_directories(dir.ruta() / "unidades/c/TVK/consulta");
  fs::copy_file(kInstalados / "retiro.fmt", dir.ruta() / "unidades/c/TVK/consulta/retiro.fmt");
  auto r = motor.ImprimeFormato(retiro, retiro, "C:\\TVK\\consulta\\retiro.fmt", 'i');
  ASSERT_TRUE(r.completo) << r.error;
  EXPECT_TRUE(ui.mensajes().empty());
  const auto& l = impresora.lineasTexto;
  ASSERT_GE(l.size(), 10u);
  EXPECT_EQ(l[2], "Folio 44");
  EXPECT_EQ(l[6], "Concepto: Pago de luz");
  EXPECT_EQ(l[7], "Importe$        500.00");
  EXPECT_EQ(l[9], "( QUINIENTOS PESOS 00/100 M.N.)");
}

}  // namespace
