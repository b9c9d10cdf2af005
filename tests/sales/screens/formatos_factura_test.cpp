// The sales screen's format commands: choosing a format to print the document with and
// opening the designer on the document's format.
#include <QAction>
#include <QPlainTextEdit>

#include "base/rutas.h"
#include "base/texto.h"
#include "designers/screens/TFormaEdicion.h"
#include "sales/screens/pantalla_factura.h"

namespace mostrador::sales {
namespace {

using Formatos = PantallaFactura;
using V = std::vector<std::string>;

TEST_F(Formatos, ElegirFormatoPideElArchivoEImprimeConElElegido) {
  abre();
  ASSERT_NE(forma->accion("Elegirformato1"), nullptr);
  EXPECT_EQ(forma->accion("Elegirformato1")->text(), "Elegir formato");
  tecla(Qt::Key_F9);  // a document on screen
  ui.olvidaLlamadas();
  ui.respondeArchivo(std::nullopt);
  forma->accion("Elegirformato1")->trigger();
  EXPECT_EQ(ui.llamadas(), V{"abre archivo: Elegir formato (Formatos (*.for)|*.for|Todos|*.*)"});

  const std::string otro = base::une(emp.ajustes().dirSistema, "otro.for");
  ui.olvidaLlamadas();
  ui.respondeArchivo(otro);
  forma->accion("Elegirformato1")->trigger();
  EXPECT_EQ(ui.mensajes(), V{"El Formato " + otro + " No Existe"});
}

TEST_F(Formatos, DisenarFormatoAbreElDisenadorConElFormatoDelDocumento) {
  abre();
  ASSERT_NE(forma->accion("DisearFormato1"), nullptr);
  EXPECT_EQ(forma->accion("DisearFormato1")->text(), "Diseñar Formato");
  bool enDiseno = false;
  std::string archivo;
  QString codigo;
  prueba::GuionModal guion;
  guion.luego([&](QWidget* m) {
    auto* e = qobject_cast<TFormaEdicion*>(m);
    ASSERT_NE(e, nullptr) << m->objectName().toStdString();
    enDiseno = e->enDiseno();
    // The sales formats are ".fmt" files, not loaded on opening: the open dialog
    // starts where they are.
    e->Abrir1Click();
    archivo = e->archivo();
    if (auto* c = e->findChild<QPlainTextEdit*>("Codigo")) codigo = c->toPlainText();
    e->reject();
  });
  // The document's own format lies under "\consulta".
  const std::string formato = forma->motor().rutaFormato();
  ASSERT_EQ(formato.rfind(base::une(emp.ajustes().dirSistema, "consulta"), 0), 0u) << formato;
  base::creaDirectorios(base::une(emp.ajustes().dirSistema, "consulta"));
  ASSERT_TRUE(base::escribeLineas(formato, {"@1,2,[001]", "tam(12)"}));
  ui.olvidaLlamadas();
  ui.respondeArchivo(formato);
  forma->accion("DisearFormato1")->trigger();
  EXPECT_EQ(guion.vistos(), V{"FormaEdicion"});
  EXPECT_EQ(ui.llamadas(), V{"abre archivo: " + base::une(emp.ajustes().dirSistema, "consulta") +
                             " (Formatos (*.for;*.fmt)|*.for;*.fmt|Todos|*.*)"});
  EXPECT_TRUE(enDiseno);
  EXPECT_EQ(archivo, formato);
  EXPECT_EQ(codigo, "@1,2,[001]\ntam(12)");
}

}  // namespace
}  // namespace mostrador::sales
