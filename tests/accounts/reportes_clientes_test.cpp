// The customer screen's reports: the listings as definitions run by the report runner
// (with the filter dialog's conditions, a blank state included), and the summaries run
// through the concentration generator as the viewer shows them.

#include <gtest/gtest.h>

#include "accounts/reportes_clientes.h"
#include "base/rutas.h"
#include "reports/concentrado.h"
#include "reports/filtro_reporte.h"
#include "reports/reporte_sql.h"
#include "reports/visor_concentrado.h"
#include "store/dbf/dbf_table.h"
#include "support/empresa_ventas.h"
#include "support/entorno.h"
#include "support/interaccion_fake.h"
#include "support/reloj_fijo.h"

namespace mostrador::prueba {
namespace {

using V = std::vector<std::string>;
const std::string kDatos(EmpresaVentas::kDatos);
const std::string kSistema(EmpresaVentas::kSistema);

// Conditions typed in the filter dialog.
class FiltroConCondicion : public reports::DialogoFiltro {
 public:
  explicit FiltroConCondicion(reports::CondicionCampo c) : c_(std::move(c)) {}
  bool pide(reports::FiltroReporte& f) override {
    f.condiciones[0] = c_;
    f.respuesta = 1;
    return true;
  }

 private:
  reports::CondicionCampo c_;
};

struct ReportesClientes : ::testing::Test {
  DirectorioTemporal dir;
  EmpresaVentas empresa;
  InteraccionFalsa ui;
  RelojFijo reloj{{{2025, 6, 30}, {9, 0, 0, 0}}};

