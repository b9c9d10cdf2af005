#include "base/interaccion.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include "support/interaccion_fake.h"

using namespace mostrador;
using namespace mostrador::base;
using mostrador::prueba::InteraccionFalsa;

TEST(NumeroPrompt, OnlyDigitsAndPointsAreValidElseZero) {
  EXPECT_TRUE(numeroValido("0"));
  EXPECT_TRUE(numeroValido("12.50"));
  EXPECT_TRUE(numeroValido(".5"));
  EXPECT_TRUE(numeroValido("1.2.3"));
  EXPECT_FALSE(numeroValido(""));
  EXPECT_FALSE(numeroValido("-5"));
  EXPECT_FALSE(numeroValido("1,000"));
  EXPECT_FALSE(numeroValido(" 5"));
  EXPECT_FALSE(numeroValido("5e3"));

  InteraccionFalsa ui;
  ui.respondeDato("12.50").respondeDato("12a").respondeDato("");
  Interaccion& i = ui;
  EXPECT_EQ(i.dato("Cantidad"), "12.50");
  EXPECT_EQ(i.dato("Cantidad"), "0");
  EXPECT_EQ(i.dato("Precio"), "0");
  EXPECT_EQ(ui.llamadas(), (std::vector<std::string>{"dato: Cantidad", "dato: Cantidad", "dato: Precio"}));
}

TEST(InteraccionFalsa, RecordsEveryCallInOrderWithItsAnswers) {
  InteraccionFalsa ui;
  ui.respondeAdvertencia(RespuestaAdvertencia::Clave)
      .respondeCerrar(RespuestaCerrar::Descartar)
      .respondeAdministrador({RespuestaAdministrador::OtraClave, "xyz"})
      .respondeBusqueda(Busqueda{"PEREZ", CampoBusqueda::Nombre})
      .respondeBusqueda(std::nullopt)
      .respondeTexto("3");
  Interaccion& i = ui;
  {
    Espera espera(i);
    i.mensaje("El Archivo X No Existe");
  }
  EXPECT_EQ(i.advertencia(), RespuestaAdvertencia::Clave);
  EXPECT_EQ(i.cerrar(), RespuestaCerrar::Descartar);
  const RespuestaAdministrador a = i.administrador();
  EXPECT_EQ(a.resultado, RespuestaAdministrador::OtraClave);
  EXPECT_EQ(a.clave, "xyz");
  EXPECT_EQ(i.busca(true), (Busqueda{"PEREZ", CampoBusqueda::Nombre}));
  EXPECT_EQ(i.busca(false), std::nullopt);
  EXPECT_EQ(i.pideTexto("No de Caja", "Caja No. ", "1"), "3");
  i.iniciaProgreso("Reindexando", 2);
  i.avanzaProgreso();
  i.terminaProgreso();

  EXPECT_EQ(ui.llamadas(), (std::vector<std::string>{
                               "espera", "mensaje: El Archivo X No Existe", "fin espera",
                               "advertencia: ¿ Esta Seguro que Desea Eliminar el Documento ?",
                               "cerrar", "administrador", "busca con direccion", "busca",
                               "texto: No de Caja / Caja No.  [1]", "progreso: Reindexando 0/2",
                               "avanza: 1", "fin progreso"}));
  EXPECT_EQ(ui.mensajes(), (std::vector<std::string>{"El Archivo X No Existe"}));
}

TEST(InteraccionFalsa, UnscriptedOrUnusedAnswersFailTheTest) {
  EXPECT_NONFATAL_FAILURE(
      {
        InteraccionFalsa ui;
        EXPECT_EQ(ui.advertencia("¿ Borrar ?", true), RespuestaAdvertencia::No);
        EXPECT_EQ(ui.llamadas().back(), "advertencia: ¿ Borrar ? [F9]");
      },
      "no hay respuesta preparada para \"advertencia: ¿ Borrar ? [F9]\"");
  EXPECT_NONFATAL_FAILURE(
      {
        InteraccionFalsa ui;
        ui.respondeCerrar(RespuestaCerrar::Guardar);
      },
      "1 respuesta(s) preparada(s) sin usar");
}
