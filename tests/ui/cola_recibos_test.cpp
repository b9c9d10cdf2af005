// The drawer kick and a receipt through a real CUPS scheduler started for the test: the
// bytes the receipt queue prints are compared one by one.

#include <cups/cups.h>
#include <gtest/gtest.h>

#include "printing/cajon.h"
#include "base/rutas.h"
#include "base/texto.h"
#include "support/dispositivos_prueba.h"
#include "support/entorno.h"
#include "support/interaccion_fake.h"
#include "ui/impresora_cups.h"

namespace mostrador::printing {
namespace {

using prueba::DirectorioTemporal;
using prueba::InteraccionFalsa;
using prueba::ServidorCups;

class ColaRecibos : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    servidor_ = new ServidorCups;
    // libcups keeps the server it first talked to; this binary only talks to this one.
    if (servidor_->listo()) cupsSetServer(servidor_->servidor().c_str());
  }
  static void TearDownTestSuite() {
    delete servidor_;
    servidor_ = nullptr;
  }
  void SetUp() override {
    if (!servidor_->listo()) GTEST_SKIP() << "cupsd no arrancó en esta máquina: " << servidor_->error();
  }

  AjusteRecibo ajuste(const DirectorioTemporal& dir, const std::vector<std::string>& lineas) {
    EXPECT_TRUE(base::escribeLineas(base::une(dir.str(), "Recibo.cnf"), lineas));
    return leeAjusteRecibo(dir.str());
  }

  static ServidorCups* servidor_;
};
ServidorCups* ColaRecibos::servidor_ = nullptr;

TEST_F(ColaRecibos, TheDrawerKickArrivesAsItsFiveBytes) {
  ASSERT_TRUE(servidor_->creaCola("Cajon1")) << servidor_->error();
  DirectorioTemporal dir;
  ColaCups cola;
  InteraccionFalsa ui;
  ASSERT_TRUE(abreCajon(cola, ajuste(dir, {"", "", "Cajon1"}), ui)) << cola.ultimoError();
  EXPECT_EQ(servidor_->salida("Cajon1", 5), std::string("\x1B\x70\x00\x19\xFA", 5));
  EXPECT_TRUE(ui.llamadas().empty());
}

TEST_F(ColaRecibos, AReceiptComesOutInCodePage850WithItsSelection) {
  ASSERT_TRUE(servidor_->creaCola("Recibos")) << servidor_->error();
  DirectorioTemporal dir;
  ColaCups cola;
  InteraccionFalsa ui;
  ASSERT_TRUE(imprimeRecibo(cola, {"Sr. Núñez", "Piñata  $120.50", "¡Gracias! ¿Volverá?"},
                            ajuste(dir, {"850", "", "Recibos"}), ui))
      << cola.ultimoError();
  const std::string esperado = std::string("\x1B@\x1Bt\x02") + "Sr. N\xA3\xA4" "ez\r\n" + "Pi\xA4" "ata  $120.50\r\n" +
                               "\xAD" "Gracias! \xA8Volver\xA0?\r\n";
  EXPECT_EQ(servidor_->salida("Recibos", esperado.size()), esperado);
}

TEST_F(ColaRecibos, AQueueThatIsGoneGivesTheMessageAndNoCrash) {
  ASSERT_TRUE(servidor_->creaCola("Efimera")) << servidor_->error();
  ASSERT_TRUE(servidor_->borraCola("Efimera")) << servidor_->error();
  DirectorioTemporal dir;
  ColaCups cola;
  InteraccionFalsa ui;
  const AjusteRecibo a = ajuste(dir, {"", "", "Efimera"});
  EXPECT_FALSE(abreCajon(cola, a, ui));
  EXPECT_FALSE(imprimeRecibo(cola, {"Nada"}, a, ui));
  EXPECT_EQ(ui.mensajes(),
            (std::vector<std::string>{
                "No se pudo abrir el cajón de dinero: la impresora de tickets \"Efimera\" no está disponible.",
                "No se pudo imprimir el ticket: la impresora de tickets \"Efimera\" no está disponible."}));
}

}  // namespace
}  // namespace mostrador::printing
