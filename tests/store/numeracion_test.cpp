// Numbering on real files: seeding, both schemes, the purchase proposal, re-alignment,
// the document check, and several stations taking numbers at once.


#include "store/numeracion.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <optional>
#include <set>

#include "base/rutas.h"
#include "session/empresa_nueva.h"
#include "support/entorno.h"

namespace mostrador::store {
namespace {

class Numeracion : public ::testing::Test {
 protected:
  void SetUp() override {
    datos = dir.str() + "/datos";
    session::creaDirectorioDatos(datos);
  }

  void encabezados(const char* tabla, const char* campo, std::initializer_list<long long> numeros,
                   const std::string& directorio = {}) {
    dbf::Table t;
    t.open(directorio.empty() ? datos : directorio, tabla);
    for (long long n : numeros) {
      t.append();
      t.setInteger(campo, n);
      t.post();
    }
  }

  std::vector<long long> contador(const char* archivo) {
    std::vector<long long> v;
    dbf::Table t;
    t.open(datos, archivo);
    for (t.first(); !t.eof(); t.next()) v.push_back(t.asInteger("NUMERO"));
    return v;
  }

  void siembra(const char* archivo, std::initializer_list<long long> numeros) {
    dbf::Table t;
    t.open(datos, archivo, dbf::OpenMode::Exclusive);
    t.emptyTable();
    for (long long n : numeros) {
      t.append();
      t.setInteger("NUMERO", n);
      t.post();
    }
  }

  void borraContadores() {
    for (const auto& c : contadores()) base::borra(base::une(datos, c.archivo));
  }

