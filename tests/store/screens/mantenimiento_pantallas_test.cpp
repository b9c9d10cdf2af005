// The maintenance screens headless: their named controls, F12 on the reindex screen, the
// option boxes writing "opcion.cnf", the summary's text and bars.

#include <gtest/gtest.h>

#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <QTest>
#include <filesystem>

#include "support/principal_aplicacion.h"
#include "store/dbf/dbf_table.h"
#include "session/empresa_nueva.h"
#include "store/screens/TFormaConsolidar.h"
#include "store/screens/TFormaReindexaTodo.h"
#include "store/screens/TFormaRespaldo.h"
#include "store/screens/TFormaVerificaRegistros.h"
#include "support/entorno.h"
#include "support/interaccion_fake.h"
#include "support/reloj_fijo.h"

namespace mostrador::store {
using namespace mostrador;
namespace {

namespace fs = std::filesystem;

struct PantallasMantenimiento : ::testing::Test {
  QApplication& qt = prueba::aplicacionQt();
  prueba::DirectorioTemporal dir;
  prueba::InteraccionFalsa ui;
  prueba::RelojFijo reloj{{{2026, 12, 8}, {13, 5, 9, 0}}};
  std::string datos = dir.str() + "/datos";
  std::string sistema = dir.str() + "/sistema";
  void SetUp() override {
    fs::create_directories(sistema);
    session::creaDirectorioDatos(datos);
  }
};

TEST_F(PantallasMantenimiento, ReindexScreenHidesItsDetailUntilF12AndStoresTheOptions) {
  TFormaReindexaTodo f(ui, reloj, sistema, datos);
  f.show();
  for (const char* n : {"EditRuta", "Archivos", "Memo1", "Lista", "Lista2", "Faltantes", "Progreso", "LabelTabla",
                        "ReindexaInicio", "RespaldaInicio", "RespaldaFinal", "BitBtn1", "BitBtn2", "BitBtn4",
                        "BitBtn5", "BitBtn6", "BitBtn7", "BitBtn8", "BitBtn9", "BitBtn10", "BitBtn11"})
    EXPECT_NE(f.findChild<QWidget*>(n), nullptr) << n;
  EXPECT_EQ(f.findChild<QLineEdit*>("EditRuta")->text().toStdString(), datos);
  auto* archivos = f.findChild<QListWidget*>("Archivos");
  EXPECT_EQ(archivos->count(), static_cast<int>(dbf::Table::listTables(datos).size()));
  EXPECT_FALSE(archivos->isVisible());
  QTest::keyClick(&f, Qt::Key_F12);
  EXPECT_TRUE(archivos->isVisible());
  QTest::keyClick(&f, Qt::Key_F12);
  EXPECT_FALSE(archivos->isVisible());
  EXPECT_FALSE(f.findChild<QPlainTextEdit*>("Memo1")->toPlainText().isEmpty());
  f.findChild<QCheckBox*>("RespaldaFinal")->setChecked(true);
  EXPECT_EQ(dir.lee("datos/opcion.cnf"), "N\r\nN\r\nS\r\n");
}

TEST_F(PantallasMantenimiento, BackupScreenProposesTheDatedFolder) {
  TFormaRespaldo f(ui, reloj, sistema, datos);
  for (const char* n : {"DirectorioFuente", "DirectorioDestino", "Directorio2", "Normal", "Comprimido", "Progreso",
                        "ListaArchivo2", "uno", "dos", "ArchivoBases", "Ejecutar", "BitBtn5"})
    EXPECT_NE(f.findChild<QWidget*>(n), nullptr) << n;
  EXPECT_EQ(f.findChild<QLineEdit*>("DirectorioDestino")->text().toStdString(), "C:\\RESPALDOS\\8-12-2026");
  f.EjecutarClick();
  ASSERT_EQ(ui.mensajes().size(), 1u);
  EXPECT_TRUE(ui.mensajes()[0].starts_with("Proceso de Respaldo Archivos Terminado \n")) << ui.mensajes()[0];
  EXPECT_TRUE(ui.mensajes()[0].ends_with(" archivos en C:\\RESPALDOS\\8-12-2026")) << ui.mensajes()[0];
  EXPECT_EQ(f.result(), QDialog::Accepted);
  EXPECT_GT(f.findChild<QListWidget*>("ListaArchivo2")->count(), 10);
}

TEST_F(PantallasMantenimiento, SummaryShowsSixLinesAndDrawsSixBars) {
  TFormaConsolidar f(ui, reloj, datos);
  EXPECT_EQ(f.findChild<QPlainTextEdit*>("MemoConsolidar")->toPlainText().toStdString(),
            "Total de Remisiones  0\nTotal de Compras     0\nAbonos en Compras    0\nSaldo en Compras     0\n"
            "Costo del Inventario 0\nValor del Inventario 0");
  EXPECT_FALSE(f.findChild<QWidget*>("FechaInicio")->isEnabled());
  f.BotonEsquinado2Click();
  auto series = f.grafica()->chart()->series();
  ASSERT_EQ(series.size(), 1);
  auto* barras = static_cast<QBarSeries*>(series[0]);
  ASSERT_EQ(barras->barSets().size(), 1);
  EXPECT_EQ(barras->barSets()[0]->count(), 6);
}

TEST_F(PantallasMantenimiento, RecordCheckShowsTheFieldsOfAHeader) {
  TFormaVerificaRegistros f(ui, datos);
  for (const char* n : {"LabelTabla", "LabelRegistro", "Progreso", "BitBtn3", "BitBtn4", "Tablas", "Campos"})
    EXPECT_NE(f.findChild<QWidget*>(n), nullptr) << n;
  f.TablasClick("numero.dbf");
  auto* campos = f.findChild<QTableWidget*>("Campos");
  ASSERT_EQ(campos->rowCount(), 1);
  EXPECT_EQ(campos->item(0, 0)->text().toStdString(), "NUMERO");
  EXPECT_EQ(campos->item(0, 1)->text().toStdString(), "N");
  EXPECT_EQ(campos->horizontalHeaderItem(2)->text().toStdString(), "Tamaño");
  f.BitBtn3Click();
  EXPECT_EQ(f.result(), QDialog::Accepted);
  EXPECT_TRUE(fs::exists(fs::path(datos) / "tempo" / "numero.dbf"));
}

}  // namespace
}  // namespace mostrador::store
