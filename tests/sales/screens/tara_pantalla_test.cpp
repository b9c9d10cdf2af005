// The tare dialog headless: the request it leaves for the port reader, a reading that
// fills the weight field, a typed weight that is refused, and a scale on a real
// pseudo-terminal read by the dialog itself.

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "sales/screens/TFormaTara.h"
#include "base/rutas.h"
#include "base/texto.h"
#include "support/dispositivos_prueba.h"
#include "support/entorno.h"
#include "support/interaccion_fake.h"
#include "support/principal_aplicacion.h"
#include "ui/puerto_serie.h"

namespace mostrador::sales {
namespace {

using prueba::DirectorioTemporal;
using prueba::InteraccionFalsa;

std::string texto(const QLineEdit* e) { return e->text().toStdString(); }
std::string texto(const QLabel* l) { return l->text().toStdString(); }

TEST(PantallaTara, AReadingFillsTheWeightAndTheTypedOneIsChecked) {
  prueba::aplicacionQt();
  DirectorioTemporal dir;
  ASSERT_TRUE(base::escribeLineas(base::une(dir.str(), "Bascula.cnf"), {"COM3", "4800"}));
  InteraccionFalsa ui;
  // The companion reader starts once the request it reads is there.
  std::string peticionAlIniciar;
  TFormaTara forma(nullptr, dir.str(), {0.5, 1.5, 0, 12.25}, ui, nullptr, [&] {
    peticionAlIniciar = dir.lee("puerto.dat");
    return std::string();
  });
  EXPECT_EQ(peticionAlIniciar, "COM3\r\n4800\r\n");
  auto* peso = forma.findChild<QLineEdit*>("EditPeso");
  auto* estado = forma.findChild<QLabel*>("LabelEstado");
  ASSERT_TRUE(peso && estado && forma.findChild<QPushButton*>("BotonAceptar"));
  EXPECT_EQ(texto(peso), "0.50");
  EXPECT_EQ(texto(forma.findChild<QLabel*>("LabelFactor")), "Factor: 1.50");
  EXPECT_EQ(texto(forma.findChild<QLabel*>("LabelExistencia")), "Existencia: 12.25");
  EXPECT_EQ(dir.lee("puerto.dat"), "COM3\r\n4800\r\n");
  EXPECT_EQ(texto(estado), kEsperandoBascula);

  dir.escribe("puerto.num", "1.5\r\n");
  forma.TimerTaraTimer();
  EXPECT_EQ(texto(peso), "1.50");
  EXPECT_EQ(texto(estado), "");

  peso->setText("uno y medio");
  forma.BotonAceptarClick();
  EXPECT_EQ(ui.mensajes(), std::vector<std::string>{std::string(kPesoNoValido)});
  EXPECT_EQ(forma.resultado(), std::nullopt);
  EXPECT_EQ(forma.result(), QDialog::Rejected);

  peso->setText("1.375");
  QTest::keyClick(peso, Qt::Key_Return);
  EXPECT_EQ(forma.resultado(), 1.375);
  EXPECT_EQ(forma.result(), QDialog::Accepted);
}

TEST(PantallaTara, AMissingScalePortIsSaidInTheStatusAndTheWeightIsTyped) {
  prueba::aplicacionQt();
  DirectorioTemporal dir;
  ASSERT_TRUE(base::escribeLineas(base::une(dir.str(), "Bascula.cnf"), {"/dev/ttyNoHayBascula"}));
  InteraccionFalsa ui;
  PuertoSerieQt puerto;
  TFormaTara forma(nullptr, dir.str(), {0, 1, 0, 3}, ui, &puerto);
  forma.TimerTaraTimer();
  EXPECT_EQ(texto(forma.findChild<QLabel*>("LabelEstado")),
            "No se pudo conectar la báscula: no existe el puerto serie /dev/ttyNoHayBascula.");
  forma.findChild<QLineEdit*>("EditPeso")->setText("0.8");
  forma.findChild<QPushButton*>("BotonAceptar")->click();
  EXPECT_EQ(forma.resultado(), 0.8);
  EXPECT_TRUE(ui.llamadas().empty());
}

TEST(PantallaTara, TheDialogReadsTheScaleOnItsPortWhileItIsOpen) {
  prueba::aplicacionQt();
  prueba::ParTerminales par;
  if (!par.listo()) GTEST_SKIP() << "sin pseudo-terminales: " << par.error();
  DirectorioTemporal dir;
  ASSERT_TRUE(base::escribeLineas(base::une(dir.str(), "Bascula.cnf"), {par.puerto(), "9600"}));
  InteraccionFalsa ui;
  PuertoSerieQt puerto;
  TFormaTara forma(nullptr, dir.str(), {1, 1, 0, 3}, ui, &puerto);
  auto* peso = forma.findChild<QLineEdit*>("EditPeso");
  EXPECT_TRUE(puerto.abierto());

  ASSERT_TRUE(par.envia("ST,GS,+  2.345kg\r\n"));
  EXPECT_TRUE(QTest::qWaitFor([&] { return texto(peso) == "2.35"; }, 3000)) << texto(peso);
  forma.BotonAceptarClick();
  EXPECT_EQ(forma.resultado(), 2.35);
  EXPECT_FALSE(puerto.abierto());
}

}  // namespace
}  // namespace mostrador::sales
