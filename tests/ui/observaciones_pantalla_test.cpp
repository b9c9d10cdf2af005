// The observations window headless: what it shows, what accepting and cancelling store,
// and what a failed save says.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <cerrno>
#include <functional>

#include "store/dbf/journal.h"
#include "store/observaciones.h"
#include "support/empresa_ventas.h"
#include "support/entorno.h"
#include "support/interaccion_fake.h"
#include "support/principal_aplicacion.h"
#include "ui/TFormaObservaciones.h"

namespace mostrador::prueba {
namespace {

using Lineas = std::vector<std::string>;
using ui::TFormaObservaciones;

struct PantallaObservaciones : ::testing::Test {
  QApplication& qt = aplicacionQt();
  DirectorioTemporal dir;
  EmpresaVentas empresa;
  InteraccionFalsa ui;
  const std::string datos{EmpresaVentas::kDatos};

  // Runs `que` on the window once edita() has shown it, and answers what edita returned.
  bool editaCon(const std::string& tipo, const std::string& clave, std::function<void(TFormaObservaciones&)> que) {
    bool visto = false;
    QTimer::singleShot(0, [&] {
      auto* f = qobject_cast<TFormaObservaciones*>(QApplication::activeModalWidget());
      if (!f) return;
      visto = true;
      que(*f);
    });
    const bool r = TFormaObservaciones::edita(nullptr, datos, tipo, clave, ui);
    EXPECT_TRUE(visto);
    return r;
  }
  Lineas filas() const { return empresa.filas("factuobs.dbf", {"CLDOC_FO", "TIDOC_FO", "OBSER_FO"}); }
};

TEST_F(PantallaObservaciones, ShowsTheRecordsLinesInOrderEachEndedByItsBreak) {
  ASSERT_TRUE(store::guardaObservaciones(datos, "CL", "7", {"Primera", "", "Tercera"}));
  ASSERT_TRUE(store::guardaObservaciones(datos, "CL", "8", {"de otro"}));
  TFormaObservaciones f(datos, "CL", "7", ui);
  EXPECT_EQ(f.windowTitle(), "Observaciones");
  ASSERT_EQ(f.findChild<QPlainTextEdit*>("Memo1"), f.Memo1);
  EXPECT_EQ(f.Memo1->toPlainText(), "Primera\n\nTercera\n");
  EXPECT_EQ(f.lineas(), (Lineas{"Primera", "", "Tercera"}));
  TFormaObservaciones vacia(datos, "CL", "9", ui);
  EXPECT_EQ(vacia.Memo1->toPlainText(), "");
  EXPECT_EQ(vacia.lineas(), Lineas{});
}

TEST_F(PantallaObservaciones, AcceptingStoresOneRecordPerLineAndReopeningShowsThemAll) {
  const bool guardado = editaCon("Recepción", "15", [](TFormaObservaciones& f) {
    f.Memo1->setFocus();
    QTest::keyClicks(f.Memo1, "Lleg");
    f.Memo1->insertPlainText("ó");  // QTest types ASCII only
    QTest::keyClicks(f.Memo1, " incompleta");
    QTest::keyClick(f.Memo1, Qt::Key_Return);
    QTest::keyClick(f.Memo1, Qt::Key_Return);
    QTest::mouseClick(f.BotonAceptar, Qt::LeftButton);
  });
  EXPECT_TRUE(guardado);
  EXPECT_EQ(filas(), (Lineas{"15|Re|Llegó incompleta", "15|Re|"}));
  TFormaObservaciones otra(datos, "Recepción", "15", ui);
  EXPECT_EQ(otra.lineas(), (Lineas{"Llegó incompleta", ""}));
  // Accepting what it shows stores the same two lines again.
  const bool otraVez = editaCon("Re", "15", [](TFormaObservaciones& f) { f.BotonAceptar->click(); });
  EXPECT_TRUE(otraVez);
  EXPECT_EQ(filas(), (Lineas{"15|Re|Llegó incompleta", "15|Re|"}));
  EXPECT_TRUE(ui.llamadas().empty());
}

TEST_F(PantallaObservaciones, CancellingOrEscapeChangesNothing) {
  ASSERT_TRUE(store::guardaObservaciones(datos, "IN", "A1", {"Frágil"}));
  const bool cancelado = editaCon("IN", "A1", [](TFormaObservaciones& f) {
    f.Memo1->setPlainText("Otra cosa\n");
    QTest::mouseClick(f.BotonCancelar, Qt::LeftButton);
  });
  EXPECT_FALSE(cancelado);
  const bool escape = editaCon("IN", "A1", [](TFormaObservaciones& f) {
    f.Memo1->setPlainText("");
    QTest::keyClick(&f, Qt::Key_Escape);
  });
  EXPECT_FALSE(escape);
  EXPECT_EQ(filas(), Lineas{"A1|IN|Frágil"});
  EXPECT_TRUE(ui.llamadas().empty());
}

int siempreFalla(int) {
  errno = EIO;
  return -1;
}

TEST_F(PantallaObservaciones, AFailedSaveSaysSoKeepsTheStoredLinesAndTheTextTyped) {
  ASSERT_TRUE(store::guardaObservaciones(datos, "MI", "3", {"uno", "dos"}));
  bool abiertaTrasFallar = false;
  QString textoTrasFallar;
  const bool guardado = editaCon("MI", "3", [&](TFormaObservaciones& f) {
    f.Memo1->setPlainText("tres\n");
    dbf::journal::setSyncHook(siempreFalla);
    f.BotonAceptar->click();
    dbf::journal::setSyncHook(nullptr);
    abiertaTrasFallar = f.isVisible();
    textoTrasFallar = f.Memo1->toPlainText();
    f.BotonCancelar->click();
  });
  EXPECT_FALSE(guardado);
  EXPECT_TRUE(abiertaTrasFallar);
  EXPECT_EQ(textoTrasFallar, "tres\n");
  EXPECT_EQ(ui.mensajes(), Lineas{"No se Pueden Guardar los Datos ha Ocurrido un Error"});
  EXPECT_EQ(filas(), (Lineas{"3|MI|uno", "3|MI|dos"}));

  // Once the disk is back, the same window saves.
  const bool despues = editaCon("MI", "3", [](TFormaObservaciones& f) {
    f.Memo1->setPlainText("tres\n");
    f.BotonAceptar->click();
  });
  EXPECT_TRUE(despues);
  EXPECT_EQ(filas(), Lineas{"3|MI|tres"});
}

}  // namespace
}  // namespace mostrador::prueba
