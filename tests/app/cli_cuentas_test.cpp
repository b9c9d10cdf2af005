// The account commands of the command-line tool as a back office scripts them: the open
// documents with their ageing, a statement, and a payment, each a separate process over a
// real company directory.
#include <gtest/gtest.h>

#include <string>

#include "store/dbf/dbf_table.h"
#include "session/empresa_nueva.h"
#include "support/entorno.h"
#include "support/orden_cli.h"

namespace {

using namespace mostrador;

using Salida = prueba::SalidaOrden;
Salida corre(const std::string& argumentos) { return prueba::correOrden(MOSTRADOR_CLI, argumentos); }

struct CuentasCli : ::testing::Test {
  prueba::DirectorioTemporal dir;
  std::string datos = dir.str() + "/datos";
  CuentasCli() {
    session::creaDirectorioDatos(datos);
    dbf::Table c, e, p, cp;
    c.open(datos, "cliente.dbf");
    for (auto [k, n, s] : {std::tuple{"C1", "Ferretería Uno", 1300.0}, {"C2", "Tlapalería Dos", 80.0}}) {
      c.append();
      c.setText("CLCLI_C", k);
      c.setText("NOMBR_C", n);
      c.setFloat("SALDO_C", s);
      c.post();
    }
    e.open(datos, "cucobrar.dbf");
    auto asiento = [&](const char* k, const char* doc, const char* tipo, const char* op, double imp, const char* apl,
                       const char* ven) {
      e.append();
      e.setText("CLCLI_CC", k);
      e.setText("NUFAC_CC", doc);
      e.setText("NUREF_CC", doc);
      e.setText("TIMOV_CC", tipo);
      e.setText("OPERA_CC", op);
      e.setFloat("IMCUE_CC", imp);
      e.setText("FEAPL_CC", apl);
      e.setText("FEVEN_CC", ven);
      e.post();
    };
    asiento("C1", "15", "1", "C", 1000, "01/02/2025", "03/03/2025");
    asiento("C1", "16", "1", "C", 500, "20/02/2025", "20/03/2025");
    asiento("C2", "17", "1", "C", 80, "01/12/2024", "01/01/2025");
    asiento("C1", "15", "2", "A", 200, "10/02/2025", "");
    p.open(datos, "proveedo.dbf");
    p.append();
    p.setText("CLAVE_P", "P1");
    p.setText("NOMBR_P", "Aceros del Norte");
    p.setFloat("SALDO_P", 400);
    p.post();
    cp.open(datos, "cuepagar.dbf");
    cp.append();
    cp.setText("NUDOC_CP", "FAC-9");
    cp.setInteger("NUCOM_CP", 9);
    cp.setText("CLPRO_CP", "P1");
    cp.setInteger("TIMOV_CP", 51);
    cp.setText("CONCE_CP", "Compra");
    cp.setText("OPERA_CP", "C");
    cp.setFloat("IMCUE_CP", 400);
    cp.setText("FEAPL_CP", "01/03/2025");
    cp.setText("FEVEN_CP", "31/03/2025");
    cp.post();
  }
  std::string d() const { return " --datos '" + datos + "'"; }
  double saldo(const char* clave) const {
    dbf::Table t;
    t.open(datos, "cliente.dbf");
    t.setIndex("ICLACLI");
    return t.findKey({clave}) ? t.asFloat("SALDO_C") : -1;
  }
};

TEST_F(CuentasCli, AyudaYErroresDeUso) {
  for (const char* o : {"cartera", "estado-cuenta", "abono"}) {
    const Salida s = corre(std::string(o) + " --help");
    EXPECT_EQ(s.codigo, 0) << o;
    EXPECT_EQ(s.out.rfind("Uso: mostrador-cli " + std::string(o) + " clientes|proveedores", 0), 0u) << s.out;
  }
  EXPECT_NE(corre("--help").out.find("  estado-cuenta   movimientos y saldo de un cliente o proveedor\n"),
            std::string::npos);
  const std::pair<const char*, const char*> casos[] = {
      {"cartera", "mostrador-cli cartera: indique clientes o proveedores\n"},
      {"cartera socios", "mostrador-cli cartera: se espera clientes o proveedores, no socios\n"},
      {"cartera clientes C1", "mostrador-cli cartera: indique clientes o proveedores\n"},
      {"cartera clientes --vuela", "mostrador-cli cartera: opción desconocida: --vuela\n"},
      {"cartera clientes --formato csv", "mostrador-cli cartera: --formato es texto o tsv\n"},
      {"cartera clientes --fecha 31/02/2025", "mostrador-cli cartera: --fecha no es una fecha dd/MM/aaaa: 31/02/2025\n"},
      {"estado-cuenta clientes", "mostrador-cli estado-cuenta: indique clientes o proveedores y la clave\n"},
      {"abono clientes C1", "mostrador-cli abono: indique clientes o proveedores, la clave y el importe\n"},
      {"abono clientes C1 diez", "mostrador-cli abono: el importe no es un número: diez\n"},
      {"abono clientes C1 10 --concepto dos", "mostrador-cli abono: --concepto lleva un número de concepto: dos\n"},
  };
  for (const auto& [orden, error] : casos) {
    const Salida s = corre(std::string(orden) + d());
    EXPECT_EQ(s.codigo, 2) << orden;
    EXPECT_EQ(prueba::primeraLinea(s.err), error);
    EXPECT_EQ(s.out, "");
  }
  const Salida s = corre("abono clientes C1 10" + d() + " --documento");
  EXPECT_EQ(s.codigo, 2);
  EXPECT_EQ(prueba::primeraLinea(s.err), "mostrador-cli abono: falta el valor de --documento\n");
}

TEST_F(CuentasCli, CarteraYEstadoDeCuenta) {
  Salida s = corre("cartera clientes --fecha 15/03/2025 --formato tsv" + d());
  ASSERT_EQ(s.codigo, 0) << s.err;
  EXPECT_EQ(s.out,
            "Documento\tClave\tNombre\tAplicado\tVence\tSaldo\tVencimiento\n"
            "15\tC1\tFerretería Uno\t01/02/2025\t03/03/2025\t800.00\tvencido  12  dias\n"
            "16\tC1\tFerretería Uno\t20/02/2025\t20/03/2025\t500.00\tno vencido\n"
            "17\tC2\tTlapalería Dos\t01/12/2024\t01/01/2025\t80.00\tvencido  74  dias\n"
            "Total\t\t\t\t\t1380.00\t\n"
            "Por vencer\t\t\t\t\t500.00\t\n"
            "Vencido hasta 30 días\t\t\t\t\t800.00\t\n"
            "Vencido 31 a 60 días\t\t\t\t\t0.00\t\n"
            "Vencido 61 a 90 días\t\t\t\t\t80.00\t\n"
            "Vencido más de 90 días\t\t\t\t\t0.00\t\n");
  s = corre("cartera clientes --clave C2 --fecha 15/03/2025" + d());
  ASSERT_EQ(s.codigo, 0) << s.err;
  EXPECT_EQ(s.out,
            "Documento  Clave      Nombre                         Aplicado   Vence               Saldo  Vencimiento\n"
            "17         C2         Tlapalería Dos                 01/12/2024 01/01/2025          80.00  vencido  74  dias\n"
            "1 documento(s) con saldo al 15/03/2025\n"
            "Total                                                                              $80.00\n"
            "Por vencer                                                                          $0.00\n"
            "Vencido hasta 30 días                                                               $0.00\n"
            "Vencido 31 a 60 días                                                                $0.00\n"
            "Vencido 61 a 90 días                                                               $80.00\n"
            "Vencido más de 90 días                                                              $0.00\n");
  s = corre("estado-cuenta clientes C1 --formato tsv" + d());
  ASSERT_EQ(s.codigo, 0) << s.err;
  EXPECT_EQ(s.out,
            "Fecha\tDocumento\tReferencia\tTipo\tConcepto\tCargo\tAbono\tSaldo\n"
            "01/02/2025\t15\t15\t1\tCargo\t1000.00\t\t1000.00\n"
            "10/02/2025\t15\t15\t2\tAbono\t\t200.00\t800.00\n"
            "20/02/2025\t16\t16\t1\tCargo\t500.00\t\t1300.00\n"
            "Total\t\t\t\t\t1500.00\t200.00\t1300.00\n"
            "Estado\tDeudor\n");
  s = corre("estado-cuenta proveedores P1" + d());
  ASSERT_EQ(s.codigo, 0) << s.err;
  EXPECT_EQ(s.out.substr(0, s.out.find('\n')), "Proveedor P1  Aceros del Norte");
  EXPECT_EQ(s.out.substr(s.out.rfind("Saldo ")), "Saldo $400.00 Deudor\n");
  s = corre("estado-cuenta clientes C9" + d());
  EXPECT_EQ(s.codigo, 1);
  EXPECT_EQ(prueba::primeraLinea(s.err), "mostrador-cli estado-cuenta: El Cliente No Existe\n");
}

TEST_F(CuentasCli, UnAbonoSeAplicaYUnoMayorSeRechaza) {
  Salida s = corre("abono clientes C1 1300.01 --fecha 14/03/2025" + d());
  EXPECT_EQ(s.codigo, 1);
  EXPECT_EQ(prueba::primeraLinea(s.err), "mostrador-cli abono: El abono es mayor que el saldo pendiente ($1,300.00)\n");
  EXPECT_EQ(s.out, "");
  EXPECT_EQ(saldo("C1"), 1300);
  s = corre("abono clientes C1 -5" + d());
  EXPECT_EQ(s.codigo, 1);
  EXPECT_EQ(prueba::primeraLinea(s.err), "mostrador-cli abono: El importe del abono no es válido\n");

  s = corre("abono clientes C1 900 --fecha 14/03/2025" + d());
  ASSERT_EQ(s.codigo, 0) << s.err;
  EXPECT_EQ(s.out,
            "Documento 15: abono $800.00, saldo $0.00 Saldada\n"
            "Documento 16: abono $100.00, saldo $400.00 Deudor\n"
            "Abono de $900.00 al cliente C1 en 2 documento(s)\n");
  EXPECT_EQ(saldo("C1"), 400);
  s = corre("cartera clientes --clave C1 --fecha 15/03/2025 --formato tsv" + d());
  EXPECT_EQ(s.out.substr(0, s.out.find("Total")),
            "Documento\tClave\tNombre\tAplicado\tVence\tSaldo\tVencimiento\n"
            "16\tC1\tFerretería Uno\t20/02/2025\t20/03/2025\t400.00\tno vencido\n");

  s = corre("abono proveedores P1 150 --documento 9 --fecha 14/03/2025" + d());
  ASSERT_EQ(s.codigo, 0) << s.err;
  EXPECT_EQ(s.out,
            "Documento 9: abono $150.00, saldo $250.00 Deudor\n"
            "Abono de $150.00 al proveedor P1 en 1 documento(s)\n");
  s = corre("abono proveedores P1 10 --documento 8" + d());
  EXPECT_EQ(s.codigo, 1);
  EXPECT_EQ(prueba::primeraLinea(s.err), "mostrador-cli abono: El Documento No Existe\n");
  s = corre("abono proveedores P1 10 --concepto 1" + d());
  EXPECT_EQ(s.codigo, 1);
  EXPECT_EQ(prueba::primeraLinea(s.err), "mostrador-cli abono: El Movimiento No Se Encuentra\n");
}

}  // namespace

