// The demo company of the command line is the program's own: its name and its keys.
#include <gtest/gtest.h>

#include "base/rutas.h"
#include "base/texto.h"
#include "session/configuracion.h"
#include "session/usuarios.h"
#include "support/entorno.h"
#include "support/interaccion_fake.h"
#include "support/orden_cli.h"

namespace {

using namespace mostrador;

TEST(DemoCli, LaEmpresaDeDemostracionAbreConLasClavesDelPrograma) {
  prueba::DirectorioTemporal dir;
  const std::string sistema = dir.str() + "/sistema";
  const prueba::SalidaOrden s = prueba::correOrden(MOSTRADOR_CLI, "nueva-empresa --demo --sistema '" + sistema + "'");
  ASSERT_EQ(s.codigo, 0) << s.err;
  prueba::InteraccionFalsa ui;
  const std::string datos = sistema + "/Empresa1";
  EXPECT_EQ(session::usuarioPorClave(ui, sistema, datos, "admin"), 0);
  EXPECT_EQ(session::usuarioPorClave(ui, sistema, datos, "caja"), 1);
  EXPECT_EQ(session::usuarioPorClave(ui, sistema, datos, "almacen"), 2);
  EXPECT_EQ(base::leeLinea(base::une(sistema, "Gener1.cnf"), 9), "Abarrotes La Esperanza");
  // A second company in the same installation keeps the users it has.
  const prueba::SalidaOrden otra =
      prueba::correOrden(MOSTRADOR_CLI, "nueva-empresa --demo --empresa 2 --clave otra --sistema '" + sistema + "'");
  ASSERT_EQ(otra.codigo, 0) << otra.err;
  EXPECT_EQ(session::usuarioPorClave(ui, sistema, sistema + "/Empresa2", "caja"), 1);
}

}  // namespace
