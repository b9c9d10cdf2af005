// The drawer kick and the receipt code page, against a recording queue.

#include "printing/cajon.h"

#include <gtest/gtest.h>

#include "printing/motor_formatos.h"
#include "base/rutas.h"
#include "base/texto.h"
#include "support/entorno.h"
#include "support/fakes_impresion.h"
#include "support/interaccion_fake.h"

namespace mostrador::printing {
namespace {

using prueba::ColaFalsa;
using prueba::DirectorioTemporal;
using prueba::InteraccionFalsa;

std::string bytes(std::initializer_list<unsigned> b) {
  std::string s;
  for (unsigned c : b) s.push_back(static_cast<char>(c));
  return s;
}

TEST(PaginaDeCodigos, SpanishLettersLandOnTheirBytesInEachTable) {
  const std::string texto = "áéíóú ÁÉÍÓÚ ñÑ üÜ ¿¡ ªº €";
  EXPECT_EQ(codificaRecibo(texto, PaginaCodigos::CP850),
            bytes({0xA0, 0x82, 0xA1, 0xA2, 0xA3, ' ', 0xB5, 0x90, 0xD6, 0xE0, 0xE9, ' ', 0xA4, 0xA5, ' ', 0x81,
                   0x9A, ' ', 0xA8, 0xAD, ' ', 0xA6, 0xA7, ' ', '?'}));
  // 437 has no capitals with accents but É.
  EXPECT_EQ(codificaRecibo(texto, PaginaCodigos::CP437),
            bytes({0xA0, 0x82, 0xA1, 0xA2, 0xA3, ' ', '?', 0x90, '?', '?', '?', ' ', 0xA4, 0xA5, ' ', 0x81, 0x9A,
                   ' ', 0xA8, 0xAD, ' ', 0xA6, 0xA7, ' ', '?'}));
  EXPECT_EQ(codificaRecibo("€ ı", PaginaCodigos::CP858), bytes({0xD5, ' ', '?'}));
  EXPECT_EQ(codificaRecibo("€ ı", PaginaCodigos::CP850), bytes({'?', ' ', 0xD5}));
  EXPECT_EQ(codificaRecibo("Señor €", PaginaCodigos::CP1252), bytes({'S', 'e', 0xF1, 'o', 'r', ' ', 0x80}));
  // ASCII, tabs and line breaks pass; what has no form and broken UTF-8 print as "?".
  EXPECT_EQ(codificaRecibo("Total:\t$1,234.50\r\n", PaginaCodigos::CP850), "Total:\t$1,234.50\r\n");
  EXPECT_EQ(codificaRecibo("日本 ✓", PaginaCodigos::CP850), "?? ?");
  EXPECT_EQ(codificaRecibo(std::string("a\xC3z\xFF"), PaginaCodigos::CP850), "a?z?");
}

TEST(PaginaDeCodigos, ReciboCnfChoosesTheTableItsSelectionAndTheQueue) {
  DirectorioTemporal dir;
  AjusteRecibo a = leeAjusteRecibo(dir.str());
  EXPECT_EQ(a.pagina, PaginaCodigos::CP850);
  EXPECT_EQ(a.seleccion, 2);
  EXPECT_EQ(a.cola, kColaTicket);
  EXPECT_EQ(inicioRecibo(a), bytes({0x1B, '@', 0x1B, 't', 0x02}));
  EXPECT_EQ(seleccionPagina(a), bytes({0x1B, 't', 0x02}));

  ASSERT_TRUE(base::escribeLineas(base::une(dir.str(), "Recibo.cnf"), {"858"}));
  a = leeAjusteRecibo(dir.str());
  EXPECT_EQ(a.pagina, PaginaCodigos::CP858);
  EXPECT_EQ(a.seleccion, 19);

  ASSERT_TRUE(base::escribeLineas(base::une(dir.str(), "Recibo.cnf"), {"1252", "", "Recibos"}));
  a = leeAjusteRecibo(dir.str());
  EXPECT_EQ(a.pagina, PaginaCodigos::CP1252);
  EXPECT_EQ(a.seleccion, 16);
  EXPECT_EQ(a.cola, "Recibos");

  ASSERT_TRUE(base::escribeLineas(base::une(dir.str(), "Recibo.cnf"), {"437", "3", "Caja 2"}));
  a = leeAjusteRecibo(dir.str());
  EXPECT_EQ(a.pagina, PaginaCodigos::CP437);
  EXPECT_EQ(a.seleccion, 3);
  EXPECT_EQ(a.cola, "Caja 2");
  EXPECT_EQ(seleccionPagina(a), bytes({0x1B, 't', 0x03}));

  // What is not understood keeps the default.
  ASSERT_TRUE(base::escribeLineas(base::une(dir.str(), "Recibo.cnf"), {"UTF-8", "300"}));
  a = leeAjusteRecibo(dir.str());
  EXPECT_EQ(a.pagina, PaginaCodigos::CP850);
  EXPECT_EQ(a.seleccion, 2);
}

TEST(Cajon, TheKickIsItsOwnRawJobOnTheReceiptQueue) {
  ColaFalsa cola;
  InteraccionFalsa ui;
  AjusteRecibo a;
  a.cola = "Recibos";
  ASSERT_TRUE(abreCajon(cola, a, ui));
  ASSERT_EQ(cola.envios.size(), 1u);
  EXPECT_EQ(cola.envios[0].cola, "Recibos");
  EXPECT_EQ(cola.envios[0].bytes, bytes({0x1B, 0x70, 0x00, 0x19, 0xFA}));
  EXPECT_EQ(cola.envios[0].documento, "Cajon");
  EXPECT_TRUE(ui.llamadas().empty());
}

TEST(Cajon, AQueueThatRefusesSaysSoInSpanishAndNothingElseHappens) {
  ColaFalsa cola;
  cola.rechaza = true;
  InteraccionFalsa ui;
  AjusteRecibo a;
  a.cola = "Recibos";
  EXPECT_FALSE(abreCajon(cola, a, ui));
  EXPECT_FALSE(imprimeRecibo(cola, {"Gracias"}, a, ui));
  EXPECT_EQ(ui.mensajes(),
            (std::vector<std::string>{
                "No se pudo abrir el cajón de dinero: la impresora de tickets \"Recibos\" no está disponible.",
                "No se pudo imprimir el ticket: la impresora de tickets \"Recibos\" no está disponible."}));
  EXPECT_EQ(cola.envios.size(), 2u);
}

TEST(Recibo, TextLinesGoRawInTheChosenTableAfterItsSelection) {
  ColaFalsa cola;
  InteraccionFalsa ui;
  AjusteRecibo a;
  a.cola = "Recibos";
  ASSERT_TRUE(imprimeRecibo(cola, {"Señor Núñez", "", "¡Gracias!"}, a, ui));
  ASSERT_EQ(cola.envios.size(), 1u);
  EXPECT_EQ(cola.envios[0].documento, "Recibo");
  EXPECT_EQ(cola.envios[0].bytes, std::string("\x1B@\x1Bt\x02") + "Se\xA4or N\xA3\xA4" "ez\r\n\r\n\xAD" "Gracias!\r\n");
}

}  // namespace
}  // namespace mostrador::printing
