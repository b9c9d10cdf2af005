// Receivables and payables on real tables: document balances and their due state, the
// open documents with their ageing, statements, and payments with every refusal leaving
// the files byte for byte as they were.

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <map>
#include <sstream>

#include "accounts/cuentas.h"
#include "base/rutas.h"
#include "store/dbf/dbf_table.h"
#include "support/empresa_ventas.h"
#include "support/entorno.h"
#include "support/estaciones.h"
#include "support/reloj_fijo.h"
#include "support/tienda_estaciones.h"

namespace mostrador::accounts {
namespace {

using prueba::EmpresaVentas;
using V = std::vector<std::string>;

const std::string kDatos(EmpresaVentas::kDatos);

std::string local() { return base::resuelve(kDatos).string(); }

std::string bytes(const std::string& archivo) {
  std::ifstream f(base::resuelve(base::une(kDatos, archivo)), std::ios::binary);
  std::ostringstream o;
  o << f.rdbuf();
  return o.str();
}

std::map<std::string, std::string> fotografia(const V& archivos) {
  std::map<std::string, std::string> r;
  for (const auto& a : archivos) r[a] = bytes(a);
  return r;
}

base::Fecha fecha(int d, int m, int a) { return {a, m, d}; }

struct Cuentas : ::testing::Test {
  prueba::DirectorioTemporal dir;
  EmpresaVentas emp;
  prueba::RelojFijo reloj{{{2025, 3, 15}, {10, 0, 0, 0}}};

  Cuentas() {
    emp.cliente("C1", "Ferreteria Uno");
    emp.cliente("C2", "Tlapaleria Dos");
  }

  // A receivable entry as the demo and older installations store them.
  void cobrar(const std::string& cliente, const std::string& doc, const char* tipo, const char* op, double importe,
              const std::string& aplicado, const std::string& vence = "", double saldo = 0,
              const std::string& vendedor = "V1") {
    dbf::Table t;
    t.open(kDatos, "cucobrar.dbf");
    t.append();
    t.setText("CLCLI_CC", cliente);
    t.setText("NUFAC_CC", doc);
    t.setText("NUREF_CC", doc);
    t.setText("TIMOV_CC", tipo);
    t.setText("OPERA_CC", op);
    t.setFloat("IMCUE_CC", importe);
    t.setFloat("SALDO_CC", saldo);
    t.setText("FEAPL_CC", aplicado);
    t.setText("FEVEN_CC", vence);
    t.setText("CLVEN_CC", vendedor);
    t.post();
  }

  void pagar(const std::string& proveedor, long compra, int tipo, const char* concepto, const char* op,
             double importe, const std::string& aplicado, const std::string& vence = "", const char* estado = "") {
    dbf::Table t;
    t.open(kDatos, "cuepagar.dbf");
    t.append();
    t.setText("NUDOC_CP", "FAC-" + std::to_string(compra));
    t.setInteger("NUCOM_CP", compra);
    t.setText("CLCLI_CP", proveedor);
    t.setText("CLPRO_CP", proveedor);
    t.setText("NOMBR_CP", "Proveedor " + proveedor);
    t.setInteger("TIMOV_CP", tipo);
    t.setText("CONCE_CP", concepto);
    t.setText("OPERA_CP", op);
    t.setFloat("IMCUE_CP", importe);
    t.setFloat("SALDO_CP", 0);
    t.setText("FEAPL_CP", aplicado);
    t.setText("FEVEN_CP", vence);
    t.setText("STATU_CP", estado);
    t.post();
  }

  void proveedor(const std::string& clave, const std::string& nombre, double saldo) {
    dbf::Table t;
    t.open(kDatos, "proveedo.dbf");
    t.append();
    t.setText("CLAVE_P", clave);
    t.setText("NOMBR_P", nombre);
    t.setFloat("SALDO_P", saldo);
    t.setFloat("ABONO_P", 0);
    t.post();
  }

  void compra(long numero, const std::string& proveedor, double total) {
    dbf::Table t;
    t.open(kDatos, "ComprasE.dbf");
    t.append();
    t.setInteger("CLDOC_O", numero);
    t.setText("CLPRV_O", proveedor);
    t.setFloat("IMDOC_O", total);
    t.setFloat("ABONO_O", 0);
    t.setFloat("SALDO_O", total);
    t.post();
  }

  void saldoCliente(const std::string& clave, double saldo) {
    dbf::Table t;
    t.open(kDatos, "cliente.dbf");
    t.setIndex("ICLACLI");
    ASSERT_TRUE(t.findKey({clave}));
    t.edit();
    t.setFloat("SALDO_C", saldo);
    t.setFloat("ABONO_C", 0);
    t.post();
  }