  void saldo(const std::string& clave, double saldo, double compras, const std::string& zona) {
    dbf::Table t;
    t.open(kDatos, "cliente.dbf");
    t.setIndex("ICLACLI");
    ASSERT_TRUE(t.findKey({clave}));
    t.edit();
    t.setFloat("SALDO_C", saldo);
    t.setFloat("COMPR_C", compras);
    t.setText("ZONAX_C", zona);
    t.post();
  }
  V corre(const std::string& menu, reports::DialogoFiltro* dialogo = nullptr) {
    const auto d = accounts::listadoClientes(menu, kDatos);
    reports::ContextoReporte ctx{kSistema, kDatos, ui, dialogo, &reloj};
    reports::ParametrosReporte p;
    p.definicion = d->texto;
    p.tabla = "cliente.dbf";
    auto r = reports::EjecutaReporte(ctx, d->titulo, "CLCLI_C", "", p);
    V filas;
    if (!r) return filas;
    for (const auto& l : r->hoja().lineas()) {
      std::string f;
      for (size_t i = 0; i < l.celdas.size(); ++i) f += (i ? "|" : "") + l.celdas[i];
      if (!l.celdas.empty()) filas.push_back(f);
    }
    return filas;
  }
};

TEST_F(ReportesClientes, TheListingDefinitionsWordForWord) {
  const auto d = accounts::listadoClientes("ListadodeClientes1", "C:\\datos");
  ASSERT_TRUE(d);
  EXPECT_EQ(d->titulo, "Listado de Clientes");
  EXPECT_EQ(d->texto,
            "$Listado de Clientes\r"
            "& Select CLCLI_C,NOMBR_C,TELEF_C,RFCXX_C,POBLA_C,CLCLI_C\xC2\xAB from \"C:\\datos\\cliente.dbf\"\r"
            "?(CLCLI_C=CLCLI_C)\xC2\xBF\r"
            "!CLCLI_C\r"
            "%c          c                  c               c                c\r"
            "#CLIENTE    NOMBRE             TELEFONO        R.F.C.           POBLACION          \r"
            "@\r");
  const auto t = accounts::listadoClientes("ClienteyTelefono1", "C:\\datos");
  ASSERT_TRUE(t);
  EXPECT_EQ(t->texto,
            "$Cliente y Teléfono\r"
            "& Select CLCLI_C,NOMBR_C,TELEF_C from \"C:\\datos\\cliente.dbf\"\r"
            "?(CLCLI_C=CLCLI_C)\xC2\xBF\r"
            "!CLCLI_C\r"
            "%c          c                  c\r"
            "#CLIENTE    NOMBRE             TELEFONO       \r"
            "@\r");
  EXPECT_FALSE(accounts::listadoClientes("Saldos1", "C:\\datos"));
  EXPECT_FALSE(accounts::resumenClientes("ListadodeClientes1"));
}

TEST_F(ReportesClientes, AConditionOnTheStateKeepsTheCustomersWhoseStateIsBlank) {
  empresa.cliente("C1", "Uno", "", "A");
  empresa.cliente("C2", "Dos", "", "B");
  empresa.cliente("C3", "Tres");  // never given a state
  EXPECT_EQ(corre("ClienteyTelefono1"),
            (V{"CLIENTE|NOMBRE|TELEFONO", "1|Publico en General|", "C1|Uno|", "C2|Dos|", "C3|Tres|", "||"}));
  // "Estado <> B": a blank state is NULL to Local SQL and must not vanish.
  FiltroConCondicion noB({"STATU_C", "C", "<>", "B"});
  EXPECT_EQ(corre("ClienteyTelefono1", &noB),
            (V{"CLIENTE|NOMBRE|TELEFONO", "1|Publico en General|", "C1|Uno|", "C3|Tres|", "||"}));
  EXPECT_TRUE(ui.mensajes().empty());
}

TEST_F(ReportesClientes, TheSummariesAsTheViewerShowsThem) {
  empresa.cliente("C1", "Uno");
  empresa.cliente("C2", "Dos");
  saldo("C1", 150.5, 1000, "Norte");
  saldo("C2", 49.5, 250.25, "Norte");
  const auto r = accounts::resumenClientes("SaldosPorZona1");
  ASSERT_TRUE(r);
  EXPECT_EQ(r->concentrado.caption, "Reporte de Saldos por Zona");
  EXPECT_EQ(r->concentrado.tituloGrafica, "Gráfica Saldos por Zona");
  EXPECT_EQ(r->concentrado.eje1, "Clave del Cliente");
  EXPECT_EQ(r->concentrado.eje2, "Saldos");
  EXPECT_EQ(r->columnaGrafica, 1);
  ASSERT_EQ(reports::ejecutaConcentrado(r->concentrado, kSistema, kDatos, ui), reports::ResultadoConcentrado::Hecho);
  reports::VisorConcentrado v{kSistema, r->concentrado.caption};
  ASSERT_TRUE(v.abre());
  const V filas = v.lineasExportacion();
  ASSERT_GE(filas.size(), 4u);
  EXPECT_EQ(filas[0].substr(0, 17), "Zona\tNombre\tSaldo");
  // Option "D": one row per customer, the zone as key; blank zones first.
  V conZona;
  for (const auto& f : filas)
    if (f.starts_with("Norte")) conZona.push_back(f);
  ASSERT_EQ(conZona.size(), 2u);
  EXPECT_NE(conZona[0].find("Uno"), std::string::npos);
  EXPECT_NE(conZona[0].find("150.50"), std::string::npos);
  EXPECT_NE(conZona[1].find("49.50"), std::string::npos);
  v.cierra();

  const auto c = accounts::resumenClientes("Ventas1");
  ASSERT_TRUE(c);
  EXPECT_EQ(c->columnaGrafica, 3);
  EXPECT_EQ(c->concentrado.parametros.opcion, "D");
  EXPECT_EQ(c->concentrado.titulos[1], "-Nombre");
  EXPECT_EQ(c->concentrado.anchos[4], 20);
  EXPECT_EQ(c->concentrado.anchos[5], 0);
}

}  // namespace
}  // namespace mostrador::prueba
