// The sales reports over a real company: the net subtotal of discounted documents, the
// Z cut and its summary, cancelled lines, the margin of a zero subtotal, the period
// summaries and every command's statement running against the company's tables.

#include <gtest/gtest.h>

#include "banco_captura.h"
#include "reports/reporte_sql.h"
#include "reports/visor_concentrado.h"
#include "sales/reportes_venta.h"
#include "base/rutas.h"
#include "store/dbf/dbf_table.h"

namespace mostrador::sales {
namespace {

using prueba::Banco;
using V = std::vector<std::string>;

class DialogoAceptado : public reports::DialogoFiltro {
 public:
  std::function<void(reports::FiltroReporte&)> cambia;
  bool pide(reports::FiltroReporte& f) override {
    if (cambia) cambia(f);
    return true;
  }
};

struct Reportes : ::testing::Test {
  Banco b;
  DialogoAceptado dialogo;
  std::string datos{prueba::EmpresaVentas::kDatos};
  std::string sistema{prueba::EmpresaVentas::kSistema};

  ContextoVenta contexto(store::Documento d) { return ContextoVenta{store::documento(d), datos, b.reloj}; }
  std::unique_ptr<reports::ReporteSql> corre(std::string_view comando, store::Documento d = store::Documento::Remision,
                                              bool conFiltro = true) {
    auto def = definicionReporteVenta(comando, contexto(d));
    EXPECT_TRUE(def) << comando;
    if (!def) return nullptr;
    reports::ContextoReporte ctx{sistema, datos, b.ui, &dialogo, &b.reloj};
    reports::ParametrosReporte p;
    p.definicion = def->texto;
    p.tabla = def->tabla;
    p.tipo = def->tipo;
    p.muestraFiltro = conFiltro;
    return reports::EjecutaReporte(ctx, comandoReporte(comando)->titulo, def->campoDocumento, def->campoFecha, p);
  }
  // Appends a record to a data-directory table: field=value pairs (numbers and dates
  // given as text).
  void registro(const std::string& tabla, const std::vector<std::pair<std::string, std::string>>& campos) {
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
};

TEST_F(Reportes, ElSubtotalNetoDeUnDocumentoConDescuentoEsElGuardado) {
  b.producto("A", 10, 100, 16);
  CapturaVenta& c = b.abre();
  ASSERT_TRUE(c.nuevo());
  c.campos().vendedor = "V1";
  c.campos().comision = "5";
  c.saleCliente();
  c.campos().descuento = "10";
  b.linea("2", "A");
  ASSERT_TRUE(c.guarda());
  ASSERT_EQ(b.emp.filas("Remision.dbf", {"DECOT_F", "SUBTO_F"}), V{"20.0000|180.0000"});
  b.ui.olvidaLlamadas();

  auto r = corre("ConsecutivodeFacturas1", store::Documento::Remision, false);
  ASSERT_TRUE(r);
  // 180.00, not 180 less 20 % (144.00): DECOT_F is an amount, already off SUBTO_F.
  EXPECT_EQ(r->hoja().textos()[4], "      1     Publico en General       208.80        180.00         28.80  15/03 ");
  EXPECT_DOUBLE_EQ(r->total(0, 3), 180);
  for (const char* cmd : {"Concentrar1", "Comisiones1", "VentasyUtilidad1", "DocumentosnoPagados1"}) {
    auto x = corre(cmd, store::Documento::Remision, false);
    ASSERT_TRUE(x) << cmd;
    const int col = std::string(cmd) == "Concentrar1" ? 3 : std::string(cmd) == "Comisiones1" ? 2 : 3;
    EXPECT_DOUBLE_EQ(x->total(0, col), 180) << cmd;
  }
  // The commission on the net subtotal: 5 % of 180.
  EXPECT_DOUBLE_EQ(corre("Comisiones1", store::Documento::Remision, false)->total(0, 3), 9);
  EXPECT_TRUE(b.ui.mensajes().empty());
}

TEST_F(Reportes, DefinicionDeUnReporteDeEncabezados) {
  auto d = definicionReporteVenta("Concentrar1", contexto(store::Documento::Factura));
  ASSERT_TRUE(d);
  EXPECT_EQ(d->texto,
            "$Concentrar por Cliente\r"
            "&Select CLCLI_F,NOMBR_F,CLDOC_F,SUBTO_F,IMIM2_F,IMTOD_F,FEDOC_F from \"C:\\datos\\FacturaE.dbf\"\r"
            "?(STATU_F<>\"C\" OR STATU_F IS NULL) \xC2\xBF\r"
            "!CLCLI_F,NOMBR_F,cldoc_f\r"
            ">CLCLI_F\r"
            "%c c e t t t c\r"
            "#CLIENTE    NOMBRE     DOCUMENTO     SUBTOTAL       IVA           TOTAL        FECHA\r"
            "@\r");
  EXPECT_EQ(d->campoDocumento, "CLDOC_F");
  EXPECT_EQ(d->campoFecha, "FEDOC_F");
  EXPECT_EQ(d->tabla, "FacturaE.dbf");
  auto e = definicionReporteVenta("CorteDetallado1", contexto(store::Documento::Factura));
  EXPECT_EQ(e->campoDocumento, "CLDOC_FD");
  EXPECT_EQ(e->tabla, "FacturaD.dbf");
  EXPECT_FALSE(definicionReporteVenta("NoExiste1", contexto(store::Documento::Factura)));
  EXPECT_FALSE(definicionReporteVenta("VentasporDa1", contexto(store::Documento::Factura)));
}

TEST_F(Reportes, CorteZDeUnDiaConRemisionRetiroYEntrada) {
  registro("Remision.dbf", {{"CLDOC_F", "1"}, {"CLCLI_F", "1"}, {"IMTOD_F", "115"}, {"SUBTO_F", "100"},
                            {"IMIM2_F", "15"}, {"FEDOC_F", "15/03/2025"}});
  registro("Remisiod.dbf", {{"CLDOC_FD", "1"}, {"CANTI_FD", "1"}, {"PUNPR_FD", "100"}, {"PIVA1_FD", "15"}});
  // A withdrawal without a concept number is still a withdrawal.
  registro("retiros.dbf", {{"CLDOC_F", "1"}, {"CONCEPTO", "Gasolina"}, {"CANTIDAD", "20"}, {"FEDOC_F", "15/03/2025"}});
  registro("retiros.dbf", {{"CLDOC_F", "2"}, {"CONCEPTO", "Cambio"}, {"CANTIDAD", "5"}, {"NUM_CONCEP", "2"},
                           {"FEDOC_F", "15/03/2025"}});
  // Another day: left out by the dates.
  registro("Remision.dbf", {{"CLDOC_F", "2"}, {"IMTOD_F", "50"}, {"SUBTO_F", "50"}, {"FEDOC_F", "14/03/2025"}});
  auto r = corre("CorteZ1");
  ASSERT_TRUE(r);
  EXPECT_TRUE(b.ui.mensajes().empty());
  EXPECT_EQ(r->bloquesEjecutados(), 7);
  const V l = r->hoja().textos();
  ASSERT_GE(l.size(), 22u);
  EXPECT_EQ(V(l.end() - 22, l.end()),
            (V{"Total Remisiones(GRABADO)         100.00", "Total Remisiones(NO GRABADO)        0.00",
               "Impuesto de Remisiones             15.00", "Impuesto FPGC                       0.00",
               "Total de Remisiones               115.00", "",
               "Total Facturas (GRABADO)            0.00", "Total Facturas (NO GRABADO)         0.00",
               "Impuesto de Facturas                0.00", "Total de Facturas                   0.00", "",
               "Facturas Directas (GRABADO)         0.00", "Facturas Directas (NO GRABADO)        0.00",
               "Impuesto Directas                   0.00", "Total de Directas                   0.00", "",
               "Total de Cancelaciones          0.00", "Total de Devoluciones           0.00",
               "Total de Retiros               20.00", "Total de Entradas               5.00", "",
               "TOTAL EN CAJA                 100.00"}));
  EXPECT_EQ(l[0], "*Reporte de  REMISIONES  HORA : 12:00:00");
  EXPECT_EQ(l[1], "DOCUMENTOS  CLAVE        IMPORTE       SUBTOTAL      IMPUESTO      FECHA      FPGC         GRABADO     ");
  EXPECT_EQ(l[4], std::string("      1     ") + "1            " + "      115.00  " + "      100.00  " + "       15.00  " +
                      "15/03/2025 " + "        0.00 " + "      100.00 ");

  // The summary kind puts the same lines under the first line, in black at 12.
  auto s = corre("CorteZRESUMEN1");
  ASSERT_TRUE(s);
  EXPECT_EQ(s->hoja().lineas()[22], (reports::LineaHoja{"TOTAL EN CAJA                 100.00", reports::kNegroHoja, 12}));
  EXPECT_EQ(s->hoja().size(), l.size());
}

TEST_F(Reportes, CorteZColocaCadaRemisionEnSuSeccion) {
  registro("Remision.dbf", {{"CLDOC_F", "1"}, {"IMTOD_F", "10"}, {"FEDOC_F", "15/03/2025"}});
  registro("Remision.dbf", {{"CLDOC_F", "2"}, {"IMTOD_F", "30"}, {"REMIS_F", "7"}, {"FEDOC_F", "15/03/2025"}});
  registro("Remision.dbf", {{"CLDOC_F", "3"}, {"IMTOD_F", "50"}, {"STATU_F", "C"}, {"FEDOC_F", "15/03/2025"}});
  auto r = corre("CorteZ1");
  ASSERT_TRUE(r);
  EXPECT_DOUBLE_EQ(r->total(0, 2), 10);
  EXPECT_DOUBLE_EQ(r->total(1, 2), 30);
  EXPECT_DOUBLE_EQ(r->total(3, 2), 50);
  EXPECT_EQ(r->hoja().textos().back(), "TOTAL EN CAJA                  40.00");
}

TEST_F(Reportes, LasPartidasCanceladasNoLleganAUnReporteDeDetalle) {
  registro("Remisiod.dbf", {{"CLDOC_FD", "1"}, {"CLPRO_FD", "VIVA"}, {"CANTI_FD", "2"}, {"COPRO_FD", "5"},
                            {"PREDE_FD", "10"}, {"FEDOC_FD", "15/03/2025"}});
  registro("Remisiod.dbf", {{"CLDOC_FD", "1"}, {"CLPRO_FD", "MUERTA"}, {"CANTI_FD", "3"}, {"COPRO_FD", "5"},
                            {"PREDE_FD", "10"}, {"TREGI_FD", "C"}, {"FEDOC_FD", "15/03/2025"}});
  auto r = corre("VentasporArtculo1");
  ASSERT_TRUE(r);
  const V l = r->hoja().textos();
  EXPECT_EQ(l[4], std::string("      1    ") + "VIVA         " + "        2.00    " + "       10.00   " +
                      "       20.00       " + "       10.00  " + "       50.00  " + "15/03 ");
  EXPECT_EQ(l[5], std::string(24, ' ') + std::string(15, '_') + " " + std::string(14, '_') + " " + std::string(18, '_') +
                      " " + std::string(13, '_') + " " + std::string(13, '_') + " " + std::string(6, ' '));
  EXPECT_DOUBLE_EQ(r->total(0, 2), 2);
  EXPECT_EQ(l.size(), 10u);
}

TEST_F(Reportes, MargenDeUnSubtotalCeroNoDetieneElReporte) {
  registro("Remision.dbf", {{"CLDOC_F", "1"}, {"NOMBR_F", "Regalo"}, {"SUBTO_F", "0"}, {"COSTO_F", "4"},
                            {"FEDOC_F", "15/03/2025"}});
  auto r = corre("VentasyUtilidad1");
  ASSERT_TRUE(r);
  EXPECT_TRUE(b.ui.mensajes().empty());
  EXPECT_EQ(r->hoja().textos()[4], std::string("      1     ") + "Regalo        " + "        4.00 " + "        0.00  " + "       -4.00 " +
                                           "        0.00 " + "15/03 ");
}

TEST_F(Reportes, CadaComandoCorreSobreLasTablasDeLaEmpresa) {
  registro("Remision.dbf", {{"CLDOC_F", "1"}, {"IMTOD_F", "10"}, {"SUBTO_F", "10"}, {"FEDOC_F", "15/03/2025"}});
  registro("Remisiod.dbf", {{"CLDOC_FD", "1"}, {"CLPRO_FD", "A"}, {"CANTI_FD", "1"}, {"PREDE_FD", "10"},
                            {"PUNPR_FD", "10"}, {"FEDOC_FD", "15/03/2025"}});
  b.producto("A", 1, 10);
  // The document range as the dialog offers it: the table's first and last documents.
  dialogo.cambia = [](reports::FiltroReporte& f) { EXPECT_EQ(f.de, f.hasta); };
  int definiciones = 0, resumenes = 0;
  for (const auto& cmd : comandosReporteVenta()) {
    if (cmd.nombre == "-") continue;
    if (auto r = concentradoVenta(cmd.nombre, contexto(store::Documento::Remision), "01/03/2025", "31/03/2025")) {
      EXPECT_EQ(ejecutaConcentradoVenta(*r, sistema, datos, b.ui), reports::ResultadoConcentrado::Hecho) << cmd.nombre;
      ++resumenes;
      continue;
    }
    auto r = corre(cmd.nombre);
    EXPECT_TRUE(r) << cmd.nombre;
    ++definiciones;
  }
  EXPECT_EQ(definiciones, 30);
  EXPECT_EQ(resumenes, 6);
  EXPECT_TRUE(b.ui.mensajes().empty());
}

TEST_F(Reportes, GlobalDeUtilidadPorProductoConSuParteDelTotal) {
  registro("Remision.dbf", {{"CLDOC_F", "1"}, {"FEDOC_F", "15/03/2025"}});
  registro("Remision.dbf", {{"CLDOC_F", "2"}, {"FEDOC_F", "15/03/2025"}});
  registro("Remision.dbf", {{"CLDOC_F", "3"}, {"STATU_F", "C"}, {"FEDOC_F", "15/03/2025"}});
  auto partida = [&](const char* doc, const char* pro, const char* cant, const char* precio) {
    registro("Remisiod.dbf", {{"CLDOC_FD", doc}, {"CLPRO_FD", pro}, {"DEPRO_FD", std::string("Producto ") + pro},
                              {"CANTI_FD", cant}, {"PREDE_FD", precio}, {"COPRO_FD", "5"}, {"FEDOC_FD", "15/03/2025"}});
  };
  b.producto("A", 1, 10);
  b.producto("B", 1, 10);
  partida("1", "A", "2", "10");
  partida("2", "A", "1", "10");
  partida("2", "B", "1", "20");
  partida("3", "B", "9", "20");  // a cancelled document: left out
  auto r = corre("GlobaldeUtilidad1");
  ASSERT_TRUE(r);
  // A: 3 pieces, 30 sold, 15 cost, 60 % of the 50 sold, 50 % margin, in 2 documents.
  EXPECT_DOUBLE_EQ(r->total(0, 0), 4);
  EXPECT_DOUBLE_EQ(r->total(0, 5), 50);
  EXPECT_DOUBLE_EQ(r->total(0, 6), 20);
  const auto l = r->hoja().textos();
  EXPECT_EQ(l[4].substr(0, 19), "        3.00       ");
  EXPECT_NE(l[4].find("Producto A"), std::string::npos);
  EXPECT_NE(l[4].find("       60.00"), std::string::npos) << l[4];
  EXPECT_NE(l[5].find("Producto B"), std::string::npos);
  auto linea = corre("globalporLinea1");
  ASSERT_TRUE(linea);
  EXPECT_DOUBLE_EQ(linea->total(0, 1), 50);
  EXPECT_TRUE(b.ui.mensajes().empty());
}

TEST_F(Reportes, VentasPorDiaSumanFacturasYRestanDevoluciones) {
  registro("FacturaE.dbf", {{"CLDOC_F", "1"}, {"IMTOD_F", "100"}, {"CTOVE_F", "5"}, {"FEDOC_F", "15/03/2025"}});
  registro("FacturaE.dbf", {{"CLDOC_F", "2"}, {"IMTOD_F", "50"}, {"CTOVE_F", "10"}, {"FEDOC_F", "15/03/2025"}});
  registro("FacturaE.dbf", {{"CLDOC_F", "3"}, {"IMTOD_F", "70"}, {"FEDOC_F", "02/03/2025"}});
  registro("FacturaE.dbf", {{"CLDOC_F", "4"}, {"IMTOD_F", "999"}, {"STATU_F", "C"}, {"FEDOC_F", "15/03/2025"}});
  registro("FactAuxi.dbf", {{"CLDOC_F", "9"}, {"IMTOD_F", "1"}, {"FEDOC_F", "15/03/2025"}});
  registro("Devoluc.dbf", {{"CLDOC_F", "1"}, {"IMTOD_F", "20"}, {"CTOVE_F", "5"}, {"FEDOC_F", "15/03/2025"}});
  registro("Devoluc.dbf", {{"CLDOC_F", "2"}, {"IMTOD_F", "40"}, {"FEDOC_F", "01/04/2025"}});
  auto c = concentradoVenta("VentasporDa1", contexto(store::Documento::Factura), "01/03/2025", "31/03/2025");
  ASSERT_TRUE(c);
  ASSERT_EQ(ejecutaConcentradoVenta(*c, sistema, datos, b.ui), reports::ResultadoConcentrado::Hecho);
  reports::VisorConcentrado v(sistema, c->caption);
  ASSERT_TRUE(v.abre());
  ASSERT_EQ(v.registros(), 2);
  EXPECT_EQ(v.registro(0)->clave, "2025/03/02");
  EXPECT_EQ(v.registro(0)->valores[0], "70");
  EXPECT_EQ(v.registro(1)->clave, "2025/03/15");
  // 100 + 50 + 1 - 20, and the commissions 5 + 5 - 1.
  EXPECT_EQ(v.registro(1)->valores[0], "131");
  EXPECT_EQ(v.registro(1)->valores[2], "9");
  EXPECT_EQ(v.encabezados()[3], "% Comis. Vend.");
  v.TitulosGrafica(c->tituloGrafica, c->eje1, c->eje2, "");
  v.dibuja();
  EXPECT_EQ(v.grafica().puntos, (std::vector<reports::PuntoGrafica>{{"2025/03/02", 70}, {"2025/03/15", 131}}));
  EXPECT_EQ(c->tituloGrafica, "Gráfica de Ventas por Día");
}

}  // namespace
}  // namespace mostrador::sales