  // Each live entry as "document|type|operation|amount|balance" from the file's bytes.
  V entradas(const char* tabla = "cucobrar.dbf") const {
    const bool cc = std::string(tabla) == "cucobrar.dbf";
    const prueba::TablaCruda t = prueba::leeTablaCruda(local(), tabla);
    EXPECT_EQ(t.error, "");
    V r;
    for (const auto& f : t.filas) {
      if (cc)
        r.push_back(f.at("NUFAC_CC") + "|" + f.at("TIMOV_CC") + "|" + f.at("OPERA_CC") + "|" + f.at("IMCUE_CC") + "|" +
                    f.at("SALDO_CC"));
      else
        r.push_back(f.at("NUCOM_CP") + "|" + f.at("TIMOV_CP") + "|" + f.at("OPERA_CP") + "|" + f.at("IMCUE_CP") + "|" +
                    f.at("SALDO_CP"));
    }
    return r;
  }
};

TEST(Vencimiento, CadaMesCuentaTreintaDias) {
  EXPECT_EQ(diaComercial(fecha(1, 1, 1980)), 1);
  // 2024 is a leap year: from March on one day more.
  EXPECT_EQ(diaComercial(fecha(29, 2, 2024)), 44 * 365 + 11 + 60 + 29 - 30);
  EXPECT_EQ(diaComercial(fecha(1, 3, 2024)), 44 * 365 + 11 + 90 + 1 - 30 + 1);
  EXPECT_EQ(diaComercial(fecha(31, 1, 2025)), diaComercial(fecha(1, 2, 2025)));

  EXPECT_EQ(textoVencimiento("31/01/2025", fecha(1, 2, 2025)), "Se vence Hoy");
  EXPECT_EQ(textoVencimiento("31/01/2025", fecha(31, 1, 2025)), "Se vence Hoy");
  EXPECT_EQ(textoVencimiento("10/03/2025", fecha(15, 3, 2025)), "vencido  5  dias");
  EXPECT_EQ(textoVencimiento("31/01/2025", fecha(1, 3, 2025)), "vencido  30  dias");
  // A year counts 365 days, its months 360: December to March is 94 days.
  EXPECT_EQ(textoVencimiento("15/12/2024", fecha(15, 3, 2025)), "vencido  94  dias");
  EXPECT_EQ(textoVencimiento("16/03/2025", fecha(15, 3, 2025)), "no vencido");
  EXPECT_EQ(textoVencimiento("01/04/2025", fecha(31, 3, 2025)), "no vencido");
  EXPECT_EQ(textoVencimiento("", fecha(15, 3, 2025)), "");
  EXPECT_EQ(textoVencimiento("31/02/2025", fecha(15, 3, 2025)), "");

  EXPECT_EQ(textoSaldo(0), "$0.00");
  EXPECT_EQ(textoSaldo(1234567.805), "$1,234,567.81");
  EXPECT_EQ(textoSaldo(-50), "$-50.00");
  EXPECT_EQ(textoEstado(0.005), "Saldada");
  EXPECT_EQ(textoEstado(0.006), "Deudor");
  EXPECT_EQ(textoEstado(-20), "Saldada");
}

TEST_F(Cuentas, ElSaldoDelDocumentoSumaSusAsientosYQuedaEnElPrimero) {
  cobrar("C1", "100", "1", "C", 1000, "01/02/2025", "03/03/2025", 1000);
  cobrar("C2", "7", "1", "C", 80, "01/02/2025");
  cobrar("C1", "100", "2", "A", 300, "05/02/2025", "", 0);
  cobrar("C1", "100", "2", "A", 700, "06/02/2025", "", 0);

  auto d = detalleDocumento(kDatos, Cartera::Clientes, "100", fecha(15, 3, 2025));
  ASSERT_TRUE(d);
  EXPECT_EQ(d->saldoTexto, "$0.00");
  EXPECT_EQ(d->estado, "Saldada");
  EXPECT_EQ(d->clave, "C1");
  EXPECT_EQ(d->aplicado, "01/02/2025");
  EXPECT_EQ(d->vence, "03/03/2025");
  EXPECT_EQ(d->vencimiento, "vencido  12  dias");
  ASSERT_EQ(d->asientos.size(), 3u);
  EXPECT_EQ(d->asientos[0].concepto, "Cargo");
  EXPECT_EQ(d->asientos[1].concepto, "Abono");
  EXPECT_EQ(d->asientos[2].importe, 700);
  EXPECT_EQ(d->asientos[0].registro, 1u);
  EXPECT_EQ(d->asientos[2].registro, 4u);
  // The first entry's stored 1000 became the balance; the others keep theirs.
  EXPECT_EQ(entradas(), (V{"100|1|C|1000.0000|0.0000", "7|1|C|80.0000|0.0000", "100|2|A|300.0000|0.0000",
                           "100|2|A|700.0000|0.0000"}));

  cobrar("C1", "100", "1", "C", 50, "10/03/2025");
  d = detalleDocumento(kDatos, Cartera::Clientes, "100", fecha(15, 3, 2025));
  ASSERT_TRUE(d);
  EXPECT_EQ(d->saldoTexto, "$50.00");
  EXPECT_EQ(d->estado, "Deudor");
  EXPECT_DOUBLE_EQ(d->saldo, 50);
  EXPECT_EQ(entradas()[0], "100|1|C|1000.0000|50.0000");
  EXPECT_DOUBLE_EQ(d->asientos[0].saldo, 50);

  // A second reading with the balance already stored writes nothing.
  const std::string antes = bytes("cucobrar.dbf");
  ASSERT_TRUE(detalleDocumento(kDatos, Cartera::Clientes, "100", fecha(15, 3, 2025)));
  EXPECT_EQ(bytes("cucobrar.dbf"), antes);

  EXPECT_FALSE(detalleDocumento(kDatos, Cartera::Clientes, "10", fecha(15, 3, 2025)));
  const auto sinFecha = detalleDocumento(kDatos, Cartera::Clientes, "7", fecha(15, 3, 2025));
  ASSERT_TRUE(sinFecha);
  EXPECT_EQ(sinFecha->vencimiento, "");
  EXPECT_EQ(sinFecha->saldoTexto, "$80.00");
}

TEST_F(Cuentas, LasCuentasPorPagarDeUnaCompraCanceladaNoCuentan) {
  proveedor("P1", "Aceros del Norte", 0);
  pagar("P1", 12, 51, "Compra", "C", 1000, "01/03/2025", "31/03/2025");
  pagar("P1", 12, 2, "Abono", "A", 300, "02/03/2025");
  pagar("P1", 12, 2, "Abono", "A", 700, "03/03/2025");
  pagar("P1", 13, 51, "Compra", "C", 400, "01/03/2025", "10/03/2025", "C");
  auto d = detalleDocumento(kDatos, Cartera::Proveedores, "12", fecha(15, 3, 2025));
  ASSERT_TRUE(d);
  EXPECT_EQ(d->saldoTexto, "$0.00");
  EXPECT_EQ(d->estado, "Saldada");
  EXPECT_EQ(d->vencimiento, "no vencido");
  EXPECT_EQ(d->asientos[0].concepto, "Compra");
  EXPECT_EQ(d->asientos[0].referencia, "FAC-12");
  pagar("P1", 12, 1, "Cargo", "C", 50, "04/03/2025");
  d = detalleDocumento(kDatos, Cartera::Proveedores, "12", fecha(15, 3, 2025));
  EXPECT_EQ(d->saldoTexto, "$50.00");
  EXPECT_EQ(d->estado, "Deudor");

  const auto cancelada = detalleDocumento(kDatos, Cartera::Proveedores, "13", fecha(15, 3, 2025));
  ASSERT_TRUE(cancelada);
  EXPECT_EQ(cancelada->asientos.size(), 1u);
  EXPECT_EQ(cancelada->saldoTexto, "$0.00");
  EXPECT_EQ(cancelada->estado, "Saldada");
  EXPECT_EQ(entradas("cuepagar.dbf"), (V{"12|51|C|1000.0000|50.0000", "12|2|A|300.0000|0.0000",
                                         "12|2|A|700.0000|0.0000", "13|51|C|400.0000|0.0000",
                                         "12|1|C|50.0000|0.0000"}));
  EXPECT_FALSE(detalleDocumento(kDatos, Cartera::Proveedores, "FAC-12", fecha(15, 3, 2025)));
  EXPECT_FALSE(tieneSaldoAbierto(kDatos, Cartera::Proveedores, "P2"));
  EXPECT_TRUE(tieneSaldoAbierto(kDatos, Cartera::Proveedores, "P1"));
  const ReporteCartera r = cartera(kDatos, Cartera::Proveedores, fecha(15, 3, 2025));
  ASSERT_EQ(r.documentos.size(), 1u);
  EXPECT_EQ(r.documentos[0].nombre, "Aceros del Norte");
  EXPECT_DOUBLE_EQ(r.total, 50);
}

TEST_F(Cuentas, LaCarteraListaLosDocumentosAbiertosPorClaveYAntiguedad) {
  cobrar("C2", "20", "1", "C", 500, "01/01/2025", "10/01/2025");      // 65 days
  cobrar("C1", "11", "1", "C", 100, "01/03/2025", "20/03/2025");      // not yet due
  cobrar("C1", "10", "1", "C", 200, "01/02/2025", "15/03/2025");      // due today
  cobrar("C1", "12", "1", "C", 300, "01/01/2025", "");                // no due date
  cobrar("C1", "13", "1", "C", 40, "01/10/2024", "01/11/2024");       // 138 days
  cobrar("C1", "14", "1", "C", 90, "01/01/2025", "01/02/2025");       // settled
  cobrar("C1", "14", "2", "A", 90, "02/02/2025");
  cobrar("C2", "21", "1", "C", 60, "01/02/2025", "13/02/2025");       // 32 days
  cobrar("C9", "30", "1", "C", 10, "01/02/2025", "01/03/2025");       // a key not in the table

  const ReporteCartera r = cartera(kDatos, Cartera::Clientes, fecha(15, 3, 2025));
  V filas;
  for (const DocumentoAbierto& d : r.documentos)
    filas.push_back(d.clave + "|" + d.documento + "|" + d.nombre + "|" + d.vence + "|" + std::to_string(d.saldo) + "|" +
                    d.vencimiento);
  EXPECT_EQ(filas, (V{"C1|13|Ferreteria Uno|01/11/2024|40.000000|vencido  138  dias",
                      "C1|12|Ferreteria Uno||300.000000|",
                      "C1|10|Ferreteria Uno|15/03/2025|200.000000|Se vence Hoy",
                      "C1|11|Ferreteria Uno|20/03/2025|100.000000|no vencido",
                      "C2|20|Tlapaleria Dos|10/01/2025|500.000000|vencido  65  dias",
                      "C2|21|Tlapaleria Dos|13/02/2025|60.000000|vencido  32  dias",
                      "C9|30||01/03/2025|10.000000|vencido  14  dias"}));
  EXPECT_DOUBLE_EQ(r.total, 1210);
  EXPECT_DOUBLE_EQ(r.porVencer, 400);
  EXPECT_DOUBLE_EQ(r.vencido30, 210);
  EXPECT_DOUBLE_EQ(r.vencido60, 60);
  EXPECT_DOUBLE_EQ(r.vencido90, 500);
  EXPECT_DOUBLE_EQ(r.vencidoMas, 40);

  const ReporteCartera uno = cartera(kDatos, Cartera::Clientes, fecha(15, 3, 2025), "C2");
  ASSERT_EQ(uno.documentos.size(), 2u);
  EXPECT_DOUBLE_EQ(uno.total, 560);
  EXPECT_TRUE(cartera(kDatos, Cartera::Clientes, fecha(15, 3, 2025), "C5").documentos.empty());

  EXPECT_TRUE(tieneSaldoAbierto(kDatos, Cartera::Clientes, "C1"));
  EXPECT_FALSE(tieneSaldoAbierto(kDatos, Cartera::Clientes, "1"));
  // An overpaid document is a balance too: the customer cannot go.
  cobrar("1", "40", "1", "C", 10, "01/02/2025");
  cobrar("1", "40", "2", "A", 10.01, "01/02/2025");
  EXPECT_TRUE(tieneSaldoAbierto(kDatos, Cartera::Clientes, "1"));
}

TEST_F(Cuentas, ElEstadoDeCuentaOrdenaPorFechaYLlevaElSaldo) {
  cobrar("C1", "11", "1", "C", 100, "03/02/2025", "20/03/2025");
  cobrar("C1", "10", "1", "C", 200, "01/02/2025", "15/03/2025");
  cobrar("C2", "20", "1", "C", 500, "01/01/2025");
  cobrar("C1", "10", "2", "A", 150, "05/02/2025");
  cobrar("C1", "11", "2", "A", 100, "03/02/2025");
  const auto e = estadoCuenta(kDatos, Cartera::Clientes, "C1");
  ASSERT_TRUE(e);
  EXPECT_EQ(e->nombre, "Ferreteria Uno");
  V filas;
  for (const Asiento& a : e->movimientos)
    filas.push_back(a.aplicado + "|" + a.documento + "|" + a.operacion + "|" + std::to_string(a.importe) + "|" +
                    std::to_string(a.saldo) + "|" + a.concepto);
  EXPECT_EQ(filas, (V{"01/02/2025|10|C|200.000000|200.000000|Cargo", "03/02/2025|11|C|100.000000|300.000000|Cargo",
                      "03/02/2025|11|A|100.000000|200.000000|Abono", "05/02/2025|10|A|150.000000|50.000000|Abono"}));
  EXPECT_DOUBLE_EQ(e->saldo, 50);
  EXPECT_EQ(e->estado, "Deudor");
  const auto vacio = estadoCuenta(kDatos, Cartera::Clientes, "1");
  ASSERT_TRUE(vacio);
  EXPECT_TRUE(vacio->movimientos.empty());
  EXPECT_EQ(vacio->estado, "Saldada");
  EXPECT_FALSE(estadoCuenta(kDatos, Cartera::Clientes, "C7"));
}

TEST_F(Cuentas, UnAbonoRechazadoDiceElMotivoYNoEscribeNada) {
  cobrar("C1", "10", "1", "C", 200, "01/02/2025", "15/03/2025", 200);
  cobrar("C1", "11", "1", "C", 100, "03/02/2025", "20/03/2025", 100);
  cobrar("C2", "20", "1", "C", 90, "01/02/2025", "", 0);
  cobrar("C2", "20", "2", "A", 90, "01/02/2025", "", 0);
  saldoCliente("C1", 300);
  {
    // A concept that is a charge is no payment concept.
    dbf::Table t;
    t.open(kDatos, "Concepto.dbf");
    t.append();
    t.setInteger("TIMOV_MO", 9);
    t.setText("CONCE_MO", "Intereses");
    t.setText("TIPOO_MO", "C");
    t.post();
  }
  const V archivos{"cucobrar.dbf", "cucobrar.mdx", "cliente.dbf", "cliente.mdx"};
  const auto antes = fotografia(archivos);
  auto intenta = [&](Abono a) {
    std::vector<AbonoAplicado> ap{{"x", 1, 1}};
    const std::string m = abona(kDatos, Cartera::Clientes, a, reloj, &ap);
    EXPECT_TRUE(ap.empty()) << m;
    return m;
  };
  const base::Fecha hoy = fecha(15, 3, 2025);
  EXPECT_EQ(intenta({"C8", 10, hoy, "", 2}), "El Cliente No Existe");
  EXPECT_EQ(intenta({"C1", 0, hoy, "", 2}), "El importe del abono no es válido");
  EXPECT_EQ(intenta({"C1", -5, hoy, "", 2}), "El importe del abono no es válido");
  EXPECT_EQ(intenta({"C1", 0.004, hoy, "", 2}), "El importe del abono no es válido");
  EXPECT_EQ(intenta({"C2", 10, hoy, "", 2}), "El cliente no tiene documentos pendientes");
  EXPECT_EQ(intenta({"C1", 10, hoy, "20", 2}), "El Documento No Existe");
  EXPECT_EQ(intenta({"C1", 10, hoy, "99", 2}), "El Documento No Existe");
  EXPECT_EQ(intenta({"C1", 300.01, hoy, "", 2}), "El abono es mayor que el saldo pendiente ($300.00)");
  EXPECT_EQ(intenta({"C1", 100.01, hoy, "11", 2}), "El abono es mayor que el saldo pendiente ($100.00)");
  EXPECT_EQ(intenta({"C2", 5, hoy, "20", 2}), "El abono es mayor que el saldo pendiente ($0.00)");
  EXPECT_EQ(intenta({"C1", 50, hoy, "", 7}), "El Movimiento No Se Encuentra");
  EXPECT_EQ(intenta({"C1", 50, hoy, "", 9}), "El Movimiento No Se Encuentra");
  EXPECT_EQ(fotografia(archivos), antes);

  // A station holding the customer's record: the payment waits, then gives up whole.
  setenv("MOSTRADOR_ESPERA_MS", "200", 1);
  prueba::Canal listo, suelta;
  const pid_t otra = prueba::estacion([&] {
    dbf::Table t;
    t.open(kDatos, "cliente.dbf");
    t.setIndex("ICLACLI");
    t.findKey({"C1"});
    t.edit();
    listo.avisa();
    suelta.aguarda();
    t.cancel();
    return 0;
  });
  listo.aguarda();
  EXPECT_EQ(intenta({"C1", 50, hoy, "", 2}),
            "No se puede guardar: el cliente C1 está en uso por otra estación; intente de nuevo.");
  suelta.avisa();
  EXPECT_EQ(prueba::espera(otra), 0);
  unsetenv("MOSTRADOR_ESPERA_MS");
  EXPECT_EQ(fotografia(archivos), antes);
}

TEST_F(Cuentas, UnAbonoSinDocumentoPagaPrimeroLoMasVencido) {
  cobrar("C1", "10", "1", "C", 500, "01/02/2025", "10/03/2025", 500, "V7");
  cobrar("C2", "20", "1", "C", 90, "01/02/2025", "01/02/2025", 90);
  cobrar("C1", "11", "1", "C", 300, "05/02/2025", "01/03/2025", 300, "V8");
  cobrar("C1", "12", "1", "C", 80, "05/02/2025", "01/03/2025", 80);
  cobrar("C1", "12", "2", "A", 80, "06/02/2025");
  saldoCliente("C1", 800);

  std::vector<AbonoAplicado> ap;
  EXPECT_EQ(abona(kDatos, Cartera::Clientes, {"C1", 600, fecha(14, 3, 2025), "", 2}, reloj, &ap), "");
  ASSERT_EQ(ap.size(), 2u);
  EXPECT_EQ(ap[0].documento, "11");
  EXPECT_DOUBLE_EQ(ap[0].importe, 300);
  EXPECT_DOUBLE_EQ(ap[0].saldo, 0);
  EXPECT_EQ(ap[1].documento, "10");
  EXPECT_DOUBLE_EQ(ap[1].importe, 300);
  EXPECT_DOUBLE_EQ(ap[1].saldo, 200);

  const prueba::TablaCruda t = prueba::leeTablaCruda(local(), "cucobrar.dbf");
  ASSERT_EQ(t.filas.size(), 7u);
  V nuevas;
  for (size_t i = 5; i < 7; ++i) {
    const auto& f = t.filas[i];
    nuevas.push_back(f.at("CLCLI_CC") + "|" + f.at("NUFAC_CC") + "|" + f.at("NUREF_CC") + "|" + f.at("TIMOV_CC") + "|" +
                     f.at("OPERA_CC") + "|" + f.at("IMCUE_CC") + "|" + f.at("SALDO_CC") + "|" + f.at("FEAPL_CC") + "|" +
                     f.at("FEVEN_CC") + "|" + f.at("CLVEN_CC"));
  }
  EXPECT_EQ(nuevas, (V{"C1|11|11|2|A|300.0000|0.0000|14/03/2025||V8", "C1|10|10|2|A|300.0000|200.0000|14/03/2025||V7"}));
  EXPECT_EQ(t.filas[0].at("SALDO_CC"), "200.0000");
  EXPECT_EQ(t.filas[2].at("SALDO_CC"), "0.0000");
  EXPECT_EQ(t.filas[1].at("SALDO_CC"), "90.0000");
  EXPECT_DOUBLE_EQ(emp.numero("cliente.dbf", "CLCLI_C", "C1", "SALDO_C"), 200);
  EXPECT_DOUBLE_EQ(emp.numero("cliente.dbf", "CLCLI_C", "C1", "ABONO_C"), 600);
  EXPECT_DOUBLE_EQ(emp.numero("cliente.dbf", "CLCLI_C", "C2", "SALDO_C"), 0);

  // To the one document named, dated by the clock when no date is given.
  EXPECT_EQ(abona(kDatos, Cartera::Clientes, {"C1", 200, {}, "10", 2}, reloj, &ap), "");
  ASSERT_EQ(ap.size(), 1u);
  EXPECT_DOUBLE_EQ(ap[0].saldo, 0);
  EXPECT_EQ(entradas().back(), "10|2|A|200.0000|0.0000");
  EXPECT_EQ(prueba::leeTablaCruda(local(), "cucobrar.dbf").filas.back().at("FEAPL_CC"), "15/03/2025");
  EXPECT_EQ(detalleDocumento(kDatos, Cartera::Clientes, "10", fecha(15, 3, 2025))->estado, "Saldada");
  EXPECT_EQ(abona(kDatos, Cartera::Clientes, {"C1", 1, {}, "", 2}, reloj), "El cliente no tiene documentos pendientes");
  EXPECT_FALSE(tieneSaldoAbierto(kDatos, Cartera::Clientes, "C1"));
}

TEST_F(Cuentas, UnCentavoQueSobraPorRedondeoVaAlUltimoDocumento) {
  cobrar("C1", "10", "1", "C", 33.3333, "01/02/2025", "01/03/2025", 33.3333);
  cobrar("C1", "11", "1", "C", 66.6666, "01/02/2025", "02/03/2025", 66.6666);
  saldoCliente("C1", 99.9999);
  std::vector<AbonoAplicado> ap;
  EXPECT_EQ(abona(kDatos, Cartera::Clientes, {"C1", 100, fecha(14, 3, 2025), "", 2}, reloj, &ap), "");
  ASSERT_EQ(ap.size(), 2u);
  EXPECT_DOUBLE_EQ(ap[0].importe + ap[1].importe, 100);
  EXPECT_EQ(entradas(), (V{"10|1|C|33.3333|0.0000", "11|1|C|66.6666|-0.0001", "10|2|A|33.3333|0.0000",
                           "11|2|A|66.6667|-0.0001"}));
  EXPECT_DOUBLE_EQ(emp.numero("cliente.dbf", "CLCLI_C", "C1", "SALDO_C"), -0.0001);
}

TEST_F(Cuentas, UnaClaveConsecutivaSeEncuentraComoSeTecleaYSeCopiaComoEsta) {
  // Consecutive keys in a text field are right-aligned to its ten characters.
  const std::string clave = "         5";
  emp.cliente(clave, "Cliente Cinco");
  cobrar(clave, "50", "1", "C", 100, "01/03/2025", "05/03/2025", 100);
  saldoCliente(clave, 100);
  EXPECT_EQ(abona(kDatos, Cartera::Clientes, {"5", 40, fecha(14, 3, 2025), "", 2}, reloj), "");
  EXPECT_EQ(emp.filas("cucobrar.dbf", {"CLCLI_CC", "OPERA_CC", "IMCUE_CC"}),
            (V{clave + "|C|100.0000", clave + "|A|40.0000"}));
  EXPECT_DOUBLE_EQ(emp.numero("cliente.dbf", "CLCLI_C", clave, "SALDO_C"), 60);
  const auto e = estadoCuenta(kDatos, Cartera::Clientes, "5");
  ASSERT_TRUE(e);
  EXPECT_EQ(e->clave, "5");
  EXPECT_EQ(e->movimientos.size(), 2u);
  EXPECT_EQ(cartera(kDatos, Cartera::Clientes, fecha(14, 3, 2025), "5").documentos.at(0).nombre, "Cliente Cinco");
  EXPECT_TRUE(tieneSaldoAbierto(kDatos, Cartera::Clientes, clave));
}

TEST_F(Cuentas, UnAbonoAProveedorBajaSuSaldoYElDeLaCompra) {
  proveedor("P1", "Aceros del Norte", 1400);
  compra(12, "P1", 1000);
  compra(13, "P1", 400);
  pagar("P1", 12, 51, "Compra", "C", 1000, "01/03/2025", "31/03/2025");
  pagar("P1", 13, 51, "Compra", "C", 400, "02/03/2025", "10/03/2025");
  pagar("P1", 14, 51, "Compra", "C", 999, "02/03/2025", "01/03/2025", "C");

  const V archivos{"cuepagar.dbf", "cuepagar.mdx", "proveedo.dbf", "ComprasE.dbf"};
  const auto antes = fotografia(archivos);
  const base::Fecha hoy = fecha(15, 3, 2025);
  EXPECT_EQ(abona(kDatos, Cartera::Proveedores, {"P9", 10, hoy, "", 2}, reloj), "El Proveedor No Existe");
  EXPECT_EQ(abona(kDatos, Cartera::Proveedores, {"P1", 10, hoy, "14", 2}, reloj),
            "El abono es mayor que el saldo pendiente ($0.00)");
  EXPECT_EQ(abona(kDatos, Cartera::Proveedores, {"P1", 1400.01, hoy, "", 2}, reloj),
            "El abono es mayor que el saldo pendiente ($1,400.00)");
  EXPECT_EQ(abona(kDatos, Cartera::Proveedores, {"P1", 10, hoy, "X", 2}, reloj), "El Documento No Existe");
  EXPECT_EQ(fotografia(archivos), antes);
  proveedor("P2", "Sin Compras", 0);
  EXPECT_EQ(abona(kDatos, Cartera::Proveedores, {"P2", 10, hoy, "", 2}, reloj),
            "El proveedor no tiene documentos pendientes");

  std::vector<AbonoAplicado> ap;
  EXPECT_EQ(abona(kDatos, Cartera::Proveedores, {"P1", 500, hoy, "", 2}, reloj, &ap), "");
  ASSERT_EQ(ap.size(), 2u);
  EXPECT_EQ(ap[0].documento, "13");
  EXPECT_EQ(ap[1].documento, "12");
  EXPECT_EQ(entradas("cuepagar.dbf"),
            (V{"12|51|C|1000.0000|900.0000", "13|51|C|400.0000|0.0000", "14|51|C|999.0000|0.0000",
               "13|2|A|400.0000|0.0000", "12|2|A|100.0000|900.0000"}));
  const prueba::TablaCruda t = prueba::leeTablaCruda(local(), "cuepagar.dbf");
  const auto& f = t.filas[4];
  EXPECT_EQ(f.at("NUDOC_CP") + "|" + f.at("CLCLI_CP") + "|" + f.at("CLPRO_CP") + "|" + f.at("NOMBR_CP") + "|" +
                f.at("CONCE_CP") + "|" + f.at("FEAPL_CP") + "|" + f.at("STATU_CP"),
            "FAC-12|P1|P1|Proveedor P1|Abono|15/03/2025|");
  EXPECT_DOUBLE_EQ(emp.numero("proveedo.dbf", "CLAVE_P", "P1", "SALDO_P"), 900);
  EXPECT_DOUBLE_EQ(emp.numero("proveedo.dbf", "CLAVE_P", "P1", "ABONO_P"), 500);
  EXPECT_EQ(emp.filas("ComprasE.dbf", {"CLDOC_O", "ABONO_O", "SALDO_O"}),
            (V{"12|100.0000|900.0000", "13|400.0000|0.0000"}));
}

}  // namespace
}  // namespace mostrador::accounts