namespace {

// Deleting as the screens do, and the customer and seller reports by name.
TEST_F(CuentasCli, BorraKeepsTheScreensRefusalsAndReportePicksTheScreen) {
  {
    dbf::Table c, v;
    c.open(datos, "cliente.dbf");
    c.append();
    c.setText("CLCLI_C", "C3");
    c.setText("NOMBR_C", "Sin Deudas");
    c.post();
    v.open(datos, "vendedor.dbf");
    v.append();
    v.setText("CLVEN_V", "V1");
    v.setText("NOMBR_V", "Ana");
    v.setFloat("COMIS_V", 5);
    v.post();
  }
  const std::string d = " --datos '" + datos + "' --sistema '" + dir.str() + "'";
  auto s = corre("borra clientes C2" + d);
  EXPECT_EQ(s.codigo, 1);
  EXPECT_EQ(prueba::primeraLinea(s.err), "mostrador-cli borra: No se puede eliminar cliente con saldo\n");
  s = corre("borra proveedores P1" + d);
  EXPECT_EQ(s.codigo, 1);
  EXPECT_EQ(prueba::primeraLinea(s.err), "mostrador-cli borra: No Es Posible Eliminar un Proveedor con Saldo\n");
  s = corre("borra clientes C3 --fuerza" + d);
  EXPECT_EQ(s.codigo, 2);
  EXPECT_EQ(prueba::primeraLinea(s.err), "mostrador-cli borra: opción desconocida: --fuerza\n");
  s = corre("borra socios C3" + d);
  EXPECT_EQ(s.codigo, 2);
  s = corre("borra clientes C3" + d);
  ASSERT_EQ(s.codigo, 0) << s.err;
  EXPECT_EQ(s.out, "Borrado C3\n");
  s = corre("borra vendedores V1" + d);
  ASSERT_EQ(s.codigo, 0) << s.err;
  s = corre("borra vendedores V1" + d);
  EXPECT_EQ(prueba::primeraLinea(s.err), "mostrador-cli borra: El Vendedor No Existe\n");

  s = corre("reporte ClienteyTelefono1 --pantalla TFormaClientes --formato tsv" + d);
  ASSERT_EQ(s.codigo, 0) << s.err;
  EXPECT_NE(s.out.find("C1\tFerretería Uno\t\n"), std::string::npos) << s.out;
  EXPECT_EQ(s.out.find("C3\t"), std::string::npos);
  s = corre("reporte Saldos1 --pantalla TFormaClientes --formato tsv" + d);
  ASSERT_EQ(s.codigo, 0) << s.err;
  EXPECT_NE(s.out.find("Tlapalería Dos"), std::string::npos) << s.out;
  s = corre("reporte Comisiones1 --pantalla TFormaClientes" + d);
  EXPECT_EQ(s.codigo, 2);
  EXPECT_EQ(prueba::primeraLinea(s.err), "mostrador-cli reporte: la pantalla TFormaClientes no tiene el reporte Comisiones1\n");
  s = corre("reporte Listadode1 --pantalla TFormaVendedor" + d);
  ASSERT_EQ(s.codigo, 0) << s.err;
  EXPECT_NE(s.out.find("Reporte de Listado de Vendedores"), std::string::npos) << s.out;
}

}  // namespace