  prueba::DirectorioTemporal dir;
  std::string datos;
};

using V = std::vector<long long>;

TEST_F(Numeracion, PrimerInicioSiembraCadaContadorConSuUltimoDocumento) {
  encabezados("Remision.dbf", "CLDOC_F", {1520, 1518, 1519});
  encabezados("FacturaE.dbf", "CLDOC_F", {77});
  borraContadores();
  EXPECT_EQ(creaContadores(datos), (std::vector<std::string>{"numero.dbf", "numerof.dbf", "numeroc.dbf"}));
  EXPECT_EQ(contador("numero.dbf"), V{1520});  // the highest, not the last appended
  EXPECT_EQ(contador("numerof.dbf"), V{77});
  EXPECT_EQ(contador("numeroc.dbf"), V{0});
  // Existing counters are left alone.
  EXPECT_TRUE(creaContadores(datos).empty());
  EXPECT_EQ(contador("numero.dbf"), V{1520});
}

TEST_F(Numeracion, SemillaCeroDaElDosAlPrimerDocumento) {
  Numerador n;
  EXPECT_EQ(n.base(contadorRemisiones()), -1);
  EXPECT_EQ(n.tomaNumero(datos, contadorRemisiones()), 2);
  EXPECT_EQ(n.base(contadorRemisiones()), 0);
  EXPECT_EQ(contador("numero.dbf"), (V{0, 2}));
}

TEST_F(Numeracion, DeMilQuinientosVeinteAMilQuinientosVeintidos) {
  siembra("numero.dbf", {1520});
  Numerador otraVentana;
  EXPECT_EQ(otraVentana.tomaNumero(datos, contadorRemisiones()), 1521);
  Numerador n;
  EXPECT_EQ(n.tomaNumero(datos, contadorRemisiones()), 1522);
  EXPECT_EQ(n.base(contadorRemisiones()), 1519);
  EXPECT_EQ(contador("numero.dbf"), (V{1520, 1521, 1522}));
}

TEST_F(Numeracion, SemillaNegativaDaBaseCero) {
  siembra("numero.dbf", {-5});
  Numerador n;
  EXPECT_EQ(n.tomaNumero(datos, contadorRemisiones()), 2);
  EXPECT_EQ(n.base(contadorRemisiones()), 0);
}

TEST_F(Numeracion, LaBaseSeLeeUnaVezHastaReiniciar) {
  siembra("numero.dbf", {100});
  Numerador n;
  EXPECT_EQ(n.tomaNumero(datos, contadorRemisiones()), 101);
  siembra("numero.dbf", {500, 501});  // re-aligned behind the window's back
  EXPECT_EQ(n.tomaNumero(datos, contadorRemisiones()), 102);  // old base 99, 3 records
  n.reinicia();
  EXPECT_EQ(n.base(contadorRemisiones()), -1);
  EXPECT_EQ(n.tomaNumero(datos, contadorRemisiones()), 503);
}

TEST_F(Numeracion, FacturaDelPuntoDeVentaSeNumeraConSuContador) {
  siembra("numero.dbf", {300});
  siembra("numerof.dbf", {40});
  Numerador n;
  dbf::Table remision, factura;
  remision.open(datos, "Remision.dbf");
  factura.open(datos, "FacturaE.dbf");
  EXPECT_EQ(n.tomaNumeroDocumento(remision), 301);
  EXPECT_EQ(remision.asInteger("CLDOC_F"), 301);
  EXPECT_EQ(n.tomaNumeroDocumento(factura), 41);
  EXPECT_EQ(factura.asInteger("CLDOC_F"), 41);
  EXPECT_EQ(n.tomaNumeroDocumento(remision), 302);
  EXPECT_EQ(contador("numero.dbf"), (V{300, 301, 302}));
  EXPECT_EQ(contador("numerof.dbf"), (V{40, 41}));
  EXPECT_EQ(remision.recordCount(), 2);
  EXPECT_EQ(factura.recordCount(), 1);
}

TEST_F(Numeracion, EsquemaDeEncabezadoReservaElNumero) {
  dbf::Table a, b;
  a.open(datos, "Remision.dbf");
  b.open(datos, "Remision.dbf");
  EXPECT_EQ(tomaNumeroEncabezado(a), 1);  // empty table
  encabezados("Remision.dbf", "CLDOC_F", {7, 3});
  EXPECT_EQ(tomaNumeroEncabezado(a), 8);
  EXPECT_EQ(a.asInteger("CLDOC_F"), 8);
  // The other station sees the reserved header and takes the next number.
  EXPECT_EQ(tomaNumeroEncabezado(b), 9);
  EXPECT_EQ(b.recordCount(), 5);
}

TEST_F(Numeracion, DosComprasSeguidasProponenElMismoNumero) {
  siembra("numeroc.dbf", {30, 40});
  Numerador n;
  dbf::Table compras;
  compras.open(datos, "ComprasE.dbf");
  EXPECT_EQ(n.proponeNumeroCompra(compras), 41);
  EXPECT_EQ(n.proponeNumeroCompra(compras), 41);
  EXPECT_EQ(contador("numeroc.dbf"), (V{30, 40}));  // only read
  EXPECT_EQ(compras.recordCount(), 2);
  // A counter that cannot be read counts as the value read before.
  base::borra(base::une(datos, "numeroc.dbf"));
  EXPECT_EQ(n.proponeNumeroCompra(compras), 41);
}

TEST_F(Numeracion, SemillaDesdeElDirectorioAlterno) {
  const std::string alterno = dir.str() + "/compartido";
  session::creaDirectorioDatos(alterno);
  encabezados("Remision.dbf", "CLDOC_F", {900}, alterno);
  encabezados("Remision.dbf", "CLDOC_F", {12});
  borraContadores();
  creaContadores(datos, alterno);
  EXPECT_EQ(contador("numero.dbf"), V{900});
  dbf::Table t;
  t.open(alterno, "numero.dbf");
  EXPECT_EQ(t.recordCount(), 1);  // the alternate directory's own counter is untouched
}

TEST_F(Numeracion, ContadorQueNoSePuedeSembrarFalla) {
  borraContadores();
  base::borra(base::une(datos, "Remision.dbf"));
  base::borra(base::une(datos, "Remision.mdx"));
  EXPECT_THROW(creaContadores(datos), dbf::Error);
}

TEST_F(Numeracion, RealineaTrasReindexar) {
  encabezados("Remision.dbf", "CLDOC_F", {1600, 1599});
  siembra("numero.dbf", {1520, 0, 0});
  Realineacion r = realineaContador(datos, contadorRemisiones());
  EXPECT_EQ(r.implicito, 1522);
  EXPECT_EQ(r.ultimo, 1600);
  EXPECT_TRUE(r.cambiado);
  EXPECT_EQ(contador("numero.dbf"), (V{1598, 0, 0}));
  Numerador n;
  EXPECT_EQ(n.tomaNumero(datos, contadorRemisiones()), 1601);
  encabezados("Remision.dbf", "CLDOC_F", {1601});  // the save of the number just taken

  r = realineaContador(datos, contadorRemisiones());
  EXPECT_FALSE(r.cambiado);
  EXPECT_EQ(r.implicito, 1601);
}

TEST_F(Numeracion, RealineaUnContadorMasLargoQueSuTabla) {
  encabezados("FacturaE.dbf", "CLDOC_F", {2});
  siembra("numerof.dbf", {1, 2, 3, 4, 5});
  Realineacion r = realineaContador(datos, contadorFacturas());
  EXPECT_EQ(r.implicito, 5);
  EXPECT_TRUE(r.cambiado);
  EXPECT_EQ(contador("numerof.dbf"), V{2});
  Numerador n;
  EXPECT_EQ(n.tomaNumero(datos, contadorFacturas()), 3);
}

// --- document check ------------------------------------------------------------------

class Revision : public Numeracion {
 protected:
  void encabezado(const char* tabla, bool compra, long long numero, std::optional<long long> control,
                  const char* estado = "", const char* origen = "") {
    dbf::Table t;
    t.open(datos, tabla);
    t.append();
    t.setInteger(compra ? "CLDOC_O" : "CLDOC_F", numero);
    if (control) t.setInteger("CONTROL", *control);
    t.setText(compra ? "STDOC_O" : "STATU_F", estado);
    if (!compra) t.setText("CLPED_F", origen);
    t.post();
  }
  void lineas(const char* tabla, bool compra, long long numero, long long control, int n) {
    dbf::Table t;
    t.open(datos, tabla);
    for (int i = 0; i < n; ++i) {
      t.append();
      t.setText(compra ? "CLDOC_OD" : "CLDOC_FD", std::to_string(numero));
      t.setInteger("CONTROL", control);
      t.setText(compra ? "CLPRO_OD" : "CLPRO_FD", "P" + std::to_string(i));
      t.post();
    }
  }
  void movimientos(const std::string& ref, int n) {
    dbf::Table t;
    t.open(datos, "movinven.dbf");
    for (int i = 0; i < n; ++i) {
      t.append();
      t.setText("NUDOC_MI", ref);
      t.post();
    }
  }
};

TEST_F(Revision, ReportaLosDocumentosCuyasPartidasNoTienenMovimientos) {
  // Delivery note 10: two lines of this save (and one of an earlier save), two movements.
  encabezado("Remision.dbf", false, 10, 4821);
  lineas("Remisiod.dbf", false, 10, 4821, 2);
  lineas("Remisiod.dbf", false, 10, 1111, 1);
  movimientos("R10-4821", 2);
  movimientos("R10-1111", 1);
  // Delivery note 11, cancelled: three lines, one movement.
  encabezado("Remision.dbf", false, 11, 500, "C");
  lineas("Remisiod.dbf", false, 11, 500, 3);
  movimientos("R11-500", 1);
  // Delivery note 110 must not take the lines of 11 nor 1 those of 10.
  encabezado("Remision.dbf", false, 110, 500);
  encabezado("Remision.dbf", false, 1, 4821);
  // Delivery note 12 was never saved.
  encabezado("Remision.dbf", false, 12, std::nullopt);
  lineas("Remisiod.dbf", false, 12, 0, 1);
  // Invoices: only those generated from other documents take part.
  encabezado("FacturaE.dbf", false, 5, 70);
  lineas("FacturaD.dbf", false, 5, 70, 2);
  encabezado("FacturaE.dbf", false, 6, 77, "", "CI(1-3)");
  lineas("FacturaD.dbf", false, 6, 77, 1);
  // Purchase 4 is complete; purchase return 3 lacks a movement and is reported as "E".
  encabezado("ComprasE.dbf", true, 4, 0);
  lineas("ComprasD.dbf", true, 4, 0, 2);
  movimientos("O4-0", 2);
  encabezado("DevolCom.dbf", true, 3, 9);
  lineas("DevolDet.dbf", true, 3, 9, 2);
  movimientos("P3-9", 1);
  // Customer return with a control of 0 (a save at midnight) still counts.
  encabezado("Devoluc.dbf", false, 2, 0);
  lineas("DevolucD.dbf", false, 2, 0, 1);

  EXPECT_EQ(verificaDocumentos(datos, datos),
            (std::vector<std::string>{"R11,500,3,1,C", "F6,77,1,0", "D2,0,1,0", "E3,9,2,1"}));
  EXPECT_EQ(verificaDocumentos(datos, datos, Documento::Compra), std::vector<std::string>{});
  EXPECT_EQ(verificaDocumentos(datos, datos, Documento::Pedido), std::vector<std::string>{});
}

TEST_F(Revision, MovimientosEnElDirectorioDelCatalogo) {
  const std::string catalogo = dir.str() + "/catalogo";
  session::creaDirectorioDatos(catalogo);
  encabezado("Remision.dbf", false, 10, 4821);
  lineas("Remisiod.dbf", false, 10, 4821, 1);
  movimientos("R10-4821", 1);  // in the data directory: not where they are looked for
  EXPECT_EQ(verificaDocumentos(datos, catalogo, Documento::Remision),
            std::vector<std::string>{"R10,4821,1,0"});
  EXPECT_EQ(verificaDocumentos(datos, datos, Documento::Remision), std::vector<std::string>{});
}

// --- several stations ------------------------------------------------------------------

TEST_F(Numeracion, CuatroEstacionesToman500NumerosCadaUna) {
  siembra("numero.dbf", {100});
  constexpr int kEstaciones = 4, kNumeros = 500;
  std::vector<pid_t> hijos;
  for (int e = 0; e < kEstaciones; ++e) {
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      int codigo = 0;
      try {
        std::ofstream salida(dir.str() + "/estacion" + std::to_string(e) + ".txt");
        Numerador n;
        for (int i = 0; i < kNumeros; ++i) salida << n.tomaNumero(datos, contadorRemisiones()) << '\n';
      } catch (...) {
        codigo = 1;
      }
      _exit(codigo);
    }
    hijos.push_back(pid);
  }
  for (pid_t pid : hijos) {
    int estado = 0;
    ASSERT_EQ(waitpid(pid, &estado, 0), pid);
    ASSERT_TRUE(WIFEXITED(estado));
    ASSERT_EQ(WEXITSTATUS(estado), 0);
  }
  std::vector<long long> todos;
  for (int e = 0; e < kEstaciones; ++e) {
    std::ifstream entrada(dir.str() + "/estacion" + std::to_string(e) + ".txt");
    std::vector<long long> propios;
    for (long long n; entrada >> n;) propios.push_back(n);
    ASSERT_EQ(propios.size(), static_cast<size_t>(kNumeros)) << "estación " << e;
    EXPECT_TRUE(std::is_sorted(propios.begin(), propios.end())) << "estación " << e;
    todos.insert(todos.end(), propios.begin(), propios.end());
  }
  std::sort(todos.begin(), todos.end());
  ASSERT_EQ(todos.size(), 2000u);
  EXPECT_EQ(std::adjacent_find(todos.begin(), todos.end()), todos.end()) << "número repetido";
  EXPECT_EQ(todos.front(), 101);
  EXPECT_EQ(todos.back(), 2100);
  // The counter holds the seed and one record per number, each with its number.
  const auto registros = contador("numero.dbf");
  ASSERT_EQ(registros.size(), 2001u);
  for (size_t i = 1; i < registros.size(); ++i) EXPECT_EQ(registros[i], 100 + static_cast<long long>(i));
}

}  // namespace
}  // namespace mostrador::store