namespace mostrador::accounts {
namespace {

TEST_F(Cuentas, ElEstadoDetalladoListaCadaProveedorDelRangoConSusMovimientos) {
  proveedor("P1", "Aceros del Norte", 0);
  proveedor("P2", "Bombas y Válvulas", 0);
  proveedor("P3", "Sin Movimientos", 0);
  pagar("P1", 12, 51, "Compra", "C", 1000, "01/03/2025", "31/03/2025");
  pagar("P1", 12, 2, "Abono", "A", 300, "02/03/2025");
  pagar("P2", 14, 51, "Compra", "C", 80.5, "05/03/2025", "20/03/2025");
  const auto l = estadoDetallado(kDatos, Cartera::Proveedores, "P1", "P3", fecha(15, 3, 2025));
  // Document 12, date 11, concept 20, then charge, credit and balance right-aligned in 15.
  const std::vector<std::string> esperado{
      "Reporte de Cuentas por Cobrar Detallado al Día 15/03/2025",
      "",
      "Documento   Fecha      Concepto                      Cargo          Abono          Saldo",
      "",
      "P1  Aceros del Norte",
      "12          01/03/2025 Compra                    $1,000.00                     $1,000.00",
      "12          02/03/2025 Abono                                      $300.00        $700.00",
      "                                                             Saldo Deudor        $700.00",
      "",
      "P2  Bombas y Válvulas",
      "14          05/03/2025 Compra                       $80.50                        $80.50",
      "                                                             Saldo Deudor         $80.50",
      "",
      "Total                                                                            $780.50"};
  EXPECT_EQ(l, esperado);
  // A range that leaves P1 out.
  const auto solo2 = estadoDetallado(kDatos, Cartera::Proveedores, "P2", "P2", fecha(15, 3, 2025));
  EXPECT_EQ(solo2.back(), "Total                                                                             $80.50");
}

TEST_F(Cuentas, ElEstadoDeUnaCompraLlevaElSaldoMovimientoAMovimiento) {
  proveedor("P1", "Aceros del Norte", 0);
  pagar("P1", 12, 51, "Compra", "C", 1000, "01/03/2025", "10/03/2025");
  pagar("P1", 12, 2, "Abono", "A", 300, "02/03/2025");
  pagar("P1", 12, 1, "Cargo", "C", 50, "04/03/2025");
  const auto d = detalleDocumento(kDatos, Cartera::Proveedores, "12", fecha(15, 3, 2025));
  ASSERT_TRUE(d);
  const std::vector<std::string> esperado{
      "Estado de Cuenta de la Compra No. 12 al Día 15/03/2025",
      "",
      "Proveedor P1",
      "Fecha de Aplicacion 01/03/2025   Fecha de Vencimiento 10/03/2025   vencido  5  dias",
      "",
      "Referencia  Fecha      Concepto                      Cargo          Abono          Saldo",
      "FAC-12      01/03/2025 Compra                    $1,000.00                     $1,000.00",
      "FAC-12      02/03/2025 Abono                                      $300.00        $700.00",
      "FAC-12      04/03/2025 Cargo                        $50.00                       $750.00",
      "",
      "                                                             Saldo Deudor        $750.00"};
  EXPECT_EQ(estadoDocumento(Cartera::Proveedores, *d, fecha(15, 3, 2025)), esperado);
}

}  // namespace
}  // namespace mostrador::accounts
