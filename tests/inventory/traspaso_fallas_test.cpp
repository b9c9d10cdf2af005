// A transfer between two companies meets a death at each of its writes and a failed sync
// at each of its syncs: read back from the bytes, both companies always hold the whole
// transfer or nothing of it, and the origin's stock always agrees with its movements.
#include <gtest/gtest.h>
#include <unistd.h>

#include "base/rutas.h"
#include "inventory/movimientos.h"
#include "session/empresa_nueva.h"
#include "store/dbf/dbf_table.h"
#include "store/dbf/journal.h"
#include "support/empresa_ventas.h"
#include "support/entorno.h"
#include "support/estaciones.h"
#include "support/reloj_fijo.h"
#include "support/tienda_estaciones.h"

namespace mostrador::prueba {
namespace {

constexpr std::string_view kSucursal = "C:\\sucursal";

int escrituras = 0, muereEn = 0;
void cuentaEscritura(const std::filesystem::path&, off_t, size_t) {
  if (++escrituras == muereEn) _exit(9);
}
int sincronizaciones = 0, fallaEn = 0;
int sincroniza(int fd) {
  if (++sincronizaciones == fallaEn) {
    errno = EIO;
    return -1;
  }
  return ::fdatasync(fd);
}

struct TraspasoFallas : ::testing::Test {
  DirectorioTemporal dir;
  EmpresaVentas empresa;
  RelojFijo reloj{{{2025, 7, 14}, {10, 30, 0, 0}}};
  TraspasoFallas() {
    session::creaDirectorioDatos(std::string(kSucursal));
    for (const char* clave : {"A", "B"}) {
      ProductoVenta p;
      p.clave = clave;
      p.descripcion = std::string("PRODUCTO ") + clave;
      p.existencia = 10;
      empresa.producto(p);
    }
    dbf::Table t;
    t.open(EmpresaVentas::kDatos, "CoMovInv.dbf");
    t.append();
    t.setInteger("NUCON_CM", 30);
    t.setText("DECON_CM", "Traspaso");
    t.setText("TIPOX_CM", "T");
    t.setText("ALMAC_CM", std::string(kSucursal));
    t.post();
  }
  inventory::ResultadoMovimiento traspasa() const {
    inventory::DocumentoMovimiento d;
    d.tipo = 30;
    d.fecha = "14/07/2025";
    d.referencia = "T1";
    d.lineas = {{"A", 4, 1, 0, {}, {}}, {"B", 2, 1, 0, {}, {}}};
    return inventory::guardaMovimiento(inventory::ajustesDe(empresa.lineas), d, reloj);
  }
  // What the files say, read from their bytes: lines on each side and the origin's stock.
  struct Estado {
    size_t origen = 0, destino = 0;
    double existenciaA = 0;
    std::string error;
  };
  static Estado lee() {
    Estado e;
    const std::string o = base::resuelve(std::string(EmpresaVentas::kDatos)).string();
    const std::string d = base::resuelve(std::string(kSucursal)).string();
    const TablaCruda mo = leeTablaCruda(o, "movinven.dbf"), md = leeTablaCruda(d, "movinven.dbf"),
                     po = leeTablaCruda(o, "inventar.dbf");
    for (const TablaCruda* t : {&mo, &md, &po})
      if (!t->error.empty()) e.error = t->error;
    for (const auto& f : mo.filas) e.origen += f.at("REFMO_MI") == "T1";
    for (const auto& f : md.filas) e.destino += f.at("REFMO_MI") == "T1";
    for (const auto& f : po.filas)
      if (f.at("CLPRO_I") == "A") e.existenciaA = std::stod(f.at("EXIST_I"));
    return e;
  }
  static void abreEmpresas() {
    for (std::string_view d : {EmpresaVentas::kDatos, kSucursal}) {
      dbf::Table t;
      t.open(std::string(d), "inventar.dbf");  // puts back what a dead station left
    }
  }
};

TEST_F(TraspasoFallas, MuertoEnCadaEscrituraQuedaTodoONada) {
  int muertes = 0;
  for (int k = 1;; ++k) {
    const pid_t h = estacion([this, k] {
      muereEn = k;
      dbf::journal::setWriteHook(cuentaEscritura);
      return traspasa().guardado ? 0 : 1;
    });
    const int fin = espera(h);
    abreEmpresas();
    const Estado e = lee();
    ASSERT_TRUE(e.error.empty()) << "escritura " << k << ": " << e.error;
    if (fin == 0) {
      EXPECT_EQ(e.origen, 2u);
      EXPECT_EQ(e.destino, 2u);
      EXPECT_EQ(e.existenciaA, 6);
      break;
    }
    ASSERT_EQ(fin, 9) << "escritura " << k;
    ++muertes;
    EXPECT_EQ(e.origen, 0u) << "escritura " << k;
    EXPECT_EQ(e.destino, 0u) << "escritura " << k;
    EXPECT_EQ(e.existenciaA, 10) << "escritura " << k;
  }
  EXPECT_GT(muertes, 10);
  RecordProperty("muertes", muertes);
}

TEST_F(TraspasoFallas, UnaSincronizacionQueFallaDeshaceAmbosLados) {
  int fallidas = 0;
  for (int k = 1;; ++k) {
    sincronizaciones = 0;
    fallaEn = k;
    dbf::journal::setSyncHook(sincroniza);
    const inventory::ResultadoMovimiento r = traspasa();
    dbf::journal::setSyncHook(nullptr);
    const Estado e = lee();
    ASSERT_TRUE(e.error.empty()) << e.error;
    if (r.guardado) {
      EXPECT_EQ(e.origen, 2u);
      EXPECT_EQ(e.destino, 2u);
      break;
    }
    ++fallidas;
    EXPECT_EQ(r.mensaje, "No se Pueden Guardar los Datos ha Ocurrido un Error") << "sincronización " << k;
    EXPECT_EQ(e.origen, 0u) << "sincronización " << k;
    EXPECT_EQ(e.destino, 0u) << "sincronización " << k;
    EXPECT_EQ(e.existenciaA, 10) << "sincronización " << k;
    ASSERT_LT(k, 200);
  }
  EXPECT_GT(fallidas, 1);
  RecordProperty("fallidas", fallidas);
}

}  // namespace
}  // namespace mostrador::prueba
