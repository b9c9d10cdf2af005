// The observations of a record: one record of factuobs.dbf per line, read back in order,
// replaced as one unit. What is stored is checked from the file's bytes.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "base/rutas.h"
#include "base/texto.h"
#include "store/dbf/dbf_table.h"
#include "store/dbf/journal.h"
#include "store/observaciones.h"
#include "support/empresa_ventas.h"
#include "support/entorno.h"
#include "support/estaciones.h"
#include "support/tienda_estaciones.h"

namespace mostrador::prueba {
namespace {

using Lineas = std::vector<std::string>;

struct Observaciones : ::testing::Test {
  DirectorioTemporal dir;
  EmpresaVentas empresa;
  const std::string datos{EmpresaVentas::kDatos};

  // "clave|tipo|línea" of every live record, in record order, from the bytes.
  static Lineas crudas() {
    const TablaCruda t = leeTablaCruda(base::resuelve(std::string(EmpresaVentas::kDatos)).string(), "factuobs.dbf");
    EXPECT_EQ(t.error, "");
    Lineas r;
    for (const auto& f : t.filas)
      r.push_back(base::aUtf8(f.at("CLDOC_FO") + "|" + f.at("TIDOC_FO") + "|" + f.at("OBSER_FO")));
    return r;
  }
};

TEST_F(Observaciones, EveryLineIsOneRecordEmptyLinesIncludedAndReadsBackInOrder) {
  EXPECT_EQ(store::leeObservaciones(datos, "CL", "7"), Lineas{});
  ASSERT_TRUE(store::guardaObservaciones(datos, "CL", "7", {"Paga los viernes", ""}));
  EXPECT_EQ(crudas(), (Lineas{"7|CL|Paga los viernes", "7|CL|"}));
  EXPECT_EQ(store::leeObservaciones(datos, "CL", "7"), (Lineas{"Paga los viernes", ""}));

  // Fewer lines, then more: the order is always the order given.
  ASSERT_TRUE(store::guardaObservaciones(datos, "CL", "7", {"Único"}));
  EXPECT_EQ(store::leeObservaciones(datos, "CL", "7"), Lineas{"Único"});
  ASSERT_TRUE(store::guardaObservaciones(datos, "CL", "7", {"d", "", "b", "a"}));
  EXPECT_EQ(store::leeObservaciones(datos, "CL", "7"), (Lineas{"d", "", "b", "a"}));
  EXPECT_EQ(crudas(), (Lineas{"7|CL|d", "7|CL|", "7|CL|b", "7|CL|a"}));

  // No lines at all leaves no record.
  ASSERT_TRUE(store::guardaObservaciones(datos, "CL", "7", {}));
  EXPECT_EQ(crudas(), Lineas{});
}

TEST_F(Observaciones, OtherKindsAndOtherKeysAreLeftAlone) {
  ASSERT_TRUE(store::guardaObservaciones(datos, "IN", "7", {"del producto 7"}));
  ASSERT_TRUE(store::guardaObservaciones(datos, "CL", "70", {"del cliente 70"}));
  ASSERT_TRUE(store::guardaObservaciones(datos, "CL", "7", {"primera", "segunda"}));
  ASSERT_TRUE(store::guardaObservaciones(datos, "PR", "7", {"del proveedor 7"}));
  ASSERT_TRUE(store::guardaObservaciones(datos, "CL", "7", {"otra"}));
  EXPECT_EQ(crudas(),
            (Lineas{"7|IN|del producto 7", "70|CL|del cliente 70", "7|PR|del proveedor 7", "7|CL|otra"}));
  EXPECT_EQ(store::leeObservaciones(datos, "IN", "7"), Lineas{"del producto 7"});
  EXPECT_EQ(store::leeObservaciones(datos, "CL", "70"), Lineas{"del cliente 70"});
  EXPECT_EQ(store::leeObservaciones(datos, "cl", "7"), Lineas{});  // the kind's case counts
}

TEST_F(Observaciones, TheKindKeepsItsFirstTwoCharacters) {
  EXPECT_EQ(store::tipoObservacion("Recepción"), "Re");
  EXPECT_EQ(store::tipoObservacion("Ñandú"), "Ña");
  EXPECT_EQ(store::tipoObservacion("M"), "M");
  ASSERT_TRUE(store::guardaObservaciones(datos, "Recepción", "15", {"llegó incompleta"}));
  EXPECT_EQ(crudas(), Lineas{"15|Re|llegó incompleta"});
  // Any kind beginning the same way is the same kind; a different case is not.
  EXPECT_EQ(store::leeObservaciones(datos, "Re", "15"), Lineas{"llegó incompleta"});
  EXPECT_EQ(store::leeObservaciones(datos, "Recibo", "15"), Lineas{"llegó incompleta"});
  EXPECT_EQ(store::leeObservaciones(datos, "RE", "15"), Lineas{});
  ASSERT_TRUE(store::guardaObservaciones(datos, "Ñandú", "15", {"ñ"}));
  EXPECT_EQ(store::leeObservaciones(datos, "Ña", "15"), Lineas{"ñ"});
}

TEST_F(Observaciones, KeysAreComparedAsStored) {
  // Right blanks do not count; leading ones do (consecutive customer keys are
  // right-aligned, "         1" is not "1").
  ASSERT_TRUE(store::guardaObservaciones(datos, "CL", "         1", {"alineada"}));
  ASSERT_TRUE(store::guardaObservaciones(datos, "CL", "1", {"corta"}));
  ASSERT_TRUE(store::guardaObservaciones(datos, "CL", "A1   ", {"con blancos"}));
  EXPECT_EQ(empresa.filas("factuobs.dbf", {"CLDOC_FO", "OBSER_FO"}),
            (Lineas{"         1|alineada", "1|corta", "A1|con blancos"}));
  EXPECT_EQ(store::leeObservaciones(datos, "CL", "         1"), Lineas{"alineada"});
  EXPECT_EQ(store::leeObservaciones(datos, "CL", "1 "), Lineas{"corta"});
  EXPECT_EQ(store::leeObservaciones(datos, "CL", "A1"), Lineas{"con blancos"});
  // A key wider than the field is the key the field can hold.
  const std::string larga(25, 'K');
  ASSERT_TRUE(store::guardaObservaciones(datos, "IN", larga, {"de la clave larga"}));
  EXPECT_EQ(store::leeObservaciones(datos, "IN", std::string(20, 'K')), Lineas{"de la clave larga"});
  EXPECT_EQ(store::leeObservaciones(datos, "IN", larga), Lineas{"de la clave larga"});
}

TEST_F(Observaciones, ALineWiderThanTheFieldGoesOnInTheNextRecords) {
  // The width counts stored bytes: "ñ" is one.
  std::string enes;
  for (int i = 0; i < 99; ++i) enes += "ñ";
  ASSERT_TRUE(store::guardaObservaciones(datos, "IN", "A1", {std::string(130, 'x'), enes + "ab"}));
  EXPECT_EQ(crudas(), (Lineas{"A1|IN|" + std::string(100, 'x'), "A1|IN|" + std::string(30, 'x'),
                              "A1|IN|" + enes + "a", "A1|IN|b"}));
  EXPECT_EQ(store::leeObservaciones(datos, "IN", "A1"),
            (Lineas{std::string(100, 'x'), std::string(30, 'x'), enes + "a", "b"}));
}

TEST_F(Observaciones, AFailedSaveLeavesTheOldLines) {
  ASSERT_TRUE(store::guardaObservaciones(datos, "CL", "7", {"uno", "dos"}));
  static int sincronizaciones, fallaEn;
  const auto falla = +[](int fd) {
    if (++sincronizaciones == fallaEn) {
      errno = EIO;
      return -1;
    }
    return ::fdatasync(fd);
  };
  int fallidas = 0;
  for (int k = 1;; ++k) {
    ASSERT_LT(k, 100);
    sincronizaciones = 0;
    fallaEn = k;
    dbf::journal::setSyncHook(falla);
    const bool guardado = store::guardaObservaciones(datos, "CL", "7", {"tres", "", "cuatro"});
    dbf::journal::setSyncHook(nullptr);
    if (guardado) {
      EXPECT_EQ(crudas(), (Lineas{"7|CL|tres", "7|CL|", "7|CL|cuatro"}));
      break;
    }
    ++fallidas;
    EXPECT_EQ(crudas(), (Lineas{"7|CL|uno", "7|CL|dos"})) << "sincronización " << k;
    EXPECT_EQ(store::leeObservaciones(datos, "CL", "7"), (Lineas{"uno", "dos"})) << "sincronización " << k;
  }
  EXPECT_GT(fallidas, 0);

  // No table: nothing to read, nothing saved.
  dbf::Table::drop(datos, "factuobs.dbf");
  EXPECT_EQ(store::leeObservaciones(datos, "CL", "7"), Lineas{});
  EXPECT_FALSE(store::guardaObservaciones(datos, "CL", "7", {"cinco"}));
}

TEST_F(Observaciones, ALineHeldByAnotherStationStopsTheSaveBeforeItWrites) {
  ASSERT_TRUE(store::guardaObservaciones(datos, "CL", "7", {"uno", "dos"}));
  setenv("MOSTRADOR_ESPERA_MS", "200", 1);
  Canal tomada, suelta;
  const pid_t otra = estacion([&] {
    dbf::Table t;
    t.open(std::string(EmpresaVentas::kDatos), "factuobs.dbf");
    t.goTo(2);
    t.edit();
    tomada.avisa();
    suelta.aguarda();
    t.cancel();
    return 0;
  });
  tomada.aguarda();
  EXPECT_FALSE(store::guardaObservaciones(datos, "CL", "7", {"tres"}));
  EXPECT_EQ(crudas(), (Lineas{"7|CL|uno", "7|CL|dos"}));
  // Other records of the table are not held: another key saves.
  EXPECT_TRUE(store::guardaObservaciones(datos, "CL", "8", {"ocho"}));
  suelta.avisa();
  EXPECT_EQ(espera(otra), 0);
  unsetenv("MOSTRADOR_ESPERA_MS");
  EXPECT_TRUE(store::guardaObservaciones(datos, "CL", "7", {"tres"}));
  EXPECT_EQ(crudas(), (Lineas{"8|CL|ocho", "7|CL|tres"}));
}

int escrituras = 0, muereEn = 0;
void cuentaEscritura(const std::filesystem::path&, off_t, size_t) {
  if (++escrituras == muereEn) _exit(9);
}

TEST_F(Observaciones, AStationKilledAtAnyWriteLeavesTheOldLinesOrTheNewOnes) {
  ASSERT_TRUE(store::guardaObservaciones(datos, "CL", "7", {"uno", "dos"}));
  ASSERT_TRUE(store::guardaObservaciones(datos, "IN", "7", {"producto"}));
  const Lineas viejas{"7|CL|uno", "7|CL|dos", "7|IN|producto"};
  int muertes = 0;
  for (int k = 1;; ++k) {
    ASSERT_LT(k, 500);
    const pid_t h = estacion([&, k] {
      muereEn = k;
      dbf::journal::setWriteHook(cuentaEscritura);
      return store::guardaObservaciones(std::string(EmpresaVentas::kDatos), "CL", "7", {"tres", "", "cuatro", "cinco"})
                 ? 0
                 : 1;
    });
    const int fin = espera(h);
    {
      dbf::Table t;
      t.open(datos, "factuobs.dbf");  // puts back what the dead station left
    }
    if (fin == 0) {
      EXPECT_EQ(crudas(), (Lineas{"7|IN|producto", "7|CL|tres", "7|CL|", "7|CL|cuatro", "7|CL|cinco"}));
      EXPECT_EQ(store::leeObservaciones(datos, "CL", "7"), (Lineas{"tres", "", "cuatro", "cinco"}));
      break;
    }
    ASSERT_EQ(fin, 9) << "escritura " << k;
    ++muertes;
    ASSERT_EQ(crudas(), viejas) << "escritura " << k;
    ASSERT_EQ(store::leeObservaciones(datos, "CL", "7"), (Lineas{"uno", "dos"})) << "escritura " << k;
  }
  EXPECT_GT(muertes, 4);
}

}  // namespace
}  // namespace mostrador::prueba
