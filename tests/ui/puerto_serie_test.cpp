// The barcode reader and the scale on a real serial port: a socat pseudo-terminal pair
// whose far end sends what the devices send, read through Qt SerialPort.

#include "ui/puerto_serie.h"

#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QTest>

#include "base/rutas.h"
#include "base/texto.h"
#include "support/dispositivos_prueba.h"
#include "support/entorno.h"
#include "support/interaccion_fake.h"
#include "support/principal_aplicacion.h"
#include "ui/portapapeles_qt.h"

namespace mostrador::sales {
namespace {

using prueba::DirectorioTemporal;
using prueba::InteraccionFalsa;
using prueba::ParTerminales;

#define REQUIERE_TERMINALES(par)                                              \
  if (!(par).listo()) GTEST_SKIP() << "sin pseudo-terminales: " << (par).error()

TEST(PuertoSerieReal, TheReaderDeliversEachCodeWhateverTheReadsLookLike) {
  prueba::aplicacionQt();
  ParTerminales par;
  REQUIERE_TERMINALES(par);
  DirectorioTemporal dir;
  ASSERT_TRUE(base::escribeLineas(base::une(dir.str(), "Serial.cnf"), {"S", par.puerto(), "9600"}));

  PuertoSerieQt puerto;
  InteraccionFalsa ui;
  std::vector<std::string> codigos;
  LectorSerial lector(puerto, ui, [&](const std::string& c) { codigos.push_back(c); });
  ASSERT_TRUE(lector.abre(dir.str())) << testing::PrintToString(ui.mensajes());

  ASSERT_TRUE(par.envia("75010313"));
  QTest::qWait(50);
  ASSERT_TRUE(par.envia("11309\r"));
  QTest::qWait(50);
  ASSERT_TRUE(par.envia(std::string("\n\x02" "5901234123457\x03\r\n\0\0ABC-12\n", 27)));
  EXPECT_TRUE(QTest::qWaitFor([&] { return codigos.size() >= 3; }, 3000));
  EXPECT_EQ(codigos, (std::vector<std::string>{"7501031311309", "5901234123457", "ABC-12"}));
  EXPECT_TRUE(ui.llamadas().empty());
}

TEST(PuertoSerieReal, MissingAndBusyPortsGiveTheirMessageAndAHangUpIsReportedOnce) {
  prueba::aplicacionQt();
  ParTerminales par;
  REQUIERE_TERMINALES(par);
  InteraccionFalsa ui;
  PuertoSerieQt primero, segundo, tercero;
  LectorSerial ausente(tercero, ui, {});
  EXPECT_FALSE(ausente.abre(AjustePuerto{"/dev/ttyNoExiste9", 9600}));

  std::vector<std::string> codigos;
  LectorSerial lector(primero, ui, [&](const std::string& c) { codigos.push_back(c); });
  ASSERT_TRUE(lector.abre(AjustePuerto{par.puerto(), 19200}));
  LectorSerial otro(segundo, ui, {});
  EXPECT_FALSE(otro.abre(AjustePuerto{par.puerto(), 9600}));
  EXPECT_FALSE(otro.abierto());
  EXPECT_TRUE(lector.abierto());

  par.corta();
  EXPECT_TRUE(QTest::qWaitFor([&] { return !lector.abierto(); }, 3000));
  QTest::qWait(100);
  EXPECT_EQ(ui.mensajes(),
            (std::vector<std::string>{
                "No se pudo conectar el lector de códigos: no existe el puerto serie /dev/ttyNoExiste9.",
                "No se pudo conectar el lector de códigos: el puerto serie " + par.puerto() +
                    " está ocupado por otro programa.",
                "Se perdió la conexión con el lector de códigos en el puerto serie " + par.puerto() + "."}));
  EXPECT_TRUE(codigos.empty());
}

TEST(PuertoSerieReal, TheScaleReachesTheTareDialogThroughPuertoNum) {
  prueba::aplicacionQt();
  ParTerminales par;
  REQUIERE_TERMINALES(par);
  DirectorioTemporal dir;
  ASSERT_TRUE(base::escribeLineas(base::une(dir.str(), "Bascula.cnf"), {par.puerto(), "9600"}));

  Tara tara(dir.str(), {1, 1, 0, 10});
  ASSERT_TRUE(tara.inicia());
  PuertoSerieQt puerto;
  LectorPuertoBascula lector(puerto, dir.str());
  ASSERT_EQ(lector.abre(), "");

  // Garbage first, then an unstable weight, then the stable one in two reads.
  ASSERT_TRUE(par.envia("\xFF\xFE\x80##\r\nUS,GS,+  1.230kg\r\nST,GS,+  1.2"));
  QTest::qWait(50);
  ASSERT_TRUE(par.envia("34kg\r\n"));
  EXPECT_TRUE(QTest::qWaitFor([&] { return lector.lecturas() == 1; }, 3000));
  EXPECT_EQ(lector.rechazados(), 1);
  EXPECT_EQ(base::leeBytes(base::une(dir.str(), "puerto.num")), "1.23\r\n");
  EXPECT_EQ(tara.sondea(), "1.23");
  EXPECT_EQ(tara.estado(kEsperaBasculaMs, lector.rechazados()), "");
}

TEST(PuertoSerieReal, AScaleThatSendsGarbageOrNothingLeavesTheWeightToBeTyped) {
  prueba::aplicacionQt();
  ParTerminales par;
  REQUIERE_TERMINALES(par);
  DirectorioTemporal dir;
  ASSERT_TRUE(base::escribeLineas(base::une(dir.str(), "Bascula.cnf"), {par.puerto()}));
  Tara tara(dir.str(), {1, 1, 0, 10});
  ASSERT_TRUE(tara.inicia());
  PuertoSerieQt puerto;
  LectorPuertoBascula lector(puerto, dir.str());
  ASSERT_EQ(lector.abre(), "");

  QTest::qWait(100);
  EXPECT_EQ(tara.sondea(), std::nullopt);
  EXPECT_EQ(tara.estado(kEsperaBasculaMs, lector.rechazados()), kBasculaMuda);

  ASSERT_TRUE(par.envia("@#!\r\n" + std::string(200, 'x') + "\r\n"));
  EXPECT_TRUE(QTest::qWaitFor([&] { return lector.rechazados() == 2; }, 3000));
  EXPECT_EQ(lector.lecturas(), 0);
  EXPECT_FALSE(base::existe(base::une(dir.str(), "puerto.num")));
  EXPECT_EQ(tara.sondea(), std::nullopt);
  EXPECT_EQ(tara.estado(kEsperaBasculaMs, lector.rechazados()), kBasculaIlegible);
}

TEST(PortapapelesReal, ThePollingReadsWhatTheScaleProgramLeftOnTheClipboard) {
  prueba::aplicacionQt();
  PortapapelesQt portapapeles;
  SondeoBascula sondeo(portapapeles);
  sondeo.enciende(true);
  QGuiApplication::clipboard()->setText(QStringLiteral("Peso neto: 1.375 kg"));
  EXPECT_EQ(portapapeles.texto(), "Peso neto: 1.375 kg");
  EXPECT_EQ(sondeo.sondea(), "1.375");
  QGuiApplication::clipboard()->setText(QStringLiteral("0.015"));
  EXPECT_EQ(sondeo.sondea(), std::nullopt);
}

}  // namespace
}  // namespace mostrador::sales
